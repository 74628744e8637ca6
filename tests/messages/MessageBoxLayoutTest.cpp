#include "messages/MessageBoxLayout.h"
#include "common/QtPrinters.h"

#include <gtest/gtest.h>

using messages::MessageBoxLayout;

namespace {

// A text measured as so many twips wide per character and 240 per line.
MessageBoxLayout::Measure measure(int perCharacter = 100)
{
    return [perCharacter](const QString &texto, int) {
        int width = 0;
        const QStringList lines = texto.split(u'\n');
        for (const QString &l : lines)
            width = std::max(width, int(l.size()) * perCharacter);
        return MessageBoxLayout::Extent{width, int(lines.size()) * 240};
    };
}

// A caption measured as 100 twips per character.
int caption(const QString &texto)
{
    return int(texto.size()) * 100;
}

MessageBoxLayout::Context context(const QString &language = "POR", int perCharacter = 100)
{
    MessageBoxLayout::Context c;
    c.language = language;
    c.measure = measure(perCharacter);
    c.captionWidth = caption;
    c.optionWidth = [](const QString &t) { return caption(t) + 300; };
    c.zekoWidth = 1380;
    return c;
}

MessageBoxLayout::Result compute(const QString &texto, int tipoCaixa, const QString &language = "POR",
                                 int perCharacter = 100)
{
    return MessageBoxLayout::compute(texto, tipoCaixa, 10, 1, context(language, perCharacter), {});
}

} // namespace

// An OK box is max(3500, label width + 380) wide, its one face centred.
TEST(MessageBoxLayout, OkBoxWidth)
{
    const auto small = compute(QString(10, u'x'), 1); // 1000 twips of text
    EXPECT_EQ(small.width, 3500);
    const auto wide = compute(QString(50, u'x'), 1); // 5000 twips
    EXPECT_EQ(wide.width, 5380);
    EXPECT_TRUE(wide.faces[0].visible);
    EXPECT_FALSE(wide.faces[1].visible);
    EXPECT_EQ(wide.faces[0].left, 5380 / 2 - MessageBoxLayout::kFaceWidth / 2);
    EXPECT_EQ(wide.buttons.codes[0], "OK");
    // The face sits 90 below the text and the box ends 120 below the face.
    EXPECT_EQ(wide.faces[0].top, wide.mensagem.top + wide.mensagem.height + 90);
    EXPECT_EQ(wide.height, wide.faces[0].top + MessageBoxLayout::kFaceHeight + 120);
}

// A line wider than 8270 twips caps the label at 9000, the rich text at 9040,
// and the box at 9280 with the text at Left 120.
TEST(MessageBoxLayout, VeryWideLine)
{
    for (int boxType : {0, 1, 4}) {
        const auto r = compute(QString(84, u'x'), boxType, "POR", 110); // 9240 twips
        EXPECT_EQ(r.mensagem.width, 9000) << boxType;
        EXPECT_EQ(r.mensagemRtf.width, 9040) << boxType;
        EXPECT_EQ(r.width, 9280) << boxType;
        EXPECT_EQ(r.mensagemRtf.left, 120) << boxType;
    }
}

// A box without buttons grows with its text, but by 4260 twips at most; with
// buttons there is no such limit.
TEST(MessageBoxLayout, GrowthOfTallTexts)
{
    QStringList lines;
    for (int i = 0; i < 40; ++i)
        lines.append(QStringLiteral("linha %1").arg(i));
    const QString tall = lines.join(u'\n'); // 40 lines of 240
    const auto noButtons = compute(tall, 0);
    EXPECT_EQ(noButtons.height, 1200 + MessageBoxLayout::kFaceHeight + 50 + 4260);
    EXPECT_TRUE(noButtons.timer);
    const auto oneLine = compute("curto", 0);
    EXPECT_EQ(noButtons.height - oneLine.height, 4260);
    const auto withButton = compute(tall, 1);
    EXPECT_EQ(withButton.height,
              withButton.mensagem.top + 40 * 240 + 90 + MessageBoxLayout::kFaceHeight + 120);
    EXPECT_FALSE(withButton.timer);
}

TEST(MessageBoxLayout, ValidationReports)
{
    EXPECT_EQ(MessageBoxLayout::validation(1, 9, 1), "Tamanho de Fonte [9] Invalido!");
    EXPECT_EQ(MessageBoxLayout::validation(28, 10, 2),
              "Tipo de Caixa de Mensagens [28] Invalido!\nTipo de Mensagem [2] Invalido!");
    EXPECT_EQ(MessageBoxLayout::validation(-1, 14, 0), "");
    EXPECT_EQ(MessageBoxLayout::validation(27, 8, 1), "");
}

