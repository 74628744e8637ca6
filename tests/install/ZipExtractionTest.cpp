// Extracting book archives with libzip: names as the course expects them, and
// hostile archives refused whole before anything lands outside the target.

#include "install/ZipExtraction.h"
#include "common/QtPrinters.h"
#include "common/ZipBuilder.h"

#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <thread>

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
    // The files in the target, relative to it.
    QStringList targetFiles() const
    {
        return filesWritten()
            .filter(QRegularExpression("^a/b/target/"))
            .replaceInStrings(QRegularExpression("^a/b/target/"), "");
    }
    QByteArray content(const QString &relative) const { return ZipBuilder::read(target() + "/" + relative); }

    QTemporaryDir dir;
};

// Patches the stored sizes of the first entry, in its local header and in the central directory.
void patchSizes(const QString &zip, std::optional<quint32> compressed, quint32 uncompressed)
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
    if (compressed) {
        put(local + 18, *compressed);
        put(central + 20, *compressed);
    }
    put(local + 22, uncompressed);
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
    zip.file("Idioma.kvt", "POR");
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
    EXPECT_EQ(r.files, 7);
    EXPECT_EQ(content("Autorun.exe"), "MZ");
    EXPECT_EQ(content("Sons/Lição 1.wav"), "utf8");
    EXPECT_EQ(content("Lição 2.txt"), "cp850");
    EXPECT_EQ(content("Açores/Ñandú.txt"), "cp850");
    EXPECT_EQ(content("Ação.bin"), "field");
    EXPECT_EQ(content("Textos/Unidade 1/texto.txt"), "backslashes");
}

// Entries that differ only in letter case are one file: the later content under
// the first spelling, as on Windows; folders likewise. The pair counts once in
// the size and space checks, as it lands once.
TEST_F(ZipExtractionTest, CaseTwinsBecomeOneFile)
{
    const QByteArray first(1 << 20, 'f'), second(1 << 20, 's');
    ZipBuilder zip(archive());
    zip.file("Autorun.exe", "MZ");
    zip.file("Idioma.kvt", "POR");
    zip.file("Licao/Audio.WAV", first);
    zip.file("LICAO/audio.wav", second);
    zip.file("licao/Outro.txt", "other");
    zip.close();
    const std::uint64_t once = (1u << 20) + 10;
    ExtractionLimits limits;
    limits.reserve = std::uint64_t(1) << 60;
    ExtractionResult r = extract(archive(), limits);
    EXPECT_EQ(r.error, ExtractionError::NoSpace);
    EXPECT_EQ(r.needed, once + limits.reserve);
    limits = {};
    limits.maxTotalSize = once + (1u << 19); // room for one of the pair, not for both
    r = extract(archive(), limits);
    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    EXPECT_EQ(QDir(target()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"Licao"});
    EXPECT_EQ(QDir(target() + "/Licao").entryList(QDir::Files), QStringList({"Audio.WAV", "Outro.txt"}));
    EXPECT_EQ(content("Licao/Audio.WAV"), second);
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
    liar.file("Idioma.kvt", "POR");
    liar.close();
    patchSizes(archive("liar.zip"), 100, 100);
    r = extract(archive("liar.zip"));
    EXPECT_TRUE(r.error == ExtractionError::Damaged || r.error == ExtractionError::Unreadable)
        << int(r.error) << " " << r.detail.toStdString();
    EXPECT_LE(QFileInfo(target() + "/Autorun.exe").size(), 100) << "more written than the entry declares";

    // Deflated data that expands past its declared size: cut there, and the
    // progress never counts more than the archive declares.
    ZipBuilder grows(archive("grows.zip"));
    grows.file("Autorun.exe", QByteArray(300000, 'g'));
    grows.file("Idioma.kvt", "POR");
    grows.close();
    patchSizes(archive("grows.zip"), std::nullopt, 1000);
    install::ExtractionProgress progress;
    r = ZipExtraction::extract(archive("grows.zip"), target(), {}, nullptr, &progress);
    EXPECT_EQ(r.error, ExtractionError::Damaged);
    EXPECT_EQ(progress.total.load(), 1003u);
    EXPECT_LE(progress.written.load(), progress.total.load());
    EXPECT_LE(QFileInfo(target() + "/Autorun.exe").size(), 1000);

    // The declared size is a cap to the byte, also where the data runs over many
    // output blocks: one byte short of what the stream holds is refused.
    for (const int real : {1 << 20, (3 << 18) + 5}) {
        SCOPED_TRACE(real);
        ZipBuilder over(archive("over.zip"));
        QByteArray bytesOver(real, 'o');
        for (int i = 0; i < real; i += 997)
            bytesOver[i] = char('a' + i % 26);
        over.file("Autorun.exe", bytesOver);
        over.file("Idioma.kvt", "POR");
        over.close();
        patchSizes(archive("over.zip"), std::nullopt, quint32(real - 1));
        r = extract(archive("over.zip"));
        EXPECT_EQ(r.error, ExtractionError::Damaged);
        EXPECT_EQ(r.detail, "more data than the entry declares");
        EXPECT_LE(QFileInfo(target() + "/Autorun.exe").size(), real - 1);
    }
}

