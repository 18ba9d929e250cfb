#pragma once

#include "print/TPageSelection.h"
#include "print/TPrinterGeometry.h"
#include "print/TRichPreviewForm.h"
#include "richedit/TFormatRange.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPageLayout>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <set>

class QPainter;
class QPrinter;
class QTextEdit;
class TPreviewPicture;
class TRichPrntProgDlg;

enum TPageBorderStyle { pbTop, pbBottom, pbLeft, pbRight };
using TPageBorders = std::set<TPageBorderStyle>;
enum TPageSetupFlags {
    poDisableMargins,
    poMargins,
    poDisableOrientation,
    poDisablePaper,
    poDisablePrinter
};
using TPageOptions = std::set<TPageSetupFlags>;

// The page set-up flag values the options map to.
enum : quint32 {
    PSD_INTHOUSANDTHSOFINCHES = 0x4,
    PSD_INHUNDREDTHSOFMILLIMETERS = 0x8,
    PSD_MARGINS = 0x2,
    PSD_DISABLEMARGINS = 0x10,
    PSD_DISABLEPRINTER = 0x20,
    PSD_DISABLEORIENTATION = 0x100,
    PSD_DISABLEPAPER = 0x200,
    PSD_ENABLEPAGESETUPHOOK = 0x2000
};

// Puts the text of a rich text control on paper or into preview pages: measures the page
// through the printer, decorates every page with header, logo, footer and border lines, and
// lets the format-range request lay out and draw the text one page at a time. The measures are
// TPrinterGeometry's and the saved margins TPrintSettings'; the page loop is in
// TRichPrinterPagination.cpp, the decoration and the column printer in
// TRichPrinterDecoration.cpp.
class TRichPrinter : public QObject
{
    Q_OBJECT
public:
    using Notify = std::function<void(QObject *sender)>;
    // One format-range request of a control: render flag and record, null record frees.
    using FormatRangeFn = std::function<int(bool render, const TFormatRangeRequest *request)>;

    // Works on a high-resolution printer of its own (the system's default printer, or a PDF
    // file when the system has none).
    explicit TRichPrinter(QObject *owner = nullptr);
    // Works on the given printer; null means there is no printer at all.
    TRichPrinter(std::unique_ptr<QPrinter> printer, QObject *owner);
    ~TRichPrinter() override;

    // A printer that writes a PDF file with the measures of the printerless case: 600 pixels
    // per inch, A4, unprintable strips of 6 mm (7 mm at the bottom).
    static std::unique_ptr<QPrinter> NewPdfPrinter(const QString &fileName = QString());

    QPrinter *Printer() const { return FPrinter.get(); }
    bool HasPrinter() const;

