#include "HelpWindow.h"

#include "ChmFile.h"

#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace shell {

namespace {

// Topics are addressed as "chm://f1/path/inside.html", so that relative links,
// pictures and style sheets resolve inside the help file.
const QString kScheme = QStringLiteral("chm");

struct Textos {
    const char *idioma;
    const char *ajuda;
    const char *voltar;
    const char *avancar;
    const char *sumario;
    const char *naoEncontrado; // %1: the file
    const char *ilegivel;      // %1: the file
    const char *semTopico;     // %1: the file
};

// The viewer's own few words; everything a topic says comes from the help file.
constexpr Textos kTextos[] = {
    {"POR", "Ajuda", "Voltar", "Avançar", "Conteúdo", "O arquivo de ajuda %1 não foi encontrado.",
     "O arquivo de ajuda %1 não pôde ser lido: ele não é um arquivo de ajuda válido.",
     "O arquivo de ajuda %1 não tem nenhum tópico para mostrar."},
    {"ING", "Help", "Back", "Forward", "Contents", "The help file %1 was not found.",
     "The help file %1 could not be read: it is not a valid help file.",
     "The help file %1 has no topic to show."},
    {"ESP", "Ayuda", "Atrás", "Adelante", "Contenido", "No se encontró el archivo de ayuda %1.",
     "No se pudo leer el archivo de ayuda %1: no es un archivo de ayuda válido.",
     "El archivo de ayuda %1 no tiene ningún tema para mostrar."},
};

const Textos &textos(const QString &idioma)
{
    for (const Textos &t : kTextos) {
        if (idioma.compare(QLatin1String(t.idioma), Qt::CaseInsensitive) == 0)
            return t;
    }
    return kTextos[0];
}

QString texto(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

// Serves every resource a topic asks for from inside the help file; nothing is
// fetched from disk or network.
class ChmBrowser : public QTextBrowser {
  public:
    using QTextBrowser::QTextBrowser;

    void setChm(const ChmFile *chm) { m_chm = chm; }

    QVariant loadResource(int type, const QUrl &name) override
    {
        Q_UNUSED(type);
        const QUrl url = name.isRelative() ? source().resolved(name) : name;
        if (!m_chm || url.scheme() != kScheme)
            return {};
        const std::optional<QByteArray> bytes = m_chm->read(url.path());
        return bytes ? QVariant(*bytes) : QVariant();
    }

  private:
    const ChmFile *m_chm = nullptr;
};

HelpWindow::HelpWindow(const QString &idioma, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_idioma(idioma.toUpper())
{
    const Textos &t = textos(m_idioma);
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(texto(t.ajuda));
    // Help left open must not keep the program running once its windows are gone.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(820, 560);

    m_voltar = new QToolButton(this);
    m_voltar->setObjectName(QStringLiteral("back"));
    m_voltar->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    m_voltar->setText(texto(t.voltar));
    m_voltar->setToolTip(texto(t.voltar));
    m_voltar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_voltar->setEnabled(false);
    m_avancar = new QToolButton(this);
    m_avancar->setObjectName(QStringLiteral("forward"));
    m_avancar->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    m_avancar->setText(texto(t.avancar));
    m_avancar->setToolTip(texto(t.avancar));
    m_avancar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_avancar->setEnabled(false);

    m_sumario = new QTreeWidget(this);
    m_sumario->setObjectName(QStringLiteral("contents"));
    m_sumario->setHeaderLabel(texto(t.sumario));
    m_sumario->setRootIsDecorated(true);
    m_sumario->setMinimumWidth(180);

    m_browser = new ChmBrowser(this);
    m_browser->setObjectName(QStringLiteral("topic"));
    // Links are followed here, so that one outside the file leaves for the
    // desktop's browser instead of being looked up inside.
    m_browser->setOpenLinks(false);

    m_erro = new QLabel(this);
    m_erro->setObjectName(QStringLiteral("error"));
    m_erro->setWordWrap(true);
    m_erro->setAlignment(Qt::AlignCenter);
    m_erro->setTextFormat(Qt::PlainText);
    m_erro->setMargin(24);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(m_sumario);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 600});

    m_paginas = new QStackedWidget(this);
    m_paginas->addWidget(splitter);
    m_paginas->addWidget(m_erro);

    auto *barra = new QHBoxLayout;
    barra->addWidget(m_voltar);
    barra->addWidget(m_avancar);
    barra->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(barra);
    layout->addWidget(m_paginas, 1);

    connect(m_voltar, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_avancar, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_voltar, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_avancar, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::aoMudarTopico);
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        if (url.scheme() == kScheme)
            m_browser->setSource(url);
        else
            QDesktopServices::openUrl(url);
    });
    connect(m_sumario, &QTreeWidget::itemClicked, this, &HelpWindow::aoClicarSumario);
    connect(m_sumario, &QTreeWidget::itemActivated, this, &HelpWindow::aoClicarSumario);
}

HelpWindow::~HelpWindow() = default;

