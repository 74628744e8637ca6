#include "FieldStyle.h"

#include "SkinLayout.h"

#include <QPainter>

#include <cstdint>

namespace shell::skin {

namespace {

QString colour(std::uint32_t rgb)
{
    return QStringLiteral("#%1").arg(rgb, 6, 16, QChar(u'0'));
}

} // namespace

QString fieldStyle(int pixelSize)
{
    return QStringLiteral(
               "QComboBox, QLineEdit { font-family: 'Liberation Sans', Arial; font-size: %5px; color: %1;"
               " background: %2; border: 1px solid %3; border-radius: 3px; padding: 1px 8px; }"
               "QComboBox:hover, QComboBox:focus, QLineEdit:hover, QLineEdit:focus { border-color: %4; }"
               "QComboBox::drop-down { width: 22px; border: none; }"
               "QComboBox QAbstractItemView { font-family: 'Liberation Sans', Arial; font-size: %5px;"
               " color: %1; background: %2; border: 1px solid %3;"
               " selection-background-color: %4; selection-color: %1; outline: 0; }")
        .arg(colour(palette::kDarkText), colour(palette::kCard), colour(palette::kCardLine),
             colour(palette::kAmber))
        .arg(pixelSize);
}

DropDownList::DropDownList(int pixelSize, QWidget *parent)
    : QComboBox(parent)
{
    setStyleSheet(fieldStyle(pixelSize));
}

void DropDownList::paintEvent(QPaintEvent *e)
{
    QComboBox::paintEvent(e);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor::fromRgb(palette::kAmber), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF c(width() - 12.5, height() / 2.0);
    p.drawPolyline(QList<QPointF>{c + QPointF(-4, -2), c + QPointF(0, 2), c + QPointF(4, -2)});
}

} // namespace shell::skin
