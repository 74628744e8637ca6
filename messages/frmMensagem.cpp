#include "frmMensagem.h"

#include "platform/Platform.h"
#include "shell/SharedState.h"
#include "shell/Sistema.h"
#include "shell/skin/SkinnedWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>
#include <memory>

namespace messages {

namespace {

constexpr int kTwips = 15;
constexpr int kAreaTitulo = 500 / kTwips; // the part of the background that moves the box

QRect px(const MessageBoxLayout::Controle &c)
{
    return QRect(c.left / kTwips, c.top / kTwips, c.width / kTwips, c.height / kTwips);
}

QFont fonteMensagem(int tamanhoFonte)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setBold(true);
    f.setPixelSize(tamanhoFonte * 96 / 72);
    return f;
}

QString html(const QString &texto)
{
    QString out;
    for (const MessageBoxLayout::Trecho &t : MessageBoxLayout::marcacaoCor(texto)) {
        const QString parte = t.texto.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
        out += t.azul ? QStringLiteral("<span style=\"color:#0000ff\">%1</span>").arg(parte) : parte;
    }
    return out;
}

} // namespace

frmMensagem::frmMensagem(const QString &pasta, int tipoCaixa, int aguarda)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_pasta(pasta)
    , m_tipoCaixa(tipoCaixa)
    , m_aguarda(aguarda)
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
    m_fundo->setPixmap(QPixmap(m_pasta + QString::fromLatin1(shell::skin::msgbox::kBackgroundFile)));
    m_fundo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_fxBotton = label("FxBotton");
    m_fxBotton->setStyleSheet(
        QStringLiteral("background: #%1;").arg(shell::skin::palette::kAmber, 6, 16, QChar(u'0')));
    m_tarja = label("fximgTarja");
    m_tarja->setPixmap(QPixmap(m_pasta + QStringLiteral("Tarja.JPG")));
    m_tarja->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_logo = label("fximgLogo");
    m_logo->setPixmap(QPixmap(m_pasta + QStringLiteral("MSGLOGO.JPG")));
    m_zeko = label("fximgZEKO");
    m_zeko->setPixmap(QPixmap(m_pasta + QStringLiteral("MSGZEKO.JPG")));
    m_rtf = label("MensagemRtf");
    m_rtf->setTextFormat(Qt::RichText);
    m_rtf->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_rtf->setStyleSheet(QStringLiteral("color: #000000; background: transparent;"));
    for (int i = 0; i < 3; ++i) {
        m_faces[i] = label(QStringLiteral("Button%1").arg(i + 1).toLatin1().constData());
        m_imagens[i] = new QLabel(m_faces[i]);
        m_imagens[i]->setObjectName(QStringLiteral("ImageButton%1").arg(i + 1));
        m_imagens[i]->setMouseTracking(true);
        m_imagens[i]->installEventFilter(this);
        m_areas[i] = new QWidget(m_imagens[i]);
        m_areas[i]->setObjectName(QStringLiteral("AreaButton%1").arg(i + 1));
        m_areas[i]->setMouseTracking(true);
        m_areas[i]->setCursor(Qt::PointingHandCursor);
        m_areas[i]->installEventFilter(this);
    }

    m_timer.setInterval(4000);
    m_timer.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5% early
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_timer.stop();
        responde(1);
    });
}

void frmMensagem::aplica(const MessageBoxLayout::Resultado &r, int tamanhoFonte, const QString &textoRtf)
{
    m_codigos = r.botoes;
    setFixedSize(r.width / kTwips, r.height / kTwips);
    m_tarja->setGeometry(0, 0, width(), MessageBoxLayout::kTitleHeight / kTwips);
    m_logo->setGeometry(r.logo.left / kTwips, 0, m_logo->pixmap().width(), m_tarja->height());
    m_zeko->setGeometry(px(r.zeko));
    m_fundo->setGeometry(r.fundo.left / kTwips, m_tarja->height(), width(), height());
    m_fxBotton->setGeometry(0, r.fxBotton.top / kTwips, width(), 3);

    m_rtf->setFont(fonteMensagem(tamanhoFonte));
    m_rtf->setText(html(textoRtf.isEmpty() ? r.texto : textoRtf));
    m_rtf->setGeometry(px(r.mensagemRtf).adjusted(0, 0, 0, 2));

    m_botoesVisiveis = 0;
    for (int i = 0; i < 3; ++i) {
        const MessageBoxLayout::Controle &f = r.faces[i];
        m_faces[i]->setVisible(f.visible);
        if (!f.visible)
            continue;
        ++m_botoesVisiveis;
        m_faces[i]->setGeometry(px(f));
        m_faces[i]->setPixmap(QPixmap(m_pasta + m_codigos[i] + QStringLiteral("_NM.JPG")));
        m_imagens[i]->setGeometry(0, 0, m_faces[i]->width(), m_faces[i]->height());
        m_areas[i]->setGeometry(1, 0, m_faces[i]->width() - 2, m_faces[i]->height());
    }
    m_timer.stop();
    if (r.timer)
        m_timer.start();
    m_rtf->raise();
    for (QLabel *f : m_faces)
        f->raise();
    m_tarja->raise();
    m_logo->raise();
    m_zeko->raise();

    if (const QScreen *s = QGuiApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
    }
}

