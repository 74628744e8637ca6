// Opening a book from the list, on a prefix laid out on disk; the programs the
// flow starts are recorded, not run (the Wine tests run them).

#include "books/OpeningFlow.h"
#include "books/BookEntries.h"
#include "common/ManagerFixture.h"
#include "common/QtPrinters.h"
#include "common/RecordingPlatform.h"
#include "drive/MountDrive.h"
#include "messages/Codes.h"

namespace code = messages::code;

using books::BookEntries;
using books::OpeningFlow;
using platform::StartFailure;

namespace {

class OpeningFlowTest : public ManagerFixture {
  protected:
    OpeningFlowTest()
        : recording(prefix.prefix(), "maria")
    {
    }
    platform::Platform *platform() override { return &recording; }
    void SetUp() override
    {
        ManagerFixture::SetUp();
        drives = std::make_unique<drive::MountDrive>(recording, state, box);
        opening = std::make_unique<OpeningFlow>(recording, state, box, *drives, programFolder, [this] {
            ++rebuilt;
            list = BookEntries::entries(state);
        });
    }
    // A book registered for MARIA and, as the list window's load step leaves it, mapped.
    QString installBook(const QString &name, QChar letter, bool mapIt = true)
    {
        const QString folder = makeBook(name);
        registerBook("MARIA", name, QString(letter) + ':', folder);
        if (mapIt)
            link(letter, unixOf(folder));
        return folder;
    }
    QString row(const QString &course)
    {
        return state.rsMapeamento->findFirst("Curso", course)
                   ? state.rsMapeamento->field("LetraDrive").toString()
                   : QString();
    }
    // Takes a free letter with a folder that is not a book.
    void takeLetter(QChar letter)
    {
        if (QFileInfo(prefix.root() + "/dosdevices/" + letter.toLower() + ":").isSymLink())
            return;
        const QString other = prefix.root() + "/other-" + letter;
        QDir().mkpath(other);
        link(letter, other);
    }

    const QString programFolder = "/opt/Program Files/ZEKO Download";
    RecordingPlatform recording;
    std::unique_ptr<drive::MountDrive> drives;
    std::unique_ptr<OpeningFlow> opening;
    int rebuilt = 0;
    QStringList list;
};

} // namespace

// A mapped book starts the launcher beside the manager at once, with the drive as
// its one argument, after DriveCD was rewritten; blanks in the folder are safe
// because the arguments go as a list.
TEST_F(OpeningFlowTest, MappedBookStartsTheLauncherWithItsDrive)
{
    installBook("Basico", 'X');
    (void)opening->open("Basico [ X: ]");
    ASSERT_EQ(recording.starts.size(), 1) << box.texts().join('\n').toStdString();
    EXPECT_EQ(recording.starts[0].program, programFolder + "/LoadZEKOV.EXE");
    EXPECT_EQ(recording.starts[0].arguments, QStringList{"X:"});
    EXPECT_EQ(prefix.readFile(prefix.zekoIni()),
              "[InstalacaoVersao5]\r\nIdiomaInst=POR\r\nDriveCD=X:\r\n[ZEKODownload]\r\nDrive=C:\r\n");
    EXPECT_TRUE(box.shown.isEmpty());
}

// Without DriveCD (or without its section) the book's Autorun.exe runs from the
// drive's root, and zeko.ini stays as it was, byte for byte.
TEST_F(OpeningFlowTest, WithoutDriveCDTheBooksOwnProgramRuns)
{
    installBook("Basico", 'X');
    for (const QByteArray &ini :
         {QByteArray("[InstalacaoVersao5]\r\nIdiomaInst=POR\r\n[ZEKODownload]\r\nDrive=C:\r\n"),
          QByteArray("[InstalacaoVersao5]\r\nIdiomaInst=POR\r\nDriveCD=\r\n[ZEKODownload]\r\nDrive=C:\r\n"),
          QByteArray("; no course here\n[ZEKODownload]\nDrive=C:\n")}) {
        recording.starts.clear();
        prefix.writeZekoIni(ini);
        (void)opening->open("Basico [ X: ]");
        ASSERT_EQ(recording.starts.size(), 1) << ini.toStdString();
        EXPECT_EQ(recording.starts[0].program, "X:\\Autorun.exe");
        EXPECT_TRUE(recording.starts[0].arguments.isEmpty());
        EXPECT_EQ(recording.starts[0].workingDirectory, "X:\\");
        EXPECT_EQ(prefix.readFile(prefix.zekoIni()), ini);
    }
}

