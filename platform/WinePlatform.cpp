#include "WinePlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cerrno>
#include <pwd.h>
#include <unistd.h>

namespace platform {

namespace {

QString cleanDevice(const QString &device)
{
    // "X:" or "x:" name the same entry; anything else is no drive device.
    if (device.size() != 2 || device[1] != u':' || !device[0].isLetter() || device[0].unicode() > 0x7F)
        return {};
    return device.toLower();
}

// Where a dosdevices entry leads, as an absolute unix path (not resolved further).
QString linkTarget(const QFileInfo &entry)
{
    const QString target = entry.symLinkTarget();
    return target.isEmpty() ? QString() : QDir::cleanPath(target);
}

// The path with every link resolved, as far as it exists; the missing rest kept.
QString canonicalOrClean(const QString &path)
{
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString rest;
    while (!existing.isEmpty() && existing != QStringLiteral("/") && !QFileInfo::exists(existing)) {
        const qsizetype slash = existing.lastIndexOf(u'/');
        rest.prepend(existing.mid(slash));
        existing = slash > 0 ? existing.left(slash) : QStringLiteral("/");
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    return QDir::cleanPath((canonical.isEmpty() ? existing : canonical) + rest);
}

} // namespace

WinePlatform::WinePlatform(WinePrefix prefix, const WineHost *host)
    : m_prefix(std::move(prefix))
    , m_host(host)
{
}

QString WinePlatform::systemDirectory() const
{
    // The stored and shown path stays the Windows one; toUnixPath redirects it.
    return QStringLiteral("C:\\windows\\system32");
}

QString WinePlatform::loginName()
{
    if (const passwd *pw = ::getpwuid(::geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

std::optional<QString> WinePlatform::userName(int bufferSize) const
{
    const QString name = loginName();
    if (name.isEmpty() || name.size() + 1 > bufferSize)
        return std::nullopt;
    return name;
}

int WinePlatform::driveType(QChar letter) const
{
    return m_prefix.driveType(letter);
}

DeviceOutcome WinePlatform::defineDosDevice(const QString &device, const QString &target)
{
    const QString dev = cleanDevice(device);
    if (dev.isEmpty())
        return DeviceOutcome::failed(DeviceFailure::Other,
                                     QStringLiteral("%1 is not a drive letter").arg(device));
    const QString folder = canonicalOrClean(toUnixPath(target));
    if (!QFileInfo(folder).isDir())
        return DeviceOutcome::failed(DeviceFailure::Other, QStringLiteral("%1 is not a folder").arg(target));
    const QString entryPath = m_prefix.dosdevicesDir() + u'/' + dev;
    const QFileInfo entry(entryPath);
    if (entry.isSymLink() && !entry.exists()) {
        // A mapping whose folder vanished: the letter is free, the entry is litter.
        if (::unlink(QFile::encodeName(entryPath).constData()) != 0)
            return DeviceOutcome::failed(DeviceFailure::Other,
                                         QStringLiteral("cannot remove the stale entry %1").arg(entryPath),
                                         errno);
    } else if (entry.exists() || entry.isSymLink()) {
        return DeviceOutcome::failed(DeviceFailure::InUse,
                                     QStringLiteral("drive %1 is already in use").arg(device.toUpper()));
    }
    if (!QDir().mkpath(m_prefix.dosdevicesDir()))
        return DeviceOutcome::failed(DeviceFailure::Other,
                                     QStringLiteral("cannot create %1").arg(m_prefix.dosdevicesDir()),
                                     errno ? errno : EACCES);
    if (::symlink(QFile::encodeName(folder).constData(), QFile::encodeName(entryPath).constData()) != 0)
        return DeviceOutcome::failed(errno == EEXIST ? DeviceFailure::InUse : DeviceFailure::Other,
                                     QStringLiteral("cannot create %1").arg(entryPath), errno);
    return {};
}

DeviceOutcome WinePlatform::removeDosDevice(const QString &device, const QString &target)
{
    const QString dev = cleanDevice(device);
    if (dev.isEmpty() || dev == QStringLiteral("c:"))
        return DeviceOutcome::failed(DeviceFailure::Other,
                                     QStringLiteral("%1 is not a drive that can be removed").arg(device));
    const QString entryPath = m_prefix.dosdevicesDir() + u'/' + dev;
    const QFileInfo entry(entryPath);
    if (!entry.isSymLink())
        return DeviceOutcome::failed(DeviceFailure::NotThisFolder,
                                     QStringLiteral("drive %1 is not a mapping").arg(device.toUpper()));
    // A path on the very drive being removed cannot be what it maps.
    const QString t = QString(target).replace(u'/', u'\\');
    if (t.size() >= 2 && t[1] == u':' && t[0].toLower() == dev[0])
        return DeviceOutcome::failed(
            DeviceFailure::NotThisFolder,
            QStringLiteral("drive %1 does not map %2").arg(device.toUpper(), target));
    const QString leadsTo = canonicalOrClean(linkTarget(entry));
    const QString wanted = canonicalOrClean(toUnixPath(target));
    if (leadsTo != wanted || leadsTo == QStringLiteral("/"))
        return DeviceOutcome::failed(
            DeviceFailure::NotThisFolder,
            QStringLiteral("drive %1 does not map %2").arg(device.toUpper(), target));
    if (::unlink(QFile::encodeName(entryPath).constData()) != 0)
        return DeviceOutcome::failed(DeviceFailure::Other, QStringLiteral("cannot remove %1").arg(entryPath),
                                     errno);
    return {};
}

bool WinePlatform::isMapping(QChar letter) const
{
    const QChar l = letter.toLower();
    return l != u'c' && QFileInfo(m_prefix.deviceEntry(l)).isSymLink();
}

QString WinePlatform::toUnixPath(const QString &windowsPath) const
{
    return m_prefix.toUnixPath(windowsPath);
}

bool WinePlatform::fileExists(const QString &windowsPath) const
{
    const QString unix = toUnixPath(windowsPath);
    return !unix.isEmpty() && QFileInfo(unix).isFile();
}

bool WinePlatform::directoryExists(const QString &windowsPath) const
{
    const QString unix = toUnixPath(windowsPath);
    return !unix.isEmpty() && QFileInfo(unix).isDir();
}

QList<ProcessEntry> WinePlatform::processes() const
{
    QList<ProcessEntry> list;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::vector<qint64> pids;
    for (const QString &e : entries) {
        bool ok = false;
        const qint64 pid = e.toLongLong(&ok);
        if (ok)
            pids.push_back(pid);
    }
    std::sort(pids.begin(), pids.end());
    for (qint64 pid : pids) {
        const QString dir = QStringLiteral("/proc/%1/").arg(pid);
        QFile commFile(dir + QStringLiteral("comm"));
        if (!commFile.open(QIODevice::ReadOnly))
            continue; // ended meanwhile
        const QString comm = QString::fromLocal8Bit(commFile.readAll()).trimmed();
        // A process that has ended but not been reaped yet is no longer running.
        QFile statFile(dir + QStringLiteral("stat"));
        if (statFile.open(QIODevice::ReadOnly)) {
            const QByteArray stat = statFile.readAll();
            const qsizetype close = stat.lastIndexOf(')');
            if (close >= 0 && close + 2 < stat.size() && (stat[close + 2] == 'Z' || stat[close + 2] == 'X'))
                continue;
        }
        QFile cmdFile(dir + QStringLiteral("cmdline"));
        QString argv0;
        if (cmdFile.open(QIODevice::ReadOnly)) {
            const QByteArray cmd = cmdFile.readAll();
            argv0 = QString::fromLocal8Bit(cmd.left(cmd.indexOf('\0') < 0 ? cmd.size() : cmd.indexOf('\0')));
        }
        // Wine shows a program as "pupilapp.exe" in comm, cut to 15 characters;
        // argv[0], often a Windows path, carries the full name.
        const QString base = argv0.mid(std::max(argv0.lastIndexOf(u'\\'), argv0.lastIndexOf(u'/')) + 1);
        const QString name = (!base.isEmpty() && base.startsWith(comm)) ? base : comm;
        list.append({pid, name});
    }
    return list;
}

StartOutcome WinePlatform::startProgram(const QString &windowsExe, const QStringList &arguments,
                                        const QString &workingDirectory)
{

    const QString exe = toUnixPath(windowsExe);
    const WindowsExecutable::Kind kind = WindowsExecutable::kindOf(exe);
    if (kind == WindowsExecutable::Kind::Unreadable)
        return StartOutcome::failed(StartFailure::NotFound, QStringLiteral("cannot find %1").arg(windowsExe));
    if (kind != WindowsExecutable::Kind::X86 && kind != WindowsExecutable::Kind::X64)
        return StartOutcome::failed(
            StartFailure::NotAProgram,
            QStringLiteral("%1 is not a Windows program for this computer").arg(windowsExe));

    const WineHost &wine = host();
    if (!wine.installed())
        return StartOutcome::failed(StartFailure::WineMissing,
                                    QStringLiteral("cannot start %1: Wine is not installed").arg(windowsExe));
    if (kind == WindowsExecutable::Kind::X86 && !wine.runs32())
        return StartOutcome::failed(
            wine.limit32() == WineHost::Limit32::No32BitLinux ? StartFailure::No32BitLinux
                                                              : StartFailure::No32BitWine,
            QStringLiteral("cannot start the 32-bit program %1: %2").arg(windowsExe, wine.reason32()));
    if (kind == WindowsExecutable::Kind::X64 && QFileInfo(m_prefix.driveCDir()).isDir() &&
        !m_prefix.is64Bit())
        return StartOutcome::failed(
            StartFailure::Other,
            QStringLiteral("cannot start the 64-bit program %1 in a 32-bit Wine prefix").arg(windowsExe));
    const QString loader = wine.loaderFor(kind);
    if (loader.isEmpty())
        return StartOutcome::failed(
            StartFailure::Other,
            QStringLiteral("cannot start the 64-bit program %1: this Wine runs 32-bit programs only")
                .arg(windowsExe));

    QProcess process;
    // The loader itself, not a wrapper script: a loader that cannot run is then
    // the start's own failure instead of a message on a terminal nobody reads.
    process.setProgram(loader);
    process.setArguments(QStringList{windowsExe} + arguments);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WINEPREFIX"), m_prefix.root());
    // Wine starts the programs a program starts with the same loader.
    if (kind == WindowsExecutable::Kind::X64)
        env.insert(QStringLiteral("WINELOADER"), loader);
    if (!env.contains(QStringLiteral("WINEDEBUG")))
        env.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("fixme-all"));
    process.setProcessEnvironment(env);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(toUnixPath(workingDirectory));
    process.setStandardInputFile(QProcess::nullDevice());
    errno = 0;
    if (!process.startDetached()) {
        const int err = errno ? errno : ENOEXEC;
        return StartOutcome::failed(
            StartFailure::Other, QStringLiteral("cannot start %1: %2").arg(windowsExe, process.errorString()),
            err);
    }
    return {};
}

const WineHost &WinePlatform::host() const
{
    return m_host ? *m_host : WineHost::current();
}

ProfileRead WinePlatform::getProfileString(const QString &section, const QString &key,
                                           const QString &defaultValue, int bufferSize,
                                           const QString &file) const
{
    return ProfileFile::readFile(toUnixPath(file), section, key, defaultValue, bufferSize);
}

Status WinePlatform::writeProfileString(const QString &section, const QString &key, const QString &value,
                                        const QString &file)
{
    const QString unix = toUnixPath(file);
    if (unix.isEmpty())
        return Status::failed(Failure::Failed,
                              QStringLiteral("%1 is not a path in the Wine prefix").arg(file));
    errno = 0;
    QString error;
    if (ProfileFile::writeFile(unix, section, key, value, &error))
        return {};
    // A file that refuses writes is found before any system call fails.
    const QFileInfo info(unix);
    return Status::failed(Failure::Failed, error,
                          errno                                 ? errno
                          : info.exists() && !info.isWritable() ? EACCES
                                                                : 0);
}

} // namespace platform
