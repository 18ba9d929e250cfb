#pragma once

#include "widgets/TBalloonWindow.h"

#include <QObject>
#include <QPoint>

#include <memory>

// Shows a short text in a cartoon-style balloon whose tail points at the mouse cursor.
// Lines are separated by "@". Each Show replaces the balloon shown before. With a widget as
// parent the balloon belongs to that widget's window: it never floats over other windows, and
// it goes when that window loses the focus or is hidden.
class TBalloon : public QObject
{
    Q_OBJECT
public:
    explicit TBalloon(QObject *parent = nullptr);
    ~TBalloon() override;

    // Shows the text at the mouse cursor; an empty text does nothing.
    void Show(const QString &text);
    // The same for a given cursor position in screen coordinates.
    void ShowAt(const QString &text, const QPoint &cursor);
    void Hide();

    // The balloon window of the last Show, if any (it may have been hidden since).
    TBalloonWindow *Window() const { return FWindow.get(); }
    QPoint CursorPos() const { return FCursorPos; }

    TBalloonAlign Align() const { return FAlign; }
    void SetAlign(TBalloonAlign value) { FAlign = value; }
    QColor Color() const { return FColor; }
    void SetColor(const QColor &value) { FColor = value; }
    QFont Font() const { return FFont; }
    void SetFont(const QFont &value) { FFont = value; }
    // Kept with the component; lines are always split at "@".
    QChar DivisionChar() const { return FDivisionChar; }
    void SetDivisionChar(QChar value) { FDivisionChar = value; }
    bool HideIfMouseMove() const { return FHideIfMouseMove; }
    void SetHideIfMouseMove(bool value) { FHideIfMouseMove = value; }
    bool HideIfMouseClick() const { return FHideIfMouseClick; }
    void SetHideIfMouseClick(bool value) { FHideIfMouseClick = value; }
    TPShape Shape() const { return FShape; }
    void SetShape(TPShape value) { FShape = value; }
    TTextAlign TextAlign() const { return FTextAlign; }
    void SetTextAlign(TTextAlign value) { FTextAlign = value; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *OwnerWindow() const;

    std::unique_ptr<TBalloonWindow> FWindow;
    QPoint FCursorPos;
    TBalloonAlign FAlign = TBalloonAlign::alRight;
    QColor FColor;
    QFont FFont;
    QChar FDivisionChar = QLatin1Char('@');
    bool FHideIfMouseMove = true;
    bool FHideIfMouseClick = false;
    TPShape FShape = TPShape::sRoundRect;
    TTextAlign FTextAlign = TTextAlign::taCenter;
};
