#include "Navigation.h"

#include "SharedState.h"
#include "Sistema.h"
#include "Startup.h"
#include "books/frmAbrirLivro.h"
#include "frmPrincipal.h"
#include "install/frmInstalarLivro.h"
#include "messages/MessageBox.h"

namespace shell {

Navigation::Navigation(platform::Platform &platform, SharedState &state, drive::MountDrive &drives,
                       messages::MessageBox &box, frmPrincipal &mainWindow, QString programFolder,
                       std::function<void(QWidget *)> help, std::function<void()> exitProgram)
    : m_platform(platform)
    , m_state(state)
    , m_drives(drives)
    , m_box(box)
    , m_mainWindow(mainWindow)
    , m_programFolder(std::move(programFolder))
    , m_help(std::move(help))
    , m_exitProgram(std::move(exitProgram))
{
    connect(&mainWindow, &frmPrincipal::booksRequested, this, &Navigation::openBookList);
    connect(&mainWindow, &frmPrincipal::installRequested, this, &Navigation::openInstallWindow);
    connect(&mainWindow, &frmPrincipal::helpRequested, this, [this, &mainWindow] { m_help(&mainWindow); });
}

void Navigation::openBookList()
{
    if (skin::SkinnedWindow::anyBusy())
        return;
    auto *bookList =
        new books::frmAbrirLivro(m_platform, m_state, m_drives, m_box, m_programFolder, m_exitProgram);
    bookList->setAttribute(Qt::WA_DeleteOnClose);
    connect(bookList, &books::frmAbrirLivro::helpRequested, this, [this, bookList] { m_help(bookList); });
    connect(bookList, &books::frmAbrirLivro::installRequested, this, &Navigation::openInstallWindow);
    (void)runLoadStep(bookList, [bookList](QString *missing) { return bookList->load(missing); });
}

install::frmInstalarLivro *Navigation::openInstallWindow()
{
    if (skin::SkinnedWindow::anyBusy())
        return nullptr;
    auto *installWindow =
        new install::frmInstalarLivro(m_platform, m_state, m_drives, m_box, nullptr, m_exitProgram);
    installWindow->setAttribute(Qt::WA_DeleteOnClose);
    connect(installWindow, &install::frmInstalarLivro::helpRequested, this,
            [this, installWindow] { m_help(installWindow); });
    connect(installWindow, &install::frmInstalarLivro::booksRequested, this, &Navigation::openBookList);
    const bool loaded = runLoadStep(
        installWindow, [installWindow](QString *missing) { return installWindow->load(missing); });
    return loaded ? installWindow : nullptr;
}

install::frmInstalarLivro *Navigation::bringInstallWindowForward()
{
    auto *installWindow =
        qobject_cast<install::frmInstalarLivro *>(skin::SkinnedWindow::byName(m_state.strNomeForm));
    if (!installWindow)
        installWindow = openInstallWindow();
    if (!installWindow)
        return nullptr;
    if (installWindow->isMinimized())
        installWindow->setWindowState(installWindow->windowState() & ~Qt::WindowMinimized);
    installWindow->show();
    installWindow->raise();
    installWindow->activateWindow();
    return installWindow;
}

bool Navigation::runLoadStep(skin::SkinnedWindow *window, const std::function<bool(QString *)> &loadStep)
{
    // The main window stays on screen until the load step ends, and the step may
    // wait on a message box: its buttons would unload the window that is loading.
    m_mainWindow.setEnabled(false);
    QString missing;
    const bool loaded = loadStep(&missing);
    m_mainWindow.setEnabled(true);
    if (!loaded)
        loadStepFailed(window, missing);
    return loaded;
}

void Navigation::loadStepFailed(QWidget *window, const QString &missing)
{
    delete window;
    m_state.strNomeForm = m_mainWindow.name();
    m_mainWindow.show();
    m_state.strMensagem = Startup::missingFileText(Sistema(m_platform).LeIdiomaInst(), missing);
    m_box.showNotice(m_state.strMensagem);
}

} // namespace shell
