#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

class QIODevice;

namespace shell::help {

// The files inside a compiled help file, as zeko-help-reader hands them to the
// manager: every file under "/" (topics, pictures, the contents, and the
// project's #SYSTEM, #IVB and #STRINGS), in the order of the file's directory.
//
// On the reader's standard output they are framed as "ZEKOCHM1", the entry
// count, then for each entry the path's length, the path, one byte that is 1
// when the data follows and 0 when it could not be read, the data's length and
// the data. Counts and lengths are 32-bit little-endian; nothing follows.
struct ChmContents {
    struct Entry {
        QByteArray path;                // as the directory spells it: "/overview.html", "/#SYSTEM"
        std::optional<QByteArray> data; // none when chmlib could not read it
    };
    QList<Entry> entries;

    // What a help file holds at most; our own are about 13 KB and a course's a
    // few MB. An object above kMaxObjectSize is listed but left unread; more
    // entries or more data in all mean a damaged file.
    static constexpr qsizetype kMaxEntries = 65536;
    static constexpr qsizetype kMaxPathLength = 512; // chmlib's own limit
    static constexpr qint64 kMaxObjectSize = qint64(64) << 20;
    static constexpr qint64 kMaxTotalSize = qint64(256) << 20;
    // The longest framed form of contents within those bounds.
    static constexpr qint64 kMaxFramedSize =
        8 + 4 + kMaxEntries * (4 + kMaxPathLength + 1 + 4) + kMaxTotalSize;

    // zeko-help-reader's exit status when it refuses a file (its reason on
    // standard error); 0 means the contents were written, anything else that
    // the reader broke down.
    static constexpr int kExitNotAChm = 3;
    static constexpr int kExitDamaged = 4;

    // False when the device refused the bytes.
    [[nodiscard]] bool writeFrames(QIODevice &out) const;
    // Nothing when the bytes are not exactly one framed contents within the bounds above.
    [[nodiscard]] static std::optional<ChmContents> fromFrames(QByteArrayView frames);
};

} // namespace shell::help
