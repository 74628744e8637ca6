#include "ChmFile.h"
#include "platform/FileNames.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace shell::help {

namespace {

// #SYSTEM record codes of the help project's [OPTIONS].
constexpr quint16 kSystemContentsFile = 0;
constexpr quint16 kSystemDefaultTopic = 2;
constexpr quint16 kSystemTitle = 3;

quint32 le32(const QByteArray &b, qsizetype at)
{
    const auto *p = reinterpret_cast<const uchar *>(b.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 le16(const QByteArray &b, qsizetype at)
{
    const auto *p = reinterpret_cast<const uchar *>(b.constData() + at);
    return quint16(p[0] | p[1] << 8);
}

// Help projects are written in UTF-8 here, but files made elsewhere use the
// Windows code page of their language; Latin-1 reads those closely enough.
QString decodeText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

// The text up to the first NUL.
QString cString(const QByteArray &b, qsizetype from, qsizetype to)
{
    if (from < 0 || from >= to)
        return {};
    qsizetype end = b.indexOf('\0', from);
    if (end < 0 || end > to)
        end = to;
    return decodeText(QByteArrayView(b).sliced(from, end - from));
}

QString normalisedInternalPath(QString path)
{
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    return path;
}

QString decodeEntities(const QString &text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    static const QRegularExpression entity(QStringLiteral("&(#[0-9]+|#[xX][0-9a-fA-F]+|[a-zA-Z]+);"));
    QString out;
    qsizetype last = 0;
    for (const QRegularExpressionMatch &m : entity.globalMatch(text)) {
        out += QStringView(text).mid(last, m.capturedStart() - last);
        const QString name = m.captured(1);
        QString replacement = m.captured(0);
        if (name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)) {
            bool ok = false;
            const uint code = name.mid(2).toUInt(&ok, 16);
            if (ok && code > 0 && code <= 0x10FFFF)
                replacement = QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        } else if (name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const uint code = name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF)
                replacement = QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        } else if (name == QLatin1String("amp")) {
            replacement = QStringLiteral("&");
        } else if (name == QLatin1String("lt")) {
            replacement = QStringLiteral("<");
        } else if (name == QLatin1String("gt")) {
            replacement = QStringLiteral(">");
        } else if (name == QLatin1String("quot")) {
            replacement = QStringLiteral("\"");
        } else if (name == QLatin1String("apos")) {
            replacement = QStringLiteral("'");
        } else if (name == QLatin1String("nbsp")) {
            replacement = QString(QChar(0xA0));
        }
        out += replacement;
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

// name="value", name='value' or name=value, names in lower case.
QHash<QString, QString> attributes(const QString &tagBody)
{
    static const QRegularExpression attribute(
        QStringLiteral(R"re(([A-Za-z_:][-A-Za-z0-9_:.]*)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))re"));
    QHash<QString, QString> result;
    for (const QRegularExpressionMatch &m : attribute.globalMatch(tagBody)) {
        QString value = m.captured(2);
        if (m.capturedStart(3) >= 0)
            value = m.captured(3);
        else if (m.capturedStart(4) >= 0)
            value = m.captured(4);
        result.insert(m.captured(1).toLower(), decodeEntities(value));
    }
    return result;
}

ChmFile::Reader &readerSettings()
{
    static ChmFile::Reader reader;
    return reader;
}

} // namespace

void ChmFile::setReader(const Reader &reader)
{
    readerSettings() = reader;
}

ChmFile::Reader ChmFile::reader()
{
    return readerSettings();
}

ChmFile::ChmFile(QString path, ChmContents contents)
    : m_path(std::move(path))
    , m_contents(std::move(contents))
{
    for (qsizetype i = 0; i < m_contents.entries.size(); ++i)
        m_byName.insert(m_contents.entries[i].path.toLower(), i);
    readSystem();
}

QString ChmFile::findFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.filePath();
    const QDir folder = info.dir();
    const QString entry = platform::findEntryIgnoringCase(folder, info.fileName());
    return entry.isEmpty() ? QString() : folder.filePath(entry);
}

// The reader's output is read as it comes, so that one writing without end is
// stopped at the limit instead of filling the memory.
std::optional<ChmContents> ChmFile::runReader(const QString &path, Failure *failure)
{
    const Reader settings = reader();
    const QString program = settings.program.isEmpty()
                                ? QCoreApplication::applicationDirPath() + QStringLiteral("/zeko-help-reader")
                                : settings.program;
    QProcess process;
    // Its reason for refusing a file goes where the manager's own messages go.
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, {path}, QIODevice::ReadOnly);
    const QDeadlineTimer deadline(settings.timeLimit);
    QByteArray frames;
    bool overrun = false;
    if (process.waitForStarted(int(deadline.remainingTime()))) {
        while (process.state() == QProcess::Running && !deadline.hasExpired()) {
            // Once the reader has closed its output, only its end is left to wait for.
            if (!process.waitForReadyRead(int(deadline.remainingTime())) &&
                process.state() == QProcess::Running)
                process.waitForFinished(int(deadline.remainingTime()));
            frames += process.readAllStandardOutput();
            if (frames.size() > settings.outputLimit) {
                overrun = true;
                break;
            }
        }
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
        frames += process.readAllStandardOutput();
    }
    std::optional<ChmContents> contents;
    if (process.error() == QProcess::UnknownError && process.exitStatus() == QProcess::NormalExit) {
        if (process.exitCode() == ChmContents::kExitNotAChm) {
            *failure = Failure::NotAChm;
            return std::nullopt;
        }
        if (process.exitCode() == 0 && !overrun && frames.size() <= settings.outputLimit)
            contents = ChmContents::fromFrames(frames);
    }
    if (!contents)
        *failure = Failure::Damaged;
    return contents;
}

