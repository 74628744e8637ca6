#pragma once

#include <QString>

#include <functional>

namespace books {

// Deleting a book's files and folders on disk, the way Windows deletes what
// Wine shows as read-only: the read-only state (no write permission, on files
// and on folders) is cleared first, whatever else is set. Nothing is ever
// followed out of the book's folder: a link inside it is removed as a link, and
// the folder itself must not be a link. All paths are unix paths.
class BookFiles {
  public:
    // The system calls that remove an entry, replaceable in tests to make one fail.
    using Unlink = std::function<int(int dirFd, const char *name, int flags)>;

    explicit BookFiles(Unlink unlink = {});

    // Deletes every file (and link) in the folder's tree. False when any stayed;
    // what could be deleted is deleted.
    [[nodiscard]] bool ApagaArquivos(const QString &folder, QString *error = nullptr) const;
    // Deletes every subfolder of the folder, deepest first. False when any stayed.
    [[nodiscard]] bool ApagaPastas(const QString &folder, QString *error = nullptr) const;
    // True when the folder holds no file at its top level (subfolders aside).
    [[nodiscard]] static bool hasNoFiles(const QString &folder);
    // True when the folder has a subfolder.
    [[nodiscard]] static bool hasSubfolders(const QString &folder);
    // Removes the folder itself once it is empty.
    [[nodiscard]] bool removeFolder(const QString &folder, QString *error = nullptr) const;

  private:
    [[nodiscard]] bool walk(int dirFd, bool files, QString *error) const;

    Unlink m_unlink;
};

} // namespace books
