// The install window on Qt's offscreen platform, and the way the three windows
// lead to one another.

#include "install/frmInstalarLivro.h"
#include "books/frmAbrirLivro.h"
#include "common/InstallDoubles.h"
#include "common/ManagerFixture.h"
#include "common/MouseEvents.h"
#include "common/QtPrinters.h"
#include "common/ZipBuilder.h"
#include "drive/MountDrive.h"
#include "messages/Codes.h"
#include "shell/Navigation.h"
#include "shell/frmPrincipal.h"

#include <QMimeData>
#include <QTest>
#include <QUrl>

namespace code = messages::code;

using install::frmInstalarLivro;

namespace {

enum { Procurar = 1, Livro, Principal, Help, Minimizar, Sair };

class frmInstalarLivroTest : public ManagerFixture {
  protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        drives = std::make_unique<drive::MountDrive>(wine, state, box);
        mainWindow = std::make_unique<shell::frmPrincipal>(state, *drives, box, [] {});
        QString error;
        ASSERT_TRUE(mainWindow->load(&error)) << error.toStdString();
    }
    void open()
    {
        window = std::make_unique<frmInstalarLivro>(wine, state, *drives, box, &choice, [this] { ++ended; });
        QString error;
        ASSERT_TRUE(window->load(&error)) << error.toStdString();
    }
    void TearDown() override
    {
        window.reset();
        mainWindow.reset();
        drives.reset();
    }
    QString bookZip(const QString &name, int padding = 0)
    {
        ZipBuilder zip(zips.path() + "/" + name);
        zip.file("Autorun.exe", "MZ");
        zip.file("Idioma.kvt", "POR");
        for (int i = 0; i < padding; ++i)
            zip.file(QStringLiteral("Midia/%1.bin").arg(i).toUtf8(), QByteArray(1 << 20, char(i)), true);
        return zip.close();
    }
    void drop(const QString &file)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        const QPoint at = window->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted())
            return;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &dropped);
    }

    QTemporaryDir zips;
    ScriptedChoice choice;
    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<shell::frmPrincipal> mainWindow;
    std::unique_ptr<frmInstalarLivro> window;
    int ended = 0;
};

} // namespace

// The load step: the books folder in message 27, the window in front, the main window hidden.
TEST_F(frmInstalarLivroTest, LoadStep)
{
    open();
    EXPECT_EQ(state.strNomeForm, "frmInstalarLivro");
    EXPECT_EQ(window->FXLblDisponivel()->text(),
              texto(code::InstallInformation, {" [C:\\ZEKO_Download\\Download\\]"}));
    EXPECT_EQ(window->FXLblMensagem()->text(), "");
    EXPECT_FALSE(window->tmrMsg()->isActive());
    EXPECT_EQ(window->size(), QSize(9180, 3765) / 15);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(mainWindow->isVisible());
}

// While a book is extracted, choose, book list, main window and exit are
// disabled and the dots run; help and minimise stay. Afterwards all is back.
TEST_F(frmInstalarLivroTest, ButtonsDuringAnInstallation)
{
    open();
    choice.next = bookZip("Grande.zip", 60);
    QList<QList<bool>> seen;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (window->tmrMsg()->isActive()) {
            QList<bool> states;
            for (int b = Procurar; b <= Sair; ++b)
                states << window->buttonEnabled(b);
            seen << states;
        }
    });
    sampler.start(1);
    mouse::click(window->Botao(Procurar));
    sampler.stop();
    EXPECT_EQ(box.texts(), QStringList{texto(code::BookInstalled, {"Grande", "Y"})});
    ASSERT_FALSE(seen.isEmpty()) << "the event loop never ran during the extraction";
    EXPECT_EQ(seen.first(), QList<bool>({false, false, false, true, true, false}));
    for (int b = Procurar; b <= Sair; ++b)
        EXPECT_TRUE(window->buttonEnabled(b)) << b;
    EXPECT_FALSE(window->tmrMsg()->isActive());
    EXPECT_EQ(window->FXLblMensagem()->text(), texto(code::InstallUnpacked, {"Grande"}));
}

