// Our own answers to the Windows questions, compared with what Wine itself
// answers in real prefixes, for each kind of prefix and program this machine
// runs: drive types, which files a program sees, where zeko.ini lies, and the
// profile-string functions on tricky files.

#include "WineProbe.h"
#include "WineTestPrefix.h"
#include "WineVariant.h"
#include "common/ProcessTable.h"
#include "common/QtPrinters.h"
#include "common/WaitUntil.h"
#include "platform/ProfileFile.h"
#include "platform/WinePlatform.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <map>

using namespace std::chrono_literals;

using platform::ProfileFile;
using platform::StartFailure;
using platform::WineHost;
using platform::WinePlatform;
using platform::WinePrefix;

namespace {

QByteArray toAnsi(const QString &s)
{
    QByteArray out;
    for (QChar c : s)
        out.append(c.unicode() < 0x100 ? char(c.unicode()) : '?');
    return out;
}

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class WineComparisonTest : public ::testing::TestWithParam<WineVariant> {
  protected:
    void SetUp() override
    {
        ZEKO_REQUIRE_WINE_VARIANT(GetParam());
        prefix = WineTestPrefix::shared(GetParam().prefix);
        ASSERT_TRUE(prefix && prefix->ok()) << (prefix ? prefix->errorString().toStdString() : "");
        wine = std::make_unique<WinePlatform>(WinePrefix(prefix->path()));
        work = prefix->scratchPath() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        QDir().mkpath(work);
    }
    void TearDown() override
    {
        // Leave the shared prefix without this test's mappings.
        if (prefix)
            for (const QString &e : QDir(prefix->dosDevicesPath()).entryList(QDir::System | QDir::AllEntries))
                if (e.size() == 2 && e[0] >= u'm' && e[0] <= u'y')
                    QFile::remove(prefix->dosDevicesPath() + "/" + e);
    }
    WineProbe probe() const { return WineProbe(*prefix, GetParam().probe()); }
    QString win(const QString &unixPath) const { return WineTestPrefix::toWindowsPath(unixPath); }

    WineTestPrefix *prefix = nullptr;
    std::unique_ptr<WinePlatform> wine;
    QString work;
};

// What only a 32-bit program sees, as the course does.
class WineComparison32Test : public WineComparisonTest {};

} // namespace

TEST_P(WineComparisonTest, DriveTypes)
{
    QDir().mkpath(work + "/book");
    put(work + "/file.txt", "x");
    QFile::link(work + "/book", prefix->dosDevicesPath() + "/x:");
    QFile::link(work + "/vanished", prefix->dosDevicesPath() + "/w:");
    QFile::link(work + "/file.txt", prefix->dosDevicesPath() + "/v:");
    const QString letters = "CXWVUZ";
    WineProbe p = probe();
    std::vector<int> asked;
    for (QChar l : letters)
        asked.push_back(p.drivetype(QString(l) + ":\\"));
    ASSERT_TRUE(p.run()) << p.errorString().toStdString();
    for (qsizetype i = 0; i < letters.size(); ++i)
        EXPECT_EQ(wine->driveType(letters[i]), p.driveTypeResult(asked[i]).value_or(-1))
            << "drive " << letters[i].toLatin1();
}

