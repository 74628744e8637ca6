#pragma once

#include "books/AbrirLivro.h"
#include "books/RemoverLivro.h"
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
class frmAbrirLivro : public shell::SkinnedWindow {
    Q_OBJECT
  public:
    // pastaPrograma: the manager's own unix folder (LoadZEKOV.EXE lies there);
    // encerrar ends the program at once.
    frmAbrirLivro(platform::Platform &platform, shell::SharedState &state, drive::MountDrive &drives,
                  messages::MessageBox &box, QString pastaPrograma, std::function<void()> encerrar,
                  QWidget *parent = nullptr);

    // The load step: unloads the install window when it came from there, takes
    // the front, loads the skin and texts, maps the user's books again, fills the
    // list, then shows itself and hides the main window. False, with the missing
    // file, when a picture is missing. The window is busy meanwhile.
    bool carrega(QString *error);

    // Rebuilds cbZEKO from the registry and selects entry 0.
    void MontaCombo();

    QComboBox *cbZEKO() const { return m_lista; }
    QLabel *fxlblTitulo() const { return m_titulo; }
    QLabel *fxlblMensagem() const { return m_mensagem; }
    QTimer *Timer1() { return &m_timer1; }
    // The removal flow, so that tests can replace its disk operations.
    RemoverLivro &removal() { return m_remover; }

    void RestauraBotoes() override;

  signals:
    void configurarPedido(); // button 2: the install window
    void ajudaPedida();      // button 4: help

  protected:
    void acaoBotao(int indice) override;
    void closeEvent(QCloseEvent *e) override;

  private:
    void selecionou(int indice);

    drive::MountDrive &m_drives;
    messages::MessageBox &m_box;
    std::function<void()> m_encerrar;
    AbrirLivro m_abrir;
    RemoverLivro m_remover;
    QLabel *m_titulo;
    QLabel *m_mensagem;
    QComboBox *m_lista;
    QTimer m_timer1;
};

} // namespace books
