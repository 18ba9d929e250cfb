#pragma once

#include <QLineF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <memory>
#include <vector>

class QPicture;

// A paint device that remembers what is drawn on it, in device coordinates: texts with their
// baseline origin and font, lines, and images with their target rectangles. Page recordings
// replayed onto it show where the printer put everything. Coordinates are taken as they
// arrive: during a replay the painter carries a font scale that the positions already include.
class CaptureDevice : public QPaintDevice
{
public:
    struct Text
    {
        QString text;
        QPointF origin; // baseline start
        QFont font;
        QColor color;
    };
    struct Line
    {
        QLineF line;
        qreal width;
    };

    explicit CaptureDevice(int dpi = 600, QSize size = QSize(4961, 7016));
    ~CaptureDevice() override;

    QPaintEngine *paintEngine() const override;

    std::vector<Text> texts;
    std::vector<Line> lines;
    std::vector<QRectF> images;
    std::vector<QRectF> rects;

    // Replays a recording with its origin at the device origin.
    void Play(const QPicture &picture);
    // The texts joined in drawing order.
    QString AllText() const;
    // The first text item that contains needle, or null.
    const Text *Find(const QString &needle) const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;
    std::unique_ptr<Engine> FEngine;
    int FDpi;
    QSize FSize;
};
