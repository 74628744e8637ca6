#include "ProfileFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Windows-1252 for 0x80..0x9F; the five undefined bytes map to the same code
// point, as Windows does, so every byte survives a round trip.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t cp1252ToUnicode(unsigned char b)
{
    return (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : char16_t(b);
}

char unicodeToCp1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == c)
            return char(0x80 + i);
    return '?'; // the default character Windows substitutes
}

// Blank as the profile functions see it: tab to carriage return, Ctrl-Z, space.
bool isProfileSpace(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x09 && u <= 0x0d) || u == 0x1a || u == 0x20;
}

QString trimmed(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isProfileSpace(s[b]))
        ++b;
    while (e > b && isProfileSpace(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// Names and values are C strings on the Windows side: an embedded NUL ends them.
QString upToNul(const QString &s)
{
    const qsizetype nul = s.indexOf(QChar(u'\0'));
    return nul < 0 ? s : s.left(nul);
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

ProfileFile::ProfileFile(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
    parse();
}

void ProfileFile::parse()
{
    m_text.clear();
    m_offsets.clear();
    m_sections.clear();
    m_sections.push_back(Section{});

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

    m_text.reserve(size);
    m_offsets.reserve(size + 1);
    switch (m_encoding) {
    case Encoding::Ansi:
        for (; pos < size; ++pos) {
            m_offsets.push_back(pos);
            m_text.append(QChar(cp1252ToUnicode(data[pos])));
        }
        break;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
        for (; pos + 1 < size; pos += 2) {
            m_offsets.push_back(pos);
            const char16_t u = m_encoding == Encoding::Utf16Le
                                   ? char16_t(data[pos] | (data[pos + 1] << 8))
                                   : char16_t((data[pos] << 8) | data[pos + 1]);
            m_text.append(QChar(u));
        }
        break;
    case Encoding::Utf8:
        while (pos < size) {
            const unsigned char b = data[pos];
            int len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
            char32_t cp = 0xFFFD;
            if (len == 0 || pos + len > size) {
                len = 1;
            } else {
                cp = len == 1 ? b : char32_t(b & (0x7F >> len));
                for (int i = 1; i < len; ++i) {
                    if ((data[pos + i] & 0xC0) != 0x80) {
                        cp = 0xFFFD;
                        len = 1;
                        break;
                    }
                    cp = (cp << 6) | (data[pos + i] & 0x3F);
                }
            }
            m_offsets.push_back(pos);
            if (cp > 0xFFFF) {
                const QString pair = QString::fromUcs4(&cp, 1);
                m_text.append(pair[0]);
                m_offsets.push_back(pos); // a surrogate pair is never split by an edit
                m_text.append(pair[1]);
            } else {
                m_text.append(QChar(char16_t(cp)));
            }
            pos += len;
        }
        break;
    }
    m_offsets.push_back(size);

    // Lines end at a run of CR and LF characters; blank lines are skipped.
    const qsizetype n = m_text.size();
    qsizetype next = 0;
    while (next < n) {
        qsizetype start = next;
        while (next < n && m_text[next] != u'\n' && m_text[next] != u'\r')
            ++next;
        qsizetype end = next;
        // New lines go right after this line's own break, before any blank lines.
        qsizetype eolEnd = next;
        if (eolEnd < n)
            eolEnd += (m_text[eolEnd] == u'\r' && eolEnd + 1 < n && m_text[eolEnd + 1] == u'\n') ? 2 : 1;
        while (next < n && (m_text[next] == u'\n' || m_text[next] == u'\r'))
            ++next;
        while (start < end && isProfileSpace(m_text[start]))
            ++start;
        while (end > start && isProfileSpace(m_text[end - 1]))
            --end;
        if (start >= end)
            continue;

        if (m_text[start] == u'[') {
            qsizetype len = end - start;
            while (len > 0 && m_text[start + len - 1] != u']')
                --len;
            if (len > 0) {
                Section section;
                section.name = upToNul(trimmed(m_text.mid(start + 1, len - 2)));
                section.headerEolEnd = eolEnd;
                m_sections.push_back(std::move(section));
                continue;
            }
            // No closing bracket: the line is read as a key.
        }

        Key key;
        key.lineStart = start;
        key.lineEnd = end;
        key.eolEnd = eolEnd;
        const qsizetype eq = m_text.indexOf(u'=', start);
        if (eq >= 0 && eq < end) {
            qsizetype nameEnd = eq;
            while (nameEnd > start && isProfileSpace(m_text[nameEnd - 1]))
                --nameEnd;
            qsizetype valueStart = eq + 1;
            while (valueStart < end && isProfileSpace(m_text[valueStart]))
                ++valueStart;
            key.name = upToNul(m_text.mid(start, nameEnd - start));
            key.nameEnd = nameEnd;
            key.valueStart = valueStart;
            key.value = upToNul(m_text.mid(valueStart, end - valueStart));
        } else {
            key.name = upToNul(m_text.mid(start, end - start));
            key.nameEnd = end;
            key.valueStart = end;
        }
        // A run of lines with empty names counts once, as Windows loads it.
        auto &keys = m_sections.back().keys;
        if (!key.name.isEmpty() || keys.empty() || !keys.back().name.isEmpty())
            keys.push_back(std::move(key));
    }
}

const ProfileFile::Section *ProfileFile::findSection(const QString &trimmedName) const
{
    // Only the first section of a name is ever consulted; later duplicates are dead.
    for (const Section &s : m_sections)
        if (sameName(s.name, trimmedName))
            return &s;
    return nullptr;
}

ProfileRead ProfileFile::read(const QString &section, const QString &key,
                              const QString &defaultValue, int bufferSize) const
{
    if (bufferSize <= 0)
        return {};

    QString def = defaultValue;
    while (def.endsWith(u' '))
        def.chop(1);

    QString source = def;
    if (const Section *s = findSection(trimmed(section))) {
        const QString wanted = trimmed(key);
        for (const Key &k : s->keys) {
            if (sameName(k.name, wanted)) {
                if (k.value)
                    source = *k.value;
                break;
            }
        }
    }

    // A value wrapped in matching quotes loses them, but only the closing quote is
    // dropped when the buffer holds the whole rest; a short buffer keeps the text
    // after the opening quote, cut to size.
    bool quoted = false;
    if (!source.isEmpty() && (source[0] == u'\'' || source[0] == u'"') && source.size() > 1
        && source.back() == source[0]) {
        quoted = true;
        source.remove(0, 1);
    }
    QString out = source.left(bufferSize - 1);
    if (quoted && bufferSize >= source.size() && !out.isEmpty())
        out.chop(1);
    return {int(out.size()), out};
}

QString ProfileFile::lineBreak() const
{
    const qsizetype lf = m_text.indexOf(u'\n');
    if (lf < 0)
        return m_text.contains(u'\r') ? QStringLiteral("\r") : QStringLiteral("\r\n");
    return (lf > 0 && m_text[lf - 1] == u'\r') ? QStringLiteral("\r\n") : QStringLiteral("\n");
}

QByteArray ProfileFile::encode(const QString &text) const
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

void ProfileFile::replaceSpan(qsizetype from, qsizetype to, const QString &text)
{
    const qsizetype byteFrom = m_offsets[from];
    const qsizetype byteTo = m_offsets[to];
    m_bytes.replace(byteFrom, byteTo - byteFrom, encode(text));
    parse();
}

bool ProfileFile::write(const QString &section, const QString &key, const QString &value)
{
    QString v = value;
    qsizetype lead = 0;
    while (lead < v.size() && isProfileSpace(v[lead]))
        ++lead;
    v.remove(0, lead);

    const QString sectionName = trimmed(section);
    const QString keyName = trimmed(key);

    if (m_bytes.isEmpty()) {
        m_encoding = Encoding::Ansi;
        m_bytes = encode(QStringLiteral("[%1]\r\n%2=%3\r\n").arg(sectionName, keyName, v));
        parse();
        return true;
    }

    const Section *s = findSection(sectionName);
    if (!s) {
        QString add;
        if (!m_text.isEmpty() && !m_text.endsWith(u'\n') && !m_text.endsWith(u'\r'))
            add += lineBreak();
        add += QStringLiteral("[%1]").arg(sectionName) + lineBreak() + keyName + u'=' + v + lineBreak();
        const qsizetype end = m_text.size();
        replaceSpan(end, end, add);
        return true;
    }

    for (const Key &k : s->keys) {
        if (!sameName(k.name, keyName))
            continue;
        if (k.value) {
            if (*k.value == v)
                return false;
            replaceSpan(k.valueStart, k.lineEnd, v);
        } else {
            replaceSpan(k.nameEnd, k.lineEnd, u'=' + v);
        }
        return true;
    }

    // New key: right after the last line of the section, before any blank lines.
    const QString line = keyName + u'=' + v;
    qsizetype at;
    if (!s->keys.empty()) {
        const Key &last = s->keys.back();
        if (last.eolEnd > last.lineEnd) {
            at = last.eolEnd;
            replaceSpan(at, at, line + lineBreak());
        } else {
            at = last.lineEnd;
            replaceSpan(at, at, lineBreak() + line);
        }
    } else if (s == &m_sections.front()) {
        replaceSpan(0, 0, line + lineBreak());
    } else {
        at = s->headerEolEnd;
        const bool headerEndsLine = at > 0 && (m_text[at - 1] == u'\n' || m_text[at - 1] == u'\r');
        replaceSpan(at, at, headerEndsLine ? line + lineBreak() : lineBreak() + line);
    }
    return true;
}

ProfileRead ProfileFile::readFile(const QString &unixPath, const QString &section,
                                  const QString &key, const QString &defaultValue, int bufferSize)
{
    QFile f(unixPath);
    QByteArray bytes;
    if (f.open(QIODevice::ReadOnly))
        bytes = f.readAll();
    return ProfileFile(bytes).read(section, key, defaultValue, bufferSize);
}

bool ProfileFile::writeFile(const QString &unixPath, const QString &section, const QString &key,
                            const QString &value, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };

    // Write through a symbolic link to the file it names, so the link survives.
    const QFileInfo info(unixPath);
    const QString target = info.isSymLink() ? info.canonicalFilePath() : info.absoluteFilePath();
    if (target.isEmpty())
        return fail(QStringLiteral("%1: the link leads nowhere").arg(unixPath));

    QByteArray bytes;
    mode_t mode = 0644;
    const QByteArray nativeTarget = QFile::encodeName(target);
    struct stat st {};
    if (::stat(nativeTarget.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return fail(QStringLiteral("%1 is not a file").arg(target));
        // The read-only attribute holds even for root, as it does on Windows.
        if (!(st.st_mode & S_IWUSR) || ::access(nativeTarget.constData(), W_OK) != 0)
            return fail(QStringLiteral("%1 is read-only").arg(target));
        mode = st.st_mode & 07777;
        QFile f(target);
        if (!f.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1: %2").arg(target, f.errorString()));
        bytes = f.readAll();
        if (f.error() != QFileDevice::NoError)
            return fail(QStringLiteral("%1: %2").arg(target, f.errorString()));
    }

    ProfileFile profile(bytes);
    if (!profile.write(section, key, value))
        return true; // already holds that value

    const QByteArray tmpName = QFile::encodeName(QFileInfo(target).absolutePath()
                                                 + QStringLiteral("/.%1.XXXXXX").arg(QFileInfo(target).fileName()));
    std::vector<char> tmpl(tmpName.begin(), tmpName.end());
    tmpl.push_back('\0');
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return fail(QStringLiteral("%1: %2").arg(target, QString::fromLocal8Bit(std::strerror(errno))));

    const QByteArray &out = profile.bytes();
    qsizetype done = 0;
    bool ok = true;
    while (done < out.size()) {
        const ssize_t n = ::write(fd, out.constData() + done, size_t(out.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        done += n;
    }
    const int savedErrno = errno;
    ok = ok && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || ::rename(tmpl.data(), nativeTarget.constData()) != 0) {
        const int e = ok ? errno : savedErrno;
        ::unlink(tmpl.data());
        return fail(QStringLiteral("%1: %2").arg(target, QString::fromLocal8Bit(std::strerror(e))));
    }
    // Make the rename itself durable.
    const int dirFd = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                             O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace platform
