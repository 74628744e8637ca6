#include "BookCheck.h"

#include "platform/Platform.h"
#include "shell/ScratchFolder.h"
#include "shell/SharedState.h"
#include "shell/registry/Recordset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace books {

namespace {

using Kind = BookCheck::Kind;
using RepairFailure = BookCheck::RepairFailure;
using RepairOutcome = BookCheck::RepairOutcome;

// The path with every link resolved as far as it exists, the missing rest kept,
// so a letter whose folder is gone still tells where it led.
QString resolved(const QString &path)
{
    QString existing = QDir::cleanPath(path);
    QString rest;
    while (existing.size() > 1 && !QFileInfo::exists(existing)) {
        const qsizetype slash = existing.lastIndexOf(u'/');
        rest.prepend(existing.mid(slash));
        existing = slash > 0 ? existing.left(slash) : QStringLiteral("/");
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    return QDir::cleanPath((canonical.isEmpty() ? existing : canonical) + rest);
}

bool below(const QString &path, const QString &folder)
{
    return path.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

RepairOutcome failed(RepairFailure why, const QString &reason, int systemError = 0)
{
    return RepairOutcome::failed(why, reason, systemError);
}

} // namespace

BookCheck::BookCheck(platform::Platform &platform, shell::SharedState &state)
    : m_platform(platform)
    , m_state(state)
    , m_download(QFileInfo(platform.toUnixPath(state.strPastaDownload)).canonicalFilePath())
{
}

bool BookCheck::readRowFolders(QString *error)
{
    m_rowFolders.clear();
    const auto rows = shell::registry::Recordset::open(*m_state.dbLivros,
                                                       QStringLiteral("SELECT * FROM Mapeamento"), {}, error);
    if (!rows)
        return false;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext()) {
        const QString unix = m_platform.toUnixPath(rows->field(QStringLiteral("Caminho")).toString());
        if (QDir::isAbsolutePath(unix))
            m_rowFolders.append(resolved(unix));
    }
    return true;
}

bool BookCheck::named(const QString &folder) const
{
    // A row naming a folder inside it (a book one level down) or around it
    // (a row an older version or a hand wrote) makes it no one's to delete.
    for (const QString &row : m_rowFolders)
        if (row == folder || below(row, folder) || below(folder, row))
            return true;
    return false;
}

std::optional<std::vector<BookCheck::Finding>> BookCheck::find(QString *error)
{
    shell::registry::Recordset &rs = *m_state.rsMapeamento;
    if (!rs.requery(error))
        return std::nullopt;
    struct Row {
        QString course, letter, caminho, folder;
    };
    std::vector<Row> mine;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const QString caminho = rs.field(QStringLiteral("Caminho")).toString();
        const QString unix = m_platform.toUnixPath(caminho);
        mine.push_back({rs.field(QStringLiteral("Curso")).toString(),
                        rs.field(QStringLiteral("LetraDrive")).toString(), caminho,
                        QDir::isAbsolutePath(unix) ? resolved(unix) : QString()});
    }
    if (!readRowFolders(error))
        return std::nullopt;