    // Published properties.
    bool CompressPreview() const { return FCompressPreview; }
    void SetCompressPreview(bool value) { FCompressPreview = value; }
    // Whether a PDF file is made smaller once Qt has written it (TPdfCompactor); on at first.
    bool CompactPdf() const { return FCompactPdf; }
    void SetCompactPdf(bool value) { FCompactPdf = value; }
    bool SaveMargins() const { return FSaveMargins; }
    void SetSaveMargins(bool value) { FSaveMargins = value; }
    const QImage &BitmapLogo() const { return FBitmapLogo; }
    void SetBitmapLogo(const QImage &logo) { FBitmapLogo = logo; }
    double MarginTop() const { return FMargins.Top; }
    double MarginBottom() const { return FMargins.Bottom; }
    double MarginLeft() const { return FMargins.Left; }
    double MarginRight() const { return FMargins.Right; }
    void SetMarginTop(double value);
    void SetMarginBottom(double value);
    void SetMarginLeft(double value);
    void SetMarginRight(double value);
    double LogoTop() const { return FLogoTop; }
    double LogoLeft() const { return FLogoLeft; }
    double LogoWidth() const { return FLogoWidth; }
    double LogoHeight() const { return FLogoHeight; }
    void SetLogoTop(double value) { FLogoTop = value; }
    void SetLogoLeft(double value) { FLogoLeft = value; }
    void SetLogoWidth(double value) { FLogoWidth = value; }
    void SetLogoHeight(double value) { FLogoHeight = value; }
    TMeasureUnit MeasureUnit() const { return FMeasureUnit; }
    void SetMeasureUnit(TMeasureUnit unit);
    const QString &Header() const { return FHeader; }
    void SetHeader(const QString &value) { FHeader = value; }
    const QString &HeaderFormat() const { return FHeaderFormat; }
    void SetHeaderFormat(const QString &value) { FHeaderFormat = value; }
    const QString &Footer() const { return FFooter; }
    void SetFooter(const QString &value) { FFooter = value; }
    const QString &FooterFormat() const { return FFooterFormat; }
    void SetFooterFormat(const QString &value) { FFooterFormat = value; }
    const TPageBorders &PageBorders() const { return FPageBorders; }
    void SetPageBorders(const TPageBorders &value) { FPageBorders = value; }
    bool ShowProgress() const { return FShowProgress; }
    void SetShowProgress(bool value) { FShowProgress = value; }
    // The header and footer font is the drawing surface's own font: writing assigns into it.
    QFont Font_HeaderFooter() const { return FSurfaceFont; }
    QColor FontColor_HeaderFooter() const { return FSurfaceFontColor; }
    void SetFont_HeaderFooter(const QFont &font, const QColor &color = Qt::black);
    QPageLayout::Orientation Orientation() const;
    void SetOrientation(QPageLayout::Orientation orientation);
    QString Title() const;
    void SetTitle(const QString &title);
    double BorderOffset() const { return FBorderOffset; }
    void SetBorderOffset(double value) { FBorderOffset = value; }
    double GutterTop() const;
    double GutterBottom() const;
    double GutterLeft() const;
    double GutterRight() const;
    Notify OnBeginDoc;
    Notify OnEndDoc;
    Notify OnNewPage;
    const TPageOptions &Options_Dialog() const { return FOptionsDialog; }
    void SetOptions_Dialog(const TPageOptions &options);
    quint32 PageSetupFlags() const { return FPageSetupFlags; }

    // What the main window calls. Printing prints the pages and copies the printer's print
    // dialog chose.
    void PrintRichEdit(QTextEdit &control, int firstPageNumber);
    void PreviewRichEdit(QTextEdit &control);
    bool PageSetupDialog();
    // Closes the preview window, if one is open.
    void ClosePreview();

    // Stops the print or preview being made at the end of its current page (the progress
    // window's Cancel): nothing is printed, the preview window closes. Cancelled() tells whether
    // the last run ended so.
    void Cancel() { FCancelRequested = true; }
    bool Cancelled() const { return FCancelled; }

    // The page loop over any control that answers format-range requests; textLength is the
    // control's text length.
    void PrintFormatted(int textLength, const FormatRangeFn &formatRange, int firstPageNumber);

    // Lower-level operations of the printer and its column printer, in the order the page
    // loop (PrintFormatted) calls them:
    //     BeginPrinting();      // opens the job or the preview, decorates the first page
    //     for (;;) {
    //         ...               // draws a page of text on Canvas(); PrintColumns draws lines
    //         if (no text left) break;
    //         NewPage();        // the next sheet or preview page, decorated
    //     }
    //     EndPrinting();        // ends the job; throws ELinePrinter when it cannot
    void BeginPrinting();
    void EndPrinting();
    int NewPage();
    int NewLine();
    void PrintColumns(const QString &text);
    void DecoratePage();
    void ReapplyMargins();
    void LoadMargins();
    void StoreMargins();
    void StoreCompressPreview();
    void ShowProgressStatus(const QString &text);
    QString ExpandTokens(const QString &text) const;
    QString FitText(const QString &text, int width) const;
    int TextWidth(const QString &text) const;
    int PageNumber() const { return FPageNumber; }
    bool Printing() const;
    bool PreviewMode() const { return FPreviewMode; }
    int LineCount() const { return FLineCount; }
    int LineHeight() const { return FLineHeight; }
    int CurrentX() const { return FCurrentX; }
    int CurrentY() const { return FCurrentY; }
    void SetCurrentY(int y) { FCurrentY = y; }
    const QString &ColumnFormat() const { return FColumnFormat; }
    void SetColumnFormat(const QString &format) { FColumnFormat = format; }
    double DefaultColumnWidth() const { return FDefaultColumnWidth; }
    void SetDefaultColumnWidth(double value) { FDefaultColumnWidth = value; }

