// The check of what the start-up leaves, on a prefix laid out on disk: what it
// finds, what it must never take for litter, and what a repair leaves behind.

#include "books/BookCheck.h"
#include "common/ManagerFixture.h"
#include "common/QtPrinters.h"
#include "shell/ScratchFolder.h"

#include <sys/stat.h>
#include <unistd.h>

using books::BookCheck;
using Kind = BookCheck::Kind;

namespace {

class BookCheckTest : public ManagerFixture {
  protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        download = unixOf("C:\\ZEKO_Download\\Download");
        registerBook("MARIA", "Basico", "X:", makeBook("Basico"));
        link('X', download + "/Basico");
        check = std::make_unique<BookCheck>(wine, state);
    }
    // Each finding as its kind and the path the user is shown.
    std::vector<std::pair<Kind, QString>> found()
    {
        QString error;
        const auto findings = check->find(&error);
        EXPECT_TRUE(findings) << error.toStdString();
        std::vector<std::pair<Kind, QString>> list;
        for (const BookCheck::Finding &f : findings.value_or(std::vector<BookCheck::Finding>{}))
            list.emplace_back(f.kind, f.shown);
        return list;
    }
    QString download;
    std::unique_ptr<BookCheck> check;
};

const QString kShown = "C:\\ZEKO_Download\\Download\\";

} // namespace

// Every kind is found, and only what is nobody's: another user's book (also one
// level down), a second letter on the user's own book, a letter outside the
// download folder or on the folder itself, a working folder a living process
// holds and book files spelt in other letter cases are all left out. A repair
// mends all but the rows, without following a link out of the download folder.
TEST_F(BookCheckTest, FindsWhatNobodyOwnsAndRepairMendsIt)
{
    QTemporaryDir outside;
    prefix.writeFile(outside.path() + "/keep.txt", "k");
    link('Y', download + "/Basico");
    registerBook("JOAO", "Dela", "D:", makeBook("Dela"));
    prefix.writeFile(download + "/Pai/Filho/Autorun.exe", "MZ");
    registerBook("JOAO", "Filho", "E:", kShown + "Pai\\Filho");
    makeBook("Velho");
    link('W', download + "/Velho");
    link('V', download + "/Sumido");
    link('U', outside.path());
    link('T', download);
    // Left by an installation killed after it made a read-only folder.
    prefix.writeFile(download + "/.zeko-staging-aaaaaaaaaa/Sons/som.wav", "s");
    ASSERT_EQ(::chmod(QFile::encodeName(download + "/.zeko-staging-aaaaaaaaaa/Sons").constData(), 0555), 0);
    const shell::ScratchFolder running =
        shell::ScratchFolder::create(download, shell::ScratchFolder::Kind::Staging);
    ASSERT_TRUE(running.isValid());
    ASSERT_TRUE(QFile::link(outside.path(), download + "/.zeko-removing-bbbbbbbbbb"));
    prefix.writeFile(download + "/Leve/autorun.EXE", "MZ");
    prefix.writeFile(download + "/Leve/IDIOMA.kvt", "POR");
    registerBook("MARIA", "Leve", "S:", "C:\\ZEKO_Download\\Download\\leve");
    prefix.writeFile(download + "/Quebrado/Autorun.exe", "MZ");
    registerBook("MARIA", "Quebrado", "R:", "C:\\ZEKO_Download\\Download\\Quebrado");
    registerBook("MARIA", "Sumiu", "Q:", "C:\\ZEKO_Download\\Download\\Sumiu");
    prefix.writeFile(download + "/Baixado.zip", "PK");

    const std::vector<std::pair<Kind, QString>> expected = {
        {Kind::StrayDrive, kShown + "Sumido"},
        {Kind::StrayDrive, kShown + "Velho"},
        {Kind::RemovalLeftover, kShown + ".zeko-removing-bbbbbbbbbb"},
        {Kind::StagingLeftover, kShown + ".zeko-staging-aaaaaaaaaa"},
        {Kind::UnregisteredFolder, kShown + "Velho"},
        {Kind::NotABook, kShown + "Quebrado"},
        {Kind::MissingFolder, kShown + "Sumiu"},
    };
    ASSERT_EQ(found(), expected);

    const std::vector<BookCheck::Finding> findings = check->find().value();
    for (const BookCheck::Finding &f : findings) {
        const BookCheck::RepairOutcome r = check->repair(f);
        const bool row = f.kind == Kind::NotABook || f.kind == Kind::MissingFolder;
        EXPECT_EQ(r.failure(), row ? BookCheck::RepairFailure::NotRepairable : BookCheck::RepairFailure::None)
            << f.shown.toStdString() << ": " << r.reason().toStdString();
    }
    EXPECT_EQ(found(), std::vector(expected.end() - 2, expected.end()));
    EXPECT_FALSE(QFileInfo(prefix.root() + "/dosdevices/w:").isSymLink());
    EXPECT_FALSE(QFileInfo(prefix.root() + "/dosdevices/v:").isSymLink());
    for (QChar kept : {u'X', u'Y', u'U', u'T'})
        EXPECT_TRUE(QFileInfo(prefix.root() + "/dosdevices/" + kept.toLower() + ":").isSymLink())
            << kept.toLatin1();
    EXPECT_TRUE(QFileInfo(outside.path() + "/keep.txt").isFile());
    EXPECT_TRUE(QFileInfo(running.path()).isDir());
    // Nothing of Velho stays, under its name or the one it was deleted under.
    EXPECT_EQ(QDir(download).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({QFileInfo(running.path()).fileName(), "Baixado.zip", "Basico", "Dela", "Leve",
                           "Pai", "Quebrado"}));
}

// A folder that a book took meanwhile (another user's installation registering
// it) is kept; one whose files cannot all go is reported as not repaired and
// stays a removal leftover, which the next start finishes.
TEST_F(BookCheckTest, FolderRegisteredMeanwhileOrUndeletableIsKept)
{
    makeBook("Velho");
    makeBook("Preso");
    const std::vector<BookCheck::Finding> findings = check->find().value();
    ASSERT_EQ(findings.size(), 2u);
    registerBook("JOAO", "Velho", "X:", kShown + "VELHO");
    EXPECT_EQ(check->repair(findings[1]).failure(), BookCheck::RepairFailure::InUse);
    EXPECT_TRUE(QFileInfo(download + "/Velho/Autorun.exe").isFile());

    check->setBookFiles(books::BookFiles([](int fd, const char *entry, int flags) {
        if (std::string_view(entry) == "Idioma.kvt") {
            errno = EBUSY;
            return -1;
        }
        return ::unlinkat(fd, entry, flags);
    }));
    const BookCheck::RepairOutcome r = check->repair(findings[0]);
    EXPECT_EQ(r.failure(), BookCheck::RepairFailure::Failed);
    EXPECT_TRUE(r.reason().contains("Idioma.kvt")) << r.reason().toStdString();
    const auto left = found();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].first, Kind::RemovalLeftover);
}
