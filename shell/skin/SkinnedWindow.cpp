#include "SkinnedWindow.h"

#include "messages/Catalogue.h"
#include "shell/SharedState.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>

namespace shell {

namespace {

QList<SkinnedWindow *> &janelas()
{
    static QList<SkinnedWindow *> list;
    return list;
}

bool mesmoNome(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Buttons that neither unload a window nor start a flow: they may be clicked while one waits.
bool harmlessWhileBusy(const QString &nomeBotao)
{
    return nomeBotao == QStringLiteral("Help") || nomeBotao == QStringLiteral("Minimizar");
}

constexpr int kTwipsPorPixel = 15;
constexpr int kHintLimiteX = 600;
constexpr int kHintAtraso = 400; // ms before a hint shows

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

SkinnedWindow::SkinnedWindow(SharedState &state, Skin skin, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_state(state)
    , m_skin(std::move(skin))
{
    janelas().append(this);
    setObjectName(m_skin.nome);
    setMouseTracking(true);
    m_fundo = new SkinImage(this);
    m_fundo->setObjectName(QStringLiteral("FXImgFundo"));
    m_barra = new SkinImage(this);
    m_barra->setObjectName(QStringLiteral("FXBarraSuperior"));

    m_hint = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);
    m_hint->setObjectName(QStringLiteral("Hint"));
    m_hint->setStyleSheet(
        QStringLiteral("QLabel { background: #fffbe6; color: #1d2b3a; border: 1px solid #8a7a4a;"
                       " padding: 3px 6px; font-family: 'Liberation Sans'; font-size: 9pt; }"));
    m_hintTimer.setSingleShot(true);
    m_hintTimer.setInterval(kHintAtraso);
    connect(&m_hintTimer, &QTimer::timeout, this, [this] {
        if (!m_hint->text().isEmpty() && isVisible()) {
            m_hint->adjustSize();
            m_hint->move(m_hintPos);
            m_hint->show();
        }
    });

    connect(m_fundo, &SkinImage::moved, this, &SkinnedWindow::movimentoFundo);
    connect(m_barra, &SkinImage::pressed, this, [this](QPoint p) {
        m_arrastando = true;
        m_pega = p;
    });
    connect(m_barra, &SkinImage::moved, this, [this](QPoint p) {
        if (m_arrastando)
            move(pos() + (p - m_pega));
    });
    connect(m_barra, &SkinImage::released, this, [this](QPoint) {
        m_arrastando = false;
        RestauraBotoes();
    });
}

SkinnedWindow::~SkinnedWindow()
{
    janelas().removeAll(this);
}

SkinnedWindow *SkinnedWindow::porNome(const QString &nome)
{
    for (SkinnedWindow *w : janelas())
        if (mesmoNome(w->nome(), nome))
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
    return std::any_of(janelas().cbegin(), janelas().cend(),
                       [](const SkinnedWindow *w) { return w->isBusy(); });
}

QSize SkinnedWindow::tamanhoFixo(const QString &nome)
{
    const QString n = nome.toUpper();
    if (n == QStringLiteral("FRMPRINCIPAL"))
        return {6555, 5160};
    if (n == QStringLiteral("FRMABRIRLIVRO"))
        return {10230, 5160};
    if (n == QStringLiteral("FRMINSTALARLIVRO"))
        return {9180, 3765};
    return {};
}

bool SkinnedWindow::carregaSkin(QString *error)
{
    auto falta = [error](const QString &arquivo) {
        if (error)
            *error = arquivo;
        return false;
    };
    const QPixmap fundo(m_skin.pasta + m_skin.fundo);
    if (fundo.isNull())
        return falta(m_skin.pasta + m_skin.fundo);
    QString mapError;
    if (!m_mapa.load(m_skin.pasta + m_skin.mapa, &mapError))
        return falta(mapError);
    const QPixmap barra(m_skin.pasta + m_skin.barra);
    if (barra.isNull())
        return falta(m_skin.pasta + m_skin.barra);

    m_fundo->setPixmap(fundo);
    m_fundo->setGeometry(0, 0, fundo.width(), fundo.height());
    m_barra->setPixmap(barra);
    m_barra->setGeometry(0, 0, barra.width(), barra.height());

    qDeleteAll(m_botoes.mid(1));
    m_botoes = {nullptr};
    m_habilitado = {false};
    m_imagemAtual = {QString()};
    const int n = int(m_skin.stems.size()) - 1;
    for (int i = 1; i <= n; ++i) {
        auto *b = new SkinImage(this);
        b->setObjectName(QStringLiteral("Botao%1").arg(i));
        if (i - 1 < m_mapa.regions().size())
            b->setGeometry(m_mapa.regions()[i - 1].rect);
        connect(b, &SkinImage::pressed, this, [this, i](QPoint) {
            // A click starts an action, often another window: the hint has done its work.
            m_hintTimer.stop();
            m_hint->hide();
            if (m_habilitado[i])
                mostraImagem(i, MC);
        });
        connect(b, &SkinImage::released, this, [this, i](QPoint) {
            if (m_habilitado[i])
                mostraImagem(i, MM);
        });
        // Moving over a button is moving over the background beneath it.
        connect(b, &SkinImage::moved, this,
                [this, b](QPoint p) { movimentoFundo(m_fundo->mapFrom(this, b->mapTo(this, p))); });
        connect(b, &SkinImage::clicked, this, [this, i] {
            if (!m_habilitado[i] || (isBusy() && !harmlessWhileBusy(m_skin.nomesBotoes.value(i))))
                return;
            emit botaoClicado(i);
            acaoBotao(i);
        });
        m_botoes.append(b);
        m_habilitado.append(true);
        m_imagemAtual.append(QString());
        b->show();
    }
    m_barra->raise();
    for (int i = 1; i <= n; ++i)
        m_botoes[i]->raise();

    CarregaImagensBotoes();
    for (int l = NM; l <= DS; ++l)
        for (int i = 1; i <= n; ++i)
            if (l != DS && m_listas[l].value(i).isNull())
                return falta(m_arquivos[l].value(i));
    MostraBotoesNormais();
    return true;
}

void SkinnedWindow::CarregaImagensBotoes()
{
    if (!mesmoNome(m_state.strNomeForm, nome()))
        return;
    const QString n = nome().toUpper();
    const int total = int(m_skin.stems.size()) - 1;
    const char *estados[4] = {"NM", "MM", "MC", "DS"};
    for (int l = NM; l <= DS; ++l) {
        m_listas[l] = {QPixmap()};
        m_arquivos[l] = {QString()};
        for (int i = 1; i <= total; ++i) {
            QString estado = QString::fromLatin1(estados[l]);
            if (l == DS) {
                // The main window never disables a button; the book list has
                // disabled pictures only for the buttons it disables.
                if (n == QStringLiteral("FRMPRINCIPAL")) {
                    m_listas[l].append(QPixmap());
                    m_arquivos[l].append(QString());
                    continue;
                }
                if (n == QStringLiteral("FRMABRIRLIVRO") && i != 1 && i != 5)
                    estado = QStringLiteral("NM");
            }
            const QString arquivo =
                m_skin.pasta + m_skin.prefixo + m_skin.stems[i] + u'_' + estado + QStringLiteral(".jpg");
            m_listas[l].append(QPixmap(arquivo));
            m_arquivos[l].append(arquivo);
        }
    }
}

void SkinnedWindow::mostraImagem(int i, Lista lista)
{
    SkinImage *b = m_botoes.value(i);
    if (!b)
        return;
    const QPixmap &p = m_listas[lista].value(i);
    if (p.isNull())
        return;
    b->setPixmap(p);
    b->setVisible(true);
    m_imagemAtual[i] = m_arquivos[lista].value(i);
    // Let the new picture show before a long action that may follow.
    b->repaint();
}

void SkinnedWindow::MostraBotoesNormais()
{
    if (!mesmoNome(m_state.strNomeForm, nome()))
        return;
    for (int i = 1; i < m_botoes.size(); ++i)
        mostraImagem(i, NM);
}

void SkinnedWindow::HabilitaBotao(int intIndice, bool bHabilitado)
{
    const QString n = m_state.strNomeForm.toUpper();
    if (n != QStringLiteral("FRMABRIRLIVRO") && n != QStringLiteral("FRMINSTALARLIVRO"))
        return;
    SkinnedWindow *w = porNome(m_state.strNomeForm);
    if (!w || intIndice < 1 || intIndice >= w->m_botoes.size())
        return;
    w->m_habilitado[intIndice] = bHabilitado;
    w->mostraImagem(intIndice, bHabilitado ? NM : DS);
}

void SkinnedWindow::RestauraBotoes()
{
    for (int i = 1; i < m_botoes.size(); ++i)
        mostraImagem(i, m_habilitado[i] ? NM : DS);
}

void SkinnedWindow::PosicionaForm(bool bRedimensiona)
{
    if (bRedimensiona) {
        const QSize t = tamanhoFixo(nome());
        if (t.isValid())
            setFixedSize(t / kTwipsPorPixel);
    }
    if (const QScreen *s = screen()) {
        const QRect g = s->geometry();
        move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
    }
}

void SkinnedWindow::DefineJanelaNoTopo(bool bNoTopo)
{
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) != bNoTopo)
        setWindowFlag(Qt::WindowStaysOnTopHint, bNoTopo);
    show();
}

void SkinnedWindow::movimentoFundo(QPoint pos)
{
    const HotSpotMap::Hit hit = m_mapa.regionAt(pos);
    if (hit.name.isEmpty()) {
        for (int i = 1; i < m_botoes.size(); ++i)
            mostraImagem(i, m_habilitado[i] ? NM : DS);
    } else {
        const int i = int(m_skin.nomesBotoes.indexOf(hit.name));
        if (i > 0 && m_habilitado.value(i))
            mostraImagem(i, MM);
    }
    atualizaHint(hit, pos);
}

void SkinnedWindow::atualizaHint(const HotSpotMap::Hit &hit, QPoint pos)
{
    if (hit.number < 0) {
        m_hintTimer.stop();
        m_hint->hide();
        return;
    }
    const int indice = hit.number + 1;
    if (!m_habilitado.value(indice) || pos.x() > kHintLimiteX)
        return;
    // The tip stands at fixed offsets from the pointer that cancel its position.
    const int base = indice == 5 ? 20 : indice == 6 ? 30 : -12;
    const QPoint offset(32 - pos.x(), base - pos.y());
    m_hintPos = m_fundo->mapToGlobal(pos + offset);
    const QString texto = m_hints.value(indice);
    if (m_hint->text() != texto || !m_hint->isVisible()) {
        m_hint->setText(texto);
        m_hintTimer.start();
    }
}

QRect SkinnedWindow::retangulo(const skin::Rect &r)
{
    return QRect(r.x, r.y, r.width, r.height);
}

void SkinnedWindow::estiloRotulo(QLabel *label, const skin::LabelLayout &rotulo)
{
    label->setGeometry(retangulo(rotulo.rect));
    label->setAlignment((rotulo.align == skin::Align::Left    ? Qt::AlignLeft
                         : rotulo.align == skin::Align::Right ? Qt::AlignRight
                                                              : Qt::AlignHCenter) |
                        Qt::AlignVCenter);
    label->setStyleSheet(
        QStringLiteral("QLabel { color: #%1; font-family: 'Liberation Sans', Arial;"
                       " font-size: %2px; font-weight: %3; background: transparent; }")
            .arg(rotulo.darkText ? skin::palette::kDarkText : skin::palette::kLightText, 6, 16, QChar(u'0'))
            .arg(rotulo.fontPixelSize)
            .arg(rotulo.bold ? QStringLiteral("bold") : QStringLiteral("normal")));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SkinnedWindow::tomaAFrente(const QString &anterior)
{
    if (mesmoNome(m_state.strNomeForm, anterior))
        if (SkinnedWindow *outra = porNome(anterior))
            outra->close();
    m_state.strNomeForm = nome();
    m_state.blnVoltaPrincipal = false;
}

void SkinnedWindow::carregaHints(std::initializer_list<int> codigos)
{
    messages::Catalogue &catalogo = *m_state.catalogo;
    QStringList hints;
    for (int codigo : codigos)
        hints.append(codigo ? catalogo.hint(codigo) : QString());
    setHints(hints);
}

void SkinnedWindow::mostraNoLugarDoPrincipal()
{
    PosicionaForm(false);
    DefineJanelaNoTopo(false);
    if (SkinnedWindow *principal = porNome(QStringLiteral("frmPrincipal")))
        principal->hide();
}

void SkinnedWindow::voltaAoPrincipal()
{
    m_state.blnVoltaPrincipal = true;
    m_state.strNomeForm = QStringLiteral("frmPrincipal");
    close();
}

void SkinnedWindow::voltaAoPrincipalSePedido()
{
    if (!m_state.blnVoltaPrincipal)
        return;
    if (SkinnedWindow *principal = porNome(QStringLiteral("frmPrincipal"))) {
        principal->show();
        principal->MostraBotoesNormais();
    }
}

void SkinnedWindow::mostraBotaoNormal(int i)
{
    mostraImagem(i, NM);
}

void SkinnedWindow::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
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
    if (!isMinimized())
        PosicionaForm(true);
}

void SkinnedWindow::mouseMoveEvent(QMouseEvent *e)
{
    movimentoFundo(m_fundo->mapFrom(this, e->position().toPoint()));
}

} // namespace shell
