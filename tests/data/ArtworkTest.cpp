#include "common/QtPrinters.h"
#include "shell/skin/HotSpotMap.h"
#include "shell/skin/SkinLayout.h"

#include <QColor>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const QSize &s, std::ostream *os)
{
    *os << s.width() << 'x' << s.height();
}
inline void PrintTo(const QRect &r, std::ostream *os)
{
    *os << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height();
}

namespace skin = shell::skin;

namespace {

QString pictures()
{
    return QStringLiteral(ZEKO_APP_DIR "/Imagens/");
}

QString windowFile(const skin::WindowSkin &w, const std::string &name)
{
    return pictures() + QLatin1String(w.folder) + u'/' + QString::fromStdString(name);
}

QString messageFile(const std::string &name)
{
    return pictures() + QLatin1String(skin::msgbox::kFolder) + u'/' + QString::fromStdString(name);
}

QRect toRect(const skin::Rect &r)
{
    return QRect(r.x, r.y, r.width, r.height);
}

// Mean absolute difference per colour channel, 0 to 255.
double difference(const QImage &a, const QImage &b, QPoint bOffset = {})
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x + bOffset.x(), y + bOffset.y());
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

struct Luma {
    double mean = 0;
    double deviation = 0;
};

Luma luma(const QImage &img, const QRect &r)
{
    std::vector<double> v;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            v.push_back(QColor(img.pixel(x, y)).lightnessF());
    Luma l;
    for (double x : v)
        l.mean += x;
    l.mean /= double(v.size());
    for (double x : v)
        l.deviation += (x - l.mean) * (x - l.mean);
    l.deviation = std::sqrt(l.deviation / double(v.size()));
    return l;
}

// How sharp a picture is: the mean square step in lightness to the next pixel,
// which enlarging a picture lowers by spreading each edge over more pixels.
double edgeEnergy(const QImage &img)
{
    double sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x + 1 < img.width(); ++x)
            sum +=
                std::pow(QColor(img.pixel(x + 1, y)).lightnessF() - QColor(img.pixel(x, y)).lightnessF(), 2);
    return sum / (double(img.width() - 1) * img.height());
}

// What the windows load, as the skin routines name it: size in twips, hot-spot
// names and picture stems in button order.
struct Expected {
    const skin::WindowSkin *skin;
    const char *bg, *bar, *hsp;
    int widthTwips, heightTwips;
    std::vector<std::pair<const char *, const char *>> buttons;
};

const std::vector<Expected> &expectedWindows()
{
    static const std::vector<Expected> all{
        {&skin::kMainSkin,
         "TLA_PRC/T01_BG.jpg",
         "TLA_PRC/T01_BARRA.jpg",
         "TLA_PRC/TLA_PRC.HSP",
         6555,
         5160,
         {{"Livros", "T01_BT01"},
          {"Configurar", "T01_BT02"},
          {"Help", "T01_BT03"},
          {"Minimizar", "T01_MNZ"},
          {"Sair", "T01_SAI"}}},
        {&skin::kBookListSkin,
         "TLA_LIV/T02_BG.jpg",
         "TLA_LIV/T02_BARRA.jpg",
         "TLA_LIV/TLA_LIV.HSP",
         10230,
         5160,
         {{"Remover", "T02_BT01"},
          {"Configurar", "T02_BT02"},
          {"Principal", "T02_BT03"},
          {"Help", "T02_BT04"},
          {"OK", "T02_BT05"},
          {"Minimizar", "T02_MNZ"},
          {"Sair", "T02_SAI"}}},
        {&skin::kInstallSkin,
         "TLA_INS/T03_BG.jpg",
         "TLA_INS/T03_BARRA.jpg",
         "TLA_INS/TLA_INS.HSP",
         9180,
         3765,
         {{"Procurar", "T03_BT01"},
          {"Livro", "T03_BT02"},
          {"Principal", "T03_BT03"},
          {"Help", "T03_BT04"},
          {"Minimizar", "T03_MNZ"},
          {"Sair", "T03_SAI"}}},
    };
    return all;
}