std::unique_ptr<ChmFile> ChmFile::open(const QString &path, Failure *failure)
{
    Failure why = Failure::None;
    auto fail = [failure, &why](Failure reason) {
        why = reason;
        if (failure)
            *failure = why;
        return nullptr;
    };
    const QString actual = findFile(path);
    if (actual.isEmpty())
        return fail(Failure::Missing);
    if (!QFileInfo(actual).isFile())
        return fail(Failure::NotAChm);
    std::optional<ChmContents> contents = runReader(actual, &why);
    if (!contents)
        return fail(why);
    return fromContents(actual, std::move(*contents), failure);
}

std::unique_ptr<ChmFile> ChmFile::fromContents(const QString &path, ChmContents contents, Failure *failure)
{
    auto fail = [failure](Failure reason) {
        if (failure)
            *failure = reason;
        return nullptr;
    };
    std::unique_ptr<ChmFile> chm(new ChmFile(path, std::move(contents)));
    // Every help compiler writes #SYSTEM; an archive without it holds no help.
    const ChmContents::Entry *system = chm->entry(QStringLiteral("/#SYSTEM"));
    if (!system)
        return fail(Failure::NotAChm);
    if (!system->data)
        return fail(Failure::Damaged);
    if (failure)
        *failure = Failure::None;
    return chm;
}

const ChmContents::Entry *ChmFile::entry(const QString &internalPath) const
{
    const QString path = normalisedInternalPath(internalPath);
    if (path.endsWith(QLatin1Char('/')))
        return nullptr;
    const auto found = m_byName.constFind(path.toUtf8().toLower());
    return found == m_byName.cend() ? nullptr : &m_contents.entries[*found];
}

QStringList ChmFile::files() const
{
    QStringList list;
    for (const ChmContents::Entry &e : m_contents.entries) {
        // As chmlib tells them: /#... and /$... are the compiler's own, not the project's.
        if (e.path.size() < 2 || e.path[1] == '#' || e.path[1] == '$' || !e.path.startsWith('/'))
            continue;
        list.append(decodeText(e.path));
    }
    return list;
}

bool ChmFile::contains(const QString &internalPath) const
{
    return entry(internalPath) != nullptr;
}

std::optional<QByteArray> ChmFile::read(const QString &internalPath) const
{
    const ChmContents::Entry *e = entry(internalPath);
    return e ? e->data : std::nullopt;
}

// #SYSTEM: a version dword, then records of a code word, a length word and that
// many bytes; the text records hold a NUL-terminated string.
void ChmFile::readSystem()
{
    const std::optional<QByteArray> system = read(QStringLiteral("/#SYSTEM"));
    if (!system)
        return;
    const QByteArray &b = *system;
    qsizetype at = 4;
    while (at + 4 <= b.size()) {
        const quint16 code = le16(b, at);
        const qsizetype length = le16(b, at + 2);
        const qsizetype data = at + 4;
        const qsizetype end = std::min(data + length, b.size());
        switch (code) {
        case kSystemContentsFile:
            m_contentsFile = cString(b, data, end);
            break;
        case kSystemDefaultTopic:
            m_defaultTopic = cString(b, data, end);
            break;
        case kSystemTitle:
            m_title = cString(b, data, end);
            break;
        default:
            break;
        }
        at = data + length;
    }
}

