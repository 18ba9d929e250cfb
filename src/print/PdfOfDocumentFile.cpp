#include "print/PdfOfDocumentFile.h"

#include "print/MainWindowPrinterSettings.h"
#include "print/TRichPrinter.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"

#include <QPrinter>
#include <QString>

void PrintDocumentFileToPdf(const QString &documentFile, const QString &pdfFile)
{
    TRichEditEx pane;
    pane.SetIncludeOLE(true);
    pane.SetPlainRTF(false);
    pane.SetWordWrap(true);
    pane.Lines().LoadFile(documentFile);
    TRichPrinter printer(TRichPrinter::NewPdfPrinter(pdfFile), nullptr);
    ApplyMainWindowPrinterSettings(printer);
    printer.SetShowProgress(false);
    printer.PrintRichEdit(pane, 1);
}
