#include "print/TRichPreviewForm.h"

#include "print/ColumnPrinting.h"
#include "print/ELinePrinter.h"
#include "print/TArrowButton.h"
#include "print/TPageImage.h"
#include "print/TPageSelection.h"
#include "print/TPreview2.h"
#include "print/TPreviewPageStore.h"
#include "print/TPrintSettings.h"
#include "widgets/TDialogSeam.h"

#include <cerrno>

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// The page aspect ratio is one per program, shared by the printer and both preview windows.
double &SharedAspectRatio()
{
    static double ratio = 0;
    return ratio;
}

QRect PrimaryScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

// A printer: the paper going in at the top, the body, the printed sheet coming out.
QIcon PrinterIcon()
{
    const QIcon themed = QIcon::fromTheme(QStringLiteral("document-print"));
    if (!themed.isNull())
        return themed;
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(QColor(64, 64, 64));
    painter.setBrush(Qt::white);
    painter.drawRect(4, 1, 7, 5);
    painter.setBrush(QColor(160, 160, 160));
    painter.drawRect(1, 6, 13, 5);
    painter.setBrush(Qt::white);
    painter.drawRect(3, 10, 9, 4);
    painter.drawLine(5, 12, 10, 12);
    return QIcon(picture);
}

QString ZoomText(double zoom)
{
    return QString::asprintf("%5.3f", zoom);
}

const QColor Teal(0, 128, 128);
} // namespace

double TRichPreviewForm::AspectRatio()
{
    return SharedAspectRatio();
}

void TRichPreviewForm::SetAspectRatio(double ratio)
{
    SharedAspectRatio() = ratio;
}

QString TRichPreviewForm::PageFileName(int index, bool compressed)
{
    return TPreviewPageStore::FileName(index, compressed);
}

TRichPreviewForm::TRichPreviewForm(const QRect &screen)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      FScreen(screen.isEmpty() ? PrimaryScreen() : screen)
{
    setObjectName(QStringLiteral("RichPreviewForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Print Preview (Formatting)"));
    BuildControls();
    FormCreate();
}

TRichPreviewForm::~TRichPreviewForm()
{
    if (!FClosed)
        FPages.DeleteAll();
}