// Only whether DriveCD holds anything matters: one character is enough.
TEST_F(OpeningFlowTest, AtualizaDriveReadsTwoCharacters)
{
    prefix.writeZekoIni("[InstalacaoVersao5]\r\nDriveCD=E\r\n");
    EXPECT_EQ(opening->AtualizaDrive("\\zeko.ini", "Y:").setting, OpeningFlow::DriveSetting::Written);
    EXPECT_EQ(prefix.readFile(prefix.zekoIni()), "[InstalacaoVersao5]\r\nDriveCD=Y:\r\n");
    EXPECT_EQ(opening->AtualizaDrive("\\zeko.ini", "").setting, OpeningFlow::DriveSetting::Absent);
    prefix.writeZekoIni("[InstalacaoVersao5]\r\nDriveCD=  \r\n");
    EXPECT_EQ(opening->AtualizaDrive("\\zeko.ini", "Y:").setting, OpeningFlow::DriveSetting::Absent);
}

// X: now shows another folder without the book, Z: is free: the book moves to Z:,
// its row and the list say so, and the launcher gets Z:.
TEST_F(OpeningFlowTest, BookWhoseLetterIsTakenMovesToTheHighestFreeLetter)
{
    const QString basico = installBook("Basico", 'X', /*mapIt=*/false);
    installBook("Avancado", 'Y');
    takeLetter('X');
    QFile::remove(prefix.root() + "/dosdevices/z:");
    (void)opening->open("Basico [ X: ]");
    ASSERT_EQ(recording.starts.size(), 1) << box.texts().join('\n').toStdString();
    EXPECT_EQ(recording.starts[0].arguments, QStringList{"Z:"});
    EXPECT_EQ(mapped('Z'), unixOf(basico));
    EXPECT_EQ(row("Basico"), "Z:");
    EXPECT_EQ(row("Avancado"), "Y:");
    EXPECT_TRUE(list.contains("Basico [ Z: ]")) << list.join(" | ").toStdString();
    EXPECT_TRUE(box.shown.isEmpty());
}

// X: is another drive that holds the course files (the course CD): it starts on
// X: as it is, without any mapping.
TEST_F(OpeningFlowTest, DriveThatHoldsTheCourseStartsAsItIs)
{
    makeBook("Basico");
    registerBook("MARIA", "Basico", "X:", "C:\\ZEKO_Download\\Download\\Basico");
    const QString cd = prefix.root() + "/cd";
    prefix.writeFile(cd + "/AUTORUN.EXE", "MZ");
    prefix.writeFile(cd + "/IDIOMA.KVT", "POR");
    link('X', cd);
    (void)opening->open("Basico [ X: ]");
    ASSERT_EQ(recording.starts.size(), 1);
    EXPECT_EQ(recording.starts[0].arguments, QStringList{"X:"});
    EXPECT_EQ(QFileInfo(prefix.root() + "/dosdevices/x:").symLinkTarget(), QFileInfo(cd).absoluteFilePath());
    EXPECT_EQ(row("Basico"), "X:");
}

// Every letter taken and the book not mapped: message 7 names its old drive and
// nothing starts.
TEST_F(OpeningFlowTest, NoFreeLetterSaysSoAndStartsNothing)
{
    installBook("Basico", 'X', /*mapIt=*/false);
    for (char16_t c = u'D'; c <= u'Z'; ++c)
        takeLetter(QChar(c));
    (void)opening->open("Basico [ X: ]");
    EXPECT_TRUE(recording.starts.isEmpty());
    EXPECT_EQ(box.texts(), QStringList{texto(code::NoFreeLetterToOpen, {"X:"})});
    EXPECT_EQ(row("Basico"), "X:");
}

// While the course runs nothing is opened: message 33, as stored.
TEST_F(OpeningFlowTest, CourseRunningRefusesToOpen)
{
    installBook("Basico", 'X');
    recording.courseRunning = true;
    (void)opening->open("Basico [ X: ]");
    EXPECT_TRUE(recording.starts.isEmpty());
    EXPECT_EQ(box.texts(), QStringList{descricao(code::CourseRunningOpen)});
    EXPECT_EQ(prefix.readFile(prefix.zekoIni()),
              "[InstalacaoVersao5]\r\nIdiomaInst=POR\r\nDriveCD=D:\r\n[ZEKODownload]\r\nDrive=C:\r\n");
}

