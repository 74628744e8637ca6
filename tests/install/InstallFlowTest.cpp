// Installing a book through the flow the install window runs, on a prefix laid
// out on disk: the order of its checks, and archives that must be refused
// without leaving anything behind.

#include "install/InstallFlow.h"
#include "books/RemovalFlow.h"
#include "common/InstallDoubles.h"
#include "common/ManagerFixture.h"
#include "common/QtPrinters.h"
#include "common/RecordingPlatform.h"
#include "common/ZipBuilder.h"
#include "drive/MountDrive.h"
#include "install/BookName.h"
#include "install/InstallPanel.h"
#include "messages/Codes.h"

#include <QDirIterator>

namespace code = messages::code;

using install::InstallFlow;

namespace {

class RecordingPanel : public install::InstallPanel {
  public:
    void showProgress(const QString &texto) override { events << "text:" + texto; }
    void animateProgress(bool on) override { events << (on ? "dots on" : "dots off"); }
    void enableButtons(bool enabled) override { events << (enabled ? "buttons on" : "buttons off"); }
    void showAdvance(int percent, std::uint64_t, std::uint64_t total) override
    {
        shares << percent;
        lastTotal = total;
    }
    QStringList events;
    QList<int> shares;
    quint64 lastTotal = 0;
};

class InstallFlowTest : public ManagerFixture {
  protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        drives = std::make_unique<drive::MountDrive>(wine, state, box);
        flow = std::make_unique<InstallFlow>(wine, state, box, *drives, choice, panel);
    }
    QString download() const { return prefix.driveC() + "/ZEKO_Download/Download"; }
    QString downloads(const QString &name) const { return zips.path() + "/" + name; }
    // A small honest book.
    QString bookZip(const QString &name)
    {
        ZipBuilder zip(downloads(name));
        zip.file("Autorun.exe", "MZ");
        zip.file("Idioma.kvt", "POR");
        zip.file("Lições/Lição 1.txt", "Olá");
        return zip.close();
    }
    void install(const QString &zip)
    {
        choice.next = zip;
        (void)flow->InstalaLivro();
    }
    QString row(const QString &course)
    {
        return state.rsMapeamento->findFirst("Curso", course)
                   ? state.rsMapeamento->field("LetraDrive").toString()
                   : QString();
    }
    // Everything below the prefix's drive C: and the download folder's parent
    // that an installation could have written, as relative paths.
    QStringList filesUnder(const QString &root) const
    {
        QStringList files;
        QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next().mid(root.size() + 1);
        files.sort();
        return files;
    }

    QTemporaryDir zips;
    ScriptedChoice choice;
    RecordingPanel panel;
    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<InstallFlow> flow;
};

} // namespace

// The whole way: extracted, mapped on the highest free letter, registered for the
// user, and only then the archive deleted; the window shows progress and has its
// buttons back.
TEST_F(InstallFlowTest, InstallsMapsRegistersThenDeletesTheArchive)
{
    const QString zip = bookZip("Livro1.zip");
    install(zip);
    EXPECT_EQ(box.texts(), QStringList{texto(code::BookInstalled, {"Livro1", "Y"})});
    EXPECT_EQ(ZipBuilder::read(download() + "/Livro1/Lições/Lição 1.txt"), "Olá");
    EXPECT_EQ(mapped('Y'), QFileInfo(download() + "/Livro1").canonicalFilePath());
    ASSERT_TRUE(state.rsMapeamento->findFirst("Curso", "Livro1"));
    EXPECT_EQ(state.rsMapeamento->field("Usuario").toString(), "MARIA");
    EXPECT_EQ(state.rsMapeamento->field("LetraDrive").toString(), "Y:");
    EXPECT_EQ(state.rsMapeamento->field("Caminho").toString(), "C:\\ZEKO_Download\\Download\\Livro1");
    EXPECT_FALSE(QFileInfo::exists(zip));
    EXPECT_EQ(panel.events,
              QStringList({"text:" + texto(code::InstallUnpacking, {"Livro1"}), "dots on", "buttons off",
                           "dots off", "text:" + texto(code::InstallProgress, {"Livro1", "100"}),
                           "buttons on", "text:" + texto(code::InstallUnpacked, {"Livro1"}), "dots off"}));
    EXPECT_EQ(filesUnder(download()), QStringList({"Livro1", "Livro1/Autorun.exe", "Livro1/Idioma.kvt",
                                                   "Livro1/Lições", "Livro1/Lições/Lição 1.txt"}));

    // The next book takes the next lower letter; a name of several dots keeps all but the last part.
    box.shown.clear();
    install(bookZip("A.B.ZIP"));
    EXPECT_EQ(box.texts(), QStringList{texto(code::BookInstalled, {"A.B", "X"})});
    EXPECT_TRUE(QFileInfo(download() + "/A.B/Autorun.exe").isFile());
}

