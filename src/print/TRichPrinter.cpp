#include "print/TRichPrinter.h"

#include "print/ColumnPrinting.h"
#include "print/ELinePrinter.h"
#include "print/TPreviewPicture.h"
#include "print/TRichPreviewForm.h"
#include "print/TRichPrntProgDlg.h"
#include "widgets/TDialogSeam.h"
#include "widgets/WorkingFolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTextEdit>
#include <QTime>
#include <QtEndian>
#include <cerrno>

#include <cstring>
#include <exception>

namespace {
const char *const SettingsKey = "RichPrint.Settings";
const char *const MarginsKey = "Marges";
const char *const CompressKey = "Compress";

// Fixed measures used when there is no printer at all: millimetres, then inches.
struct NoPrinterMeasures
{
    double pageWidth, pageHeight, printableWidth, printableHeight, gutterLeft, gutterTop;
};
constexpr NoPrinterMeasures NoPrinterMm{210, 297, 198, 284, 6, 6};
constexpr NoPrinterMeasures NoPrinterIn{8.5, 11, 8, 10.5, 0.25, 0.25};

QByteArray DoubleBytes(double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray bytes(8, '\0');
    qToLittleEndian(bits, bytes.data());
    return bytes;
}

double ReadBinaryDouble(const QSettings &settings, const QString &name)
{
    const QVariant value = settings.value(name);
    const QByteArray bytes =
        value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
    if (bytes.size() != 8)
        throw ELinePrinter(QStringLiteral("Invalid data type for '%1'").arg(name));
    const quint64 bits = qFromLittleEndian<quint64>(bytes.constData());
    double result = 0;
    std::memcpy(&result, &bits, sizeof result);
    return result;
}

bool IsPdfFile(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
}

// Ends a run that the user cancelled.
struct TPrintCancelled
{
};
} // namespace

std::unique_ptr<QPrinter> TRichPrinter::NewPdfPrinter(const QString &fileName)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setResolution(600);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageMargins(QMarginsF(6, 6, 6, 7), QPageLayout::Millimeter);
    printer->setOutputFileName(fileName);
    return printer;
}

namespace {
// The system's default printer, or a PDF file when the system has none.
std::unique_ptr<QPrinter> DefaultPrinter()
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (printer->outputFormat() == QPrinter::PdfFormat)
        return TRichPrinter::NewPdfPrinter();
    return printer;
}
} // namespace

TRichPrinter::TRichPrinter(QObject *owner) : TRichPrinter(DefaultPrinter(), owner) {}

TRichPrinter::TRichPrinter(std::unique_ptr<QPrinter> printer, QObject *owner)
    : QObject(owner), FPrinter(std::move(printer))
{
    Init();
}

TRichPrinter::~TRichPrinter()
{
    ResetToIdle();
    // The preview window has no owner of its own: it goes with the printer that made it.
    if (FPreviewForm) {
        FPreviewForm->close();
        delete FPreviewForm.data();
    }
}

void TRichPrinter::ClosePreview()
{
    if (FPreviewForm)
        FPreviewForm->close();
}

void TRichPrinter::Init()
{
    FPageNumber = 0;
    FLineCount = 0;
    FCurrentX = 0;
    FCurrentY = 0;
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(10);
    SetFont_HeaderFooter(font);
    FPageBorders.clear();
    if (HasPrinter()) {
        FPrinter->setPageOrientation(QPageLayout::Portrait);
        FPrinter->setDocName(QString());
    }
    FShowProgress = true;
    FHeader = QStringLiteral("{$TITLE}");
    FHeaderFormat = QStringLiteral(">100");
    FFooter = QStringLiteral("Page {$PAGE}");
    FFooterFormat = QStringLiteral(">100");
    FBorderOffset = 2;
    FDefaultColumnWidth = 0;
    FMarginTop = 30;
    FMarginBottom = 25;
    FMarginLeft = 25;
    FMarginRight = 15;
    FLogoTop = 0;
    FLogoLeft = 0;
    FLogoWidth = 25;
    FLogoHeight = 20;
    FMeasureUnit = muMillimeters;
    ReapplyMargins();
    // Stored as given: the flags are computed only when the options are written.
    FOptionsDialog = {poMargins};
    FBitmapLogo = QImage();
    FSaveMargins = false;
    FCompressPreview = true;
    FPreviewMode = false;
}

bool TRichPrinter::HasPrinter() const
{
    return FPrinter && FPrinter->isValid();
}

