#include "books/MenuEntries.h"
#include "common/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

using books::MenuEntries;

namespace {

// Names a launcher must hand over as they are, each a byte it treats specially.
const QStringList kHostile = {
    "Livro \"entre aspas\"",
    "$HOME e ${PATH}",
    "crase `id`",
    "barra \\ invertida \\\\",
    "100% certo %f",
    "  dois  espaços",
    "Ação, ñandú",
    "Y:",
    "--yes",
    "linha\nnova\ttab",
};

class MenuEntriesTest : public ::testing::Test {
  protected:
    MenuEntriesTest()
        : folder(dir.path() + "/pasta $x \"q\" `c` \\b 5%/applications")
        , program(dir.path() + "/pasta $x \"q\" `c` \\b 5%/zeko-books")
        , entries(folder, program, dir.path() + "/prefixo $WINE \\ %u")
    {
    }
    QByteArray read(const QString &name) const
    {
        QFile f(folder + "/" + entries.fileName(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir;
    QString folder, program;
    MenuEntries entries;
};

} // namespace

// Every entry is a file the desktop's own checker passes, of mode 0644, under
// a valid desktop-file ID; no two names or prefixes share one.
TEST_F(MenuEntriesTest, HostileNamesMakeValidEntries)
{
    QStringList names = kHostile;
    names << QString(200, u'ç') + "a" << QString(200, u'ç') + "b";
    QSet<QString> files;
    for (const QString &name : names) {
        ASSERT_TRUE(entries.write({name, "X:"})) << name.toStdString();
        const QString file = entries.fileName(name);
        EXPECT_TRUE(QRegularExpression("^zeko-download-book-[0-9a-f]{12}-[A-Za-z0-9_-]+\\.desktop$")
                        .match(file)
                        .hasMatch())
            << file.toStdString();
        EXPECT_LE(QFile::encodeName(file).size(), 255);
        files.insert(file);
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(folder + "/" + file).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0644u);
    }
    EXPECT_EQ(files.size(), names.size());
    EXPECT_NE(MenuEntries(folder, program, "/other").fileName("Y:"), entries.fileName("Y:"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), names.size())
        << "temporary files left";

    const QString validate = QStandardPaths::findExecutable("desktop-file-validate");
    if (validate.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed (Debian package desktop-file-utils)";
    for (const QString &file : files) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(validate, {folder + "/" + file});
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 0) << file.toStdString() << ": " << p.readAll().toStdString();
        EXPECT_TRUE(p.readAll().isEmpty()) << file.toStdString();
    }
}

// Launched as the desktop launches it (GLib's own parser), each entry runs
// zeko-books in its prefix with exactly its book's name.
TEST_F(MenuEntriesTest, EachEntryOpensExactlyItsBook)
{
    const QString gio = QStandardPaths::findExecutable("gio");
    if (gio.isEmpty())
        GTEST_SKIP() << "gio is not installed (Debian package libglib2.0-bin)";
    QDir().mkpath(QFileInfo(program).path());
    QFile script(program);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n{ printf '%s\\0' \"$WINEPREFIX\" \"$@\"; } > \"$RECORD.tmp\" && "
                 "mv \"$RECORD.tmp\" \"$RECORD\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const QString record = dir.path() + "/record";
    for (const QString &name : kHostile) {
        ASSERT_TRUE(entries.write({name, "Z:"}));
        QFile::remove(record);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("RECORD", record);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(gio, {"launch", folder + "/" + entries.fileName(name)});
        ASSERT_TRUE(p.waitForFinished(10000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        ASSERT_TRUE(waitUntil(
            "the entry ran", [&] { return QFile::exists(record); }, std::chrono::seconds(10)));
        QFile out(record);
        ASSERT_TRUE(out.open(QIODevice::ReadOnly));
        const QList<QByteArray> argv = out.readAll().split('\0');
        EXPECT_EQ(argv, QList<QByteArray>({(dir.path() + "/prefixo $WINE \\ %u").toUtf8(), "open", "--",
                                           name.toUtf8(), ""}))
            << name.toStdString();
    }
}

// At a start the entries follow the rows: a drive that changed is rewritten, a
// book without one gets one, one that went loses its; another prefix's entries,
// and files that are not ours whatever their name, stay as they were.
TEST_F(MenuEntriesTest, SyncTouchesOnlyThisPrefixsEntries)
{
    ASSERT_TRUE(entries.write({"Antigo", "X:"}));
    ASSERT_TRUE(entries.write({"Mudou", "X:"}));
    const MenuEntries other(folder, program, "/other/prefix");
    ASSERT_TRUE(other.write({"Antigo", "Y:"}));
    const QString foreign = folder + "/" + entries.fileName("Alheio");
    QFile f(foreign);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Desktop Entry]\nType=Application\nName=Alheio\nExec=true\n");
    f.close();

    // False for the one entry it could not write, in the place of a file not ours.
    EXPECT_FALSE(entries.sync({{"Mudou", "W:"}, {"Novo", "V:"}, {"Alheio", "U:"}}));
    EXPECT_TRUE(read("Antigo").isEmpty());
    EXPECT_TRUE(read("Mudou").contains("\nName=Mudou (W:)\n")) << read("Mudou").toStdString();
    EXPECT_EQ(read("Novo"), entries.contents({"Novo", "V:"}));
    EXPECT_TRUE(QFile::exists(folder + "/" + other.fileName("Antigo")));
    EXPECT_TRUE(read("Alheio").endsWith("Exec=true\n")) << "a file not ours was replaced";
    EXPECT_TRUE(entries.remove("Novo"));
    EXPECT_TRUE(read("Novo").isEmpty());
}
