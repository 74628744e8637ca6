// Flows that wait (on the message box, on a worker thread) while other windows
// and the window manager can still reach the window they run in. With the real
// message box and windows deleted on close, as Navegacao makes them: the window
// of a flow stays alive, and no other window opens, until the flow is over.

#include "books/frmAbrirLivro.h"
#include "common/InstallDoubles.h"
#include "common/ManagerFixture.h"
#include "common/MouseEvents.h"
#include "common/QtPrinters.h"
#include "common/ZipBuilder.h"
#include "drive/MountDrive.h"
#include "install/frmInstalarLivro.h"
#include "messages/Codes.h"
#include "messages/frmMensagem.h"
#include "shell/Navegacao.h"
#include "shell/frmPrincipal.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

namespace code = messages::code;

namespace {

enum { Remover = 1, Configurar, Principal }; // the book list's buttons
enum { Procurar = 1 };                       // the install window's
enum { PedeLivros = 1, PedeInstalacao };     // the main window's

// An unlink that holds the removal's worker at its first entry until the test
// lets it go.
class Gate {
  public:
    books::BookFiles::Unlink unlink()
    {
        return [this](int dirFd, const char *name, int flags) {
            {
                std::unique_lock lock(m_mutex);
                m_held = true;
                // Never for ever: a failing test must still end.
                m_opened.wait_for(lock, std::chrono::seconds(30), [this] { return m_open; });
            }
            return ::unlinkat(dirFd, name, flags);
        };
    }
    bool holding()
    {
        std::lock_guard lock(m_mutex);
        return m_held && !m_open;
    }
    void open()
    {
        {
            std::lock_guard lock(m_mutex);
            m_open = true;
        }
        m_opened.notify_all();
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_held = false;
    bool m_open = false;
};

// What the user does while a flow waits: steps taken in order, each once its
// condition holds, from a timer that runs in whatever event loop the flow waits
// in. A step that never comes fails the test; after the last step (or the
// failure) any box still open is closed, as the window manager would, so that
// the flow ends, and its text is kept in leftOver.
class Script {
  public:
    Script(messages::CaixaMensagem &caixa, shell::SharedState &state)
        : m_caixa(caixa)
        , m_state(state)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(5);
        m_since.start();
    }

    void then(const char *what, std::function<bool()> ready, std::function<void()> act)
    {
        m_steps.append({what, std::move(ready), std::move(act)});
    }
    // Runs when a step never comes (to let a held worker go, say).
    void onGivingUp(std::function<void()> f) { m_giveUp = std::move(f); }
    bool done() const { return m_next == m_steps.size() && !m_gaveUp; }

    QStringList shown;    // the text of every box, in order
    QStringList leftOver; // boxes no step answered

  private:
    struct Step {
        const char *what;
        std::function<bool()> ready;
        std::function<void()> act;
    };

    void poll()
    {
        if (m_caixa.form() != m_lastForm) {
            m_lastForm = m_caixa.form();
            if (m_lastForm)
                shown << m_state.strMensagem;
        }
        if (m_acting)
            return;
        if (m_next < m_steps.size()) {
            if (m_steps[m_next].ready()) {
                // A step may wait itself (a click that starts a flow) and the next
                // ones go on meanwhile: it runs from a timer of its own, as this
                // one fires again only once its call has returned.
                const std::function<void()> act = m_steps[m_next].act;
                ++m_next;
                m_acting = true;
                QTimer::singleShot(0, &m_timer, [this, act] {
                    m_acting = false;
                    m_since.restart();
                    act();
                });
                return;
            }
            if (m_since.elapsed() < 15000)
                return;
            ADD_FAILURE() << "never came: " << m_steps[m_next].what;
            m_next = m_steps.size();
            m_gaveUp = true;
            if (m_giveUp)
                m_giveUp();
        }
        if (messages::frmMensagem *f = m_caixa.form()) {
            leftOver << m_state.strMensagem;
            f->close();
        }
    }

