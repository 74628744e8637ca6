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

namespace shell {

struct SharedState;
class SkinnedWindow;
class frmPrincipal;

// Who shows which window: the main window leads to the book list and the install
// window, and those two lead to each other. Each shows itself in its load step,
// hides the main window and unloads the other (one window in front at a time).
// Nothing opens while a flow of any window is under way: the window it runs in
// would be unloaded under it.
class Navegacao : public QObject {
    Q_OBJECT
  public:
    // pastaPrograma: the manager's unix folder; ajuda shows help over a window;
    // encerrar ends the program at once.
    Navegacao(platform::Platform &platform, SharedState &state, drive::MountDrive &drives,
              messages::MessageBox &box, frmPrincipal &principal, QString pastaPrograma,
              std::function<void(QWidget *)> ajuda, std::function<void()> encerrar);

    void abreLivros();
    void abreInstalacao();

  private:
    // The load step of a window just made, with the main window disabled meanwhile.
    void runLoadStep(SkinnedWindow *janela, const std::function<bool(QString *)> &loadStep);
    // A window whose skin could not be loaded goes, and the main window says why.
    void falhou(QWidget *janela, const QString &falta);

    platform::Platform &m_platform;
    SharedState &m_state;
    drive::MountDrive &m_drives;
    messages::MessageBox &m_box;
    frmPrincipal &m_principal;
    QString m_pastaPrograma;
    std::function<void(QWidget *)> m_ajuda;
    std::function<void()> m_encerrar;
};

} // namespace shell
