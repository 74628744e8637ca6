#include "platform/IniDocument.h"
#include "common/QtPrinters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <malloc.h>
#include <utility>
#include <vector>

using platform::IniDocument;

namespace {

QString get(const QByteArray &file, const char *section, const char *key, int buffer = 255)
{
    return IniDocument(file)
        .read(QString::fromUtf8(section), QString::fromUtf8(key), QString(), buffer)
        .value;
}

int count(const QByteArray &file, const char *section, const char *key, int buffer = 255)
{
    return IniDocument(file)
        .read(QString::fromUtf8(section), QString::fromUtf8(key), QString(), buffer)
        .count;
}

QByteArray afterWrite(const QByteArray &file, const char *section, const char *key, const char *value)
{
    IniDocument p(file);
    (void)p.write(QString::fromUtf8(section), QString::fromUtf8(key),
                  QString::fromUtf8(value)); // the bytes tell
    return p.bytes();
}

// Bytes the C heap holds in use, small blocks and mapped ones.
size_t heapInUse()
{
    const struct mallinfo2 m = ::mallinfo2();
    return m.uordblks + m.hblkhd;
}

} // namespace

// Names match without regard to case or surrounding blanks; values lose blanks.
TEST(IniDocumentRead, NamesIgnoreCaseAndBlanks)
{
    const QByteArray ini = "[InstalacaoVersao5]\r\n  idiomainst   =   ING  \r\nDriveCD=X:\r\n";
    EXPECT_EQ(get(ini, "instalacaoversao5", "IdiomaInst"), "ING");
    EXPECT_EQ(get(ini, " INSTALACAOVERSAO5 ", " IDIOMAINST "), "ING");
    EXPECT_EQ(get(ini, "InstalacaoVersao5", "DriveCD"), "X:");
    EXPECT_EQ(get("[ Sec ]\nk=v\n", "Sec", "k"), "v");
}

// Wine folds A to Z only: accented capitals, and Unicode's other case pairs such
// as the Kelvin sign and k, the long s and s, are different names.
TEST(IniDocumentRead, NamesFoldOnlyAToZ)
{
    const QByteArray ini = "[Configura\xe7\xe3o]\r\nk=1\r\n[A]\r\n\xc4=2\r\n\xff=3\r\n";
    EXPECT_EQ(get(ini, "configuração", "K"), "1");
    EXPECT_EQ(get(ini, "CONFIGURAÇÃO", "k"), "");
    EXPECT_EQ(get(ini, "a", "Ä"), "2");
    EXPECT_EQ(get(ini, "a", "ä"), "");
    EXPECT_EQ(get(ini, "a", "Ÿ"), "");
    const QByteArray utf8 = "\xef\xbb\xbf[A]\n\xe2\x84\xaa=kelvin\n\xc5\xbf=long s\n";
    EXPECT_EQ(get(utf8, "A", "k"), "");
    EXPECT_EQ(get(utf8, "A", "s"), "");
    // A write under the other case makes a section of its own.
    EXPECT_EQ(afterWrite(ini, "CONFIGURAÇÃO", "k", "9"), ini + "[CONFIGURA\xc7\xc3O]\r\nk=9\r\n");
}

// A long block of lines without '=' before the key: one pass, no state kept per
// line, so a read holds the decoded text (two bytes a character) and little else.
TEST(IniDocumentRead, LinesWithoutEqualsKeepNoStatePerLine)
{
    QByteArray ini = "[Notas]\r\n";
    while (ini.size() < (1 << 20))
        ini += "; uma linha de notas sem valor\r\n";
    ini += "[InstalacaoVersao5]\r\nIdiomaInst=ESP\r\n";
    const size_t before = heapInUse();
    const IniDocument profile(ini);
    const platform::ProfileRead found = profile.read("InstalacaoVersao5", "IdiomaInst", "", 255);
    const size_t held = heapInUse() - before;
    EXPECT_EQ(found.value, "ESP");
    EXPECT_LT(held, 3 * size_t(ini.size()));
}

