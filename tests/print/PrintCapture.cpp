#include "PrintCapture.h"

#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <QTextItem>

class CaptureDevice::Engine : public QPaintEngine
{
public:
    explicit Engine(CaptureDevice &device) : QPaintEngine(AllFeatures), FDevice(device) {}

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    Type type() const override { return User; }
    void drawPixmap(const QRectF &r, const QPixmap &, const QRectF &) override
    {
        FDevice.images.push_back((r));
    }
    void drawImage(const QRectF &r, const QImage &, const QRectF &,
                   Qt::ImageConversionFlags) override
    {
        FDevice.images.push_back((r));
    }
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        // Text arrives in device coordinates: the painter's scale then only sizes the font.
        FDevice.texts.push_back({item.text(), p, item.font(), painter()->pen().color()});
    }
    void drawLines(const QLineF *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            FDevice.lines.push_back({(lines[i]), painter()->pen().widthF()});
    }
    void drawLines(const QLine *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            FDevice.lines.push_back({(QLineF(lines[i])), painter()->pen().widthF()});
    }
    void drawRects(const QRectF *rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            FDevice.rects.push_back((rects[i]));
    }
    void drawRects(const QRect *rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            FDevice.rects.push_back((QRectF(rects[i])));
    }
    void drawPolygon(const QPointF *points, int n, PolygonDrawMode) override
    {
        if (n == 2)
            FDevice.lines.push_back({QLineF(points[0], points[1]), painter()->pen().widthF()});
    }
    void drawPath(const QPainterPath &path) override
    {
        if (path.elementCount() == 2)
            FDevice.lines.push_back(
                {(QLineF(path.elementAt(0), path.elementAt(1))), painter()->pen().widthF()});
    }

private:
    CaptureDevice &FDevice;
};

CaptureDevice::CaptureDevice(int dpi, QSize size)
    : FEngine(std::make_unique<Engine>(*this)), FDpi(dpi), FSize(size)
{
}

CaptureDevice::~CaptureDevice() = default;

QPaintEngine *CaptureDevice::paintEngine() const
{
    return FEngine.get();
}

void CaptureDevice::Play(const QPicture &picture)
{
    QPainter painter(this);
    painter.drawPicture(0, 0, picture);
}

QString CaptureDevice::AllText() const
{
    QString all;
    for (const Text &t : texts)
        all += t.text;
    return all;
}

const CaptureDevice::Text *CaptureDevice::Find(const QString &needle) const
{
    for (const Text &t : texts)
        if (t.text.contains(needle))
            return &t;
    return nullptr;
}

int CaptureDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return FSize.width();
    case PdmHeight:
        return FSize.height();
    case PdmWidthMM:
        return int(FSize.width() * 25.4 / FDpi);
    case PdmHeightMM:
        return int(FSize.height() * 25.4 / FDpi);
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return FDpi;
    case PdmNumColors:
        return 0x7fffffff;
    case PdmDepth:
        return 32;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}
