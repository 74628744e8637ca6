#include "shell/help/ChmFile.h"
#include "common/QtPrinters.h"
#include "shell/help/ChmReading.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>

using shell::help::ChmFile;

namespace {

QString helpFile(const QString &language)
{
    return QStringLiteral(ZEKO_APP_DIR "/Help/ZEKODwnl_%1.CHM").arg(language);
}

void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

struct Idioma {
    const char *code;
    const char *title;  // the overview topic's title
    const char *phrase; // a sentence with the language's accented letters
};

class ChmFileHelpTest : public ::testing::TestWithParam<Idioma> {
  protected:
    void SetUp() override
    {
        ChmFile::Failure failure = ChmFile::Failure::Missing;
        chm = ChmFile::open(helpFile(QString::fromUtf8(GetParam().code)), &failure);
        ASSERT_TRUE(chm);
        EXPECT_EQ(failure, ChmFile::Failure::None);
    }
    std::unique_ptr<ChmFile> chm;
};

} // namespace

// Help opens on context 1000: the overview, written in the file's own language
// with its accents intact.
TEST_P(ChmFileHelpTest, ContextThousandIsTheOverviewInTheFilesLanguage)
{
    ChmFile::Failure failure = ChmFile::Failure::Missing;
    const QString topic = chm->topicForContext(1000, &failure);
    EXPECT_EQ(failure, ChmFile::Failure::None);
    EXPECT_EQ(topic, "/overview.html");
    EXPECT_EQ(chm->resolveTopic(chm->defaultTopic()), topic);

    const std::optional<QByteArray> html = chm->read(topic);
    ASSERT_TRUE(html);
    const QString text = QString::fromUtf8(*html);
    EXPECT_TRUE(text.contains(QStringLiteral("<title>%1</title>").arg(QString::fromUtf8(GetParam().title))));
    EXPECT_TRUE(text.contains(QString::fromUtf8(GetParam().phrase))) << text.toStdString();
}

