#pragma once

#include "install/FileChoice.h"
#include "install/InstallFlow.h"
#include "install/InstallPanel.h"
#include "shell/skin/SkinnedWindow.h"

#include <QLabel>
#include <QTimer>

#include <functional>
#include <memory>

class QMimeData;

namespace platform {
class Platform;
}

namespace install {

// The file dialog of the install window: ZIP files in any letter case, starting
// in the user's download folder.
class ZipDialog : public FileChoice {
  public:
    ZipDialog(QWidget *owner, QString startFolder);
    std::optional<QString> chooseZip() override;

  private:
    QWidget *m_owner;
    QString m_startFolder;
};

// The install window: the books folder, the progress line and six buttons
// (choose a book's ZIP file, book list, main window, help, minimise, exit). A ZIP
// file dropped on it, or handed to the manager, is installed as if it had been
// chosen.
class frmInstalarLivro : public shell::skin::SkinnedWindow, private InstallPanel {
    Q_OBJECT
  public:
    // choice: the file choice (the dialog, or a test's script); exitProgram ends the program.
    frmInstalarLivro(platform::Platform &platform, shell::SharedState &state, drive::MountDrive &drives,
                     messages::MessageBox &box, FileChoice *choice, std::function<void()> exitProgram,
                     QWidget *parent = nullptr);
    ~frmInstalarLivro() override;

    // The load step: unloads the book list when it came from there, takes the
    // front, loads skin and texts, maps the user's books again, then shows itself
    // and hides the main window. False, with the missing file, when a picture is
    // missing. The window is busy meanwhile.
    [[nodiscard]] bool load(QString *error);

    QLabel *FXLblDisponivel() const { return m_available; }
    QLabel *FXLblMensagem() const { return m_message; }
    QTimer *tmrMsg() { return &m_tmrMsg; }
    QTimer *Timer1() { return &m_timer1; }

    // Installs a file handed to the manager (its argument, or another copy's) as
    // one chosen in the dialog is installed, the window busy meanwhile.
    void installHanded(const QString &zip);

    // The user's download folder, where the dialog starts.
    static QString userDownloadsFolder(platform::Platform &platform);

    void RestauraBotoes() override;

  signals:
    void booksRequested(); // button 2: the book list
    void helpRequested();  // button 4: help

  protected:
    void buttonAction(int index) override;
    // Esc goes back as "Principal" does (not while an install runs: it is disabled then).
    int escapeButton() const override;
    void closeEvent(QCloseEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;

  private:
    void showProgress(const QString &text) override;
    void animateProgress(bool on) override;
    void enableButtons(bool enabled) override;
    static QString droppedZip(const QMimeData *mime);
    // An install, chosen or dropped, with the window busy until its last report.
    void runInstall(const std::function<void()> &flow);

    drive::MountDrive &m_drives;
    messages::MessageBox &m_box;
    std::function<void()> m_exitProgram;
    std::unique_ptr<FileChoice> m_dialog;
    InstallFlow m_install;
    QLabel *m_available;
    QLabel *m_message;
    QTimer m_tmrMsg;
    QTimer m_timer1;
};

} // namespace install
