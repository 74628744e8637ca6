#pragma once

#include <QChar>
#include <QString>

#include <optional>

namespace platform {

// The Wine prefix that stands for the Windows installation the manager manages.
// It turns Windows paths into unix paths through dosdevices/ and answers the
// questions Windows answers about drive letters, the way Wine does.
class WinePrefix {
  public:
    explicit WinePrefix(QString root);

    // $WINEPREFIX, or ~/.wine when that is unset or empty.
    static WinePrefix fromEnvironment();

    const QString &root() const { return m_root; }
    QString dosdevicesDir() const;
    QString driveCDir() const;

    // True for a prefix made for 64-bit Windows, where a 32-bit program's
    // system32 is drive_c/windows/syswow64.
    bool is64Bit() const;

    // The unix path of a Windows path as a 32-bit program in this prefix reaches
    // it: the drive through dosdevices/, each existing component matched without
    // regard to letter case, system32 redirected in a 64-bit prefix. Components
    // that do not exist yet are kept as given. A unix absolute path is returned
    // unchanged; anything else that is not a drive path gives an empty string.
    QString toUnixPath(const QString &windowsPath) const;

    // GetDriveTypeA of "X:\": 1 when the letter has no entry or the entry leads
    // nowhere, 3 for a folder on a local disk, 4 for a network file system and
    // 5 for a CD file system.
    [[nodiscard]] int driveType(QChar letter) const;

    // The dosdevices/ entry of a letter ("x:"), whether or not it exists.
    QString deviceEntry(QChar letter) const;

    // Creates the prefix folders a fresh prefix would have and the manager needs
    // (dosdevices/c: and z:, drive_c/windows/system32), without running Wine.
    [[nodiscard]] bool ensureSkeleton(QString *error = nullptr) const;

  private:
    QString m_root;
    mutable std::optional<bool> m_is64Bit;
};

} // namespace platform
