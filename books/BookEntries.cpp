#include "BookEntries.h"

#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "shell/SharedState.h"
#include "shell/Sistema.h"
#include "shell/registry/Recordset.h"

namespace books {

QStringList BookEntries::entries(shell::SharedState &state)
{
    QStringList list;
    list.append(u'[' + state.catalogue->descricao(messages::code::BookListFirstEntry) + u']');
    shell::registry::Recordset &rs = *state.rsMapeamento;
    // A registry that cannot be read again leaves the rows last read: every step
    // taken on an entry looks its row up again and reports a row that went.
    (void)rs.requery();
    if (rs.isEmpty())
        return list;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        list.append(rs.field(1).toString() + QStringLiteral(" [ ") + rs.field(2).toString() +
                    QStringLiteral(" ]"));
    return list;
}

QString BookEntries::letterOfEntry(const QString &entry)
{
    return shell::Sistema::TiraColchetes(entry.right(6)).trimmed();
}

QString BookEntries::nameOfEntry(const QString &entry)
{
    const qsizetype fim = entry.lastIndexOf(QStringLiteral(" [ "));
    return (fim < 0 ? entry.left(entry.indexOf(u'[')) : entry.left(fim)).trimmed();
}

} // namespace books
