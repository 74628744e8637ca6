#include "messages/frmMensagem.h"
#include "common/ManagerFixture.h"
#include "common/MouseEvents.h"
#include "common/QtPrinters.h"
#include "common/WhenOpen.h"
#include "drive/MountDrive.h"
#include "messages/SkinnedMessageBox.h"
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

using messages::frmMensagem;
using messages::SkinnedMessageBox;

namespace {

class frmMensagemTest : public ManagerFixture {
  protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        box = std::make_unique<SkinnedMessageBox>(state, wine);
        drives = std::make_unique<drive::MountDrive>(wine, state, *box);
        mainWindow = std::make_unique<shell::frmPrincipal>(state, *drives, *box, [] {});
        QString error;
        ASSERT_TRUE(mainWindow->load(&error)) << error.toStdString();
    }
    void TearDown() override
    {
        mainWindow.reset();
        drives.reset();
        box.reset();
    }
    // Does `action` on the box once it is up, while ExibeMensagem waits; a box
    // the action fails to answer is closed, so that the test ends.
    void whenOpen(std::function<void(frmMensagem *)> action) { zekotest::whenOpen(*box, std::move(action)); }
    static void click(QWidget *w, QPoint p = {}) { mouse::click(w, p); }

    std::unique_ptr<SkinnedMessageBox> box;
    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<shell::frmPrincipal> mainWindow;
};

class frmMensagemEnglishTest : public frmMensagemTest {
  protected:
    frmMensagemEnglishTest() { prefix.writeZekoIni("[InstalacaoVersao5]\r\nIdiomaInst=ING\r\n"); }
};

} // namespace

// A yes/no box answered with its second face leaves 2; its owner is disabled
// while it waits and enabled again after.
TEST_F(frmMensagemTest, YesNoAnsweredWithTheSecondFace)
{
    bool ownerDisabled = false;
    whenOpen([&](frmMensagem *f) {
        ownerDisabled = !mainWindow->isEnabled();
        EXPECT_EQ(f->faceImage(1), "SIM_NM.JPG");
        EXPECT_EQ(f->faceImage(2), "NAO_NM.JPG");
        // None of the course dialogues' controls.
        EXPECT_FALSE(f->txtProcuraDir()->isVisible() || f->cmbLicaoMsg()->isVisible() ||
                     f->textoDrive()->isVisible() || f->optMsg(0)->isVisible() || f->option(1)->isVisible());
        click(f->areaButton(2));
    });
    box->ExibeMensagem("Sair?", 4, 10, 1, true, QString(), 0);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_EQ(state.intBotaoMsg, 2);
    EXPECT_TRUE(mainWindow->isEnabled());
    EXPECT_FALSE(state.blnMsgAberta);
    EXPECT_FALSE(box->form());
}

TEST_F(frmMensagemEnglishTest, EnglishYesNoFaces)
{
    whenOpen([&](frmMensagem *f) {
        EXPECT_EQ(f->faceImage(1), "YES_NM.JPG");
        EXPECT_EQ(f->faceImage(2), "NO_NM.JPG");
        click(f->areaButton(1));
    });
    box->ExibeMensagem("Exit?", 4, 10, 1, true, QString(), 0);
    EXPECT_EQ(state.intBotaoMsg, 1);
}

// A box without buttons closes by itself after 4 s, or at once on a click.
TEST_F(frmMensagemTest, BoxWithoutButtons)
{
    // The rule is the timer's; once it is seen set, it is run at once instead of waited out.
    int interval = 0;
    bool singleShot = false, running = false;
    whenOpen([&](frmMensagem *f) {
        interval = f->noticeTimer()->interval();
        singleShot = f->noticeTimer()->isSingleShot();
        running = f->noticeTimer()->isActive();
        f->noticeTimer()->start(1);
    });
    QElapsedTimer t;
    t.start();
    box->ExibeMensagem("Apagando...", 0, 10, 1, true, QString(), 0);
    EXPECT_EQ(interval, 4000);
    EXPECT_TRUE(singleShot);
    EXPECT_TRUE(running);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_EQ(state.intBotaoMsg, 1);
    EXPECT_FALSE(state.blnMsgAberta);

    whenOpen([](frmMensagem *f) { click(f->mensagemRtf()); });
    t.restart();
    box->ExibeMensagem("Apagando...", 0, 10, 1, true, QString(), 0);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_EQ(state.intBotaoMsg, 1);
}

