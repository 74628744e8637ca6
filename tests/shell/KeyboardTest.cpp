// The three windows and the message box used with the keyboard alone, and what
// a screen reader is told of them: the real windows as Navigation makes them,
// the real message box, keys sent where the window system sends them (the
// focus widget of the active window).

#include "books/frmAbrirLivro.h"
#include "common/ManagerFixture.h"
#include "common/QtPrinters.h"
#include "common/RecordingPlatform.h"
#include "common/WhenOpen.h"
#include "drive/MountDrive.h"
#include "install/frmInstalarLivro.h"
#include "messages/Codes.h"
#include "messages/SkinnedMessageBox.h"
#include "messages/frmMensagem.h"
#include "shell/Navigation.h"
#include "shell/frmPrincipal.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace code = messages::code;
namespace hint = messages::hint;
using shell::skin::SkinnedWindow;

namespace {

// What the window system does with a key typed now, once it has given the
// keyboard to the window that asked for it last.
void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QCoreApplication::processEvents();
    QWidget *to = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    ASSERT_TRUE(to) << "no window takes the keyboard";
    QTest::keyClick(to, key, modifiers);
}

QString focusName()
{
    QCoreApplication::processEvents();
    const QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QStringLiteral("(none)");
}

// The focus after each Tab, once round the window and back to where it began.
QStringList tabRound(int steps, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QStringList visited;
    for (int i = 0; i < steps; ++i) {
        type(Qt::Key_Tab, modifiers);
        visited << focusName();
    }
    return visited;
}

class KeyboardTest : public ManagerFixture {
  protected:
    explicit KeyboardTest(const char *language = "POR")
        : ManagerFixture(language)
        , recording(prefix.prefix(), "maria")
    {
    }
    platform::Platform *platform() override { return &recording; }
    void SetUp() override
    {
        ManagerFixture::SetUp();
        registerBook("MARIA", "Basico", "X:", makeBook("Basico"));
        realBox = std::make_unique<messages::SkinnedMessageBox>(state, recording);
        drives = std::make_unique<drive::MountDrive>(recording, state, *realBox);
        mainWindow = std::make_unique<shell::frmPrincipal>(state, *drives, *realBox, [this] { ++ended; });
        QString error;
        ASSERT_TRUE(mainWindow->load(&error)) << error.toStdString();
        nav = std::make_unique<shell::Navigation>(
            recording, state, *drives, *realBox, *mainWindow, "/opt/zeko", [](QWidget *) {},
            [this] { ++ended; });
        QApplication::setActiveWindow(mainWindow.get());
    }
    void TearDown() override
    {
        for (const char *name : {"frmAbrirLivro", "frmInstalarLivro"})
            while (SkinnedWindow *w = SkinnedWindow::byName(name))
                delete w;
        nav.reset();
        mainWindow.reset();
        drives.reset();
        realBox.reset();
    }
    static void deferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    void whenOpen(std::function<void(messages::frmMensagem *)> action)
    {
        zekotest::whenOpen(*realBox, std::move(action));
    }
    static SkinnedWindow *shown(const char *name)
    {
        SkinnedWindow *w = SkinnedWindow::byName(name);
        return w && w->isVisible() ? w : nullptr;
    }

    RecordingPlatform recording;
    std::unique_ptr<messages::SkinnedMessageBox> realBox;
    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<shell::frmPrincipal> mainWindow;
    std::unique_ptr<shell::Navigation> nav;
    int ended = 0;
};

} // namespace

