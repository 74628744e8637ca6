// zeko-books driven the way a script drives it, on a prefix laid out on disk
// and an install folder of its own.

#include "common/InstallDir.h"
#include "common/PrefixDir.h"
#include "common/ZipBuilder.h"
#include "platform/SingleInstance.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

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

    PrefixDir prefix;
    InstallDir install;
    QTemporaryDir runtime, zips;
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
    const QJsonArray books = list();
    ASSERT_EQ(books.size(), 1);
    EXPECT_EQ(books[0].toObject()["name"].toString(), "Basico");
    EXPECT_EQ(books[0].toObject()["drive"].toString(), "Y:");
    EXPECT_EQ(books[0].toObject()["folder"].toString(), "C:\\ZEKO_Download\\Download\\Basico");
    EXPECT_TRUE(books[0].toObject()["mounted"].toBool());
    const Outcome text = run({"list"});
    EXPECT_EQ(text.out, "Basico\tY:\tC:\\ZEKO_Download\\Download\\Basico\tmounted\n");
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

// Usage errors have their own status; help lists the commands.
TEST_F(ZekoBooksTest, UsageAndHelp)
{
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"open"}).status, 2);
    EXPECT_EQ(run({"fly"}).status, 2);
    EXPECT_EQ(run({"list", "--yes"}).status, 2);
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char *c : {"list", "install", "open", "remove", "unmount"})
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
}