// A hand is never quite still: a box without buttons closes on a click whose
// pointer moved a little between press and release, but not on a drag.
TEST_F(frmMensagemTest, BoxWithoutButtonsClosesOnAnUnsteadyClick)
{
    const int drag = QApplication::startDragDistance();
    int afterDrag = -1, afterClick = -1;
    whenOpen([&](frmMensagem *f) {
        QWidget *fundo = f->fundo();
        const QPoint p = fundo->mapFrom(f, QPoint(20, f->height() - 8));
        mouse::press(fundo, p);
        mouse::move(fundo, p + QPoint(3 * drag, 0), Qt::LeftButton);
        mouse::release(fundo, p + QPoint(3 * drag, 0));
        afterDrag = state.intBotaoMsg;
        mouse::press(fundo, p);
        mouse::move(fundo, p + QPoint(2, 1), Qt::LeftButton);
        mouse::release(fundo, p + QPoint(2, 1));
        afterClick = state.intBotaoMsg;
    });
    box->ExibeMensagem("Apagando...", 0, 10, 1, true, QString(), 0);
    EXPECT_EQ(afterDrag, 0);
    EXPECT_EQ(afterClick, 1);
}

// A report shown while a question waits is answered on its own: the question
// stays on screen under it and its call gets the question's answer.
TEST_F(frmMensagemTest, ReportWhileAQuestionWaitsKeepsEachAnswer)
{
    QPointer<frmMensagem> question;
    int noticeAnswer = -1;
    bool questionStayed = false;
    whenOpen([&](frmMensagem *f) {
        question = f;
        whenOpen([&](frmMensagem *notice) {
            EXPECT_NE(notice, question.data());
            click(notice->areaButton(1));
        });
        box->ExibeMensagem("Aviso", 1, 10, 1, true, QString(), 0);
        noticeAnswer = state.intBotaoMsg;
        questionStayed = question && question->isVisible() && box->form() == question && state.blnMsgAberta &&
                         !mainWindow->isEnabled();
        if (question)
            click(question->areaButton(2));
    });
    box->ExibeMensagem("Sair?", 4, 10, 1, true, QString(), 0);
    EXPECT_EQ(noticeAnswer, 1);
    EXPECT_TRUE(questionStayed);
    EXPECT_EQ(state.intBotaoMsg, 2);
    EXPECT_FALSE(state.blnMsgAberta);
    EXPECT_TRUE(mainWindow->isEnabled());
}

// The other order: the question is answered while a later box still waits. Each
// call still returns its own box's answer, and the owner stays disabled until
// the last waiting box is answered. A box nobody waits for, shown on top, does
// not answer the question either.
TEST_F(frmMensagemTest, QuestionAnsweredWhileALaterBoxWaits)
{
    QPointer<frmMensagem> question;
    int noticeAnswer = -1, afterNoticeAnswered = -1;
    bool noticeStayed = false;
    whenOpen([&](frmMensagem *f) {
        question = f;
        box->ExibeMensagem("Nota", 1, 10, 1, false, QString(), 0);
        if (frmMensagem *nota = box->form())
            click(nota->areaButton(1));
        afterNoticeAnswered = state.intBotaoMsg;
        whenOpen([&](frmMensagem *notice) {
            if (question)
                click(question->areaButton(1));
            noticeStayed = notice->isVisible() && box->form() == notice && state.blnMsgAberta &&
                           !mainWindow->isEnabled();
            click(notice->areaButton(2));
        });
        box->ExibeMensagem("Apagar?", 4, 10, 1, true, QString(), 0);
        noticeAnswer = state.intBotaoMsg;
    });
    box->ExibeMensagem("Sair?", 4, 10, 1, true, QString(), 0);
    EXPECT_EQ(afterNoticeAnswered, 1);
    EXPECT_TRUE(noticeStayed);
    EXPECT_EQ(noticeAnswer, 2);
    EXPECT_EQ(state.intBotaoMsg, 1);
    EXPECT_FALSE(state.blnMsgAberta);
    EXPECT_TRUE(mainWindow->isEnabled());
}

