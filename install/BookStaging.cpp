#include "BookStaging.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace install {

namespace {

const QString kPrefix = QStringLiteral(".zeko-staging-");

// The entry of dir whose name equals name without regard to case, or name itself.
QString existingSpelling(const QDir &dir, const QString &name)
{
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    return name;
}

bool moveRename(const QString &from, const QString &to, QString *error)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    if (error)
        *error = QStringLiteral("%1: %2").arg(to, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

bool merge(const QString &from, const QString &to, QString *error)
{
    const QDir source(from);
    const QDir target(to);
    const QFileInfoList entries =
        source.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString there = target.filePath(existingSpelling(target, entry.fileName()));
        const QFileInfo existing(there);
        if (entry.isDir() && !entry.isSymLink()) {
            if (!existing.exists() && !existing.isSymLink()) {
                if (!moveRename(entry.filePath(), there, error))
                    return false;
            } else if (existing.isDir() && !existing.isSymLink()) {
                if (!merge(entry.filePath(), there, error))
                    return false;
            } else {
                if (error)
                    *error = QStringLiteral("%1 is in the way of a folder").arg(there);
                return false;
            }
        } else {
            if (existing.isDir() && !existing.isSymLink()) {
                if (error)
                    *error = QStringLiteral("%1 is a folder where a file goes").arg(there);
                return false;
            }
            // rename() replaces a file, or a link, without following it.
            if (!moveRename(entry.filePath(), there, error))
                return false;
        }
    }
    return true;
}

} // namespace

QString BookStaging::pathFor(const QString &downloadDir, const QString &curso)
{
    return QDir(downloadDir).filePath(kPrefix + curso);
}

int BookStaging::cleanUp(const QString &downloadDir)
{
    int removed = 0;
    const QDir dir(downloadDir);
    for (const QString &name :
         dir.entryList({kPrefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QFileInfo info(dir.filePath(name));
        if (info.isSymLink())
            continue;
        // removeRecursively unlinks links instead of entering them.
        if (QDir(info.filePath()).removeRecursively())
            ++removed;
    }
    return removed;
}

bool BookStaging::moveIntoPlace(const QString &staging, const QString &bookDir, QString *error)
{
    const QFileInfo book(bookDir);
    if (!book.exists() && !book.isSymLink())
        return moveRename(staging, bookDir, error);
    if (!book.isDir()) {
        if (error)
            *error = QStringLiteral("%1 is not a folder").arg(bookDir);
        return false;
    }
    if (!merge(staging, bookDir, error))
        return false;
    QDir(staging).removeRecursively();
    return true;
}

} // namespace install