// Tab and Shift+Tab go round each window's enabled controls in reading order,
// the title bar's minimise and exit last; Enter presses the focused button, Esc
// leaves the book list and the install window as "Principal" does.
TEST_F(KeyboardTest, TabOrderEnterAndEscThroughTheWindows)
{
    EXPECT_EQ(focusName(), "Botao1");
    EXPECT_EQ(tabRound(5), QStringList({"Botao2", "Botao3", "Botao4", "Botao5", "Botao1"}));
    // Tabbed to, a button shows its hint as the pointer over it would.
    EXPECT_TRUE(QTest::qWaitFor([this] { return mainWindow->hint()->isVisible(); }, 2000));
    EXPECT_EQ(mainWindow->hint()->text(), state.catalogue->hint(hint::MyBooks));
    EXPECT_EQ(tabRound(2, Qt::ShiftModifier), QStringList({"Botao5", "Botao4"}));

    // Back on the first button, Enter opens the book list, its list focused.
    tabRound(2);
    ASSERT_EQ(focusName(), "Botao1");
    type(Qt::Key_Return);
    SkinnedWindow *list = shown("frmAbrirLivro");
    ASSERT_TRUE(list);
    EXPECT_FALSE(mainWindow->isVisible());
    EXPECT_EQ(focusName(), "cbZEKO");
    // No book chosen: open (5) and remove (1) are left out.
    EXPECT_EQ(tabRound(6), QStringList({"Botao2", "Botao3", "Botao4", "Botao6", "Botao7", "cbZEKO"}));
    type(Qt::Key_Down);
    EXPECT_EQ(qobject_cast<books::frmAbrirLivro *>(list)->cbZEKO()->currentIndex(), 1);
    EXPECT_EQ(tabRound(3), QStringList({"Botao5", "Botao1", "Botao2"}));

    type(Qt::Key_Escape);
    deferredDeletes();
    EXPECT_EQ(SkinnedWindow::byName("frmAbrirLivro"), nullptr);
    EXPECT_TRUE(mainWindow->isVisible());
    EXPECT_EQ(focusName(), "Botao1") << "the main window keeps its focus across the visit";

    // The install window: its own order, disabled buttons skipped while they are.
    type(Qt::Key_Tab);
    type(Qt::Key_Space);
    SkinnedWindow *installWindow = shown("frmInstalarLivro");
    ASSERT_TRUE(installWindow);
    EXPECT_EQ(focusName(), "Botao1");
    EXPECT_EQ(tabRound(6), QStringList({"Botao2", "Botao3", "Botao4", "Botao5", "Botao6", "Botao1"}));
    for (int button : {1, 2, 3, 6})
        installWindow->HabilitaBotao(button, false);
    EXPECT_EQ(focusName(), "Botao4") << "the focused button was disabled: the focus moves on";
    EXPECT_EQ(tabRound(2), QStringList({"Botao5", "Botao4"}));
    type(Qt::Key_Escape);
    deferredDeletes();
    EXPECT_TRUE(shown("frmInstalarLivro")) << "Esc is \"Principal\", which is disabled";
    for (int button : {1, 2, 3, 6})
        installWindow->HabilitaBotao(button, true);
    EXPECT_EQ(focusName(), "Botao1") << "the button disabled under the focus has it back";
    type(Qt::Key_Escape);
    deferredDeletes();
    EXPECT_EQ(SkinnedWindow::byName("frmInstalarLivro"), nullptr);
    EXPECT_TRUE(mainWindow->isVisible());

    // Esc on the main window starts nothing, the exit above all.
    type(Qt::Key_Escape);
    EXPECT_EQ(realBox->form(), nullptr);
    EXPECT_EQ(ended, 0);
}

// The arrow keys choose a book and Enter on the list opens it, as OK does; a
// button pressed by a key shows its pressed face until the key goes up.
TEST_F(KeyboardTest, EnterOnTheListOpensTheChosenBook)
{
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(QFileInfo(mainWindow->buttonImage(1)).fileName(), "T01_BT01_MC.jpg");
    EXPECT_FALSE(shown("frmAbrirLivro")) << "the button acts when the key goes up";
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Space);
    ASSERT_TRUE(shown("frmAbrirLivro"));

    type(Qt::Key_Return); // entry 0: nothing to open
    EXPECT_TRUE(recording.starts.isEmpty());
    type(Qt::Key_Down);
    type(Qt::Key_Return);
    ASSERT_EQ(recording.starts.size(), 1);
    EXPECT_EQ(recording.starts[0].program, "/opt/zeko/LoadZEKOV.EXE");
    EXPECT_EQ(recording.starts[0].arguments, QStringList{"X:"});
}

