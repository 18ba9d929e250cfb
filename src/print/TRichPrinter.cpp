#include "print/TRichPrinter.h"

#include "print/ColumnPrinting.h"
#include "print/ELinePrinter.h"
#include "print/TPreviewPageStore.h"
#include "print/TPreviewPicture.h"
#include "print/TPrintSettings.h"
#include "print/TRichPreviewForm.h"
#include "print/TRichPrntProgDlg.h"
#include "widgets/TDialogSeam.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>

#include <optional>

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
    FMargins.Top = 30;
    FMargins.Bottom = 25;
    FMargins.Left = 25;
    FMargins.Right = 15;
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

TPrinterGeometry TRichPrinter::Geometry() const
{
    return TPrinterGeometry(FPrinter.get(), FMeasureUnit);
}

int TRichPrinter::LogPixelsX() const
{
    return Geometry().LogPixelsX();
}

int TRichPrinter::LogPixelsY() const
{
    return Geometry().LogPixelsY();
}

int TRichPrinter::UnitsToPixelsX(double value) const
{
    return Geometry().UnitsToPixelsX(value);
}

int TRichPrinter::UnitsToPixelsY(double value) const
{
    return Geometry().UnitsToPixelsY(value);
}

double TRichPrinter::PixelsToUnitsX(double pixels) const
{
    return Geometry().PixelsToUnitsX(pixels);
}

double TRichPrinter::PixelsToUnitsY(double pixels) const
{
    return Geometry().PixelsToUnitsY(pixels);
}

double TRichPrinter::PageWidth() const
{
    return Geometry().PageWidth();
}

double TRichPrinter::PageHeight() const
{
    return Geometry().PageHeight();
}

double TRichPrinter::PrintableWidth() const
{
    return Geometry().PrintableWidth();
}

double TRichPrinter::PrintableHeight() const
{
    return Geometry().PrintableHeight();
}

QPoint TRichPrinter::PrintableOffsetPx() const
{
    return Geometry().PrintableOffsetPx();
}

double TRichPrinter::GutterLeft() const
{
    return Geometry().GutterLeft();
}

double TRichPrinter::GutterTop() const
{
    return Geometry().GutterTop();
}

double TRichPrinter::GutterRight() const
{
    return Geometry().GutterRight();
}

double TRichPrinter::GutterBottom() const
{
    return Geometry().GutterBottom();
}

TTextArea TRichPrinter::TextArea() const
{
    return Geometry().TextArea(FMargins, FLineHeight);
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
    FMargins.Top = ClampMargin(value, GutterTop(), PageHeight() - GutterBottom());
}

void TRichPrinter::SetMarginBottom(double value)
{
    CheckNotPrinting("bottom margin");
    FMargins.Bottom = ClampMargin(value, GutterBottom(), PageHeight() - GutterTop());
}

void TRichPrinter::SetMarginLeft(double value)
{
    CheckNotPrinting("left margin");
    FMargins.Left = ClampMargin(value, GutterLeft(), PageWidth() - GutterRight());
}

void TRichPrinter::SetMarginRight(double value)
{
    CheckNotPrinting("right margin");
    FMargins.Right = ClampMargin(value, GutterRight(), PageWidth() - GutterLeft());
}

void TRichPrinter::ReapplyMargins()
{
    if (Printing())
        return;
    SetMarginTop(FMargins.Top);
    SetMarginBottom(FMargins.Bottom);
    SetMarginLeft(FMargins.Left);
    SetMarginRight(FMargins.Right);
}

void TRichPrinter::SetMeasureUnit(TMeasureUnit unit)
{
    if (unit != FMeasureUnit) {
        FMeasureUnit = unit;
        const double factor = unit == muInches ? 1 / 25.4 : 25.4;
        SetMarginTop(FMargins.Top * factor);
        SetMarginBottom(FMargins.Bottom * factor);
        SetMarginLeft(FMargins.Left * factor);
        SetMarginRight(FMargins.Right * factor);
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
        // Pages written before the failure, which the store writes uncompressed first.
        TPreviewPageStore(false).DeleteAll();
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

// ---- Settings and page set-up ---------------------------------------------------------------

void TRichPrinter::LoadMargins()
{
    QPageLayout::Orientation orientation = Orientation();
    if (const std::optional<TPrintSettings::TSavedMargins> saved = TPrintSettings::LoadMargins()) {
        // The numbers go in before the unit, so that a saved unit other than the one in force
        // converts them.
        SetMarginLeft(saved->Margins.Left);
        SetMarginTop(saved->Margins.Top);
        SetMarginBottom(saved->Margins.Bottom);
        SetMarginRight(saved->Margins.Right);
        SetMeasureUnit(saved->Unit);
        orientation = saved->Orientation;
    } else {
        SetMarginLeft(FMargins.Left);
        SetMarginTop(FMargins.Top);
        SetMarginBottom(FMargins.Bottom);
        SetMarginRight(FMargins.Right);
        SetMeasureUnit(FMeasureUnit);
    }
    SetOrientation(orientation);
}

void TRichPrinter::StoreMargins()
{
    TPrintSettings::StoreMargins({FMargins, FMeasureUnit, Orientation()});
}

void TRichPrinter::StoreCompressPreview()
{
    TPrintSettings::StoreCompressPreview(FCompressPreview);
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
    const QMarginsF asked(RoundHalfEven(FMargins.Left * k) / k, RoundHalfEven(FMargins.Top * k) / k,
                          RoundHalfEven(FMargins.Right * k) / k,
                          RoundHalfEven(FMargins.Bottom * k) / k);

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
