#include "app/THeadingBalloonWatch.h"

#include "richedit/TCustomRichEditEx.h"
#include "widgets/TBalloon.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QScrollBar>

THeadingBalloonWatch::THeadingBalloonWatch(TBalloon &balloon, TCustomRichEditEx &pane)
    : FBalloon(balloon), FPane(pane)
{
    // Moving the mouse over the text must reach the pane even with no button down.
    FPane.viewport()->setMouseTracking(true);
    connect(FPane.verticalScrollBar(), &QScrollBar::valueChanged, this,
            &THeadingBalloonWatch::Hide);
    connect(FPane.horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &THeadingBalloonWatch::Hide);
    connect(&FPane, &QTextEdit::textChanged, this, &THeadingBalloonWatch::Hide);
}

void THeadingBalloonWatch::Watch(int start, int end)
{
    FStart = start;
    FEnd = end;
    if (!FWatching)
        qApp->installEventFilter(this);
    FWatching = true;
}

void THeadingBalloonWatch::Hide()
{
    if (!FWatching)
        return;
    FWatching = false;
    qApp->removeEventFilter(this);
    FBalloon.Hide();
}

bool THeadingBalloonWatch::OverPlaceholder(const QPoint &globalPoint) const
{
    const int at = FPane.CharAtPoint(FPane.viewport()->mapFromGlobal(globalPoint));
    return at >= FStart && at < FEnd;
}

bool THeadingBalloonWatch::UnderTheMouse(const QObject *watched) const
{
    return watched == FPane.viewport() || (watched && watched == FBalloon.Window());
}

bool THeadingBalloonWatch::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::Wheel:
        Hide();
        break;
    case QEvent::MouseMove:
        if (UnderTheMouse(watched) &&
            !OverPlaceholder(static_cast<QMouseEvent *>(event)->globalPosition().toPoint()))
            Hide();
        break;
    case QEvent::Leave:
        // The pane loses the mouse to the balloon that comes up under it, and the balloon
        // gives it back: only a mouse that left the placeholder counts.
        if (UnderTheMouse(watched) && !OverPlaceholder(QCursor::pos()))
            Hide();
        break;
    case QEvent::Hide:
        if (watched == &FPane)
            Hide();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
