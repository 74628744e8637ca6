// Paints every skin picture of the book manager and writes the hot-spot maps:
//
//   zeko_artwork <install folder>
//
// writes Imagens/TLA_PRC, TLA_LIV, TLA_INS and Cai_Msg under that folder. All
// measures come from shell/SkinLayout.h, which the windows place their controls by.
// Each picture is painted twice: as `name.jpg` and, for screens of twice the pixel
// density, as `name@2x.jpg`, the same drawing on twice the pixels (never an
// enlargement), so that edges and text stay sharp there. The hot-spot maps keep
// the 1x measures, which are the windows' logical pixels at any density.
//
//   zeko_artwork --icons <icon folder>
//
// writes the application icon into the icon theme's hicolor folders there.
//
// Every button picture is painted over the very pixels of the background it will
// cover, and the drag bar is cut from the background, so a picture never shows a
// seam against what is around it even though JPEG has no transparency.

#include "shell/skin/SkinLayout.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QRegularExpression>
#include <QStringList>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace skin = shell::skin;
namespace pal = shell::skin::palette;

namespace {

const QString kFontFamily = QStringLiteral("Liberation Sans");
constexpr int kJpegQuality = 92;

QColor colour(std::uint32_t rgb, int alpha = 255)
{
    QColor c = QColor::fromRgb(QRgb(rgb));
    c.setAlpha(alpha);
    return c;
}

QRectF toRectF(const skin::Rect &r)
{
    return QRectF(r.x, r.y, r.width, r.height);
}
QRect toRect(const skin::Rect &r)
{
    return QRect(r.x, r.y, r.width, r.height);
}

// A picture of `size` logical pixels for a screen of that pixel ratio: a painter
// on it draws in logical pixels, so one drawing serves every ratio.
QImage newImage(QSize size, const QColor &fill = Qt::transparent, qreal ratio = 1)
{
    QImage img(size * ratio, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(ratio);
    img.fill(fill);
    return img;
}

QRectF logicalRect(const QImage &img)
{
    return QRectF(QPointF(0, 0), img.deviceIndependentSize());
}

// The part of `img` under `r`, given in logical pixels.
QImage cut(const QImage &img, const skin::Rect &r)
{
    const qreal ratio = img.devicePixelRatio();
    QImage part = img.copy(QRectF(r.x * ratio, r.y * ratio, r.width * ratio, r.height * ratio).toRect());
    part.setDevicePixelRatio(ratio);
    return part;
}

// Three passes of a box blur approximate a Gaussian well enough for shadows and glows.
void blur(QImage &img, int radius)
{
    if (radius <= 0)
        return;
    const int w = img.width();
    const int h = img.height();
    std::vector<QRgb> line(static_cast<std::size_t>(std::max(w, h)));
    const auto blurLine = [&](QRgb *first, int count, int stride) {
        for (int i = 0; i < count; ++i)
            line[std::size_t(i)] = first[i * stride];
        int sum[4] = {0, 0, 0, 0};
        const int window = 2 * radius + 1;
        const auto add = [&](int i, int sign) {
            if (i < 0 || i >= count)
                return;
            const QRgb v = line[std::size_t(i)];
            sum[0] += sign * qAlpha(v);
            sum[1] += sign * qRed(v);
            sum[2] += sign * qGreen(v);
            sum[3] += sign * qBlue(v);
        };
        for (int i = -radius; i <= radius; ++i)
            add(i, 1);
        for (int i = 0; i < count; ++i) {
            first[i * stride] = qRgba(sum[1] / window, sum[2] / window, sum[3] / window, sum[0] / window);
            add(i - radius, -1);
            add(i + radius + 1, 1);
        }
    };
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y)
            blurLine(reinterpret_cast<QRgb *>(img.scanLine(y)), w, 1);
        const int stride = int(img.bytesPerLine() / int(sizeof(QRgb)));
        for (int x = 0; x < w; ++x)
            blurLine(reinterpret_cast<QRgb *>(img.bits()) + x, h, stride);
    }
}

// A soft shadow (or, with no offset and a light colour, a glow) of `shape`.
void drawShadow(QPainter &p, const QPainterPath &shape, QPointF offset, int radius, const QColor &c)
{
    const QRect area = shape.boundingRect().translated(offset).toAlignedRect().adjusted(
        -3 * radius - 2, -3 * radius - 2, 3 * radius + 2, 3 * radius + 2);
    const qreal ratio = p.device()->devicePixelRatioF();
    QImage layer = newImage(area.size(), Qt::transparent, ratio);
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.translate(offset - QPointF(area.topLeft()));
        lp.fillPath(shape, c);
    }
    blur(layer, int(std::lround(radius * ratio)));
    p.drawImage(area.topLeft(), layer);
}

