#pragma once

// Where everything sits on the three skinned windows and in the message box, in
// pixels (15 twips to a pixel). The artwork generator paints to these measures and
// the windows place their controls by them, so the two cannot drift apart. Plain
// data on purpose: no Qt, so the logic, the windows and the build tool all use it.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace shell::skin {

inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips / kTwipsPerPixel;
}
constexpr int pixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    constexpr int right() const { return x + width; }   // one past the last column
    constexpr int bottom() const { return y + height; } // one past the last row
    constexpr bool operator==(const Rect &) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
};

// Colours of the artwork as 0xRRGGBB, for the windows to draw text and native
// controls that match it.
namespace palette {
inline constexpr std::uint32_t kNavy = 0x0E2A47;      // title bars and footers
inline constexpr std::uint32_t kNavyLight = 0x1C4770; // top of the title-bar gradient
inline constexpr std::uint32_t kTeal = 0x1E9AA0;      // ordinary buttons
inline constexpr std::uint32_t kAmber = 0xF0A23A;     // the window's main action, accents
inline constexpr std::uint32_t kSlate = 0x587894;     // going back, help
inline constexpr std::uint32_t kBrick = 0xC0563F;     // removing
inline constexpr std::uint32_t kBody = 0xF3F6F9;      // window body and message-box body
inline constexpr std::uint32_t kCard = 0xFFFFFF;      // panels behind information lines
inline constexpr std::uint32_t kCardLine = 0xD3DEE8;  // panel outlines
inline constexpr std::uint32_t kDarkText = 0x15304D;  // text on body and panels
inline constexpr std::uint32_t kMutedText = 0x4F6479; // secondary text on light ground
inline constexpr std::uint32_t kLightText = 0xE9F0F6; // text on title bars and footers
} // namespace palette

enum class Align { Left, Center, Right };

// A text control the window places on its background. The ground under `rect`
// is left plain so that text of the given colour stays readable there.
struct LabelLayout {
    const char *name; // control name
    Rect rect;
    bool darkText;     // true: light ground, draw palette::kDarkText; false: dark ground, kLightText
    int fontPixelSize; // size the artwork leaves room for (Liberation Sans / Arial)
    bool bold;
    Align align;
};

// What a window shows for a button it disables. The artwork paints a "DS" picture
// for every button all the same.
enum class DisabledLook {
    Own,    // the button's "DS" picture
    Normal, // its "NM" picture
    Never,  // never disabled: HabilitaBotao leaves it, and no picture is loaded
};

// An image button. Its pictures (prefix + stem + "_" + state + ".jpg") are exactly
// `rect` in size and carry the background under them, and `rect` is also the
// button's hot-spot region on the background.
struct ButtonLayout {
    const char *hotSpot; // region name in the window's .HSP map
    const char *stem;    // "BT01", "MNZ", "SAI"
    Rect rect;
    DisabledLook disabled = DisabledLook::Own;
};

inline constexpr std::array<const char *, 4> kButtonStates{"NM", "MM", "MC", "DS"};

// Beside every picture lies the same picture painted at twice the pixels, for
// screens of device pixel ratio 2, named as Qt names them: "a/T01_BG.jpg" becomes
// "a/T01_BG@2x.jpg". A dot in a folder's name is no extension.
inline std::string doubledFile(std::string_view path)
{
    const std::size_t name = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    const std::size_t stemEnd =
        dot == std::string_view::npos || (name != std::string_view::npos && dot < name) ? path.size() : dot;
    return std::string(path.substr(0, stemEnd)) + "@2x" + std::string(path.substr(stemEnd));
}

struct WindowSkin {
    const char *formName;   // "frmPrincipal", ...
    const char *folder;     // under Imagens/
    const char *prefix;     // file-name prefix of every picture of the window
    const char *background; // window-sized picture
    const char *dragBar;    // picture of the bar, `dragBarRect` in size
    const char *hotSpotMap; // .HSP file, one region per button in button order
    Size size;
    Rect dragBarRect;
    std::span<const ButtonLayout> buttons; // index 0 is button 1
    std::span<const LabelLayout> labels;
    Rect listRect; // the drop-down list of books; empty on windows without one
    // The main window, which this one shows in place of and goes back to; null on
    // the main window itself.
    const WindowSkin *mainSkin = nullptr;

