#pragma once

#include "Outcome.h"
#include "ProfileFile.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// Why a drive mapping could not be made or removed.
enum class DeviceFailure {
    None,
    InUse,         // the letter is taken by a disk, a device or another mapping
    NotThisFolder, // the letter does not map the folder named for removal
    Other,
};

// Why a Windows program could not be started.
enum class StartFailure {
    None,
    NotFound,     // no such file
    NotAProgram,  // not a Windows program for this processor
    WineMissing,  // Wine is not installed
    No32BitWine,  // a 32-bit program, and Wine's 32-bit part is missing
    No32BitLinux, // a 32-bit program, and the kernel runs no 32-bit programs
    Other,        // a 64-bit program in a 32-bit prefix, or the start itself failed
};

using DeviceOutcome = Outcome<DeviceFailure>;
using StartOutcome = Outcome<StartFailure>;

// One running process as a process snapshot lists it.
struct ProcessEntry {
    qint64 pid = 0;
    QString exeFile; // bare file name, no folder
};

// The Windows facilities the manager uses. Paths are Windows paths
// (C:\ZEKO_Download\Download\LIVRO1); a unix absolute path is accepted as it is.
class Platform {
  public:
    virtual ~Platform() = default;

    // GetSystemDirectoryA as the 32-bit course software sees it.
    [[nodiscard]] virtual QString systemDirectory() const = 0;

    // GetUserNameA with a buffer of bufferSize characters, the NUL included;
    // nothing when the name does not fit or cannot be had.
    [[nodiscard]] virtual std::optional<QString> userName(int bufferSize) const = 0;

    // GetDriveTypeA of letter & ":\": 1 no such root, 3 fixed disk, and so on.
    [[nodiscard]] virtual int driveType(QChar letter) const = 0;

    // DefineDosDeviceA: makes device ("X:") show the folder target. Fails when
    // the letter is taken by anything but a dangling entry.
    virtual DeviceOutcome defineDosDevice(const QString &device, const QString &target) = 0;

    // DefineDosDeviceA with the remove flag and an exact target: removes the
    // mapping only when it leads to target; never a disk or another mapping.
    virtual DeviceOutcome removeDosDevice(const QString &device, const QString &target) = 0;

    // True when the letter is a mapping made by DefineDosDevice (whatever the
    // drive type of what it leads to), not a disk or a device.
    [[nodiscard]] virtual bool isMapping(QChar letter) const = 0;

    [[nodiscard]] virtual QString toUnixPath(const QString &windowsPath) const = 0;
    [[nodiscard]] virtual bool fileExists(const QString &windowsPath) const = 0; // ordinary file
    [[nodiscard]] virtual bool directoryExists(const QString &windowsPath) const = 0;

    // The running processes in snapshot order.
    [[nodiscard]] virtual QList<ProcessEntry> processes() const = 0;

    // Starts a Windows program detached, without a shell; arguments go as a list.
    // Succeeds only once the program's loader is running; fails, with a readable
    // reason and its kind, when it cannot run here or its start failed.
    virtual StartOutcome startProgram(const QString &windowsExe, const QStringList &arguments,
                                      const QString &workingDirectory) = 0;

    // GetPrivateProfileStringA and WritePrivateProfileStringA on a Windows path.
    [[nodiscard]] virtual ProfileRead getProfileString(const QString &section, const QString &key,
                                                       const QString &defaultValue, int bufferSize,
                                                       const QString &file) const = 0;
    virtual Status writeProfileString(const QString &section, const QString &key, const QString &value,
                                      const QString &file) = 0;
};

} // namespace platform