QPainterPath stroked(const QPainterPath &path, qreal width)
{
    QPainterPathStroker s;
    s.setWidth(width);
    s.setCapStyle(Qt::RoundCap);
    s.setJoinStyle(Qt::RoundJoin);
    return s.createStroke(path).simplified();
}

QPainterPath roundedRect(qreal x, qreal y, qreal w, qreal h, qreal r)
{
    QPainterPath p;
    p.addRoundedRect(QRectF(x, y, w, h), r, r);
    return p;
}

QPainterPath ellipse(QPointF centre, qreal r)
{
    QPainterPath p;
    p.addEllipse(centre, r, r);
    return p;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath p;
    p.addPolygon(QPolygonF(QList<QPointF>(points)));
    p.closeSubpath();
    return p;
}

// ---- Icons, drawn in a 100 x 100 box and filled in one colour -----------------

enum class Icon { Books, Install, Help, Trash, Home, OpenBook, FindFile, Minimise, Close };

QPainterPath book(qreal x, qreal y, qreal w, qreal h)
{
    QPainterPath b = roundedRect(x, y, w, h, 3);
    QPainterPath bands;
    bands.addRect(x - 1, y + 10, w + 2, 4);
    bands.addRect(x - 1, y + h - 14, w + 2, 4);
    return b.subtracted(bands);
}

QPainterPath openBookPages()
{
    QPainterPath left;
    left.moveTo(47, 26);
    left.cubicTo(36, 17, 20, 15, 6, 19);
    left.lineTo(6, 78);
    left.cubicTo(20, 74, 36, 76, 47, 85);
    left.closeSubpath();
    QPainterPath right = QTransform(-1, 0, 0, 1, 100, 0).map(left);
    return left.united(right);
}

QPainterPath iconPath(Icon icon)
{
    switch (icon) {
    case Icon::Books: {
        QPainterPath p = book(12, 24, 20, 62).united(book(36, 14, 23, 72));
        p = p.united(QTransform().translate(64, 86).rotate(17).map(book(0, -64, 20, 64)));
        return p.united(roundedRect(6, 88, 88, 6, 2));
    }
    case Icon::Install: {
        QPainterPath arrow = roundedRect(43, 6, 14, 42, 3).united(polygon({{26, 40}, {74, 40}, {50, 66}}));
        QPainterPath tray;
        tray.moveTo(14, 58);
        tray.lineTo(14, 88);
        tray.lineTo(86, 88);
        tray.lineTo(86, 58);
        return arrow.united(stroked(tray, 10));
    }
    case Icon::Help: {
        QPainterPath ring = ellipse({50, 50}, 44).subtracted(ellipse({50, 50}, 36));
        QFont f(kFontFamily);
        f.setBold(true);
        f.setPixelSize(58);
        QPainterPath mark;
        mark.addText(0, 0, f, QStringLiteral("?"));
        const QRectF b = mark.boundingRect();
        mark.translate(50 - b.center().x(), 51 - b.center().y());
        return ring.united(mark);
    }
    case Icon::Trash: {
        QPainterPath handle;
        handle.moveTo(38, 22);
        handle.lineTo(38, 12);
        handle.lineTo(62, 12);
        handle.lineTo(62, 22);
        QPainterPath p = roundedRect(14, 20, 72, 10, 3).united(stroked(handle, 6));
        QPainterPath can = polygon({{22, 35}, {78, 35}, {72, 92}, {28, 92}});
        QPainterPath slits = roundedRect(35, 45, 6, 38, 3).united(roundedRect(47, 45, 6, 38, 3));
        slits = slits.united(roundedRect(59, 45, 6, 38, 3));
        return p.united(can.subtracted(slits));
    }
    case Icon::Home: {
        QPainterPath roof;
        roof.moveTo(8, 50);
        roof.lineTo(50, 13);
        roof.lineTo(92, 50);
        QPainterPath house = polygon({{22, 56}, {50, 31}, {78, 56}, {78, 90}, {22, 90}});
        house = house.subtracted(roundedRect(42, 63, 16, 30, 3));
        return stroked(roof, 10).united(house);
    }
    case Icon::OpenBook: {
        QPainterPath pages = QTransform().translate(-4, -6).map(openBookPages());
        const QPointF badge(72, 72);
        QPainterPath play = polygon({{65, 60}, {65, 84}, {86, 72}});
        return pages.subtracted(ellipse(badge, 28)).united(ellipse(badge, 22).subtracted(play));
    }
    case Icon::FindFile: {
        QPainterPath folder = roundedRect(6, 18, 38, 16, 4).united(roundedRect(6, 26, 78, 56, 6));
        const QPointF lens(62, 62);
        QPainterPath handle;
        handle.moveTo(75, 75);
        handle.lineTo(92, 92);
        QPainterPath glass = ellipse(lens, 21).subtracted(ellipse(lens, 13)).united(stroked(handle, 11));
        QPainterPath gap = ellipse(lens, 28).united(stroked(handle, 25));
        return folder.subtracted(gap).united(glass);
    }
    case Icon::Minimise:
        return roundedRect(20, 44, 60, 12, 4);
    case Icon::Close: {
        QPainterPath x;
        x.moveTo(24, 24);
        x.lineTo(76, 76);
        x.moveTo(76, 24);
        x.lineTo(24, 76);
        return stroked(x, 12);
    }
    }
    return {};
}

