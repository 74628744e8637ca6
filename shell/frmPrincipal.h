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
class frmPrincipal : public SkinnedWindow {
    Q_OBJECT
  public:
    // encerrar ends the program at once (the exit button, once confirmed).
    frmPrincipal(SharedState &state, drive::MountDrive &drives, messages::MessageBox &box,
                 std::function<void()> encerrar, QWidget *parent = nullptr);

    // The skin and texts; false with the missing file when a picture is missing.
    bool carrega(QString *error);

    QLabel *fxlblTitulo() const { return m_titulo; }
    QLabel *lblVersao() const { return m_versao; }
    QTimer *Timer1() { return &m_timer1; }

    void RestauraBotoes() override;

  signals:
    void livrosPedidos();    // button 1: the book list
    void instalacaoPedida(); // button 2: the install window
    void ajudaPedida();      // button 3: help

  protected:
    void acaoBotao(int indice) override;

  private:
    drive::MountDrive &m_drives;
    messages::MessageBox &m_box;
    std::function<void()> m_encerrar;
    QLabel *m_titulo;
    QLabel *m_versao;
    QTimer m_timer1;
};

} // namespace shell
