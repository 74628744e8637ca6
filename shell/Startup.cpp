#include "Startup.h"

#include "DataPlaces.h"
#include "Sistema.h"
#include "books/RemovalLeftovers.h"
#include "install/BookStaging.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "platform/Platform.h"
#include "platform/SingleInstance.h"

#include <QFileInfo>
#include <QHash>

#include <cerrno>

namespace shell {

namespace {

// Start-up failures are said before any catalogue text can be trusted, so their
// few texts live here, in the three languages of the course.
enum class StartText {
    Registry,
    Catalogue,
    NoLanguage,
    FileMissing,
    FileLine,
    Missing,
    NotAFile,
    ReadOnly,
    InUse,
    NotADatabase,
    Locked,
    ErrorLine,
    Instance,
    RegistryNotMade,
    TemplateMissing,
    TemplateNotARegistry,
    DiskFull,
    FolderNotWritable,
};

QString texto(StartText t, const QString &language)
{
    static const QHash<int, std::array<const char *, 3>> texts = {
        {int(StartText::Registry),
         {"Não foi possível abrir o registro de livros.", "The book registry could not be opened.",
          "No se pudo abrir el registro de libros."}},
        {int(StartText::Catalogue),
         {"Não foi possível abrir o catálogo de mensagens.", "The message catalogue could not be opened.",
          "No se pudo abrir el catálogo de mensajes."}},
        {int(StartText::NoLanguage),
         {"O catálogo de mensagens não tem textos para o idioma \"%1\" (IdiomaInst em %2).",
          "The message catalogue has no texts for the language \"%1\" (IdiomaInst in %2).",
          "El catálogo de mensajes no tiene textos para el idioma \"%1\" (IdiomaInst en %2)."}},
        {int(StartText::FileLine), {"Arquivo: %1", "File: %1", "Archivo: %1"}},
        {int(StartText::FileMissing),
         {"Um arquivo do programa está faltando ou não pode ser lido: %1",
          "A file of the program is missing or cannot be read: %1",
          "Falta un archivo del programa o no se puede leer: %1"}},
        {int(StartText::Missing),
         {"O arquivo não existe.", "The file does not exist.", "El archivo no existe."}},
        {int(StartText::NotAFile),
         {"O caminho não é um arquivo.", "The path is not a file.", "La ruta no es un archivo."}},
        {int(StartText::ReadOnly),
         {"O arquivo é somente leitura.", "The file is read-only.", "El archivo es de solo lectura."}},
        {int(StartText::InUse),
         {"O arquivo está em uso por outro programa.", "The file is in use by another program.",
          "El archivo está en uso por otro programa."}},
        {int(StartText::NotADatabase),
         {"O arquivo não é um banco de dados válido.", "The file is not a valid database.",
          "El archivo no es una base de datos válida."}},
        {int(StartText::Locked),
         {"O banco de dados está bloqueado por outro programa.", "The database is locked by another program.",
          "La base de datos está bloqueada por otro programa."}},
        {int(StartText::ErrorLine), {"Erro: %1", "Error: %1", "Error: %1"}},
        {int(StartText::Instance),
         {"Não foi possível verificar se o ZEKO Download já está aberto.",
          "It could not be checked whether ZEKO Download is already open.",
          "No se pudo comprobar si ZEKO Download ya está abierto."}},
        {int(StartText::RegistryNotMade),
         {"Não foi possível criar o seu registro de livros.", "Your book registry could not be made.",
          "No se pudo crear su registro de libros."}},
        {int(StartText::TemplateMissing),
         {"O modelo do registro não existe ou não pode ser lido: %1",
          "The registry template does not exist or cannot be read: %1",
          "La plantilla del registro no existe o no se puede leer: %1"}},
        {int(StartText::TemplateNotARegistry),
         {"O modelo do registro não é um registro de livros: %1",
          "The registry template is not a book registry: %1",
          "La plantilla del registro no es un registro de libros: %1"}},
        {int(StartText::DiskFull),
         {"Não há espaço livre no disco.", "The disk is full.", "El disco está lleno."}},
        {int(StartText::FolderNotWritable),
         {"Sem permissão para escrever na pasta %1.", "There is no permission to write in the folder %1.",
          "No hay permiso para escribir en la carpeta %1."}},
    };
    const auto &line = texts.value(int(t));
    const QString code = language.trimmed().toUpper();
    if (code == QStringLiteral("ING"))
        return QString::fromUtf8(line[1]);
    if (code == QStringLiteral("ESP"))
        return QString::fromUtf8(line[2]);
    if (code.isEmpty() || code == QStringLiteral("POR"))
        return QString::fromUtf8(line[0]);
    // A language the product does not know: say it in all three.
    return QString::fromUtf8(line[0]) + u'\n' + QString::fromUtf8(line[1]) + u'\n' +
           QString::fromUtf8(line[2]);
}

StartText reason(registry::Database::Failure f)
{
    switch (f) {
    case registry::Database::Failure::Missing:
        return StartText::Missing;
    case registry::Database::Failure::NotAFile:
        return StartText::NotAFile;
    case registry::Database::Failure::ReadOnly:
        return StartText::ReadOnly;
    case registry::Database::Failure::InUse:
        return StartText::InUse;
    case registry::Database::Failure::NotADatabase:
        return StartText::NotADatabase;
    case registry::Database::Failure::Locked:
        return StartText::Locked;
    default:
        return StartText::ErrorLine;
    }
}

QString databaseFailure(StartText which, const QString &language, const QString &file,
                        registry::Database::Failure f, const QString &detail)
{
    QString msg = texto(which, language) + u'\n' + texto(StartText::FileLine, language).arg(file) + u'\n';
    const StartText m = reason(f);
    msg += m == StartText::ErrorLine ? texto(m, language).arg(detail) : texto(m, language);
    return msg;
}

// A registry of the user's own that could not be made from the template.
QString registryNotMade(const QString &language, const QString &file, const QString &templateFile,
                        const DataPlaces::Made &made)
{
    QString msg = texto(StartText::RegistryNotMade, language) + u'\n' +
                  texto(StartText::FileLine, language).arg(file) + u'\n';
    switch (made.failure()) {
    case DataPlaces::Failure::NoTemplate:
        return msg + texto(StartText::TemplateMissing, language).arg(templateFile);
    case DataPlaces::Failure::BadTemplate:
        return msg + texto(StartText::TemplateNotARegistry, language).arg(templateFile);
    default:
        break;
    }
    switch (made.systemError()) {
    case ENOSPC:
    case EDQUOT:
        return msg + texto(StartText::DiskFull, language);
    case EACCES:
    case EPERM:
    case EROFS:
        return msg + texto(StartText::FolderNotWritable, language).arg(QFileInfo(file).absolutePath());
    default:
        return msg + texto(StartText::ErrorLine, language).arg(made.reason());
    }
}

} // namespace

Startup::Startup(platform::Platform &platform, platform::SingleInstance &instance, QString installFolder,
                 Catalogue catalogue)
    : m_platform(platform)
    , m_instance(instance)
    , m_installFolder(std::move(installFolder))
    , m_catalogue(catalogue)
{
}

QString Startup::MostraVersao(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QChar(u'0'))
        .arg(revision, 4, 10, QChar(u'0'));
}

