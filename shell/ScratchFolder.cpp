#include "ScratchFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace shell {

namespace {

const QString kStaging = QStringLiteral(".zeko-staging-");
const QString kRemoval = QStringLiteral(".zeko-removing-");
constexpr int kTries = 64;

const QString &prefixOf(ScratchFolder::Kind kind)
{
    return kind == ScratchFolder::Kind::Staging ? kStaging : kRemoval;
}

QString randomName(ScratchFolder::Kind kind)
{
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString name = prefixOf(kind);
    for (int i = 0; i < 10; ++i)
        name += QLatin1Char(digits[random() % (sizeof digits - 1)]);
    return name;
}

int openFolder(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The lock holds only while the path still names the folder we locked: another
// process may have finished a leftover of that name between our open and our lock.
bool stillThere(int fd, const QString &path)
{
    struct stat byFd, byPath;
    return ::fstat(fd, &byFd) == 0 && byFd.st_nlink > 0 &&
           ::lstat(QFile::encodeName(path).constData(), &byPath) == 0 && byFd.st_dev == byPath.st_dev &&
           byFd.st_ino == byPath.st_ino;
}

// rename() that never replaces what is there; a file system without the flag
// gets a test first, which only a name chosen at random can race with.
int renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray f = QFile::encodeName(from), t = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    struct stat st;
    if (::lstat(t.constData(), &st) == 0) {
        errno = EEXIST;
        return -1;
    }
    return std::rename(f.constData(), t.constData());
}

} // namespace

ScratchFolder::ScratchFolder(int fd, QString path)
    : m_fd(fd)
    , m_path(std::move(path))
{
}

ScratchFolder ScratchFolder::failed(int error)
{
    ScratchFolder f;
    f.m_error = error;
    return f;
}

ScratchFolder::ScratchFolder(ScratchFolder &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
    , m_path(std::move(other.m_path))
    , m_error(other.m_error)
{
}

ScratchFolder &ScratchFolder::operator=(ScratchFolder &&other) noexcept
{
    if (this != &other) {
        release();
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
        m_error = other.m_error;
    }
    return *this;
}

ScratchFolder::~ScratchFolder()
{
    release();
}

void ScratchFolder::release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

ScratchFolder ScratchFolder::create(const QString &parentDir, Kind kind)
{
    for (int i = 0; i < kTries; ++i) {
        const QString path = QDir(parentDir).filePath(randomName(kind));
        if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0) {
            if (errno == EEXIST)
                continue;
            return failed(errno);
        }
        const int fd = openFolder(path);
        if (fd < 0)
            return failed(errno);
        // Another start may be clearing leftovers right now and have taken ours.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && stillThere(fd, path)) {
            ::fchmod(fd, 0755);
            return ScratchFolder(fd, path);
        }
        ::close(fd);
    }
    return failed(EEXIST);
}

ScratchFolder ScratchFolder::takeOver(const QString &from, const QString &parentDir, Kind kind)
{
    const int fd = openFolder(from);
    if (fd < 0)
        return failed(errno);
    // Locked before it moves: under its new name it is never anyone's leftover.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !stillThere(fd, from)) {
        const int e = errno ? errno : EBUSY;
        ::close(fd);
        return failed(e == EWOULDBLOCK ? EBUSY : e);
    }
    for (int i = 0; i < kTries; ++i) {
        const QString path = QDir(parentDir).filePath(randomName(kind));
        if (renameNoReplace(from, path) == 0) {
            // The new name on disk before anything that relies on it (the book's
            // row going), so a power loss cannot bring back a book without a row.
            const int parent = openFolder(parentDir);
            if (parent >= 0) {
                ::fsync(parent);
                ::close(parent);
            }
            return ScratchFolder(fd, path);
        }
        if (errno != EEXIST)
            break;
    }
    const int e = errno;
    ::close(fd);
    return failed(e);
}

std::vector<ScratchFolder> ScratchFolder::leftovers(const QString &parentDir, Kind kind)
{
    std::vector<ScratchFolder> found;
    const QDir dir(parentDir);
    const QStringList names = dir.entryList(
        {prefixOf(kind) + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        const int fd = openFolder(path);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && stillThere(fd, path))
            found.push_back(ScratchFolder(fd, path));
        else
            ::close(fd);
    }
    return found;
}

int ScratchFolder::removeLinks(const QString &parentDir, Kind kind)
{
    int removed = 0;
    const QDir dir(parentDir);
    // System lists links that lead nowhere as well.
    const QStringList names = dir.entryList({prefixOf(kind) + u'*'}, QDir::AllEntries | QDir::Hidden |
                                                                         QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        struct stat st;
        // unlink() removes a link itself, and never a folder should one take its place meanwhile.
        if (::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode) && ::unlink(path.constData()) == 0)
            ++removed;
    }
    return removed;
}

bool ScratchFolder::isScratchName(const QString &name)
{
    return name.startsWith(QStringLiteral(".zeko-"), Qt::CaseInsensitive);
}

std::optional<ScratchFolder::Kind> ScratchFolder::kindOfName(const QString &name)
{
    for (const Kind kind : {Kind::Staging, Kind::Removal})
        if (name.startsWith(prefixOf(kind), Qt::CaseInsensitive))
            return kind;
    return std::nullopt;
}

bool ScratchFolder::moveTo(const QString &to)
{
    if (renameNoReplace(m_path, to) != 0) {
        m_error = errno;
        return false;
    }
    m_path = to;
    return true;
}

} // namespace shell
