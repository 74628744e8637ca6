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

class MenuEntriesTest : public ::testing::Test {
  protected:
    // The folders and the prefix hold what a launcher treats specially too.
    MenuEntriesTest()
        : folder(dir.path() + "/pasta $x \"q\" `c` \\b 5%/applications")
        , program(dir.path() + "/pasta $x \"q\" `c` \\b 5%/zeko-books")
        , prefix(dir.path() + "/prefixo $WINE \\ %u")
        , entries(folder, program, prefix)
    {
    }
    QByteArray read(const QString &name) const
    {
        QFile f(folder + "/" + entries.fileName(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir;
    QString folder, program, prefix;
    MenuEntries entries;
};

} // namespace

// Each entry is a file of mode 0644 under its own valid desktop-file ID that the
// desktop's checker passes, and that, launched by GLib as a desktop launches it,
// runs zeko-books in its prefix with exactly its book's name.
TEST_F(MenuEntriesTest, HostileNamesOpenExactlyTheirBook)
{
    const QStringList names = {"Livro \"entre aspas\"",
                               "$HOME e ${PATH}",
                               "crase `id`",
                               "barra \\ e \\\\",
                               "100% certo %f",
                               "  dois  espaços",
                               "Ação, ñandú",
                               "Y:",
                               "--yes",
                               "linha\nnova\ttab",
                               QString(200, u'ç') + "a",
                               QString(200, u'ç') + "b"};
    const QString validate = QStandardPaths::findExecutable("desktop-file-validate");
    const QString gio = QStandardPaths::findExecutable("gio");
    QDir().mkpath(QFileInfo(program).path());
    QFile script(program);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\0' \"$WINEPREFIX\" \"$@\" > \"$RECORD.tmp\" && mv \"$RECORD.tmp\" "
                 "\"$RECORD\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const QString record = dir.path() + "/record";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("RECORD", record);
    QSet<QString> files;
    for (const QString &name : names) {
        ASSERT_TRUE(entries.write({name, "X:"})) << name.toStdString();
        const QString file = entries.fileName(name);
        files.insert(file);
        EXPECT_TRUE(QRegularExpression("^zeko-download-book-[0-9a-f]{12}-[A-Za-z0-9_-]+\\.desktop$")
                        .match(file)
                        .hasMatch())
            << file.toStdString();
        EXPECT_LE(QFile::encodeName(file).size(), 255);
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(folder + "/" + file).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0644u);
        for (const QString &tool : {validate, gio}) {
            if (tool.isEmpty())
                continue;
            QFile::remove(record);
            QProcess p;
            p.setProcessEnvironment(env);
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(tool, tool == gio ? QStringList{"launch", folder + "/" + file}
                                      : QStringList{folder + "/" + file});
            ASSERT_TRUE(p.waitForFinished(10000));
            EXPECT_EQ(p.exitCode(), 0) << file.toStdString() << ": " << p.readAll().toStdString();
            EXPECT_TRUE(p.readAll().isEmpty()) << file.toStdString();
        }
        if (gio.isEmpty())
            continue;
        ASSERT_TRUE(waitUntil(
            "the entry ran", [&] { return QFile::exists(record); }, std::chrono::seconds(10)));
        QFile out(record);
        ASSERT_TRUE(out.open(QIODevice::ReadOnly));
        EXPECT_EQ(out.readAll().split('\0'),
                  QList<QByteArray>({prefix.toUtf8(), "open", "--", name.toUtf8(), ""}))
            << name.toStdString();
    }
    EXPECT_EQ(files.size(), names.size());
    EXPECT_NE(MenuEntries(folder, program, "/other").fileName("Y:"), entries.fileName("Y:"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), names.size())
        << "temporary files left";
    if (validate.isEmpty() || gio.isEmpty())
        GTEST_SKIP()
            << "desktop-file-validate (Debian package desktop-file-utils) or gio (libglib2.0-bin) is "
               "not installed, so the entries were not checked by it";
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
    QFile foreign(folder + "/" + entries.fileName("Alheio"));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("[Desktop Entry]\nType=Application\nName=Alheio\nExec=true\n");
    foreign.close();

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