// The buttons an install disables show their own disabled pictures, and their
// normal ones once enabled again.
TEST_F(frmInstalarLivroTest, DisabledButtonsShowTheirDisabledPictures)
{
    open();
    const std::pair<int, QString> stems[] = {
        {Procurar, "BT01"}, {Livro, "BT02"}, {Principal, "BT03"}, {Sair, "SAI"}};
    for (const auto &[button, stem] : stems) {
        window->HabilitaBotao(button, false);
        EXPECT_FALSE(window->buttonEnabled(button));
        EXPECT_EQ(QFileInfo(window->buttonImage(button)).fileName(), "T03_" + stem + "_DS.jpg");
        window->HabilitaBotao(button, true);
        EXPECT_TRUE(window->buttonEnabled(button));
        EXPECT_EQ(QFileInfo(window->buttonImage(button)).fileName(), "T03_" + stem + "_NM.jpg");
    }
}

// A ZIP file dropped on the window installs as if chosen; anything else is not taken.
TEST_F(frmInstalarLivroTest, DroppedZipInstalls)
{
    open();
    const QString other = zips.path() + "/notas.txt";
    ZipBuilder::write(other, "not a book");
    drop(other);
    EXPECT_TRUE(box.shown.isEmpty());
    drop(bookZip("Solto.ZIP"));
    EXPECT_EQ(box.texts(), QStringList{texto(code::BookInstalled, {"Solto", "Y"})});
    EXPECT_TRUE(QFileInfo(prefix.driveC() + "/ZEKO_Download/Download/Solto/Autorun.exe").isFile());
}

// "Principal" goes back; "Sair" asks, then releases the drives and ends, with no
// check of the course.
TEST_F(frmInstalarLivroTest, PrincipalAndExit)
{
    open();
    mouse::click(window->Botao(Principal));
    EXPECT_TRUE(mainWindow->isVisible());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(state.strNomeForm, "frmPrincipal");

    open();
    registerBook("MARIA", "Livro1", "X:", makeBook("Livro1"));
    link('X', unixOf("C:\\ZEKO_Download\\Download\\Livro1"));
    box.answer({1});
    mouse::click(window->Botao(Sair));
    EXPECT_EQ(box.texts(), QStringList{descricao(code::ConfirmExit)});
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(mapped('X').isEmpty());
}

// Main window -> install window -> book list -> install window -> main window:
// one window in front at a time, each load step unloading the other.
TEST_F(frmInstalarLivroTest, WindowsLeadToOneAnother)
{
    shell::Navigation nav(
        wine, state, *drives, box, *mainWindow, "/opt/zeko", [](QWidget *) {}, [] {});
    auto only = [&](const QString &name) {
        for (const QString &w : {QStringLiteral("frmPrincipal"), QStringLiteral("frmAbrirLivro"),
                                 QStringLiteral("frmInstalarLivro")}) {
            shell::skin::SkinnedWindow *shown = shell::skin::SkinnedWindow::byName(w);
            EXPECT_EQ(shown && shown->isVisible(), w == name)
                << w.toStdString() << " with " << name.toStdString();
        }
        EXPECT_EQ(state.strNomeForm, name);
    };
    mouse::click(mainWindow->Botao(2));
    only("frmInstalarLivro");
    mouse::click(shell::skin::SkinnedWindow::byName("frmInstalarLivro")->Botao(Livro));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    only("frmAbrirLivro");
    EXPECT_EQ(shell::skin::SkinnedWindow::byName("frmInstalarLivro"), nullptr);
    mouse::click(shell::skin::SkinnedWindow::byName("frmAbrirLivro")->Botao(2));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    only("frmInstalarLivro");
    mouse::click(shell::skin::SkinnedWindow::byName("frmInstalarLivro")->Botao(Principal));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    only("frmPrincipal");
}