QString ChmFile::resolveTopic(const QString &stored) const
{
    QString path = stored.trimmed();
    QString fragment;
    if (const qsizetype hash = path.indexOf(QLatin1Char('#')); hash >= 0) {
        fragment = path.mid(hash);
        path.truncate(hash);
    }
    if (const qsizetype separator = path.indexOf(QLatin1String("::")); separator >= 0)
        path = path.mid(separator + 2);
    if (path.isEmpty())
        return {};
    path = normalisedInternalPath(path);
    // Free Pascal's compiler stores the absolute path the topic had on the
    // compiling machine; the tail that names a file inside is the topic.
    for (qsizetype at = 0; at >= 0; at = path.indexOf(QLatin1Char('/'), at + 1)) {
        const QString candidate = path.mid(at);
        if (contains(candidate))
            return candidate + fragment;
    }
    return {};
}

// #IVB: a dword with the byte size of what follows, then pairs of dwords: the
// context number and the offset of the topic's name in #STRINGS.
QString ChmFile::topicForContext(quint32 context, Failure *failure) const
{
    auto result = [failure](const QString &topic) {
        if (failure)
            *failure = topic.isEmpty() ? Failure::NoSuchContext : Failure::None;
        return topic;
    };
    const std::optional<QByteArray> ivb = read(QStringLiteral("/#IVB"));
    if (!ivb || ivb->size() < 4 + 8)
        return result(resolveTopic(m_defaultTopic));

    const QByteArray &map = *ivb;
    const qsizetype end = 4 + std::min<qsizetype>(le32(map, 0), map.size() - 4);
    for (qsizetype at = 4; at + 8 <= end; at += 8) {
        if (le32(map, at) != context)
            continue;
        const std::optional<QByteArray> strings = read(QStringLiteral("/#STRINGS"));
        if (!strings)
            return result({});
        const qsizetype offset = le32(map, at + 4);
        return result(resolveTopic(cString(*strings, offset, strings->size())));
    }
    return result({});
}

QList<ChmFile::TocEntry> ChmFile::contents() const
{
    QString hhc = m_contentsFile;
    if (hhc.isEmpty()) {
        const QStringList all = files();
        const auto found = std::find_if(all.begin(), all.end(), [](const QString &f) {
            return f.endsWith(QLatin1String(".hhc"), Qt::CaseInsensitive);
        });
        if (found == all.end())
            return {};
        hhc = *found;
    }
    const std::optional<QByteArray> data = read(hhc);
    return data ? parseSitemap(*data) : QList<TocEntry>{};
}

QList<ChmFile::TocEntry> ChmFile::parseSitemap(const QByteArray &hhc)
{
    static const QRegularExpression token(
        QStringLiteral(
            R"re(<\s*(?<close>/?)\s*ul\b[^>]*>|<\s*object\b(?<attrs>[^>]*)>(?<body>.*?)<\s*/\s*object\s*>)re"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression param(QStringLiteral(R"re(<\s*param\b([^>]*)>)re"),
                                          QRegularExpression::CaseInsensitiveOption);

    const QString text = decodeText(hhc);
    QList<TocEntry> entries;
    int openLists = 0;
    for (const QRegularExpressionMatch &m : token.globalMatch(text)) {
        if (m.capturedStart(u"attrs") < 0) {
            openLists += m.captured(u"close").isEmpty() ? 1 : -1;
            openLists = std::max(openLists, 0);
            continue;
        }
        if (attributes(m.captured(u"attrs"))
                .value(QStringLiteral("type"))
                .compare(QLatin1String("text/sitemap"), Qt::CaseInsensitive) != 0)
            continue;
        TocEntry entry;
        entry.depth = std::max(openLists - 1, 0);
        for (const QRegularExpressionMatch &p : param.globalMatch(m.captured(u"body"))) {
            const QHash<QString, QString> a = attributes(p.captured(1));
            const QString name = a.value(QStringLiteral("name"));
            // Several "Name" params mean one entry under several titles; the first one is shown.
            if (name.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0 && entry.name.isEmpty())
                entry.name = a.value(QStringLiteral("value")).trimmed();
            else if (name.compare(QLatin1String("Local"), Qt::CaseInsensitive) == 0 && entry.local.isEmpty())
                entry.local = a.value(QStringLiteral("value")).trimmed();
        }
        if (entry.name.isEmpty())
            continue;
        if (!entry.local.isEmpty()) {
            if (const qsizetype separator = entry.local.indexOf(QLatin1String("::")); separator >= 0)
                entry.local = entry.local.mid(separator + 2);
            entry.local = normalisedInternalPath(entry.local);
        }
        entries.append(entry);
    }
    return entries;
}

} // namespace shell::help
