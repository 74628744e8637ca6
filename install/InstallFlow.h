#pragma once

#include "ZipExtraction.h"

#include <QString>
#include <QStringList>

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

namespace install {

class FileChoice;
class InstallPanel;

// Installing a book from its ZIP file: choose it, extract it completely and
// safely, map its folder to the highest free letter, record it for the user, and
// only then delete the archive. Every outcome is shown to the user.
class InstallFlow {
  public:
    InstallFlow(platform::Platform &platform, shell::SharedState &state, messages::MessageBox &box,
                drive::MountDrive &drives, FileChoice &choice, InstallPanel &panel);

    // Button 1: asks for the file, then installs it. True when the book was
    // installed, mapped and registered.
    [[nodiscard]] bool InstalaLivro();
    // Installs a file already chosen (dropped on the window, say); the same
    // checks and outcome as a file chosen in the dialog.
    [[nodiscard]] bool install(const QString &zip);

    // Extracts the archive into the book's folder under the download folder,
    // through a staging folder. zip gets ".ZIP" appended when it lacks it, as the
    // caller's own variable. The window's events keep running meanwhile.
    [[nodiscard]] ExtractionResult DescompactaLivro(QString &zip, const QString &course);
    // "UNZIP" of source into target: nothing at all when either is empty.
    [[nodiscard]] ExtractionResult ExecutaZip(const QString &action, QString &zipPath, const QString &target);

    // Clears the file's read-only state and deletes it; false when it stays.
    [[nodiscard]] static bool ExcluiArquivo(const QString &file);

    // tmrMsg's tick: one more dot while the text has at most 95 characters, else
    // the progress message again.
    static QString nextProgress(const QString &current, const QString &mensagem);

    const QString &strCurso() const { return m_course; }
    // For the benchmark and tests: the bounds extraction keeps.
    void setLimits(const ExtractionLimits &limits) { m_limits = limits; }

  private:
    void tell(int code, const QStringList &params = {});
    void showFailure(const ExtractionResult &r, const QString &zip);
    [[nodiscard]] bool installChosen(const QString &zip);
    // Takes the book name from the file's name; true, after saying why, when it can be no book's.
    [[nodiscard]] bool refuseBadName(const QString &zip);
    QString downloadFolderUnix() const;

    platform::Platform &m_platform;
    shell::SharedState &m_state;
    messages::MessageBox &m_box;
    drive::MountDrive &m_drives;
    FileChoice &m_choice;
    InstallPanel &m_panel;
    QString m_course;
    ExtractionLimits m_limits;
};

} // namespace install