// Every entry of the contents, every context and every link of every topic leads
// to a file inside, so no click in the help ends on an empty page.
TEST_P(ChmFileHelpTest, ContentsContextsAndLinksStayInsideTheFile)
{
    const QList<ChmFile::TocEntry> toc = chm->contents();
    ASSERT_EQ(toc.size(), 4);
    EXPECT_EQ(toc[0].name, QString::fromUtf8(GetParam().title));
    EXPECT_EQ(toc[0].local, "/overview.html");
    EXPECT_EQ(toc[0].depth, 0);
    for (qsizetype i = 1; i < toc.size(); ++i)
        EXPECT_EQ(toc[i].depth, 1) << toc[i].name.toStdString();
    for (const ChmFile::TocEntry &entry : toc)
        EXPECT_TRUE(chm->contains(entry.local)) << entry.local.toStdString();

    for (quint32 context : {1010u, 1020u, 1030u})
        EXPECT_FALSE(chm->topicForContext(context).isEmpty()) << context;

    static const QRegularExpression link(QStringLiteral(R"re((?:href|src)\s*=\s*"([^"]*)")re"),
                                         QRegularExpression::CaseInsensitiveOption);
    int links = 0;
    for (const QString &file : chm->files()) {
        if (!file.endsWith(QLatin1String(".html")))
            continue;
        const QString html = QString::fromUtf8(chm->read(file).value_or(QByteArray()));
        for (const QRegularExpressionMatch &m : link.globalMatch(html)) {
            const QString target =
                QDir::cleanPath(QFileInfo(file).path() + '/' + m.captured(1).section('#', 0, 0));
            EXPECT_TRUE(chm->contains(target)) << file.toStdString() << " -> " << m.captured(1).toStdString();
            ++links;
        }
    }
    EXPECT_GE(links, 7);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, ChmFileHelpTest,
    ::testing::Values(Idioma{"POR", "Bem-vindo ao ZEKO Download",
                             "as unidades dos seus livros são desconectadas"},
                      Idioma{"ING", "Welcome to ZEKO Download", "the drives of your books are released"},
                      Idioma{"ESP", "Bienvenido a ZEKO Download", "Si responde <b>Sí</b>, las unidades"}),
    [](const ::testing::TestParamInfo<Idioma> &p) { return std::string(p.param.code); });

// Topic names come relative, with backslashes, as ms-its addresses or as the
// compiling machine's absolute path; each is found by the tail naming a file.
// A number the map lacks is reported, not answered with some other topic.
TEST(ChmFileTest, StoredTopicNamesResolveToFilesInside)
{
    auto chm = ChmFile::open(helpFile("ING"));
    ASSERT_TRUE(chm);
    ChmFile::Failure failure = ChmFile::Failure::None;
    EXPECT_EQ(chm->topicForContext(4242, &failure), "");
    EXPECT_EQ(failure, ChmFile::Failure::NoSuchContext);

    EXPECT_EQ(chm->resolveTopic("install.html"), "/install.html");
    EXPECT_EQ(chm->resolveTopic("\\OPEN.HTML"), "/OPEN.HTML");
    EXPECT_EQ(chm->resolveTopic("ms-its:ZEKODwnl_ING.CHM::/remove.html#steps"), "/remove.html#steps");
    EXPECT_EQ(chm->resolveTopic("/home/dev/zeko/data/help/ING/overview.html"), "/overview.html");
    EXPECT_EQ(chm->resolveTopic("/home/dev/zeko/missing.html"), "");
    EXPECT_EQ(chm->resolveTopic(""), "");
}

// A missing file, a folder, an empty file, a text file and a cut-off help file
// each fail on opening, with the reason, rather than later on reading.
TEST(ChmFileTest, MissingAndForeignFilesFailCleanly)
{
    QTemporaryDir dir;
    ChmFile::Failure failure = ChmFile::Failure::None;
    EXPECT_FALSE(ChmFile::open(dir.filePath("ZEKODwnl_ING.CHM"), &failure));
    EXPECT_EQ(failure, ChmFile::Failure::Missing);
    EXPECT_FALSE(ChmFile::open(dir.filePath("nowhere/ZEKODwnl_ING.CHM"), &failure));
    EXPECT_EQ(failure, ChmFile::Failure::Missing);

    QDir(dir.path()).mkdir("folder.CHM");
    writeFile(dir.filePath("empty.CHM"), {});
    writeFile(dir.filePath("text.CHM"), "<html><body>not compiled</body></html>\n");
    QFile real(helpFile("ING"));
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    writeFile(dir.filePath("cut.CHM"), real.read(3000));
    for (const char *name : {"folder.CHM", "empty.CHM", "text.CHM", "cut.CHM"}) {
        failure = ChmFile::Failure::None;
        EXPECT_FALSE(ChmFile::open(dir.filePath(name), &failure)) << name;
        EXPECT_EQ(failure, ChmFile::Failure::NotAChm) << name;
    }
}

// As on Windows, the file name's letter case does not matter; the folders' does,
// since they are the install folder's own.
TEST(ChmFileTest, FileNameLetterCaseIsIgnored)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("Help");
    ASSERT_TRUE(QFile::copy(helpFile("ING"), dir.filePath("Help/ZEKODwnl_ING.CHM")));

    auto chm = ChmFile::open(dir.filePath("Help/zekodwnl_ing.chm"));
    ASSERT_TRUE(chm);
    EXPECT_EQ(chm->path(), dir.filePath("Help/ZEKODwnl_ING.CHM"));
    EXPECT_EQ(chm->topicForContext(1000), "/overview.html");

    ChmFile::Failure failure = ChmFile::Failure::None;
    EXPECT_FALSE(ChmFile::open(dir.filePath("HELP/ZEKODwnl_ING.CHM"), &failure));
    EXPECT_EQ(failure, ChmFile::Failure::Missing);
}

// Sitemaps written by hand or by other tools: any letter case, both quotes,
// entities, headings without a page, links into the file by ms-its address,
// and objects that are not entries.
TEST(ChmFileTest, SitemapEntriesKeepTheirNesting)
{
    const QByteArray hhc = R"(<object type="text/site properties"><param name="Name" value="x"></object>
<ul><li><OBJECT type="text/sitemap">
    <PARAM NAME="Name" VALUE="Start &amp; more"><param name='Local' value='start.htm'></OBJECT>
  <ul><li><object type="text/sitemap"><param name="Name" value="Heading only"></object>
    <ul><li><object type="text/sitemap">
      <param name="Name" value="Deep"><param name="Local" value="ms-its:x.chm::/sub/deep.htm#a"></object></ul>
  </ul>
  <li><object type="text/sitemap"><param name="Local" value="nameless.htm"></object>
  <li><object type="text/sitemap">
    <param name="Name" value="Caf&#233; &#xE9;"><param name="Local" value="sub\cafe.htm"></object>
</ul>)";
    const QList<ChmFile::TocEntry> toc = ChmFile::parseSitemap(hhc);
    ASSERT_EQ(toc.size(), 4);
    EXPECT_EQ(toc[0].name, "Start & more");
    EXPECT_EQ(toc[0].local, "/start.htm");
    EXPECT_EQ(toc[0].depth, 0);
    EXPECT_EQ(toc[1].name, "Heading only");
    EXPECT_EQ(toc[1].local, "");
    EXPECT_EQ(toc[1].depth, 1);
    EXPECT_EQ(toc[2].local, "/sub/deep.htm#a");
    EXPECT_EQ(toc[2].depth, 2);
    EXPECT_EQ(toc[3].name, QString::fromUtf8("Café é"));
    EXPECT_EQ(toc[3].local, "/sub/cafe.htm");
    EXPECT_EQ(toc[3].depth, 0);
}

