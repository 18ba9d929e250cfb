#pragma once

class TRichPrinter;

// The values the main window gives its printer component RichPrinter1: margins 30, 25, 25,
// 15 mm, logo 25 x 20, header "{$TITLE}" and footer "Page {$PAGE}" in one right-aligned
// 100 mm column, "Courier New" 13 pixels high at 96 pixels per inch, border offset 2 and a
// page set-up dialog with margins only.
void ApplyMainWindowPrinterSettings(TRichPrinter &printer);