// Files are found through a mapping whatever the letter case, and not at all
// once the mapping is gone.
TEST_P(WineComparisonTest, FileVisibility)
{
    put(work + "/Livro1/Autorun.exe", "MZ");
    put(work + "/Livro1/Idioma.kvt", "POR");
    QDir().mkpath(work + "/Livro1/Sons");
    const platform::DeviceOutcome mapped = wine->defineDosDevice("X:", win(work + "/Livro1"));
    ASSERT_TRUE(mapped) << mapped.reason().toStdString();

    const QStringList paths = {"X:\\AUTORUN.EXE", "x:\\autorun.exe", "X:\\Idioma.KVT", "X:\\missing.exe",
                               "X:\\SONS"};
    WineProbe p = probe();
    std::vector<int> asked;
    for (const QString &path : paths)
        asked.push_back(p.attrs(path));
    ASSERT_TRUE(p.run()) << p.errorString().toStdString();
    for (size_t i = 0; i < asked.size(); ++i) {
        const quint32 attrs = p.attrsResult(asked[i]).value_or(0xFFFFFFFF);
        const bool wineSees = attrs != 0xFFFFFFFF;
        const bool isDir = wineSees && (attrs & 0x10);
        EXPECT_EQ(wine->fileExists(paths[i]), wineSees && !isDir) << paths[i].toStdString();
        EXPECT_EQ(wine->directoryExists(paths[i]), isDir) << paths[i].toStdString();
    }

    const platform::DeviceOutcome removed = wine->removeDosDevice("X:", win(work + "/Livro1"));
    ASSERT_TRUE(removed) << removed.reason().toStdString();
    WineProbe after = probe();
    const int gone = after.attrs("X:\\Autorun.exe");
    const int type = after.drivetype("X:\\");
    ASSERT_TRUE(after.run());
    EXPECT_EQ(after.attrsResult(gone).value_or(0), 0xFFFFFFFFu);
    EXPECT_EQ(after.driveTypeResult(type).value_or(0), 1);
}

// zeko.ini lies where a 32-bit program looks for it, in either kind of prefix.
TEST_P(WineComparison32Test, SettingsFileWhereTheCourseLooks)
{
    const QString iniPath = wine->toUnixPath("C:\\windows\\system32\\zeko.ini");
    put(iniPath, "[InstalacaoVersao5]\r\nIdiomaInst=ESP\r\n");
    const QStringList paths = {"C:\\WINDOWS\\SYSTEM32\\ZEKO.INI", "C:\\windows\\syswow64\\zeko.ini"};
    WineProbe p = probe();
    std::vector<int> asked;
    for (const QString &path : paths)
        asked.push_back(p.attrs(path));
    const int sys = p.sysdir(200);
    const int lang = p.getstr(QByteArray("InstalacaoVersao5"), QByteArray("IdiomaInst"), QByteArray(), 255,
                              "C:\\windows\\system32\\zeko.ini");
    ASSERT_TRUE(p.run()) << p.errorString().toStdString();
    for (size_t i = 0; i < asked.size(); ++i) {
        const bool wineSees = p.attrsResult(asked[i]).value_or(0xFFFFFFFF) != 0xFFFFFFFF;
        EXPECT_EQ(wine->fileExists(paths[i]), wineSees) << paths[i].toStdString();
    }
    QFile::remove(iniPath);
    EXPECT_EQ(
        QString::fromLatin1(p.sysdirResult(sys)->bytes).compare(wine->systemDirectory(), Qt::CaseInsensitive),
        0);
    EXPECT_EQ(p.getstrResult(lang)->bytes, "ESP");
}

// A Windows program starts through Wine without a shell: blanks in arguments and
// in the working folder reach it intact, and the manager does not wait for it.
TEST_P(WineComparisonTest, StartsAWindowsProgram)
{
    const QString folder = work + "/a folder with blanks";
    put(folder + "/commands.txt", "curdir\n");
    const QString output = folder + "/answer file.txt";
    const platform::StartOutcome started =
        wine->startProgram(GetParam().probe(), {win(folder + "/commands.txt"), win(output)}, win(folder));
    ASSERT_TRUE(started) << started.reason().toStdString();
    QFile answer(output);
    EXPECT_TRUE(waitUntil(
        "the program has written its answer", [&answer] { return answer.size() > 0; }, 30s));
    ASSERT_TRUE(answer.open(QIODevice::ReadOnly)) << "the program did not run";
    const QString curdir = QString::fromLatin1(QByteArray::fromHex(answer.readAll().trimmed()));
    EXPECT_EQ(QDir::cleanPath(curdir).compare(QDir::cleanPath(win(folder)), Qt::CaseInsensitive), 0)
        << curdir.toStdString();
}

TEST_P(WineComparisonTest, UserName)
{
    WineProbe p = probe();
    const int big = p.username(256);
    ASSERT_TRUE(p.run()) << p.errorString().toStdString();
    ASSERT_TRUE(p.usernameResult(big)->ok);
    EXPECT_EQ(QString::fromLocal8Bit(p.usernameResult(big)->name), WinePlatform::loginName());
}

