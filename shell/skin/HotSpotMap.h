#pragma once

#include <QList>
#include <QRect>
#include <QString>

namespace shell::skin {

// The named regions of a skinned window's background, read from its .HSP file:
// one region per line in region order, "<name> <x> <y> <width> <height>" in
// pixels of the background picture; lines starting with '#' are comments.
// Region k belongs to button k + 1.
class HotSpotMap {
  public:
    struct Region {
        QString name;
        QRect rect;
    };
    struct Hit {
        QString name; // empty when the point lies in no region
        int number = -1;
    };

    // Reads a map; false with a reason naming the file and line when it cannot.
    [[nodiscard]] bool load(const QString &path, QString *error = nullptr);
    [[nodiscard]] bool parse(const QByteArray &text, QString *error = nullptr);

    Hit regionAt(const QPoint &p) const;
    const QList<Region> &regions() const { return m_regions; }

  private:
    QList<Region> m_regions;
};

} // namespace shell::skin
