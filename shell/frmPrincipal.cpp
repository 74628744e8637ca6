#include "frmPrincipal.h"

#include "ConfirmaSaida.h"
#include "SharedState.h"
#include "drive/MountDrive.h"
#include "shell/skin/SkinLayout.h"

namespace shell {

frmPrincipal::frmPrincipal(SharedState &state, drive::MountDrive &drives, messages::MessageBox &box,
                           std::function<void()> exitProgram, QWidget *parent)
    : skin::SkinnedWindow(state, skin::kMainSkin, state.strPastaTlaPrc, parent)
    , m_drives(drives)
    , m_box(box)
    , m_exitProgram(std::move(exitProgram))
    , m_title(new QLabel(this))
    , m_version(new QLabel(this))
{
    m_title->setObjectName(QStringLiteral("fxlblTitulo"));
    m_title->setText(QStringLiteral("Gerenciador de Livros do ZEKO"));
    styleLabel(m_title, *windowSkin().label("fxlblTitulo"));
    m_version->setObjectName(QStringLiteral("lblVersao"));
    styleLabel(m_version, *windowSkin().label("lblVersao"));

    m_timer1.setInterval(100);
    m_timer1.setSingleShot(true);
    connect(&m_timer1, &QTimer::timeout, this, [this] { m_title->update(); });
}

bool frmPrincipal::load(QString *error)
{
    if (!loadSkin(error))
        return false;
    m_title->raise();
    m_version->raise();
    m_version->setText(m_state.versionCaption);
    m_title->setText(m_state.mainTitle);
    setAccessibleName(m_state.mainTitle);
    setHints(QStringList(m_state.strHints.begin(), m_state.strHints.end()));
    PosicionaForm(false);
    DefineJanelaNoTopo(false);
    m_timer1.start();
    return true;
}

void frmPrincipal::RestauraBotoes()
{
    m_title->update();
    skin::SkinnedWindow::RestauraBotoes();
}

void frmPrincipal::buttonAction(int index)
{
    switch (index) {
    case 1:
        emit booksRequested();
        break;
    case 2:
        emit installRequested();
        break;
    case 3:
        emit helpRequested();
        break;
    case 4:
        setWindowState(windowState() | Qt::WindowMinimized);
        break;
    case 5: {
        // Exit releases the drives of the user's mounted books, then ends at once.
        // No other window opens while the question waits.
        const BusyGuard guard = busy();
        if (ConfirmaSaida(m_state, m_box)) {
            m_drives.DesmontaLivros();
            m_exitProgram();
        }
        break;
    }
    default:
        break;
    }
}

} // namespace shell
