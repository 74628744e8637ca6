// A help file's reading over any file: what zeko-help-reader does with chmlib,
// then, on what it read, listing and reading what it holds, its settings, its
// contents and its context map, as the help window does.

#include "Fuzz.h"
#include "shell/help/ChmFile.h"
#include "shell/help/ChmReading.h"

using shell::help::ChmFile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString path = fuzz::scratchPath("help.chm");
    fuzz::writeFile(path, data, size);
    shell::help::ChmReadResult read = shell::help::readChm(path);
    QFile::remove(path);
    if (!read.ok())
        return 0;
    ChmFile::Failure failure = ChmFile::Failure::None;
    if (const std::unique_ptr<ChmFile> chm =
            ChmFile::fromContents(path, std::move(read.contents), &failure)) {
        FUZZ_CHECK(failure == ChmFile::Failure::None, "an opened file reports a failure");
        const QStringList files = chm->files();
        // A damaged directory can list any number of names; reading a few shows
        // whether their data can be reached.
        for (qsizetype i = 0; i < std::min<qsizetype>(files.size(), 16); ++i) {
            const std::optional<QByteArray> bytes = chm->read(files[i]);
            FUZZ_CHECK(!bytes || chm->contains(files[i]), "a file read that is not there");
        }
        (void)chm->title();
        (void)chm->contents();
        const quint32 asked = size >= 4 ? quint32(data[size - 4]) | quint32(data[size - 3]) << 8 |
                                              quint32(data[size - 2]) << 16 | quint32(data[size - 1]) << 24
                                        : 0;
        for (const quint32 context : {quint32(0), quint32(1000), asked}) {
            ChmFile::Failure found = ChmFile::Failure::None;
            const QString topic = chm->topicForContext(context, &found);
            FUZZ_CHECK(topic.isEmpty() == (found == ChmFile::Failure::NoSuchContext),
                       "a context's topic and its failure disagree");
        }
    } else {
        FUZZ_CHECK(failure == ChmFile::Failure::NotAChm || failure == ChmFile::Failure::Damaged,
                   "contents that were read report another failure");
    }
    return 0;
}
