// zarvel-cli print-pdf IN OUT.pdf: prints a document to PDF as the main window prints it.
#include "CliCommand.h"
#include "CliInputFile.h"
#include "CliOutputFile.h"

#include "print/MainWindowPrinterSettings.h"
#include "print/TRichPrinter.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"

#include <QFile>
#include <QPrinter>

namespace {
int PrintPdf(const std::vector<std::string> &args)
{
    const std::vector<std::string> files = CliCommand::Operands(args);
    if (files.size() != 2)
        throw CliUsageError("expected an input file and an output PDF file");
    // Only a regular file of a bounded size is read; the PDF is written beside its target
    // (the file a link names) and takes its place only when complete.
    const CliInputFile input(files[0]);
    const CliOutputFile output(files[1], QStringLiteral("stdout.pdf"));

    // The document pane's settings, and its way of loading a file.
    TRichEditEx pane;
    pane.SetIncludeOLE(true);
    pane.SetPlainRTF(false);
    pane.SetWordWrap(true);
    pane.Lines().LoadFile(QFile::decodeName(input.Path().c_str()));

    TRichPrinter printer(TRichPrinter::NewPdfPrinter(QFile::decodeName(output.Path().c_str())),
                         nullptr);
    ApplyMainWindowPrinterSettings(printer);
    printer.SetShowProgress(false);
    printer.PrintRichEdit(pane, 1);
    output.Finish();
    return 0;
}

const CliCommand printPdfCommand("print-pdf", "IN OUT.pdf", PrintPdf,
                                 "Prints IN to the PDF file OUT.pdf as the main window prints the "
                                 "document pane.",
                                 CliCommand::DocumentModel);
} // namespace