void TRichPreviewForm::BuildControls()
{
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    Image1 = new TPageImage;
    Image1->setObjectName(QStringLiteral("Image1"));
    ScrollBox1->setWidget(Image1);
    connect(Image1, &TPageImage::mousePressed, this, &TRichPreviewForm::Image1MouseDown);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);

    const auto label = [this](const char *name, const QString &text) {
        auto *l = new QLabel(text, Panel1);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    const auto line = [this](QFrame::Shape shape) {
        auto *b = new QFrame(Panel1);
        b->setFrameShape(shape);
        b->setFrameShadow(QFrame::Sunken);
        return b;
    };
    const auto button = [this](const char *name, const QString &text, const QString &hint) {
        auto *b = new QToolButton(Panel1);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(text);
        b->setToolTip(hint);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setMinimumSize(62, 25);
        return b;
    };

    // The page: its number and the count, then the arrows.
    Label4 = label("Label4", tr("Page number:"));
    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFixedWidth(qMax(37, Edit1->fontMetrics().horizontalAdvance(QStringLiteral("00000"))));
    Edit1->setToolTip(tr("Number of current page (can be changed manually) "));
    connect(Edit1, &QLineEdit::textEdited, this, [this] { FEdit1Edited = true; });
    Label10 = label("Label10", QString());
    Label10->setAutoFillBackground(true);
    QPalette yellow = Label10->palette();
    yellow.setColor(QPalette::Window, Qt::yellow);
    Label10->setPalette(yellow);
    Label10->setToolTip(tr("Total number of pages"));
    ArrowButton2 = new TArrowButton(Panel1);
    ArrowButton2->setObjectName(QStringLiteral("ArrowButton2"));
    ArrowButton2->SetDirection(arwRIGHT);
    ArrowButton2->setFixedSize(ArrowButton2->size());
    ArrowButton2->setToolTip(tr("Showing next pages [PgUp]"));
    connect(ArrowButton2, &TArrowButton::clicked, this, &TRichPreviewForm::ArrowButton2Click);
    Label1 = label("Label1", tr("NEXT "));
    Label3 = label("Label3", tr("page"));
    ArrowButton1 = new TArrowButton(Panel1);
    ArrowButton1->setObjectName(QStringLiteral("ArrowButton1"));
    ArrowButton1->SetDirection(arwLEFT);
    ArrowButton1->setFixedSize(ArrowButton1->size());
    ArrowButton1->setToolTip(tr("Showing previous pages [PgDn]"));
    connect(ArrowButton1, &TArrowButton::clicked, this, &TRichPreviewForm::ArrowButton1Click);
    Label2 = label("Label2", tr("PREVIOUS"));
    Label9 = label("Label9", tr("page"));
    auto *number = new QHBoxLayout;
    number->addWidget(Label4);
    number->addWidget(Edit1);
    number->addWidget(Label10);
    number->addStretch();
    const auto labelPair = [](QLabel *upper, QLabel *lower) {
        auto *pair = new QVBoxLayout;
        pair->setSpacing(0);
        pair->addWidget(upper);
        pair->addWidget(lower);
        return pair;
    };
    auto *arrows = new QHBoxLayout;
    arrows->setSpacing(2);
    // Pages run left to right: the previous page to the left, the next one to the right.
    arrows->addWidget(ArrowButton1);
    arrows->addLayout(labelPair(Label2, Label9));
    arrows->addWidget(line(QFrame::VLine));
    arrows->addLayout(labelPair(Label1, Label3));
    arrows->addWidget(ArrowButton2);
    arrows->addStretch();
    auto *page = new QVBoxLayout;
    page->setSpacing(2);
    page->addLayout(number);
    page->addWidget(line(QFrame::HLine));
    page->addLayout(arrows);

    // Printing, closing and the zoom buttons.
    SpeedButton1 = button("SpeedButton1", tr("&Printing"),
                          tr("Printing of selection from document ['P' key]"));
    SpeedButton1->setIcon(PrinterIcon());
    connect(SpeedButton1, &QToolButton::clicked, this, &TRichPreviewForm::SpeedButton1Click);
    BitBtn1 = new QPushButton(tr("Close"), Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    BitBtn1->setToolTip(tr("Closing this preview"));
    BitBtn1->setMinimumSize(60, 24);
    connect(BitBtn1, &QPushButton::clicked, this, &TRichPreviewForm::BitBtn1Click);
    SpeedButton2 = button("SpeedButton2", tr("&Larger"), tr("Larger zoom ['L' key]"));
    SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    connect(SpeedButton2, &QToolButton::clicked, this, &TRichPreviewForm::SpeedButton2Click);
    SpeedButton3 = button("SpeedButton3", tr("&Smaller"), tr("Smaller zoom ['S' key]"));
    SpeedButton3->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    SpeedButton3->setEnabled(false);
    connect(SpeedButton3, &QToolButton::clicked, this, &TRichPreviewForm::SpeedButton3Click);
    auto *buttons = new QGridLayout;
    buttons->setSpacing(2);
    buttons->addWidget(SpeedButton1, 0, 0);
    buttons->addWidget(BitBtn1, 0, 1);
    buttons->addWidget(SpeedButton2, 1, 0);
    buttons->addWidget(SpeedButton3, 1, 1);

    // The zoom factor and its step.
    Label8 = label("Label8", tr("Zoom factor:"));
    Label6 = label("Label6", tr("Zoom step:"));
    Label7 = label("Label7", QStringLiteral("1.000"));
    QFont zoomFont = Label7->font();
    zoomFont.setPixelSize(13);
    Label7->setFont(zoomFont);
    Label7->setAutoFillBackground(true);
    QPalette teal = Label7->palette();
    teal.setColor(QPalette::Window, Teal);
    Label7->setPalette(teal);
    Label7->setToolTip(tr("Actual size of the zoom (double click for a value of one)"));
    Label7->installEventFilter(this);
    MaskEdit1 = new QLineEdit(Panel1);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    MaskEdit1->setInputMask(QStringLiteral("9.999;_"));
    MaskEdit1->setMaxLength(5);
    MaskEdit1->setText(QStringLiteral("0.100"));
    MaskEdit1->setToolTip(tr("Input step size zooming"));
    MaskEdit1->setFixedWidth(
        qMax(35, MaskEdit1->fontMetrics().horizontalAdvance(QStringLiteral("0.0000"))));
    connect(MaskEdit1, &QLineEdit::textChanged, this, &TRichPreviewForm::MaskEdit1Change);
    FZoomLine = line(QFrame::VLine);
    auto *zoom = new QGridLayout;
    zoom->setSpacing(2);
    zoom->addWidget(Label8, 0, 0);
    zoom->addWidget(Label7, 0, 1);
    zoom->addWidget(Label6, 1, 0);
    zoom->addWidget(MaskEdit1, 1, 1);

    auto *panel = new QHBoxLayout(Panel1);
    panel->setContentsMargins(4, 2, 4, 2);
    panel->setSpacing(4);
    panel->addLayout(page);
    panel->addWidget(line(QFrame::VLine));
    panel->addLayout(buttons);
    panel->addWidget(FZoomLine);
    panel->addLayout(zoom);
    panel->addStretch();

    // Room the panel needs, with the zoom controls and without them.
    FPanelHeight = qMax(71, Panel1->sizeHint().height());
    FPanelWidth = qMax(395, Panel1->sizeHint().width());
    SetZoomControlsVisible(false);
    FNarrowPanelWidth = qMax(288, Panel1->sizeHint().width());
    SetZoomControlsVisible(true);

    // The window sees keys before the focused control.
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

void TRichPreviewForm::FormCreate()
{
    FGenerating = true;
    FTwoPage = false;
    Label10->hide();
    FPages.SetCompressed(TPrintSettings::CompressPreview());

    const double ratio = AspectRatio();
    int height = RoundHalfEven(FScreen.height() * 0.95);
    int clientHeight = height - 27;
    const double imageHeight = clientHeight * 0.98 - FPanelHeight;
    FPageImageWidth = RoundHalfEven(ratio > 0 ? imageHeight / ratio : imageHeight * 0.707);
    if (RoundHalfEven(FPageImageWidth * 1.0204) > FScreen.width()) {
        // Too wide for the screen: the page keeps its shape, so the height shrinks with it.
        const int narrower = RoundHalfEven(FScreen.width() * 0.98);
        const double scaledImageHeight = imageHeight * narrower / FPageImageWidth;
        FPageImageWidth = narrower;
        clientHeight = RoundHalfEven((scaledImageHeight + FPanelHeight) / 0.98);
        height = clientHeight + 27;
    }
    clientHeight = height - 27;
    FPageIndex = 0;
    int width = RoundHalfEven(FPageImageWidth * 1.0204);
    int clientWidth = width - 8;
    const bool zoomFits = clientWidth >= RoundHalfEven(clientWidth * 0.02) + FPanelWidth;
    if (!zoomFits && clientWidth < RoundHalfEven(clientWidth * 0.02) + FNarrowPanelWidth) {
        width = RoundHalfEven((clientWidth * 0.02 + FNarrowPanelWidth) * 1.0204);
        clientWidth = width - 8;
    }
    SetZoomControlsVisible(zoomFits);
    FOuterWidth = width;
    FOuterHeight = height;

    const QRect imageBounds(RoundHalfEven(clientWidth * 0.01), RoundHalfEven(clientHeight * 0.01),
                            RoundHalfEven(clientWidth * 0.98),
                            RoundHalfEven(clientHeight * 0.98) - FPanelHeight);
    ScrollBox1->setGeometry(imageBounds);
    Image1->setGeometry(0, 0, imageBounds.width(), imageBounds.height());
    Panel1->setGeometry(imageBounds.left(), imageBounds.bottom() + 1, imageBounds.width(),
                        FPanelHeight);
    Image1->Blank(Image1->size());
    setFixedSize(clientWidth, clientHeight);
    move(FScreen.left() + (FScreen.width() - width) / 2, FScreen.top());

    FFollowGeneration = true;
    FZoom = 1.0;
    FZoomStep = 0.1;
    MaskEdit1->setText(QStringLiteral("0.100"));
    FZoomStep = 0.1;
    Label7->setText(ZoomText(1.0));
    FReloadPage = true;
    FCachedPage = QPicture();
}

void TRichPreviewForm::SetZoomControlsVisible(bool visible)
{
    for (QWidget *w : {static_cast<QWidget *>(Label8), static_cast<QWidget *>(Label7),
                       static_cast<QWidget *>(Label6), static_cast<QWidget *>(MaskEdit1),
                       static_cast<QWidget *>(FZoomLine)})
        w->setVisible(visible);
    Panel1->layout()->activate();
}

void TRichPreviewForm::SetPageSize(int widthPx, int heightPx, const QPoint &printableOffset)
{
    FPageWidthPx = qMax(1, widthPx);
    FPageHeightPx = qMax(1, heightPx);
    FPrintableOffset = printableOffset;
}

// ---- Page files -----------------------------------------------------------------------------

void TRichPreviewForm::StorePage(const QPicture &page, bool /*last*/)
{
    FPages.Store(FPageIndex, page, [this] {
        QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                        QStringLiteral("Can not save the page information (MetaFiles)"),
                        QMessageBox::Ok, this);
        TDialogSeam::Exec(box);
    });
    FLastPageIndex = FPageIndex;
    ++FPageIndex;
}

// ---- Painting -------------------------------------------------------------------------------

void TRichPreviewForm::DrawRecording(QPainter &painter, const QPicture &page)
{
    // Replaying scales a recording by the device's resolution over the recording's own, and a
    // page file reads back with the screen's: the page's pixels are the printer's already.
    const QPaintDevice *device = painter.device();
    painter.save();
    if (device && device->logicalDpiX() > 0 && device->logicalDpiY() > 0)
        painter.scale(double(page.logicalDpiX()) / device->logicalDpiX(),
                      double(page.logicalDpiY()) / device->logicalDpiY());
    painter.drawPicture(0, 0, page);
    painter.restore();
}

void TRichPreviewForm::DrawPage(TPageImage &target, const QPicture &page) const
{
    target.Blank(Image1->size());
    QPainter painter(&target.Picture());
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    painter.scale(double(Image1->width()) / FPageWidthPx, double(Image1->height()) / FPageHeightPx);
    // The recording's origin is the printable area; the picture shows the whole sheet.
    painter.translate(FPrintableOffset);
    DrawRecording(painter, page);
}

TPreviewPlacement TRichPreviewForm::SecondPagePlacement() const
{
    return {QPoint(x() + FOuterWidth, y()), size(), ScrollBox1->geometry(), Image1->size(),
            Panel1->geometry()};
}

void TRichPreviewForm::FormPaint()
{
    // While the pages are laid out the first one stays in view and the count grows, so that
    // the preview does not jump back to page 1 when the layout ends.
    PaintIndex(FFollowGeneration ? 0 : FPageIndex);
}

void TRichPreviewForm::PaintIndex(int index)
{
    QPicture page;
    if (FReloadPage || FCachedPage.isNull()) {
        if (index < 0 || !FPages.Load(index, page)) {
            FGenerating = false;
            return;
        }
        FCachedPage = page;
    } else {
        if (index < 0 || !FPages.Exists(index)) {
            FGenerating = false;
            return;
        }
        page = FCachedPage;
    }
    ApplyZoom();
    const bool second = FTwoPage && FPreview2 && index % 2 == 1;
    TPageImage &target = second ? *FPreview2->Image1 : *Image1;
    DrawPage(target, page);
    const int number = index + 1;
    const QString text = QStringLiteral("%1").arg(number, 4);
    if (second)
        FPreview2->Label5->setText(text);
    else
        Edit1->setText(text);
    Label10->setText(QStringLiteral("(%1)").arg(PageCount()));
    target.update();
    FGenerating = false;
}

void TRichPreviewForm::ApplyZoom()
{
    const auto apply = [this](QScrollArea &box, TPageImage &image) {
        if (FZoom <= 1.00001)
            image.resize(box.size());
        else
            image.resize(RoundHalfEven(FZoom * ScrollBox1->width()),
                         RoundHalfEven(ScrollBox1->height() * FZoom));
    };
    apply(*ScrollBox1, *Image1);
    if (FTwoPage && FPreview2)
        apply(*FPreview2->ScrollBox1, *FPreview2->Image1);
}

void TRichPreviewForm::BlankSecond()
{
    if (!FPreview2)
        return;
    FPreview2->Image1->Blank(Image1->size());
    FPreview2->Image1->update();
}

void TRichPreviewForm::SetSecondLabelsVisible(bool visible)
{
    if (!FPreview2)
        return;
    FPreview2->Label4->setVisible(visible);
    FPreview2->Label5->setVisible(visible);
}

void TRichPreviewForm::PaintSecondOrBlank(int index)
{
    if (index <= FLastPageIndex) {
        SetSecondLabelsVisible(true);
        PaintIndex(index);
    } else {
        BlankSecond();
        SetSecondLabelsVisible(false);
    }
}

void TRichPreviewForm::SetPreviousEnabled(bool enabled)
{
    ArrowButton1->setEnabled(enabled);
    SetPreviousLabelsEnabled(enabled);
}

void TRichPreviewForm::SetNextEnabled(bool enabled)
{
    ArrowButton2->setEnabled(enabled);
    SetNextLabelsEnabled(enabled);
}

void TRichPreviewForm::SetPreviousLabelsEnabled(bool enabled)
{
    Label2->setEnabled(enabled);
    Label9->setEnabled(enabled);
}

void TRichPreviewForm::SetNextLabelsEnabled(bool enabled)
{
    Label1->setEnabled(enabled);
    Label3->setEnabled(enabled);
}

// ---- Activation -----------------------------------------------------------------------------

bool TRichPreviewForm::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(event);
}

