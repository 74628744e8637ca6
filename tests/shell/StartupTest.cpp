#include "shell/Startup.h"
#include "common/InstallDir.h"
#include "common/NamedUserPlatform.h"
#include "common/PrefixDir.h"
#include "common/QtPrinters.h"
#include "platform/HandoverChannel.h"
#include "platform/SingleInstance.h"
#include "shell/CommandLine.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

using shell::SharedState;
using shell::Startup;
using shell::StartupResult;
using Status = StartupResult::Status;

namespace {

class StartupTest : public ::testing::Test {
  protected:
    StartupTest()
        : wine(prefix.prefix(), "maria")
        , instance("ZEKODownload", lockDir.path() + "/lock")
    {
    }
    StartupResult run() { return Startup(wine, instance, install.path()).run(state); }
    void addBook(const char *user, const char *course, const char *letter)
    {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(install.registry()).constData(), &db), SQLITE_OK);
        sqlite3_stmt *stmt = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "INSERT INTO Mapeamento VALUES(?, ?, ?, ?)", -1, &stmt, nullptr),
                  SQLITE_OK);
        const QByteArray caminho = QByteArray("C:\\ZEKO_Download\\Download\\") + course;
        sqlite3_bind_text(stmt, 1, user, -1, SQLITE_STATIC);
        sqlite3_bind_text(stmt, 2, course, -1, SQLITE_STATIC);
        sqlite3_bind_text(stmt, 3, letter, -1, SQLITE_STATIC);
        sqlite3_bind_text(stmt, 4, caminho.constData(), -1, SQLITE_STATIC);
        EXPECT_EQ(sqlite3_step(stmt), SQLITE_DONE);
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
    // A main-window hint as the catalogue file holds it for that language.
    QString hintOf(const char *language, int button)
    {
        static const int codes[6] = {0, 1, 9, 10, 7, 8};
        sqlite3 *db = nullptr;
        EXPECT_EQ(sqlite3_open_v2(QFile::encodeName(QStringLiteral(ZEKO_CATALOGUE_DB)).constData(), &db,
                                  SQLITE_OPEN_READONLY, nullptr),
                  SQLITE_OK);
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT Hint FROM Botoes WHERE Idioma = ? AND Codigo = ?", -1, &stmt, nullptr);
        sqlite3_bind_text(stmt, 1, language, -1, SQLITE_STATIC);
        sqlite3_bind_int(stmt, 2, codes[button]);
        QString hint;
        if (sqlite3_step(stmt) == SQLITE_ROW)
            hint = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        return hint;
    }
    static bool allRowsIn(shell::registry::Recordset &rs, const QString &language)
    {
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            if (rs.field("Idioma").toString() != language)
                return false;
        return true;
    }

    PrefixDir prefix;
    InstallDir install;
    QTemporaryDir lockDir;
    NamedUserPlatform wine;
    platform::SingleInstance instance;
    SharedState state;
};

} // namespace

// With no zeko.ini: Portuguese, its help file, the download folder on the
// current drive's root; and everything the main window shows is ready.
TEST_F(StartupTest, WithoutSettingsFile)
{
    addBook("MARIA", "LIVRO2", "Y:");
    addBook("MARIA", "LIVRO1", "X:");
    addBook("JOAO", "LIVRO3", "W:");
    const StartupResult r = run();
    ASSERT_EQ(r.status, Status::Ok) << r.message.toStdString();
    EXPECT_EQ(state.strNomeForm, "frmPrincipal");
    EXPECT_EQ(state.versionCaption, "1.00.0000");
    EXPECT_EQ(state.strPastaDownload, "\\ZEKO_Download\\Download\\");
    EXPECT_EQ(state.helpFile, install.path() + "/Help/ZEKODwnl_POR.CHM");
    EXPECT_EQ(state.strPastaTlaPrc, install.path() + "/Imagens/TLA_PRC/");
    EXPECT_EQ(state.strPastaCaiMsg, install.path() + "/Imagens/Cai_Msg/");
    // The user's name is looked up upper-cased; only that user's rows, by book.
    EXPECT_EQ(state.strUsuario, "MARIA");
    ASSERT_EQ(state.rsMapeamento->recordCount(), 2);
    state.rsMapeamento->moveFirst();
    EXPECT_EQ(state.rsMapeamento->field("Curso").toString(), "LIVRO1");
    EXPECT_TRUE(allRowsIn(*state.rsMensagens, "POR"));
    EXPECT_FALSE(state.mainTitle.isEmpty());
    // No IdiomaInst: the Portuguese rows, not the missing-text marker.
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(state.strHints[i], hintOf("POR", i)) << i;
    EXPECT_FALSE(QFileInfo::exists(prefix.zekoIni()));
}

