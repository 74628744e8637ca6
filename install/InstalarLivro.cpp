#include "InstalarLivro.h"

#include "BookName.h"
#include "BookStaging.h"
#include "EscolhaArquivo.h"
#include "PainelInstalacao.h"
#include "drive/MountDrive.h"
#include "messages/Aviso.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "messages/MessageBox.h"
#include "platform/Platform.h"
#include "shell/SegundoPlano.h"
#include "shell/SharedState.h"
#include "shell/Sistema.h"
#include "shell/registry/Recordset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cerrno>
#include <sys/statvfs.h>

namespace install {

namespace {

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
        mostra(messages::code::NoFreeLetterToInstall);
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
        mostra(messages::code::NoFreeLetterToInstall);
        return false;
    }
    return instalaEscolhido(zip);
}

bool InstalarLivro::refuseBadName(const QString &zip)
{
    const BookNameCheck nome = BookName::fromFileName(QFileInfo(zip).fileName());
    m_strCurso = nome.name;
    switch (nome.problem) {
    case BookNameProblem::None:
        return false;
    case BookNameProblem::Empty:
        mostra(messages::code::NameGivesNoBook, {QFileInfo(zip).fileName()});
        return true;
    case BookNameProblem::Characters:
        mostra(messages::code::NameHasBadCharacter, {nome.name});
        return true;
    case BookNameProblem::Reserved:
        mostra(messages::code::NameReserved, {nome.name});
        return true;
    case BookNameProblem::TooLong:
        mostra(messages::code::NameTooLong, {nome.name});
        return true;
    }
    return true;
}

bool InstalarLivro::instalaEscolhido(const QString &zip)
{
    messages::Catalogue &catalogo = *m_state.catalogo;
    if (refuseBadName(zip))
        return false;
    shell::Recordset &rs = *m_state.rsMapeamento;
    // The name is a bound value, compared without regard to case: an apostrophe is a character.
    if (rs.findFirst(QStringLiteral("Curso"), m_strCurso)) {
        mostra(messages::code::BookAlreadyInstalled,
               {m_strCurso, rs.field(QStringLiteral("LetraDrive")).toString().left(1)});
        return false;
    }
    if (!QFileInfo(zip).isFile()) {
        mostra(messages::code::ZipNotFound, {zip});
        return false;
    }
    // Without its download folder a book has no place; never a folder relative
    // to wherever we run (zeko.ini without Drive gives a path of no drive).
    const QString download = pastaDownloadUnix();
    if (download.isEmpty() || !QDir::isAbsolutePath(download) || !QFileInfo(download).isDir()) {
        mostra(messages::code::DownloadFolderMissing, {m_state.strPastaDownload});
        return false;
    }
    const QString pastaLivro = m_state.strPastaDownload + m_strCurso;
    const QFileInfo existente(m_platform.toUnixPath(pastaLivro));
    // A link in the book's place would take the book, and later its removal, elsewhere.
    if (existente.isSymLink() || (existente.exists() && !existente.isDir())) {
        mostra(messages::code::BookFolderOccupied, {pastaLivro});
        return false;
    }

    m_painel.mostraProgresso(catalogo.mensagem(messages::code::InstallUnpacking, {m_strCurso}));
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

    m_painel.mostraProgresso(catalogo.mensagem(messages::code::InstallUnpacked, {m_strCurso}));
    m_painel.animaProgresso(false);
    if (!m_platform.directoryExists(pastaLivro)) {
        mostra(messages::code::InstallFolderMissing, {pastaLivro});
        return false;
    }
    const QString letra = m_state.strLetrasLivres.at(1);
    if (!m_drives.MapeiaDrive(letra, pastaLivro, false))
        return false; // the mapping reported why; the archive stays for another try
    if (!rs.addNew({{QStringLiteral("Usuario"), m_state.strUsuario},
                    {QStringLiteral("Curso"), m_strCurso},
                    {QStringLiteral("LetraDrive"), letra + u':'},
                    {QStringLiteral("Caminho"), pastaLivro}})) {
        const int codigo = rs.lastErrorCode();
        // Without its row the mapping would be nobody's: release it, keep the archive.
        // A failed release says so itself; the letter then stays taken until the next exit.
        m_drives.MapeiaDrive(letra, pastaLivro, true);
        messages::avisaRegistryReason(m_state, m_box, messages::code::RegistryRefused, {m_strCurso}, codigo);
        return false;
    }
    rs.moveFirst();
    // Only a book that is extracted, checked, mapped and registered lets its
    // archive go; freeing a large file's blocks takes a while.
    bool excluido = false;
    shell::emSegundoPlano([&] { excluido = ExcluiArquivo(arquivo); });
    if (!excluido)
        mostra(messages::code::ZipNotDeleted, {m_strCurso});
    mostra(messages::code::BookInstalled, {m_strCurso, letra});
    return true;
}