void TRichPreviewForm::SetPaginating(bool on)
{
    FPaginating = on;
    if (!on && isActiveWindow())
        FormActivate();
}

void TRichPreviewForm::FormActivate()
{
    setFocus();
    if (FPaginating)
        return;
    if (!FGenerating) {
        Label10->show();
        FPageIndex = 0;
        FFollowGeneration = false;
        FReloadPage = true;
        SetPreviousLabelsEnabled(false);
        SetNextEnabled(true);
        FormPaint();
        if (!FTwoPage && PageCount() >= 2) {
            int left = qMax(0, RoundHalfEven((FScreen.width() - 2 * FOuterWidth) * 0.5));
            if (FScreen.width() < 2 * FOuterWidth + left) {
                left = RoundHalfEven((FScreen.width() - FOuterWidth) * 0.5);
                move(FScreen.left() + left, y());
            } else {
                move(FScreen.left() + left, y());
                FPreview2 = std::make_unique<TPreview2>(
                    *this, [this] { return SecondPagePlacement(); }, AspectRatio(), FScreen);
                FTwoPage = true;
                FPreview2->show();
                FPreview2->FormActivate();
                activateWindow();
            }
        }
        FormPaint();
        if (FTwoPage)
            PaintSecondOrBlank(FPageIndex + 1);
        setWindowTitle(QStringLiteral("Print Preview"));
    }
    Edit1->setReadOnly(PageCount() == 1);
}

