// Runs on two offscreen screens (two-screens.json): the primary one of device
// pixel ratio 2, where every window opens, and one of ratio 1.

#include "shell/skin/SkinPicture.h"
#include "common/ManagerFixture.h"
#include "common/MouseEvents.h"
#include "common/QtPrinters.h"
#include "common/WhenOpen.h"
#include "drive/MountDrive.h"
#include "messages/SkinnedMessageBox.h"
#include "messages/frmMensagem.h"
#include "shell/frmPrincipal.h"
#include "shell/skin/SkinLayout.h"

#include <QDir>
#include <QImage>
#include <QScreen>
#include <QWindow>

#include <ostream>

inline void PrintTo(const QRect &r, std::ostream *os)
{
    *os << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height();
}

namespace skin = shell::skin;

namespace {

QRect toRect(const skin::Rect &r)
{
    return QRect(r.x, r.y, r.width, r.height);
}

void writePicture(const QString &file, QSize size, Qt::GlobalColor colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    ASSERT_TRUE(img.save(file, "JPEG"));
}

} // namespace

TEST(SkinPicture, DoubledFileNamesTheStem)
{
    EXPECT_EQ(skin::doubledFile("/a/TLA_PRC/T01_BG.jpg"), "/a/TLA_PRC/T01_BG@2x.jpg");
    EXPECT_EQ(skin::doubledFile("Cai_Msg/OK_NM.JPG"), "Cai_Msg/OK_NM@2x.JPG");
    EXPECT_EQ(skin::doubledFile("/a.b/picture"), "/a.b/picture@2x");
}

// The 2x picture only where it is there, readable and twice the 1x one; nothing
// where the 1x picture is missing, as before.
TEST(SkinPicture, FallsBackToThe1xPicture)
{
    QTemporaryDir dir;
    const QString single = dir.filePath("A.jpg");
    writePicture(single, {10, 8}, Qt::red);
    writePicture(dir.filePath("A@2x.jpg"), {20, 16}, Qt::blue);
    writePicture(dir.filePath("B.jpg"), {10, 8}, Qt::red);
    writePicture(dir.filePath("C.jpg"), {10, 8}, Qt::red);
    writePicture(dir.filePath("C@2x.jpg"), {21, 16}, Qt::blue);
    writePicture(dir.filePath("D@2x.jpg"), {20, 16}, Qt::blue);

    const QPixmap sharp = skin::loadSkinPicture(single, 2);
    EXPECT_EQ(sharp.devicePixelRatio(), 2);
    EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(10, 8));
    EXPECT_EQ(sharp.toImage().pixelColor(5, 5).blue(), 254);
    for (const auto &[file, ratio] :
         {std::pair{single, 1.0}, {dir.filePath("B.jpg"), 2.0}, {dir.filePath("C.jpg"), 2.0}}) {
        SCOPED_TRACE(file.toStdString());
        const QPixmap p = skin::loadSkinPicture(file, ratio);
        EXPECT_EQ(p.devicePixelRatio(), 1);
        EXPECT_EQ(p.size(), QSize(10, 8));
        EXPECT_EQ(p.toImage().pixelColor(5, 5).red(), 254);
    }
    EXPECT_TRUE(skin::loadSkinPicture(dir.filePath("D.jpg"), 2).isNull());
}

namespace {

class SkinOnTwoScreens : public ManagerFixture {
  protected:
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::screens().size(), 2) << "the test runs on the screens of two-screens.json";
        ASSERT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), 2);
        ASSERT_EQ(QGuiApplication::screens()[1]->devicePixelRatio(), 1);
        ManagerFixture::SetUp();
        messageBox = std::make_unique<messages::SkinnedMessageBox>(state, wine);
        drives = std::make_unique<drive::MountDrive>(wine, state, *messageBox);
    }
    std::unique_ptr<shell::frmPrincipal> mainWindow(QScreen *screen = QGuiApplication::primaryScreen())
    {
        auto w = std::make_unique<shell::frmPrincipal>(state, *drives, *messageBox, [] {});
        w->setScreen(screen);
        QString error;
        EXPECT_TRUE(w->load(&error)) << error.toStdString();
        w->show();
        return w;
    }
    std::unique_ptr<messages::SkinnedMessageBox> messageBox;
    std::unique_ptr<drive::MountDrive> drives;
};

// The window's size and the place of everything in it, in logical pixels.
QList<std::pair<QString, QRect>> placesIn(const QWidget &window)
{
    QList<std::pair<QString, QRect>> places{{window.objectName(), QRect(QPoint(), window.size())}};
    for (const QWidget *w : window.findChildren<QWidget *>())
        if (!w->isWindow())
            places.append({w->objectName(), w->geometry()});
    return places;
}

