#include "common/QtPrinters.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

using platform::ProfileFile;

namespace {

QString get(const QByteArray &file, const char *section, const char *key, int buffer = 255)
{
    return ProfileFile(file).read(QString::fromUtf8(section), QString::fromUtf8(key), QString(), buffer).value;
}

int count(const QByteArray &file, const char *section, const char *key, int buffer = 255)
{
    return ProfileFile(file).read(QString::fromUtf8(section), QString::fromUtf8(key), QString(), buffer).count;
}

QByteArray afterWrite(const QByteArray &file, const char *section, const char *key, const char *value)
{
    ProfileFile p(file);
    p.write(QString::fromUtf8(section), QString::fromUtf8(key), QString::fromUtf8(value));
    return p.bytes();
}

} // namespace

// Names match without regard to case or surrounding blanks; values lose blanks.
TEST(ProfileFileRead, NamesIgnoreCaseAndBlanks)
{
    const QByteArray ini = "[InstalacaoVersao5]\r\n  idiomainst   =   ING  \r\nDriveCD=X:\r\n";
    EXPECT_EQ(get(ini, "instalacaoversao5", "IdiomaInst"), "ING");
    EXPECT_EQ(get(ini, " INSTALACAOVERSAO5 ", " IDIOMAINST "), "ING");
    EXPECT_EQ(get(ini, "InstalacaoVersao5", "DriveCD"), "X:");
    EXPECT_EQ(get("[ Sec ]\nk=v\n", "Sec", "k"), "v");
}

// Only the first section of a name counts, and in it only the first key.
TEST(ProfileFileRead, FirstSectionAndKeyWin)
{
    const QByteArray ini = "[A]\nk=1\nk=2\n[B]\nx=1\n[a]\nk=3\nonly=here\n";
    EXPECT_EQ(get(ini, "A", "k"), "1");
    EXPECT_EQ(get(ini, "A", "only"), "");
    EXPECT_EQ(ProfileFile(ini).read("A", "only", "dflt", 255).value, "dflt");
}

TEST(ProfileFileRead, MissingPiecesGiveTheDefault)
{
    EXPECT_EQ(ProfileFile("[A]\nk=1\n").read("B", "k", "d", 255).value, "d");
    EXPECT_EQ(ProfileFile("[A]\nk=1\n").read("A", "z", "d  ", 255).value, "d"); // trailing blanks dropped
    EXPECT_EQ(ProfileFile("[A]\nk\n").read("A", "k", "d", 255).value, "d");      // no '=' is no value
    EXPECT_EQ(count("", "A", "k"), 0);
    EXPECT_EQ(count("[A]\nk=\n", "A", "k"), 0);
    // Keys before any section header belong to the nameless section.
    EXPECT_EQ(get("k=top\n[A]\nk=1\n", "", "k"), "top");
}

TEST(ProfileFileRead, LineEndsOfAnyKind)
{
    EXPECT_EQ(get("[A]\nk=lf\n", "A", "k"), "lf");
    EXPECT_EQ(get("[A]\r\nk=crlf\r\n", "A", "k"), "crlf");
    EXPECT_EQ(get("[A]\rk=cr\r", "A", "k"), "cr");
    EXPECT_EQ(get("[A]\n\n\r\n   \nk=blank lines\n", "A", "k"), "blank lines");
    EXPECT_EQ(get("[A]\nk=no newline at end", "A", "k"), "no newline at end");
}

TEST(ProfileFileRead, SectionHeaders)
{
    // Text after the last ']' is ignored; a header without ']' is a key line.
    EXPECT_EQ(get("[A] comment\nk=1\n", "A", "k"), "1");
    EXPECT_EQ(get("[A]]\nk=1\n", "A]", "k"), "1");
    EXPECT_EQ(get("[A\nk=1\n", "A", "k"), "");
    EXPECT_EQ(get("[A]\n;k=1\nk=2\n", "A", "k"), "2");
}

// Surrounding matching quotes go; the closing one only when the buffer holds it.
TEST(ProfileFileRead, Quotes)
{
    EXPECT_EQ(get("[A]\nk=\"X:\"\n", "A", "k"), "X:");
    EXPECT_EQ(get("[A]\nk='X:'\n", "A", "k"), "X:");
    EXPECT_EQ(get("[A]\nk=\"X:'\n", "A", "k"), "\"X:'");
    EXPECT_EQ(get("[A]\nk=\"\n", "A", "k"), "\"");
    EXPECT_EQ(get("[A]\nk=\"\"\n", "A", "k"), "");
    EXPECT_EQ(get("[A]\nk=\"a b\" \n", "A", "k"), "a b");
    // Buffer of 4 for "abc" after the opening quote: the copy is cut to 3 and then
    // still loses its last character.
    EXPECT_EQ(get("[A]\nk=\"abc\"\n", "A", "k", 4), "ab");
    EXPECT_EQ(get("[A]\nk=\"abc\"\n", "A", "k", 3), "ab");
    EXPECT_EQ(get("[A]\nk=\"abc\"\n", "A", "k", 5), "abc");
}

