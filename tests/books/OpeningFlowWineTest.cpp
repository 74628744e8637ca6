// Opening a book end to end: the real flow and window on a real Wine prefix,
// starting the launcher and the stub course programs of each variant this
// machine runs, which record where they were started.

#include "WineTestPrefix.h"
#include "WineVariant.h"
#include "books/BookEntries.h"
#include "books/OpeningFlow.h"
#include "books/frmAbrirLivro.h"
#include "common/InstallDir.h"
#include "common/MouseEvents.h"
#include "common/NamedUserPlatform.h"
#include "common/QtPrinters.h"
#include "common/ScriptedMessageBox.h"
#include "common/WaitUntil.h"
#include "drive/MountDrive.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "platform/SingleInstance.h"
#include "shell/Startup.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
namespace code = messages::code;

namespace {

const QByteArray kZekoIni =
    "[InstalacaoVersao5]\r\nIdiomaInst=POR\r\nDriveCD=D:\r\n[ZEKODownload]\r\nDrive=C:\r\n";

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The Wine platform, noting each program it is asked to start before it starts
// it. The flow starts programs only through it, so an empty list shows at once
// that nothing was started, nor will be.
class StartNotingPlatform : public NamedUserPlatform {
  public:
    using NamedUserPlatform::NamedUserPlatform;
    platform::StartOutcome startProgram(const QString &windowsExe, const QStringList &arguments,
                                        const QString &workingDirectory) override
    {
        starts.append(windowsExe);
        return NamedUserPlatform::startProgram(windowsExe, arguments, workingDirectory);
    }

    QStringList starts;
};

class OpeningFlowWineTest : public ::testing::TestWithParam<WineVariant> {
  protected:
    void SetUp() override
    {
        ZEKO_REQUIRE_WINE_VARIANT(GetParam());
        prefix = WineTestPrefix::shared(GetParam().prefix);
        ASSERT_TRUE(prefix->ok()) << prefix->errorString().toStdString();
        clearLetters();
        // The programs the flow starts get the prefix's quiet, private environment
        // and tell where they ran through files on C:, which stays while Z: may not.
        const QProcessEnvironment env = prefix->environment();
        for (const QString &key : env.keys())
            qputenv(key.toLocal8Bit(), env.value(key).toLocal8Bit());
        qunsetenv("DISPLAY");
        work = prefix->driveCPath() + "/zeko-test";
        QDir(work).removeRecursively();
        QDir().mkpath(work);
        qputenv("ZEKO_STUB_LOG", "C:\\zeko-test\\autorun.txt");
        qputenv("ZEKO_LOADZEKOV_REPORT", "C:\\zeko-test\\launcher.txt");

        wine = std::make_unique<StartNotingPlatform>(platform::WinePrefix(prefix->path()), "maria");
        zekoIni = wine->toUnixPath("C:\\windows\\system32\\zeko.ini");
        write(zekoIni, kZekoIni);
        ASSERT_TRUE(QFile::copy(GetParam().launcher(), install.path() + "/LoadZEKOV.EXE"));
        instance = std::make_unique<platform::SingleInstance>("ZEKODownload", lockDir.path() + "/lock");
        const auto r = shell::Startup(*wine, *instance, install.path()).run(state);
        ASSERT_EQ(r.status, shell::StartupResult::Status::Ok) << r.message.toStdString();
        drives = std::make_unique<drive::MountDrive>(*wine, state, box);
        opening = std::make_unique<books::OpeningFlow>(*wine, state, box, *drives, install.path(),
                                                       [this] { list = books::BookEntries::entries(state); });
    }
    void TearDown() override
    {
        opening.reset();
        drives.reset();
        if (prefix) {
            prefix->killServer();
            clearLetters();
            QDir(prefix->driveCPath() + "/ZEKO_Download").removeRecursively();
            QFile::remove(prefix->dosDevicesPath() + "/z:");
            QFile::link("/", prefix->dosDevicesPath() + "/z:");
        }
    }
    // Leaves c: and z: alone; every other letter is the test's to map.
    void clearLetters()
    {
        for (char c = 'd'; c <= 'y'; ++c)
            QFile::remove(prefix->dosDevicesPath() + "/" + c + ":");
    }
    QString installBook(const QString &name, const QString &drive)
    {
        const QString folder = prefix->driveCPath() + "/ZEKO_Download/Download/" + name;
        QDir().mkpath(folder);
        EXPECT_TRUE(QFile::copy(GetParam().program("AUTORUN.EXE"), folder + "/AUTORUN.EXE"));
        write(folder + "/Idioma.kvt", "POR");
        const QString caminho = "C:\\ZEKO_Download\\Download\\" + name;
        EXPECT_TRUE(state.rsMapeamento->addNew(
            {{"Usuario", "MARIA"}, {"Curso", name}, {"LetraDrive", drive}, {"Caminho", caminho}}));
        return folder;
    }
    void takeLetter(char letter, const QString &folder)
    {
        QDir().mkpath(folder);
        QFile::remove(prefix->dosDevicesPath() + "/" + letter + ":");
        ASSERT_TRUE(QFile::link(folder, prefix->dosDevicesPath() + "/" + letter + ":"));
    }
    QString mapped(char letter) const
    {
        return QFileInfo(prefix->dosDevicesPath() + "/" + letter + ":").canonicalFilePath();
    }
    // What the stub course program recorded, once it has run; empty when it did not within a minute.
    QByteArray autorunLog() const
    {
        QByteArray log;
        const bool ran = waitUntil(
            "the course program has written its record",
            [&] {
                log = readAll(work + "/autorun.txt");
                return log.contains("time=");
            },
            60s);
        return ran ? log : QByteArray();
    }
    QString texto(int code, const QStringList &params = {})
    {
        return state.catalogue->mensagem(code, params);
    }
    QString descricao(int code) { return state.catalogue->descricao(code); }