QPainterPath placedIcon(Icon icon, const QRectF &box)
{
    QTransform t;
    t.translate(box.x(), box.y());
    t.scale(box.width() / 100.0, box.height() / 100.0);
    return t.map(iconPath(icon));
}

// ---- Window backgrounds --------------------------------------------------------

// The navy band of every title bar: the windows' drag bars and the message box's strip.
void paintTitleBand(QPainter &p, const QRectF &band)
{
    QLinearGradient g(band.topLeft(), band.bottomLeft());
    g.setColorAt(0, colour(pal::kNavyLight));
    g.setColorAt(1, colour(pal::kNavy));
    p.fillRect(band, g);
    p.fillRect(QRectF(band.left(), band.top(), band.width(), 1), QColor(255, 255, 255, 38));
    p.fillRect(QRectF(band.left(), band.bottom() - 2, band.width(), 2), colour(pal::kAmber));
}

// The product's mark: an open book in the accent colour.
void paintMark(QPainter &p, const QRectF &box)
{
    p.fillPath(QTransform()
                   .translate(box.x(), box.y())
                   .scale(box.width() / 100, box.height() / 100)
                   .map(openBookPages()),
               colour(pal::kAmber));
}

void paintProductName(QPainter &p, QPointF leftCentre, int pixelSize)
{
    QFont f(kFontFamily);
    f.setBold(true);
    f.setPixelSize(pixelSize);
    QFontMetricsF fm(f);
    const qreal baseline = leftCentre.y() + (fm.ascent() - fm.descent()) / 2;
    p.setFont(f);
    p.setPen(colour(pal::kLightText));
    p.drawText(QPointF(leftCentre.x(), baseline), QStringLiteral("ZEKO"));
    const qreal zekoWidth = fm.horizontalAdvance(QStringLiteral("ZEKO "));
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(0x9F, 0xD8, 0xDA));
    p.drawText(QPointF(leftCentre.x() + zekoWidth, baseline), QStringLiteral("Download"));
}

int footerHeight(const skin::WindowSkin &w)
{
    return w.size.height > 300 ? 38 : 24;
}

// The white panel that carries a window's information lines and its list.
QRectF panelRect(const skin::WindowSkin &w)
{
    QRect r = toRect(w.listRect);
    for (const skin::LabelLayout &l : w.labels)
        if (l.darkText && std::string_view(l.name) != "fxlblTitulo")
            r = r.united(toRect(l.rect));
    if (r.isEmpty())
        return {};
    return QRectF(r).adjusted(-16, -9, 16, 11);
}

