#include "ChmReading.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QtEndian>

#include <chm_lib.h>

#include <algorithm>
#include <bit>
#include <memory>
#include <numeric>

namespace shell::help {

namespace {

using Refusal = ChmReadResult::Refusal;

// The ITS structures, as chmlib reads them.
constexpr quint64 kItsfV2Length = 0x58;
constexpr quint64 kItsfV3Length = 0x60; // chmlib reads this much whatever the version
constexpr quint64 kItspLength = 0x54;
constexpr quint64 kListingHeader = 0x14; // PMGL
constexpr quint64 kIndexHeader = 0x08;   // PMGI
constexpr quint64 kResetTableLength = 0x28;
constexpr quint64 kControlDataMin = 0x18;
constexpr quint64 kControlDataMax = 256; // chmlib's buffer for it

// chmlib allocates a directory page for every lookup; compilers write 4 or 8 KB.
constexpr quint64 kMaxPageSize = quint64(1) << 20;
// Index pages stand above the listing pages; compilers need one or two levels.
constexpr int kMaxIndexDepth = 16;
// chmlib reads a compressed block into a buffer this much larger than the block.
constexpr quint64 kCompressedSlack = 6144;
// The LZX windows chmlib's decoder can set up; with any other it writes through a null state.
constexpr int kMinWindowBits = 15;
constexpr int kMaxWindowBits = 21;

constexpr QByteArrayView kResetTable = "::DataSpace/Storage/MSCompressed/Transform/"
                                       "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
constexpr QByteArrayView kContent = "::DataSpace/Storage/MSCompressed/Content";
constexpr QByteArrayView kControlData = "::DataSpace/Storage/MSCompressed/ControlData";

struct DirectoryEntry {
    QByteArray path;
    quint64 space = 0; // 0 stored, 1 compressed
    quint64 start = 0;
    quint64 length = 0;
};

// Checks a compiled help file, all of it in memory, against everything chmlib
// relies on without checking. Every offset is compared with the file's size
// before it is read.
class LayoutCheck {
  public:
    explicit LayoutCheck(QByteArrayView file)
        : m_file(file)
        , m_size(quint64(file.size()))
    {
    }

    // False with the refusal when chmlib must not be given the file.
    bool run() { return headers() && directory() && compression(); }
    Refusal refusal() const { return m_refusal; }
    const QString &reason() const { return m_reason; }

  private:
    bool refuse(Refusal refusal, const QString &reason)
    {
        m_refusal = refusal;
        m_reason = reason;
        return false;
    }
    bool damaged(const QString &reason) { return refuse(Refusal::Damaged, reason); }

    bool within(quint64 offset, quint64 length) const
    {
        return offset <= m_size && length <= m_size - offset;
    }
    quint32 u32(quint64 at) const { return qFromLittleEndian<quint32>(m_file.data() + at); }
    qint32 i32(quint64 at) const { return qFromLittleEndian<qint32>(m_file.data() + at); }
    quint64 u64(quint64 at) const { return qFromLittleEndian<quint64>(m_file.data() + at); }
    QByteArrayView bytes(quint64 at, quint64 length) const
    {
        return m_file.sliced(qsizetype(at), qsizetype(length));
    }
    quint64 pageOffset(quint64 page) const { return m_pagesOffset + page * m_pageSize; }

    bool headers();
    bool directory();
    bool listingPage(quint64 page);
    bool indexPage(quint64 page, int depth);
    bool entry(QByteArrayView page, quint64 &at, quint64 end);
    bool compression();
    const DirectoryEntry *find(QByteArrayView path) const;

    QByteArrayView m_file;
    quint64 m_size;
    Refusal m_refusal = Refusal::None;
    QString m_reason;

