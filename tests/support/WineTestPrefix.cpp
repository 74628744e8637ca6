#include "WineTestPrefix.h"

#include "platform/WindowsExecutable.h"
#include "platform/WineHost.h"

#include <map>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

using platform::WindowsExecutable;
using platform::WineHost;

QString wineserverProgram()
{
    const QString inPath = QStandardPaths::findExecutable(QStringLiteral("wineserver"));
    if (!inPath.isEmpty())
        return inPath;
    // Some packages keep wineserver out of PATH, beside the loader.
    for (const char *candidate :
         {"/usr/lib/wine/wineserver", "/usr/lib/wine/wineserver64", "/usr/lib/wine/wineserver32",
          "/usr/libexec/wine/wineserver", "/opt/wine-stable/bin/wineserver"}) {
        const QFileInfo info(QString::fromLatin1(candidate));
        if (info.isFile() && info.isExecutable())
            return info.absoluteFilePath();
    }
    return {};
}

// The last lines of a tool's output, enough to say why it failed without flooding the log.
QString tail(const QByteArray &output)
{
    constexpr qsizetype kMax = 2000;
    const QByteArray trimmed = output.trimmed();
    return QString::fromLocal8Bit(trimmed.size() > kMax ? trimmed.right(kMax) : trimmed);
}

void configure(QProcess &process, const QString &program, const QStringList &args, QProcessEnvironment env,
               const QString &workingDirectory)
{
    process.setProgram(program);
    process.setArguments(args);
    // As Debian's wrapper does when it runs the 64-bit loader: the programs Wine
    // starts on the way (wineboot's services, say) get the same loader.
    if (program == WineHost::current().facts().loader64 && !env.contains(QStringLiteral("WINELOADER")))
        env.insert(QStringLiteral("WINELOADER"), program);
    process.setProcessEnvironment(env);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
}

} // namespace

WineTestPrefix::WineTestPrefix(Arch arch, int bootTimeoutMs)
    : m_arch(arch)
    , m_root(QDir::tempPath() + QStringLiteral("/zeko-wine-XXXXXX"))
{
    if (!m_root.isValid()) {
        m_error = QStringLiteral("cannot create a temporary folder: %1").arg(m_root.errorString());
        return;
    }
    if (!wineAvailable()) {
        m_error = QStringLiteral("Wine is not available (wine and wineserver must be installed)");
        return;
    }
    if (WineHost::current().loaderForPrefix(arch == Arch::Win64).isEmpty()) {
        m_error = arch == Arch::Win64
                      ? QStringLiteral(
                            "64-bit Windows programs cannot run here: Wine's 64-bit part is not installed")
                      : QStringLiteral("32-bit Windows programs cannot run here: %1")
                            .arg(WineHost::current().reason32());
        return;
    }
    QDir root(m_root.path());
    if (!root.mkdir(QStringLiteral("prefix")) || !root.mkdir(QStringLiteral("home")) ||
        !root.mkdir(QStringLiteral("scratch"))) {
        m_error = QStringLiteral("cannot create folders in %1").arg(m_root.path());
        return;
    }
    m_ok = boot(bootTimeoutMs);
}

WineTestPrefix::~WineTestPrefix()
{
    if (!m_root.isValid())
        return;
    runWineserver(QStringLiteral("-k"), 30000);
    // Drive letters are symlinks to the rest of the system (z: is "/"). Unlink them
    // first, so that removing the folder can never reach what they point at.
    const QDir dosDevices(dosDevicesPath());
    const QStringList entries =
        dosDevices.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &entry : entries)
        QFile::remove(dosDevices.filePath(entry));
    m_root.remove();
}

QString WineTestPrefix::path() const
{
    return m_root.filePath(QStringLiteral("prefix"));
}

QString WineTestPrefix::driveCPath() const
{
    return path() + QStringLiteral("/drive_c");
}

QString WineTestPrefix::dosDevicesPath() const
{
    return path() + QStringLiteral("/dosdevices");
}

QString WineTestPrefix::scratchPath() const
{
    return m_root.filePath(QStringLiteral("scratch"));
}

QString WineTestPrefix::homePath() const
{
    return m_root.filePath(QStringLiteral("home"));
}

QProcessEnvironment WineTestPrefix::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WINEPREFIX"), path());
    env.insert(QStringLiteral("WINEARCH"),
               m_arch == Arch::Win32 ? QStringLiteral("win32") : QStringLiteral("win64"));
    env.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    // No Mono/Gecko install prompts; no menu entries or file associations in the real home.
    env.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml=;winemenubuilder.exe=d"));
    env.insert(QStringLiteral("HOME"), homePath());
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

bool WineTestPrefix::wineAvailable()
{
    static const bool available = WineHost::current().installed() && !wineserverProgram().isEmpty();
    return available;
}

