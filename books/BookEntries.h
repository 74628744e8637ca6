#pragma once

#include <QString>
#include <QStringList>

namespace shell {
struct SharedState;
}

namespace books {

// The entries of the book list cbZEKO and what is read back from them.
class BookEntries {
  public:
    // Entry 0 ("[" message 15 "]"), then "Curso [ X: ]" per book of the user in
    // Curso order, after the registry was read again (rows added or changed meanwhile show).
    static QStringList entries(shell::SharedState &state);

    // Whether the entry at this index is a book that can be opened or removed:
    // every entry but entry 0, whatever the book's name begins with.
    static bool isBookEntry(int index) { return index > 0; }

    // The drive of an entry, "X:": its last six characters without brackets and blanks.
    static QString letterOfEntry(const QString &entry);
    // The book's name: the text before the entry's last " [ ", trimmed, so a name
    // that itself holds "[" stays whole.
    static QString nameOfEntry(const QString &entry);
};

} // namespace books
