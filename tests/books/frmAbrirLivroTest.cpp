// The book list window on Qt's offscreen platform, over a prefix laid out on disk.

#include "books/frmAbrirLivro.h"
#include "common/ManagerFixture.h"
#include "common/MouseEvents.h"
#include "common/QtPrinters.h"
#include "common/RecordingPlatform.h"
#include "drive/MountDrive.h"
#include "messages/Codes.h"
#include "shell/frmPrincipal.h"

#include <QScreen>
#include <QTest>

namespace code = messages::code;

using books::frmAbrirLivro;

namespace {

enum { Remover = 1, Configurar, Principal, Help, OK, Minimizar, Sair };

class frmAbrirLivroTest : public ManagerFixture {
  protected:
    frmAbrirLivroTest()
        : recording(prefix.prefix(), "maria")
    {
    }
    platform::Platform *platform() override { return &recording; }
    void SetUp() override
    {
        ManagerFixture::SetUp();
        basico = makeBook("Basico");
        advanced = makeBook("Avancado");
        registerBook("MARIA", "Basico", "X:", basico);
        registerBook("MARIA", "Avancado", "Y:", advanced);
        drives = std::make_unique<drive::MountDrive>(recording, state, box);
        mainWindow = std::make_unique<shell::frmPrincipal>(state, *drives, box, [] {});
        QString error;
        ASSERT_TRUE(mainWindow->load(&error)) << error.toStdString();
    }
    void open()
    {
        window =
            std::make_unique<frmAbrirLivro>(recording, state, *drives, box, "/opt/zeko", [this] { ++ended; });
        QString error;
        ASSERT_TRUE(window->load(&error)) << error.toStdString();
    }
    void TearDown() override
    {
        window.reset();
        mainWindow.reset();
        drives.reset();
    }
    QStringList entries() const
    {
        QStringList l;
        for (int i = 0; i < window->cbZEKO()->count(); ++i)
            l << window->cbZEKO()->itemText(i);
        return l;
    }
    void click(int button) { mouse::click(window->Botao(button)); }

    RecordingPlatform recording;
    QString basico, advanced;
    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<shell::frmPrincipal> mainWindow;
    std::unique_ptr<frmAbrirLivro> window;
    int ended = 0;
};

} // namespace

// The load step takes the front, shows the catalogue's texts, maps the user's
// books again, lists them by name and hides the main window.
TEST_F(frmAbrirLivroTest, LoadStepListsAndMapsTheBooks)
{
    open();
    EXPECT_EQ(state.strNomeForm, "frmAbrirLivro");
    EXPECT_EQ(window->fxlblTitulo()->text(), descricao(code::BookListTitle));
    EXPECT_EQ(window->fxlblMensagem()->text(), descricao(code::BookListInformation));
    EXPECT_EQ(entries(), QStringList({"[" + descricao(code::BookListFirstEntry) + "]", "Avancado [ Y: ]",
                                      "Basico [ X: ]"}));
    EXPECT_EQ(window->cbZEKO()->currentIndex(), 0);
    EXPECT_EQ(mapped('X'), unixOf(basico));
    EXPECT_EQ(mapped('Y'), unixOf(advanced));
    EXPECT_FALSE(mainWindow->isVisible());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->size(), QSize(10230, 5160) / 15);
    EXPECT_EQ(QFileInfo(window->buttonImage(Remover)).fileName(), "T02_BT01_DS.jpg");
    EXPECT_EQ(QFileInfo(window->buttonImage(OK)).fileName(), "T02_BT05_DS.jpg");
}

// Choosing a book enables Remove and OK, whatever its name begins with; entry 0
// disables them again.
TEST_F(frmAbrirLivroTest, SelectionEnablesRemoveAndOpen)
{
    registerBook("MARIA", "livro1", "W:", makeBook("livro1"));
    open();
    ASSERT_EQ(window->cbZEKO()->itemText(3), "livro1 [ W: ]");
    for (int entry : {1, 3}) {
        window->cbZEKO()->setCurrentIndex(entry);
        EXPECT_TRUE(window->buttonEnabled(Remover)) << entry;
        EXPECT_TRUE(window->buttonEnabled(OK)) << entry;
        EXPECT_EQ(QFileInfo(window->buttonImage(OK)).fileName(), "T02_BT05_NM.jpg");
        window->cbZEKO()->setCurrentIndex(0);
        EXPECT_FALSE(window->buttonEnabled(Remover));
        EXPECT_FALSE(window->buttonEnabled(OK));
    }
}

