#include "PictureButton.h"

#include "SkinLayout.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

#include <mutex>
#include <utility>

namespace shell::skin {

namespace {

constexpr const char *kButtonProperty = "zekoPictureButton";
constexpr const char *kDisabledProperty = "zekoButtonDisabled";

void pressByKey(QWidget *w)
{
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(w, &up);
}

class AccessiblePictureButton : public QAccessibleWidget {
  public:
    explicit AccessiblePictureButton(QWidget *w)
        : QAccessibleWidget(w, QAccessible::Button)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (!buttonEnabled(widget())) {
            s.disabled = true;
            s.focusable = false;
        }
        return s;
    }
    QStringList actionNames() const override
    {
        return pressable() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction() && pressable())
            pressByKey(widget());
    }
    bool pressable() const { return widget()->isEnabled() && buttonEnabled(widget()); }
    QStringList keyBindingsForAction(const QString &action) const override
    {
        return action == pressAction() ? QStringList{QStringLiteral("Space")} : QStringList{};
    }
};

QAccessibleInterface *pictureButtonFactory(const QString &, QObject *o)
{
    if (o && o->isWidgetType() && o->property(kButtonProperty).toBool())
        return new AccessiblePictureButton(static_cast<QWidget *>(o));
    return nullptr;
}

} // namespace

void markAsButton(QWidget *button)
{
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(&pictureButtonFactory); });
    button->setProperty(kButtonProperty, true);
    button->setFocusPolicy(Qt::TabFocus);
}

bool buttonEnabled(const QWidget *button)
{
    return !button->property(kDisabledProperty).toBool();
}

void setButtonEnabled(QWidget *button, bool enabled)
{
    if (buttonEnabled(button) == enabled)
        return;
    button->setProperty(kDisabledProperty, !enabled);
    button->setFocusPolicy(enabled ? Qt::TabFocus : Qt::NoFocus);
    // Also in a window that is not active now: it would give the focus back to the button.
    if (!enabled && button->window()->focusWidget() == button) {
        // As Qt does for a widget it disables: the focus moves on, or goes.
        QWidget *next = button->nextInFocusChain();
        while (next != button && !(next->window() == button->window() && next->focusPolicy() & Qt::TabFocus &&
                                   next->isVisibleTo(button->window()) && next->isEnabled()))
            next = next->nextInFocusChain();
        if (next != button)
            next->setFocus(Qt::TabFocusReason);
        else
            button->clearFocus();
    }
    QAccessible::State changed;
    changed.disabled = true;
    changed.focusable = true;
    QAccessibleStateChangeEvent event(button, changed);
    QAccessible::updateAccessibility(&event);
}

void paintFocusRing(QWidget *button, QRect r)
{
    QPainter p(button);
    p.setRenderHint(QPainter::Antialiasing);
    // Amber on a dark hairline, so the ring shows on the light body, on the
    // navy title bar and against the amber of a main action alike.
    const QRectF ring = QRectF(r).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(QColor::fromRgb(palette::kNavy), 3.5));
    p.drawRoundedRect(ring, 4, 4);
    p.setPen(QPen(QColor::fromRgb(palette::kAmber), 2));
    p.drawRoundedRect(ring, 4, 4);
}

bool ButtonKeys::handles(const QKeyEvent *e)
{
    const int key = e->key();
    return (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) &&
           !(e->modifiers() & ~Qt::KeypadModifier);
}

bool ButtonKeys::press(const QKeyEvent *e)
{
    if (!handles(e) || e->isAutoRepeat() || m_key)
        return false;
    m_key = e->key();
    return true;
}

bool ButtonKeys::release(const QKeyEvent *e)
{
    if (e->isAutoRepeat() || !m_key || e->key() != m_key)
        return false;
    m_key = 0;
    return true;
}

bool ButtonKeys::cancel()
{
    return std::exchange(m_key, 0) != 0;
}

} // namespace shell::skin
