#pragma once

#include "Platform.h"
#include "WineHost.h"
#include "WinePrefix.h"

namespace platform {

// The Windows facilities as a Wine prefix provides them on Linux.
class WinePlatform : public Platform {
  public:
    // host: what this machine's Wine can run; the machine's own, looked at on
    // first need, when null (so starting the manager never waits for it).
    explicit WinePlatform(WinePrefix prefix, const WineHost *host = nullptr);

    const WinePrefix &prefix() const { return m_prefix; }

    [[nodiscard]] QString systemDirectory() const override;
    [[nodiscard]] std::optional<QString> userName(int bufferSize) const override;
    [[nodiscard]] int driveType(QChar letter) const override;
    DeviceOutcome defineDosDevice(const QString &device, const QString &target) override;
    DeviceOutcome removeDosDevice(const QString &device, const QString &target) override;
    [[nodiscard]] bool isMapping(QChar letter) const override;
    [[nodiscard]] QString toUnixPath(const QString &windowsPath) const override;
    [[nodiscard]] bool fileExists(const QString &windowsPath) const override;
    [[nodiscard]] bool directoryExists(const QString &windowsPath) const override;
    [[nodiscard]] QList<ProcessEntry> processes() const override;
    StartOutcome startProgram(const QString &windowsExe, const QStringList &arguments,
                              const QString &workingDirectory) override;
    [[nodiscard]] ProfileRead getProfileString(const QString &section, const QString &key,
                                               const QString &defaultValue, int bufferSize,
                                               const QString &file) const override;
    Status writeProfileString(const QString &section, const QString &key, const QString &value,
                              const QString &file) override;

    // The unix login name, which Wine reports as the Windows user name.
    static QString loginName();

  private:
    const WineHost &host() const;

    WinePrefix m_prefix;
    const WineHost *m_host;
};

} // namespace platform
