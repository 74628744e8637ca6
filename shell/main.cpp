#include "platform/SingleInstance.h"
#include "platform/WinePlatform.h"
#include "platform/WinePrefix.h"
#include "shell/Startup.h"

#include <QApplication>
#include <QMessageBox>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

bool haveDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
           || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char *argv[])
{
    // Without any display a failure can still be told on the terminal.
    std::unique_ptr<QCoreApplication> app;
    if (haveDisplay())
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);

    platform::WinePrefix prefix = platform::WinePrefix::fromEnvironment();
    QString error;
    if (!prefix.ensureSkeleton(&error)) {
        std::fprintf(stderr, "ZEKODownload: %s\n", qPrintable(error));
        return 1;
    }
    platform::WinePlatform wine(prefix);
    platform::SingleInstance instance(QStringLiteral("ZEKODownload"));
    shell::SharedState state;
    shell::Startup startup(wine, instance, QCoreApplication::applicationDirPath());
    const shell::StartupResult result = startup.run(state);

    switch (result.status) {
    case shell::StartupResult::Status::AlreadyRunning:
        return 0;
    case shell::StartupResult::Status::Failed:
        std::fprintf(stderr, "ZEKODownload: %s\n", qPrintable(result.message));
        if (qobject_cast<QApplication *>(app.get()))
            QMessageBox::critical(nullptr, QStringLiteral("ZEKO Download"), result.message);
        return 1;
    case shell::StartupResult::Status::Ok:
        break;
    }

    QTextStream out(stdout);
    out << state.tituloPrincipal << ' ' << state.strVersao << '\n'
        << "Wine prefix: " << prefix.root() << '\n'
        << "User: " << state.strUsuario << ", books: " << state.rsMapeamento->recordCount() << '\n'
        << "Download folder: " << state.strPastaDownload << '\n'
        << "Help file: " << state.arquivoAjuda << '\n';
    return 0;
}