// No free letter: message 4, and the dialog is never shown.
TEST_F(InstallFlowTest, NoFreeLetterBeforeTheDialog)
{
    for (char16_t c = u'D'; c <= u'Y'; ++c) {
        QDir().mkpath(prefix.root() + "/taken");
        link(QChar(c), prefix.root() + "/taken");
    }
    install(bookZip("Livro1.zip"));
    EXPECT_EQ(box.texts(), QStringList{descricao(code::NoFreeLetterToInstall)});
    EXPECT_EQ(choice.asked, 0);
}

// Cancelling the dialog changes nothing and says nothing.
TEST_F(InstallFlowTest, CancelDoesNothing)
{
    choice.next = std::nullopt;
    (void)flow->InstalaLivro();
    EXPECT_EQ(choice.asked, 1);
    EXPECT_TRUE(box.shown.isEmpty());
    EXPECT_TRUE(panel.events.isEmpty());
}

// A book of that name is the user's already, whatever the letter case: message
// 13 with its drive, and the archive stays. Another user's book of that name
// does not count; an apostrophe is just a character.
TEST_F(InstallFlowTest, SameNameIsRefusedForTheSameUserOnly)
{
    registerBook("MARIA", "LIVRO1", "W:", makeBook("LIVRO1"));
    const QString zip = bookZip("livro1.zip");
    install(zip);
    EXPECT_EQ(box.texts(), QStringList{texto(code::BookAlreadyInstalled, {"livro1", "W"})});
    EXPECT_TRUE(QFileInfo::exists(zip));

    box.shown.clear();
    registerBook("JOAO", "Livro2", "V:", makeBook("Livro2"));
    // MARIA's recordset, read again, holds only her rows.
    ASSERT_TRUE(state.rsMapeamento->requery());
    install(bookZip("Livro2.zip"));
    EXPECT_EQ(box.texts(), QStringList{texto(code::BookInstalled, {"Livro2", "Y"})});

    box.shown.clear();
    install(bookZip("O'Neil's Book.zip"));
    EXPECT_EQ(box.texts(), QStringList{texto(code::BookInstalled, {"O'Neil's Book", "X"})});
    EXPECT_EQ(row("O'Neil's Book"), "X:");
}

// A chosen file that is not there: message 39 with its path.
TEST_F(InstallFlowTest, MissingFile)
{
    install(downloads("Nada.zip"));
    EXPECT_EQ(box.texts(), QStringList{texto(code::ZipNotFound, {downloads("Nada.zip")})});
    EXPECT_TRUE(panel.events.isEmpty());
}