QImage paintBackground(const skin::WindowSkin &w, qreal ratio)
{
    const QSize size(w.size.width, w.size.height);
    QImage img = newImage(size, colour(pal::kBody), ratio);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // Body: a light ground, a gentle sheen under the title and two faint discs low
    // in the corners, kept away from the text lines.
    const int footerTop = size.height() - footerHeight(w);
    QLinearGradient sheen(0, skin::kTitleBarHeight, 0, skin::kTitleBarHeight + 64);
    sheen.setColorAt(0, QColor(0xDD, 0xE9, 0xF3));
    sheen.setColorAt(1, colour(pal::kBody));
    p.fillRect(QRectF(0, skin::kTitleBarHeight, size.width(), 64), sheen);
    p.save();
    p.setClipRect(QRect(0, skin::kTitleBarHeight + 64, size.width(), footerTop - skin::kTitleBarHeight - 64));
    p.setPen(Qt::NoPen);
    p.setBrush(colour(pal::kTeal, 13));
    p.drawEllipse(QPointF(-30, footerTop + 40), 150, 150);
    p.setBrush(colour(pal::kAmber, 12));
    p.drawEllipse(QPointF(size.width() + 20, footerTop + 30), 120, 120);
    p.setBrush(colour(pal::kTeal, 9));
    p.drawEllipse(QPointF(size.width() - 60, footerTop + 60), 140, 140);
    p.restore();

    // A short accent stroke leads into the title.
    if (const skin::LabelLayout *title = w.label("fxlblTitulo")) {
        const QRectF t = toRectF(title->rect);
        p.fillPath(roundedRect(t.left() - 10, t.top() + 7, 4, t.height() - 14, 2), colour(pal::kAmber));
    }

    const QRectF panel = panelRect(w);
    if (!panel.isEmpty()) {
        const QPainterPath shape = roundedRect(panel.x(), panel.y(), panel.width(), panel.height(), 9);
        drawShadow(p, shape, {0, 2}, 4, colour(pal::kNavy, 46));
        p.fillPath(shape, colour(pal::kCard));
        p.setPen(QPen(colour(pal::kCardLine), 1));
        p.drawPath(roundedRect(panel.x() + 0.5, panel.y() + 0.5, panel.width() - 1, panel.height() - 1, 9));
        p.setPen(Qt::NoPen);
    }

    // Footer band, with the accent line the title band also has.
    QLinearGradient foot(0, footerTop, 0, size.height());
    foot.setColorAt(0, colour(pal::kNavy));
    foot.setColorAt(1, QColor(0x0A, 0x20, 0x38));
    p.fillRect(QRectF(0, footerTop, size.width(), size.height() - footerTop), foot);
    p.fillRect(QRectF(0, footerTop, size.width(), 2), colour(pal::kAmber));

    // Title band across the whole width; the drag bar is cut from its left part,
    // the minimise and exit buttons sit on the rest.
    paintTitleBand(p, QRectF(0, 0, size.width(), skin::kTitleBarHeight));
    const QRectF bar = toRectF(w.dragBarRect);
    paintMark(p, QRectF(9, 6, 22, 18));
    paintProductName(p, QPointF(37, bar.center().y() - 1), 13);
    // A grip of dots at the bar's right end says it can be dragged.
    p.setBrush(QColor(255, 255, 255, 60));
    for (int col = 0; col < 6; ++col)
        for (int row = 0; row < 3; ++row)
            p.drawEllipse(QPointF(bar.right() - 14 - col * 6 - (row % 2) * 3, 9 + row * 5.5), 1.2, 1.2);

    // A dark hairline frames the borderless window.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x08, 0x1A, 0x2E), 1));
    p.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));
    return img;
}

// ---- Buttons ------------------------------------------------------------------

enum class State { Normal, Hover, Pressed, Disabled };

State stateOf(const char *code)
{
    const std::string_view s(code);
    return s == "NM"   ? State::Normal
           : s == "MM" ? State::Hover
           : s == "MC" ? State::Pressed
                       : State::Disabled;
}

struct ButtonLook {
    Icon icon;
    std::uint32_t base; // tile colour; 0 for the small title-bar buttons
};

ButtonLook lookOf(std::string_view hotSpot, bool mainAction)
{
    if (hotSpot == "Minimizar")
        return {Icon::Minimise, 0};
    if (hotSpot == "Sair")
        return {Icon::Close, 0};
    if (hotSpot == "Livros" || hotSpot == "Livro")
        return {Icon::Books, mainAction ? pal::kAmber : pal::kTeal};
    if (hotSpot == "Configurar")
        return {Icon::Install, pal::kTeal};
    if (hotSpot == "Help")
        return {Icon::Help, pal::kSlate};
    if (hotSpot == "Remover")
        return {Icon::Trash, pal::kBrick};
    if (hotSpot == "Principal")
        return {Icon::Home, pal::kSlate};
    if (hotSpot == "OK")
        return {Icon::OpenBook, pal::kAmber};
    if (hotSpot == "Procurar")
        return {Icon::FindFile, pal::kAmber};
    return {Icon::Help, pal::kSlate};
}

