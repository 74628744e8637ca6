#include "platform/WinePlatform.h"
#include "common/PrefixDir.h"
#include "common/ProcessTable.h"
#include "common/QtPrinters.h"
#include "common/WaitUntil.h"
#include "platform/SingleInstance.h"

#include <QProcess>
#include <QTemporaryDir>

#include <cstring>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using platform::WinePlatform;

namespace {

class WinePlatformTest : public ::testing::Test {
  protected:
    WinePlatformTest()
        : wine(dir.prefix())
    {
        QDir().mkpath(dir.driveC() + "/ZEKO_Download/Download/Livro1");
        QDir().mkpath(dir.driveC() + "/ZEKO_Download/Download/Livro2");
        dir.writeFile(dir.driveC() + "/ZEKO_Download/Download/Livro1/Autorun.exe", "MZ");
    }
    QString book(const char *name) const { return dir.driveC() + "/ZEKO_Download/Download/" + name; }
    QString canonical(const QString &p) const { return QFileInfo(p).canonicalFilePath(); }

    PrefixDir dir;
    WinePlatform wine;
};

} // namespace

// Each existing component is found whatever its letter case, as Wine finds it.
TEST_F(WinePlatformTest, PathsMatchComponentsWithoutCase)
{
    const QString autorun = canonical(book("Livro1") + "/Autorun.exe");
    EXPECT_EQ(canonical(wine.toUnixPath("C:\\ZEKO_DOWNLOAD\\download\\LIVRO1\\AUTORUN.EXE")), autorun);
    EXPECT_EQ(canonical(wine.toUnixPath("c:/zeko_download/Download/livro1/autorun.exe")), autorun);
    EXPECT_EQ(canonical(wine.toUnixPath("C:\\ZEKO_Download\\Other\\..\\Download\\.\\Livro1\\Autorun.exe")),
              autorun);
    EXPECT_TRUE(wine.fileExists("C:\\ZEKO_Download\\Download\\LIVRO1\\autorun.EXE"));
    EXPECT_FALSE(wine.fileExists("C:\\ZEKO_Download\\Download\\LIVRO1"));
    EXPECT_TRUE(wine.directoryExists("C:\\ZEKO_Download\\Download\\LIVRO1"));
    // A missing tail keeps its spelling, so a new file can be made there.
    EXPECT_TRUE(
        wine.toUnixPath("C:\\zeko_download\\Novo\\Arquivo.TXT").endsWith("/ZEKO_Download/Novo/Arquivo.TXT"));
    // A unix path passes unchanged; what is not a drive path gives nothing.
    EXPECT_EQ(wine.toUnixPath("/home/ana/LIVRO1.zip"), "/home/ana/LIVRO1.zip");
    EXPECT_EQ(wine.toUnixPath("\\\\server\\share"), "");
    EXPECT_EQ(wine.toUnixPath("relative\\path"), "");
    EXPECT_FALSE(wine.fileExists("Q:\\Autorun.exe"));
}

// A 32-bit program's system32 is syswow64 in a 64-bit prefix, but not for the
// folders Wine leaves alone.
TEST_F(WinePlatformTest, System32IsRedirectedInA64BitPrefix)
{
    dir.writeFile(dir.driveC() + "/windows/syswow64/zeko.ini", "[A]\n");
    EXPECT_EQ(canonical(wine.toUnixPath("C:\\WINDOWS\\System32\\ZEKO.INI")),
              canonical(dir.driveC() + "/windows/syswow64/zeko.ini"));
    EXPECT_TRUE(
        wine.toUnixPath("C:\\windows\\system32\\drivers\\etc\\hosts").contains("/system32/drivers/etc"));
    EXPECT_TRUE(wine.toUnixPath("C:\\windows\\system32x\\a").contains("/system32x/"));

    PrefixDir win32(false);
    WinePlatform wine32(win32.prefix());
    win32.writeFile(win32.driveC() + "/windows/system32/zeko.ini", "[A]\n");
    EXPECT_EQ(canonical(wine32.toUnixPath("C:\\windows\\system32\\zeko.ini")),
              canonical(win32.driveC() + "/windows/system32/zeko.ini"));
}

