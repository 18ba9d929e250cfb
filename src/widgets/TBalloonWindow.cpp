#include "widgets/TBalloonWindow.h"

#include <QBitmap>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QRegion>

TBalloonWindow::TBalloonWindow(const Style &style, QWidget *owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      FStyle(style)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

QStringList TBalloonWindow::SplitLines(const QString &text)
{
    return text.split(QLatin1Char('@'));
}

void TBalloonWindow::DrawFigure(QPainter &painter, const QRect &rect) const
{
    if (FStyle.Shape == TPShape::sRoundRect)
        painter.drawRoundedRect(rect, 7, 7);
    else
        painter.drawRect(rect);
}

// The tail: a wedge in the box colour from the box's lower edge to the tip at the cursor,
// outlined in black on its two slanted sides.
void TBalloonWindow::DrawTail(QPainter &painter, int height) const
{
    const int w = FBitmap.width();
    const bool left = FStyle.Side == TBalloonAlign::alLeft;
    const auto mx = [&](int x) { return left ? w - 1 - x : x; };
    const QPoint tip(mx(0), height + 17);
    const QPoint a(mx(11), height + 1);
    const QPoint b(mx(21), height + 1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FStyle.Color);
    painter.drawPolygon(QPolygon({a, b, tip}));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(QPoint(a.x(), height + 3), tip);
    painter.drawLine(QPoint(b.x(), height + 3), tip);
}

QRect TBalloonWindow::Prepare(const QString &text, int x, int y)
{
    const QStringList lines = SplitLines(text);
    const QFontMetrics metrics(FStyle.Font);
    int m = 0;
    int h = 0;
    for (const QString &line : lines) {
        m = std::max(m, metrics.horizontalAdvance(line));
        h += metrics.height();
    }
    FTextWidth = m;
    FTextHeight = h;
    const int w = m + 23;
    const bool left = FStyle.Side == TBalloonAlign::alLeft;
    const int boxLeft = left ? 2 : 10;
    const int boxRight = left ? m + 13 : m + 21;
    const int textLeft = left ? 8 : 15;
    if (left)
        x -= w;

    // Pixels outside the figure stay transparent and are cut away by the window's mask, so
    // that what lies behind the balloon shows there.
    FBitmap = QImage(w, h + 20, QImage::Format_ARGB32_Premultiplied);
    FBitmap.fill(Qt::transparent);
    QPainter painter(&FBitmap);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::black);
    DrawFigure(painter, QRect(QPoint(boxLeft + 2, 2), QPoint(boxRight + 1, h + 4)));
    painter.setBrush(FStyle.Color);
    DrawFigure(painter, QRect(QPoint(boxLeft, 0), QPoint(boxRight - 1, h + 2)));
    DrawTail(painter, h);

    painter.setFont(FStyle.Font);
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(FStyle.Color);
    int top = 1;
    for (const QString &line : lines) {
        const int lineWidth = metrics.horizontalAdvance(line);
        int lineLeft = textLeft + m / 2 - lineWidth / 2;
        if (FStyle.TextAlign == TTextAlign::taLeft)
            lineLeft = textLeft;
        else if (FStyle.TextAlign == TTextAlign::taRight)
            lineLeft = textLeft + m - lineWidth;
        painter.drawText(QRect(lineLeft, top, lineWidth, metrics.height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line);
        top += metrics.height();
    }
    painter.end();
    return QRect(x, y - h - 2, w, h + 20);
}

void TBalloonWindow::ShowAt(const QRect &rect)
{
    if (FShown)
        hide();
    setGeometry(rect);
    setMask(QBitmap::fromImage(FBitmap.createAlphaMask()));
    show();
    raise();
    FShown = true;
}

void TBalloonWindow::HideBalloon()
{
    FShown = false;
    hide();
}

void TBalloonWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, FBitmap);
}

void TBalloonWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (FStyle.HideOnMove)
        HideBalloon();
    QWidget::mouseMoveEvent(event);
}

void TBalloonWindow::mousePressEvent(QMouseEvent *event)
{
    if (FStyle.HideOnClick && event->button() == Qt::LeftButton)
        HideBalloon();
    QWidget::mousePressEvent(event);
}