// A negative type shows the faces of the box before it, in the same places.
TEST_F(frmMensagemTest, NegativeTypeKeepsTheFacesOfTheBoxBefore)
{
    whenOpen([](frmMensagem *f) { click(f->areaButton(1)); });
    box->ExibeMensagem("Sair?", 4, 10, 1, true, QString(), 0);
    QStringList faces;
    whenOpen([&](frmMensagem *f) {
        faces << f->faceImage(1) << f->faceImage(2) << f->faceImage(3);
        click(f->areaButton(2));
    });
    box->ExibeMensagem("Sair mesmo?", -1, 10, 1, true, QString(), 0);
    EXPECT_EQ(faces, QStringList({"SIM_NM.JPG", "NAO_NM.JPG", ""}));
    EXPECT_EQ(state.intBotaoMsg, 2);
}

// Clicking the background of a box with buttons does nothing.
TEST_F(frmMensagemTest, BackgroundClickOfAnOkBoxDoesNothing)
{
    bool stayed = false;
    whenOpen([&](frmMensagem *f) {
        click(f->fundo(), QPoint(40, 40));
        click(f->tarja());
        QCoreApplication::processEvents(); // whatever the clicks posted
        stayed = box->form() == f && f->isVisible() && state.intBotaoMsg == 0;
        click(f->areaButton(1));
    });
    box->ExibeMensagem("Relatório", 1, 10, 1, true, QString(), 0);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(state.intBotaoMsg, 1);
}

// The face follows the mouse: hover, pressed, hover again, normal off the face.
TEST_F(frmMensagemTest, FacePictures)
{
    QStringList seenFaces;
    whenOpen([&](frmMensagem *f) {
        QWidget *area = f->areaButton(1);
        mouse::move(area, area->rect().center());
        seenFaces << f->faceImage(1);
        mouse::press(area, area->rect().center());
        seenFaces << f->faceImage(1);
        mouse::release(area, QPoint(-5, -5)); // released off the face
        seenFaces << f->faceImage(1);
        mouse::move(f->fundo(), QPoint(5, 5));
        seenFaces << f->faceImage(1);
        click(area);
    });
    box->ExibeMensagem("Relatório", 1, 10, 1, true, QString(), 0);
    EXPECT_EQ(seenFaces, QStringList({"OK_MM.JPG", "OK_MC.JPG", "OK_MM.JPG", "OK_NM.JPG"}));
}

TEST_F(frmMensagemTest, ColourMarkupShowsBlue)
{
    QString plain;
    QColor colourBefore, colourAfter;
    whenOpen([&](frmMensagem *f) {
        QTextDocument doc;
        doc.setHtml(f->mensagemRtf()->text());
        plain = doc.toPlainText();
        for (auto it = doc.begin().begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (frag.text().contains(u'B'))
                colourBefore = frag.charFormat().foreground().color();
            if (frag.text().contains(u'A'))
                colourAfter = frag.charFormat().foreground().style() == Qt::NoBrush
                                  ? QColor(Qt::black)
                                  : frag.charFormat().foreground().color();
        }
        click(f->areaButton(1));
    });
    box->ExibeMensagem("A #B| C", 1, 10, 1, true, QString(), 0);
    EXPECT_EQ(plain, "A B C");
    EXPECT_EQ(colourBefore, QColor(0, 0, 255));
    EXPECT_EQ(colourAfter, QColor(Qt::black));
}

