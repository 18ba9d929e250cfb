#pragma once

#include "print/TRichPrinter.h"

#include <QPicture>
#include <QTextEdit>

#include <memory>
#include <vector>

// A printer component on a 600 dpi A4 PDF printer writing to fileName, without progress window.
std::unique_ptr<TRichPrinter>
NewPdfRichPrinter(const QString &fileName = QStringLiteral("out.pdf"));

// Runs a preview of the edit with uncompressed page files, reads every page back and closes
// the preview window (which removes the files).
std::vector<QPicture> PreviewPages(TRichPrinter &printer, QTextEdit &edit);

// Paragraphs "Line 00001 ..." to "Line n".
QString NumberedLines(int count);