HelpWindow *HelpWindow::MostraAjuda(QWidget *owner, const QString &chmPath, const QString &idioma,
                                    int context)
{
    // One help window for the whole program, as the system's help viewer keeps.
    static QPointer<HelpWindow> janela;
    if (janela && janela->idioma().compare(idioma, Qt::CaseInsensitive) != 0)
        delete janela.data();

    const bool nova = !janela;
    if (nova) {
        janela = new HelpWindow(idioma);
        janela->setAttribute(Qt::WA_DeleteOnClose);
    }
    janela->abre(chmPath, context);

    if (nova && owner) {
        QRect area = janela->frameGeometry();
        area.moveCenter(owner->window()->frameGeometry().center());
        if (const QScreen *screen = owner->screen()) {
            const QRect tela = screen->availableGeometry();
            area.moveLeft(
                std::clamp(area.left(), tela.left(), std::max(tela.left(), tela.right() - area.width())));
            area.moveTop(
                std::clamp(area.top(), tela.top(), std::max(tela.top(), tela.bottom() - area.height())));
        }
        janela->move(area.topLeft());
    }
    if (janela->isMinimized())
        janela->showNormal();
    janela->show();
    janela->raise();
    janela->activateWindow();
    return janela;
}

bool HelpWindow::abre(const QString &chmPath, int context)
{
    const Textos &t = textos(m_idioma);
    m_browser->setChm(nullptr);
    m_chm.reset();
    m_sumario->clear();

    ChmFile::Failure failure = ChmFile::Failure::None;
    m_chm = ChmFile::open(chmPath, &failure);
    if (!m_chm) {
        const QString nome = QDir::toNativeSeparators(chmPath);
        mostraErro(texto(failure == ChmFile::Failure::Missing ? t.naoEncontrado : t.ilegivel).arg(nome));
        return false;
    }

    QString topico = m_chm->topicForContext(quint32(context));
    if (topico.isEmpty())
        topico = m_chm->resolveTopic(m_chm->defaultTopic());
    if (topico.isEmpty()) {
        const QString nome = QDir::toNativeSeparators(m_chm->path());
        m_chm.reset();
        mostraErro(texto(t.semTopico).arg(nome));
        return false;
    }

    m_browser->setChm(m_chm.get());
    ++m_geracao;
    montaSumario();
    m_paginas->setCurrentIndex(0);
    m_erro->clear();
    // A previous file's topics cannot be gone back to.
    m_browser->setSource(urlDoTopico(topico), QTextDocument::HtmlResource);
    m_browser->clearHistory();
    aoMudarTopico(m_browser->source());
    return true;
}

QString HelpWindow::arquivo() const
{
    return m_chm ? m_chm->path() : QString();
}

QString HelpWindow::topicoAtual() const
{
    return m_chm ? m_browser->source().path() : QString();
}

QString HelpWindow::textoErro() const
{
    return m_erro->text();
}

void HelpWindow::mostraErro(const QString &texto)
{
    m_browser->clearHistory();
    m_browser->clear();
    m_erro->setText(texto);
    m_paginas->setCurrentIndex(1);
    m_voltar->setEnabled(false);
    m_avancar->setEnabled(false);
    setWindowTitle(QString::fromUtf8(textos(m_idioma).ajuda));
}

void HelpWindow::montaSumario()
{
    const QList<ChmFile::TocEntry> entradas = m_chm->contents();
    // The last item seen at each depth is the parent of the next deeper one.
    QList<QTreeWidgetItem *> pais;
    for (const ChmFile::TocEntry &entrada : entradas) {
        const int nivel = std::min<int>(entrada.depth, int(pais.size()));
        pais.resize(nivel);
        auto *item = pais.isEmpty() ? new QTreeWidgetItem(m_sumario) : new QTreeWidgetItem(pais.last());
        item->setText(0, entrada.name);
        item->setData(0, Qt::UserRole, entrada.local);
        item->setToolTip(0, entrada.name);
        pais.append(item);
    }
    m_sumario->expandAll();
    m_sumario->setVisible(!entradas.isEmpty());
}

void HelpWindow::aoMudarTopico(const QUrl &url)
{
    QString titulo = m_browser->documentTitle().trimmed();
    if (titulo.isEmpty() && m_chm)
        titulo = m_chm->title();
    setWindowTitle(titulo.isEmpty() ? QString::fromUtf8(textos(m_idioma).ajuda) : titulo);

    // Keeps the contents in step with the topic, whichever way it was reached.
    const QString caminho = url.path();
    const QSignalBlocker bloqueio(m_sumario);
    m_sumario->clearSelection();
    for (QTreeWidgetItemIterator it(m_sumario); *it; ++it) {
        const QString local = (*it)->data(0, Qt::UserRole).toString().section(QLatin1Char('#'), 0, 0);
        if (!local.isEmpty() && local.compare(caminho, Qt::CaseInsensitive) == 0) {
            m_sumario->setCurrentItem(*it);
            break;
        }
    }
}

// Each opened file gets its own host in the topic addresses, so a topic of the
// same name in the file opened before is never taken from the browser's memory.
QUrl HelpWindow::urlDoTopico(const QString &topico) const
{
    QUrl url;
    url.setScheme(kScheme);
    url.setHost(QStringLiteral("f%1").arg(m_geracao));
    const qsizetype hash = topico.indexOf(QLatin1Char('#'));
    url.setPath(hash < 0 ? topico : topico.left(hash));
    if (hash >= 0)
        url.setFragment(topico.mid(hash + 1));
    return url;
}

void HelpWindow::aoClicarSumario(QTreeWidgetItem *item)
{
    const QString local = item ? item->data(0, Qt::UserRole).toString() : QString();
    if (local.isEmpty() || !m_chm)
        return;
    const QUrl url = urlDoTopico(local);
    if (url.path().compare(m_browser->source().path(), Qt::CaseInsensitive) != 0 || url.hasFragment())
        m_browser->setSource(url, QTextDocument::HtmlResource);
}

} // namespace shell