bool TRichPrinter::Printing() const
{
    return FPrinterPainter && FPrinterPainter->isActive();
}

// ---- Geometry -------------------------------------------------------------------------------

int TRichPrinter::LogPixelsX() const
{
    return HasPrinter() && FPrinter->logicalDpiX() > 0 ? FPrinter->logicalDpiX() : 600;
}

int TRichPrinter::LogPixelsY() const
{
    return HasPrinter() && FPrinter->logicalDpiY() > 0 ? FPrinter->logicalDpiY() : 600;
}

int TRichPrinter::UnitsToPixelsX(double value) const
{
    const double inches = FMeasureUnit == muInches ? value : value / 25.4;
    return RoundHalfEven(LogPixelsX() * inches);
}

int TRichPrinter::UnitsToPixelsY(double value) const
{
    const double inches = FMeasureUnit == muInches ? value : value / 25.4;
    return RoundHalfEven(LogPixelsY() * inches);
}

double TRichPrinter::PixelsToUnitsX(double pixels) const
{
    const double inches = pixels / LogPixelsX();
    return FMeasureUnit == muInches ? inches : inches * 25.4;
}

double TRichPrinter::PixelsToUnitsY(double pixels) const
{
    const double inches = pixels / LogPixelsY();
    return FMeasureUnit == muInches ? inches : inches * 25.4;
}

double TRichPrinter::PageWidth() const
{
    if (!HasPrinter())
        return (FMeasureUnit == muInches ? NoPrinterIn : NoPrinterMm).pageWidth;
    return PixelsToUnitsX(qRound(FPrinter->paperRect(QPrinter::DevicePixel).width()));
}

double TRichPrinter::PageHeight() const
{
    if (!HasPrinter())
        return (FMeasureUnit == muInches ? NoPrinterIn : NoPrinterMm).pageHeight;
    return PixelsToUnitsY(qRound(FPrinter->paperRect(QPrinter::DevicePixel).height()));
}

double TRichPrinter::PrintableWidth() const
{
    if (!HasPrinter())
        return (FMeasureUnit == muInches ? NoPrinterIn : NoPrinterMm).printableWidth;
    return PixelsToUnitsX(FPrinter->width());
}

double TRichPrinter::PrintableHeight() const
{
    if (!HasPrinter())
        return (FMeasureUnit == muInches ? NoPrinterIn : NoPrinterMm).printableHeight;
    return PixelsToUnitsY(FPrinter->height());
}

QPoint TRichPrinter::PrintableOffsetPx() const
{
    if (!HasPrinter())
        return {UnitsToPixelsX(GutterLeft()), UnitsToPixelsY(GutterTop())};
    const QRectF page = FPrinter->pageRect(QPrinter::DevicePixel);
    return {qRound(page.left()), qRound(page.top())};
}

double TRichPrinter::GutterLeft() const
{
    if (!HasPrinter())
        return (FMeasureUnit == muInches ? NoPrinterIn : NoPrinterMm).gutterLeft;
    return PixelsToUnitsX(PrintableOffsetPx().x());
}

double TRichPrinter::GutterTop() const
{
    if (!HasPrinter())
        return (FMeasureUnit == muInches ? NoPrinterIn : NoPrinterMm).gutterTop;
    return PixelsToUnitsY(PrintableOffsetPx().y());
}

double TRichPrinter::GutterRight() const
{
    return PageWidth() - PrintableWidth() - GutterLeft();
}

double TRichPrinter::GutterBottom() const
{
    return PageHeight() - PrintableHeight() - GutterTop();
}

TTextArea TRichPrinter::TextArea() const
{
    TTextArea a;
    a.L = UnitsToPixelsX(FMarginLeft - GutterLeft());
    a.R = UnitsToPixelsX(FMarginRight - GutterRight());
    a.T = UnitsToPixelsY(FMarginTop - GutterTop());
    a.B = UnitsToPixelsY(FMarginBottom - GutterBottom());
    // The bottom band always holds one footer line.
    if (quint32(a.B) < quint32(FLineHeight))
        a.B = FLineHeight;
    a.W = UnitsToPixelsX(PrintableWidth()) - a.L - a.R;
    a.H = UnitsToPixelsY(PrintableHeight()) - a.T - a.B;
    return a;
}

// ---- Properties with rules ------------------------------------------------------------------

