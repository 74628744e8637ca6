#include "drive/MountDrive.h"
#include "common/ManagerFixture.h"
#include "common/QtPrinters.h"
#include "messages/Codes.h"

#include <QHash>
#include <QProcess>

#include <sqlite3.h>

#include <cerrno>

namespace code = messages::code;

using drive::MountDrive;

namespace {

// The Wine platform with mapping requests that fail, as a full or read-only
// prefix would make them fail.
class RefusingPlatform : public NamedUserPlatform {
  public:
    using NamedUserPlatform::NamedUserPlatform;
    platform::DeviceOutcome defineDosDevice(const QString &, const QString &) override
    {
        return platform::DeviceOutcome::failed(platform::DeviceFailure::Other, "cannot create the link",
                                               EROFS);
    }
    platform::DeviceOutcome removeDosDevice(const QString &, const QString &) override
    {
        return platform::DeviceOutcome::failed(platform::DeviceFailure::Other, "cannot remove the link",
                                               EACCES);
    }
};

// The Wine platform where some letters are other kinds of drive: a network share
// (4) or a CD (5), as Wine reports a link into such a file system.
class TypedPlatform : public NamedUserPlatform {
  public:
    using NamedUserPlatform::NamedUserPlatform;
    int driveType(QChar letter) const override
    {
        return types.value(letter.toUpper(), NamedUserPlatform::driveType(letter));
    }
    QHash<QChar, int> types;
};

class MountDriveTest : public ManagerFixture {
  protected:
    MountDrive drives() { return MountDrive(*platform(), state, box); }
    QString report(const QString &bookPath, const QString &letter, const char *errorNumber, int code)
    {
        return texto(code::BookFolderOrDriveFailed, {bookPath, letter}) + "\n(" + errorNumber + ") " +
               descricao(code);
    }
};

class RefusedMountDriveTest : public MountDriveTest {
  protected:
    RefusedMountDriveTest()
        : refusing(prefix.prefix(), "maria")
    {
    }
    platform::Platform *platform() override { return &refusing; }
    RefusingPlatform refusing;
};

} // namespace

// Z: (the root) and Y: are taken, so the highest free letter is X; the scan goes
// from Z down to D and never lists C.
TEST_F(MountDriveTest, ScanListsFreeLettersFromTheTop)
{
    link(u'y', prefix.driveC());
    drives().MontaListaDrives(false);
    ASSERT_GE(state.strLetrasLivres.size(), 2);
    EXPECT_EQ(state.strLetrasLivres[0], "");
    EXPECT_EQ(state.strLetrasLivres[1], "X");
    EXPECT_EQ(state.strLetrasLivres.size(), 1 + 21);
    EXPECT_EQ(state.strLetrasLivres.last(), "D");
    EXPECT_TRUE(box.shown.isEmpty());
}

// A letter whose mapping leads nowhere is free, as Wine sees it.
TEST_F(MountDriveTest, DanglingMappingCountsAsFree)
{
    link(u'y', prefix.root() + "/vanished");
    drives().MontaListaDrives(false);
    EXPECT_EQ(state.strLetrasLivres.value(1), "Y");
}

TEST_F(MountDriveTest, MountedRegisteredBookIsNeitherListedNorTouched)
{
    const QString livro = makeBook("LIVRO1");
    registerBook("MARIA", "LIVRO1", "Y:", livro);
    link(u'y', unixOf(livro));
    drives().MontaListaDrives(true);
    EXPECT_FALSE(state.strLetrasLivres.contains("Y"));
    EXPECT_EQ(mapped(u'Y'), unixOf(livro));
    EXPECT_TRUE(state.rsMapeamento->findFirst("Curso", "LIVRO1"));
    EXPECT_TRUE(box.shown.isEmpty());
}