QString Startup::missingFileText(const QString &language, const QString &file)
{
    return texto(StartText::FileMissing, effectiveLanguage(language)).arg(file);
}

QString Startup::instanceFailure(const QString &language, const QString &reason)
{
    const QString i = effectiveLanguage(language);
    return texto(StartText::Instance, i) + u'\n' + texto(StartText::ErrorLine, i).arg(reason);
}

QString Startup::effectiveLanguage(const QString &installedLanguage)
{
    return installedLanguage.isEmpty() ? QStringLiteral("POR") : installedLanguage;
}

StartupResult Startup::run(SharedState &state)
{
    using Status = StartupResult::Status;
    Sistema sys(m_platform);
    switch (m_instance.tryAcquire()) {
    case platform::SingleInstance::Lock::Acquired:
        break;
    case platform::SingleInstance::Lock::HeldElsewhere:
        return {Status::AlreadyRunning, {}};
    case platform::SingleInstance::Lock::Failed:
        return {Status::Failed, instanceFailure(sys.LeIdiomaInst(), m_instance.errorString())};
    }

    state.versionCaption = MostraVersao(ZEKO_VERSION_MAJOR, ZEKO_VERSION_MINOR, ZEKO_VERSION_PATCH);
    // A zeko.ini that cannot take the drive is not fatal: the download folder then
    // lies on the current drive's root, as with no zeko.ini at all.
    (void)sys.GaranteDriveDownload();
    state.strNomeForm = QStringLiteral("frmPrincipal");

    const QString folder = m_installFolder;
    state.strPastaCaiMsg = folder + QStringLiteral("/Imagens/Cai_Msg/");
    state.strPastaTlaPrc = folder + QStringLiteral("/Imagens/TLA_PRC/");
    state.strPastaTlaLiv = folder + QStringLiteral("/Imagens/TLA_LIV/");
    state.strPastaTlaIns = folder + QStringLiteral("/Imagens/TLA_INS/");
    state.strPastaHelp = folder + QStringLiteral("/Help/");

    state.strPastaDownload = sys.LeDriveDownload() + QStringLiteral("\\ZEKO_Download\\Download\\");
    state.strUsuario = sys.LeUsuario().toUpper();

    // The language is read before the databases only so that their failures can
    // be said in it; the catalogue is still filtered by it as stored.
    const QString installedLanguage = sys.LeIdiomaInst();
    const QString strIdioma = effectiveLanguage(installedLanguage);

    // A package's install folder is no place for anybody's books: the user gets a
    // registry of their own, made at the first start.
    const DataPlaces::RegistryPlace place = DataPlaces::registryPlace(folder);
    const QString &registryFile = place.file;
    if (!place.templateFile.isEmpty())
        if (const DataPlaces::Made made = DataPlaces::ensureRegistry(registryFile, place.templateFile); !made)
            return {Status::Failed, registryNotMade(strIdioma, registryFile, place.templateFile, made)};
    const QString catalogueFile = folder + QStringLiteral("/BancoMsgVD.db");
    QString error;
    registry::Database::Failure failure = registry::Database::Failure::None;

    state.dbLivros =
        registry::Database::open(registryFile, registry::Database::Mode::SharedReadWrite, &error, &failure);
    if (!state.dbLivros)
        return {Status::Failed,
                databaseFailure(StartText::Registry, strIdioma, registryFile, failure, error)};
    state.dbMensagens = registry::Database::open(catalogueFile,
                                                 m_catalogue == Catalogue::Exclusive
                                                     ? registry::Database::Mode::ExclusiveReadOnly
                                                     : registry::Database::Mode::SharedReadOnly,
                                                 &error, &failure);
    if (!state.dbMensagens)
        return {Status::Failed,
                databaseFailure(StartText::Catalogue, strIdioma, catalogueFile, failure, error)};

    state.rsMapeamento = registry::Recordset::open(
        *state.dbLivros, QStringLiteral("SELECT * FROM Mapeamento WHERE Usuario =? ORDER BY Curso"),
        {state.strUsuario}, &error);
    if (!state.rsMapeamento)
        return {Status::Failed, databaseFailure(StartText::Registry, strIdioma, registryFile,
                                                registry::Database::Failure::Other, error)};

    state.helpFile = state.strPastaHelp + QStringLiteral("ZEKODwnl_") + strIdioma + QStringLiteral(".CHM");

    state.rsBotoes = registry::Recordset::open(
        *state.dbMensagens, QStringLiteral("SELECT * FROM Botoes WHERE Idioma = ?"), {strIdioma}, &error);
    if (state.rsBotoes)
        state.rsFuncoes = registry::Recordset::open(*state.dbMensagens,
                                                    QStringLiteral("SELECT * FROM Funcoes WHERE Idioma = ?"),
                                                    {strIdioma}, &error);
    if (state.rsFuncoes)
        state.rsMensagens = registry::Recordset::open(
            *state.dbMensagens, QStringLiteral("SELECT * FROM Mensagens WHERE Idioma = ?"), {strIdioma},
            &error);
    if (!state.rsMensagens)
        return {Status::Failed, databaseFailure(StartText::Catalogue, strIdioma, catalogueFile,
                                                registry::Database::Failure::Other, error)};
    // The one catalogue every window and flow reads its texts through.
    state.catalogue = std::make_unique<messages::Catalogue>(*state.rsMensagens, *state.rsBotoes);
    if (state.rsMensagens->isEmpty())
        return {Status::Failed, texto(StartText::NoLanguage, strIdioma).arg(strIdioma, sys.iniFile()) +
                                    u'\n' + texto(StartText::FileLine, strIdioma).arg(catalogueFile)};

    messages::Catalogue &catalogue = *state.catalogue;
    namespace hint = messages::hint;
    constexpr int buttonHint[6] = {hint::None, hint::MyBooks,  hint::InstallBook,
                                   hint::Help, hint::Minimize, hint::Exit};
    for (int i = 1; i <= 5; ++i)
        state.strHints[i] = catalogue.hint(buttonHint[i]);
    state.mainTitle = catalogue.descricao(messages::code::MainTitle);

    // What an installation or a removal cut short (the program killed, the
    // machine stopped) left behind is finished before anything looks at the books.
    const QString download = m_platform.toUnixPath(state.strPastaDownload);
    if (!download.isEmpty()) {
        install::BookStaging::cleanUp(download);
        // The user's rows must not go on naming books whose rows were just deleted.
        if (books::RemovalLeftovers::finish(download, *state.dbLivros) > 0 &&
            !state.rsMapeamento->requery(&error))
            return {Status::Failed, databaseFailure(StartText::Registry, strIdioma, registryFile,
                                                    registry::Database::Failure::Other, error)};
    }
    return {Status::Ok, {}};
}

} // namespace shell
