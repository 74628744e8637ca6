#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace platform {
class Platform;
}
namespace messages {
class MessageBox;
}
namespace drive {
class MountDrive;
}
namespace install {
class frmInstalarLivro;
}

namespace shell {

struct SharedState;
namespace skin {
class SkinnedWindow;
}
class frmPrincipal;

// Who shows which window: the main window leads to the book list and the install
// window, and those two lead to each other. Each shows itself in its load step,
// hides the main window and unloads the other (one window in front at a time).
// Nothing opens while a flow of any window is under way: the window it runs in
// would be unloaded under it.
class Navigation : public QObject {
    Q_OBJECT
  public:
    // programFolder: the manager's unix folder; help shows help over a window;
    // exitProgram ends the program at once.
    Navigation(platform::Platform &platform, SharedState &state, drive::MountDrive &drives,
               messages::MessageBox &box, frmPrincipal &mainWindow, QString programFolder,
               std::function<void(QWidget *)> help, std::function<void()> exitProgram);

    void openBookList();
    // The install window, loaded in front; nullptr when a flow is under way or its
    // load step failed (the main window then said why).
    install::frmInstalarLivro *openInstallWindow();
    // The install window brought forward from whichever window shows, the one
    // already in front kept as it is; nullptr as for openInstallWindow.
    install::frmInstalarLivro *bringInstallWindowForward();

  private:
    // The load step of a window just made, with the main window disabled
    // meanwhile; false once the window is gone for want of a file.
    [[nodiscard]] bool runLoadStep(skin::SkinnedWindow *window,
                                   const std::function<bool(QString *)> &loadStep);
    // A window whose skin could not be loaded goes, and the main window says why.
    void loadStepFailed(QWidget *window, const QString &missing);

    platform::Platform &m_platform;
    SharedState &m_state;
    drive::MountDrive &m_drives;
    messages::MessageBox &m_box;
    frmPrincipal &m_mainWindow;
    QString m_programFolder;
    std::function<void(QWidget *)> m_help;
    std::function<void()> m_exitProgram;
};

} // namespace shell
