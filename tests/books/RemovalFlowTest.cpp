// Removing a book from the list, on a prefix laid out on disk, through every
// branch: what is asked and told, and what happens to mapping, row and files.

#include "books/RemovalFlow.h"
#include "books/BookEntries.h"
#include "books/BookFiles.h"
#include "books/RemovalLeftovers.h"
#include "common/ManagerFixture.h"
#include "common/QtPrinters.h"
#include "common/RecordingPlatform.h"
#include "drive/MountDrive.h"
#include "messages/Codes.h"

#include <QDirIterator>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace code = messages::code;

using books::BookFiles;
using books::RemovalFlow;

namespace {

constexpr int kYes = 1;
constexpr int kNo = 2;

class RemovalFlowTest : public ManagerFixture {
  protected:
    RemovalFlowTest()
        : recording(prefix.prefix(), "maria")
    {
    }
    platform::Platform *platform() override { return &recording; }
    void SetUp() override
    {
        ManagerFixture::SetUp();
        drives = std::make_unique<drive::MountDrive>(recording, state, box);
        flow = std::make_unique<RemovalFlow>(
            recording, state, box, *drives, [this] { list = books::BookEntries::entries(state); },
            [this](bool on) { enabling << on; });
        addBasico();
    }
    // MARIA's book Basico on X:, with files in two folders.
    void addBasico()
    {
        caminho = makeBook("Basico");
        folder = unixOf(caminho);
        prefix.writeFile(folder + "/Sons/Unidade 1/som.wav", "s");
        prefix.writeFile(folder + "/Textos/texto.txt", "t");
        registerBook("MARIA", "Basico", "X:", caminho);
        link('X', folder);
    }
    QString row()
    {
        EXPECT_TRUE(state.rsMapeamento->requery());
        return state.rsMapeamento->findFirst("Curso", "Basico")
                   ? state.rsMapeamento->field("LetraDrive").toString()
                   : QString();
    }
    // Makes removing the named entry (or any name it begins, with "*") fail, as
    // a file in use or a full disk would.
    void failOn(const QByteArray &name)
    {
        flow->setBookFiles(BookFiles([name](int fd, const char *entry, int flags) {
            const QByteArray base = QFileInfo(QFile::decodeName(entry)).fileName().toUtf8();
            if (name.endsWith('*') ? base.startsWith(name.chopped(1)) : base == name) {
                errno = EBUSY;
                return -1;
            }
            return ::unlinkat(fd, entry, flags);
        }));
    }

    // Where the book went to be deleted: the one working folder in the download folder.
    QString removingFolder()
    {
        const QString download = unixOf("C:\\ZEKO_Download\\Download");
        const QStringList found = QDir(download).entryList({".zeko-removing-*"}, QDir::Dirs | QDir::Hidden);
        return found.size() == 1 ? download + "/" + found.first() : QString();
    }
    QString removingFolderWindows()
    {
        return "C:\\ZEKO_Download\\Download\\" + QFileInfo(removingFolder()).fileName();
    }

    RecordingPlatform recording;
    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<RemovalFlow> flow;
    QString caminho, folder;
    QStringList list;
    QList<bool> enabling; // the window disabled or enabled, in order
};

} // namespace

// Yes: the question, the notice while the files go (a box without buttons), then
// message 30 with the bare letter and the folder; drive, row, files and folder gone.
TEST_F(RemovalFlowTest, YesRemovesEverything)
{
    box.answer({kYes});
    (void)flow->remove("Basico [ X: ]");
    EXPECT_EQ(box.texts(),
              QStringList({texto(code::ConfirmRemoval, {"Basico"}), texto(code::DeletingFiles, {"Basico"}),
                           texto(code::RemovedAndDeleted, {"X", caminho})}));
    EXPECT_EQ(box.shown[1].tipoCaixa, 0);
    EXPECT_EQ(box.shown[0].tipoCaixa, 4);
    EXPECT_EQ(box.shown[2].tipoCaixa, 1);
    EXPECT_TRUE(mapped('X').isEmpty());
    EXPECT_EQ(row(), "");
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_EQ(list, QStringList{"[" + descricao(code::BookListFirstEntry) + "]"});
    EXPECT_EQ(enabling, QList<bool>({false, true})); // greyed past the notice, until the files are gone
}

