#include "app/TRulerMarker.h"

#include <QPainter>
#include <QPolygonF>

TRulerMarker::TRulerMarker(QWidget *parent, const char *name, Shape shape, const QRect &geometry)
    : QWidget(parent), FShape(shape)
{
    setObjectName(QString::fromLatin1(name));
    setGeometry(geometry);
    setCursor(Qt::SizeHorCursor);
}

void TRulerMarker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = width();
    const qreal h = height();
    const qreal mid = w / 2.0;
    const qreal head = std::min(h, w) * 0.6; // height of the arrow head
    const qreal shaft = w / 5.0;             // half width of the shaft
    QPolygonF arrow;
    if (FShape == Shape::DownArrow) {
        arrow << QPointF(mid - shaft, 0) << QPointF(mid + shaft, 0)
              << QPointF(mid + shaft, h - head) << QPointF(w, h - head) << QPointF(mid, h)
              << QPointF(0, h - head) << QPointF(mid - shaft, h - head);
    } else {
        arrow << QPointF(mid, 0) << QPointF(w, head) << QPointF(mid + shaft, head)
              << QPointF(mid + shaft, h) << QPointF(mid - shaft, h) << QPointF(mid - shaft, head)
              << QPointF(0, head);
    }
    const QColor ink = palette().color(QPalette::WindowText);
    painter.setPen(QPen(ink, 1));
    painter.setBrush(FShape == Shape::HollowUpArrow ? QBrush(Qt::NoBrush) : QBrush(ink));
    painter.drawPolygon(arrow);
}
