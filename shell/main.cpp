#include "books/MenuEntries.h"
#include "drive/MountDrive.h"
#include "messages/SkinnedMessageBox.h"
#include "platform/SingleInstance.h"
#include "platform/WinePlatform.h"
#include "platform/WinePrefix.h"
#include "shell/Navigation.h"
#include "shell/Sistema.h"
#include "shell/Startup.h"
#include "shell/frmPrincipal.h"
#include "shell/help/HelpWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

bool haveDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// A failure before any catalogue text can be trusted: a plain dialog, then the end.
int failure(const QString &mensagem)
{
    std::fprintf(stderr, "ZEKODownload: %s\n", qPrintable(mensagem));
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QMessageBox::critical(nullptr, QStringLiteral("ZEKO Download"), mensagem);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    // Without any display a failure can still be told on the terminal.
    std::unique_ptr<QCoreApplication> app;
    if (haveDisplay())
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);

    platform::WinePrefix prefix = platform::WinePrefix::fromEnvironment();
    platform::WinePlatform wine(prefix);
    // Another copy, or a lock that cannot be tried, is known before anything in the prefix changes.
    platform::SingleInstance instance(QStringLiteral("ZEKODownload"));
    switch (instance.tryAcquire()) {
    case platform::SingleInstance::Lock::Acquired:
        break;
    case platform::SingleInstance::Lock::HeldElsewhere:
        return 0;
    case platform::SingleInstance::Lock::Failed:
        return failure(
            shell::Startup::instanceFailure(shell::Sistema(wine).LeIdiomaInst(), instance.errorString()));
    }
    QString error;
    if (!prefix.ensureSkeleton(&error))
        return failure(error);
    shell::SharedState state;
    const shell::StartupResult result =
        shell::Startup(wine, instance, QCoreApplication::applicationDirPath()).run(state);

    switch (result.status) {
    case shell::StartupResult::Status::AlreadyRunning:
        return 0;
    case shell::StartupResult::Status::Failed:
        return failure(result.message);
    case shell::StartupResult::Status::Ok:
        break;
    }
    // The menu's entries follow the registry as this start found it.
    state.menuEntries = books::MenuEntries::forProgram(QCoreApplication::applicationDirPath(), prefix.root());
    (void)state.menuEntries.sync(books::MenuEntries::booksOf(*state.rsMapeamento));
    if (!qobject_cast<QApplication *>(app.get()))
        return failure(QStringLiteral("no graphical display: DISPLAY is not set"));

    messages::SkinnedMessageBox box(state, wine);
    drive::MountDrive drives(wine, state, box);
    shell::frmPrincipal mainWindow(state, drives, box, [] { QCoreApplication::exit(0); });
    if (!mainWindow.load(&error))
        return failure(shell::Startup::missingFileText(shell::Sistema(wine).LeIdiomaInst(), error));
    const auto showHelp = [&](QWidget *window) {
        shell::help::HelpWindow::MostraAjuda(
            window, state.helpFile, shell::Startup::effectiveLanguage(shell::Sistema(wine).LeIdiomaInst()));
    };
    shell::Navigation navigation(wine, state, drives, box, mainWindow, QCoreApplication::applicationDirPath(),
                                 showHelp, [] { QCoreApplication::exit(0); });

    // For the start-up timing script: report when the main window has been shown and end.
    if (qEnvironmentVariableIsSet("ZEKO_MEDIR_INICIO"))
        QTimer::singleShot(0, &mainWindow, [&] {
            std::printf("%lld\n", static_cast<long long>(sinceStart.elapsed()));
            QCoreApplication::exit(0);
        });
    return app->exec();
}
