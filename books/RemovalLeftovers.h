#pragma once

#include <QString>

namespace shell::registry {
class Database;
}

namespace books {

// A removal renames the book's folder onto a working name before it deletes
// anything, so a crash or power loss leaves either the whole book or a
// leftover the next start finishes. The leftover carries where it came from,
// so its row goes with it even when the crash came before the row was deleted.
class RemovalLeftovers {
  public:
    // Records, inside the book's folder before it is renamed, whose book it is:
    // the user, the folder as the registry names it and as a unix path, so the
    // leftover carries it from its first moment. False, with errno.
    [[nodiscard]] static bool recordOrigin(const QString &unixPath, const QString &user,
                                           const QString &registryPath, int *error);

    // Takes the record away again from a folder whose removal was called off.
    static void forgetOrigin(const QString &folder);

    // Finishes every removal leftover in the download folder (unix path) that no
    // running removal holds: the rows it came from go when its book folder has
    // not come back, then its files and folder. Returns how many were finished.
    static int finish(const QString &downloadDir, shell::registry::Database &registry);
};

} // namespace books