// Invalid arguments show the report in an OK box that does not wait.
TEST_F(frmMensagemTest, InvalidFontSizeShowsTheReport)
{
    box->ExibeMensagem("x", 1, 9, 1, true, QString(), 0);
    ASSERT_TRUE(box->form());
    EXPECT_EQ(state.intBotaoMsg, 0);
    QTextDocument doc;
    doc.setHtml(box->form()->mensagemRtf()->text());
    EXPECT_EQ(doc.toPlainText(), "Tamanho de Fonte [9] Invalido!");
    EXPECT_EQ(box->form()->faceImage(1), "OK_NM.JPG");
    EXPECT_TRUE(box->form()->faceImage(2).isEmpty());
    click(box->form()->areaButton(1));
    EXPECT_EQ(state.intBotaoMsg, 1);
}

// Closed through the window manager, a waiting box still returns: a yes/no box
// answers "no".
TEST_F(frmMensagemTest, WindowManagerCloseAnswers)
{
    whenOpen([](frmMensagem *f) { f->close(); });
    box->ExibeMensagem("Sair?", 4, 10, 1, true, QString(), 0);
    EXPECT_EQ(state.intBotaoMsg, 2);
    EXPECT_TRUE(mainWindow->isEnabled());
    whenOpen([](frmMensagem *f) { f->close(); });
    box->ExibeMensagem("Relatório", 1, 10, 1, true, QString(), 0);
    EXPECT_EQ(state.intBotaoMsg, 1);
}

// The title bar of a waiting box does not move it; that of a box that does not wait does.
TEST_F(frmMensagemTest, TitleBarDrag)
{
    QPoint before, after;
    whenOpen([&](frmMensagem *f) {
        before = f->pos();
        mouse::press(f->tarja(), QPoint(100, 10));
        mouse::move(f->tarja(), QPoint(130, 25), Qt::LeftButton);
        mouse::release(f->tarja(), QPoint(130, 25));
        after = f->pos();
        click(f->areaButton(1));
    });
    box->ExibeMensagem("Relatório", 1, 10, 1, true, QString(), 0);
    EXPECT_EQ(before, after);

    box->ExibeMensagem("Relatório", 1, 10, 1, false, QString(), 0);
    frmMensagem *f = box->form();
    ASSERT_TRUE(f);
    const QPoint inicio = f->pos();
    mouse::press(f->tarja(), QPoint(100, 10));
    mouse::move(f->tarja(), QPoint(130, 25), Qt::LeftButton);
    mouse::release(f->tarja(), QPoint(130, 25));
    EXPECT_EQ(f->pos(), inicio + QPoint(30, 15));
    click(f->areaButton(1));
}

namespace {

// Pixels of the caption's red (255, 0, 0) in what a control shows.
int redPixels(QWidget *w)
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
    return {0, shell::skin::twipsToPixels(twips)};
}

} // namespace

