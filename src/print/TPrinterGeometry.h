#pragma once

#include <QPoint>

class QPrinter;

enum TMeasureUnit { muMillimeters, muInches };

// Where the document's text goes on a page, in printer pixels from the top left corner of the
// printable area; B is the height of the bottom band.
struct TTextArea
{
    int L = 0, T = 0, W = 0, H = 0, B = 0, R = 0;
};

// Distances of the text from the edges of the paper, in the measure unit.
struct TPageMargins
{
    double Top = 30, Bottom = 25, Left = 25, Right = 15;
};

// The measures of a page in a measure unit and in printer pixels: the paper, its printable
// area and the unprintable strips (gutters) around it. Asks the printer, or without one uses
// fixed measures: 600 pixels per inch, a page of 210 x 297 mm (8.5 x 11 inches).
class TPrinterGeometry
{
public:
    // printer: null, or not valid, means there is no printer at all.
    TPrinterGeometry(const QPrinter *printer, TMeasureUnit unit);

    int LogPixelsX() const;
    int LogPixelsY() const;
    // Rounded to the nearest pixel, halves to even.
    int UnitsToPixelsX(double value) const;
    int UnitsToPixelsY(double value) const;
    double PixelsToUnitsX(double pixels) const;
    double PixelsToUnitsY(double pixels) const;

    double PageWidth() const;
    double PageHeight() const;
    double PrintableWidth() const;
    double PrintableHeight() const;
    double GutterLeft() const;
    double GutterTop() const;
    double GutterRight() const;
    double GutterBottom() const;
    // Offset of the printable area on the paper, in printer pixels.
    QPoint PrintableOffsetPx() const;

    // The text area inside the margins; the bottom band is at least lineHeight high, as it
    // always holds one footer line.
    TTextArea TextArea(const TPageMargins &margins, int lineHeight) const;

private:
    struct NoPrinterMeasures;
    const NoPrinterMeasures &Fixed() const;

    const QPrinter *FPrinter;
    TMeasureUnit FUnit;
};