// ---- Zoom -----------------------------------------------------------------------------------

void TRichPreviewForm::ShowZoom()
{
    Label7->setText(ZoomText(FZoom));
}

void TRichPreviewForm::RepaintAfterZoom()
{
    if (!FTwoPage) {
        FormPaint();
        return;
    }
    FReloadPage = true;
    PaintIndex(FPageIndex);
    if (FPageIndex + 1 <= FLastPageIndex)
        PaintIndex(FPageIndex + 1);
    else
        BlankSecond();
}

void TRichPreviewForm::SpeedButton2Click()
{
    FFollowGeneration = false;
    FReloadPage = false;
    FPageIndex = qMin(FPageIndex, FLastPageIndex);
    FZoom += FZoomStep;
    ShowZoom();
    if (FZoom > 1)
        SpeedButton3->setEnabled(true);
    RepaintAfterZoom();
}

void TRichPreviewForm::SpeedButton3Click()
{
    FFollowGeneration = false;
    FReloadPage = false;
    FPageIndex = qMin(FPageIndex, FLastPageIndex);
    FZoom -= FZoomStep;
    // Steps of 0.1 do not add up exactly: what is within a hair of 1 is 1.
    if (FZoom < 1.00001)
        FZoom = 1;
    SpeedButton3->setEnabled(FZoom != 1);
    ShowZoom();
    RepaintAfterZoom();
}

