// The page loop of the printer: opening and closing the document on the printer or for the
// preview, the pages of each run through the text, the copies, and the way back to idle after
// a failure or a cancel.
#include "print/TRichPrinter.h"

#include "print/ELinePrinter.h"
#include "print/TPdfCompactor.h"
#include "print/TPreviewPicture.h"
#include "print/TRichPreviewForm.h"
#include "print/TRichPrntProgDlg.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QTextEdit>

#include <cerrno>
#include <exception>

namespace {
bool IsPdfFile(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
}

// Ends a run that the user cancelled.
struct TPrintCancelled
{
};
} // namespace

// ---- Documents and pages --------------------------------------------------------------------

void TRichPrinter::BeginPrinting()
{
    if (FSaveMargins)
        LoadMargins();
    if (OnBeginDoc)
        OnBeginDoc(this);
    if (!FPreviewMode) {
        if (!HasPrinter())
            throw ELinePrinter(QStringLiteral("Not be able to start the printing."));
        if (IsPdfFile(*FPrinter)) {
            QFile file(FPrinter->outputFileName());
            if (!file.open(QIODevice::WriteOnly))
                throw ELinePrinter(QStringLiteral("Cannot create file \"%1\". %2")
                                       .arg(FPrinter->outputFileName(), file.errorString()));
        }
        auto painter = std::make_unique<QPainter>();
        if (!painter->begin(FPrinter.get()))
            throw ELinePrinter(QStringLiteral("Not be able to start the printing."));
        FPrinterPainter = std::move(painter);
        FCanvas = FPrinterPainter.get();
    }
    ApplySurfaceFont();
    ShowProgressStatus(FPreviewMode ? QStringLiteral("Preparing to Print Preview")
                                    : QStringLiteral("Preparing to Print"));
    FLineCount = 0;
    FPageNumber = FFirstPageNumber;
    FPrintedPages = 0;
    EnterPage();
}

int TRichPrinter::NewPage()
{
    ++FPageNumber;
    if (FPreviewMode) {
        FinishPreviewPage(false);
        StartPreviewPage();
    }
    EnterPage();
    return FPageNumber;
}

void TRichPrinter::EnterPage()
{
    if (!FPreviewMode && Printing()) {
        DropRecording();
        if (FSelection.Wants(PageInRun())) {
            if (FPrintedPages > 0)
                NextSheet();
            ++FPrintedPages;
            FCanvas = FPrinterPainter.get();
        } else {
            // A page left out is laid out like the others, so that the next ones start where
            // they would, and drawn where nobody sees it.
            StartRecording();
        }
    }
    DecoratePage();
}

void TRichPrinter::NextSheet()
{
    if (!FPrinter)
        throw ELinePrinter(QStringLiteral("Not be able to print a new page."));
    // A page that cannot be written to its file leaves the system's reason behind.
    errno = 0;
    if (!FPrinter->newPage())
        throw ELinePrinter::OfPrinter(QStringLiteral("Not be able to print a new page."), *FPrinter,
                                      errno);
}

void TRichPrinter::EndPrinting()
{
    ShowProgressStatus(FPreviewMode ? QStringLiteral("Finished Preparing Preview")
                                    : QStringLiteral("Finished Printing"));
    std::exception_ptr failure;
    if (!FPreviewMode && FPrintedPages == 0) {
        // None of the chosen pages exists: no job rather than a blank sheet.
        ResetToIdle();
    } else if (!FPreviewMode) {
        DropRecording();
        const bool toFile = FPrinter && IsPdfFile(*FPrinter);
        const bool ended = FPrinterPainter && FPrinterPainter->end();
        FPrinterPainter.reset();
        FCanvas = nullptr;
        if (toFile && (!ended || QFileInfo(FPrinter->outputFileName()).size() == 0))
            failure = std::make_exception_ptr(
                ELinePrinter(QStringLiteral("Not be able to print to a file.")));
        else if (!ended)
            failure = std::make_exception_ptr(
                ELinePrinter(QStringLiteral("Not be able to end the printing.")));
        else if (toFile && FCompactPdf)
            TPdfCompactor::CompactFile(FPrinter->outputFileName()); // else Qt's file stays
    } else {
        try {
            FinishPreviewPage(true);
        } catch (...) {
            failure = std::current_exception();
        }
        FPreviewMode = false;
    }
    ShowProgressStatus(QString());
    if (OnEndDoc)
        OnEndDoc(this);
    if (failure)
        std::rethrow_exception(failure);
}

