// Extracting book archives with libzip: names as the course expects them, and
// hostile archives refused whole before anything lands outside the target.

#include "install/ZipExtraction.h"
#include "common/ZipBuilder.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

using install::ExtractionError;
using install::ExtractionLimits;
using install::ExtractionResult;
using install::ZipExtraction;

namespace {

class ZipExtractionTest : public ::testing::Test {
  protected:
    ZipExtractionTest() { QDir().mkpath(target()); }
    // The target sits two levels down, so a name that climbs out has somewhere to land.
    QString target() const { return dir.path() + "/a/b/target"; }
    QString archive(const char *name = "book.zip") const { return dir.path() + "/" + name; }
    ExtractionResult extract(const QString &zip, const ExtractionLimits &limits = {})
    {
        return ZipExtraction::extract(zip, target(), limits);
    }
    // Every file below the temporary folder but the archives, relative to it.
    QStringList filesWritten() const
    {
        QStringList files;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next().mid(dir.path().size() + 1);
            if (!f.endsWith(".zip"))
                files << f;
        }
        files.sort();
        return files;
    }
    QByteArray content(const QString &relative) const { return ZipBuilder::read(target() + "/" + relative); }

    QTemporaryDir dir;
};

// Patches the stored sizes of the first entry, in its local header and in the central directory.
void patchSizes(const QString &zip, quint32 compressed, quint32 uncompressed)
{
    QByteArray bytes = ZipBuilder::read(zip);
    auto put = [&bytes](qsizetype at, quint32 v) {
        for (int b = 0; b < 4; ++b)
            bytes[at + b] = char((v >> (8 * b)) & 0xff);
    };
    const qsizetype local = bytes.indexOf("PK\x03\x04");
    const qsizetype central = bytes.indexOf("PK\x01\x02");
    ASSERT_GE(local, 0);
    ASSERT_GE(central, 0);
    put(local + 18, compressed);
    put(local + 22, uncompressed);
    put(central + 20, compressed);
    put(central + 24, uncompressed);
    ZipBuilder::write(zip, bytes);
}

} // namespace

// Folders and files keep their places; names flagged UTF-8, names in code page
// 850 and names carried by the Unicode path field all come out right; "\" is a
// separator; "./" entries and folder entries cost nothing.
TEST_F(ZipExtractionTest, NamesComeOutAsTheCourseExpects)
{
    ZipBuilder zip(archive());
    zip.file("Autorun.exe", "MZ");
    zip.folder("Sons/");
    zip.file("Sons/Lição 1.wav", "utf8");
    zip.file("Li\x87\xc6o 2.txt", "cp850"); // "Lição 2.txt" in code page 850
    zip.file("A\x87ores/\xa5"
             "and\xa3.txt",
             "cp850"); // "Açores/Ñandú.txt"
    const zip_int64_t field = zip.file("legacy.bin", "field");
    zip.unicodePath(field, "legacy.bin", "Ação.bin");
    zip.file("Textos\\Unidade 1\\texto.txt", "backslashes");
    zip.folder("./");
    zip.close();

    const ExtractionResult r = extract(archive());
    ASSERT_TRUE(r.ok()) << r.detail.toStdString() << " " << r.entry.toStdString();
    EXPECT_EQ(r.files, 6);
    EXPECT_EQ(content("Autorun.exe"), "MZ");
    EXPECT_EQ(content("Sons/Lição 1.wav"), "utf8");
    EXPECT_EQ(content("Lição 2.txt"), "cp850");
    EXPECT_EQ(content("Açores/Ñandú.txt"), "cp850");
    EXPECT_EQ(content("Ação.bin"), "field");
    EXPECT_EQ(content("Textos/Unidade 1/texto.txt"), "backslashes");
}