// OK opens the chosen book: the launcher starts with its drive.
TEST_F(frmAbrirLivroTest, OkOpensTheChosenBook)
{
    open();
    window->cbZEKO()->setCurrentIndex(2);
    click(OK);
    ASSERT_EQ(recording.starts.size(), 1) << box.texts().join('\n').toStdString();
    EXPECT_EQ(recording.starts[0].program, "/opt/zeko/LoadZEKOV.EXE");
    EXPECT_EQ(recording.starts[0].arguments, QStringList{"X:"});
}

// Minimised, the window is captioned "ZEKO Download"; restored, the caption is
// empty again and the window centred.
TEST_F(frmAbrirLivroTest, MinimiseAndRestore)
{
    open();
    click(Minimizar);
    QTRY_VERIFY(window->isMinimized());
    EXPECT_EQ(window->windowTitle(), "ZEKO Download");
    window->setWindowState(Qt::WindowNoState);
    QTRY_VERIFY(!window->isMinimized());
    EXPECT_EQ(window->windowTitle(), "");
    const QRect screen = window->screen()->geometry();
    EXPECT_EQ(window->pos(), screen.topLeft() + QPoint((screen.width() - window->width()) / 2,
                                                       (screen.height() - window->height()) / 2));
}

// "Principal" goes back: the main window shows again and takes the front.
TEST_F(frmAbrirLivroTest, PrincipalShowsTheMainWindowAgain)
{
    open();
    click(Principal);
    EXPECT_TRUE(state.blnVoltaPrincipal);
    EXPECT_EQ(state.strNomeForm, "frmPrincipal");
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(mainWindow->isVisible());
}

// Exit asks first; while the course runs it refuses with message 35 and keeps
// every mapping; otherwise it releases the books' drives and ends.
TEST_F(frmAbrirLivroTest, ExitKeepsTheDrivesWhileTheCourseRuns)
{
    open();
    recording.courseRunning = true;
    box.answer({1});
    click(Sair);
    EXPECT_EQ(box.texts(), QStringList({descricao(code::ConfirmExit), texto(code::CourseRunningLeave, {})}));
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(mapped('X'), unixOf(basico));

    box.shown.clear();
    box.answer({2});
    recording.courseRunning = false;
    click(Sair);
    EXPECT_EQ(box.texts(), QStringList{descricao(code::ConfirmExit)});
    EXPECT_EQ(ended, 0);

    box.answer({1});
    click(Sair);
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(mapped('X').isEmpty());
    EXPECT_TRUE(mapped('Y').isEmpty());
}

// Help and Configurar are asked of whoever shows those windows.
TEST_F(frmAbrirLivroTest, HelpAndConfigurarAreSignalled)
{
    open();
    int help = 0, installRequests = 0;
    QObject::connect(window.get(), &frmAbrirLivro::helpRequested, [&] { ++help; });
    QObject::connect(window.get(), &frmAbrirLivro::installRequested, [&] { ++installRequests; });
    click(Help);
    click(Configurar);
    EXPECT_EQ(help, 1);
    EXPECT_EQ(installRequests, 1);
    EXPECT_TRUE(window->isVisible());
}

// "Remover" on the chosen book: asked, then gone from the list, the window usable again.
TEST_F(frmAbrirLivroTest, RemoveTheChosenBook)
{
    open();
    window->cbZEKO()->setCurrentIndex(2);
    box.answer({1});
    click(Remover);
    EXPECT_EQ(box.texts().first(), texto(code::ConfirmRemoval, {"Basico"}));
    EXPECT_EQ(box.texts().last(), texto(code::RemovedAndDeleted, {"X", basico}));
    EXPECT_EQ(entries(), QStringList({"[" + descricao(code::BookListFirstEntry) + "]", "Avancado [ Y: ]"}));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(QFileInfo::exists(unixOf(advanced) + "/../Basico"));
    EXPECT_FALSE(window->buttonEnabled(Remover));
}
