#include "messages/frmMensagem.h"
#include "common/ManagerFixture.h"
#include "common/MouseEvents.h"
#include "common/QtPrinters.h"
#include "drive/MountDrive.h"
#include "shell/frmPrincipal.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
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
        // None of the course dialogues' controls.
        EXPECT_FALSE(f->txtProcuraDir()->isVisible() || f->cmbLicaoMsg()->isVisible() ||
                     f->textoDrive()->isVisible() || f->optMsg(0)->isVisible() || f->option(1)->isVisible());
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
    // The rule is the timer's; once it is seen set, it is run at once instead of waited out.
    int interval = 0;
    bool singleShot = false, running = false;
    quandoAberta([&](frmMensagem *f) {
        interval = f->timerAviso()->interval();
        singleShot = f->timerAviso()->isSingleShot();
        running = f->timerAviso()->isActive();
        f->timerAviso()->start(1);
    });
    QElapsedTimer t;
    t.start();
    caixa->ExibeMensagem("Apagando...", 0, 10, 1, true, QString(), 0);
    EXPECT_EQ(interval, 4000);
    EXPECT_TRUE(singleShot);
    EXPECT_TRUE(running);
    EXPECT_LT(t.elapsed(), 2000);
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

namespace {

// Pixels of the caption's red (255, 0, 0) in what a control shows.
int pixelsVermelhos(QWidget *w)
{
    const QImage img = w->grab().toImage();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += c.red() > 200 && c.green() < 90 && c.blue() < 90;
        }
    return n;
}

QPoint px(int twips)
{
    return {0, twips / 15};
}

} // namespace

// A folder box answers its first button only once the entry names a folder;
// the folder is kept without the blanks around it and without a final "\".
TEST_F(frmMensagemTest, FolderBoxWaitsForAFolder)
{
    QList<int> respostas;
    QString pasta;
    bool findVisivel = true;
    quandoAberta([&](frmMensagem *f) {
        QLineEdit *entrada = f->txtProcuraDir();
        EXPECT_TRUE(entrada->isVisible());
        findVisivel = f->face(3)->isVisible(); // the course's picture is not at hand
        clica(f->areaButton(1));
        respostas << state.intBotaoMsg;
        QTest::keyClicks(entrada, "   ");
        clica(f->areaButton(1));
        respostas << state.intBotaoMsg;
        entrada->clear();
        QTest::keyClicks(entrada, "  C:\\Livros\\");
        pasta = state.strPastaEscolhida;
        clica(f->areaButton(1));
    });
    caixa->ExibeMensagem("Onde instalar?", 19, 10, 1, true, QString(), 0);
    EXPECT_EQ(respostas, QList<int>({0, 0}));
    EXPECT_FALSE(findVisivel);
    EXPECT_EQ(pasta, "C:\\Livros");
    EXPECT_EQ(state.intBotaoMsg, 1);
    EXPECT_FALSE(state.blnMsgAberta);

    // The next folder box starts with the folder chosen; cancel needs none.
    QString inicio;
    quandoAberta([&](frmMensagem *f) {
        inicio = f->txtProcuraDir()->text();
        f->txtProcuraDir()->clear();
        clica(f->areaButton(2));
    });
    caixa->ExibeMensagem("Onde instalar?", 19, 10, 1, true, QString(), 0);
    EXPECT_EQ(inicio, "C:\\Livros");
    EXPECT_EQ(state.intBotaoMsg, 2);
}