// Sizes are judged before anything is written: more than a book can be, an
// expansion no real book reaches, more than the disk holds.
TEST_F(ZipExtractionTest, SizesAreCheckedFirst)
{
    ZipBuilder bomb(archive());
    bomb.file("Autorun.exe", "MZ");
    bomb.file("Idioma.kvt", "POR");
    bomb.file("zeros.bin", QByteArray(4 << 20, '\0'));
    bomb.close();
    ExtractionLimits limits;
    limits.ratioFloor = 1 << 20;
    ExtractionResult r = extract(archive(), limits);
    EXPECT_EQ(r.error, ExtractionError::TooLarge);
    EXPECT_EQ(r.needed, (4u << 20) + 5);

    limits = {};
    limits.maxTotalSize = 1 << 20;
    EXPECT_EQ(extract(archive(), limits).error, ExtractionError::TooLarge);

    limits = {};
    limits.reserve = std::uint64_t(1) << 60;
    r = extract(archive(), limits);
    EXPECT_EQ(r.error, ExtractionError::NoSpace);
    // Needed counts the reserve, as the message sets it against what is free.
    EXPECT_EQ(r.needed, (4u << 20) + 5 + limits.reserve);
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

// Many entries over several threads, in folders met in turn and in one folder
// of large files: every byte lands where it belongs.
TEST_F(ZipExtractionTest, ManyEntriesOverSeveralThreads)
{
    ZipBuilder zip(archive());
    zip.file("Autorun.exe", "MZ");
    zip.file("Idioma.kvt", "POR");
    const auto name = [](int i) {
        return i < 200 ? QStringLiteral("Unidade %1/arquivo %2.txt").arg(i % 7).arg(i)
                       : QStringLiteral("Videos/video %1.avi").arg(i);
    };
    const auto data = [](int i) {
        return QByteArray(i < 200 ? 1000 + i * 37 : 400'000 + i, char('a' + i % 26));
    };
    for (int i = 0; i < 206; ++i)
        zip.file(name(i).toUtf8(), data(i), i % 3 == 0);
    zip.close();
    for (int threads : {1, 2, 3}) {
        QDir(target()).removeRecursively();
        QDir().mkpath(target());
        ExtractionLimits limits;
        limits.threads = threads;
        const ExtractionResult r = extract(archive(), limits);
        ASSERT_TRUE(r.ok()) << threads << " threads: " << r.detail.toStdString();
        EXPECT_EQ(r.files, 208) << threads << " threads";
        for (int i = 0; i < 206; ++i)
            ASSERT_EQ(content(name(i)), data(i)) << threads << " threads, " << name(i).toStdString();
    }
}

namespace {

// ZIP bytes written by hand, for what no library writes on request: any host,
// any method number, a local name unlike the central one, entries sharing bytes.
struct RawEntry {
    RawEntry(QByteArray n, QByteArray d, quint8 h = 3, quint16 m = 0, bool withDescriptor = false)
        : name(std::move(n))
        , data(std::move(d))
        , host(h)
        , method(m)
        , descriptor(withDescriptor)
    {
    }
    QByteArray name;
    QByteArray data; // stored as it is, whatever method says
    quint8 host = 3;
    quint16 method = 0;
    bool descriptor = false; // CRC and sizes in a descriptor after the data, zero in the header
    QByteArray localName;    // the local header's name, when it differs
    quint32 claimsMore = 0;  // the central directory declares this much more data
};

class RawZip {
  public:
    void add(const RawEntry &e)
    {
        pointAt(e, quint32(m_bytes.size()));
        m_bytes += local(e);
    }
    // A central entry for e at offset, whatever lies there.
    void pointAt(const RawEntry &e, quint32 offset) { m_central.push_back({e, offset}); }
    QByteArray bytes() const { return m_bytes; }
    QByteArray finish() const
    {
        QByteArray central;
        for (const auto &[e, offset] : m_central) {
            const quint32 size = quint32(e.data.size()) + e.claimsMore;
            central += "PK\x01\x02" + le(quint16(e.host << 8 | 20), 2) + le(20, 2) + le(flags(e), 2) +
                       le(e.method, 2) + le(0, 2) + le(0x21, 2) + le(crc(e.data), 4) + le(size, 4) +
                       le(size, 4) + le(quint32(e.name.size()), 2) + le(0, 2) + le(0, 2) + le(0, 2) +
                       le(0, 2) + le(e.host == 3 ? 0100644u << 16 : 0x20u, 4) + le(offset, 4) + e.name;
        }
        const quint32 count = quint32(m_central.size());
        return m_bytes + central + "PK\x05\x06" + le(0, 4) + le(count, 2) + le(count, 2) +
               le(quint32(central.size()), 4) + le(quint32(m_bytes.size()), 4) + le(0, 2);
    }
    static QByteArray local(const RawEntry &e)
    {
        const QByteArray name = e.localName.isEmpty() ? e.name : e.localName;
        const quint32 crcField = e.descriptor ? 0 : crc(e.data);
        const quint32 size = e.descriptor ? 0 : quint32(e.data.size());
        QByteArray out = "PK\x03\x04" + le(20, 2) + le(flags(e), 2) + le(e.method, 2) + le(0, 2) +
                         le(0x21, 2) + le(crcField, 4) + le(size, 4) + le(size, 4) +
                         le(quint32(name.size()), 2) + le(0, 2) + name + e.data;
        if (e.descriptor)
            out += "PK\x07\x08" + le(crc(e.data), 4) + le(quint32(e.data.size()), 4) +
                   le(quint32(e.data.size()), 4);
        return out;
    }

  private:
    static QByteArray le(quint32 v, int bytes)
    {
        QByteArray b;
        for (int i = 0; i < bytes; ++i)
            b.append(char((v >> (8 * i)) & 0xff));
        return b;
    }
    static quint16 flags(const RawEntry &e) { return e.descriptor ? 0x0008 : 0; }
    static quint32 crc(const QByteArray &d)
    {
        return quint32(crc32(0, reinterpret_cast<const Bytef *>(d.constData()), uInt(d.size())));
    }
    QByteArray m_bytes;
    std::vector<std::pair<RawEntry, quint32>> m_central;
};

const RawEntry kAutorun{"Autorun.exe", "MZ"};
const RawEntry kLanguageFile{"Idioma.kvt", "POR"};

// Files as "path" -> content and folders as "path/" -> "", below root.
QMap<QString, QByteArray> treeOf(const QString &root)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(root.size() + 1);
        if (it.fileInfo().isDir())
            tree.insert(relative + u'/', {});
        else
            tree.insert(relative, ZipBuilder::read(path));
    }
    return tree;
}

// The book every tool zips: accented names in folders and files, an empty file,
// a 200 kB text and 40 binary files, one of them several blocks long.
std::uint64_t writeSourceTree(const QString &root)
{
    std::uint64_t total = 0;
    auto put = [&](const QString &relative, const QByteArray &data) {
        QDir().mkpath(QFileInfo(root + u'/' + relative).absolutePath());
        ZipBuilder::write(root + u'/' + relative, data);
        total += std::uint64_t(data.size());
    };
    put("Autorun.exe", QByteArray("MZ\x90\0\3\0\0\0", 8) + QByteArray(3000, '\xcc'));
    put("Idioma.kvt", "POR");
    put("Lições/Lição 1.txt", "Olá, ação e coração.\r\n");
    put("Lições/Exercícios/Ação é já.txt", "Exercício 1\n");
    put("Vazio.txt", {});
    QByteArray text;
    for (int line = 0; text.size() < 200 * 1024; ++line)
        text +=
            QStringLiteral("Linha %1: a lição número %2 é sobre ações.\n").arg(line).arg(line * 7).toUtf8();
    put("Textos/Introdução.txt", text);
    quint32 seed = 12345;
    for (int i = 0; i < 40; ++i) {
        QByteArray data(i == 0 ? 600 * 1024 : 100 + i * 1733 % 20000, Qt::Uninitialized);
        for (char &c : data)
            c = char((seed = seed * 1103515245u + 12345u) >> 23);
        put(QStringLiteral("Mídia/binário %1.bin").arg(i, 2, 10, QChar(u'0')), data);
    }
    return total;
}

// Runs a tool in folder with a UTF-8 locale, as a user's shell would.
bool runTool(const QString &program, const QStringList &arguments, const QString &folder, QString *output)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8");
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    const bool finished = p.waitForFinished(120000);
    *output = QString::fromLocal8Bit(p.readAll());
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Zips the current folder into argv[2]: "deflate" as zipfile does by default,
// "zip64" with ZIP64 headers on small entries, "stream" into a file it cannot
// seek, so every entry's sizes follow its data.
constexpr const char *kPythonZip = R"(import os, sys, zipfile
mode, out = sys.argv[1], sys.argv[2]
class Unseekable:
    def __init__(self, f): self.f = f
    def write(self, b): return self.f.write(b)
    def flush(self): self.f.flush()
raw = open(out, 'wb')
zf = zipfile.ZipFile(Unseekable(raw) if mode == 'stream' else raw, 'w', zipfile.ZIP_DEFLATED)
for folder, dirs, files in os.walk('.'):
    dirs.sort()
    for name in dirs + sorted(files):
        path = os.path.relpath(os.path.join(folder, name))
        if mode == 'zip64' and os.path.isfile(path):
            with open(path, 'rb') as src, zf.open(path, 'w', force_zip64=True) as dst:
                dst.write(src.read())
        else:
            zf.write(path)
zf.close()
raw.close()
)";

