#include "InstallFlow.h"

#include "BookName.h"
#include "BookStaging.h"
#include "FileChoice.h"
#include "InstallPanel.h"
#include "drive/MountDrive.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "messages/MessageBox.h"
#include "messages/Notify.h"
#include "platform/FileNames.h"
#include "platform/Platform.h"
#include "shell/Background.h"
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

InstallFlow::InstallFlow(platform::Platform &platform, shell::SharedState &state, messages::MessageBox &box,
                         drive::MountDrive &drives, FileChoice &choice, InstallPanel &panel)
    : m_platform(platform)
    , m_state(state)
    , m_box(box)
    , m_drives(drives)
    , m_choice(choice)
    , m_panel(panel)
{
}

void InstallFlow::tell(int code, const QStringList &params)
{
    messages::notify(m_state, m_box, code, params);
}

QString InstallFlow::downloadFolderUnix() const
{
    return m_platform.toUnixPath(m_state.strPastaDownload);
}

bool InstallFlow::InstalaLivro()
{
    m_drives.MontaListaDrives(true);
    if (m_state.strLetrasLivres.size() <= 1) {
        tell(messages::code::NoFreeLetterToInstall);
        return false;
    }
    const std::optional<QString> chosen = m_choice.chooseZip();
    if (!chosen || chosen->isEmpty())
        return false;
    return installChosen(*chosen);
}

bool InstallFlow::install(const QString &zip)
{
    m_drives.MontaListaDrives(true);
    if (m_state.strLetrasLivres.size() <= 1) {
        tell(messages::code::NoFreeLetterToInstall);
        return false;
    }
    return installChosen(zip);
}

bool InstallFlow::refuseBadName(const QString &zip)
{
    const BookNameCheck nameCheck = BookName::fromFileName(QFileInfo(zip).fileName());
    m_course = nameCheck.name;
    switch (nameCheck.problem) {
    case BookNameProblem::None:
        return false;
    case BookNameProblem::Empty:
        tell(messages::code::NameGivesNoBook, {QFileInfo(zip).fileName()});
        return true;
    case BookNameProblem::Characters:
        tell(messages::code::NameHasBadCharacter, {nameCheck.name});
        return true;
    case BookNameProblem::Reserved:
        tell(messages::code::NameReserved, {nameCheck.name});
        return true;
    case BookNameProblem::TooLong:
        tell(messages::code::NameTooLong, {nameCheck.name});
        return true;
    }
    return true;
}

