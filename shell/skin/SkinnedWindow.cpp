#include "SkinnedWindow.h"

#include "SkinPicture.h"

#include "messages/Catalogue.h"
#include "shell/SharedState.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace shell::skin {

namespace {

QList<SkinnedWindow *> &allWindows()
{
    static QList<SkinnedWindow *> list;
    return list;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Buttons that neither unload a window nor start a flow: they may be clicked while one waits.
bool harmlessWhileBusy(const QString &buttonName)
{
    return buttonName == QStringLiteral("Help") || buttonName == QStringLiteral("Minimizar");
}

constexpr int kHintMaxX = 600;
constexpr int kHintDelay = 400; // ms before a hint shows

} // namespace

SkinImage::SkinImage(QWidget *parent)
    : QLabel(parent)
{
    setMouseTracking(true);
}

void SkinImage::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        emit pressed(e->position().toPoint());
}

void SkinImage::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    emit released(e->position().toPoint());
    if (rect().contains(e->position().toPoint()))
        emit clicked();
}

void SkinImage::mouseMoveEvent(QMouseEvent *e)
{
    emit moved(e->position().toPoint());
}

void SkinImage::keyPressEvent(QKeyEvent *e)
{
    if (!ButtonKeys::handles(e))
        return QLabel::keyPressEvent(e);
    if (m_keys.press(e))
        emit pressed(rect().center());
}

void SkinImage::keyReleaseEvent(QKeyEvent *e)
{
    if (m_keys.release(e)) {
        emit released(rect().center());
        emit clicked(); // last: the click may delete the window
        return;
    }
    if (!ButtonKeys::handles(e))
        QLabel::keyReleaseEvent(e);
}

void SkinImage::focusInEvent(QFocusEvent *e)
{
    QLabel::focusInEvent(e);
    update();
    if (e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason)
        emit keyFocus(true);
}

void SkinImage::focusOutEvent(QFocusEvent *e)
{
    QLabel::focusOutEvent(e);
    update();
    emit keyFocus(false);
    if (m_keys.cancel())
        emit pressCancelled();
}

void SkinImage::paintEvent(QPaintEvent *e)
{
    QLabel::paintEvent(e);
    if (hasFocus())
        paintFocusRing(this, rect());
}

SkinnedWindow::SkinnedWindow(SharedState &state, const WindowSkin &skin, QString pictureFolder,
                             QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_state(state)
    , m_skin(skin)
    , m_name(QString::fromLatin1(skin.formName))
    , m_folder(std::move(pictureFolder))
{
    allWindows().append(this);
    setObjectName(m_name);
    setMouseTracking(true);
    m_background = new SkinImage(this);
    m_background->setObjectName(QStringLiteral("FXImgFundo"));
    m_dragBar = new SkinImage(this);
    m_dragBar->setObjectName(QStringLiteral("FXBarraSuperior"));

    m_hint = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);
    m_hint->setObjectName(QStringLiteral("Hint"));
    m_hint->setStyleSheet(
        QStringLiteral("QLabel { background: #fffbe6; color: #1d2b3a; border: 1px solid #8a7a4a;"
                       " padding: 3px 6px; font-family: 'Liberation Sans'; font-size: 9pt; }"));
    m_hintTimer.setSingleShot(true);
    m_hintTimer.setInterval(kHintDelay);
    connect(&m_hintTimer, &QTimer::timeout, this, [this] {
        if (!m_hint->text().isEmpty() && isVisible()) {
            m_hint->adjustSize();
            m_hint->move(m_hintPos);
            m_hint->show();
        }
    });

    connect(m_background, &SkinImage::moved, this, &SkinnedWindow::backgroundMoved);
    connect(m_dragBar, &SkinImage::pressed, this, [this](QPoint p) {
        m_dragging = true;
        m_grabPoint = p;
    });
    connect(m_dragBar, &SkinImage::moved, this, [this](QPoint p) {
        if (m_dragging)
            move(pos() + (p - m_grabPoint));
    });
    connect(m_dragBar, &SkinImage::released, this, [this](QPoint) {
        m_dragging = false;
        RestauraBotoes();
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        // Not the controls of a dialog this window owns: they go with it.
        if (now && now != this && now->window() == this)
            m_lastFocus = now;
    });
}