// A large rounded tile with a white icon, over `ground` (the background under the button).
QImage paintTile(const QImage &ground, const ButtonLook &look, State state)
{
    QImage img = ground.copy();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF tile = logicalRect(img).adjusted(6, 5, -6, -8);
    if (state == State::Pressed)
        tile.translate(0, 1);
    const qreal radius = 14;
    const QPainterPath shape = roundedRect(tile.x(), tile.y(), tile.width(), tile.height(), radius);

    QColor base = colour(look.base);
    QColor top = base.lighter(118);
    QColor bottom = base.darker(112);
    QColor iconColour = Qt::white;
    switch (state) {
    case State::Normal:
        drawShadow(p, shape, {0, 3}, 3, colour(pal::kNavy, 80));
        break;
    case State::Hover:
        top = base.lighter(140);
        bottom = base.lighter(108);
        drawShadow(p, shape, {0, 3}, 3, colour(pal::kNavy, 70));
        drawShadow(p, shape, {0, 0}, 3, colour(look.base == pal::kAmber ? pal::kTeal : pal::kAmber, 230));
        break;
    case State::Pressed:
        top = base.darker(135);
        bottom = base.darker(118);
        drawShadow(p, shape, {0, 1}, 1, colour(pal::kNavy, 90));
        break;
    case State::Disabled:
        top = QColor(0xC4, 0xCC, 0xD5);
        bottom = QColor(0xAA, 0xB5, 0xC0);
        iconColour = QColor(0xF4, 0xF6, 0xF8);
        break;
    }

    // Disabled: painted on a layer and laid down half-faded over the ground.
    QImage layer = newImage(img.deviceIndependentSize().toSize(), Qt::transparent, img.devicePixelRatio());
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(tile.topLeft(), tile.bottomLeft());
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        lp.fillPath(shape, g);
        // Gloss on the upper half, an edge line all round.
        lp.save();
        lp.setClipPath(shape);
        QLinearGradient gloss(tile.topLeft(), QPointF(tile.left(), tile.center().y()));
        gloss.setColorAt(0, QColor(255, 255, 255, state == State::Pressed ? 10 : 60));
        gloss.setColorAt(1, QColor(255, 255, 255, 0));
        lp.fillRect(QRectF(tile.left(), tile.top(), tile.width(), tile.height() / 2), gloss);
        if (state == State::Pressed) {
            QLinearGradient inner(tile.topLeft(), tile.topLeft() + QPointF(0, 7));
            inner.setColorAt(0, QColor(0, 0, 0, 70));
            inner.setColorAt(1, QColor(0, 0, 0, 0));
            lp.fillRect(QRectF(tile.left(), tile.top(), tile.width(), 7), inner);
        }
        lp.restore();
        const QRectF edge = tile.adjusted(0.5, 0.5, -0.5, -0.5);
        if (state == State::Hover) {
            lp.setPen(QPen(QColor(255, 255, 255, 235), 2));
            const QRectF ring = tile.adjusted(1, 1, -1, -1);
            lp.drawPath(roundedRect(ring.x(), ring.y(), ring.width(), ring.height(), radius - 1));
        } else {
            lp.setPen(QPen(bottom.darker(125), 1));
            lp.drawPath(roundedRect(edge.x(), edge.y(), edge.width(), edge.height(), radius));
        }

        const qreal side = std::min(tile.width(), tile.height()) * (state == State::Hover ? 0.56 : 0.52);
        const QRectF iconBox(tile.center().x() - side / 2, tile.center().y() - side / 2, side, side);
        const QPainterPath glyph = placedIcon(look.icon, iconBox);
        if (state != State::Disabled)
            drawShadow(lp, glyph, {0, 1.5}, 1, bottom.darker(170));
        lp.fillPath(glyph, iconColour);
    }
    if (state == State::Disabled)
        p.setOpacity(0.7);
    p.drawImage(0, 0, layer);
    return img;
}

// The small square minimise and exit buttons on the title band.
QImage paintChromeButton(const QImage &ground, Icon icon, State state)
{
    QImage img = ground.copy();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF box = logicalRect(img).adjusted(1, 1, -1, -1);
    if (state == State::Pressed)
        box.translate(0, 1);
    const QPainterPath shape = roundedRect(box.x(), box.y(), box.width(), box.height(), 5);
    const bool exit = icon == Icon::Close;
    QColor fill = QColor(255, 255, 255, 28);
    QColor edge = QColor(255, 255, 255, 55);
    QColor glyph = colour(pal::kLightText);
    switch (state) {
    case State::Normal:
        break;
    case State::Hover:
        fill = exit ? colour(pal::kBrick).lighter(112) : QColor(255, 255, 255, 70);
        edge = colour(pal::kAmber);
        glyph = Qt::white;
        break;
    case State::Pressed:
        fill = exit ? colour(pal::kBrick).darker(130) : QColor(0, 0, 0, 90);
        edge = QColor(0, 0, 0, 110);
        glyph = QColor(0xC8, 0xD4, 0xE0);
        break;
    case State::Disabled:
        fill = QColor(255, 255, 255, 8);
        edge = QColor(255, 255, 255, 22);
        glyph = QColor(0x6F, 0x83, 0x98);
        break;
    }
    p.fillPath(shape, fill);
    p.setPen(QPen(edge, state == State::Hover ? 1.5 : 1));
    p.drawPath(roundedRect(box.x() + 0.5, box.y() + 0.5, box.width() - 1, box.height() - 1, 5));
    p.fillPath(placedIcon(icon, box.adjusted(6, 6, -6, -6)), glyph);
    return img;
}