    // Picture of button `index` (1-based) in `state` ("NM", "MM", "MC", "DS").
    std::string buttonFile(int index, const char *state) const
    {
        return std::string(prefix) + buttons[static_cast<std::size_t>(index - 1)].stem + "_" + state + ".jpg";
    }
    const LabelLayout *label(std::string_view controlName) const
    {
        for (const LabelLayout &l : labels)
            if (controlName == l.name)
                return &l;
        return nullptr;
    }
};

// Every window has the same title-bar band: the drag bar on its left, the minimise
// and exit buttons (small, square) right of it.
inline constexpr int kTitleBarHeight = 30;
inline constexpr int kChromeButtonSize = 24;

constexpr Rect dragBarFor(int windowWidth)
{
    return {0, 0, windowWidth - 62, kTitleBarHeight};
}
constexpr Rect minimiseFor(int windowWidth)
{
    return {windowWidth - 58, 3, kChromeButtonSize, kChromeButtonSize};
}
constexpr Rect exitFor(int windowWidth)
{
    return {windowWidth - 30, 3, kChromeButtonSize, kChromeButtonSize};
}

// frmPrincipal, 6555 x 5160 twips: title under the bar, three large buttons in a
// row, the version in the footer band. It never disables a button.
namespace mainWindow {
inline constexpr Size kSize{437, 344};
inline constexpr std::array<ButtonLayout, 5> kButtons{{
    {"Livros", "BT01", {22, 128, 115, 118}, DisabledLook::Never},      // book list (the main action)
    {"Configurar", "BT02", {161, 128, 115, 118}, DisabledLook::Never}, // install a book
    {"Help", "BT03", {300, 128, 115, 118}, DisabledLook::Never},
    {"Minimizar", "MNZ", minimiseFor(kSize.width), DisabledLook::Never},
    {"Sair", "SAI", exitFor(kSize.width), DisabledLook::Never},
}};
inline constexpr std::array<LabelLayout, 2> kLabels{{
    {"fxlblTitulo", {20, 40, 397, 36}, true, 20, true, Align::Left},
    {"lblVersao", {300, 318, 127, 18}, false, 11, false, Align::Right}, // on the footer band
}};
} // namespace mainWindow

// frmAbrirLivro, 10230 x 5160 twips: title, a white panel holding the information
// line and the list of books, then the buttons: open and remove on the left, the
// ways to other windows and help on the right. Remove and open, the buttons it
// disables, show their disabled pictures; the others would look normal.
namespace bookList {
inline constexpr Size kSize{682, 344};
inline constexpr std::array<ButtonLayout, 7> kButtons{{
    {"Remover", "BT01", {158, 184, 96, 92}},
    {"Configurar", "BT02", {314, 184, 96, 92}, DisabledLook::Normal}, // install window
    {"Principal", "BT03", {428, 184, 96, 92}, DisabledLook::Normal},  // back to the main window
    {"Help", "BT04", {542, 184, 96, 92}, DisabledLook::Normal},
    {"OK", "BT05", {44, 184, 96, 92}}, // open the chosen book (the main action)
    {"Minimizar", "MNZ", minimiseFor(kSize.width), DisabledLook::Normal},
    {"Sair", "SAI", exitFor(kSize.width), DisabledLook::Normal},
}};
inline constexpr std::array<LabelLayout, 2> kLabels{{
    {"fxlblTitulo", {20, 40, 642, 36}, true, 20, true, Align::Left},
    {"fxlblMensagem", {60, 96, 562, 20}, true, 13, false, Align::Left}, // on the panel
}};
inline constexpr Rect kList{60, 124, 562, 24}; // cbZEKO, on the panel
} // namespace bookList

// frmInstalarLivro, 9180 x 3765 twips: a white panel with the information line
// (two lines, since it names the books folder) and the progress line, then the
// buttons: choose a book's file on the left, the other windows and help on the right.
namespace installWindow {
inline constexpr Size kSize{612, 251};
inline constexpr std::array<ButtonLayout, 6> kButtons{{
    {"Procurar", "BT01", {66, 129, 96, 82}}, // choose the ZIP file (the main action)
    {"Livro", "BT02", {222, 129, 96, 82}},   // book list
    {"Principal", "BT03", {336, 129, 96, 82}},
    {"Help", "BT04", {450, 129, 96, 82}},
    {"Minimizar", "MNZ", minimiseFor(kSize.width)},
    {"Sair", "SAI", exitFor(kSize.width)},
}};
inline constexpr std::array<LabelLayout, 2> kLabels{{
    {"FXLblDisponivel", {36, 48, 540, 34}, true, 13, false, Align::Left}, // word-wrapped, two lines
    {"FXLblMensagem", {36, 84, 540, 18}, true, 13, true, Align::Left},
}};
} // namespace installWindow

