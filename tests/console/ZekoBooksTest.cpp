// zeko-books driven the way a script drives it, on a prefix laid out on disk
// and an install folder of its own.

#include "books/MenuEntries.h"
#include "common/InstallDir.h"
#include "common/PrefixDir.h"
#include "common/ZipBuilder.h"
#include "platform/SingleInstance.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <csignal>
#include <functional>
#include <sqlite3.h>

namespace {

struct Outcome {
    int status = -1;
    QByteArray out, err;
};

class ZekoBooksTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(ZEKO_APP_DIR "/zeko-books", install.path() + "/zeko-books"));
        QFile::setPermissions(install.path() + "/zeko-books", QFile::ReadOwner | QFile::ExeOwner);
        prefix.writeZekoIni(
            "[InstalacaoVersao5]\r\nIdiomaInst=ING\r\nDriveCD=D:\r\n[ZEKODownload]\r\nDrive=C:\r\n");
        QDir().mkpath(download());
    }
    QString download() const { return prefix.driveC() + "/ZEKO_Download/Download"; }
    Outcome run(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("WINEPREFIX", prefix.root());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("XDG_DATA_HOME", data.path());
        p.setProcessEnvironment(env);
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(install.path() + "/zeko-books", args);
        EXPECT_TRUE(p.waitForFinished(60000)) << "zeko-books hung";
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }
    QString bookZip(const QString &name)
    {
        ZipBuilder zip(zips.path() + "/" + name);
        zip.file("Autorun.exe", "MZ");
        zip.file("Idioma.kvt", "ING");
        return zip.close();
    }
    QJsonArray list()
    {
        const Outcome r = run({"list", "--json"});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return QJsonDocument::fromJson(r.out).array();
    }

    // A statement run on the registry as another program would run it.
    void sql(const char *statement)
    {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(install.registry()).constData(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, statement, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    }
    bool isLink(const QString &path) const { return QFileInfo(path).isSymLink(); }

    PrefixDir prefix;
    InstallDir install;
    QTemporaryDir runtime, zips, data;
};

} // namespace

// Installed from the command line, the book is listed for scripts as the window lists it.
TEST_F(ZekoBooksTest, InstallThenList)
{
    const Outcome r = run({"install", bookZip("Basico.zip")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("The book Basico has been installed successfully on drive Y:"))
        << r.err.toStdString();
    EXPECT_FALSE(r.err.contains('#')) << "colour marks reached the terminal";
    EXPECT_FALSE(r.err.contains('%')) << "a progress line went to a pipe";
    const QJsonArray books = list();
    ASSERT_EQ(books.size(), 1);
    EXPECT_EQ(books[0].toObject()["name"].toString(), "Basico");
    EXPECT_EQ(books[0].toObject()["drive"].toString(), "Y:");
    EXPECT_EQ(books[0].toObject()["folder"].toString(), "C:\\ZEKO_Download\\Download\\Basico");
    EXPECT_TRUE(books[0].toObject()["mounted"].toBool());
    const Outcome text = run({"list"});
    EXPECT_EQ(text.out, "Basico\tY:\tC:\\ZEKO_Download\\Download\\Basico\tmounted\n");
}

// On a terminal the install draws one line of progress over itself and ends it
// before the report.
TEST_F(ZekoBooksTest, ProgressLineOnATerminal)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("WINEPREFIX", prefix.root());
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    p.setProcessEnvironment(env);
    // script(1) gives the program a pseudo-terminal of its own.
    p.start("script",
            {"-q", "-e", "-c", install.path() + "/zeko-books install " + bookZip("Basico.zip"), "/dev/null"});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QByteArray out = p.readAllStandardOutput();
    EXPECT_EQ(p.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("\r100%  0 MB of 0 MB\033[K\r\nThe book Basico has been installed"))
        << out.toStdString();
}