void TRichPreviewForm::Label7DblClick()
{
    FZoom = 1;
    Label7->setText(ZoomText(1.0));
    SpeedButton3->setEnabled(false);
    RepaintAfterZoom();
}

void TRichPreviewForm::Image1MouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        Label7DblClick();
}

void TRichPreviewForm::MaskEdit1Change()
{
    // An entry with blanks left in it is incomplete.
    const QString shown = MaskEdit1->displayText();
    bool ok = false;
    const double step = shown.contains(QLatin1Char('_')) ? 0 : shown.toDouble(&ok);
    FZoomStep = ok ? step : 0.1;
}

// ---- Navigation -----------------------------------------------------------------------------

void TRichPreviewForm::ArrowButton2Click()
{
    FFollowGeneration = false;
    FReloadPage = true;
    if (FTwoPage) {
        FPageIndex += 2;
        SetSecondLabelsVisible(true);
    } else {
        FPageIndex += 1;
    }
    FPageIndex = qMin(FPageIndex, FLastPageIndex);
    // The left window of a pair always shows an even index.
    if (FTwoPage && FPageIndex % 2 == 1)
        FPageIndex -= 1;
    FPageIndex = qMax(FPageIndex, 0);
    const bool atEnd =
        FPageIndex == FLastPageIndex || (FTwoPage && FPageIndex + 1 == FLastPageIndex);
    SetPreviousEnabled(true);
    SetNextEnabled(!atEnd);
    PaintIndex(FPageIndex);
    if (FTwoPage)
        PaintSecondOrBlank(FPageIndex + 1);
}

