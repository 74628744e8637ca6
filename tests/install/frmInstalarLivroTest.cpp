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
#include "shell/Navegacao.h"
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
        principal = std::make_unique<shell::frmPrincipal>(state, *drives, box, [] {});
        QString error;
        ASSERT_TRUE(principal->carrega(&error)) << error.toStdString();
    }
    void open()
    {
        janela = std::make_unique<frmInstalarLivro>(wine, state, *drives, box, &choice, [this] { ++ended; });
        QString error;
        ASSERT_TRUE(janela->carrega(&error)) << error.toStdString();
    }
    void TearDown() override
    {
        janela.reset();
        principal.reset();
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
        const QPoint at = janela->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(janela.get(), &enter);
        if (!enter.isAccepted())
            return;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(janela.get(), &dropped);
    }

    QTemporaryDir zips;
    ScriptedChoice choice;
    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<shell::frmPrincipal> principal;
    std::unique_ptr<frmInstalarLivro> janela;
    int ended = 0;
};

} // namespace

// The load step: the books folder in message 27, the window in front, the main window hidden.
TEST_F(frmInstalarLivroTest, LoadStep)
{
    open();
    EXPECT_EQ(state.strNomeForm, "frmInstalarLivro");
    EXPECT_EQ(janela->FXLblDisponivel()->text(),
              texto(code::InstallInformation, {" [C:\\ZEKO_Download\\Download\\]"}));
    EXPECT_EQ(janela->FXLblMensagem()->text(), "");
    EXPECT_FALSE(janela->tmrMsg()->isActive());
    EXPECT_EQ(janela->size(), QSize(9180, 3765) / 15);
    EXPECT_TRUE(janela->isVisible());
    EXPECT_FALSE(principal->isVisible());
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
        if (janela->tmrMsg()->isActive()) {
            QList<bool> states;
            for (int b = Procurar; b <= Sair; ++b)
                states << janela->botaoHabilitado(b);
            seen << states;
        }
    });
    sampler.start(1);
    mouse::click(janela->Botao(Procurar));
    sampler.stop();
    EXPECT_EQ(box.texts(), QStringList{texto(code::BookInstalled, {"Grande", "Y"})});
    ASSERT_FALSE(seen.isEmpty()) << "the event loop never ran during the extraction";
    EXPECT_EQ(seen.first(), QList<bool>({false, false, false, true, true, false}));
    for (int b = Procurar; b <= Sair; ++b)
        EXPECT_TRUE(janela->botaoHabilitado(b)) << b;
    EXPECT_FALSE(janela->tmrMsg()->isActive());
    EXPECT_EQ(janela->FXLblMensagem()->text(), texto(code::InstallUnpacked, {"Grande"}));
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
    mouse::click(janela->Botao(Principal));
    EXPECT_TRUE(principal->isVisible());
    EXPECT_FALSE(janela->isVisible());
    EXPECT_EQ(state.strNomeForm, "frmPrincipal");

    open();
    registerBook("MARIA", "Livro1", "X:", makeBook("Livro1"));
    link('X', unixOf("C:\\ZEKO_Download\\Download\\Livro1"));
    box.answer({1});
    mouse::click(janela->Botao(Sair));
    EXPECT_EQ(box.texts(), QStringList{descricao(code::ConfirmExit)});
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(mapped('X').isEmpty());
}

// Main window -> install window -> book list -> install window -> main window:
// one window in front at a time, each load step unloading the other.
TEST_F(frmInstalarLivroTest, WindowsLeadToOneAnother)
{
    shell::Navegacao nav(
        wine, state, *drives, box, *principal, "/opt/zeko", [](QWidget *) {}, [] {});
    auto only = [&](const QString &name) {
        for (const QString &w : {QStringLiteral("frmPrincipal"), QStringLiteral("frmAbrirLivro"),
                                 QStringLiteral("frmInstalarLivro")}) {
            shell::SkinnedWindow *window = shell::SkinnedWindow::porNome(w);
            EXPECT_EQ(window && window->isVisible(), w == name)
                << w.toStdString() << " with " << name.toStdString();
        }
        EXPECT_EQ(state.strNomeForm, name);
    };
    mouse::click(principal->Botao(2));
    only("frmInstalarLivro");
    mouse::click(shell::SkinnedWindow::porNome("frmInstalarLivro")->Botao(Livro));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    only("frmAbrirLivro");
    EXPECT_EQ(shell::SkinnedWindow::porNome("frmInstalarLivro"), nullptr);
    mouse::click(shell::SkinnedWindow::porNome("frmAbrirLivro")->Botao(2));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    only("frmInstalarLivro");
    mouse::click(shell::SkinnedWindow::porNome("frmInstalarLivro")->Botao(Principal));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    only("frmPrincipal");
}
