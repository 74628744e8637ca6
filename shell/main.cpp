#include "books/MenuEntries.h"
#include "drive/MountDrive.h"
#include "messages/SkinnedMessageBox.h"
#include "platform/HandoverChannel.h"
#include "platform/SingleInstance.h"
#include "platform/WinePlatform.h"
#include "platform/WinePrefix.h"
#include "shell/CommandLine.h"
#include "shell/Navigation.h"
#include "shell/QtTranslation.h"
#include "shell/Sistema.h"
#include "shell/Startup.h"
#include "shell/ZipHandover.h"
#include "shell/frmPrincipal.h"
#include "shell/help/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

using Handover = platform::HandoverChannel::Reply;

const QString kProgram = QStringLiteral("ZEKODownload");

bool haveDisplay(int argc, char *argv[])
{
    // Qt's own -platform names one too, and only a graphical application takes it off the arguments.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// A second copy given a file: hands it to the running one, says on the terminal
// what came of it, and ends. The running copy holds the catalogue, so the busy
// text comes from it.
int handOver(const QString &zip)
{
    QString error;
    const QString socket = platform::HandoverChannel::socketPath(kProgram, &error);
    const Handover reply = socket.isEmpty() ? Handover{Handover::Status::NoAnswer, error}
                                            : platform::HandoverChannel::handOver(socket, zip);
    switch (reply.status) {
    case Handover::Status::Accepted:
        return 0;
    case Handover::Status::Busy:
        std::fprintf(
            stderr, "%s\n",
            qPrintable(
                reply.text.isEmpty()
                    ? QStringLiteral("ZEKO Download is busy: %1 was not installed and was kept.").arg(zip)
                    : reply.text));
        return 1;
    case Handover::Status::Refused:
        std::fprintf(stderr, "ZEKODownload: the running copy refused %s\n", qPrintable(zip));
        return 1;
    case Handover::Status::NoAnswer:
        break;
    }
    std::fprintf(stderr, "ZEKODownload: %s was not handed to the running copy: %s\n", qPrintable(zip),
                 qPrintable(reply.text));
    return 1;
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
    if (haveDisplay(argc, argv))
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    // Lets the desktop (Wayland's docks above all) match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.zeko_download"));
    const shell::CommandLine command =
        shell::CommandLine::parse(QCoreApplication::arguments().mid(1), QDir::currentPath());
    switch (command.kind) {
    case shell::CommandLine::Kind::Help:
        std::fputs(shell::CommandLine::usage(), stdout);
        return 0;
    case shell::CommandLine::Kind::Usage:
        std::fputs(shell::CommandLine::usage(), stderr);
        return 2;
    case shell::CommandLine::Kind::None:
    case shell::CommandLine::Kind::Zip:
        break;
    }

    platform::WinePrefix prefix = platform::WinePrefix::fromEnvironment();
    platform::WinePlatform wine(prefix);
    if (qobject_cast<QApplication *>(app.get())) {
        QString missing;
        if (!shell::QtTranslation::install(
                shell::Startup::effectiveLanguage(shell::Sistema(wine).LeIdiomaInst()), &missing))
            std::fprintf(stderr, "ZEKODownload: Qt's own texts stay in English: %s cannot be read\n",
                         qPrintable(missing));
    }
    // Another copy, or a lock that cannot be tried, is known before anything in the prefix changes.
    platform::SingleInstance instance(kProgram);
    switch (instance.tryAcquire()) {
    case platform::SingleInstance::Lock::Acquired:
        break;
    case platform::SingleInstance::Lock::HeldElsewhere:
        return command.kind == shell::CommandLine::Kind::Zip ? handOver(command.zip) : 0;
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

    // Files a second copy is given come here; only this copy, the lock holder, listens.
    shell::ZipHandover handover(state, box, navigation);
    const QString socketPath = platform::HandoverChannel::socketPath(kProgram, &error);
    platform::HandoverChannel channel(socketPath, [&handover](const QString &zip) {
        if (handover.receive(zip) == shell::ZipHandover::Outcome::Accepted)
            return Handover{Handover::Status::Accepted, {}};
        return Handover{Handover::Status::Busy, handover.busyText(zip)};
    });
    // Not fatal: the manager works as ever, a second copy then says it was not heard.
    if (socketPath.isEmpty() || !channel.listen(&error))
        std::fprintf(stderr, "ZEKODownload: files opened with another copy cannot reach this one: %s\n",
                     qPrintable(error));
    if (command.kind == shell::CommandLine::Kind::Zip)
        QTimer::singleShot(0, &handover, [&handover, &command] { (void)handover.receive(command.zip); });

    // For the start-up timing script: report when the main window has been shown and end.
    if (qEnvironmentVariableIsSet("ZEKO_MEDIR_INICIO"))
        QTimer::singleShot(0, &mainWindow, [&] {
            std::printf("%lld\n", static_cast<long long>(sinceStart.elapsed()));
            QCoreApplication::exit(0);
        });
    return app->exec();
}
