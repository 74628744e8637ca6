// Runs a harness over the files of its corpus folders with the ordinary compiler,
// so every seed and every mended finding stays checked by the normal test run.

#include "Fuzz.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char **argv)
{
    int ran = 0;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo arg(QFile::decodeName(argv[i]));
        QStringList files;
        if (arg.isDir()) {
            for (const QString &name : QDir(arg.filePath()).entryList(QDir::Files, QDir::Name))
                files.append(arg.filePath() + u'/' + name);
        } else {
            files.append(arg.filePath());
        }
        for (const QString &path : std::as_const(files)) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 1;
            }
            const QByteArray bytes = f.readAll();
            std::fprintf(stderr, "%s\n", qPrintable(path));
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                   std::size_t(bytes.size()));
            ++ran;
        }
    }
    std::printf("%d inputs ran\n", ran);
    // A corpus folder without files checks nothing.
    return ran > 0 ? 0 : 1;
}
