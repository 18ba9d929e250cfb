#pragma once

#include <QColor>
#include <QPolygon>
#include <QWidget>

enum TButtonDirection { arwUP, arwRIGHT, arwLEFT, arwDOWN };

// A triangular button: only presses inside the outer triangle count; pressed, its edges make
// it look sunken.
class TArrowButton : public QWidget
{
    Q_OBJECT
public:
    explicit TArrowButton(QWidget *parent = nullptr);

    TButtonDirection Direction() const { return FDirection; }
    void SetDirection(TButtonDirection direction);
    QColor ButtonColor() const { return FButtonColor; }
    void SetButtonColor(const QColor &color);
    bool Pressed() const { return FPressed; }

    // The outer triangle and the inner, coloured one, for the current size and direction.
    QPolygon OuterTriangle() const;
    QPolygon InnerTriangle() const;
    // Whether a point lies inside the outer triangle's region.
    bool HitTest(const QPoint &point) const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    TButtonDirection FDirection = arwUP;
    QColor FButtonColor = QColor(0, 128, 128);
    bool FPressed = false;
};
