#include "frmPrincipal.h"

#include "ConfirmaSaida.h"
#include "SharedState.h"
#include "drive/MountDrive.h"
#include "shell/skin/SkinLayout.h"

namespace shell {

frmPrincipal::frmPrincipal(SharedState &state, drive::MountDrive &drives, messages::MessageBox &box,
                           std::function<void()> encerrar, QWidget *parent)
    : SkinnedWindow(state,
                    Skin{QStringLiteral("frmPrincipal"),
                         state.strPastaTlaPrc,
                         QStringLiteral("T01_"),
                         QStringLiteral("T01_BG.jpg"),
                         QStringLiteral("TLA_PRC.HSP"),
                         QStringLiteral("T01_BARRA.jpg"),
                         {QString(), "BT01", "BT02", "BT03", "MNZ", "SAI"},
                         {QString(), "Livros", "Configurar", "Help", "Minimizar", "Sair"}},
                    parent)
    , m_drives(drives)
    , m_box(box)
    , m_encerrar(std::move(encerrar))
    , m_titulo(new QLabel(this))
    , m_versao(new QLabel(this))
{
    m_titulo->setObjectName(QStringLiteral("fxlblTitulo"));
    m_titulo->setText(QStringLiteral("Gerenciador de Livros do ZEKO"));
    estiloRotulo(m_titulo, *skin::kPrincipal.label("fxlblTitulo"));
    m_versao->setObjectName(QStringLiteral("lblVersao"));
    estiloRotulo(m_versao, *skin::kPrincipal.label("lblVersao"));

    m_timer1.setInterval(100);
    m_timer1.setSingleShot(true);
    connect(&m_timer1, &QTimer::timeout, this, [this] { m_titulo->update(); });
}

bool frmPrincipal::carrega(QString *error)
{
    if (!carregaSkin(error))
        return false;
    m_titulo->raise();
    m_versao->raise();
    m_versao->setText(m_state.strVersao);
    m_titulo->setText(m_state.tituloPrincipal);
    setHints(QStringList(m_state.strHints.begin(), m_state.strHints.end()));
    PosicionaForm(false);
    DefineJanelaNoTopo(false);
    m_timer1.start();
    return true;
}

void frmPrincipal::RestauraBotoes()
{
    m_titulo->update();
    SkinnedWindow::RestauraBotoes();
}

void frmPrincipal::acaoBotao(int indice)
{
    switch (indice) {
    case 1:
        emit livrosPedidos();
        break;
    case 2:
        emit instalacaoPedida();
        break;
    case 3:
        emit ajudaPedida();
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
            m_encerrar();
        }
        break;
    }
    default:
        break;
    }
}

} // namespace shell
