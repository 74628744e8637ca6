#pragma once

#include "DialogoCurso.h"
#include "shell/skin/SkinLayout.h"

#include <QList>
#include <QString>

#include <array>
#include <functional>

namespace messages {

// Everything the message box computes before it shows, as numbers in twips, so
// the sizing rules can be checked without a display: the validation report, the
// button codes of the box type in the user's language, line breaking, the
// layout's places, widening, growth, the minimum width, the room for the text
// and the final centring of the faces.
class MessageBoxLayout {
  public:
    static constexpr int kFaceWidth = shell::skin::pixelsToTwips(shell::skin::msgbox::kFace.width);
    static constexpr int kFaceHeight = shell::skin::pixelsToTwips(shell::skin::msgbox::kFace.height);
    static constexpr int kTitleHeight = shell::skin::pixelsToTwips(shell::skin::msgbox::kTitleBarHeight);
    static constexpr int kLinhaUnica = 285; // height of one text line as designed
    static constexpr int kCrescimentoMaximo = 4260;
    static constexpr int kLarguraMinima = 3500;
    // The course dialogues' controls.
    static constexpr int kEspaco = 90;         // between controls stacked below the text
    static constexpr int kAlturaEntrada = 315; // folder entry and section list
    static constexpr int kAlturaRotulo = 255;  // textoDrive, OptMsg and Option1 to Option3
    static constexpr int kLarguraLista = 3000; // the section list, but in layout 8
    static constexpr int kLarguraListaLarga = 4000;
    static constexpr int kLarguraTextoPasta = 3500; // the text of a folder box
    static constexpr int kMargemEntrada = 270;      // the folder entry is this much narrower than the box

    struct Controle {
        int left = 0, top = 0, width = 0, height = 0;
        bool visible = false;
    };

    // Size of a text as a label that sizes itself to it shows it (in twips).
    struct Medida {
        int largura = 0; // the widest line
        int altura = 0;  // all lines
    };
    using Medidor = std::function<Medida(const QString &texto, int tamanhoFonte)>;
    // Width in twips of a caption as its control shows it.
    using MedidorLegenda = std::function<int(const QString &legenda)>;

    // What the sizing needs besides the text and the arguments of the show.
    struct Contexto {
        QString idioma;
        Medidor medidor;
        MedidorLegenda larguraRotulo; // textoDrive
        MedidorLegenda larguraOpcao;  // an option button, its mark included
        int zekoWidth = 0;            // the product logo
        int larguraFind = 0;          // the "FIND" face's picture; 0 when there is none
        QString pastaEscolhida;
        ControlesCurso curso;
    };

    struct Resultado {
        int layout = 0;
        std::array<QString, 3> botoes; // codes: the stems of the face pictures
        QString texto;                 // the caption after line breaking
        Controle mensagem, mensagemRtf, fundo, fxBotton, logo, zeko;
        std::array<Controle, 3> faces;
        // The course dialogues' controls, hidden in every box of the manager.
        Controle procuraDir, licao, textoDrive;
        std::array<Controle, 2> optMsg;
        std::array<Controle, 3> opcoes;
        QString legendaDrive;
        int width = 0, height = 0;
        bool timer = false; // a box without buttons that closes itself
    };

    // Reports of invalid arguments joined by line feeds; empty when all are valid.
    static QString validacao(int tipoCaixa, int tamanhoFonte, int tipoMensagem);

    // The longest line in characters for a font size.
    static int caracteresPorLinha(int tamanhoFonte);
    // Breaks lines longer than the font allows at their last blank.
    static QString QuebraTexto(const QString &texto, int tamanhoFonte);

    // Breaks every line wider than `largura` twips at its last blank that fits;
    // a word wider than that stays whole on its own line.
    static QString quebraNaLargura(const QString &texto, int largura, int tamanhoFonte,
                                   const Medidor &medidor);

    // Chooses button codes and layout for the box type; a type that names fewer
    // buttons keeps the codes of the previous box for the others (hidden). A
    // negative type keeps layout and codes of the previous box.
    void MontaBotoes(int tipoCaixa, int tipoMensagem, const QString &idioma);

    // Sizes the box for a text.
    Resultado calcula(const QString &texto, int tipoCaixa, int tamanhoFonte, int tipoMensagem,
                      const Contexto &c);

    // The text split at the colour markers: "#" starts blue, "|" black again;
    // the markers themselves are not shown.
    struct Trecho {
        QString texto;
        bool azul = false;
    };
    static QList<Trecho> marcacaoCor(const QString &texto);

    int layout() const { return m_layout; }
    const std::array<QString, 3> &botoes() const { return m_botoes; }

  private:
    static void ajustaCaixa(Resultado &r, int tipoCaixa, const Contexto &c);

    int m_layout = 1;
    std::array<QString, 3> m_botoes;
};

} // namespace messages
