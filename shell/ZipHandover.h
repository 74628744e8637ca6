#pragma once

#include "shell/skin/SkinnedWindow.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <optional>

namespace messages {
class MessageBox;
}

namespace shell {

struct SharedState;
class Navigation;

// A ZIP file handed to the running manager: its own argument, or a second
// copy's. When the manager is idle the install window comes forward and installs
// it as if it had been chosen there. Otherwise it is refused as busy and the
// user is told (message 80) once the wait under way is over: a box that waits
// for an answer stays the only one, and the report a running flow shows next
// cannot replace the notice before it is read.
class ZipHandover : public QObject {
    Q_OBJECT
  public:
    ZipHandover(SharedState &state, messages::MessageBox &box, Navigation &navigation,
                QObject *parent = nullptr);
    ~ZipHandover() override;

    enum class Outcome { Accepted, Busy };
    // Decides at once and never waits: an accepted file is installed from the
    // event loop, a refused one told about from there.
    Outcome receive(const QString &zip);

    // Idle: the main window, the book list or the install window shows, no flow
    // of theirs is under way, no box is open, and no file handed over earlier
    // waits to be installed or told about.
    bool idle() const;

    // Message 80 for that file without its colour marks, for a terminal.
    QString busyText(const QString &zip) const;

  private:
    // Idle but for the files handed over here.
    bool windowsIdle() const;
    void installAccepted();
    void tellRefused();

    SharedState &m_state;
    messages::MessageBox &m_box;
    Navigation &m_navigation;
    QString m_accepted;
    // From the acceptance until the install starts, the window in front takes no
    // click that would start anything else.
    std::optional<skin::SkinnedWindow::BusyGuard> m_hold;
    QStringList m_refused; // not yet told
    QTimer m_tellTimer;
};

} // namespace shell
