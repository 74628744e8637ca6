#pragma once

#include <QString>

#include <atomic>
#include <cstdint>
#include <optional>

namespace install {

// Bounds a book's archive must keep before anything of it is written.
struct ExtractionLimits {
    // Larger than any book (a course CD holds 700 MB; a DVD 4.7 GB).
    std::uint64_t maxTotalSize = std::uint64_t(8) << 30;
    // Expanded size over archive size. Media compress little and text about
    // tenfold; only crafted archives go past this.
    double maxRatio = 200.0;
    // Below this expanded size a high ratio is harmless and not refused.
    std::uint64_t ratioFloor = std::uint64_t(64) << 20;
    // Free space left on the disk beyond what the archive declares.
    std::uint64_t reserve = std::uint64_t(16) << 20;
    // Worker threads writing entries (each reads the archive through its own handle).
    int threads = 2;
};

// Why an archive was not extracted.
enum class ExtractionError {
    None,
    Unreadable,  // not a ZIP archive, cannot be opened or read, encrypted
    Damaged,     // an entry's data fails its check (CRC, sizes that lie)
    UnsafeName,  // an entry would land outside the target folder, is a link, or its two headers name it apart
    NoSpace,     // the disk has not room for what the archive declares
    TooLarge,    // larger, or expanding more, than any real book
    Empty,       // the archive holds no file
    CannotWrite, // the target folder could not be written
    NotABook,    // no Autorun.exe and Idioma.kvt at the top, nor inside its one folder
    UnsupportedMethod, // an entry compressed with a method we cannot decode (detail: its name)
};

// What an extraction has done so far, read from another thread while it runs.
struct ExtractionProgress {
    std::atomic<std::uint64_t> total{0};   // bytes the archive declares, set once it was checked
    std::atomic<std::uint64_t> written{0}; // bytes written so far
};

struct ExtractionResult {
    ExtractionError error = ExtractionError::None;
    QString entry;               // the entry concerned, as its name was decoded
    QString detail;              // the library's or the system's own words, for the record
    int systemError = 0;         // errno of a failed write (CannotWrite, NoSpace)
    std::uint64_t needed = 0;    // bytes the archive declares (NoSpace, TooLarge)
    std::uint64_t available = 0; // bytes free on the disk (NoSpace)
    int files = 0;               // files written
    std::uint64_t bytes = 0;     // bytes written

    bool ok() const { return error == ExtractionError::None; }
};

// Extracts a book's ZIP archive with libzip. The whole archive is checked first
// (names, links, each entry's headers and data against the central directory,
// encryption, methods, declared sizes against what a book can be, that it is a
// book, and the disk); only then is anything written, streamed entry by entry,
// each entry capped at its declared size and its CRC checked. Entry names flagged
// UTF-8 (or carrying the Unicode path field), or from a Unix or macOS host and
// valid UTF-8, are read as UTF-8; others in code page 850 as Portuguese and
// Spanish Windows write them. Entries that differ only in letter case become one
// file, the later one's content under the first one's spelling, as on Windows.
// A book zipped as its folder is extracted from inside that folder; what macOS
// adds (__MACOSX/, "._" files beside real ones) is left out.
class ZipExtraction {
  public:
    // Writes every entry below targetDir, an existing folder. On failure what was
    // written may stay there; the caller extracts into a staging folder.
    // cancel, when set, stops the work at the next entry or block.
    // progress, when set, is kept up to date as blocks are written.
    [[nodiscard]] static ExtractionResult extract(const QString &zipPath, const QString &targetDir,
                                                  const ExtractionLimits &limits = {},
                                                  const std::atomic<bool> *cancel = nullptr,
                                                  ExtractionProgress *progress = nullptr);

    // The relative path an entry name stands for, with "\" read as "/", "." and
    // empty parts dropped (empty for "./"); nothing when the name is unsafe
    // (absolute, a drive, a UNC name, "..", a ":" anywhere).
    [[nodiscard]] static std::optional<QString> safeRelativePath(const QString &name);
};

} // namespace install