QString frmMensagem::imagemFace(int n) const
{
    if (!m_faces[n - 1]->isVisible())
        return {};
    return m_sobreposicao[n - 1].isEmpty() ? m_codigos[n - 1] + QStringLiteral("_NM.JPG")
                                           : m_sobreposicao[n - 1];
}

void frmMensagem::mostraSobreposicao(int n, const char *estado)
{
    const QString arquivo = m_codigos[n - 1] + u'_' + QString::fromLatin1(estado) + QStringLiteral(".JPG");
    m_imagens[n - 1]->setPixmap(QPixmap(m_pasta + arquivo));
    m_sobreposicao[n - 1] = arquivo;
}

void frmMensagem::limpaFaces()
{
    for (int i = 0; i < 3; ++i) {
        if (!m_sobreposicao[i].isEmpty()) {
            m_imagens[i]->setPixmap(QPixmap());
            m_sobreposicao[i].clear();
        }
    }
}

void frmMensagem::responde(int n)
{
    if (m_respondida)
        return;
    m_respondida = true;
    emit respondida(n);
}

bool frmMensagem::eventFilter(QObject *o, QEvent *e)
{
    const auto type = e->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(o, e);
    auto *me = static_cast<QMouseEvent *>(e);
    const QPoint p = me->position().toPoint();

    for (int i = 0; i < 3; ++i) {
        if (o == m_areas[i]) {
            if (type == QEvent::MouseButtonPress && me->button() == Qt::LeftButton) {
                mostraSobreposicao(i + 1, "MC");
                m_imagens[i]->repaint();
            } else if (type == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton) {
                mostraSobreposicao(i + 1, "MM");
                if (m_areas[i]->rect().contains(p))
                    responde(i + 1); // no box of this product has a folder entry
            } else if (type == QEvent::MouseMove && !m_arrastando && m_sobreposicao[i].isEmpty()) {
                mostraSobreposicao(i + 1, "MM");
            }
            return true;
        }
        if (o == m_imagens[i]) {
            // The margin of a face, outside its click area.
            if (type == QEvent::MouseMove)
                limpaFaces();
            return true;
        }
    }

    const bool titulo = o == m_tarja || o == m_logo || o == m_zeko;
    const bool fundo = o == m_fundo;
    const bool texto = o == m_rtf;
    if (!titulo && !fundo && !texto && o != m_fxBotton)
        return QWidget::eventFilter(o, e);

    if (type == QEvent::MouseButtonPress && me->button() == Qt::LeftButton) {
        // A waiting box cannot be moved by its title bar.
        if (!titulo || m_aguarda == 0) {
            m_arrastando = true;
            m_pressao = p;
            m_pressaoTela = me->globalPosition().toPoint();
        }
    } else if (type == QEvent::MouseMove) {
        if (fundo)
            limpaFaces();
        if (m_arrastando && (titulo || texto || (fundo && m_tipoCaixa > 0 && m_pressao.y() < kAreaTitulo)))
            move(pos() + (p - m_pressao));
    } else if (type == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton) {
        // A hand moves a little while clicking; only a move the platform would
        // call a drag is one.
        const bool eraClique =
            !m_arrastando || (me->globalPosition().toPoint() - m_pressaoTela).manhattanLength() <
                                 QApplication::startDragDistance();
        m_arrastando = false;
        // Only a box without buttons closes on a click.
        if (m_tipoCaixa == 0 && eraClique && static_cast<QWidget *>(o)->rect().contains(p))
            responde(1);
    } else if (type == QEvent::MouseButtonDblClick && m_tipoCaixa == 0 && o == m_tarja) {
        responde(1);
    }
    return true;
}