bool InstallFlow::installChosen(const QString &zip)
{
    messages::Catalogue &catalogue = *m_state.catalogue;
    if (refuseBadName(zip))
        return false;
    shell::registry::Recordset &rs = *m_state.rsMapeamento;
    // The name is a bound value, compared without regard to case: an apostrophe is a character.
    if (rs.findFirst(QStringLiteral("Curso"), m_course)) {
        tell(messages::code::BookAlreadyInstalled,
             {m_course, rs.field(QStringLiteral("LetraDrive")).toString().left(1)});
        return false;
    }
    if (!QFileInfo(zip).isFile()) {
        tell(messages::code::ZipNotFound, {zip});
        return false;
    }
    // Without its download folder a book has no place; never a folder relative
    // to wherever we run (zeko.ini without Drive gives a path of no drive).
    const QString download = downloadFolderUnix();
    if (download.isEmpty() || !QDir::isAbsolutePath(download) || !QFileInfo(download).isDir()) {
        tell(messages::code::DownloadFolderMissing, {m_state.strPastaDownload});
        return false;
    }
    const QString bookFolder = m_state.strPastaDownload + m_course;
    const QFileInfo existing(m_platform.toUnixPath(bookFolder));
    // A link in the book's place would take the book, and later its removal, elsewhere.
    if (existing.isSymLink() || (existing.exists() && !existing.isDir())) {
        tell(messages::code::BookFolderOccupied, {bookFolder});
        return false;
    }

    m_panel.showProgress(catalogue.mensagem(messages::code::InstallUnpacking, {m_course}));
    m_panel.animateProgress(true);
    m_panel.enableButtons(false);
    QString file = zip;
    const ExtractionResult extracted = DescompactaLivro(file, m_course);
    m_panel.enableButtons(true);
    if (!extracted.ok()) {
        m_panel.animateProgress(false);
        m_panel.showProgress(QString());
        showFailure(extracted, file);
        return false;
    }

    m_panel.showProgress(catalogue.mensagem(messages::code::InstallUnpacked, {m_course}));
    m_panel.animateProgress(false);
    if (!m_platform.directoryExists(bookFolder)) {
        tell(messages::code::InstallFolderMissing, {bookFolder});
        return false;
    }
    const QString letter = m_state.strLetrasLivres.at(1);
    if (!m_drives.MapeiaDrive(letter, bookFolder, false))
        return false; // the mapping reported why; the archive stays for another try
    if (!rs.addNew({{QStringLiteral("Usuario"), m_state.strUsuario},
                    {QStringLiteral("Curso"), m_course},
                    {QStringLiteral("LetraDrive"), letter + u':'},
                    {QStringLiteral("Caminho"), bookFolder}})) {
        const int code = rs.lastErrorCode();
        // Without its row the mapping would be nobody's: release it, keep the archive.
        // A failed release says so itself; the letter then stays taken until the next exit.
        (void)m_drives.MapeiaDrive(letter, bookFolder, true);
        messages::notifyWithRegistryReason(m_state, m_box, messages::code::RegistryRefused, {m_course}, code);
        return false;
    }
    rs.moveFirst();
    (void)m_state.menuEntries.write({m_course, letter + u':'}); // a failure is said, and costs nothing else
    // Only a book that is extracted, checked, mapped and registered lets its
    // archive go; freeing a large file's blocks takes a while.
    bool deleted = false;
    shell::inBackground([&] { deleted = ExcluiArquivo(file); });
    if (!deleted)
        tell(messages::code::ZipNotDeleted, {m_course});
    tell(messages::code::BookInstalled, {m_course, letter});
    return true;
}

ExtractionResult InstallFlow::DescompactaLivro(QString &zip, const QString &course)
{
    const QString download = downloadFolderUnix();
    auto failure = [](ExtractionError e, const QString &onde, int systemError) {
        ExtractionResult r;
        r.error = e;
        r.entry = onde;
        r.systemError = systemError;
        return r;
    };
    if (download.isEmpty() || !QDir::isAbsolutePath(download))
        return failure(ExtractionError::CannotWrite, QString(), ENOENT);
    BookStaging::cleanUp(download);
    // Only the last level is made: the download folder itself must exist.
    shell::ScratchFolder staging =
        shell::ScratchFolder::create(download, shell::ScratchFolder::Kind::Staging);
    if (!staging.isValid())
        return failure(staging.error() == ENOSPC ? ExtractionError::NoSpace : ExtractionError::CannotWrite,
                       QString(), staging.error());
    ExtractionResult r = ExecutaZip(QStringLiteral("UNZIP"), zip, staging.path());
    if (r.ok() && r.files == 0)
        r.error = ExtractionError::Empty;
    if (r.ok()) {
        const QString bookFolder = m_platform.toUnixPath(m_state.strPastaDownload + course);
        // A merge into an existing book folder walks every file.
        BookStaging::MoveFailure moved;
        shell::inBackground([&] {
            moved = BookStaging::moveIntoPlace(staging, bookFolder);
            // The book's new names are committed here, off the window's thread:
            // the registry's and zeko.ini's syncs would otherwise wait, on the
            // window's thread, for a journal commit holding every file of the book.
            if (!moved.error)
                platform::syncFolder(bookFolder);
        });
        if (moved.error)
            r = failure(ExtractionError::CannotWrite, moved.entry, moved.error);
    }
    // What failed leaves nothing behind; removing a large staging folder takes a while.
    if (!r.ok())
        shell::inBackground([&] { QDir(staging.path()).removeRecursively(); });
    return r;
}