    messages::CaixaMensagem &m_caixa;
    shell::SharedState &m_state;
    QTimer m_timer;
    QElapsedTimer m_since;
    QList<Step> m_steps;
    qsizetype m_next = 0;
    bool m_gaveUp = false;
    bool m_acting = false; // a step was taken and has yet to start
    std::function<void()> m_giveUp;
    QPointer<messages::frmMensagem> m_lastForm;
};

class WindowLifetimeTest : public ManagerFixture {
  protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        caixa = std::make_unique<messages::CaixaMensagem>(state, wine);
        drives = std::make_unique<drive::MountDrive>(wine, state, *caixa);
        principal = std::make_unique<shell::frmPrincipal>(state, *drives, *caixa, [] {});
        QString error;
        ASSERT_TRUE(principal->carrega(&error)) << error.toStdString();
        nav = std::make_unique<shell::Navegacao>(
            wine, state, *drives, *caixa, *principal, "/opt/zeko", [](QWidget *) {}, [] {});
        script = std::make_unique<Script>(*caixa, state);
    }
    void TearDown() override
    {
        script.reset();
        for (const char *name : {"frmAbrirLivro", "frmInstalarLivro"})
            while (shell::SkinnedWindow *w = shell::SkinnedWindow::porNome(name))
                delete w;
        nav.reset();
        principal.reset();
        drives.reset();
        caixa.reset();
    }

    bool boxShows(int codigo, const QStringList &params)
    {
        return caixa->form() && caixa->form()->isVisible() && state.strMensagem == texto(codigo, params);
    }
    void answer(int face)
    {
        if (caixa->form())
            mouse::click(caixa->form()->areaButton(face));
    }
    static void deferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QString bookZip(const QString &name)
    {
        ZipBuilder zip(zips.path() + "/" + name);
        zip.file("Autorun.exe", "MZ");
        zip.file("Idioma.kvt", "POR");
        return zip.close();
    }
    static void drop(QWidget *w, const QString &file)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        const QPoint at = w->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &enter);
        if (!enter.isAccepted())
            return;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &dropped);
    }

    // A load step waits on message 2 (a registered book whose folder is gone)
    // while the main window still shows: the main window's button for the other
    // window opens nothing, the loading window refuses the window manager's
    // close, and the load then ends with the window in front.
    void loadStepWaitsOnAMessage(int abre, const char *nome, int outra, const char *nomeOutra)
    {
        const QString perdido = "C:\\ZEKO_Download\\Download\\Perdido";
        registerBook("MARIA", "Perdido", "W:", perdido);
        registerBook("MARIA", "Basico", "X:", makeBook("Basico"));
        QPointer<shell::SkinnedWindow> loading;
        bool mainUsable = true, aliveMidway = false;
        script->then(
            "message 2",
            [&] {
                return boxShows(code::RegisteredFolderMissing, {perdido, "W:"});
            },
            [&] {
                loading = shell::SkinnedWindow::porNome(nome);
                mainUsable = principal->isEnabled();
                mouse::click(principal->Botao(outra));
                if (loading)
                    loading->close();
            });
        script->then(
            "a moment later", [] { return true; },
            [&] {
                aliveMidway = !loading.isNull();
                answer(1);
            });
        script->then(
            "message 3", [&] { return boxShows(code::MissingBookUnregistered, {perdido}); },
            [&] { answer(1); });

        mouse::click(principal->Botao(abre));
        deferredDeletes();

        EXPECT_TRUE(script->done());
        EXPECT_EQ(script->shown, QStringList({texto(code::RegisteredFolderMissing, {perdido, "W:"}),
                                              texto(code::MissingBookUnregistered, {perdido})}));
        EXPECT_EQ(script->leftOver, QStringList());
        EXPECT_FALSE(mainUsable) << "the main window answered during the load step";
        EXPECT_TRUE(aliveMidway);
        ASSERT_TRUE(loading) << nome << " was deleted under its load step";
        EXPECT_EQ(shell::SkinnedWindow::porNome(nome), loading.data());
        EXPECT_EQ(shell::SkinnedWindow::porNome(nomeOutra), nullptr);
        EXPECT_EQ(state.strNomeForm, nome);
        EXPECT_TRUE(loading->isVisible());
        EXPECT_TRUE(loading->isEnabled());
        EXPECT_FALSE(principal->isVisible());
        EXPECT_EQ(mapped('X'), unixOf("C:\\ZEKO_Download\\Download\\Basico"));
        EXPECT_FALSE(state.rsMapeamento->findFirst("Curso", "Perdido"));

        // Back on the main window, which is usable again.
        mouse::click(loading->Botao(Principal));
        deferredDeletes();
        EXPECT_TRUE(loading.isNull());
        EXPECT_TRUE(principal->isVisible());
        EXPECT_TRUE(principal->isEnabled());
    }

    QTemporaryDir zips;
    ScriptedChoice choice;
    std::unique_ptr<messages::CaixaMensagem> caixa;
    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<shell::frmPrincipal> principal;
    std::unique_ptr<shell::Navegacao> nav;
    std::unique_ptr<Script> script;
};

} // namespace