qreal ratioOf(const QLabel *l)
{
    return l->pixmap().devicePixelRatio();
}

} // namespace

// Every picture of the window is the 2x one, in every state, and covers the same
// logical place as at 1x: the layout's measures.
TEST_F(SkinOnTwoScreens, WindowTakesThe2xPicturesInPlaceOfThe1x)
{
    const auto window = mainWindow();
    EXPECT_EQ(placesIn(*window), placesIn(*mainWindow(QGuiApplication::screens()[1])));
    const skin::WindowSkin &s = skin::kMainSkin;
    EXPECT_EQ(window->size(), QSize(s.size.width, s.size.height));
    EXPECT_EQ(window->background()->geometry(), QRect(0, 0, s.size.width, s.size.height));
    EXPECT_EQ(window->background()->pixmap().devicePixelRatio(), 2);
    EXPECT_EQ(window->dragBar()->geometry(), toRect(s.dragBarRect));
    EXPECT_EQ(window->dragBar()->pixmap().devicePixelRatio(), 2);
    for (int i = 1; i <= window->buttonCount(); ++i) {
        SCOPED_TRACE(i);
        QLabel *b = window->Botao(i);
        EXPECT_EQ(b->geometry(), toRect(s.buttons[std::size_t(i - 1)].rect));
        EXPECT_EQ(b->pixmap().devicePixelRatio(), 2);
        mouse::press(b, b->rect().center());
        EXPECT_TRUE(window->buttonImage(i).endsWith("_MC.jpg"));
        EXPECT_EQ(b->pixmap().devicePixelRatio(), 2);
        EXPECT_EQ(b->pixmap().deviceIndependentSize(), QSizeF(b->size()));
    }
}

// A 2x picture missing from the installation leaves that one button at 1x, in its place.
TEST_F(SkinOnTwoScreens, WindowFallsBackPictureByPicture)
{
    QTemporaryDir copy;
    for (const QString &f : QDir(state.strPastaTlaPrc).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(state.strPastaTlaPrc + f, copy.filePath(f)));
    ASSERT_TRUE(QFile::remove(copy.filePath("T01_BT02_NM@2x.jpg")));
    state.strPastaTlaPrc = copy.path() + '/';
    const auto window = mainWindow();
    EXPECT_EQ(window->Botao(1)->pixmap().devicePixelRatio(), 2);
    EXPECT_EQ(window->Botao(2)->pixmap().devicePixelRatio(), 1);
    EXPECT_EQ(window->Botao(2)->geometry(), toRect(skin::kMainSkin.buttons[1].rect));
}

TEST_F(SkinOnTwoScreens, MessageBoxTakesThe2xPictures)
{
    QList<qreal> ratios;
    QRect logo;
    zekotest::whenOpen(*messageBox, [&](messages::frmMensagem *f) {
        for (const char *name : {"Fundo", "fximgTarja", "fximgLogo", "fximgZEKO", "Button1", "Button2"})
            ratios << f->findChild<QLabel *>(name)->pixmap().devicePixelRatio();
        QWidget *area = f->areaButton(1);
        mouse::move(area, area->rect().center());
        ratios << f->findChild<QLabel *>("ImageButton1")->pixmap().devicePixelRatio();
        logo = f->findChild<QLabel *>("fximgLogo")->geometry();
        mouse::click(area);
    });
    messageBox->ExibeMensagem("Sair?", 4, 10, 1, true, QString(), 0);
    EXPECT_EQ(ratios, QList<qreal>(7, 2));
    EXPECT_EQ(logo.size(), QSize(skin::msgbox::kLogo.width, skin::msgbox::kLogo.height));
}

// Moved to a screen of another ratio the window takes that ratio's pictures, and
// nothing in it moves.
TEST_F(SkinOnTwoScreens, WindowMovedToAnotherRatioReloadsItsPictures)
{
    const auto window = mainWindow();
    const auto places = placesIn(*window);
    window->windowHandle()->setScreen(QGuiApplication::screens()[1]);
    EXPECT_EQ(ratioOf(window->background()), 1);
    EXPECT_EQ(ratioOf(window->dragBar()), 1);
    EXPECT_EQ(ratioOf(window->Botao(3)), 1);
    EXPECT_EQ(placesIn(*window), places);
    window->windowHandle()->setScreen(QGuiApplication::primaryScreen());
    EXPECT_EQ(ratioOf(window->Botao(3)), 2);
}
