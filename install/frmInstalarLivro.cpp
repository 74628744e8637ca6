#include "frmInstalarLivro.h"

#include "drive/MountDrive.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "messages/MessageBox.h"
#include "platform/Platform.h"
#include "shell/ConfirmaSaida.h"
#include "shell/SharedState.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>

namespace install {

namespace {

enum Botao { Procurar = 1, Livro, Principal, Help, Minimizar, Sair };

} // namespace

DialogoZip::DialogoZip(QWidget *dono, QString pastaInicial)
    : m_dono(dono)
    , m_pastaInicial(std::move(pastaInicial))
{
}

std::optional<QString> DialogoZip::escolheZip()
{
    QFileDialog dialogo(m_dono, QString(), m_pastaInicial, QStringLiteral("ZIP (*.zip)"));
    dialogo.setFileMode(QFileDialog::ExistingFile);
    dialogo.setAcceptMode(QFileDialog::AcceptOpen);
    // Without QDir::CaseSensitive the name filter matches ".ZIP" and ".Zip" too.
    dialogo.setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Drives);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return std::nullopt;
    return dialogo.selectedFiles().constFirst();
}

frmInstalarLivro::frmInstalarLivro(platform::Platform &platform, shell::SharedState &state,
                                   drive::MountDrive &drives, messages::MessageBox &box,
                                   EscolhaArquivo *escolha, std::function<void()> encerrar, QWidget *parent)
    : SkinnedWindow(state,
                    shell::Skin{QStringLiteral("frmInstalarLivro"),
                                state.strPastaTlaIns,
                                QStringLiteral("T03_"),
                                QStringLiteral("T03_BG.jpg"),
                                QStringLiteral("TLA_INS.HSP"),
                                QStringLiteral("T03_BARRA.jpg"),
                                {QString(), "BT01", "BT02", "BT03", "BT04", "MNZ", "SAI"},
                                {QString(), "Procurar", "Livro", "Principal", "Help", "Minimizar", "Sair"}},
                    parent)
    , m_drives(drives)
    , m_box(box)
    , m_encerrar(std::move(encerrar))
    , m_dialogo(escolha ? nullptr : std::make_unique<DialogoZip>(this, pastaDownloadsDoUsuario(platform)))
    , m_instalar(platform, state, box, drives, escolha ? *escolha : *m_dialogo, *this)
    , m_disponivel(new QLabel(this))
    , m_mensagem(new QLabel(this))
{
    namespace skin = shell::skin;
    m_disponivel->setObjectName(QStringLiteral("FXLblDisponivel"));
    estiloRotulo(m_disponivel, *skin::kInstalarLivro.label("FXLblDisponivel"));
    m_disponivel->setWordWrap(true);
    m_mensagem->setObjectName(QStringLiteral("FXLblMensagem"));
    estiloRotulo(m_mensagem, *skin::kInstalarLivro.label("FXLblMensagem"));
    setAcceptDrops(true);

    m_tmrMsg.setInterval(1000);
    connect(&m_tmrMsg, &QTimer::timeout, this, [this] {
        const QString mensagem =
            m_state.catalogo->mensagem(messages::code::InstallUnpacking, {m_instalar.strCurso()});
        m_mensagem->setText(InstalarLivro::proximoProgresso(m_mensagem->text(), mensagem));
    });
    m_timer1.setInterval(100);
    m_timer1.setSingleShot(true);
    connect(&m_timer1, &QTimer::timeout, this, [this] {
        m_disponivel->update();
        m_mensagem->update();
        mostraBotaoNormal(Minimizar);
        mostraBotaoNormal(Sair);
    });
}

frmInstalarLivro::~frmInstalarLivro() = default;