struct Maker {
    const char *name;
    const char *program;
    QStringList arguments; // "%1" stands for the archive
    const char *package;   // what installs the program on Debian
};

void PrintTo(const Maker &maker, std::ostream *os)
{
    *os << maker.name;
}

class ToolMadeArchives : public ZipExtractionTest, public ::testing::WithParamInterface<Maker> {};

} // namespace

// Every tool's archive of one tree extracts to that tree: names, folders, empty
// file, contents; and the progress ends at the total it announced, never above,
// while two threads write.
TEST_P(ToolMadeArchives, ExtractToTheTreeTheyWereMadeFrom)
{
    const Maker &maker = GetParam();
    const QString program = QStandardPaths::findExecutable(maker.program);
    if (program.isEmpty())
        GTEST_SKIP() << maker.program << " is not installed (Debian package " << maker.package << ")";
    const QString source = dir.path() + "/source";
    const std::uint64_t bytes = writeSourceTree(source);
    QStringList arguments = maker.arguments;
    arguments.replaceInStrings("%1", archive());
    QString output;
    ASSERT_TRUE(runTool(program, arguments, source, &output)) << output.toStdString();

    install::ExtractionProgress progress;
    std::atomic<bool> done{false};
    std::atomic<std::uint64_t> overshoot{0};
    std::thread watcher([&] {
        while (!done.load()) {
            const std::uint64_t written = progress.written.load(std::memory_order_acquire);
            if (written > progress.total.load(std::memory_order_acquire))
                overshoot = written;
            std::this_thread::yield();
        }
    });
    const ExtractionResult r = ZipExtraction::extract(archive(), target(), {}, nullptr, &progress);
    done = true;
    watcher.join();
    ASSERT_TRUE(r.ok()) << int(r.error) << " " << r.entry.toStdString() << " " << r.detail.toStdString();
    EXPECT_EQ(treeOf(target()), treeOf(source));
    EXPECT_EQ(r.files, 46);
    EXPECT_EQ(r.bytes, bytes);
    EXPECT_EQ(progress.total.load(), bytes);
    EXPECT_EQ(progress.written.load(), bytes);
    EXPECT_EQ(overshoot.load(), 0u) << "written passed total";
}

