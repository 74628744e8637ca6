#include "shell/frmPrincipal.h"
#include "common/ManagerFixture.h"
#include "common/MouseEvents.h"
#include "common/QtPrinters.h"
#include "drive/MountDrive.h"
#include "messages/Codes.h"

#include <QScreen>
#include <QTest>

namespace code = messages::code;

using shell::frmPrincipal;

namespace {

class frmPrincipalTest : public ManagerFixture {
  protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        drives = std::make_unique<drive::MountDrive>(wine, state, box);
        window = std::make_unique<frmPrincipal>(state, *drives, box, [this] { ++exits; });
        QString error;
        ASSERT_TRUE(window->load(&error)) << error.toStdString();
    }
    void TearDown() override
    {
        window.reset();
        drives.reset();
    }
    QStringList pictures() const
    {
        QStringList l;
        for (int i = 1; i <= window->buttonCount(); ++i)
            l << QFileInfo(window->buttonImage(i)).fileName();
        return l;
    }
    QPoint centreOf(int button) const { return window->Botao(button)->geometry().center(); }

    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<frmPrincipal> window;
    int exits = 0;
};

class frmPrincipalEnglishTest : public frmPrincipalTest {
  protected:
    frmPrincipalEnglishTest()
        : frmPrincipalTest()
    {
        prefix.writeZekoIni("[InstalacaoVersao5]\r\nIdiomaInst=ING\r\n");
    }
};

} // namespace

TEST_F(frmPrincipalTest, TitleVersionAndNormalButtons)
{
    EXPECT_EQ(window->fxlblTitulo()->text(), descricao(code::MainTitle));
    EXPECT_EQ(window->lblVersao()->text(), "1.00.0000");
    EXPECT_EQ(pictures(), QStringList({"T01_BT01_NM.jpg", "T01_BT02_NM.jpg", "T01_BT03_NM.jpg",
                                       "T01_MNZ_NM.jpg", "T01_SAI_NM.jpg"}));
    EXPECT_EQ(window->size(), QSize(6555, 5160) / 15);
    EXPECT_TRUE(window->Timer1()->isActive() || window->Timer1()->interval() == 100);
}

// Entering the exit region shows its hover picture; leaving to a spot in no
// region shows every button normal again.
TEST_F(frmPrincipalTest, HoverOverTheExitRegion)
{
    mouse::move(window->background(), centreOf(5));
    EXPECT_EQ(QFileInfo(window->buttonImage(5)).fileName(), "T01_SAI_MM.jpg");
    // Moving over the button itself reaches the background's hot spots too.
    mouse::move(window->Botao(1), QPoint(5, 5));
    EXPECT_EQ(QFileInfo(window->buttonImage(1)).fileName(), "T01_BT01_MM.jpg");
    mouse::move(window->background(), QPoint(2, window->height() - 2));
    EXPECT_EQ(pictures(), QStringList({"T01_BT01_NM.jpg", "T01_BT02_NM.jpg", "T01_BT03_NM.jpg",
                                       "T01_MNZ_NM.jpg", "T01_SAI_NM.jpg"}));
}

TEST_F(frmPrincipalTest, PressAndReleaseShowPressedThenHover)
{
    QWidget *b = window->Botao(3);
    mouse::press(b, QPoint(5, 5));
    EXPECT_EQ(QFileInfo(window->buttonImage(3)).fileName(), "T01_BT03_MC.jpg");
    mouse::release(b, QPoint(-50, -50)); // released outside: no click
    EXPECT_EQ(QFileInfo(window->buttonImage(3)).fileName(), "T01_BT03_MM.jpg");
}

// Dragging the bar by 30 and 15 twips (2 and 1 pixels) moves the window by as much.
TEST_F(frmPrincipalTest, DragBarMovesTheWindow)
{
    const QPoint before = window->pos();
    mouse::press(window->dragBar(), QPoint(50, 10));
    mouse::move(window->dragBar(), QPoint(52, 11), Qt::LeftButton);
    mouse::release(window->dragBar(), QPoint(52, 11));
    EXPECT_EQ(window->pos() - before, QPoint(30, 15) / 15);
    EXPECT_EQ(pictures().first(), "T01_BT01_NM.jpg");
}

