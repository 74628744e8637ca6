#include "ZipExtraction.h"
#include "ZipLayout.h"
#include "platform/CodePage.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace install {

namespace {

constexpr std::size_t kBlock = std::size_t(1) << 18;

struct ZipCloser {
    void operator()(zip_t *z) const { zip_discard(z); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;

// No ZIP_CHECKCONS: libzip 1.7.3 refuses with it every archive whose sizes follow
// the data (bsdtar, zip -fd, any streaming writer). ZipLayout checks instead what
// it would have: that headers and data are each entry's own.
ZipHandle openArchive(const QString &path, QString *detail)
{
    int code = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!z) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        *detail = QString::fromLocal8Bit(zip_error_strerror(&e));
        zip_error_fini(&e);
    }
    return ZipHandle(z);
}

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = decoder(bytes);
    return !decoder.hasError();
}

// The entry's name. UTF-8 when the archive says so: the flag or the Unicode path
// field (libzip hands either over as the raw name, which its strict reading then
// agrees with). UTF-8 too from a Unix or macOS host: their zip tools store the
// file system's bytes unflagged, and those are UTF-8 on any current system.
// Otherwise, and whenever the bytes are not UTF-8, code page 850: Windows stores
// names in its OEM code page, which on Portuguese Windows is 850, not the 437 of
// American Windows that the ZIP format takes as its default.
QString entryName(zip_t *z, zip_uint64_t i)
{
    const char *raw = zip_get_name(z, i, ZIP_FL_ENC_RAW);
    const char *strict = zip_get_name(z, i, ZIP_FL_ENC_STRICT);
    if (!raw)
        return {};
    if (strict && std::strcmp(raw, strict) == 0)
        return QString::fromUtf8(raw);
    const QByteArray bytes(raw);
    zip_uint8_t host = ZIP_OPSYS_DOS;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(z, i, 0, &host, &attributes) != 0)
        host = ZIP_OPSYS_DOS;
    if ((host == ZIP_OPSYS_UNIX || host == ZIP_OPSYS_OS_X) && isUtf8(bytes))
        return QString::fromUtf8(bytes);
    return platform::decodeCp850(bytes);
}

bool isLink(zip_t *z, zip_uint64_t i)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(z, i, 0, &system, &attributes) != 0)
        return false;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

// The common name of a compression method, for the user's message.
QString methodName(zip_uint16_t method)
{
    switch (method) {
    case ZIP_CM_SHRINK:
        return QStringLiteral("Shrink");
    case ZIP_CM_REDUCE_1:
    case ZIP_CM_REDUCE_2:
    case ZIP_CM_REDUCE_3:
    case ZIP_CM_REDUCE_4:
        return QStringLiteral("Reduce");
    case ZIP_CM_IMPLODE:
        return QStringLiteral("Implode");
    case ZIP_CM_DEFLATE64:
        return QStringLiteral("Deflate64");
    case ZIP_CM_PKWARE_IMPLODE:
        return QStringLiteral("PKWARE DCL Implode");
    case ZIP_CM_BZIP2:
        return QStringLiteral("Bzip2");
    case ZIP_CM_LZMA:
        return QStringLiteral("LZMA");
    case ZIP_CM_TERSE:
        return QStringLiteral("IBM TERSE");
    case ZIP_CM_LZ77:
        return QStringLiteral("IBM LZ77");
    case 20: // zstd's number before 93 was assigned
    case 93:
        return QStringLiteral("Zstandard");
    case 94:
        return QStringLiteral("MP3");
    case ZIP_CM_XZ:
        return QStringLiteral("XZ");
    case ZIP_CM_JPEG:
        return QStringLiteral("JPEG");
    case ZIP_CM_WAVPACK:
        return QStringLiteral("WavPack");
    case ZIP_CM_PPMD:
        return QStringLiteral("PPMd");
    default:
        return QString::number(method);
    }
}

// One entry of the central directory, as read and checked for its name.
struct Candidate {
    zip_uint64_t index;
    QString name;     // decoded, as the user is told it
    QString relative; // where it goes below the target; empty for nothing
    bool folderEntry;
    zip_stat_t st;
};

