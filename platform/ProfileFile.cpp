#include "ProfileFile.h"
#include "FileNames.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>
#include <vector>

namespace platform {

namespace {

// A file at path, opened only when it is a regular file after links: opening a
// FIFO waits for a writer (and, opened anyway, would cut off the writers it has)
// and a device such as /dev/zero never ends. The open itself is non-blocking and
// checked again, for a file swapped between the two looks.
struct Loaded {
    bool exists = false;
    bool regular = false;
    int error = 0; // errno of a failed look at, open or read of the file
    struct stat st {};
    QByteArray bytes;
};

Loaded load(const QByteArray &path)
{
    Loaded out;
    if (::stat(path.constData(), &out.st) != 0) {
        out.error = errno;
        return out;
    }
    out.exists = true;
    out.regular = S_ISREG(out.st.st_mode);
    if (!out.regular)
        return out;
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        out.error = errno;
        return out;
    }
    if (::fstat(fd, &out.st) != 0) {
        out.error = errno;
        ::close(fd);
        return out;
    }
    out.regular = S_ISREG(out.st.st_mode);
    if (!out.regular) {
        ::close(fd);
        return out;
    }
    // Read to the end, which is usually where fstat said it is. (Sized exactly:
    // QByteArray's resize would round the block up, to as much as twice the size.)
    out.bytes = QByteArray(qsizetype(out.st.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    for (;;) {
        if (done == out.bytes.size()) {
            char probe[65536];
            const ssize_t n = ::read(fd, probe, sizeof probe);
            if (n > 0) {
                out.bytes.append(probe, qsizetype(n));
                done += n;
                continue;
            }
            if (n == 0)
                break;
            if (errno == EINTR)
                continue;
            out.error = errno;
            break;
        }
        const ssize_t n = ::read(fd, out.bytes.data() + done, size_t(out.bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n == 0) {
            out.bytes.truncate(done); // shrank under us
            break;
        } else if (errno != EINTR) {
            out.error = errno;
            break;
        }
    }
    ::close(fd);
    if (out.error)
        out.bytes.clear();
    return out;
}

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

ProfileRead ProfileFile::readFile(const QString &unixPath, const QString &section, const QString &key,
                                  const QString &defaultValue, int bufferSize)
{
    Loaded file = load(QFile::encodeName(unixPath));
    if (!file.regular)
        file.bytes.clear();
    return IniDocument(std::move(file.bytes)).read(section, key, defaultValue, bufferSize);
}

bool ProfileFile::writeFile(const QString &unixPath, const QString &section, const QString &key,
                            const QString &value, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };

    // Write through a symbolic link to the file it names, so the link survives.
    const QFileInfo info(unixPath);
    const QString target = info.isSymLink() ? info.canonicalFilePath() : info.absoluteFilePath();
    if (target.isEmpty())
        return fail(QStringLiteral("%1: the link leads nowhere").arg(unixPath));

    const QByteArray nativeTarget = QFile::encodeName(target);
    const Loaded file = load(nativeTarget);
    if (file.exists && !file.regular)
        return fail(QStringLiteral("%1 is not a file").arg(target));
    if (file.exists) {
        // The read-only attribute holds even for root, as it does on Windows.
        if (!(file.st.st_mode & S_IWUSR) || ::access(nativeTarget.constData(), W_OK) != 0)
            return fail(QStringLiteral("%1 is read-only").arg(target));
    }
    if (file.error && file.error != ENOENT)
        return fail(QStringLiteral("%1: %2").arg(target, errorText(file.error)));

    IniDocument profile(file.bytes);
    if (profile.write(section, key, value) == IniDocument::Change::Unchanged)
        return true; // already holds that value

    const QByteArray tmpName = QFile::encodeName(
        QFileInfo(target).absolutePath() + QStringLiteral("/.%1.XXXXXX").arg(QFileInfo(target).fileName()));
    std::vector<char> tmpl(tmpName.begin(), tmpName.end());
    tmpl.push_back('\0');
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return fail(QStringLiteral("%1: %2").arg(target, errorText(errno)));

    // Each failure reports its own errno, taken before anything else can change it.
    auto abandon = [&](int why) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(tmpl.data());
        return fail(QStringLiteral("%1: %2").arg(target, errorText(why)));
    };

    const QByteArray &out = profile.bytes();
    qsizetype done = 0;
    while (done < out.size()) {
        const ssize_t n = ::write(fd, out.constData() + done, size_t(out.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return abandon(errno);
        }
        done += n;
    }
    // The rename replaces the file, so the new one takes over who owns it: root
    // rewriting a user's file must not leave it root's. Without the right to give
    // it away, the group alone may still be ours to set; failing both, the file
    // becomes the writer's, as any file it creates.
    if (file.exists && ::fchown(fd, file.st.st_uid, file.st.st_gid) != 0) {
        if (errno != EPERM)
            return abandon(errno);
        if (::fchown(fd, uid_t(-1), file.st.st_gid) != 0 && errno != EPERM)
            return abandon(errno);
    }
    // After the owner: changing it clears the set-id bits.
    const mode_t mode = file.exists ? (file.st.st_mode & 07777) : 0644;
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        return abandon(errno);
    const int closing = ::close(fd);
    fd = -1;
    if (closing != 0 || ::rename(tmpl.data(), nativeTarget.constData()) != 0)
        return abandon(errno);
    // Make the rename itself durable.
    syncFolder(QFileInfo(target).absolutePath());
    return true;
}

} // namespace platform
