#pragma once

#include "CourseDialogue.h"
#include "MessageBoxLayout.h"
#include "shell/skin/PictureButton.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <array>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace messages {

// The skinned message box window. One is made for each box shown and goes when
// the box is answered. Tab moves among its controls and faces; Space or Enter
// presses the focused face, Enter elsewhere the first face, and Esc the box's
// cancel or "no" face where it has one.
class frmMensagem : public QWidget {
    Q_OBJECT
  public:
    frmMensagem(const QString &folder, int tipoCaixa, int wait);
    ~frmMensagem() override;

    // Places every control as the layout computed (twips) and shows the text.
    // A course dialogue's controls get their entries, the folder entry its
    // first text, and the "FIND" face the course's picture.
    void apply(const MessageBoxLayout::Result &r, int tamanhoFonte, const QString &textoRtf,
               const CourseControls &course, const QString &startFolder, const QString &findPicture);

    // The font of the box's text.
    static QFont messageFont(int tamanhoFonte);
    // Font and widths (twips) of the course dialogues' captions.
    static QFont captionFont(bool bold);
    static int captionWidth(const QString &caption);
    static int optionWidth(const QString &caption);

    QLabel *face(int n) const { return m_faces[n - 1]; }
    QWidget *areaButton(int n) const { return m_areas[n - 1]; }
    QLabel *mensagemRtf() const { return m_rtf; }
    // The four-second close of a box without buttons, so tests need not wait it out.
    QTimer *noticeTimer() { return &m_timer; }
    QLabel *tarja() const { return m_tarja; }
    QLabel *fundo() const { return m_fundo; }
    QLineEdit *txtProcuraDir() const { return m_txtProcuraDir; }
    QComboBox *cmbLicaoMsg() const { return m_cmbLicaoMsg; }
    QLabel *textoDrive() const { return m_textoDrive; }
    QRadioButton *optMsg(int i) const { return m_optMsg[i]; }
    QRadioButton *option(int n) const { return m_options[n - 1]; }
    // The picture file each face shows now, its overlay included (for tests).
    QString faceImage(int n) const;

  signals:
    // The box was answered with button n (1, 2 or 3); it unloads next.
    void answered(int n);
    // The folder entry now names this folder.
    void folderChanged(const QString &folder);
    // Option n (1 to 3) of the answer options was chosen.
    void optionChosen(int n);
    // An entry of the section list was chosen.
    void sectionChosen(const QString &entry);

  protected:
    bool eventFilter(QObject *o, QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

  private:
    void answer(int n);
    // Face n let go, by the mouse (`inside` its click area or not) or a key.
    void releaseFace(int n, bool inside);
    bool faceKey(int i, QEvent *e);
    void clearFaces();
    void showOverlay(int n, const char *state);

    QString m_folder;
    int m_tipoCaixa;
    int m_wait;
    std::array<QString, 3> m_codes;
    std::array<QLabel *, 3> m_faces{};
    std::array<QLabel *, 3> m_images{};
    std::array<QWidget *, 3> m_areas{};
    std::array<QString, 3> m_overlays;
    QLabel *m_tarja, *m_logo, *m_zeko, *m_fundo, *m_fxBotton, *m_rtf;
    QLineEdit *m_txtProcuraDir;
    QComboBox *m_cmbLicaoMsg;
    QLabel *m_textoDrive;
    std::array<QRadioButton *, 2> m_optMsg{};
    std::array<QRadioButton *, 3> m_options{};
    QButtonGroup *m_optMsgGroup, *m_optionGroup;
    QTimer m_timer;
    bool m_dragging = false;
    QPoint m_pressPoint;
    QPoint m_pressScreenPoint; // on screen: the box may follow the pointer
    bool m_answered = false;
    int m_visibleFaces = 0;
    int m_escapeFace = 0;
    std::array<shell::skin::ButtonKeys, 3> m_faceKeys;
};

} // namespace messages