    WineTestPrefix *prefix = nullptr;
    QString work, zekoIni;
    InstallDir install;
    QTemporaryDir lockDir;
    std::unique_ptr<StartNotingPlatform> wine;
    std::unique_ptr<platform::SingleInstance> instance;
    shell::SharedState state;
    ScriptedMessageBox box{state};
    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<books::OpeningFlow> opening;
    QStringList list;
};

} // namespace

// A mapped book opens: DriveCD holds its drive, and the launcher starts the
// book's AUTORUN.EXE from the root of X:.
TEST_P(OpeningFlowWineTest, MappedBookOpensThroughTheLauncher)
{
    installBook("Basico", "X:");
    drives->MontaListaDrives(true);
    (void)opening->open("Basico [ X: ]");
    ASSERT_TRUE(box.shown.isEmpty()) << box.texts().join('\n').toStdString();
    const QByteArray log = autorunLog();
    EXPECT_TRUE(log.startsWith("cwd=X:\\\r\nargs=\r\n")) << log.toStdString();
    EXPECT_TRUE(readAll(zekoIni).contains("DriveCD=X:\r\n")) << readAll(zekoIni).toStdString();
    EXPECT_EQ(readAll(work + "/launcher.txt"), QByteArray()) << "the launcher reported a problem";
}

// Without DriveCD the stub runs directly from X:\ and zeko.ini is untouched.
TEST_P(OpeningFlowWineTest, WithoutDriveCDTheBookRunsItself)
{
    const QByteArray ini = "[ZEKODownload]\r\nDrive=C:\r\n";
    write(zekoIni, ini);
    installBook("Basico", "X:");
    drives->MontaListaDrives(true);
    (void)opening->open("Basico [ X: ]");
    ASSERT_TRUE(box.shown.isEmpty()) << box.texts().join('\n').toStdString();
    const QByteArray log = autorunLog();
    EXPECT_TRUE(log.startsWith("cwd=X:\\\r\nargs=\r\n")) << log.toStdString();
    EXPECT_EQ(readAll(zekoIni), ini);
    EXPECT_FALSE(QFileInfo::exists(work + "/launcher.txt"));
}

// X: shows another folder without the book and Z: is free: the book opens on Z:,
// and its row, the list and the launcher say Z:.
TEST_P(OpeningFlowWineTest, TakenLetterMovesTheBookToZ)
{
    const QString folder = installBook("Basico", "X:");
    takeLetter('x', work + "/other");
    QFile::remove(prefix->dosDevicesPath() + "/z:");
    (void)opening->open("Basico [ X: ]");
    ASSERT_TRUE(box.shown.isEmpty()) << box.texts().join('\n').toStdString();
    EXPECT_EQ(mapped('z'), QFileInfo(folder).canonicalFilePath());
    ASSERT_TRUE(state.rsMapeamento->findFirst("Curso", "Basico"));
    EXPECT_EQ(state.rsMapeamento->field("LetraDrive").toString(), "Z:");
    EXPECT_TRUE(list.contains("Basico [ Z: ]")) << list.join(" | ").toStdString();
    const QByteArray log = autorunLog();
    EXPECT_TRUE(log.startsWith("cwd=Z:\\\r\n")) << log.toStdString();
    EXPECT_TRUE(readAll(zekoIni).contains("DriveCD=Z:\r\n"));
}

