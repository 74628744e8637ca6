#include "shell/help/HelpWindow.h"
#include "common/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using shell::help::HelpWindow;

namespace {

QString helpFile(const QString &language)
{
    return QStringLiteral(ZEKO_APP_DIR "/Help/ZEKODwnl_%1.CHM").arg(language);
}

class HelpWindowTest : public ::testing::Test {
  protected:
    void TearDown() override { delete window.data(); }

    HelpWindow *show(const QString &path, const QString &language, int context = 1000)
    {
        window = HelpWindow::MostraAjuda(nullptr, path, language, context);
        return window;
    }
    QTextBrowser *browser() const { return window->findChild<QTextBrowser *>("topic"); }
    QTreeWidget *contents() const { return window->findChild<QTreeWidget *>("contents"); }
    QToolButton *button(const char *name) const { return window->findChild<QToolButton *>(name); }
    QLabel *error() const { return window->findChild<QLabel *>("error"); }

    QTemporaryDir dir;
    QPointer<HelpWindow> window;
};

} // namespace

// The help button opens the overview of the language's file, titled by its topic.
TEST_F(HelpWindowTest, OpensTheOverviewOfTheFile)
{
    ASSERT_TRUE(show(helpFile("ING"), "ING"));
    EXPECT_TRUE(browser()->isVisible());
    EXPECT_EQ(window->windowTitle(), "Welcome to ZEKO Download");
    EXPECT_EQ(window->currentTopic(), "/overview.html");
    EXPECT_TRUE(browser()->toPlainText().contains("Getting started"));

    ASSERT_EQ(contents()->topLevelItemCount(), 1);
    EXPECT_EQ(contents()->topLevelItem(0)->childCount(), 3);
    EXPECT_EQ(contents()->currentItem(), contents()->topLevelItem(0));
    EXPECT_FALSE(button("back")->isEnabled());
    EXPECT_FALSE(button("forward")->isEnabled());
}

// Links of a topic and entries of the contents lead to other topics inside the
// file, and back and forward retrace them.
TEST_F(HelpWindowTest, LinksContentsAndHistoryMoveBetweenTopics)
{
    ASSERT_TRUE(show(helpFile("ING"), "ING"));

    // The first link of the overview is "Install a book".
    browser()->setFocus();
    QTest::keyClick(browser(), Qt::Key_Tab);
    QTest::keyClick(browser(), Qt::Key_Return);
    EXPECT_EQ(window->windowTitle(), "Installing a book");
    EXPECT_TRUE(browser()->toPlainText().contains("Select book"));

    QTreeWidgetItem *opening = contents()->topLevelItem(0)->child(1);
    ASSERT_EQ(opening->text(0), "Opening a book");
    QTest::mouseClick(contents()->viewport(), Qt::LeftButton, {},
                      contents()->visualItemRect(opening).center());
    EXPECT_EQ(window->windowTitle(), "Opening a book");
    EXPECT_EQ(contents()->currentItem(), opening);

    QTest::mouseClick(button("back"), Qt::LeftButton);
    EXPECT_EQ(window->windowTitle(), "Installing a book");
    QTest::mouseClick(button("back"), Qt::LeftButton);
    EXPECT_EQ(window->windowTitle(), "Welcome to ZEKO Download");
    EXPECT_FALSE(button("back")->isEnabled());
    EXPECT_TRUE(button("forward")->isEnabled());
    QTest::mouseClick(button("forward"), Qt::LeftButton);
    EXPECT_EQ(window->windowTitle(), "Installing a book");
}