// The notice of a removal is closed by a click while the worker still deletes
// the book's files: the book list stays, greyed, and neither "Principal",
// "Configurar" nor the window manager takes it away; the files go, message 30
// shows, and afterwards the window answers again.
TEST_F(WindowLifetimeTest, RemovalKeepsTheBookListUntilTheFilesAreGone)
{
    const QString basico = makeBook("Basico");
    registerBook("MARIA", "Basico", "X:", basico);
    const QString folder = unixOf(basico);
    mouse::click(principal->Botao(PedeLivros));
    QPointer<books::frmAbrirLivro> livros =
        qobject_cast<books::frmAbrirLivro *>(shell::SkinnedWindow::porNome("frmAbrirLivro"));
    ASSERT_TRUE(livros);
    Gate gate;
    livros->removal().setArquivos(books::BookFiles(gate.unlink()));
    script->onGivingUp([&] { gate.open(); });
    livros->cbZEKO()->setCurrentIndex(1);
    ASSERT_EQ(livros->cbZEKO()->currentText(), "Basico [ X: ]");

    bool usableMidway = true, aliveMidway = false;
    script->then(
        "the question", [&] { return boxShows(code::ConfirmRemoval, {"Basico"}); }, [&] { answer(1); });
    script->then(
        "the notice, the worker held",
        [&] { return gate.holding() && boxShows(code::DeletingFiles, {"Basico"}); },
        [&] { mouse::click(caixa->form()->fundo()); });
    script->then(
        "the notice gone", [&] { return !caixa->form(); },
        [&] {
            usableMidway = livros && livros->isEnabled();
            if (livros)
                mouse::click(livros->Botao(Principal));
            if (livros)
                mouse::click(livros->Botao(Configurar));
            if (livros)
                livros->close();
        });
    // Events run before the worker is let go: a window deleted on close is gone by then.
    script->then(
        "a moment later", [] { return true; },
        [&] {
            aliveMidway = !livros.isNull();
            gate.open();
        });
    script->then(
        "the report",
        [&] {
            return boxShows(code::RemovedAndDeleted, {"X", basico});
        },
        [&] { answer(1); });

    mouse::click(livros->Botao(Remover));
    deferredDeletes();

    EXPECT_TRUE(script->done());
    EXPECT_TRUE(aliveMidway);
    ASSERT_TRUE(livros) << "the book list was deleted under its removal";
    EXPECT_FALSE(usableMidway) << "the book list was usable while its files were deleted";
    EXPECT_EQ(script->shown,
              QStringList({texto(code::ConfirmRemoval, {"Basico"}), texto(code::DeletingFiles, {"Basico"}),
                           texto(code::RemovedAndDeleted, {"X", basico})}));
    EXPECT_EQ(script->leftOver, QStringList());
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_EQ(shell::SkinnedWindow::porNome("frmInstalarLivro"), nullptr);
    EXPECT_EQ(state.strNomeForm, "frmAbrirLivro");
    EXPECT_TRUE(livros->isVisible());
    EXPECT_TRUE(livros->isEnabled());
    EXPECT_FALSE(principal->isVisible());

    mouse::click(livros->Botao(Principal));
    deferredDeletes();
    EXPECT_TRUE(livros.isNull());
    EXPECT_TRUE(principal->isVisible());
}

