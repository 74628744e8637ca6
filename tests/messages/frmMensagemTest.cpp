#include "messages/frmMensagem.h"
#include "common/ManagerFixture.h"
#include "common/MouseEvents.h"
#include "common/QtPrinters.h"
#include "drive/MountDrive.h"
#include "shell/frmPrincipal.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

using messages::CaixaMensagem;
using messages::frmMensagem;

namespace {

class frmMensagemTest : public ManagerFixture {
  protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        caixa = std::make_unique<CaixaMensagem>(state, wine);
        drives = std::make_unique<drive::MountDrive>(wine, state, *caixa);
        principal = std::make_unique<shell::frmPrincipal>(state, *drives, *caixa, [] {});
        QString error;
        ASSERT_TRUE(principal->carrega(&error)) << error.toStdString();
    }
    void TearDown() override
    {
        principal.reset();
        drives.reset();
        caixa.reset();
    }
    // Does `acao` on the box once it is up, while ExibeMensagem waits.
    void quandoAberta(std::function<void(frmMensagem *)> acao)
    {
        QTimer::singleShot(50, [this, acao] {
            ASSERT_TRUE(caixa->form());
            acao(caixa->form());
        });
    }
    static void clica(QWidget *w, QPoint p = {}) { mouse::click(w, p); }

    std::unique_ptr<CaixaMensagem> caixa;
    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<shell::frmPrincipal> principal;
};

class frmMensagemInglesTest : public frmMensagemTest {
  protected:
    frmMensagemInglesTest() { prefix.writeZekoIni("[InstalacaoVersao5]\r\nIdiomaInst=ING\r\n"); }
};

} // namespace

// A yes/no box answered with its second face leaves 2; its owner is disabled
// while it waits and enabled again after.
TEST_F(frmMensagemTest, YesNoAnsweredWithTheSecondFace)
{
    bool donoDesabilitado = false;
    quandoAberta([&](frmMensagem *f) {
        donoDesabilitado = !principal->isEnabled();
        EXPECT_EQ(f->imagemFace(1), "SIM_NM.JPG");
        EXPECT_EQ(f->imagemFace(2), "NAO_NM.JPG");
        clica(f->areaButton(2));
    });
    caixa->ExibeMensagem("Sair?", 4, 10, 1, true, QString(), 0);
    EXPECT_TRUE(donoDesabilitado);
    EXPECT_EQ(state.intBotaoMsg, 2);
    EXPECT_TRUE(principal->isEnabled());
    EXPECT_FALSE(state.blnMsgAberta);
    EXPECT_FALSE(caixa->form());
}

TEST_F(frmMensagemInglesTest, EnglishYesNoFaces)
{
    quandoAberta([&](frmMensagem *f) {
        EXPECT_EQ(f->imagemFace(1), "YES_NM.JPG");
        EXPECT_EQ(f->imagemFace(2), "NO_NM.JPG");
        clica(f->areaButton(1));
    });
    caixa->ExibeMensagem("Exit?", 4, 10, 1, true, QString(), 0);
    EXPECT_EQ(state.intBotaoMsg, 1);
}

// A box without buttons closes by itself after 4 s, or at once on a click.
TEST_F(frmMensagemTest, BoxWithoutButtons)
{
    QElapsedTimer t;
    t.start();
    caixa->ExibeMensagem("Apagando...", 0, 10, 1, true, QString(), 0);
    EXPECT_GE(t.elapsed(), 3900);
    EXPECT_LT(t.elapsed(), 8000);
    EXPECT_EQ(state.intBotaoMsg, 1);
    EXPECT_FALSE(state.blnMsgAberta);

    quandoAberta([](frmMensagem *f) { clica(f->mensagemRtf()); });
    t.restart();
    caixa->ExibeMensagem("Apagando...", 0, 10, 1, true, QString(), 0);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_EQ(state.intBotaoMsg, 1);
}

