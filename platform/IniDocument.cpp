#include "IniDocument.h"
#include "CodePage.h"

#include <optional>
#include <utility>

namespace platform {

namespace {

// Blank as the profile functions see it: tab to carriage return, Ctrl-Z, space.
bool isProfileSpace(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x09 && u <= 0x0d) || u == 0x1a || u == 0x20;
}

QStringView trimmed(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isProfileSpace(s[b]))
        ++b;
    while (e > b && isProfileSpace(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

// Names and values are C strings on the Windows side: an embedded NUL ends them.
QStringView upToNul(QStringView s)
{
    const qsizetype nul = s.indexOf(QChar(u'\0'));
    return nul < 0 ? s : s.first(nul);
}

// Wine folds only A to Z when it compares names: "Ä" is not "ä", and the Kelvin
// sign or the long s are not "k" or "s", whatever Unicode case folding says.
char16_t foldAscii(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

bool sameName(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (foldAscii(a[i].unicode()) != foldAscii(b[i].unicode()))
            return false;
    return true;
}

// One UTF-8 sequence: how many bytes it takes and the code point it gives.
// Anything malformed takes one byte and gives U+FFFD, so every byte keeps a place.
struct Utf8Step {
    int length;
    char32_t codePoint;
};

Utf8Step utf8Step(const unsigned char *data, qsizetype pos, qsizetype size)
{
    const unsigned char b = data[pos];
    const int len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || pos + len > size)
        return {1, 0xFFFD};
    char32_t cp = len == 1 ? b : char32_t(b & (0x7F >> len));
    for (int i = 1; i < len; ++i) {
        if ((data[pos + i] & 0xC0) != 0x80)
            return {1, 0xFFFD};
        cp = (cp << 6) | (data[pos + i] & 0x3F);
    }
    if (cp > 0x10FFFF)
        return {1, 0xFFFD};
    return {len, cp};
}

// One line as the profile functions split the text: it ends at the first CR or
// LF, and a run of them ends it once, so blank lines vanish.
struct Line {
    qsizetype start; // the line trimmed of blanks
    qsizetype end;
    qsizetype eolEnd; // after the line's own break (CRLF, CR or LF), before blank lines
};

// The next non-blank line from next on; false at the end of the text. Each
// character is looked at a bounded number of times, whatever the lines hold.
bool nextLine(QStringView text, qsizetype &next, Line &line)
{
    const qsizetype n = text.size();
    while (next < n) {
        qsizetype start = next;
        while (next < n && text[next] != u'\n' && text[next] != u'\r')
            ++next;
        qsizetype end = next;
        qsizetype eolEnd = next;
        if (eolEnd < n)
            eolEnd += (text[eolEnd] == u'\r' && eolEnd + 1 < n && text[eolEnd + 1] == u'\n') ? 2 : 1;
        while (next < n && (text[next] == u'\n' || text[next] == u'\r'))
            ++next;
        while (start < end && isProfileSpace(text[start]))
            ++start;
        while (end > start && isProfileSpace(text[end - 1]))
            --end;
        if (start < end) {
            line = {start, end, eolEnd};
            return true;
        }
    }
    return false;
}

// A section header's name, or nothing when the line is no header: it starts
// with '[' and its name runs to the last ']'; without one the line is a key.
std::optional<QStringView> headerName(QStringView text, const Line &line)
{
    if (text[line.start] != u'[')
        return std::nullopt;
    qsizetype close = line.end;
    while (close > line.start && text[close - 1] != u']')
        --close;
    if (close == line.start)
        return std::nullopt;
    return upToNul(trimmed(text.sliced(line.start + 1, close - line.start - 2)));
}

} // namespace

IniDocument::IniDocument(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
    decode();
}

void IniDocument::decode()
{
    const auto *data = reinterpret_cast<const unsigned char *>(m_bytes.constData());
    const qsizetype size = m_bytes.size();
    qsizetype pos = 0;
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        m_encoding = Encoding::Utf8;
        pos = 3;
    } else if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        m_encoding = Encoding::Utf16Le;
        pos = 2;
    } else if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
        m_encoding = Encoding::Utf16Be;
        pos = 2;
    } else {
        m_encoding = Encoding::Ansi;
    }

    // Written in place: the text never takes more code units than the bytes left.
    // (QString's own resize would round the block up, to as much as twice the size.)
    const bool wide = m_encoding == Encoding::Utf16Le || m_encoding == Encoding::Utf16Be;
    m_text = QString(wide ? (size - pos) / 2 : size - pos, Qt::Uninitialized);
    QChar *out = m_text.data();
    qsizetype n = 0;
    switch (m_encoding) {
    case Encoding::Ansi:
        for (; pos < size; ++pos)
            out[n++] = QChar(cp1252ToUnicode(data[pos]));
        break;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
        // A lone last byte is not a character and stays where it is.
        for (; pos + 1 < size; pos += 2)
            out[n++] = QChar(m_encoding == Encoding::Utf16Le ? char16_t(data[pos] | (data[pos + 1] << 8))
                                                             : char16_t((data[pos] << 8) | data[pos + 1]));
        break;
    case Encoding::Utf8:
        while (pos < size) {
            const Utf8Step step = utf8Step(data, pos, size);
            if (step.codePoint > 0xFFFF) {
                out[n++] = QChar(QChar::highSurrogate(step.codePoint));
                out[n++] = QChar(QChar::lowSurrogate(step.codePoint));
            } else {
                out[n++] = QChar(char16_t(step.codePoint));
            }
            pos += step.length;
        }
        break;
    }
    m_text.truncate(n);
}