    std::vector<Finding> drives, leftovers, folders, rows;
    const QString &downloadShown = m_state.strPastaDownload;
    auto shownOf = [&](const QString &unix) {
        return downloadShown + QDir(m_download).relativeFilePath(unix).replace(u'/', u'\\');
    };
    if (!m_download.isEmpty()) {
        for (char16_t code = u'D'; code <= u'Z'; ++code) {
            const QChar l{code};
            if (!m_platform.isMapping(l))
                continue;
            const QString target =
                QFileInfo(m_platform.toUnixPath(QString(l) + QStringLiteral(":\\"))).symLinkTarget();
            if (target.isEmpty())
                continue;
            // The download folder itself is no book's; a letter on it is left alone.
            const QString leads = resolved(target);
            if (!below(leads, m_download))
                continue;
            const bool ours =
                std::any_of(mine.begin(), mine.end(), [&](const Row &r) { return r.folder == leads; });
            if (!ours)
                drives.push_back({Kind::StrayDrive, leads, shownOf(leads), QString(l) + u':', {}});
        }

        // A working folder that a living installation or removal holds is not a leftover.
        QStringList unheld;
        for (const auto kind : {shell::ScratchFolder::Kind::Staging, shell::ScratchFolder::Kind::Removal})
            for (const shell::ScratchFolder &f : shell::ScratchFolder::leftovers(m_download, kind))
                unheld.append(f.path());
        const QFileInfoList entries =
            QDir(m_download)
                .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                               QDir::Name);
        for (const QFileInfo &entry : entries) {
            const QString name = entry.fileName();
            const bool ownFolder = entry.isDir() && !entry.isSymLink();
            if (const auto kind = shell::ScratchFolder::kindOfName(name)) {
                if (!ownFolder || unheld.contains(entry.filePath()))
                    leftovers.push_back({*kind == shell::ScratchFolder::Kind::Staging ? Kind::StagingLeftover
                                                                                      : Kind::RemovalLeftover,
                                         entry.filePath(),
                                         downloadShown + name,
                                         {},
                                         {}});
                continue;
            }
            // Links and files (an archive put there to install) are no book's folder.
            if (!ownFolder || shell::ScratchFolder::isScratchName(name))
                continue;
            if (!named(entry.filePath()))
                folders.push_back({Kind::UnregisteredFolder, entry.filePath(), downloadShown + name, {}, {}});
        }
    }

    for (const Row &r : mine) {
        if (!m_platform.directoryExists(r.caminho))
            rows.push_back({Kind::MissingFolder, r.folder, r.caminho, r.letter, r.course});
        // The two files the course starts from, found whatever their letter case.
        else if (!m_platform.fileExists(r.caminho + QStringLiteral("\\Autorun.exe")) ||
                 !m_platform.fileExists(r.caminho + QStringLiteral("\\Idioma.kvt")))
            rows.push_back({Kind::NotABook, r.folder, r.caminho, r.letter, r.course});
    }

    std::vector<Finding> all = std::move(drives);
    for (auto *group : {&leftovers, &folders, &rows})
        all.insert(all.end(), group->begin(), group->end());
    return all;
}

BookCheck::RepairOutcome BookCheck::deleteFolder(const QString &path)
{
    QString error;
    if (m_files.ApagaArquivos(path, &error) && m_files.ApagaPastas(path, &error) &&
        m_files.removeFolder(path, &error))
        return {};
    return failed(RepairFailure::Failed, error);
}

BookCheck::RepairOutcome BookCheck::repair(const Finding &finding)
{
    switch (finding.kind) {
    case Kind::NotABook:
    case Kind::MissingFolder:
        return failed(RepairFailure::NotRepairable, QStringLiteral("only its removal mends a row"));
    case Kind::StrayDrive: {
        // Removed only while it still leads where it was found to.
        const platform::DeviceOutcome released = m_platform.removeDosDevice(finding.letter, finding.path);
        if (released)
            return {};
        return failed(released.failure() == platform::DeviceFailure::NotThisFolder ? RepairFailure::InUse
                                                                                   : RepairFailure::Failed,
                      released.reason(), released.systemError());
    }
    case Kind::StagingLeftover:
    case Kind::RemovalLeftover: {
        const QByteArray path = QFile::encodeName(finding.path);
        struct stat st;
        if (::lstat(path.constData(), &st) != 0)
            return errno == ENOENT ? RepairOutcome() : failed(RepairFailure::Failed, finding.path, errno);
        // A link or file of a working folder's name goes as it is; what a link leads to stays.
        if (!S_ISDIR(st.st_mode)) {
            if (::unlink(path.constData()) == 0 || errno == ENOENT)
                return {};
            return failed(RepairFailure::Failed, finding.path, errno);
        }
        const auto kind = finding.kind == Kind::StagingLeftover ? shell::ScratchFolder::Kind::Staging
                                                                : shell::ScratchFolder::Kind::Removal;
        // Deleted while held, so no other start takes it meanwhile.
        for (shell::ScratchFolder &leftover : shell::ScratchFolder::leftovers(m_download, kind))
            if (leftover.path() == finding.path)
                return deleteFolder(leftover.path());
        if (!QFileInfo::exists(finding.path))
            return {};
        return failed(RepairFailure::InUse, finding.path);
    }
    case Kind::UnregisteredFolder: {
        // An installation of another user may have registered it since it was found.
        QString error;
        if (!readRowFolders(&error))
            return failed(RepairFailure::Failed, error);
        if (named(finding.path))
            return failed(RepairFailure::InUse, finding.path);
        // One rename takes it out of the book folders' names: cut short, the
        // rest is a removal leftover the next start deletes.
        shell::ScratchFolder aside =
            shell::ScratchFolder::takeOver(finding.path, m_download, shell::ScratchFolder::Kind::Removal);
        if (!aside.isValid())
            return failed(aside.error() == EBUSY ? RepairFailure::InUse : RepairFailure::Failed, finding.path,
                          aside.error());
        return deleteFolder(aside.path());
    }
    }
    return failed(RepairFailure::Failed, finding.path);
}

} // namespace books
