#include "messages/Catalogue.h"
#include "common/EnglishWords.h"
#include "common/InstallDir.h"
#include "common/QtPrinters.h"
#include "messages/Codes.h"
#include "shell/registry/Database.h"
#include "shell/registry/Recordset.h"

#include <gtest/gtest.h>

namespace code = messages::code;

using shell::registry::Database;
using shell::registry::Recordset;

namespace {

const int kMessages[] = {
    code::BookFolderOrDriveFailed,
    code::RegisteredFolderMissing,
    code::MissingBookUnregistered,
    code::NoFreeLetterToInstall,
    code::ChooseZipPrompt,
    code::NoFreeLetterToOpen,
    code::BookRemovedFilesLeft,
    code::DriveNotReleased,
    code::DriveLacksBookUnlisted,
    code::BookAlreadyInstalled,
    code::BookListFirstEntry,
    code::MapErrorInvalidLetter,
    code::InstallUnpacking,
    code::ZipNotDeleted,
    code::RemovalFilesNotDeleted,
    code::InstallFolderMissing,
    code::InstallUnpacked,
    code::MapErrorFolderMissing,
    code::MapErrorLetterIsDisk,
    code::MapErrorOtherFolder,
    code::BookListTitle,
    code::InstallInformation,
    code::RemovedAndDeleted,
    code::RemovedFolderKept,
    code::ConfirmExit,
    code::CourseRunningOpen,
    code::MainTitle,
    code::CourseRunningLeave,
    code::ConfirmRemoval,
    code::CourseRunningRemove,
    code::BookInstalled,
    code::ZipNotFound,
    code::DeletingFiles,
    code::BookListInformation,
    code::WineMissing,
    code::Wine32Missing,
    code::Linux32Missing,
    code::StartProgramMissing,
    code::StartProgramFailed,
    code::ZipUnreadable,
    code::ZipEntryDamaged,
    code::ZipEntryUnsafe,
    code::NoDiskSpace,
    code::ZipTooLarge,
    code::ZipEmpty,
    code::BookFolderNotWritten,
    code::MissingBookNotUnregistered,
    code::DownloadFolderMissing,
    code::NameGivesNoBook,
    code::NameHasBadCharacter,
    code::NameReserved,
    code::NameTooLong,
    code::BookFolderOccupied,
    code::RemovalOutsideDownload,
    code::RemovalSharedFolder,
    code::RegistryRefused,
    code::DriveCDNotWritten,
    code::BookFolderNotMovedAside,
    code::ZipHoldsNoBook,
    code::ZipMethodUnreadable,
    code::InstallProgress,
    code::HandoverBusy,
    code::ReasonLine,
    code::ReasonNoPermission,
    code::ReasonDiskFull,
    code::ReasonReadOnly,
    code::ReasonNotFound,
    code::ReasonNameTooLong,
    code::ReasonInUse,
    code::ReasonDiskError,
    code::ReasonRegistryDamaged,
    code::ReasonSystemError,
};
const int kButtons[] = {
    messages::hint::MyBooks,    messages::hint::SelectZip,   messages::hint::OpenBook,
    messages::hint::RemoveBook, messages::hint::BackToMain,  messages::hint::Minimize,
    messages::hint::Exit,       messages::hint::InstallBook, messages::hint::Help,
};
const char *const kLanguages[] = {"POR", "ING", "ESP"};

class CatalogueTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        QString error;
        db = Database::open(dir.catalogue(), Database::Mode::ExclusiveReadOnly, &error);
        ASSERT_TRUE(db) << error.toStdString();
    }
    std::unique_ptr<Recordset> open(const char *table, const QString &language)
    {
        QString error;
        auto rs = Recordset::open(*db, QStringLiteral("SELECT * FROM %1 WHERE Idioma = ?").arg(table),
                                  {language}, &error);
        EXPECT_TRUE(rs) << error.toStdString();
        return rs;
    }
    InstallDir dir;
    std::unique_ptr<Database> db;
};

} // namespace

// Every text the windows and flows ask for exists in every language, and the
// placeholder count the catalogue declares is the one the text carries.
TEST_F(CatalogueTest, EveryCodeInEveryLanguageWithMatchingPlaceholders)
{
    for (const char *language : kLanguages) {
        auto rsMensagens = open("Mensagens", language);
        auto rsBotoes = open("Botoes", language);
        ASSERT_TRUE(rsMensagens && rsBotoes);
        for (int code : kMessages) {
            ASSERT_TRUE(rsMensagens->findFirst("Codigo", code)) << language << " Mensagens " << code;
            const QString texto = rsMensagens->field("Descricao").toString();
            EXPECT_FALSE(texto.trimmed().isEmpty()) << language << " " << code;
            EXPECT_EQ(rsMensagens->field("QtdParam").toInt(), texto.count(u'@')) << language << " " << code;
            EXPECT_EQ(rsMensagens->field("Idioma").toString(), QString::fromLatin1(language));
        }
        for (int code : kButtons) {
            ASSERT_TRUE(rsBotoes->findFirst("Codigo", code)) << language << " Botoes " << code;
            EXPECT_FALSE(rsBotoes->field("Hint").toString().trimmed().isEmpty());
        }
    }
}

