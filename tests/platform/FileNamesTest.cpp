#include "platform/FileNames.h"
#include "common/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// As Windows finds a file: the exact spelling first, then any other letter case.
TEST(FileNames, FindsTheEntryWhateverTheLetterCase)
{
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    for (const char *name : {"AUTORUN.EXE", "Autorun.exe", "Idioma.kvt"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name;
    }
    ASSERT_TRUE(dir.mkdir("Imagem"));
    EXPECT_EQ(platform::findEntryIgnoringCase(dir, "Autorun.exe"), "Autorun.exe");
    EXPECT_EQ(platform::findEntryIgnoringCase(dir, "autorun.exe"), "AUTORUN.EXE");
    EXPECT_EQ(platform::findEntryIgnoringCase(dir, "IDIOMA.KVT"), "Idioma.kvt");
    EXPECT_EQ(platform::findEntryIgnoringCase(dir, "imagem"), "Imagem");
    EXPECT_EQ(platform::findEntryIgnoringCase(dir, "Livro.txt"), "");
    EXPECT_EQ(platform::findEntryIgnoringCase(dir, ""), "");
}
