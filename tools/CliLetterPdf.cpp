// PDF letters, which need the rich text control and the printer: the model program's alone.
#include "CliLetterFile.h"
#include "CliScratch.h"

#include "print/MainWindowPrinterSettings.h"
#include "print/TRichPrinter.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "text/StringUtils.h"

#include <QFile>
#include <QPrinter>

namespace {
std::string FromQString(const QString &path)
{
    return path.toLocal8Bit().toStdString();
}
} // namespace

// The letter loaded as the document pane loads a file, and printed as the main window prints.
void WritePdfLetter(const QString &path, const std::string &richText)
{
    const std::unique_ptr<QTemporaryDir> scratch = NewScratchFolder();
    const QString rtf = scratch->filePath(QStringLiteral("letter.rtf"));
    SaveTextFile(FromQString(rtf), richText);
    TRichEditEx pane;
    pane.SetIncludeOLE(true);
    pane.SetPlainRTF(false);
    pane.SetWordWrap(true);
    pane.Lines().LoadFile(rtf);
    TRichPrinter printer(TRichPrinter::NewPdfPrinter(path), nullptr);
    ApplyMainWindowPrinterSettings(printer);
    printer.SetShowProgress(false);
    printer.PrintRichEdit(pane, 1);
}
