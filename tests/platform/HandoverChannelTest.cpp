// The hand-over socket between two copies of the manager: the client on a thread
// of its own, as the second copy blocks, while this thread runs the server's
// event loop as the running copy does.

#include "platform/HandoverChannel.h"
#include "common/QtPrinters.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using platform::HandoverChannel;
using Status = HandoverChannel::Reply::Status;
using namespace std::chrono_literals;

namespace {

class HandoverChannelTest : public ::testing::Test {
  protected:
    QString socket() const { return dir.path() + "/ZEKODownload-test.socket"; }
    HandoverChannel::Receiver recording(Status status, QString text = {})
    {
        return [this, status, text](const QString &path) {
            received << path;
            return HandoverChannel::Reply{status, text};
        };
    }
    // The second copy's call, with this thread's event loop running meanwhile;
    // `meanwhile` runs once after the call has begun.
    HandoverChannel::Reply handOver(const QString &path, std::chrono::milliseconds connectFor = 2s,
                                    const std::function<void()> &meanwhile = {})
    {
        HandoverChannel::Reply reply;
        std::atomic<bool> done = false;
        std::thread caller([&] {
            reply = HandoverChannel::handOver(socket(), path, connectFor, 2s);
            done = true;
        });
        if (meanwhile)
            QTimer::singleShot(300, meanwhile);
        while (!done)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        caller.join();
        return reply;
    }

    QTemporaryDir dir; // mode 0700, as the runtime folder
    QStringList received;
};

} // namespace

// Accepted and busy, a path of any characters arriving whole, the busy text
// coming back; the file reachable by the user alone; a relative path refused
// without reaching the manager.
TEST_F(HandoverChannelTest, RoundTrip)
{
    QList<Status> answers = {Status::Accepted, Status::Busy};
    HandoverChannel channel(socket(), [&](const QString &path) {
        received << path;
        return HandoverChannel::Reply{answers.takeFirst(), "O arquivo #" + path + "| não foi instalado."};
    });
    QString error;
    ASSERT_TRUE(channel.listen(&error)) << error.toStdString();
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(socket()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    const QString book = "/home/maria/Transferências/Livro Básico ção #1.zip";
    EXPECT_EQ(handOver(book).status, Status::Accepted);
    const HandoverChannel::Reply busy = handOver("/tmp/Segundo.zip");
    EXPECT_EQ(busy.status, Status::Busy) << busy.text.toStdString();
    EXPECT_EQ(busy.text, "O arquivo #/tmp/Segundo.zip| não foi instalado.");
    EXPECT_EQ(handOver("Livro.zip").status, Status::Refused);
    EXPECT_EQ(received, QStringList({book, "/tmp/Segundo.zip"}));
}

// A crashed copy's socket file refuses connections: the caller keeps trying
// while the next copy starts, which replaces the file and answers. With nobody
// to answer the caller gives up, saying so.
TEST_F(HandoverChannelTest, StaleSocketIsReplaced)
{
    const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(socket());
    std::strncpy(address.sun_path, native.constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ::close(stale);
    ASSERT_TRUE(QFileInfo::exists(socket()));

    const HandoverChannel::Reply unheard = handOver("/tmp/Livro.zip", 300ms);
    EXPECT_EQ(unheard.status, Status::NoAnswer);
    EXPECT_TRUE(unheard.text.contains(socket())) << unheard.text.toStdString();

    HandoverChannel channel(socket(), recording(Status::Accepted));
    bool listening = false;
    const HandoverChannel::Reply reply =
        handOver("/tmp/Livro.zip", 5s, [&] { listening = channel.listen(nullptr); });
    EXPECT_TRUE(listening);
    EXPECT_EQ(reply.status, Status::Accepted) << reply.text.toStdString();
    EXPECT_EQ(received, QStringList{"/tmp/Livro.zip"});
}

// Even when another user can reach the socket file, the server hears only its
// own user: the other's request is dropped unanswered and never reaches the
// manager. The caller knows the wire format alone, none of the channel's checks.
TEST_F(HandoverChannelTest, OtherUserIsDropped)
{
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    const QString python = QStandardPaths::findExecutable("python3", {"/usr/bin"});
    if (::geteuid() != 0 || setpriv.isEmpty() || python.isEmpty())
        GTEST_SKIP() << "needs root, setpriv (util-linux) and /usr/bin/python3 to call as another user";
    QTemporaryDir open;
    const QString path = open.path() + "/ZEKODownload-test.socket";
    HandoverChannel channel(path, recording(Status::Accepted));
    ASSERT_TRUE(channel.listen(nullptr));
    // Past the folder's and the file's own protection, which would stop the caller first.
    ASSERT_EQ(::chmod(QFile::encodeName(open.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0666), 0);
    const char *caller = "import socket, sys\n"
                         "s = socket.socket(socket.AF_UNIX)\n"
                         "s.connect(sys.argv[1])\n"
                         "try:\n"
                         "    s.sendall(len(b'/tmp/Livro.zip').to_bytes(4, 'big') + b'/tmp/Livro.zip')\n"
                         "    print(s.recv(1).decode() or 'closed')\n"
                         "except OSError:\n"
                         "    print('closed')\n";
    auto call = [&](const QStringList &as) {
        QProcess p;
        p.start(setpriv, as + QStringList{python, "-c", caller, path});
        while (!p.waitForFinished(20))
            QCoreApplication::processEvents();
        return p.readAllStandardOutput().trimmed() + p.readAllStandardError().trimmed();
    };
    EXPECT_EQ(call({"--reuid=65534", "--regid=65534", "--clear-groups"}), "closed");
    EXPECT_EQ(received, QStringList());
    EXPECT_EQ(call({"--reuid=0"}), "A"); // the same caller as this user is answered
    EXPECT_EQ(received, QStringList{"/tmp/Livro.zip"});
}
