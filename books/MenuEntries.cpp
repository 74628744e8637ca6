#include "MenuEntries.h"

#include "shell/DataPlaces.h"
#include "shell/registry/Recordset.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace books {

namespace {

const QString kFilePrefix = QStringLiteral("zeko-download-book-");
const QString kSuffix = QStringLiteral(".desktop");
const QByteArray kPrefixKey = "X-ZEKO-Prefix=";
// The longest name most file systems take, in bytes.
constexpr qsizetype kMaxFileName = 255;

void say(const QString &what)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(what));
}

QString hashOf(const QString &text, int length)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex().left(length));
}

// A string value may hold no control character but those it has escapes for.
bool representable(const QString &text)
{
    for (const QChar c : text)
        if ((c.unicode() < 0x20 && c != u'\n' && c != u'\t' && c != u'\r') || c.unicode() == 0x7f)
            return false;
    return true;
}

// The escapes of a string value; a leading blank would be taken for the space
// after the equals sign.
QString stringValue(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u' ' && i == 0)
            out += QStringLiteral("\\s");
        else
            out += c;
    }
    return out;
}

QString unescapeString(const QString &value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        out += next == u's'   ? QChar(u' ')
               : next == u'n' ? QChar(u'\n')
               : next == u't' ? QChar(u'\t')
               : next == u'r' ? QChar(u'\r')
                              : next;
    }
    return out;
}

// One argument of Exec, quoted: `"`, `` ` ``, `$` and `\` take a backslash inside
// the quotes, and `%` is doubled, since a single one starts a field code. The
// string escapes come on top of that (stringValue).
QString execArgument(const QString &argument)
{
    QString out(u'"');
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        if (c == u'%')
            out += u'%';
        out += c;
    }
    return out + u'"';
}

} // namespace

MenuEntries::MenuEntries(QString applicationsDir, QString zekoBooks, QString prefix)
    : m_folder(std::move(applicationsDir))
    , m_zekoBooks(std::move(zekoBooks))
    , m_prefix(std::move(prefix))
{
}

MenuEntries MenuEntries::forProgram(const QString &programFolder, const QString &prefix)
{
    const QFileInfo info(prefix);
    const QString canonical = info.canonicalFilePath();
    return MenuEntries(shell::DataPlaces::dataHome() + QStringLiteral("/applications"),
                       programFolder + QStringLiteral("/zeko-books"),
                       canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical);
}

QString MenuEntries::fileName(const QString &name) const
{
    QString escaped;
    for (const char byte : name.toUtf8()) {
        const auto b = static_cast<unsigned char>(byte);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9'))
            escaped += QChar(b);
        else
            escaped += QStringLiteral("_%1").arg(b, 2, 16, QChar(u'0')).toUpper();
    }
    const QString head = kFilePrefix + hashOf(m_prefix, 12) + u'-';
    const qsizetype room = kMaxFileName - head.size() - kSuffix.size();
    if (escaped.size() > room) {
        // Too long for a file name: what fits, cut between escapes, then the whole
        // name's hash. The dash marks it, for no escape holds one.
        qsizetype keep = room - 17;
        while (keep > 0 && escaped.lastIndexOf(u'_', keep - 1) > keep - 3)
            --keep;
        escaped = escaped.left(keep) + u'-' + hashOf(name, 16);
    }
    return head + escaped + kSuffix;
}

QByteArray MenuEntries::contents(const Book &book) const
{
    if (book.name.isEmpty() || !representable(book.name) || !representable(book.drive))
        return {};
    const QString exec = QStringLiteral("env ") + execArgument(QStringLiteral("WINEPREFIX=") + m_prefix) +
                         u' ' + execArgument(m_zekoBooks) + QStringLiteral(" open -- ") +
                         execArgument(book.name);
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Version=1.4\n");
    text +=
        QStringLiteral("Name=") + stringValue(book.name + QStringLiteral(" (") + book.drive + u')') + u'\n';
    text += QStringLiteral("Comment=Opens this book of ZEKO Download\n"
                           "Comment[pt]=Abre este livro do ZEKO Download\n"
                           "Comment[es]=Abre este libro de ZEKO Download\n");
    text += QStringLiteral("Exec=") + stringValue(exec) + u'\n';
    text += QStringLiteral("TryExec=") + stringValue(m_zekoBooks) + u'\n';
    text += QStringLiteral("Icon=org.example.zeko_download\n"
                           "Terminal=false\n"
                           "Categories=Education;\n");
    text += QString::fromLatin1(kPrefixKey) + stringValue(m_prefix) + u'\n';
    return text.toUtf8();
}