void TRichPrinter::CheckNotPrinting(const char *what) const
{
    if (Printing())
        throw ELinePrinter(QStringLiteral("Unable to change %1 while printing").arg(what));
}

double TRichPrinter::ClampMargin(double value, double low, double high) const
{
    if (value < low)
        return low;
    if (value > high)
        return high;
    return value;
}

void TRichPrinter::SetMarginTop(double value)
{
    CheckNotPrinting("top margin");
    FMarginTop = ClampMargin(value, GutterTop(), PageHeight() - GutterBottom());
}

void TRichPrinter::SetMarginBottom(double value)
{
    CheckNotPrinting("bottom margin");
    FMarginBottom = ClampMargin(value, GutterBottom(), PageHeight() - GutterTop());
}

void TRichPrinter::SetMarginLeft(double value)
{
    CheckNotPrinting("left margin");
    FMarginLeft = ClampMargin(value, GutterLeft(), PageWidth() - GutterRight());
}

void TRichPrinter::SetMarginRight(double value)
{
    CheckNotPrinting("right margin");
    FMarginRight = ClampMargin(value, GutterRight(), PageWidth() - GutterLeft());
}

void TRichPrinter::ReapplyMargins()
{
    if (Printing())
        return;
    SetMarginTop(FMarginTop);
    SetMarginBottom(FMarginBottom);
    SetMarginLeft(FMarginLeft);
    SetMarginRight(FMarginRight);
}

void TRichPrinter::SetMeasureUnit(TMeasureUnit unit)
{
    if (unit != FMeasureUnit) {
        FMeasureUnit = unit;
        const double factor = unit == muInches ? 1 / 25.4 : 25.4;
        SetMarginTop(FMarginTop * factor);
        SetMarginBottom(FMarginBottom * factor);
        SetMarginLeft(FMarginLeft * factor);
        SetMarginRight(FMarginRight * factor);
        FBorderOffset *= factor;
        FDefaultColumnWidth *= factor;
    }
    ReapplyMargins();
}

QPageLayout::Orientation TRichPrinter::Orientation() const
{
    return HasPrinter() ? FPrinter->pageLayout().orientation() : QPageLayout::Portrait;
}

void TRichPrinter::SetOrientation(QPageLayout::Orientation orientation)
{
    CheckNotPrinting("orientation");
    if (HasPrinter())
        FPrinter->setPageOrientation(orientation);
}

QString TRichPrinter::Title() const
{
    return HasPrinter() ? FPrinter->docName() : FTitleWithoutPrinter;
}

void TRichPrinter::SetTitle(const QString &title)
{
    CheckNotPrinting("title");
    if (HasPrinter())
        FPrinter->setDocName(title);
    else
        FTitleWithoutPrinter = title;
}

void TRichPrinter::SetOptions_Dialog(const TPageOptions &options)
{
    FOptionsDialog = options;
    if (options.count(poDisableMargins))
        FOptionsDialog.erase(poMargins);
    quint32 flags = 0;
    if (FOptionsDialog.count(poDisableMargins))
        flags |= PSD_DISABLEMARGINS;
    if (FOptionsDialog.count(poMargins))
        flags |= PSD_MARGINS;
    if (FOptionsDialog.count(poDisableOrientation))
        flags |= PSD_DISABLEORIENTATION;
    if (FOptionsDialog.count(poDisablePaper))
        flags |= PSD_DISABLEPAPER;
    if (FOptionsDialog.count(poDisablePrinter))
        flags |= PSD_DISABLEPRINTER;
    FPageSetupFlags = flags;
}

// ---- Header font ----------------------------------------------------------------------------

void TRichPrinter::SetFont_HeaderFooter(const QFont &font, const QColor &color)
{
    FSurfaceFont = font;
    FSurfaceFontColor = color;
    ApplySurfaceFont();
}

QFont TRichPrinter::ScaledSurfaceFont() const
{
    // The size in points holds on every device; a font given in pixels counts them at
    // 96 pixels per inch and keeps the whole points that makes.
    QFont font = FSurfaceFont;
    if (font.pointSizeF() <= 0 && font.pixelSize() > 0)
        font.setPointSize(qMax(1, qRound(font.pixelSize() * 72.0 / 96.0)));
    return font;
}

void TRichPrinter::ApplySurfaceFont()
{
    if (FSurfaceFontColor.rgb() == QColor(Qt::white).rgb())
        FSurfaceFontColor = Qt::black;
    if (FCanvas) {
        FCanvas->setFont(ScaledSurfaceFont());
        FCanvas->setPen(FSurfaceFontColor);
    }
    ComputeLineHeight();
}

