#include "print/TArrowButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

TArrowButton::TArrowButton(QWidget *parent) : QWidget(parent)
{
    resize(33, 33);
}

void TArrowButton::SetDirection(TButtonDirection direction)
{
    if (direction == FDirection)
        return;
    FDirection = direction;
    update();
}

void TArrowButton::SetButtonColor(const QColor &color)
{
    if (color == FButtonColor)
        return;
    FButtonColor = color;
    update();
}

QPolygon TArrowButton::OuterTriangle() const
{
    const int w = width();
    const int h = height();
    switch (FDirection) {
    case arwUP:
        return QPolygon({QPoint(w / 2, 3), QPoint(w - 3, h - 3), QPoint(3, h - 3)});
    case arwRIGHT:
        return QPolygon({QPoint(3, 3), QPoint(w - 3, h / 2), QPoint(3, h - 3)});
    case arwDOWN:
        return QPolygon({QPoint(w - 3, 3), QPoint(w / 2, h - 3), QPoint(3, 3)});
    case arwLEFT:
        return QPolygon({QPoint(w - 3, 3), QPoint(w - 3, h - 3), QPoint(3, h / 2)});
    }
    return {};
}

QPolygon TArrowButton::InnerTriangle() const
{
    QPolygon p = OuterTriangle();
    switch (FDirection) {
    case arwUP:
        p[0] += QPoint(0, 3);
        p[1] += QPoint(-4, -2);
        p[2] += QPoint(3, -2);
        break;
    case arwRIGHT:
        p[0] += QPoint(2, 3);
        p[1] += QPoint(-3, 0);
        p[2] += QPoint(2, -3);
        break;
    case arwDOWN:
        p[0] += QPoint(-3, 2);
        p[1] += QPoint(0, -3);
        p[2] += QPoint(2, 2);
        break;
    case arwLEFT:
        p[0] += QPoint(-2, 3);
        p[1] += QPoint(-2, -2);
        p[2] += QPoint(3, 0);
        break;
    }
    return p;
}

bool TArrowButton::HitTest(const QPoint &point) const
{
    return OuterTriangle().containsPoint(point, Qt::OddEvenFill);
}

void TArrowButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPolygon outer = OuterTriangle();
    const QPolygon inner = InnerTriangle();
    // The outer triangle framed 2 pixels wide, the inner one filled with the button colour.
    QPainterPath frame;
    frame.addPolygon(outer);
    frame.closeSubpath();
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(frame);
    painter.setPen(Qt::black);
    painter.setBrush(isEnabled() ? FButtonColor : FButtonColor.lighter(160));
    painter.drawPolygon(inner);

    const QColor first = FPressed ? FButtonColor : QColor(Qt::black);
    painter.setPen(first);
    painter.drawLine(inner[0], inner[1]);
    painter.drawLine(inner[1], inner[2]);
    painter.setPen(FPressed ? QColor(Qt::black) : QColor(Qt::white));
    painter.drawLine(inner[2], inner[0]);
}

void TArrowButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !HitTest(event->position().toPoint())) {
        event->ignore();
        return;
    }
    FPressed = true;
    update();
}

void TArrowButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !FPressed)
        return;
    FPressed = false;
    update();
    if (rect().contains(event->position().toPoint()) && isEnabled())
        emit clicked();
}
