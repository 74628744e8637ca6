// Installs one book the way the install window does, for a test that kills it
// with SIGKILL in the middle of the extraction.
// Usage: zeko_install_crash_helper <prefix> <install folder> <zip> <lock file>

#include "common/InstallDoubles.h"
#include "common/NamedUserPlatform.h"
#include "common/ScriptedMessageBox.h"
#include "drive/MountDrive.h"
#include "install/InstallFlow.h"
#include "platform/SingleInstance.h"
#include "shell/Startup.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s <prefix> <install folder> <zip> <lock file>\n", argv[0]);
        return 2;
    }
    const QStringList args = app.arguments();
    NamedUserPlatform wine(platform::WinePrefix(args[1]), QStringLiteral("maria"));
    platform::SingleInstance instance(QStringLiteral("ZEKODownload"), args[4]);
    shell::SharedState state;
    const shell::StartupResult r = shell::Startup(wine, instance, args[2]).run(state);
    if (r.status != shell::StartupResult::Status::Ok) {
        std::fprintf(stderr, "start-up failed: %s\n", qPrintable(r.message));
        return 3;
    }
    ScriptedMessageBox box(state);
    drive::MountDrive drives(wine, state, box);
    ScriptedChoice chosen(args[3]);
    SilentPanel panel;
    install::InstallFlow flow(wine, state, box, drives, chosen, panel);
    (void)flow.InstalaLivro();
    for (const QString &text : box.texts())
        std::printf("%s\n", qPrintable(text));
    return 0;
}