// The language of the course installation filters every catalogue set.
TEST_F(StartupTest, LanguageFromTheCourseInstallation)
{
    prefix.writeZekoIni("[InstalacaoVersao5]\r\nIdiomaInst=ING\r\nDriveCD=D:\r\n");
    ASSERT_EQ(run().status, Status::Ok);
    EXPECT_TRUE(allRowsIn(*state.rsMensagens, "ING"));
    EXPECT_TRUE(allRowsIn(*state.rsBotoes, "ING"));
    EXPECT_TRUE(allRowsIn(*state.rsFuncoes, "ING"));
    EXPECT_EQ(state.helpFile, install.path() + "/Help/ZEKODwnl_ING.CHM");
    // zeko.ini without a Drive gets the system drive, and the folder follows it.
    EXPECT_EQ(state.strPastaDownload, "C:\\ZEKO_Download\\Download\\");
    EXPECT_TRUE(prefix.readFile(prefix.zekoIni()).endsWith("[ZEKODownload]\r\nDrive=C:\r\n"));
}

TEST_F(StartupTest, SpanishAndAnExistingDrive)
{
    prefix.writeZekoIni("[InstalacaoVersao5]\r\nIdiomaInst=ESP\r\n[ZEKODownload]\r\nDrive=D:\r\n");
    ASSERT_EQ(run().status, Status::Ok);
    EXPECT_EQ(state.helpFile, install.path() + "/Help/ZEKODwnl_ESP.CHM");
    EXPECT_EQ(state.strPastaDownload, "D:\\ZEKO_Download\\Download\\");
    EXPECT_TRUE(allRowsIn(*state.rsMensagens, "ESP"));
}

TEST_F(StartupTest, SecondCopyEndsSilently)
{
    platform::SingleInstance first("ZEKODownload", lockDir.path() + "/lock");
    ASSERT_EQ(first.tryAcquire(), platform::SingleInstance::Lock::Acquired);
    const StartupResult r = run();
    EXPECT_EQ(r.status, Status::AlreadyRunning);
    EXPECT_TRUE(r.message.isEmpty());
    EXPECT_FALSE(state.dbLivros);
}

// Linux names run to 32 characters: each long name is a user of its own, never
// the shared blank that an over-long name used to become.
TEST_F(StartupTest, LongUserNamesStayApart)
{
    const QString first = "aluno.de.portugues.turma.2026.a1";
    const QString second = "aluno.de.portugues.turma.2026.b2";
    ASSERT_EQ(first.size(), 32);
    addBook(first.toUpper().toUtf8().constData(), "LIVRO1", "X:");
    addBook(second.toUpper().toUtf8().constData(), "LIVRO2", "Y:");
    NamedUserPlatform user(prefix.prefix(), first);
    ASSERT_EQ(Startup(user, instance, install.path()).run(state).status, Status::Ok);
    EXPECT_EQ(state.strUsuario, first.toUpper());
    ASSERT_EQ(state.rsMapeamento->recordCount(), 1);
    state.rsMapeamento->moveFirst();
    EXPECT_EQ(state.rsMapeamento->field("Curso").toString(), "LIVRO1");
}

// A user name with an apostrophe is only a name.
TEST_F(StartupTest, ApostropheInUserName)
{
    NamedUserPlatform obrien(prefix.prefix(), "o'brien");
    addBook("O'BRIEN", "LIVRO1", "X:");
    addBook("MARIA", "LIVRO2", "Y:");
    ASSERT_EQ(Startup(obrien, instance, install.path()).run(state).status, Status::Ok);
    EXPECT_EQ(state.strUsuario, "O'BRIEN");
    EXPECT_EQ(state.rsMapeamento->recordCount(), 1);
}

