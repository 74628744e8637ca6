#pragma once

#include "shell/ScratchFolder.h"

#include <QString>

namespace install {

// A book is extracted into a hidden staging folder of its own in the download
// folder and moved into place only when every entry was written and checked, so
// a failed or interrupted installation never leaves half a book in the book
// folder. All paths are unix paths.
class BookStaging {
  public:
    // Removes every staging folder an interrupted installation left in the
    // download folder, but none another running installation holds; links
    // inside, and a link in a staging folder's place, are removed, never
    // followed. Returns how many.
    static int cleanUp(const QString &downloadDir);

    // Where moving a staged book failed: errno, and the entry it failed on.
    struct MoveFailure {
        int error = 0;
        QString entry;
    };

    // Moves what staging holds into bookDir, which is made when missing (its
    // parent must exist). An existing book folder is reused: files of the same
    // name, matched without regard to letter case as on Windows, are replaced,
    // others stay; a file where a folder goes (or the reverse) stops the move.
    // staging is gone afterwards. Nothing (error 0) when all went.
    [[nodiscard]] static MoveFailure moveIntoPlace(shell::ScratchFolder &staging, const QString &bookDir);
};

} // namespace install