// Minimised, the window is called "ZEKO Download"; restored, it has its fixed
// size again, centred, and no caption.
TEST_F(frmPrincipalTest, MinimiseAndRestore)
{
    mouse::click(window->Botao(4));
    QTRY_VERIFY(window->isMinimized());
    EXPECT_EQ(window->windowTitle(), "ZEKO Download");
    window->setFixedSize(100, 100);
    window->move(0, 0);
    window->setWindowState(Qt::WindowNoState);
    QTRY_VERIFY(!window->isMinimized());
    EXPECT_EQ(window->windowTitle(), "");
    EXPECT_EQ(window->size(), QSize(437, 344));
    const QRect screenArea = window->screen()->geometry();
    EXPECT_EQ(window->pos(),
              QPoint((screenArea.width() - 437) / 2, (screenArea.height() - 344) / 2) + screenArea.topLeft());
}

TEST_F(frmPrincipalTest, HabilitaBotaoDoesNothingOnTheMainWindow)
{
    ASSERT_EQ(state.strNomeForm, "frmPrincipal");
    window->HabilitaBotao(1, false);
    EXPECT_TRUE(window->buttonEnabled(1));
    EXPECT_EQ(QFileInfo(window->buttonImage(1)).fileName(), "T01_BT01_NM.jpg");
}

// The hint of a button shows its text at the fixed offsets from the background.
TEST_F(frmPrincipalTest, HintOfTheHoveredButton)
{
    mouse::move(window->background(), centreOf(1));
    QTRY_VERIFY(window->hint()->isVisible());
    EXPECT_EQ(window->hint()->text(), state.strHints[1]);
    EXPECT_EQ(window->hint()->pos(), window->background()->mapToGlobal(QPoint(32, -12)));
    mouse::move(window->background(), QPoint(2, window->height() - 2));
    EXPECT_FALSE(window->hint()->isVisible());
}

TEST_F(frmPrincipalEnglishTest, HintsComeFromTheLanguagesButtonRows)
{
    const int codes[] = {0, 1, 9, 10, 7, 8};
    for (int i = 1; i <= 5; ++i) {
        ASSERT_TRUE(state.rsBotoes->findFirst("Codigo", codes[i]));
        EXPECT_EQ(state.strHints[i], state.rsBotoes->field("Hint").toString()) << i;
        EXPECT_EQ(state.rsBotoes->field("Idioma").toString(), "ING");
    }
}

// Exit, confirmed, removes the mapping of the mounted book only, then ends.
TEST_F(frmPrincipalTest, ExitUnmapsMountedBooksOnly)
{
    const QString x = makeBook("LIVROX");
    const QString y = makeBook("LIVROY");
    registerBook("MARIA", "LIVROX", "X:", x);
    registerBook("MARIA", "LIVROY", "Y:", y);
    link(u'x', unixOf(x));
    box.answer({1});
    mouse::click(window->Botao(5));
    ASSERT_EQ(box.shown.size(), 1);
    EXPECT_EQ(box.shown[0].texto, descricao(code::ConfirmExit));
    EXPECT_EQ(box.shown[0].tipoCaixa, 4);
    EXPECT_TRUE(mapped(u'X').isEmpty());
    EXPECT_TRUE(mapped(u'Y').isEmpty());
    EXPECT_EQ(exits, 1);
}

TEST_F(frmPrincipalTest, ExitAnsweredNoChangesNothing)
{
    const QString x = makeBook("LIVROX");
    registerBook("MARIA", "LIVROX", "X:", x);
    link(u'x', unixOf(x));
    box.answer({2});
    mouse::click(window->Botao(5));
    EXPECT_EQ(mapped(u'X'), unixOf(x));
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(window->isVisible());
}
