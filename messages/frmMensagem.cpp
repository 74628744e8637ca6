#include "frmMensagem.h"

#include "platform/Platform.h"
#include "shell/SharedState.h"
#include "shell/Sistema.h"
#include "shell/skin/Campos.h"
#include "shell/skin/SkinnedWindow.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QImageReader>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>

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

// Where the course looks for the picture of its folder boxes' third face.
const QString kImagemFind = QStringLiteral("A:\\Imagem\\Sistema\\FIND_NM.JPG");

void pintaLegenda(QRadioButton *b, const QColor &cor)
{
    QPalette pal = b->palette();
    pal.setColor(QPalette::WindowText, cor);
    pal.setColor(QPalette::ButtonText, cor);
    b->setPalette(pal);
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

    // The course dialogues' controls, hidden until a layout shows them.
    m_procuraDir = new QLineEdit(this);
    m_procuraDir->setObjectName(QStringLiteral("txtProcuraDir"));
    m_procuraDir->setStyleSheet(shell::skin::estiloCampo(12));
    connect(m_procuraDir, &QLineEdit::textChanged, this,
            [this](const QString &t) { emit pastaAlterada(dialogo::pastaDaEntrada(t)); });
    m_licao = new shell::skin::ListaSuspensa(12, this);
    m_licao->setObjectName(QStringLiteral("cmbLicaoMsg"));
    connect(m_licao, &QComboBox::activated, this,
            [this](int i) { emit secaoEscolhida(m_licao->itemText(i)); });
    m_textoDrive = label("textoDrive");
    m_textoDrive->setFont(fonteLegenda(true));
    m_textoDrive->setStyleSheet(QStringLiteral("color: #000000; background: transparent;"));
    auto opcao = [this](const QString &nome, const QString &legenda, QButtonGroup *grupo, int id) {
        auto *b = new QRadioButton(legenda, this);
        b->setObjectName(nome);
        b->setFont(fonteLegenda(false));
        b->setFocusPolicy(Qt::NoFocus); // keys stay with the folder entry; none answers the box
        pintaLegenda(b, Qt::black);
        grupo->addButton(b, id);
        return b;
    };
    m_grupoOptMsg = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i)
        m_optMsg[i] =
            opcao(QStringLiteral("OptMsg(%1)").arg(i), dialogo::kLegendaOptMsg[i], m_grupoOptMsg, i);
    connect(m_grupoOptMsg, &QButtonGroup::idClicked, this, [this](int escolhido) {
        for (int i = 0; i < 2; ++i)
            pintaLegenda(m_optMsg[i], i == escolhido ? QColor(255, 0, 0) : QColor(Qt::black));
    });
    m_grupoOpcoes = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i)
        m_opcoes[i] =
            opcao(QStringLiteral("Option%1").arg(i + 1), dialogo::kLegendaOpcao[i], m_grupoOpcoes, i + 1);
    connect(m_grupoOpcoes, &QButtonGroup::idClicked, this, &frmMensagem::opcaoEscolhida);
    for (QWidget *k : std::initializer_list<QWidget *>{m_procuraDir, m_licao, m_textoDrive, m_optMsg[0],
                                                       m_optMsg[1], m_opcoes[0], m_opcoes[1], m_opcoes[2]})
        k->hide();

    m_timer.setInterval(4000);
    m_timer.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5% early
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_timer.stop();
        responde(1);
    });
}

QFont frmMensagem::fonteLegenda(bool negrito)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setBold(negrito);
    f.setPixelSize(12);
    return f;
}

int frmMensagem::larguraRotulo(const QString &legenda)
{
    return QFontMetrics(fonteLegenda(true)).horizontalAdvance(legenda) * kTwips;
}

int frmMensagem::larguraOpcao(const QString &legenda)
{
    QRadioButton medida(legenda);
    medida.setFont(fonteLegenda(false));
    return medida.sizeHint().width() * kTwips;
}

