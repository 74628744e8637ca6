#include "Startup.h"

#include "Sistema.h"
#include "books/RemovalLeftovers.h"
#include "install/BookStaging.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "platform/Platform.h"
#include "platform/SingleInstance.h"

#include <QHash>

namespace shell {

namespace {

// Start-up failures are said before any catalogue text can be trusted, so their
// few texts live here, in the three languages of the course.
enum class Texto {
    Registro,
    Catalogo,
    SemIdioma,
    ArquivoAusente,
    Arquivo,
    Ausente,
    NaoArquivo,
    SomenteLeitura,
    EmUso,
    NaoBanco,
    Bloqueado,
    Erro,
    Instancia
};

QString texto(Texto t, const QString &idioma)
{
    static const QHash<int, std::array<const char *, 3>> textos = {
        {int(Texto::Registro),
         {"Não foi possível abrir o registro de livros.", "The book registry could not be opened.",
          "No se pudo abrir el registro de libros."}},
        {int(Texto::Catalogo),
         {"Não foi possível abrir o catálogo de mensagens.", "The message catalogue could not be opened.",
          "No se pudo abrir el catálogo de mensajes."}},
        {int(Texto::SemIdioma),
         {"O catálogo de mensagens não tem textos para o idioma \"%1\" (IdiomaInst em %2).",
          "The message catalogue has no texts for the language \"%1\" (IdiomaInst in %2).",
          "El catálogo de mensajes no tiene textos para el idioma \"%1\" (IdiomaInst en %2)."}},
        {int(Texto::Arquivo), {"Arquivo: %1", "File: %1", "Archivo: %1"}},
        {int(Texto::ArquivoAusente),
         {"Um arquivo do programa está faltando ou não pode ser lido: %1",
          "A file of the program is missing or cannot be read: %1",
          "Falta un archivo del programa o no se puede leer: %1"}},
        {int(Texto::Ausente), {"O arquivo não existe.", "The file does not exist.", "El archivo no existe."}},
        {int(Texto::NaoArquivo),
         {"O caminho não é um arquivo.", "The path is not a file.", "La ruta no es un archivo."}},
        {int(Texto::SomenteLeitura),
         {"O arquivo é somente leitura.", "The file is read-only.", "El archivo es de solo lectura."}},
        {int(Texto::EmUso),
         {"O arquivo está em uso por outro programa.", "The file is in use by another program.",
          "El archivo está en uso por otro programa."}},
        {int(Texto::NaoBanco),
         {"O arquivo não é um banco de dados válido.", "The file is not a valid database.",
          "El archivo no es una base de datos válida."}},
        {int(Texto::Bloqueado),
         {"O banco de dados está bloqueado por outro programa.", "The database is locked by another program.",
          "La base de datos está bloqueada por otro programa."}},
        {int(Texto::Erro), {"Erro: %1", "Error: %1", "Error: %1"}},
        {int(Texto::Instancia),
         {"Não foi possível verificar se o ZEKO Download já está aberto.",
          "It could not be checked whether ZEKO Download is already open.",
          "No se pudo comprobar si ZEKO Download ya está abierto."}},
    };
    const auto &linha = textos.value(int(t));
    const QString code = idioma.trimmed().toUpper();
    if (code == QStringLiteral("ING"))
        return QString::fromUtf8(linha[1]);
    if (code == QStringLiteral("ESP"))
        return QString::fromUtf8(linha[2]);
    if (code.isEmpty() || code == QStringLiteral("POR"))
        return QString::fromUtf8(linha[0]);
    // A language the product does not know: say it in all three.
    return QString::fromUtf8(linha[0]) + u'\n' + QString::fromUtf8(linha[1]) + u'\n' +
           QString::fromUtf8(linha[2]);
}

Texto motivo(Database::Failure f)
{
    switch (f) {
    case Database::Failure::Missing:
        return Texto::Ausente;
    case Database::Failure::NotAFile:
        return Texto::NaoArquivo;
    case Database::Failure::ReadOnly:
        return Texto::SomenteLeitura;
    case Database::Failure::InUse:
        return Texto::EmUso;
    case Database::Failure::NotADatabase:
        return Texto::NaoBanco;
    case Database::Failure::Locked:
        return Texto::Bloqueado;
    default:
        return Texto::Erro;
    }
}

QString falhaBanco(Texto qual, const QString &idioma, const QString &arquivo, Database::Failure f,
                   const QString &detalhe)
{
    QString msg = texto(qual, idioma) + u'\n' + texto(Texto::Arquivo, idioma).arg(arquivo) + u'\n';
    const Texto m = motivo(f);
    msg += m == Texto::Erro ? texto(m, idioma).arg(detalhe) : texto(m, idioma);
    return msg;
}

} // namespace

Startup::Startup(platform::Platform &platform, platform::SingleInstance &instance, QString installFolder)
    : m_platform(platform)
    , m_instance(instance)
    , m_installFolder(std::move(installFolder))
{
}

QString Startup::MostraVersao(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QChar(u'0'))
        .arg(revision, 4, 10, QChar(u'0'));
}

QString Startup::arquivoAusente(const QString &idioma, const QString &arquivo)
{
    return texto(Texto::ArquivoAusente, idiomaEfetivo(idioma)).arg(arquivo);
}

QString Startup::falhaInstancia(const QString &idioma, const QString &motivo)
{
    const QString i = idiomaEfetivo(idioma);
    return texto(Texto::Instancia, i) + u'\n' + texto(Texto::Erro, i).arg(motivo);
}