SkinnedWindow::~SkinnedWindow()
{
    allWindows().removeAll(this);
    // QWidget's destructor closes the window, which takes the focus from a button
    // after this part of it is gone: nothing of it may answer that.
    for (SkinImage *b : std::as_const(m_buttons))
        if (b)
            b->disconnect(this);
    disconnect(qApp, nullptr, this, nullptr);
}

SkinnedWindow *SkinnedWindow::byName(const QString &name)
{
    for (SkinnedWindow *w : allWindows())
        if (sameName(w->name(), name))
            return w;
    return nullptr;
}

SkinnedWindow::BusyGuard::BusyGuard(SkinnedWindow &window)
    : m_window(&window)
{
    ++window.m_busy;
}

SkinnedWindow::BusyGuard::~BusyGuard()
{
    if (m_window)
        --m_window->m_busy;
}

bool SkinnedWindow::anyBusy()
{
    return std::any_of(allWindows().cbegin(), allWindows().cend(),
                       [](const SkinnedWindow *w) { return w->isBusy(); });
}

bool SkinnedWindow::loadSkin(QString *error)
{
    auto missing = [error](const QString &file) {
        if (error)
            *error = file;
        return false;
    };
    m_pictureRatio = devicePixelRatioF();
    const QString backgroundFile = m_folder + QLatin1String(m_skin.background);
    const QPixmap background = loadSkinPicture(backgroundFile, m_pictureRatio);
    if (background.isNull())
        return missing(backgroundFile);
    QString mapError;
    if (!m_map.load(m_folder + QLatin1String(m_skin.hotSpotMap), &mapError))
        return missing(mapError);
    const QString dragBarFile = m_folder + QLatin1String(m_skin.dragBar);
    const QPixmap dragBar = loadSkinPicture(dragBarFile, m_pictureRatio);
    if (dragBar.isNull())
        return missing(dragBarFile);

    // In logical pixels, which a picture for a denser screen covers just as the 1x one.
    m_background->setPixmap(background);
    m_background->setGeometry(QRect(QPoint(0, 0), background.deviceIndependentSize().toSize()));
    m_dragBar->setPixmap(dragBar);
    m_dragBar->setGeometry(QRect(QPoint(0, 0), dragBar.deviceIndependentSize().toSize()));

    qDeleteAll(m_buttons.mid(1));
    m_buttons = {nullptr};
    m_currentImage = {QString()};
    const int n = int(m_skin.buttons.size());
    for (int i = 1; i <= n; ++i) {
        auto *b = new SkinImage(this);
        b->setObjectName(QStringLiteral("Botao%1").arg(i));
        if (i - 1 < m_map.regions().size())
            b->setGeometry(m_map.regions()[i - 1].rect);
        connect(b, &SkinImage::pressed, this, [this, i](QPoint) {
            // A click starts an action, often another window: the hint has done its work.
            m_hintTimer.stop();
            m_hint->hide();
            if (buttonEnabled(i))
                showImage(i, MC);
        });
        connect(b, &SkinImage::released, this, [this, i](QPoint) {
            if (buttonEnabled(i))
                showImage(i, MM);
        });
        // Moving over a button is moving over the background beneath it.
        connect(b, &SkinImage::moved, this,
                [this, b](QPoint p) { backgroundMoved(m_background->mapFrom(this, b->mapTo(this, p))); });
        connect(b, &SkinImage::clicked, this, [this, i] { clickButton(i); });
        connect(b, &SkinImage::pressCancelled, this, [this, i] { showImage(i, buttonEnabled(i) ? NM : DS); });
        // Tabbing to a button shows its hint where the pointer's hint shows.
        connect(b, &SkinImage::keyFocus, this, [this, i](bool in) {
            if (in && buttonEnabled(i)) {
                showHint(i, QPoint());
            } else if (!in) {
                m_hintTimer.stop();
                m_hint->hide();
            }
        });
        markAsButton(b);
        m_buttons.append(b);
        m_currentImage.append(QString());
        b->show();
    }
    m_dragBar->raise();
    for (int i = 1; i <= n; ++i)
        m_buttons[i]->raise();
    setHints(m_hints);
    orderFocusChain();

    CarregaImagensBotoes();
    for (int l = NM; l <= DS; ++l)
        for (int i = 1; i <= n; ++i)
            if (l != DS && m_imageLists[l].value(i).isNull())
                return missing(m_files[l].value(i));
    MostraBotoesNormais();
    return true;
}

