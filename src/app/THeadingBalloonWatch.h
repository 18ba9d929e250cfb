#pragma once

#include <QObject>

class QPoint;
class TBalloon;
class TCustomRichEditEx;

// Keeps the heading balloon up only while the mouse rests on the placeholder it was shown for.
// It goes when the mouse leaves the placeholder or the pane, on a key press, a click (a click on
// a placeholder shows that one's balloon afresh), a wheel turn or scroll, a change of the text
// and when the pane is hidden. (The balloon itself goes when the window loses the focus.)
class THeadingBalloonWatch : public QObject
{
    Q_OBJECT
public:
    THeadingBalloonWatch(TBalloon &balloon, TCustomRichEditEx &pane);

    // The balloon now shows for the placeholder at [start, end) of the pane.
    void Watch(int start, int end);
    void Hide();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The mouse at this screen point rests on the placeholder.
    bool OverPlaceholder(const QPoint &globalPoint) const;
    // Where the mouse can be while the balloon shows: the pane's text or the balloon.
    bool UnderTheMouse(const QObject *watched) const;

    TBalloon &FBalloon;
    TCustomRichEditEx &FPane;
    int FStart = 0;
    int FEnd = 0;
    bool FWatching = false;
};