// A hand is never quite still: a box without buttons closes on a click whose
// pointer moved a little between press and release, but not on a drag.
TEST_F(frmMensagemTest, BoxWithoutButtonsClosesOnAnUnsteadyClick)
{
    const int arrasto = QApplication::startDragDistance();
    int aposArrasto = -1, aposClique = -1;
    quandoAberta([&](frmMensagem *f) {
        QWidget *fundo = f->fundo();
        const QPoint p = fundo->mapFrom(f, QPoint(20, f->height() - 8));
        mouse::press(fundo, p);
        mouse::move(fundo, p + QPoint(3 * arrasto, 0), Qt::LeftButton);
        mouse::release(fundo, p + QPoint(3 * arrasto, 0));
        aposArrasto = state.intBotaoMsg;
        mouse::press(fundo, p);
        mouse::move(fundo, p + QPoint(2, 1), Qt::LeftButton);
        mouse::release(fundo, p + QPoint(2, 1));
        aposClique = state.intBotaoMsg;
    });
    caixa->ExibeMensagem("Apagando...", 0, 10, 1, true, QString(), 0);
    EXPECT_EQ(aposArrasto, 0);
    EXPECT_EQ(aposClique, 1);
}

// A report shown while a question waits is answered on its own: the question
// stays on screen under it and its call gets the question's answer.
TEST_F(frmMensagemTest, ReportWhileAQuestionWaitsKeepsEachAnswer)
{
    QPointer<frmMensagem> pergunta;
    int respostaAviso = -1;
    bool perguntaFicou = false;
    quandoAberta([&](frmMensagem *f) {
        pergunta = f;
        quandoAberta([&](frmMensagem *aviso) {
            EXPECT_NE(aviso, pergunta.data());
            clica(aviso->areaButton(1));
        });
        caixa->ExibeMensagem("Aviso", 1, 10, 1, true, QString(), 0);
        respostaAviso = state.intBotaoMsg;
        perguntaFicou = pergunta && pergunta->isVisible() && caixa->form() == pergunta &&
                        state.blnMsgAberta && !principal->isEnabled();
        if (pergunta)
            clica(pergunta->areaButton(2));
    });
    caixa->ExibeMensagem("Sair?", 4, 10, 1, true, QString(), 0);
    EXPECT_EQ(respostaAviso, 1);
    EXPECT_TRUE(perguntaFicou);
    EXPECT_EQ(state.intBotaoMsg, 2);
    EXPECT_FALSE(state.blnMsgAberta);
    EXPECT_TRUE(principal->isEnabled());
}

// The other order: the question is answered while a later box still waits. Each
// call still returns its own box's answer, and the owner stays disabled until
// the last waiting box is answered. A box nobody waits for, shown on top, does
// not answer the question either.
TEST_F(frmMensagemTest, QuestionAnsweredWhileALaterBoxWaits)
{
    QPointer<frmMensagem> pergunta;
    int respostaAviso = -1, aposNotaRespondida = -1;
    bool avisoFicou = false;
    quandoAberta([&](frmMensagem *f) {
        pergunta = f;
        caixa->ExibeMensagem("Nota", 1, 10, 1, false, QString(), 0);
        if (frmMensagem *nota = caixa->form())
            clica(nota->areaButton(1));
        aposNotaRespondida = state.intBotaoMsg;
        quandoAberta([&](frmMensagem *aviso) {
            if (pergunta)
                clica(pergunta->areaButton(1));
            avisoFicou =
                aviso->isVisible() && caixa->form() == aviso && state.blnMsgAberta && !principal->isEnabled();
            clica(aviso->areaButton(2));
        });
        caixa->ExibeMensagem("Apagar?", 4, 10, 1, true, QString(), 0);
        respostaAviso = state.intBotaoMsg;
    });
    caixa->ExibeMensagem("Sair?", 4, 10, 1, true, QString(), 0);
    EXPECT_EQ(aposNotaRespondida, 1);
    EXPECT_TRUE(avisoFicou);
    EXPECT_EQ(respostaAviso, 2);
    EXPECT_EQ(state.intBotaoMsg, 1);
    EXPECT_FALSE(state.blnMsgAberta);
    EXPECT_TRUE(principal->isEnabled());
}

// Clicking the background of a box with buttons does nothing.
TEST_F(frmMensagemTest, BackgroundClickOfAnOkBoxDoesNothing)
{
    bool ficou = false;
    quandoAberta([&](frmMensagem *f) {
        clica(f->fundo(), QPoint(40, 40));
        clica(f->tarja());
        QTest::qWait(50);
        ficou = caixa->form() == f && f->isVisible() && state.intBotaoMsg == 0;
        clica(f->areaButton(1));
    });
    caixa->ExibeMensagem("Relatório", 1, 10, 1, true, QString(), 0);
    EXPECT_TRUE(ficou);
    EXPECT_EQ(state.intBotaoMsg, 1);
}