void SkinnedWindow::CarregaImagensBotoes()
{
    if (!sameName(m_state.strNomeForm, name()))
        return;
    const int total = int(m_skin.buttons.size());
    for (int l = NM; l <= DS; ++l) {
        m_imageLists[l] = {QPixmap()};
        m_files[l] = {QString()};
        for (int i = 1; i <= total; ++i) {
            const char *state = kButtonStates[std::size_t(l)];
            if (l == DS) {
                const DisabledLook look = m_skin.buttons[std::size_t(i - 1)].disabled;
                if (look == DisabledLook::Never) {
                    m_imageLists[l].append(QPixmap());
                    m_files[l].append(QString());
                    continue;
                }
                if (look == DisabledLook::Normal)
                    state = kButtonStates[NM];
            }
            const QString file = m_folder + QString::fromStdString(m_skin.buttonFile(i, state));
            m_imageLists[l].append(loadSkinPicture(file, m_pictureRatio));
            m_files[l].append(file);
        }
    }
}

void SkinnedWindow::reloadPictures()
{
    if (devicePixelRatioF() == m_pictureRatio)
        return;
    m_pictureRatio = devicePixelRatioF();
    m_background->setPixmap(loadSkinPicture(m_folder + QLatin1String(m_skin.background), m_pictureRatio));
    m_dragBar->setPixmap(loadSkinPicture(m_folder + QLatin1String(m_skin.dragBar), m_pictureRatio));
    CarregaImagensBotoes();
    RestauraBotoes();
}

void SkinnedWindow::showImage(int i, ImageList list)
{
    SkinImage *b = m_buttons.value(i);
    if (!b)
        return;
    const QPixmap &p = m_imageLists[list].value(i);
    if (p.isNull())
        return;
    b->setPixmap(p);
    b->setVisible(true);
    m_currentImage[i] = m_files[list].value(i);
    // Let the new picture show before a long action that may follow.
    b->repaint();
}

void SkinnedWindow::MostraBotoesNormais()
{
    if (!sameName(m_state.strNomeForm, name()))
        return;
    for (int i = 1; i < m_buttons.size(); ++i)
        showImage(i, NM);
}

void SkinnedWindow::HabilitaBotao(int intIndice, bool bHabilitado)
{
    SkinnedWindow *w = byName(m_state.strNomeForm);
    if (!w || intIndice < 1 || intIndice >= w->m_buttons.size() ||
        w->m_skin.buttons[std::size_t(intIndice - 1)].disabled == DisabledLook::Never)
        return;
    SkinImage *button = w->m_buttons[intIndice];
    // A button disabled under the focus for the length of a flow (the install's
    // own button) has it back when the flow is over, not the one the focus
    // passed on to while the others went grey.
    if (!bHabilitado && !w->m_focusAfterEnable &&
        (w->focusWidget() == button || (w->m_lastFocus == button && !w->focusWidget())))
        w->m_focusAfterEnable = button;
    setButtonEnabled(button, bHabilitado);
    w->showImage(intIndice, bHabilitado ? NM : DS);
    if (bHabilitado && w->m_focusAfterEnable == button) {
        w->m_focusAfterEnable = nullptr;
        button->setFocus(Qt::OtherFocusReason);
    }
}

void SkinnedWindow::setHints(const QStringList &hints)
{
    m_hints = hints;
    for (int i = 1; i < m_buttons.size(); ++i) {
        m_buttons[i]->setAccessibleName(m_hints.value(i));
        m_buttons[i]->setAccessibleDescription(m_hints.value(i));
    }
}

void SkinnedWindow::clickButton(int i)
{
    if (!buttonEnabled(i) || (isBusy() && !harmlessWhileBusy(buttonName(i))))
        return;
    emit buttonClicked(i);
    buttonAction(i);
}

