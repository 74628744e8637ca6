#include "DataPlaces.h"
#include "platform/FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace shell {

namespace {

const QString kRegistryName = QStringLiteral("ZEKOVD.db");
const QString kTemplateName = QStringLiteral("ZEKOVD.template.db");

QString errorText(int e)
{
    return QString::fromLocal8Bit(std::strerror(e));
}

// Writable for the effective user, as SQLite will try it; a read-only file
// system says no even to root.
bool writableFolder(const QString &folder)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

// The template is only copied if it is a registry: a copy of anything else would
// stay in the user's folder and fail every start after this one too.
bool holdsRegistryTable(const QByteArray &file)
{
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
    sqlite3_stmt *stmt = nullptr;
    ok = ok && sqlite3_prepare_v2(db, "SELECT Usuario, Curso, LetraDrive, Caminho FROM Mapeamento LIMIT 0",
                                  -1, &stmt, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_step(stmt) == SQLITE_DONE;
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return ok;
}

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Gives tmp the name target unless target exists; EEXIST when it does.
bool renameNoReplace(const QByteArray &tmp, const QByteArray &target)
{
    if (::renameat2(AT_FDCWD, tmp.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without that kind of rename: a hard link refuses a taken name just as well.
    if (::link(tmp.constData(), target.constData()) != 0)
        return false;
    ::unlink(tmp.constData());
    return true;
}

} // namespace

QString DataPlaces::dataHome()
{
    const QString env = qEnvironmentVariable("XDG_DATA_HOME");
    if (!env.isEmpty() && QDir::isAbsolutePath(env))
        return QDir::cleanPath(env);
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QString DataPlaces::userFolder()
{
    return dataHome() + QStringLiteral("/zeko-download");
}

DataPlaces::RegistryPlace DataPlaces::registryPlace(const QString &installFolder)
{
    const QString own = installFolder + u'/' + kRegistryName;
    if (QFileInfo::exists(own) && writableFolder(installFolder))
        return {own, QString()};
    return {userFolder() + u'/' + kRegistryName, installFolder + u'/' + kTemplateName};
}

bool DataPlaces::makeFolder(const QString &path, int *error, QStringList *made)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    qsizetype from = 1;
    for (;;) {
        const qsizetype slash = clean.indexOf(u'/', from);
        const QString part = slash < 0 ? clean : clean.left(slash);
        const QByteArray native = QFile::encodeName(part);
        if (::mkdir(native.constData(), 0700) == 0) {
            // Whatever the umask, only the user may look in.
            ::chmod(native.constData(), 0700);
            if (made)
                made->append(part);
        } else if (errno != EEXIST || !QFileInfo(part).isDir()) {
            if (error)
                *error = errno == EEXIST ? ENOTDIR : errno;
            return false;
        }
        if (slash < 0)
            return true;
        from = slash + 1;
    }
}

DataPlaces::Made DataPlaces::ensureRegistry(const QString &registry, const QString &templateFile)
{
    const QByteArray target = QFile::encodeName(registry);
    struct stat st;
    if (::lstat(target.constData(), &st) == 0)
        return {};

    const QByteArray source = QFile::encodeName(templateFile);
    QFile in(templateFile);
    if (!in.open(QIODevice::ReadOnly))
        return Made::failed(Failure::NoTemplate,
                            QStringLiteral("%1: %2").arg(templateFile, in.errorString()));
    // A registry template is a few pages; more would be no template.
    const QByteArray bytes = in.read(16 * 1024 * 1024);
    if (!holdsRegistryTable(source))
        return Made::failed(Failure::BadTemplate,
                            QStringLiteral("%1: not a book registry").arg(templateFile));

    QStringList made;
    const QString folder = QFileInfo(registry).absolutePath();
    // What failed leaves nothing: the temporary file, then the folders made for it.
    int error = 0;
    auto fail = [&](int why, const QString &what) {
        for (auto it = made.crbegin(); it != made.crend(); ++it)
            ::rmdir(QFile::encodeName(*it).constData());
        return Made::failed(Failure::System, QStringLiteral("%1: %2").arg(what, errorText(why)), why);
    };
    if (!makeFolder(folder, &error, &made))
        return fail(error, folder);

    QByteArray tmpl = QFile::encodeName(folder + QStringLiteral("/.ZEKOVD.db.XXXXXX"));
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return fail(errno, folder);
    const QByteArray tmp(name.data());
    bool ok =
        ::fchmod(fd, 0600) == 0 && writeAll(fd, bytes.constData(), size_t(bytes.size())) && ::fsync(fd) == 0;
    error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && !renameNoReplace(tmp, target)) {
        error = errno;
        ok = error == EEXIST; // another start made it first: that one is the registry
    }
    if (!ok || error == EEXIST)
        ::unlink(tmp.constData());
    if (!ok)
        return fail(error, registry);
    // The new name on disk before any book is written into the file.
    platform::syncFolder(folder);
    return {};
}

} // namespace shell
