#pragma once

#include "install/EscolhaArquivo.h"
#include "install/InstalarLivro.h"
#include "install/PainelInstalacao.h"
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
class DialogoZip : public EscolhaArquivo {
  public:
    DialogoZip(QWidget *dono, QString pastaInicial);
    std::optional<QString> escolheZip() override;

  private:
    QWidget *m_dono;
    QString m_pastaInicial;
};

// The install window: the books folder, the progress line and six buttons
// (choose a book's ZIP file, book list, main window, help, minimise, exit). A ZIP
// file dropped on it is installed as if it had been chosen.
class frmInstalarLivro : public shell::SkinnedWindow, private PainelInstalacao {
    Q_OBJECT
  public:
    // escolha: the file choice (the dialog, or a test's script); encerrar ends the program.
    frmInstalarLivro(platform::Platform &platform, shell::SharedState &state, drive::MountDrive &drives,
                     messages::MessageBox &box, EscolhaArquivo *escolha, std::function<void()> encerrar,
                     QWidget *parent = nullptr);
    ~frmInstalarLivro() override;

    // The load step: unloads the book list when it came from there, takes the
    // front, loads skin and texts, maps the user's books again, then shows itself
    // and hides the main window. False, with the missing file, when a picture is
    // missing. The window is busy meanwhile.
    bool carrega(QString *error);

    QLabel *FXLblDisponivel() const { return m_disponivel; }
    QLabel *FXLblMensagem() const { return m_mensagem; }
    QTimer *tmrMsg() { return &m_tmrMsg; }
    QTimer *Timer1() { return &m_timer1; }

    // The user's download folder, where the dialog starts.
    static QString pastaDownloadsDoUsuario(platform::Platform &platform);

    void RestauraBotoes() override;

  signals:
    void livroPedido(); // button 2: the book list
    void ajudaPedida(); // button 4: help

  protected:
    void acaoBotao(int indice) override;
    void closeEvent(QCloseEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;

  private:
    void mostraProgresso(const QString &texto) override;
    void animaProgresso(bool ligado) override;
    void habilitaBotoes(bool habilitados) override;
    static QString zipSolto(const QMimeData *dados);
    // An install, chosen or dropped, with the window busy until its last report.
    void runInstall(const std::function<void()> &flow);

    drive::MountDrive &m_drives;
    messages::MessageBox &m_box;
    std::function<void()> m_encerrar;
    std::unique_ptr<EscolhaArquivo> m_dialogo;
    InstalarLivro m_instalar;
    QLabel *m_disponivel;
    QLabel *m_mensagem;
    QTimer m_tmrMsg;
    QTimer m_timer1;
};

} // namespace install
