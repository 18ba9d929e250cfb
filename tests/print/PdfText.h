#pragma once

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

// One page of a PDF as Qt writes it (Flate content streams, Type0 fonts with ToUnicode maps and
// widths), glyph strings shown with Tj or TJ, as the compacted file has them: its glyphs in drawing
// order with the origin of each (the left end of its baseline) and the rectangles its images fill,
// all in points from the top left corner of the sheet.
struct PdfPage
{
    struct Glyph
    {
        QChar character;
        QPointF origin;
    };
    QSizeF size;
    std::vector<Glyph> glyphs;
    std::vector<QRectF> images;

    // The glyphs joined in drawing order.
    QString Text() const;
    // Origin of the first glyph of a run of glyphs that spells word (spaces between glyphs
    // ignored), the first such run or a later one; (-1, -1) when the page does not hold it.
    QPointF Find(const QString &word, int occurrence = 0) const;
};

std::vector<PdfPage> PdfPages(const QByteArray &pdf);

// A font the PDF embeds: its name (a subset's starts with six capitals and "+") and the
// number of glyphs in its TrueType program (-1 when it has none).
struct PdfFont
{
    QString Name;
    int Glyphs = -1;
};
std::vector<PdfFont> PdfEmbeddedFonts(const QByteArray &pdf);

// The text of each page, one string per page in page order.
QStringList PdfPageTexts(const QByteArray &pdf);
