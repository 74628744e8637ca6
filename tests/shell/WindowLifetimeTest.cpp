// Flows that wait (on the message box, on a worker thread) while other windows,
// the window manager and a ZIP file handed to the manager can still reach the
// window they run in. With the real message box and windows deleted on close, as
// Navigation makes them: the window of a flow stays alive, and no other window
// opens, until the flow is over; a handed file is installed only when no flow is.

#include "books/frmAbrirLivro.h"
#include "common/InstallDoubles.h"
#include "common/ManagerFixture.h"
#include "common/MouseEvents.h"
#include "common/QtPrinters.h"
#include "common/ZipBuilder.h"
#include "drive/MountDrive.h"
#include "install/frmInstalarLivro.h"
#include "messages/Codes.h"
#include "messages/SkinnedMessageBox.h"
#include "messages/frmMensagem.h"
#include "shell/Navigation.h"
#include "shell/ZipHandover.h"
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
enum { BooksButton = 1, InstallButton };     // the main window's

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
// in. A step that never comes fails the test; once a check has failed the steps
// left are given up at once, since they may wait for what the failed step did
// not do. After the last step (or the failure) any box still open is closed, as
// the window manager would, so that the flow ends, and its text is kept in
// leftOver.
class Script {
  public:
    Script(messages::SkinnedMessageBox &box, shell::SharedState &state)
        : m_box(box)
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
        if (m_box.form() != m_lastForm) {
            m_lastForm = m_box.form();
            if (m_lastForm)
                shown << m_state.strMensagem;
        }
        if (m_acting)
            return;
        if (m_next < m_steps.size() && !::testing::Test::HasFailure()) {
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
        }
        if (m_next < m_steps.size()) {
            m_next = m_steps.size();
            m_gaveUp = true;
            if (m_giveUp)
                m_giveUp();
        }
        if (messages::frmMensagem *f = m_box.form()) {
            leftOver << m_state.strMensagem;
            f->close();
        }
    }

    messages::SkinnedMessageBox &m_box;
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
        box = std::make_unique<messages::SkinnedMessageBox>(state, wine);
        drives = std::make_unique<drive::MountDrive>(wine, state, *box);
        mainWindow = std::make_unique<shell::frmPrincipal>(state, *drives, *box, [] {});
        QString error;
        ASSERT_TRUE(mainWindow->load(&error)) << error.toStdString();
        nav = std::make_unique<shell::Navigation>(
            wine, state, *drives, *box, *mainWindow, "/opt/zeko", [](QWidget *) {}, [] {});
        handover = std::make_unique<shell::ZipHandover>(state, *box, *nav);
        script = std::make_unique<Script>(*box, state);
    }
    void TearDown() override
    {
        script.reset();
        handover.reset();
        for (const char *name : {"frmAbrirLivro", "frmInstalarLivro"})
            while (shell::skin::SkinnedWindow *w = shell::skin::SkinnedWindow::byName(name))
                delete w;
        nav.reset();
        mainWindow.reset();
        drives.reset();
        box.reset();
    }

    bool boxShows(int code, const QStringList &params)
    {
        return box->form() && box->form()->isVisible() && state.strMensagem == texto(code, params);
    }
    void answer(int face)
    {
        if (box->form())
            mouse::click(box->form()->areaButton(face));
    }
    static void deferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QString bookZip(const QString &name, int megabytes = 0)
    {
        ZipBuilder zip(zips.path() + "/" + name);
        zip.file("Autorun.exe", "MZ");
        zip.file("Idioma.kvt", "POR");
        for (int i = 0; i < megabytes; ++i)
            zip.file(QStringLiteral("Midia/%1.bin").arg(i).toUtf8(), QByteArray(1 << 20, char(i)));
        return zip.close();
    }
    // The program's own event loop, in which a handed file's install starts, until the last step.
    void runScript()
    {
        QElapsedTimer clock;
        clock.start();
        while (!script->done() && clock.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        deferredDeletes();
        EXPECT_TRUE(script->done());
        EXPECT_EQ(script->leftOver, QStringList());
    }
    static install::frmInstalarLivro *installWindow()
    {
        return qobject_cast<install::frmInstalarLivro *>(
            shell::skin::SkinnedWindow::byName("frmInstalarLivro"));
    }
    QString installed(const QString &book) const
    {
        return prefix.driveC() + "/ZEKO_Download/Download/" + book + "/Autorun.exe";
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
    void loadStepWaitsOnAMessage(int opener, const char *name, int other, const char *otherName)
    {
        const QString lost = "C:\\ZEKO_Download\\Download\\Perdido";
        registerBook("MARIA", "Perdido", "W:", lost);
        registerBook("MARIA", "Basico", "X:", makeBook("Basico"));
        QPointer<shell::skin::SkinnedWindow> loading;
        bool mainUsable = true, aliveMidway = false;
        script->then(
            "message 2",
            [&] {
                return boxShows(code::RegisteredFolderMissing, {lost, "W:"});
            },
            [&] {
                loading = shell::skin::SkinnedWindow::byName(name);
                mainUsable = mainWindow->isEnabled();
                mouse::click(mainWindow->Botao(other));
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
            "message 3", [&] { return boxShows(code::MissingBookUnregistered, {lost}); }, [&] { answer(1); });

        mouse::click(mainWindow->Botao(opener));
        deferredDeletes();

        EXPECT_TRUE(script->done());
        EXPECT_EQ(script->shown, QStringList({texto(code::RegisteredFolderMissing, {lost, "W:"}),
                                              texto(code::MissingBookUnregistered, {lost})}));
        EXPECT_EQ(script->leftOver, QStringList());
        EXPECT_FALSE(mainUsable) << "the main window answered during the load step";
        EXPECT_TRUE(aliveMidway);
        ASSERT_TRUE(loading) << name << " was deleted under its load step";
        EXPECT_EQ(shell::skin::SkinnedWindow::byName(name), loading.data());
        EXPECT_EQ(shell::skin::SkinnedWindow::byName(otherName), nullptr);
        EXPECT_EQ(state.strNomeForm, name);
        EXPECT_TRUE(loading->isVisible());
        EXPECT_TRUE(loading->isEnabled());
        EXPECT_FALSE(mainWindow->isVisible());
        EXPECT_EQ(mapped('X'), unixOf("C:\\ZEKO_Download\\Download\\Basico"));
        EXPECT_FALSE(state.rsMapeamento->findFirst("Curso", "Perdido"));

        // Back on the main window, which is usable again.
        mouse::click(loading->Botao(Principal));
        deferredDeletes();
        EXPECT_TRUE(loading.isNull());
        EXPECT_TRUE(mainWindow->isVisible());
        EXPECT_TRUE(mainWindow->isEnabled());
    }

    QTemporaryDir zips;
    ScriptedChoice choice;
    std::unique_ptr<messages::SkinnedMessageBox> box;
    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<shell::frmPrincipal> mainWindow;
    std::unique_ptr<shell::Navigation> nav;
    std::unique_ptr<shell::ZipHandover> handover;
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
    mouse::click(mainWindow->Botao(BooksButton));
    QPointer<books::frmAbrirLivro> bookList =
        qobject_cast<books::frmAbrirLivro *>(shell::skin::SkinnedWindow::byName("frmAbrirLivro"));
    ASSERT_TRUE(bookList);
    Gate gate;
    bookList->removal().setBookFiles(books::BookFiles(gate.unlink()));
    script->onGivingUp([&] { gate.open(); });
    bookList->cbZEKO()->setCurrentIndex(1);
    ASSERT_EQ(bookList->cbZEKO()->currentText(), "Basico [ X: ]");

    bool usableMidway = true, aliveMidway = false;
    script->then(
        "the question", [&] { return boxShows(code::ConfirmRemoval, {"Basico"}); }, [&] { answer(1); });
    script->then(
        "the notice, the worker held",
        [&] { return gate.holding() && boxShows(code::DeletingFiles, {"Basico"}); },
        [&] { mouse::click(box->form()->fundo()); });
    script->then(
        "the notice gone", [&] { return !box->form(); },
        [&] {
            usableMidway = bookList && bookList->isEnabled();
            if (bookList)
                mouse::click(bookList->Botao(Principal));
            if (bookList)
                mouse::click(bookList->Botao(Configurar));
            if (bookList)
                bookList->close();
        });
    // Events run before the worker is let go: a window deleted on close is gone by then.
    script->then(
        "a moment later", [] { return true; },
        [&] {
            aliveMidway = !bookList.isNull();
            gate.open();
        });
    script->then(
        "the report",
        [&] {
            return boxShows(code::RemovedAndDeleted, {"X", basico});
        },
        [&] { answer(1); });

    mouse::click(bookList->Botao(Remover));
    deferredDeletes();

    EXPECT_TRUE(script->done());
    EXPECT_TRUE(aliveMidway);
    ASSERT_TRUE(bookList) << "the book list was deleted under its removal";
    EXPECT_FALSE(usableMidway) << "the book list was usable while its files were deleted";
    EXPECT_EQ(script->shown,
              QStringList({texto(code::ConfirmRemoval, {"Basico"}), texto(code::DeletingFiles, {"Basico"}),
                           texto(code::RemovedAndDeleted, {"X", basico})}));
    EXPECT_EQ(script->leftOver, QStringList());
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_EQ(shell::skin::SkinnedWindow::byName("frmInstalarLivro"), nullptr);
    EXPECT_EQ(state.strNomeForm, "frmAbrirLivro");
    EXPECT_TRUE(bookList->isVisible());
    EXPECT_TRUE(bookList->isEnabled());
    EXPECT_FALSE(mainWindow->isVisible());

    mouse::click(bookList->Botao(Principal));
    deferredDeletes();
    EXPECT_TRUE(bookList.isNull());
    EXPECT_TRUE(mainWindow->isVisible());
}

TEST_F(WindowLifetimeTest, BookListLoadStepWaitingOnAMessage)
{
    loadStepWaitsOnAMessage(BooksButton, "frmAbrirLivro", InstallButton, "frmInstalarLivro");
}

TEST_F(WindowLifetimeTest, InstallWindowLoadStepWaitingOnAMessage)
{
    loadStepWaitsOnAMessage(InstallButton, "frmInstalarLivro", BooksButton, "frmAbrirLivro");
}

// Message 38 waits after a successful install: the window manager cannot close
// the window, and neither "Procurar" (shown disabled) nor a dropped ZIP file
// starts a second install inside the first. Once it is answered the window is
// whole and "Procurar" asks for a file again.
TEST_F(WindowLifetimeTest, InstallWindowWhileItsReportWaits)
{
    choice.next = bookZip("Basico.zip");
    QPointer<install::frmInstalarLivro> installWindow =
        new install::frmInstalarLivro(wine, state, *drives, *box, &choice, [] {});
    installWindow->setAttribute(Qt::WA_DeleteOnClose);
    QString error;
    ASSERT_TRUE(installWindow->load(&error)) << error.toStdString();
    const QString letter = state.strLetrasLivres.value(1);
    const QString second = bookZip("Segundo.zip");
    const QString download = prefix.driveC() + "/ZEKO_Download/Download/";

    bool browseOffered = true, aliveMidway = false;
    script->then(
        "message 38",
        [&] {
            return boxShows(code::BookInstalled, {"Basico", letter});
        },
        [&] {
            browseOffered = installWindow && installWindow->buttonEnabled(Procurar);
            if (installWindow)
                drop(installWindow, second);
            if (installWindow)
                mouse::click(installWindow->Botao(Procurar));
            if (installWindow)
                installWindow->close();
        });
    script->then(
        "a moment later", [] { return true; },
        [&] {
            aliveMidway = !installWindow.isNull();
            answer(1);
        });

    mouse::click(installWindow->Botao(Procurar));
    deferredDeletes();

    EXPECT_TRUE(script->done());
    EXPECT_TRUE(aliveMidway);
    ASSERT_TRUE(installWindow) << "the install window was deleted under its install";
    EXPECT_FALSE(browseOffered) << "\"Procurar\" was offered before the install had ended";
    EXPECT_EQ(script->shown, QStringList{texto(code::BookInstalled, {"Basico", letter})});
    EXPECT_EQ(script->leftOver, QStringList());
    EXPECT_EQ(choice.asked, 1);
    EXPECT_TRUE(QFileInfo(download + "Basico/Autorun.exe").isFile());
    EXPECT_FALSE(QFileInfo::exists(zips.path() + "/Basico.zip"));
    EXPECT_FALSE(QFileInfo::exists(download + "Segundo"));
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_FALSE(state.rsMapeamento->findFirst("Curso", "Segundo"));
    EXPECT_EQ(state.strNomeForm, "frmInstalarLivro");
    EXPECT_TRUE(installWindow->isVisible());
    EXPECT_TRUE(installWindow->isEnabled());
    EXPECT_TRUE(installWindow->buttonEnabled(Procurar));

    choice.next.reset();
    mouse::click(installWindow->Botao(Procurar));
    EXPECT_EQ(choice.asked, 2);
}

using Handed = shell::ZipHandover::Outcome;

// A handed file, from each of the three windows: the install window comes
// forward (the one in front kept) and installs it. A second one handed over
// before that install has started is refused, and told about after it; a missing
// file gets the install flow's own message.
TEST_F(WindowLifetimeTest, HandedFileWhileIdle)
{
    const char *const windows[] = {"frmPrincipal", "frmAbrirLivro", "frmInstalarLivro"};
    for (const char *from : windows) {
        SCOPED_TRACE(from);
        if (from == windows[1])
            mouse::click(mainWindow->Botao(BooksButton));
        const QPointer<install::frmInstalarLivro> before = installWindow();
        const QString book = QStringLiteral("Livro_%1").arg(from);
        drives->MontaListaDrives(true);
        const QString letter = state.strLetrasLivres.value(1);
        ASSERT_EQ(state.strNomeForm, from);
        EXPECT_EQ(handover->receive(bookZip(book + ".zip")), Handed::Accepted);
        script = std::make_unique<Script>(*box, state);
        script->then(
            "message 38",
            [&] {
                return boxShows(code::BookInstalled, {book, letter});
            },
            [&] { answer(1); });
        runScript();
        ASSERT_TRUE(installWindow());
        EXPECT_TRUE(installWindow()->isVisible());
        EXPECT_EQ(state.strNomeForm, "frmInstalarLivro");
        EXPECT_EQ(shell::skin::SkinnedWindow::byName("frmAbrirLivro"), nullptr);
        EXPECT_TRUE(!before || installWindow() == before.data());
        EXPECT_TRUE(QFileInfo(installed(book)).isFile());
        if (from == windows[0])
            mouse::click(installWindow()->Botao(Principal));
        deferredDeletes();
    }

    const QString missing = zips.path() + "/Sumido.zip", second = bookZip("Segundo.zip");
    EXPECT_EQ(handover->receive(missing), Handed::Accepted);
    EXPECT_EQ(handover->receive(second), Handed::Busy);
    script = std::make_unique<Script>(*box, state);
    script->then(
        "message 39", [&] { return boxShows(code::ZipNotFound, {missing}); }, [&] { answer(1); });
    script->then(
        "message 80", [&] { return boxShows(code::HandoverBusy, {second}); }, [&] { answer(1); });
    runScript();
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_FALSE(QFileInfo::exists(installed("Segundo")));
}

// While an install's worker extracts, and while the exit question waits, a
// handed file is refused at once and no box appears beside the one waiting; its
// notice follows once the wait is over, and the file is kept.
TEST_F(WindowLifetimeTest, HandedFileWhileBusy)
{
    QPointer<install::frmInstalarLivro> window =
        new install::frmInstalarLivro(wine, state, *drives, *box, &choice, [] {});
    window->setAttribute(Qt::WA_DeleteOnClose);
    QString error;
    ASSERT_TRUE(window->load(&error)) << error.toStdString();
    choice.next = bookZip("Grande.zip", 60);
    const QString second = bookZip("Segundo.zip"), third = bookZip("Terceiro.zip");
    const QString letter = state.strLetrasLivres.value(1);
    QList<Handed> outcomes;
    QPointer<messages::frmMensagem> question;
    script->then(
        "the extraction", [&] { return window && window->isBusy() && !box->form(); },
        [&] { outcomes << handover->receive(second); });
    script->then(
        "message 38",
        [&] {
            return boxShows(code::BookInstalled, {"Grande", letter});
        },
        [&] { answer(1); });
    script->then(
        "message 80", [&] { return boxShows(code::HandoverBusy, {second}); }, [&] { answer(1); });
    script->then(
        "the notice over", [&] { return window && !window->isBusy() && !box->form(); },
        [&] { mouse::click(window->Botao(6)); }); // exit
    script->then(
        "the exit question", [&] { return boxShows(code::ConfirmExit, {}); },
        [&] {
            question = box->form();
            outcomes << handover->receive(third);
        });
    script->then(
        "a moment later", [&] { return question && box->form() == question.data(); }, [&] { answer(2); });
    script->then(
        "message 80 again", [&] { return boxShows(code::HandoverBusy, {third}); }, [&] { answer(1); });
    mouse::click(window->Botao(Procurar));
    runScript();

    EXPECT_EQ(outcomes, QList<Handed>({Handed::Busy, Handed::Busy}));
    EXPECT_EQ(script->shown, QStringList({texto(code::BookInstalled, {"Grande", letter}),
                                          texto(code::HandoverBusy, {second}), descricao(code::ConfirmExit),
                                          texto(code::HandoverBusy, {third})}));
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(QFileInfo::exists(second) && QFileInfo::exists(third));
    EXPECT_FALSE(QFileInfo::exists(installed("Segundo")) || QFileInfo::exists(installed("Terceiro")));
    EXPECT_TRUE(handover->idle());
}