ExtractionResult InstalarLivro::DescompactaLivro(QString &zip, const QString &curso)
{
    const QString download = pastaDownloadUnix();
    auto falha = [](ExtractionError e, const QString &onde, int systemError) {
        ExtractionResult r;
        r.error = e;
        r.entry = onde;
        r.systemError = systemError;
        return r;
    };
    if (download.isEmpty() || !QDir::isAbsolutePath(download))
        return falha(ExtractionError::CannotWrite, QString(), ENOENT);
    BookStaging::cleanUp(download);
    // Only the last level is made: the download folder itself must exist.
    shell::ScratchFolder staging =
        shell::ScratchFolder::create(download, shell::ScratchFolder::Kind::Staging);
    if (!staging.isValid())
        return falha(staging.error() == ENOSPC ? ExtractionError::NoSpace : ExtractionError::CannotWrite,
                     QString(), staging.error());
    ExtractionResult r = ExecutaZip(QStringLiteral("UNZIP"), zip, staging.path());
    if (r.ok() && r.files == 0)
        r.error = ExtractionError::Empty;
    if (r.ok()) {
        const QString pastaLivro = m_platform.toUnixPath(m_state.strPastaDownload + curso);
        // A merge into an existing book folder walks every file.
        BookStaging::MoveFailure movido;
        shell::emSegundoPlano([&] { movido = BookStaging::moveIntoPlace(staging, pastaLivro); });
        if (movido.error)
            r = falha(ExtractionError::CannotWrite, movido.entry, movido.error);
    }
    // What failed leaves nothing behind; removing a large staging folder takes a while.
    if (!r.ok())
        shell::emSegundoPlano([&] { QDir(staging.path()).removeRecursively(); });
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
    ExtractionProgress andamento;
    // The share written, shown while the worker writes; 100% only once every
    // entry is written and checked.
    int mostrado = -1;
    auto mostraAndamento = [&](int teto) {
        const std::uint64_t total = andamento.total.load(std::memory_order_relaxed);
        if (total == 0 && teto < 100)
            return; // still checking the archive: the dots go on
        const std::uint64_t escritos = std::min(andamento.written.load(std::memory_order_relaxed), total);
        const int percentual = total == 0 ? 100 : std::min(teto, int(escritos * 100 / total));
        if (percentual == mostrado)
            return;
        if (mostrado < 0)
            m_painel.animaProgresso(false); // a number takes the dots' place
        mostrado = percentual;
        messages::Catalogue &catalogo = *m_state.catalogo;
        m_painel.mostraProgresso(
            catalogo.mensagem(messages::code::InstallProgress, {m_strCurso, QString::number(percentual)}));
        m_painel.mostraAndamento(percentual, escritos, total);
    };
    QTimer relogio;
    relogio.setInterval(250);
    QObject::connect(&relogio, &QTimer::timeout, [&] { mostraAndamento(99); });
    relogio.start();
    shell::emSegundoPlano([&resultado, &andamento, arquivo, destino, limites] {
        resultado = ZipExtraction::extract(arquivo, destino, limites, nullptr, &andamento);
    });
    relogio.stop();
    if (resultado.ok())
        mostraAndamento(100);
    return resultado;
}

void InstalarLivro::mostraFalha(const ExtractionResult &r, const QString &zip)
{
    switch (r.error) {
    case ExtractionError::None:
        return;
    case ExtractionError::Unreadable:
        mostra(messages::code::ZipUnreadable, {zip});
        return;
    case ExtractionError::Damaged:
        mostra(messages::code::ZipEntryDamaged, {zip, r.entry});
        return;
    case ExtractionError::UnsafeName:
        mostra(messages::code::ZipEntryUnsafe, {zip, r.entry});
        return;
    case ExtractionError::NoSpace: {
        std::uint64_t livre = r.available;
        struct statvfs fs;
        if (livre == 0 && ::statvfs(QFile::encodeName(pastaDownloadUnix()).constData(), &fs) == 0)
            livre = std::uint64_t(fs.f_bavail) * fs.f_frsize;
        mostra(messages::code::NoDiskSpace, {megabytes(std::max(r.needed, r.bytes)), megabytes(livre)});
        return;
    }
    case ExtractionError::TooLarge:
        mostra(messages::code::ZipTooLarge, {zip});
        return;
    case ExtractionError::Empty:
        mostra(messages::code::ZipEmpty, {zip});
        return;
    case ExtractionError::NotABook:
        mostra(messages::code::ZipHoldsNoBook, {zip});
        return;
    case ExtractionError::UnsupportedMethod:
        mostra(messages::code::ZipMethodUnreadable, {zip, r.detail, r.entry});
        return;
    case ExtractionError::CannotWrite:
        messages::avisaSystemReason(m_state, m_box, messages::code::BookFolderNotWritten,
                                    {m_state.strPastaDownload + m_strCurso}, r.systemError);
        return;
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
