// HotSpotMap::parse over any text, then regionAt: a point belongs to the first
// region that holds it, and every region accepted lies inside a window.

#include "Fuzz.h"
#include "shell/skin/HotSpotMap.h"

using shell::skin::HotSpotMap;

namespace {

void checkHit(const HotSpotMap &map, QPoint p)
{
    const HotSpotMap::Hit hit = map.regionAt(p);
    const QList<HotSpotMap::Region> &regions = map.regions();
    int first = -1;
    for (int i = 0; i < regions.size() && first < 0; ++i)
        if (regions[i].rect.contains(p))
            first = i;
    FUZZ_CHECK(hit.number == first, "regionAt is not the first region holding the point");
    FUZZ_CHECK(first < 0 ? hit.name.isEmpty() : hit.name == regions[first].name,
               "regionAt names another region than its number");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    HotSpotMap map;
    QString error;
    if (!map.parse(text, &error)) {
        FUZZ_CHECK(!error.isEmpty(), "a refused map without a reason");
        FUZZ_CHECK(map.regions().isEmpty(), "a refused map left regions");
        return 0;
    }
    for (const HotSpotMap::Region &r : map.regions()) {
        FUZZ_CHECK(!r.name.isEmpty() && !r.name.contains(u' '), "a region without a one-word name");
        FUZZ_CHECK(r.rect.x() >= 0 && r.rect.y() >= 0 && r.rect.width() > 0 && r.rect.height() > 0,
                   "a region that is empty or starts off the picture");
        FUZZ_CHECK(qint64(r.rect.x()) + r.rect.width() <= 65535 &&
                       qint64(r.rect.y()) + r.rect.height() <= 65535,
                   "a region past any window");
    }
    // Corners of the first regions, just inside and just outside, and points taken
    // from the input's own bytes.
    const QList<HotSpotMap::Region> &regions = map.regions();
    for (qsizetype i = 0; i < std::min<qsizetype>(regions.size(), 8); ++i) {
        const QRect r = regions[i].rect;
        for (const QPoint p : {r.topLeft(), r.bottomRight(), r.center(), r.topLeft() - QPoint(1, 1),
                               r.bottomRight() + QPoint(1, 1)})
            checkHit(map, p);
    }
    for (std::size_t i = 0; i + 4 <= std::min<std::size_t>(size, 64); i += 4)
        checkHit(map, QPoint(data[i] | data[i + 1] << 8, data[i + 2] | data[i + 3] << 8));
    return 0;
}