// Anything but Yes changes nothing and says nothing more: No, and 0, the
// answer of a box closed as the program ends.
TEST_F(RemovalFlowTest, NoChangesNothing)
{
    for (const int answer : {kNo, 0}) {
        SCOPED_TRACE(answer);
        box.shown.clear();
        box.answer({answer});
        EXPECT_FALSE(flow->remove("Basico [ X: ]"));
        EXPECT_EQ(box.texts(), QStringList{texto(code::ConfirmRemoval, {"Basico"})});
        EXPECT_EQ(mapped('X'), folder);
        EXPECT_EQ(row(), "X:");
        EXPECT_TRUE(QFileInfo(folder + "/Sons/Unidade 1/som.wav").isFile());
    }
}

// While the course runs nothing is asked or changed.
TEST_F(RemovalFlowTest, CourseRunning)
{
    recording.courseRunning = true;
    (void)flow->remove("Basico [ X: ]");
    EXPECT_EQ(box.texts(), QStringList{descricao(code::CourseRunningRemove)});
    EXPECT_EQ(row(), "X:");
    EXPECT_EQ(mapped('X'), folder);
}

// The letter shows something else (another device holds it): only the row goes,
// with message 12 and the bare letter; the files stay.
TEST_F(RemovalFlowTest, OccupiedLetterTakesOnlyTheRow)
{
    QFile::remove(prefix.root() + "/dosdevices/x:");
    QDir().mkpath(prefix.root() + "/pendrive");
    link('X', prefix.root() + "/pendrive");
    (void)flow->remove("Basico [ X: ]");
    EXPECT_EQ(box.texts(), QStringList{texto(code::DriveLacksBookUnlisted, {"X"})});
    EXPECT_EQ(row(), "");
    EXPECT_TRUE(QFileInfo(folder + "/Textos/texto.txt").isFile());
    EXPECT_EQ(mapped('X'), QFileInfo(prefix.root() + "/pendrive").canonicalFilePath());
}

// X: shows a book, but another folder than the row's: the drive is not released,
// so mapping, row and files stay (message 11 after the mapping report).
TEST_F(RemovalFlowTest, DriveThatCannotBeReleasedKeepsEverything)
{
    QFile::remove(prefix.root() + "/dosdevices/x:");
    const QString cd = unixOf(makeBook("OutroCD"));
    link('X', cd);
    box.answer({kYes});
    (void)flow->remove("Basico [ X: ]");
    ASSERT_GE(box.shown.size(), 2);
    EXPECT_EQ(box.texts().last(), texto(code::DriveNotReleased, {caminho, state.strLetrasLivres.value(1)}));
    EXPECT_EQ(row(), "X:");
    EXPECT_EQ(mapped('X'), cd);
    EXPECT_TRUE(QFileInfo(folder + "/Textos/texto.txt").isFile());
}