// A book whose folder was deleted by hand: messages 2 then 3, the row goes, and
// the letter is free in the same scan.
TEST_F(MountDriveTest, VanishedFolderFreesItsLetter)
{
    const QString bookPath = "C:\\ZEKO_Download\\Download\\APAGADO";
    registerBook("MARIA", "APAGADO", "X:", bookPath);
    registerBook("MARIA", "OUTRO", "W:", makeBook("OUTRO"));
    drives().MontaListaDrives(false);
    ASSERT_EQ(box.shown.size(), 2);
    EXPECT_EQ(box.shown[0].texto, texto(code::RegisteredFolderMissing, {bookPath, "X:"}));
    EXPECT_EQ(box.shown[1].texto, texto(code::MissingBookUnregistered, {bookPath}));
    EXPECT_EQ(box.shown[0].tipoCaixa, 1);
    EXPECT_EQ(box.shown[0].tamanhoFonte, 10);
    EXPECT_TRUE(box.shown[0].aguardaResposta);
    EXPECT_FALSE(state.rsMapeamento->findFirst("Curso", "APAGADO"));
    EXPECT_TRUE(state.rsMapeamento->findFirst("Curso", "OUTRO"));
    EXPECT_EQ(state.strLetrasLivres.mid(1, 2), QStringList({"Y", "X"}));
    // Without pblCriaDrive the letter of an existing book stays reserved.
    EXPECT_FALSE(state.strLetrasLivres.contains("W"));
    EXPECT_TRUE(mapped(u'W').isEmpty());
}

TEST_F(MountDriveTest, ScanMapsRegisteredBooksAgain)
{
    const QString livro = makeBook("LIVRO1");
    registerBook("MARIA", "LIVRO1", "W:", livro);
    drives().MontaListaDrives(true);
    EXPECT_EQ(mapped(u'W'), unixOf(livro));
    EXPECT_FALSE(state.strLetrasLivres.contains("W"));
    EXPECT_TRUE(box.shown.isEmpty());
}

// A registered book whose folder already shows on another letter is not mapped
// a second time by the scan: its row follows the letter it has, and its own
// letter is free again.
TEST_F(MountDriveTest, ScanKeepsTheLetterAFolderHas)
{
    const QString livro = makeBook("LIVRO1");
    registerBook("MARIA", "LIVRO1", "W:", livro);
    link(u'V', unixOf(livro));
    drives().MontaListaDrives(true);
    EXPECT_TRUE(mapped(u'W').isEmpty());
    EXPECT_TRUE(state.strLetrasLivres.contains("W"));
    ASSERT_TRUE(state.rsMapeamento->findFirst("Curso", "LIVRO1"));
    EXPECT_EQ(state.rsMapeamento->field("LetraDrive").toString(), "V:");
    EXPECT_TRUE(box.shown.isEmpty());
}

// When mapping the book again fails, only the platform failed (the folder is
// there, the letter free): the failure is reported and the book stays registered.
TEST_F(RefusedMountDriveTest, FailedRemapKeepsTheRow)
{
    const QString livro = makeBook("LIVRO1");
    registerBook("MARIA", "LIVRO1", "W:", livro);
    drives().MontaListaDrives(true);
    EXPECT_TRUE(state.rsMapeamento->findFirst("Curso", "LIVRO1"));
    EXPECT_FALSE(state.strLetrasLivres.contains("W"));
    ASSERT_EQ(box.shown.size(), 1);
    EXPECT_EQ(box.shown[0].texto, texto(code::BookFolderOrDriveFailed, {livro, "W:"}) + "\n(0000) " +
                                      descricao(code::ReasonReadOnly) + " (EROFS)");
}

// A request the platform could not carry out is a failure, never a success.
TEST_F(RefusedMountDriveTest, RefusedRequestsReportFailure)
{
    const QString livro = makeBook("LIVRO1");
    EXPECT_FALSE(drives().MapeiaDrive("X", livro, false));
    link(u'x', unixOf(livro));
    EXPECT_FALSE(drives().MapeiaDrive("X", livro, true));
    ASSERT_EQ(box.shown.size(), 2);
    EXPECT_EQ(box.shown[1].texto, texto(code::BookFolderOrDriveFailed, {livro, "X:"}) + "\n(0000) " +
                                      descricao(code::ReasonNoPermission) + " (EACCES)");
}

TEST_F(MountDriveTest, LetterMustBeOneCharacter)
{
    const QString livro = makeBook("LIVRO1");
    EXPECT_FALSE(drives().MapeiaDrive("XY", livro, false));
    ASSERT_EQ(box.shown.size(), 1);
    EXPECT_EQ(box.shown[0].texto, report(livro, "XY", "0016", code::MapErrorInvalidLetter));
    EXPECT_TRUE(box.shown[0].texto.contains("\n(0016) "));
    EXPECT_FALSE(drives().MapeiaDrive("", livro, false));
    EXPECT_EQ(box.shown.size(), 2);

    EXPECT_TRUE(drives().MapeiaDrive(" X ", livro, false));
    EXPECT_EQ(mapped(u'X'), unixOf(livro));
    EXPECT_EQ(box.shown.size(), 2);
}