// An existing book folder is reused: files of the archive replace files of the
// same name in any letter case, other files stay.
TEST_F(InstallFlowTest, ExistingFolderIsReused)
{
    prefix.writeFile(download() + "/Livro1/AUTORUN.EXE", "old");
    prefix.writeFile(download() + "/Livro1/notas.txt", "mine");
    install(bookZip("Livro1.zip"));
    EXPECT_EQ(box.texts(), QStringList{texto(code::BookInstalled, {"Livro1", "Y"})});
    EXPECT_EQ(QDir(download() + "/Livro1").entryList(QDir::Files),
              QStringList({"AUTORUN.EXE", "Idioma.kvt", "notas.txt"}));
    EXPECT_EQ(ZipBuilder::read(download() + "/Livro1/AUTORUN.EXE"), "MZ");
    EXPECT_EQ(ZipBuilder::read(download() + "/Livro1/notas.txt"), "mine");
}

// A link in the existing book folder where the archive has a folder is never
// written through: the installation stops before anything lands where it leads.
TEST_F(InstallFlowTest, LinkInTheBookFolderIsNeverWrittenThrough)
{
    const QString outside = prefix.root() + "/outside";
    QDir().mkpath(outside);
    QDir().mkpath(download() + "/Livro1");
    ASSERT_TRUE(QFile::link(outside, download() + "/Livro1/Lições"));
    const QString zip = bookZip("Livro1.zip");
    install(zip);
    EXPECT_EQ(box.texts(),
              QStringList{texto(code::BookFolderNotWritten, {"C:\\ZEKO_Download\\Download\\Livro1"}) + "\n" +
                          texto(code::ReasonLine, {descricao(code::ReasonNotFound) + " (ENOTDIR)"})});
    EXPECT_EQ(filesUnder(outside), QStringList());
    EXPECT_TRUE(QFileInfo::exists(zip));
    EXPECT_EQ(row("Livro1"), "");
}

// A name without ".zip" gets ".ZIP" for the extraction: with no such file the
// archive cannot be read, and the chosen file stays.
TEST_F(InstallFlowTest, NameWithoutZipEnding)
{
    const QString bare = downloads("LIVRO1");
    QFile::rename(bookZip("tmp.zip"), bare);
    install(bare);
    EXPECT_EQ(box.texts(), QStringList{texto(code::ZipUnreadable, {bare + ".ZIP"})});
    EXPECT_TRUE(QFileInfo::exists(bare));
    EXPECT_FALSE(QFileInfo::exists(download() + "/LIVRO1"));
}

// A failed mapping keeps the archive and records nothing; once the letter is
// free again the same archive installs.
TEST_F(InstallFlowTest, FailedMappingKeepsTheArchive)
{
    const QString zip = bookZip("Livro1.zip");
    // A plain file as y: looks free to the scan, but no mapping can be made there.
    prefix.writeFile(prefix.root() + "/dosdevices/y:", "in the way");
    install(zip);
    ASSERT_EQ(box.shown.size(), 1);
    EXPECT_TRUE(box.texts()[0].startsWith(
        texto(code::BookFolderOrDriveFailed, {"C:\\ZEKO_Download\\Download\\Livro1", "Y:"})))
        << box.texts()[0].toStdString();
    EXPECT_TRUE(QFileInfo::exists(zip));
    EXPECT_EQ(row("Livro1"), "");
    QFile::remove(prefix.root() + "/dosdevices/y:");

    box.shown.clear();
    install(zip);
    EXPECT_EQ(box.texts(), QStringList{texto(code::BookInstalled, {"Livro1", "Y"})});
    EXPECT_FALSE(QFileInfo::exists(zip));
}

// The registry refuses the book's row: the letter just mapped is released
// again, so no drive is left that no row names; the user reads why, and the
// archive stays.
TEST_F(InstallFlowTest, RefusedRowReleasesTheMapping)
{
    ManagerFixture::install.refuseRows("INSERT"); // the install folder
    RecordingPlatform recording(prefix.prefix(), "maria");
    drive::MountDrive recordingDrives(recording, state, box);
    InstallFlow recorded(recording, state, box, recordingDrives, choice, panel);
    const QString zip = bookZip("Livro1.zip");
    EXPECT_FALSE(recorded.install(zip));
    const QString caminho = "C:\\ZEKO_Download\\Download\\Livro1";
    EXPECT_EQ(recording.devices, QStringList({"define Y: " + caminho, "remove Y: " + caminho}));
    EXPECT_TRUE(mapped('Y').isEmpty());
    EXPECT_EQ(box.texts(),
              QStringList{texto(code::RegistryRefused, {"Livro1"}) + "\n" +
                          texto(code::ReasonLine, {descricao(code::ReasonSystemError) + " (SQLite 1811)"})});
    EXPECT_TRUE(QFileInfo::exists(zip));
    EXPECT_EQ(row("Livro1"), "");
}