// Only the first section of a name counts, and in it only the first key.
TEST(IniDocumentRead, FirstSectionAndKeyWin)
{
    const QByteArray ini = "[A]\nk=1\nk=2\n[B]\nx=1\n[a]\nk=3\nonly=here\n";
    EXPECT_EQ(get(ini, "A", "k"), "1");
    EXPECT_EQ(get(ini, "A", "only"), "");
    EXPECT_EQ(IniDocument(ini).read("A", "only", "dflt", 255).value, "dflt");
}

TEST(IniDocumentRead, MissingPiecesGiveTheDefault)
{
    EXPECT_EQ(IniDocument("[A]\nk=1\n").read("B", "k", "d", 255).value, "d");
    EXPECT_EQ(IniDocument("[A]\nk=1\n").read("A", "z", "d  ", 255).value, "d"); // trailing blanks dropped
    EXPECT_EQ(IniDocument("[A]\nk\n").read("A", "k", "d", 255).value, "d");     // no '=' is no value
    EXPECT_EQ(count("", "A", "k"), 0);
    EXPECT_EQ(count("[A]\nk=\n", "A", "k"), 0);
    // Keys before any section header belong to the nameless section.
    EXPECT_EQ(get("k=top\n[A]\nk=1\n", "", "k"), "top");
}

TEST(IniDocumentRead, LineEndsOfAnyKind)
{
    EXPECT_EQ(get("[A]\nk=lf\n", "A", "k"), "lf");
    EXPECT_EQ(get("[A]\r\nk=crlf\r\n", "A", "k"), "crlf");
    EXPECT_EQ(get("[A]\rk=cr\r", "A", "k"), "cr");
    EXPECT_EQ(get("[A]\n\n\r\n   \nk=blank lines\n", "A", "k"), "blank lines");
    EXPECT_EQ(get("[A]\nk=no newline at end", "A", "k"), "no newline at end");
}

TEST(IniDocumentRead, SectionHeaders)
{
    // Text after the last ']' is ignored; a header without ']' is a key line.
    EXPECT_EQ(get("[A] comment\nk=1\n", "A", "k"), "1");
    EXPECT_EQ(get("[A]]\nk=1\n", "A]", "k"), "1");
    EXPECT_EQ(get("[A\nk=1\n", "A", "k"), "");
    EXPECT_EQ(get("[A]\n;k=1\nk=2\n", "A", "k"), "2");
}

// Surrounding matching quotes go; the closing one only when the buffer holds it.
TEST(IniDocumentRead, Quotes)
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

TEST(IniDocumentRead, BufferTruncationAndCounts)
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

TEST(IniDocumentRead, Encodings)
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
TEST(IniDocumentRead, GarbageAndHugeLines)
{
    QByteArray garbage;
    quint32 x = 12345;
    for (int i = 0; i < 100000; ++i) {
        x = x * 1103515245u + 12345u;
        garbage.append(char(x >> 24));
    }
    garbage[0] = 'G'; // not a byte-order mark
    EXPECT_NO_THROW(IniDocument(garbage).read("InstalacaoVersao5", "IdiomaInst", "", 255));

    // An embedded NUL ends a name or a value, as in a C string.
    EXPECT_EQ(get(QByteArray("[A]\nk=ab\0cd\n", 11), "A", "k"), "ab");

    QByteArray huge(10 * 1024 * 1024, 'x');
    huge.prepend("[A]\nk=");
    huge.append("\n[InstalacaoVersao5]\nIdiomaInst=ESP\n");
    EXPECT_EQ(count(huge, "A", "k"), 254);
    EXPECT_EQ(get(huge, "InstalacaoVersao5", "IdiomaInst"), "ESP");
}