INSTANTIATE_TEST_SUITE_P(
    Makers, ToolMadeArchives,
    ::testing::Values(Maker{"InfoZip", "zip", {"-q", "-r", "%1", "."}, "zip"},
                      Maker{"InfoZipStored", "zip", {"-q", "-r", "-0", "%1", "."}, "zip"},
                      Maker{"InfoZipBzip2", "zip", {"-q", "-r", "-Z", "bzip2", "%1", "."}, "zip"},
                      Maker{"InfoZipDescriptors", "zip", {"-q", "-r", "-fd", "%1", "."}, "zip"},
                      Maker{"InfoZipZip64", "zip", {"-q", "-r", "-fz", "%1", "."}, "zip"},
                      Maker{"Bsdtar", "bsdtar", {"--format", "zip", "-cf", "%1", "."}, "libarchive-tools"},
                      Maker{"BsdtarStored",
                            "bsdtar",
                            {"--format", "zip", "--options", "zip:compression=store", "-cf", "%1", "."},
                            "libarchive-tools"},
                      Maker{"SevenZip", "7z", {"a", "-tzip", "-bd", "%1", "."}, "p7zip-full"},
                      Maker{"Python", "python3", {"-c", kPythonZip, "deflate", "%1"}, "python3"},
                      Maker{"PythonZip64", "python3", {"-c", kPythonZip, "zip64", "%1"}, "python3"},
                      Maker{"PythonStreamed", "python3", {"-c", kPythonZip, "stream", "%1"}, "python3"}),
    [](const ::testing::TestParamInfo<Maker> &maker) { return std::string(maker.param.name); });

