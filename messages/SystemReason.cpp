#include "SystemReason.h"

#include "Catalogue.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstring>

namespace messages {

namespace {

enum Phrase {
    kLinhaMotivo = 70,
    kSemPermissao = 71,
    kDiscoCheio = 72,
    kSoLeitura = 73,
    kNaoExiste = 74,
    kNomeLongo = 75,
    kEmUso = 76,
    kErroDisco = 77,
    kRegistroDanificado = 78,
    kErroSistema = 79,
};

int phraseOfErrno(int e)
{
    switch (e) {
    case EACCES:
    case EPERM:
        return kSemPermissao;
    case ENOSPC:
    case EDQUOT:
        return kDiscoCheio;
    case EROFS:
        return kSoLeitura;
    case ENOENT:
    case ENOTDIR:
        return kNaoExiste;
    case ENAMETOOLONG:
        return kNomeLongo;
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK:
        return kEmUso;
    case EIO:
        return kErroDisco;
    default:
        return kErroSistema;
    }
}

int phraseOfSqlite(int code)
{
    switch (code & 0xff) {
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return kSemPermissao;
    case SQLITE_FULL:
        return kDiscoCheio;
    case SQLITE_READONLY:
        return kSoLeitura;
    case SQLITE_CANTOPEN:
        return kNaoExiste;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return kEmUso;
    case SQLITE_IOERR:
        return kErroDisco;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return kRegistroDanificado;
    default:
        return kErroSistema;
    }
}

} // namespace

QString systemReason(Catalogue &catalogue, int errnoValue)
{
    // No system call failed: there is no code to give.
    if (errnoValue == 0)
        return catalogue.descricao(kErroSistema);
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
    return catalogue.mensagem(kLinhaMotivo, {reason});
}

} // namespace messages