// A prefix Wine has not set up yet has no system.reg to say its kind: Wine will
// make it 64-bit unless WINEARCH asks for win32, and the system folder follows.
TEST_F(WinePlatformTest, SystemFolderOfAPrefixWineHasNotSetUpFollowsWinearch)
{
    const QTemporaryDir bare;
    const auto systemFolder = [&bare] {
        const WinePlatform fresh{platform::WinePrefix(bare.path())};
        return fresh.toUnixPath(fresh.systemDirectory());
    };
    const bool hadArch = qEnvironmentVariableIsSet("WINEARCH");
    const QByteArray oldArch = qgetenv("WINEARCH");
    qunsetenv("WINEARCH");
    const QString byDefault = systemFolder();
    qputenv("WINEARCH", "win32");
    const QString asked32 = systemFolder();
    if (hadArch)
        qputenv("WINEARCH", oldArch);
    else
        qunsetenv("WINEARCH");
    EXPECT_EQ(byDefault, bare.path() + "/dosdevices/c:/windows/syswow64");
    EXPECT_EQ(asked32, bare.path() + "/dosdevices/c:/windows/system32");
}

TEST_F(WinePlatformTest, DriveTypes)
{
    EXPECT_EQ(wine.driveType(u'C'), 3);
    EXPECT_EQ(wine.driveType(u'X'), 1);
    QFile::link(book("Livro1"), dir.root() + "/dosdevices/x:");
    EXPECT_EQ(wine.driveType(u'X'), 3);
    EXPECT_EQ(wine.driveType(u'x'), 3);
    // A link whose folder vanished, or that names a file, is no drive root.
    QFile::link(dir.root() + "/vanished", dir.root() + "/dosdevices/y:");
    EXPECT_EQ(wine.driveType(u'Y'), 1);
    QFile::link(book("Livro1") + "/Autorun.exe", dir.root() + "/dosdevices/w:");
    EXPECT_EQ(wine.driveType(u'W'), 1);
}

TEST_F(WinePlatformTest, DefineMapsAFolderToALetter)
{
    const platform::DeviceOutcome mapped = wine.defineDosDevice("X:", "C:\\ZEKO_Download\\Download\\LIVRO1");
    ASSERT_TRUE(mapped) << mapped.reason().toStdString();
    const QFileInfo entry(dir.root() + "/dosdevices/x:");
    EXPECT_TRUE(entry.isSymLink());
    EXPECT_EQ(canonical(entry.absoluteFilePath()), canonical(book("Livro1")));
    EXPECT_TRUE(wine.fileExists("X:\\AUTORUN.EXE"));
    EXPECT_EQ(wine.driveType(u'X'), 3);

    // The letter is taken now; a disk letter is never overwritten.
    EXPECT_FALSE(wine.defineDosDevice("X:", "C:\\ZEKO_Download\\Download\\Livro2"));
    EXPECT_FALSE(wine.defineDosDevice("C:", "C:\\ZEKO_Download\\Download\\Livro2"));
    EXPECT_TRUE(QFileInfo(dir.root() + "/dosdevices/c:").isSymLink());
    EXPECT_FALSE(wine.defineDosDevice("Y:", "C:\\ZEKO_Download\\Download\\Nothing"));
    EXPECT_FALSE(wine.defineDosDevice("YY", "C:\\ZEKO_Download\\Download\\Livro2"));
}

// A mapping left behind by a folder that vanished counts as free and is replaced.
TEST_F(WinePlatformTest, DefineReplacesADanglingMapping)
{
    QFile::link(dir.root() + "/vanished", dir.root() + "/dosdevices/y:");
    const platform::DeviceOutcome mapped = wine.defineDosDevice("Y:", "C:\\ZEKO_Download\\Download\\Livro2");
    ASSERT_TRUE(mapped) << mapped.reason().toStdString();
    EXPECT_EQ(canonical(dir.root() + "/dosdevices/y:"), canonical(book("Livro2")));
}

