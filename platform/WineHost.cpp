#include "WineHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace platform {

namespace {

enum class ElfKind { None, X86, X64 };

// An ELF program for this machine's processors, by class and machine field.
ElfKind elfKind(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || !info.isExecutable())
        return ElfKind::None;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ElfKind::None;
    const QByteArray head = file.read(20);
    if (head.size() < 20 ||
        !head.startsWith("\x7f"
                         "ELF") ||
        head[5] != 1 /* little endian */)
        return ElfKind::None;
    const int machine = quint8(head[18]) | quint8(head[19]) << 8;
    if (head[4] == 1 && machine == 3 /* EM_386 */)
        return ElfKind::X86;
    if (head[4] == 2 && machine == 62 /* EM_X86_64 */)
        return ElfKind::X64;
    return ElfKind::None;
}

QString findOnPath(const QString &name, const QStringList &searchPath)
{
    for (const QString &dir : searchPath) {
        if (dir.isEmpty())
            continue;
        const QFileInfo candidate(QDir(dir).filePath(name));
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.canonicalFilePath();
    }
    return {};
}

// Spawns path with argv and returns its exit code, or -errno when exec failed.
int spawnAndWait(const char *path, char *const argv[])
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    // glibc reports a failed exec as posix_spawn's own result.
    const int rc = posix_spawn(&pid, path, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -rc;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -errno;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -EINTR;
}

// The smallest i386 ELF program: one loadable segment whose code is
// "xor ebx,ebx; mov bl,42; xor eax,eax; inc eax; int 0x80", that is exit(42).
constexpr unsigned char kTiny32BitProgram[] = {
    0x7f, 'E',  'L',  'F',  1,    1,    1,    0,    0,    0, 0, 0, 0, 0, 0, 0, // 32-bit, little endian
    2,    0,    3,    0,    1,    0,    0,    0,                               // executable, i386, version 1
    0x54, 0x80, 0x04, 0x08,                                                    // entry: 0x08048000 + 84
    0x34, 0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, // program headers at 52, no sections
    0x34, 0,    0x20, 0,    1,    0,    0,    0,    0,    0, 0, 0, // header sizes, one program header
    1,    0,    0,    0,    0,    0,    0,    0,                   // PT_LOAD from offset 0
    0,    0x80, 0x04, 0x08, 0,    0x80, 0x04, 0x08,                // at 0x08048000
    0x5d, 0,    0,    0,    0x5d, 0,    0,    0,                   // 93 bytes in file and memory
    5,    0,    0,    0,    0,    0x10, 0,    0,                   // readable and executable
    0x31, 0xdb, 0xb3, 0x2a, 0x31, 0xc0, 0x40, 0xcd, 0x80,
};
static_assert(sizeof(kTiny32BitProgram) == 0x5d);
constexpr int kTinyExitCode = 42;

} // namespace

WineHost::WineHost(Facts facts)
    : m_facts(std::move(facts))
{
}

const WineHost &WineHost::current()
{
    static const WineHost host(gatherFacts());
    return host;
}