void TRichPrinter::ComputeLineHeight()
{
    if ((Printing() || FPreviewMode) && FCanvas) {
        const QFontMetrics metrics = FCanvas->fontMetrics();
        FLineHeight = metrics.height() + qMax(0, metrics.leading());
    } else if (HasPrinter()) {
        FLineHeight = QFontMetrics(ScaledSurfaceFont(), FPrinter.get()).height();
    } else {
        FLineHeight = 10;
    }
}

int TRichPrinter::TextWidth(const QString &text) const
{
    if (FCanvas)
        return FCanvas->fontMetrics().horizontalAdvance(text);
    if (HasPrinter())
        return QFontMetrics(ScaledSurfaceFont(), FPrinter.get()).horizontalAdvance(text);
    return QFontMetrics(ScaledSurfaceFont()).horizontalAdvance(text);
}

QString TRichPrinter::FitText(const QString &text, int width) const
{
    return ::FitText(text, width, [this](const QString &t) { return TextWidth(t); });
}

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

// ---- Preview --------------------------------------------------------------------------------

void TRichPrinter::StartPreviewPage()
{
    FPreviewMode = true;
    StartRecording();
}

void TRichPrinter::StartRecording()
{
    const int widthPx = UnitsToPixelsX(PageWidth());
    const int heightPx = UnitsToPixelsY(PageHeight());
    const QPoint offset = PrintableOffsetPx();
    FRecording = std::make_unique<TPreviewPicture>(HasPrinter() ? FPrinter.get() : nullptr, widthPx,
                                                   heightPx);
    FRecording->setBoundingRect(QRect(-offset.x(), -offset.y(), widthPx, heightPx));
    FRecordPainter = std::make_unique<QPainter>(FRecording.get());
    FRecordPainter->setFont(FSavedFont);
    FCanvas = FRecordPainter.get();
}

void TRichPrinter::DropRecording()
{
    if (FRecordPainter && FRecordPainter->isActive())
        FRecordPainter->end();
    if (FCanvas && FCanvas == FRecordPainter.get())
        FCanvas = nullptr;
    FRecordPainter.reset();
    FRecording.reset();
}

void TRichPrinter::FinishPreviewPage(bool last)
{
    if (FRecordPainter)
        FRecordPainter->end();
    FCanvas = nullptr;
    std::unique_ptr<TPreviewPicture> recording = std::move(FRecording);
    FRecordPainter.reset();
    if (FPreviewForm && recording) {
        FPreviewForm->StorePage(*recording, last);
        FPreviewForm->FormPaint();
    }
}

void TRichPrinter::PreviewRichEdit(QTextEdit &control)
{
    try {
        StoreCompressPreview();
        FSavedFont = ScaledSurfaceFont();
        // Page files have fixed names, so an earlier preview still open is closed first (which
        // removes its files) rather than have two windows share them.
        if (FPreviewForm)
            FPreviewForm->close();
        StartPreviewPage();
        TRichPreviewForm::SetAspectRatio(PageHeight() / PageWidth());
        auto *form = new TRichPreviewForm();
        FPreviewForm = form;
        form->SetPrinter(FPrinter.get());
        form->SetPageSize(UnitsToPixelsX(PageWidth()), UnitsToPixelsY(PageHeight()),
                          PrintableOffsetPx());
        form->SetPaginating(true);
        form->show();
        form->FormPaint();
        PrintRichEdit(control, 1);
        FCanvas = nullptr;
        if (FCancelled) {
            if (FPreviewForm)
                FPreviewForm->close();
        } else if (FPreviewForm) {
            FPreviewForm->SetPaginating(false);
        }
    } catch (...) {
        ResetToIdle();
        if (FPreviewForm)
            FPreviewForm->SetPaginating(false);
        for (int i = 0;; ++i) {
            QFile file(WorkingFolder::File(QStringLiteral("PreviewMetafile%1").arg(i)));
            if (!file.open(QIODevice::ReadOnly))
                break;
            file.close();
            file.remove();
        }
    }
}

// ---- Progress -------------------------------------------------------------------------------