    // Geometry.
    int LogPixelsX() const;
    int LogPixelsY() const;
    int UnitsToPixelsX(double value) const;
    int UnitsToPixelsY(double value) const;
    double PixelsToUnitsX(double pixels) const;
    double PixelsToUnitsY(double pixels) const;
    double PageWidth() const;
    double PageHeight() const;
    double PrintableWidth() const;
    double PrintableHeight() const;
    TTextArea TextArea() const;
    QRect LogoRect() const;
    // Offset of the printable area on the paper, in printer pixels.
    QPoint PrintableOffsetPx() const;

    // The surface drawn on now: the printer's while a document is open, a recording in
    // preview, null when idle.
    QPainter *Canvas() const { return FCanvas; }
    TRichPrntProgDlg *ProgressDialog() const { return FProgressDialog.get(); }
    TRichPreviewForm *PreviewForm() const { return FPreviewForm.data(); }

private:
    // The measures of the printer (or of none) in the unit in force.
    TPrinterGeometry Geometry() const;
    void Init();
    // The pages of one run through the document.
    void PrintPages(int textLength, const FormatRangeFn &formatRange, TFormatRangeRequest &request);
    // The further prints of the page just printed, when copies are not collated.
    void RepeatPage(const FormatRangeFn &formatRange, TFormatRangeRequest &request);
    // Makes page PageNumber the one drawn on (a sheet of its own when it is printed, a
    // recording thrown away when it is not) and decorates it.
    void EnterPage();
    void NextSheet();
    int PageInRun() const { return FPageNumber - FFirstPageNumber + 1; }
    // Lets the progress and preview windows paint, and the Cancel button work, between pages.
    void KeepResponsive();
    // One line of columns at the current position, without moving to the next line.
    void DrawColumns(const QString &text);
    void ApplySurfaceFont();
    void ComputeLineHeight();
    void StartPreviewPage();
    void StartRecording();
    void DropRecording();
    void FinishPreviewPage(bool last);
    void SetupFormatRange(TFormatRangeRequest &request) const;
    void ResetToIdle();
    void CloseProgress();
    QFont ScaledSurfaceFont() const;
    double ClampMargin(double value, double low, double high) const;
    void CheckNotPrinting(const char *what) const;

    std::unique_ptr<QPrinter> FPrinter;
    std::unique_ptr<QPainter> FPrinterPainter;
    std::unique_ptr<TPreviewPicture> FRecording;
    std::unique_ptr<QPainter> FRecordPainter;
    std::unique_ptr<TRichPrntProgDlg> FProgressDialog;
    QPointer<TRichPreviewForm> FPreviewForm;
    TFormatRange FFormatRange;
    QPainter *FCanvas = nullptr;

    bool FCompressPreview = true;
    bool FSaveMargins = false;
    bool FCompactPdf = true;
    QImage FBitmapLogo;
    TPageMargins FMargins;
    double FLogoTop = 0, FLogoLeft = 0, FLogoWidth = 25, FLogoHeight = 20;
    TMeasureUnit FMeasureUnit = muMillimeters;
    QString FHeader, FHeaderFormat, FFooter, FFooterFormat;
    TPageBorders FPageBorders;
    bool FShowProgress = true;
    QFont FSurfaceFont;
    QColor FSurfaceFontColor = Qt::black;
    QFont FSavedFont;
    QString FTitleWithoutPrinter;
    double FBorderOffset = 2;
    TPageOptions FOptionsDialog;
    quint32 FPageSetupFlags = 0;

    int FFirstPageNumber = 0;
    int FPageNumber = 0;
    TPageSelection FSelection;
    int FPrintedPages = 0;
    bool FCancelRequested = false;
    bool FCancelled = false;
    bool FPreviewMode = false;
    int FCurrentX = 0;
    int FCurrentY = 0;
    int FLineCount = 0;
    int FLineHeight = 10;
    QString FColumnFormat;
    double FDefaultColumnWidth = 0;
};