void TRichPreviewForm::ArrowButton1Click()
{
    FPageIndex = qMin(FPageIndex, FLastPageIndex);
    FFollowGeneration = false;
    FReloadPage = true;
    FPageIndex = qMax(0, FPageIndex - (FTwoPage ? 2 : 1));
    SetPreviousEnabled(FPageIndex > 0);
    SetNextEnabled(true);
    PaintIndex(FPageIndex);
    if (FTwoPage) {
        SetSecondLabelsVisible(true);
        if (FPageIndex + 1 <= FLastPageIndex)
            PaintIndex(FPageIndex + 1);
    }
}

void TRichPreviewForm::FormKeyDown(int key)
{
    FFollowGeneration = false;
    switch (key) {
    case Qt::Key_PageUp:
        ArrowButton2Click();
        break;
    case Qt::Key_PageDown:
        ArrowButton1Click();
        break;
    case Qt::Key_Home:
        FPageIndex = 0;
        FReloadPage = true;
        SetNextLabelsEnabled(true);
        SetPreviousLabelsEnabled(false);
        PaintIndex(0);
        if (FTwoPage)
            PaintSecondOrBlank(1);
        break;
    case Qt::Key_End:
        if (FLastPageIndex < 0)
            break;
        FPageIndex = FLastPageIndex;
        FReloadPage = true;
        SetNextLabelsEnabled(false);
        SetPreviousLabelsEnabled(true);
        if (!FTwoPage) {
            PaintIndex(FPageIndex);
        } else if (FLastPageIndex % 2 == 1) {
            PaintIndex(FLastPageIndex);
            PaintIndex(FLastPageIndex - 1);
            FPageIndex = FLastPageIndex - 1; // the pair's left page, as Home and typed numbers
            SetSecondLabelsVisible(true);
        } else {
            PaintIndex(FLastPageIndex);
            BlankSecond();
            SetSecondLabelsVisible(false);
        }
        break;
    case Qt::Key_Left:
        ScrollBox1->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Right:
        ScrollBox1->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_Up:
        ScrollBox1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Down:
        ScrollBox1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    default:
        break;
    }
}

void TRichPreviewForm::FormKeyPress(QChar key)
{
    switch (key.unicode()) {
    case 'L':
    case 'l':
        SpeedButton2Click();
        break;
    case 'S':
    case 's':
        SpeedButton3Click();
        break;
    case 'P':
    case 'p':
        SpeedButton1Click();
        break;
    default:
        break;
    }
}

