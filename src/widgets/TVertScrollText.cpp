#include "widgets/TVertScrollText.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace {

const QColor PureBlue(0, 0, 255);
const QColor DarkGreen(0, 128, 0);

} // namespace

TVertScrollText::TVertScrollText(QWidget *parent)
    : QWidget(parent), FLines{QStringLiteral("Scrolling text goes here ....")}
{
    resize(200, 100);
    FPosition = height();
    FTimer.setInterval(50);
    connect(&FTimer, &QTimer::timeout, this, &TVertScrollText::ScrollStep);
    setAttribute(Qt::WA_OpaquePaintEvent);
    BuildBitmaps();
}

void TVertScrollText::SetLines(const QStringList &value)
{
    FLines = value;
    BuildBitmaps();
}

void TVertScrollText::SetInterval(int value)
{
    FTimer.setInterval(value);
}

void TVertScrollText::SetBkgrndBitmap(const QPixmap &value)
{
    FBkgrndBitmap = value;
    BuildBitmaps();
}

void TVertScrollText::SetEnabled(bool value)
{
    FEnabled = value;
    if (FEnabled)
        FPosition = height();
    UpdateTimer();
}

void TVertScrollText::SetAlignment(TAlign value)
{
    FAlignment = value;
    BuildBitmaps();
}

void TVertScrollText::SetStretch(bool value)
{
    FStretch = value;
    BuildBitmaps();
}

QColor TVertScrollText::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TVertScrollText::SetFontColor(const QColor &value)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, value);
    setPalette(p); // rebuilds through changeEvent
}

void TVertScrollText::BuildBitmaps()
{
    QFont textFont = font();
    textFont.setStyleStrategy(QFont::NoAntialias); // letters must not blend into the key colour
    const QFontMetrics metrics(textFont);
    const int lineHeight = metrics.height();
    const int w = std::max(width(), 1);
    FTextHeight = lineHeight * int(FLines.size());

    // Blue letters would vanish on a blue key colour; they get a dark green one instead.
    FTransparent = FontColor().rgb() == PureBlue.rgb() ? DarkGreen : PureBlue;
    FTextBitmap = QImage(w, std::max(FTextHeight, 1), QImage::Format_RGB32);
    FTextBitmap.fill(FTransparent);
    {
        QPainter painter(&FTextBitmap);
        painter.setFont(textFont);
        painter.setPen(FontColor());
        int y = 0;
        for (const QString &line : FLines) {
            const int diff = w - metrics.horizontalAdvance(line);
            int x = 0;
            if (FAlignment == TAlign::alRight)
                x = diff;
            else if (FAlignment == TAlign::alCenter)
                x = qRound(diff / 2.0);
            painter.drawText(QRect(x, y, w - x + metrics.maxWidth(), lineHeight),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line);
            y += lineHeight;
        }
    }
    FTextLayer = FTextBitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = FTransparent.rgb();
    for (int y = 0; y < FTextLayer.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(FTextLayer.scanLine(y));
        for (int x = 0; x < FTextLayer.width(); ++x) {
            if ((row[x] & 0xFFFFFF) == (key & 0xFFFFFF))
                row[x] = 0;
        }
    }

    FBackground = QImage(w, std::max(height(), 1), QImage::Format_RGB32);
    FBackground.fill(Qt::white);
    if (!FBkgrndBitmap.isNull()) {
        QPainter painter(&FBackground);
        if (FStretch)
            painter.drawPixmap(FBackground.rect(), FBkgrndBitmap);
        else
            painter.drawPixmap(0, 0, FBkgrndBitmap);
    }
    FWorkBitmap = QImage(FBackground.size(), QImage::Format_RGB32);
    if (parentWidget())
        Paint();
}

void TVertScrollText::ScrollStep()
{
    if (FPosition + FTextHeight < 0) {
        if (FRepeatScroll) {
            FPosition = height();
        } else {
            FTimer.stop();
            return;
        }
    }
    --FPosition;
    Paint();
}

void TVertScrollText::Paint()
{
    FWorkBitmap = FBackground.copy();
    if (!FLines.isEmpty()) {
        QPainter painter(&FWorkBitmap);
        painter.drawImage(0, FPosition, FTextLayer);
    }
    update();
}

void TVertScrollText::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, FWorkBitmap);
}

void TVertScrollText::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    BuildBitmaps();
}

void TVertScrollText::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        BuildBitmaps();
}

// The text starts from the bottom every time the control is shown and only moves while it
// can be seen.
void TVertScrollText::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FPosition = height();
    Paint();
    UpdateTimer();
}

void TVertScrollText::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    UpdateTimer();
}

void TVertScrollText::UpdateTimer()
{
    if (FEnabled && isVisible())
        FTimer.start();
    else
        FTimer.stop();
}