// X: is a folder that holds the course files: the course starts there as it is.
TEST_P(OpeningFlowWineTest, DriveHoldingTheCourseStartsWithoutMapping)
{
    installBook("Basico", "X:");
    const QString cd = work + "/cd";
    takeLetter('x', cd);
    ASSERT_TRUE(QFile::copy(GetParam().program("AUTORUN.EXE"), cd + "/Autorun.exe"));
    write(cd + "/IDIOMA.KVT", "POR");
    (void)opening->open("Basico [ X: ]");
    ASSERT_TRUE(box.shown.isEmpty()) << box.texts().join('\n').toStdString();
    const QByteArray log = autorunLog();
    EXPECT_TRUE(log.startsWith("cwd=X:\\\r\n")) << log.toStdString();
    EXPECT_EQ(mapped('x'), QFileInfo(cd).canonicalFilePath());
}

// Every letter taken and the book not mapped: message 7 with the old drive, and
// nothing starts.
TEST_P(OpeningFlowWineTest, NoFreeLetterStartsNothing)
{
    installBook("Basico", "X:");
    for (char c = 'd'; c <= 'y'; ++c)
        takeLetter(c, work + "/taken");
    (void)opening->open("Basico [ X: ]");
    EXPECT_EQ(box.texts(), QStringList{texto(code::NoFreeLetterToOpen, {"X:"})});
    EXPECT_EQ(wine->starts, QStringList());
    EXPECT_EQ(readAll(work + "/autorun.txt"), QByteArray());
    EXPECT_EQ(readAll(zekoIni), kZekoIni);
}

// The course player running: opening says so (message 33) and starts nothing;
// leaving the book list then refuses with message 35 and keeps the mappings.
TEST_P(OpeningFlowWineTest, RunningCourseBlocksOpeningAndExit)
{
    const QString folder = installBook("Basico", "X:");
    QString error;
    auto player = prefix->startWine({GetParam().program("pupilapp.exe")}, {}, &error);
    ASSERT_TRUE(player) << error.toStdString();
    ASSERT_TRUE(waitUntil(
        "the course player is seen running", [this] { return drives->CursoEmExecucao(); }, 30s));

    books::frmAbrirLivro window(*wine, state, *drives, box, install.path(),
                                [] { FAIL() << "the program ended"; });
    ASSERT_TRUE(window.load(&error)) << error.toStdString();
    window.cbZEKO()->setCurrentIndex(1);
    mouse::click(window.Botao(5));
    EXPECT_EQ(box.texts(), QStringList{descricao(code::CourseRunningOpen)});
    EXPECT_EQ(wine->starts, QStringList());
    EXPECT_EQ(readAll(work + "/autorun.txt"), QByteArray());

    box.shown.clear();
    box.answer({1});
    mouse::click(window.Botao(7));
    EXPECT_EQ(box.texts(), QStringList({descricao(code::ConfirmExit), texto(code::CourseRunningLeave, {})}));
    EXPECT_EQ(mapped('x'), QFileInfo(folder).canonicalFilePath());
    prefix->killServer();
    player->waitForFinished(10000);
}

// A book folder deleted by hand: nothing starts and the list is rebuilt without it
// (the scan reports the vanished folder with its own messages 2 and 3).
TEST_P(OpeningFlowWineTest, DeletedFolderRefreshesTheList)
{
    const QString folder = installBook("Basico", "X:");
    drives->MontaListaDrives(true);
    ASSERT_TRUE(QDir(folder).removeRecursively());
    (void)opening->open("Basico [ X: ]");
    EXPECT_EQ(
        box.texts(),
        QStringList({texto(code::RegisteredFolderMissing, {"C:\\ZEKO_Download\\Download\\Basico", "X:"}),
                     texto(code::MissingBookUnregistered, {"C:\\ZEKO_Download\\Download\\Basico"})}));
    EXPECT_EQ(list, QStringList{"[" + descricao(code::BookListFirstEntry) + "]"});
    EXPECT_EQ(wine->starts, QStringList());
    EXPECT_EQ(readAll(work + "/autorun.txt"), QByteArray());
}

INSTANTIATE_TEST_SUITE_P(Wine, OpeningFlowWineTest, ::testing::ValuesIn(WineVariant::all()), wineVariantName);