// The exit question by keys: it opens with its first face focused, Tab moves
// to the second, Esc answers "no" and the window has its focus back for the
// next key; Enter answers yes.
TEST_F(KeyboardTest, ExitQuestionByKeys)
{
    type(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(focusName(), "Botao5");
    QString first, second;
    whenOpen([&](messages::frmMensagem *f) {
        first = focusName();
        type(Qt::Key_Tab);
        second = focusName();
        type(Qt::Key_Escape);
        EXPECT_TRUE(f->isHidden());
    });
    type(Qt::Key_Return);
    EXPECT_EQ(first, "AreaButton1");
    EXPECT_EQ(second, "AreaButton2");
    EXPECT_EQ(state.intBotaoMsg, 2);
    EXPECT_EQ(ended, 0);
    deferredDeletes();
    EXPECT_TRUE(mainWindow->isEnabled());
    EXPECT_EQ(focusName(), "Botao5");

    whenOpen([](messages::frmMensagem *) { type(Qt::Key_Enter, Qt::KeypadModifier); });
    type(Qt::Key_Space);
    EXPECT_EQ(state.intBotaoMsg, 1);
    EXPECT_EQ(ended, 1);
}

// Enter answers a box's first face, Esc its cancel, close or "no" face; a box
// without one of those ignores Esc. Space presses the focused face.
TEST_F(KeyboardTest, MessageBoxAnswersByBoxType)
{
    struct Case {
        int tipoCaixa;
        int escAnswer; // 0: Esc leaves the box open
    };
    for (const Case c : {Case{1, 0}, {2, 2}, {3, 2}, {4, 2}, {5, 3}, {6, 3}, {7, 0}, {10, 3}, {14, 0}}) {
        int afterEsc = -1;
        whenOpen([&](messages::frmMensagem *f) {
            type(Qt::Key_Escape);
            afterEsc = f->isVisible() ? 0 : state.intBotaoMsg;
            if (f->isVisible())
                type(Qt::Key_Return);
        });
        realBox->ExibeMensagem("Pergunta?", c.tipoCaixa, 10, 1, true, QString(), 0);
        EXPECT_EQ(afterEsc, c.escAnswer) << "box type " << c.tipoCaixa;
        EXPECT_EQ(state.intBotaoMsg, c.escAnswer ? c.escAnswer : 1) << "box type " << c.tipoCaixa;
    }

    whenOpen([](messages::frmMensagem *) {
        type(Qt::Key_Tab);
        type(Qt::Key_Tab);
        type(Qt::Key_Space);
    });
    realBox->ExibeMensagem("Sim, não ou cancelar?", 5, 10, 1, true, QString(), 0);
    EXPECT_EQ(state.intBotaoMsg, 3);

    // A box without faces: Esc leaves it, Enter closes it as a click does.
    bool stayed = false;
    whenOpen([&](messages::frmMensagem *f) {
        type(Qt::Key_Escape);
        stayed = f->isVisible();
        type(Qt::Key_Return);
    });
    realBox->ExibeMensagem("Aguarde", 0, 10, 1, true, QString(), 0);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(state.intBotaoMsg, 1);
}

// A report over a waiting question takes the keys; once it is answered they go
// back to the question under it.
TEST_F(KeyboardTest, KeysReturnToTheBoxUnderneath)
{
    int noticeAnswer = -1;
    whenOpen([&](messages::frmMensagem *) {
        whenOpen([](messages::frmMensagem *) { type(Qt::Key_Return); });
        realBox->ExibeMensagem("Aviso", 1, 10, 1, true, QString(), 0);
        noticeAnswer = state.intBotaoMsg;
        type(Qt::Key_Escape);
    });
    realBox->ExibeMensagem("Sair?", 4, 10, 1, true, QString(), 0);
    EXPECT_EQ(noticeAnswer, 1);
    EXPECT_EQ(state.intBotaoMsg, 2);
}

// A folder box: its entry has the focus, and Enter answers only once it names a
// folder; Tab reaches its faces after the entry.
TEST_F(KeyboardTest, FolderBoxByKeys)
{
    bool emptyStayed = false;
    QString afterEntry;
    whenOpen([&](messages::frmMensagem *f) {
        EXPECT_EQ(focusName(), "txtProcuraDir");
        f->txtProcuraDir()->clear();
        type(Qt::Key_Return);
        emptyStayed = f->isVisible();
        QTest::keyClicks(f->txtProcuraDir(), "C:\\Livros\\");
        type(Qt::Key_Tab);
        afterEntry = focusName();
        type(Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_EQ(focusName(), "txtProcuraDir");
        type(Qt::Key_Return);
    });
    realBox->ExibeMensagem("Pasta:", 19, 10, 1, true, QString(), 0);
    EXPECT_TRUE(emptyStayed);
    EXPECT_EQ(afterEntry, "AreaButton1");
    EXPECT_EQ(state.intBotaoMsg, 1);
    EXPECT_EQ(state.strPastaEscolhida, "C:\\Livros");
}

namespace {

class AccessibleTest : public KeyboardTest, public ::testing::WithParamInterface<const char *> {
  protected:
    AccessibleTest()
        : KeyboardTest(GetParam())
    {
    }
    static QAccessibleInterface *of(QObject *o) { return QAccessible::queryAccessibleInterface(o); }
    // Each button is a button named and described by its hint, disabled exactly when the window disabled it.
    void expectButtons(SkinnedWindow *w, const QList<int> &hints)
    {
        for (int i = 1; i <= w->buttonCount(); ++i) {
            QAccessibleInterface *a = of(w->Botao(i));
            ASSERT_TRUE(a);
            EXPECT_EQ(a->role(), QAccessible::Button) << w->name().toStdString() << " " << i;
            EXPECT_EQ(a->text(QAccessible::Name), state.catalogue->hint(hints[i - 1]))
                << w->name().toStdString() << " " << i;
            EXPECT_EQ(a->text(QAccessible::Description), state.catalogue->hint(hints[i - 1]));
            EXPECT_EQ(a->state().disabled, !w->buttonEnabled(i)) << w->name().toStdString() << " " << i;
        }
    }
};

} // namespace

// In each language, every picture button and window says what the catalogue
// says of it; the list's entries are read as shown; the message box gives its
// text without markup and each face's caption; the press action presses.
TEST_P(AccessibleTest, NamesComeFromTheCatalogue)
{
    EXPECT_EQ(of(mainWindow.get())->text(QAccessible::Name), descricao(code::MainTitle));
    expectButtons(mainWindow.get(),
                  {hint::MyBooks, hint::InstallBook, hint::Help, hint::Minimize, hint::Exit});

    of(mainWindow->Botao(1))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    auto *list = qobject_cast<books::frmAbrirLivro *>(shown("frmAbrirLivro"));
    ASSERT_TRUE(list) << "the press action did not open the book list";
    EXPECT_EQ(of(list)->text(QAccessible::Name), descricao(code::BookListTitle));
    expectButtons(list, {hint::RemoveBook, hint::InstallBook, hint::BackToMain, hint::Help, hint::OpenBook,
                         hint::Minimize, hint::Exit});
    QAccessibleInterface *entries = of(list->cbZEKO());
    EXPECT_EQ(entries->text(QAccessible::Name), "[" + descricao(code::BookListFirstEntry) + "]");
    const auto labels = entries->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), descricao(code::BookListInformation));
    ASSERT_EQ(entries->childCount(), 1); // the list view that holds the entries
    QAccessibleInterface *view = entries->child(0);
    ASSERT_EQ(view->childCount(), 2);
    EXPECT_EQ(view->child(1)->text(QAccessible::Name), "Basico [ X: ]");
    // A disabled button offers no action.
    EXPECT_TRUE(of(list->Botao(5))->actionInterface()->actionNames().isEmpty());

    of(list->Botao(2))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    SkinnedWindow *installWindow = shown("frmInstalarLivro");
    ASSERT_TRUE(installWindow);
    EXPECT_EQ(of(installWindow)->text(QAccessible::Name), state.catalogue->hint(hint::InstallBook));
    expectButtons(installWindow,
                  {hint::SelectZip, hint::MyBooks, hint::BackToMain, hint::Help, hint::Minimize, hint::Exit});

    const QString language = GetParam();
    const QStringList faces = language == "ING"   ? QStringList{"Yes", "No"}
                              : language == "ESP" ? QStringList{"Sí", "No"}
                                                  : QStringList{"Sim", "Não"};
    whenOpen([&](messages::frmMensagem *f) {
        EXPECT_EQ(of(f->mensagemRtf())->text(QAccessible::Name), "Remover o livro Basico?");
        EXPECT_EQ(of(f)->text(QAccessible::Description), "Remover o livro Basico?");
        for (int n : {1, 2}) {
            QAccessibleInterface *face = of(f->areaButton(n));
            EXPECT_EQ(face->role(), QAccessible::Button);
            EXPECT_EQ(face->text(QAccessible::Name), faces[n - 1]);
        }
        of(f->areaButton(2))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    });
    realBox->ExibeMensagem("Remover o livro #Basico|?", 4, 10, 1, true, QString(), 0);
    EXPECT_EQ(state.intBotaoMsg, 2);
}

INSTANTIATE_TEST_SUITE_P(Languages, AccessibleTest, ::testing::Values("POR", "ESP", "ING"));
