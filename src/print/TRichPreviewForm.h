#pragma once

#include "print/TPreviewPageStore.h"

#include <QPicture>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <memory>

class QFrame;
class QPainter;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QScrollArea;
class QToolButton;
class TArrowButton;
class TPageImage;
class TPreview2;
struct TPreviewPlacement;
struct TPageSelection;

// The print preview window. The printer component hands it every page as a recording while it
// paginates; the window keeps each page as a file "PreviewMetafile"N in the current folder
// (zlib-compressed into N".CPR" when the settings say so) and shows one page, or two side by
// side through a second window when the screen is wide enough. Closing removes the files.
class TRichPreviewForm : public QWidget
{
    Q_OBJECT
public:
    // screen: the area the window sizes and places itself in; empty means the primary screen.
    explicit TRichPreviewForm(const QRect &screen = QRect());
    ~TRichPreviewForm() override;

    // Page height / page width of the page being previewed, shared by the preview windows;
    // 0 before the first preview.
    static double AspectRatio();
    static void SetAspectRatio(double ratio);

    void SetPrinter(QPrinter *printer) { FPrinter = printer; }
    // The physical page in printer pixels and where the printable area lies on it.
    void SetPageSize(int widthPx, int heightPx, const QPoint &printableOffset);
    // Keeps a finished page recording as the next page file.
    void StorePage(const QPicture &page, bool last);
    // While the printer makes the pages, activation leaves the window as it is; when it has
    // made them, an active window is set up at once.
    void SetPaginating(bool on);
    bool Paginating() const { return FPaginating; }
    // Whether the window has been closed (its page files are gone).
    bool Closed() const { return FClosed; }
    // Draws a page recording with its printer pixels as the painter's own.
    static void DrawRecording(QPainter &painter, const QPicture &page);

    // Event handlers, also run directly.
    void FormActivate();
    void FormPaint();
    void FormKeyDown(int key);
    void FormKeyPress(QChar key);
    void ArrowButton1Click();
    void ArrowButton2Click();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void BitBtn1Click();
    void MaskEdit1Change();
    void Label7DblClick();
    void Image1MouseDown(Qt::MouseButton button);
    void Edit1KeyUp();

    // File name of a page: "PreviewMetafile"N, with ".CPR" when compressed.
    static QString PageFileName(int index, bool compressed);

    int PageIndex() const { return FPageIndex; }
    int LastPageIndex() const { return FLastPageIndex; }
    int PageCount() const { return FLastPageIndex + 1; }
    bool FollowGeneration() const { return FFollowGeneration; }
    bool ReloadPage() const { return FReloadPage; }
    bool Compressed() const { return FPages.Compressed(); }
    bool Generating() const { return FGenerating; }
    bool TwoPage() const { return FTwoPage; }
    double Zoom() const { return FZoom; }
    double ZoomStep() const { return FZoomStep; }
    int PageImageWidth() const { return FPageImageWidth; }
    int PrintFrom() const { return FPrintFrom; }
    int PrintTo() const { return FPrintTo; }
    int OuterWidth() const { return FOuterWidth; }
    int OuterHeight() const { return FOuterHeight; }
    TPreview2 *Preview2() const { return FPreview2.get(); }

    QScrollArea *ScrollBox1 = nullptr;
    TPageImage *Image1 = nullptr;
    QFrame *Panel1 = nullptr;
    TArrowButton *ArrowButton1 = nullptr;
    TArrowButton *ArrowButton2 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    QLabel *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr, *Label9 = nullptr;
    QLabel *Label10 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QLineEdit *MaskEdit1 = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QToolButton *SpeedButton2 = nullptr;
    QToolButton *SpeedButton3 = nullptr;
    QPushButton *BitBtn1 = nullptr;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildControls();
    // The second window right of this one, with this one's size and image bounds.
    TPreviewPlacement SecondPagePlacement() const;
    void SetZoomControlsVisible(bool visible);
    void FormCreate();
    void PaintIndex(int index);
    void DrawPage(TPageImage &target, const QPicture &page) const;
    void ApplyZoom();
    void RepaintAfterZoom();
    void ShowZoom();
    void PaintSecondOrBlank(int index);
    void BlankSecond();
    void SetSecondLabelsVisible(bool visible);
    void SetPreviousEnabled(bool enabled);
    void SetNextEnabled(bool enabled);
    void SetPreviousLabelsEnabled(bool enabled);
    void SetNextLabelsEnabled(bool enabled);
    // Prints pages FPrintFrom to FPrintTo as one job.
    void PrintPages(QPrinter &printer, const TPageSelection &selection);

    QRect FScreen;
    QPrinter *FPrinter = nullptr;
    std::unique_ptr<TPreview2> FPreview2;
    // The page files; compression as the settings say when the window was made.
    TPreviewPageStore FPages;
    QPicture FCachedPage;
    int FPageIndex = 0;
    int FLastPageIndex = -1;
    bool FFollowGeneration = true;
    bool FReloadPage = true;
    bool FGenerating = true;
    bool FTwoPage = false;
    bool FEdit1Edited = false;
    bool FClosed = false;
    bool FPaginating = false;
    double FZoom = 1.0;
    double FZoomStep = 0.1;
    int FPageImageWidth = 0;
    int FOuterWidth = 0;
    int FOuterHeight = 0;
    int FPrintFrom = 0;
    int FPrintTo = 0;
    int FPageWidthPx = 4961;
    int FPageHeightPx = 7016;
    QPoint FPrintableOffset;
    QFrame *FZoomLine = nullptr;
    // Room the control panel needs at the program's fonts.
    int FPanelHeight = 71;
    int FPanelWidth = 395;
    int FNarrowPanelWidth = 288;
};