// A folder box answers its first button only once the entry names a folder;
// the folder is kept without the blanks around it and without a final "\".
TEST_F(frmMensagemTest, FolderBoxWaitsForAFolder)
{
    QList<int> answers;
    QString folder;
    bool findVisible = true;
    whenOpen([&](frmMensagem *f) {
        QLineEdit *entry = f->txtProcuraDir();
        EXPECT_TRUE(entry->isVisible());
        findVisible = f->face(3)->isVisible(); // the course's picture is not at hand
        click(f->areaButton(1));
        answers << state.intBotaoMsg;
        QTest::keyClicks(entry, "   ");
        click(f->areaButton(1));
        answers << state.intBotaoMsg;
        entry->clear();
        QTest::keyClicks(entry, "  C:\\Livros\\");
        folder = state.strPastaEscolhida;
        click(f->areaButton(1));
    });
    box->ExibeMensagem("Onde instalar?", 19, 10, 1, true, QString(), 0);
    EXPECT_EQ(answers, QList<int>({0, 0}));
    EXPECT_FALSE(findVisible);
    EXPECT_EQ(folder, "C:\\Livros");
    EXPECT_EQ(state.intBotaoMsg, 1);
    EXPECT_FALSE(state.blnMsgAberta);

    // The next folder box starts with the folder chosen; cancel needs none.
    QString inicio;
    whenOpen([&](frmMensagem *f) {
        inicio = f->txtProcuraDir()->text();
        f->txtProcuraDir()->clear();
        click(f->areaButton(2));
    });
    box->ExibeMensagem("Onde instalar?", 19, 10, 1, true, QString(), 0);
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

    QStringList choices;
    messages::CourseControls course;
    course.lessons = QStringList{"1/1", "2/5"};
    course.onSectionChosen = [&](const QString &l, const QString &s) { choices << l + "|" + s; };
    box->prepareDialogue(course);
    QString caption, lesson, section;
    bool findVisible = false, stacked = false;
    whenOpen([&](frmMensagem *f) {
        findVisible = f->face(3)->isVisible() && !f->face(3)->pixmap().isNull();
        caption = f->textoDrive()->text();
        QComboBox *list = f->cmbLicaoMsg();
        EXPECT_EQ(list->count(), 2);
        EXPECT_EQ(list->currentIndex(), -1);
        // Text, entry, list, faces: each 6 pixels (90 twips) below the one above.
        const int espaco = px(90).y();
        stacked =
            f->txtProcuraDir()->y() == f->mensagemRtf()->y() + f->mensagemRtf()->height() - 2 + espaco &&
            list->y() == f->txtProcuraDir()->geometry().bottom() + 1 + espaco &&
            f->face(1)->y() == list->geometry().bottom() + 1 + espaco && f->face(3)->y() == f->face(1)->y() &&
            f->height() == f->face(1)->geometry().bottom() + 1 + 8;
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        lesson = state.chosenLesson;
        section = state.chosenSection;
        click(f->areaButton(3));
    });
    box->ExibeMensagem("Instalar a seção", 25, 10, 1, true, QString(), 0);
    EXPECT_TRUE(findVisible);
    EXPECT_TRUE(stacked);
    EXPECT_EQ(caption, "em");
    EXPECT_EQ(lesson, "2");
    EXPECT_EQ(section, "5");
    EXPECT_EQ(choices, QStringList({"1|1", "2|5"}));
    EXPECT_EQ(state.intBotaoMsg, 3);

    QString lessonWhenShown = "?";
    int entries = -1;
    whenOpen([&](frmMensagem *f) {
        lessonWhenShown = state.chosenLesson + state.chosenSection;
        entries = f->cmbLicaoMsg()->count(); // the entries were for the box before
        click(f->areaButton(2));
    });
    box->ExibeMensagem("Instalar a seção", 25, 10, 1, true, QString(), 0);
    EXPECT_EQ(lessonWhenShown, "");
    EXPECT_EQ(entries, 0);

    // Closed by the window manager, it cancels rather than asks for FIND.
    bool threeFaces = false;
    whenOpen([&](frmMensagem *f) {
        threeFaces = f->face(3)->isVisible();
        f->close();
    });
    box->ExibeMensagem("Instalar a seção", 25, 10, 1, true, QString(), 0);
    EXPECT_TRUE(threeFaces);
    EXPECT_EQ(state.intBotaoMsg, 2);
}

// Type 26: "de " and the chosen folder beside the list, cut back at "\" to
// the list's width.
TEST_F(frmMensagemTest, SectionListCaptionFitsTheList)
{
    state.strPastaEscolhida = "C:\\ZEKO_Download\\Download\\Curso Intermediario\\Licoes\\Secao 12";
    QString caption;
    int width = 0, listWidth = 0;
    whenOpen([&](frmMensagem *f) {
        caption = f->textoDrive()->text();
        width = f->textoDrive()->fontMetrics().horizontalAdvance(caption);
        listWidth = f->cmbLicaoMsg()->width();
        click(f->areaButton(1));
    });
    box->ExibeMensagem("Copiar a seção", 26, 10, 1, true, QString(), 0);
    EXPECT_TRUE(caption.startsWith("de C:\\ZEKO_Download")) << caption.toStdString();
    EXPECT_TRUE(caption.endsWith("...")) << caption.toStdString();
    EXPECT_LE(width, listWidth);
    EXPECT_GT(width, 0);
    EXPECT_EQ(state.intBotaoMsg, 1);
}