// The faces of a yes/no box speak the course's language.
TEST(MessageBoxLayout, ButtonCodesByLanguage)
{
    // Box after box, each given the set of the one before, as the message box does.
    MessageBoxLayout::ButtonSet b = MessageBoxLayout::MontaBotoes(4, 1, "ING", {});
    EXPECT_EQ(b.codes[0], "YES");
    EXPECT_EQ(b.codes[1], "NO");
    b = MessageBoxLayout::MontaBotoes(4, 1, "ESP", b);
    EXPECT_EQ(b.codes[0], "SI");
    b = MessageBoxLayout::MontaBotoes(4, 1, "", b);
    EXPECT_EQ(b.codes[0], "SIM");
    EXPECT_EQ(b.codes[1], "NAO");
    EXPECT_EQ(b.layout, 2);
    b = MessageBoxLayout::MontaBotoes(3, 0, "ING", b);
    EXPECT_EQ(b.codes[1], "CLWN");
    b = MessageBoxLayout::MontaBotoes(6, 0, "POR", b);
    EXPECT_EQ(b.codes[2], "CRV");
    EXPECT_EQ(b.layout, 3);
    // A negative type keeps the previous box's layout and codes.
    b = MessageBoxLayout::MontaBotoes(-1, 1, "ING", b);
    EXPECT_EQ(b.layout, 3);
    EXPECT_EQ(b.codes[2], "CRV");
    // One button: always OK; the codes it does not name stay from before.
    b = MessageBoxLayout::MontaBotoes(1, 1, "ING", b);
    EXPECT_EQ(b.layout, 1);
    EXPECT_EQ(b.codes[0], "OK");
    EXPECT_EQ(b.codes[1], "NO");
}

// Yes, no and cancel: the third face of type 5 cancels in every language,
// unlike type 6, whose third face closes.
TEST(MessageBoxLayout, TypeFiveThirdFaceCancels)
{
    const struct {
        int tipoMensagem;
        const char *language;
        std::array<const char *, 3> faces;
    } cases[] = {
        {1, "POR", {"SIM", "NAO", "CAN"}}, {1, "ING", {"YES", "NO", "CAC"}}, {1, "ESP", {"SI", "NO", "CAN"}},
        {0, "ING", {"YES", "NO", "CAC"}},  {0, "ESP", {"SI", "NO", "CAN"}},
    };
    for (const auto &c : cases) {
        const auto r = MessageBoxLayout::compute("Salvar?", 5, 10, c.tipoMensagem, context(c.language), {});
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(r.faces[i].visible) << c.language << " " << i;
            EXPECT_EQ(r.buttons.codes[i], c.faces[i]) << c.language << " " << c.tipoMensagem << " " << i;
        }
    }
}

// Layout 6 (box type 26) widens like the others: the text's width beyond 2100
// twips is added to the layout's 3600, not merely the room the text needs.
TEST(MessageBoxLayout, LayoutSixWidensWithItsText)
{
    const auto estreito = compute(QString(10, u'x'), 26); // 1000 twips, within the base
    EXPECT_EQ(estreito.buttons.layout, 6);
    EXPECT_EQ(estreito.width, 3600);
    const auto wide = compute(QString(50, u'x'), 26); // 5000 twips
    EXPECT_EQ(wide.width, 5000 - 2100 + 3600);
    // The two faces stay centred in the wider box.
    EXPECT_EQ(wide.faces[0].left, (wide.width - (2 * MessageBoxLayout::kFaceWidth + 140)) / 2);
    EXPECT_EQ(wide.faces[1].left, wide.faces[0].left + MessageBoxLayout::kFaceWidth + 140);
    EXPECT_FALSE(wide.faces[2].visible);
}

TEST(MessageBoxLayout, LineBreaking)
{
    // Size 10 allows 85 characters; the break falls after the last blank.
    const QString words = QString("palavra ").repeated(15); // 120 characters
    const QString wrapped = MessageBoxLayout::QuebraTexto(words, 10);
    for (const QString &line : wrapped.split(u'\n'))
        EXPECT_LE(line.size(), 85);
    EXPECT_EQ(QString(wrapped).remove(u'\n'), words);
    EXPECT_TRUE(wrapped.split(u'\n')[0].endsWith(u' '));
    // Size 8 allows fewer characters than size 10.
    EXPECT_LE(MessageBoxLayout::QuebraTexto(words, 8).split(u'\n')[0].size(), 78);
    EXPECT_LE(MessageBoxLayout::QuebraTexto(words, 14).split(u'\n')[0].size(), 46);
    // Line feeds of the text stay; a run with no blank is left unbroken.
    EXPECT_EQ(MessageBoxLayout::QuebraTexto("a\nb", 10), "a\nb");
    const QString runOn(100, u'x');
    EXPECT_EQ(MessageBoxLayout::QuebraTexto(runOn, 10), runOn);
    EXPECT_EQ(MessageBoxLayout::QuebraTexto("C:\\" + runOn + " fim", 10), "C:\\" + runOn + " fim");
}