// A missing file is said by the window itself, naming the file, in the product's
// language; a file that is no help file likewise.
TEST_F(HelpWindowTest, MissingOrForeignFileIsReportedInTheWindow)
{
    const QString missing = dir.filePath("ZEKODwnl_POR.CHM");
    ASSERT_TRUE(show(missing, "POR"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(error()->isVisible());
    EXPECT_FALSE(browser()->isVisible());
    EXPECT_EQ(window->errorMessage(),
              QString::fromUtf8("O arquivo de ajuda %1 não foi encontrado.").arg(missing));
    EXPECT_EQ(window->windowTitle(), "Ajuda");
    EXPECT_EQ(window->file(), "");

    const QString text = dir.filePath("ZEKODwnl_ESP.CHM");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a help file\n");
    f.close();
    ASSERT_TRUE(show(text, "ESP"));
    EXPECT_TRUE(window->errorMessage().startsWith("No se pudo leer el archivo de ayuda " + text));
    EXPECT_EQ(window->windowTitle(), "Ayuda");
}

// A help file whose inside is broken is said to be damaged, which the manager
// survives to tell; here its LZX window size is zero, on which chmlib divides by zero.
TEST_F(HelpWindowTest, DamagedFileIsReportedInTheWindow)
{
    QFile real(helpFile("ING"));
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    QByteArray bytes = real.readAll();
    const qsizetype lzxc = bytes.indexOf("LZXC");
    ASSERT_GT(lzxc, 0);
    bytes.replace(lzxc + 0x0c, 4, QByteArray(4, '\0'));
    const QString damaged = dir.filePath("ZEKODwnl_ING.CHM");
    QFile f(damaged);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();

    ASSERT_TRUE(show(damaged, "ING"));
    EXPECT_TRUE(error()->isVisible());
    EXPECT_EQ(window->errorMessage(),
              QStringLiteral("The help file %1 is damaged and cannot be shown.").arg(damaged));
    EXPECT_EQ(window->windowTitle(), "Help");
}

// The name built from the language code need not match the file's letter case.
// A context number the file does not know opens its home topic.
TEST_F(HelpWindowTest, LowerCaseLanguageInTheNameStillFindsTheFile)
{
    ASSERT_TRUE(QFile::copy(helpFile("ING"), dir.filePath("ZEKODwnl_ING.CHM")));
    ASSERT_TRUE(show(dir.filePath("ZEKODwnl_ing.CHM"), "ing", 4242));
    EXPECT_EQ(window->errorMessage(), "");
    EXPECT_EQ(window->file(), dir.filePath("ZEKODwnl_ING.CHM"));
    EXPECT_EQ(window->windowTitle(), "Welcome to ZEKO Download");
}

// Help asked again brings up the same window on the asked topic, now showing a
// file that was missing before; another language replaces the window.
TEST_F(HelpWindowTest, OneWindowReusedUntilTheLanguageChanges)
{
    HelpWindow *first = show(dir.filePath("ZEKODwnl_ING.CHM"), "ING");
    ASSERT_TRUE(first);
    EXPECT_NE(window->errorMessage(), "");

    ASSERT_TRUE(QFile::copy(helpFile("ING"), dir.filePath("ZEKODwnl_ING.CHM")));
    EXPECT_EQ(show(dir.filePath("ZEKODwnl_ING.CHM"), "ING", 1020), first);
    EXPECT_TRUE(browser()->isVisible());
    EXPECT_EQ(window->windowTitle(), "Opening a book");
    EXPECT_EQ(window->errorMessage(), "");
    EXPECT_FALSE(button("back")->isEnabled());

    // Same topic names in another file: its own text must show, not the one seen before.
    EXPECT_EQ(show(helpFile("ESP"), "ING", 1020), first);
    EXPECT_EQ(window->windowTitle(), "Abrir un libro");

    QPointer<HelpWindow> old = first;
    ASSERT_TRUE(show(helpFile("POR"), "POR", 1020));
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(window->windowTitle(), "Abrir um livro");
    EXPECT_EQ(button("back")->text(), "Voltar");
}

// Pictures and style sheets a topic names relative to its folder come from
// inside the help file.
TEST_F(HelpWindowTest, PicturesAndStyleSheetsComeFromInsideTheFile)
{
    const QString chmcmd = QStandardPaths::findExecutable(QStringLiteral("chmcmd"));
    if (chmcmd.isEmpty())
        GTEST_SKIP() << "chmcmd (fp-utils) is not installed";
    const QString project = dir.filePath("project");
    QDir().mkpath(project + "/pages");
    QDir().mkpath(project + "/art");
    QImage green(7, 5, QImage::Format_RGB32);
    green.fill(Qt::green);
    ASSERT_TRUE(green.save(project + "/art/pic.png"));
    const std::pair<const char *, const char *> sources[] = {
        {"art/help.css", "h1 { color: #ff0000; }"},
        {"pages/topic.html", "<html><head><title>Styled</title><link rel=\"stylesheet\" type=\"text/css\" "
                             "href=\"../art/help.css\">"
                             "</head><body><h1>Red</h1><p><img src=\"../art/pic.png\"></p></body></html>"},
        {"p.hhp", "[OPTIONS]\nCompiled file=p.chm\nDefault topic=pages/topic.html\n\n"
                  "[FILES]\npages/topic.html\nart/help.css\nart/pic.png\n"},
    };
    for (const auto &[name, text] : sources) {
        QFile f(project + '/' + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QProcess compiler;
    compiler.setWorkingDirectory(project);
    compiler.start(chmcmd, {QStringLiteral("p.hhp")});
    ASSERT_TRUE(compiler.waitForFinished(60000));
    // Only the compiled file can serve them now.
    QFile::remove(project + "/art/pic.png");
    QFile::remove(project + "/art/help.css");

    ASSERT_TRUE(show(project + "/p.chm", "ING"));
    EXPECT_EQ(window->windowTitle(), "Styled");
    EXPECT_EQ(window->currentTopic(), "/pages/topic.html");

    QTextDocument *doc = browser()->document();
    const QTextBlock heading = doc->firstBlock();
    ASSERT_EQ(heading.text(), "Red");
    EXPECT_EQ(heading.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));

    const QTextCharFormat picture = heading.next().begin().fragment().charFormat();
    ASSERT_TRUE(picture.isImageFormat());
    const QString imageName = picture.toImageFormat().name();
    ASSERT_EQ(imageName, "../art/pic.png");
    const QVariant image = doc->resource(QTextDocument::ImageResource, QUrl(imageName));
    ASSERT_TRUE(image.isValid());
    const QImage loaded = image.userType() == QMetaType::QByteArray ? QImage::fromData(image.toByteArray())
                                                                    : image.value<QImage>();
    EXPECT_EQ(loaded.size(), QSize(7, 5));
}