struct Plan {
    QStringList folders; // relative, in creation order
    struct File {
        zip_uint64_t index;
        QString path; // relative, as written
        zip_uint64_t size;
        zip_uint16_t method;
        std::optional<zip_uint32_t> crc; // as the central directory gives it
    };
    std::vector<File> files;
    std::uint64_t total = 0;
    bool book = false; // Autorun.exe and Idioma.kvt at the top, both files
};

ExtractionResult fail(ExtractionError error, const QString &entry = {}, const QString &detail = {},
                      int systemError = 0)
{
    ExtractionResult r;
    r.error = error;
    r.entry = entry;
    r.detail = detail;
    r.systemError = systemError;
    return r;
}

// Every entry's name, refusing the archive at the first one that could land
// outside the target or is a link, wherever it would go.
ExtractionResult readEntries(zip_t *z, std::vector<Candidate> &out)
{
    const zip_int64_t count = zip_get_num_entries(z, 0);
    for (zip_int64_t n = 0; n < count; ++n) {
        Candidate c{zip_uint64_t(n), entryName(z, zip_uint64_t(n)), {}, false, {}};
        if (c.name.isEmpty() || zip_stat_index(z, c.index, 0, &c.st) != 0)
            return fail(ExtractionError::Unreadable, c.name, QString::fromLocal8Bit(zip_strerror(z)));
        const std::optional<QString> safe = ZipExtraction::safeRelativePath(c.name);
        if (!safe)
            return fail(ExtractionError::UnsafeName, c.name);
        if (isLink(z, c.index))
            return fail(ExtractionError::UnsafeName, c.name, QStringLiteral("a symbolic link"));
        c.relative = *safe;
        c.folderEntry = c.name.endsWith(u'/') || c.name.endsWith(u'\\');
        out.push_back(std::move(c));
    }
    return {};
}

// Holds the archive's bytes to what its central directory says, libzip's index
// being the central directory's order.
ExtractionResult checkLayout(const QString &zipPath, const std::vector<Candidate> &entries)
{
    ZipLayout layout;
    const ZipLayout::Check check = layout.read(zipPath);
    const QString name = check.entry < entries.size() ? entries[check.entry].name : QString();
    switch (check.problem) {
    case ZipLayout::Problem::None:
        break;
    case ZipLayout::Problem::Unreadable:
        return fail(ExtractionError::Unreadable, QString(), check.detail);
    case ZipLayout::Problem::NameDiffers:
        return fail(ExtractionError::UnsafeName, name, check.detail);
    // Shared bytes are how crafted archives multiply one stream into many files,
    // but no name is at fault: the entry's data is not its own, which is damage.
    case ZipLayout::Problem::BadHeader:
    case ZipLayout::Problem::PastDirectory:
    case ZipLayout::Problem::Overlap:
        return fail(ExtractionError::Damaged, name, check.detail);
    }
    if (layout.entries().size() != entries.size())
        return fail(ExtractionError::Damaged, QString(),
                    QStringLiteral("the central directory holds %1 entries, not %2")
                        .arg(layout.entries().size())
                        .arg(entries.size()));
    return {};
}

// What macOS adds beside a folder it compresses: __MACOSX/ and "._name" files
// next to the real ones, which carry Finder data the course never reads.
void dropMacEntries(std::vector<Candidate> &entries)
{
    QSet<QString> paths;
    for (const Candidate &c : entries) {
        const QStringList parts = c.relative.toLower().split(u'/');
        for (qsizetype p = 1; p <= parts.size(); ++p)
            paths.insert(parts.first(p).join(u'/'));
    }
    const auto mac = [&paths](const Candidate &c) {
        const QStringList parts = c.relative.split(u'/');
        if (parts.contains(QStringLiteral("__MACOSX")))
            return true;
        const QString &last = parts.last();
        if (c.folderEntry || !last.startsWith(QStringLiteral("._")) || last.size() < 3)
            return false;
        QStringList sibling = parts;
        sibling.last() = last.mid(2);
        return paths.contains(sibling.join(u'/').toLower());
    };
    entries.erase(std::remove_if(entries.begin(), entries.end(), mac), entries.end());
}

bool isBookFile(const QString &relativeLower)
{
    return relativeLower == QStringLiteral("autorun.exe") || relativeLower == QStringLiteral("idioma.kvt");
}