QString MenuEntries::prefixOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : f.read(64 * 1024).split('\n'))
        if (line.startsWith(kPrefixKey))
            return unescapeString(QString::fromUtf8(line.mid(kPrefixKey.size())));
    return {};
}

bool MenuEntries::writeFile(const QString &path, const QByteArray &bytes) const
{
    int error = 0;
    if (!shell::DataPlaces::makeFolder(m_folder, &error)) {
        say(QStringLiteral("menu entry %1 not written: %2")
                .arg(path, QString::fromLocal8Bit(strerror(error))));
        return false;
    }
    // Never in the place of a file that is not one of this prefix's entries.
    if (QFileInfo::exists(path) && prefixOf(path) != m_prefix) {
        say(QStringLiteral("menu entry %1 not written: the file there is not ours").arg(path));
        return false;
    }
    // The temporary name ends in no .desktop, so no menu takes it up half written.
    QByteArray tmpl =
        QFile::encodeName(m_folder + QStringLiteral("/.") + kFilePrefix + QStringLiteral("XXXXXX"));
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    bool ok = fd >= 0 && ::fchmod(fd, 0644) == 0;
    for (qsizetype done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno != EINTR)
            ok = false;
        else if (n > 0)
            done += n;
    }
    ok = ok && ::fsync(fd) == 0;
    error = errno;
    if (fd >= 0 && ::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(name.data(), QFile::encodeName(path).constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        if (fd >= 0)
            ::unlink(name.data());
        say(QStringLiteral("menu entry %1 not written: %2")
                .arg(path, QString::fromLocal8Bit(strerror(error))));
    }
    return ok;
}

bool MenuEntries::write(const Book &book) const
{
    if (!active())
        return true;
    const QByteArray bytes = contents(book);
    if (bytes.isEmpty()) {
        say(QStringLiteral("no menu entry for the book \"%1\": its name holds a control character")
                .arg(book.name));
        return false;
    }
    return writeFile(m_folder + u'/' + fileName(book.name), bytes);
}

bool MenuEntries::remove(const QString &name) const
{
    if (!active())
        return true;
    const QString path = m_folder + u'/' + fileName(name);
    const QByteArray native = QFile::encodeName(path);
    if (::unlink(native.constData()) == 0 || errno == ENOENT)
        return true;
    say(QStringLiteral("menu entry %1 not deleted: %2").arg(path, QString::fromLocal8Bit(strerror(errno))));
    return false;
}

bool MenuEntries::sync(const QList<Book> &books) const
{
    if (!active())
        return true;
    QHash<QString, QByteArray> wanted;
    for (const Book &book : books) {
        if (const QByteArray bytes = contents(book); !bytes.isEmpty())
            wanted.insert(fileName(book.name), bytes);
        else
            say(QStringLiteral("no menu entry for the book \"%1\": its name holds a control character")
                    .arg(book.name));
    }
    bool ok = true;
    const QDir dir(m_folder);
    // Only this prefix's entries that name no book go; a file of another prefix,
    // or of anyone else, stays whatever its name.
    for (const QString &entry :
         dir.entryList({kFilePrefix + u'*' + kSuffix}, QDir::Files | QDir::Hidden | QDir::System)) {
        if (wanted.contains(entry) || prefixOf(dir.filePath(entry)) != m_prefix)
            continue;
        if (::unlink(QFile::encodeName(dir.filePath(entry)).constData()) != 0 && errno != ENOENT) {
            say(QStringLiteral("menu entry %1 not deleted: %2")
                    .arg(dir.filePath(entry), QString::fromLocal8Bit(strerror(errno))));
            ok = false;
        }
    }
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        const QString path = dir.filePath(it.key());
        QFile existing(path);
        if (existing.open(QIODevice::ReadOnly) && existing.read(it.value().size() + 1) == it.value())
            continue;
        ok = writeFile(path, it.value()) && ok;
    }
    return ok;
}

QList<MenuEntries::Book> MenuEntries::booksOf(shell::registry::Recordset &rs)
{
    QList<Book> books;
    if (rs.isEmpty())
        return books;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        books.append({rs.field(QStringLiteral("Curso")).toString(),
                      rs.field(QStringLiteral("LetraDrive")).toString()});
    rs.moveFirst();
    return books;
}

} // namespace books
