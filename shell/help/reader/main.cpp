// zeko-help-reader FILE: writes the files inside a compiled help file to standard
// output, framed as ChmContents describes. The manager runs it for every help
// file it shows, so that chmlib meeting a damaged file can end only this program.

#include "shell/help/ChmReading.h"

#include <QFile>

#include <cstdio>

using shell::help::ChmContents;
using shell::help::ChmReadResult;

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zeko-help-reader FILE\n");
        return 2;
    }
    const QString path = QFile::decodeName(argv[1]);
    const ChmReadResult result = shell::help::readChm(path);
    if (!result.ok()) {
        std::fprintf(stderr, "zeko-help-reader: %s: %s\n", argv[1], qPrintable(result.reason));
        return result.refusal == ChmReadResult::Refusal::NotAChm ? ChmContents::kExitNotAChm
                                                                 : ChmContents::kExitDamaged;
    }
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || !result.contents.writeFrames(out) || !out.flush()) {
        std::fprintf(stderr, "zeko-help-reader: cannot write the contents\n");
        return 1;
    }
    return 0;
}
