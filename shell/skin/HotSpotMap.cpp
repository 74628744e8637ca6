#include "HotSpotMap.h"

#include <QFile>

namespace shell::skin {

bool HotSpotMap::load(const QString &path, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, f.errorString());
        return false;
    }
    if (!parse(f.readAll(), error)) {
        if (error)
            *error = path + QStringLiteral(": ") + *error;
        return false;
    }
    return true;
}

bool HotSpotMap::parse(const QByteArray &text, QString *error)
{
    QList<Region> regions;
    int lineNo = 0;
    for (const QByteArray &raw : text.split('\n')) {
        ++lineNo;
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList parts = line.split(u' ', Qt::SkipEmptyParts);
        bool ok = parts.size() == 5;
        int v[4] = {};
        for (int i = 0; ok && i < 4; ++i)
            v[i] = parts[i + 1].toInt(&ok);
        // A region lies inside a window: QRect's right and bottom edges must not overflow.
        constexpr qint64 kMaxEdge = 65535;
        ok = ok && v[0] >= 0 && v[1] >= 0 && v[2] > 0 && v[3] > 0 && qint64(v[0]) + v[2] <= kMaxEdge &&
             qint64(v[1]) + v[3] <= kMaxEdge;
        if (!ok) {
            if (error)
                *error = QStringLiteral("line %1 is not \"name x y width height\"").arg(lineNo);
            return false;
        }
        regions.append({parts[0], QRect(v[0], v[1], v[2], v[3])});
    }
    m_regions = regions;
    return true;
}

HotSpotMap::Hit HotSpotMap::regionAt(const QPoint &p) const
{
    for (int i = 0; i < m_regions.size(); ++i)
        if (m_regions[i].rect.contains(p))
            return {m_regions[i].name, i};
    return {};
}

} // namespace shell::skin