// Names without the UTF-8 flag are read by where they were made: Info-ZIP on
// Linux (host 3) and macOS (19) store UTF-8; Windows Explorer (host 0) and NTFS
// hosts store code page 850, even where those bytes happen to be valid UTF-8;
// bytes that are no UTF-8 are code page 850 whatever the host.
TEST_F(ZipExtractionTest, UnflaggedNamesAreReadByTheirHost)
{
    const struct {
        quint8 host;
        QByteArray name;
        QString expected;
    } cases[] = {
        {3,
         "Li\xc3\xa7\xc3\xb5"
         "es/Li\xc3\xa7\xc3\xa3o 1.txt",
         "Lições/Lição 1.txt"},
        {19, "Ma\xc3\xa7\xc3\xa3.txt", "Maçã.txt"},
        {3, "\xc7\x82.txt", "ǂ.txt"},
        {0, "\xc7\x82.txt", "Ãé.txt"},
        {10, "\xc7\x82 2.txt", "Ãé 2.txt"},
        {0,
         "Exerc\xa1"
         "cios/Li\x87\xc6o 2.txt",
         "Exercícios/Lição 2.txt"},
        {3, "Li\x87\xc6o 3.txt", "Lição 3.txt"},
    };
    RawZip zip;
    zip.add(kAutorun);
    zip.add(kLanguageFile);
    QStringList expected{"Autorun.exe", "Idioma.kvt"};
    for (const auto &c : cases) {
        zip.add({c.name, c.name, c.host});
        expected << c.expected;
    }
    ZipBuilder::write(archive(), zip.finish());
    const ExtractionResult r = extract(archive());
    ASSERT_TRUE(r.ok()) << int(r.error) << " " << r.detail.toStdString();
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(content(cases[i].expected), cases[i].name) << cases[i].expected.toStdString();
    expected.sort();
    EXPECT_EQ(targetFiles(), expected);
}