// Type 25 with the course's FIND picture on A:: three faces below the section
// list, "FIND" answers 3 with no folder, and a chosen entry gives its lesson
// and section, which the next show of the box clears.
TEST_F(frmMensagemTest, FolderAndSectionBox)
{
    const QString disquete = prefix.root() + "/disquete";
    QDir().mkpath(disquete + "/Imagem/Sistema");
    ASSERT_TRUE(QFile::copy(state.strPastaCaiMsg + "FIND_NM.JPG", disquete + "/Imagem/Sistema/FIND_NM.JPG"));
    link(u'A', disquete);

    QStringList escolhas;
    messages::ControlesCurso curso;
    curso.licoes = QStringList{"1/1", "2/5"};
    curso.aoEscolherSecao = [&](const QString &l, const QString &s) { escolhas << l + "|" + s; };
    caixa->preparaDialogo(curso);
    QString legenda, licao, secao;
    bool findVisivel = false, empilhado = false;
    quandoAberta([&](frmMensagem *f) {
        findVisivel = f->face(3)->isVisible() && !f->face(3)->pixmap().isNull();
        legenda = f->textoDrive()->text();
        QComboBox *lista = f->cmbLicaoMsg();
        EXPECT_EQ(lista->count(), 2);
        EXPECT_EQ(lista->currentIndex(), -1);
        // Text, entry, list, faces: each 6 pixels (90 twips) below the one above.
        const int espaco = px(90).y();
        empilhado =
            f->txtProcuraDir()->y() == f->mensagemRtf()->y() + f->mensagemRtf()->height() - 2 + espaco &&
            lista->y() == f->txtProcuraDir()->geometry().bottom() + 1 + espaco &&
            f->face(1)->y() == lista->geometry().bottom() + 1 + espaco &&
            f->face(3)->y() == f->face(1)->y() && f->height() == f->face(1)->geometry().bottom() + 1 + 8;
        lista->setFocus();
        QTest::keyClick(lista, Qt::Key_Down);
        QTest::keyClick(lista, Qt::Key_Down);
        licao = state.strLicaoMsg;
        secao = state.strSecaoMsg;
        clica(f->areaButton(3));
    });
    caixa->ExibeMensagem("Instalar a seção", 25, 10, 1, true, QString(), 0);
    EXPECT_TRUE(findVisivel);
    EXPECT_TRUE(empilhado);
    EXPECT_EQ(legenda, "em");
    EXPECT_EQ(licao, "2");
    EXPECT_EQ(secao, "5");
    EXPECT_EQ(escolhas, QStringList({"1|1", "2|5"}));
    EXPECT_EQ(state.intBotaoMsg, 3);

    QString licaoAoMostrar = "?";
    int entradas = -1;
    quandoAberta([&](frmMensagem *f) {
        licaoAoMostrar = state.strLicaoMsg + state.strSecaoMsg;
        entradas = f->cmbLicaoMsg()->count(); // the entries were for the box before
        clica(f->areaButton(2));
    });
    caixa->ExibeMensagem("Instalar a seção", 25, 10, 1, true, QString(), 0);
    EXPECT_EQ(licaoAoMostrar, "");
    EXPECT_EQ(entradas, 0);

    // Closed by the window manager, it cancels rather than asks for FIND.
    bool tresFaces = false;
    quandoAberta([&](frmMensagem *f) {
        tresFaces = f->face(3)->isVisible();
        f->close();
    });
    caixa->ExibeMensagem("Instalar a seção", 25, 10, 1, true, QString(), 0);
    EXPECT_TRUE(tresFaces);
    EXPECT_EQ(state.intBotaoMsg, 2);
}

// Type 26: "de " and the chosen folder beside the list, cut back at "\" to
// the list's width.
TEST_F(frmMensagemTest, SectionListCaptionFitsTheList)
{
    state.strPastaEscolhida = "C:\\ZEKO_Download\\Download\\Curso Intermediario\\Licoes\\Secao 12";
    QString legenda;
    int largura = 0, larguraLista = 0;
    quandoAberta([&](frmMensagem *f) {
        legenda = f->textoDrive()->text();
        largura = f->textoDrive()->fontMetrics().horizontalAdvance(legenda);
        larguraLista = f->cmbLicaoMsg()->width();
        clica(f->areaButton(1));
    });
    caixa->ExibeMensagem("Copiar a seção", 26, 10, 1, true, QString(), 0);
    EXPECT_TRUE(legenda.startsWith("de C:\\ZEKO_Download")) << legenda.toStdString();
    EXPECT_TRUE(legenda.endsWith("...")) << legenda.toStdString();
    EXPECT_LE(largura, larguraLista);
    EXPECT_GT(largura, 0);
    EXPECT_EQ(state.intBotaoMsg, 1);
}

