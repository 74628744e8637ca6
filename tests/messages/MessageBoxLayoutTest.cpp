#include "messages/MessageBoxLayout.h"
#include "common/QtPrinters.h"

#include <gtest/gtest.h>

using messages::MessageBoxLayout;

namespace {

// A text measured as so many twips wide per character and 240 per line.
MessageBoxLayout::Medidor medidor(int porCaractere = 100)
{
    return [porCaractere](const QString &texto, int) {
        int largura = 0;
        const QStringList linhas = texto.split(u'\n');
        for (const QString &l : linhas)
            largura = std::max(largura, int(l.size()) * porCaractere);
        return MessageBoxLayout::Medida{largura, int(linhas.size()) * 240};
    };
}

// A caption measured as 100 twips per character.
int legenda(const QString &texto)
{
    return int(texto.size()) * 100;
}

MessageBoxLayout::Contexto contexto(const QString &idioma = "POR", int porCaractere = 100)
{
    MessageBoxLayout::Contexto c;
    c.idioma = idioma;
    c.medidor = medidor(porCaractere);
    c.larguraRotulo = legenda;
    c.larguraOpcao = [](const QString &t) { return legenda(t) + 300; };
    c.zekoWidth = 1380;
    return c;
}

MessageBoxLayout::Resultado calcula(const QString &texto, int tipoCaixa, const QString &idioma = "POR",
                                    int porCaractere = 100)
{
    MessageBoxLayout l;
    return l.calcula(texto, tipoCaixa, 10, 1, contexto(idioma, porCaractere));
}

} // namespace

// An OK box is max(3500, label width + 380) wide, its one face centred.
TEST(MessageBoxLayout, OkBoxWidth)
{
    const auto small = calcula(QString(10, u'x'), 1); // 1000 twips of text
    EXPECT_EQ(small.width, 3500);
    const auto wide = calcula(QString(50, u'x'), 1); // 5000 twips
    EXPECT_EQ(wide.width, 5380);
    EXPECT_TRUE(wide.faces[0].visible);
    EXPECT_FALSE(wide.faces[1].visible);
    EXPECT_EQ(wide.faces[0].left, 5380 / 2 - MessageBoxLayout::kFaceWidth / 2);
    EXPECT_EQ(wide.botoes[0], "OK");
    // The face sits 90 below the text and the box ends 120 below the face.
    EXPECT_EQ(wide.faces[0].top, wide.mensagem.top + wide.mensagem.height + 90);
    EXPECT_EQ(wide.height, wide.faces[0].top + MessageBoxLayout::kFaceHeight + 120);
}

// A line wider than 8270 twips caps the label at 9000, the rich text at 9040,
// and the box at 9280 with the text at Left 120.
TEST(MessageBoxLayout, VeryWideLine)
{
    for (int tipo : {0, 1, 4}) {
        const auto r = calcula(QString(84, u'x'), tipo, "POR", 110); // 9240 twips
        EXPECT_EQ(r.mensagem.width, 9000) << tipo;
        EXPECT_EQ(r.mensagemRtf.width, 9040) << tipo;
        EXPECT_EQ(r.width, 9280) << tipo;
        EXPECT_EQ(r.mensagemRtf.left, 120) << tipo;
    }
}

// A box without buttons grows with its text, but by 4260 twips at most; with
// buttons there is no such limit.
TEST(MessageBoxLayout, GrowthOfTallTexts)
{
    QStringList linhas;
    for (int i = 0; i < 40; ++i)
        linhas.append(QStringLiteral("linha %1").arg(i));
    const QString alto = linhas.join(u'\n'); // 40 lines of 240
    const auto semBotoes = calcula(alto, 0);
    EXPECT_EQ(semBotoes.height, 1200 + MessageBoxLayout::kFaceHeight + 50 + 4260);
    EXPECT_TRUE(semBotoes.timer);
    const auto umaLinha = calcula("curto", 0);
    EXPECT_EQ(semBotoes.height - umaLinha.height, 4260);
    const auto comBotao = calcula(alto, 1);
    EXPECT_EQ(comBotao.height, comBotao.mensagem.top + 40 * 240 + 90 + MessageBoxLayout::kFaceHeight + 120);
    EXPECT_FALSE(comBotao.timer);
}

TEST(MessageBoxLayout, ValidationReports)
{
    EXPECT_EQ(MessageBoxLayout::validacao(1, 9, 1), "Tamanho de Fonte [9] Invalido!");
    EXPECT_EQ(MessageBoxLayout::validacao(28, 10, 2),
              "Tipo de Caixa de Mensagens [28] Invalido!\nTipo de Mensagem [2] Invalido!");
    EXPECT_EQ(MessageBoxLayout::validacao(-1, 14, 0), "");
    EXPECT_EQ(MessageBoxLayout::validacao(27, 8, 1), "");
}