// The face follows the mouse: hover, pressed, hover again, normal off the face.
TEST_F(frmMensagemTest, FacePictures)
{
    QStringList vistas;
    quandoAberta([&](frmMensagem *f) {
        QWidget *area = f->areaButton(1);
        mouse::move(area, area->rect().center());
        vistas << f->imagemFace(1);
        mouse::press(area, area->rect().center());
        vistas << f->imagemFace(1);
        mouse::release(area, QPoint(-5, -5)); // released off the face
        vistas << f->imagemFace(1);
        mouse::move(f->fundo(), QPoint(5, 5));
        vistas << f->imagemFace(1);
        clica(area);
    });
    caixa->ExibeMensagem("Relatório", 1, 10, 1, true, QString(), 0);
    EXPECT_EQ(vistas, QStringList({"OK_MM.JPG", "OK_MC.JPG", "OK_MM.JPG", "OK_NM.JPG"}));
}

TEST_F(frmMensagemTest, ColourMarkupShowsBlue)
{
    QString plano;
    QColor corB, corA;
    quandoAberta([&](frmMensagem *f) {
        QTextDocument doc;
        doc.setHtml(f->mensagemRtf()->text());
        plano = doc.toPlainText();
        for (auto it = doc.begin().begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (frag.text().contains(u'B'))
                corB = frag.charFormat().foreground().color();
            if (frag.text().contains(u'A'))
                corA = frag.charFormat().foreground().style() == Qt::NoBrush
                           ? QColor(Qt::black)
                           : frag.charFormat().foreground().color();
        }
        clica(f->areaButton(1));
    });
    caixa->ExibeMensagem("A #B| C", 1, 10, 1, true, QString(), 0);
    EXPECT_EQ(plano, "A B C");
    EXPECT_EQ(corB, QColor(0, 0, 255));
    EXPECT_EQ(corA, QColor(Qt::black));
}

// Invalid arguments show the report in an OK box that does not wait.
TEST_F(frmMensagemTest, InvalidFontSizeShowsTheReport)
{
    caixa->ExibeMensagem("x", 1, 9, 1, true, QString(), 0);
    ASSERT_TRUE(caixa->form());
    EXPECT_EQ(state.intBotaoMsg, 0);
    QTextDocument doc;
    doc.setHtml(caixa->form()->mensagemRtf()->text());
    EXPECT_EQ(doc.toPlainText(), "Tamanho de Fonte [9] Invalido!");
    EXPECT_EQ(caixa->form()->imagemFace(1), "OK_NM.JPG");
    EXPECT_TRUE(caixa->form()->imagemFace(2).isEmpty());
    clica(caixa->form()->areaButton(1));
    EXPECT_EQ(state.intBotaoMsg, 1);
}

// Closed through the window manager, a waiting box still returns: a yes/no box
// answers "no".
TEST_F(frmMensagemTest, WindowManagerCloseAnswers)
{
    quandoAberta([](frmMensagem *f) { f->close(); });
    caixa->ExibeMensagem("Sair?", 4, 10, 1, true, QString(), 0);
    EXPECT_EQ(state.intBotaoMsg, 2);
    EXPECT_TRUE(principal->isEnabled());
    quandoAberta([](frmMensagem *f) { f->close(); });
    caixa->ExibeMensagem("Relatório", 1, 10, 1, true, QString(), 0);
    EXPECT_EQ(state.intBotaoMsg, 1);
}

// The title bar of a waiting box does not move it; that of a box that does not wait does.
TEST_F(frmMensagemTest, TitleBarDrag)
{
    QPoint antes, depois;
    quandoAberta([&](frmMensagem *f) {
        antes = f->pos();
        mouse::press(f->tarja(), QPoint(100, 10));
        mouse::move(f->tarja(), QPoint(130, 25), Qt::LeftButton);
        mouse::release(f->tarja(), QPoint(130, 25));
        depois = f->pos();
        clica(f->areaButton(1));
    });
    caixa->ExibeMensagem("Relatório", 1, 10, 1, true, QString(), 0);
    EXPECT_EQ(antes, depois);

    caixa->ExibeMensagem("Relatório", 1, 10, 1, false, QString(), 0);
    frmMensagem *f = caixa->form();
    ASSERT_TRUE(f);
    const QPoint inicio = f->pos();
    mouse::press(f->tarja(), QPoint(100, 10));
    mouse::move(f->tarja(), QPoint(130, 25), Qt::LeftButton);
    mouse::release(f->tarja(), QPoint(130, 25));
    EXPECT_EQ(f->pos(), inicio + QPoint(30, 15));
    clica(f->areaButton(1));
}
