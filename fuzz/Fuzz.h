#pragma once

// What every harness shares: a broken promise stops the run at once, as a crash
// would, so the fuzzer keeps the input that broke it.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                                          \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, what);                                   \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace fuzz {

// Reads the input from the front, a byte at a time; zero once it is used up.
class Bytes {
  public:
    Bytes(const std::uint8_t *data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    std::uint8_t next() { return m_at < m_size ? m_data[m_at++] : 0; }
    const std::uint8_t *rest() const { return m_data + m_at; }
    std::size_t left() const { return m_size - m_at; }

  private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// A path of this process's own on a memory file system, for an input the code
// under test reads as a file.
inline QString scratchPath(const char *what)
{
    static const QString base =
        QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return QStringLiteral("%1/zeko-fuzz-%2-%3")
        .arg(base, QString::fromLatin1(what))
        .arg(QCoreApplication::applicationPid());
}

inline void writeFile(const QString &path, const std::uint8_t *data, std::size_t size)
{
    QFile f(path);
    const bool written = f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         f.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size);
    FUZZ_CHECK(written, "cannot write the input to a scratch file");
}

} // namespace fuzz