TEST(ProfileFileRead, BufferTruncationAndCounts)
{
    const QByteArray ini = "[A]\nk=abcdef\n";
    EXPECT_EQ(count(ini, "A", "k", 255), 6);
    EXPECT_EQ(get(ini, "A", "k", 4), "abc");
    EXPECT_EQ(count(ini, "A", "k", 4), 3);
    // The two-character test read: at most one character comes back.
    EXPECT_EQ(get(ini, "A", "k", 2), "a");
    EXPECT_EQ(count(ini, "A", "k", 1), 0);
    EXPECT_EQ(count(ini, "A", "k", 0), 0);

    const QByteArray longValue(300, 'v');
    const QByteArray longIni = "[A]\nk=" + longValue + "\n";
    EXPECT_EQ(count(longIni, "A", "k", 255), 254);
    EXPECT_EQ(get(longIni, "A", "k", 255), QString(254, u'v'));
}

TEST(ProfileFileRead, Encodings)
{
    EXPECT_EQ(get("[A]\nk=Jos\xe9\x80\n", "A", "k"), QStringLiteral("José€"));
    EXPECT_EQ(get("\xef\xbb\xbf[A]\nk=Jos\xc3\xa9\n", "A", "k"), QStringLiteral("José"));
    QByteArray utf16le("\xff\xfe", 2);
    for (QChar c : QStringLiteral("[A]\r\nk=José\r\n")) {
        utf16le.append(char(c.unicode() & 0xff));
        utf16le.append(char(c.unicode() >> 8));
    }
    EXPECT_EQ(get(utf16le, "A", "k"), QStringLiteral("José"));
}

// Garbage never crashes the reader and reads as values that are not there.
TEST(ProfileFileRead, GarbageAndHugeLines)
{
    QByteArray garbage;
    quint32 x = 12345;
    for (int i = 0; i < 100000; ++i) {
        x = x * 1103515245u + 12345u;
        garbage.append(char(x >> 24));
    }
    garbage[0] = 'G'; // not a byte-order mark
    EXPECT_NO_THROW(ProfileFile(garbage).read("InstalacaoVersao5", "IdiomaInst", "", 255));

    // An embedded NUL ends a name or a value, as in a C string.
    EXPECT_EQ(get(QByteArray("[A]\nk=ab\0cd\n", 11), "A", "k"), "ab");

    QByteArray huge(10 * 1024 * 1024, 'x');
    huge.prepend("[A]\nk=");
    huge.append("\n[InstalacaoVersao5]\nIdiomaInst=ESP\n");
    EXPECT_EQ(count(huge, "A", "k"), 254);
    EXPECT_EQ(get(huge, "InstalacaoVersao5", "IdiomaInst"), "ESP");
}

// A write changes one value and keeps every other byte.
TEST(ProfileFileWrite, ReplacesOnlyTheValue)
{
    const QByteArray ini = "; course settings\r\n[InstalacaoVersao5]\r\nIdiomaInst = POR \r\nDriveCD=\"D:\"\r\n\r\n"
                           "[ZEKODownload]\r\nDrive=E:\r\n";
    EXPECT_EQ(afterWrite(ini, "instalacaoversao5", "drivecd", "X:"),
              "; course settings\r\n[InstalacaoVersao5]\r\nIdiomaInst = POR \r\nDriveCD=X:\r\n\r\n"
              "[ZEKODownload]\r\nDrive=E:\r\n");
    EXPECT_EQ(afterWrite(ini, "InstalacaoVersao5", "IdiomaInst", "ING"),
              "; course settings\r\n[InstalacaoVersao5]\r\nIdiomaInst = ING \r\nDriveCD=\"D:\"\r\n\r\n"
              "[ZEKODownload]\r\nDrive=E:\r\n");
    // A key written without '=' gets one.
    EXPECT_EQ(afterWrite("[A]\nk\nz=1\n", "A", "k", "v"), "[A]\nk=v\nz=1\n");
    // The first of duplicate keys is the one written.
    EXPECT_EQ(afterWrite("[A]\nk=1\nk=2\n", "A", "k", "3"), "[A]\nk=3\nk=2\n");
}

