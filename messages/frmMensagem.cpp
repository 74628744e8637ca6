#include "frmMensagem.h"

#include "shell/skin/FieldStyle.h"
#include "shell/skin/SkinPicture.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>

#include <algorithm>
#include <utility>

namespace messages {

namespace {

using shell::skin::loadSkinPicture;
using shell::skin::pixelsToTwips;
using shell::skin::twipsToPixels;

constexpr int kTitleArea = twipsToPixels(500); // the part of the background that moves the box

QRect px(const MessageBoxLayout::Control &c)
{
    return QRect(twipsToPixels(c.left), twipsToPixels(c.top), twipsToPixels(c.width),
                 twipsToPixels(c.height));
}

QString html(const QString &texto)
{
    QString out;
    for (const MessageBoxLayout::ColourRun &t : MessageBoxLayout::colourRuns(texto)) {
        const QString part = t.texto.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
        out += t.blue ? QStringLiteral("<span style=\"color:#0000ff\">%1</span>").arg(part) : part;
    }
    return out;
}

// The click area of a face, which also takes the keyboard focus for it and
// rings the whole face while it has it.
class FaceArea : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent *) override
    {
        if (hasFocus())
            shell::skin::paintFocusRing(this, rect().adjusted(-1, 0, 1, 0));
    }
    void focusInEvent(QFocusEvent *e) override
    {
        QWidget::focusInEvent(e);
        update();
    }
    void focusOutEvent(QFocusEvent *e) override
    {
        QWidget::focusOutEvent(e);
        update();
    }
};

void paintCaption(QRadioButton *b, const QColor &colour)
{
    QPalette pal = b->palette();
    pal.setColor(QPalette::WindowText, colour);
    pal.setColor(QPalette::ButtonText, colour);
    b->setPalette(pal);
}

} // namespace

frmMensagem::frmMensagem(const QString &folder, int tipoCaixa, int wait)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_folder(folder)
    , m_tipoCaixa(tipoCaixa)
    , m_wait(wait)
{
    setObjectName(QStringLiteral("frmMensagem"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(shell::skin::palette::kBody));
    setPalette(pal);

    auto label = [this](const char *name) {
        auto *l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setMouseTracking(true);
        l->installEventFilter(this);
        return l;
    };
    m_fundo = label("Fundo");
    m_fundo->setPixmap(loadSkinPicture(m_folder + QString::fromLatin1(shell::skin::msgbox::kBackgroundFile),
                                       devicePixelRatioF()));
    m_fundo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_fxBotton = label("FxBotton");
    m_fxBotton->setStyleSheet(
        QStringLiteral("background: #%1;").arg(shell::skin::palette::kAmber, 6, 16, QChar(u'0')));
    m_tarja = label("fximgTarja");
    m_tarja->setPixmap(loadSkinPicture(m_folder + QStringLiteral("Tarja.JPG"), devicePixelRatioF()));
    m_tarja->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_logo = label("fximgLogo");
    m_logo->setPixmap(loadSkinPicture(m_folder + QStringLiteral("MSGLOGO.JPG"), devicePixelRatioF()));
    m_zeko = label("fximgZEKO");
    m_zeko->setPixmap(loadSkinPicture(m_folder + QStringLiteral("MSGZEKO.JPG"), devicePixelRatioF()));
    m_rtf = label("MensagemRtf");
    m_rtf->setTextFormat(Qt::RichText);
    m_rtf->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_rtf->setStyleSheet(QStringLiteral("color: #000000; background: transparent;"));
    for (int i = 0; i < 3; ++i) {
        m_faces[i] = label(QStringLiteral("Button%1").arg(i + 1).toLatin1().constData());
        m_images[i] = new QLabel(m_faces[i]);
        m_images[i]->setObjectName(QStringLiteral("ImageButton%1").arg(i + 1));
        m_images[i]->setMouseTracking(true);
        m_images[i]->installEventFilter(this);
        m_areas[i] = new FaceArea(m_images[i]);
        m_areas[i]->setObjectName(QStringLiteral("AreaButton%1").arg(i + 1));
        m_areas[i]->setMouseTracking(true);
        shell::skin::markAsButton(m_areas[i]);
        m_areas[i]->setCursor(Qt::PointingHandCursor);
        m_areas[i]->installEventFilter(this);
    }

    // The course dialogues' controls, hidden until a layout shows them.
    m_txtProcuraDir = new QLineEdit(this);
    m_txtProcuraDir->setObjectName(QStringLiteral("txtProcuraDir"));
    m_txtProcuraDir->setStyleSheet(shell::skin::fieldStyle(12));
    connect(m_txtProcuraDir, &QLineEdit::textChanged, this,
            [this](const QString &t) { emit folderChanged(courseDialogue::folderOfEntry(t)); });
    m_cmbLicaoMsg = new shell::skin::DropDownList(12, this);
    m_cmbLicaoMsg->setObjectName(QStringLiteral("cmbLicaoMsg"));
    connect(m_cmbLicaoMsg, &QComboBox::activated, this,
            [this](int i) { emit sectionChosen(m_cmbLicaoMsg->itemText(i)); });
    m_textoDrive = label("textoDrive");
    m_textoDrive->setFont(captionFont(true));
    m_textoDrive->setStyleSheet(QStringLiteral("color: #000000; background: transparent;"));
    auto option = [this](const QString &name, const QString &caption, QButtonGroup *group, int id) {
        auto *b = new QRadioButton(caption, this);
        b->setObjectName(name);
        b->setFont(captionFont(false));
        b->setFocusPolicy(Qt::TabFocus);
        paintCaption(b, Qt::black);
        group->addButton(b, id);
        return b;
    };
    m_optMsgGroup = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i)
        m_optMsg[i] =
            option(QStringLiteral("OptMsg(%1)").arg(i), courseDialogue::kOptMsgCaptions[i], m_optMsgGroup, i);
    connect(m_optMsgGroup, &QButtonGroup::idClicked, this, [this](int chosen) {
        for (int i = 0; i < 2; ++i)
            paintCaption(m_optMsg[i], i == chosen ? QColor(255, 0, 0) : QColor(Qt::black));
    });
    m_optionGroup = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i)
        m_options[i] = option(QStringLiteral("Option%1").arg(i + 1), courseDialogue::kOptionCaptions[i],
                              m_optionGroup, i + 1);
    connect(m_optionGroup, &QButtonGroup::idClicked, this, &frmMensagem::optionChosen);
    for (QWidget *k :
         std::initializer_list<QWidget *>{m_txtProcuraDir, m_cmbLicaoMsg, m_textoDrive, m_optMsg[0],
                                          m_optMsg[1], m_options[0], m_options[1], m_options[2]})
        k->hide();

    m_timer.setInterval(4000);
    m_timer.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5% early
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_timer.stop();
        answer(1);
    });
}

