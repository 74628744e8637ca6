#pragma once

#include "DialogoCurso.h"
#include "MessageBox.h"
#include "MessageBoxLayout.h"

#include <QLabel>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace platform {
class Platform;
}
namespace shell {
struct SharedState;
}

namespace messages {

// The skinned message box window. One is made for each box shown and goes when
// the box is answered.
class frmMensagem : public QWidget {
    Q_OBJECT
  public:
    frmMensagem(const QString &pasta, int tipoCaixa, int aguarda);

    // Places every control as the layout computed (twips) and shows the text.
    // A course dialogue's controls get their entries, the folder entry its
    // first text, and the "FIND" face the course's picture.
    void aplica(const MessageBoxLayout::Resultado &r, int tamanhoFonte, const QString &textoRtf,
                const ControlesCurso &curso, const QString &pastaInicial, const QString &imagemFind);

    // Font and widths (twips) of the course dialogues' captions.
    static QFont fonteLegenda(bool negrito);
    static int larguraRotulo(const QString &legenda);
    static int larguraOpcao(const QString &legenda);

    QLabel *face(int n) const { return m_faces[n - 1]; }
    QWidget *areaButton(int n) const { return m_areas[n - 1]; }
    QLabel *mensagemRtf() const { return m_rtf; }
    // The four-second close of a box without buttons, so tests need not wait it out.
    QTimer *timerAviso() { return &m_timer; }
    QLabel *tarja() const { return m_tarja; }
    QLabel *fundo() const { return m_fundo; }
    QLineEdit *txtProcuraDir() const { return m_procuraDir; }
    QComboBox *cmbLicaoMsg() const { return m_licao; }
    QLabel *textoDrive() const { return m_textoDrive; }
    QRadioButton *optMsg(int i) const { return m_optMsg[i]; }
    QRadioButton *option(int n) const { return m_opcoes[n - 1]; }
    // The picture file each face shows now, its overlay included (for tests).
    QString imagemFace(int n) const;

  signals:
    // The box was answered with button n (1, 2 or 3); it unloads next.
    void respondida(int n);
    // The folder entry now names this folder.
    void pastaAlterada(const QString &pasta);
    // Option n (1 to 3) of the answer options was chosen.
    void opcaoEscolhida(int n);
    // An entry of the section list was chosen.
    void secaoEscolhida(const QString &entrada);

  protected:
    bool eventFilter(QObject *o, QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

  private:
    void responde(int n);
    void limpaFaces();
    void mostraSobreposicao(int n, const char *estado);

    QString m_pasta;
    int m_tipoCaixa;
    int m_aguarda;
    std::array<QString, 3> m_codigos;
    std::array<QLabel *, 3> m_faces{};
    std::array<QLabel *, 3> m_imagens{};
    std::array<QWidget *, 3> m_areas{};
    std::array<QString, 3> m_sobreposicao;
    QLabel *m_tarja, *m_logo, *m_zeko, *m_fundo, *m_fxBotton, *m_rtf;
    QLineEdit *m_procuraDir;
    QComboBox *m_licao;
    QLabel *m_textoDrive;
    std::array<QRadioButton *, 2> m_optMsg{};
    std::array<QRadioButton *, 3> m_opcoes{};
    QButtonGroup *m_grupoOptMsg, *m_grupoOpcoes;
    QTimer m_timer;
    bool m_arrastando = false;
    QPoint m_pressao;
    QPoint m_pressaoTela; // on screen: the box may follow the pointer
    bool m_respondida = false;
    int m_botoesVisiveis = 0;
};

// The message box every window reports and asks through. A waiting call keeps
// the window in front disabled and processes events until its own box is
// answered. A box shown meanwhile goes on top; the waiting one stays under it.
class CaixaMensagem : public MessageBox {
  public:
    CaixaMensagem(shell::SharedState &state, platform::Platform &platform);
    ~CaixaMensagem() override;

    void ExibeMensagem(const QString &texto, int tipoCaixa, int tamanhoFonte, int tipoMensagem,
                       bool aguardaResposta, const QString &textoRtf, int reservado) override;

    // A course dialogue's section-list entries, answer options and two-way
    // choice for the next box shown, and only for it.
    void preparaDialogo(ControlesCurso curso) { m_curso = std::move(curso); }

    // The box on top, if any.
    frmMensagem *form() const { return m_form; }

    // Size of a text as the box's label shows it, in twips.
    static MessageBoxLayout::Medida mede(const QString &texto, int tamanhoFonte);

  private:
    struct Aberta {
        QPointer<frmMensagem> form;
        bool aguardada = false; // a call waits for its answer
        bool desabilitaDono = false;
    };

    void descarrega(frmMensagem *form);

    shell::SharedState &m_state;
    platform::Platform &m_platform;
    MessageBoxLayout m_layout;
    QPointer<frmMensagem> m_form;
    QList<Aberta> m_abertas; // boxes on screen, the last on top
    int m_reservado = 0;
    ControlesCurso m_curso;
};

} // namespace messages
