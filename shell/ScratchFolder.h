#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace shell {

// A hidden working folder in the download folder: a book being installed
// (staging) or a book on its way out (removal). The process that made it holds
// a lock on it for as long as the object lives, so a second manager of another
// user on the same download folder never takes it for litter; the kernel drops
// the lock when the process dies, and what is left is then a leftover for the
// next start to finish. Names are of fixed length, so any book name that fits
// the file system as a folder name also fits here. All paths are unix paths.
class ScratchFolder {
  public:
    enum class Kind { Staging, Removal };

    ScratchFolder() = default;
    ScratchFolder(ScratchFolder &&other) noexcept;
    ScratchFolder &operator=(ScratchFolder &&other) noexcept;
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    ~ScratchFolder();

    // A new empty folder of that kind in parentDir. Invalid, with errno in error(),
    // when it cannot be made.
    [[nodiscard]] static ScratchFolder create(const QString &parentDir, Kind kind);
    // Moves the folder `from`, a child of parentDir, onto a new name of that kind
    // in one rename, locked before it moves. Invalid, with errno, when `from`
    // is no folder of its own (a link included) or cannot be renamed.
    [[nodiscard]] static ScratchFolder takeOver(const QString &from, const QString &parentDir, Kind kind);
    // The leftovers of that kind that no living process holds, each now held by
    // this one.
    [[nodiscard]] static std::vector<ScratchFolder> leftovers(const QString &parentDir, Kind kind);

    // Deletes the links in parentDir named as folders of that kind, each as a
    // link, never what it leads to; no process makes one, so none is in use.
    // Returns how many.
    static int removeLinks(const QString &parentDir, Kind kind);

    // True for any name of our working folders, which are never a book's.
    static bool isScratchName(const QString &name);
    // The kind of working folder the name is one of, without regard to letter
    // case as leftovers() matches them; nothing for any other name.
    static std::optional<Kind> kindOfName(const QString &name);

    bool isValid() const { return m_fd >= 0; }
    const QString &path() const { return m_path; }
    int error() const { return m_error; }

    // Renames the folder to `to` (which must not exist); it stays held. False, with errno.
    [[nodiscard]] bool moveTo(const QString &to);
    // The folder went (deleted or moved away by its owner): lets go of the lock.
    void release();

  private:
    ScratchFolder(int fd, QString path);
    static ScratchFolder failed(int error);

    int m_fd = -1;
    QString m_path;
    int m_error = 0;
};

} // namespace shell
