// zeko.ini as IniDocument and ProfileFile read and write it. The input is a mode
// byte, a pick byte, a value length byte, the value, then the file's bytes. One
// value is written; the file read again gives it back, every other key keeps the
// value it had, and ProfileFile writes the same bytes as IniDocument.

#include "Fuzz.h"
#include "platform/CodePage.h"
#include "platform/IniDocument.h"
#include "platform/ProfileFile.h"

#include <QRegularExpression>

#include <vector>

using platform::IniDocument;

namespace {

constexpr int kBuffer = 1 << 16;

bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x09 && u <= 0x0d) || u == 0x1a || u == 0x20;
}

QString trimBlanks(QString s)
{
    while (!s.isEmpty() && isBlank(s.front()))
        s.remove(0, 1);
    while (!s.isEmpty() && isBlank(s.back()))
        s.chop(1);
    return s;
}

// Names are equal when they differ only in the case of A to Z.
QString foldAscii(const QString &s)
{
    QString out = s;
    for (QChar &c : out)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    return out;
}

QString upperAscii(const QString &s)
{
    QString out = s;
    for (QChar &c : out)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    return out;
}

// The text roughly as the file's encoding gives it: good enough to find names to
// ask for, which is all it is used for.
QString roughText(const QByteArray &b)
{
    if (b.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(b.mid(3));
    if (b.startsWith("\xFF\xFE") || b.startsWith("\xFE\xFF")) {
        const bool le = b[0] == '\xFF';
        QString out;
        for (qsizetype i = 2; i + 1 < b.size(); i += 2)
            out += QChar(le ? char16_t(uchar(b[i]) | uchar(b[i + 1]) << 8)
                            : char16_t(uchar(b[i]) << 8 | uchar(b[i + 1])));
        return out;
    }
    QString out;
    for (const char c : b)
        out += QChar(platform::cp1252ToUnicode(uchar(c)));
    return out;
}

struct Name {
    QString section, key;
};

// Every section and key the lines name, in file order (at most a few dozen).
std::vector<Name> names(const QString &text)
{
    std::vector<Name> out;
    QString section;
    for (const QString &raw : text.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts)) {
        const QString line = trimBlanks(raw);
        if (line.isEmpty())
            continue;
        const qsizetype close = line.lastIndexOf(u']');
        if (line.startsWith(u'[') && close > 0) {
            section = trimBlanks(line.mid(1, close - 1));
            continue;
        }
        out.push_back({section, trimBlanks(line.left(line.indexOf(u'=')))});
        if (out.size() == 48)
            break;
    }
    return out;
}

// A name this harness may write: one that reads back the way it is written.
// A key written before any header leads the file, and in a file without a
// byte-order mark one whose characters are a mark's bytes in cp1252 ("ÿþ")
// would make the file read as UTF-16; zeko.ini's own keys never start so.
bool writable(const QString &name, bool isKey)
{
    for (const QString &mark : {QStringLiteral("\u00FF\u00FE"), QStringLiteral("\u00FE\u00FF"),
                                QStringLiteral("\u00EF\u00BB\u00BF")})
        if (name.startsWith(mark))
            return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20 || (isKey && c == u'=') || c == u']' || c == u'[')
            return false;
    return !isKey || !name.isEmpty();
}