// A project compiled without a context map opens every context on its default
// topic, the page it meant to be read first.
TEST(ChmFileTest, FileWithoutContextMapAnswersWithItsDefaultTopic)
{
    const QString chmcmd = QStandardPaths::findExecutable(QStringLiteral("chmcmd"));
    if (chmcmd.isEmpty())
        GTEST_SKIP() << "chmcmd (fp-utils) is not installed";
    QTemporaryDir dir;
    writeFile(dir.filePath("a.html"), "<html><head><title>A</title></head></html>");
    writeFile(dir.filePath("home.html"), "<html><head><title>Home</title></head></html>");
    writeFile(dir.filePath("p.hhp"),
              "[OPTIONS]\nCompiled file=p.chm\nDefault topic=home.html\n\n[FILES]\na.html\nhome.html\n");
    QProcess compiler;
    compiler.setWorkingDirectory(dir.path());
    compiler.start(chmcmd, {QStringLiteral("p.hhp")});
    ASSERT_TRUE(compiler.waitForFinished(60000));

    auto chm = ChmFile::open(dir.filePath("p.chm"));
    ASSERT_TRUE(chm);
    ChmFile::Failure failure = ChmFile::Failure::NoSuchContext;
    EXPECT_EQ(chm->topicForContext(1000, &failure), "/home.html");
    EXPECT_EQ(failure, ChmFile::Failure::None);
}

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

template <typename T> T get(const QByteArray &b, qsizetype at)
{
    return at >= 0 && at + qsizetype(sizeof(T)) <= b.size() ? qFromLittleEndian<T>(b.constData() + at) : T(0);
}

void put32(QByteArray &b, qsizetype at, quint32 value)
{
    qToLittleEndian(value, b.data() + at);
}

void put64(QByteArray &b, qsizetype at, quint64 value)
{
    qToLittleEndian(value, b.data() + at);
}

// Where the structures chmlib trusts lie in one of our help files, found from
// its headers and its single listing page as chmlib finds them.
struct Layout {
    qsizetype directory = 0;   // the ITSP header
    qsizetype listing = 0;     // the listing page
    qsizetype controlData = 0; // the LZXC control data
    qsizetype resetTable = 0;

    explicit Layout(const QByteArray &chm)
    {
        directory = qsizetype(get<quint64>(chm, 0x48));
        listing = directory + 0x54;
        const qsizetype data = qsizetype(get<quint64>(chm, 0x58));
        const qsizetype end = listing + 4096 - get<quint32>(chm, listing + 4);
        auto number = [&chm](qsizetype &at) {
            quint64 value = 0;
            for (uchar byte = 0x80; byte & 0x80; ++at) {
                byte = uchar(chm[at]);
                value = value << 7 | (byte & 0x7f);
            }
            return value;
        };
        for (qsizetype at = listing + 0x14; at < end;) {
            const qsizetype length = qsizetype(number(at));
            const QByteArray name = chm.mid(at, length);
            at += length;
            number(at);
            const qsizetype start = qsizetype(number(at));
            number(at);
            if (name.endsWith("/ControlData"))
                controlData = data + start;
            else if (name.endsWith("/ResetTable"))
                resetTable = data + start;
        }
    }
};

} // namespace

