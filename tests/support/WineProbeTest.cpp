// Checks that the probe and the throw-away prefixes give real answers from Wine,
// for each kind of prefix and program this machine runs, before other tests rely on them.

#include "WineProbe.h"
#include "WineTestPrefix.h"
#include "WineVariant.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>

#include <pwd.h>
#include <unistd.h>

// Readable failure messages for byte strings.
void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '"' << bytes.toStdString() << "\" (hex " << bytes.toHex().toStdString() << ')';
}

namespace {

using Arch = WineTestPrefix::Arch;

constexpr int kDriveNoRootDir = 1;
constexpr int kDriveFixed = 3;
constexpr quint32 kInvalidAttributes = 0xFFFFFFFF;
constexpr quint32 kAttributeDirectory = 0x10;
constexpr unsigned kErrorPathNotFound = 3;
constexpr unsigned kErrorInsufficientBuffer = 122;

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Letters with no entry at all in dosdevices/, so tests can map them freely.
QList<QChar> freeLetters(const WineTestPrefix &prefix)
{
    QList<QChar> letters;
    for (char c = 'm'; c <= 'y'; ++c) {
        const QFileInfo entry(prefix.dosDevicesPath() + QLatin1Char('/') + QLatin1Char(c) + QLatin1Char(':'));
        if (!entry.exists() && !entry.isSymLink())
            letters.append(QLatin1Char(c));
    }
    return letters;
}

class WineProbeTest : public ::testing::TestWithParam<WineVariant> {
  protected:
    // Creating a prefix takes seconds, so each kind is made once for the whole suite.
    static void TearDownTestSuite() { s_prefixes.clear(); }

    void SetUp() override
    {
        ZEKO_REQUIRE_WINE_VARIANT(GetParam());
        auto &slot = s_prefixes[GetParam().prefix];
        if (!slot)
            slot = std::make_unique<WineTestPrefix>(GetParam().prefix);
        ASSERT_TRUE(slot->ok()) << slot->errorString().toStdString();
        m_prefix = slot.get();
    }

    WineProbe makeProbe() const { return WineProbe(*m_prefix, GetParam().probe()); }

    static void runOrFail(WineProbe &probe) { ASSERT_TRUE(probe.run()) << probe.errorString().toStdString(); }

