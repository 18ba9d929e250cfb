#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The text of each page of a PDF as Qt writes it (Flate content streams, Type0 fonts with
// ToUnicode maps), one string per page in page order; glyphs of a page are joined in drawing
// order. Enough to check what a print run put on which page.
QStringList PdfPageTexts(const QByteArray &pdf);
