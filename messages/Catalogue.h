#pragma once

#include <QString>
#include <QStringList>

namespace shell::registry {
class Recordset;
}

namespace messages {

// Texts of the message catalogue in the chosen language, looked up by code on
// the shared recordsets (each lookup moves their current row).
class Catalogue {
  public:
    Catalogue(shell::registry::Recordset &rsMensagens, shell::registry::Recordset &rsBotoes);

    // Descricao of a Mensagens code. A code the catalogue lacks gives a text that
    // names the code, never the text of another message.
    QString descricao(int code);
    // QtdParam of the code; 0 when the code is missing.
    int qtdParam(int code);
    // Descricao filled with FormataMensagem and up to five parameters.
    QString mensagem(int code, const QStringList &params = {});
    // Hint of a Botoes code, or a text that names the missing code.
    QString hint(int code);

    static QString missingText(const QString &table, int code);

  private:
    [[nodiscard]] bool find(int code);

    shell::registry::Recordset &m_rsMensagens;
    shell::registry::Recordset &m_rsBotoes;
};

} // namespace messages