void frmMensagem::aplica(const MessageBoxLayout::Resultado &r, int tamanhoFonte, const QString &textoRtf,
                         const ControlesCurso &curso, const QString &pastaInicial, const QString &imagemFind)
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
        const bool find = i == 2 && m_codigos[i] == QStringLiteral("FIND");
        m_faces[i]->setPixmap(
            QPixmap(find ? imagemFind : m_pasta + m_codigos[i] + QStringLiteral("_NM.JPG")));
        m_imagens[i]->setGeometry(0, 0, m_faces[i]->width(), m_faces[i]->height());
        m_areas[i]->setGeometry(1, 0, m_faces[i]->width() - 2, m_faces[i]->height());
    }
    m_timer.stop();
    if (r.timer)
        m_timer.start();
    m_rtf->raise();
    for (QLabel *f : m_faces)
        f->raise();

    auto coloca = [](QWidget *k, const MessageBoxLayout::Controle &c) {
        k->setVisible(c.visible);
        if (c.visible) {
            k->setGeometry(px(c));
            k->raise();
        }
    };
    {
        // The first text is the folder chosen before; setting it reports it as chosen.
        m_procuraDir->setText(r.procuraDir.visible ? pastaInicial : QString());
        coloca(m_procuraDir, r.procuraDir);
        const QSignalBlocker quieto(m_licao);
        m_licao->clear();
        m_licao->addItems(curso.licoes);
        m_licao->setCurrentIndex(-1); // nothing chosen until the user chooses
        coloca(m_licao, r.licao);
        m_textoDrive->setText(r.legendaDrive);
        coloca(m_textoDrive, r.textoDrive);
    }
    for (int i = 0; i < 2; ++i)
        coloca(m_optMsg[i], r.optMsg[i]);
    for (int i = 0; i < 3; ++i)
        coloca(m_opcoes[i], r.opcoes[i]);
    // The default answer is the first option.
    m_opcoes[0]->setChecked(true);
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
                // A folder box's first button waits for a folder.
                if (m_areas[i]->rect().contains(p) &&
                    (i > 0 || dialogo::primeiroBotaoResponde(m_tipoCaixa, m_procuraDir->text())))
                    responde(i + 1);
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
    // last button would (OK, "no", or cancel/close), the answer that changes
    // nothing; in a folder box that is cancel, not its FIND face.
    if (!m_respondida)
        responde(m_codigos[2] == QStringLiteral("FIND") && m_faces[2]->isVisible()
                     ? 2
                     : std::max(1, m_botoesVisiveis));
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
    // The default answer option is the first; a choice of an earlier box does not carry over.
    m_state.blnOpcao1 = true;
    m_state.blnOpcao3 = false;
    if (tipoCaixa == 25 || tipoCaixa == 26) {
        m_state.strLicaoMsg.clear();
        m_state.strSecaoMsg.clear();
    }
    const ControlesCurso curso = std::exchange(m_curso, ControlesCurso{});
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

    QObject::connect(form, &frmMensagem::pastaAlterada, form,
                     [this](const QString &pasta) { m_state.strPastaEscolhida = pasta; });
    QObject::connect(form, &frmMensagem::opcaoEscolhida, form, [this](int n) {
        const dialogo::Opcoes o = dialogo::escolheOpcao(n);
        m_state.blnOpcao1 = o.blnOpcao1;
        m_state.blnOpcao3 = o.blnOpcao3;
    });
    QObject::connect(form, &frmMensagem::secaoEscolhida, form,
                     [this, aviso = curso.aoEscolherSecao](const QString &e) {
                         const dialogo::LicaoSecao ls = dialogo::licaoSecao(e);
                         m_state.strLicaoMsg = ls.licao;
                         m_state.strSecaoMsg = ls.secao;
                         if (aviso)
                             aviso(ls.licao, ls.secao);
                     });

    MessageBoxLayout::Contexto contexto{
        .idioma = idioma,
        .medidor = &CaixaMensagem::mede,
        .larguraRotulo = &frmMensagem::larguraRotulo,
        .larguraOpcao = &frmMensagem::larguraOpcao,
        .zekoWidth = shell::skin::pixelsToTwips(shell::skin::msgbox::kProductLogo.width),
        .larguraFind = 0,
        .pastaEscolhida = m_state.strPastaEscolhida,
        .curso = curso,
    };
    QString imagemFind;
    if (dialogo::temEntradaDePasta(tipoCaixa) && m_platform.fileExists(kImagemFind)) {
        imagemFind = m_platform.toUnixPath(kImagemFind);
        contexto.larguraFind = QImageReader(imagemFind).size().width() * kTwips;
    }
    const MessageBoxLayout::Resultado layout =
        m_layout.calcula(texto, tipoCaixa, tamanhoFonte, tipoMensagem, contexto);
    form->aplica(layout, tamanhoFonte, textoRtf, curso, m_state.strPastaEscolhida, imagemFind);

    if (aguardaResposta)
        if (shell::SkinnedWindow *dono = shell::SkinnedWindow::porNome(m_state.strNomeForm))
            dono->setEnabled(false);

    form->show();
    form->raise();
    if (form->txtProcuraDir()->isVisible()) {
        form->activateWindow();
        form->txtProcuraDir()->setFocus();
    }
    m_reservado = reservado;
    if (espera) {
        while (*resposta == 0 && !QCoreApplication::closingDown())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // A box answered meanwhile left its own answer in the shared state.
        m_state.intBotaoMsg = *resposta;
    }
}

} // namespace messages
