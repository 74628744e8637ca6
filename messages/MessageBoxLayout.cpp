#include "MessageBoxLayout.h"

#include <QStringList>

#include <cmath>

namespace messages {

namespace {

// The integer nearest to x, halves to the even neighbour.
int nearest(double x)
{
    return int(std::nearbyint(x));
}

constexpr int kLastBoxType = 27;

// The design numbers of the box's rules, in twips.
constexpr int kTextBelowTitle = 100;    // the text's top under the title bar
constexpr int kDesignBottomMargin = 50; // below the faces, as a layout places them
constexpr int kMargin = 120;            // the box's margin: left and right of the text, below the faces
constexpr int kFaceGap = 140;           // between two faces side by side
constexpr int kCaptionGap = 60;         // between "em" and the section list after it
constexpr int kEntryWidth = 3400;       // the folder entry, until the box's width is known
constexpr int kStripHeight = shell::skin::pixelsToTwips(shell::skin::msgbox::kBottomStripHeight);
// The rich text is wider than the label it covers, so that its last letter is never cut.
constexpr int kRtfExtraWidth = 40;
// A text widens the box by this much at most; a text that would widen it more
// gets a label of kCappedTextWidth standing at kCappedTextLeft (before the move
// by half the widening).
constexpr int kMaxWidening = 6170;
constexpr int kCappedTextWidth = 9000;
constexpr int kCappedTextLeft = -3000;
// A box of the minimum width stands its rich text and its single face this far
// left of its centre.
constexpr int kRtfLeftOfCentre = 20;
constexpr int kSingleFaceLeftOfCentre = 90;
constexpr int kFundoShift = 200;       // the background picture stands right of its layout's Left
constexpr int kLogoLeft = -5;          // the title bar's left logo, a little past the box's edge
constexpr int kProductLogoMargin = 90; // between the product logo and the box's right edge

// Left and Top of a control as its layout places it, before the box widens and grows.
struct Place {
    int left = 0;
    int top = 0;
};

// What a layout shows and where, before the text widens and grows the box.
struct LayoutInfo {
    std::array<bool, 3> faces;   // which faces show
    std::array<Place, 3> places; // each face's place
    int fundoLeft;               // the background picture's Left
    int fxBottonTop;             // the bottom strip's Top
    int baseWidth;               // the box's width for a text of up to textBase
    int textBase;                // the text's width the base width has room for
};

const LayoutInfo &layoutInfo(int layout)
{
    static const LayoutInfo table[9] = {
        // 0: no faces; 1: OK; 2: two faces; 3: three faces.
        {{false, false, false}, {{{650, 1200}, {1200, 1200}, {2300, 1200}}}, -2000, 1150, 2480, 2100},
        {{true, false, false}, {{{650, 1200}, {1200, 1200}, {2300, 1200}}}, -2000, 1950, 2480, 2100},
        {{true, true, false}, {{{100, 1200}, {1200, 1200}, {2300, 1200}}}, -2000, 1950, 2480, 2100},
        {{true, true, true}, {{{100, 1200}, {1200, 1200}, {2300, 1200}}}, -970, 1950, 3500, 3240},
        // 4: the folder box; 5: the folder and section box; 6: the section list.
        {{true, true, true}, {{{1200, 1600}, {2500, 1600}, {3650, 1100}}}, 350, 2350, 3380, 2100},
        {{true, true, true}, {{{200, 2500}, {1300, 2500}, {3350, 1850}}}, 150, 3280, 3700, 2100},
        {{true, true, false}, {{{300, 1900}, {1400, 1900}, {2300, 1200}}}, -1800, 2650, 3600, 2100},
        // 7: numbered but chosen by no box type.
        {{true, true, false}, {{{300, 1900}, {1400, 1900}, {2300, 1200}}}, -1800, 2650, 0, 0},
        // 8: the wide section list, which no text widens.
        {{true, true, false}, {{{300, 1900}, {1400, 1900}, {2300, 1200}}}, 0, 2650, 4800, 0},
    };
    return table[layout];
}

// Where the course dialogues' controls stand in each layout (design places).
struct ControlPlacement {
    bool hasTxtProcuraDir = false;
    Place txtProcuraDir{200, 1150};
    bool hasLesson = false;
    int lessonLeft = 0;
    int lessonWidth = MessageBoxLayout::kListWidth;
    bool hasTextoDrive = false;
    Place textoDrive{0, 0};
    std::array<Place, 2> optMsg{{{480, 1150}, {1320, 1150}}};
};

const ControlPlacement &placementOf(int layout)
{
    static const ControlPlacement none;
    static const ControlPlacement folderBox{.hasTxtProcuraDir = true, .txtProcuraDir = {200, 1150}};
    static const ControlPlacement folderAndSection{.hasTxtProcuraDir = true,
                                                   .txtProcuraDir = {900, 1450},
                                                   .hasLesson = true,
                                                   .lessonLeft = 700,
                                                   .hasTextoDrive = true,
                                                   .textoDrive = {320, 1500},
                                                   .optMsg = {{{900, 1450}, {1740, 1450}}}};
    static const ControlPlacement sectionList{
        .hasLesson = true, .hasTextoDrive = true, .textoDrive = {1170, 1500}};
    static const ControlPlacement wideSectionList{.hasLesson = true,
                                                  .lessonWidth = MessageBoxLayout::kWideListWidth};
    switch (layout) {
    case 4:
        return folderBox;
    case 5:
        return folderAndSection;
    case 6:
        return sectionList;
    case 8:
        return wideSectionList;
    default:
        return none;
    }
}

} // namespace

QString MessageBoxLayout::validation(int tipoCaixa, int tamanhoFonte, int tipoMensagem)
{
    QStringList r;
    if (tipoCaixa > kLastBoxType)
        r.append(QStringLiteral("Tipo de Caixa de Mensagens [%1] Invalido!").arg(tipoCaixa));
    if (tamanhoFonte != 8 && tamanhoFonte != 10 && tamanhoFonte != 12 && tamanhoFonte != 14)
        r.append(QStringLiteral("Tamanho de Fonte [%1] Invalido!").arg(tamanhoFonte));
    if (tipoMensagem < 0 || tipoMensagem > 1)
        r.append(QStringLiteral("Tipo de Mensagem [%1] Invalido!").arg(tipoMensagem));
    return r.join(u'\n');
}

int MessageBoxLayout::charactersPerLine(int tamanhoFonte)
{
    switch (tamanhoFonte) {
    case 8:
        return 78;
    case 12:
        return 57;
    case 14:
        return 46;
    default:
        return 85;
    }
}

QString MessageBoxLayout::QuebraTexto(const QString &texto, int tamanhoFonte)
{
    const qsizetype n = charactersPerLine(tamanhoFonte);
    QString rest = texto;
    QString out;
    for (qsizetype pass = 0; pass < texto.size(); ++pass) {
        const qsizetype p = rest.indexOf(u'\n') + 1;
        if (p > 0 && p < n) {
            out += rest.left(p);
            rest = rest.mid(p);
        } else if (p == 0 && rest.size() <= n) {
            return out + rest;
        } else {
            qsizetype j = std::min(n, rest.size());
            while (j > 0 && rest[j - 1] != u' ')
                --j;
            if (j > 0) {
                out += rest.left(j) + u'\n';
                rest = rest.mid(j);
            }
        }
    }
    // A run longer than a line without a blank: the text stays as it was.
    return texto;
}

QString MessageBoxLayout::wrapToWidth(const QString &texto, int width, int tamanhoFonte,
                                      const Measure &measure)
{
    QStringList lines;
    for (const QString &line : texto.split(u'\n')) {
        QString current;
        // Each word keeps the blank after it, as a line broken at a blank does.
        const QStringList words = line.split(u' ');
        for (qsizetype i = 0; i < words.size(); ++i) {
            const QString word = words[i] + (i + 1 < words.size() ? QStringLiteral(" ") : QString());
            const QString attempt = current + word;
            if (!current.isEmpty() && measure(attempt.trimmed(), tamanhoFonte).width > width) {
                lines.append(current);
                current = word;
            } else {
                current = attempt;
            }
        }
        lines.append(current);
    }
    return lines.join(u'\n');
}

MessageBoxLayout::ButtonSet MessageBoxLayout::MontaBotoes(int tipoCaixa, int tipoMensagem,
                                                          const QString &language, const ButtonSet &previous)
{
    ButtonSet b = previous;
    if (tipoCaixa < 0)
        return b;
    const bool ing = language == QStringLiteral("ING");
    const bool esp = language == QStringLiteral("ESP");
    QString yes, no, cancel, closeCode, retry;
    if (tipoMensagem == 1) {
        yes = ing ? "YES" : esp ? "SI" : "SIM";
        no = ing ? "NO" : esp ? "NO" : "NAO";
        closeCode = ing ? "CLW" : esp ? "CRV" : "FCJ";
    } else {
        yes = ing ? "YES" : "SI";
        no = "NO";
        closeCode = tipoCaixa == 3 ? (ing ? "CLWN" : "CRVT") : (ing ? "CLW" : "CRV");
    }
    cancel = ing ? "CAC" : "CAN";
    retry = ing ? "RET" : "REP";

    auto set = [&b](int layout, std::initializer_list<QString> codes) {
        b.layout = layout;
        int i = 0;
        for (const QString &c : codes)
            b.codes[i++] = c;
    };
    switch (tipoCaixa) {
    case 0:
    case 24:
        set(0, {});
        break;
    case 1:
        set(1, {});
        break;
    case 2:
        set(2, {"OK", cancel});
        break;
    case 3:
        set(2, {"OK", closeCode});
        break;
    case 4:
        set(2, {yes, no});
        break;
    case 5:
        set(3, {yes, no, cancel});
        break;
    case 6:
        set(3, {yes, no, closeCode});
        break;
    case 7:
        set(2, {retry, "OKOK"});
        break;
    case 8:
        set(2, {retry, cancel});
        break;
    case 9:
        set(2, {retry, closeCode});
        break;
    case 10:
        set(3, {retry, yes, no});
        break;
    case 11:
        set(2, {"SSB", cancel});
        break;
    case 12:
        set(2, {"SSB", closeCode});
        break;
    case 13:
        set(3, {"SSB", yes, no});
        break;
    case 14:
        set(2, {"SSB", "OK"});
        break;
    case 15:
        set(2, {"IMP", cancel});
        break;
    case 16:
        set(2, {"IMP", closeCode});
        break;
    case 17:
        set(3, {"IMP", yes, no});
        break;
    case 18:
        set(2, {"IMP", "OK"});
        break;
    case 19:
        set(4, {"OK", cancel, "FIND"});
        break;
    case 20:
        set(2, {"CAL", cancel});
        break;
    case 21:
        set(2, {"CAL", closeCode});
        break;
    case 22:
        set(3, {"CAL", yes, no});
        break;
    case 23:
        set(2, {"CAL", "OK"});
        break;
    case 25:
        set(5, {"OK", cancel, "FIND"});
        break;
    case 26:
        set(6, {"OK", cancel});
        break;
    case 27:
        set(8, {"OK", cancel});
        break;
    default:
        break;
    }
    // The layout of a single button always names its code.
    if (b.layout == 1)
        b.codes[0] = QStringLiteral("OK");
    return b;
}

MessageBoxLayout::Result MessageBoxLayout::compute(const QString &texto, int tipoCaixa, int tamanhoFonte,
                                                   int tipoMensagem, const Context &c,
                                                   const ButtonSet &previous)
{
    Result r;
    r.buttons = MontaBotoes(tipoCaixa, tipoMensagem, c.language, previous);
    const int layout = r.buttons.layout;
    const LayoutInfo &info = layoutInfo(layout);
    const ControlPlacement &ctl = placementOf(layout);
    auto measure = [](const CaptionMeasure &f, const QString &caption) { return f ? f(caption) : 0; };

    r.mensagem = {0, kTitleHeight + kTextBelowTitle, 0, kOneLineHeight, false};
    for (int i = 0; i < 3; ++i)
        r.faces[i] = {info.places[i].left, info.places[i].top, kFaceWidth, kFaceHeight, info.faces[i]};
    // The folder boxes' third face is the course's own picture, shown only when it exists.
    if (r.faces[2].visible && r.buttons.codes[2] == QStringLiteral("FIND")) {
        r.faces[2].width = c.findWidth;
        r.faces[2].visible = c.findWidth > 0;
    }
    r.fundo = {info.fundoLeft, kTitleHeight, 0, 0, true};
    r.fxBotton = {0, info.fxBottonTop, 0, kStripHeight, true};

    r.txtProcuraDir = {ctl.txtProcuraDir.left, ctl.txtProcuraDir.top, kEntryWidth, kEntryHeight,
                       ctl.hasTxtProcuraDir};
    r.lesson = {ctl.lessonLeft, 0, ctl.lessonWidth, kEntryHeight, ctl.hasLesson};
    if (ctl.hasTextoDrive)
        r.driveCaption = courseDialogue::driveCaption(tipoCaixa, c.language, c.chosenFolder);
    r.textoDrive = {ctl.textoDrive.left, ctl.textoDrive.top, measure(c.captionWidth, r.driveCaption),
                    kCaptionHeight, ctl.hasTextoDrive};
    for (int i = 0; i < 2; ++i)
        r.optMsg[i] = {ctl.optMsg[i].left, ctl.optMsg[i].top,
                       measure(c.optionWidth, courseDialogue::kOptMsgCaptions[i]), kCaptionHeight,
                       c.course.optMsg};
    for (int i = 0; i < 3; ++i)
        r.options[i] = {0, 0, measure(c.optionWidth, courseDialogue::kOptionCaptions[i]), kCaptionHeight,
                        c.course.options};

    r.texto = QuebraTexto(texto, tamanhoFonte);
    // A folder box's label is kFolderTextWidth wide: a longer line wraps at its
    // blanks rather than run past the box's text.
    if (courseDialogue::hasFolderEntry(tipoCaixa))
        r.texto = wrapToWidth(r.texto, kFolderTextWidth, tamanhoFonte, c.measure);
    const Extent m = c.measure(r.texto, tamanhoFonte);
    r.mensagem.width = m.width;
    r.mensagem.height = m.height;
    // The label sizes itself about its centre, which stands in the middle of the
    // layout's base width.
    r.mensagem.left = (info.baseWidth - r.mensagem.width) / 2;
    if (courseDialogue::hasFolderEntry(tipoCaixa))
        r.mensagem.width = kFolderTextWidth;

    // Widening: the text's width beyond the layout's base widens the box.
    int w = 0;
    if (layout <= 6 && r.mensagem.width > info.textBase) {
        w = nearest(r.mensagem.width - info.textBase);
        if (w > kMaxWidening) {
            w = kMaxWidening;
            r.mensagem.width = kCappedTextWidth;
            r.mensagem.left = kCappedTextLeft;
        }
    }
    const int dx = nearest(w / 2.0);

    const int h0 = nearest(r.faces[0].top + r.faces[0].height + kDesignBottomMargin);
    const int h = r.mensagem.height > kOneLineHeight
                      ? std::min(nearest(r.mensagem.height - kOneLineHeight), kMaxGrowth)
                      : 0;

    for (Control &f : r.faces) {
        f.top += h;
        f.left += dx;
    }
    r.fundo.left += dx + kFundoShift;
    r.fxBotton.top += h;
    r.mensagem.left += dx;
    // The section list, the caption beside it and the two-way choice move with the faces.
    for (Control *k : {&r.lesson, &r.textoDrive, &r.optMsg[0], &r.optMsg[1]}) {
        k->left += dx;
        k->top += h;
    }

    r.mensagemRtf = {r.mensagem.left, r.mensagem.top, r.mensagem.width + kRtfExtraWidth, r.mensagem.height,
                     true};
    if (layout == 4)
        r.mensagemRtf.left = r.txtProcuraDir.left;

    r.height = h0 + h;
    r.width = w + info.baseWidth;
    r.timer = layout == 0 && tipoCaixa == 0;

    if (r.width < kMinWidth) {
        r.width = kMinWidth;
        r.mensagem.left = r.width / 2 - r.mensagem.width / 2;
        r.mensagemRtf.left = r.width / 2 - r.mensagemRtf.width / 2 - kRtfLeftOfCentre;
        if (layout == 1)
            r.faces[0].left = r.width / 2 - r.faces[0].width / 2 - kSingleFaceLeftOfCentre;
    }

    // Room for the text: the box is never narrower than the text plus margins.
    const int need = nearest(r.mensagemRtf.width + 2 * kMargin);
    if (r.width < need) {
        r.width = need;
        r.mensagemRtf.left = (r.width - r.mensagemRtf.width) / 2;
    }
    // Nor than the answer options, nor cuts off a face that keeps its place.
    const int before = r.width;
    if (c.course.options)
        for (const Control &o : r.options)
            r.width = std::max(r.width, o.width + 2 * kMargin);
    if (r.faces[0].visible && r.faces[1].visible && r.faces[2].visible)
        r.width = std::max(r.width, r.faces[2].left + r.faces[2].width + kMargin);
    if (r.width != before && layout != 4)
        r.mensagemRtf.left = (r.width - r.mensagemRtf.width) / 2;

    r.logo = {kLogoLeft, 0, 0, kTitleHeight, true};
    r.zeko = {r.width - c.zekoWidth - kProductLogoMargin, 0, c.zekoWidth, kTitleHeight, true};
    r.fundo.width = r.width;
    r.fxBotton.width = r.width;

    fitBox(r, tipoCaixa, c);
    return r;
}

// The final centring and stacking, once the box has its width.
void MessageBoxLayout::fitBox(Result &r, int tipoCaixa, const Context &c)
{
    const int visible = int(r.faces[0].visible) + int(r.faces[1].visible) + int(r.faces[2].visible);
    if (visible == 2) {
        r.faces[0].left = (r.width - (r.faces[0].width + r.faces[1].width + kFaceGap)) / 2;
        r.faces[1].left = r.faces[0].left + r.faces[0].width + kFaceGap;
    } else if (visible == 1) {
        r.faces[0].left = r.width / 2 - r.faces[0].width / 2;
    }
    r.mensagem.left = (r.width - r.mensagem.width) / 2;

    if (tipoCaixa != 25)
        r.lesson.left = (r.width - r.lesson.width) / 2;
    if (tipoCaixa == 26) {
        r.driveCaption = courseDialogue::trimCaption(r.driveCaption, r.lesson.width, c.captionWidth);
        r.textoDrive.width = c.captionWidth ? c.captionWidth(r.driveCaption) : 0;
        r.textoDrive.left = (r.width - r.textoDrive.width) / 2;
    }
    if (tipoCaixa == 27)
        r.mensagemRtf.left = (r.width - r.mensagemRtf.width) / 2;

    if (!r.faces[0].visible)
        return;
    // The controls a dialogue shows go below the text, each kSpacing under the
    // one above; the faces follow the last of them.
    int y = r.mensagem.top + r.mensagem.height;
    auto below = [&y](Control &k) {
        k.top = y + kSpacing;
        y = k.top + k.height;
    };
    if (r.txtProcuraDir.visible) {
        r.txtProcuraDir.left = kEntryMargin / 2;
        r.txtProcuraDir.width = r.width - kEntryMargin;
        below(r.txtProcuraDir);
    }
    if (r.lesson.visible) {
        below(r.lesson);
        if (r.textoDrive.visible && tipoCaixa == 25) {
            // "em" stands just before the list, on its row.
            r.textoDrive.top = r.lesson.top + (r.lesson.height - r.textoDrive.height) / 2;
            r.lesson.left = std::max(r.lesson.left, r.textoDrive.left + r.textoDrive.width + kCaptionGap);
        }
    }
    if (r.textoDrive.visible && tipoCaixa != 25)
        below(r.textoDrive);
    if (r.optMsg[0].visible) {
        below(r.optMsg[0]);
        r.optMsg[1].top = r.optMsg[0].top;
    }
    if (r.options[0].visible) {
        // Option1 and Option2 centred, the narrower taking the wider's Left; the
        // third lines up with them.
        const int wider = std::max(r.options[0].width, r.options[1].width);
        for (Control &o : r.options) {
            o.left = (r.width - wider) / 2;
            below(o);
        }
    }
    // Below a dialogue's controls the bottom strip keeps its distance from the
    // faces, so it stays below the box's end as in every other box.
    if (y != r.mensagem.top + r.mensagem.height)
        r.fxBotton.top += y + kSpacing - r.faces[0].top;
    for (Control &f : r.faces)
        f.top = y + kSpacing;
    r.height = r.faces[0].top + r.faces[0].height + kMargin;
}

QList<MessageBoxLayout::ColourRun> MessageBoxLayout::colourRuns(const QString &texto)
{
    QList<ColourRun> runs;
    ColourRun current;
    for (QChar c : texto) {
        if (c == u'#' || c == u'|') {
            if (!current.texto.isEmpty())
                runs.append(current);
            current = ColourRun{QString(), c == u'#'};
            continue;
        }
        current.texto += c;
    }
    if (!current.texto.isEmpty())
        runs.append(current);
    return runs;
}

QString MessageBoxLayout::plainText(const QString &texto)
{
    QString plain;
    for (const ColourRun &run : colourRuns(texto))
        plain += run.texto;
    return plain;
}

int MessageBoxLayout::escapeButton(const Result &r)
{
    auto showing = [&r](std::initializer_list<const char *> codes) {
        for (int i = 0; i < 3; ++i)
            if (r.faces[i].visible)
                for (const char *code : codes)
                    if (r.buttons.codes[i] == QLatin1String(code))
                        return i + 1;
        return 0;
    };
    for (const std::initializer_list<const char *> codes : {std::initializer_list<const char *>{"CAN", "CAC"},
                                                            {"FCJ", "CLW", "CLWN", "CRV", "CRVT"},
                                                            {"NAO", "NO"}})
        if (const int n = showing(codes))
            return n;
    return 0;
}

QString MessageBoxLayout::caption(const QString &code)
{
    for (const shell::skin::msgbox::FaceLayout &f : shell::skin::msgbox::kFaces)
        if (code == QLatin1String(f.code))
            return QString::fromUtf8(f.label);
    return code;
}

} // namespace messages
