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
        janela = std::make_unique<frmPrincipal>(state, *drives, box, [this] { ++encerrado; });
        QString error;
        ASSERT_TRUE(janela->carrega(&error)) << error.toStdString();
    }
    void TearDown() override
    {
        janela.reset();
        drives.reset();
    }
    QStringList imagens() const
    {
        QStringList l;
        for (int i = 1; i <= janela->quantidadeBotoes(); ++i)
            l << QFileInfo(janela->imagemBotao(i)).fileName();
        return l;
    }
    QPoint centroDaRegiao(int botao) const { return janela->Botao(botao)->geometry().center(); }

    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<frmPrincipal> janela;
    int encerrado = 0;
};

class frmPrincipalInglesTest : public frmPrincipalTest {
  protected:
    frmPrincipalInglesTest()
        : frmPrincipalTest()
    {
        prefix.writeZekoIni("[InstalacaoVersao5]\r\nIdiomaInst=ING\r\n");
    }
};

} // namespace

TEST_F(frmPrincipalTest, TitleVersionAndNormalButtons)
{
    EXPECT_EQ(janela->fxlblTitulo()->text(), descricao(code::MainTitle));
    EXPECT_EQ(janela->lblVersao()->text(), "1.00.0000");
    EXPECT_EQ(imagens(), QStringList({"T01_BT01_NM.jpg", "T01_BT02_NM.jpg", "T01_BT03_NM.jpg",
                                      "T01_MNZ_NM.jpg", "T01_SAI_NM.jpg"}));
    EXPECT_EQ(janela->size(), QSize(6555, 5160) / 15);
    EXPECT_TRUE(janela->Timer1()->isActive() || janela->Timer1()->interval() == 100);
}

// Entering the exit region shows its hover picture; leaving to a spot in no
// region shows every button normal again.
TEST_F(frmPrincipalTest, HoverOverTheExitRegion)
{
    mouse::move(janela->fundo(), centroDaRegiao(5));
    EXPECT_EQ(QFileInfo(janela->imagemBotao(5)).fileName(), "T01_SAI_MM.jpg");
    // Moving over the button itself reaches the background's hot spots too.
    mouse::move(janela->Botao(1), QPoint(5, 5));
    EXPECT_EQ(QFileInfo(janela->imagemBotao(1)).fileName(), "T01_BT01_MM.jpg");
    mouse::move(janela->fundo(), QPoint(2, janela->height() - 2));
    EXPECT_EQ(imagens(), QStringList({"T01_BT01_NM.jpg", "T01_BT02_NM.jpg", "T01_BT03_NM.jpg",
                                      "T01_MNZ_NM.jpg", "T01_SAI_NM.jpg"}));
}

TEST_F(frmPrincipalTest, PressAndReleaseShowPressedThenHover)
{
    QWidget *b = janela->Botao(3);
    mouse::press(b, QPoint(5, 5));
    EXPECT_EQ(QFileInfo(janela->imagemBotao(3)).fileName(), "T01_BT03_MC.jpg");
    mouse::release(b, QPoint(-50, -50)); // released outside: no click
    EXPECT_EQ(QFileInfo(janela->imagemBotao(3)).fileName(), "T01_BT03_MM.jpg");
}

// Dragging the bar by 30 and 15 twips (2 and 1 pixels) moves the window by as much.
TEST_F(frmPrincipalTest, DragBarMovesTheWindow)
{
    const QPoint antes = janela->pos();
    mouse::press(janela->barra(), QPoint(50, 10));
    mouse::move(janela->barra(), QPoint(52, 11), Qt::LeftButton);
    mouse::release(janela->barra(), QPoint(52, 11));
    EXPECT_EQ(janela->pos() - antes, QPoint(30, 15) / 15);
    EXPECT_EQ(imagens().first(), "T01_BT01_NM.jpg");
}

// Minimised, the window is called "ZEKO Download"; restored, it has its fixed
// size again, centred, and no caption.
TEST_F(frmPrincipalTest, MinimiseAndRestore)
{
    mouse::click(janela->Botao(4));
    QTRY_VERIFY(janela->isMinimized());
    EXPECT_EQ(janela->windowTitle(), "ZEKO Download");
    janela->setFixedSize(100, 100);
    janela->move(0, 0);
    janela->setWindowState(Qt::WindowNoState);
    QTRY_VERIFY(!janela->isMinimized());
    EXPECT_EQ(janela->windowTitle(), "");
    EXPECT_EQ(janela->size(), QSize(437, 344));
    const QRect tela = janela->screen()->geometry();
    EXPECT_EQ(janela->pos(), QPoint((tela.width() - 437) / 2, (tela.height() - 344) / 2) + tela.topLeft());
}

TEST_F(frmPrincipalTest, HabilitaBotaoDoesNothingOnTheMainWindow)
{
    ASSERT_EQ(state.strNomeForm, "frmPrincipal");
    janela->HabilitaBotao(1, false);
    EXPECT_TRUE(janela->botaoHabilitado(1));
    EXPECT_EQ(QFileInfo(janela->imagemBotao(1)).fileName(), "T01_BT01_NM.jpg");
}

// The hint of a button shows its text at the fixed offsets from the background.
TEST_F(frmPrincipalTest, HintOfTheHoveredButton)
{
    mouse::move(janela->fundo(), centroDaRegiao(1));
    QTRY_VERIFY(janela->hint()->isVisible());
    EXPECT_EQ(janela->hint()->text(), state.strHints[1]);
    EXPECT_EQ(janela->hint()->pos(), janela->fundo()->mapToGlobal(QPoint(32, -12)));
    mouse::move(janela->fundo(), QPoint(2, janela->height() - 2));
    EXPECT_FALSE(janela->hint()->isVisible());
}

TEST_F(frmPrincipalInglesTest, HintsComeFromTheLanguagesButtonRows)
{
    const int codigos[] = {0, 1, 9, 10, 7, 8};
    for (int i = 1; i <= 5; ++i) {
        ASSERT_TRUE(state.rsBotoes->findFirst("Codigo", codigos[i]));
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
    mouse::click(janela->Botao(5));
    ASSERT_EQ(box.shown.size(), 1);
    EXPECT_EQ(box.shown[0].texto, descricao(code::ConfirmExit));
    EXPECT_EQ(box.shown[0].tipoCaixa, 4);
    EXPECT_TRUE(mapped(u'X').isEmpty());
    EXPECT_TRUE(mapped(u'Y').isEmpty());
    EXPECT_EQ(encerrado, 1);
}

TEST_F(frmPrincipalTest, ExitAnsweredNoChangesNothing)
{
    const QString x = makeBook("LIVROX");
    registerBook("MARIA", "LIVROX", "X:", x);
    link(u'x', unixOf(x));
    box.answer({2});
    mouse::click(janela->Botao(5));
    EXPECT_EQ(mapped(u'X'), unixOf(x));
    EXPECT_EQ(encerrado, 0);
    EXPECT_TRUE(janela->isVisible());
}