// A book is Autorun.exe and Idioma.kvt at the top, in any letter case, or inside
// the one folder the archive holds; what macOS adds is never extracted; anything
// else is refused before a byte is written.
TEST_F(ZipExtractionTest, WhatIsABook)
{
    const struct {
        const char *label;
        QList<QByteArray> names;
        QStringList extracted; // empty: refused as no book
    } cases[] = {
        {"zipped as its folder, from a Mac",
         {"Livro/", "Livro/Autorun.exe", "Livro/Idioma.kvt", "Livro/Lições/Lição 1.txt",
          "Livro/._Autorun.exe", "Livro/Lições/._Lição 1.txt", "Livro/._Lições",
          "__MACOSX/Livro/._Autorun.exe", "__MACOSX/._Livro", "Livro/._Sozinho"},
         {"Autorun.exe", "Idioma.kvt", "Lições/Lição 1.txt", "._Sozinho"}},
        {"any letter case",
         {"AUTORUN.EXE", "idioma.KVT", "Sons/a.wav"},
         {"AUTORUN.EXE", "idioma.KVT", "Sons/a.wav"}},
        {"folder without its own entry",
         {"livro/autorun.exe", "LIVRO/Idioma.kvt"},
         {"autorun.exe", "Idioma.kvt"}},
        {"Mac files beside a book at the top",
         {"Autorun.exe", "Idioma.kvt", "._Idioma.kvt", "__MACOSX/._Autorun.exe"},
         {"Autorun.exe", "Idioma.kvt"}},
        {"a file beside the folder", {"Livro/Autorun.exe", "Livro/Idioma.kvt", "Leia-me.txt"}, {}},
        {"two folders", {"A/Autorun.exe", "A/Idioma.kvt", "B/x.txt"}, {}},
        {"two levels down", {"A/B/Autorun.exe", "A/B/Idioma.kvt"}, {}},
        {"no Idioma.kvt", {"Autorun.exe", "Lições/Lição 1.txt"}, {}},
        {"folders of those names", {"Autorun.exe/x.txt", "Idioma.kvt/y.txt"}, {}},
        {"folders of those names inside the folder", {"Livro/Autorun.exe/", "Livro/Idioma.kvt"}, {}},
        {"only under __MACOSX", {"__MACOSX/Autorun.exe", "__MACOSX/Idioma.kvt", "x.txt"}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        QDir(target()).removeRecursively();
        QDir().mkpath(target());
        ZipBuilder zip(archive());
        for (const QByteArray &name : c.names) {
            if (name.endsWith('/'))
                zip.folder(name);
            else
                zip.file(name, name);
        }
        zip.close();
        const ExtractionResult r = extract(archive());
        if (c.extracted.isEmpty()) {
            EXPECT_EQ(r.error, ExtractionError::NotABook);
            EXPECT_EQ(filesWritten(), QStringList());
            continue;
        }
        ASSERT_TRUE(r.ok()) << int(r.error) << " " << r.entry.toStdString();
        QStringList expected = c.extracted;
        expected.sort();
        EXPECT_EQ(targetFiles(), expected);
    }
}

// A method libzip cannot decode is named to the user, with the entry, before
// anything is written.
TEST_F(ZipExtractionTest, MethodsWeCannotReadAreNamed)
{
    const struct {
        quint16 method;
        const char *name;
    } cases[] = {{9, "Deflate64"}, {98, "PPMd"}, {6, "Implode"}, {1, "Shrink"}, {200, "200"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(zip_compression_method_supported(c.method, 0));
        RawZip zip;
        zip.add(kAutorun);
        zip.add(kLanguageFile);
        zip.add({"Sons/Lição.wav", "not really compressed", 3, c.method});
        ZipBuilder::write(archive(), zip.finish());
        const ExtractionResult r = extract(archive());
        EXPECT_EQ(r.error, ExtractionError::UnsupportedMethod);
        EXPECT_EQ(r.detail, c.name);
        EXPECT_EQ(r.entry, "Sons/Lição.wav");
        EXPECT_EQ(filesWritten(), QStringList());
    }
}

TEST_F(ZipExtractionTest, SevenZipDeflate64IsNamed)
{
    const QString program = QStandardPaths::findExecutable("7z");
    if (program.isEmpty())
        GTEST_SKIP() << "7z is not installed (Debian package p7zip-full)";
    const QString source = dir.path() + "/source";
    QDir().mkpath(source + "/Textos");
    ZipBuilder::write(source + "/Autorun.exe", "MZ");
    ZipBuilder::write(source + "/Idioma.kvt", "POR");
    ZipBuilder::write(source + "/Textos/Introdução.txt", QByteArray(100000, 'a'));
    QString output;
    ASSERT_TRUE(runTool(program, {"a", "-tzip", "-mm=Deflate64", "-bd", archive(), "."}, source, &output))
        << output.toStdString();
    const ExtractionResult r = extract(archive());
    EXPECT_EQ(r.error, ExtractionError::UnsupportedMethod);
    EXPECT_EQ(r.detail, "Deflate64");
    EXPECT_EQ(r.entry, "Textos/Introdução.txt");
    EXPECT_EQ(targetFiles(), QStringList());
}

// Headers and data must be each entry's own, as the central directory places
// them: checked before anything is written, since libzip trusts that directory.
TEST_F(ZipExtractionTest, LayoutsNoHonestToolWrites)
{
    const RawEntry wav{"Sons/a.wav", QByteArray(3000, 'w')};
    const struct {
        const char *label;
        std::function<QByteArray()> make;
        ExtractionError error;
        QString entry;
    } cases[] = {
        {"local header names another file",
         [&] {
             RawZip z;
             z.add(kAutorun);
             z.add(kLanguageFile);
             RawEntry e = wav;
             e.localName = "../../escape.txt";
             z.add(e);
             return z.finish();
         },
         ExtractionError::UnsafeName, "Sons/a.wav"},
        // One entry's data holds a whole second entry, header and all.
        {"an entry inside another",
         [&] {
             RawZip z;
             z.add(kAutorun);
             z.add(kLanguageFile);
             const quint32 inner = quint32(z.bytes().size() + 30 + 10 + 4);
             z.add({"Sons/b.wav", "bbbb" + RawZip::local(wav)});
             z.pointAt(wav, inner);
             return z.finish();
         },
         ExtractionError::Damaged, "Sons/a.wav"},
        {"two entries on one header",
         [&] {
             RawZip z;
             z.add(kAutorun);
             z.add(kLanguageFile);
             const quint32 at = quint32(z.bytes().size());
             z.add(wav);
             z.pointAt(wav, at);
             return z.finish();
         },
         ExtractionError::Damaged, "Sons/a.wav"},
        {"data running into the central directory",
         [&] {
             RawZip z;
             z.add(kAutorun);
             z.add(kLanguageFile);
             RawEntry e = wav;
             e.claimsMore = 40;
             z.add(e);
             return z.finish();
         },
         ExtractionError::Damaged, "Sons/a.wav"},
        {"no local header where it points",
         [&] {
             RawZip z;
             z.add(kAutorun);
             z.add(kLanguageFile);
             z.pointAt(wav, 7);
             return z.finish();
         },
         ExtractionError::Damaged, "Sons/a.wav"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        ZipBuilder::write(archive(), c.make());
        const ExtractionResult r = extract(archive());
        EXPECT_EQ(r.error, c.error) << r.detail.toStdString();
        EXPECT_EQ(r.entry, c.entry);
        EXPECT_EQ(filesWritten(), QStringList());
    }
}

// With sizes and CRC after the data, the data is still held to its CRC.
TEST_F(ZipExtractionTest, DescriptorArchivesStillCheckTheCrc)
{
    RawZip zip;
    zip.add({"Autorun.exe", "MZ", 3, 0, /*descriptor=*/true});
    zip.add({"Idioma.kvt", "POR", 3, 0, /*descriptor=*/true});
    zip.add({"Sons/a.wav", QByteArray(3000, 'w'), 3, 0, /*descriptor=*/true});
    const QByteArray good = zip.finish();
    ZipBuilder::write(archive(), good);
    const ExtractionResult honest = extract(archive());
    ASSERT_TRUE(honest.ok()) << honest.detail.toStdString();
    EXPECT_EQ(content("Sons/a.wav"), QByteArray(3000, 'w'));

    QByteArray bad = good;
    bad[bad.indexOf(QByteArray(100, 'w')) + 1500] = 'X';
    ZipBuilder::write(archive(), bad);
    const ExtractionResult r = extract(archive());
    EXPECT_EQ(r.error, ExtractionError::Damaged) << r.detail.toStdString();
    EXPECT_EQ(r.entry, "Sons/a.wav");
}