// The faces of a yes/no box speak the course's language.
TEST(MessageBoxLayout, ButtonCodesByLanguage)
{
    MessageBoxLayout l;
    l.MontaBotoes(4, 1, "ING");
    EXPECT_EQ(l.botoes()[0], "YES");
    EXPECT_EQ(l.botoes()[1], "NO");
    l.MontaBotoes(4, 1, "ESP");
    EXPECT_EQ(l.botoes()[0], "SI");
    l.MontaBotoes(4, 1, "");
    EXPECT_EQ(l.botoes()[0], "SIM");
    EXPECT_EQ(l.botoes()[1], "NAO");
    EXPECT_EQ(l.layout(), 2);
    l.MontaBotoes(3, 0, "ING");
    EXPECT_EQ(l.botoes()[1], "CLWN");
    l.MontaBotoes(6, 0, "POR");
    EXPECT_EQ(l.botoes()[2], "CRV");
    EXPECT_EQ(l.layout(), 3);
    // A negative type keeps the previous box's layout and codes.
    l.MontaBotoes(-1, 1, "ING");
    EXPECT_EQ(l.layout(), 3);
    EXPECT_EQ(l.botoes()[2], "CRV");
    // One button: always OK; the codes it does not name stay from before.
    l.MontaBotoes(1, 1, "ING");
    EXPECT_EQ(l.layout(), 1);
    EXPECT_EQ(l.botoes()[0], "OK");
    EXPECT_EQ(l.botoes()[1], "NO");
}

// Yes, no and cancel: the third face of type 5 cancels in every language,
// unlike type 6, whose third face closes.
TEST(MessageBoxLayout, TypeFiveThirdFaceCancels)
{
    const struct {
        int tipoMensagem;
        const char *idioma;
        std::array<const char *, 3> faces;
    } casos[] = {
        {1, "POR", {"SIM", "NAO", "CAN"}}, {1, "ING", {"YES", "NO", "CAC"}}, {1, "ESP", {"SI", "NO", "CAN"}},
        {0, "ING", {"YES", "NO", "CAC"}},  {0, "ESP", {"SI", "NO", "CAN"}},
    };
    for (const auto &c : casos) {
        MessageBoxLayout l;
        const auto r = l.calcula("Salvar?", 5, 10, c.tipoMensagem, contexto(c.idioma));
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(r.faces[i].visible) << c.idioma << " " << i;
            EXPECT_EQ(r.botoes[i], c.faces[i]) << c.idioma << " " << c.tipoMensagem << " " << i;
        }
    }
}

// Layout 6 (box type 26) widens like the others: the text's width beyond 2100
// twips is added to the layout's 3600, not merely the room the text needs.
TEST(MessageBoxLayout, LayoutSixWidensWithItsText)
{
    const auto estreito = calcula(QString(10, u'x'), 26); // 1000 twips, within the base
    EXPECT_EQ(estreito.layout, 6);
    EXPECT_EQ(estreito.width, 3600);
    const auto largo = calcula(QString(50, u'x'), 26); // 5000 twips
    EXPECT_EQ(largo.width, 5000 - 2100 + 3600);
    // The two faces stay centred in the wider box.
    EXPECT_EQ(largo.faces[0].left, (largo.width - (2 * MessageBoxLayout::kFaceWidth + 140)) / 2);
    EXPECT_EQ(largo.faces[1].left, largo.faces[0].left + MessageBoxLayout::kFaceWidth + 140);
    EXPECT_FALSE(largo.faces[2].visible);
}

TEST(MessageBoxLayout, LineBreaking)
{
    // Size 10 allows 85 characters; the break falls after the last blank.
    const QString palavras = QString("palavra ").repeated(15); // 120 characters
    const QString quebrado = MessageBoxLayout::QuebraTexto(palavras, 10);
    for (const QString &linha : quebrado.split(u'\n'))
        EXPECT_LE(linha.size(), 85);
    EXPECT_EQ(QString(quebrado).remove(u'\n'), palavras);
    EXPECT_TRUE(quebrado.split(u'\n')[0].endsWith(u' '));
    // Size 8 allows fewer characters than size 10.
    EXPECT_LE(MessageBoxLayout::QuebraTexto(palavras, 8).split(u'\n')[0].size(), 78);
    EXPECT_LE(MessageBoxLayout::QuebraTexto(palavras, 14).split(u'\n')[0].size(), 46);
    // Line feeds of the text stay; a run with no blank is left unbroken.
    EXPECT_EQ(MessageBoxLayout::QuebraTexto("a\nb", 10), "a\nb");
    const QString corrido(100, u'x');
    EXPECT_EQ(MessageBoxLayout::QuebraTexto(corrido, 10), corrido);
    EXPECT_EQ(MessageBoxLayout::QuebraTexto("C:\\" + corrido + " fim", 10), "C:\\" + corrido + " fim");
}