// A book zipped as its folder: the top holds that one folder and nothing else,
// and the folder holds Autorun.exe and Idioma.kvt. Its entries then go to the
// top of the target, as the course expects them.
void unwrapBookFolder(std::vector<Candidate> &entries)
{
    QString top;
    QSet<QString> bookFiles;
    for (const Candidate &c : entries) {
        if (c.relative.isEmpty())
            continue;
        const qsizetype slash = c.relative.indexOf(u'/');
        // A file at the top, or a second name there: not one folder.
        if (slash < 0 && !c.folderEntry)
            return;
        const QString first = (slash < 0 ? c.relative : c.relative.left(slash)).toLower();
        if (top.isEmpty())
            top = first;
        else if (first != top)
            return;
        const QString inside = c.relative.mid(slash + 1).toLower();
        if (slash >= 0 && !c.folderEntry && isBookFile(inside))
            bookFiles.insert(inside);
    }
    if (bookFiles.size() != 2)
        return;
    for (Candidate &c : entries) {
        const qsizetype slash = c.relative.indexOf(u'/');
        c.relative = slash < 0 ? QString() : c.relative.mid(slash + 1);
    }
}

std::optional<zip_uint32_t> crcOf(const zip_stat_t &st)
{
    return (st.valid & ZIP_STAT_CRC) ? std::optional<zip_uint32_t>(st.crc) : std::nullopt;
}

// Decides what goes where, refusing the whole archive at the first entry that
// cannot be read or written as the course would find it.
ExtractionResult plan(const std::vector<Candidate> &entries, Plan &out)
{
    // Lower-case relative path -> spelling in use, for folders and files alike.
    QHash<QString, QString> spelling;
    QHash<QString, bool> isFolder;
    QHash<QString, std::size_t> fileAt;
    for (const Candidate &c : entries) {
        const zip_stat_t &st = c.st;
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            return fail(ExtractionError::Unreadable, c.name, QStringLiteral("encrypted"));
        if ((st.valid & ZIP_STAT_COMP_METHOD) && !zip_compression_method_supported(st.comp_method, 0))
            return fail(ExtractionError::UnsupportedMethod, c.name, methodName(st.comp_method));
        if (c.relative.isEmpty())
            continue; // "./" and the like: nothing to write

        const QStringList parts = c.relative.split(u'/');
        QString spelled;
        QString key;
        for (qsizetype p = 0; p < parts.size(); ++p) {
            const bool last = p == parts.size() - 1;
            const bool folder = !last || c.folderEntry;
            key += (key.isEmpty() ? QString() : QStringLiteral("/")) + parts[p].toLower();
            const auto known = spelling.constFind(key);
            if (known == spelling.constEnd()) {
                spelled += (spelled.isEmpty() ? QString() : QStringLiteral("/")) + parts[p];
                spelling.insert(key, spelled);
                isFolder.insert(key, folder);
                if (folder)
                    out.folders.append(spelled);
            } else {
                spelled = *known;
                // A file where a folder is, or the other way round, cannot be written.
                if (isFolder.value(key) != folder)
                    return fail(ExtractionError::UnsafeName, c.name,
                                QStringLiteral("a file and a folder of one name"));
            }
        }
        if (c.folderEntry)
            continue;
        if (!(st.valid & ZIP_STAT_SIZE))
            return fail(ExtractionError::Unreadable, c.name, QStringLiteral("no size"));
        const auto at = fileAt.constFind(key);
        if (at != fileAt.constEnd()) {
            // The later entry wins, under the first one's spelling.
            Plan::File &earlier = out.files[*at];
            out.total -= earlier.size;
            earlier.index = c.index;
            earlier.size = st.size;
            earlier.method = st.comp_method;
            earlier.crc = crcOf(st);
        } else {
            fileAt.insert(key, out.files.size());
            out.files.push_back({c.index, spelled, st.size, st.comp_method, crcOf(st)});
        }
        out.total += st.size;
    }
    out.book =
        fileAt.contains(QStringLiteral("autorun.exe")) && fileAt.contains(QStringLiteral("idioma.kvt"));
    return {};
}

// Files [begin, end) of the plan, written by one worker in turn.
struct Run {
    std::size_t begin;
    std::size_t end;
};

QStringView folderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QStringView() : QStringView(path).left(slash);
}

