// The launcher as the course meets it: run by Wine in each kind of prefix and
// program this machine runs (the shipped 32-bit one, or a 64-bit copy built from
// the same sources), starting a stub AUTORUN.EXE from a mapped drive.

#include "WineTestPrefix.h"
#include "WineVariant.h"
#include "common/WaitUntil.h"
#include "platform/WindowsExecutable.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class LauncherWineTest : public ::testing::TestWithParam<WineVariant> {
  protected:
    void SetUp() override
    {
        ZEKO_REQUIRE_WINE_VARIANT(GetParam());
        prefix = WineTestPrefix::shared(GetParam().prefix);
        ASSERT_TRUE(prefix && prefix->ok());
        work = prefix->scratchPath() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        book = work + "/book";
        QDir().mkpath(book);
        QFile::remove(prefix->dosDevicesPath() + "/x:");
        ASSERT_TRUE(QFile::link(book, prefix->dosDevicesPath() + "/x:"));
        // Where this launcher reads C:\windows\system32\zeko.ini.
        zekoIni = GetParam().systemFolder(*prefix) + "/zeko.ini";
        QFile::remove(zekoIni);
    }
    void TearDown() override
    {
        if (prefix)
            QFile::remove(prefix->dosDevicesPath() + "/x:");
    }

    void withAutorun() { ASSERT_TRUE(QFile::copy(GetParam().program("AUTORUN.EXE"), book + "/AUTORUN.EXE")); }
    void withLanguage(const QByteArray &line)
    {
        QFile f(zekoIni);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[InstalacaoVersao5]\r\n" + line + "\r\nDriveCD=X:\r\n");
    }

    // Runs the launcher; what it would show goes to report.txt instead of a box.
    int launch(const QStringList &args, QProcessEnvironment env = {})
    {
        if (env.isEmpty())
            env = prefix->environment();
        env.insert("ZEKO_LOADZEKOV_REPORT", WineTestPrefix::toWindowsPath(work + "/report.txt"));
        env.insert("ZEKO_STUB_LOG", WineTestPrefix::toWindowsPath(work + "/autorun.txt"));
        WineRunOptions o;
        o.environment = env;
        o.timeoutMs = 60000;
        const WineRunResult r = prefix->runWineDetailed(QStringList{GetParam().launcher()} + args, o);
        EXPECT_TRUE(r.finished) << r.error.toStdString();
        return r.exitCode;
    }
    QString report() const { return QString::fromUtf8(readAll(work + "/report.txt")); }

    WineTestPrefix *prefix = nullptr;
    QString work, book, zekoIni;
};

} // namespace

// "x:" works like "X:": the course starts from the drive's root, without arguments.
TEST_P(LauncherWineTest, StartsAutorunFromTheDrivesRoot)
{
    withAutorun();
    EXPECT_EQ(launch({"x:"}), 0);
    ASSERT_TRUE(waitUntil(
        "AUTORUN.EXE has written its log", [this] { return QFileInfo(work + "/autorun.txt").size() > 0; },
        30s))
        << "AUTORUN.EXE was not started";
    const QByteArray log = readAll(work + "/autorun.txt");
    EXPECT_TRUE(log.contains("cwd=X:\\\r\n")) << log.toStdString();
    EXPECT_TRUE(log.contains("args=\r\n")) << log.toStdString();
    EXPECT_TRUE(report().isEmpty());
}

// Without AUTORUN.EXE the message speaks the installed language; a language the
// launcher does not know gets no message at all.
TEST_P(LauncherWineTest, MissingProgramMessageByLanguage)
{
    withLanguage("IdiomaInst= ing ");
    EXPECT_EQ(launch({"X:"}), 0);
    EXPECT_EQ(report(), "ZEKO\texclamation\tFile AUTORUN.EXE not found!\n");

    QFile::remove(work + "/report.txt");
    withLanguage("IdiomaInst=");
    launch({"X:"});
    EXPECT_EQ(report(), QStringLiteral("ZEKO\texclamation\tArquivo AUTORUN.EXE não encontrado!\n"));

    QFile::remove(work + "/report.txt");
    QFile::remove(zekoIni);
    launch({"X:"});
    EXPECT_EQ(report(), QStringLiteral("ZEKO\texclamation\tArquivo AUTORUN.EXE não encontrado!\n"));

    QFile::remove(work + "/report.txt");
    withLanguage("IdiomaInst=ESP");
    launch({"X:"});
    EXPECT_EQ(report(), "ZEKO\texclamation\tArchivo AUTORUN.EXE no encontrado.\n");

    QFile::remove(work + "/report.txt");
    withLanguage("IdiomaInst=FRA");
    EXPECT_EQ(launch({"X:"}), 0);
    EXPECT_TRUE(report().isEmpty());
}

TEST_P(LauncherWineTest, WithoutArgumentShowsTheUsageText)
{
    withAutorun();
    launch({});
    const QStringList fields = report().split(u'\t');
    ASSERT_EQ(fields.size(), 3);
    EXPECT_EQ(fields[0], "LoadZEKO");
    EXPECT_EQ(fields[1], "information");
    EXPECT_EQ(fields[2].count("\r\r"), 2);
    EXPECT_TRUE(fields[2].startsWith(QStringLiteral("Este programa só pode")));
    EXPECT_FALSE(QFileInfo::exists(work + "/autorun.txt"));
}