// The layout names the buttons and sizes the skin routines ask for, and keeps
// every hot spot, label and list apart and inside the window, so a pointer is never
// in two regions and no text is painted over a button.
TEST(ArtworkLayout, MatchesTheWindowsAndKeepsControlsApart)
{
    for (const Expected &e : expectedWindows()) {
        const skin::WindowSkin &w = *e.skin;
        SCOPED_TRACE(w.formName);
        EXPECT_EQ(w.size.width, skin::twipsToPixels(e.widthTwips));
        EXPECT_EQ(w.size.height, skin::twipsToPixels(e.heightTwips));
        EXPECT_EQ(std::string(w.folder) + '/' + w.background, e.bg);
        EXPECT_EQ(std::string(w.folder) + '/' + w.dragBar, e.bar);
        EXPECT_EQ(std::string(w.folder) + '/' + w.hotSpotMap, e.hsp);
        ASSERT_EQ(w.buttons.size(), e.buttons.size());
        for (std::size_t i = 0; i < e.buttons.size(); ++i) {
            EXPECT_STREQ(w.buttons[i].hotSpot, e.buttons[i].first);
            EXPECT_EQ(w.buttonFile(int(i) + 1, "MC"), std::string(e.buttons[i].second) + "_MC.jpg");
        }

        const QRect window(0, 0, w.size.width, w.size.height);
        std::vector<std::pair<std::string, QRect>> placed{{"drag bar", toRect(w.dragBarRect)}};
        for (const skin::ButtonLayout &b : w.buttons)
            placed.emplace_back(b.hotSpot, toRect(b.rect));
        for (const skin::LabelLayout &l : w.labels)
            placed.emplace_back(l.name, toRect(l.rect));
        if (w.listRect.width > 0)
            placed.emplace_back("list", toRect(w.listRect));
        for (std::size_t i = 0; i < placed.size(); ++i) {
            EXPECT_TRUE(window.contains(placed[i].second)) << placed[i].first;
            for (std::size_t j = i + 1; j < placed.size(); ++j)
                EXPECT_FALSE(placed[i].second.intersects(placed[j].second))
                    << placed[i].first << " overlaps " << placed[j].first;
        }
        // The drag bar starts at the corner; minimise and exit are on its right.
        EXPECT_EQ(w.dragBarRect.x, 0);
        EXPECT_EQ(w.dragBarRect.y, 0);
        for (std::size_t k : {w.buttons.size() - 2, w.buttons.size() - 1})
            EXPECT_GE(w.buttons[k].rect.x, w.dragBarRect.right()) << w.buttons[k].hotSpot;
    }
}

// Each map reads back, through the reader the windows use, as exactly the
// window's buttons: region k is button k + 1, with its name and place.
TEST(ArtworkFiles, HotSpotMapsHoldTheButtonsInOrder)
{
    for (const skin::WindowSkin *w : skin::kWindows) {
        SCOPED_TRACE(w->formName);
        shell::skin::HotSpotMap map;
        QString error;
        ASSERT_TRUE(map.load(windowFile(*w, w->hotSpotMap), &error)) << error.toStdString();
        ASSERT_EQ(map.regions().size(), qsizetype(w->buttons.size()));
        for (std::size_t i = 0; i < w->buttons.size(); ++i) {
            const skin::ButtonLayout &b = w->buttons[i];
            EXPECT_EQ(map.regions()[qsizetype(i)].name, QLatin1String(b.hotSpot));
            EXPECT_EQ(map.regions()[qsizetype(i)].rect, toRect(b.rect)) << b.hotSpot;
            const QPoint centre = toRect(b.rect).center();
            EXPECT_EQ(map.regionAt(centre).number, int(i));
        }
    }
}

// A map line must describe a place inside a window; edges past any screen (the
// right edge of x = INT_MAX overflowed) and negative places are refused.
TEST(HotSpotMap, RefusesRegionsNoWindowHolds)
{
    shell::skin::HotSpotMap map;
    for (const char *line :
         {"a 2147483647 0 2 1", "a 0 2147483647 1 2", "a -1 0 5 5", "a 0 0 0 5", "a 0 0 5"}) {
        QString error;
        EXPECT_FALSE(map.parse(line, &error)) << line;
        EXPECT_FALSE(error.isEmpty()) << line;
    }
    ASSERT_TRUE(map.parse("a 10 20 30 40\nb 0 0 65535 1\n"));
    EXPECT_EQ(map.regions()[0].rect, QRect(10, 20, 30, 40));
}