qsizetype IniDocument::byteOffset(qsizetype unit) const
{
    switch (m_encoding) {
    case Encoding::Ansi:
        return unit;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
        // The end of the text comes before a lone trailing byte, so text added at the
        // end goes in front of it: the byte stays last, still no character to a
        // reader, and what is added keeps the two-byte alignment. Put after it, the
        // new text would be read one byte off.
        return 2 + 2 * unit;
    case Encoding::Utf8:
        break;
    }
    if (unit >= m_text.size())
        return m_bytes.size();
    // Edits fall on ASCII characters, never inside a sequence or a surrogate pair.
    const auto *data = reinterpret_cast<const unsigned char *>(m_bytes.constData());
    const qsizetype size = m_bytes.size();
    qsizetype pos = 3, units = 0;
    while (pos < size) {
        const Utf8Step step = utf8Step(data, pos, size);
        units += step.codePoint > 0xFFFF ? 2 : 1;
        if (units > unit)
            return pos;
        pos += step.length;
    }
    return size;
}

IniDocument::Lookup IniDocument::find(QStringView section, QStringView key) const
{
    const QStringView text = m_text;
    Lookup found;
    // The keys before any header form a section whose name is empty; it comes first.
    bool inSection = section.isEmpty();
    found.section = found.nameless = inSection;
    bool lastIsNameless = false;
    qsizetype next = 0;
    Line line{};
    while (nextLine(text, next, line)) {
        if (const auto header = headerName(text, line)) {
            // Only the first section of a name is ever consulted; later duplicates are dead.
            if (inSection)
                break;
            if (sameName(*header, section)) {
                found.section = inSection = true;
                found.headerEolEnd = line.eolEnd;
            }
            continue;
        }
        if (!inSection)
            continue;

        Key k;
        k.lineStart = line.start;
        k.lineEnd = line.end;
        k.eolEnd = line.eolEnd;
        const qsizetype eq = text.sliced(line.start, line.end - line.start).indexOf(u'=');
        if (eq >= 0) {
            k.hasValue = true;
            k.nameEnd = line.start + eq;
            while (k.nameEnd > line.start && isProfileSpace(text[k.nameEnd - 1]))
                --k.nameEnd;
            k.valueStart = line.start + eq + 1;
            while (k.valueStart < line.end && isProfileSpace(text[k.valueStart]))
                ++k.valueStart;
        } else {
            k.nameEnd = k.valueStart = line.end;
        }
        // A run of lines with empty names counts once, as Windows loads it.
        const QStringView keyName = name(k);
        if (keyName.isEmpty() && found.last && lastIsNameless)
            continue;
        found.last = k;
        lastIsNameless = keyName.isEmpty();
        if (sameName(keyName, key)) {
            found.key = k;
            break;
        }
    }
    return found;
}

QStringView IniDocument::name(const Key &k) const
{
    return upToNul(QStringView(m_text).sliced(k.lineStart, k.nameEnd - k.lineStart));
}

QStringView IniDocument::value(const Key &k) const
{
    return upToNul(QStringView(m_text).sliced(k.valueStart, k.lineEnd - k.valueStart));
}