TEST_F(frmMensagemEnglishTest, SectionListCaptionInEnglish)
{
    state.strPastaEscolhida = "C:\\Livros";
    QString caption;
    whenOpen([&](frmMensagem *f) {
        caption = f->textoDrive()->text();
        click(f->areaButton(2));
    });
    box->ExibeMensagem("Copy the section", 26, 10, 1, true, QString(), 0);
    EXPECT_EQ(caption, "from C:\\Livros");
}

// The two-way choice: the chosen caption red, the other black.
TEST_F(frmMensagemTest, TwoWayChoiceColours)
{
    messages::CourseControls course;
    course.optMsg = true;
    box->prepareDialogue(course);
    QList<int> reds;
    whenOpen([&](frmMensagem *f) {
        QRadioButton *a = f->optMsg(0), *b = f->optMsg(1);
        EXPECT_TRUE(a->isVisible() && b->isVisible());
        EXPECT_EQ(a->y(), b->y());
        reds << redPixels(a) << redPixels(b);
        click(b);
        reds << redPixels(a) << redPixels(b);
        click(a);
        reds << redPixels(a) << redPixels(b);
        EXPECT_TRUE(a->isChecked() && !b->isChecked());
        EXPECT_EQ(a->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        EXPECT_EQ(b->palette().color(QPalette::WindowText), QColor(Qt::black));
        click(f->areaButton(2));
    });
    box->ExibeMensagem("Qual unidade?", 19, 10, 1, true, QString(), 0);
    ASSERT_EQ(reds.size(), 6);
    EXPECT_EQ(reds[0], 0);
    EXPECT_EQ(reds[1], 0);
    EXPECT_EQ(reds[2], 0);
    EXPECT_GT(reds[3], 10);
    EXPECT_GT(reds[4], 10);
    EXPECT_EQ(reds[5], 0);
}

// The practice-test options: the first is the answer at every show, whatever
// was chosen before; the options set blnOpcao1 and blnOpcao3.
TEST_F(frmMensagemTest, AnswerOptions)
{
    state.blnOpcao1 = false;
    state.blnOpcao3 = true;
    messages::CourseControls course;
    course.options = true;
    box->prepareDialogue(course);
    struct Flags {
        bool um, tres;
        bool operator==(const Flags &) const = default;
    };
    QList<Flags> seen;
    bool aligned = false, firstChecked = false;
    whenOpen([&](frmMensagem *f) {
        firstChecked = f->option(1)->isChecked();
        seen << Flags{state.blnOpcao1, state.blnOpcao3};
        const QRadioButton *wider =
            f->option(1)->width() >= f->option(2)->width() ? f->option(1) : f->option(2);
        aligned = f->option(1)->x() == f->option(2)->x() && f->option(3)->x() == f->option(1)->x() &&
                  std::abs(wider->x() - (f->width() - wider->width()) / 2) <= 1 &&
                  f->option(2)->y() == f->option(1)->geometry().bottom() + 1 + 6;
        click(f->option(3));
        seen << Flags{state.blnOpcao1, state.blnOpcao3};
        click(f->option(2));
        seen << Flags{state.blnOpcao1, state.blnOpcao3};
        click(f->areaButton(1));
    });
    box->ExibeMensagem("Practice Test", 4, 10, 1, true, QString(), 0);
    EXPECT_TRUE(firstChecked);
    EXPECT_TRUE(aligned);
    EXPECT_EQ(seen, QList<Flags>({{true, false}, {false, true}, {false, false}}));
    EXPECT_EQ(state.intBotaoMsg, 1);

    // The next box shows again with option 1 as the answer, and without the options.
    box->ExibeMensagem("Relatório", 1, 10, 1, false, QString(), 0);
    ASSERT_TRUE(box->form());
    EXPECT_FALSE(box->form()->option(1)->isVisible());
    EXPECT_TRUE(state.blnOpcao1);
    EXPECT_FALSE(state.blnOpcao3);
    click(box->form()->areaButton(1));
}
