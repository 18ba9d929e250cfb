#include "widgets/ProgramPicture.h"

#include <QPainter>
#include <QPainterPath>

QPixmap ProgramPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QPainterPath page;
    page.moveTo(12, 4);
    page.lineTo(42, 4);
    page.lineTo(54, 16);
    page.lineTo(54, 60);
    page.lineTo(12, 60);
    page.closeSubpath();
    p.setPen(QPen(QColor(40, 60, 110), 2));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(QColor(200, 210, 235));
    p.drawPolygon(QPolygonF({QPointF(42, 4), QPointF(42, 16), QPointF(54, 16)}));
    p.setPen(QPen(QColor(150, 160, 180), 2));
    for (int y = 24; y <= 52; y += 7)
        p.drawLine(QPointF(18, y), QPointF(y == 38 ? 28 : 48, y));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(20);
    p.setFont(font);
    p.setPen(QColor(200, 30, 30));
    p.drawText(QRectF(26, 27, 26, 22), Qt::AlignCenter, QStringLiteral("@"));
    return pixmap;
}
