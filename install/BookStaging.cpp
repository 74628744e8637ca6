#include "BookStaging.h"
#include "platform/FileNames.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

namespace install {

namespace {

// The entry of dir whose name equals name without regard to case, or name itself.
QString existingSpelling(const QDir &dir, const QString &name)
{
    const QString existing = platform::findEntryIgnoringCase(dir, name);
    return existing.isEmpty() ? name : existing;
}

BookStaging::MoveFailure moveRename(const QString &from, const QString &to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return {};
    return {errno, to};
}

BookStaging::MoveFailure merge(const QString &from, const QString &to)
{
    const QDir source(from);
    const QDir target(to);
    const QFileInfoList entries =
        source.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString there = target.filePath(existingSpelling(target, entry.fileName()));
        const QFileInfo existing(there);
        BookStaging::MoveFailure f;
        if (entry.isDir() && !entry.isSymLink()) {
            if (!existing.exists() && !existing.isSymLink())
                f = moveRename(entry.filePath(), there);
            else if (existing.isDir() && !existing.isSymLink())
                f = merge(entry.filePath(), there);
            else
                f = {ENOTDIR, there};
        } else if (existing.isDir() && !existing.isSymLink()) {
            f = {EISDIR, there};
        } else {
            // rename() replaces a file, or a link, without following it.
            f = moveRename(entry.filePath(), there);
        }
        if (f.error)
            return f;
    }
    return {};
}

} // namespace

int BookStaging::cleanUp(const QString &downloadDir)
{
    int removed = 0;
    for (shell::ScratchFolder &leftover :
         shell::ScratchFolder::leftovers(downloadDir, shell::ScratchFolder::Kind::Staging)) {
        // removeRecursively unlinks links instead of entering them.
        if (QDir(leftover.path()).removeRecursively())
            ++removed;
    }
    return removed + shell::ScratchFolder::removeLinks(downloadDir, shell::ScratchFolder::Kind::Staging);
}

BookStaging::MoveFailure BookStaging::moveIntoPlace(shell::ScratchFolder &staging, const QString &bookDir)
{
    const QFileInfo book(bookDir);
    if (!book.exists() && !book.isSymLink()) {
        if (staging.moveTo(bookDir))
            return {};
        return {staging.error(), bookDir};
    }
    if (!book.isDir() || book.isSymLink())
        return {ENOTDIR, bookDir};
    if (const MoveFailure f = merge(staging.path(), bookDir); f.error)
        return f;
    QDir(staging.path()).removeRecursively();
    return {};
}

} // namespace install
