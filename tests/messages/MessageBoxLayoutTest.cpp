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

MessageBoxLayout::Resultado calcula(const QString &texto, int tipoCaixa, const QString &idioma = "POR",
                                    int porCaractere = 100)
{
    MessageBoxLayout l;
    return l.calcula(texto, tipoCaixa, 10, 1, idioma, medidor(porCaractere), 1380);
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
        const auto r = l.calcula("Salvar?", 5, 10, c.tipoMensagem, c.idioma, medidor(), 1380);
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