TEST_F(MountDriveTest, MappingAMissingFolderOrATakenLetter)
{
    EXPECT_FALSE(drives().MapeiaDrive("X", "C:\\ZEKO_Download\\Download\\NADA", false));
    EXPECT_EQ(box.shown.last().texto,
              report("C:\\ZEKO_Download\\Download\\NADA", "X", "0024", code::MapErrorFolderMissing));

    const QString livro = makeBook("LIVRO1");
    EXPECT_FALSE(drives().MapeiaDrive("C", livro, false));
    EXPECT_EQ(box.shown.last().texto, report(livro, "C:", "0025", code::MapErrorLetterIsDisk));
    EXPECT_EQ(QFileInfo(prefix.root() + "/dosdevices/c:").symLinkTarget(), prefix.driveC());
}

TEST_F(MountDriveTest, RemovingALetterThatIsNotMountedSaysNothing)
{
    const QString livro = makeBook("LIVRO1");
    EXPECT_FALSE(drives().MapeiaDrive("X", livro, true));
    EXPECT_TRUE(box.shown.isEmpty());
}

// Removal takes away only the book's own mapping, never another book's.
TEST_F(MountDriveTest, RemovalLeavesAnotherBooksMapping)
{
    const QString book1 = makeBook("LIVRO1");
    const QString book2 = makeBook("LIVRO2");
    ASSERT_TRUE(drives().MapeiaDrive("X", book2, false));
    EXPECT_FALSE(drives().MapeiaDrive("X", book1, true));
    EXPECT_EQ(mapped(u'X'), unixOf(book2));
    ASSERT_EQ(box.shown.size(), 1);
    EXPECT_EQ(box.shown[0].texto, report(book1, "X:", "0042", code::MapErrorOtherFolder));
    EXPECT_FALSE(drives().MapeiaDrive("Z", "Z:\\", true));
    EXPECT_EQ(QFileInfo(prefix.root() + "/dosdevices/z:").symLinkTarget(), "/");
    EXPECT_TRUE(drives().MapeiaDrive("X", book2, true));
    EXPECT_TRUE(mapped(u'X').isEmpty());
}

TEST_F(MountDriveTest, UnmappingAtExit)
{
    MountDrive d = drives();
    d.DesmontaLivros(); // no rows: nothing happens
    EXPECT_TRUE(box.shown.isEmpty());

    const QString mine = makeBook("MEU");
    const QString notMounted = makeBook("PARADO");
    const QString theirs = makeBook("DELES");
    registerBook("MARIA", "MEU", "X:", mine);
    registerBook("MARIA", "PARADO", "Y:", notMounted);
    registerBook("MARIA", "TROCADO", "W:", "C:\\ZEKO_Download\\Download\\TROCADO");
    registerBook("JOAO", "DELES", "V:", theirs);
    startUp();
    link(u'x', unixOf(mine));
    link(u'v', unixOf(theirs));
    // W: is now another disk without the book's files.
    QDir().mkpath(prefix.root() + "/outro-disco");
    link(u'w', prefix.root() + "/outro-disco");

    drives().DesmontaLivros();
    EXPECT_TRUE(mapped(u'X').isEmpty());
    EXPECT_EQ(mapped(u'V'), unixOf(theirs));
    EXPECT_EQ(mapped(u'W'), QFileInfo(prefix.root() + "/outro-disco").canonicalFilePath());
    EXPECT_TRUE(box.shown.isEmpty());
    EXPECT_EQ(state.rsMapeamento->recordCount(), 3);
}

TEST_F(MountDriveTest, PastaDeLivroNeedsBothFiles)
{
    const QString livro = makeBook("LIVRO1");
    EXPECT_TRUE(drives().PastaDeLivro(livro));
    EXPECT_TRUE(drives().PastaDeLivro(livro + "\\"));
    QFile::remove(prefix.driveC() + "/ZEKO_Download/Download/LIVRO1/Idioma.kvt");
    prefix.writeFile(prefix.driveC() + "/ZEKO_Download/Download/LIVRO1/IDIOMA.KVT", "POR");
    EXPECT_TRUE(drives().PastaDeLivro(livro));
    link(u'x', unixOf(livro));
    EXPECT_TRUE(drives().PastaDeLivro("X:"));
    QFile::remove(prefix.driveC() + "/ZEKO_Download/Download/LIVRO1/Autorun.exe");
    EXPECT_FALSE(drives().PastaDeLivro("X:"));
    EXPECT_FALSE(drives().PastaDeLivro("Q:"));
}

