#pragma once

#include "BookFiles.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {
class Platform;
}
namespace messages {
class MessageBox;
}
namespace shell {
struct SharedState;
}
namespace drive {
class MountDrive;
}

namespace books {

// Removing a book from the book list: ask, release its drive, take it off the
// user's list and, once the user agreed, delete its files and folder. Every
// outcome is shown to the user.
class RemovalFlow {
  public:
    // refillCombo rebuilds the book list; enableWindow(false) keeps the list
    // window disabled while the files are deleted, enableWindow(true) enables
    // it once they are.
    RemovalFlow(platform::Platform &platform, shell::SharedState &state, messages::MessageBox &box,
                drive::MountDrive &drives, std::function<void()> refillCombo,
                std::function<void(bool)> enableWindow);

    // The removal sequence for a list entry such as "Livro A [ X: ]". True when
    // the book left the user's list (its files may have stayed, as said).
    [[nodiscard]] bool remove(const QString &entry);

    // Stands rsMapeamento on the row of the letter (no colon); true when one was found.
    [[nodiscard]] bool hasRow(const QString &strLetra);
    // The part of a path after its last "\".
    static QString NomeDaPasta(const QString &strCaminho);

    // Replaces the disk operations, for tests.
    void setBookFiles(BookFiles files) { m_files = std::move(files); }

  private:
    void tell(int code, const QStringList &params = {});
    // 0 when the folder may be deleted as the book's, else the catalogue code that says why not.
    [[nodiscard]] int removalRefusal(const QString &strCaminho);
    // Waits, letting events run, until no message box is open.
    void waitForBoxToClose();
    [[nodiscard]] bool RemovePasta(const QString &strPasta);

    platform::Platform &m_platform;
    shell::SharedState &m_state;
    messages::MessageBox &m_box;
    drive::MountDrive &m_drives;
    std::function<void()> m_refillCombo;
    std::function<void(bool)> m_enableWindow;
    BookFiles m_files;
};

} // namespace books