TEST_F(WindowLifetimeTest, BookListLoadStepWaitingOnAMessage)
{
    loadStepWaitsOnAMessage(PedeLivros, "frmAbrirLivro", PedeInstalacao, "frmInstalarLivro");
}

TEST_F(WindowLifetimeTest, InstallWindowLoadStepWaitingOnAMessage)
{
    loadStepWaitsOnAMessage(PedeInstalacao, "frmInstalarLivro", PedeLivros, "frmAbrirLivro");
}

// Message 38 waits after a successful install: the window manager cannot close
// the window, and neither "Procurar" (shown disabled) nor a dropped ZIP file
// starts a second install inside the first. Once it is answered the window is
// whole and "Procurar" asks for a file again.
TEST_F(WindowLifetimeTest, InstallWindowWhileItsReportWaits)
{
    choice.next = bookZip("Basico.zip");
    QPointer<install::frmInstalarLivro> instalar =
        new install::frmInstalarLivro(wine, state, *drives, *caixa, &choice, [] {});
    instalar->setAttribute(Qt::WA_DeleteOnClose);
    QString error;
    ASSERT_TRUE(instalar->carrega(&error)) << error.toStdString();
    const QString letra = state.strLetrasLivres.value(1);
    const QString segundo = bookZip("Segundo.zip");
    const QString download = prefix.driveC() + "/ZEKO_Download/Download/";

    bool procurarOffered = true, aliveMidway = false;
    script->then(
        "message 38",
        [&] {
            return boxShows(code::BookInstalled, {"Basico", letra});
        },
        [&] {
            procurarOffered = instalar && instalar->botaoHabilitado(Procurar);
            if (instalar)
                drop(instalar, segundo);
            if (instalar)
                mouse::click(instalar->Botao(Procurar));
            if (instalar)
                instalar->close();
        });
    script->then(
        "a moment later", [] { return true; },
        [&] {
            aliveMidway = !instalar.isNull();
            answer(1);
        });

    mouse::click(instalar->Botao(Procurar));
    deferredDeletes();

    EXPECT_TRUE(script->done());
    EXPECT_TRUE(aliveMidway);
    ASSERT_TRUE(instalar) << "the install window was deleted under its install";
    EXPECT_FALSE(procurarOffered) << "\"Procurar\" was offered before the install had ended";
    EXPECT_EQ(script->shown, QStringList{texto(code::BookInstalled, {"Basico", letra})});
    EXPECT_EQ(script->leftOver, QStringList());
    EXPECT_EQ(choice.asked, 1);
    EXPECT_TRUE(QFileInfo(download + "Basico/Autorun.exe").isFile());
    EXPECT_FALSE(QFileInfo::exists(zips.path() + "/Basico.zip"));
    EXPECT_FALSE(QFileInfo::exists(download + "Segundo"));
    EXPECT_TRUE(QFileInfo::exists(segundo));
    EXPECT_FALSE(state.rsMapeamento->findFirst("Curso", "Segundo"));
    EXPECT_EQ(state.strNomeForm, "frmInstalarLivro");
    EXPECT_TRUE(instalar->isVisible());
    EXPECT_TRUE(instalar->isEnabled());
    EXPECT_TRUE(instalar->botaoHabilitado(Procurar));

    choice.next.reset();
    mouse::click(instalar->Botao(Procurar));
    EXPECT_EQ(choice.asked, 2);
}