TEST_F(MountDriveTest, FindsTheCoursePlayerByFileName)
{
    EXPECT_FALSE(drives().CursoEmExecucao());
    QTemporaryDir bin;
    ASSERT_TRUE(QFile::link("/bin/sleep", bin.path() + "/pupilapp.exe"));
    QProcess player;
    player.start(bin.path() + "/pupilapp.exe", {"30"});
    ASSERT_TRUE(player.waitForStarted());
    const qint64 pid = player.processId();
    EXPECT_EQ(drives().ProcuraProcesso("PUPILAPP.EXE"), pid);
    EXPECT_TRUE(drives().CursoEmExecucao());
    // Only the bare file name counts.
    EXPECT_EQ(drives().ProcuraProcesso(bin.path() + "/pupilapp.exe"), 0);
    player.kill();
    player.waitForFinished();
    EXPECT_FALSE(drives().CursoEmExecucao());
}

// A vanished book whose row the registry refuses to delete (another program
// holds a write lock): the refusal is said with the reason in the user's words, the row
// stays and its letter is not listed free.
TEST_F(MountDriveTest, RowThatCannotBeDeletedKeepsItsLetter)
{
    const QString bookPath = "C:\\ZEKO_Download\\Download\\APAGADO";
    registerBook("MARIA", "APAGADO", "X:", bookPath);
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(install.registry()).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    drives().MontaListaDrives(false);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_EQ(box.shown.size(), 2);
    EXPECT_EQ(box.shown[0].texto, texto(code::RegisteredFolderMissing, {bookPath, "X:"}));
    EXPECT_EQ(box.shown[1].texto, texto(code::MissingBookNotUnregistered,
                                        {bookPath, descricao(code::ReasonInUse) + " (SQLite 5)"}));
    EXPECT_FALSE(state.strLetrasLivres.contains("X"));
    ASSERT_TRUE(state.rsMapeamento->requery());
    EXPECT_TRUE(state.rsMapeamento->findFirst("Curso", "APAGADO"));
}

// A letter that is a network share or a CD is never free, and a book's mapping
// that Wine reports so (a prefix on an NFS home) is still released.
class TypedMountDriveTest : public MountDriveTest {
  protected:
    TypedMountDriveTest()
        : typed(prefix.prefix(), "maria")
    {
    }
    platform::Platform *platform() override { return &typed; }
    TypedPlatform typed;
};

TEST_F(TypedMountDriveTest, NetworkAndCdLetters)
{
    typed.types = {{u'W', 4}, {u'V', 5}};
    drives().MontaListaDrives(false);
    EXPECT_FALSE(state.strLetrasLivres.contains("W"));
    EXPECT_FALSE(state.strLetrasLivres.contains("V"));
    EXPECT_TRUE(state.strLetrasLivres.contains("U"));

    const QString livro = makeBook("LIVRO1");
    ASSERT_TRUE(drives().MapeiaDrive("X", livro, false));
    typed.types.insert(u'X', 4);
    EXPECT_TRUE(drives().MapeiaDrive("X", livro, true));
    EXPECT_TRUE(mapped(u'X').isEmpty());
    // A letter of that kind that is no mapping is left alone, without a word.
    EXPECT_FALSE(drives().MapeiaDrive("V", livro, true));
    EXPECT_TRUE(box.shown.isEmpty());
}

// Folders are compared whole: LIVRO1's removal leaves X: alone when X: maps LIVRO10.
TEST_F(MountDriveTest, FolderNamesAreComparedWhole)
{
    const QString book1 = makeBook("LIVRO1");
    const QString book10 = makeBook("LIVRO10");
    ASSERT_TRUE(drives().MapeiaDrive("X", book10, false));
    EXPECT_FALSE(drives().MapeiaDrive("X", book1, true));
    EXPECT_EQ(mapped(u'X'), unixOf(book10));
    EXPECT_FALSE(drives().MapeiaDrive("X", "C:\\ZEKO_Download\\Download\\LIVRO", true));
    EXPECT_EQ(mapped(u'X'), unixOf(book10));
}