// ---- Message box ----------------------------------------------------------------

QImage paintTitleStrip(QSize size, qreal ratio)
{
    QImage img = newImage(size, Qt::transparent, ratio);
    QPainter p(&img);
    paintTitleBand(p, QRectF(QPointF(0, 0), size));
    return img;
}

QImage paintMessageLogo(qreal ratio)
{
    QImage img = paintTitleStrip({skin::msgbox::kLogo.width, skin::msgbox::kLogo.height}, ratio);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paintMark(p, QRectF(6, 6, 20, 16));
    return img;
}

QImage paintProductLogo(qreal ratio)
{
    QImage img =
        paintTitleStrip({skin::msgbox::kProductLogo.width, skin::msgbox::kProductLogo.height}, ratio);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintProductName(p, QPointF(2, logicalRect(img).height() / 2 - 1), 12);
    return img;
}

QImage paintMessageBackground(qreal ratio)
{
    const QSize size(skin::msgbox::kBackground.width, skin::msgbox::kBackground.height);
    QImage img = newImage(size, colour(pal::kBody), ratio);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(0xF8, 0xFA, 0xFC));
    g.setColorAt(1, colour(pal::kBody));
    p.fillRect(logicalRect(img), g);
    // Faint discs at the edges only: the text is centred and must stay plain.
    p.setPen(Qt::NoPen);
    p.setBrush(colour(pal::kTeal, 10));
    p.drawEllipse(QPointF(size.width() + 40, size.height() + 30), 210, 210);
    p.setBrush(colour(pal::kAmber, 10));
    p.drawEllipse(QPointF(-60, size.height() + 60), 170, 170);
    p.setBrush(colour(pal::kTeal, 7));
    p.drawEllipse(QPointF(size.width() - 120, size.height() + 120), 200, 200);
    return img;
}

QImage paintFace(const skin::msgbox::FaceLayout &face, State state, qreal ratio)
{
    const QSize size(skin::msgbox::kFace.width, skin::msgbox::kFace.height);
    QImage img = newImage(size, colour(pal::kBody), ratio);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QRectF box = logicalRect(img).adjusted(2, 1.5, -2, -3.5);
    if (state == State::Pressed)
        box.translate(0, 1);
    const QPainterPath shape = roundedRect(box.x(), box.y(), box.width(), box.height(), 7);
    const QColor base = colour(face.affirmative ? pal::kTeal : pal::kSlate);
    QColor top = base.lighter(115);
    QColor bottom = base.darker(110);
    switch (state) {
    case State::Hover:
        top = base.lighter(140);
        bottom = base.lighter(105);
        drawShadow(p, shape, {0, 0}, 1, colour(pal::kAmber, 230));
        break;
    case State::Pressed:
        top = base.darker(135);
        bottom = base.darker(118);
        break;
    default:
        drawShadow(p, shape, {0, 1.5}, 1, colour(pal::kNavy, 90));
        break;
    }
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillPath(shape, g);
    p.setPen(QPen(state == State::Hover ? colour(pal::kAmber) : bottom.darker(125),
                  state == State::Hover ? 1.5 : 1));
    p.drawPath(roundedRect(box.x() + 0.5, box.y() + 0.5, box.width() - 1, box.height() - 1, 6.5));

    QFont f(kFontFamily);
    f.setBold(true);
    const QString text = QString::fromUtf8(face.label);
    int pixels = 12;
    f.setPixelSize(pixels);
    while (pixels > 8 && QFontMetricsF(f).horizontalAdvance(text) > box.width() - 8)
        f.setPixelSize(--pixels);
    p.setFont(f);
    p.setPen(QColor(0, 0, 0, 60));
    p.drawText(box.translated(0, 1), Qt::AlignCenter, text);
    p.setPen(state == State::Pressed ? QColor(0xDD, 0xE6, 0xEE) : QColor(Qt::white));
    p.drawText(box, Qt::AlignCenter, text);
    return img;
}

// ---- Application icon -------------------------------------------------------------

