#include "WinePrefix.h"
#include "FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sys/statfs.h>

namespace platform {

namespace {

// Folders under system32 that Wine leaves unredirected for 32-bit programs.
const QStringList kNotRedirected = {
    QStringLiteral("catroot"),      QStringLiteral("catroot2"), QStringLiteral("driverstore"),
    QStringLiteral("drivers\\etc"), QStringLiteral("logfiles"), QStringLiteral("spool"),
};

bool startsWithFolder(const QString &path, const QString &folder)
{
    return path.startsWith(folder, Qt::CaseInsensitive) &&
           (path.size() == folder.size() || path[folder.size()] == u'\\');
}

} // namespace

WinePrefix::WinePrefix(QString root)
    : m_root(QDir::cleanPath(std::move(root)))
{
}

WinePrefix WinePrefix::fromEnvironment()
{
    const QString env = qEnvironmentVariable("WINEPREFIX");
    if (!env.isEmpty())
        return WinePrefix(QFileInfo(env).absoluteFilePath());
    return WinePrefix(QDir::homePath() + QStringLiteral("/.wine"));
}

QString WinePrefix::dosdevicesDir() const
{
    return m_root + QStringLiteral("/dosdevices");
}

QString WinePrefix::driveCDir() const
{
    return m_root + QStringLiteral("/drive_c");
}

QString WinePrefix::deviceEntry(QChar letter) const
{
    return dosdevicesDir() + u'/' + letter.toLower() + u':';
}

bool WinePrefix::is64Bit() const
{
    if (m_is64Bit)
        return *m_is64Bit;
    // Wine records the architecture in system.reg. A prefix Wine has not set up
    // yet will get the architecture WINEARCH asks for, 64-bit by default.
    QFile reg(m_root + QStringLiteral("/system.reg"));
    if (reg.open(QIODevice::ReadOnly)) {
        for (int i = 0; i < 20 && !reg.atEnd(); ++i) {
            const QByteArray line = reg.readLine().trimmed();
            if (line == "#arch=win32" || line == "#arch=win64") {
                m_is64Bit = line == "#arch=win64";
                return *m_is64Bit;
            }
        }
    }
    return qEnvironmentVariable("WINEARCH").compare(QStringLiteral("win32"), Qt::CaseInsensitive) != 0;
}

QString WinePrefix::toUnixPath(const QString &windowsPath) const
{
    if (windowsPath.startsWith(u'/'))
        return windowsPath;

    QString path = windowsPath;
    path.replace(u'/', u'\\');
    if (path.size() < 2 || path[1] != u':' || !path[0].isLetter() || path[0].unicode() > 0x7F)
        return {};

    // Resolve "." and ".." as Windows does before it looks at the disk.
    QStringList parts;
    for (const QString &part : path.mid(2).split(u'\\', Qt::SkipEmptyParts)) {
        if (part == u'.')
            continue;
        if (part == QStringLiteral("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    const QChar drive = path[0].toUpper();

    if (drive == u'C' && is64Bit()) {
        const QString rest = parts.join(u'\\');
        const QString sys = QStringLiteral("windows\\system32");
        if (startsWithFolder(rest, sys)) {
            const QString below = rest.mid(sys.size() + 1);
            bool exempt = false;
            for (const QString &f : kNotRedirected)
                exempt = exempt || startsWithFolder(below, f);
            if (!exempt)
                parts[1] = QStringLiteral("syswow64");
        }
    }

    QString unix = deviceEntry(drive);
    bool exists = QFileInfo::exists(unix);
    for (const QString &part : parts) {
        if (exists) {
            const QString match = findEntryIgnoringCase(QDir(unix), part);
            if (match.isEmpty()) {
                exists = false;
                unix += u'/' + part;
            } else {
                unix += u'/' + match;
            }
        } else {
            unix += u'/' + part;
        }
    }
    return unix;
}

int WinePrefix::driveType(QChar letter) const
{
    const QFileInfo entry(deviceEntry(letter));
    if (!entry.exists() || !entry.isDir())
        return 1;
    struct statfs fs {};
    if (::statfs(QFile::encodeName(entry.absoluteFilePath()).constData(), &fs) == 0) {
        switch (static_cast<unsigned long>(fs.f_type)) {
        case 0x6969:     // NFS
        case 0xFF534D42: // CIFS
        case 0xFE534D42: // SMB2
        case 0x517B:     // SMB
            return 4;
        case 0x9660:     // ISO 9660
        case 0x15013346: // UDF
            return 5;
        default:
            break;
        }
    }
    return 3;
}

bool WinePrefix::ensureSkeleton(QString *error) const
{
    const QDir root(m_root);
    const bool dirsOk = root.mkpath(QStringLiteral("dosdevices")) &&
                        root.mkpath(QStringLiteral("drive_c/windows/system32")) &&
                        (!is64Bit() || root.mkpath(QStringLiteral("drive_c/windows/syswow64")));
    if (!dirsOk) {
        if (error)
            *error = QStringLiteral("cannot create the Wine prefix folders in %1").arg(m_root);
        return false;
    }
    const QFileInfo c(deviceEntry(u'c'));
    if (!c.exists() && !c.isSymLink())
        QFile::link(QStringLiteral("../drive_c"), deviceEntry(u'c'));
    const QFileInfo z(deviceEntry(u'z'));
    if (!z.exists() && !z.isSymLink())
        QFile::link(QStringLiteral("/"), deviceEntry(u'z'));
    return true;
}

} // namespace platform
