#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace install {

// Where a ZIP archive's entries lie, read from its central directory (with the
// ZIP64 records and extra field), and whether each local header and the data
// after it are that entry's own. libzip, opened without its all-or-nothing
// consistency check (which refuses every archive whose sizes follow the data),
// trusts the central directory alone; this is what vouches for the rest.
class ZipLayout {
  public:
    struct Entry {
        QByteArray name; // as the central directory spells it
        std::uint64_t localOffset = 0;
        std::uint64_t compressedSize = 0;
    };
    enum class Problem {
        None,
        Unreadable,    // no central directory that can be read
        BadHeader,     // no local header where the central directory says
        NameDiffers,   // the local header names the entry otherwise
        PastDirectory, // header and data run into the central directory
        Overlap,       // two entries share bytes
    };
    struct Check {
        Problem problem = Problem::None;
        std::size_t entry = 0; // central directory index of the entry concerned
        QString detail;
    };

    // Reads the central directory of the archive at path, then every entry's
    // local header. Stops at the first problem.
    [[nodiscard]] Check read(const QString &path);
    // The entries in central directory order (libzip's index order), once read.
    const std::vector<Entry> &entries() const { return m_entries; }

  private:
    std::vector<Entry> m_entries;
    std::uint64_t m_directoryOffset = 0;
};

} // namespace install
