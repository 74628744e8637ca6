#include "ZipLayout.h"

#include <QFile>

#include <algorithm>

namespace install {

namespace {

constexpr qint64 kEndRecord = 22; // end of central directory, without its comment
constexpr qint64 kZip64Locator = 20;
constexpr qint64 kZip64EndRecord = 56;
constexpr qint64 kCentralHeader = 46;
constexpr qint64 kLocalHeader = 30;
constexpr qint64 kMaxComment = 0xffff;

std::uint64_t le(const QByteArray &b, qsizetype at, int bytes)
{
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

QByteArray readAt(QFile &f, std::uint64_t at, qint64 length)
{
    if (at > std::uint64_t(f.size()) || !f.seek(qint64(at)))
        return {};
    return f.read(length);
}

ZipLayout::Check problem(ZipLayout::Problem p, std::size_t entry, const QString &detail)
{
    return {p, entry, detail};
}

} // namespace

ZipLayout::Check ZipLayout::read(const QString &path)
{
    m_entries.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return problem(Problem::Unreadable, 0, f.errorString());
    const qint64 size = f.size();
    if (size < kEndRecord)
        return problem(Problem::Unreadable, 0, QStringLiteral("too short for a ZIP archive"));

    // The end record is the last one whose comment fits in what follows it.
    const qint64 tailStart = std::max<qint64>(0, size - kEndRecord - kMaxComment);
    const QByteArray tail = readAt(f, std::uint64_t(tailStart), size - tailStart);
    qsizetype end = -1;
    for (qsizetype at = tail.size() - kEndRecord; at >= 0; --at) {
        if (tail[at] == 'P' && tail.mid(at, 4) == QByteArrayLiteral("PK\x05\x06") &&
            at + kEndRecord + qsizetype(le(tail, at + 20, 2)) <= tail.size()) {
            end = at;
            break;
        }
    }
    if (end < 0)
        return problem(Problem::Unreadable, 0, QStringLiteral("no end of central directory"));
    std::uint64_t count = le(tail, end + 10, 2);
    std::uint64_t directorySize = le(tail, end + 12, 4);
    std::uint64_t directoryOffset = le(tail, end + 16, 4);
    std::uint64_t directoryEnd = std::uint64_t(tailStart + end);

    // A ZIP64 locator right before the end record points at the record with the real figures.
    if (tailStart + end >= kZip64Locator) {
        const QByteArray locator = readAt(f, directoryEnd - kZip64Locator, kZip64Locator);
        if (locator.size() == kZip64Locator && locator.startsWith(QByteArrayLiteral("PK\x06\x07"))) {
            const std::uint64_t at = le(locator, 8, 8);
            const QByteArray record = readAt(f, at, kZip64EndRecord);
            if (record.size() != kZip64EndRecord || !record.startsWith(QByteArrayLiteral("PK\x06\x06")))
                return problem(Problem::Unreadable, 0, QStringLiteral("no ZIP64 end of central directory"));
            count = le(record, 32, 8);
            directorySize = le(record, 40, 8);
            directoryOffset = le(record, 48, 8);
            directoryEnd = at;
        }
    }
    if (directoryOffset > directoryEnd || directorySize > directoryEnd - directoryOffset)
        return problem(Problem::Unreadable, 0, QStringLiteral("the central directory is not where it says"));
    const QByteArray directory = readAt(f, directoryOffset, qint64(directorySize));
    if (std::uint64_t(directory.size()) != directorySize)
        return problem(Problem::Unreadable, 0, f.errorString());
    m_directoryOffset = directoryOffset;

    qsizetype at = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (at + kCentralHeader > directory.size() || !directory.mid(at, 4).startsWith("PK\x01\x02"))
            return problem(Problem::Unreadable, std::size_t(i),
                           QStringLiteral("a central header is missing"));
        const auto nameLength = qsizetype(le(directory, at + 28, 2));
        const auto extraLength = qsizetype(le(directory, at + 30, 2));
        const auto commentLength = qsizetype(le(directory, at + 32, 2));
        const qsizetype next = at + kCentralHeader + nameLength + extraLength + commentLength;
        if (next > directory.size())
            return problem(Problem::Unreadable, std::size_t(i),
                           QStringLiteral("a central header is cut short"));
        Entry e;
        e.name = directory.mid(at + kCentralHeader, nameLength);
        e.compressedSize = le(directory, at + 20, 4);
        const std::uint64_t uncompressed = le(directory, at + 24, 4);
        e.localOffset = le(directory, at + 42, 4);
        // The ZIP64 field holds, in this order, only the figures that overflowed.
        const bool bigUncompressed = uncompressed == 0xffffffff;
        const bool bigCompressed = e.compressedSize == 0xffffffff;
        const bool bigOffset = e.localOffset == 0xffffffff;
        for (qsizetype x = at + kCentralHeader + nameLength, xEnd = x + extraLength; x + 4 <= xEnd;) {
            const std::uint64_t id = le(directory, x, 2);
            const auto length = qsizetype(le(directory, x + 2, 2));
            if (x + 4 + length > xEnd)
                break;
            if (id == 0x0001) {
                qsizetype v = x + 4;
                const qsizetype vEnd = v + length;
                auto take = [&](std::uint64_t &field) {
                    if (v + 8 > vEnd)
                        return false;
                    field = le(directory, v, 8);
                    v += 8;
                    return true;
                };
                std::uint64_t ignored = 0;
                if ((bigUncompressed && !take(ignored)) || (bigCompressed && !take(e.compressedSize)) ||
                    (bigOffset && !take(e.localOffset)))
                    return problem(Problem::Unreadable, std::size_t(i),
                                   QStringLiteral("a ZIP64 field is cut short"));
                break;
            }
            x += 4 + length;
        }
        m_entries.push_back(e);
        at = next;
    }

    // Each local header must be there and name its entry as the central directory does:
    // a tool that reads local headers would otherwise write a name never checked here.
    struct Span {
        std::uint64_t begin, end;
        std::size_t entry;
    };
    std::vector<Span> spans;
    spans.reserve(m_entries.size());
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Entry &e = m_entries[i];
        const QByteArray header = readAt(f, e.localOffset, kLocalHeader);
        if (header.size() != kLocalHeader || !header.startsWith(QByteArrayLiteral("PK\x03\x04")))
            return problem(Problem::BadHeader, i, QStringLiteral("no local header"));
        const auto nameLength = qint64(le(header, 26, 2));
        const std::uint64_t extraLength = le(header, 28, 2);
        if (readAt(f, e.localOffset + kLocalHeader, nameLength) != e.name)
            return problem(Problem::NameDiffers, i, QStringLiteral("the local header names it otherwise"));
        const std::uint64_t dataStart =
            e.localOffset + kLocalHeader + std::uint64_t(nameLength) + extraLength;
        if (e.compressedSize > m_directoryOffset || dataStart > m_directoryOffset - e.compressedSize)
            return problem(Problem::PastDirectory, i,
                           QStringLiteral("its data runs into the central directory"));
        spans.push_back({e.localOffset, dataStart + e.compressedSize, i});
    }
    std::sort(spans.begin(), spans.end(), [](const Span &a, const Span &b) { return a.begin < b.begin; });
    for (std::size_t k = 1; k < spans.size(); ++k) {
        if (spans[k].begin < spans[k - 1].end)
            return problem(Problem::Overlap, spans[k].entry,
                           QStringLiteral("its bytes belong to another entry"));
    }
    return {};
}

} // namespace install
