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

    QString systemDirectory() const override;
    std::optional<QString> userName(int bufferSize) const override;
    int driveType(QChar letter) const override;
    bool defineDosDevice(const QString &device, const QString &target, QString *error,
                         DeviceFailure *failure = nullptr) override;
    bool removeDosDevice(const QString &device, const QString &target, QString *error,
                         DeviceFailure *failure = nullptr) override;
    bool isMapping(QChar letter) const override;
    QString toUnixPath(const QString &windowsPath) const override;
    bool fileExists(const QString &windowsPath) const override;
    bool directoryExists(const QString &windowsPath) const override;
    QList<ProcessEntry> processes() const override;
    bool startProgram(const QString &windowsExe, const QStringList &arguments,
                      const QString &workingDirectory, QString *error,
                      StartFailure *failure = nullptr) override;
    ProfileRead getProfileString(const QString &section, const QString &key, const QString &defaultValue,
                                 int bufferSize, const QString &file) const override;
    bool writeProfileString(const QString &section, const QString &key, const QString &value,
                            const QString &file, QString *error) override;

    // The unix login name, which Wine reports as the Windows user name.
    static QString loginName();

  private:
    const WineHost &host() const;

    WinePrefix m_prefix;
    const WineHost *m_host;
};

} // namespace platform
