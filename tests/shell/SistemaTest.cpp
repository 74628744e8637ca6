#include "shell/Sistema.h"
#include "common/NamedUserPlatform.h"
#include "common/PrefixDir.h"
#include "common/QtPrinters.h"
#include "platform/WinePlatform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using shell::Sistema;

namespace {

class SistemaTest : public ::testing::TestWithParam<bool> {
  protected:
    SistemaTest()
        : dir(GetParam())
        , wine(dir.prefix())
        , sys(wine)
    {
    }
    PrefixDir dir;
    platform::WinePlatform wine;
    Sistema sys;
};

} // namespace

// zeko.ini lies where a 32-bit program's system32 is: syswow64 in a 64-bit prefix.
TEST_P(SistemaTest, SettingsFileIsWhereTheCourseLooks)
{
    EXPECT_EQ(sys.PastaSistema(), "C:\\windows\\system32");
    dir.writeZekoIni("[InstalacaoVersao5]\r\nIdiomaInst= ESP \r\nDriveCD=D:\r\n");
    EXPECT_EQ(QFileInfo(wine.toUnixPath(sys.iniFile())).canonicalFilePath(),
              QFileInfo(dir.zekoIni()).canonicalFilePath());
    EXPECT_EQ(sys.LeIdiomaInst(), "ESP");
    EXPECT_EQ(sys.LeDriveDownload(), "");
}

TEST_P(SistemaTest, MissingSettingsFileReadsEmptyAndIsNotCreated)
{
    EXPECT_EQ(sys.LeIdiomaInst(), "");
    EXPECT_EQ(sys.LeDriveDownload(), "");
    EXPECT_TRUE(sys.GaranteDriveDownload());
    EXPECT_FALSE(QFileInfo::exists(dir.zekoIni()));
}

// Without a Drive the system drive is written, and only that line is added.
TEST_P(SistemaTest, GaranteDriveDownloadWritesTheSystemDrive)
{
    const QByteArray course = "[InstalacaoVersao5]\r\nIdiomaInst=POR\r\nDriveCD=D:\r\n";
    dir.writeZekoIni(course);
    EXPECT_TRUE(sys.GaranteDriveDownload());
    EXPECT_EQ(dir.readFile(dir.zekoIni()), course + "[ZEKODownload]\r\nDrive=C:\r\n");
    EXPECT_EQ(sys.LeDriveDownload(), "C:");

    dir.writeZekoIni("[ZEKODownload]\r\nDrive=\r\n");
    EXPECT_TRUE(sys.GaranteDriveDownload());
    EXPECT_EQ(dir.readFile(dir.zekoIni()), "[ZEKODownload]\r\nDrive=C:\r\n");
}

TEST_P(SistemaTest, ExistingDriveIsNeverRewritten)
{
    dir.writeZekoIni("[zekodownload]\nDRIVE = D:\n");
    struct stat before {};
    ::stat(QFile::encodeName(dir.zekoIni()).constData(), &before);
    EXPECT_TRUE(sys.GaranteDriveDownload());
    struct stat after {};
    ::stat(QFile::encodeName(dir.zekoIni()).constData(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(sys.LeDriveDownload(), "D:");
}

TEST_P(SistemaTest, ReadOnlySettingsFileStaysIntact)
{
    const QByteArray course = "[InstalacaoVersao5]\r\nIdiomaInst=POR\r\n";
    dir.writeZekoIni(course);
    ::chmod(QFile::encodeName(dir.zekoIni()).constData(), 0444);
    const platform::Status written = sys.GaranteDriveDownload();
    EXPECT_FALSE(written);
    EXPECT_FALSE(written.reason().isEmpty());
    EXPECT_EQ(dir.readFile(dir.zekoIni()), course);
    EXPECT_EQ(sys.LeDriveDownload(), "");
}

TEST_P(SistemaTest, BadSettingsFilesReadAsEmpty)
{
    dir.writeZekoIni(QByteArray());
    EXPECT_EQ(sys.LeIdiomaInst(), "");
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919) % 251 + 3);
    dir.writeZekoIni(garbage);
    EXPECT_EQ(sys.LeIdiomaInst(), "");
    // A value longer than the 255-character buffer comes back cut to 254.
    dir.writeZekoIni("[ZEKODownload]\r\nDrive=" + QByteArray(300, 'D') + "\r\n");
    EXPECT_EQ(sys.LeDriveDownload().size(), 254);
}

INSTANTIATE_TEST_SUITE_P(Prefixes, SistemaTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool> &p) { return p.param ? "Win64" : "Win32"; });

// Every name Linux allows (32 characters) and any up to Windows' own limit (256)
// is read whole; only a longer one gives " ".
TEST(LeUsuario, NamesUpToWindowsLimitAreReadWhole)
{
    PrefixDir dir;
    NamedUserPlatform maria(dir.prefix(), "maria");
    EXPECT_EQ(Sistema(maria).LeUsuario(), "maria");
    for (int length : {19, 20, 32, 256}) {
        NamedUserPlatform user(dir.prefix(), QString(length, u'a'));
        EXPECT_EQ(Sistema(user).LeUsuario(), QString(length, u'a')) << length;
    }
    NamedUserPlatform tooLong(dir.prefix(), QString(257, u'a'));
    EXPECT_EQ(Sistema(tooLong).LeUsuario(), " ");
}

TEST(Sistema, TiraExtensaoAndTiraColchetes)
{
    EXPECT_EQ(Sistema::TiraExtensao("LIVRO1.ZIP"), "LIVRO1");
    EXPECT_EQ(Sistema::TiraExtensao("Inglês 1.v2.zip"), QStringLiteral("Inglês 1.v2"));
    EXPECT_EQ(Sistema::TiraExtensao("SEMEXTENSAO"), "SEMEXTENSAO");
    EXPECT_EQ(Sistema::TiraExtensao(".zip"), "");
    EXPECT_EQ(Sistema::TiraColchetes("LIVRO1 [ X: ]"), "LIVRO1  X: ");
    EXPECT_EQ(Sistema::TiraColchetes("[[]]"), "");
}