    static inline std::map<Arch, std::unique_ptr<WineTestPrefix>> s_prefixes;
    WineTestPrefix *m_prefix = nullptr;
};

// A letter's type follows dosdevices/: no entry or a link that leads nowhere is
// "no root dir" (1), a link to a local folder is a fixed disk (3).
TEST_P(WineProbeTest, DriveTypeFollowsDosDevices)
{
    const QList<QChar> letters = freeLetters(*m_prefix);
    ASSERT_GE(letters.size(), 3);
    const QString dangling = m_prefix->dosDevicesPath() + QLatin1Char('/') + letters[1] + QLatin1Char(':');
    const QString toFolder = m_prefix->dosDevicesPath() + QLatin1Char('/') + letters[2] + QLatin1Char(':');
    ASSERT_TRUE(QFile::link(m_prefix->scratchPath() + QStringLiteral("/no-such-folder"), dangling));
    ASSERT_TRUE(QFile::link(m_prefix->scratchPath(), toFolder));

    WineProbe probe = makeProbe();
    const int c = probe.drivetype(QStringLiteral("C:\\"));
    const int unused = probe.drivetype(letters[0] + QStringLiteral(":\\"));
    const int danglingType = probe.drivetype(letters[1] + QStringLiteral(":\\"));
    const int folderType = probe.drivetype(letters[2] + QStringLiteral(":\\"));
    runOrFail(probe);
    QFile::remove(dangling);
    QFile::remove(toFolder);

    EXPECT_EQ(probe.driveTypeResult(c), kDriveFixed);
    EXPECT_EQ(probe.driveTypeResult(unused), kDriveNoRootDir);
    EXPECT_EQ(probe.driveTypeResult(danglingType), kDriveNoRootDir);
    EXPECT_EQ(probe.driveTypeResult(folderType), kDriveFixed);
}

// Every program's system folder is C:\windows\system32; only a 32-bit program in
// a 64-bit prefix finds its files in syswow64. Too small a buffer gets the needed
// size, NUL included, and is left untouched.
TEST_P(WineProbeTest, SystemFolderAsTheProgramSeesIt)
{
    const QString unixSystemFolder = GetParam().systemFolder(*m_prefix);
    ASSERT_TRUE(writeFile(unixSystemFolder + QStringLiteral("/zeko-probe-marker.ini"), "[a]\r\n"));

    WineProbe probe = makeProbe();
    const int full = probe.sysdir(260);
    const int small = probe.sysdir(5);
    const int marker = probe.attrs(QStringLiteral("C:\\windows\\system32\\zeko-probe-marker.ini"));
    const int folder = probe.attrs(QStringLiteral("C:\\windows"));
    const int missing = probe.attrs(QStringLiteral("C:\\windows\\no-such-file.ini"));
    runOrFail(probe);
    QFile::remove(unixSystemFolder + QStringLiteral("/zeko-probe-marker.ini"));

    const auto fullDir = probe.sysdirResult(full);
    ASSERT_TRUE(fullDir) << probe.rawResult(full).toStdString();
    EXPECT_EQ(fullDir->bytes, QByteArray("C:\\windows\\system32"));
    EXPECT_EQ(fullDir->ret, 19);

    const auto smallDir = probe.sysdirResult(small);
    ASSERT_TRUE(smallDir) << probe.rawResult(small).toStdString();
    EXPECT_EQ(smallDir->ret, 20);
    EXPECT_EQ(smallDir->bytes, QByteArray(5, '\xAA'));

    const auto markerAttrs = probe.attrsResult(marker);
    ASSERT_TRUE(markerAttrs);
    EXPECT_NE(*markerAttrs, kInvalidAttributes);
    EXPECT_EQ(*markerAttrs & kAttributeDirectory, 0u);
    const auto folderAttrs = probe.attrsResult(folder);
    ASSERT_TRUE(folderAttrs);
    EXPECT_NE(*folderAttrs & kAttributeDirectory, 0u);
    EXPECT_EQ(probe.attrsResult(missing), kInvalidAttributes);
}

// Section and key match regardless of case; the count excludes the NUL; a short
// buffer keeps size-1 characters and its last byte becomes NUL; a missing key or
// file gives the default.
TEST_P(WineProbeTest, ProfileStringCountsAndTruncation)
{
    const QString iniPath = m_prefix->scratchPath() + QStringLiteral("/read.ini");
    ASSERT_TRUE(writeFile(iniPath, "[Sec One]\r\nKey=Hello World\r\n"));
    const QString ini = WineTestPrefix::toWindowsPath(iniPath);
    const QString absent =
        WineTestPrefix::toWindowsPath(m_prefix->scratchPath() + QStringLiteral("/absent.ini"));

    WineProbe probe = makeProbe();
    const int whole = probe.getstr(QByteArray("sec one"), QByteArray("KEY"), QByteArray("dflt"), 255, ini);
    const int four = probe.getstr(QByteArray("Sec One"), QByteArray("Key"), QByteArray("dflt"), 4, ini);
    const int one = probe.getstr(QByteArray("Sec One"), QByteArray("Key"), QByteArray("dflt"), 1, ini);
    const int noKey = probe.getstr(QByteArray("Sec One"), QByteArray("Other"), QByteArray("dflt"), 255, ini);
    const int noFile = probe.getstr(QByteArray("Sec One"), QByteArray("Key"), QByteArray(), 255, absent);
    runOrFail(probe);

    const auto r = probe.getstrResult(whole);
    ASSERT_TRUE(r) << probe.rawResult(whole).toStdString();
    EXPECT_EQ(r->ret, 11);
    EXPECT_EQ(r->bytes, QByteArray("Hello World"));
    EXPECT_EQ(r->buffer.size(), 255);

    const auto r4 = probe.getstrResult(four);
    ASSERT_TRUE(r4) << probe.rawResult(four).toStdString();
    EXPECT_EQ(r4->ret, 3);
    EXPECT_EQ(r4->buffer, QByteArray("Hel\0", 4));

    const auto r1 = probe.getstrResult(one);
    ASSERT_TRUE(r1) << probe.rawResult(one).toStdString();
    EXPECT_EQ(r1->ret, 0);
    EXPECT_EQ(r1->buffer, QByteArray(1, '\0'));

    const auto rNoKey = probe.getstrResult(noKey);
    ASSERT_TRUE(rNoKey);
    EXPECT_EQ(rNoKey->ret, 4);
    EXPECT_EQ(rNoKey->bytes, QByteArray("dflt"));

    const auto rNoFile = probe.getstrResult(noFile);
    ASSERT_TRUE(rNoFile);
    EXPECT_EQ(rNoFile->ret, 0);
    EXPECT_EQ(rNoFile->bytes, QByteArray());
}

// What WritePrivateProfileStringA writes reads back byte for byte, blanks and
// bytes >= 0x80 included, and lands in the unix file; a write into a folder that
// does not exist fails with ERROR_PATH_NOT_FOUND.
TEST_P(WineProbeTest, WrittenStringReadsBack)
{
    const QString iniPath = m_prefix->scratchPath() + QStringLiteral("/written.ini");
    const QString ini = WineTestPrefix::toWindowsPath(iniPath);
    const QString noFolder =
        WineTestPrefix::toWindowsPath(m_prefix->scratchPath() + QStringLiteral("/no-such-folder/x.ini"));
    const QByteArray section("Livro Um");
    const QByteArray value("Caf\xE9 com a\xE7\xFA"
                           "car");

    WineProbe probe = makeProbe();
    const int write = probe.writestr(section, QByteArray("Nome"), value, ini);
    const int read = probe.getstr(section, QByteArray("nome"), QByteArray(), 255, ini);
    const int failing = probe.writestr(section, QByteArray("Nome"), value, noFolder);
    runOrFail(probe);

    const auto w = probe.writestrResult(write);
    ASSERT_TRUE(w) << probe.rawResult(write).toStdString();
    EXPECT_TRUE(w->ok);
    const auto r = probe.getstrResult(read);
    ASSERT_TRUE(r) << probe.rawResult(read).toStdString();
    EXPECT_EQ(r->bytes, value);
    EXPECT_EQ(r->ret, value.size());

    QFile file(iniPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("Nome=" + value));

    const auto f = probe.writestrResult(failing);
    ASSERT_TRUE(f) << probe.rawResult(failing).toStdString();
    EXPECT_FALSE(f->ok);
    EXPECT_EQ(f->error, kErrorPathNotFound);
}

// The user name is the unix login name; too small a buffer fails with
// ERROR_INSUFFICIENT_BUFFER and the needed size. A program started in a unix
// folder sees it as the matching Z: path.
TEST_P(WineProbeTest, UserNameAndCurrentFolder)
{
    const passwd *account = getpwuid(geteuid());
    ASSERT_NE(account, nullptr);
    const QByteArray login(account->pw_name);

    WineProbe probe = makeProbe();
    const int name = probe.username(260);
    const int tooSmall = probe.username(1);
    const int cwd = probe.curdir();
    runOrFail(probe);

    const auto n = probe.usernameResult(name);
    ASSERT_TRUE(n) << probe.rawResult(name).toStdString();
    EXPECT_TRUE(n->ok);
    EXPECT_EQ(n->name, login);

    const auto s = probe.usernameResult(tooSmall);
    ASSERT_TRUE(s) << probe.rawResult(tooSmall).toStdString();
    EXPECT_FALSE(s->ok);
    EXPECT_EQ(s->error, kErrorInsufficientBuffer);
    EXPECT_EQ(s->size, static_cast<unsigned>(login.size() + 1));

    EXPECT_EQ(probe.curdirResult(cwd), WineTestPrefix::toWindowsPath(m_prefix->scratchPath()).toLatin1());
}

// Answers belong to the batch they were asked in: adding a question voids them
// until the next run, and an index of another kind of question yields nothing.
TEST_P(WineProbeTest, AnswersFollowTheBatch)
{
    WineProbe probe = makeProbe();
    const int drive = probe.drivetype(QStringLiteral("C:\\"));
    runOrFail(probe);
    EXPECT_EQ(probe.driveTypeResult(drive), kDriveFixed);
    EXPECT_FALSE(probe.sysdirResult(drive));

    const int dir = probe.sysdir(260);
    EXPECT_FALSE(probe.driveTypeResult(drive));
    runOrFail(probe);
    EXPECT_EQ(probe.driveTypeResult(drive), kDriveFixed);
    ASSERT_TRUE(probe.sysdirResult(dir));
    EXPECT_EQ(probe.sysdirResult(dir)->ret, 19);
}

INSTANTIATE_TEST_SUITE_P(Wine, WineProbeTest, ::testing::ValuesIn(WineVariant::all()), wineVariantName);

// Removing a prefix never follows its drive links out of its own folder, and it
// stops the prefix's programs first.
TEST(WineTestPrefixLifetime, RemovesOnlyItsOwnFolder)
{
    ZEKO_REQUIRE_WINE_VARIANT(WineVariant::kPrefix64Programs64);
    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    const QString keep = outside.filePath(QStringLiteral("keep.txt"));
    ASSERT_TRUE(writeFile(keep, "keep"));

    QString prefixPath;
    // Declared outside the prefix's scope: the prefix must end it on its way out.
    std::unique_ptr<QProcess> running;
    {
        WineTestPrefix prefix(Arch::Win64);
        ASSERT_TRUE(prefix.ok()) << prefix.errorString().toStdString();
        prefixPath = prefix.path();
        ASSERT_TRUE(QFile::link(outside.path(), prefix.dosDevicesPath() + QStringLiteral("/k:")));
        ASSERT_TRUE(QFile::link(outside.path(), prefix.driveCPath() + QStringLiteral("/linked")));
        QString error;
        // pause waits on the open stdin pipe until the prefix goes away. Its prompt,
        // in English here, says it has begun to wait.
        WineRunOptions english;
        english.environment = prefix.environment();
        english.environment->insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        running = prefix.startWine({QStringLiteral("cmd"), QStringLiteral("/c"), QStringLiteral("pause")},
                                   english, &error);
        ASSERT_NE(running, nullptr) << error.toStdString();
        QByteArray prompt;
        while (!prompt.contains("Press any key") && running->waitForReadyRead(30000))
            prompt += running->readAllStandardOutput();
        ASSERT_TRUE(prompt.contains("Press any key")) << "pause did not prompt: " << prompt.toStdString();
        EXPECT_EQ(running->state(), QProcess::Running);
    }
    EXPECT_TRUE(running->waitForFinished(10000));
    EXPECT_FALSE(QFileInfo::exists(prefixPath));
    EXPECT_TRUE(QFileInfo::exists(keep));
}

} // namespace