// An install folder with only the template, as a package's: the start-up makes
// the user's registry in the data home and opens that one; the next start finds
// the books in it.
TEST_F(StartupTest, RegistryOfTheUsersOwn)
{
    QTemporaryDir data;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QFile::remove(install.registry());
    const QString own = data.path() + "/zeko-download/ZEKOVD.db";
    ASSERT_EQ(run().status, Status::Ok);
    EXPECT_EQ(state.dbLivros->path(), own);
    ASSERT_TRUE(state.rsMapeamento->addNew({{"Usuario", "MARIA"}, {"Curso", "LIVRO1"}}));
    state = SharedState{};
    ASSERT_EQ(run().status, Status::Ok);
    EXPECT_EQ(state.rsMapeamento->recordCount(), 1);
    EXPECT_FALSE(QFileInfo::exists(install.registry()));

    // Without the template either, the start says which file it could not make, and from what.
    state = SharedState{};
    QDir(data.path() + "/zeko-download").removeRecursively();
    QFile::remove(install.registryTemplate());
    const StartupResult r = run();
    qputenv("XDG_DATA_HOME", saved);
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_TRUE(r.message.contains(own)) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains("O modelo do registro não existe")) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains(install.registryTemplate())) << r.message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(data.path() + "/zeko-download"));
}

TEST_F(StartupTest, RegistryThatIsNotADatabase)
{
    prefix.writeZekoIni("[InstalacaoVersao5]\r\nIdiomaInst=ING\r\n");
    prefix.writeFile(install.registry(), QByteArray(8192, 'x'));
    const StartupResult r = run();
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_TRUE(r.message.contains("not a valid database")) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains(install.registry()));
}

TEST_F(StartupTest, ReadOnlyRegistry)
{
    ::chmod(QFile::encodeName(install.registry()).constData(), 0444);
    const StartupResult r = run();
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_TRUE(r.message.contains(QStringLiteral("somente leitura"))) << r.message.toStdString();
}

TEST_F(StartupTest, LockedRegistry)
{
    sqlite3 *holder = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(install.registry()).constData(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const StartupResult r = run();
    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_TRUE(r.message.contains(QStringLiteral("bloqueado"))) << r.message.toStdString();
}

TEST_F(StartupTest, MissingCatalogue)
{
    QFile::remove(install.catalogue());
    const StartupResult r = run();
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_TRUE(r.message.contains(install.catalogue()));
}

// The catalogue is held by one copy alone, as another user's copy would find it.
TEST_F(StartupTest, CatalogueHeldByAnotherCopy)
{
    QString error;
    auto other = shell::registry::Database::open(install.catalogue(),
                                                 shell::registry::Database::Mode::ExclusiveReadOnly, &error);
    ASSERT_TRUE(other);
    const StartupResult r = run();
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_TRUE(r.message.contains(QStringLiteral("em uso")));
}

// A language the catalogue has no texts for is named in all three languages.
TEST_F(StartupTest, LanguageWithoutTexts)
{
    prefix.writeZekoIni("[InstalacaoVersao5]\r\nIdiomaInst=FRA\r\n");
    const StartupResult r = run();
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_TRUE(r.message.contains("\"FRA\""));
    EXPECT_TRUE(r.message.contains("language"));
    EXPECT_TRUE(r.message.contains("idioma"));
}

TEST(MostraVersao, Format)
{
    EXPECT_EQ(Startup::MostraVersao(1, 0, 0), "1.00.0000");
    EXPECT_EQ(Startup::MostraVersao(2, 15, 123), "2.15.0123");
}

// The program itself: a broken start-up ends with a message and a non-zero exit
// (never a crash or a hang); a second copy ends at once without a word.
class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(ZEKO_APP_DIR "/ZEKODownload", install.path() + "/ZEKODownload"));
        QFile::setPermissions(install.path() + "/ZEKODownload", QFile::ReadOwner | QFile::ExeOwner);
    }
    // The event loop runs meanwhile, for a hand-over channel of the test's own.
    int runProgram(QByteArray *err = nullptr, QByteArray *out = nullptr, const QStringList &args = {},
                   const QString &folder = {})
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("WINEPREFIX", prefix.root());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(folder);
        p.start(install.path() + "/ZEKODownload", args);
        const QDeadlineTimer deadline(20000);
        while (!p.waitForFinished(20) && !deadline.hasExpired())
            QCoreApplication::processEvents();
        EXPECT_EQ(p.state(), QProcess::NotRunning) << "the program hung";
        if (err)
            *err = p.readAllStandardError();
        if (out)
            *out = p.readAllStandardOutput();
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "the program crashed";
        return p.exitCode();
    }
    PrefixDir prefix;
    InstallDir install;
    QTemporaryDir runtime;
};