// The download folder missing: the user is told so before anything is written.
TEST_F(InstallFlowTest, MissingDownloadFolder)
{
    QDir(download()).removeRecursively();
    const QString zip = bookZip("Livro1.zip");
    install(zip);
    ASSERT_EQ(box.shown.size(), 1);
    EXPECT_EQ(box.texts()[0], texto(code::DownloadFolderMissing, {"C:\\ZEKO_Download\\Download\\"}));
    EXPECT_TRUE(QFileInfo::exists(zip));
    EXPECT_FALSE(QFileInfo::exists(download()));
}

// Hostile and broken archives: the user reads why, nothing of the archive is in
// the book folder or anywhere else, no drive, no row, and the archive stays.
TEST_F(InstallFlowTest, RefusedArchivesLeaveNothingBehind)
{
    struct Case {
        const char *name;
        std::function<void(const QString &)> make;
        int message;
        QString entry;
    };
    const auto book = [](ZipBuilder &z) {
        z.file("Autorun.exe", "MZ");
        z.file("Idioma.kvt", "POR");
    };
    const std::vector<Case> cases = {
        {"traversal",
         [&](const QString &p) {
             ZipBuilder z(p);
             book(z);
             z.file("../../escape.txt", "x");
             z.close();
         },
         code::ZipEntryUnsafe, "../../escape.txt"},
        {"absolute",
         [&](const QString &p) {
             ZipBuilder z(p);
             book(z);
             z.file("/tmp/escape.txt", "x");
             z.close();
         },
         code::ZipEntryUnsafe, "/tmp/escape.txt"},
        {"drive",
         [&](const QString &p) {
             ZipBuilder z(p);
             book(z);
             z.file("C:\\escape.txt", "x");
             z.close();
         },
         code::ZipEntryUnsafe, "C:\\escape.txt"},
        {"unc",
         [&](const QString &p) {
             ZipBuilder z(p);
             book(z);
             z.file("\\\\srv\\share\\escape.txt", "x");
             z.close();
         },
         code::ZipEntryUnsafe, "\\\\srv\\share\\escape.txt"},
        {"symlink",
         [&](const QString &p) {
             ZipBuilder z(p);
             book(z);
             z.link("Sons", "/");
             z.close();
         },
         code::ZipEntryUnsafe, "Sons"},
        {"not a zip",
         [](const QString &p) { ZipBuilder::write(p, "PK but not really"); },
         code::ZipUnreadable,
         {}},
        {"truncated",
         [&](const QString &p) {
             ZipBuilder z(p);
             book(z);
             z.file("big.bin", QByteArray(50000, 'b'));
             z.close();
             const QByteArray b = ZipBuilder::read(p);
             ZipBuilder::write(p, b.left(b.size() - 200));
         },
         code::ZipUnreadable,
         {}},
        {"crc",
         [&](const QString &p) {
             ZipBuilder z(p);
             book(z);
             z.file("data.bin", QByteArray(3000, 'd'), true);
             z.close();
             QByteArray b = ZipBuilder::read(p);
             b[b.indexOf(QByteArray(100, 'd')) + 10] = 'X';
             ZipBuilder::write(p, b);
         },
         code::ZipEntryDamaged, "data.bin"},
        {"stream broken midway",
         [&](const QString &p) {
             ZipBuilder z(p);
             book(z);
             // 8 MB that deflate into many blocks; the video is the last data before
             // the central directory.
             QByteArray video(8 << 20, '\0');
             quint32 seed = 1;
             for (char &c : video) {
                 seed = seed * 1103515245u + 12345u;
                 c = char('a' + (seed >> 16) % 8);
             }
             z.file("video.avi", video);
             z.close();
             QByteArray b = ZipBuilder::read(p);
             const qsizetype local = b.indexOf("video.avi"); // in its local header
             const qsizetype central = b.indexOf("PK\x01\x02");
             ASSERT_GT(local, 0);
             ASSERT_GT(central, local + (1 << 20));
             const qsizetype middle = local + (central - local) / 2;
             for (qsizetype i = middle; i < middle + 64; ++i)
                 b[i] = char(~b[i]);
             ZipBuilder::write(p, b);
         },
         code::ZipEntryDamaged, "video.avi"},
        {"encrypted",
         [&](const QString &p) {
             ZipBuilder z(p);
             book(z);
             z.encrypt(z.file("secret.txt", "s"));
             z.close();
         },
         code::ZipUnreadable,
         {}},
        {"bomb",
         [&](const QString &p) {
             ZipBuilder z(p);
             book(z);
             z.file("zeros.bin", QByteArray(80 << 20, '\0'));
             z.close();
         },
         code::ZipTooLarge,
         {}},
        {"empty",
         [](const QString &p) {
             ZipBuilder z(p);
             z.folder("Vazio/");
             z.close();
         },
         code::ZipEmpty,
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        box.shown.clear();
        panel.events.clear();
        const QString zip = downloads(QStringLiteral("Livro %1.zip").arg(c.name));
        c.make(zip);
        const QByteArray before = ZipBuilder::read(zip);
        install(zip);
        const QString message =
            c.message == code::ZipUnreadable || c.message == code::ZipTooLarge || c.message == code::ZipEmpty
                ? texto(c.message, {zip})
                : texto(c.message, {zip, c.entry});
        EXPECT_EQ(box.texts(), QStringList{message});
        EXPECT_EQ(ZipBuilder::read(zip), before) << "the archive was not kept as it was";
        EXPECT_EQ(filesUnder(prefix.driveC() + "/ZEKO_Download"), QStringList{"Download"});
        EXPECT_FALSE(QFileInfo::exists(zips.path() + "/escape.txt"));
        EXPECT_FALSE(QFileInfo::exists("/tmp/escape.txt"));
        EXPECT_EQ(row(QStringLiteral("Livro %1").arg(c.name)), "");
        EXPECT_TRUE(mapped('Y').isEmpty());
        EXPECT_EQ(panel.events.mid(2), QStringList({"buttons off", "buttons on", "dots off", "text:"}));
    }
}

// What an installation cut short left in the download folder goes before the
// next one, and only that.
TEST_F(InstallFlowTest, LeftoverStagingIsCleared)
{
    // As a killed installation leaves it: a working folder nobody holds.
    const QString leftover = download() + "/.zeko-staging-Ab3dE5gH7j";
    prefix.writeFile(leftover + "/half.bin", "half");
    QDir().mkpath(prefix.root() + "/outside");
    prefix.writeFile(prefix.root() + "/outside/keep.txt", "keep");
    QFile::link(prefix.root() + "/outside", leftover + "/link");
    // A leftover that is itself a link goes as a link.
    const QString linked = download() + "/.zeko-staging-Lk3dE5gH7j";
    QFile::link(prefix.root() + "/outside", linked);
    install(bookZip("Livro1.zip"));
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_FALSE(QFileInfo(linked).isSymLink());
    EXPECT_EQ(filesUnder(prefix.root() + "/outside"), QStringList{"keep.txt"});
    EXPECT_EQ(box.texts(), QStringList{texto(code::BookInstalled, {"Livro1", "Y"})});
}

// A book large enough to be seen on its way: the share written only grows,
// never passes 100, and reaches 100 once, when the extraction is over.
TEST_F(InstallFlowTest, ProgressGrowsToOneHundredOnce)
{
    const QString zip = downloads("Grande.zip");
    {
        ZipBuilder builder(zip);
        builder.file("Autorun.exe", "MZ");
        builder.file("Idioma.kvt", "POR");
        QByteArray noise(4 << 20, '\0');
        for (int i = 0; i < 24; ++i) {
            for (qsizetype k = 0; k < noise.size(); ++k)
                noise[k] = char((k * 7919 + i * 104729) >> 3);
            builder.file(QStringLiteral("Midia/video%1.bin").arg(i).toUtf8(), noise);
        }
        builder.close();
    }
    install(zip);
    ASSERT_EQ(box.texts(), QStringList{texto(code::BookInstalled, {"Grande", "Y"})});
    ASSERT_FALSE(panel.shares.isEmpty());
    EXPECT_EQ(panel.shares.last(), 100);
    EXPECT_EQ(panel.shares.count(100), 1);
    for (qsizetype i = 1; i < panel.shares.size(); ++i)
        EXPECT_LT(panel.shares[i - 1], panel.shares[i]);
    EXPECT_EQ(panel.lastTotal, quint64(24 * (4 << 20) + 5));
    const qsizetype done = panel.events.indexOf("text:" + texto(code::InstallProgress, {"Grande", "100"}));
    EXPECT_EQ(panel.events.value(done + 1), "buttons on");
}

// The progress line: a dot a tick while it is at most 95 characters, then the message again.
TEST(InstallFlowProgress, DotsUpTo95Characters)
{
    const QString message = "Instalando o livro Livro1";
    EXPECT_EQ(InstallFlow::nextProgress(message, message), message + ".");
    EXPECT_EQ(InstallFlow::nextProgress(QString(95, u'x'), message), QString(95, u'x') + ".");
    EXPECT_EQ(InstallFlow::nextProgress(QString(96, u'x'), message), message);
}

// ExecutaZip does nothing at all without a source or a target, and leaves a
// source already ending in ".zip" (any case) as it is.
TEST_F(InstallFlowTest, ExecutaZipNeedsASourceAndATarget)
{
    QString empty;
    const install::ExtractionResult none = flow->ExecutaZip("UNZIP", empty, download());
    EXPECT_TRUE(none.ok());
    EXPECT_EQ(none.files, 0);
    EXPECT_EQ(empty, "");
    QString zip = bookZip("Livro1.Zip");
    EXPECT_EQ(flow->ExecutaZip("UNZIP", zip, QString()).files, 0);
    EXPECT_EQ(zip, downloads("Livro1.Zip"));
    const QString target = zips.path() + "/out";
    QDir().mkpath(target);
    EXPECT_EQ(flow->ExecutaZip("unzip", zip, target).files, 3);
    EXPECT_EQ(zip, downloads("Livro1.Zip"));
}

// With no Drive in zeko.ini the download folder is no path of the prefix: the
// book is refused, and nothing is made where the program runs.
TEST_F(InstallFlowTest, DownloadFolderOutsideThePrefix)
{
    state.strPastaDownload = "\\ZEKO_Download\\Download\\";
    const QString zip = bookZip("Livro1.zip");
    QTemporaryDir cwd;
    const QString before = QDir::currentPath();
    QDir::setCurrent(cwd.path());
    install(zip);
    QDir::setCurrent(before);
    ASSERT_EQ(box.shown.size(), 1);
    EXPECT_EQ(box.texts()[0], texto(code::DownloadFolderMissing, {"\\ZEKO_Download\\Download\\"}));
    EXPECT_TRUE(QDir(cwd.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(zip));
}

// Every name a ZIP file can have on Linux either becomes a new folder of its own
// in the download folder, with blanks at the ends trimmed so folder, row and list
// agree, or is refused before anything is written. Each book installed is then
// removed: the other book and the user's own files stay.
TEST_F(InstallFlowTest, EveryNameIsABookOfItsOwnOrRefused)
{
    install(bookZip("Outro.zip"));
    const QString documents = prefix.driveC() + "/users/maria/Documents";
    prefix.writeFile(documents + "/keep.txt", "mine");
    const QString longest = QString(125, u'ç') + u'a'; // 251 bytes, the longest a file "NAME.zip" allows
    const struct {
        QString file;
        QString book; // as installed; empty when refused
        int message;  // the refusal
        QString param;
    } cases[] = {
        {"..zip", {}, code::NameGivesNoBook, "..zip"},
        {".zip", {}, code::NameGivesNoBook, ".zip"},
        {"...zip", {}, code::NameGivesNoBook, "...zip"},
        {" . .zip", {}, code::NameGivesNoBook, " . .zip"},
        {"..\\..\\users\\maria\\Documents.zip",
         {},
         code::NameHasBadCharacter,
         "..\\..\\users\\maria\\Documents"},
        {"\\..\\Intruso.zip", {}, code::NameHasBadCharacter, "\\..\\Intruso"},
        {"..\\Canario.zip", {}, code::NameHasBadCharacter, "..\\Canario"},
        {"C:Livro.zip", {}, code::NameHasBadCharacter, "C:Livro"},
        {"Livro\t1.zip", {}, code::NameHasBadCharacter, "Livro\t1"},
        {"Livro..zip", {}, code::NameHasBadCharacter, "Livro."},
        {"CON.zip", {}, code::NameReserved, "CON"},
        {"lpt1.Livro.zip", {}, code::NameReserved, "lpt1.Livro"},
        {".zeko-staging-x.zip", {}, code::NameReserved, ".zeko-staging-x"},
        {" Outro .zip", {}, code::BookAlreadyInstalled, "Outro"},
        {"Livro 1 .zip", "Livro 1", 0, {}},
        {" Livro Dois.zip", "Livro Dois", 0, {}},
        {longest + ".zip", longest, 0, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        box.shown.clear();
        const QStringList before = filesUnder(prefix.driveC());
        // libzip writes through a temporary name longer than the file's own.
        const QString zip = downloads(c.file);
        ASSERT_TRUE(QFile::rename(bookZip("curto.zip"), zip));
        install(zip);
        if (c.book.isEmpty()) {
            EXPECT_EQ(box.texts(), QStringList{c.message == code::BookAlreadyInstalled
                                                   ? texto(code::BookAlreadyInstalled, {c.param, "Y"})
                                                   : texto(c.message, {c.param})});
            EXPECT_EQ(filesUnder(prefix.driveC()), before);
            EXPECT_TRUE(QFileInfo::exists(zip));
            continue;
        }
        ASSERT_EQ(box.texts(), QStringList{texto(code::BookInstalled, {c.book, "X"})});
        ASSERT_EQ(row(c.book), "X:");
        EXPECT_TRUE(QFileInfo(download() + "/" + c.book + "/Autorun.exe").isFile());
        EXPECT_EQ(QDir(download()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).size(), 2);

        // Another test's pretend course player must not stop this removal.
        RecordingPlatform quiet(prefix.prefix(), "maria");
        drive::MountDrive quietDrives(quiet, state, box);
        books::RemovalFlow removal(
            quiet, state, box, quietDrives, [] {}, [](bool) {});
        box.answer({1});
        EXPECT_TRUE(removal.remove(c.book + " [ X: ]"));
        EXPECT_EQ(box.texts().last(),
                  texto(code::RemovedAndDeleted, {"X", "C:\\ZEKO_Download\\Download\\" + c.book}));
        EXPECT_EQ(QDir(download()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{"Outro"});
        EXPECT_EQ(ZipBuilder::read(documents + "/keep.txt"), "mine");
        EXPECT_EQ(row("Outro"), "Y:");
        EXPECT_TRUE(QFileInfo(download() + "/Outro/Autorun.exe").isFile());
    }
}

// The limits of a name taken as it is, past what a file name can give.
TEST(BookNameCheck, Limits)
{
    using install::BookName;
    using install::BookNameProblem;
    EXPECT_EQ(BookName::check(QString(255, u'a')), BookNameProblem::None);
    EXPECT_EQ(BookName::check(QString(256, u'a')), BookNameProblem::TooLong);
    EXPECT_EQ(BookName::check(QString(127, u'ç') + u'a'), BookNameProblem::None); // 255 bytes
    EXPECT_EQ(BookName::check(QString(128, u'ç')), BookNameProblem::TooLong);     // 256 bytes
    EXPECT_EQ(BookName::check(" Livro"), BookNameProblem::Characters);
    EXPECT_EQ(BookName::check("Livro/1"), BookNameProblem::Characters);
    EXPECT_EQ(BookName::check(QString("Livro") + QChar(0x7f)), BookNameProblem::Characters);
    EXPECT_EQ(BookName::check("CONIN$"), BookNameProblem::Reserved);
    EXPECT_EQ(BookName::check("CONSOLE"), BookNameProblem::None);
    EXPECT_EQ(BookName::check("COM0"), BookNameProblem::None);
}

// Archives as other tools make them, through the whole flow: a book zipped as
// its folder (on a Mac, with its litter) installs from inside that folder; an
// archive with no book in it and one whose method cannot be read are refused
// with their own words, the archive kept and nothing written.
TEST_F(InstallFlowTest, ArchivesAsOtherToolsMakeThem)
{
    {
        ZipBuilder zip(downloads("Embrulhado.zip"));
        zip.file("Basico/Autorun.exe", "MZ");
        zip.file("Basico/Idioma.kvt", "POR");
        zip.file("Basico/Lições/Lição 1.txt", "Olá");
        zip.file("__MACOSX/Basico/._Autorun.exe", "apple");
        zip.file("Basico/._Idioma.kvt", "apple");
        zip.close();
    }
    install(downloads("Embrulhado.zip"));
    EXPECT_EQ(box.texts(), QStringList{texto(code::BookInstalled, {"Embrulhado", "Y"})});
    EXPECT_EQ(filesUnder(download()),
              QStringList({"Embrulhado", "Embrulhado/Autorun.exe", "Embrulhado/Idioma.kvt",
                           "Embrulhado/Lições", "Embrulhado/Lições/Lição 1.txt"}));

    const QStringList before = filesUnder(prefix.driveC());
    {
        ZipBuilder zip(downloads("Fotos.zip"));
        zip.file("Ferias/praia.jpg", "jpg");
        zip.file("leia-me.txt", "texto");
        zip.close();
    }
    // A stored entry marked as Deflate64, as 7-Zip writes it when asked.
    {
        ZipBuilder zip(downloads("Sete.zip"));
        zip.file("Autorun.exe", "MZ", true);
        zip.file("Idioma.kvt", "POR", true);
        zip.file("Sons/som.wav", "RIFF", true);
        zip.close();
        ZipBuilder::markMethod(downloads("Sete.zip"), "Sons/som.wav", 9);
    }
    for (const auto &[zip, message] :
         {std::pair{downloads("Fotos.zip"), texto(code::ZipHoldsNoBook, {downloads("Fotos.zip")})},
          {downloads("Sete.zip"),
           texto(code::ZipMethodUnreadable, {downloads("Sete.zip"), "Deflate64", "Sons/som.wav"})}}) {
        box.shown.clear();
        install(zip);
        EXPECT_EQ(box.texts(), QStringList{message});
        EXPECT_TRUE(QFileInfo::exists(zip));
        EXPECT_EQ(filesUnder(prefix.driveC()), before);
    }
    EXPECT_EQ(row("Fotos"), "");
    EXPECT_EQ(row("Sete"), "");
    EXPECT_TRUE(mapped('X').isEmpty());
}
