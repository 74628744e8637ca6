#include "frmAbrirLivro.h"

#include "books/ListaLivros.h"
#include "drive/MountDrive.h"
#include "messages/Aviso.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "messages/MessageBox.h"
#include "shell/ConfirmaSaida.h"
#include "shell/SharedState.h"
#include "shell/skin/Campos.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QSignalBlocker>

namespace books {

namespace {

enum Botao { Remover = 1, Configurar, Principal, Help, OK, Minimizar, Sair };

} // namespace

frmAbrirLivro::frmAbrirLivro(platform::Platform &platform, shell::SharedState &state,
                             drive::MountDrive &drives, messages::MessageBox &box, QString pastaPrograma,
                             std::function<void()> encerrar, QWidget *parent)
    : SkinnedWindow(
          state,
          shell::Skin{QStringLiteral("frmAbrirLivro"),
                      state.strPastaTlaLiv,
                      QStringLiteral("T02_"),
                      QStringLiteral("T02_BG.jpg"),
                      QStringLiteral("TLA_LIV.HSP"),
                      QStringLiteral("T02_BARRA.jpg"),
                      {QString(), "BT01", "BT02", "BT03", "BT04", "BT05", "MNZ", "SAI"},
                      {QString(), "Remover", "Configurar", "Principal", "Help", "OK", "Minimizar", "Sair"}},
          parent)
    , m_drives(drives)
    , m_box(box)
    , m_encerrar(std::move(encerrar))
    , m_abrir(platform, state, box, drives, std::move(pastaPrograma), [this] { MontaCombo(); })
    , m_remover(
          platform, state, box, drives, [this] { MontaCombo(); }, [this](bool on) { setEnabled(on); })
    , m_titulo(new QLabel(this))
    , m_mensagem(new QLabel(this))
    , m_lista(new shell::skin::ListaSuspensa(13, this))
{
    namespace skin = shell::skin;
    m_titulo->setObjectName(QStringLiteral("fxlblTitulo"));
    estiloRotulo(m_titulo, *skin::kAbrirLivro.label("fxlblTitulo"));
    m_mensagem->setObjectName(QStringLiteral("fxlblMensagem"));
    estiloRotulo(m_mensagem, *skin::kAbrirLivro.label("fxlblMensagem"));

    m_lista->setObjectName(QStringLiteral("cbZEKO"));
    m_lista->setGeometry(retangulo(skin::kAbrirLivro.listRect));
    m_lista->setMaxVisibleItems(12);
    connect(m_lista, &QComboBox::currentIndexChanged, this, &frmAbrirLivro::selecionou);

    m_timer1.setInterval(100);
    m_timer1.setSingleShot(true);
    connect(&m_timer1, &QTimer::timeout, this, [this] {
        m_titulo->update();
        m_mensagem->update();
        mostraBotaoNormal(Minimizar);
        mostraBotaoNormal(Sair);
    });
}

bool frmAbrirLivro::carrega(QString *error)
{
    const BusyGuard guard = busy();
    tomaAFrente(QStringLiteral("frmInstalarLivro"));

    if (!carregaSkin(error))
        return false;
    m_titulo->raise();
    m_mensagem->raise();
    m_lista->raise();

    // Hints of buttons 1 to 7.
    namespace hint = messages::hint;
    carregaHints({hint::None, hint::RemoveBook, hint::InstallBook, hint::BackToMain, hint::Help,
                  hint::OpenBook, hint::Minimize, hint::Exit});
    messages::Catalogue &catalogo = *m_state.catalogo;
    m_titulo->setText(catalogo.descricao(messages::code::BookListTitle));
    m_mensagem->setText(catalogo.descricao(messages::code::BookListInformation));

    m_drives.MontaListaDrives(true);
    MontaCombo();
    mostraNoLugarDoPrincipal();
    m_timer1.start();
    return true;
}

void frmAbrirLivro::MontaCombo()
{
    const QSignalBlocker quieto(m_lista);
    m_lista->clear();
    m_lista->addItems(ListaLivros::entradas(m_state));
    m_lista->setCurrentIndex(0);
    // Selecting entry 0 is a selection like any other: it disables Remove and OK.
    selecionou(0);
}

void frmAbrirLivro::selecionou(int indice)
{
    const bool livro = ListaLivros::entradaDeLivro(indice);
    HabilitaBotao(Remover, livro);
    HabilitaBotao(OK, livro);
}

void frmAbrirLivro::RestauraBotoes()
{
    m_titulo->update();
    m_mensagem->update();
    m_lista->update();
    SkinnedWindow::RestauraBotoes();
}

void frmAbrirLivro::acaoBotao(int indice)
{
    // Remove, open and exit wait on the message box or a worker thread, and come
    // back into this window: it stays until they end.
    switch (indice) {
    case Remover: {
        const BusyGuard guard = busy();
        m_remover.remove(m_lista->currentText());
        break;
    }
    case Configurar:
        emit configurarPedido();
        break;
    case Principal:
        voltaAoPrincipal();
        break;
    case Help:
        emit ajudaPedida();
        break;
    case OK: {
        const BusyGuard guard = busy();
        m_abrir.abre(m_lista->currentText());
        break;
    }
    case Minimizar:
        setWindowState(windowState() | Qt::WindowMinimized);
        break;
    case Sair: {
        const BusyGuard guard = busy();
        if (!shell::ConfirmaSaida(m_state, m_box))
            break;
        if (m_drives.CursoEmExecucao()) {
            // Leaving would take the book's drive from under the running course.
            messages::avisa(m_state, m_box, messages::code::CourseRunningLeave);
            break;
        }
        m_drives.DesmontaLivros();
        m_encerrar();
        break;
    }
    default:
        break;
    }
}

void frmAbrirLivro::closeEvent(QCloseEvent *e)
{
    SkinnedWindow::closeEvent(e);
    if (e->isAccepted())
        voltaAoPrincipalSePedido();
}

} // namespace books