// A file that cannot be deleted, hidden or not: message 21 names the folder the
// book was moved to for deletion; files remain at its top, so the end is message
// 10 with the bare letter. Row and drive are gone, the book's name is free, and
// the next start finishes what was left.
TEST_F(RemovalFlowTest, FileThatStaysGivesMessage21Then10)
{
    for (const char *stuck : {"emuso.dat", ".oculto"}) {
        SCOPED_TRACE(stuck);
        if (!QFileInfo::exists(folder))
            addBasico();
        box.shown.clear();
        prefix.writeFile(folder + "/" + stuck, "locked");
        failOn(stuck);
        box.answer({kYes});
        (void)flow->remove("Basico [ X: ]");
        ASSERT_FALSE(removingFolder().isEmpty());
        EXPECT_EQ(box.texts(), QStringList({texto(code::ConfirmRemoval, {"Basico"}),
                                            texto(code::DeletingFiles, {"Basico"}),
                                            texto(code::RemovalFilesNotDeleted, {removingFolderWindows()}),
                                            texto(code::BookRemovedFilesLeft, {"X"})}));
        EXPECT_EQ(row(), "");
        EXPECT_TRUE(mapped('X').isEmpty());
        EXPECT_FALSE(QFileInfo::exists(folder));
        EXPECT_TRUE(QFileInfo(removingFolder() + "/" + stuck).isFile());
        EXPECT_FALSE(QFileInfo::exists(removingFolder() + "/Textos/texto.txt"));

        EXPECT_EQ(books::RemovalLeftovers::finish(unixOf("C:\\ZEKO_Download\\Download"), *state.dbLivros), 1);
        EXPECT_EQ(removingFolder(), "");
    }
}

