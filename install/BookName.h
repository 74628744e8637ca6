#pragma once

#include <QString>

namespace install {

// What keeps a name from being a book's.
enum class BookNameProblem {
    None,
    Empty,      // nothing but blanks and dots, or "." and ".."
    Characters, // \ / : * ? " < > |, a control character, or a final dot
    Reserved,   // a Windows device name (CON, NUL, COM1...) or a name of our working folders
    TooLong,    // longer than the file system takes for one folder name
};

struct BookNameCheck {
    QString name; // the book name, blanks at either end trimmed
    BookNameProblem problem = BookNameProblem::None;
    bool ok() const { return problem == BookNameProblem::None; }
};

// The name a book gets from its ZIP file, and whether a folder of the download
// folder can carry it. The book's folder, its registry row and its list entry
// all hold this one name, so it must be a plain folder name that Windows, Wine
// and Linux read alike and that names a child of the download folder, never the
// folder itself, its parent, or a path below it.
class BookName {
  public:
    // The longest folder name a Linux file system takes, in bytes of UTF-8.
    static constexpr int kMaxBytes = 255;

    // From the chosen file's name (no folder): without its last extension, as
    // TiraExtensao gives it, and with the blanks at both ends trimmed, as Windows
    // trims a folder name.
    static BookNameCheck fromFileName(const QString &fileName);
    // Whether a name, taken as it is, can be a book's folder.
    static BookNameProblem check(const QString &name);
};

} // namespace install
