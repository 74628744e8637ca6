#include "platform/ProfileFile.h"
#include "common/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

using platform::ProfileFile;

namespace {

// Set to an errno, fsync fails with it: no disk fails at will.
std::atomic<int> g_fsyncFailure{0};

} // namespace

// The test program's own fsync, which ProfileFile links to instead of the C library's.
extern "C" int fsync(int fd)
{
    if (const int failure = g_fsyncFailure.load()) {
        errno = failure;
        return -1;
    }
    return int(::syscall(SYS_fsync, fd));
}

class ProfileFileOnDisk : public ::testing::Test {
  protected:
    QString path() const { return m_dir.path() + QStringLiteral("/zeko.ini"); }
    void put(const QByteArray &bytes)
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray content() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir m_dir;
};

// The file is replaced whole by rename: a reader sees the old or the new file.
TEST_F(ProfileFileOnDisk, WriteReplacesAtomicallyAndKeepsMode)
{
    put("[A]\r\nk=1\r\n");
    ::chmod(QFile::encodeName(path()).constData(), 0640);
    struct stat before {};
    ::stat(QFile::encodeName(path()).constData(), &before);
    QString error;
    ASSERT_TRUE(ProfileFile::writeFile(path(), "A", "k", "2", &error)) << error.toStdString();
    struct stat after {};
    ::stat(QFile::encodeName(path()).constData(), &after);
    EXPECT_EQ(content(), "[A]\r\nk=2\r\n");
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "temporary file left behind";
}

TEST_F(ProfileFileOnDisk, ReadOnlyFileIsNotTouched)
{
    put("[A]\r\nk=1\r\n");
    ::chmod(QFile::encodeName(path()).constData(), 0444);
    QString error;
    EXPECT_FALSE(ProfileFile::writeFile(path(), "A", "k", "2", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("read-only")));
    EXPECT_EQ(content(), "[A]\r\nk=1\r\n");
}

TEST_F(ProfileFileOnDisk, UnchangedValueIsNotRewritten)
{
    put("[A]\r\nk=1\r\n");
    struct stat before {};
    ::stat(QFile::encodeName(path()).constData(), &before);
    EXPECT_TRUE(ProfileFile::writeFile(path(), "a", "K", "1"));
    struct stat after {};
    ::stat(QFile::encodeName(path()).constData(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST_F(ProfileFileOnDisk, WritesThroughASymbolicLink)
{
    const QString real = m_dir.path() + QStringLiteral("/real.ini");
    QFile f(real);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[A]\nk=1\n");
    f.close();
    ASSERT_TRUE(QFile::link(real, path()));
    ASSERT_TRUE(ProfileFile::writeFile(path(), "A", "k", "2"));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(content(), "[A]\nk=2\n");
}

// A FIFO would hold the read until some writer came, and a device such as
// /dev/zero never ends: anything but a regular file reads as missing, and a
// write to it is refused with the reason.
TEST_F(ProfileFileOnDisk, OnlyRegularFilesAreRead)
{
    const QByteArray fifo = QFile::encodeName(path());
    ASSERT_EQ(::mkfifo(fifo.constData(), 0644), 0);
    // A writer that waits for a reader and hands it a value: a read of the FIFO shows it.
    std::thread writer([&fifo] {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE); // a reader that left makes the write fail, not the test
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
        const int fd = ::open(fifo.constData(), O_WRONLY);
        if (fd >= 0) {
            [[maybe_unused]] const ssize_t n = ::write(fd, "[A]\nk=fifo\n", 11);
            ::close(fd);
        }
    });
    const QString fromFifo = ProfileFile::readFile(path(), "A", "k", "d", 255).value;
    // A reader of our own lets the writer finish, whatever the read did.
    const int release = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    writer.join();
    if (release >= 0)
        ::close(release);
    ASSERT_EQ(fromFifo, "d");

    QString error;
    EXPECT_FALSE(ProfileFile::writeFile(path(), "A", "k", "1", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("not a file"))) << error.toStdString();
    EXPECT_FALSE(QFileInfo(path()).isFile());

    const QString zero = m_dir.path() + QStringLiteral("/zero.ini");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    EXPECT_EQ(ProfileFile::readFile(zero, "A", "k", "d", 255).value, "d");
    EXPECT_FALSE(ProfileFile::writeFile(zero, "A", "k", "1", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("not a file"))) << error.toStdString();
    EXPECT_EQ(
        QDir(m_dir.path(), QStringLiteral(".*")).entryList(QDir::Files | QDir::System | QDir::Hidden).size(),
        0)
        << "temporary file left behind";
}

// A flush that fails is reported with its own error, and the file stays as it was.
TEST_F(ProfileFileOnDisk, FailedFlushIsReportedAndChangesNothing)
{
    put("[A]\r\nk=1\r\n");
    QString error;
    g_fsyncFailure = EIO;
    const bool written = ProfileFile::writeFile(path(), "A", "k", "2", &error);
    g_fsyncFailure = 0;
    EXPECT_FALSE(written);
    EXPECT_TRUE(error.endsWith(QString::fromLocal8Bit(std::strerror(EIO)))) << error.toStdString();
    EXPECT_EQ(content(), "[A]\r\nk=1\r\n");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "temporary file left behind";
}

// The rename puts a new file in place: root rewriting a user's file gives it
// back its owner, group and mode.
TEST_F(ProfileFileOnDisk, RewriteByRootKeepsOwnerGroupAndMode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    put("[A]\r\nk=1\r\n");
    const QByteArray native = QFile::encodeName(path());
    ASSERT_EQ(::chown(native.constData(), 4321, 8765), 0);
    ASSERT_EQ(::chmod(native.constData(), 02664), 0);
    QString error;
    ASSERT_TRUE(ProfileFile::writeFile(path(), "A", "k", "2", &error)) << error.toStdString();
    struct stat after {};
    ASSERT_EQ(::stat(native.constData(), &after), 0);
    EXPECT_EQ(content(), "[A]\r\nk=2\r\n");
    EXPECT_EQ(after.st_uid, 4321u);
    EXPECT_EQ(after.st_gid, 8765u);
    EXPECT_EQ(after.st_mode & 07777, 02664u);
}

TEST_F(ProfileFileOnDisk, MissingFileReadsEmpty)
{
    EXPECT_EQ(ProfileFile::readFile(path(), "A", "k", "", 255).count, 0);
    EXPECT_EQ(ProfileFile::readFile(path(), "A", "k", "d", 255).value, "d");
}