// Removal takes away only the mapping that leads to the given folder.
TEST_F(WinePlatformTest, RemoveOnlyTheBooksOwnMapping)
{
    ASSERT_TRUE(wine.defineDosDevice("X:", "C:\\ZEKO_Download\\Download\\Livro1"));
    EXPECT_FALSE(wine.removeDosDevice("X:", "C:\\ZEKO_Download\\Download\\Livro2"));
    EXPECT_TRUE(QFileInfo(dir.root() + "/dosdevices/x:").isSymLink());
    const platform::DeviceOutcome removed = wine.removeDosDevice("x:", "c:\\zeko_download\\download\\LIVRO1");
    EXPECT_TRUE(removed) << removed.reason().toStdString();
    EXPECT_FALSE(QFileInfo(dir.root() + "/dosdevices/x:").isSymLink());
    EXPECT_FALSE(wine.removeDosDevice("X:", "C:\\ZEKO_Download\\Download\\Livro1"));

    // Never the system drive, the root drive, or something that is not a link.
    EXPECT_FALSE(wine.removeDosDevice("C:", "C:\\"));
    EXPECT_FALSE(wine.removeDosDevice("C:", dir.driveC()));
    EXPECT_FALSE(wine.removeDosDevice("Z:", "Z:\\"));
    EXPECT_FALSE(wine.removeDosDevice("Z:", "/"));
    EXPECT_TRUE(QFileInfo(dir.root() + "/dosdevices/c:").isSymLink());
    EXPECT_TRUE(QFileInfo(dir.root() + "/dosdevices/z:").isSymLink());
    QDir().mkpath(dir.root() + "/dosdevices/w:");
    EXPECT_FALSE(wine.removeDosDevice("W:", dir.root() + "/dosdevices/w:"));
    EXPECT_TRUE(QFileInfo(dir.root() + "/dosdevices/w:").isDir());
}

// Wine programs are listed by their file name, even past the 15 characters the
// kernel keeps of a process name.
TEST_F(WinePlatformTest, ProcessesByFileName)
{
    QTemporaryDir bin;
    const QString shortName = bin.path() + "/pupilapp.exe";
    const QString longName = bin.path() + "/averylongcourseprogram.exe";
    ASSERT_TRUE(QFile::link("/bin/sleep", shortName));
    ASSERT_TRUE(QFile::link("/bin/sleep", longName));
    QProcess a, b;
    a.start(shortName, {"30"});
    b.start(longName, {"30"});
    ASSERT_TRUE(a.waitForStarted() && b.waitForStarted());
    const qint64 pidA = a.processId(), pidB = b.processId();
    qint64 foundA = 0, foundB = 0;
    // The kernel reports the exec done (the start pipe closes) before it lays out
    // the new argv, so for a moment only the cut name can be read.
    EXPECT_TRUE(waitUntil(
        "both programs are listed by their full names",
        [&] {
            foundA = foundB = 0;
            for (const auto &p : wine.processes()) {
                if (p.exeFile == "pupilapp.exe")
                    foundA = p.pid;
                if (p.exeFile == "averylongcourseprogram.exe")
                    foundB = p.pid;
            }
            return foundA == pidA && foundB == pidB;
        },
        5s));
    EXPECT_EQ(foundA, pidA);
    EXPECT_EQ(foundB, pidB);

    // Once ended it is gone from the list, even before anyone reaps it.
    a.kill();
    // Nobody reaps it here: it stays a zombie until waitForFinished() below.
    ASSERT_TRUE(waitUntil(
        "pupilapp.exe has ended and waits to be reaped", [pidA] { return processState(pidA) == 'Z'; }, 10s));
    for (const auto &p : wine.processes())
        EXPECT_NE(p.pid, pidA) << "an ended process is still listed";
    a.waitForFinished();
    b.kill();
    b.waitForFinished();
}

namespace {

using platform::StartFailure;
using platform::WindowsExecutable;
using platform::WineHost;

const QString kProgram32 = QStringLiteral(ZEKO_TEST_WIN32_DIR "/AUTORUN.EXE");
const QString kProgram64 = QStringLiteral(ZEKO_TEST_WIN64_DIR "/AUTORUN.EXE");

// A loader that would run if it were ever started: a script that leaves a mark.
QString markingLoader(const QTemporaryDir &dir)
{
    const QString path = dir.filePath("loader");
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\ntouch \"$0.ran\"\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    return path;
}

struct StartAttempt {
    bool started;
    StartFailure failure;
    QString error;
};

StartAttempt attemptStart(WinePlatform &wine, const QString &exe)
{
    StartAttempt a{false, StartFailure::None, {}};
    const platform::StartOutcome o = wine.startProgram(exe, {"X:"}, {});
    a.started = o.ok();
    a.failure = o.failure();
    a.error = o.reason();
    return a;
}

} // namespace

