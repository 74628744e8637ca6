#include "RemoverLivro.h"

#include "ListaLivros.h"
#include "RemovalLeftovers.h"
#include "drive/MountDrive.h"
#include "messages/Aviso.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "messages/MessageBox.h"
#include "platform/Platform.h"
#include "shell/ScratchFolder.h"
#include "shell/SegundoPlano.h"
#include "shell/SharedState.h"
#include "shell/registry/Recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

namespace books {

RemoverLivro::RemoverLivro(platform::Platform &platform, shell::SharedState &state, messages::MessageBox &box,
                           drive::MountDrive &drives, std::function<void()> montaCombo,
                           std::function<void(bool)> habilitaJanela)
    : m_platform(platform)
    , m_state(state)
    , m_box(box)
    , m_drives(drives)
    , m_montaCombo(std::move(montaCombo))
    , m_habilitaJanela(std::move(habilitaJanela))
{
}

void RemoverLivro::mostra(int codigo, const QStringList &params)
{
    messages::avisa(m_state, m_box, codigo, params);
}

bool RemoverLivro::ExisteMapeamento(const QString &strLetra)
{
    return m_state.rsMapeamento->findFirst(QStringLiteral("LetraDrive"), strLetra + u':');
}

QString RemoverLivro::NomeDaPasta(const QString &strCaminho)
{
    return strCaminho.mid(strCaminho.lastIndexOf(u'\\') + 1);
}

void RemoverLivro::esperaCaixaFechar()
{
    while (m_state.blnMsgAberta && !QCoreApplication::closingDown())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

int RemoverLivro::recusaRemocao(const QString &strCaminho)
{
    const QString pasta = m_platform.toUnixPath(strCaminho);
    const QFileInfo info(pasta);
    const QString download = QFileInfo(m_platform.toUnixPath(m_state.strPastaDownload)).canonicalFilePath();
    // Only a folder of its own directly in the download folder is a book's: never
    // the download folder itself, what lies above or beside it, or a link.
    if (pasta.isEmpty() || !info.isDir() || info.isSymLink() || download.isEmpty() ||
        QFileInfo(info.absolutePath()).canonicalFilePath() != download ||
        shell::ScratchFolder::isScratchName(info.fileName()))
        return messages::code::RemovalOutsideDownload;
    // Another of the user's books in this folder or below it would go with it.
    shell::Recordset &rs = *m_state.rsMapeamento;
    const QString proprio = info.canonicalFilePath();
    const QString minhaLetra = rs.field(QStringLiteral("LetraDrive")).toString();
    int recusa = 0;
    for (rs.moveFirst(); !rs.eof() && recusa == 0; rs.moveNext()) {
        if (rs.field(QStringLiteral("LetraDrive")).toString().compare(minhaLetra, Qt::CaseInsensitive) == 0)
            continue;
        const QString outra = QFileInfo(m_platform.toUnixPath(rs.field(QStringLiteral("Caminho")).toString()))
                                  .canonicalFilePath();
        if (!outra.isEmpty() && (outra == proprio || outra.startsWith(proprio + u'/')))
            recusa = messages::code::RemovalSharedFolder;
    }
    // Back on the book's own row, where the caller stood.
    rs.findFirst(QStringLiteral("LetraDrive"), minhaLetra);
    return recusa;
}

bool RemoverLivro::remove(const QString &entrada)
{
    if (m_drives.CursoEmExecucao()) {
        mostra(messages::code::CourseRunningRemove);
        return false;
    }
    const QString strLetra = ListaLivros::letraDaEntrada(entrada).left(1);
    shell::Recordset &rs = *m_state.rsMapeamento;
    const bool registrada = ExisteMapeamento(strLetra);
    const QString strCaminho = registrada ? rs.field(3).toString() : QString();
    const QString strCurso = registrada ? rs.field(QStringLiteral("Curso")).toString() : QString();

    // The drive shows the book, or at least its folder (a book whose files sit
    // one folder down still has its folder, its letter and its files to remove).
    const bool naUnidade = m_drives.PastaDeLivro(strLetra + u':') ||
                           (registrada && m_drives.lettersMapping(strCaminho).contains(strLetra));
    if (!naUnidade) {
        if (registrada && !rs.deleteCurrent()) {
            messages::avisaRegistryReason(m_state, m_box, messages::code::RegistryRefused, {strCurso},
                                          rs.lastErrorCode());
            return false;
        }
        m_montaCombo();
        mostra(messages::code::DriveLacksBookUnlisted, {strLetra});
        return true; // the book left the list; its files were not the question
    }
    // A drive that shows a book but is no book of the list (the data changed
    // underneath): nothing of it is the user's to remove.
    if (strCaminho.isEmpty()) {
        m_montaCombo();
        return false;
    }

    const QString strNomeLivro = NomeDaPasta(strCaminho);
    // Whatever the row says (an older version or a hand may have written it),
    // only the book's own folder is ever deleted.
    if (const int recusa = recusaRemocao(strCaminho)) {
        mostra(recusa, recusa == messages::code::RemovalOutsideDownload
                           ? QStringList{strNomeLivro, strCaminho, m_state.strPastaDownload}
                           : QStringList{strNomeLivro, strCaminho});
        return false;
    }

    m_state.strMensagem = m_state.catalogo->mensagem(messages::code::ConfirmRemoval, {strNomeLivro});
    m_box.ExibeMensagem(m_state.strMensagem, 4, 10, 1, true, QString(), 0);
    if (m_state.intBotaoMsg != 1)
        return false;
    // The box let other events run: the row must still be the one asked about.
    if (!ExisteMapeamento(strLetra) || rs.field(3).toString() != strCaminho) {
        m_montaCombo();
        return false;
    }

    if (!m_drives.MapeiaDrive(strLetra, strCaminho, true)) {
        const QString livre = m_state.strLetrasLivres.size() > 1 ? m_state.strLetrasLivres.at(1) : QString();
        mostra(messages::code::DriveNotReleased, {strCaminho, livre});
        return false;
    }
    // No other letter may be left leading into a folder about to go.
    for (const QString &outra : m_drives.lettersMapping(strCaminho))
        m_drives.MapeiaDrive(outra, strCaminho, true);

    // One rename takes the whole book out of the way: from here a crash leaves
    // a leftover the next start finishes, never half a book nobody can reach.
    const QString pasta = m_platform.toUnixPath(strCaminho);
    const QString download = m_platform.toUnixPath(m_state.strPastaDownload);
    int erro = 0;
    shell::ScratchFolder removendo;
    if (RemovalLeftovers::recordOrigin(pasta, m_state.strUsuario, strCaminho, &erro)) {
        removendo = shell::ScratchFolder::takeOver(pasta, download, shell::ScratchFolder::Kind::Removal);
        erro = removendo.error();
    }
    if (!removendo.isValid()) {
        RemovalLeftovers::forgetOrigin(pasta);
        m_drives.MapeiaDrive(strLetra, strCaminho, false);
        messages::avisaSystemReason(m_state, m_box, messages::code::BookFolderNotMovedAside, {strCaminho},
                                    erro);
        return false;
    }
    if (!ExisteMapeamento(strLetra) || !rs.deleteCurrent()) {
        const int codigo = rs.lastErrorCode();
        // The book goes back as it was: folder, letter and row.
        if (removendo.moveTo(pasta)) {
            RemovalLeftovers::forgetOrigin(pasta);
            m_drives.MapeiaDrive(strLetra, strCaminho, false);
        }
        messages::avisaRegistryReason(m_state, m_box, messages::code::RegistryRefused, {strCurso}, codigo);
        m_montaCombo();
        return false;
    }
    m_montaCombo();

    int fechamento = messages::code::BookRemovedFilesLeft;
    QStringList parametros{strLetra};
    const QString strRemovendo = m_state.strPastaDownload + QFileInfo(removendo.path()).fileName();

    // The files go on a thread of their own, while the notice (a box without
    // buttons that closes on a click or after four seconds) and the window go on.
    const QString alvo = removendo.path();
    bool apagou = false;
    const BookFiles arquivos = m_arquivos;
    shell::emSegundoPlano(
        [&apagou, alvo, arquivos] { apagou = arquivos.ApagaArquivos(alvo) && arquivos.ApagaPastas(alvo); },
        [&] {
            m_state.strMensagem = m_state.catalogo->mensagem(messages::code::DeletingFiles, {strNomeLivro});
            m_box.ExibeMensagem(m_state.strMensagem, 0, 10, 1, true, QString(), 0);
            // Closing, the notice gave the window back; the files may still be going.
            m_habilitaJanela(false);
        });

    m_state.intBotaoMsg = 1;
    if (!apagou) {
        esperaCaixaFechar();
        mostra(messages::code::RemovalFilesNotDeleted, {strRemovendo});
    }
    m_habilitaJanela(true);
    if (BookFiles::semArquivos(alvo)) {
        fechamento = RemovePasta(strRemovendo + u'\\') ? messages::code::RemovedAndDeleted
                                                       : messages::code::RemovedFolderKept;
        parametros = {strLetra, strCaminho};
    }
    removendo.release();
    esperaCaixaFechar();
    mostra(fechamento, parametros);
    return true;
}

bool RemoverLivro::RemovePasta(const QString &strPasta)
{
    const QString pasta = m_platform.toUnixPath(strPasta);
    if (BookFiles::temSubpastas(pasta))
        return false;
    QString erro;
    if (m_arquivos.removeFolder(pasta, &erro))
        return true;
    const QString livre = m_state.strLetrasLivres.size() > 1 ? m_state.strLetrasLivres.at(1) : QString();
    mostra(messages::code::BookFolderOrDriveFailed, {strPasta, livre});
    return false;
}

} // namespace books
