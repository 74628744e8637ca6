#include "Database.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

namespace shell::registry {

namespace {

// How long a statement waits for another program's lock before it gives up.
std::atomic<int> g_busyTimeoutMs{2000};

} // namespace

void Database::setBusyTimeout(int milliseconds)
{
    g_busyTimeoutMs = milliseconds;
}

Database::Database(sqlite3 *db, QString path, int lockFd)
    : m_db(db)
    , m_path(std::move(path))
    , m_lockFd(lockFd)
{
}

Database::~Database()
{
    sqlite3_close_v2(m_db);
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

QString Database::lastError() const
{
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

std::unique_ptr<Database> Database::open(const QString &path, Mode mode, QString *error, Failure *failure)
{
    auto fail = [&](Failure kind, const QString &why) -> std::unique_ptr<Database> {
        if (error)
            *error = why;
        if (failure)
            *failure = kind;
        return nullptr;
    };
    if (failure)
        *failure = Failure::None;

    const QFileInfo info(path);
    if (!info.exists())
        return fail(Failure::Missing, QStringLiteral("%1: the file does not exist").arg(path));
    if (!info.isFile())
        return fail(Failure::NotAFile, QStringLiteral("%1: not a file").arg(path));
    const QByteArray native = QFile::encodeName(path);

    if (mode == Mode::SharedReadWrite) {
        // The read-only mark counts even for root: the registry must be writable.
        struct stat st {};
        if (::stat(native.constData(), &st) != 0 || !(st.st_mode & S_IWUSR) ||
            ::access(native.constData(), W_OK) != 0)
            return fail(Failure::ReadOnly, QStringLiteral("%1: the file is read-only").arg(path));
    }

    int lockFd = -1;
    if (mode != Mode::SharedReadWrite) {
        lockFd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
        if (lockFd < 0)
            return fail(Failure::Other, QStringLiteral("%1: the file cannot be read").arg(path));
        // Shared holders exclude only an exclusive one: the manager keeps the
        // catalogue to itself, while copies of zeko-books run side by side.
        if (::flock(lockFd, (mode == Mode::ExclusiveReadOnly ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
            ::close(lockFd);
            return fail(Failure::InUse,
                        QStringLiteral("%1: the file is in use by another program").arg(path));
        }
    }

    sqlite3 *db = nullptr;
    const int flags =
        (mode == Mode::SharedReadWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(native.constData(), &db, flags, nullptr);
    auto handle = std::unique_ptr<Database>(new Database(db, path, lockFd));
    if (rc != SQLITE_OK)
        return fail(Failure::Other, QStringLiteral("%1: %2").arg(path, handle->lastError()));
    sqlite3_busy_timeout(db, g_busyTimeoutMs.load());
    sqlite3_extended_result_codes(db, 1);

    if (mode == Mode::SharedReadWrite && sqlite3_db_readonly(db, "main") == 1)
        return fail(Failure::ReadOnly, QStringLiteral("%1: the file is read-only").arg(path));

    // Reading the schema proves the file is a database and not locked by a writer.
    sqlite3_stmt *stmt = nullptr;
    int step = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &stmt, nullptr);
    if (step == SQLITE_OK)
        step = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (step != SQLITE_ROW) {
        switch (step & 0xFF) {
        case SQLITE_NOTADB:
            return fail(Failure::NotADatabase, QStringLiteral("%1: the file is not a database").arg(path));
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return fail(Failure::Locked,
                        QStringLiteral("%1: the database is locked by another program").arg(path));
        default:
            return fail(Failure::Other, QStringLiteral("%1: %2").arg(path, handle->lastError()));
        }
    }
    return handle;
}

} // namespace shell::registry