// A book zipped as its folder installs; an archive holding no book and one of a
// method that cannot be read are refused, each in its own words, and kept.
TEST_F(ZekoBooksTest, ArchivesAsOtherToolsMakeThem)
{
    {
        ZipBuilder zip(zips.path() + "/Basico.zip");
        zip.file("Basico/Autorun.exe", "MZ");
        zip.file("Basico/Idioma.kvt", "ING");
        zip.close();
    }
    Outcome r = run({"install", zips.path() + "/Basico.zip"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo(download() + "/Basico/Autorun.exe").isFile());
    {
        ZipBuilder zip(zips.path() + "/Fotos.zip");
        zip.file("praia.jpg", "jpg");
        zip.close();
        ZipBuilder seven(zips.path() + "/Sete.zip");
        seven.file("Autorun.exe", "MZ", true);
        seven.file("Idioma.kvt", "ING", true);
        seven.close();
        ZipBuilder::markMethod(zips.path() + "/Sete.zip", "Idioma.kvt", 9);
    }
    r = run({"install", zips.path() + "/Fotos.zip"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("does not hold a book")) << r.err.toStdString();
    r = run({"install", zips.path() + "/Sete.zip"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("uses the compression method Deflate64, which cannot be read, in Idioma.kvt"))
        << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(zips.path() + "/Fotos.zip"));
    EXPECT_TRUE(QFileInfo::exists(zips.path() + "/Sete.zip"));
    EXPECT_EQ(list().size(), 1);
}

// A refused archive: status 1, the reason in the user's language, archive kept, nothing installed.
TEST_F(ZekoBooksTest, RefusedArchive)
{
    ZipBuilder zip(zips.path() + "/Mau.zip");
    zip.file("../escape.txt", "x");
    const QString bad = zip.close();
    const Outcome r = run({"install", bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("unsafe name: ../escape.txt")) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(bad));
    EXPECT_TRUE(list().isEmpty());
    EXPECT_TRUE(QDir(download()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

// Removal asks; --no keeps everything, no answer at all changes nothing, --yes removes.
TEST_F(ZekoBooksTest, RemoveAnswersAndUnmount)
{
    ASSERT_EQ(run({"install", bookZip("Basico.zip")}).status, 0);
    Outcome r = run({"remove", "Basico", "--no"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Do you want to remove the book Basico?")) << r.err.toStdString();
    r = run({"remove", "basico"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("--yes or --no")) << r.err.toStdString();
    EXPECT_EQ(list().size(), 1);
    EXPECT_TRUE(QFileInfo(download() + "/Basico/Autorun.exe").isFile());

    r = run({"unmount"});
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(QFileInfo(prefix.root() + "/dosdevices/y:").isSymLink());
    EXPECT_FALSE(list()[0].toObject()["mounted"].toBool());

    // Unmounted, the drive shows no book: removal takes only the row, files kept.
    r = run({"remove", "Y:", "--yes"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(list().isEmpty());
    EXPECT_TRUE(QFileInfo(download() + "/Basico/Autorun.exe").isFile());

    ASSERT_EQ(run({"install", bookZip("Avancado.zip")}).status, 0);
    r = run({"remove", "Avancado", "--yes"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(download() + "/Avancado"));
    EXPECT_TRUE(list().isEmpty());
}

// The menu follows the books: an install writes the entry that opens the book
// in this prefix, a removal and the scan that drops a book whose folder went
// take theirs away.
TEST_F(ZekoBooksTest, MenuEntriesFollowTheBooks)
{
    const books::MenuEntries menu(data.path() + "/applications", "", prefix.root());
    const auto entry = [&](const QString &book) {
        QFile f(menu.folder() + "/" + menu.fileName(book));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    ASSERT_EQ(run({"install", bookZip("Basico.zip")}).status, 0);
    ASSERT_EQ(run({"install", bookZip("Avancado.zip")}).status, 0);
    EXPECT_TRUE(entry("Basico").contains("\nName=Basico (Y:)\nComment=")) << entry("Basico").toStdString();
    EXPECT_TRUE(entry("Basico").contains("\nExec=env \"WINEPREFIX=" + prefix.root().toUtf8() + "\" \"" +
                                         install.path().toUtf8() + "/zeko-books\" open -- \"Basico\"\n"))
        << entry("Basico").toStdString();
    ASSERT_EQ(run({"remove", "Basico", "--yes"}).status, 0);
    EXPECT_TRUE(entry("Basico").isEmpty());
    // The open's scan drops the row of the book whose folder went, after the start kept its entry.
    ASSERT_TRUE(QDir(download() + "/Avancado").removeRecursively());
    (void)run({"open", "--", "Avancado"});
    EXPECT_TRUE(list().isEmpty());
    EXPECT_TRUE(entry("Avancado").isEmpty());
}

// After "--" the word is a book's name, whatever it looks like: the books named
// "--yes" and "Y:" open themselves, not the book on drive Y:.
TEST_F(ZekoBooksTest, OpenAfterDoubleDashTakesTheName)
{
    ASSERT_EQ(run({"install", bookZip("--yes.zip")}).status, 0); // on Y:
    ASSERT_EQ(run({"install", bookZip("Outro.zip")}).status, 0);
    prefix.writeFile(download() + "/Y:/Autorun.exe", "MZ");
    prefix.writeFile(download() + "/Y:/Idioma.kvt", "ING");
    sql("INSERT INTO Mapeamento SELECT Usuario, 'Y:', 'W:', 'C:\\ZEKO_Download\\Download\\Y:' "
        "FROM Mapeamento LIMIT 1");
    ASSERT_EQ(run({"unmount"}).status, 0);
    const auto mounted = [&] {
        QStringList names;
        for (const QJsonValue &book : list())
            if (book.toObject()["mounted"].toBool())
                names << book.toObject()["name"].toString();
        return names;
    };
    EXPECT_FALSE(run({"open", "--", "Y:"}).err.contains("None of your books"));
    EXPECT_EQ(mounted(), QStringList{"Y:"});
    EXPECT_FALSE(run({"open", "--", "--yes"}).err.contains("None of your books"));
    EXPECT_EQ(mounted(), QStringList({"--yes", "Y:"}));
}

// Usage errors have their own status; help lists the commands.
TEST_F(ZekoBooksTest, UsageAndHelp)
{
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"open"}).status, 2);
    EXPECT_EQ(run({"fly"}).status, 2);
    EXPECT_EQ(run({"list", "--yes"}).status, 2);
    // Options that go with another command, and one argument too many for each.
    for (const QStringList &wrong : {QStringList{"check", "--yes"},
                                     {"check", "--repair", "--no"},
                                     {"list", "--repair"},
                                     {"list", "Basico"},
                                     {"install", "a.zip", "b.zip"},
                                     {"open", "Basico", "X:"},
                                     {"remove", "Basico", "X:", "--yes"},
                                     {"unmount", "X:"},
                                     {"check", "X:"}})
        EXPECT_EQ(run(wrong).status, 2) << wrong.join(' ').toStdString();
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char *c : {"list", "install", "open", "remove", "unmount", "check [--repair [--yes]]"})
        EXPECT_TRUE(help.out.contains(c)) << c;
    const Outcome none = run({"open", "Nenhum"});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.err.contains("None of your books")) << none.err.toStdString();
}

// While the book manager runs, zeko-books says so and changes nothing.
TEST_F(ZekoBooksTest, RefusesWhileTheManagerRuns)
{
    const QByteArray old = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    platform::SingleInstance manager("ZEKODownload");
    qputenv("XDG_RUNTIME_DIR", old);
    ASSERT_EQ(manager.tryAcquire(), platform::SingleInstance::Lock::Acquired);
    const Outcome r = run({"install", bookZip("Basico.zip")});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.contains("ZEKO Download is open")) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(zips.path() + "/Basico.zip"));
    EXPECT_TRUE(QDir(download()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_EQ(run({"check", "--repair", "--yes"}).status, 3);
}

// Killed at any point of a removal, the next start leaves the book either whole
// and listed or gone without a trace: right after its folder was renamed, right
// after its row went, and halfway through deleting its files. The other book is
// never touched.
TEST_F(ZekoBooksTest, RemovalKilledAtAnyPointLeavesTheBookWholeOrGone)
{
    constexpr int kFiles = 6000;
    const QString source = zips.path() + "/Grande.source";
    {
        ZipBuilder zip(source);
        zip.file("Autorun.exe", "MZ");
        zip.file("Idioma.kvt", "ING");
        for (int i = 0; i < kFiles; ++i)
            zip.file(QStringLiteral("Midia/%1/arquivo%2.bin").arg(i / 100).arg(i).toUtf8(),
                     QByteArray(512, 'x'), true);
        zip.close();
    }
    ASSERT_EQ(run({"install", bookZip("Outro.zip")}).status, 0);
    auto filesBelow = [](const QString &dir) {
        int n = 0;
        for (QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();
             it.next())
            ++n;
        return n;
    };
    auto removalFolder = [this] {
        const QStringList found = QDir(download()).entryList({".zeko-removing-*"}, QDir::Dirs | QDir::Hidden);
        return found.isEmpty() ? QString() : download() + "/" + found.first();
    };
    auto rowGone = [this] {
        sqlite3 *db = nullptr;
        bool gone = false;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(install.registry()).constData(), &db, SQLITE_OPEN_READONLY,
                            nullptr) == SQLITE_OK &&
            sqlite3_prepare_v2(db, "SELECT count(*) FROM Mapeamento WHERE Curso = 'Grande'", -1, &st,
                               nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            gone = sqlite3_column_int(st, 0) == 0;
        sqlite3_finalize(st);
        sqlite3_close(db);
        return gone;
    };
    const std::vector<std::pair<const char *, std::function<bool()>>> points = {
        {"right after the rename", [&] { return !removalFolder().isEmpty(); }},
        {"right after the row went", rowGone},
        {"halfway through the files",
         [&] {
             const QString r = removalFolder();
             return !r.isEmpty() && filesBelow(r) < kFiles / 2;
         }},
    };
    int cutShort = 0;
    for (const auto &[point, reached] : points) {
        SCOPED_TRACE(point);
        ASSERT_TRUE(QFile::copy(source, zips.path() + "/Grande.zip"));
        ASSERT_EQ(run({"install", zips.path() + "/Grande.zip"}).status, 0);

        QProcess remove;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("WINEPREFIX", prefix.root());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        remove.setProcessEnvironment(env);
        remove.start(install.path() + "/zeko-books", {"remove", "Grande", "--yes"});
        ASSERT_TRUE(remove.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        while (!reached() && remove.state() == QProcess::Running && clock.elapsed() < 60000)
            remove.waitForFinished(0);
        if (remove.state() == QProcess::Running) {
            ::kill(pid_t(remove.processId()), SIGKILL);

            ++cutShort;
        }
        remove.waitForFinished(10000);

        // The next start finishes what the removal left; then the book is all there or not at all.
        const QJsonArray books = list();
        QStringList names;
        for (const QJsonValue &b : books)
            names << b.toObject()["name"].toString();
        EXPECT_TRUE(names.contains("Outro"));
        EXPECT_TRUE(QFileInfo(download() + "/Outro/Autorun.exe").isFile());
        EXPECT_EQ(removalFolder(), "");
        if (names.contains("Grande")) {
            EXPECT_EQ(filesBelow(download() + "/Grande"), kFiles + 2);
            ASSERT_EQ(run({"remove", "Grande", "--yes"}).status, 0);
        }
        EXPECT_FALSE(QFileInfo::exists(download() + "/Grande"));
    }
    // A machine so fast that every removal ended before it was seen midway tests nothing.
    EXPECT_GT(cutShort, 0);
}

// check says nothing on a clean state; otherwise one line a finding and status 1.
// --repair releases a stray drive (not one that leads out of the download
// folder), removes a leftover that is a link as a link, and deletes a folder no
// book uses only with --yes; a row whose folder holds no book is only reported,
// and another user's book is never a finding.
TEST_F(ZekoBooksTest, CheckReportsAndRepairs)
{
    ASSERT_EQ(run({"install", bookZip("Basico.zip")}).status, 0);
    Outcome r = run({"check"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");

    ASSERT_EQ(run({"install", bookZip("Quebrado.zip")}).status, 0); // on X:
    ASSERT_TRUE(QFile::remove(download() + "/Quebrado/Idioma.kvt"));
    QDir().mkpath(download() + "/Dela");
    sql("INSERT INTO Mapeamento (Usuario, Curso, LetraDrive, Caminho) "
        "VALUES ('OUTRA', 'Dela', 'Y:', 'C:\\ZEKO_Download\\Download\\dela')");
    QDir().mkpath(download() + "/Velho");
    QTemporaryDir outside;
    prefix.writeFile(outside.path() + "/keep.txt", "k");
    const QString dosdevices = prefix.root() + "/dosdevices/";
    ASSERT_TRUE(QFile::link(download() + "/Velho", dosdevices + "v:"));
    ASSERT_TRUE(QFile::link(outside.path(), dosdevices + "w:"));
    // The start clears a link named as a staging folder itself; one named as a removal's stays for check.
    ASSERT_TRUE(QFile::link(outside.path(), download() + "/.zeko-removing-0123456789"));

    const QByteArray stray =
        "Drive V: leads to C:\\ZEKO_Download\\Download\\Velho, which is none of your books.";
    const QByteArray leftover =
        "C:\\ZEKO_Download\\Download\\.zeko-removing-0123456789 was left by a removal cut short.";
    const QByteArray unregistered =
        "C:\\ZEKO_Download\\Download\\Velho is in the download folder, but no book in the registry uses it.";
    const QByteArray notABook = "Your book Quebrado (X:) has no Autorun.exe and Idioma.kvt in "
                                "C:\\ZEKO_Download\\Download\\Quebrado; to take it off your list: zeko-books "
                                "remove X:\n";
    r = run({"check"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, stray + "\n" + leftover + "\n" + unregistered + "\n" + notABook);

    r = run({"check", "--repair"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, stray + " Released.\n" + leftover + " Deleted.\n" + unregistered +
                         " Left: answer yes on a terminal, or give --yes, to delete it.\n" + notABook);
    EXPECT_FALSE(isLink(dosdevices + "v:"));
    EXPECT_TRUE(isLink(dosdevices + "w:"));
    EXPECT_FALSE(isLink(download() + "/.zeko-removing-0123456789"));
    EXPECT_TRUE(QFileInfo(outside.path() + "/keep.txt").isFile());
    EXPECT_TRUE(QFileInfo(download() + "/Velho").isDir());

    r = run({"check", "--repair", "--yes"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, unregistered + " Deleted.\n" + notABook);
    EXPECT_FALSE(QFileInfo::exists(download() + "/Velho"));
    EXPECT_TRUE(QFileInfo(download() + "/Dela").isDir());

    ASSERT_EQ(run({"remove", "X:", "--yes"}).status, 0);
    r = run({"check", "--repair", "--yes"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}
