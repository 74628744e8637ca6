#pragma once

#include <QString>
#include <QStringList>

namespace shell {
class Recordset;
}

namespace messages {

// Texts of the message catalogue in the chosen language, looked up by code on
// the shared recordsets (each lookup moves their current row).
class Catalogue {
  public:
    Catalogue(shell::Recordset &rsMensagens, shell::Recordset &rsBotoes);

    // Descricao of a Mensagens code. A code the catalogue lacks gives a text that
    // names the code, never the text of another message.
    QString descricao(int codigo);
    // QtdParam of the code; 0 when the code is missing.
    int qtdParam(int codigo);
    // Descricao filled with FormataMensagem and up to five parameters.
    QString mensagem(int codigo, const QStringList &params = {});
    // Hint of a Botoes code, or a text that names the missing code.
    QString hint(int codigo);

    static QString missingText(const QString &table, int codigo);

  private:
    bool find(int codigo);

    shell::Recordset &m_rsMensagens;
    shell::Recordset &m_rsBotoes;
};

} // namespace messages