TEST(MessageBoxLayout, ColourMarkup)
{
    const auto t = MessageBoxLayout::marcacaoCor("A #B| C");
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t[0].texto, "A ");
    EXPECT_FALSE(t[0].azul);
    EXPECT_EQ(t[1].texto, "B");
    EXPECT_TRUE(t[1].azul);
    EXPECT_EQ(t[2].texto, " C");
    EXPECT_FALSE(t[2].azul);
    // Blue runs to the end without a closing marker; markers never show.
    const auto u = MessageBoxLayout::marcacaoCor("#azul|#|");
    ASSERT_EQ(u.size(), 1);
    EXPECT_EQ(u[0].texto, "azul");
}

namespace {

MessageBoxLayout::Resultado dialogo(int tipoCaixa, MessageBoxLayout::Contexto c,
                                    const QString &texto = "Instalar")
{
    MessageBoxLayout l;
    return l.calcula(texto, tipoCaixa, 10, 1, c);
}

int base(const MessageBoxLayout::Controle &c)
{
    return c.top + c.height;
}

} // namespace

// Type 25: the folder entry, then the section list with "em" before it, each
// 90 below the one above; the faces 90 below the list, the box 120 below them.
TEST(MessageBoxLayout, FolderAndSectionBoxStacksItsControls)
{
    auto c = contexto();
    c.larguraFind = MessageBoxLayout::kFaceWidth;
    const auto r = dialogo(25, c);
    EXPECT_EQ(r.layout, 5);
    // The label is 3500 wide in a folder box: 1400 beyond the base widens the
    // box to 5100, and the FIND face, which keeps its place at 3350 + 700,
    // widens it on to end 120 after that face.
    EXPECT_EQ(r.width, 3350 + 700 + MessageBoxLayout::kFaceWidth + 120);
    ASSERT_TRUE(r.procuraDir.visible && r.licao.visible && r.textoDrive.visible);
    EXPECT_EQ(r.procuraDir.top, r.mensagem.top + 240 + 90);
    EXPECT_EQ(r.procuraDir.left, 135);
    EXPECT_EQ(r.procuraDir.width, r.width - 270);
    EXPECT_EQ(r.licao.top, base(r.procuraDir) + 90);
    EXPECT_EQ(r.legendaDrive, "em");
    EXPECT_EQ(r.textoDrive.top + r.textoDrive.height / 2, r.licao.top + r.licao.height / 2);
    // Not centred in type 25: the list keeps its place, after the caption.
    EXPECT_EQ(r.textoDrive.left, 320 + 700);
    EXPECT_EQ(r.licao.left, 700 + 700);
    EXPECT_LE(r.textoDrive.left + r.textoDrive.width, r.licao.left);
    for (const auto &f : r.faces)
        EXPECT_EQ(f.top, base(r.licao) + 90);
    EXPECT_EQ(r.faces[0].left, 200 + 700);
    EXPECT_EQ(r.faces[2].left, 3350 + 700);
    EXPECT_EQ(r.height, base(r.faces[0]) + 120);
    EXPECT_FALSE(r.optMsg[0].visible || r.opcoes[0].visible);

    // Without the course's FIND picture the box has two faces, centred.
    const auto semFind = dialogo(25, contexto());
    EXPECT_FALSE(semFind.faces[2].visible);
    EXPECT_EQ(semFind.width, 5100);
    EXPECT_EQ(semFind.faces[0].left, (5100 - (2 * MessageBoxLayout::kFaceWidth + 140)) / 2);

    EXPECT_EQ(dialogo(25, contexto("ING")).legendaDrive, "on");
    EXPECT_EQ(dialogo(25, contexto("ESP")).legendaDrive, "en");
    // A long caption pushes the list on rather than under it.
    auto largo = contexto();
    largo.larguraRotulo = [](const QString &) { return 900; };
    const auto empurrado = dialogo(25, largo);
    EXPECT_EQ(empurrado.licao.left, empurrado.textoDrive.left + 900 + 60);
}

