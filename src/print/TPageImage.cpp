#include "print/TPageImage.h"

#include <QMouseEvent>
#include <QPainter>

TPageImage::TPageImage(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPageImage::Blank(const QSize &size)
{
    FPicture = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    FPicture.fill(Qt::white);
}

void TPageImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!FPicture.isNull())
        painter.drawImage(0, 0, FPicture);
}

void TPageImage::mousePressEvent(QMouseEvent *event)
{
    emit mousePressed(event->button());
    QWidget::mousePressEvent(event);
}
