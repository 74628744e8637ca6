// Runs on two offscreen screens (two-screens.json): the primary one of device
// pixel ratio 2, where windows open, and one of ratio 1.

#include "shell/skin/SkinPicture.h"
#include "common/ManagerFixture.h"
#include "common/MouseEvents.h"
#include "common/WhenOpen.h"
#include "drive/MountDrive.h"
#include "shell/frmPrincipal.h"

#include <QScreen>
#include <QWindow>

namespace skin = shell::skin;

// The 2x picture only where it is there and twice the 1x one; nothing where the
// 1x picture is missing, as before. A dot in a folder's name is no extension.
TEST(SkinPicture, FallsBackToThe1xPicture)
{
    QTemporaryDir dir;
    for (const auto &[name, width] : {std::pair{"A.jpg", 10},
                                      {"A@2x.jpg", 20},
                                      {"B.jpg", 10},
                                      {"C.jpg", 10},
                                      {"C@2x.jpg", 21},
                                      {"D@2x.jpg", 20}}) {
        QImage img(width, width * 4 / 5, QImage::Format_RGB32);
        img.fill(Qt::red);
        ASSERT_TRUE(img.save(dir.filePath(name), "JPEG"));
    }
    for (const auto &[name, ratio, expected] :
         {std::tuple{"A.jpg", 2.0, 2.0}, {"A.jpg", 1.0, 1.0}, {"B.jpg", 2.0, 1.0}, {"C.jpg", 2.0, 1.0}}) {
        const QPixmap p = skin::loadSkinPicture(dir.filePath(name), ratio);
        EXPECT_EQ(p.devicePixelRatio(), expected) << name << " at " << ratio;
        EXPECT_EQ(p.deviceIndependentSize(), QSizeF(10, 8)) << name << " at " << ratio;
    }
    EXPECT_TRUE(skin::loadSkinPicture(dir.filePath("D.jpg"), 2).isNull());
    EXPECT_EQ(skin::doubledFile("/a.b/picture"), "/a.b/picture@2x");
}

namespace {

class SkinOnTwoScreens : public ManagerFixture {
  protected:
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::screens().size(), 2) << "the test runs on the screens of two-screens.json";
        ManagerFixture::SetUp();
        box = std::make_unique<messages::SkinnedMessageBox>(state, wine);
        drives = std::make_unique<drive::MountDrive>(wine, state, *box);
    }
    std::unique_ptr<shell::frmPrincipal> mainWindow(QScreen *screen)
    {
        auto w = std::make_unique<shell::frmPrincipal>(state, *drives, *box, [] {});
        w->setScreen(screen);
        QString error;
        EXPECT_TRUE(w->load(&error)) << error.toStdString();
        w->show();
        return w;
    }
    std::unique_ptr<messages::SkinnedMessageBox> box;
    std::unique_ptr<drive::MountDrive> drives;
};

// The ratio of every picture a window shows, pressed buttons included, and the
// place of everything in it.
std::pair<QList<qreal>, QList<QRect>> look(const QWidget &window)
{
    std::pair<QList<qreal>, QList<QRect>> seen{{}, {QRect(QPoint(), window.size())}};
    for (QLabel *l : window.findChildren<QLabel *>()) {
        if (l->objectName().startsWith("Botao"))
            mouse::press(l, {5, 5});
        if (!l->pixmap().isNull())
            seen.first << l->pixmap().devicePixelRatio();
        seen.second << l->geometry();
    }
    return seen;
}

} // namespace

// On the dense screen every picture is the 2x one and everything has its place
// on the plain screen; moved there, the window takes the 1x pictures.
TEST_F(SkinOnTwoScreens, WindowTakesThePicturesOfItsScreenAndKeepsItsLayout)
{
    QScreen *plain = QGuiApplication::screens()[1];
    const auto window = mainWindow(QGuiApplication::primaryScreen());
    const auto [ratios, places] = look(*window);
    EXPECT_EQ(ratios, QList<qreal>(7, 2));
    EXPECT_EQ(places, look(*mainWindow(plain)).second);
    window->windowHandle()->setScreen(plain);
    EXPECT_EQ(look(*window), std::pair(QList<qreal>(7, 1), places));
}

TEST_F(SkinOnTwoScreens, MessageBoxTakesThe2xPictures)
{
    zekotest::whenOpen(*box, [&](messages::frmMensagem *f) {
        mouse::move(f->areaButton(1), {5, 5}); // its hover face shows
        EXPECT_EQ(look(*f).first, QList<qreal>(7, 2));
        EXPECT_EQ(f->findChild<QLabel *>("fximgLogo")->width(), skin::msgbox::kLogo.width);
        mouse::click(f->areaButton(2));
    });
    box->ExibeMensagem("Sair?", 4, 10, 1, true, QString(), 0);
}