void TRichPrinter::ShowProgressStatus(const QString &text)
{
    if (FShowProgress && (Printing() || FPreviewMode)) {
        if (!FProgressDialog) {
            FProgressDialog = std::make_unique<TRichPrntProgDlg>();
            connect(FProgressDialog->btnCancel, &QPushButton::clicked, this, [this] { Cancel(); });
        }
        if (!FProgressDialog->isVisible())
            FProgressDialog->show();
        if (!text.isEmpty())
            FProgressDialog->lblStatus->setText(text);
        FProgressDialog->lblTitle->setText(Title());
        FProgressDialog->lblPageNumber->setText(QString::number(FPageNumber));
        FProgressDialog->repaint();
    } else {
        CloseProgress();
    }
}

void TRichPrinter::CloseProgress()
{
    if (!FProgressDialog)
        return;
    if (FProgressDialog->isVisible())
        FProgressDialog->close();
    FProgressDialog.reset();
}

// ---- Decoration and the column printer ------------------------------------------------------

QString TRichPrinter::ExpandTokens(const QString &text) const
{
    const QLocale locale = QLocale::system();
    QString t = ReplaceToken(QStringLiteral("{$LINE}"), QString::number(FLineCount), text);
    t = ReplaceToken(QStringLiteral("{$PAGE}"), QString::number(FPageNumber), t);
    t = ReplaceToken(QStringLiteral("{$DATE}"),
                     locale.toString(QDate::currentDate(), QLocale::ShortFormat), t);
    t = ReplaceToken(QStringLiteral("{$TIME}"),
                     locale.toString(QTime::currentTime(), QLocale::LongFormat), t);
    return ReplaceToken(QStringLiteral("{$TITLE}"), Title(), t);
}

void TRichPrinter::PrintColumns(const QString &text)
{
    DrawColumns(text);
    if (FCurrentY >= 0 && FCurrentY < TextArea().H)
        NewLine();
}

void TRichPrinter::DrawColumns(const QString &text)
{
    const TTextArea a = TextArea();
    const QStringList formats = SplitColumns(FColumnFormat);
    const QStringList texts = SplitColumns(text);
    FCurrentX = a.L;
    const int inset = (LogPixelsX() / 600) * 6;
    for (int i = 0; i < formats.size(); ++i) {
        const TColumnSpec column = ParseColumnFormat(formats.at(i), FDefaultColumnWidth);
        const int cw = UnitsToPixelsX(column.width);
        QString t = i < texts.size() ? texts.at(i) : QString();
        if (t.contains(QLatin1String("{$")))
            t = ExpandTokens(t);
        t = FitText(t, cw);
        const int tw = TextWidth(t);
        int offset = 0;
        if (column.alignment == TColumnAlignment::Right)
            offset = cw - tw;
        else if (column.alignment == TColumnAlignment::Centre)
            offset = qMax(0, (cw - tw) / 2); // a character wider than its column stays on the page
        if (tw < cw - inset) {
            if (column.alignment == TColumnAlignment::Right)
                offset -= inset;
            else if (column.alignment == TColumnAlignment::Left)
                offset += inset;
        }
        if (FCanvas && !t.isEmpty()) {
            try {
                FCanvas->drawText(
                    QPoint(FCurrentX + offset, a.T + FCurrentY + FCanvas->fontMetrics().ascent()),
                    t);
            } catch (const std::exception &) {
                // A page never fails for its decoration.
            }
        }
        FCurrentX += cw;
    }
}

int TRichPrinter::NewLine()
{
    FCurrentX = 0;
    FCurrentY += FLineHeight;
    ++FLineCount;
    if (FCurrentY + FLineHeight >= TextArea().H)
        NewPage();
    return FLineCount;
}

QRect TRichPrinter::LogoRect() const
{
    const TTextArea a = TextArea();
    const int headerTop = a.T >= FLineHeight ? (a.T - FLineHeight) / 2 : 0;
    const int y0 = headerTop + FLineHeight;
    const int top = y0 + RoundHalfEven(FLogoTop / PageHeight() * a.H);
    const int left = a.L + RoundHalfEven(FLogoLeft / PageWidth() * a.W);
    const int right = left + RoundHalfEven(FLogoWidth / PageWidth() * a.W);
    const int bottom = top + RoundHalfEven(FLogoHeight / PageHeight() * a.H);
    return QRect(left, top, right - left, bottom - top);
}

