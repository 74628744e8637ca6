#include "common/PrefixDir.h"
#include "common/QtPrinters.h"
#include "platform/SingleInstance.h"
#include "platform/WinePlatform.h"

#include <QProcess>
#include <QThread>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    EXPECT_EQ(canonical(wine.toUnixPath("C:\\ZEKO_Download\\Other\\..\\Download\\.\\Livro1\\Autorun.exe")), autorun);
    EXPECT_TRUE(wine.fileExists("C:\\ZEKO_Download\\Download\\LIVRO1\\autorun.EXE"));
    EXPECT_FALSE(wine.fileExists("C:\\ZEKO_Download\\Download\\LIVRO1"));
    EXPECT_TRUE(wine.directoryExists("C:\\ZEKO_Download\\Download\\LIVRO1"));
    // A missing tail keeps its spelling, so a new file can be made there.
    EXPECT_TRUE(wine.toUnixPath("C:\\zeko_download\\Novo\\Arquivo.TXT").endsWith("/ZEKO_Download/Novo/Arquivo.TXT"));
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
    EXPECT_TRUE(wine.toUnixPath("C:\\windows\\system32\\drivers\\etc\\hosts").contains("/system32/drivers/etc"));
    EXPECT_TRUE(wine.toUnixPath("C:\\windows\\system32x\\a").contains("/system32x/"));

    PrefixDir win32(false);
    WinePlatform wine32(win32.prefix());
    win32.writeFile(win32.driveC() + "/windows/system32/zeko.ini", "[A]\n");
    EXPECT_EQ(canonical(wine32.toUnixPath("C:\\windows\\system32\\zeko.ini")),
              canonical(win32.driveC() + "/windows/system32/zeko.ini"));
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
    QString error;
    ASSERT_TRUE(wine.defineDosDevice("X:", "C:\\ZEKO_Download\\Download\\LIVRO1", &error)) << error.toStdString();
    const QFileInfo entry(dir.root() + "/dosdevices/x:");
    EXPECT_TRUE(entry.isSymLink());
    EXPECT_EQ(canonical(entry.absoluteFilePath()), canonical(book("Livro1")));
    EXPECT_TRUE(wine.fileExists("X:\\AUTORUN.EXE"));
    EXPECT_EQ(wine.driveType(u'X'), 3);

    // The letter is taken now; a disk letter is never overwritten.
    EXPECT_FALSE(wine.defineDosDevice("X:", "C:\\ZEKO_Download\\Download\\Livro2", &error));
    EXPECT_FALSE(wine.defineDosDevice("C:", "C:\\ZEKO_Download\\Download\\Livro2", &error));
    EXPECT_TRUE(QFileInfo(dir.root() + "/dosdevices/c:").isSymLink());
    EXPECT_FALSE(wine.defineDosDevice("Y:", "C:\\ZEKO_Download\\Download\\Nothing", &error));
    EXPECT_FALSE(wine.defineDosDevice("YY", "C:\\ZEKO_Download\\Download\\Livro2", &error));
}

// A mapping left behind by a folder that vanished counts as free and is replaced.
TEST_F(WinePlatformTest, DefineReplacesADanglingMapping)
{
    QFile::link(dir.root() + "/vanished", dir.root() + "/dosdevices/y:");
    QString error;
    ASSERT_TRUE(wine.defineDosDevice("Y:", "C:\\ZEKO_Download\\Download\\Livro2", &error)) << error.toStdString();
    EXPECT_EQ(canonical(dir.root() + "/dosdevices/y:"), canonical(book("Livro2")));
}

// Removal takes away only the mapping that leads to the given folder.
TEST_F(WinePlatformTest, RemoveOnlyTheBooksOwnMapping)
{
    QString error;
    ASSERT_TRUE(wine.defineDosDevice("X:", "C:\\ZEKO_Download\\Download\\Livro1", &error));
    EXPECT_FALSE(wine.removeDosDevice("X:", "C:\\ZEKO_Download\\Download\\Livro2", &error));
    EXPECT_TRUE(QFileInfo(dir.root() + "/dosdevices/x:").isSymLink());
    EXPECT_TRUE(wine.removeDosDevice("x:", "c:\\zeko_download\\download\\LIVRO1", &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo(dir.root() + "/dosdevices/x:").isSymLink());
    EXPECT_FALSE(wine.removeDosDevice("X:", "C:\\ZEKO_Download\\Download\\Livro1", &error));

    // Never the system drive, the root drive, or something that is not a link.
    EXPECT_FALSE(wine.removeDosDevice("C:", "C:\\", &error));
    EXPECT_FALSE(wine.removeDosDevice("C:", dir.driveC(), &error));
    EXPECT_FALSE(wine.removeDosDevice("Z:", "Z:\\", &error));
    EXPECT_FALSE(wine.removeDosDevice("Z:", "/", &error));
    EXPECT_TRUE(QFileInfo(dir.root() + "/dosdevices/c:").isSymLink());
    EXPECT_TRUE(QFileInfo(dir.root() + "/dosdevices/z:").isSymLink());
    QDir().mkpath(dir.root() + "/dosdevices/w:");
    EXPECT_FALSE(wine.removeDosDevice("W:", dir.root() + "/dosdevices/w:", &error));
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
    for (const auto &p : wine.processes()) {
        if (p.exeFile == "pupilapp.exe")
            foundA = p.pid;
        if (p.exeFile == "averylongcourseprogram.exe")
            foundB = p.pid;
    }
    EXPECT_EQ(foundA, pidA);
    EXPECT_EQ(foundB, pidB);

    // Once ended it is gone from the list, even before anyone reaps it.
    a.kill();
    QThread::msleep(300);
    for (const auto &p : wine.processes())
        EXPECT_NE(p.pid, pidA) << "an ended process is still listed";
    a.waitForFinished();
    b.kill();
    b.waitForFinished();
}

TEST_F(WinePlatformTest, StartingWithoutWineSaysSo)
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    QString error;
    const bool started = wine.startProgram("C:\\LoadZEKOV.EXE", {"X:"}, {}, &error);
    qputenv("PATH", path);
    EXPECT_FALSE(started);
    EXPECT_TRUE(error.contains("Wine")) << error.toStdString();
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
    EXPECT_TRUE(QFileInfo(QFileInfo(prefix.toUnixPath("C:\\windows\\system32\\zeko.ini")).absolutePath()).isDir());
}

TEST(SingleInstance, OnlyOneHolderUntilItEnds)
{
    QTemporaryDir dir;
    const QString lock = dir.path() + "/ZEKODownload.lock";
    auto first = std::make_unique<platform::SingleInstance>("ZEKODownload", lock);
    ASSERT_TRUE(first->tryAcquire());
    platform::SingleInstance second("ZEKODownload", lock);
    EXPECT_FALSE(second.tryAcquire());
    first.reset();
    EXPECT_TRUE(second.tryAcquire());
}
