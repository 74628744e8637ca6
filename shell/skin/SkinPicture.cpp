#include "SkinPicture.h"

#include "SkinLayout.h"

#include <QFile>
#include <QImageReader>

namespace shell::skin {

QPixmap loadSkinPicture(const QString &file, qreal devicePixelRatio)
{
    if (devicePixelRatio > 1) {
        const QString doubled = QFile::decodeName(doubledFile(QFile::encodeName(file).toStdString()).c_str());
        // Reading the 1x picture's header is enough to know it is there and its size.
        const QSize single = QImageReader(file).size();
        QPixmap picture;
        if (single.isValid() && QFile::exists(doubled) && picture.load(doubled) &&
            picture.size() == single * 2) {
            picture.setDevicePixelRatio(2);
            return picture;
        }
    }
    return QPixmap(file);
}

} // namespace shell::skin
