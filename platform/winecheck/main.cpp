// zeko-wine-check: tells the scripts what this machine's Wine can run, and where
// things lie in a prefix, from the same code the manager uses.
//   zeko-wine-check            prints why courses cannot start here and exits 1;
//                              prints nothing and exits 0 when they can
//   zeko-wine-check --loader64 prints the loader for 64-bit programs and prefixes
//   zeko-wine-check --system-folder PREFIX
//                              prints the unix path of the folder where the
//                              manager reads and writes zeko.ini in PREFIX

#include "platform/WineHost.h"
#include "platform/WinePlatform.h"
#include "platform/WinePrefix.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--system-folder") == 0) {
        // The Windows system folder as a 32-bit program in that prefix reaches it:
        // syswow64 or system32 by the prefix's architecture, as the manager decides.
        const platform::WinePrefix prefix(QFileInfo(QFile::decodeName(argv[2])).absoluteFilePath());
        const platform::WinePlatform wine(prefix);
        std::printf("%s\n", QFile::encodeName(wine.toUnixPath(wine.systemDirectory())).constData());
        return 0;
    }
    const platform::WineHost &host = platform::WineHost::current();
    if (argc == 2 && std::strcmp(argv[1], "--loader64") == 0) {
        if (!host.runs64())
            return 1;
        std::printf("%s\n", qPrintable(host.facts().loader64));
        return 0;
    }
    if (argc != 1) {
        std::fprintf(stderr, "usage: %s [--loader64 | --system-folder PREFIX]\n", argv[0]);
        return 2;
    }
    if (host.runs32())
        return 0;
    std::printf("Courses cannot be started on this computer: %s.\n", qPrintable(host.reason32()));
    return 1;
}
