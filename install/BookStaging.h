#pragma once

#include <QString>

namespace install {

// A book is extracted into a hidden staging folder beside its book folder and
// moved into place only when every entry was written and checked, so a failed or
// interrupted installation never leaves half a book in the book folder.
class BookStaging {
  public:
    // The staging folder of a book, inside the download folder (unix paths).
    static QString pathFor(const QString &downloadDir, const QString &curso);

    // Removes every staging folder an interrupted installation left in the
    // download folder; links inside are removed, never followed. Returns how many.
    static int cleanUp(const QString &downloadDir);

    // Moves what staging holds into bookDir, which is made when missing (its
    // parent must exist). An existing book folder is reused: files of the same
    // name, matched without regard to letter case as on Windows, are replaced,
    // others stay. staging is gone afterwards. False, with the reason, when a
    // file could not be moved.
    static bool moveIntoPlace(const QString &staging, const QString &bookDir, QString *error);
};

} // namespace install
