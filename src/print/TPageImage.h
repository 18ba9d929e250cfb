#pragma once

#include <QImage>
#include <QWidget>

// The page picture of a preview window: shows its bitmap and reports mouse presses.
class TPageImage : public QWidget
{
    Q_OBJECT
public:
    explicit TPageImage(QWidget *parent = nullptr);

    QImage &Picture() { return FPicture; }
    const QImage &Picture() const { return FPicture; }
    // A white bitmap of the given size.
    void Blank(const QSize &size);

signals:
    void mousePressed(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage FPicture;
};
