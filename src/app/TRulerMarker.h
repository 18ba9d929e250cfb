#pragma once

#include <QWidget>

// One indent marker of the ruler: a small arrow (pointing down for the first-line indent, up for
// the left and right indents). Mouse events go to the ruler, which watches its markers.
class TRulerMarker : public QWidget
{
    Q_OBJECT
public:
    enum class Shape { DownArrow, UpArrow, HollowUpArrow };

    TRulerMarker(QWidget *parent, const char *name, Shape shape, const QRect &geometry);

    Shape ArrowShape() const { return FShape; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Shape FShape;
};