frmMensagem::~frmMensagem()
{
    // QWidget's destructor may take the focus from a face after this part of the
    // box is gone: its filter must not see that.
    for (QObject *o : findChildren<QObject *>())
        o->removeEventFilter(this);
}

QFont frmMensagem::messageFont(int tamanhoFonte)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setBold(true);
    f.setPixelSize(tamanhoFonte * 96 / 72);
    return f;
}

QFont frmMensagem::captionFont(bool bold)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setBold(bold);
    f.setPixelSize(12);
    return f;
}

int frmMensagem::captionWidth(const QString &caption)
{
    return pixelsToTwips(QFontMetrics(captionFont(true)).horizontalAdvance(caption));
}

int frmMensagem::optionWidth(const QString &caption)
{
    QRadioButton probe(caption);
    probe.setFont(captionFont(false));
    return pixelsToTwips(probe.sizeHint().width());
}

void frmMensagem::apply(const MessageBoxLayout::Result &r, int tamanhoFonte, const QString &textoRtf,
                        const CourseControls &course, const QString &startFolder, const QString &findPicture)
{
    m_codes = r.buttons.codes;
    setFixedSize(twipsToPixels(r.width), twipsToPixels(r.height));
    m_tarja->setGeometry(0, 0, width(), twipsToPixels(MessageBoxLayout::kTitleHeight));
    m_logo->setGeometry(twipsToPixels(r.logo.left), 0,
                        m_logo->pixmap().deviceIndependentSize().toSize().width(), m_tarja->height());
    m_zeko->setGeometry(px(r.zeko));
    m_fundo->setGeometry(twipsToPixels(r.fundo.left), m_tarja->height(), width(), height());
    m_fxBotton->setGeometry(0, twipsToPixels(r.fxBotton.top), width(),
                            shell::skin::msgbox::kBottomStripHeight);

    m_rtf->setFont(messageFont(tamanhoFonte));
    m_rtf->setText(html(textoRtf.isEmpty() ? r.texto : textoRtf));
    const QString plain = MessageBoxLayout::plainText(textoRtf.isEmpty() ? r.texto : textoRtf);
    m_rtf->setAccessibleName(plain);
    setAccessibleName(QStringLiteral("ZEKO Download"));
    setAccessibleDescription(plain);
    m_escapeFace = MessageBoxLayout::escapeButton(r);
    m_rtf->setGeometry(px(r.mensagemRtf).adjusted(0, 0, 0, 2));

    m_visibleFaces = 0;
    for (int i = 0; i < 3; ++i) {
        const MessageBoxLayout::Control &f = r.faces[i];
        m_faces[i]->setVisible(f.visible);
        if (!f.visible)
            continue;
        ++m_visibleFaces;
        m_faces[i]->setGeometry(px(f));
        const bool find = i == 2 && m_codes[i] == QStringLiteral("FIND");
        m_faces[i]->setPixmap(loadSkinPicture(
            find ? findPicture : m_folder + m_codes[i] + QStringLiteral("_NM.JPG"), devicePixelRatioF()));
        m_images[i]->setGeometry(0, 0, m_faces[i]->width(), m_faces[i]->height());
        m_areas[i]->setGeometry(1, 0, m_faces[i]->width() - 2, m_faces[i]->height());
        m_areas[i]->setAccessibleName(MessageBoxLayout::caption(m_codes[i]));
    }
    m_timer.stop();
    if (r.timer)
        m_timer.start();
    m_rtf->raise();
    for (QLabel *f : m_faces)
        f->raise();

    auto place = [](QWidget *k, const MessageBoxLayout::Control &c) {
        k->setVisible(c.visible);
        if (c.visible) {
            k->setGeometry(px(c));
            k->raise();
        }
    };
    {
        // The first text is the folder chosen before; setting it reports it as chosen.
        m_txtProcuraDir->setText(r.txtProcuraDir.visible ? startFolder : QString());
        place(m_txtProcuraDir, r.txtProcuraDir);
        const QSignalBlocker blocker(m_cmbLicaoMsg);
        m_cmbLicaoMsg->clear();
        m_cmbLicaoMsg->addItems(course.lessons);
        m_cmbLicaoMsg->setCurrentIndex(-1); // nothing chosen until the user chooses
        place(m_cmbLicaoMsg, r.lesson);
        m_textoDrive->setText(r.driveCaption);
        place(m_textoDrive, r.textoDrive);
    }
    for (int i = 0; i < 2; ++i)
        place(m_optMsg[i], r.optMsg[i]);
    for (int i = 0; i < 3; ++i)
        place(m_options[i], r.options[i]);
    // The default answer is the first option.
    m_options[0]->setChecked(true);
    m_tarja->raise();
    m_logo->raise();
    m_zeko->raise();

    // Tab in reading order: the controls under the text, then the faces.
    const std::initializer_list<QWidget *> chain{m_txtProcuraDir, m_cmbLicaoMsg, m_optMsg[0],  m_optMsg[1],
                                                 m_options[0],    m_options[1],  m_options[2], m_areas[0],
                                                 m_areas[1],      m_areas[2]};
    for (auto k = chain.begin(); k + 1 != chain.end(); ++k)
        setTabOrder(*k, *(k + 1));
    // The folder entry first, where there is one; else the first face, so that
    // the focus shows what Enter answers.
    if (r.txtProcuraDir.visible)
        m_txtProcuraDir->setFocus(Qt::OtherFocusReason);
    else if (m_visibleFaces > 0)
        for (int i = 0; i < 3; ++i)
            if (r.faces[i].visible) {
                m_areas[i]->setFocus(Qt::OtherFocusReason);
                break;
            }

    if (const QScreen *s = QGuiApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
    }
}

