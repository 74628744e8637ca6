#include "ListaLivros.h"

#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "shell/SharedState.h"
#include "shell/Sistema.h"
#include "shell/registry/Recordset.h"

namespace books {

QStringList ListaLivros::entradas(shell::SharedState &state)
{
    QStringList lista;
    lista.append(u'[' + state.catalogo->descricao(messages::code::BookListFirstEntry) + u']');
    shell::Recordset &rs = *state.rsMapeamento;
    rs.requery();
    if (rs.isEmpty())
        return lista;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        lista.append(rs.field(1).toString() + QStringLiteral(" [ ") + rs.field(2).toString() +
                     QStringLiteral(" ]"));
    return lista;
}

QString ListaLivros::letraDaEntrada(const QString &entrada)
{
    return shell::Sistema::TiraColchetes(entrada.right(6)).trimmed();
}

QString ListaLivros::nomeDaEntrada(const QString &entrada)
{
    const qsizetype fim = entrada.lastIndexOf(QStringLiteral(" [ "));
    return (fim < 0 ? entrada.left(entrada.indexOf(u'[')) : entrada.left(fim)).trimmed();
}

} // namespace books