QString frmInstalarLivro::pastaDownloadsDoUsuario(platform::Platform &platform)
{
    // The Windows user's Downloads in the prefix, which Wine links to the
    // desktop's own; else the desktop's; else home.
    if (const std::optional<QString> usuario = platform.userName(257)) {
        const QString naPrefixo =
            platform.toUnixPath(QStringLiteral("C:\\users\\%1\\Downloads").arg(*usuario));
        if (QFileInfo(naPrefixo).isDir())
            return QFileInfo(naPrefixo).canonicalFilePath();
    }
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return QFileInfo(downloads).isDir() ? downloads : QDir::homePath();
}

bool frmInstalarLivro::carrega(QString *error)
{
    const BusyGuard guard = busy();
    tomaAFrente(QStringLiteral("frmAbrirLivro"));

    if (!carregaSkin(error))
        return false;
    m_disponivel->raise();
    m_mensagem->raise();

    // Hints of buttons 1 to 6.
    namespace hint = messages::hint;
    carregaHints({hint::None, hint::SelectZip, hint::MyBooks, hint::BackToMain, hint::Help, hint::Minimize,
                  hint::Exit});
    messages::Catalogue &catalogo = *m_state.catalogo;
    m_disponivel->setText(catalogo.mensagem(messages::code::InstallInformation,
                                            {QStringLiteral(" [") + m_state.strPastaDownload + u']'}));

    m_drives.MontaListaDrives(true);
    mostraNoLugarDoPrincipal();
    m_timer1.start();
    return true;
}

void frmInstalarLivro::mostraProgresso(const QString &texto)
{
    m_mensagem->setText(texto);
}

void frmInstalarLivro::animaProgresso(bool ligado)
{
    if (ligado)
        m_tmrMsg.start();
    else
        m_tmrMsg.stop();
}

void frmInstalarLivro::habilitaBotoes(bool habilitados)
{
    // After the extraction the install still registers the book, deletes the
    // archive and reports in this window: the buttons come back once it is over.
    if (habilitados && isBusy())
        return;
    for (int botao : {Procurar, Livro, Principal, Sair})
        HabilitaBotao(botao, habilitados);
}

void frmInstalarLivro::RestauraBotoes()
{
    m_disponivel->update();
    m_mensagem->update();
    SkinnedWindow::RestauraBotoes();
}

void frmInstalarLivro::acaoBotao(int indice)
{
    switch (indice) {
    case Procurar:
        runInstall([this] { m_instalar.InstalaLivro(); });
        break;
    case Livro:
        emit livroPedido();
        break;
    case Principal:
        voltaAoPrincipal();
        break;
    case Help:
        emit ajudaPedida();
        break;
    case Minimizar:
        setWindowState(windowState() | Qt::WindowMinimized);
        break;
    case Sair: {
        const BusyGuard guard = busy();
        if (shell::ConfirmaSaida(m_state, m_box)) {
            m_drives.DesmontaLivros();
            m_encerrar();
        }
        break;
    }
    default:
        break;
    }
}

void frmInstalarLivro::runInstall(const std::function<void()> &flow)
{
    {
        const BusyGuard guard = busy();
        flow();
    }
    habilitaBotoes(true);
}

void frmInstalarLivro::closeEvent(QCloseEvent *e)
{
    SkinnedWindow::closeEvent(e);
    if (e->isAccepted())
        voltaAoPrincipalSePedido();
}

QString frmInstalarLivro::zipSolto(const QMimeData *dados)
{
    if (!dados || !dados->hasUrls() || dados->urls().size() != 1 || !dados->urls().first().isLocalFile())
        return {};
    const QString arquivo = dados->urls().first().toLocalFile();
    return arquivo.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive) ? arquivo : QString();
}

void frmInstalarLivro::dragEnterEvent(QDragEnterEvent *e)
{
    if (!isBusy() && botaoHabilitado(Procurar) && !zipSolto(e->mimeData()).isEmpty())
        e->acceptProposedAction();
}

void frmInstalarLivro::dropEvent(QDropEvent *e)
{
    const QString arquivo = zipSolto(e->mimeData());
    if (arquivo.isEmpty() || isBusy())
        return;
    e->acceptProposedAction();
    runInstall([this, &arquivo] { m_instalar.instala(arquivo); });
}

} // namespace install
