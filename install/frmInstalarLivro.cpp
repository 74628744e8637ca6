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

ZipDialog::ZipDialog(QWidget *owner, QString startFolder)
    : m_owner(owner)
    , m_startFolder(std::move(startFolder))
{
}

std::optional<QString> ZipDialog::chooseZip()
{
    QFileDialog dialog(m_owner, QString(), m_startFolder, QStringLiteral("ZIP (*.zip)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Without QDir::CaseSensitive the name filter matches ".ZIP" and ".Zip" too.
    dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Drives);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

frmInstalarLivro::frmInstalarLivro(platform::Platform &platform, shell::SharedState &state,
                                   drive::MountDrive &drives, messages::MessageBox &box, FileChoice *choice,
                                   std::function<void()> exitProgram, QWidget *parent)
    : SkinnedWindow(state, shell::skin::kInstallSkin, state.strPastaTlaIns, parent)
    , m_drives(drives)
    , m_box(box)
    , m_exitProgram(std::move(exitProgram))
    , m_dialog(choice ? nullptr : std::make_unique<ZipDialog>(this, userDownloadsFolder(platform)))
    , m_install(platform, state, box, drives, choice ? *choice : *m_dialog, *this)
    , m_available(new QLabel(this))
    , m_message(new QLabel(this))
{
    m_available->setObjectName(QStringLiteral("FXLblDisponivel"));
    styleLabel(m_available, *windowSkin().label("FXLblDisponivel"));
    m_available->setWordWrap(true);
    m_message->setObjectName(QStringLiteral("FXLblMensagem"));
    styleLabel(m_message, *windowSkin().label("FXLblMensagem"));
    setAcceptDrops(true);

    m_tmrMsg.setInterval(1000);
    connect(&m_tmrMsg, &QTimer::timeout, this, [this] {
        const QString unpacking =
            m_state.catalogue->mensagem(messages::code::InstallUnpacking, {m_install.strCurso()});
        m_message->setText(InstallFlow::nextProgress(m_message->text(), unpacking));
    });
    m_timer1.setInterval(100);
    m_timer1.setSingleShot(true);
    connect(&m_timer1, &QTimer::timeout, this, [this] {
        m_available->update();
        m_message->update();
        showNormalButton(Minimizar);
        showNormalButton(Sair);
    });
}

frmInstalarLivro::~frmInstalarLivro() = default;

QString frmInstalarLivro::userDownloadsFolder(platform::Platform &platform)
{
    // The Windows user's Downloads in the prefix, which Wine links to the
    // desktop's own; else the desktop's; else home.
    if (const std::optional<QString> user = platform.userName(257)) {
        const QString inPrefix = platform.toUnixPath(QStringLiteral("C:\\users\\%1\\Downloads").arg(*user));
        if (QFileInfo(inPrefix).isDir())
            return QFileInfo(inPrefix).canonicalFilePath();
    }
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return QFileInfo(downloads).isDir() ? downloads : QDir::homePath();
}

bool frmInstalarLivro::load(QString *error)
{
    const BusyGuard guard = busy();
    bringToFront(shell::skin::kBookListSkin);

    if (!loadSkin(error))
        return false;
    m_available->raise();
    m_message->raise();

    // Hints of buttons 1 to 6.
    namespace hint = messages::hint;
    loadHints({hint::None, hint::SelectZip, hint::MyBooks, hint::BackToMain, hint::Help, hint::Minimize,
               hint::Exit});
    messages::Catalogue &catalogue = *m_state.catalogue;
    // The window has no title of its own: the main window's hint for it names it.
    setAccessibleName(catalogue.hint(hint::InstallBook));
    m_available->setText(catalogue.mensagem(messages::code::InstallInformation,
                                            {QStringLiteral(" [") + m_state.strPastaDownload + u']'}));

    m_drives.MontaListaDrives(true);
    showInPlaceOfMain();
    m_timer1.start();
    return true;
}

void frmInstalarLivro::showProgress(const QString &text)
{
    m_message->setText(text);
}

void frmInstalarLivro::animateProgress(bool on)
{
    if (on)
        m_tmrMsg.start();
    else
        m_tmrMsg.stop();
}

void frmInstalarLivro::enableButtons(bool enabled)
{
    // After the extraction the install still registers the book, deletes the
    // archive and reports in this window: the buttons come back once it is over.
    if (enabled && isBusy())
        return;
    for (int button : {Procurar, Livro, Principal, Sair})
        HabilitaBotao(button, enabled);
}

void frmInstalarLivro::RestauraBotoes()
{
    m_available->update();
    m_message->update();
    SkinnedWindow::RestauraBotoes();
}

void frmInstalarLivro::buttonAction(int index)
{
    // The install flow tells the user its own outcome.
    switch (index) {
    case Procurar:
        runInstall([this] { (void)m_install.InstalaLivro(); });
        break;
    case Livro:
        emit booksRequested();
        break;
    case Principal:
        backToMain();
        break;
    case Help:
        emit helpRequested();
        break;
    case Minimizar:
        setWindowState(windowState() | Qt::WindowMinimized);
        break;
    case Sair: {
        const BusyGuard guard = busy();
        if (shell::ConfirmaSaida(m_state, m_box)) {
            m_drives.DesmontaLivros();
            m_exitProgram();
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
    enableButtons(true);
}

void frmInstalarLivro::installHanded(const QString &zip)
{
    runInstall([this, &zip] { (void)m_install.install(zip); });
}

int frmInstalarLivro::escapeButton() const
{
    return Principal;
}

void frmInstalarLivro::closeEvent(QCloseEvent *e)
{
    SkinnedWindow::closeEvent(e);
    if (e->isAccepted())
        backToMainIfAsked();
}

QString frmInstalarLivro::droppedZip(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1 || !mime->urls().first().isLocalFile())
        return {};
    const QString file = mime->urls().first().toLocalFile();
    return file.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive) ? file : QString();
}

void frmInstalarLivro::dragEnterEvent(QDragEnterEvent *e)
{
    if (!isBusy() && buttonEnabled(Procurar) && !droppedZip(e->mimeData()).isEmpty())
        e->acceptProposedAction();
}

void frmInstalarLivro::dropEvent(QDropEvent *e)
{
    const QString file = droppedZip(e->mimeData());
    if (file.isEmpty() || isBusy())
        return;
    e->acceptProposedAction();
    runInstall([this, &file] { (void)m_install.install(file); });
}

} // namespace install
