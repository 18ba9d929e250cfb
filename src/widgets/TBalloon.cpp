#include "widgets/TBalloon.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QPalette>

TBalloon::TBalloon(QObject *parent)
    : QObject(parent), FColor(QApplication::palette().color(QPalette::Base)),
      FFont(QStringLiteral("MS Sans Serif"))
{
    FFont.setPointSize(8);
}

TBalloon::~TBalloon() = default;

void TBalloon::Show(const QString &text)
{
    ShowAt(text, QCursor::pos());
}

void TBalloon::ShowAt(const QString &text, const QPoint &cursor)
{
    if (text.isEmpty())
        return;
    Hide();
    TBalloonWindow::Style style;
    style.Side = FAlign;
    style.Shape = FShape;
    style.TextAlign = FTextAlign;
    style.Color = FColor;
    style.Font = FFont;
    style.HideOnMove = FHideIfMouseMove;
    style.HideOnClick = FHideIfMouseClick;
    QWidget *owner = OwnerWindow();
    if (owner)
        owner->installEventFilter(this);
    // The window shown before is freed here rather than kept until the end of the program.
    FWindow = std::make_unique<TBalloonWindow>(style, owner);
    FCursorPos = cursor;
    const QRect rect = FWindow->Prepare(text, cursor.x(), cursor.y() - 15);
    FWindow->ShowAt(rect);
}

void TBalloon::Hide()
{
    if (FWindow)
        FWindow->HideBalloon();
}

QWidget *TBalloon::OwnerWindow() const
{
    auto *owner = qobject_cast<QWidget *>(parent());
    return owner ? owner->window() : nullptr;
}

bool TBalloon::eventFilter(QObject *watched, QEvent *event)
{
    // Another window (of this program or any other) comes to the front: the balloon must not
    // stay over it.
    if (event->type() == QEvent::WindowDeactivate || event->type() == QEvent::Hide)
        Hide();
    return QObject::eventFilter(watched, event);
}