void frmMensagem::mouseMoveEvent(QMouseEvent *e)
{
    limpaFaces();
    QWidget::mouseMoveEvent(e);
}

void frmMensagem::closeEvent(QCloseEvent *e)
{
    // Closed by the window manager: a box never waits for ever. It answers as its
    // last button would (OK, "no", or cancel/close), the answer that changes nothing.
    if (!m_respondida)
        responde(std::max(1, m_botoesVisiveis));
    e->accept();
}

CaixaMensagem::CaixaMensagem(shell::SharedState &state, platform::Platform &platform)
    : m_state(state)
    , m_platform(platform)
{
}

CaixaMensagem::~CaixaMensagem()
{
    for (const Aberta &a : std::as_const(m_abertas))
        delete a.form;
}

MessageBoxLayout::Medida CaixaMensagem::mede(const QString &texto, int tamanhoFonte)
{
    const QFontMetrics fm(fonteMensagem(tamanhoFonte));
    const QStringList linhas = texto.split(u'\n');
    int largura = 0;
    for (const QString &l : linhas)
        largura = std::max(largura, fm.horizontalAdvance(l));
    return {largura * kTwips, int(linhas.size()) * fm.lineSpacing() * kTwips};
}

void CaixaMensagem::descarrega(frmMensagem *form)
{
    m_abertas.removeIf([form](const Aberta &a) { return a.form == form || !a.form; });
    form->hide();
    form->deleteLater();
    const bool donoEspera =
        std::any_of(m_abertas.cbegin(), m_abertas.cend(), [](const Aberta &a) { return a.desabilitaDono; });
    if (!donoEspera)
        if (shell::SkinnedWindow *dono = shell::SkinnedWindow::porNome(m_state.strNomeForm)) {
            dono->setEnabled(true);
            dono->activateWindow();
        }
    m_form = m_abertas.isEmpty() ? nullptr : m_abertas.constLast().form.data();
    m_state.blnMsgAberta = !m_abertas.isEmpty();
}

void CaixaMensagem::ExibeMensagem(const QString &texto, int tipoCaixa, int tamanhoFonte, int tipoMensagem,
                                  bool aguardaResposta, const QString &textoRtf, int reservado)
{
    const QString idioma = shell::Sistema(m_platform).LeIdiomaInst();
    const QString relatorio = MessageBoxLayout::validacao(tipoCaixa, tamanhoFonte, tipoMensagem);
    if (!relatorio.isEmpty()) {
        ExibeMensagem(relatorio, 1, 10, 1, false, QString(), 0);
        return;
    }

    m_state.intBotaoMsg = 0;
    const bool espera = tipoCaixa > 1 || aguardaResposta;
    // A new box replaces one that no call waits for. One a call waits for stays
    // under the new box: its answer belongs to that call alone.
    if (!m_abertas.isEmpty() && !m_abertas.constLast().aguardada) {
        if (frmMensagem *anterior = m_abertas.takeLast().form) {
            anterior->disconnect();
            anterior->hide();
            anterior->deleteLater();
        }
    }
    auto *form = new frmMensagem(m_state.strPastaCaiMsg, tipoCaixa, aguardaResposta ? 1 : 0);
    m_form = form;
    m_abertas.append({form, espera, aguardaResposta});
    m_state.blnMsgAberta = true;
    // Shared with the connection, which may outlive this call if the application
    // closes down before the box is answered.
    const auto resposta = std::make_shared<int>(0);
    QObject::connect(form, &frmMensagem::respondida, form, [this, form, resposta](int n) {
        *resposta = n;
        m_state.intBotaoMsg = n;
        descarrega(form);
    });

    const int zekoWidth = shell::skin::pixelsToTwips(shell::skin::msgbox::kProductLogo.width);
    m_ultimo = m_layout.calcula(texto, tipoCaixa, tamanhoFonte, tipoMensagem, idioma, &CaixaMensagem::mede,
                                zekoWidth);
    form->aplica(m_ultimo, tamanhoFonte, textoRtf);

    if (aguardaResposta)
        if (shell::SkinnedWindow *dono = shell::SkinnedWindow::porNome(m_state.strNomeForm))
            dono->setEnabled(false);

    form->show();
    form->raise();
    m_reservado = reservado;
    if (espera) {
        while (*resposta == 0 && !QCoreApplication::closingDown())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // A box answered meanwhile left its own answer in the shared state.
        m_state.intBotaoMsg = *resposta;
    }
}

} // namespace messages
