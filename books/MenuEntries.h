#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace shell::registry {
class Recordset;
}

namespace books {

// Each of the user's books as an entry of the desktop's application menu, in
// $XDG_DATA_HOME/applications, that runs `zeko-books open -- BOOK` in the Wine
// prefix the book was installed in. The entries of one prefix carry its path in
// X-ZEKO-Prefix, so keeping them in step with the registry never touches another
// prefix's entries, nor any file not made here. An entry is a convenience:
// failing to write or delete one is said on standard error and fails nothing else.
class MenuEntries {
  public:
    struct Book {
        QString name;
        QString drive; // "X:"
    };

    // Writes and deletes nothing: flows run without a desktop (tests, benchmarks).
    MenuEntries() = default;
    // applicationsDir: where the entries go; zekoBooks: the absolute path of the
    // program they run; prefix: the absolute path of the Wine prefix.
    MenuEntries(QString applicationsDir, QString zekoBooks, QString prefix);
    // The running program's: $XDG_DATA_HOME/applications and the zeko-books in
    // programFolder, for the prefix (made absolute, links resolved).
    static MenuEntries forProgram(const QString &programFolder, const QString &prefix);

    bool active() const { return !m_folder.isEmpty(); }
    const QString &folder() const { return m_folder; }

    // Writes the book's entry in one rename, replacing the one it had.
    bool write(const Book &book) const;
    // Deletes the book's entry; true when there is none left.
    bool remove(const QString &name) const;
    // Brings this prefix's entries in step with its books: writes those missing
    // or different (a drive that changed) and deletes those that name no book.
    bool sync(const QList<Book> &books) const;
    // The books of the user's rows, the recordset left on its first row.
    static QList<Book> booksOf(shell::registry::Recordset &rs);

    // zeko-download-book-<prefix hash>-<name>.desktop, every byte of the name's
    // UTF-8 but [A-Za-z0-9] written as _XX, so any name gives a valid desktop-file ID.
    QString fileName(const QString &name) const;
    // The entry's text; empty for a name no entry can hold (a control character).
    QByteArray contents(const Book &book) const;

  private:
    bool writeFile(const QString &path, const QByteArray &bytes) const;
    // The X-ZEKO-Prefix of an entry on disk; empty when it has none.
    static QString prefixOf(const QString &path);

    QString m_folder;
    QString m_zekoBooks;
    QString m_prefix;
};

} // namespace books
