#pragma once

#include <QString>

namespace platform {

// A per-user lock that only one running copy of a program can hold. The lock
// goes with the process, so a crashed copy never blocks the next start.
class SingleInstance {
  public:
    // lockFile empty: a file named after the program in the user's runtime folder.
    explicit SingleInstance(const QString &programName, QString lockFile = {});
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    enum class Lock {
        Acquired,      // this process holds it now (or already did)
        HeldElsewhere, // another running copy holds it
        Failed,        // the lock could not be tried at all: errorString() says why
    };
    Lock tryAcquire();
    const QString &lockFile() const { return m_lockFile; }
    QString errorString() const { return m_error; }

  private:
    QString m_lockFile;
    QString m_error;
    int m_fd = -1;
};

} // namespace platform
