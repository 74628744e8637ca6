#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {
class Platform;
enum class StartFailure;
} // namespace platform
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

// Opening a book from the book list: make its folder show as a drive, record the
// drive in zeko.ini as the course's CD drive, and start the launcher with it (or
// the book's own Autorun.exe when the course was never installed here).
class OpeningFlow {
  public:
    // programFolder: the unix folder of the manager, where LoadZEKOV.EXE lies.
    // refillCombo rebuilds the book list (the window's MontaCombo).
    OpeningFlow(platform::Platform &platform, shell::SharedState &state, messages::MessageBox &box,
                drive::MountDrive &drives, QString programFolder, std::function<void()> refillCombo);

    // The open sequence for a list entry such as "Livro A [ X: ]". Every outcome
    // that is not a started program is shown to the user. True when a program started.
    [[nodiscard]] bool open(const QString &entry);

    // What became of the course's drive setting.
    enum class DriveSetting {
        Absent,     // no letter given, or zeko.ini has no DriveCD: the course was never installed here
        Written,    // DriveCD now names the book's drive
        NotWritten, // DriveCD is there but refused the write
    };
    struct DriveUpdate {
        DriveSetting setting = DriveSetting::Absent;
        int systemError = 0; // errno of a refused write
    };

    // Writes strLetraDrive into DriveCD when zeko.ini (PastaSistema & strPathIni)
    // already has a DriveCD.
    [[nodiscard]] DriveUpdate AtualizaDrive(const QString &strPathIni, const QString &strLetraDrive);

    // Starts the launcher with the drive when AtualizaDrive wrote it, else the
    // book's Autorun.exe from the drive's root; waits for neither. A setting that
    // could not be written starts nothing: the course would look for its book on
    // another drive. Every failure is reported in the user's language. True when
    // a program started.
    [[nodiscard]] bool AbreLivro(const QString &strPathIni, const QString &strLetraDrive);

    // True when the last scan found a free letter.
    [[nodiscard]] bool ExisteLetraLivre() const;

    // Maps the book's folder to the highest free letter and records it in the
    // book's row. strLetra holds the book's registered drive on entry and the new
    // one on success. False, after telling the user, when the mapping failed or
    // the row is no longer there.
    [[nodiscard]] bool MontaLivro(const QString &strCaminho, QString &strLetra);

    // The catalogue code that tells why a program could not start.
    static int failureMessage(platform::StartFailure failure);

  private:
    void tell(int code, const QStringList &params = {});
    [[nodiscard]] bool start(const QString &program, const QStringList &arguments,
                             const QString &startFolder);

    platform::Platform &m_platform;
    shell::SharedState &m_state;
    messages::MessageBox &m_box;
    drive::MountDrive &m_drives;
    QString m_programFolder;
    std::function<void()> m_refillCombo;
};

} // namespace books