std::optional<bool> WineHost::linuxRuns32BitPrograms()
{
    // An anonymous file, so nothing is left behind and a noexec /tmp does not matter.
    const int fd = ::memfd_create("zeko-ia32-check", MFD_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<bool> answer;
    const ssize_t size = sizeof(kTiny32BitProgram);
    if (::write(fd, kTiny32BitProgram, sizeof(kTiny32BitProgram)) == size) {
        const QByteArray path = "/proc/self/fd/" + QByteArray::number(fd);
        char name[] = "zeko-ia32-check";
        char *const argv[] = {name, nullptr};
        const int result = spawnAndWait(path.constData(), argv);
        if (result == kTinyExitCode)
            answer = true;
        else if (result == -ENOEXEC)
            answer = false;
    }
    ::close(fd);
    return answer;
}

WineHost::Facts WineHost::gatherFacts(const QStringList &searchPath, const QStringList &libDirs)
{
    QStringList candidates;
    const QString wine = findOnPath(QStringLiteral("wine"), searchPath);
    const QString wine64 = findOnPath(QStringLiteral("wine64"), searchPath);
    candidates << wine << wine64;
    for (const QString &found : {wine, wine64}) {
        if (found.isEmpty())
            continue;
        const QDir dir = QFileInfo(found).dir();
        candidates << dir.filePath(QStringLiteral("wine")) << dir.filePath(QStringLiteral("wine64"));
    }
    for (const QString &dir : libDirs)
        candidates << QDir(dir).filePath(QStringLiteral("wine"))
                   << QDir(dir).filePath(QStringLiteral("wine64"));

    Facts facts;
    for (const QString &candidate : std::as_const(candidates)) {
        switch (elfKind(candidate)) {
        case ElfKind::X86:
            if (facts.loader32.isEmpty())
                facts.loader32 = QFileInfo(candidate).canonicalFilePath();
            break;
        case ElfKind::X64:
            if (facts.loader64.isEmpty())
                facts.loader64 = QFileInfo(candidate).canonicalFilePath();
            break;
        case ElfKind::None:
            break;
        }
    }
    facts.linuxRuns32 = linuxRuns32BitPrograms();
    if (!facts.linuxRuns32 && !facts.loader32.isEmpty()) {
        // The tiny program could not be run here; the 32-bit loader tells as well.
        const QByteArray loader = QFile::encodeName(facts.loader32);
        char version[] = "--version";
        char *const argv[] = {const_cast<char *>(loader.constData()), version, nullptr};
        const int result = spawnAndWait(loader.constData(), argv);
        if (result == 0)
            facts.linuxRuns32 = true;
        else if (result == -ENOEXEC)
            facts.linuxRuns32 = false;
    }
    return facts;
}

WineHost::Facts WineHost::gatherFacts()
{
    const QStringList path = qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts);
    return gatherFacts(path, {QStringLiteral("/usr/lib/wine"), QStringLiteral("/usr/lib64/wine"),
                              QStringLiteral("/usr/libexec/wine"), QStringLiteral("/opt/wine-stable/bin")});
}

bool WineHost::installed() const
{
    return !m_facts.loader32.isEmpty() || !m_facts.loader64.isEmpty();
}

WineHost::Limit32 WineHost::limit32() const
{
    if (!installed())
        return Limit32::NotInstalled;
    // A kernel without 32-bit support is named first: installing wine32 alone
    // would not help there.
    if (m_facts.linuxRuns32 == false)
        return Limit32::No32BitLinux;
    if (m_facts.loader32.isEmpty())
        return Limit32::No32BitWine;
    return Limit32::None;
}

QString WineHost::reason32() const
{
    switch (limit32()) {
    case Limit32::None:
        return {};
    case Limit32::NotInstalled:
        return QStringLiteral("Wine is not installed");
    case Limit32::No32BitWine:
        return QStringLiteral("Wine's 32-bit part is not installed (wine32)");
    case Limit32::No32BitLinux:
        return m_facts.loader32.isEmpty()
                   ? QStringLiteral("this Linux was started without 32-bit support, and Wine's 32-bit "
                                    "part is not installed (wine32)")
                   : QStringLiteral("this Linux was started without 32-bit support");
    }
    return {};
}

QString WineHost::loaderFor(WindowsExecutable::Kind kind) const
{
    switch (kind) {
    case WindowsExecutable::Kind::X86:
        return runs32() ? m_facts.loader32 : QString();
    case WindowsExecutable::Kind::X64:
        return m_facts.loader64;
    default:
        return {};
    }
}

QString WineHost::loaderForPrefix(bool win64) const
{
    return loaderFor(win64 ? WindowsExecutable::Kind::X64 : WindowsExecutable::Kind::X86);
}

} // namespace platform
