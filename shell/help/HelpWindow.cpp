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

namespace shell::help {

namespace {

// Topics are addressed as "chm://f1/path/inside.html", so that relative links,
// pictures and style sheets resolve inside the help file.
const QString kScheme = QStringLiteral("chm");

struct ViewerTexts {
    const char *language;
    const char *help;
    const char *back;
    const char *forward;
    const char *contents;
    const char *notFound;   // %1: the file
    const char *unreadable; // %1: the file
    const char *damaged;    // %1: the file
    const char *noTopic;    // %1: the file
};

// The viewer's own few words; everything a topic says comes from the help file.
constexpr ViewerTexts kViewerTexts[] = {
    {"POR", "Ajuda", "Voltar", "Avançar", "Conteúdo", "O arquivo de ajuda %1 não foi encontrado.",
     "O arquivo de ajuda %1 não pôde ser lido: ele não é um arquivo de ajuda válido.",
     "O arquivo de ajuda %1 está danificado e não pode ser mostrado.",
     "O arquivo de ajuda %1 não tem nenhum tópico para mostrar."},
    {"ING", "Help", "Back", "Forward", "Contents", "The help file %1 was not found.",
     "The help file %1 could not be read: it is not a valid help file.",
     "The help file %1 is damaged and cannot be shown.", "The help file %1 has no topic to show."},
    {"ESP", "Ayuda", "Atrás", "Adelante", "Contenido", "No se encontró el archivo de ayuda %1.",
     "No se pudo leer el archivo de ayuda %1: no es un archivo de ayuda válido.",
     "El archivo de ayuda %1 está dañado y no se puede mostrar.",
     "El archivo de ayuda %1 no tiene ningún tema para mostrar."},
};

const ViewerTexts &viewerTexts(const QString &language)
{
    for (const ViewerTexts &t : kViewerTexts) {
        if (language.compare(QLatin1String(t.language), Qt::CaseInsensitive) == 0)
            return t;
    }
    return kViewerTexts[0];
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

HelpWindow::HelpWindow(const QString &language, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_language(language.toUpper())
{
    const ViewerTexts &t = viewerTexts(m_language);
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(texto(t.help));
    // Help left open must not keep the program running once its windows are gone.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(820, 560);

    m_back = new QToolButton(this);
    m_back->setObjectName(QStringLiteral("back"));
    m_back->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    m_back->setText(texto(t.back));
    m_back->setToolTip(texto(t.back));
    m_back->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_back->setEnabled(false);
    m_forward = new QToolButton(this);
    m_forward->setObjectName(QStringLiteral("forward"));
    m_forward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    m_forward->setText(texto(t.forward));
    m_forward->setToolTip(texto(t.forward));
    m_forward->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_forward->setEnabled(false);

    m_contents = new QTreeWidget(this);
    m_contents->setObjectName(QStringLiteral("contents"));
    m_contents->setHeaderLabel(texto(t.contents));
    m_contents->setRootIsDecorated(true);
    m_contents->setMinimumWidth(180);

    m_browser = new ChmBrowser(this);
    m_browser->setObjectName(QStringLiteral("topic"));
    // Links are followed here, so that one outside the file leaves for the
    // desktop's browser instead of being looked up inside.
    m_browser->setOpenLinks(false);

    m_errorLabel = new QLabel(this);
    m_errorLabel->setObjectName(QStringLiteral("error"));
    m_errorLabel->setWordWrap(true);
    m_errorLabel->setAlignment(Qt::AlignCenter);
    m_errorLabel->setTextFormat(Qt::PlainText);
    m_errorLabel->setMargin(24);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(m_contents);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 600});

    m_pages = new QStackedWidget(this);
    m_pages->addWidget(splitter);
    m_pages->addWidget(m_errorLabel);

    auto *toolbar = new QHBoxLayout;
    toolbar->addWidget(m_back);
    toolbar->addWidget(m_forward);
    toolbar->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(toolbar);
    layout->addWidget(m_pages, 1);

    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::aoMudarTopico);
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        if (url.scheme() == kScheme)
            m_browser->setSource(url);
        else
            QDesktopServices::openUrl(url);
    });
    connect(m_contents, &QTreeWidget::itemClicked, this, &HelpWindow::contentsClicked);
    connect(m_contents, &QTreeWidget::itemActivated, this, &HelpWindow::contentsClicked);
}

HelpWindow::~HelpWindow() = default;

