#pragma once

#include "books/OpeningFlow.h"
#include "books/RemovalFlow.h"
#include "shell/skin/SkinnedWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QTimer>

#include <functional>

namespace platform {
class Platform;
}

namespace books {

// The book list: the user's books in cbZEKO and seven buttons (remove, install
// window, main window, help, open, minimise, exit).
class frmAbrirLivro : public shell::skin::SkinnedWindow {
    Q_OBJECT
  public:
    // programFolder: the manager's own unix folder (LoadZEKOV.EXE lies there);
    // exitProgram ends the program at once.
    frmAbrirLivro(platform::Platform &platform, shell::SharedState &state, drive::MountDrive &drives,
                  messages::MessageBox &box, QString programFolder, std::function<void()> exitProgram,
                  QWidget *parent = nullptr);

    // The load step: unloads the install window when it came from there, takes
    // the front, loads the skin and texts, maps the user's books again, fills the
    // list, then shows itself and hides the main window. False, with the missing
    // file, when a picture is missing. The window is busy meanwhile.
    [[nodiscard]] bool load(QString *error);

    // Rebuilds cbZEKO from the registry and selects entry 0.
    void MontaCombo();

    QComboBox *cbZEKO() const { return m_list; }
    QLabel *fxlblTitulo() const { return m_title; }
    QLabel *fxlblMensagem() const { return m_message; }
    QTimer *Timer1() { return &m_timer1; }
    // The removal flow, so that tests can replace its disk operations.
    RemovalFlow &removal() { return m_removal; }

    void RestauraBotoes() override;

  signals:
    void installRequested(); // button 2: the install window
    void helpRequested();    // button 4: help

  protected:
    void buttonAction(int index) override;
    // Esc goes back as "Principal" does; Enter on the list opens the chosen book.
    int escapeButton() const override;
    int enterButton() const override;
    QWidget *initialFocus() const override { return m_list; }
    void closeEvent(QCloseEvent *e) override;

  private:
    void entryChosen(int index);

    drive::MountDrive &m_drives;
    messages::MessageBox &m_box;
    std::function<void()> m_exitProgram;
    OpeningFlow m_opening;
    RemovalFlow m_removal;
    QLabel *m_title;
    QLabel *m_message;
    QComboBox *m_list;
    QTimer m_timer1;
};

} // namespace books