// The kind of Windows program comes from the PE header, whatever the file holds.
TEST(WindowsExecutable, KindFromThePeHeader)
{
    EXPECT_EQ(WindowsExecutable::kindOf(kProgram32), WindowsExecutable::Kind::X86);
    EXPECT_EQ(WindowsExecutable::kindOf(kProgram64), WindowsExecutable::Kind::X64);

    QTemporaryDir dir;
    auto kindOfBytes = [&](const QByteArray &bytes) {
        const QString path = dir.filePath("f.exe");
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        f.close();
        return WindowsExecutable::kindOf(path);
    };
    QFile real(kProgram32);
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    QByteArray arm = real.readAll();
    const quint32 peOffset = quint8(arm[0x3c]) | quint8(arm[0x3d]) << 8;
    arm[peOffset + 4] = char(0x64); // IMAGE_FILE_MACHINE_ARM64, 0xAA64
    arm[peOffset + 5] = char(0xAA);
    EXPECT_EQ(kindOfBytes(arm), WindowsExecutable::Kind::OtherMachine);

    EXPECT_EQ(WindowsExecutable::kindOf(dir.filePath("missing.exe")), WindowsExecutable::Kind::Unreadable);
    EXPECT_EQ(WindowsExecutable::kindOf(QString()), WindowsExecutable::Kind::Unreadable);
    EXPECT_EQ(kindOfBytes(""), WindowsExecutable::Kind::NotWindows);
    EXPECT_EQ(kindOfBytes("MZ"), WindowsExecutable::Kind::NotWindows);
    // A header offset past the end, or into the DOS header itself.
    QByteArray farOffset(64, '\0');
    farOffset[0] = 'M';
    farOffset[1] = 'Z';
    farOffset[0x3c] = char(0xff);
    farOffset[0x3f] = char(0x7f);
    EXPECT_EQ(kindOfBytes(farOffset), WindowsExecutable::Kind::NotWindows);
    // e_lfanew 4, with a signature and an i386 machine there: still inside the DOS header.
    QByteArray selfOffset = farOffset;
    selfOffset[0x3c] = 4;
    selfOffset[0x3f] = 0;
    selfOffset.replace(4, 6, QByteArray("PE\0\0\x4c\x01", 6));
    EXPECT_EQ(kindOfBytes(selfOffset), WindowsExecutable::Kind::NotWindows);
    EXPECT_EQ(kindOfBytes("\x7f"
                          "ELF\1\1\1" +
                          QByteArray(100, '\0')),
              WindowsExecutable::Kind::NotWindows);
}

// A program Wine cannot run here is refused with its reason, and no loader is
// started: no start is ever claimed that could not happen.
TEST_F(WinePlatformTest, StartRefusesWhatCannotRunHere)
{
    QTemporaryDir bin;
    const QString loader = markingLoader(bin);
    QDir().mkpath(dir.driveC() + "/Apps");
    ASSERT_TRUE(QFile::copy(kProgram32, dir.driveC() + "/Apps/Probe32.exe"));
    ASSERT_TRUE(QFile::copy(kProgram64, dir.driveC() + "/Apps/Probe64.exe"));

    const WineHost noWine(WineHost::Facts{});
    WinePlatform withoutWine(dir.prefix(), &noWine);
    StartAttempt a = attemptStart(withoutWine, "C:\\Apps\\Probe32.exe");
    EXPECT_FALSE(a.started);
    EXPECT_EQ(a.failure, StartFailure::WineMissing);
    EXPECT_TRUE(a.error.contains("Wine is not installed")) << a.error.toStdString();

    const WineHost no32Linux(WineHost::Facts{loader, loader, false});
    WinePlatform oldKernel(dir.prefix(), &no32Linux);
    a = attemptStart(oldKernel, "C:\\Apps\\Probe32.exe");
    EXPECT_FALSE(a.started);
    EXPECT_EQ(a.failure, StartFailure::No32BitLinux);
    EXPECT_TRUE(a.error.contains("without 32-bit support")) << a.error.toStdString();

    const WineHost no32Wine(WineHost::Facts{QString(), loader, true});
    WinePlatform noWine32(dir.prefix(), &no32Wine);
    a = attemptStart(noWine32, "C:\\apps\\PROBE32.EXE");
    EXPECT_FALSE(a.started);
    EXPECT_EQ(a.failure, StartFailure::No32BitWine);
    EXPECT_TRUE(a.error.contains("(wine32)")) << a.error.toStdString();

    a = attemptStart(noWine32, "C:\\Apps\\Missing.exe");
    EXPECT_EQ(a.failure, StartFailure::NotFound);
    dir.writeFile(dir.driveC() + "/Apps/Readme.exe", "not a program");
    a = attemptStart(noWine32, "C:\\Apps\\Readme.exe");
    EXPECT_EQ(a.failure, StartFailure::NotAProgram);

    // A 64-bit program cannot run in a 32-bit prefix.
    PrefixDir prefix32(/*win64=*/false);
    ASSERT_TRUE(QFile::copy(kProgram64, prefix32.driveC() + "/Probe64.exe"));
    WinePlatform in32BitPrefix(prefix32.prefix(), &no32Wine);
    a = attemptStart(in32BitPrefix, "C:\\Probe64.exe");
    EXPECT_FALSE(a.started);
    EXPECT_EQ(a.failure, StartFailure::Other);
    EXPECT_TRUE(a.error.contains("32-bit Wine prefix")) << a.error.toStdString();

    // A start has run the loader by the time it returns: a loader started for any
    // of these would still be running now, or would have left its mark already.
    EXPECT_EQ(processesMentioning(loader), QList<qint64>()) << "a loader runs for a refused program";
    EXPECT_FALSE(QFileInfo::exists(loader + ".ran")) << "a loader was started for a refused program";

    // The 64-bit program does run where a 64-bit loader is.
    a = attemptStart(noWine32, "C:\\Apps\\Probe64.exe");
    EXPECT_TRUE(a.started) << a.error.toStdString();
    EXPECT_TRUE(waitUntil(
        "the loader has left its mark", [&loader] { return QFileInfo::exists(loader + ".ran"); }, 5s));
}

