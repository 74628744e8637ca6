#include "ChmContents.h"

#include <QIODevice>
#include <QtEndian>

namespace shell::help {

namespace {

constexpr QByteArrayView kMagic = "ZEKOCHM1";

class FrameReader {
  public:
    explicit FrameReader(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }

    bool atEnd() const { return m_at == m_bytes.size(); }

    std::optional<quint32> number()
    {
        const std::optional<QByteArrayView> b = take(4);
        if (!b)
            return std::nullopt;
        return qFromLittleEndian<quint32>(b->data());
    }

    std::optional<QByteArrayView> take(qint64 length)
    {
        if (length < 0 || length > m_bytes.size() - m_at)
            return std::nullopt;
        const QByteArrayView b = m_bytes.sliced(m_at, length);
        m_at += length;
        return b;
    }

  private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
};

QByteArray number(qsizetype value)
{
    QByteArray b(4, Qt::Uninitialized);
    qToLittleEndian(quint32(value), b.data());
    return b;
}

} // namespace

bool ChmContents::writeFrames(QIODevice &out) const
{
    auto write = [&out](QByteArrayView b) { return out.write(b.data(), b.size()) == b.size(); };
    if (!write(kMagic) || !write(number(entries.size())))
        return false;
    for (const Entry &entry : entries) {
        const char readable = entry.data ? 1 : 0;
        const qsizetype length = entry.data ? entry.data->size() : 0;
        if (!write(number(entry.path.size())) || !write(entry.path) || !write(QByteArrayView(&readable, 1)) ||
            !write(number(length)) || (entry.data && !write(*entry.data)))
            return false;
    }
    return true;
}

std::optional<ChmContents> ChmContents::fromFrames(QByteArrayView frames)
{
    FrameReader in(frames);
    if (in.take(kMagic.size()) != kMagic)
        return std::nullopt;
    const std::optional<quint32> count = in.number();
    if (!count || *count > kMaxEntries)
        return std::nullopt;
    ChmContents contents;
    contents.entries.reserve(*count);
    qint64 total = 0;
    for (quint32 i = 0; i < *count; ++i) {
        const std::optional<quint32> pathLength = in.number();
        if (!pathLength || *pathLength == 0 || *pathLength > kMaxPathLength)
            return std::nullopt;
        const std::optional<QByteArrayView> path = in.take(*pathLength);
        const std::optional<QByteArrayView> readable = in.take(1);
        const std::optional<quint32> length = in.number();
        if (!path || !readable || (*readable)[0] > 1 || !length || *length > kMaxObjectSize)
            return std::nullopt;
        total += *length;
        if (total > kMaxTotalSize)
            return std::nullopt;
        Entry entry{path->toByteArray(), std::nullopt};
        if ((*readable)[0] == 1) {
            const std::optional<QByteArrayView> data = in.take(*length);
            if (!data)
                return std::nullopt;
            entry.data = data->toByteArray();
        } else if (*length != 0) {
            return std::nullopt;
        }
        contents.entries.append(std::move(entry));
    }
    if (!in.atEnd())
        return std::nullopt;
    return contents;
}

} // namespace shell::help