TEST_F(ProgramTest, FailureExitsNonZeroWithMessage)
{
    prefix.writeZekoIni("[InstalacaoVersao5]\r\nIdiomaInst=FRA\r\n");
    QByteArray err;
    EXPECT_EQ(runProgram(&err), 1);
    EXPECT_TRUE(err.contains("FRA")) << err.toStdString();

    prefix.writeZekoIni("[InstalacaoVersao5]\r\nIdiomaInst=ING\r\n");
    prefix.writeFile(install.registry(), QByteArray(8192, 'x'));
    EXPECT_EQ(runProgram(&err), 1);
    EXPECT_TRUE(err.contains("ZEKOVD.db")) << err.toStdString();
}

TEST_F(ProgramTest, SecondCopyEndsSilently)
{
    platform::SingleInstance first("ZEKODownload");
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    platform::SingleInstance running("ZEKODownload");
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
    ASSERT_EQ(running.tryAcquire(), platform::SingleInstance::Lock::Acquired);
    QByteArray err, out;
    EXPECT_EQ(runProgram(&err, &out), 0);
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    EXPECT_TRUE(out.isEmpty()) << out.toStdString();
}

// A lock that cannot be tried (here its path is a folder) is no second copy: the
// program says what failed and exits non-zero, before it touches the prefix.
TEST_F(ProgramTest, UnusableLockIsReportedBeforeThePrefixChanges)
{
    ASSERT_TRUE(QDir(runtime.path()).mkdir(QStringLiteral("ZEKODownload-%1.lock").arg(::getuid())));
    QTemporaryDir home;
    QByteArray err;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString unborn = home.path() + "/prefix-not-yet";
    env.insert("WINEPREFIX", unborn);
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(install.path() + "/ZEKODownload", {});
    ASSERT_TRUE(p.waitForFinished(20000));
    err = p.readAllStandardError();
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(err.contains("aberto")) << err.toStdString();
    EXPECT_TRUE(err.contains("Is a directory")) << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(unborn)) << "the prefix was changed first";
}

// None, one file (a relative path taken from the current folder) or more.
TEST(CommandLine, NoneOneOrMore)
{
    using shell::CommandLine;
    EXPECT_EQ(CommandLine::parse({}, "/home/maria").kind, CommandLine::Kind::None);
    const CommandLine one = CommandLine::parse({"Livros/Básico.zip"}, "/home/maria");
    EXPECT_EQ(one.kind, CommandLine::Kind::Zip);
    EXPECT_EQ(one.zip, "/home/maria/Livros/Básico.zip");
    EXPECT_EQ(CommandLine::parse({"/tmp/A.zip"}, "/home/maria").zip, "/tmp/A.zip");
    EXPECT_EQ(CommandLine::parse({"A.zip", "B.zip"}, "/home/maria").kind, CommandLine::Kind::Usage);
    EXPECT_EQ(CommandLine::parse({"-x"}, "/home/maria").kind, CommandLine::Kind::Usage);
}

// Two files: the usage and status 2, before anything else. A second copy given a
// file while one runs hands over its absolute path; told busy, it prints the
// running copy's text and exits 1.
TEST_F(ProgramTest, FileArgument)
{
    QByteArray err;
    EXPECT_EQ(runProgram(&err, nullptr, {"A.zip", "B.zip"}), 2);
    EXPECT_TRUE(err.startsWith("usage: ZEKODownload [BOOK.zip]")) << err.toStdString();

    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    platform::SingleInstance running("ZEKODownload");
    const QString socket = platform::HandoverChannel::socketPath("ZEKODownload", nullptr);
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
    ASSERT_EQ(running.tryAcquire(), platform::SingleInstance::Lock::Acquired);
    QStringList received;
    using Reply = platform::HandoverChannel::Reply;
    platform::HandoverChannel channel(socket, [&](const QString &path) {
        received << path;
        return received.size() == 1 ? Reply{Reply::Status::Accepted, {}}
                                    : Reply{Reply::Status::Busy, "O ZEKO Download está ocupado."};
    });
    ASSERT_TRUE(channel.listen(nullptr));
    EXPECT_EQ(runProgram(&err, nullptr, {"Livros/Básico.zip"}, prefix.root()), 0);
    EXPECT_EQ(received, QStringList{prefix.root() + "/Livros/Básico.zip"});
    EXPECT_EQ(runProgram(&err, nullptr, {"/tmp/B.zip"}), 1);
    EXPECT_EQ(QString::fromLocal8Bit(err), "O ZEKO Download está ocupado.\n");
}
