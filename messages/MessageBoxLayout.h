#pragma once

#include "CourseDialogue.h"
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
// and the final centring of the faces. It keeps nothing from one box to the
// next: what a box takes over from the one before comes in as an argument.
class MessageBoxLayout {
  public:
    static constexpr int kFaceWidth = shell::skin::pixelsToTwips(shell::skin::msgbox::kFace.width);
    static constexpr int kFaceHeight = shell::skin::pixelsToTwips(shell::skin::msgbox::kFace.height);
    static constexpr int kTitleHeight = shell::skin::pixelsToTwips(shell::skin::msgbox::kTitleBarHeight);
    static constexpr int kOneLineHeight = 285; // height of one text line as designed
    static constexpr int kMaxGrowth = 4260;    // the most a tall text grows a box without faces
    static constexpr int kMinWidth = 3500;     // the narrowest box
    // The course dialogues' controls.
    static constexpr int kSpacing = 90;        // between controls stacked below the text
    static constexpr int kEntryHeight = 315;   // folder entry and section list
    static constexpr int kCaptionHeight = 255; // textoDrive, OptMsg and Option1 to Option3
    static constexpr int kListWidth = 3000;    // the section list, but in layout 8
    static constexpr int kWideListWidth = 4000;
    static constexpr int kFolderTextWidth = 3500; // the text of a folder box
    static constexpr int kEntryMargin = 270;      // the folder entry is this much narrower than the box

    struct Control {
        int left = 0, top = 0, width = 0, height = 0;
        bool visible = false;
    };

    // Size of a text as a label that sizes itself to it shows it (in twips).
    struct Extent {
        int width = 0;  // the widest line
        int height = 0; // all lines
    };
    using Measure = std::function<Extent(const QString &texto, int tamanhoFonte)>;
    // Width in twips of a caption as its control shows it.
    using CaptionMeasure = std::function<int(const QString &caption)>;

    // What the sizing needs besides the text and the arguments of the show.
    struct Context {
        QString language;
        Measure measure;
        CaptionMeasure captionWidth; // textoDrive
        CaptionMeasure optionWidth;  // an option button, its mark included
        int zekoWidth = 0;           // the product logo
        int findWidth = 0;           // the "FIND" face's picture; 0 when there is none
        QString chosenFolder;
        CourseControls course;
    };

    // The faces of a box: its layout (which faces show, and where) and the code
    // of each face, visible or not. Before the first box: layout 1, no codes.
    struct ButtonSet {
        int layout = 1;
        std::array<QString, 3> codes; // the stems of the face pictures
    };

    struct Result {
        ButtonSet buttons;
        QString texto; // the caption after line breaking
        Control mensagem, mensagemRtf, fundo, fxBotton, logo, zeko;
        std::array<Control, 3> faces;
        // The course dialogues' controls, hidden in every box of the manager.
        Control txtProcuraDir, lesson, textoDrive;
        std::array<Control, 2> optMsg;
        std::array<Control, 3> options;
        QString driveCaption;
        int width = 0, height = 0;
        bool timer = false; // a box without buttons that closes itself
    };

    // Reports of invalid arguments joined by line feeds; empty when all are valid.
    static QString validation(int tipoCaixa, int tamanhoFonte, int tipoMensagem);

    // The longest line in characters for a font size.
    static int charactersPerLine(int tamanhoFonte);
    // Breaks lines longer than the font allows at their last blank.
    static QString QuebraTexto(const QString &texto, int tamanhoFonte);

    // Breaks every line wider than `width` twips at its last blank that fits;
    // a word wider than that stays whole on its own line.
    static QString wrapToWidth(const QString &texto, int width, int tamanhoFonte, const Measure &measure);

    // Chooses button codes and layout for the box type; a type that names fewer
    // buttons keeps the codes of the previous box for the others (hidden). A
    // negative type keeps layout and codes of the previous box.
    static ButtonSet MontaBotoes(int tipoCaixa, int tipoMensagem, const QString &language,
                                 const ButtonSet &previous);

    // Sizes the box for a text; `previous` is the button set of the box shown
    // before, as MontaBotoes takes it (ButtonSet{} for the first).
    static Result compute(const QString &texto, int tipoCaixa, int tamanhoFonte, int tipoMensagem,
                          const Context &c, const ButtonSet &previous);

    // The text split at the colour markers: "#" starts blue, "|" black again;
    // the markers themselves are not shown.
    struct ColourRun {
        QString texto;
        bool blue = false;
    };
    static QList<ColourRun> colourRuns(const QString &texto);
    // The text as a screen reader gives it: the markers removed.
    static QString plainText(const QString &texto);

    // The face that Esc answers with: the box's cancel, else its close, else its
    // "no" face, where it shows one; 0 when it has none of them (Esc does nothing).
    static int escapeButton(const Result &r);
    // What a face says, in the language its code belongs to ("Sim", "Cancel").
    static QString caption(const QString &code);

  private:
    static void fitBox(Result &r, int tipoCaixa, const Context &c);
};

} // namespace messages
