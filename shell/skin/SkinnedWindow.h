#pragma once

#include "HotSpotMap.h"
#include "PictureButton.h"
#include "SkinLayout.h"

#include <QLabel>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QCloseEvent;

namespace shell {
struct SharedState;
}

namespace shell::skin {

// A picture that reports the mouse: the background, the drag bar, each button.
// A button also takes Space, Enter and Return while it has the focus, which it
// reports as the mouse's press, release and click at its centre.
class SkinImage : public QLabel {
    Q_OBJECT
  public:
    explicit SkinImage(QWidget *parent);
  signals:
    void pressed(QPoint pos);
    void released(QPoint pos);
    void moved(QPoint pos);
    void clicked();
    // A key press whose release will not come: the focus went meanwhile.
    void pressCancelled();
    // Tab or Shift+Tab brought the focus here, or took it away.
    void keyFocus(bool in);

  protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

  private:
    ButtonKeys m_keys;
};

// A frameless window painted from pictures: a background with named hot spots,
// a drag bar, image buttons with normal, hover, pressed and disabled pictures,
// hints, a fixed size and centring. The three working windows build on it, each
// with its own skin.
class SkinnedWindow : public QWidget {
    Q_OBJECT
  public:
    // pictureFolder: where this installation keeps the skin's pictures, with a
    // trailing slash.
    SkinnedWindow(SharedState &state, const WindowSkin &skin, QString pictureFolder,
                  QWidget *parent = nullptr);
    ~SkinnedWindow() override;

    // The skinned window of that name (letter case ignored), if one exists.
    static SkinnedWindow *byName(const QString &name);

    // Held for as long as a flow of the window can wait (on a message box, a
    // dialog or a worker thread), so that the window outlives the flow: while
    // one is held the window refuses to close, takes only clicks on help and
    // minimise, and no other window opens. Guards nest.
    class BusyGuard {
      public:
        explicit BusyGuard(SkinnedWindow &window);
        ~BusyGuard();
        BusyGuard(const BusyGuard &) = delete;
        BusyGuard &operator=(const BusyGuard &) = delete;

      private:
        // Its owner may still delete the window outright (at the program's end).
        QPointer<SkinnedWindow> m_window;
    };
    [[nodiscard]] BusyGuard busy() { return BusyGuard(*this); }
    bool isBusy() const { return m_busy > 0; }
    // True while a flow of any skinned window is under way.
    static bool anyBusy();

    const QString &name() const { return m_name; }

    // Loads background, hot-spot map, drag bar and button pictures and paints
    // the buttons normal. False, with the missing file named, when a picture or
    // the map cannot be read.
    [[nodiscard]] bool loadSkin(QString *error);

    void CarregaImagensBotoes();
    void MostraBotoesNormais();
    // Gives one button its normal picture.
    void showNormalButton(int i);
    // Enables or disables a button of the window in front, unless that window
    // never disables it (the main window disables none).
    void HabilitaBotao(int intIndice, bool bHabilitado);
    // The working windows' shared steps. At load: unload the window of skin
    // `previous` when it is the one in front, and take the front.
    void bringToFront(const WindowSkin &previous);
    // The window's hints: the Botoes rows of these codes, by button index (0 unused).
    void loadHints(std::initializer_list<int> codes);
    // At the end of the load: fixed size, centred, not on top, the skin's main window hidden.
    void showInPlaceOfMain();
    // "Principal": unloads this window so that the main window shows again.
    void backToMain();
    // At unload: the main window again when "Principal" asked for it.
    void backToMainIfAsked();

    // Gives the window its skin's size (when asked) and centres it on the screen.
    void PosicionaForm(bool bRedimensiona);
    void DefineJanelaNoTopo(bool bNoTopo);
    // After a drag: labels refreshed, buttons normal or disabled.
    virtual void RestauraBotoes();

    int buttonCount() const { return int(m_buttons.size()) - 1; }
    SkinImage *Botao(int i) const { return m_buttons.value(i); }
    bool buttonEnabled(int i) const
    {
        const SkinImage *b = m_buttons.value(i);
        return b && skin::buttonEnabled(b);
    }
    // The picture file a button shows now (for tests and diagnostics).
    QString buttonImage(int i) const { return m_currentImage.value(i); }
    SkinImage *background() const { return m_background; }
    SkinImage *dragBar() const { return m_dragBar; }
    QLabel *hint() const { return m_hint; }

    // The buttons' hints, by index (0 unused); they are also what a screen reader says of each.
    void setHints(const QStringList &hints);

  signals:
    void buttonClicked(int index);

  protected:
    // What each window does for a click on button i.
    virtual void buttonAction(int index) = 0;
    // The button that Esc, or Enter on a control that is not a button, clicks; 0 for none.
    virtual int escapeButton() const { return 0; }
    virtual int enterButton() const { return 0; }
    // Where the keyboard focus goes when the window first shows.
    virtual QWidget *initialFocus() const;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    const WindowSkin &windowSkin() const { return m_skin; }
    // Places and styles a text label as the skin's layout gives it.
    static void styleLabel(QLabel *label, const skin::LabelLayout &labelLayout);
    static QRect toRect(const skin::Rect &r);
    void changeEvent(QEvent *e) override;
    // Refused while the window is busy; a subclass goes on only when e is accepted.
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

    SharedState &m_state;

  private:
    enum ImageList { NM, MM, MC, DS };
    // A click on button i, whether by the mouse or the keyboard.
    void clickButton(int i);
    void orderFocusChain();
    void restoreFocus();
    void showImage(int i, ImageList list);
    // The pictures again, for the device pixel ratio of the screen the window is on now.
    void reloadPictures();
    void backgroundMoved(QPoint pos);
    void updateHint(const HotSpotMap::Hit &hit, QPoint pos);
    void showHint(int index, QPoint at);
    // The skin's main window, if this is not it and it exists.
    SkinnedWindow *mainWindow() const;
    // The hot-spot name of button i, and the button of a hot spot (0 for none).
    QLatin1String buttonName(int i) const;
    int buttonIndex(const QString &hotSpot) const;

    const WindowSkin &m_skin;
    const QString m_name;
    const QString m_folder;
    HotSpotMap m_map;
    SkinImage *m_background = nullptr;
    SkinImage *m_dragBar = nullptr;
    QLabel *m_hint = nullptr;
    QTimer m_hintTimer;
    QList<SkinImage *> m_buttons{nullptr};
    QList<QString> m_currentImage{QString()};
    std::array<QList<QPixmap>, 4> m_imageLists;
    std::array<QList<QString>, 4> m_files;
    qreal m_pictureRatio = 1; // the device pixel ratio the pictures were loaded for
    QStringList m_hints;
    bool m_dragging = false;
    int m_busy = 0;
    QPoint m_grabPoint;
    QPoint m_hintPos;
    // The buttons and controls in the order Tab visits them: the window's content
    // in reading order, then the title bar's minimise and exit.
    QList<QWidget *> m_focusChain;
    // The control that had the focus last, to give it back when the window is
    // enabled again after a message box.
    QPointer<QWidget> m_lastFocus;
    QPointer<QWidget> m_focusAfterEnable;
    int m_windowKey = 0; // Esc or Enter pressed on the window, awaiting its release
};

} // namespace shell::skin