void TRichPrinter::DecoratePage()
{
    ShowProgressStatus(QStringLiteral("Currently Printing"));
    const QString savedFormat = FColumnFormat;
    try {
        if (!FHeader.isEmpty()) {
            ApplySurfaceFont();
            const TTextArea a = TextArea();
            // Centred in the band above the top margin; a band lower than one line puts the
            // header at the top of the printable area instead of above the page.
            const int headerTop = a.T >= FLineHeight ? RoundHalfEven((a.T - FLineHeight) / 2.0) : 0;
            FCurrentY = headerTop - a.T;
            FColumnFormat = FHeaderFormat;
            DrawColumns(FHeader);
            if (!FBitmapLogo.isNull() && FCanvas) {
                const QRect r = LogoRect();
                FCanvas->save();
                FCanvas->setPen(QPen(Qt::black, 0, Qt::DotLine));
                FCanvas->setBrush(Qt::NoBrush);
                FCanvas->drawRect(r);
                FCanvas->drawImage(r, FBitmapLogo);
                FCanvas->restore();
            }
        }
        if (!FFooter.isEmpty()) {
            ApplySurfaceFont();
            const TTextArea a = TextArea();
            FCurrentY = a.H + (a.B - FLineHeight) / 2;
            FColumnFormat = FFooterFormat;
            DrawColumns(FFooter);
        }
    } catch (...) {
        FColumnFormat = savedFormat;
        throw;
    }
    FColumnFormat = savedFormat;
    FCurrentX = 0;
    FCurrentY = 0;
    FLineCount = 0;
    if (OnNewPage)
        OnNewPage(this);

    if (!FCanvas || FPageBorders.empty())
        return;
    const TTextArea a = TextArea();
    FCanvas->save();
    const int b = UnitsToPixelsY(FBorderOffset);
    FCanvas->setPen(QPen(Qt::black, (LogPixelsY() / 600) * 2));
    if (FPageBorders.count(pbTop))
        FCanvas->drawLine(a.L - b, a.T - b, a.L + a.W + b, a.T - b);
    if (FPageBorders.count(pbBottom))
        FCanvas->drawLine(a.L - b, a.T + a.H + b, a.L + a.W + b, a.T + a.H + b);
    const int d = UnitsToPixelsX(FBorderOffset);
    FCanvas->setPen(QPen(Qt::black, (LogPixelsX() / 600) * 2));
    if (FPageBorders.count(pbLeft))
        FCanvas->drawLine(a.L - d, a.T - d, a.L - d, a.T + a.H + d);
    if (FPageBorders.count(pbRight))
        FCanvas->drawLine(a.L + a.W + d, a.T - d, a.L + a.W + d, a.T + a.H + d);
    FCanvas->restore();
}

// ---- Settings and page set-up ---------------------------------------------------------------

void TRichPrinter::LoadMargins()
{
    QSettings settings(QStringLiteral("Zarvel"), QStringLiteral("Zarvel"));
    settings.beginGroup(SettingsKey);
    QPageLayout::Orientation orientation = Orientation();
    if (settings.childGroups().contains(MarginsKey)) {
        settings.beginGroup(MarginsKey);
        SetMarginLeft(ReadBinaryDouble(settings, QStringLiteral("MarginLeft")));
        SetMarginTop(ReadBinaryDouble(settings, QStringLiteral("MarginTop")));
        SetMarginBottom(ReadBinaryDouble(settings, QStringLiteral("MarginBottom")));
        SetMarginRight(ReadBinaryDouble(settings, QStringLiteral("MarginRight")));
        const QString unit = settings.value(QStringLiteral("CodeMeasurement")).toString();
        SetMeasureUnit(unit.isEmpty() || unit == QLatin1String("1") ? muMillimeters : muInches);
        const QString direction = settings.value(QStringLiteral("CodeDirection")).toString();
        orientation = direction.isEmpty() || direction == QLatin1String("1")
                          ? QPageLayout::Portrait
                          : QPageLayout::Landscape;
    } else {
        SetMarginLeft(FMarginLeft);
        SetMarginTop(FMarginTop);
        SetMarginBottom(FMarginBottom);
        SetMarginRight(FMarginRight);
        SetMeasureUnit(FMeasureUnit);
    }
    SetOrientation(orientation);
}

