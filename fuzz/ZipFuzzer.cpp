// ZipExtraction::extract over any archive, into an empty folder inside an empty
// parent. Whatever the archive holds, nothing may appear beside the target, no
// link anywhere, no file larger than the entry that names it declares, and no
// more bytes than all entries declare; an archive refused before writing leaves
// the target empty. The sizes are read here through libzip on its own.

#include "Fuzz.h"
#include "install/ZipExtraction.h"
#include "platform/CodePage.h"

#include <QHash>
#include <QSet>
#include <QTemporaryDir>

#include <zip.h>

#include <filesystem>
#include <system_error>

using install::ExtractionError;

namespace {

// An entry name as a lower-case relative path, as any reading of it may spell it.
QString normalised(const QString &name)
{
    QStringList parts;
    for (const QString &part : QString(name).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts))
        if (part != QStringLiteral("."))
            parts.append(part.toLower());
    return parts.join(u'/');
}

struct Declared {
    QHash<QString, std::uint64_t> files; // largest size an entry of that path declares
    QSet<QString> folders;               // every folder the names imply
    std::uint64_t total = 0;
    bool read = false;
};

void add(Declared &d, const QString &path, std::uint64_t size)
{
    std::uint64_t &largest = d.files[path];
    largest = std::max(largest, size);
    const QStringList parts = path.split(u'/');
    for (qsizetype p = 1; p < parts.size(); ++p)
        d.folders.insert(parts.first(p).join(u'/'));
}

Declared declaredSizes(const QString &zipPath)
{
    Declared d;
    int code = 0;
    zip_t *z = zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY, &code);
    if (!z)
        return d;
    d.read = true;
    const zip_int64_t count = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        const char *raw = zip_get_name(z, zip_uint64_t(i), ZIP_FL_ENC_RAW);
        if (!raw || zip_stat_index(z, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
            continue;
        d.total += st.size;
        const QByteArray bytes(raw);
        for (const QString &name : {QString::fromUtf8(bytes), platform::decodeCp850(bytes)}) {
            const QString path = normalised(name);
            if (path.isEmpty())
                continue;
            // A book zipped as its folder lands one level up.
            const qsizetype slash = path.indexOf(u'/');
            for (const QString &at : {path, slash < 0 ? QString() : path.mid(slash + 1)}) {
                if (at.isEmpty())
                    continue;
                if (name.endsWith(u'/') || name.endsWith(u'\\'))
                    d.folders.insert(at);
                else
                    add(d, at, st.size);
            }
        }
    }
    zip_discard(z);
    return d;
}

bool refusedBeforeWriting(ExtractionError e)
{
    return e == ExtractionError::UnsafeName || e == ExtractionError::TooLarge ||
           e == ExtractionError::Empty || e == ExtractionError::NotABook ||
           e == ExtractionError::UnsupportedMethod;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    namespace fs = std::filesystem;
    static const QString zipPath = fuzz::scratchPath("book.zip");
    fuzz::writeFile(zipPath, data, size);
    QTemporaryDir parent(fuzz::scratchPath("zip") + QStringLiteral("-XXXXXX"));
    FUZZ_CHECK(parent.isValid(), "cannot make the parent folder");
    const QString target = parent.filePath(QStringLiteral("book"));
    FUZZ_CHECK(QDir().mkdir(target), "cannot make the target folder");

    // Small enough that no input spends long writing; the ratio is checked from
    // a low size on, so that bombs are refused rather than written.
    install::ExtractionLimits limits;
    limits.maxTotalSize = std::uint64_t(32) << 20;
    limits.ratioFloor = std::uint64_t(1) << 20;
    limits.reserve = 0;
    const install::ExtractionResult result = install::ZipExtraction::extract(zipPath, target, limits);

    const Declared declared = declaredSizes(zipPath);
    const fs::path parentPath = QFile::encodeName(parent.path()).toStdString();
    const fs::path targetPath = QFile::encodeName(target).toStdString();
    std::uint64_t onDisk = 0;
    int files = 0;
    int folders = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(parentPath, error), end; !error && it != end;
         it.increment(error)) {
        const fs::file_status status = it->symlink_status();
        FUZZ_CHECK(!fs::is_symlink(status), "a symbolic link was written");
        if (it->path() == targetPath)
            continue;
        const fs::path relative = it->path().lexically_relative(targetPath);
        FUZZ_CHECK(!relative.empty() && *relative.begin() != "..",
                   "something was written outside the target folder");
        const QString path = QFile::decodeName(QByteArray::fromStdString(relative.string())).toLower();
        if (fs::is_directory(status)) {
            FUZZ_CHECK(declared.folders.contains(path), "a folder that no entry names");
            ++folders;
            continue;
        }
        FUZZ_CHECK(fs::is_regular_file(status), "something other than a file or folder was written");
        const auto entry = declared.files.constFind(path);
        FUZZ_CHECK(entry != declared.files.constEnd(), "a file that no entry names");
        const std::uint64_t length = fs::file_size(it->path());
        FUZZ_CHECK(length <= *entry, "a file larger than its entry declares");
        onDisk += length;
        ++files;
    }
    FUZZ_CHECK(!error, "cannot walk the parent folder");
    FUZZ_CHECK(files == 0 || declared.read, "files written from an archive libzip cannot open");
    FUZZ_CHECK(onDisk <= declared.total, "more bytes written than the entries declare");
    FUZZ_CHECK(onDisk == result.bytes, "the bytes reported are not the bytes written");
    if (result.ok())
        FUZZ_CHECK(files == result.files, "the files reported are not the files written");
    if (refusedBeforeWriting(result.error))
        FUZZ_CHECK(files == 0 && folders == 0, "an archive refused before writing wrote something");

    QFile::remove(zipPath);
    return 0;
}