void SkinnedWindow::orderFocusChain()
{
    // The title bar's two buttons are always the last two indices.
    const int chrome = buttonCount() - 1;
    QList<QWidget *> content;
    for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const int index = int(m_buttons.indexOf(qobject_cast<SkinImage *>(w)));
        if (index >= chrome || (index < 1 && !(w->focusPolicy() & Qt::TabFocus)))
            continue;
        content.append(w);
    }
    std::stable_sort(content.begin(), content.end(), [](const QWidget *a, const QWidget *b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    for (int i = std::max(chrome, 1); i <= buttonCount(); ++i)
        content.append(m_buttons[i]);
    for (qsizetype i = 0; i + 1 < content.size(); ++i)
        setTabOrder(content[i], content[i + 1]);
    m_focusChain = content;
}

QWidget *SkinnedWindow::initialFocus() const
{
    for (QWidget *w : m_focusChain)
        if (w->focusPolicy() & Qt::TabFocus && w->isEnabled())
            return w;
    return nullptr;
}

void SkinnedWindow::restoreFocus()
{
    QWidget *target = m_lastFocus;
    if (!target || !(target->focusPolicy() & Qt::TabFocus) || !target->isVisible())
        target = initialFocus();
    if (target)
        target->setFocus(Qt::OtherFocusReason);
}

void SkinnedWindow::keyPressEvent(QKeyEvent *e)
{
    const int key = e->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if ((key != Qt::Key_Escape && !enter) || e->modifiers() & ~Qt::KeypadModifier)
        return QWidget::keyPressEvent(e);
    if (!e->isAutoRepeat() && !m_windowKey)
        m_windowKey = key;
}

void SkinnedWindow::keyReleaseEvent(QKeyEvent *e)
{
    if (e->isAutoRepeat() || !m_windowKey || e->key() != m_windowKey)
        return QWidget::keyReleaseEvent(e);
    const int button = std::exchange(m_windowKey, 0) == Qt::Key_Escape ? escapeButton() : enterButton();
    if (button > 0)
        clickButton(button); // last: the click may delete the window
}

void SkinnedWindow::RestauraBotoes()
{
    for (int i = 1; i < m_buttons.size(); ++i)
        showImage(i, buttonEnabled(i) ? NM : DS);
}

void SkinnedWindow::PosicionaForm(bool bRedimensiona)
{
    if (bRedimensiona) {
        setFixedSize(m_skin.size.width, m_skin.size.height);
    }
    if (const QScreen *s = screen()) {
        const QRect g = s->geometry();
        move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
    }
    // Moved to a screen of another pixel ratio, the window takes the pictures made for it.
    if (QWindow *w = windowHandle())
        connect(w, &QWindow::screenChanged, this, &SkinnedWindow::reloadPictures, Qt::UniqueConnection);
}

void SkinnedWindow::DefineJanelaNoTopo(bool bNoTopo)
{
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) != bNoTopo)
        setWindowFlag(Qt::WindowStaysOnTopHint, bNoTopo);
    show();
    // Placed first without "no activate": the window also takes the keyboard.
    activateWindow();
}

void SkinnedWindow::backgroundMoved(QPoint pos)
{
    const HotSpotMap::Hit hit = m_map.regionAt(pos);
    if (hit.name.isEmpty()) {
        for (int i = 1; i < m_buttons.size(); ++i)
            showImage(i, buttonEnabled(i) ? NM : DS);
    } else {
        const int i = buttonIndex(hit.name);
        if (i > 0 && buttonEnabled(i))
            showImage(i, MM);
    }
    updateHint(hit, pos);
}

void SkinnedWindow::updateHint(const HotSpotMap::Hit &hit, QPoint pos)
{
    if (hit.number < 0) {
        m_hintTimer.stop();
        m_hint->hide();
        return;
    }
    const int index = hit.number + 1;
    if (!buttonEnabled(index) || pos.x() > kHintMaxX)
        return;
    showHint(index, pos);
}

void SkinnedWindow::showHint(int index, QPoint pos)
{
    // The tip stands at fixed offsets from the pointer that cancel its position.
    const int base = index == 5 ? 20 : index == 6 ? 30 : -12;
    const QPoint offset(32 - pos.x(), base - pos.y());
    m_hintPos = m_background->mapToGlobal(pos + offset);
    const QString text = m_hints.value(index);
    if (m_hint->text() != text || !m_hint->isVisible()) {
        m_hint->setText(text);
        m_hintTimer.start();
    }
}