namespace {

struct ReadCase {
    const char *name;
    QByteArray bytes;
};

std::vector<ReadCase> readCorpus()
{
    QByteArray garbage;
    quint32 x = 2024;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1664525u + 1013904223u;
        const char c = char(x >> 24);
        garbage.append(c == '\0' ? 'z' : c);
    }
    garbage.prepend("junk");
    garbage.insert(7000, "\n[InstalacaoVersao5]\nIdiomaInst=ING\n");
    QByteArray utf16("\xff\xfe", 2);
    for (QChar c : QStringLiteral("[InstalacaoVersao5]\r\nIdiomaInst=Inglês\r\nDriveCD=X:\r\n")) {
        utf16.append(char(c.unicode() & 0xff));
        utf16.append(char(c.unicode() >> 8));
    }
    return {
        {"course", "[InstalacaoVersao5]\r\nIdiomaInst=ING\r\nDriveCD=D:\r\n[ZEKODownload]\r\nDrive=C:\r\n"},
        {"case and blanks", "  [ instalacaoVERSAO5 ]  \n  idiomainst  =  ing  \n\tDRIVECD\t=\tX: \n"},
        {"quotes", "[Q]\nk1=\"X:\"\nk2='a'\nk3=\"abc'\nk4=\"\"\nk5=\"\nk6=\" spaced \"\nk7=\"abc\"\n"},
        {"duplicates", "[A]\nk=1\nk=2\n[B]\nk=b\n[a]\nk=3\nj=4\n[B]\nj=5\n"},
        {"line ends", "[A]\rk=cr\r[B]\nk=lf\n[C]\r\nk=crlf\r\n\r\n\r\n[D]\n\r\nk=mixed"},
        {"odd lines",
         "k=before\n[A\nk=x\n[A] tail\n;k=comment\nnovalue\n=empty\nk = real \n[]\nk=nameless\n"},
        {"long value", "[A]\nk=" + QByteArray(300, 'v') + "\n[B]\nk=" + QByteArray(254, 'w') + "\n"},
        {"ansi accents", "[InstalacaoVersao5]\r\nIdiomaInst=Portugu\xeas\r\n"},
        {"utf8 bom", "\xef\xbb\xbf[InstalacaoVersao5]\r\nIdiomaInst=Portugu\xc3\xaas\r\n"},
        {"utf16", utf16},
        {"garbage", garbage},
        {"huge line",
         "[A]\nk=" + QByteArray(10 * 1024 * 1024, 'h') + "\n[InstalacaoVersao5]\nIdiomaInst=ESP\n"},
        {"empty", QByteArray()},
    };
}

const std::vector<std::pair<QByteArray, QByteArray>> kQueries = {
    {"InstalacaoVersao5", "IdiomaInst"},
    {"instalacaoversao5", "DRIVECD"},
    {"ZEKODownload", "Drive"},
    {"Q", "k1"},
    {"Q", "k2"},
    {"Q", "k3"},
    {"Q", "k4"},
    {"Q", "k5"},
    {"Q", "k6"},
    {"Q", "k7"},
    {"A", "k"},
    {"a", "j"},
    {"B", "k"},
    {"B", "j"},
    {"C", "k"},
    {"D", "k"},
    {"", "k"},
    {" A ", " k "},
    {"A]", "k"},
    {"A", "novalue"},
    {"A", ""},
    {"A", ";k"},
    {"Missing", "k"},
};

} // namespace