// The plan's files cut where their folder changes, and within a folder once a
// run holds its share of the bytes, so that a folder of large files still goes
// to every worker.
std::vector<Run> folderRuns(const std::vector<Plan::File> &files, std::uint64_t total, int threads)
{
    const std::uint64_t share = std::max<std::uint64_t>(total / std::uint64_t(4 * std::max(threads, 1)), 1);
    std::vector<Run> runs;
    std::uint64_t bytes = 0;
    for (std::size_t k = 0; k < files.size(); ++k) {
        if (runs.empty() || folderOf(files[k].path) != folderOf(files[k - 1].path) || bytes >= share) {
            runs.push_back({k, k});
            bytes = 0;
        }
        runs.back().end = k + 1;
        bytes += files[k].size;
    }
    return runs;
}

// Per worker: the blocks read and written, and ISA-L's inflate state (large
// enough to be kept off the stack and made once).
struct Buffers {
    std::vector<char> out = std::vector<char>(kBlock);
    std::vector<char> in = std::vector<char>(kBlock);
    std::unique_ptr<inflate_state> inflate = std::make_unique<inflate_state>();
};

// The file being written: every block is capped at the declared size before it
// is written, counted once on disk, and its CRC taken over what was written.
class EntryOutput {
  public:
    EntryOutput(const Plan::File &file, int fd, ExtractionProgress *progress)
        : m_file(file)
        , m_fd(fd)
        , m_progress(progress)
    {
    }
    // False, with the failure in result, once the block cannot be written.
    bool write(const char *p, std::size_t n, ExtractionResult &result)
    {
        if (m_written + n > m_file.size) {
            result = fail(ExtractionError::Damaged, m_file.path,
                          QStringLiteral("more data than the entry declares"));
            return false;
        }
        m_crc = crc32_gzip_refl(m_crc, reinterpret_cast<const unsigned char *>(p), std::uint64_t(n));
        std::size_t left = n;
        bool ok = true;
        while (left > 0) {
            const ssize_t w = ::write(m_fd, p, left);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                const int e = errno;
                result = fail(e == ENOSPC ? ExtractionError::NoSpace : ExtractionError::CannotWrite,
                              m_file.path, QString::fromLocal8Bit(std::strerror(e)), e);
                ok = false;
                break;
            }
            p += w;
            left -= std::size_t(w);
        }
        m_written += n - left;
        // Counted once the block is on disk, so written never passes total.
        // Release: a reader that loads written with acquire also sees total.
        if (m_progress)
            m_progress->written.fetch_add(n - left, std::memory_order_release);
        return ok;
    }
    std::uint64_t written() const { return m_written; }
    std::uint32_t crc() const { return m_crc; }

  private:
    const Plan::File &m_file;
    int m_fd;
    ExtractionProgress *m_progress;
    std::uint64_t m_written = 0;
    std::uint32_t m_crc = 0;
};

bool stopped(const std::atomic<bool> *cancel, const std::atomic<bool> &stop)
{
    return stop.load() || (cancel && cancel->load());
}

ExtractionResult readFailure(zip_file_t *in, const Plan::File &file)
{
    const zip_error_t *e = zip_file_get_error(in);
    ExtractionResult result =
        fail(ExtractionError::Damaged, file.path, QString::fromLocal8Bit(zip_file_strerror(in)));
    if (zip_error_code_zip(e) == ZIP_ER_ENCRNOTSUPP || zip_error_code_zip(e) == ZIP_ER_COMPNOTSUPP)
        result.error = ExtractionError::Unreadable;
    return result;
}

// Stored and bzip2 entries: libzip decodes them.
ExtractionResult copyDecoded(zip_file_t *in, const Plan::File &file, EntryOutput &out, Buffers &buffers,
                             const std::atomic<bool> *cancel, const std::atomic<bool> &stop)
{
    ExtractionResult result;
    for (;;) {
        if (stopped(cancel, stop))
            return fail(ExtractionError::CannotWrite, file.path, QStringLiteral("stopped"));
        const zip_int64_t n = zip_fread(in, buffers.out.data(), buffers.out.size());
        if (n < 0)
            return readFailure(in, file);
        if (n == 0 || !out.write(buffers.out.data(), std::size_t(n), result))
            return result;
    }
}