TEST(MessageBoxLayout, ColourMarkup)
{
    const auto t = MessageBoxLayout::colourRuns("A #B| C");
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t[0].texto, "A ");
    EXPECT_FALSE(t[0].blue);
    EXPECT_EQ(t[1].texto, "B");
    EXPECT_TRUE(t[1].blue);
    EXPECT_EQ(t[2].texto, " C");
    EXPECT_FALSE(t[2].blue);
    // Blue runs to the end without a closing marker; markers never show.
    const auto u = MessageBoxLayout::colourRuns("#azul|#|");
    ASSERT_EQ(u.size(), 1);
    EXPECT_EQ(u[0].texto, "azul");
}

namespace {

MessageBoxLayout::Result courseDialogue(int tipoCaixa, MessageBoxLayout::Context c,
                                        const QString &texto = "Instalar")
{
    return MessageBoxLayout::compute(texto, tipoCaixa, 10, 1, c, {});
}

int base(const MessageBoxLayout::Control &c)
{
    return c.top + c.height;
}

} // namespace

// Type 25: the folder entry, then the section list with "em" before it, each
// 90 below the one above; the faces 90 below the list, the box 120 below them.
TEST(MessageBoxLayout, FolderAndSectionBoxStacksItsControls)
{
    auto c = context();
    c.findWidth = MessageBoxLayout::kFaceWidth;
    const auto r = courseDialogue(25, c);
    EXPECT_EQ(r.buttons.layout, 5);
    // The label is 3500 wide in a folder box: 1400 beyond the base widens the
    // box to 5100, and the FIND face, which keeps its place at 3350 + 700,
    // widens it on to end 120 after that face.
    EXPECT_EQ(r.width, 3350 + 700 + MessageBoxLayout::kFaceWidth + 120);
    ASSERT_TRUE(r.txtProcuraDir.visible && r.lesson.visible && r.textoDrive.visible);
    EXPECT_EQ(r.txtProcuraDir.top, r.mensagem.top + 240 + 90);
    EXPECT_EQ(r.txtProcuraDir.left, 135);
    EXPECT_EQ(r.txtProcuraDir.width, r.width - 270);
    EXPECT_EQ(r.lesson.top, base(r.txtProcuraDir) + 90);
    EXPECT_EQ(r.driveCaption, "em");
    EXPECT_EQ(r.textoDrive.top + r.textoDrive.height / 2, r.lesson.top + r.lesson.height / 2);
    // Not centred in type 25: the list keeps its place, after the caption.
    EXPECT_EQ(r.textoDrive.left, 320 + 700);
    EXPECT_EQ(r.lesson.left, 700 + 700);
    EXPECT_LE(r.textoDrive.left + r.textoDrive.width, r.lesson.left);
    for (const auto &f : r.faces)
        EXPECT_EQ(f.top, base(r.lesson) + 90);
    EXPECT_EQ(r.faces[0].left, 200 + 700);
    EXPECT_EQ(r.faces[2].left, 3350 + 700);
    EXPECT_EQ(r.height, base(r.faces[0]) + 120);
    EXPECT_FALSE(r.optMsg[0].visible || r.options[0].visible);

    // Without the course's FIND picture the box has two faces, centred.
    const auto noFind = courseDialogue(25, context());
    EXPECT_FALSE(noFind.faces[2].visible);
    EXPECT_EQ(noFind.width, 5100);
    EXPECT_EQ(noFind.faces[0].left, (5100 - (2 * MessageBoxLayout::kFaceWidth + 140)) / 2);

    EXPECT_EQ(courseDialogue(25, context("ING")).driveCaption, "on");
    EXPECT_EQ(courseDialogue(25, context("ESP")).driveCaption, "en");
    // A long caption pushes the list on rather than under it.
    auto wide = context();
    wide.captionWidth = [](const QString &) { return 900; };
    const auto pushed = courseDialogue(25, wide);
    EXPECT_EQ(pushed.lesson.left, pushed.textoDrive.left + 900 + 60);
}