QString frmMensagem::faceImage(int n) const
{
    if (!m_faces[n - 1]->isVisible())
        return {};
    return m_overlays[n - 1].isEmpty() ? m_codes[n - 1] + QStringLiteral("_NM.JPG") : m_overlays[n - 1];
}

void frmMensagem::showOverlay(int n, const char *state)
{
    const QString file = m_codes[n - 1] + u'_' + QString::fromLatin1(state) + QStringLiteral(".JPG");
    m_images[n - 1]->setPixmap(loadSkinPicture(m_folder + file, devicePixelRatioF()));
    m_overlays[n - 1] = file;
}

void frmMensagem::clearFaces()
{
    for (int i = 0; i < 3; ++i) {
        if (!m_overlays[i].isEmpty()) {
            m_images[i]->setPixmap(QPixmap());
            m_overlays[i].clear();
        }
    }
}

void frmMensagem::answer(int n)
{
    if (m_answered)
        return;
    m_answered = true;
    emit answered(n);
}

void frmMensagem::releaseFace(int n, bool inside)
{
    showOverlay(n, "MM");
    // A folder box's first button waits for a folder.
    if (inside && (n > 1 || courseDialogue::firstButtonAnswers(m_tipoCaixa, m_txtProcuraDir->text())))
        answer(n);
}

