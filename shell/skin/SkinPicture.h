#pragma once

#include <QPixmap>
#include <QString>

namespace shell::skin {

// Every skin picture the windows show, loaded for the screen they are on. Above a
// device pixel ratio of 1 it is the picture painted at twice the pixels beside
// `file` (doubledFile), marked as of ratio 2 so that it covers exactly the logical
// pixels of the 1x picture: window sizes, label places and hot spots stay as they
// are. The 1x picture otherwise, and where the 2x one is missing, unreadable or
// not twice its size. Null when `file` itself cannot be read, at any ratio, so a
// missing picture is reported as it always was.
QPixmap loadSkinPicture(const QString &file, qreal devicePixelRatio);

} // namespace shell::skin