QRect SkinnedWindow::toRect(const skin::Rect &r)
{
    return QRect(r.x, r.y, r.width, r.height);
}

void SkinnedWindow::styleLabel(QLabel *label, const skin::LabelLayout &labelLayout)
{
    label->setGeometry(toRect(labelLayout.rect));
    label->setAlignment((labelLayout.align == skin::Align::Left    ? Qt::AlignLeft
                         : labelLayout.align == skin::Align::Right ? Qt::AlignRight
                                                                   : Qt::AlignHCenter) |
                        Qt::AlignVCenter);
    label->setStyleSheet(QStringLiteral("QLabel { color: #%1; font-family: 'Liberation Sans', Arial;"
                                        " font-size: %2px; font-weight: %3; background: transparent; }")
                             .arg(labelLayout.darkText ? skin::palette::kDarkText : skin::palette::kLightText,
                                  6, 16, QChar(u'0'))
                             .arg(labelLayout.fontPixelSize)
                             .arg(labelLayout.bold ? QStringLiteral("bold") : QStringLiteral("normal")));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SkinnedWindow::bringToFront(const WindowSkin &previous)
{
    const QString previousName = QString::fromLatin1(previous.formName);
    if (sameName(m_state.strNomeForm, previousName))
        if (SkinnedWindow *other = byName(previousName))
            other->close();
    m_state.strNomeForm = name();
    m_state.blnVoltaPrincipal = false;
}

void SkinnedWindow::loadHints(std::initializer_list<int> codes)
{
    messages::Catalogue &catalogue = *m_state.catalogue;
    QStringList hints;
    for (int code : codes)
        hints.append(code ? catalogue.hint(code) : QString());
    setHints(hints);
}

void SkinnedWindow::showInPlaceOfMain()
{
    PosicionaForm(false);
    DefineJanelaNoTopo(false);
    if (SkinnedWindow *mainWindow = this->mainWindow())
        mainWindow->hide();
}

void SkinnedWindow::backToMain()
{
    m_state.blnVoltaPrincipal = true;
    m_state.strNomeForm = QString::fromLatin1((m_skin.mainSkin ? m_skin.mainSkin : &m_skin)->formName);
    close();
}

void SkinnedWindow::backToMainIfAsked()
{
    if (!m_state.blnVoltaPrincipal)
        return;
    if (SkinnedWindow *mainWindow = this->mainWindow()) {
        mainWindow->show();
        mainWindow->activateWindow();
        mainWindow->MostraBotoesNormais();
    }
}

SkinnedWindow *SkinnedWindow::mainWindow() const
{
    return m_skin.mainSkin ? byName(QString::fromLatin1(m_skin.mainSkin->formName)) : nullptr;
}

QLatin1String SkinnedWindow::buttonName(int i) const
{
    return QLatin1String(m_skin.buttons[std::size_t(i - 1)].hotSpot);
}

int SkinnedWindow::buttonIndex(const QString &hotSpot) const
{
    for (int i = 1; i <= int(m_skin.buttons.size()); ++i)
        if (hotSpot == buttonName(i))
            return i;
    return 0;
}

void SkinnedWindow::showNormalButton(int i)
{
    showImage(i, NM);
}

void SkinnedWindow::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    // Disabling the window (while a message box waits) took the focus from its
    // controls; enabling it gives the focus back where it was.
    if (e->type() == QEvent::EnabledChange && isEnabled() && !focusWidget())
        restoreFocus();
    if (e->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized()) {
        // The text the task bar shows for a minimised window.
        setWindowTitle(QStringLiteral("ZEKO Download"));
        QApplication::processEvents();
    } else {
        setWindowTitle(QString());
        PosicionaForm(true);
    }
}

void SkinnedWindow::closeEvent(QCloseEvent *e)
{
    // A flow of this window still runs and comes back into it.
    if (isBusy()) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

void SkinnedWindow::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!focusWidget())
        restoreFocus();
    if (!isMinimized())
        PosicionaForm(true);
}

void SkinnedWindow::mouseMoveEvent(QMouseEvent *e)
{
    backgroundMoved(m_background->mapFrom(this, e->position().toPoint()));
}

} // namespace shell::skin
