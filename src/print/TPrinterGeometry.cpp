#include "print/TPrinterGeometry.h"

#include "print/ColumnPrinting.h"

#include <QPrinter>

// Fixed measures used when there is no printer at all.
struct TPrinterGeometry::NoPrinterMeasures
{
    double pageWidth, pageHeight, printableWidth, printableHeight, gutterLeft, gutterTop;
};

namespace {
constexpr double MmPerInch = 25.4;
constexpr int NoPrinterDpi = 600;
} // namespace

TPrinterGeometry::TPrinterGeometry(const QPrinter *printer, TMeasureUnit unit)
    : FPrinter(printer && printer->isValid() ? printer : nullptr), FUnit(unit)
{
}

const TPrinterGeometry::NoPrinterMeasures &TPrinterGeometry::Fixed() const
{
    static constexpr NoPrinterMeasures Mm{210, 297, 198, 284, 6, 6};
    static constexpr NoPrinterMeasures In{8.5, 11, 8, 10.5, 0.25, 0.25};
    return FUnit == muInches ? In : Mm;
}

int TPrinterGeometry::LogPixelsX() const
{
    return FPrinter && FPrinter->logicalDpiX() > 0 ? FPrinter->logicalDpiX() : NoPrinterDpi;
}

int TPrinterGeometry::LogPixelsY() const
{
    return FPrinter && FPrinter->logicalDpiY() > 0 ? FPrinter->logicalDpiY() : NoPrinterDpi;
}

int TPrinterGeometry::UnitsToPixelsX(double value) const
{
    const double inches = FUnit == muInches ? value : value / MmPerInch;
    return RoundHalfEven(LogPixelsX() * inches);
}

int TPrinterGeometry::UnitsToPixelsY(double value) const
{
    const double inches = FUnit == muInches ? value : value / MmPerInch;
    return RoundHalfEven(LogPixelsY() * inches);
}

double TPrinterGeometry::PixelsToUnitsX(double pixels) const
{
    const double inches = pixels / LogPixelsX();
    return FUnit == muInches ? inches : inches * MmPerInch;
}

double TPrinterGeometry::PixelsToUnitsY(double pixels) const
{
    const double inches = pixels / LogPixelsY();
    return FUnit == muInches ? inches : inches * MmPerInch;
}

double TPrinterGeometry::PageWidth() const
{
    if (!FPrinter)
        return Fixed().pageWidth;
    return PixelsToUnitsX(qRound(FPrinter->paperRect(QPrinter::DevicePixel).width()));
}

double TPrinterGeometry::PageHeight() const
{
    if (!FPrinter)
        return Fixed().pageHeight;
    return PixelsToUnitsY(qRound(FPrinter->paperRect(QPrinter::DevicePixel).height()));
}

double TPrinterGeometry::PrintableWidth() const
{
    if (!FPrinter)
        return Fixed().printableWidth;
    return PixelsToUnitsX(FPrinter->width());
}

double TPrinterGeometry::PrintableHeight() const
{
    if (!FPrinter)
        return Fixed().printableHeight;
    return PixelsToUnitsY(FPrinter->height());
}

QPoint TPrinterGeometry::PrintableOffsetPx() const
{
    if (!FPrinter)
        return {UnitsToPixelsX(GutterLeft()), UnitsToPixelsY(GutterTop())};
    const QRectF page = FPrinter->pageRect(QPrinter::DevicePixel);
    return {qRound(page.left()), qRound(page.top())};
}

double TPrinterGeometry::GutterLeft() const
{
    if (!FPrinter)
        return Fixed().gutterLeft;
    return PixelsToUnitsX(PrintableOffsetPx().x());
}

double TPrinterGeometry::GutterTop() const
{
    if (!FPrinter)
        return Fixed().gutterTop;
    return PixelsToUnitsY(PrintableOffsetPx().y());
}

double TPrinterGeometry::GutterRight() const
{
    return PageWidth() - PrintableWidth() - GutterLeft();
}

double TPrinterGeometry::GutterBottom() const
{
    return PageHeight() - PrintableHeight() - GutterTop();
}

TTextArea TPrinterGeometry::TextArea(const TPageMargins &margins, int lineHeight) const
{
    TTextArea a;
    a.L = UnitsToPixelsX(margins.Left - GutterLeft());
    a.R = UnitsToPixelsX(margins.Right - GutterRight());
    a.T = UnitsToPixelsY(margins.Top - GutterTop());
    a.B = UnitsToPixelsY(margins.Bottom - GutterBottom());
    // Compared unsigned, as a margin inside the gutter makes the band negative: such a band
    // counts as high enough.
    if (quint32(a.B) < quint32(lineHeight))
        a.B = lineHeight;
    a.W = UnitsToPixelsX(PrintableWidth()) - a.L - a.R;
    a.H = UnitsToPixelsY(PrintableHeight()) - a.T - a.B;
    return a;
}