void TRichPreviewForm::Edit1KeyUp()
{
    if (!FEdit1Edited)
        return;
    FEdit1Edited = false;
    bool ok = false;
    const int n = Edit1->text().trimmed().toInt(&ok);
    if (ok && n >= 1 && n <= PageCount()) {
        FReloadPage = true;
        if (!FTwoPage || n % 2 == 1) {
            FPageIndex = n - 1;
            PaintIndex(FPageIndex);
            if (FTwoPage)
                PaintSecondOrBlank(n);
        } else {
            FPageIndex = n - 2;
            PaintIndex(n - 2);
            SetSecondLabelsVisible(true);
            PaintIndex(n - 1);
        }
    }
    SetPreviousEnabled(FPageIndex > 0);
    SetNextEnabled(FPageIndex < FLastPageIndex);
}

void TRichPreviewForm::keyPressEvent(QKeyEvent *event)
{
    FormKeyDown(event->key());
    if (!event->text().isEmpty())
        FormKeyPress(event->text().at(0));
}

bool TRichPreviewForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label7 && event->type() == QEvent::MouseButtonDblClick) {
        Label7DblClick();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const int k = key->key();
        FormKeyDown(k);
        const bool typing = watched == Edit1 || watched == MaskEdit1;
        if (!key->text().isEmpty() && !(typing && key->text().at(0).isDigit()))
            FormKeyPress(key->text().at(0));
        // Page keys belong to the window; everything else also reaches the control.
        if (k == Qt::Key_PageUp || k == Qt::Key_PageDown || k == Qt::Key_Home || k == Qt::Key_End)
            return true;
    } else if (event->type() == QEvent::KeyRelease && watched == Edit1) {
        Edit1KeyUp();
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Printing and closing -------------------------------------------------------------------

void TRichPreviewForm::SpeedButton1Click()
{
    FFollowGeneration = false;
    FReloadPage = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    struct CursorBack
    {
        ~CursorBack() { QGuiApplication::restoreOverrideCursor(); }
    } cursorBack;

    QPrinter standIn(QPrinter::HighResolution);
    QPrinter &printer = FPrinter ? *FPrinter : standIn;
    // The range chosen here is this window's; the printer's own choice is the main window's.
    struct RangeBack
    {
        QPrinter &printer;
        QPrinter::PrintRange range = printer.printRange();
        int from = printer.fromPage();
        int to = printer.toPage();
        ~RangeBack()
        {
            printer.setPrintRange(range);
            printer.setFromTo(from, to);
        }
    } rangeBack{printer};
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, qMax(1, PageCount()));
    dialog.setFromTo(1, qMax(1, PageCount()));
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    if (TDialogSeam::Exec(dialog) != QDialog::Accepted)
        return;
    if (dialog.printRange() == QAbstractPrintDialog::PageRange) {
        FPrintFrom = dialog.fromPage();
        FPrintTo = dialog.toPage();
    } else {
        FPrintFrom = 1;
        FPrintTo = dialog.maxPage();
    }
    PrintPages(printer, TPageSelection::Of(printer));
}

void TRichPreviewForm::PrintPages(QPrinter &printer, const TPageSelection &selection)
{
    // One job for the whole range; the recordings are in the printer's pixels from the
    // printable area, so they go onto the paper exactly as printing puts them.
    QPainter painter;
    bool first = true;
    for (int run = 0; run < selection.Runs(); ++run) {
        for (int index = FPrintFrom - 1; index <= FPrintTo - 1; ++index) {
            FPageIndex = index;
            FormPaint();
            QPicture page;
            if (!FPages.Load(index, page))
                continue;
            for (int copy = 0; copy < selection.PageCopies(); ++copy) {
                if (first) {
                    if (!painter.begin(&printer))
                        throw ELinePrinter(QStringLiteral("Not be able to start the printing."));
                    first = false;
                } else {
                    errno = 0;
                    if (!printer.newPage()) {
                        const int error = errno;
                        painter.end();
                        throw ELinePrinter::OfPrinter(
                            QStringLiteral("Not be able to print a new page."), printer, error);
                    }
                }
                DrawRecording(painter, page);
            }
        }
    }
    if (!first && !painter.end())
        throw ELinePrinter(QStringLiteral("Not be able to end the printing."));
}

void TRichPreviewForm::BitBtn1Click()
{
    close();
}

void TRichPreviewForm::closeEvent(QCloseEvent *event)
{
    Image1->Blank(QSize(1, 1));
    FCachedPage = QPicture();
    FPages.DeleteAll();
    FClosed = true;
    if (FPreview2)
        FPreview2->close();
    event->accept();
}