inline constexpr WindowSkin kMainSkin{"frmPrincipal",
                                      "TLA_PRC",
                                      "T01_",
                                      "T01_BG.jpg",
                                      "T01_BARRA.jpg",
                                      "TLA_PRC.HSP",
                                      mainWindow::kSize,
                                      dragBarFor(mainWindow::kSize.width),
                                      mainWindow::kButtons,
                                      mainWindow::kLabels,
                                      {}};
inline constexpr WindowSkin kBookListSkin{
    "frmAbrirLivro",    "TLA_LIV",         "T02_",          "T02_BG.jpg",
    "T02_BARRA.jpg",    "TLA_LIV.HSP",     bookList::kSize, dragBarFor(bookList::kSize.width),
    bookList::kButtons, bookList::kLabels, bookList::kList, &kMainSkin};
inline constexpr WindowSkin kInstallSkin{"frmInstalarLivro",
                                         "TLA_INS",
                                         "T03_",
                                         "T03_BG.jpg",
                                         "T03_BARRA.jpg",
                                         "TLA_INS.HSP",
                                         installWindow::kSize,
                                         dragBarFor(installWindow::kSize.width),
                                         installWindow::kButtons,
                                         installWindow::kLabels,
                                         {},
                                         &kMainSkin};

inline constexpr std::array<const WindowSkin *, 3> kWindows{&kMainSkin, &kBookListSkin, &kInstallSkin};

// The message box (Imagens/Cai_Msg). Its width follows the text, so the title strip
// is wider than any box and is cut at the box's right edge; the two logos sit on it
// at its left and right ends. The body is light: text is drawn dark (and blue where
// marked), on palette::kBody.
namespace msgbox {
inline constexpr const char *kFolder = "Cai_Msg";
inline constexpr int kTitleBarHeight = 30;                // 450 twips
inline constexpr Size kTitleStrip{1280, kTitleBarHeight}; // Tarja.JPG
inline constexpr Size kLogo{30, kTitleBarHeight};         // MSGLOGO.JPG, left end
inline constexpr Size kProductLogo{92, kTitleBarHeight};  // MSGZEKO.JPG, right end
inline constexpr Size kBackground{700, 400};              // MSGFUNDO.JPG, body
inline constexpr Size kFace{64, 25};                      // every button face, 960 x 375 twips
inline constexpr int kBottomStripHeight = 3;              // 45 twips, palette::kAmber
inline constexpr const char *kTitleStripFile = "Tarja.JPG";
inline constexpr const char *kLogoFile = "MSGLOGO.JPG";
inline constexpr const char *kProductLogoFile = "MSGZEKO.JPG";
inline constexpr const char *kBackgroundFile = "MSGFUNDO.JPG";

struct FaceLayout {
    const char *code;  // picture stem: code + "_NM.JPG", "_MM.JPG", "_MC.JPG"
    const char *label; // UTF-8, in the language the code belongs to
    bool affirmative;  // drawn in the accent colour; the others are quieter
};
inline constexpr std::array<const char *, 3> kFaceStates{"NM", "MM", "MC"};
inline constexpr std::array<FaceLayout, 20> kFaces{{
    {"OK", "OK", true},
    {"OKOK", "OK", true},
    {"SIM", "Sim", true},
    {"NAO", "N\xC3\xA3o", false},
    {"YES", "Yes", true},
    {"NO", "No", false},
    {"SI", "S\xC3\xAD", true},
    {"CAN", "Cancelar", false},
    {"CAC", "Cancel", false},
    {"FCJ", "Fechar", false},
    {"CLW", "Close", false},
    {"CLWN", "Close", false},
    {"CRV", "Cerrar", false},
    {"CRVT", "Cerrar", false},
    {"REP", "Repetir", true},
    {"RET", "Retry", true},
    {"SSB", "Sobre", true},
    {"IMP", "Imprimir", true},
    {"CAL", "Calcular", true},
    // The folder boxes' "FIND": the course brings its own normal face; these are
    // its hover and pressed faces, and a stand-in for the normal one.
    {"FIND", "...", false},
}};

inline std::string faceFile(const char *code, const char *state)
{
    return std::string(code) + "_" + state + ".JPG";
}
} // namespace msgbox

} // namespace shell::skin
