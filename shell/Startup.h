#pragma once

#include "SharedState.h"

#include <QString>

namespace platform {
class Platform;
class SingleInstance;
} // namespace platform

namespace shell {

// What the start-up ended with.
struct StartupResult {
    enum class Status {
        Ok,
        AlreadyRunning, // another copy runs: end silently
        Failed,         // end with `message` and a non-zero exit
    };
    Status status = Status::Ok;
    QString message; // in the user's language, naming the file or the language
};

// Settles everything the windows rely on: folders, the user, the registry and
// the catalogue with their four recordsets, the language, help file, version
// text, title and hints of the main window.
class Startup {
  public:
    // How the message catalogue is held: the manager alone, or shared with
    // the copies of zeko-books that other users run at the same moment.
    enum class Catalogue { Exclusive, Shared };

    // installFolder: the folder of the running program (unix path).
    Startup(platform::Platform &platform, platform::SingleInstance &instance, QString installFolder,
            Catalogue catalogue = Catalogue::Exclusive);

    [[nodiscard]] StartupResult run(SharedState &state);

    // "1.00.0000" for version 1.0.0.
    static QString MostraVersao(int major, int minor, int revision);
    // The report of a file the program cannot do without (a picture, a map), in
    // the language of the course installation.
    static QString missingFileText(const QString &language, const QString &file);
    // The report of a single-instance lock that could not be tried (not one that
    // another copy holds), in the language of the course installation.
    static QString instanceFailure(const QString &language, const QString &reason);
    // The language used when zeko.ini names none.
    static QString effectiveLanguage(const QString &installedLanguage);

  private:
    platform::Platform &m_platform;
    platform::SingleInstance &m_instance;
    QString m_installFolder;
    Catalogue m_catalogue;
};

} // namespace shell
