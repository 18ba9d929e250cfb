#pragma once

#include <QFrame>
#include <QString>

#include <functional>
#include <tuple>

class TRichEditEx;
class TRulerMarker;

// The ruler under the tool bar: the default tab stops as bars, a line, and three draggable
// markers for the first-line, left and right indents of the document pane's paragraphs.
//
// Positions and indents convert with 4/3 pixels per point, truncating towards zero both ways.
class TRuler : public QFrame
{
    Q_OBJECT
public:
    explicit TRuler(QWidget *parent);

    // The pane whose paragraphs a drop changes.
    void SetPane(TRichEditEx *pane) { FPane = pane; }
    // Runs after a drop has changed the indents (the tool bar's refresh).
    std::function<void()> OnIndentsChanged;

    // 100 times a tab and a bar: drawn with tabs expanded, the bars mark the default tab stops.
    void InitRulerTabs();
    const QString &Caption() const { return FCaption; }

    // Places the markers for indents in whole points: first-line indent from the margin, left
    // indent of the following lines relative to the first line, right indent. The ruler keeps
    // them, so that the markers stay right when its width changes.
    void PlaceMarkers(int firstIndent, int leftIndent, int rightIndent);

    // The line follows the ruler's width.
    void RulerResize();

    // The drag: x is the mouse position within the marker.
    void RulerItemMouseDown(TRulerMarker &marker, int x);
    void RulerItemMouseMove(TRulerMarker &marker, int x);
    void FirstIndMouseUp();
    void LeftIndMouseUp();
    void RightIndMouseUp();

    QFrame *RulerLine = nullptr;
    TRulerMarker *FirstInd = nullptr;
    TRulerMarker *LeftInd = nullptr;
    TRulerMarker *RightInd = nullptr;

    int FDragOffset = 0;
    bool FMarkerDragging = false;

    // Pixels for points and back, truncated towards zero.
    static int PointsToPixels(long double points);
    static int PixelsToPoints(long double pixels);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // The left-indent step of a drop (also the end of a first-indent drop).
    void ApplyLeftIndent();
    void PlaceMarkers();

    TRichEditEx *FPane = nullptr;
    QString FCaption;
    // First-line, left and right indent in points, as last placed.
    std::tuple<int, int, int> FIndents{0, 0, 0};
};