// The three languages really differ: no text was left untranslated by copying.
TEST_F(CatalogueTest, LanguagesAreTranslated)
{
    auto por = open("Mensagens", "POR");
    auto ing = open("Mensagens", "ING");
    auto esp = open("Mensagens", "ESP");
    int same = 0;
    for (int code : kMessages) {
        if (code == code::ReasonLine)
            continue; // "Motivo: @" is the Portuguese and the Spanish alike
        ASSERT_TRUE(por->findFirst("Codigo", code)) << code;
        ASSERT_TRUE(ing->findFirst("Codigo", code)) << code;
        ASSERT_TRUE(esp->findFirst("Codigo", code)) << code;
        const QString p = por->field("Descricao").toString();
        same += (p == ing->field("Descricao").toString()) + (p == esp->field("Descricao").toString());
    }
    EXPECT_EQ(same, 0);
}

// Every row of the Portuguese and Spanish catalogues, messages and hints
// alike, reads without an English sentence in it.
TEST_F(CatalogueTest, NoEnglishInPortugueseOrSpanish)
{
    for (const char *language : {"POR", "ESP"})
        for (const auto &[table, field] : {std::pair{"Mensagens", "Descricao"}, {"Botoes", "Hint"}}) {
            auto rs = open(table, language);
            ASSERT_TRUE(rs);
            int rows = 0;
            for (rs->moveFirst(); !rs->eof(); rs->moveNext(), ++rows) {
                const QString text = rs->field(field).toString();
                EXPECT_EQ(englishWordsIn(text), QStringList())
                    << language << " " << table << " " << rs->field("Codigo").toInt() << ": "
                    << text.toStdString();
            }
            EXPECT_GT(rows, 0) << language << " " << table;
        }
}

TEST_F(CatalogueTest, LookupFillsParameters)
{
    auto rsMensagens = open("Mensagens", "ING");
    auto rsBotoes = open("Botoes", "ING");
    messages::Catalogue catalogue(*rsMensagens, *rsBotoes);
    const QString texto =
        catalogue.mensagem(code::RegisteredFolderMissing, {"C:\\ZEKO_Download\\Download\\LIVRO1", "X:"});
    EXPECT_TRUE(texto.contains("C:\\ZEKO_Download\\Download\\LIVRO1"));
    EXPECT_TRUE(texto.contains("X:"));
    EXPECT_FALSE(texto.contains(u'@'));
}

// A folder whose name holds "@" reaches the user whole, and the drive still
// fills the placeholder after it.
TEST_F(CatalogueTest, FolderWithAtSignIsShownWhole)
{
    auto rsMensagens = open("Mensagens", "ING");
    auto rsBotoes = open("Botoes", "ING");
    messages::Catalogue catalogue(*rsMensagens, *rsBotoes);
    const QString texto =
        catalogue.mensagem(code::BookFolderOrDriveFailed, {"C:\\ZEKO_Download\\Download\\maria@casa", "X:"});
    EXPECT_TRUE(texto.contains("Folder: #C:\\ZEKO_Download\\Download\\maria@casa|")) << texto.toStdString();
    EXPECT_TRUE(texto.contains("Drive: #X:|")) << texto.toStdString();
}

// A missing code names itself instead of showing the row the set stood on before.
TEST_F(CatalogueTest, MissingCodeNamesItself)
{
    auto rsMensagens = open("Mensagens", "POR");
    auto rsBotoes = open("Botoes", "POR");
    messages::Catalogue catalogue(*rsMensagens, *rsBotoes);
    constexpr int kNoSuchMessage = 999, kNoSuchHint = 6; // codes the catalogue does not have
    const QString title = catalogue.descricao(code::MainTitle);
    const QString missing = catalogue.descricao(kNoSuchMessage);
    EXPECT_NE(missing, title);
    EXPECT_TRUE(missing.contains("999"));
    EXPECT_TRUE(catalogue.hint(kNoSuchHint).contains("6"));
    EXPECT_EQ(catalogue.qtdParam(kNoSuchMessage), 0);
}