// A write changes one value and keeps every other byte.
TEST(IniDocumentWrite, ReplacesOnlyTheValue)
{
    const QByteArray ini =
        "; course settings\r\n[InstalacaoVersao5]\r\nIdiomaInst = POR \r\nDriveCD=\"D:\"\r\n\r\n"
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

TEST(IniDocumentWrite, AddsKeysAndSections)
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

TEST(IniDocumentWrite, KeepsTheFileEncoding)
{
    QByteArray utf16le("\xff\xfe", 2);
    for (QChar c : QStringLiteral("[A]\r\nk=1\r\n")) {
        utf16le.append(char(c.unicode() & 0xff));
        utf16le.append(char(c.unicode() >> 8));
    }
    IniDocument p(utf16le);
    EXPECT_EQ(p.write("A", "k", QStringLiteral("é")), IniDocument::Change::Changed);
    EXPECT_EQ(p.encoding(), IniDocument::Encoding::Utf16Le);
    EXPECT_EQ(IniDocument(p.bytes()).read("A", "k", "", 255).value, QStringLiteral("é"));
    EXPECT_EQ(afterWrite("[A]\nk=1\n", "A", "k", "é"), "[A]\nk=\xe9\n");
    EXPECT_EQ(afterWrite("\xef\xbb\xbf[A]\nk=1\n", "A", "k", "é"), "\xef\xbb\xbf[A]\nk=\xc3\xa9\n");
}

namespace {

// Text in an encoding, without the byte-order mark (Latin-1 only for ANSI).
QByteArray encodedText(const QString &text, IniDocument::Encoding encoding)
{
    if (encoding == IniDocument::Encoding::Ansi)
        return text.toLatin1();
    if (encoding == IniDocument::Encoding::Utf8)
        return text.toUtf8();
    const bool le = encoding == IniDocument::Encoding::Utf16Le;
    QByteArray out;
    for (QChar c : text) {
        const char lo = char(c.unicode() & 0xff), hi = char(c.unicode() >> 8);
        out.append(le ? lo : hi);
        out.append(le ? hi : lo);
    }
    return out;
}

QByteArray encoded(const QString &text, IniDocument::Encoding encoding)
{
    const char *const marks[] = {"", "\xef\xbb\xbf", "\xff\xfe", "\xfe\xff"};
    return marks[int(encoding)] + encodedText(text, encoding);
}

// Bytes of before that are not the start or the end of after: zero when after is
// before with something inserted in one place.
qsizetype bytesNotKept(const QByteArray &before, const QByteArray &after)
{
    const qsizetype most = std::min(before.size(), after.size());
    qsizetype head = 0, tail = 0;
    while (head < most && before[head] == after[head])
        ++head;
    while (tail < most - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return before.size() - head - tail;
}

} // namespace

// Appends land on a line of their own, whatever blanks end the last line and
// whether or not a line break follows them; a lone byte ending a UTF-16 file stays last.
TEST(IniDocumentWrite, AppendsNeverJoinTheLastLine)
{
    const QByteArray z("Z");
    const struct {
        QByteArray file;
        const char *section, *key;
        QByteArray expected;
    } cases[] = {
        {"[Fz]\r\nK0=x  ", "Fz", "K1", "[Fz]\r\nK0=x  \r\nK1=v"},
        {"[Fz]\nK0=x\x1a", "Fz", "K1", "[Fz]\nK0=x\x1a\nK1=v"},
        {"[Fz]\rK0=x\v\f\t", "Fz", "K1", "[Fz]\rK0=x\v\f\t\rK1=v"},
        {"[Fz]\r\n; note \t", "Fz", "K1", "[Fz]\r\n; note \t\r\nK1=v"},
        {"[Fz]\r\n[Hd]  ", "Hd", "K1", "[Fz]\r\n[Hd]  \r\nK1=v"},
        {"[Fz]\r\nK0=x  ", "New", "K1", "[Fz]\r\nK0=x  \r\n[New]\r\nK1=v\r\n"},
        {"", "", "K1", "K1=v\r\n"},
        {encoded("[A]\r\nk=1", IniDocument::Encoding::Utf16Le) + z, "A", "K1",
         encoded("[A]\r\nk=1\r\nK1=v", IniDocument::Encoding::Utf16Le) + z},
        {encoded("[A]\r\n", IniDocument::Encoding::Utf16Be) + z, "B", "K1",
         encoded("[A]\r\n[B]\r\nK1=v\r\n", IniDocument::Encoding::Utf16Be) + z},
        {encoded("[A]\r\nk=1", IniDocument::Encoding::Utf16Le) + z, "A", "k",
         encoded("[A]\r\nk=v", IniDocument::Encoding::Utf16Le) + z},
    };
    for (const auto &c : cases)
        EXPECT_EQ(afterWrite(c.file, c.section, c.key, "v"), c.expected) << c.file.toStdString();
}

// Every kind of write, to every kind of file: the written key reads back, every
// other name reads as before, and the old bytes all stay, around one insertion
// or the one value replaced.
TEST(IniDocumentWrite, NeverChangesWhatOtherNamesRead)
{
    // '|' stands for the line break under test.
    const char *const texts[] = {
        "[Fz]|K0=x  ",
        "[Fz]|K0=x\t",
        "[Fz]|K0=x\v",
        "[Fz]|K0=x\f",
        "[Fz]|K0=x\x1a",
        "[Fz]|K0=x \t\v\f\x1a ",
        "[Fz]|K0=Jos\xe9 ",
        "[Fz]|K0=x",
        "[Fz]|K0=x|",
        "[Fz]|K0=x||  |",
        "[Fz]|K0=x|[Hd]",
        "[Fz]|K0=x|[Hd] \t",
        "[Fz]|K0=x|[Hd]|",
        "[Fz]|K0=x|; note",
        "[Fz]|K0=x|; note \x1a",
        "K2=top|[Fz]|K0=x|[Other]|K2=y  ",
        "[Fz]",
        "[Fz]\f",
        "  \t",
        "",
    };
    const char *const breaks[] = {"\r\n", "\n", "\r"};
    using Encoding = IniDocument::Encoding;
    std::vector<std::pair<QByteArray, Encoding>> files;
    for (const char *text : texts)
        for (const char *lineBreak : breaks) {
            const QString start = QString::fromLatin1(text).replace(u'|', QString::fromLatin1(lineBreak));
            for (const Encoding encoding :
                 {Encoding::Ansi, Encoding::Utf8, Encoding::Utf16Le, Encoding::Utf16Be})
                files.emplace_back(encoded(start, encoding), encoding);
            for (const Encoding encoding : {Encoding::Utf16Le, Encoding::Utf16Be})
                files.emplace_back(encoded(start, encoding) + "Z", encoding); // odd length
        }

    const QString sections[] = {"", "Fz", "Hd", "Other", "New"};
    const QString keys[] = {"K0", "K1", "K2", "K9"};
    const QString written = QStringLiteral("vé");
    const QString absent = QStringLiteral("<absent>");
    for (const auto &[bytes, encoding] : files) {
        const IniDocument before(bytes);
        for (const QString &section : sections) {
            for (const QString &key : {keys[0], keys[1], keys[2]}) {
                SCOPED_TRACE(::testing::PrintToString(bytes) + " write [" + section.toStdString() + "] " +
                             key.toStdString());
                IniDocument after(bytes);
                ASSERT_EQ(after.write(section, key, written), IniDocument::Change::Changed);
                const IniDocument reread(after.bytes());
                EXPECT_EQ(reread.encoding(), before.encoding());
                EXPECT_EQ(reread.read(section, key, absent, 255).value, written);
                for (const QString &s : sections) {
                    for (const QString &k : keys) {
                        if (s == section && k == key)
                            continue;
                        EXPECT_EQ(reread.read(s, k, absent, 255).value, before.read(s, k, absent, 255).value)
                            << "[" << s.toStdString() << "] " << k.toStdString();
                    }
                }
                const QString old = before.read(section, key, absent, 255).value;
                const qsizetype notKept = bytesNotKept(bytes, after.bytes());
                EXPECT_LE(notKept, old == absent ? 0 : encodedText(old, encoding).size());
            }
        }
    }
}
