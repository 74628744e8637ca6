#pragma once

#include "messages/MessageBox.h"

#include <QString>

#include <cstdio>

namespace shell {
struct SharedState;
}

namespace console {

// The message box of the console front end: every text goes to standard error
// without its colour marks; a yes/no question is asked on the terminal, or
// answered by the command line, or refused when neither can answer it.
class ConsoleMessageBox : public messages::MessageBox {
  public:
    enum class Answer { Ask, Yes, No };

    // in and err: the terminal's input (read only when it is a terminal) and error output.
    ConsoleMessageBox(shell::SharedState &state, Answer answer, std::FILE *in = stdin,
                      std::FILE *err = stderr);

    void ExibeMensagem(const QString &texto, int tipoCaixa, int tamanhoFonte, int tipoMensagem,
                       bool aguardaResposta, const QString &textoRtf, int reservado) override;

    // True when a question could not be answered (no terminal, no --yes/--no).
    bool unanswered() const { return m_unanswered; }

    // The text without the "#" and "|" that colour it in the window.
    static QString plain(const QString &texto);

  private:
    shell::SharedState &m_state;
    Answer m_answer;
    std::FILE *m_in;
    std::FILE *m_err;
    bool m_unanswered = false;
};

} // namespace console