void TRichPrinter::StoreMargins()
{
    QSettings settings(QStringLiteral("Zarvel"), QStringLiteral("Zarvel"));
    settings.beginGroup(SettingsKey);
    settings.beginGroup(MarginsKey);
    settings.setValue(QStringLiteral("MarginLeft"), DoubleBytes(FMarginLeft));
    settings.setValue(QStringLiteral("MarginTop"), DoubleBytes(FMarginTop));
    settings.setValue(QStringLiteral("MarginBottom"), DoubleBytes(FMarginBottom));
    settings.setValue(QStringLiteral("MarginRight"), DoubleBytes(FMarginRight));
    settings.setValue(QStringLiteral("CodeMeasurement"),
                      FMeasureUnit == muMillimeters ? QStringLiteral("1") : QStringLiteral("0"));
    settings.setValue(QStringLiteral("CodeDirection"), Orientation() == QPageLayout::Portrait
                                                           ? QStringLiteral("1")
                                                           : QStringLiteral("0"));
}

void TRichPrinter::StoreCompressPreview()
{
    QSettings settings(QStringLiteral("Zarvel"), QStringLiteral("Zarvel"));
    settings.beginGroup(SettingsKey);
    settings.beginGroup(CompressKey);
    settings.setValue(QStringLiteral("CompressPreview"),
                      FCompressPreview ? QStringLiteral("1") : QStringLiteral("0"));
}

namespace {
// Switches off the parts of Qt's page set-up dialog that the flags disable.
void ApplyDialogFlags(QPageSetupDialog &dialog, quint32 flags)
{
    const auto disableNamed = [&dialog](std::initializer_list<const char *> names) {
        for (const char *name : names)
            for (QWidget *w : dialog.findChildren<QWidget *>(QString::fromLatin1(name)))
                w->setEnabled(false);
    };
    if (flags & PSD_DISABLEMARGINS)
        disableNamed({"topMargin", "bottomMargin", "leftMargin", "rightMargin", "marginsGroupBox"});
    if (flags & PSD_DISABLEORIENTATION)
        disableNamed(
            {"portrait", "landscape", "reverseLandscape", "reversePortrait", "orientationGroup"});
    if (flags & PSD_DISABLEPAPER)
        disableNamed({"pageSizeCombo", "paperSource", "pageWidth", "pageHeight", "paperSizeGroup"});
    if (flags & PSD_DISABLEPRINTER)
        disableNamed({"printerCombo", "printerGroup"});
}
} // namespace

bool TRichPrinter::PageSetupDialog()
{
    if (FSaveMargins)
        LoadMargins();
    SetOrientation(Orientation());
    const double k = FMeasureUnit == muMillimeters ? 100 : 1000;
    const QPageLayout::Unit unit =
        FMeasureUnit == muMillimeters ? QPageLayout::Millimeter : QPageLayout::Inch;
    const QMarginsF asked(RoundHalfEven(FMarginLeft * k) / k, RoundHalfEven(FMarginTop * k) / k,
                          RoundHalfEven(FMarginRight * k) / k,
                          RoundHalfEven(FMarginBottom * k) / k);

    // The dialog edits a printer; without one a stand-in carries the choices for its run.
    QPrinter standIn(QPrinter::HighResolution);
    QPrinter &printer = HasPrinter() ? *FPrinter : standIn;
    const QPageLayout original = printer.pageLayout();
    QPageLayout editing = original;
    editing.setUnits(unit);
    editing.setMinimumMargins(QMarginsF());
    editing.setMargins(asked);
    printer.setPageLayout(editing);

    QPageSetupDialog dialog(&printer, QApplication::activeWindow());
    ApplyDialogFlags(dialog, FPageSetupFlags);
    dialog.adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const QSize size = dialog.frameGeometry().size().expandedTo(dialog.sizeHint());
        dialog.move(area.left() + (area.width() - size.width()) / 2,
                    area.top() + (area.height() - size.height()) / 3);
    }
    const bool accepted = TDialogSeam::Exec(dialog) == QDialog::Accepted;

    // The dialog's margins are this component's; the printer keeps its own unprintable strips.
    const QPageLayout chosen = printer.pageLayout();
    const QMarginsF margins = accepted ? chosen.margins(unit) : asked;
    QPageLayout restored = original;
    if (accepted) {
        restored.setPageSize(chosen.pageSize());
        restored.setOrientation(chosen.orientation());
    }
    printer.setPageLayout(restored);

    SetMarginLeft(margins.left());
    SetMarginTop(margins.top());
    SetMarginRight(margins.right());
    SetMarginBottom(margins.bottom());
    ReapplyMargins();
    SetOrientation(Orientation());
    if (FSaveMargins)
        StoreMargins();
    return accepted;
}