// A loader that the kernel cannot run fails the start itself, as on a machine
// booted without 32-bit support that has not been recognised as such.
TEST_F(WinePlatformTest, StartFailsWhenTheLoaderCannotRun)
{
    QTemporaryDir bin;
    const QString notRunnable = bin.filePath("wine");
    QFile f(notRunnable);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x7f"
                       "ELF\2\1\1",
                       7) +
            QByteArray(200, '\0'));
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    ASSERT_TRUE(QFile::copy(kProgram64, dir.driveC() + "/Probe64.exe"));

    const WineHost host(WineHost::Facts{QString(), notRunnable, true});
    WinePlatform platform(dir.prefix(), &host);
    const StartAttempt a = attemptStart(platform, "C:\\Probe64.exe");
    EXPECT_FALSE(a.started);
    EXPECT_EQ(a.failure, StartFailure::Other);
    EXPECT_FALSE(a.error.isEmpty());
}

// A prefix that does not exist yet gets what the manager needs of it.
TEST(WinePrefix, SkeletonOfANewPrefix)
{
    QTemporaryDir dir;
    const platform::WinePrefix prefix(dir.path() + "/new prefix");
    ASSERT_TRUE(prefix.ensureSkeleton());
    EXPECT_TRUE(QFileInfo(prefix.deviceEntry(u'c')).isDir());
    EXPECT_EQ(QFileInfo(prefix.deviceEntry(u'z')).canonicalFilePath(), "/");
    EXPECT_EQ(prefix.driveType(u'C'), 3);
    // The 32-bit system folder exists where the settings file will be looked for.
    EXPECT_TRUE(
        QFileInfo(QFileInfo(prefix.toUnixPath("C:\\windows\\system32\\zeko.ini")).absolutePath()).isDir());
}

TEST(SingleInstance, OnlyOneHolderUntilItEnds)
{
    QTemporaryDir dir;
    const QString lock = dir.path() + "/ZEKODownload.lock";
    auto first = std::make_unique<platform::SingleInstance>("ZEKODownload", lock);
    using Lock = platform::SingleInstance::Lock;
    ASSERT_EQ(first->tryAcquire(), Lock::Acquired);
    platform::SingleInstance second("ZEKODownload", lock);
    EXPECT_EQ(second.tryAcquire(), Lock::HeldElsewhere);
    first.reset();
    EXPECT_EQ(second.tryAcquire(), Lock::Acquired);
    // A lock that cannot even be tried is a failure with its reason, never "another copy".
    platform::SingleInstance nowhere("ZEKODownload", dir.path() + "/no-such-folder/ZEKODownload.lock");
    EXPECT_EQ(nowhere.tryAcquire(), Lock::Failed);
    // The system's own words for the missing folder, in whatever language the machine speaks.
    EXPECT_TRUE(nowhere.errorString().contains(QString::fromLocal8Bit(std::strerror(ENOENT))))
        << nowhere.errorString().toStdString();
}
