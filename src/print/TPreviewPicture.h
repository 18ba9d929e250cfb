#pragma once

#include <QPicture>

class QPaintDevice;

// A page recording made against a printer: it reports the printer's resolution and page size,
// so that text laid out and drawn on it has the printer's metrics and coordinates are the
// printer's pixels.
class TPreviewPicture : public QPicture
{
public:
    // Without a reference device the fixed values of a 600 pixels per inch A4 page are used.
    TPreviewPicture(const QPaintDevice *reference, int pageWidthPx, int pageHeightPx);

protected:
    int metric(PaintDeviceMetric m) const override;

private:
    int FDpiX = 600;
    int FDpiY = 600;
    int FWidth = 0;
    int FHeight = 0;
};
