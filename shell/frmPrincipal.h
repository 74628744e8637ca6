#pragma once

#include "shell/skin/SkinnedWindow.h"

#include <QLabel>
#include <QTimer>

#include <functional>

namespace drive {
class MountDrive;
}
namespace messages {
class MessageBox;
}

namespace shell {

// The main window: title, version and five buttons (book list, install, help,
// minimise, exit).
class frmPrincipal : public skin::SkinnedWindow {
    Q_OBJECT
  public:
    // exitProgram ends the program at once (the exit button, once confirmed).
    frmPrincipal(SharedState &state, drive::MountDrive &drives, messages::MessageBox &box,
                 std::function<void()> exitProgram, QWidget *parent = nullptr);

    // The skin and texts; false with the missing file when a picture is missing.
    [[nodiscard]] bool load(QString *error);

    QLabel *fxlblTitulo() const { return m_title; }
    QLabel *lblVersao() const { return m_version; }
    QTimer *Timer1() { return &m_timer1; }

    void RestauraBotoes() override;

  signals:
    void booksRequested();   // button 1: the book list
    void installRequested(); // button 2: the install window
    void helpRequested();    // button 3: help

  protected:
    void buttonAction(int index) override;

  private:
    drive::MountDrive &m_drives;
    messages::MessageBox &m_box;
    std::function<void()> m_exitProgram;
    QLabel *m_title;
    QLabel *m_version;
    QTimer m_timer1;
};

} // namespace shell
