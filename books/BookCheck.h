#pragma once

#include "BookFiles.h"
#include "platform/Outcome.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace platform {
class Platform;
}
namespace shell {
struct SharedState;
}

namespace books {

// What the start-up leaves for an administrator to look at: folders in the
// download folder that no book of any user names, working folders of an
// installation or removal that the start-up could not finish, drive letters of
// this prefix that lead into the download folder but to none of the user's
// books, and the user's rows whose folder holds no book. Looking changes
// nothing; each finding is mended on its own, and never by following a link
// out of the download folder.
class BookCheck {
  public:
    enum class Kind {
        StrayDrive,         // a letter into the download folder that no row of the user has
        StagingLeftover,    // an installation's working folder (or a link or file of its name)
        RemovalLeftover,    // a removal's working folder (or a link or file of its name)
        UnregisteredFolder, // a folder in the download folder that no row of any user names
        NotABook,           // a row of the user whose folder lacks Autorun.exe or Idioma.kvt
        MissingFolder,      // a row of the user whose folder does not exist
    };
    struct Finding {
        Kind kind;
        QString path;   // unix path of the entry; for a drive, where it leads
        QString shown;  // the same as a Windows path, as the user knows it
        QString letter; // "X:": the stray drive, or the row's drive
        QString course; // the row's book
    };

    enum class RepairFailure {
        None,
        NotRepairable, // a row: only its removal mends it, and that is the user's to choose
        InUse,         // another program holds it, or a book now names it
        Failed,        // the system refused; systemError says why
    };
    using RepairOutcome = platform::Outcome<RepairFailure>;

    BookCheck(platform::Platform &platform, shell::SharedState &state);

    // Everything found, drives first, then leftovers, unregistered folders and
    // rows, each group in name order; nothing when the registry could not be
    // read, with the reason in error.
    [[nodiscard]] std::optional<std::vector<Finding>> find(QString *error = nullptr);

    // Mends one finding: a stray drive is released, a leftover or unregistered
    // folder deleted (a link or file of a working folder's name is removed as
    // it is). An unregistered folder is looked up in the registry again first,
    // and taken aside in one rename before its files go, so a start cut short
    // finishes it.
    [[nodiscard]] RepairOutcome repair(const Finding &finding);

    // Replaces the disk operations, for tests.
    void setBookFiles(BookFiles files) { m_files = std::move(files); }

  private:
    // Reads every row's folder, of any user, again. False when the registry could not be read.
    [[nodiscard]] bool readRowFolders(QString *error);
    // True when a row names the folder, a folder inside it or one around it.
    [[nodiscard]] bool named(const QString &folder) const;
    [[nodiscard]] RepairOutcome deleteFolder(const QString &path);

    platform::Platform &m_platform;
    shell::SharedState &m_state;
    BookFiles m_files;
    QString m_download;       // canonical unix path; empty when the download folder does not exist
    QStringList m_rowFolders; // every row's folder, of any user, as unix paths
};

} // namespace books