// Deflated entries: their compressed bytes, as libzip reads them, through ISA-L's
// inflate, which is four to five times zlib's speed and streams in two blocks.
ExtractionResult inflate(zip_file_t *in, const Plan::File &file, EntryOutput &out, Buffers &buffers,
                         const std::atomic<bool> *cancel, const std::atomic<bool> &stop)
{
    inflate_state &state = *buffers.inflate;
    isal_inflate_init(&state);
    state.crc_flag = ISAL_DEFLATE;
    ExtractionResult result;
    bool inputEnded = false;
    while (state.block_state != ISAL_BLOCK_FINISH) {
        if (stopped(cancel, stop))
            return fail(ExtractionError::CannotWrite, file.path, QStringLiteral("stopped"));
        if (state.avail_in == 0 && !inputEnded) {
            const zip_int64_t n = zip_fread(in, buffers.in.data(), buffers.in.size());
            if (n < 0)
                return readFailure(in, file);
            inputEnded = n == 0;
            state.next_in = reinterpret_cast<uint8_t *>(buffers.in.data());
            state.avail_in = uint32_t(n);
        }
        state.next_out = reinterpret_cast<uint8_t *>(buffers.out.data());
        state.avail_out = uint32_t(buffers.out.size());
        const int status = isal_inflate(&state);
        if (status < 0)
            return fail(ExtractionError::Damaged, file.path,
                        QStringLiteral("invalid deflate data (ISA-L status %1)").arg(status));
        const std::size_t produced = buffers.out.size() - state.avail_out;
        if (produced > 0 && !out.write(buffers.out.data(), produced, result))
            return result;
        // All the compressed bytes taken, all they held written, and no end.
        if (inputEnded && state.avail_in == 0 && produced == 0 && state.block_state != ISAL_BLOCK_FINISH)
            return fail(ExtractionError::Damaged, file.path, QStringLiteral("the deflate data ends early"));
    }
    return result;
}

// Writes one entry, never more than it declares, and checks its CRC.
ExtractionResult writeEntry(zip_t *z, const Plan::File &file, const QString &targetDir, Buffers &buffers,
                            const std::atomic<bool> *cancel, const std::atomic<bool> &stop,
                            ExtractionProgress *progress)
{
    const bool deflated = file.method == ZIP_CM_DEFLATE;
    zip_file_t *in = zip_fopen_index(z, file.index, deflated ? ZIP_FL_COMPRESSED : 0);
    if (!in)
        return fail(ExtractionError::Unreadable, file.path, QString::fromLocal8Bit(zip_strerror(z)));
    const QByteArray path = QFile::encodeName(targetDir + u'/' + file.path);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        const int e = errno;
        zip_fclose(in);
        return fail(e == ENOSPC ? ExtractionError::NoSpace : ExtractionError::CannotWrite, file.path,
                    QString::fromLocal8Bit(std::strerror(e)), e);
    }
    EntryOutput out(file, fd, progress);
    ExtractionResult result = deflated ? inflate(in, file, out, buffers, cancel, stop)
                                       : copyDecoded(in, file, out, buffers, cancel, stop);
    zip_fclose(in);
    if (result.ok() && out.written() != file.size)
        result =
            fail(ExtractionError::Damaged, file.path, QStringLiteral("less data than the entry declares"));
    // libzip checks the CRC of what it decodes; the compressed bytes it hands over unchecked.
    if (result.ok() && deflated && file.crc && out.crc() != *file.crc)
        result = fail(ExtractionError::Damaged, file.path, QStringLiteral("CRC error"));
    if (::close(fd) != 0 && result.ok())
        result = fail(errno == ENOSPC ? ExtractionError::NoSpace : ExtractionError::CannotWrite, file.path,
                      QString::fromLocal8Bit(std::strerror(errno)), errno);
    result.bytes = out.written();
    return result;
}

} // namespace

std::optional<QString> ZipExtraction::safeRelativePath(const QString &name)
{
    const QString path = QString(name).replace(u'\\', u'/');
    // "/x", "//server/share" and "C:x" all reach beyond the folder; ":" has no
    // place in a Windows name anyway.
    if (path.startsWith(u'/') || path.contains(u':'))
        return std::nullopt;
    QStringList parts;
    for (const QString &part : path.split(u'/', Qt::SkipEmptyParts)) {
        if (part == QStringLiteral("."))
            continue;
        if (part == QStringLiteral(".."))
            return std::nullopt;
        parts.append(part);
    }
    return parts.join(u'/');
}

