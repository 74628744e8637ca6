#pragma once

#include "platform/Outcome.h"

#include <QString>

namespace platform {
class Platform;
}

namespace shell {

// The small readers of the course installation's settings file zeko.ini and of
// the user's name, as the manager and the course software share them.
class Sistema {
  public:
    explicit Sistema(platform::Platform &platform);

    static constexpr int kBufferIni = 255;
    // As large as Windows' own limit for user names (UNLEN + 1): Linux names run
    // to 32 characters, and no two users may share registry rows.
    static constexpr int kUserBuffer = 257;

    // The Windows system folder without a trailing backslash.
    QString PastaSistema() const;
    // PastaSistema() & "\zeko.ini".
    QString iniFile() const;
    // InstalacaoVersao5/IdiomaInst, empty when absent.
    QString LeIdiomaInst() const;
    // ZEKODownload/Drive, empty when absent.
    QString LeDriveDownload() const;
    // When zeko.ini exists and has no Drive, writes the system drive (the first
    // two characters of the file's own path, "C:"). A missing file is left
    // missing. Fails only when a needed write failed; the file then stays as it
    // was.
    platform::Status GaranteDriveDownload();
    // The user's name, or a single blank when it does not fit in kUserBuffer characters.
    QString LeUsuario() const;

    // The name without its last extension.
    static QString TiraExtensao(const QString &name);
    // The text without any "[" or "]".
    static QString TiraColchetes(const QString &texto);

  private:
    QString leIni(const QString &section, const QString &key) const;

    platform::Platform &m_platform;
};

} // namespace shell