// The title bar in a square: the navy band's gradient, its amber line, and the
// product's mark large in the middle. One geometry in a 100 x 100 box, painted as
// each PNG size and written as the SVG's paths, so the two cannot differ.
struct AppIcon {
    QPainterPath tile = roundedRect(4, 4, 92, 92, 20);
    QRectF band = QRectF(4, 80, 92, 5);
    // The mark keeps the title bar's 22 x 18 proportions.
    QPainterPath mark = QTransform().translate(10, 9).scale(0.8, 0.8 * 18 / 22).map(openBookPages());
};

constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
const QString kIconName = QStringLiteral("org.example.zeko_download");

QImage paintAppIcon(int size)
{
    const AppIcon icon;
    QImage img = newImage({size, size});
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 100.0, size / 100.0);
    QLinearGradient g(0, 4, 0, 96);
    g.setColorAt(0, colour(pal::kNavyLight));
    g.setColorAt(1, colour(pal::kNavy));
    p.fillPath(icon.tile, g);
    // A line that falls between two pixel rows blurs at the small sizes: the band
    // keeps to whole rows, at least one.
    const qreal unit = 100.0 / size;
    const QRectF band(icon.band.x(), std::round(icon.band.y() / unit) * unit, icon.band.width(),
                      std::max(1.0, std::round(icon.band.height() / unit)) * unit);
    p.save();
    p.setClipPath(icon.tile);
    p.fillRect(band, colour(pal::kAmber));
    p.restore();
    p.fillPath(icon.mark, colour(pal::kAmber));
    return img;
}

QString svgNumber(qreal v)
{
    return QString::number(v, 'f', 2).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

QString svgPathData(const QPainterPath &path)
{
    QStringList d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QString point = svgNumber(e.x) + u' ' + svgNumber(e.y);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (i > 0)
                d << QStringLiteral("Z");
            d << u'M' + point;
            break;
        case QPainterPath::LineToElement:
            d << u'L' + point;
            break;
        case QPainterPath::CurveToElement:
            d << u'C' + point;
            break;
        case QPainterPath::CurveToDataElement:
            d << point;
            break;
        }
    }
    d << QStringLiteral("Z");
    return d.join(u' ');
}

QString svgColour(std::uint32_t rgb)
{
    return u'#' + QStringLiteral("%1").arg(rgb, 6, 16, QChar(u'0')).toUpper();
}

QByteArray appIconSvg()
{
    const AppIcon icon;
    const QString tile = svgPathData(icon.tile);
    QString svg;
    svg +=
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                       "viewBox=\"0 0 100 100\">\n"
                       "  <title>ZEKO Download</title>\n"
                       "  <defs>\n"
                       "    <linearGradient id=\"band\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"4\" "
                       "x2=\"0\" y2=\"96\">\n");
    svg += QStringLiteral("      <stop offset=\"0\" stop-color=\"%1\"/>\n"
                          "      <stop offset=\"1\" stop-color=\"%2\"/>\n"
                          "    </linearGradient>\n"
                          "    <clipPath id=\"tile\"><path d=\"%3\"/></clipPath>\n"
                          "  </defs>\n")
               .arg(svgColour(pal::kNavyLight), svgColour(pal::kNavy), tile);
    svg += QStringLiteral("  <path d=\"%1\" fill=\"url(#band)\"/>\n").arg(tile);
    svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\" "
                          "clip-path=\"url(#tile)\"/>\n")
               .arg(svgNumber(icon.band.x()), svgNumber(icon.band.y()), svgNumber(icon.band.width()),
                    svgNumber(icon.band.height()), svgColour(pal::kAmber));
    svg += QStringLiteral("  <path d=\"%1\" fill=\"%2\"/>\n</svg>\n")
               .arg(svgPathData(icon.mark), svgColour(pal::kAmber));
    return svg.toUtf8();
}

// ---- Output ---------------------------------------------------------------------

class Writer {
  public:
    bool ok = true;

    // `path` names the 1x picture; one of twice the pixels goes beside it as name@2x.
    void save(const QImage &img, const QString &path)
    {
        const QString file = img.devicePixelRatio() == 2 ? doubledPath(path) : path;
        if (!img.convertToFormat(QImage::Format_RGB32).save(file, "JPEG", kJpegQuality))
            fail(file);
    }
    void savePng(const QImage &img, const QString &path)
    {
        if (!img.convertToFormat(QImage::Format_ARGB32).save(path, "PNG"))
            fail(path);
    }
    void saveText(const QByteArray &text, const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size())
            fail(path);
    }
    void makeDir(const QString &path)
    {
        if (!QDir().mkpath(path))
            fail(path);
    }

  private:
    static QString doubledPath(const QString &path)
    {
        return QFile::decodeName(skin::doubledFile(QFile::encodeName(path).toStdString()).c_str());
    }
    void fail(const QString &path)
    {
        std::fprintf(stderr, "zeko_artwork: cannot write %s\n", qPrintable(QDir::toNativeSeparators(path)));
        ok = false;
    }
};

