// Two people of one machine using zeko-books at the same moment: two OS users,
// each with a prefix of their own, sharing the registry beside the program.

#include "common/InstallDir.h"
#include "common/PrefixDir.h"
#include "common/ZipBuilder.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <unistd.h>

namespace {

constexpr int kBooks = 6;

// One user's prefix, runtime folder and the script of what they do.
struct User {
    uid_t uid = 0;
    QString name;
    PrefixDir prefix;
    QTemporaryDir runtime;
    QProcess process;
};

// The user's own prefix and folders; with no account behind the number, the
// user's name comes from the environment.
QProcessEnvironment environment(const User &u)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("WINEPREFIX", u.prefix.root());
    env.insert("XDG_RUNTIME_DIR", u.runtime.path());
    env.insert("HOME", u.runtime.path());
    env.insert("XDG_DATA_HOME", u.runtime.path() + "/data");
    env.insert("USER", u.name);
    return env;
}

void giveTo(const QString &path, uid_t uid)
{
    const QString owner = QStringLiteral("%1:%1").arg(uid);
    ASSERT_EQ(QProcess::execute("chown", {"-R", owner, path}), 0) << path.toStdString();
}

} // namespace

// Each installs, opens and removes books named like the other's, all at once;
// afterwards each lists exactly their own books, and no command failed, least
// of all on a lock that only had to be waited for.
TEST(TwoUsers, InstallOpenAndRemoveAtOnce)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "running as two users needs root, to change user";

    InstallDir install;
    ASSERT_TRUE(QFile::copy(ZEKO_APP_DIR "/zeko-books", install.path() + "/zeko-books"));
    // The 64-bit copy of the launcher, so the pretend loader below serves every machine.
    ASSERT_TRUE(QFile::copy(ZEKO_TEST_WIN64_DIR "/LoadZEKOV.EXE", install.path() + "/LoadZEKOV.EXE"));
    // Shared by every user of the machine, as an install folder of a lab is.
    const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
                     QFile::ReadOther | QFile::WriteOther;
    const auto allRun = all | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QFile::setPermissions(install.path(), allRun);
    QFile::setPermissions(install.registry(), all);
    QFile::setPermissions(install.catalogue(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(install.path() + "/zeko-books", allRun);

    // The course start is reached and ends at once: the loader is a program that does nothing.
    QTemporaryDir tools, zips;
    for (const char *loader : {"/wine", "/wine64"})
        ASSERT_TRUE(QFile::copy("/bin/true", tools.path() + loader));
    for (const QString &dir : {tools.path(), zips.path()})
        QFile::setPermissions(dir, allRun & ~(QFile::WriteGroup | QFile::WriteOther));
    for (int i = 1; i <= kBooks; ++i) {
        ZipBuilder zip(zips.path() + QStringLiteral("/Livro%1.zip").arg(i));
        zip.file("Autorun.exe", "MZ");
        zip.file("Idioma.kvt", "ING");
        QFile::setPermissions(zip.close(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }

    // Every command's status on stdout; a failure's words stay on stderr.
    const QString script = QStringLiteral(R"(
        zb="$1"; zips="$2"; n="$3"
        run() { "$zb" "$@"; echo "$* => $?"; }
        for i in $(seq 1 "$n"); do run install "$zips/Livro$i.zip"; done
        for i in $(seq 1 "$n"); do run open "Livro$i"; done
        for i in $(seq 1 2 "$n"); do run remove "Livro$i" --yes; done
        run unmount
        for i in $(seq 2 2 "$n"); do run open "Livro$i"; done
    )");

    User users[2];
    users[0].uid = 61001;
    users[0].name = "aluno1";
    users[1].uid = 61002;
    users[1].name = "aluno2";
    for (User &u : users) {
        u.prefix.writeZekoIni(
            "[InstalacaoVersao5]\r\nIdiomaInst=ING\r\nDriveCD=D:\r\n[ZEKODownload]\r\nDrive=C:\r\n");
        QDir().mkpath(u.prefix.driveC() + "/ZEKO_Download/Download");
        giveTo(u.prefix.root(), u.uid);
        giveTo(u.runtime.path(), u.uid);
        QProcessEnvironment env = environment(u);
        env.insert("PATH", tools.path() + ":" + env.value("PATH"));
        u.process.setProcessEnvironment(env);
        u.process.setStandardInputFile(QProcess::nullDevice());
    }
    for (User &u : users)
        u.process.start("setpriv", {"--reuid", QString::number(u.uid), "--regid", QString::number(u.uid),
                                    "--clear-groups", "bash", "-c", script, "bash",
                                    install.path() + "/zeko-books", zips.path(), QString::number(kBooks)});

    for (User &u : users) {
        ASSERT_TRUE(u.process.waitForFinished(240000)) << u.name.toStdString() << " did not finish";
        const QString out = QString::fromUtf8(u.process.readAllStandardOutput());
        const QString err = QString::fromUtf8(u.process.readAllStandardError());
        const int commands = kBooks + kBooks + (kBooks + 1) / 2 + 1 + kBooks / 2;
        EXPECT_EQ(out.count(QStringLiteral(" => ")), commands) << out.toStdString();
        EXPECT_EQ(out.count(QStringLiteral(" => 0\n")), commands) << u.name.toStdString() << ":\n"
                                                                  << out.toStdString() << err.toStdString();
        EXPECT_FALSE(err.contains(QStringLiteral("locked"), Qt::CaseInsensitive)) << err.toStdString();
    }

    for (User &u : users) {
        QProcess list;
        list.setProcessEnvironment(u.process.processEnvironment());
        list.start("setpriv", {"--reuid", QString::number(u.uid), "--regid", QString::number(u.uid),
                               "--clear-groups", install.path() + "/zeko-books", "list", "--json"});
        ASSERT_TRUE(list.waitForFinished(60000));
        ASSERT_EQ(list.exitCode(), 0) << list.readAllStandardError().toStdString();
        QStringList names;
        for (const QJsonValue &book : QJsonDocument::fromJson(list.readAllStandardOutput()).array()) {
            names << book.toObject()["name"].toString();
            EXPECT_TRUE(book.toObject()["mounted"].toBool()) << "opened last, so mapped";
        }
        names.sort();
        EXPECT_EQ(names, QStringList({"Livro2", "Livro4", "Livro6"})) << u.name.toStdString();
        for (int i = 1; i <= kBooks; ++i)
            EXPECT_EQ(QFileInfo::exists(u.prefix.driveC() +
                                        QStringLiteral("/ZEKO_Download/Download/Livro%1").arg(i)),
                      i % 2 == 0)
                << u.name.toStdString() << " Livro" << i;
    }
}

// Installed as a package: the install folder is root's and read-only to the
// user, with the template beside the programs. A user's first start makes a registry of their own
// in their data folder, both programs read the catalogue where it lies, and
// nothing is ever written into the install folder.
TEST(TwoUsers, ReadOnlyInstallFolder)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "running as another user needs root, to change user";
    // It even holds a registry: one the user cannot write beside is not theirs to use.
    InstallDir install;
    for (const char *program : {"/zeko-books", "/ZEKODownload"})
        ASSERT_TRUE(QFile::copy(ZEKO_APP_DIR + QString(program), install.path() + program));
    const auto read = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto run = read | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QFile::setPermissions(install.path(), run | QFile::WriteOwner);
    for (const QString &f : QDir(install.path()).entryList(QDir::Files))
        QFile::setPermissions(install.path() + "/" + f, f.endsWith(".db") ? read : run);
    const auto snapshot = [&] {
        QStringList all{QFileInfo(install.path()).lastModified().toString(Qt::ISODateWithMs)};
        for (const QFileInfo &f :
             QDir(install.path()).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            all << f.fileName() + " " + QString::number(f.size()) + " " +
                       f.lastModified().toString(Qt::ISODateWithMs);
        return all;
    };
    const QStringList before = snapshot();

    User u;
    u.uid = 61003;
    QTemporaryDir zips;
    ZipBuilder zip(zips.path() + "/Livro.zip");
    zip.file("Autorun.exe", "MZ");
    zip.file("Idioma.kvt", "ING");
    zip.close();
    u.prefix.writeZekoIni("[InstalacaoVersao5]\r\nIdiomaInst=ING\r\n[ZEKODownload]\r\nDrive=C:\r\n");
    QDir().mkpath(u.prefix.driveC() + "/ZEKO_Download/Download");
    for (const QString &path : {u.prefix.root(), u.runtime.path(), zips.path()})
        giveTo(path, u.uid);
    u.name = "aluno3";
    QProcessEnvironment env = environment(u);
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    u.process.setProcessEnvironment(env);
    const QString script = QStringLiteral(R"(
        "$1/zeko-books" install "$2/Livro.zip" && "$1/zeko-books" list || exit 9
        rm "$XDG_DATA_HOME"/applications/*.desktop
        "$1/ZEKODownload"
    )");
    u.process.start("setpriv", {"--reuid", QString::number(u.uid), "--regid", QString::number(u.uid),
                                "--clear-groups", "bash", "-c", script, "bash", install.path(), zips.path()});
    ASSERT_TRUE(u.process.waitForFinished(60000));
    const QString out = QString::fromUtf8(u.process.readAllStandardOutput());
    const QString err = QString::fromUtf8(u.process.readAllStandardError());
    EXPECT_NE(u.process.exitCode(), 9) << err.toStdString();
    EXPECT_TRUE(out.startsWith("Livro\tY:\t")) << out.toStdString();
    // The manager got past the registry and the catalogue, to the missing display,
    // and wrote the book's menu entry again on its way.
    EXPECT_TRUE(err.contains("no graphical display")) << err.toStdString();
    EXPECT_TRUE(QFileInfo(u.runtime.path() + "/data/zeko-download/ZEKOVD.db").isFile());
    EXPECT_EQ(QDir(u.runtime.path() + "/data/applications").entryList(QDir::Files).size(), 1);
    EXPECT_EQ(snapshot(), before);
}
