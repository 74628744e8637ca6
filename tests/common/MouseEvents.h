#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Mouse events delivered straight to a widget, the way the window system would
// after hit-testing, so window tests do not depend on a pointer position.
namespace mouse {

inline void send(QWidget *w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

inline void move(QWidget *w, QPoint p, Qt::MouseButtons buttons = Qt::NoButton)
{
    send(w, QEvent::MouseMove, p, Qt::NoButton, buttons);
}
inline void press(QWidget *w, QPoint p)
{
    send(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
}
inline void release(QWidget *w, QPoint p)
{
    send(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}
inline void click(QWidget *w, QPoint p = {})
{
    const QPoint at = p.isNull() ? w->rect().center() : p;
    move(w, at);
    press(w, at);
    release(w, at);
}

} // namespace mouse
