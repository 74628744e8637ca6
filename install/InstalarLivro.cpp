#include "InstalarLivro.h"

#include "BookStaging.h"
#include "EscolhaArquivo.h"
#include "PainelInstalacao.h"
#include "drive/MountDrive.h"
#include "messages/Aviso.h"
#include "messages/Catalogue.h"
#include "messages/MessageBox.h"
#include "platform/Platform.h"
#include "shell/SegundoPlano.h"
#include "shell/SharedState.h"
#include "shell/Sistema.h"
#include "shell/registry/Recordset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/statvfs.h>

namespace install {

namespace {

constexpr int kSemLetraLivre = 4;
constexpr int kLivroJaInstalado = 13;
constexpr int kDescompactando = 19;
constexpr int kZipNaoExcluido = 20;
constexpr int kPastaNaoCriada = 22;
constexpr int kRegistrando = 23;
constexpr int kInstalado = 38;
constexpr int kArquivoNaoEncontrado = 39;
constexpr int kZipIlegivel = 48;
constexpr int kZipDanificado = 49;
constexpr int kNomeInseguro = 50;
constexpr int kSemEspaco = 51;
constexpr int kGrandeDemais = 52;
constexpr int kZipVazio = 53;
constexpr int kPastaNaoGravada = 54;

QString megabytes(std::uint64_t bytes)
{
    return QString::number((bytes + (1u << 20) - 1) >> 20);
}

} // namespace

InstalarLivro::InstalarLivro(platform::Platform &platform, shell::SharedState &state,
                             messages::MessageBox &box, drive::MountDrive &drives, EscolhaArquivo &escolha,
                             PainelInstalacao &painel)
    : m_platform(platform)
    , m_state(state)
    , m_box(box)
    , m_drives(drives)
    , m_escolha(escolha)
    , m_painel(painel)
{
}

void InstalarLivro::mostra(int codigo, const QStringList &params)
{
    messages::avisa(m_state, m_box, codigo, params);
}

QString InstalarLivro::pastaDownloadUnix() const
{
    return m_platform.toUnixPath(m_state.strPastaDownload);
}

bool InstalarLivro::InstalaLivro()
{
    m_drives.MontaListaDrives(true);
    if (m_state.strLetrasLivres.size() <= 1) {
        mostra(kSemLetraLivre);
        return false;
    }
    const std::optional<QString> escolhido = m_escolha.escolheZip();
    if (!escolhido || escolhido->isEmpty())
        return false;
    return instalaEscolhido(*escolhido);
}

bool InstalarLivro::instala(const QString &zip)
{
    m_drives.MontaListaDrives(true);
    if (m_state.strLetrasLivres.size() <= 1) {
        mostra(kSemLetraLivre);
        return false;
    }
    return instalaEscolhido(zip);
}

bool InstalarLivro::instalaEscolhido(const QString &zip)
{
    messages::Catalogue catalogo(*m_state.rsMensagens, *m_state.rsBotoes);
    m_strCurso = shell::Sistema::TiraExtensao(QFileInfo(zip).fileName());
    shell::Recordset &rs = *m_state.rsMapeamento;
    // The name is a bound value, compared without regard to case: an apostrophe is a character.
    if (rs.findFirst(QStringLiteral("Curso"), m_strCurso)) {
        mostra(kLivroJaInstalado, {m_strCurso, rs.field(QStringLiteral("LetraDrive")).toString().left(1)});
        return false;
    }
    if (!QFileInfo(zip).isFile()) {
        mostra(kArquivoNaoEncontrado, {zip});
        return false;
    }

    m_painel.mostraProgresso(catalogo.mensagem(kDescompactando, {m_strCurso}));
    m_painel.animaProgresso(true);
    m_painel.habilitaBotoes(false);
    QString arquivo = zip;
    const ExtractionResult extraido = DescompactaLivro(arquivo, m_strCurso);
    m_painel.habilitaBotoes(true);
    if (!extraido.ok()) {
        m_painel.animaProgresso(false);
        m_painel.mostraProgresso(QString());
        mostraFalha(extraido, arquivo);
        return false;
    }

    m_painel.mostraProgresso(catalogo.mensagem(kRegistrando, {m_strCurso}));
    m_painel.animaProgresso(false);
    const QString pastaLivro = m_state.strPastaDownload + m_strCurso;
    if (!m_platform.directoryExists(pastaLivro)) {
        mostra(kPastaNaoCriada, {pastaLivro});
        return false;
    }
    const QString letra = m_state.strLetrasLivres.at(1);
    if (!m_drives.MapeiaDrive(letra, pastaLivro, false))
        return false; // the mapping reported why; the archive stays for another try
    QString erro;
    if (!rs.addNew({{QStringLiteral("Usuario"), m_state.strUsuario},
                    {QStringLiteral("Curso"), m_strCurso},
                    {QStringLiteral("LetraDrive"), letra + u':'},
                    {QStringLiteral("Caminho"), pastaLivro}},
                   &erro)) {
        // Without its row the mapping would be nobody's: release it, keep the archive.
        m_drives.MapeiaDrive(letra, pastaLivro, true);
        m_state.strMensagem = erro;
        m_box.ExibeMensagem(m_state.strMensagem, 1, 10, 0, true, QString(), 0);
        return false;
    }
    rs.moveFirst();
    // Only a book that is extracted, checked, mapped and registered lets its
    // archive go; freeing a large file's blocks takes a while.
    bool excluido = false;
    shell::emSegundoPlano([&] { excluido = ExcluiArquivo(arquivo); });
    if (!excluido)
        mostra(kZipNaoExcluido, {m_strCurso});
    mostra(kInstalado, {m_strCurso, letra});
    return true;
}

ExtractionResult InstalarLivro::DescompactaLivro(QString &zip, const QString &curso)
{
    const QString download = pastaDownloadUnix();
    const QString staging = BookStaging::pathFor(download, curso);
    auto falha = [](ExtractionError e, const QString &onde, const QString &detalhe) {
        ExtractionResult r;
        r.error = e;
        r.entry = onde;
        r.detail = detalhe;
        return r;
    };
    // A download folder that is no path in the prefix (zeko.ini without Drive)
    // has no place for a book; never a folder relative to wherever we run.
    if (download.isEmpty() || !QDir::isAbsolutePath(download))
        return falha(ExtractionError::CannotWrite, QString(),
                     QStringLiteral("%1 is not a folder of the Wine prefix").arg(m_state.strPastaDownload));
    BookStaging::cleanUp(download);
    // Only the last level is made: the download folder itself must exist.
    if (!QDir().mkdir(staging))
        return falha(ExtractionError::CannotWrite, QString(),
                     QStringLiteral("cannot create %1").arg(staging));
    ExtractionResult r = ExecutaZip(QStringLiteral("UNZIP"), zip, staging);
    if (r.ok() && r.files == 0)
        r.error = ExtractionError::Empty;
    QString erro;
    bool movido = true;
    if (r.ok()) {
        const QString pastaLivro = m_platform.toUnixPath(m_state.strPastaDownload + curso);
        // A merge into an existing book folder walks every file.
        shell::emSegundoPlano([&] { movido = BookStaging::moveIntoPlace(staging, pastaLivro, &erro); });
    }
    if (!movido)
        r = falha(ExtractionError::CannotWrite, QString(), erro);
    // What failed leaves nothing behind; removing a large staging folder takes a while.
    if (!r.ok())
        shell::emSegundoPlano([&] { QDir(staging).removeRecursively(); });
    return r;
}

ExtractionResult InstalarLivro::ExecutaZip(const QString &acao, QString &origem, const QString &destino)
{
    if (origem.isEmpty() || destino.isEmpty() || acao.toUpper() != QStringLiteral("UNZIP"))
        return {};
    if (origem.right(4).toUpper() != QStringLiteral(".ZIP"))
        origem += QStringLiteral(".ZIP");
    ExtractionResult resultado;
    const QString arquivo = origem;
    const ExtractionLimits limites = m_limites;
    shell::emSegundoPlano([&resultado, arquivo, destino, limites] {
        resultado = ZipExtraction::extract(arquivo, destino, limites);
    });
    return resultado;
}

void InstalarLivro::mostraFalha(const ExtractionResult &r, const QString &zip)
{
    switch (r.error) {
    case ExtractionError::None:
        return;
    case ExtractionError::Unreadable:
        mostra(kZipIlegivel, {zip});
        return;
    case ExtractionError::Damaged:
        mostra(kZipDanificado, {zip, r.entry});
        return;
    case ExtractionError::UnsafeName:
        mostra(kNomeInseguro, {zip, r.entry});
        return;
    case ExtractionError::NoSpace: {
        std::uint64_t livre = r.available;
        struct statvfs fs;
        if (livre == 0 && ::statvfs(QFile::encodeName(pastaDownloadUnix()).constData(), &fs) == 0)
            livre = std::uint64_t(fs.f_bavail) * fs.f_frsize;
        mostra(kSemEspaco, {megabytes(std::max(r.needed, r.bytes)), megabytes(livre)});
        return;
    }
    case ExtractionError::TooLarge:
        mostra(kGrandeDemais, {zip});
        return;
    case ExtractionError::Empty:
        mostra(kZipVazio, {zip});
        return;
    case ExtractionError::CannotWrite: {
        messages::Catalogue catalogo(*m_state.rsMensagens, *m_state.rsBotoes);
        m_state.strMensagem = catalogo.mensagem(kPastaNaoGravada, {m_state.strPastaDownload + m_strCurso});
        // The system's own words, for whoever helps the user.
        const QString detalhe = r.entry.isEmpty() || r.entry == m_state.strPastaDownload + m_strCurso
                                    ? r.detail
                                    : r.entry + QStringLiteral(": ") + r.detail;
        if (!detalhe.isEmpty())
            m_state.strMensagem += u'\n' + detalhe;
        m_box.mostraAviso(m_state.strMensagem);
        return;
    }
    }
}

bool InstalarLivro::ExcluiArquivo(const QString &arquivo)
{
    QFile file(arquivo);
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    return file.remove() || !QFileInfo::exists(arquivo);
}

QString InstalarLivro::proximoProgresso(const QString &atual, const QString &mensagem)
{
    return atual.size() <= 95 ? atual + u'.' : mensagem;
}

} // namespace install