// Each damage that made chmlib divide by zero, write through a null or short
// buffer, allocate gigabytes or list or look up without end is refused by the checks before
// chmlib sees the file: in this very process, which would not survive otherwise,
// and through the reader. A file cut inside its data is damaged, not foreign.
TEST(ChmFileTest, DamagedFilesAreRefusedBeforeChmlibReadsThem)
{
    const QByteArray good = readAll(helpFile("ING"));
    ASSERT_GT(good.size(), 10000);
    const Layout at(good);
    ASSERT_EQ(good.mid(at.controlData + 4, 4), "LZXC");
    ASSERT_NE(at.resetTable, 0);

    const std::pair<const char *, std::function<void(QByteArray &)>> damages[] = {
        {"no LZX window", [&](QByteArray &b) { put32(b, at.controlData + 0x10, 0); }},
        {"an LZX window of 4 MB",
         [&](QByteArray &b) {
             put32(b, at.controlData + 0x0c, 128);
             put32(b, at.controlData + 0x10, 128);
         }},
        {"no windows per reset", [&](QByteArray &b) { put32(b, at.controlData + 0x14, 0); }},
        {"compressed blocks of no size", [&](QByteArray &b) { put64(b, at.resetTable + 0x20, 0); }},
        {"directory pages of 4 GB", [&](QByteArray &b) { put32(b, at.directory + 0x10, 0xF0000000); }},
        {"a listing page chained to itself", [&](QByteArray &b) { put32(b, at.listing + 0x10, 0); }},
        {"a compressed block longer than chmlib's buffer",
         [&](QByteArray &b) {
             put64(b, at.resetTable + 0x30, 0x80000);
             b.append(0x100000, '\0');
         }},
        {"an index page that leads back to itself",
         [&](QByteArray &b) {
             // Pages of 2 KB: the listing keeps its entries, and the second page
             // becomes the index root, its one entry leading to itself.
             const quint32 used = 4096 - get<quint32>(b, at.listing + 4);
             put32(b, at.directory + 0x10, 2048);
             put32(b, at.listing + 4, 2048 - used);
             const QByteArray index = QByteArray("PMGI") + QByteArray(4, '\0') + QByteArray("\x01/\x01", 3);
             b.replace(at.listing + 2048, index.size(), index);
             put32(b, at.listing + 2048 + 4, 2048 - quint32(index.size()));
             put32(b, at.directory + 0x1c, 1);
         }},
        {"cut inside the data", [&](QByteArray &b) { b.truncate(9000); }},
    };
    QTemporaryDir dir;
    for (const auto &[what, damage] : damages) {
        QByteArray bytes = good;
        damage(bytes);
        const QString path = dir.filePath("damaged.CHM");
        writeFile(path, bytes);

        const shell::help::ChmReadResult inProcess = shell::help::readChm(path);
        EXPECT_EQ(inProcess.refusal, shell::help::ChmReadResult::Refusal::Damaged) << what;
        EXPECT_FALSE(inProcess.reason.isEmpty()) << what;
        ChmFile::Failure failure = ChmFile::Failure::None;
        EXPECT_FALSE(ChmFile::open(path, &failure)) << what;
        EXPECT_EQ(failure, ChmFile::Failure::Damaged) << what;
    }
}

// However the reader ends without its contents (a crash, a hang, output without
// end, output that is not contents, a failure, no reader at all), the file
// counts as damaged and the manager goes on; only a hang waits for the time
// limit, and output beyond the limit is not waited for.
TEST(ChmFileTest, AReaderThatBreaksDownLeavesTheFileDamaged)
{
    const ChmFile::Reader real = ChmFile::reader();
    struct Restore {
        ChmFile::Reader reader;
        ~Restore() { ChmFile::setReader(reader); }
    } restore{real};
    constexpr std::chrono::milliseconds timeLimit(2000);

    QTemporaryDir dir;
    const struct {
        const char *what;
        QByteArray script; // empty: no program at all
        bool hangs = false;
    } readers[] = {
        {"crashes", "kill -SEGV $$"},
        {"hangs", "exec sleep 30", true},
        {"writes past the limit", "head -c 50000000 /dev/zero; exec sleep 30"},
        {"writes something else", "echo contents; exit 0"},
        {"is cut off", "\"" + real.program.toUtf8() + "\" \"$1\" | head -c 200"},
        {"fails", "exit 1"},
        {"is missing", {}},
    };
    for (const auto &reader : readers) {
        const QString program = dir.filePath(QString::fromUtf8(reader.what).replace(' ', '-'));
        if (!reader.script.isEmpty()) {
            writeFile(program, "#!/bin/sh\n" + reader.script + "\n");
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        ChmFile::setReader({program, timeLimit, 1 << 20});
        QElapsedTimer clock;
        clock.start();
        ChmFile::Failure failure = ChmFile::Failure::None;
        EXPECT_FALSE(ChmFile::open(helpFile("ING"), &failure)) << reader.what;
        EXPECT_EQ(failure, ChmFile::Failure::Damaged) << reader.what;
        EXPECT_LT(clock.elapsed(), (reader.hangs ? 3 * timeLimit : timeLimit).count()) << reader.what;
    }
}