// Value characters: printable, some accented, blanks inside, no quotes or brackets.
QString valueFrom(const std::uint8_t *bytes, std::size_t n)
{
    static const QString alphabet = QStringLiteral("aZ09 =;#%.,-_/\\:ãçéÍõü€");
    QString v;
    for (std::size_t i = 0; i < n; ++i)
        v += alphabet[bytes[i] % alphabet.size()];
    return trimBlanks(v);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Bytes in(data, size);
    const std::uint8_t mode = in.next();
    const std::uint8_t pick = in.next();
    const std::size_t valueLength = std::min<std::size_t>(in.next() % 24, in.left());
    const QString value = valueFrom(in.rest(), valueLength);
    const QByteArray original(reinterpret_cast<const char *>(in.rest() + valueLength),
                              qsizetype(in.left() - valueLength));

    const IniDocument before(original);
    const std::vector<Name> found = names(roughText(original));

    // Where to write: a key of the file, a new key in a section of it, a new
    // section, or the keys before any header; in the file's case or in capitals.
    QString section = QStringLiteral("Fz%1").arg(pick);
    QString key = QStringLiteral("k%1").arg(pick % 7);
    std::vector<Name> usable;
    for (const Name &n : found)
        if (writable(n.section, false) && writable(n.key, true))
            usable.push_back(n);
    const Name *chosen = usable.empty() ? nullptr : &usable[pick % usable.size()];
    switch (mode % 4) {
    case 0:
        if (chosen) {
            section = chosen->section;
            key = chosen->key;
        }
        break;
    case 1:
        if (chosen)
            section = chosen->section;
        break;
    case 2:
        break;
    case 3:
        section.clear();
        break;
    }
    if (mode & 4) {
        section = upperAscii(section);
        key = upperAscii(key);
    }

    IniDocument after = before;
    const IniDocument::Change change = after.write(section, key, value);
    const IniDocument reread(after.bytes());
    FUZZ_CHECK(reread.read(section, key, QStringLiteral("\x01"), kBuffer).value == value,
               "the written value does not read back");
    FUZZ_CHECK(change == IniDocument::Change::Changed || after.bytes() == original,
               "a write reported as no change changed the file");
    IniDocument again = reread;
    FUZZ_CHECK(again.write(section, key, value) == IniDocument::Change::Unchanged &&
                   again.bytes() == after.bytes(),
               "writing the value the key holds changed the file");

    // Only one value, line or section changes: the bytes taken out of the file
    // lie within one line (checked where a line break is one byte).
    const QByteArray &changed = after.bytes();
    qsizetype same = 0;
    while (same < original.size() && same < changed.size() && original[same] == changed[same])
        ++same;
    qsizetype tail = 0;
    while (tail < original.size() - same && tail < changed.size() - same &&
           original[original.size() - 1 - tail] == changed[changed.size() - 1 - tail])
        ++tail;
    const QByteArray removed = original.mid(same, original.size() - same - tail);
    if (before.encoding() == IniDocument::Encoding::Ansi || before.encoding() == IniDocument::Encoding::Utf8)
        FUZZ_CHECK(!removed.contains('\n') && !removed.contains('\r'), "a write took out a line break");

    // A short buffer gets the start of the value, as many characters as it holds.
    const QString full = reread.read(section, key, {}, kBuffer).value;
    const int buffer = 1 + pick % 8;
    const platform::ProfileRead cut = reread.read(section, key, {}, buffer);
    FUZZ_CHECK(cut.count == cut.value.size() && cut.count <= buffer - 1 && full.startsWith(cut.value),
               "a short buffer does not get the start of the value");

    // Every other name the file has, and a few it has not, keep their values.
    const IniDocument second(original);
    std::vector<Name> asked = found;
    asked.push_back({section, QStringLiteral("k%1").arg((pick + 1) % 7)});
    asked.push_back({QString(), key});
    for (const Name &n : asked) {
        if (foldAscii(trimBlanks(n.section)) == foldAscii(trimBlanks(section)) &&
            foldAscii(trimBlanks(n.key)) == foldAscii(trimBlanks(key)))
            continue;
        const QString was = second.read(n.section, n.key, QStringLiteral("\x01"), kBuffer).value;
        FUZZ_CHECK(reread.read(n.section, n.key, QStringLiteral("\x01"), kBuffer).value == was,
                   "another key's value changed");
    }

    // The same write through the file on disk.
    static const QString path = fuzz::scratchPath("zeko.ini");
    fuzz::writeFile(path, reinterpret_cast<const std::uint8_t *>(original.constData()),
                    std::size_t(original.size()));
    FUZZ_CHECK(platform::ProfileFile::writeFile(path, section, key, value),
               "the profile file cannot be written");
    QFile written(path);
    FUZZ_CHECK(written.open(QIODevice::ReadOnly) && written.readAll() == after.bytes(),
               "the profile file holds other bytes than the document");
    FUZZ_CHECK(platform::ProfileFile::readFile(path, section, key, {}, kBuffer).value == value,
               "the profile file does not read the value back");
    QFile::remove(path);
    return 0;
}
