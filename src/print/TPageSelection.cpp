#include "print/TPageSelection.h"

#include <QPrinter>

#include <algorithm>

TPageSelection TPageSelection::Of(const QPrinter &printer)
{
    TPageSelection selection;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        selection.From = printer.fromPage();
        selection.To = printer.toPage() > 0 ? std::max(printer.toPage(), selection.From) : INT_MAX;
    }
    if (!printer.supportsMultipleCopies())
        selection.Copies = std::max(1, printer.copyCount());
    selection.Collate = printer.collateCopies();
    return selection;
}
