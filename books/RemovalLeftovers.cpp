#include "RemovalLeftovers.h"

#include "BookFiles.h"
#include "shell/ScratchFolder.h"
#include "shell/registry/Recordset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace books {

namespace {

const QString kOrigin = QStringLiteral(".zeko-removal-origin");

struct Origin {
    QString user, registryPath, unixPath;
};

std::optional<Origin> readOrigin(const QString &folder)
{
    QFile f(QDir(folder).filePath(kOrigin));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QStringList lines = QString::fromUtf8(f.read(64 * 1024)).split(u'\n');
    if (lines.size() < 3 || lines[0].isEmpty() || lines[1].isEmpty() || lines[2].isEmpty())
        return std::nullopt;
    return Origin{lines[0], lines[1], lines[2]};
}

} // namespace

bool RemovalLeftovers::recordOrigin(const QString &unixPath, const QString &user, const QString &registryPath,
                                    int *error)
{
    const QByteArray dir = QFile::encodeName(unixPath);
    struct stat st;
    // A book folder Wine shows as read-only has no write permission.
    if (::lstat(dir.constData(), &st) == 0 && S_ISDIR(st.st_mode) && !(st.st_mode & S_IWUSR))
        ::chmod(dir.constData(), (st.st_mode | S_IWUSR | S_IXUSR) & 07777);
    const QByteArray text = (user + u'\n' + registryPath + u'\n' + unixPath + u'\n').toUtf8();
    const int fd = ::open(QFile::encodeName(QDir(unixPath).filePath(kOrigin)).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    // On disk before the rename that makes it count, even through a power loss.
    bool ok =
        fd >= 0 && ::write(fd, text.constData(), size_t(text.size())) == text.size() && ::fsync(fd) == 0;
    if (error)
        *error = ok ? 0 : errno;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

void RemovalLeftovers::forgetOrigin(const QString &folder)
{
    QFile::remove(QDir(folder).filePath(kOrigin));
}

int RemovalLeftovers::finish(const QString &downloadDir, shell::registry::Database &registry)
{
    int finished = 0;
    for (shell::ScratchFolder &leftover :
         shell::ScratchFolder::leftovers(downloadDir, shell::ScratchFolder::Kind::Removal)) {
        // The book had been confirmed for removal: its row goes, unless its
        // folder came back (installed again by hand) and the row now names that.
        if (const std::optional<Origin> origin = readOrigin(leftover.path());
            origin && !QFileInfo::exists(origin->unixPath)) {
            QString error;
            if (auto rs = shell::registry::Recordset::open(
                    registry, QStringLiteral("SELECT * FROM Mapeamento WHERE Usuario =?"), {origin->user},
                    &error)) {
                for (rs->moveFirst(); !rs->eof(); rs->moveNext())
                    if (rs->field(QStringLiteral("Caminho"))
                            .toString()
                            .compare(origin->registryPath, Qt::CaseInsensitive) == 0)
                        (void)rs->deleteCurrent(); // a row that stays is reported by the scan, as any
                                                   // vanished book
            }
        }
        const BookFiles files;
        const QString path = leftover.path();
        if (files.ApagaArquivos(path) && files.ApagaPastas(path) && files.removeFolder(path))
            ++finished;
        leftover.release();
    }
    return finished;
}

} // namespace books
