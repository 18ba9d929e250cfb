#pragma once

#include <QCursor>
#include <QGuiApplication>

// Shows this cursor over every window of the program while it lives; the cursor before comes
// back however the scope ends.
class TOverrideCursor
{
public:
    explicit TOverrideCursor(Qt::CursorShape shape)
    {
        QGuiApplication::setOverrideCursor(QCursor(shape));
    }
    ~TOverrideCursor() { QGuiApplication::restoreOverrideCursor(); }
    TOverrideCursor(const TOverrideCursor &) = delete;
    TOverrideCursor &operator=(const TOverrideCursor &) = delete;
};
