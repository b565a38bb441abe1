#include "app/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// A red record dot over a sound wave on a dark rounded square.
QPixmap DrawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size / 64.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x26, 0x32, 0x38));
    painter.drawRoundedRect(QRectF(2 * s, 2 * s, 60 * s, 60 * s), 12 * s, 12 * s);
    painter.setPen(QPen(QColor(0x80, 0xcb, 0xc4), 3.5 * s, Qt::SolidLine, Qt::RoundCap));
    const double bars[] = {10, 18, 26, 18, 10};
    for (int i = 0; i < 5; ++i) {
        double x = (14 + i * 9) * s;
        painter.drawLine(QPointF(x, (44 - bars[i] / 2) * s), QPointF(x, (44 + bars[i] / 2) * s));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xe5, 0x39, 0x35));
    painter.drawEllipse(QPointF(32 * s, 17 * s), 8 * s, 8 * s);
    return pixmap;
}

} // namespace

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(DrawIcon(size));
    return icon;
}