TEST(ProfileFileWrite, AddsKeysAndSections)
{
    // New key: after the section's last line, before the blank lines; the file's own line end.
    EXPECT_EQ(afterWrite("[A]\r\nk=1\r\n\r\n[B]\r\n", "A", "n", "2"), "[A]\r\nk=1\r\nn=2\r\n\r\n[B]\r\n");
    EXPECT_EQ(afterWrite("[A]\nk=1\n", "A", "n", "2"), "[A]\nk=1\nn=2\n");
    EXPECT_EQ(afterWrite("[A]\nk=1", "A", "n", "2"), "[A]\nk=1\nn=2");
    EXPECT_EQ(afterWrite("[A]\n[B]\n", "A", "n", "2"), "[A]\nn=2\n[B]\n");
    // New section: appended at the end.
    EXPECT_EQ(afterWrite("[InstalacaoVersao5]\r\nIdiomaInst=POR\r\n", "ZEKODownload", "Drive", "C:"),
              "[InstalacaoVersao5]\r\nIdiomaInst=POR\r\n[ZEKODownload]\r\nDrive=C:\r\n");
    EXPECT_EQ(afterWrite("[A]\nk=1", "B", "Drive", "C:"), "[A]\nk=1\n[B]\nDrive=C:\n");
    EXPECT_EQ(afterWrite("", "ZEKODownload", "Drive", "C:"), "[ZEKODownload]\r\nDrive=C:\r\n");
    // Leading blanks of the value are not written.
    EXPECT_EQ(afterWrite("[A]\nk=1\n", "A", "k", "  X:"), "[A]\nk=X:\n");
}

TEST(ProfileFileWrite, KeepsTheFileEncoding)
{
    QByteArray utf16le("\xff\xfe", 2);
    for (QChar c : QStringLiteral("[A]\r\nk=1\r\n")) {
        utf16le.append(char(c.unicode() & 0xff));
        utf16le.append(char(c.unicode() >> 8));
    }
    ProfileFile p(utf16le);
    p.write("A", "k", QStringLiteral("é"));
    EXPECT_EQ(p.encoding(), ProfileFile::Encoding::Utf16Le);
    EXPECT_EQ(ProfileFile(p.bytes()).read("A", "k", "", 255).value, QStringLiteral("é"));
    EXPECT_EQ(afterWrite("[A]\nk=1\n", "A", "k", "é"), "[A]\nk=\xe9\n");
    EXPECT_EQ(afterWrite("\xef\xbb\xbf[A]\nk=1\n", "A", "k", "é"), "\xef\xbb\xbf[A]\nk=\xc3\xa9\n");
}

class ProfileFileOnDisk : public ::testing::Test {
protected:
    QString path() const { return m_dir.path() + QStringLiteral("/zeko.ini"); }
    void put(const QByteArray &bytes)
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray content() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir m_dir;
};

// The file is replaced whole by rename: a reader sees the old or the new file.
TEST_F(ProfileFileOnDisk, WriteReplacesAtomicallyAndKeepsMode)
{
    put("[A]\r\nk=1\r\n");
    ::chmod(QFile::encodeName(path()).constData(), 0640);
    struct stat before {};
    ::stat(QFile::encodeName(path()).constData(), &before);
    QString error;
    ASSERT_TRUE(ProfileFile::writeFile(path(), "A", "k", "2", &error)) << error.toStdString();
    struct stat after {};
    ::stat(QFile::encodeName(path()).constData(), &after);
    EXPECT_EQ(content(), "[A]\r\nk=2\r\n");
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "temporary file left behind";
}

TEST_F(ProfileFileOnDisk, ReadOnlyFileIsNotTouched)
{
    put("[A]\r\nk=1\r\n");
    ::chmod(QFile::encodeName(path()).constData(), 0444);
    QString error;
    EXPECT_FALSE(ProfileFile::writeFile(path(), "A", "k", "2", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("read-only")));
    EXPECT_EQ(content(), "[A]\r\nk=1\r\n");
}

TEST_F(ProfileFileOnDisk, UnchangedValueIsNotRewritten)
{
    put("[A]\r\nk=1\r\n");
    struct stat before {};
    ::stat(QFile::encodeName(path()).constData(), &before);
    EXPECT_TRUE(ProfileFile::writeFile(path(), "a", "K", "1"));
    struct stat after {};
    ::stat(QFile::encodeName(path()).constData(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST_F(ProfileFileOnDisk, WritesThroughASymbolicLink)
{
    const QString real = m_dir.path() + QStringLiteral("/real.ini");
    QFile f(real);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[A]\nk=1\n");
    f.close();
    ASSERT_TRUE(QFile::link(real, path()));
    ASSERT_TRUE(ProfileFile::writeFile(path(), "A", "k", "2"));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(content(), "[A]\nk=2\n");
}

TEST_F(ProfileFileOnDisk, MissingFileReadsEmpty)
{
    EXPECT_EQ(ProfileFile::readFile(path(), "A", "k", "", 255).count, 0);
    EXPECT_EQ(ProfileFile::readFile(path(), "A", "k", "d", 255).value, "d");
}