// A book folder deleted by hand: opening adds no message of its own, starts
// nothing and rebuilds the list. The scan before it finds the mapping dangling,
// so it drops the row with its own messages 2 and 3.
TEST_F(OpeningFlowTest, DeletedFolderOnlyRefreshesTheList)
{
    const QString folder = installBook("Basico", 'X');
    installBook("Avancado", 'Y');
    QDir(unixOf(folder)).removeRecursively();
    (void)opening->open("Basico [ X: ]");
    EXPECT_TRUE(recording.starts.isEmpty());
    EXPECT_EQ(rebuilt, 1);
    EXPECT_EQ(box.texts(), QStringList({texto(code::RegisteredFolderMissing, {folder, "X:"}),
                                        texto(code::MissingBookUnregistered, {folder})}));
    EXPECT_EQ(list, QStringList({"[" + descricao(code::BookListFirstEntry) + "]", "Avancado [ Y: ]"}));
}

// A name holding "[" is read up to the entry's last " [ ", so that book opens too.
TEST_F(OpeningFlowTest, NameWithABracketStillOpens)
{
    installBook("Livro [Beta]", 'W');
    (void)opening->open("Livro [Beta] [ W: ]");
    ASSERT_EQ(recording.starts.size(), 1) << box.texts().join('\n').toStdString();
    EXPECT_EQ(recording.starts[0].arguments, QStringList{"W:"});
    EXPECT_EQ(BookEntries::nameOfEntry("Livro [ A [ X: ]"), "Livro [ A");
    EXPECT_EQ(BookEntries::letterOfEntry("Livro [ A [ X: ]"), "X:");
    EXPECT_EQ(BookEntries::nameOfEntry("[ Selecione um livro ]"), "");
}

// An entry whose drive no row has any more (the data changed underneath): no
// other book's row is touched, no drive is mapped, the list is rebuilt.
TEST_F(OpeningFlowTest, EntryWithoutARowChangesNoOtherRow)
{
    installBook("Basico", 'X', /*mapIt=*/false);
    installBook("Avancado", 'Y', /*mapIt=*/false);
    takeLetter('X');
    takeLetter('Y');
    // The entry names V:, which no row holds, for Basico's folder.
    (void)opening->open("Basico [ V: ]");
    EXPECT_TRUE(recording.starts.isEmpty());
    EXPECT_EQ(row("Basico"), "X:");
    EXPECT_EQ(row("Avancado"), "Y:");
    EXPECT_TRUE(mapped('W').isEmpty()); // the highest free letter here (z: is /)
    EXPECT_EQ(rebuilt, 1);
}

// A failed mapping shows the mapping report, then message 1; the row stays.
TEST_F(OpeningFlowTest, FailedMappingShowsTwoBoxesAndKeepsTheRow)
{
    const QString folder = installBook("Basico", 'X', /*mapIt=*/false);
    takeLetter('X');
    state.strLetrasLivres = {QString(), "W"};
    // W: turns into a plain file after the scan: mapping there fails.
    QString letter = "X:";
    prefix.writeFile(prefix.root() + "/dosdevices/w:", "not a link");
    EXPECT_FALSE(opening->MontaLivro(folder, letter));
    ASSERT_EQ(box.shown.size(), 2) << box.texts().join('\n').toStdString();
    EXPECT_EQ(box.texts()[1], texto(code::BookFolderOrDriveFailed, {folder, "W"}));
    EXPECT_EQ(letter, "X:");
    EXPECT_EQ(row("Basico"), "X:");
}

// The registry refuses the book's new letter: the mapping just made is released
// again, so no drive is left that no row names; the user reads why, nothing
// starts, and the row keeps its letter.
TEST_F(OpeningFlowTest, RefusedRowReleasesTheMapping)
{
    const QString folder = installBook("Basico", 'X', /*mapIt=*/false);
    takeLetter('X');
    QFile::remove(prefix.root() + "/dosdevices/z:");
    install.refuseRows("UPDATE");
    EXPECT_FALSE(opening->open("Basico [ X: ]"));
    EXPECT_EQ(recording.devices, QStringList({"define Z: " + folder, "remove Z: " + folder}));
    EXPECT_TRUE(mapped('Z').isEmpty());
    EXPECT_EQ(box.texts(),
              QStringList{texto(code::RegistryRefused, {"Basico"}) + "\n" +
                          texto(code::ReasonLine, {descricao(code::ReasonSystemError) + " (SQLite 1811)"})});
    EXPECT_TRUE(recording.starts.isEmpty());
    EXPECT_EQ(row("Basico"), "X:");
}

