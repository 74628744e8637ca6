#include "BookFiles.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace books {

namespace {

void note(QString *error, const QString &what)
{
    if (error && error->isEmpty())
        *error = what;
}

QString reason(const char *name)
{
    return QStringLiteral("%1: %2").arg(QFile::decodeName(name),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

// Opens a folder without following a link, for reading and changing its entries.
int openFolder(int parentFd, const char *name)
{
    return ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// A folder Wine shows as read-only lets nothing in it be deleted: clear that first.
void makeWritable(int fd, const struct stat &st)
{
    const mode_t wanted = st.st_mode | S_IWUSR | (S_ISDIR(st.st_mode) ? S_IXUSR | S_IRUSR : 0);
    if ((st.st_mode & 07777) != (wanted & 07777))
        ::fchmod(fd, wanted & 07777);
}

std::vector<std::string> entries(int dirFd)
{
    std::vector<std::string> names;
    const int copy = ::dup(dirFd);
    if (copy < 0)
        return names;
    DIR *dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return names;
    }
    while (const dirent *e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    }
    ::closedir(dir);
    return names;
}

} // namespace

BookFiles::BookFiles(Unlink unlink)
    : m_unlink(unlink ? std::move(unlink) : Unlink([](int fd, const char *name, int flags) {
        return ::unlinkat(fd, name, flags);
    }))
{
}

bool BookFiles::walk(int dirFd, bool files, QString *error) const
{
    struct stat self;
    if (::fstat(dirFd, &self) == 0)
        makeWritable(dirFd, self);
    bool ok = true;
    for (const std::string &name : entries(dirFd)) {
        struct stat st;
        if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            ok = false;
            note(error, reason(name.c_str()));
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            const int sub = openFolder(dirFd, name.c_str());
            if (sub < 0) {
                ok = false;
                note(error, reason(name.c_str()));
                continue;
            }
            ok = walk(sub, files, error) && ok;
            ::close(sub);
            if (!files && m_unlink(dirFd, name.c_str(), AT_REMOVEDIR) != 0) {
                ok = false;
                note(error, reason(name.c_str()));
            }
        } else if (files) {
            // A regular file loses its read-only state; a link is removed as it is, never followed.
            // Unlinking needs no write permission on the file, so a failed chmod is
            // left to the unlink below to report if it matters.
            if (S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR) &&
                ::fchmodat(dirFd, name.c_str(), (st.st_mode | S_IWUSR) & 07777, 0) != 0)
                errno = 0;
            if (m_unlink(dirFd, name.c_str(), 0) != 0) {
                ok = false;
                note(error, reason(name.c_str()));
            }
        }
    }
    return ok;
}

bool BookFiles::ApagaArquivos(const QString &folder, QString *error) const
{
    const int fd = openFolder(AT_FDCWD, QFile::encodeName(folder).constData());
    if (fd < 0) {
        note(error, reason(QFile::encodeName(folder).constData()));
        return false;
    }
    const bool ok = walk(fd, /*files=*/true, error);
    ::close(fd);
    return ok;
}

bool BookFiles::ApagaPastas(const QString &folder, QString *error) const
{
    const int fd = openFolder(AT_FDCWD, QFile::encodeName(folder).constData());
    if (fd < 0) {
        note(error, reason(QFile::encodeName(folder).constData()));
        return false;
    }
    const bool ok = walk(fd, /*files=*/false, error);
    ::close(fd);
    return ok;
}

bool BookFiles::hasNoFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty();
}

bool BookFiles::hasSubfolders(const QString &folder)
{
    return !QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).isEmpty();
}

bool BookFiles::removeFolder(const QString &folder, QString *error) const
{
    const QByteArray path = QFile::encodeName(QDir::cleanPath(folder));
    if (m_unlink(AT_FDCWD, path.constData(), AT_REMOVEDIR) == 0)
        return true;
    note(error, reason(path.constData()));
    return false;
}

} // namespace books