QByteArray hotSpotMap(const skin::WindowSkin &w)
{
    QByteArray text;
    text += QStringLiteral("# Hot spots of %1 on %2 (%3 x %4 pixels).\n")
                .arg(QLatin1String(w.formName), QLatin1String(w.background))
                .arg(w.size.width)
                .arg(w.size.height)
                .toUtf8();
    text += "# One region per line in button order: name x y width height\n";
    for (const skin::ButtonLayout &b : w.buttons)
        text += QStringLiteral("%1 %2 %3 %4 %5\n")
                    .arg(QLatin1String(b.hotSpot))
                    .arg(b.rect.x)
                    .arg(b.rect.y)
                    .arg(b.rect.width)
                    .arg(b.rect.height)
                    .toUtf8();
    return text;
}

void writeWindow(Writer &out, const QString &pictures, const skin::WindowSkin &w, qreal ratio)
{
    const QString dir = pictures + u'/' + QLatin1String(w.folder) + u'/';
    out.makeDir(dir);
    const QImage background = paintBackground(w, ratio);
    out.save(background, dir + QLatin1String(w.background));
    out.save(cut(background, w.dragBarRect), dir + QLatin1String(w.dragBar));
    if (ratio == 1)
        out.saveText(hotSpotMap(w), dir + QLatin1String(w.hotSpotMap));

    for (std::size_t i = 0; i < w.buttons.size(); ++i) {
        const skin::ButtonLayout &b = w.buttons[i];
        // The first button of a window is its main action, except on the book list,
        // where opening the book (button 5) is.
        const bool mainAction = i == 0 && std::string_view(w.formName) != "frmAbrirLivro";
        const ButtonLook look = lookOf(b.hotSpot, mainAction);
        const QImage ground = cut(background, b.rect);
        for (const char *state : skin::kButtonStates) {
            const QImage picture = look.base == 0 ? paintChromeButton(ground, look.icon, stateOf(state))
                                                  : paintTile(ground, look, stateOf(state));
            out.save(picture, dir + QString::fromStdString(w.buttonFile(int(i) + 1, state)));
        }
    }
}

void writeMessageBox(Writer &out, const QString &pictures, qreal ratio)
{
    namespace mb = skin::msgbox;
    const QString dir = pictures + u'/' + QLatin1String(mb::kFolder) + u'/';
    out.makeDir(dir);
    out.save(paintTitleStrip({mb::kTitleStrip.width, mb::kTitleStrip.height}, ratio),
             dir + QLatin1String(mb::kTitleStripFile));
    out.save(paintMessageLogo(ratio), dir + QLatin1String(mb::kLogoFile));
    out.save(paintProductLogo(ratio), dir + QLatin1String(mb::kProductLogoFile));
    out.save(paintMessageBackground(ratio), dir + QLatin1String(mb::kBackgroundFile));
    for (const mb::FaceLayout &face : mb::kFaces)
        for (const char *state : mb::kFaceStates)
            out.save(paintFace(face, stateOf(state), ratio),
                     dir + QString::fromStdString(mb::faceFile(face.code, state)));
}

// The icon theme's folders under `icons`: hicolor/<size>x<size>/apps and hicolor/scalable/apps.
void writeAppIcon(Writer &out, const QString &icons)
{
    for (int size : kIconSizes) {
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps/").arg(icons).arg(size);
        out.makeDir(dir);
        out.savePng(paintAppIcon(size), dir + kIconName + QStringLiteral(".png"));
    }
    const QString dir = icons + QStringLiteral("/hicolor/scalable/apps/");
    out.makeDir(dir);
    out.saveText(appIconSvg(), dir + kIconName + QStringLiteral(".svg"));
}

} // namespace

int main(int argc, char **argv)
{
    // Fonts need a GUI application, but the build has no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 3 && std::string_view(argv[1]) == "--icons") {
        Writer out;
        writeAppIcon(out, QFile::decodeName(argv[2]));
        return out.ok ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: zeko_artwork <install folder>\n"
                             "       zeko_artwork --icons <icon folder>\n");
        return 2;
    }
    const QString pictures = QFile::decodeName(argv[1]) + QStringLiteral("/Imagens");
    Writer out;
    for (const qreal ratio : {1.0, 2.0}) {
        for (const skin::WindowSkin *w : skin::kWindows)
            writeWindow(out, pictures, *w, ratio);
        writeMessageBox(out, pictures, ratio);
    }
    return out.ok ? 0 : 1;
}