// A program that cannot start is explained in the user's language, by cause, and
// never reported as started.
TEST_F(OpeningFlowTest, StartFailuresAreExplained)
{
    installBook("Basico", 'X');
    const std::vector<std::pair<StartFailure, QString>> cases = {
        {StartFailure::WineMissing, descricao(code::WineMissing)},
        {StartFailure::No32BitWine, descricao(code::Wine32Missing)},
        {StartFailure::No32BitLinux, descricao(code::Linux32Missing)},
        {StartFailure::NotFound, texto(code::StartProgramMissing, {programFolder + "/LoadZEKOV.EXE"})},
        {StartFailure::NotAProgram, texto(code::StartProgramFailed, {programFolder + "/LoadZEKOV.EXE"})},
    };
    for (const auto &[failure, message] : cases) {
        box.shown.clear();
        recording.failNext = failure;
        EXPECT_FALSE(opening->AbreLivro("\\zeko.ini", "X:"));
        EXPECT_EQ(box.texts(), QStringList{message});
    }
    box.shown.clear();
    recording.failNext = StartFailure::Other;
    (void)opening->open("Basico [ X: ]");
    ASSERT_EQ(box.shown.size(), 1);
    // The reason in the user's words, never the system's English.
    EXPECT_EQ(box.texts()[0],
              texto(code::StartProgramFailed, {programFolder + "/LoadZEKOV.EXE"}) + "\n" +
                  texto(code::ReasonLine, {descricao(code::ReasonSystemError) + " (ENOEXEC)"}));
    EXPECT_TRUE(recording.starts.isEmpty());
}

// A DriveCD that cannot be written starts nothing: the course would look for
// its book on the drive the file still names. The user reads which file and why.
TEST_F(OpeningFlowTest, DriveCDThatCannotBeWrittenStartsNothing)
{
    installBook("Basico", 'X');
    const QByteArray before = prefix.readFile(prefix.zekoIni());
    recording.profileReadOnly = true;
    EXPECT_FALSE(opening->open("Basico [ X: ]"));
    EXPECT_TRUE(recording.starts.isEmpty());
    EXPECT_EQ(box.texts(),
              QStringList{texto(code::DriveCDNotWritten, {"X:", "C:\\windows\\system32\\zeko.ini"}) + "\n" +
                          texto(code::ReasonLine, {descricao(code::ReasonReadOnly) + " (EROFS)"})});
    EXPECT_EQ(prefix.readFile(prefix.zekoIni()), before);
}

// A folder that already shows on a letter is never given a second one, whether
// it lacks the course files (they sit one folder down) or its letter was made
// by hand: the row follows the letter the folder has, each opening alike.
TEST_F(OpeningFlowTest, AFolderThatHasALetterKeepsIt)
{
    const QString um = installBook("Um", 'X');
    QFile::remove(unixOf(um) + "/Autorun.exe");
    const QString dois = installBook("Dois", 'W', /*mapIt=*/false);
    link('V', unixOf(dois));
    for (int vez = 0; vez < 2; ++vez) {
        EXPECT_TRUE(opening->open("Um [ X: ]"));
        EXPECT_TRUE(opening->open(vez == 0 ? "Dois [ W: ]" : "Dois [ V: ]"));
    }
    EXPECT_EQ(row("Um"), "X:");
    EXPECT_EQ(row("Dois"), "V:");
    EXPECT_TRUE(list.contains("Dois [ V: ]")) << list.join(" | ").toStdString();
    QStringList letters;
    for (QChar l = u'D'; l <= u'Z'; l = QChar(l.unicode() + 1))
        if (mapped(l) == unixOf(um) || mapped(l) == unixOf(dois))
            letters << l;
    EXPECT_EQ(letters, QStringList({"V", "X"}));
    ASSERT_EQ(recording.starts.size(), 4) << box.texts().join('\n').toStdString();
    EXPECT_EQ(recording.starts[3].arguments, QStringList{"V:"});
    EXPECT_TRUE(box.shown.isEmpty());

    // At exit every letter leading to a book goes, whatever the folder holds.
    drives->DesmontaLivros();
    EXPECT_TRUE(mapped('X').isEmpty());
    EXPECT_TRUE(mapped('V').isEmpty());
}

// The list: entry 0, then the user's books by name, each "Curso [ X: ]"; every
// book entry can be opened and removed, entry 0 never.
TEST_F(OpeningFlowTest, ListEntriesInNameOrder)
{
    installBook("Basico", 'X', false);
    installBook("Avancado", 'Y', false);
    registerBook("JOAO", "Outro", "W:", "C:\\ZEKO_Download\\Download\\Outro");
    EXPECT_EQ(BookEntries::entries(state), QStringList({"[" + descricao(code::BookListFirstEntry) + "]",
                                                        "Avancado [ Y: ]", "Basico [ X: ]"}));
    EXPECT_FALSE(BookEntries::isBookEntry(0));
    EXPECT_TRUE(BookEntries::isBookEntry(1));
}
