#include "Catalogue.h"

#include "FormataMensagem.h"
#include "shell/registry/Recordset.h"

namespace messages {

Catalogue::Catalogue(shell::registry::Recordset &rsMensagens, shell::registry::Recordset &rsBotoes)
    : m_rsMensagens(rsMensagens)
    , m_rsBotoes(rsBotoes)
{
}

QString Catalogue::missingText(const QString &table, int code)
{
    // Not translatable: the catalogue that would hold the translation is what failed.
    return QStringLiteral("[BancoMsgVD: %1 %2 ?]").arg(table).arg(code);
}

bool Catalogue::find(int code)
{
    return m_rsMensagens.findFirst(QStringLiteral("Codigo"), code);
}

QString Catalogue::descricao(int code)
{
    if (!find(code))
        return missingText(QStringLiteral("Mensagens"), code);
    return m_rsMensagens.field(QStringLiteral("Descricao")).toString();
}

int Catalogue::qtdParam(int code)
{
    if (!find(code))
        return 0;
    return m_rsMensagens.field(QStringLiteral("QtdParam")).toInt();
}

QString Catalogue::mensagem(int code, const QStringList &params)
{
    if (!find(code))
        return missingText(QStringLiteral("Mensagens"), code);
    const QString descricao = m_rsMensagens.field(QStringLiteral("Descricao")).toString();
    const int qtd = m_rsMensagens.field(QStringLiteral("QtdParam")).toInt();
    return FormataMensagem(descricao, qtd, params.value(0), params.value(1), params.value(2), params.value(3),
                           params.value(4));
}

QString Catalogue::hint(int code)
{
    if (!m_rsBotoes.findFirst(QStringLiteral("Codigo"), code))
        return missingText(QStringLiteral("Botoes"), code);
    return m_rsBotoes.field(QStringLiteral("Hint")).toString();
}

} // namespace messages
