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

    // True when this process now holds the lock (or already did).
    bool tryAcquire();
    const QString &lockFile() const { return m_lockFile; }

private:
    QString m_lockFile;
    int m_fd = -1;
};

} // namespace platform