// Type 19: the folder entry alone; the text stands where the entry begins.
TEST(MessageBoxLayout, FolderBox)
{
    const auto r = dialogo(19, contexto());
    EXPECT_EQ(r.layout, 4);
    EXPECT_EQ(r.width, 1400 + 3380);
    EXPECT_EQ(r.mensagemRtf.left, 200);
    EXPECT_TRUE(r.procuraDir.visible);
    EXPECT_FALSE(r.licao.visible || r.textoDrive.visible);
    EXPECT_EQ(r.faces[0].top, base(r.procuraDir) + 90);
    EXPECT_EQ(r.height, base(r.faces[0]) + 120);
}

// A folder box's text is 3500 twips wide: a longer one wraps at its blanks
// and the box grows down, not sideways.
TEST(MessageBoxLayout, FolderBoxWrapsALongText)
{
    const QString texto = "Escolha a seção a instalar e a pasta de destino do livro"; // 5600 twips
    const auto r = dialogo(25, contexto(), texto);
    const QStringList linhas = r.texto.split(u'\n');
    ASSERT_EQ(linhas.size(), 2);
    EXPECT_EQ(linhas.join(QString()), texto);
    EXPECT_LE(linhas[0].trimmed().size() * 100, 3500);
    EXPECT_TRUE(linhas[0].endsWith(u' '));
    EXPECT_EQ(r.mensagem.height, 2 * 240);
    EXPECT_EQ(r.width, 5100);
    EXPECT_EQ(r.procuraDir.top, r.mensagem.top + 2 * 240 + 90);
    // A word wider than the label keeps its own line, whole.
    const QString palavra(40, u'x');
    EXPECT_EQ(MessageBoxLayout::quebraNaLargura("a " + palavra + " b", 3500, 10, medidor()),
              "a \n" + palavra + " \nb");
    // Other boxes keep their one long line.
    EXPECT_EQ(calcula(texto, 4).texto, texto);
}

// Type 26: the list centred, and "de " and the folder under it, cut back at
// its last "\" with "..." while wider than the list.
TEST(MessageBoxLayout, SectionListBoxCutsTheFolderCaption)
{
    auto c = contexto();
    c.pastaEscolhida = "C:\\Livros\\Curso Basico\\Nivel 1"; // 33 characters with "de "
    const auto r = dialogo(26, c);
    EXPECT_EQ(r.legendaDrive, "de C:\\Livros\\Curso Basico...");
    EXPECT_EQ(r.textoDrive.width, 2800);
    EXPECT_EQ(r.licao.width, 3000);
    EXPECT_EQ(r.licao.left, (r.width - 3000) / 2);
    EXPECT_EQ(r.textoDrive.left, (r.width - 2800) / 2);
    EXPECT_EQ(r.licao.top, base(r.mensagem) + 90);
    EXPECT_EQ(r.textoDrive.top, base(r.licao) + 90);
    EXPECT_EQ(r.faces[0].top, base(r.textoDrive) + 90);

    // Exactly as wide as the list is narrow enough.
    c.idioma = "ING";
    EXPECT_EQ(dialogo(26, c).legendaDrive, "from C:\\Livros\\Curso Basico...");
    // Cut by cut, down to the drive, and no further once no "\" is left.
    c.idioma = "POR";
    c.pastaEscolhida = "C:\\" + QString(40, u'x') + "\\y";
    EXPECT_EQ(dialogo(26, c).legendaDrive, "de C:...");
    c.pastaEscolhida = QString(40, u'x');
    EXPECT_EQ(dialogo(26, c).legendaDrive, "de " + QString(40, u'x'));
}

// Type 27: the 4000-twip list and the text centred in the 4800-twip box.
TEST(MessageBoxLayout, WideSectionListBox)
{
    const auto r = dialogo(27, contexto());
    EXPECT_EQ(r.width, 4800);
    EXPECT_EQ(r.licao.width, 4000);
    EXPECT_EQ(r.licao.left, 400);
    EXPECT_EQ(r.mensagemRtf.left, (4800 - r.mensagemRtf.width) / 2);
    EXPECT_FALSE(r.procuraDir.visible || r.textoDrive.visible);
}