void TRichPrinter::SetupFormatRange(TFormatRangeRequest &request) const
{
    request.hdc = FCanvas;
    request.hdcTarget = FCanvas ? FCanvas->device() : nullptr;
    const qint64 dpiX = LogPixelsX();
    const qint64 dpiY = LogPixelsY();
    const TTextArea a = TextArea();
    request.rc.setCoords(int(a.L * 1440LL / dpiX), int(a.T * 1440LL / dpiY),
                         int((a.L + a.W) * 1440LL / dpiX), int((a.T + a.H) * 1440LL / dpiY));
    request.rcPage = request.rc;
}

void TRichPrinter::PrintRichEdit(QTextEdit &control, int firstPageNumber)
{
    QTextDocument &document = *control.document();
    PrintFormatted(
        TFormatRange::TextLength(document),
        [this, &document](bool render, const TFormatRangeRequest *request) {
            return FFormatRange.Format(document, render, request);
        },
        firstPageNumber);
}

void TRichPrinter::PrintFormatted(int textLength, const FormatRangeFn &formatRange,
                                  int firstPageNumber)
{
    FFirstPageNumber = firstPageNumber;
    FSelection = !FPreviewMode && HasPrinter() ? TPageSelection::Of(*FPrinter) : TPageSelection();
    FCancelRequested = false;
    FCancelled = false;
    if (!FPreviewMode)
        FSavedFont = ScaledSurfaceFont();
    TFormatRangeRequest request;
    try {
        BeginPrinting();
        request.cpMax = -1;
        formatRange(false, nullptr);
        for (int run = 0; run < FSelection.Runs(); ++run) {
            if (run > 0) {
                // The next collated copy starts again at the first page.
                FPageNumber = FFirstPageNumber;
                EnterPage();
            }
            PrintPages(textLength, formatRange, request);
        }
        formatRange(false, nullptr);
        EndPrinting();
    } catch (const TPrintCancelled &) {
        formatRange(false, nullptr);
        ResetToIdle();
        FCancelled = true;
    } catch (...) {
        // A failure anywhere in the loop leaves nothing half open: the job is aborted, the
        // preview recording dropped and the progress window closed.
        formatRange(false, nullptr);
        ResetToIdle();
        throw;
    }
}

void TRichPrinter::PrintPages(int textLength, const FormatRangeFn &formatRange,
                              TFormatRangeRequest &request)
{
    SetupFormatRange(request);
    const int n = textLength;
    int next = 0;
    int start = 0;
    do {
        start = next;
        request.cpMin = start;
        next = formatRange(true, &request);
        RepeatPage(formatRange, request);
        KeepResponsive();
        if (!FPreviewMode && FSelection.EndsAt(PageInRun()))
            break;
        if (next < n && next != -1) {
            NewPage();
            SetupFormatRange(request);
        }
    } while (next < n && next != -1 && next > start);
}

void TRichPrinter::RepeatPage(const FormatRangeFn &formatRange, TFormatRangeRequest &request)
{
    if (FPreviewMode || FCanvas != FPrinterPainter.get())
        return;
    for (int copy = 1; copy < FSelection.PageCopies(); ++copy) {
        NextSheet();
        ++FPrintedPages;
        DecoratePage();
        SetupFormatRange(request);
        formatRange(true, &request);
    }
}

void TRichPrinter::KeepResponsive()
{
    // Without the progress window (which takes the input while it is up) nothing the user
    // does reaches the program before the run ends.
    const bool progress = FProgressDialog && FProgressDialog->isVisible();
    QCoreApplication::processEvents(progress ? QEventLoop::AllEvents
                                             : QEventLoop::ExcludeUserInputEvents);
    if (FCancelRequested || (FPreviewMode && (!FPreviewForm || FPreviewForm->Closed())))
        throw TPrintCancelled();
}

void TRichPrinter::ResetToIdle()
{
    if (FPrinterPainter) {
        if (FPrinterPainter->isActive()) {
            FPrinter->abort();
            FPrinterPainter->end();
            // A half-written file goes; a device the job was sent to (/dev/full) stays.
            if (IsPdfFile(*FPrinter) && QFileInfo(FPrinter->outputFileName()).isFile())
                QFile::remove(FPrinter->outputFileName());
        }
        FPrinterPainter.reset();
    }
    DropRecording();
    FPreviewMode = false;
    FCanvas = nullptr;
    CloseProgress();
}
