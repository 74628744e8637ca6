#include "Catalogue.h"

#include "FormataMensagem.h"
#include "shell/registry/Recordset.h"

namespace messages {

Catalogue::Catalogue(shell::Recordset &rsMensagens, shell::Recordset &rsBotoes)
    : m_rsMensagens(rsMensagens)
    , m_rsBotoes(rsBotoes)
{
}

QString Catalogue::missingText(const QString &table, int codigo)
{
    // Not translatable: the catalogue that would hold the translation is what failed.
    return QStringLiteral("[BancoMsgVD: %1 %2 ?]").arg(table).arg(codigo);
}

bool Catalogue::find(int codigo)
{
    return m_rsMensagens.findFirst(QStringLiteral("Codigo"), codigo);
}

QString Catalogue::descricao(int codigo)
{
    if (!find(codigo))
        return missingText(QStringLiteral("Mensagens"), codigo);
    return m_rsMensagens.field(QStringLiteral("Descricao")).toString();
}

int Catalogue::qtdParam(int codigo)
{
    if (!find(codigo))
        return 0;
    return m_rsMensagens.field(QStringLiteral("QtdParam")).toInt();
}

QString Catalogue::mensagem(int codigo, const QStringList &params)
{
    if (!find(codigo))
        return missingText(QStringLiteral("Mensagens"), codigo);
    const QString descricao = m_rsMensagens.field(QStringLiteral("Descricao")).toString();
    const int qtd = m_rsMensagens.field(QStringLiteral("QtdParam")).toInt();
    return FormataMensagem(descricao, qtd, params.value(0), params.value(1), params.value(2), params.value(3),
                           params.value(4));
}

QString Catalogue::hint(int codigo)
{
    if (!m_rsBotoes.findFirst(QStringLiteral("Codigo"), codigo))
        return missingText(QStringLiteral("Botoes"), codigo);
    return m_rsBotoes.field(QStringLiteral("Hint")).toString();
}

} // namespace messages