// Type 19: the folder entry alone; the text stands where the entry begins.
TEST(MessageBoxLayout, FolderBox)
{
    const auto r = courseDialogue(19, context());
    EXPECT_EQ(r.buttons.layout, 4);
    EXPECT_EQ(r.width, 1400 + 3380);
    EXPECT_EQ(r.mensagemRtf.left, 200);
    EXPECT_TRUE(r.txtProcuraDir.visible);
    EXPECT_FALSE(r.lesson.visible || r.textoDrive.visible);
    EXPECT_EQ(r.faces[0].top, base(r.txtProcuraDir) + 90);
    EXPECT_EQ(r.height, base(r.faces[0]) + 120);
}

// A folder box's text is 3500 twips wide: a longer one wraps at its blanks
// and the box grows down, not sideways.
TEST(MessageBoxLayout, FolderBoxWrapsALongText)
{
    const QString texto = "Escolha a seção a instalar e a pasta de destino do livro"; // 5600 twips
    const auto r = courseDialogue(25, context(), texto);
    const QStringList lines = r.texto.split(u'\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines.join(QString()), texto);
    EXPECT_LE(lines[0].trimmed().size() * 100, 3500);
    EXPECT_TRUE(lines[0].endsWith(u' '));
    EXPECT_EQ(r.mensagem.height, 2 * 240);
    EXPECT_EQ(r.width, 5100);
    EXPECT_EQ(r.txtProcuraDir.top, r.mensagem.top + 2 * 240 + 90);
    // A word wider than the label keeps its own line, whole.
    const QString word(40, u'x');
    EXPECT_EQ(MessageBoxLayout::wrapToWidth("a " + word + " b", 3500, 10, measure()), "a \n" + word + " \nb");
    // Other boxes keep their one long line.
    EXPECT_EQ(compute(texto, 4).texto, texto);
}

// Type 26: the list centred, and "de " and the folder under it, cut back at
// its last "\" with "..." while wider than the list.
TEST(MessageBoxLayout, SectionListBoxCutsTheFolderCaption)
{
    auto c = context();
    c.chosenFolder = "C:\\Livros\\Curso Basico\\Nivel 1"; // 33 characters with "de "
    const auto r = courseDialogue(26, c);
    EXPECT_EQ(r.driveCaption, "de C:\\Livros\\Curso Basico...");
    EXPECT_EQ(r.textoDrive.width, 2800);
    EXPECT_EQ(r.lesson.width, 3000);
    EXPECT_EQ(r.lesson.left, (r.width - 3000) / 2);
    EXPECT_EQ(r.textoDrive.left, (r.width - 2800) / 2);
    EXPECT_EQ(r.lesson.top, base(r.mensagem) + 90);
    EXPECT_EQ(r.textoDrive.top, base(r.lesson) + 90);
    EXPECT_EQ(r.faces[0].top, base(r.textoDrive) + 90);

    // Exactly as wide as the list is narrow enough.
    c.language = "ING";
    EXPECT_EQ(courseDialogue(26, c).driveCaption, "from C:\\Livros\\Curso Basico...");
    // Cut by cut, down to the drive, and no further once no "\" is left.
    c.language = "POR";
    c.chosenFolder = "C:\\" + QString(40, u'x') + "\\y";
    EXPECT_EQ(courseDialogue(26, c).driveCaption, "de C:...");
    c.chosenFolder = QString(40, u'x');
    EXPECT_EQ(courseDialogue(26, c).driveCaption, "de " + QString(40, u'x'));
}

// Type 27: the 4000-twip list and the text centred in the 4800-twip box.
TEST(MessageBoxLayout, WideSectionListBox)
{
    const auto r = courseDialogue(27, context());
    EXPECT_EQ(r.width, 4800);
    EXPECT_EQ(r.lesson.width, 4000);
    EXPECT_EQ(r.lesson.left, 400);
    EXPECT_EQ(r.mensagemRtf.left, (4800 - r.mensagemRtf.width) / 2);
    EXPECT_FALSE(r.txtProcuraDir.visible || r.textoDrive.visible);
}

// The answer options: the box is wide enough for the widest, Option1 and
// Option2 stand centred with the narrower at the wider's Left, each 90 below
// the other, and the faces follow.
TEST(MessageBoxLayout, AnswerOptions)
{
    auto c = context();
    c.course.options = true;
    const auto r = courseDialogue(4, c, "Practice Test");
    int widest = 0;
    for (const auto &o : r.options) {
        EXPECT_TRUE(o.visible);
        widest = std::max(widest, o.width);
    }
    EXPECT_EQ(r.width, widest + 240);
    const int wider12 = std::max(r.options[0].width, r.options[1].width);
    EXPECT_EQ(r.options[0].left, (r.width - wider12) / 2);
    EXPECT_EQ(r.options[1].left, r.options[0].left);
    EXPECT_EQ(r.options[0].top, base(r.mensagem) + 90);
    EXPECT_EQ(r.options[1].top, base(r.options[0]) + 90);
    EXPECT_EQ(r.options[2].top, base(r.options[1]) + 90);
    EXPECT_EQ(r.faces[0].top, base(r.options[2]) + 90);
    EXPECT_EQ(r.faces[1].left, r.faces[0].left + MessageBoxLayout::kFaceWidth + 140);
    // The text stays centred in the wider box, and the bottom strip below its end.
    EXPECT_EQ(r.mensagemRtf.left, (r.width - r.mensagemRtf.width) / 2);
    EXPECT_GE(r.fxBotton.top, r.height);

    // The two-way choice of a folder box: one row at the layout's places.
    auto ab = context();
    ab.course.optMsg = true;
    const auto f = courseDialogue(19, ab);
    EXPECT_EQ(f.optMsg[0].top, base(f.txtProcuraDir) + 90);
    EXPECT_EQ(f.optMsg[1].top, f.optMsg[0].top);
    EXPECT_EQ(f.optMsg[0].left, 480 + 700);
    EXPECT_EQ(f.optMsg[1].left, 1320 + 700);
    EXPECT_EQ(f.faces[0].top, base(f.optMsg[0]) + 90);
}

// The manager's own boxes show none of the dialogues' controls, even when a
// dialogue's options were asked for.
TEST(MessageBoxLayout, ManagerBoxesHaveNoDialogueControls)
{
    for (int boxType : {0, 1, 4}) {
        const auto r = compute("Sair?", boxType);
        EXPECT_FALSE(r.txtProcuraDir.visible || r.lesson.visible || r.textoDrive.visible) << boxType;
        EXPECT_FALSE(r.optMsg[0].visible || r.optMsg[1].visible || r.options[0].visible) << boxType;
        EXPECT_TRUE(r.driveCaption.isEmpty()) << boxType;
    }
    // A text-only box keeps its size with FIND's picture at hand.
    auto c = context();
    c.findWidth = 960;
    EXPECT_EQ(courseDialogue(4, c, "Sair?").width, compute("Sair?", 4).width);
}

TEST(CourseDialogue, FolderEntry)
{
    using messages::courseDialogue::folderOfEntry;
    EXPECT_EQ(folderOfEntry("C:\\Livros\\"), "C:\\Livros");
    EXPECT_EQ(folderOfEntry("  C:\\Livros  "), "C:\\Livros");
    EXPECT_EQ(folderOfEntry(" C:\\Livros\\ "), "C:\\Livros");
    EXPECT_EQ(folderOfEntry("C:\\"), "C:");
    EXPECT_EQ(folderOfEntry("   "), "");

    using messages::courseDialogue::firstButtonAnswers;
    for (int boxType : {19, 25}) {
        EXPECT_FALSE(firstButtonAnswers(boxType, "")) << boxType;
        EXPECT_FALSE(firstButtonAnswers(boxType, "   ")) << boxType;
        EXPECT_TRUE(firstButtonAnswers(boxType, " D:")) << boxType;
    }
    EXPECT_TRUE(firstButtonAnswers(4, ""));
    EXPECT_TRUE(firstButtonAnswers(26, ""));
}

TEST(CourseDialogue, OptionsAndSections)
{
    using messages::courseDialogue::chooseOption;
    EXPECT_TRUE(chooseOption(1).blnOpcao1);
    EXPECT_FALSE(chooseOption(1).blnOpcao3);
    EXPECT_FALSE(chooseOption(2).blnOpcao1);
    EXPECT_FALSE(chooseOption(2).blnOpcao3);
    EXPECT_FALSE(chooseOption(3).blnOpcao1);
    EXPECT_TRUE(chooseOption(3).blnOpcao3);

    using messages::courseDialogue::lessonSection;
    EXPECT_EQ(lessonSection("3/12").lesson, "3");
    EXPECT_EQ(lessonSection("3/12").section, "12");
    EXPECT_EQ(lessonSection(" 3 / 12 ").section, "12");
    EXPECT_EQ(lessonSection("7").lesson, "7");
    EXPECT_EQ(lessonSection("7").section, "");
    EXPECT_EQ(lessonSection("1/2/3").section, "2/3");
}
