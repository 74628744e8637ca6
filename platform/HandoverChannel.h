#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace platform {

// How a second copy of a program hands a file to the copy already running for
// the same user: a local socket no one else reaches (the file 0600 in a folder
// 0700, and the server hears only callers of its own uid). A request is the
// file's absolute path in UTF-8 after its length (4 bytes, big-endian); the
// answer is one byte, and after Busy the text the running copy showed the user,
// length-prefixed in the same way (empty when it has none).
class HandoverChannel : public QObject {
    Q_OBJECT
  public:
    struct Reply {
        enum class Status : char {
            Accepted = 'A',
            Busy = 'B',
            Refused = 'R', // the request was no absolute path in UTF-8
            NoAnswer = 0,  // the caller's side only: nobody answered; text says why
        };
        Status status = Status::Refused;
        QString text;
    };
    // What the running copy does with a path handed to it. It runs in the event
    // loop and must not wait: it decides, and starts any work later.
    using Receiver = std::function<Reply(const QString &path)>;

    // <XDG_RUNTIME_DIR>/<program>-<uid>.socket when that folder is the user's
    // alone; else a folder of the user's own made in the temporary folder, which
    // anybody may write in. Empty, with error set, when neither can be had.
    static QString socketPath(const QString &programName, QString *error);

    HandoverChannel(QString socketPath, Receiver receiver, QObject *parent = nullptr);
    ~HandoverChannel() override;

    // Only for the holder of the program's single-instance lock: removes the
    // socket file a copy that crashed left behind, and listens.
    [[nodiscard]] bool listen(QString *error);
    const QString &path() const { return m_path; }

    // The second copy's side, blocking: connects, retrying for connectFor (the
    // running copy may still be starting), hands the path over and waits up to
    // answerWithin for the answer. Usable from any thread, without an event loop.
    static Reply handOver(const QString &socketPath, const QString &path,
                          std::chrono::milliseconds connectFor = std::chrono::seconds(10),
                          std::chrono::milliseconds answerWithin = std::chrono::seconds(10));

  private:
    void acceptCallers();
    void readRequest(QLocalSocket *socket);
    static void answer(QLocalSocket *socket, const Reply &reply);

    QString m_path;
    Receiver m_receiver;
    QLocalServer *m_server = nullptr;
};

} // namespace platform