// Entries that differ only in letter case are one file: the later content under
// the first spelling, as on Windows; folders likewise.
TEST_F(ZipExtractionTest, CaseTwinsBecomeOneFile)
{
    ZipBuilder zip(archive());
    zip.file("Licao/Audio.WAV", "first");
    zip.file("LICAO/audio.wav", "second");
    zip.file("licao/Outro.txt", "other");
    zip.close();
    const ExtractionResult r = extract(archive());
    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    EXPECT_EQ(QDir(target()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Licao"});
    EXPECT_EQ(QDir(target() + "/Licao").entryList(QDir::Files), QStringList({"Audio.WAV", "Outro.txt"}));
    EXPECT_EQ(content("Licao/Audio.WAV"), "second");
}

// Names that reach outside the target refuse the whole archive before anything
// is written anywhere.
TEST_F(ZipExtractionTest, NamesOutsideTheTargetRefuseTheArchive)
{
    const QList<QByteArray> hostile = {
        "../escape.txt", "Sons/../../escape.txt",         "/tmp/escape.txt",     "C:\\escape.txt",
        "C:escape.txt",  "\\\\server\\share\\escape.txt", "//server/escape.txt", "..\\escape.txt"};
    for (const QByteArray &name : hostile) {
        ZipBuilder zip(archive());
        zip.file("Autorun.exe", "MZ");
        zip.file(name, "escaped");
        zip.close();
        const ExtractionResult r = extract(archive());
        EXPECT_EQ(r.error, ExtractionError::UnsafeName) << name.toStdString();
        EXPECT_EQ(r.entry, QString::fromUtf8(name));
        EXPECT_EQ(filesWritten(), QStringList()) << name.toStdString();
    }
}

TEST_F(ZipExtractionTest, LinksAndTwinsOfFileAndFolderAreRefused)
{
    ZipBuilder link(archive());
    link.file("Autorun.exe", "MZ");
    link.link("Sons", "/etc");
    link.close();
    EXPECT_EQ(extract(archive()).error, ExtractionError::UnsafeName);

    ZipBuilder twins(archive());
    twins.file("Sons", "a file");
    twins.file("sons/a.wav", "in a folder of the file's name");
    twins.close();
    EXPECT_EQ(extract(archive()).error, ExtractionError::UnsafeName);
    EXPECT_EQ(filesWritten(), QStringList());
}

// What is not a readable ZIP is refused as such: garbage, a truncated archive,
// an encrypted entry.
TEST_F(ZipExtractionTest, UnreadableArchives)
{
    ZipBuilder::write(archive("garbage.zip"), QByteArray(4096, 'x'));
    EXPECT_EQ(extract(archive("garbage.zip")).error, ExtractionError::Unreadable);
    EXPECT_EQ(extract(archive("missing.zip")).error, ExtractionError::Unreadable);

    ZipBuilder whole(archive());
    whole.file("Autorun.exe", QByteArray(20000, 'a'));
    whole.file("Idioma.kvt", "POR");
    whole.close();
    const QByteArray bytes = ZipBuilder::read(archive());
    ZipBuilder::write(archive("truncated.zip"), bytes.left(bytes.size() / 2));
    EXPECT_EQ(extract(archive("truncated.zip")).error, ExtractionError::Unreadable);

    ZipBuilder locked(archive("locked.zip"));
    const zip_int64_t i = locked.file("Autorun.exe", "MZ secret");
    if (!locked.encrypt(i))
        GTEST_SKIP() << "this libzip cannot write encrypted entries";
    locked.close();
    const ExtractionResult r = extract(archive("locked.zip"));
    EXPECT_EQ(r.error, ExtractionError::Unreadable);
    EXPECT_EQ(r.entry, "Autorun.exe");
    EXPECT_EQ(filesWritten(), QStringList());
}

// Data that fails its CRC, or sizes that lie, are damage: the entry is named.
TEST_F(ZipExtractionTest, DamagedEntries)
{
    ZipBuilder zip(archive());
    zip.file("Idioma.kvt", "POR");
    zip.file("Autorun.exe", QByteArray(5000, 'm'), /*store=*/true);
    zip.close();
    QByteArray bytes = ZipBuilder::read(archive());
    const qsizetype data = bytes.indexOf(QByteArray(100, 'm'));
    ASSERT_GT(data, 0);
    bytes[data + 50] = 'X';
    ZipBuilder::write(archive("crc.zip"), bytes);
    ExtractionResult r = extract(archive("crc.zip"));
    EXPECT_EQ(r.error, ExtractionError::Damaged);
    EXPECT_EQ(r.entry, "Autorun.exe");

    // One stored entry that says it is shorter than it is, in both directories.
    ZipBuilder liar(archive("liar.zip"));
    liar.file("Autorun.exe", QByteArray(5000, 'm'), /*store=*/true);
    liar.close();
    patchSizes(archive("liar.zip"), 100, 100);
    r = extract(archive("liar.zip"));
    EXPECT_TRUE(r.error == ExtractionError::Damaged || r.error == ExtractionError::Unreadable)
        << int(r.error) << " " << r.detail.toStdString();
    EXPECT_LE(QFileInfo(target() + "/Autorun.exe").size(), 100) << "more written than the entry declares";
}

// Sizes are judged before anything is written: more than a book can be, an
// expansion no real book reaches, more than the disk holds.
TEST_F(ZipExtractionTest, SizesAreCheckedFirst)
{
    ZipBuilder bomb(archive());
    bomb.file("Autorun.exe", "MZ");
    bomb.file("zeros.bin", QByteArray(4 << 20, '\0'));
    bomb.close();
    ExtractionLimits limits;
    limits.ratioFloor = 1 << 20;
    ExtractionResult r = extract(archive(), limits);
    EXPECT_EQ(r.error, ExtractionError::TooLarge);
    EXPECT_EQ(r.needed, (4u << 20) + 2);

    limits = {};
    limits.maxTotalSize = 1 << 20;
    EXPECT_EQ(extract(archive(), limits).error, ExtractionError::TooLarge);

    limits = {};
    limits.reserve = std::uint64_t(1) << 60;
    r = extract(archive(), limits);
    EXPECT_EQ(r.error, ExtractionError::NoSpace);
    EXPECT_GT(r.available, 0u);
    EXPECT_EQ(filesWritten(), QStringList());

    // The same archive with ordinary bounds is fine: zeros are not a crime below the floor.
    EXPECT_TRUE(extract(archive()).ok());
}

TEST_F(ZipExtractionTest, EmptyArchivesHoldNoBook)
{
    ZipBuilder empty(archive());
    empty.folder("Sons/");
    empty.close();
    EXPECT_EQ(extract(archive()).error, ExtractionError::Empty);
}

// Many entries over two threads: every byte lands where it belongs.
TEST_F(ZipExtractionTest, ManyEntriesOverTwoThreads)
{
    ZipBuilder zip(archive());
    for (int i = 0; i < 200; ++i)
        zip.file(QStringLiteral("Unidade %1/arquivo %2.txt").arg(i % 7).arg(i).toUtf8(),
                 QByteArray(1000 + i * 37, char('a' + i % 26)), i % 3 == 0);
    zip.close();
    const ExtractionResult r = extract(archive());
    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    EXPECT_EQ(r.files, 200);
    for (int i = 0; i < 200; i += 13)
        EXPECT_EQ(content(QStringLiteral("Unidade %1/arquivo %2.txt").arg(i % 7).arg(i)),
                  QByteArray(1000 + i * 37, char('a' + i % 26)));
}