ExtractionResult ZipExtraction::extract(const QString &zipPath, const QString &targetDir,
                                        const ExtractionLimits &limits, const std::atomic<bool> *cancel,
                                        ExtractionProgress *progress)
{
    QString detail;
    ZipHandle z = openArchive(zipPath, &detail);
    if (!z)
        return fail(ExtractionError::Unreadable, QString(), detail);

    // Refusals in order: what could write outside the target or is no honest
    // archive, then what cannot be read, then sizes, and only then whether this
    // is a book at all; the disk's room is asked last, for a book.
    std::vector<Candidate> entries;
    if (ExtractionResult read = readEntries(z.get(), entries); !read.ok())
        return read;
    if (ExtractionResult layout = checkLayout(zipPath, entries); !layout.ok())
        return layout;
    dropMacEntries(entries);
    unwrapBookFolder(entries);
    Plan work;
    if (ExtractionResult planned = plan(entries, work); !planned.ok())
        return planned;
    if (work.files.empty())
        return fail(ExtractionError::Empty);

    const std::uint64_t archiveSize = std::uint64_t(std::max<qint64>(QFileInfo(zipPath).size(), 1));
    if (work.total > limits.maxTotalSize ||
        (work.total > limits.ratioFloor && double(work.total) / double(archiveSize) > limits.maxRatio)) {
        ExtractionResult r = fail(ExtractionError::TooLarge);
        r.needed = work.total;
        return r;
    }
    if (!work.book)
        return fail(ExtractionError::NotABook);
    struct statvfs fs;
    if (::statvfs(QFile::encodeName(targetDir).constData(), &fs) == 0) {
        const std::uint64_t available = std::uint64_t(fs.f_bavail) * fs.f_frsize;
        if (work.total + limits.reserve > available) {
            ExtractionResult r = fail(ExtractionError::NoSpace);
            // What must be free, reserve included, to compare with what is.
            r.needed = work.total + limits.reserve;
            r.available = available;
            return r;
        }
    }

    if (progress)
        progress->total.store(work.total, std::memory_order_release);
    for (const QString &folder : std::as_const(work.folders)) {
        if (::mkdir(QFile::encodeName(targetDir + u'/' + folder).constData(), 0755) != 0 && errno != EEXIST)
            return fail(errno == ENOSPC ? ExtractionError::NoSpace : ExtractionError::CannotWrite, folder,
                        QString::fromLocal8Bit(std::strerror(errno)), errno);
    }

    // Workers take a folder's files at a time, each through its own handle on
    // the archive: creating a file holds its folder's lock, so two workers in
    // one folder wait on each other, and on a file system slow to find a free
    // inode they would take turns instead of working side by side.
    const std::vector<Run> runs = folderRuns(work.files, work.total, limits.threads);
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::mutex lock;
    ExtractionResult total;
    auto worker = [&](zip_t *handle) {
        Buffers buffers;
        for (std::size_t run = next++; run < runs.size() && !stop.load(); run = next++) {
            for (std::size_t k = runs[run].begin; k < runs[run].end && !stop.load(); ++k) {
                const ExtractionResult r =
                    writeEntry(handle, work.files[k], targetDir, buffers, cancel, stop, progress);
                const std::lock_guard<std::mutex> guard(lock);
                total.bytes += r.bytes;
                if (r.ok()) {
                    ++total.files;
                } else if (total.ok()) {
                    const std::uint64_t bytes = total.bytes;
                    const int files = total.files;
                    total = r;
                    total.bytes = bytes;
                    total.files = files;
                    stop = true;
                }
            }
        }
    };
    const int threads = std::max(1, std::min<int>(limits.threads, int(work.files.size())));
    std::vector<ZipHandle> handles;
    for (int t = 1; t < threads; ++t) {
        ZipHandle h = openArchive(zipPath, &detail);
        if (!h)
            break;
        handles.push_back(std::move(h));
    }
    std::vector<std::thread> pool;
    for (ZipHandle &h : handles)
        pool.emplace_back(worker, h.get());
    worker(z.get());
    for (std::thread &t : pool)
        t.join();
    if (total.ok() && cancel && cancel->load())
        total = fail(ExtractionError::CannotWrite, QString(), QStringLiteral("stopped"));
    return total;
}

} // namespace install