// The answer options: the box is wide enough for the widest, Option1 and
// Option2 stand centred with the narrower at the wider's Left, each 90 below
// the other, and the faces follow.
TEST(MessageBoxLayout, AnswerOptions)
{
    auto c = contexto();
    c.curso.opcoes = true;
    const auto r = dialogo(4, c, "Practice Test");
    int maisLarga = 0;
    for (const auto &o : r.opcoes) {
        EXPECT_TRUE(o.visible);
        maisLarga = std::max(maisLarga, o.width);
    }
    EXPECT_EQ(r.width, maisLarga + 240);
    const int larga12 = std::max(r.opcoes[0].width, r.opcoes[1].width);
    EXPECT_EQ(r.opcoes[0].left, (r.width - larga12) / 2);
    EXPECT_EQ(r.opcoes[1].left, r.opcoes[0].left);
    EXPECT_EQ(r.opcoes[0].top, base(r.mensagem) + 90);
    EXPECT_EQ(r.opcoes[1].top, base(r.opcoes[0]) + 90);
    EXPECT_EQ(r.opcoes[2].top, base(r.opcoes[1]) + 90);
    EXPECT_EQ(r.faces[0].top, base(r.opcoes[2]) + 90);
    EXPECT_EQ(r.faces[1].left, r.faces[0].left + MessageBoxLayout::kFaceWidth + 140);
    // The text stays centred in the wider box, and the bottom strip below its end.
    EXPECT_EQ(r.mensagemRtf.left, (r.width - r.mensagemRtf.width) / 2);
    EXPECT_GE(r.fxBotton.top, r.height);

    // The two-way choice of a folder box: one row at the layout's places.
    auto ab = contexto();
    ab.curso.optMsg = true;
    const auto f = dialogo(19, ab);
    EXPECT_EQ(f.optMsg[0].top, base(f.procuraDir) + 90);
    EXPECT_EQ(f.optMsg[1].top, f.optMsg[0].top);
    EXPECT_EQ(f.optMsg[0].left, 480 + 700);
    EXPECT_EQ(f.optMsg[1].left, 1320 + 700);
    EXPECT_EQ(f.faces[0].top, base(f.optMsg[0]) + 90);
}

// The manager's own boxes show none of the dialogues' controls, even when a
// dialogue's options were asked for.
TEST(MessageBoxLayout, ManagerBoxesHaveNoDialogueControls)
{
    for (int tipo : {0, 1, 4}) {
        const auto r = calcula("Sair?", tipo);
        EXPECT_FALSE(r.procuraDir.visible || r.licao.visible || r.textoDrive.visible) << tipo;
        EXPECT_FALSE(r.optMsg[0].visible || r.optMsg[1].visible || r.opcoes[0].visible) << tipo;
        EXPECT_TRUE(r.legendaDrive.isEmpty()) << tipo;
    }
    // A text-only box keeps its size with FIND's picture at hand.
    auto c = contexto();
    c.larguraFind = 960;
    EXPECT_EQ(dialogo(4, c, "Sair?").width, calcula("Sair?", 4).width);
}

TEST(DialogoCurso, FolderEntry)
{
    using messages::dialogo::pastaDaEntrada;
    EXPECT_EQ(pastaDaEntrada("C:\\Livros\\"), "C:\\Livros");
    EXPECT_EQ(pastaDaEntrada("  C:\\Livros  "), "C:\\Livros");
    EXPECT_EQ(pastaDaEntrada(" C:\\Livros\\ "), "C:\\Livros");
    EXPECT_EQ(pastaDaEntrada("C:\\"), "C:");
    EXPECT_EQ(pastaDaEntrada("   "), "");

    using messages::dialogo::primeiroBotaoResponde;
    for (int tipo : {19, 25}) {
        EXPECT_FALSE(primeiroBotaoResponde(tipo, "")) << tipo;
        EXPECT_FALSE(primeiroBotaoResponde(tipo, "   ")) << tipo;
        EXPECT_TRUE(primeiroBotaoResponde(tipo, " D:")) << tipo;
    }
    EXPECT_TRUE(primeiroBotaoResponde(4, ""));
    EXPECT_TRUE(primeiroBotaoResponde(26, ""));
}

TEST(DialogoCurso, OptionsAndSections)
{
    using messages::dialogo::escolheOpcao;
    EXPECT_TRUE(escolheOpcao(1).blnOpcao1);
    EXPECT_FALSE(escolheOpcao(1).blnOpcao3);
    EXPECT_FALSE(escolheOpcao(2).blnOpcao1);
    EXPECT_FALSE(escolheOpcao(2).blnOpcao3);
    EXPECT_FALSE(escolheOpcao(3).blnOpcao1);
    EXPECT_TRUE(escolheOpcao(3).blnOpcao3);

    using messages::dialogo::licaoSecao;
    EXPECT_EQ(licaoSecao("3/12").licao, "3");
    EXPECT_EQ(licaoSecao("3/12").secao, "12");
    EXPECT_EQ(licaoSecao(" 3 / 12 ").secao, "12");
    EXPECT_EQ(licaoSecao("7").licao, "7");
    EXPECT_EQ(licaoSecao("7").secao, "");
    EXPECT_EQ(licaoSecao("1/2/3").secao, "2/3");
}