ProfileRead IniDocument::read(const QString &section, const QString &key, const QString &defaultValue,
                              int bufferSize) const
{
    if (bufferSize <= 0)
        return {};

    QString def = defaultValue;
    while (def.endsWith(u' '))
        def.chop(1);

    QString source = def;
    const Lookup found = find(trimmed(section), trimmed(key));
    if (found.key && found.key->hasValue)
        source = value(*found.key).toString();

    // A value wrapped in matching quotes loses them, but only the closing quote is
    // dropped when the buffer holds the whole rest; a short buffer keeps the text
    // after the opening quote, cut to size.
    bool quoted = false;
    if (!source.isEmpty() && (source[0] == u'\'' || source[0] == u'"') && source.size() > 1 &&
        source.back() == source[0]) {
        quoted = true;
        source.remove(0, 1);
    }
    QString out = source.left(bufferSize - 1);
    if (quoted && bufferSize >= source.size() && !out.isEmpty())
        out.chop(1);
    return {int(out.size()), out};
}

QString IniDocument::lineBreak() const
{
    const qsizetype lf = m_text.indexOf(u'\n');
    if (lf < 0)
        return m_text.contains(u'\r') ? QStringLiteral("\r") : QStringLiteral("\r\n");
    return (lf > 0 && m_text[lf - 1] == u'\r') ? QStringLiteral("\r\n") : QStringLiteral("\n");
}

QByteArray IniDocument::encode(const QString &text) const
{
    QByteArray out;
    switch (m_encoding) {
    case Encoding::Ansi:
        out.reserve(text.size());
        for (QChar c : text)
            out.append(unicodeToCp1252(c.unicode()));
        break;
    case Encoding::Utf8:
        out = text.toUtf8();
        break;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
        for (QChar c : text) {
            const char16_t u = c.unicode();
            const char lo = char(u & 0xFF), hi = char(u >> 8);
            if (m_encoding == Encoding::Utf16Le) {
                out.append(lo);
                out.append(hi);
            } else {
                out.append(hi);
                out.append(lo);
            }
        }
        break;
    }
    return out;
}

void IniDocument::replaceSpan(qsizetype from, qsizetype to, const QString &text)
{
    const qsizetype byteFrom = byteOffset(from);
    const qsizetype byteTo = byteOffset(to);
    m_bytes.replace(byteFrom, byteTo - byteFrom, encode(text));
    decode();
}

IniDocument::Change IniDocument::write(const QString &section, const QString &key, const QString &value)
{
    QString v = value;
    qsizetype lead = 0;
    while (lead < v.size() && isProfileSpace(v[lead]))
        ++lead;
    v.remove(0, lead);

    const QString sectionName = trimmed(section).toString();
    const QString keyName = trimmed(key).toString();

    if (m_bytes.isEmpty()) {
        // The keys before any header are the nameless section: a "[]" header would
        // start a section that no read of it reaches.
        m_encoding = Encoding::Ansi;
        m_bytes = encode((sectionName.isEmpty() ? QString() : QStringLiteral("[%1]\r\n").arg(sectionName)) +
                         keyName + u'=' + v + QStringLiteral("\r\n"));
        decode();
        return Change::Changed;
    }

    const Lookup found = find(sectionName, keyName);
    if (!found.section) {
        QString add;
        if (!m_text.isEmpty() && !m_text.endsWith(u'\n') && !m_text.endsWith(u'\r'))
            add += lineBreak();
        add += QStringLiteral("[%1]").arg(sectionName) + lineBreak() + keyName + u'=' + v + lineBreak();
        const qsizetype end = m_text.size();
        replaceSpan(end, end, add);
        return Change::Changed;
    }

    if (const auto &k = found.key) {
        if (k->hasValue) {
            if (this->value(*k) == v)
                return Change::Unchanged;
            replaceSpan(k->valueStart, k->lineEnd, v);
        } else {
            replaceSpan(k->nameEnd, k->lineEnd, u'=' + v);
        }
        return Change::Changed;
    }

    // New key: right after the last line of the section, before any blank lines.
    const QString line = keyName + u'=' + v;
    if (found.last || !found.nameless) {
        // After the line's own break; a line without one ends the text, blanks and
        // all, and the new key starts a line of its own after it rather than
        // joining it (its blanks are no line break).
        const qsizetype at = found.last ? found.last->eolEnd : found.headerEolEnd;
        const bool endsLine = at > 0 && (m_text[at - 1] == u'\n' || m_text[at - 1] == u'\r');
        replaceSpan(at, at, endsLine ? line + lineBreak() : lineBreak() + line);
    } else {
        replaceSpan(0, 0, line + lineBreak());
    }
    return Change::Changed;
}

} // namespace platform
