#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

SingleInstance::SingleInstance(const QString &programName, QString lockFile)
    : m_lockFile(std::move(lockFile))
{
    if (m_lockFile.isEmpty()) {
        QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (dir.isEmpty() || !QFileInfo(dir).isDir())
            dir = QDir::tempPath();
        m_lockFile = QStringLiteral("%1/%2-%3.lock").arg(dir, programName).arg(::getuid());
    }
}

SingleInstance::~SingleInstance()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

SingleInstance::Lock SingleInstance::tryAcquire()
{
    if (m_fd >= 0)
        return Lock::Acquired;
    const int fd = ::open(QFile::encodeName(m_lockFile).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_error = QStringLiteral("%1: %2").arg(m_lockFile, QString::fromLocal8Bit(std::strerror(errno)));
        return Lock::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        // Only a lock that is taken means another copy; anything else is a failure to say.
        if (e == EWOULDBLOCK)
            return Lock::HeldElsewhere;
        m_error = QStringLiteral("%1: %2").arg(m_lockFile, QString::fromLocal8Bit(std::strerror(e)));
        return Lock::Failed;
    }
    m_fd = fd;
    return Lock::Acquired;
}

} // namespace platform