QString WineTestPrefix::toWindowsPath(const QString &unixPath)
{
    QString clean = QDir::cleanPath(QFileInfo(unixPath).absoluteFilePath());
    return QStringLiteral("Z:") + clean.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

int WineTestPrefix::runWine(const QStringList &args, int timeoutMs, QByteArray *stdoutOut) const
{
    WineRunOptions options;
    options.timeoutMs = timeoutMs;
    const WineRunResult result = runWineDetailed(args, options);
    if (stdoutOut)
        *stdoutOut = result.standardOutput;
    return result.finished ? result.exitCode : kRunFailed;
}

WineRunResult WineTestPrefix::runWineDetailed(const QStringList &args, const WineRunOptions &options) const
{
    WineRunResult result;
    const QString wine = loaderFor(args);
    if (wine.isEmpty()) {
        result.error = QStringLiteral("no Wine loader here runs %1").arg(args.value(0));
        return result;
    }

    QElapsedTimer clock;
    clock.start();
    QProcess process;
    configure(process, wine, args, options.environment.value_or(environment()), options.workingDirectory);
    // A program that reads the console must see end of input, not wait on an open pipe.
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(options.timeoutMs)) {
        result.error = QStringLiteral("cannot start wine: %1").arg(process.errorString());
        return result;
    }
    const int left = options.timeoutMs - static_cast<int>(clock.elapsed());
    const bool ended = process.waitForFinished(left > 0 ? left : 1);
    if (!ended) {
        process.kill();
        process.waitForFinished(5000);
    }
    result.standardOutput = process.readAllStandardOutput();
    result.standardError = process.readAllStandardError();
    if (!ended)
        result.error = QStringLiteral("wine %1 did not end within %2 ms")
                           .arg(args.join(QLatin1Char(' ')))
                           .arg(options.timeoutMs);
    else if (process.exitStatus() != QProcess::NormalExit)
        result.error = QStringLiteral("wine %1 crashed").arg(args.join(QLatin1Char(' ')));
    else {
        result.finished = true;
        result.exitCode = process.exitCode();
    }
    return result;
}

std::unique_ptr<QProcess> WineTestPrefix::startWine(const QStringList &args, const WineRunOptions &options,
                                                    QString *error) const
{
    const QString wine = loaderFor(args);
    if (wine.isEmpty()) {
        if (error)
            *error = QStringLiteral("no Wine loader here runs %1").arg(args.value(0));
        return nullptr;
    }
    auto process = std::make_unique<QProcess>();
    configure(*process, wine, args, options.environment.value_or(environment()), options.workingDirectory);
    process->start();
    if (!process->waitForStarted(options.timeoutMs)) {
        if (error)
            *error = QStringLiteral("cannot start wine: %1").arg(process->errorString());
        return nullptr;
    }
    return process;
}

QString WineTestPrefix::loaderFor(const QStringList &args) const
{
    // A Windows program given by its unix path runs on the loader of its kind;
    // Wine's own tools (wineboot, cmd) on the prefix's.
    const QString program = args.value(0);
    if (program.startsWith(u'/')) {
        const WindowsExecutable::Kind kind = WindowsExecutable::kindOf(program);
        if (kind == WindowsExecutable::Kind::X86 || kind == WindowsExecutable::Kind::X64)
            return WineHost::current().loaderFor(kind);
    }
    return WineHost::current().loaderForPrefix(m_arch == Arch::Win64);
}

bool WineTestPrefix::killServer(int timeoutMs) const
{
    return runWineserver(QStringLiteral("-k"), timeoutMs);
}

bool WineTestPrefix::waitForServer(int timeoutMs) const
{
    return runWineserver(QStringLiteral("-w"), timeoutMs);
}

bool WineTestPrefix::runWineserver(const QString &option, int timeoutMs) const
{
    const QString server = wineserverProgram();
    if (server.isEmpty() || !QFileInfo(path()).isDir())
        return false;
    QProcess process;
    configure(process, server, {option}, environment(), QString());
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool WineTestPrefix::boot(int timeoutMs)
{
    WineRunOptions options;
    options.timeoutMs = timeoutMs;
    options.workingDirectory = scratchPath();
    const WineRunResult result = runWineDetailed({QStringLiteral("wineboot"), QStringLiteral("-i")}, options);
    if (!result.finished || result.exitCode != 0) {
        m_error =
            QStringLiteral("wineboot failed in %1: %2\n%3")
                .arg(path(),
                     result.finished ? QStringLiteral("exit code %1").arg(result.exitCode) : result.error,
                     tail(result.standardError));
        return false;
    }

    // Stopping the server makes Wine write the registry files, so the prefix on
    // disk is complete before any test looks at it.
    killServer();

    if (!QFileInfo::exists(path() + QStringLiteral("/system.reg")) || !QFileInfo(driveCPath()).isDir()) {
        m_error = QStringLiteral("wineboot left an incomplete prefix in %1").arg(path());
        return false;
    }
    // A WINEARCH the loader ignores would silently give the other kind of prefix.
    const bool isWin64 = QFileInfo(driveCPath() + QStringLiteral("/windows/syswow64")).isDir();
    if (isWin64 != (m_arch == Arch::Win64)) {
        m_error = QStringLiteral("asked for a %1 prefix, Wine made a %2 one in %3")
                      .arg(m_arch == Arch::Win64 ? QStringLiteral("64-bit") : QStringLiteral("32-bit"),
                           isWin64 ? QStringLiteral("64-bit") : QStringLiteral("32-bit"), path());
        return false;
    }
    return true;
}

WineTestPrefix *WineTestPrefix::shared(Arch arch)
{
    static std::map<Arch, std::unique_ptr<WineTestPrefix>> prefixes;
    std::unique_ptr<WineTestPrefix> &p = prefixes[arch];
    if (!p)
        p = std::make_unique<WineTestPrefix>(arch);
    return p.get();
}