TEST_F(frmMensagemInglesTest, SectionListCaptionInEnglish)
{
    state.strPastaEscolhida = "C:\\Livros";
    QString legenda;
    quandoAberta([&](frmMensagem *f) {
        legenda = f->textoDrive()->text();
        clica(f->areaButton(2));
    });
    caixa->ExibeMensagem("Copy the section", 26, 10, 1, true, QString(), 0);
    EXPECT_EQ(legenda, "from C:\\Livros");
}

// The two-way choice: the chosen caption red, the other black.
TEST_F(frmMensagemTest, TwoWayChoiceColours)
{
    messages::ControlesCurso curso;
    curso.optMsg = true;
    caixa->preparaDialogo(curso);
    QList<int> vermelhos;
    quandoAberta([&](frmMensagem *f) {
        QRadioButton *a = f->optMsg(0), *b = f->optMsg(1);
        EXPECT_TRUE(a->isVisible() && b->isVisible());
        EXPECT_EQ(a->y(), b->y());
        vermelhos << pixelsVermelhos(a) << pixelsVermelhos(b);
        clica(b);
        vermelhos << pixelsVermelhos(a) << pixelsVermelhos(b);
        clica(a);
        vermelhos << pixelsVermelhos(a) << pixelsVermelhos(b);
        EXPECT_TRUE(a->isChecked() && !b->isChecked());
        EXPECT_EQ(a->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        EXPECT_EQ(b->palette().color(QPalette::WindowText), QColor(Qt::black));
        clica(f->areaButton(2));
    });
    caixa->ExibeMensagem("Qual unidade?", 19, 10, 1, true, QString(), 0);
    ASSERT_EQ(vermelhos.size(), 6);
    EXPECT_EQ(vermelhos[0], 0);
    EXPECT_EQ(vermelhos[1], 0);
    EXPECT_EQ(vermelhos[2], 0);
    EXPECT_GT(vermelhos[3], 10);
    EXPECT_GT(vermelhos[4], 10);
    EXPECT_EQ(vermelhos[5], 0);
}

// The practice-test options: the first is the answer at every show, whatever
// was chosen before; the options set blnOpcao1 and blnOpcao3.
TEST_F(frmMensagemTest, AnswerOptions)
{
    state.blnOpcao1 = false;
    state.blnOpcao3 = true;
    messages::ControlesCurso curso;
    curso.opcoes = true;
    caixa->preparaDialogo(curso);
    struct Flags {
        bool um, tres;
        bool operator==(const Flags &) const = default;
    };
    QList<Flags> vistos;
    bool alinhadas = false, primeiraMarcada = false;
    quandoAberta([&](frmMensagem *f) {
        primeiraMarcada = f->option(1)->isChecked();
        vistos << Flags{state.blnOpcao1, state.blnOpcao3};
        const QRadioButton *larga =
            f->option(1)->width() >= f->option(2)->width() ? f->option(1) : f->option(2);
        alinhadas = f->option(1)->x() == f->option(2)->x() && f->option(3)->x() == f->option(1)->x() &&
                    std::abs(larga->x() - (f->width() - larga->width()) / 2) <= 1 &&
                    f->option(2)->y() == f->option(1)->geometry().bottom() + 1 + 6;
        clica(f->option(3));
        vistos << Flags{state.blnOpcao1, state.blnOpcao3};
        clica(f->option(2));
        vistos << Flags{state.blnOpcao1, state.blnOpcao3};
        clica(f->areaButton(1));
    });
    caixa->ExibeMensagem("Practice Test", 4, 10, 1, true, QString(), 0);
    EXPECT_TRUE(primeiraMarcada);
    EXPECT_TRUE(alinhadas);
    EXPECT_EQ(vistos, QList<Flags>({{true, false}, {false, true}, {false, false}}));
    EXPECT_EQ(state.intBotaoMsg, 1);

    // The next box shows again with option 1 as the answer, and without the options.
    caixa->ExibeMensagem("Relatório", 1, 10, 1, false, QString(), 0);
    ASSERT_TRUE(caixa->form());
    EXPECT_FALSE(caixa->form()->option(1)->isVisible());
    EXPECT_TRUE(state.blnOpcao1);
    EXPECT_FALSE(state.blnOpcao3);
    clica(caixa->form()->areaButton(1));
}
