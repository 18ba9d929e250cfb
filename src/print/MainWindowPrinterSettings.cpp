#include "print/MainWindowPrinterSettings.h"

#include "print/TRichPrinter.h"

void ApplyMainWindowPrinterSettings(TRichPrinter &printer)
{
    printer.SetMarginTop(30.0);
    printer.SetMarginBottom(25.0);
    printer.SetMarginLeft(25.0);
    printer.SetMarginRight(15.0);
    printer.SetLogoWidth(25.0);
    printer.SetLogoHeight(20.0);
    printer.SetHeader(QStringLiteral("{$TITLE}"));
    printer.SetHeaderFormat(QStringLiteral(">100"));
    printer.SetFooter(QStringLiteral("Page {$PAGE}"));
    printer.SetFooterFormat(QStringLiteral(">100"));
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(13);
    printer.SetFont_HeaderFooter(font);
    printer.SetBorderOffset(2.0);
    printer.SetOptions_Dialog({poMargins});
}
