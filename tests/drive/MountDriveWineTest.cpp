// The mappings are real for the course software: Windows programs under Wine see
// a mapped book at the root of its drive, and the course player is found running.

#include "WineProbe.h"
#include "WineTestPrefix.h"
#include "WineVariant.h"
#include "common/InstallDir.h"
#include "common/NamedUserPlatform.h"
#include "common/ScriptedMessageBox.h"
#include "common/WaitUntil.h"
#include "drive/MountDrive.h"
#include "platform/SingleInstance.h"
#include "shell/Startup.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class MountDriveWineTest : public ::testing::TestWithParam<WineVariant> {
  protected:
    void SetUp() override
    {
        ZEKO_REQUIRE_WINE_VARIANT(GetParam());
        prefix = std::make_unique<WineTestPrefix>(GetParam().prefix);
        ASSERT_TRUE(prefix->ok()) << prefix->errorString().toStdString();
        wine = std::make_unique<NamedUserPlatform>(platform::WinePrefix(prefix->path()), "maria");
        instance = std::make_unique<platform::SingleInstance>("ZEKODownload", lockDir.path() + "/lock");
        const auto r = shell::Startup(*wine, *instance, install.path()).run(state);
        ASSERT_EQ(r.status, shell::StartupResult::Status::Ok) << r.message.toStdString();
        drives = std::make_unique<drive::MountDrive>(*wine, state, box);
    }
    void TearDown() override { drives.reset(); }

    QString makeBook(const QString &name) const
    {
        const QString folder = prefix->driveCPath() + "/ZEKO_Download/Download/" + name;
        QDir().mkpath(folder);
        for (const char *f : {"/Autorun.exe", "/Idioma.kvt"}) {
            QFile file(folder + f);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("x");
        }
        return "C:\\ZEKO_Download\\Download\\" + name;
    }

    std::unique_ptr<WineTestPrefix> prefix;
    InstallDir install;
    QTemporaryDir lockDir;
    std::unique_ptr<NamedUserPlatform> wine;
    std::unique_ptr<platform::SingleInstance> instance;
    shell::SharedState state;
    ScriptedMessageBox box{state};
    std::unique_ptr<drive::MountDrive> drives;
};

} // namespace

TEST_P(MountDriveWineTest, MappedBookIsAtTheRootOfItsDrive)
{
    const QString livro = makeBook("Livro 1");
    ASSERT_TRUE(drives->MapeiaDrive("X", livro, false)) << box.texts().join('\n').toStdString();

    WineProbe seen(*prefix, GetParam().probe());
    const int autorun = seen.attrs("X:\\Autorun.exe");
    const int language = seen.attrs("X:\\IDIOMA.KVT");
    const int type = seen.drivetype("X:\\");
    ASSERT_TRUE(seen.run()) << seen.errorString().toStdString();
    EXPECT_NE(seen.attrsResult(autorun).value_or(0xFFFFFFFF), 0xFFFFFFFFu);
    EXPECT_NE(seen.attrsResult(language).value_or(0xFFFFFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(seen.driveTypeResult(type).value_or(0), 3);
    EXPECT_TRUE(drives->PastaDeLivro("X:"));

    ASSERT_TRUE(drives->MapeiaDrive("X", livro, true));
    WineProbe gone(*prefix, GetParam().probe());
    const int after = gone.attrs("X:\\Autorun.exe");
    const int typeAfter = gone.drivetype("X:\\");
    ASSERT_TRUE(gone.run());
    EXPECT_EQ(gone.attrsResult(after).value_or(0), 0xFFFFFFFFu);
    EXPECT_EQ(gone.driveTypeResult(typeAfter).value_or(0), 1);
    EXPECT_TRUE(box.shown.isEmpty());
}

TEST_P(MountDriveWineTest, FindsTheCoursePlayerRunningUnderWine)
{
    EXPECT_FALSE(drives->CursoEmExecucao());
    QString error;
    auto player = prefix->startWine({GetParam().program("pupilapp.exe")}, {}, &error);
    ASSERT_TRUE(player) << error.toStdString();
    EXPECT_TRUE(waitUntil(
        "PUPILAPP.EXE is found running", [this] { return drives->ProcuraProcesso("PUPILAPP.EXE") != 0; },
        30s));
    EXPECT_TRUE(drives->CursoEmExecucao());
    prefix->killServer();
    EXPECT_TRUE(waitUntil(
        "the course player is no longer seen running", [this] { return !drives->CursoEmExecucao(); }, 30s));
}

INSTANTIATE_TEST_SUITE_P(Wine, MountDriveWineTest, ::testing::ValuesIn(WineVariant::all()), wineVariantName);
