#pragma once

#include <QRect>

class QKeyEvent;
class QWidget;

namespace shell::skin {

// Pictures that act as push buttons (the windows' image buttons, the message
// box's faces), for the keyboard and for assistive technology.
//
// A marked widget is reported with the button role, its accessible name and
// description, whether it is enabled, and a press action that presses it as the
// Space key does. Tab reaches it only while it is enabled.
void markAsButton(QWidget *button);
// The window may disable a picture button while the widget itself stays enabled
// (the mouse still runs over it): it then leaves the Tab chain and, when it had
// the focus, hands it on.
void setButtonEnabled(QWidget *button, bool enabled);
// Whether the window has the button enabled (the widget's own enabled state aside).
bool buttonEnabled(const QWidget *button);

// The ring that shows which picture button has the keyboard focus, drawn in the
// skin's amber inside `r` of `button`.
void paintFocusRing(QWidget *button, QRect r);

// Space, Enter and Return press a focused picture button. The face goes down on
// the key's press and the button acts on the release of the same key, so that
// the release never reaches a window the action opened; a release without its
// press (the key went down in another window) and auto-repeat do nothing.
class ButtonKeys {
  public:
    // True for the keys that press a button (Space, Enter, Return, unmodified):
    // the button takes them, pressed or held.
    static bool handles(const QKeyEvent *e);
    // True when `e` is a new press of the button (not one held down already).
    bool press(const QKeyEvent *e);
    // True when `e` releases the key that pressed it: the button acts.
    bool release(const QKeyEvent *e);
    // Forgets a press whose release will not come here (the focus went).
    bool cancel();

  private:
    int m_key = 0;
};

} // namespace shell::skin
