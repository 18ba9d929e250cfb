#include "app/TRuler.h"

#include "app/TRulerMarker.h"
#include "richedit/TParaAttributesEx.h"
#include "richedit/TRichEditEx.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTextOption>

namespace {
constexpr int RulerHeight = 26;
constexpr int LineLeft = 4;
constexpr int LineTop = 12;
// Pixels per point at 96 pixels per inch, in extended precision.
constexpr long double RulerAdj = 4.0L / 3.0L;
constexpr int TabRepeats = 100;
} // namespace

TRuler::TRuler(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Ruler"));
    setFixedHeight(RulerHeight);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    setFont(font);

    RulerLine = new QFrame(this);
    RulerLine->setObjectName(QStringLiteral("RulerLine"));
    RulerLine->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    RulerLine->setGeometry(LineLeft, LineTop, 100, 2);

    using Shape = TRulerMarker::Shape;
    FirstInd = new TRulerMarker(this, "FirstInd", Shape::DownArrow, QRect(2, 2, 10, 9));
    LeftInd = new TRulerMarker(this, "LeftInd", Shape::UpArrow, QRect(2, 12, 10, 11));
    RightInd = new TRulerMarker(this, "RightInd", Shape::HollowUpArrow, QRect(100, 14, 9, 12));
    for (TRulerMarker *marker : {FirstInd, LeftInd, RightInd}) {
        marker->installEventFilter(this);
        marker->raise();
    }
    RulerResize();
}

int TRuler::PointsToPixels(long double points)
{
    return static_cast<int>(points * RulerAdj);
}

int TRuler::PixelsToPoints(long double pixels)
{
    return static_cast<int>(pixels / RulerAdj);
}

void TRuler::InitRulerTabs()
{
    FCaption.clear();
    for (int i = 0; i < TabRepeats; ++i)
        FCaption += QStringLiteral("\t|");
    update();
}

void TRuler::PlaceMarkers(int firstIndent, int leftIndent, int rightIndent)
{
    FIndents = {firstIndent, leftIndent, rightIndent};
    PlaceMarkers();
}

void TRuler::PlaceMarkers()
{
    const auto [firstIndent, leftIndent, rightIndent] = FIndents;
    FirstInd->move(PointsToPixels(firstIndent) + 2, FirstInd->y());
    LeftInd->move(PointsToPixels(static_cast<long double>(firstIndent) + leftIndent) + 2,
                  LeftInd->y());
    RightInd->move(width() - PointsToPixels(static_cast<long double>(rightIndent) + 6) - 6,
                   RightInd->y());
}

void TRuler::RulerResize()
{
    RulerLine->setGeometry(LineLeft, LineTop, std::max(0, width() - 2 * LineLeft),
                           RulerLine->height());
}

void TRuler::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    RulerResize();
    // The right-indent marker counts from the right edge: it follows the width, also the
    // first one the ruler gets when the window is laid out for its first show.
    if (!FMarkerDragging)
        PlaceMarkers();
}

void TRuler::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (FCaption.isEmpty())
        return;
    QPainter painter(this);
    painter.setFont(font());
    // Tabs expand to eight average characters, as a panel's caption does.
    QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
    option.setTabStopDistance(8.0 * QFontMetrics(font()).averageCharWidth());
    option.setWrapMode(QTextOption::NoWrap);
    painter.drawText(QRectF(contentsRect()), FCaption, option);
}

// --- Drag and drop ------------------------------------------------------------------------------

void TRuler::RulerItemMouseDown(TRulerMarker &marker, int x)
{
    FDragOffset = marker.width() / 2;
    marker.move(marker.x() + x - FDragOffset, marker.y());
    FMarkerDragging = true;
}

void TRuler::RulerItemMouseMove(TRulerMarker &marker, int x)
{
    if (FMarkerDragging)
        marker.move(marker.x() + x - FDragOffset, marker.y());
}

void TRuler::FirstIndMouseUp()
{
    FMarkerDragging = false;
    if (FPane)
        FPane->ParagraphAttributes().SetFirstIndent(
            PixelsToPoints(static_cast<long double>(FirstInd->x() + FDragOffset - 6)));
    // The left marker keeps its place, so the following lines keep theirs.
    ApplyLeftIndent();
}

void TRuler::LeftIndMouseUp()
{
    FMarkerDragging = false;
    ApplyLeftIndent();
}

void TRuler::ApplyLeftIndent()
{
    if (FPane) {
        TParaAttributesEx &paragraph = FPane->ParagraphAttributes();
        paragraph.SetLeftIndent(
            PixelsToPoints(static_cast<long double>(LeftInd->x() + FDragOffset - 6)) -
            paragraph.FirstIndent());
    }
    if (OnIndentsChanged)
        OnIndentsChanged();
}

void TRuler::RightIndMouseUp()
{
    FMarkerDragging = false;
    if (FPane)
        FPane->ParagraphAttributes().SetRightIndent(
            PixelsToPoints(static_cast<long double>(width() - RightInd->x() + FDragOffset - 2)) -
            12);
    if (OnIndentsChanged)
        OnIndentsChanged();
}

bool TRuler::eventFilter(QObject *watched, QEvent *event)
{
    auto *marker = qobject_cast<TRulerMarker *>(watched);
    if (!marker || (marker != FirstInd && marker != LeftInd && marker != RightInd))
        return QFrame::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        RulerItemMouseDown(*marker,
                           static_cast<int>(static_cast<QMouseEvent *>(event)->position().x()));
        return true;
    case QEvent::MouseMove:
        RulerItemMouseMove(*marker,
                           static_cast<int>(static_cast<QMouseEvent *>(event)->position().x()));
        return true;
    case QEvent::MouseButtonRelease:
        if (marker == FirstInd)
            FirstIndMouseUp();
        else if (marker == LeftInd)
            LeftIndMouseUp();
        else
            RightIndMouseUp();
        return true;
    default:
        return QFrame::eventFilter(watched, event);
    }
}
