// A ZIP file handed to the running manager, with the real message box and the
// windows Navigation makes: installed in the install window when the manager is
// idle, whichever window shows; refused as busy while an install runs or a
// question waits, and told about only once that is over.

#include "shell/ZipHandover.h"
#include "common/InstallDoubles.h"
#include "common/ManagerFixture.h"
#include "common/MouseEvents.h"
#include "common/QtPrinters.h"
#include "common/UserScript.h"
#include "common/ZipBuilder.h"
#include "drive/MountDrive.h"
#include "install/frmInstalarLivro.h"
#include "messages/Codes.h"
#include "shell/Navigation.h"
#include "shell/frmPrincipal.h"

namespace code = messages::code;
using Outcome = shell::ZipHandover::Outcome;

namespace {

class ZipHandoverTest : public ManagerFixture {
  protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        box = std::make_unique<messages::SkinnedMessageBox>(state, wine);
        drives = std::make_unique<drive::MountDrive>(wine, state, *box);
        mainWindow = std::make_unique<shell::frmPrincipal>(state, *drives, *box, [this] { ++ended; });
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
        while (shell::skin::SkinnedWindow *w = shell::skin::SkinnedWindow::byName("frmInstalarLivro"))
            delete w;
        while (shell::skin::SkinnedWindow *w = shell::skin::SkinnedWindow::byName("frmAbrirLivro"))
            delete w;
        nav.reset();
        mainWindow.reset();
        drives.reset();
        box.reset();
    }
    QString bookZip(const QString &name, int megabytes = 0)
    {
        ZipBuilder zip(zips.path() + "/" + name);
        zip.file("Autorun.exe", "MZ");
        zip.file("Idioma.kvt", "POR");
        for (int i = 0; i < megabytes; ++i)
            zip.file(QStringLiteral("Midia/%1.bin").arg(i).toUtf8(), QByteArray(1 << 20, char(i)));
        return zip.close();
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
    // The event loop, as the program runs it, until the script's last step.
    void runScript()
    {
        QElapsedTimer clock;
        clock.start();
        while (!script->done() && clock.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(script->done());
        EXPECT_EQ(script->leftOver, QStringList());
    }
    install::frmInstalarLivro *installWindow() const
    {
        return qobject_cast<install::frmInstalarLivro *>(
            shell::skin::SkinnedWindow::byName("frmInstalarLivro"));
    }
    QString installed(const QString &book) const
    {
        return prefix.driveC() + "/ZEKO_Download/Download/" + book + "/Autorun.exe";
    }

    QTemporaryDir zips;
    ScriptedChoice choice;
    std::unique_ptr<messages::SkinnedMessageBox> box;
    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<shell::frmPrincipal> mainWindow;
    std::unique_ptr<shell::Navigation> nav;
    std::unique_ptr<shell::ZipHandover> handover;
    std::unique_ptr<Script> script;
    int ended = 0;
};

} // namespace

// From each of the three windows the install window comes forward (the one in
// front kept) and installs the file; a second file handed over before that
// install starts is refused, not installed beside it, and told about after it.
// A missing file gets the install flow's own message.
TEST_F(ZipHandoverTest, IdleOnEachWindow)
{
    const char *const windows[] = {"frmPrincipal", "frmAbrirLivro", "frmInstalarLivro"};
    for (const char *from : windows) {
        SCOPED_TRACE(from);
        if (from == windows[1])
            mouse::click(mainWindow->Botao(1));
        const QPointer<install::frmInstalarLivro> before = installWindow();
        const QString book = QStringLiteral("Livro_%1").arg(from);
        const QString zip = bookZip(book + ".zip");
        drives->MontaListaDrives(true);
        const QString letter = state.strLetrasLivres.value(1);
        ASSERT_EQ(state.strNomeForm, from);
        ASSERT_TRUE(handover->idle());
        EXPECT_EQ(handover->receive(zip), Outcome::Accepted);
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
        EXPECT_FALSE(mainWindow->isVisible());
        EXPECT_EQ(shell::skin::SkinnedWindow::byName("frmAbrirLivro"), nullptr);
        if (before) {
            EXPECT_EQ(installWindow(), before.data());
        }
        EXPECT_TRUE(QFileInfo(installed(book)).isFile());
        EXPECT_FALSE(QFileInfo::exists(zip));
        if (from == windows[0])
            mouse::click(installWindow()->Botao(3)); // back to the main window
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    const QString missing = zips.path() + "/Sumido.zip", second = bookZip("Segundo.zip");
    EXPECT_EQ(handover->receive(missing), Outcome::Accepted);
    EXPECT_EQ(handover->receive(second), Outcome::Busy);
    script = std::make_unique<Script>(*box, state);
    script->then(
        "message 39", [&] { return boxShows(code::ZipNotFound, {missing}); }, [&] { answer(1); });
    script->then(
        "message 80", [&] { return boxShows(code::HandoverBusy, {second}); }, [&] { answer(1); });
    runScript();
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_FALSE(QFileInfo::exists(installed("Segundo")));
    EXPECT_TRUE(handover->idle());
}

// While an install's worker extracts, a handed file is refused at once and no
// box appears; its notice follows the install's own report.
TEST_F(ZipHandoverTest, BusyWhileAnInstallRuns)
{
    QPointer<install::frmInstalarLivro> window =
        new install::frmInstalarLivro(wine, state, *drives, *box, &choice, [] {});
    window->setAttribute(Qt::WA_DeleteOnClose);
    QString error;
    ASSERT_TRUE(window->load(&error)) << error.toStdString();
    choice.next = bookZip("Grande.zip", 60);
    const QString second = bookZip("Segundo.zip"), letter = state.strLetrasLivres.value(1);
    Outcome outcome = Outcome::Accepted;
    script->then(
        "the extraction", [&] { return window && window->isBusy() && !box->form(); },
        [&] { outcome = handover->receive(second); });
    script->then(
        "message 38",
        [&] {
            return boxShows(code::BookInstalled, {"Grande", letter});
        },
        [&] { answer(1); });
    script->then(
        "message 80", [&] { return boxShows(code::HandoverBusy, {second}); }, [&] { answer(1); });
    mouse::click(window->Botao(1));
    runScript();

    EXPECT_EQ(outcome, Outcome::Busy);
    EXPECT_EQ(script->shown, QStringList({texto(code::BookInstalled, {"Grande", letter}),
                                          texto(code::HandoverBusy, {second})}));
    ASSERT_TRUE(window);
    EXPECT_EQ(installWindow(), window.data());
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_FALSE(QFileInfo::exists(installed("Segundo")));
    EXPECT_TRUE(window->isEnabled());
}

// The exit question waits: the handed file is refused and the question stays the
// box on top; after the answer (no) the notice shows, and nothing else changed.
TEST_F(ZipHandoverTest, BusyWhileAQuestionWaits)
{
    const QString zip = bookZip("Basico.zip");
    Outcome outcome = Outcome::Accepted;
    QPointer<messages::frmMensagem> question;
    bool questionOnTop = false;
    script->then(
        "the exit question", [&] { return boxShows(code::ConfirmExit, {}); },
        [&] {
            question = box->form();
            outcome = handover->receive(zip);
        });
    script->then(
        "a moment later", [] { return true; },
        [&] {
            questionOnTop = question && box->form() == question.data() && question->isVisible();
            answer(2);
        });
    script->then(
        "message 80", [&] { return boxShows(code::HandoverBusy, {zip}); }, [&] { answer(1); });
    mouse::click(mainWindow->Botao(5));
    runScript();

    EXPECT_EQ(outcome, Outcome::Busy);
    EXPECT_TRUE(questionOnTop);
    EXPECT_EQ(script->shown, QStringList({descricao(code::ConfirmExit), texto(code::HandoverBusy, {zip})}));
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(mainWindow->isVisible());
    EXPECT_EQ(installWindow(), nullptr);
    EXPECT_TRUE(QFileInfo::exists(zip));
    EXPECT_TRUE(handover->idle());
}