// Every picture a window loads is there, reads as an image and has its size; the
// four states of a button are visibly different pictures; and the drag bar and
// the buttons' edges continue the background, so nothing shows a seam.
TEST(ArtworkFiles, WindowPicturesExistFitAndDiffer)
{
    for (const skin::WindowSkin *w : skin::kWindows) {
        SCOPED_TRACE(w->formName);
        const QImage bg(windowFile(*w, w->background));
        ASSERT_EQ(bg.size(), QSize(w->size.width, w->size.height));
        const QImage bar(windowFile(*w, w->dragBar));
        EXPECT_EQ(bar.size(), toRect(w->dragBarRect).size());
        if (bar.size() == toRect(w->dragBarRect).size()) {
            EXPECT_LT(difference(bar, bg), 3.0);
        }

        for (std::size_t i = 0; i < w->buttons.size(); ++i) {
            const skin::ButtonLayout &b = w->buttons[i];
            SCOPED_TRACE(b.hotSpot);
            std::vector<QImage> states;
            for (const char *state : skin::kButtonStates) {
                const QString path = windowFile(*w, w->buttonFile(int(i) + 1, state));
                states.emplace_back(path);
                ASSERT_EQ(states.back().size(), toRect(b.rect).size()) << path.toStdString();
            }
            for (std::size_t s = 0; s < states.size(); ++s)
                for (std::size_t t = s + 1; t < states.size(); ++t)
                    EXPECT_GT(difference(states[s], states[t]), 4.0)
                        << skin::kButtonStates[s] << " vs " << skin::kButtonStates[t];
            // The top-left corner of the normal picture is background.
            const QImage corner = states[0].copy(0, 0, 3, 3);
            EXPECT_LT(difference(corner, bg, QPoint(b.rect.x, b.rect.y)), 8.0);
        }
    }
}

// The ground under each label suits the text colour the layout promises and is
// plain enough to read text on.
TEST(ArtworkFiles, LabelGroundMatchesItsTextColour)
{
    for (const skin::WindowSkin *w : skin::kWindows) {
        const QImage bg(windowFile(*w, w->background));
        ASSERT_FALSE(bg.isNull());
        std::vector<skin::LabelLayout> labels(w->labels.begin(), w->labels.end());
        if (w->listRect.width > 0)
            labels.push_back({"list", w->listRect, true, 0, false, skin::Align::Left});
        for (const skin::LabelLayout &l : labels) {
            SCOPED_TRACE(std::string(w->formName) + " " + l.name);
            const Luma ground = luma(bg, toRect(l.rect));
            if (l.darkText)
                EXPECT_GT(ground.mean, 0.8);
            else
                EXPECT_LT(ground.mean, 0.3);
            EXPECT_LT(ground.deviation, 0.05);
        }
    }
}

// Every face the message box can ask for, in every language and box type the
// book manager and the course dialogues use, with all three of its states.
TEST(ArtworkFiles, MessageBoxPicturesExistFitAndDiffer)
{
    namespace mb = skin::msgbox;
    const QImage strip(messageFile(mb::kTitleStripFile));
    EXPECT_GE(strip.width(), 1000);
    EXPECT_EQ(strip.height(), mb::kTitleBarHeight);
    EXPECT_EQ(QImage(messageFile(mb::kLogoFile)).size(), QSize(mb::kLogo.width, mb::kTitleBarHeight));
    EXPECT_EQ(QImage(messageFile(mb::kProductLogoFile)).size(),
              QSize(mb::kProductLogo.width, mb::kTitleBarHeight));
    const QImage body(messageFile(mb::kBackgroundFile));
    EXPECT_EQ(body.size(), QSize(mb::kBackground.width, mb::kBackground.height));
    EXPECT_GT(luma(body, body.rect()).mean, 0.8) << "the box draws dark and blue text on its body";

    for (const char *code : {"OK", "OKOK", "SIM", "NAO", "YES", "NO", "SI", "CAN", "CAC", "FCJ", "CLW", "CRV",
                             "CLWN", "CRVT", "REP", "RET", "SSB", "IMP", "CAL"}) {
        SCOPED_TRACE(code);
        std::vector<QImage> faces;
        for (const char *state : {"NM", "MM", "MC"}) {
            const QString path = messageFile(std::string(code) + "_" + state + ".JPG");
            faces.emplace_back(path);
            ASSERT_EQ(faces.back().size(), QSize(mb::kFace.width, mb::kFace.height)) << path.toStdString();
        }
        EXPECT_GT(difference(faces[0], faces[1]), 4.0);
        EXPECT_GT(difference(faces[0], faces[2]), 4.0);
        EXPECT_GT(difference(faces[1], faces[2]), 4.0);
    }
}

