#include "HandoverChannel.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <limits.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

using Status = HandoverChannel::Reply::Status;

constexpr quint32 kMaxPathBytes = PATH_MAX;
constexpr quint32 kMaxTextBytes = 64 * 1024;
// A caller that connects and never finishes its request is dropped after this.
constexpr int kRequestMs = 5000;

QString systemError(const QString &path, int e)
{
    return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(e)));
}

// A folder only this user enters: a real folder (no link), the user's, closed to everyone else.
bool isPrivateFolder(const QString &folder)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

bool peerIsThisUser(QLocalSocket &socket)
{
    struct ucred cred {};
    socklen_t size = sizeof cred;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &cred, &size) == 0 &&
           cred.uid == ::getuid();
}

QByteArray withLength(const QByteArray &bytes)
{
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(quint32(bytes.size()), out.data());
    return out + bytes;
}

int remainingMs(const QDeadlineTimer &deadline)
{
    return int(std::max<qint64>(0, deadline.remainingTime()));
}

// Blocks until n bytes have come or the deadline passes; false when they did not come.
bool waitForBytes(QLocalSocket &socket, qint64 n, const QDeadlineTimer &deadline)
{
    while (socket.bytesAvailable() < n) {
        if (socket.state() != QLocalSocket::ConnectedState || deadline.hasExpired() ||
            !socket.waitForReadyRead(remainingMs(deadline)))
            return socket.bytesAvailable() >= n;
    }
    return true;
}

} // namespace

QString HandoverChannel::socketPath(const QString &programName, QString *error)
{
    const QString name = QStringLiteral("%1-%2.socket").arg(programName).arg(::getuid());
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return runtime + u'/' + name;
    // The temporary folder, where the lock then lies, is open to everyone: the
    // socket goes into a folder of the user's own there.
    const QString folder = QStringLiteral("%1/%2-%3").arg(QDir::tempPath(), programName).arg(::getuid());
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
        if (error)
            *error = systemError(folder, errno);
        return {};
    }
    if (!isPrivateFolder(folder)) {
        if (error)
            *error = QStringLiteral("%1: not a folder of this user's alone").arg(folder);
        return {};
    }
    return folder + u'/' + name;
}

HandoverChannel::HandoverChannel(QString socketPath, Receiver receiver, QObject *parent)
    : QObject(parent)
    , m_path(std::move(socketPath))
    , m_receiver(std::move(receiver))
{
}

HandoverChannel::~HandoverChannel()
{
    // The socket file goes with the server; the next lock holder would remove it anyway.
    if (m_server)
        m_server->close();
}

bool HandoverChannel::listen(QString *error)
{
    const QByteArray native = QFile::encodeName(m_path);
    struct stat st {};
    // The lock holder is the only copy that listens: whatever has the socket's
    // name now was left by one that ended without removing it.
    if (::lstat(native.constData(), &st) == 0 && !S_ISDIR(st.st_mode) && ::unlink(native.constData()) != 0) {
        if (error)
            *error = systemError(m_path, errno);
        return false;
    }
    m_server = new QLocalServer(this);
    // The file is made in a private folder of its own and moved into place, so it
    // is never reachable with a looser mode.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_path)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_path, m_server->errorString());
        return false;
    }
    if (::chmod(native.constData(), 0600) != 0) {
        if (error)
            *error = systemError(m_path, errno);
        m_server->close();
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &HandoverChannel::acceptCallers);
    return true;
}

void HandoverChannel::acceptCallers()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        // Reaching the file is not enough: only the user's own programs are heard.
        if (!peerIsThisUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        QTimer::singleShot(kRequestMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        readRequest(socket);
    }
}

void HandoverChannel::readRequest(QLocalSocket *socket)
{
    if (socket->bytesAvailable() < 4)
        return;
    const quint32 size = qFromBigEndian<quint32>(socket->peek(4).constData());
    if (size == 0 || size > kMaxPathBytes)
        return answer(socket, {});
    if (socket->bytesAvailable() < 4 + qint64(size))
        return;
    socket->skip(4);
    const QByteArray bytes = socket->read(size);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString path = utf8(bytes);
    if (utf8.hasError() || path.contains(QChar(u'\0')) || !QDir::isAbsolutePath(path))
        return answer(socket, {});
    Reply reply = m_receiver(path);
    if (reply.status == Status::NoAnswer)
        reply.status = Status::Refused;
    answer(socket, reply);
}

void HandoverChannel::answer(QLocalSocket *socket, const Reply &reply)
{
    // One request per connection: whatever else comes is not read.
    socket->disconnect(socket, &QLocalSocket::readyRead, nullptr, nullptr);
    QByteArray out(1, char(reply.status));
    if (reply.status == Status::Busy)
        out += withLength(reply.text.toUtf8().left(kMaxTextBytes));
    socket->write(out);
    // What was written still goes out before the connection closes.
    socket->disconnectFromServer();
}

HandoverChannel::Reply HandoverChannel::handOver(const QString &socketPath, const QString &path,
                                                 std::chrono::milliseconds connectFor,
                                                 std::chrono::milliseconds answerWithin)
{
    auto noAnswer = [](const QString &why) { return Reply{Status::NoAnswer, why}; };
    QLocalSocket socket;
    const QDeadlineTimer connecting(connectFor);
    for (;;) {
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(remainingMs(connecting)))
            break;
        const QString why = socket.errorString();
        socket.abort();
        if (connecting.hasExpired())
            return noAnswer(QStringLiteral("no running copy answered at %1 within %2 s: %3")
                                .arg(socketPath)
                                .arg(double(connectFor.count()) / 1000.0)
                                .arg(why));
        QThread::msleep(100);
    }
    // The path is for the user's own manager, never another user's program.
    if (!peerIsThisUser(socket))
        return noAnswer(QStringLiteral("%1 belongs to another user").arg(socketPath));

    socket.write(withLength(path.toUtf8()));
    const QDeadlineTimer answering(answerWithin);
    if (!waitForBytes(socket, 1, answering))
        return noAnswer(QStringLiteral("the running copy did not answer within %1 s")
                            .arg(double(answerWithin.count()) / 1000.0));
    char status = 0;
    socket.getChar(&status);
    switch (Status(status)) {
    case Status::Accepted:
    case Status::Refused:
        return {Status(status), {}};
    case Status::Busy: {
        Reply busy{Status::Busy, {}};
        if (waitForBytes(socket, 4, answering)) {
            const quint32 size = qFromBigEndian<quint32>(socket.read(4).constData());
            if (size <= kMaxTextBytes && waitForBytes(socket, size, answering))
                busy.text = QString::fromUtf8(socket.read(size));
        }
        return busy;
    }
    case Status::NoAnswer:
        break;
    }
    return noAnswer(QStringLiteral("the running copy answered with an unknown byte %1").arg(int(status)));
}

} // namespace platform