// Same count and same characters as Wine, for every file, key and buffer size.
TEST_P(WineComparisonTest, ProfileReadsMatchWine)
{
    const std::vector<int> buffers = {255, 2, 1, 4, 6};
    WineProbe p = probe();
    struct Asked {
        QString file;
        QByteArray section, key;
        int buffer;
        int index;
    };
    std::vector<Asked> asked;
    const auto corpus = readCorpus();
    for (size_t f = 0; f < corpus.size(); ++f) {
        const QString path = work + QStringLiteral("/case%1.ini").arg(f);
        put(path, corpus[f].bytes);
        for (const auto &[section, key] : kQueries)
            for (int buffer : buffers)
                asked.push_back(
                    {path, section, key, buffer, p.getstr(section, key, QByteArray(), buffer, win(path))});
    }
    const QString absent = work + "/absent.ini";
    asked.push_back({absent, "A", "k", 255,
                     p.getstr(QByteArray("A"), QByteArray("k"), QByteArray("dflt  "), 255, win(absent))});
    ASSERT_TRUE(p.run(300000)) << p.errorString().toStdString();

    int compared = 0;
    for (const Asked &a : asked) {
        const auto theirs = p.getstrResult(a.index);
        ASSERT_TRUE(theirs) << p.rawResult(a.index).toStdString();
        const QString def = a.file == absent ? QStringLiteral("dflt  ") : QString();
        const auto ours = ProfileFile::readFile(a.file, QString::fromLatin1(a.section),
                                                QString::fromLatin1(a.key), def, a.buffer);
        EXPECT_EQ(ours.count, theirs->ret)
            << QFileInfo(a.file).fileName().toStdString() << " [" << a.section.data() << "] " << a.key.data()
            << " buffer " << a.buffer;
        EXPECT_EQ(toAnsi(ours.value), theirs->bytes)
            << QFileInfo(a.file).fileName().toStdString() << " [" << a.section.data() << "] " << a.key.data()
            << " buffer " << a.buffer;
        ++compared;
    }
    EXPECT_GT(compared, 1000);
}

namespace {

struct WriteCase {
    const char *name;
    QByteArray bytes;
    const char *section, *key, *value;
};

const std::vector<WriteCase> kWrites = {
    {"replace", "[InstalacaoVersao5]\r\nIdiomaInst=POR\r\nDriveCD=D:\r\n", "InstalacaoVersao5", "DriveCD",
     "X:"},
    {"other case", "[instalacaoversao5]\r\nidiomainst=POR\r\ndrivecd = \"D:\" \r\n", "InstalacaoVersao5",
     "DriveCD", "Y:"},
    {"new key", "[ZEKODownload]\r\n\r\n[Other]\r\nk=1\r\n", "ZEKODownload", "Drive", "C:"},
    {"new section", "[InstalacaoVersao5]\r\nIdiomaInst=POR", "ZEKODownload", "Drive", "C:"},
    {"duplicates", "[A]\nk=1\n[A]\nk=2\nj=3\n", "a", "K", "9"},
    {"no equals", "[A]\nk\nj=1\n", "A", "k", "v"},
    {"leading blanks", "[A]\nk=1\n", "A", "k", "   spaced value"},
    {"lf file", "[A]\nk=1\n[B]\nk=2\n", "B", "new", "3"},
    {"utf8 bom", "\xef\xbb\xbf[A]\nk=Jos\xc3\xa9\n", "A", "j", "Z:"},
    {"empty", "", "ZEKODownload", "Drive", "C:"},
};

} // namespace

