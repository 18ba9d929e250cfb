#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>

// Side of the cursor on which the balloon's box lies.
enum class TBalloonAlign { alRight, alLeft };
// Outline of the balloon's box.
enum class TPShape { sRoundRect, sRectangle };
// Alignment of each line inside the box.
enum class TTextAlign { taCenter, taLeft, taRight };

// The frameless window of one balloon: a box with a drop shadow and a tail whose tip is at the
// cursor. It never takes the focus and hides itself on mouse movement or a click as its flags
// say. Given an owner, it is a window of the owner's rather than one of its own.
class TBalloonWindow : public QWidget
{
    Q_OBJECT
public:
    struct Style
    {
        TBalloonAlign Side = TBalloonAlign::alRight;
        TPShape Shape = TPShape::sRoundRect;
        TTextAlign TextAlign = TTextAlign::taCenter;
        QColor Color;
        QFont Font;
        bool HideOnMove = true;
        bool HideOnClick = false;
    };

    explicit TBalloonWindow(const Style &style, QWidget *owner = nullptr);

    // Lays out and draws the text for a tail tip at the given point (x, y + 15 is the cursor)
    // and returns the window rectangle.
    QRect Prepare(const QString &text, int x, int y);
    // Shows the prepared balloon at its rectangle without activating it.
    virtual void ShowAt(const QRect &rect);
    void HideBalloon();

    bool Shown() const { return FShown; }
    const QImage &Bitmap() const { return FBitmap; }
    // The widest line (M) and the sum of the line heights (H) of the last layout.
    int TextWidth() const { return FTextWidth; }
    int TextHeight() const { return FTextHeight; }

    // The lines of a balloon text: split at every "@".
    static QStringList SplitLines(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void DrawFigure(class QPainter &painter, const QRect &rect) const;
    void DrawTail(QPainter &painter, int height) const;

    Style FStyle;
    QImage FBitmap;
    int FTextWidth = 0;
    int FTextHeight = 0;
    bool FShown = false;
};