bool frmMensagem::faceKey(int i, QEvent *e)
{
    shell::skin::ButtonKeys &keys = m_faceKeys[std::size_t(i)];
    switch (e->type()) {
    case QEvent::KeyPress: {
        const auto *k = static_cast<QKeyEvent *>(e);
        if (!shell::skin::ButtonKeys::handles(k))
            return false;
        if (keys.press(k)) {
            showOverlay(i + 1, "MC");
            m_images[std::size_t(i)]->repaint();
        }
        return true;
    }
    case QEvent::KeyRelease:
        if (!keys.release(static_cast<QKeyEvent *>(e)))
            return shell::skin::ButtonKeys::handles(static_cast<QKeyEvent *>(e));
        releaseFace(i + 1, true);
        return true;
    case QEvent::FocusOut:
        if (keys.cancel())
            clearFaces();
        return false;
    default:
        return false;
    }
}

void frmMensagem::keyPressEvent(QKeyEvent *e)
{
    const int key = e->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if ((key != Qt::Key_Escape && !enter) || e->modifiers() & ~Qt::KeypadModifier)
        return QWidget::keyPressEvent(e);
    // On the press: the controls that pass these keys on may keep their
    // releases. A key held down from the window below answers nothing.
    if (e->isAutoRepeat())
        return;
    if (!enter) {
        // Esc does nothing in a box without a cancel or "no" face.
        if (m_escapeFace)
            releaseFace(m_escapeFace, true);
    } else if (m_faces[0]->isVisible()) {
        releaseFace(1, true);
    } else if (m_tipoCaixa == 0) {
        answer(1); // a box without faces closes on Enter as on a click
    }
}

bool frmMensagem::eventFilter(QObject *o, QEvent *e)
{
    const auto type = e->type();
    for (int i = 0; i < 3; ++i)
        if (o == m_areas[i] &&
            (type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::FocusOut))
            return faceKey(i, e);
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(o, e);
    auto *me = static_cast<QMouseEvent *>(e);
    const QPoint p = me->position().toPoint();

    for (int i = 0; i < 3; ++i) {
        if (o == m_areas[i]) {
            if (type == QEvent::MouseButtonPress && me->button() == Qt::LeftButton) {
                showOverlay(i + 1, "MC");
                m_images[i]->repaint();
            } else if (type == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton) {
                releaseFace(i + 1, m_areas[i]->rect().contains(p));
            } else if (type == QEvent::MouseMove && !m_dragging && m_overlays[i].isEmpty()) {
                showOverlay(i + 1, "MM");
            }
            return true;
        }
        if (o == m_images[i]) {
            // The margin of a face, outside its click area.
            if (type == QEvent::MouseMove)
                clearFaces();
            return true;
        }
    }

    const bool onTitle = o == m_tarja || o == m_logo || o == m_zeko;
    const bool fundo = o == m_fundo;
    const bool texto = o == m_rtf;
    if (!onTitle && !fundo && !texto && o != m_fxBotton)
        return QWidget::eventFilter(o, e);

    if (type == QEvent::MouseButtonPress && me->button() == Qt::LeftButton) {
        // A waiting box cannot be moved by its title bar.
        if (!onTitle || m_wait == 0) {
            m_dragging = true;
            m_pressPoint = p;
            m_pressScreenPoint = me->globalPosition().toPoint();
        }
    } else if (type == QEvent::MouseMove) {
        if (fundo)
            clearFaces();
        if (m_dragging && (onTitle || texto || (fundo && m_tipoCaixa > 0 && m_pressPoint.y() < kTitleArea)))
            move(pos() + (p - m_pressPoint));
    } else if (type == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton) {
        // A hand moves a little while clicking; only a move the platform would
        // call a drag is one.
        const bool eraClique =
            !m_dragging || (me->globalPosition().toPoint() - m_pressScreenPoint).manhattanLength() <
                               QApplication::startDragDistance();
        m_dragging = false;
        // Only a box without buttons closes on a click.
        if (m_tipoCaixa == 0 && eraClique && static_cast<QWidget *>(o)->rect().contains(p))
            answer(1);
    } else if (type == QEvent::MouseButtonDblClick && m_tipoCaixa == 0 && o == m_tarja) {
        answer(1);
    }
    return true;
}

void frmMensagem::mouseMoveEvent(QMouseEvent *e)
{
    clearFaces();
    QWidget::mouseMoveEvent(e);
}

void frmMensagem::closeEvent(QCloseEvent *e)
{
    // Closed by the window manager: a box never waits for ever. It answers as its
    // last button would (OK, "no", or cancel/close), the answer that changes
    // nothing; in a folder box that is cancel, not its FIND face.
    if (!m_answered)
        answer(m_codes[2] == QStringLiteral("FIND") && m_faces[2]->isVisible() ? 2
                                                                               : std::max(1, m_visibleFaces));
    e->accept();
}

} // namespace messages
