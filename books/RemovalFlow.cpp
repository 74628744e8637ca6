#include "RemovalFlow.h"

#include "BookEntries.h"
#include "RemovalLeftovers.h"
#include "drive/MountDrive.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "messages/MessageBox.h"
#include "messages/Notify.h"
#include "platform/Platform.h"
#include "shell/Background.h"
#include "shell/ScratchFolder.h"
#include "shell/SharedState.h"
#include "shell/registry/Recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

namespace books {

RemovalFlow::RemovalFlow(platform::Platform &platform, shell::SharedState &state, messages::MessageBox &box,
                         drive::MountDrive &drives, std::function<void()> refillCombo,
                         std::function<void(bool)> enableWindow)
    : m_platform(platform)
    , m_state(state)
    , m_box(box)
    , m_drives(drives)
    , m_refillCombo(std::move(refillCombo))
    , m_enableWindow(std::move(enableWindow))
{
}

void RemovalFlow::tell(int code, const QStringList &params)
{
    messages::notify(m_state, m_box, code, params);
}

bool RemovalFlow::hasRow(const QString &strLetra)
{
    return m_state.rsMapeamento->findFirst(QStringLiteral("LetraDrive"), strLetra + u':');
}

QString RemovalFlow::NomeDaPasta(const QString &strCaminho)
{
    return strCaminho.mid(strCaminho.lastIndexOf(u'\\') + 1);
}

void RemovalFlow::waitForBoxToClose()
{
    while (m_state.blnMsgAberta && !QCoreApplication::closingDown())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

int RemovalFlow::removalRefusal(const QString &strCaminho)
{
    const QString folder = m_platform.toUnixPath(strCaminho);
    const QFileInfo info(folder);
    const QString download = QFileInfo(m_platform.toUnixPath(m_state.strPastaDownload)).canonicalFilePath();
    // Only a folder of its own directly in the download folder is a book's: never
    // the download folder itself, what lies above or beside it, or a link.
    if (folder.isEmpty() || !info.isDir() || info.isSymLink() || download.isEmpty() ||
        QFileInfo(info.absolutePath()).canonicalFilePath() != download ||
        shell::ScratchFolder::isScratchName(info.fileName()))
        return messages::code::RemovalOutsideDownload;
    // Another of the user's books in this folder or below it would go with it.
    shell::registry::Recordset &rs = *m_state.rsMapeamento;
    const QString own = info.canonicalFilePath();
    const QString ownLetter = rs.field(QStringLiteral("LetraDrive")).toString();
    int refusal = 0;
    for (rs.moveFirst(); !rs.eof() && refusal == 0; rs.moveNext()) {
        if (rs.field(QStringLiteral("LetraDrive")).toString().compare(ownLetter, Qt::CaseInsensitive) == 0)
            continue;
        const QString other = QFileInfo(m_platform.toUnixPath(rs.field(QStringLiteral("Caminho")).toString()))
                                  .canonicalFilePath();
        if (!other.isEmpty() && (other == own || other.startsWith(own + u'/')))
            refusal = messages::code::RemovalSharedFolder;
    }
    // Back on the book's own row, where the caller stood (found above, and the
    // rows were not read again since).
    (void)rs.findFirst(QStringLiteral("LetraDrive"), ownLetter);
    return refusal;
}

bool RemovalFlow::remove(const QString &entry)
{
    if (m_drives.CursoEmExecucao()) {
        tell(messages::code::CourseRunningRemove);
        return false;
    }
    const QString strLetra = BookEntries::letterOfEntry(entry).left(1);
    shell::registry::Recordset &rs = *m_state.rsMapeamento;
    const bool registered = hasRow(strLetra);
    const QString strCaminho = registered ? rs.field(3).toString() : QString();
    const QString strCurso = registered ? rs.field(QStringLiteral("Curso")).toString() : QString();

    // The drive shows the book, or at least its folder (a book whose files sit
    // one folder down still has its folder, its letter and its files to remove).
    const bool onDrive = m_drives.PastaDeLivro(strLetra + u':') ||
                         (registered && m_drives.lettersMapping(strCaminho).contains(strLetra));
    if (!onDrive) {
        if (registered && !rs.deleteCurrent()) {
            messages::notifyWithRegistryReason(m_state, m_box, messages::code::RegistryRefused, {strCurso},
                                               rs.lastErrorCode());
            return false;
        }
        if (registered)
            (void)m_state.menuEntries.remove(strCurso); // a failure is said, and costs nothing else
        m_refillCombo();
        tell(messages::code::DriveLacksBookUnlisted, {strLetra});
        return true; // the book left the list; its files were not the question
    }
    // A drive that shows a book but is no book of the list (the data changed
    // underneath): nothing of it is the user's to remove.
    if (strCaminho.isEmpty()) {
        m_refillCombo();
        return false;
    }

    const QString strNomeLivro = NomeDaPasta(strCaminho);
    // Whatever the row says (an older version or a hand may have written it),
    // only the book's own folder is ever deleted.
    if (const int refusal = removalRefusal(strCaminho)) {
        tell(refusal, refusal == messages::code::RemovalOutsideDownload
                          ? QStringList{strNomeLivro, strCaminho, m_state.strPastaDownload}
                          : QStringList{strNomeLivro, strCaminho});
        return false;
    }

    m_state.strMensagem = m_state.catalogue->mensagem(messages::code::ConfirmRemoval, {strNomeLivro});
    m_box.ExibeMensagem(m_state.strMensagem, 4, 10, 1, true, QString(), 0);
    if (m_state.intBotaoMsg != 1)
        return false;
    // The box let other events run: the row must still be the one asked about.
    if (!hasRow(strLetra) || rs.field(3).toString() != strCaminho) {
        m_refillCombo();
        return false;
    }

    if (!m_drives.MapeiaDrive(strLetra, strCaminho, true)) {
        const QString freeLetter =
            m_state.strLetrasLivres.size() > 1 ? m_state.strLetrasLivres.at(1) : QString();
        tell(messages::code::DriveNotReleased, {strCaminho, freeLetter});
        return false;
    }
    // No other letter may be left leading into a folder about to go.
    // A letter that refuses says so itself; once the folder is moved aside it
    // leads nowhere, and a dangling letter counts as free.
    for (const QString &other : m_drives.lettersMapping(strCaminho))
        (void)m_drives.MapeiaDrive(other, strCaminho, true);

    // One rename takes the whole book out of the way: from here a crash leaves
    // a leftover the next start finishes, never half a book nobody can reach.
    const QString folder = m_platform.toUnixPath(strCaminho);
    const QString download = m_platform.toUnixPath(m_state.strPastaDownload);
    int error = 0;
    shell::ScratchFolder removing;
    if (RemovalLeftovers::recordOrigin(folder, m_state.strUsuario, strCaminho, &error)) {
        removing = shell::ScratchFolder::takeOver(folder, download, shell::ScratchFolder::Kind::Removal);
        error = removing.error();
    }
    if (!removing.isValid()) {
        RemovalLeftovers::forgetOrigin(folder);
        // A mapping that cannot be made again reports itself; the scan at the next start maps the book.
        (void)m_drives.MapeiaDrive(strLetra, strCaminho, false);
        messages::notifyWithSystemReason(m_state, m_box, messages::code::BookFolderNotMovedAside,
                                         {strCaminho}, error);
        return false;
    }
    if (!hasRow(strLetra) || !rs.deleteCurrent()) {
        const int code = rs.lastErrorCode();
        // The book goes back as it was: folder, letter and row.
        if (removing.moveTo(folder)) {
            RemovalLeftovers::forgetOrigin(folder);
            (void)m_drives.MapeiaDrive(strLetra, strCaminho, false); // reports itself, as above
        }
        messages::notifyWithRegistryReason(m_state, m_box, messages::code::RegistryRefused, {strCurso}, code);
        m_refillCombo();
        return false;
    }
    (void)m_state.menuEntries.remove(strCurso);
    m_refillCombo();

    int closing = messages::code::BookRemovedFilesLeft;
    QStringList closingParams{strLetra};
    const QString removingPath = m_state.strPastaDownload + QFileInfo(removing.path()).fileName();

    // The files go on a thread of their own, while the notice (a box without
    // buttons that closes on a click or after four seconds) and the window go on.
    const QString target = removing.path();
    bool deleted = false;
    const BookFiles files = m_files;
    shell::inBackground(
        [&deleted, target, files] { deleted = files.ApagaArquivos(target) && files.ApagaPastas(target); },
        [&] {
            m_state.strMensagem = m_state.catalogue->mensagem(messages::code::DeletingFiles, {strNomeLivro});
            m_box.ExibeMensagem(m_state.strMensagem, 0, 10, 1, true, QString(), 0);
            // Closing, the notice gave the window back; the files may still be going.
            m_enableWindow(false);
        });

    m_state.intBotaoMsg = 1;
    if (!deleted) {
        waitForBoxToClose();
        tell(messages::code::RemovalFilesNotDeleted, {removingPath});
    }
    m_enableWindow(true);
    if (BookFiles::hasNoFiles(target)) {
        closing = RemovePasta(removingPath + u'\\') ? messages::code::RemovedAndDeleted
                                                    : messages::code::RemovedFolderKept;
        closingParams = {strLetra, strCaminho};
    }
    removing.release();
    waitForBoxToClose();
    tell(closing, closingParams);
    return true;
}

bool RemovalFlow::RemovePasta(const QString &strPasta)
{
    const QString folder = m_platform.toUnixPath(strPasta);
    if (BookFiles::hasSubfolders(folder))
        return false;
    QString error;
    if (m_files.removeFolder(folder, &error))
        return true;
    const QString freeLetter = m_state.strLetrasLivres.size() > 1 ? m_state.strLetrasLivres.at(1) : QString();
    tell(messages::code::BookFolderOrDriveFailed, {strPasta, freeLetter});
    return false;
}

} // namespace books