// The icon theme's PNGs and its SVG are one picture: each PNG has its size and is
// transparent outside the tile, with the amber book on navy, and the SVG drawn at
// that size matches it (the PNGs keep the band to whole pixel rows, hence the
// larger allowance at the small sizes).
TEST(ArtworkFiles, AppIconIsOnePictureAtEverySize)
{
    const QString icons = QStringLiteral(ZEKO_ICON_DIR "/hicolor/");
    QSvgRenderer svg(icons + QStringLiteral("scalable/apps/org.example.zeko_download.svg"));
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBoxF(), QRectF(0, 0, 100, 100));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage png(icons + QStringLiteral("%1x%1/apps/org.example.zeko_download.png").arg(size));
        ASSERT_EQ(png.size(), QSize(size, size));
        ASSERT_TRUE(png.hasAlphaChannel());
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1)})
            EXPECT_EQ(qAlpha(png.pixel(corner)), 0);
        const QColor page = png.pixelColor(size * 30 / 100, size * 40 / 100);
        EXPECT_EQ(page, QColor::fromRgb(QRgb(skin::palette::kAmber))) << "the left page";
        const QColor tile = png.pixelColor(size / 2, size * 92 / 100);
        EXPECT_EQ(tile.alpha(), 255);
        EXPECT_LT(tile.lightnessF(), 0.25) << "navy under the band";
        EXPECT_GT(tile.blue(), tile.red());

        QImage drawn(size, size, QImage::Format_ARGB32);
        drawn.fill(Qt::transparent);
        {
            QPainter p(&drawn);
            p.setRenderHint(QPainter::Antialiasing);
            svg.render(&p);
        }
        EXPECT_LT(difference(png, drawn), size < 64 ? 8.0 : 3.0);
    }
}

// Beside each picture lies its double for twice the density: twice its size, the
// same drawing brought back to 1x and sharper than the 1x picture enlarged. Text
// and hairlines snap to each grid's own pixels, so small pictures differ more at
// 1x than the large grounds, where a place moved by a pixel would show.
TEST(ArtworkFiles, EveryPictureHasAPaintedDoubleOfTwiceItsSize)
{
    namespace mb = skin::msgbox;
    int expected = 4 + int(mb::kFaces.size() * mb::kFaceStates.size()), singles = 0;
    QStringList grounds{mb::kBackgroundFile, mb::kTitleStripFile}; // these two are flat gradients
    for (const skin::WindowSkin *w : skin::kWindows) {
        expected += 2 + int(w->buttons.size() * skin::kButtonStates.size());
        grounds << w->background;
    }
    for (QDirIterator it(pictures(), {"*.jpg", "*.JPG"}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString file = it.next();
        if (file.contains(QStringLiteral("@2x")))
            continue;
        ++singles;
        SCOPED_TRACE(file.toStdString());
        const QImage single(file), twice(QString::fromStdString(skin::doubledFile(file.toStdString())));
        ASSERT_EQ(twice.size(), single.size() * 2);
        const qsizetype ground = grounds.indexOf(QFileInfo(file).fileName());
        EXPECT_LT(
            difference(twice.scaled(single.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation), single),
            ground >= 0 ? 2.0 : 15.0);
        if (ground < 0 || ground > 1) {
            EXPECT_GT(edgeEnergy(twice), 1.3 * edgeEnergy(single.scaled(twice.size(), Qt::IgnoreAspectRatio,
                                                                        Qt::SmoothTransformation)));
        }
    }
    EXPECT_EQ(singles, expected);
}

} // namespace
