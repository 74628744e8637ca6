#pragma once

#include "common/EnglishWords.h"
#include "messages/MessageBox.h"
#include "shell/SharedState.h"

#include <QList>
#include <QString>

// A message box that answers from a script and records every box it was asked
// to show, so tests can check the exact texts without a display. It also keeps
// every Portuguese or Spanish box that holds an English sentence.
class ScriptedMessageBox : public messages::MessageBox {
  public:
    struct Shown {
        QString texto;
        int tipoCaixa, tamanhoFonte, tipoMensagem;
        bool aguardaResposta;
        QString textoRtf;
        int reservado;
    };

    explicit ScriptedMessageBox(shell::SharedState &state)
        : m_state(state)
    {
    }

    // Answers for the next boxes, in order; 1 (the first button) once they run out.
    void answer(QList<int> answers) { m_answers = std::move(answers); }

    void ExibeMensagem(const QString &texto, int tipoCaixa, int tamanhoFonte, int tipoMensagem,
                       bool aguardaResposta, const QString &textoRtf, int reservado) override
    {
        shown.append({texto, tipoCaixa, tamanhoFonte, tipoMensagem, aguardaResposta, textoRtf, reservado});
        if (!inEnglish() && !englishWordsIn(texto).isEmpty())
            inEnglishAmidst.append(texto);
        m_state.blnMsgAberta = !aguardaResposta;
        m_state.intBotaoMsg = m_answers.isEmpty() ? 1 : m_answers.takeFirst();
    }

    QStringList texts() const
    {
        QStringList t;
        for (const Shown &s : shown)
            t.append(s.texto);
        return t;
    }

    QList<Shown> shown;
    QStringList inEnglishAmidst;

  private:
    bool inEnglish() const
    {
        shell::registry::Recordset *rs = m_state.rsMensagens.get();
        if (!rs || rs->isEmpty())
            return true;
        rs->moveFirst();
        return rs->field(QStringLiteral("Idioma")).toString() == QStringLiteral("ING");
    }

    shell::SharedState &m_state;
    QList<int> m_answers;
};