    quint64 m_dataOffset = 0;
    quint64 m_pagesOffset = 0;
    quint64 m_pageSize = 0;
    quint64 m_pageCount = 0;
    QList<bool> m_listed;       // listing pages already read
    QList<quint8> m_indexState; // 0 not seen, 1 on the path from the root, 2 done
    QList<DirectoryEntry> m_entries;
    QHash<QByteArray, qsizetype> m_byName; // lower-cased path, as chmlib compares them
};

// The headers tell a compiled help file from anything else; a file cut off
// before the directory they point at is not one either.
bool LayoutCheck::headers()
{
    if (!within(0, kItsfV3Length) || bytes(0, 4) != "ITSF")
        return refuse(Refusal::NotAChm, QStringLiteral("no ITSF header"));
    const quint32 version = u32(4);
    const quint32 headerLength = u32(8);
    if ((version != 2 || headerLength < kItsfV2Length) && (version != 3 || headerLength < kItsfV3Length))
        return refuse(Refusal::NotAChm, QStringLiteral("ITSF header of version %1").arg(version));
    const quint64 directoryOffset = u64(0x48);
    const quint64 directoryLength = u64(0x50);
    if (!within(directoryOffset, directoryLength))
        return refuse(Refusal::NotAChm, QStringLiteral("the file ends before its directory"));
    if (directoryLength < kItspLength)
        return refuse(Refusal::NotAChm, QStringLiteral("a directory shorter than its header"));
    if (bytes(directoryOffset, 4) != "ITSP" || i32(directoryOffset + 4) != 1 ||
        u32(directoryOffset + 8) != kItspLength)
        return refuse(Refusal::NotAChm, QStringLiteral("no ITSP directory header"));

    m_dataOffset = version == 3 ? u64(0x58) : directoryOffset + directoryLength;
    if (m_dataOffset > m_size)
        return damaged(QStringLiteral("the data section starts beyond the end of the file"));
    m_pageSize = u32(directoryOffset + 0x10);
    if (m_pageSize < kListingHeader || m_pageSize > kMaxPageSize)
        return damaged(QStringLiteral("directory pages of %1 bytes").arg(m_pageSize));
    m_pagesOffset = directoryOffset + kItspLength;
    m_pageCount = (directoryLength - kItspLength) / m_pageSize;
    if (m_pageCount == 0)
        return damaged(QStringLiteral("the directory has no page"));
    return true;
}

// chmlib lists the entries along the chain of listing pages from the first one,
// and looks names up down the index from its root; both must stay inside the
// directory and end.
bool LayoutCheck::directory()
{
    const quint64 directoryOffset = u64(0x48);
    const qint32 root = i32(directoryOffset + 0x1c);
    const qint32 head = i32(directoryOffset + 0x20);
    m_listed = QList<bool>(qsizetype(m_pageCount), false);
    m_indexState = QList<quint8>(qsizetype(m_pageCount), 0);

    QSet<qint32> chain;
    for (qint32 page = head; page != -1; page = i32(pageOffset(quint64(page)) + 0x10)) {
        if (page < 0 || quint64(page) >= m_pageCount)
            return damaged(
                QStringLiteral("the chain of listing pages leaves the directory at page %1").arg(page));
        if (chain.contains(page))
            return damaged(QStringLiteral("the chain of listing pages comes back to page %1").arg(page));
        chain.insert(page);
        if (!listingPage(quint64(page)))
            return false;
    }
    // chmlib takes the first listing page for the root when there is no index.
    if (root >= 0 && quint64(root) >= m_pageCount)
        return damaged(QStringLiteral("the index root, page %1, is outside the directory").arg(root));
    return root < 0 || indexPage(quint64(root), 0);
}

bool LayoutCheck::listingPage(quint64 page)
{
    if (m_listed[qsizetype(page)])
        return true;
    m_listed[qsizetype(page)] = true;
    const QByteArrayView p = bytes(pageOffset(page), m_pageSize);
    if (p.first(4) != "PMGL")
        return damaged(QStringLiteral("page %1 is not a listing page").arg(page));
    const quint64 freeSpace = u32(pageOffset(page) + 4);
    if (freeSpace > m_pageSize - kListingHeader)
        return damaged(QStringLiteral("listing page %1 claims %2 bytes free").arg(page).arg(freeSpace));
    const quint64 end = m_pageSize - freeSpace;
    for (quint64 at = kListingHeader; at < end;) {
        if (!entry(p, at, end)) {
            const QString why =
                m_reason.isEmpty() ? QStringLiteral("an entry that runs past its end") : m_reason;
            return damaged(QStringLiteral("listing page %1: %2").arg(page).arg(why));
        }
    }
    return true;
}

// A number as the directory stores it: seven bits a byte, the high bit set on all but the last.
bool encodedNumber(QByteArrayView page, quint64 &at, quint64 end, quint64 &value)
{
    value = 0;
    for (int n = 0; n < 9 && at < end; ++n) {
        const auto byte = quint8(page[qsizetype(at++)]);
        value = value << 7 | (byte & 0x7f);
        if (byte < 0x80)
            return true;
    }
    return false;
}

bool LayoutCheck::entry(QByteArrayView page, quint64 &at, quint64 end)
{
    m_reason.clear();
    quint64 length = 0;
    DirectoryEntry e;
    if (!encodedNumber(page, at, end, length) || length > end - at)
        return false;
    // chmlib finds an empty name's last letter one byte before the name.
    if (length == 0 || length > quint64(ChmContents::kMaxPathLength)) {
        m_reason = QStringLiteral("a name of %1 bytes").arg(length);
        return false;
    }
    e.path = page.sliced(qsizetype(at), qsizetype(length)).toByteArray();
    at += length;
    if (e.path.contains('\0')) {
        m_reason = QStringLiteral("a name with a NUL");
        return false;
    }
    if (!encodedNumber(page, at, end, e.space) || !encodedNumber(page, at, end, e.start) ||
        !encodedNumber(page, at, end, e.length))
        return false;
    if (e.space > 1) {
        m_reason = QStringLiteral("%1 in section %2").arg(QString::fromLatin1(e.path)).arg(e.space);
        return false;
    }
    if (e.space == 0 && !within(m_dataOffset + std::min(e.start, m_size), e.length)) {
        m_reason = QStringLiteral("%1 lies beyond the end of the file").arg(QString::fromLatin1(e.path));
        return false;
    }
    if (m_entries.size() >= ChmContents::kMaxEntries) {
        m_reason = QStringLiteral("more than %1 entries").arg(ChmContents::kMaxEntries);
        return false;
    }
    const QByteArray key = e.path.toLower();
    if (m_byName.contains(key)) {
        m_reason = QStringLiteral("%1 is listed twice").arg(QString::fromLatin1(e.path));
        return false;
    }
    m_byName.insert(key, m_entries.size());
    m_entries.append(std::move(e));
    return true;
}

bool LayoutCheck::indexPage(quint64 page, int depth)
{
    const QByteArrayView p = bytes(pageOffset(page), m_pageSize);
    if (p.first(4) == "PMGL")
        return listingPage(page);
    if (p.first(4) != "PMGI")
        return true; // chmlib gives the look-up up there
    if (m_indexState[qsizetype(page)] == 2)
        return true;
    if (m_indexState[qsizetype(page)] == 1)
        return damaged(QStringLiteral("index page %1 is reached from below itself").arg(page));
    if (depth > kMaxIndexDepth)
        return damaged(QStringLiteral("the index is more than %1 pages deep").arg(kMaxIndexDepth));
    m_indexState[qsizetype(page)] = 1;
    const quint64 freeSpace = u32(pageOffset(page) + 4);
    if (freeSpace > m_pageSize - kIndexHeader)
        return damaged(QStringLiteral("index page %1 claims %2 bytes free").arg(page).arg(freeSpace));
    const quint64 end = m_pageSize - freeSpace;
    for (quint64 at = kIndexHeader; at < end;) {
        quint64 length = 0;
        quint64 child = 0;
        if (!encodedNumber(p, at, end, length) || length > quint64(ChmContents::kMaxPathLength) ||
            length > end - at)
            return damaged(QStringLiteral("index page %1 has an entry that runs past its end").arg(page));
        at += length;
        if (!encodedNumber(p, at, end, child) || child >= m_pageCount)
            return damaged(QStringLiteral("index page %1 points outside the directory").arg(page));
        if (!indexPage(child, depth + 1))
            return false;
    }
    m_indexState[qsizetype(page)] = 2;
    return true;
}

const DirectoryEntry *LayoutCheck::find(QByteArrayView path) const
{
    const auto found = m_byName.constFind(path.toByteArray().toLower());
    return found == m_byName.cend() ? nullptr : &m_entries[*found];
}

// chm_open divides by the window size and the reset interval it derives from
// the LZXC control data, and reading divides by the block size and the blocks
// per reset; the decoder runs only on the window sizes LZX has, and each block
// must fit the buffer chmlib reads it into.
bool LayoutCheck::compression()
{
    const DirectoryEntry *resetTable = find(kResetTable);
    const DirectoryEntry *content = find(kContent);
    const DirectoryEntry *control = find(kControlData);
    const bool anyCompressed = std::any_of(m_entries.cbegin(), m_entries.cend(),
                                           [](const DirectoryEntry &e) { return e.space == 1; });
    if (!resetTable && !content && !control && !anyCompressed)
        return true;
    if (!resetTable || !content || !control || resetTable->space != 0 || content->space != 0 ||
        control->space != 0)
        return damaged(QStringLiteral("the compression settings are missing or compressed themselves"));

    if (control->length < kControlDataMin || control->length > kControlDataMax)
        return damaged(QStringLiteral("LZXC control data of %1 bytes").arg(control->length));
    const quint64 c = m_dataOffset + control->start;
    quint32 resetInterval = u32(c + 0xc);
    quint32 windowSize = u32(c + 0x10);
    const quint32 windowsPerReset = u32(c + 0x14);
    if (bytes(c + 4, 4) != "LZXC")
        return damaged(QStringLiteral("no LZXC control data"));
    // Version 2 counts in units of 32 KB; chmlib multiplies in 32 bits.
    if (u32(c + 8) == 2) {
        resetInterval *= 0x8000u;
        windowSize *= 0x8000u;
    }
    const int windowBits = windowSize == 0 ? 0 : std::countr_zero(windowSize);
    if (!std::has_single_bit(windowSize) || windowBits < kMinWindowBits || windowBits > kMaxWindowBits)
        return damaged(QStringLiteral("an LZX window of %1 bytes").arg(windowSize));
    if (resetInterval == 0 || resetInterval % (windowSize / 2) != 0 ||
        quint32(resetInterval / (windowSize / 2) * windowsPerReset) == 0)
        return damaged(
            QStringLiteral("LZX resets every %1 bytes, %2 windows").arg(resetInterval).arg(windowsPerReset));

    if (resetTable->length < kResetTableLength)
        return damaged(QStringLiteral("a reset table of %1 bytes").arg(resetTable->length));
    const quint64 r = m_dataOffset + resetTable->start;
    const quint64 blockCount = u32(r + 4);
    const quint64 tableOffset = u32(r + 0xc);
    const quint64 uncompressed = u64(r + 0x10);
    const quint64 compressed = u64(r + 0x18);
    const quint64 blockSize = u64(r + 0x20);
    if (u32(r) != 2)
        return damaged(QStringLiteral("a reset table of version %1").arg(u32(r)));
    // Blocks that divide the window never straddle its wrap, which the decoder does not handle.
    if (blockSize == 0 || blockSize > windowSize || windowSize % blockSize != 0)
        return damaged(QStringLiteral("compressed blocks of %1 bytes").arg(blockSize));
    if (blockCount == 0 || tableOffset > resetTable->length ||
        blockCount * 8 > resetTable->length - tableOffset)
        return damaged(QStringLiteral("a reset table of %1 blocks outside its %2 bytes")
                           .arg(blockCount)
                           .arg(resetTable->length));
    if (uncompressed > blockCount * blockSize || compressed > content->length)
        return damaged(QStringLiteral("the compressed section's sizes exceed its blocks"));
    // Each block runs to the next one's start, the last to the end of the compressed data.
    quint64 start = u64(r + tableOffset);
    for (quint64 block = 0; block < blockCount; ++block) {
        const quint64 next = block + 1 < blockCount ? u64(r + tableOffset + (block + 1) * 8) : compressed;
        if (next < start || next - start > blockSize + kCompressedSlack)
            return damaged(
                QStringLiteral("compressed block %1 runs from %2 to %3").arg(block).arg(start).arg(next));
        start = next;
    }
    for (const DirectoryEntry &e : m_entries) {
        if (e.space == 1 && (e.start > uncompressed || e.length > uncompressed - e.start))
            return damaged(
                QStringLiteral("%1 lies beyond the compressed data").arg(QString::fromLatin1(e.path)));
    }
    return true;
}

struct Listing {
    QList<chmUnitInfo> units;
    QSet<QByteArray> seen;
    bool overrun = false;
};

int collect(chmFile *, chmUnitInfo *ui, void *context)
{
    auto *listing = static_cast<Listing *>(context);
    const QByteArray path(ui->path);
    // A repeated name means the listing goes round; checked files never do.
    if (listing->units.size() >= ChmContents::kMaxEntries || listing->seen.contains(path)) {
        listing->overrun = true;
        return CHM_ENUMERATOR_FAILURE;
    }
    listing->seen.insert(path);
    listing->units.append(*ui);
    return CHM_ENUMERATOR_CONTINUE;
}

ChmReadResult refused(Refusal refusal, const QString &reason)
{
    ChmReadResult result;
    result.refusal = refusal;
    result.reason = reason;
    return result;
}

} // namespace

ChmReadResult readChm(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return refused(Refusal::NotAChm, QStringLiteral("cannot open the file"));
    if (file.size() < qint64(kItsfV3Length))
        return refused(Refusal::NotAChm, QStringLiteral("no ITSF header"));
    uchar *mapped = file.map(0, file.size());
    if (!mapped)
        return refused(Refusal::NotAChm, QStringLiteral("cannot read the file: %1").arg(file.errorString()));
    LayoutCheck check(QByteArrayView(mapped, file.size()));
    if (!check.run())
        return refused(check.refusal(), check.reason());

    chmFile *handle = chm_open(QFile::encodeName(path).constData());
    if (!handle)
        return refused(Refusal::Damaged, QStringLiteral("chmlib refuses the file"));
    const std::unique_ptr<chmFile, decltype(&chm_close)> closer(handle, &chm_close);

    Listing listing;
    if (!chm_enumerate(handle, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_SPECIAL | CHM_ENUMERATE_FILES, collect,
                       &listing))
        return refused(Refusal::Damaged, listing.overrun
                                             ? QStringLiteral("the directory lists without end")
                                             : QStringLiteral("chmlib cannot list the directory"));

    // Objects read in the order they are stored let the decoder go on from the
    // block before instead of starting again from the last reset.
    QList<qsizetype> order(listing.units.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        const chmUnitInfo &x = listing.units[a];
        const chmUnitInfo &y = listing.units[b];
        return std::pair(x.space, x.start) < std::pair(y.space, y.start);
    });
    ChmReadResult result;
    result.contents.entries.resize(listing.units.size());
    qint64 total = 0;
    for (const qsizetype i : order) {
        chmUnitInfo &ui = listing.units[i];
        ChmContents::Entry &entry = result.contents.entries[i];
        entry.path = QByteArray(ui.path);
        if (ui.length > quint64(ChmContents::kMaxObjectSize))
            continue;
        total += qint64(ui.length);
        if (total > ChmContents::kMaxTotalSize)
            return refused(Refusal::Damaged,
                           QStringLiteral("more than %1 bytes inside").arg(ChmContents::kMaxTotalSize));
        QByteArray data(qsizetype(ui.length), Qt::Uninitialized);
        if (ui.length > 0 && chm_retrieve_object(handle, &ui, reinterpret_cast<unsigned char *>(data.data()),
                                                 0, LONGINT64(ui.length)) != LONGINT64(ui.length))
            continue;
        entry.data = std::move(data);
    }
    return result;
}

} // namespace shell::help