HelpWindow *HelpWindow::MostraAjuda(QWidget *owner, const QString &chmPath, const QString &language,
                                    int context)
{
    // One help window for the whole program, as the system's help viewer keeps.
    static QPointer<HelpWindow> window;
    if (window && window->language().compare(language, Qt::CaseInsensitive) != 0)
        delete window.data();

    const bool isNew = !window;
    if (isNew) {
        window = new HelpWindow(language);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    (void)window->open(chmPath, context); // a file it cannot show, it says so in its own page

    if (isNew && owner) {
        QRect area = window->frameGeometry();
        area.moveCenter(owner->window()->frameGeometry().center());
        if (const QScreen *screen = owner->screen()) {
            const QRect screenArea = screen->availableGeometry();
            area.moveLeft(std::clamp(area.left(), screenArea.left(),
                                     std::max(screenArea.left(), screenArea.right() - area.width())));
            area.moveTop(std::clamp(area.top(), screenArea.top(),
                                    std::max(screenArea.top(), screenArea.bottom() - area.height())));
        }
        window->move(area.topLeft());
    }
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

bool HelpWindow::open(const QString &chmPath, int context)
{
    const ViewerTexts &t = viewerTexts(m_language);
    m_browser->setChm(nullptr);
    m_chm.reset();
    m_contents->clear();

    ChmFile::Failure failure = ChmFile::Failure::None;
    m_chm = ChmFile::open(chmPath, &failure);
    if (!m_chm) {
        const QString name = QDir::toNativeSeparators(chmPath);
        const char *text = failure == ChmFile::Failure::Missing   ? t.notFound
                           : failure == ChmFile::Failure::Damaged ? t.damaged
                                                                  : t.unreadable;
        showError(texto(text).arg(name));
        return false;
    }

    QString topico = m_chm->topicForContext(quint32(context));
    if (topico.isEmpty())
        topico = m_chm->resolveTopic(m_chm->defaultTopic());
    if (topico.isEmpty()) {
        const QString name = QDir::toNativeSeparators(m_chm->path());
        m_chm.reset();
        showError(texto(t.noTopic).arg(name));
        return false;
    }

    m_browser->setChm(m_chm.get());
    ++m_generation;
    fillContents();
    m_pages->setCurrentIndex(0);
    m_errorLabel->clear();
    // A previous file's topics cannot be gone back to.
    m_browser->setSource(urlDoTopico(topico), QTextDocument::HtmlResource);
    m_browser->clearHistory();
    aoMudarTopico(m_browser->source());
    return true;
}

QString HelpWindow::file() const
{
    return m_chm ? m_chm->path() : QString();
}

QString HelpWindow::currentTopic() const
{
    return m_chm ? m_browser->source().path() : QString();
}

QString HelpWindow::errorMessage() const
{
    return m_errorLabel->text();
}

void HelpWindow::showError(const QString &texto)
{
    m_browser->clearHistory();
    m_browser->clear();
    m_errorLabel->setText(texto);
    m_pages->setCurrentIndex(1);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    setWindowTitle(QString::fromUtf8(viewerTexts(m_language).help));
}

void HelpWindow::fillContents()
{
    const QList<ChmFile::TocEntry> entries = m_chm->contents();
    // The last item seen at each depth is the parent of the next deeper one.
    QList<QTreeWidgetItem *> parents;
    for (const ChmFile::TocEntry &entry : entries) {
        const int level = std::min<int>(entry.depth, int(parents.size()));
        parents.resize(level);
        auto *item =
            parents.isEmpty() ? new QTreeWidgetItem(m_contents) : new QTreeWidgetItem(parents.last());
        item->setText(0, entry.name);
        item->setData(0, Qt::UserRole, entry.local);
        item->setToolTip(0, entry.name);
        parents.append(item);
    }
    m_contents->expandAll();
    m_contents->setVisible(!entries.isEmpty());
}

void HelpWindow::aoMudarTopico(const QUrl &url)
{
    QString titulo = m_browser->documentTitle().trimmed();
    if (titulo.isEmpty() && m_chm)
        titulo = m_chm->title();
    setWindowTitle(titulo.isEmpty() ? QString::fromUtf8(viewerTexts(m_language).help) : titulo);

    // Keeps the contents in step with the topic, whichever way it was reached.
    const QString caminho = url.path();
    const QSignalBlocker bloqueio(m_contents);
    m_contents->clearSelection();
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        const QString local = (*it)->data(0, Qt::UserRole).toString().section(QLatin1Char('#'), 0, 0);
        if (!local.isEmpty() && local.compare(caminho, Qt::CaseInsensitive) == 0) {
            m_contents->setCurrentItem(*it);
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
    url.setHost(QStringLiteral("f%1").arg(m_generation));
    const qsizetype hash = topico.indexOf(QLatin1Char('#'));
    url.setPath(hash < 0 ? topico : topico.left(hash));
    if (hash >= 0)
        url.setFragment(topico.mid(hash + 1));
    return url;
}

void HelpWindow::contentsClicked(QTreeWidgetItem *item)
{
    const QString local = item ? item->data(0, Qt::UserRole).toString() : QString();
    if (local.isEmpty() || !m_chm)
        return;
    const QUrl url = urlDoTopico(local);
    if (url.path().compare(m_browser->source().path(), Qt::CaseInsensitive) != 0 || url.hasFragment())
        m_browser->setSource(url, QTextDocument::HtmlResource);
}

} // namespace shell::help
