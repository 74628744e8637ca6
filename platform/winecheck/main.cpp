// zeko-wine-check: tells the scripts what this machine's Wine can run, from the
// same check the manager uses.
//   zeko-wine-check            prints why courses cannot start here and exits 1;
//                              prints nothing and exits 0 when they can
//   zeko-wine-check --loader64 prints the loader for 64-bit programs and prefixes

#include "platform/WineHost.h"

#include <QString>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    const platform::WineHost &host = platform::WineHost::current();
    if (argc == 2 && std::strcmp(argv[1], "--loader64") == 0) {
        if (!host.runs64())
            return 1;
        std::printf("%s\n", qPrintable(host.facts().loader64));
        return 0;
    }
    if (argc != 1) {
        std::fprintf(stderr, "usage: %s [--loader64]\n", argv[0]);
        return 2;
    }
    if (host.runs32())
        return 0;
    std::printf("Courses cannot be started on this computer: %s.\n", qPrintable(host.reason32()));
    return 1;
}