QString Startup::idiomaEfetivo(const QString &idiomaInst)
{
    return idiomaInst.isEmpty() ? QStringLiteral("POR") : idiomaInst;
}

StartupResult Startup::run(SharedState &state)
{
    using Status = StartupResult::Status;
    Sistema sistema(m_platform);
    switch (m_instance.tryAcquire()) {
    case platform::SingleInstance::Lock::Acquired:
        break;
    case platform::SingleInstance::Lock::HeldElsewhere:
        return {Status::AlreadyRunning, {}};
    case platform::SingleInstance::Lock::Failed:
        return {Status::Failed, falhaInstancia(sistema.LeIdiomaInst(), m_instance.errorString())};
    }

    state.strVersao = MostraVersao(ZEKO_VERSION_MAJOR, ZEKO_VERSION_MINOR, ZEKO_VERSION_PATCH);
    // A zeko.ini that cannot take the drive is not fatal: the download folder then
    // lies on the current drive's root, as with no zeko.ini at all.
    sistema.GaranteDriveDownload();
    state.strNomeForm = QStringLiteral("frmPrincipal");

    const QString pasta = m_installFolder;
    state.strPastaCaiMsg = pasta + QStringLiteral("/Imagens/Cai_Msg/");
    state.strPastaTlaPrc = pasta + QStringLiteral("/Imagens/TLA_PRC/");
    state.strPastaTlaLiv = pasta + QStringLiteral("/Imagens/TLA_LIV/");
    state.strPastaTlaIns = pasta + QStringLiteral("/Imagens/TLA_INS/");
    state.strPastaHelp = pasta + QStringLiteral("/Help/");

    state.strPastaDownload = sistema.LeDriveDownload() + QStringLiteral("\\ZEKO_Download\\Download\\");
    state.strUsuario = sistema.LeUsuario().toUpper();

    // The language is read before the databases only so that their failures can
    // be said in it; the catalogue is still filtered by it as stored.
    const QString idiomaInst = sistema.LeIdiomaInst();
    const QString strIdioma = idiomaEfetivo(idiomaInst);

    const QString arquivoLivros = pasta + QStringLiteral("/ZEKOVD.db");
    const QString arquivoMensagens = pasta + QStringLiteral("/BancoMsgVD.db");
    QString erro;
    Database::Failure falha = Database::Failure::None;

    state.dbLivros = Database::open(arquivoLivros, Database::Mode::SharedReadWrite, &erro, &falha);
    if (!state.dbLivros)
        return {Status::Failed, falhaBanco(Texto::Registro, strIdioma, arquivoLivros, falha, erro)};
    state.dbMensagens = Database::open(arquivoMensagens, Database::Mode::ExclusiveReadOnly, &erro, &falha);
    if (!state.dbMensagens)
        return {Status::Failed, falhaBanco(Texto::Catalogo, strIdioma, arquivoMensagens, falha, erro)};

    state.rsMapeamento = Recordset::open(
        *state.dbLivros, QStringLiteral("SELECT * FROM Mapeamento WHERE Usuario =? ORDER BY Curso"),
        {state.strUsuario}, &erro);
    if (!state.rsMapeamento)
        return {Status::Failed,
                falhaBanco(Texto::Registro, strIdioma, arquivoLivros, Database::Failure::Other, erro)};

    state.arquivoAjuda =
        state.strPastaHelp + QStringLiteral("ZEKODwnl_") + strIdioma + QStringLiteral(".CHM");

    state.rsBotoes = Recordset::open(
        *state.dbMensagens, QStringLiteral("SELECT * FROM Botoes WHERE Idioma = ?"), {strIdioma}, &erro);
    if (state.rsBotoes)
        state.rsFuncoes = Recordset::open(
            *state.dbMensagens, QStringLiteral("SELECT * FROM Funcoes WHERE Idioma = ?"), {strIdioma}, &erro);
    if (state.rsFuncoes)
        state.rsMensagens =
            Recordset::open(*state.dbMensagens, QStringLiteral("SELECT * FROM Mensagens WHERE Idioma = ?"),
                            {strIdioma}, &erro);
    if (!state.rsMensagens)
        return {Status::Failed,
                falhaBanco(Texto::Catalogo, strIdioma, arquivoMensagens, Database::Failure::Other, erro)};
    // The one catalogue every window and flow reads its texts through.
    state.catalogo = std::make_unique<messages::Catalogue>(*state.rsMensagens, *state.rsBotoes);
    if (state.rsMensagens->isEmpty())
        return {Status::Failed, texto(Texto::SemIdioma, strIdioma).arg(strIdioma, sistema.ArquivoIni()) +
                                    u'\n' + texto(Texto::Arquivo, strIdioma).arg(arquivoMensagens)};

    messages::Catalogue &catalogo = *state.catalogo;
    namespace hint = messages::hint;
    constexpr int hintDoBotao[6] = {hint::None, hint::MyBooks,  hint::InstallBook,
                                    hint::Help, hint::Minimize, hint::Exit};
    for (int i = 1; i <= 5; ++i)
        state.strHints[i] = catalogo.hint(hintDoBotao[i]);
    state.tituloPrincipal = catalogo.descricao(messages::code::MainTitle);

    // What an installation or a removal cut short (the program killed, the
    // machine stopped) left behind is finished before anything looks at the books.
    const QString download = m_platform.toUnixPath(state.strPastaDownload);
    if (!download.isEmpty()) {
        install::BookStaging::cleanUp(download);
        if (books::RemovalLeftovers::finish(download, *state.dbLivros) > 0)
            state.rsMapeamento->requery();
    }
    return {Status::Ok, {}};
}

} // namespace shell
