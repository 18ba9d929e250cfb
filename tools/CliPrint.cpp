// zarvel-cli print-pdf IN OUT.pdf: prints a document to PDF as the main window prints it.
#include "CliCommand.h"

#include "print/MainWindowPrinterSettings.h"
#include "print/TRichPrinter.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryFile>

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace {
int PrintPdf(const std::vector<std::string> &args)
{
    const std::vector<std::string> files = CliCommand::Operands(args);
    if (files.size() != 2)
        throw CliUsageError("expected an input file and an output PDF file");
    const QString input = QString::fromStdString(files[0]);
    const QString output = QString::fromStdString(files[1]);

    // The document pane's settings, and its way of loading a file.
    TRichEditEx pane;
    pane.SetIncludeOLE(true);
    pane.SetPlainRTF(false);
    pane.SetWordWrap(true);
    pane.Lines().LoadFile(input);

    // The PDF is written beside its target and takes its name only when complete.
    QTemporaryFile partial(QFileInfo(output).absoluteDir().filePath(QFileInfo(output).fileName() +
                                                                    QStringLiteral(".XXXXXX")));
    if (!partial.open())
        throw std::runtime_error(QStringLiteral("Cannot create file \"%1\". %2")
                                     .arg(output, partial.errorString())
                                     .toStdString());
    partial.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                           QFile::ReadOther);
    partial.close();

    TRichPrinter printer(TRichPrinter::NewPdfPrinter(partial.fileName()), nullptr);
    ApplyMainWindowPrinterSettings(printer);
    printer.SetShowProgress(false);
    printer.PrintRichEdit(pane, 1);

    std::error_code error;
    std::filesystem::rename(partial.fileName().toStdString(), files[1], error);
    if (error)
        throw std::runtime_error(QStringLiteral("Cannot create file \"%1\". %2")
                                     .arg(output, QString::fromStdString(error.message()))
                                     .toStdString());
    partial.setAutoRemove(false);
    return 0;
}

const CliCommand printPdfCommand("print-pdf", "IN OUT.pdf", PrintPdf,
                                 "Prints IN to the PDF file OUT.pdf as the main window prints the "
                                 "document pane.");
} // namespace
