#include "SystemReason.h"

#include "Catalogue.h"
#include "Codes.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstring>

namespace messages {

namespace {

int phraseOfErrno(int e)
{
    switch (e) {
    case EACCES:
    case EPERM:
        return code::ReasonNoPermission;
    case ENOSPC:
    case EDQUOT:
        return code::ReasonDiskFull;
    case EROFS:
        return code::ReasonReadOnly;
    case ENOENT:
    case ENOTDIR:
        return code::ReasonNotFound;
    case ENAMETOOLONG:
        return code::ReasonNameTooLong;
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK:
        return code::ReasonInUse;
    case EIO:
        return code::ReasonDiskError;
    default:
        return code::ReasonSystemError;
    }
}

int phraseOfSqlite(int code)
{
    switch (code & 0xff) {
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return code::ReasonNoPermission;
    case SQLITE_FULL:
        return code::ReasonDiskFull;
    case SQLITE_READONLY:
        return code::ReasonReadOnly;
    case SQLITE_CANTOPEN:
        return code::ReasonNotFound;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return code::ReasonInUse;
    case SQLITE_IOERR:
        return code::ReasonDiskError;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return code::ReasonRegistryDamaged;
    default:
        return code::ReasonSystemError;
    }
}

} // namespace

QString systemReason(Catalogue &catalogue, int errnoValue)
{
    // No system call failed: there is no code to give.
    if (errnoValue == 0)
        return catalogue.descricao(code::ReasonSystemError);
    const char *name = strerrorname_np(errnoValue);
    const QString code = name ? QString::fromLatin1(name) : QString::number(errnoValue);
    return catalogue.descricao(phraseOfErrno(errnoValue)) + QStringLiteral(" (") + code + u')';
}

QString registryReason(Catalogue &catalogue, int sqliteCode)
{
    return catalogue.descricao(phraseOfSqlite(sqliteCode)) + QStringLiteral(" (SQLite %1)").arg(sqliteCode);
}

QString reasonLine(Catalogue &catalogue, const QString &reason)
{
    return catalogue.mensagem(code::ReasonLine, {reason});
}

} // namespace messages