// A bad argument or a drive that does not exist is reported, and nothing starts.
TEST_P(LauncherWineTest, BadDrivesAreReported)
{
    withAutorun();
    withLanguage("IdiomaInst=ING");
    EXPECT_EQ(launch({"1:"}), 1);
    EXPECT_TRUE(report().contains("\"1:\" is not a valid drive")) << report().toStdString();
    QFile::remove(work + "/report.txt");
    EXPECT_EQ(launch({"Q:"}), 1);
    EXPECT_TRUE(report().contains("Drive Q: does not exist")) << report().toStdString();
    // A course the launchers had started would keep the prefix's server running
    // until it had written its log and ended.
    ASSERT_TRUE(prefix->waitForServer()) << "a program of the prefix still runs after the launchers ended";
    EXPECT_FALSE(QFileInfo::exists(work + "/autorun.txt"));
}

INSTANTIATE_TEST_SUITE_P(Wine, LauncherWineTest, ::testing::ValuesIn(WineVariant::all()), wineVariantName);

// The launcher and the course are 32-bit: in a 64-bit prefix their system32 is syswow64.
TEST(LauncherWine, TheShippedLauncherIsA32BitProgram)
{
    EXPECT_EQ(platform::WindowsExecutable::kindOf(ZEKO_APP_DIR "/LoadZEKOV.EXE"),
              platform::WindowsExecutable::Kind::X86);
    EXPECT_EQ(WineVariant::kPrefix64Programs32.launcher(), ZEKO_APP_DIR "/LoadZEKOV.EXE");
}

class LauncherOnDisplay : public ::testing::TestWithParam<WineVariant> {};

// On a real X display: the usage box appears with its title, and a second
// launcher started meanwhile ends at once without starting anything.
TEST_P(LauncherOnDisplay, RealBoxAndSecondInstance)
{
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    const QString xdotool = QStandardPaths::findExecutable("xdotool");
    if (xvfb.isEmpty() || xdotool.isEmpty())
        GTEST_SKIP() << "needs Xvfb and xdotool";
    ZEKO_REQUIRE_WINE_VARIANT(GetParam());
    const QString kLauncher = GetParam().launcher();
    WineTestPrefix prefix(GetParam().prefix);
    ASSERT_TRUE(prefix.ok()) << prefix.errorString().toStdString();

    // Xvfb picks a free display itself and names it on its output once it accepts clients.
    QProcess x;
    x.start(xvfb, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    ASSERT_TRUE(x.waitForStarted());
    QByteArray number;
    while (!number.endsWith('\n') && x.waitForReadyRead(10000))
        number += x.readAllStandardOutput();
    ASSERT_FALSE(number.trimmed().isEmpty()) << "Xvfb named no display";
    const QString display = u':' + QString::fromLatin1(number.trimmed());
    QProcessEnvironment env = prefix.environment();
    env.insert("DISPLAY", display);

    WineRunOptions first;
    first.environment = env;
    QString error;
    auto boxed = prefix.startWine({kLauncher}, first, &error);
    ASSERT_TRUE(boxed) << error.toStdString();

    const auto windowShown = [&] {
        QProcess search;
        search.setProcessEnvironment(env);
        search.start(xdotool, {"search", "--name", "^LoadZEKO$"});
        search.waitForFinished(5000);
        return !search.readAllStandardOutput().trimmed().isEmpty();
    };
    EXPECT_TRUE(waitUntil("a window titled LoadZEKO is shown", windowShown, 60s, 250ms))
        << "no window titled LoadZEKO appeared";

    const QString book = prefix.scratchPath() + "/book";
    QDir().mkpath(book);
    QFile::copy(GetParam().program("AUTORUN.EXE"), book + "/AUTORUN.EXE");
    QFile::link(book, prefix.dosDevicesPath() + "/x:");
    WineRunOptions second;
    second.environment = env;
    second.environment->insert("ZEKO_STUB_LOG",
                               WineTestPrefix::toWindowsPath(prefix.scratchPath() + "/autorun.txt"));
    second.timeoutMs = 30000;
    const WineRunResult r = prefix.runWineDetailed({kLauncher, "X:"}, second);
    EXPECT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0);
    // With the first launcher gone too, a course the second one had started would
    // keep the prefix's server running until it had written its log and ended.
    boxed->kill();
    boxed->waitForFinished(10000);
    ASSERT_TRUE(prefix.waitForServer()) << "a program of the prefix still runs after both launchers ended";
    EXPECT_FALSE(QFileInfo::exists(prefix.scratchPath() + "/autorun.txt"))
        << "the second launcher started the course";

    prefix.killServer();
    x.terminate();
    x.waitForFinished(5000);
}

INSTANTIATE_TEST_SUITE_P(Wine, LauncherOnDisplay,
                         ::testing::Values(WineVariant::kPrefix64Programs64,
                                           WineVariant::kPrefix64Programs32),
                         wineVariantName);