ExtractionResult InstallFlow::ExecutaZip(const QString &action, QString &zipPath, const QString &target)
{
    if (zipPath.isEmpty() || target.isEmpty() || action.toUpper() != QStringLiteral("UNZIP"))
        return {};
    if (zipPath.right(4).toUpper() != QStringLiteral(".ZIP"))
        zipPath += QStringLiteral(".ZIP");
    ExtractionResult result;
    const QString file = zipPath;
    const ExtractionLimits limits = m_limits;
    ExtractionProgress andamento;
    // The share written, shown while the worker writes; 100% only once every
    // entry is written and checked.
    int shown = -1;
    auto showAdvance = [&](int ceiling) {
        const std::uint64_t total = andamento.total.load(std::memory_order_relaxed);
        if (total == 0 && ceiling < 100)
            return; // still checking the archive: the dots go on
        const std::uint64_t written = std::min(andamento.written.load(std::memory_order_relaxed), total);
        const int percent = total == 0 ? 100 : std::min(ceiling, int(written * 100 / total));
        if (percent == shown)
            return;
        if (shown < 0)
            m_panel.animateProgress(false); // a number takes the dots' place
        shown = percent;
        messages::Catalogue &catalogue = *m_state.catalogue;
        m_panel.showProgress(
            catalogue.mensagem(messages::code::InstallProgress, {m_course, QString::number(percent)}));
        m_panel.showAdvance(percent, written, total);
    };
    QTimer ticker;
    ticker.setInterval(250);
    QObject::connect(&ticker, &QTimer::timeout, [&] { showAdvance(99); });
    ticker.start();
    shell::inBackground([&result, &andamento, file, target, limits] {
        result = ZipExtraction::extract(file, target, limits, nullptr, &andamento);
    });
    ticker.stop();
    if (result.ok())
        showAdvance(100);
    return result;
}

void InstallFlow::showFailure(const ExtractionResult &r, const QString &zip)
{
    switch (r.error) {
    case ExtractionError::None:
        return;
    case ExtractionError::Unreadable:
        tell(messages::code::ZipUnreadable, {zip});
        return;
    case ExtractionError::Damaged:
        tell(messages::code::ZipEntryDamaged, {zip, r.entry});
        return;
    case ExtractionError::UnsafeName:
        tell(messages::code::ZipEntryUnsafe, {zip, r.entry});
        return;
    case ExtractionError::NoSpace: {
        std::uint64_t freeLetter = r.available;
        struct statvfs fs;
        if (freeLetter == 0 && ::statvfs(QFile::encodeName(downloadFolderUnix()).constData(), &fs) == 0)
            freeLetter = std::uint64_t(fs.f_bavail) * fs.f_frsize;
        tell(messages::code::NoDiskSpace, {megabytes(std::max(r.needed, r.bytes)), megabytes(freeLetter)});
        return;
    }
    case ExtractionError::TooLarge:
        tell(messages::code::ZipTooLarge, {zip});
        return;
    case ExtractionError::Empty:
        tell(messages::code::ZipEmpty, {zip});
        return;
    case ExtractionError::NotABook:
        tell(messages::code::ZipHoldsNoBook, {zip});
        return;
    case ExtractionError::UnsupportedMethod:
        tell(messages::code::ZipMethodUnreadable, {zip, r.detail, r.entry});
        return;
    case ExtractionError::CannotWrite:
        messages::notifyWithSystemReason(m_state, m_box, messages::code::BookFolderNotWritten,
                                         {m_state.strPastaDownload + m_course}, r.systemError);
        return;
    }
}

bool InstallFlow::ExcluiArquivo(const QString &path)
{
    QFile file(path);
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    return file.remove() || !QFileInfo::exists(path);
}

QString InstallFlow::nextProgress(const QString &current, const QString &mensagem)
{
    return current.size() <= 95 ? current + u'.' : mensagem;
}

} // namespace install