// Each sibling folder is emptied, whichever of them the file system lists
// first, though a file in each of them cannot be deleted.
TEST_F(RemovalFlowTest, FilesThatStayLeaveTheirSiblingFoldersEmptied)
{
    prefix.writeFile(folder + "/Sons/preso.dat", "locked");
    prefix.writeFile(folder + "/Textos/preso.dat", "locked");
    failOn("preso.dat");
    box.answer({kYes});
    (void)flow->remove("Basico [ X: ]");
    QStringList left;
    QDirIterator it(removingFolder(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        left << it.next().mid(removingFolder().size() + 1);
    left.sort();
    EXPECT_EQ(left, QStringList({"Sons/preso.dat", "Textos/preso.dat"}));
}

// Every file deleted but a subfolder stays: message 21, then 31 (folder left).
TEST_F(RemovalFlowTest, FolderThatStaysGivesMessage21Then31)
{
    failOn("Unidade 1");
    box.answer({kYes});
    (void)flow->remove("Basico [ X: ]");
    EXPECT_EQ(box.texts(),
              QStringList({texto(code::ConfirmRemoval, {"Basico"}), texto(code::DeletingFiles, {"Basico"}),
                           texto(code::RemovalFilesNotDeleted, {removingFolderWindows()}),
                           texto(code::RemovedFolderKept, {"X", caminho})}));
    EXPECT_TRUE(QFileInfo(removingFolder() + "/Sons/Unidade 1").isDir());
    EXPECT_FALSE(QFileInfo::exists(removingFolder() + "/Sons/Unidade 1/som.wav"));
}

// The emptied folder itself cannot be removed: message 1, then 31.
TEST_F(RemovalFlowTest, BookFolderThatStaysGivesMessage1Then31)
{
    failOn(".zeko-removing-*");
    box.answer({kYes});
    (void)flow->remove("Basico [ X: ]");
    EXPECT_EQ(box.texts(),
              QStringList({texto(code::ConfirmRemoval, {"Basico"}), texto(code::DeletingFiles, {"Basico"}),
                           texto(code::BookFolderOrDriveFailed,
                                 {removingFolderWindows() + "\\", state.strLetrasLivres.value(1)}),
                           texto(code::RemovedFolderKept, {"X", caminho})}));
    EXPECT_TRUE(QFileInfo(removingFolder()).isDir());
}

// Links inside the book are removed as links: what they lead to, outside the
// book, is never touched.
TEST_F(RemovalFlowTest, LinksOutOfTheBookAreNeverFollowed)
{
    const QString outside = prefix.root() + "/outside";
    prefix.writeFile(outside + "/keep.txt", "keep");
    prefix.writeFile(outside + "/sub/deep.txt", "deep");
    QFile::link(outside, folder + "/Sons/atalho");
    QFile::link(outside + "/keep.txt", folder + "/arquivo");
    ::chmod(QFile::encodeName(outside + "/keep.txt").constData(), 0444);
    box.answer({kYes});
    (void)flow->remove("Basico [ X: ]");
    EXPECT_EQ(box.texts().last(), texto(code::RemovedAndDeleted, {"X", caminho}));
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_EQ(prefix.readFile(outside + "/keep.txt"), "keep");
    EXPECT_EQ(prefix.readFile(outside + "/sub/deep.txt"), "deep");
    EXPECT_EQ(QFileInfo(outside + "/keep.txt").permissions() & QFileDevice::WriteOwner, 0)
        << "the link's target was made writable";
}

// What Wine shows as read-only (files and folders without write permission, with
// or without other bits) is cleared and deleted, as an ordinary user deletes it.
TEST(BookFiles, ReadOnlyFilesAndFoldersAreDeleted)
{
    QTemporaryDir dir;
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    const QString book = dir.path() + "/Livro";
    for (const char *f : {"/a.txt", "/Sons/b.wav", "/Sons/Fundo/c.wav", "/Textos/d.txt"}) {
        QDir().mkpath(QFileInfo(book + f).absolutePath());
        QFile file(book + f);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ::chmod(QFile::encodeName(book + "/a.txt").constData(), 0444);
    ::chmod(QFile::encodeName(book + "/Sons/b.wav").constData(), 0400);
    ::chmod(QFile::encodeName(book + "/Sons/Fundo/c.wav").constData(), 0444);
    ::chmod(QFile::encodeName(book + "/Sons/Fundo").constData(), 0555);
    ::chmod(QFile::encodeName(book + "/Textos").constData(), 0555);

    // Permissions hold back an ordinary user only: as root, run the deletion as nobody.
    bool ok = false;
    if (::geteuid() == 0) {
        QDirIterator it(book, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        // The books folder is the user's, as the download folder is.
        ASSERT_EQ(::chown(QFile::encodeName(dir.path()).constData(), 65534, 65534), 0);
        ASSERT_EQ(::chown(QFile::encodeName(book).constData(), 65534, 65534), 0);
        while (it.hasNext())
            ASSERT_EQ(::lchown(QFile::encodeName(it.next()).constData(), 65534, 65534), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
            const BookFiles files;
            QString error;
            const bool done = files.ApagaArquivos(book, &error) && files.ApagaPastas(book, &error) &&
                              files.removeFolder(book, &error);
            if (!done)
                std::fprintf(stderr, "as nobody: %s\n", qPrintable(error));
            ::_exit(done ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_NE(WEXITSTATUS(status), 3) << "could not become an ordinary user";
        ok = WEXITSTATUS(status) == 0;
    } else {
        const BookFiles files;
        ok = files.ApagaArquivos(book) && files.ApagaPastas(book) && files.removeFolder(book);
    }
    EXPECT_TRUE(ok);
    EXPECT_FALSE(QFileInfo::exists(book));
}

// Rows an older version or a hand wrote: whatever folder a row names, only a
// folder of its own directly in the download folder, holding no other book of
// the user's, is ever deleted. Anything else is refused before the question.
TEST_F(RemovalFlowTest, OnlyTheBooksOwnFolderIsEverDeleted)
{
    const QString documents = prefix.driveC() + "/users/maria/Documents";
    prefix.writeFile(documents + "/keep.txt", "mine");
    QFile::link(documents, unixOf("C:\\ZEKO_Download\\Download") + "/Atalho");
    const QString download = "C:\\ZEKO_Download\\Download";
    registerBook("MARIA", "Sub", "V:", caminho + "\\Sons");
    const struct {
        QString caminho;
        int message;
    } cases[] = {
        {download, code::RemovalOutsideDownload},
        {download + "\\.", code::RemovalOutsideDownload},
        {download + "\\Basico\\..", code::RemovalOutsideDownload},
        {"C:\\users\\maria\\Documents", code::RemovalOutsideDownload},
        {download + "\\Atalho", code::RemovalOutsideDownload},
        {caminho, code::RemovalSharedFolder}, // the same folder as Basico's
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.caminho.toStdString());
        box.shown.clear();
        registerBook("MARIA", "Intruso", "W:", c.caminho);
        link('W', unixOf(c.caminho));
        box.answer({kYes});
        EXPECT_FALSE(flow->remove("Intruso [ W: ]"));
        const QString name = RemovalFlow::NomeDaPasta(c.caminho);
        EXPECT_EQ(box.texts(), QStringList{c.message == code::RemovalOutsideDownload
                                               ? texto(code::RemovalOutsideDownload,
                                                       {name, c.caminho, state.strPastaDownload})
                                               : texto(code::RemovalSharedFolder, {name, c.caminho})});
        EXPECT_FALSE(mapped('W').isEmpty());
        ASSERT_TRUE(state.rsMapeamento->findFirst("Curso", "Intruso"));
        ASSERT_TRUE(state.rsMapeamento->deleteCurrent());
        QFile::remove(prefix.root() + "/dosdevices/w:");
    }
    // A folder holding another of the user's books.
    box.shown.clear();
    box.answer({kYes});
    EXPECT_FALSE(flow->remove("Basico [ X: ]"));
    EXPECT_EQ(box.texts(), QStringList{texto(code::RemovalSharedFolder, {"Basico", caminho})});
    EXPECT_EQ(row(), "X:");
    EXPECT_EQ(prefix.readFile(documents + "/keep.txt"), "mine");
    EXPECT_TRUE(QFileInfo(folder + "/Sons/Unidade 1/som.wav").isFile());
    EXPECT_TRUE(QFileInfo(folder + "/Autorun.exe").isFile());
}

// The registry refuses to delete the row (another program holds a write lock):
// nothing claims the book went. Before the question, the row simply stays; after
// it, folder, letter and row are put back as they were.
TEST_F(RemovalFlowTest, RowTheRegistryWillNotDeleteKeepsTheBook)
{
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(install.registry()).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const QString refused = texto(code::RegistryRefused, {"Basico"}) + "\n" +
                            texto(code::ReasonLine, {descricao(code::ReasonInUse) + " (SQLite 5)"});
    box.answer({kYes});
    EXPECT_FALSE(flow->remove("Basico [ X: ]"));
    EXPECT_EQ(box.texts(), QStringList({texto(code::ConfirmRemoval, {"Basico"}), refused}));
    EXPECT_EQ(mapped('X'), folder);
    EXPECT_TRUE(QFileInfo(folder + "/Sons/Unidade 1/som.wav").isFile());
    EXPECT_EQ(removingFolder(), "");

    box.shown.clear();
    QFile::remove(prefix.root() + "/dosdevices/x:");
    EXPECT_FALSE(flow->remove("Basico [ X: ]"));
    EXPECT_EQ(box.texts(), QStringList{refused});
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(row(), "X:");
    EXPECT_TRUE(QFileInfo(folder + "/Autorun.exe").isFile());
}

// A book whose files sit one folder down still has its folder on its letter:
// it is asked about and removed like any other, every letter of it released.
TEST_F(RemovalFlowTest, FolderWithoutTheCourseFilesIsRemovedToo)
{
    QFile::remove(folder + "/Autorun.exe");
    link('V', folder);
    box.answer({kYes});
    EXPECT_TRUE(flow->remove("Basico [ X: ]"));
    EXPECT_EQ(box.texts(),
              QStringList({texto(code::ConfirmRemoval, {"Basico"}), texto(code::DeletingFiles, {"Basico"}),
                           texto(code::RemovedAndDeleted, {"X", caminho})}));
    EXPECT_TRUE(mapped('X').isEmpty());
    EXPECT_TRUE(mapped('V').isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_EQ(row(), "");
}
