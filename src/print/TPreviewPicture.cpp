#include "print/TPreviewPicture.h"

#include <QPaintDevice>

TPreviewPicture::TPreviewPicture(const QPaintDevice *reference, int pageWidthPx, int pageHeightPx)
    : FWidth(pageWidthPx), FHeight(pageHeightPx)
{
    if (reference) {
        if (reference->logicalDpiX() > 0)
            FDpiX = reference->logicalDpiX();
        if (reference->logicalDpiY() > 0)
            FDpiY = reference->logicalDpiY();
    }
}

int TPreviewPicture::metric(PaintDeviceMetric m) const
{
    switch (m) {
    case PdmWidth:
        return FWidth;
    case PdmHeight:
        return FHeight;
    case PdmWidthMM:
        return int(FWidth * 25.4 / FDpiX);
    case PdmHeightMM:
        return int(FHeight * 25.4 / FDpiY);
    case PdmDpiX:
    case PdmPhysicalDpiX:
        return FDpiX;
    case PdmDpiY:
    case PdmPhysicalDpiY:
        return FDpiY;
    default:
        return QPicture::metric(m);
    }
}