// Wine reads our write as it reads its own.
TEST_P(WineComparisonTest, ProfileWritesReadBackLikeWines)
{
    WineProbe p = probe();
    struct Asked {
        int ours, theirs;
        QByteArray section, key;
        size_t c;
    };
    std::vector<Asked> asked;
    std::vector<int> writes;
    for (size_t c = 0; c < kWrites.size(); ++c) {
        const WriteCase &w = kWrites[c];
        const QString mine = work + QStringLiteral("/ours%1.ini").arg(c);
        const QString theirs = work + QStringLiteral("/theirs%1.ini").arg(c);
        put(mine, w.bytes);
        put(theirs, w.bytes);
        QString error;
        ASSERT_TRUE(ProfileFile::writeFile(mine, w.section, w.key, w.value, &error)) << error.toStdString();
        writes.push_back(
            p.writestr(QByteArray(w.section), QByteArray(w.key), QByteArray(w.value), win(theirs)));
        for (const auto &[section, key] :
             std::vector<std::pair<QByteArray, QByteArray>>{{w.section, w.key},
                                                            {"A", "k"},
                                                            {"A", "j"},
                                                            {"B", "k"},
                                                            {"B", "new"},
                                                            {"Other", "k"},
                                                            {"InstalacaoVersao5", "IdiomaInst"},
                                                            {"InstalacaoVersao5", "DriveCD"},
                                                            {"ZEKODownload", "Drive"}})
            asked.push_back({p.getstr(section, key, QByteArray(), 255, win(mine)),
                             p.getstr(section, key, QByteArray(), 255, win(theirs)), section, key, c});
    }
    // Wine creates a missing file as we do.
    const QString newMine = work + "/new-ours.ini", newTheirs = work + "/new-theirs.ini";
    ASSERT_TRUE(ProfileFile::writeFile(newMine, "ZEKODownload", "Drive", "C:"));
    writes.push_back(
        p.writestr(QByteArray("ZEKODownload"), QByteArray("Drive"), QByteArray("C:"), win(newTheirs)));
    asked.push_back(
        {p.getstr(QByteArray("ZEKODownload"), QByteArray("Drive"), QByteArray(), 255, win(newMine)),
         p.getstr(QByteArray("ZEKODownload"), QByteArray("Drive"), QByteArray(), 255, win(newTheirs)),
         "ZEKODownload", "Drive", kWrites.size()});
    ASSERT_TRUE(p.run()) << p.errorString().toStdString();

    for (int w : writes)
        EXPECT_TRUE(p.writestrResult(w)->ok);
    for (const Asked &a : asked) {
        const auto mine = p.getstrResult(a.ours);
        const auto theirs = p.getstrResult(a.theirs);
        ASSERT_TRUE(mine && theirs);
        const char *name = a.c < kWrites.size() ? kWrites[a.c].name : "new file";
        EXPECT_EQ(mine->ret, theirs->ret) << name << " [" << a.section.data() << "] " << a.key.data();
        EXPECT_EQ(mine->bytes, theirs->bytes) << name << " [" << a.section.data() << "] " << a.key.data();
    }
}

INSTANTIATE_TEST_SUITE_P(Wine, WineComparisonTest, ::testing::ValuesIn(WineVariant::all()), wineVariantName);
INSTANTIATE_TEST_SUITE_P(Wine, WineComparison32Test, ::testing::ValuesIn(WineVariant::programs32()),
                         wineVariantName);

// Starting a 32-bit program says true only when it runs here: on a machine that
// runs no 32-bit programs the start fails with the reason, and nothing runs.
TEST(WineStart, A32BitProgramStartsOnlyWhereItCanRun)
{
    ZEKO_REQUIRE_WINE_VARIANT(WineVariant::kPrefix64Programs64);
    WineTestPrefix *prefix = WineTestPrefix::shared(WineTestPrefix::Arch::Win64);
    ASSERT_TRUE(prefix->ok()) << prefix->errorString().toStdString();
    WinePlatform wine(WinePrefix(prefix->path()));
    const QString folder = prefix->scratchPath() + "/start32";
    put(folder + "/commands.txt", "curdir\n");
    const QString output = folder + "/answer.txt";

    const platform::StartOutcome outcome = wine.startProgram(
        WineVariant::kPrefix64Programs32.probe(),
        {WineTestPrefix::toWindowsPath(folder + "/commands.txt"), WineTestPrefix::toWindowsPath(output)},
        WineTestPrefix::toWindowsPath(folder));
    const bool started = outcome.ok();
    const StartFailure failure = outcome.failure();
    const QString error = outcome.reason();
    const WineHost &host = WineHost::current();
    EXPECT_EQ(started, host.runs32()) << error.toStdString();
    const auto answered = [&output] { return QFileInfo(output).size() > 0; };
    if (started) {
        EXPECT_TRUE(waitUntil("the program has written its answer", answered, 30s));
    } else {
        // A start has run the loader by the time it returns: the program, had it
        // started behind our back, would still be running now or would have answered.
        EXPECT_EQ(processesMentioning(WineVariant::kPrefix64Programs32.probe()), QList<qint64>())
            << "the refused program runs";
    }
    EXPECT_EQ(QFileInfo(output).size() > 0, started);
    if (!started) {
        EXPECT_TRUE(error.contains(host.reason32())) << error.toStdString();
        EXPECT_EQ(failure, host.limit32() == WineHost::Limit32::No32BitLinux ? StartFailure::No32BitLinux
                                                                             : StartFailure::No32BitWine);
    }
}
