// zarvel-cli print-pdf IN OUT.pdf: prints a document to PDF as the main window prints it.
#include "CliCommand.h"
#include "CliInputFile.h"
#include "CliOutputFile.h"

#include "print/PdfOfDocumentFile.h"

#include <QFile>

namespace {
int PrintPdf(const std::vector<std::string> &args)
{
    const std::vector<std::string> files = CliCommand::Operands(args);
    if (files.size() != 2)
        throw CliUsageError("expected an input file and an output PDF file");
    // Only a regular file of a bounded size is read; the PDF is written beside its target
    // (the file a link names) and takes its place only when complete.
    const CliInputFile input(files[0]);
    const CliOutputFile output(files[1], "stdout.pdf");

    PrintDocumentFileToPdf(QFile::decodeName(input.Path().c_str()),
                           QFile::decodeName(output.Path().c_str()));
    output.Finish();
    return 0;
}

const CliCommand printPdfCommand("print-pdf", "IN OUT.pdf", PrintPdf,
                                 "Prints IN to the PDF file OUT.pdf as the main window prints the "
                                 "document pane.",
                                 CliCommand::DocumentModel);
} // namespace
