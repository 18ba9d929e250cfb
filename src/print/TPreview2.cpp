#include "print/TPreview2.h"

#include "print/ColumnPrinting.h"
#include "print/TPageImage.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>

#include <utility>

TPreview2::TPreview2(QWidget &preview, TPlacementSource placement, double aspectRatio,
                     const QRect &screen)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      FPreview(preview), FPlacement(std::move(placement))
{
    setObjectName(QStringLiteral("Preview2"));
    setWindowTitle(QStringLiteral("next page"));
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    Image1 = new TPageImage;
    Image1->setObjectName(QStringLiteral("Image1"));
    ScrollBox1->setWidget(Image1);
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Label4 = new QLabel(QStringLiteral("Page number:"), Panel1);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->move(11, 12);
    Label5 = new QLabel(Panel1);
    Label5->setObjectName(QStringLiteral("Label5"));
    // Beside its caption, however wide the program's font makes that.
    Label5->move(qMax(86, Label4->x() + Label4->sizeHint().width() + 4), 9);
    Label5->setToolTip(QStringLiteral("Actual page number (second window)"));
    QFont bold = Label5->font();
    bold.setBold(true);
    bold.setPixelSize(13);
    Label5->setFont(bold);
    Label5->setAutoFillBackground(true);
    QPalette teal = Label5->palette();
    teal.setColor(QPalette::Window, QColor(0, 128, 128));
    Label5->setPalette(teal);
    Label5->resize(qMax(40, Label5->fontMetrics().horizontalAdvance(QStringLiteral("00000"))), 18);

    // The same sizing as the preview window, except that a narrow window widens to hold
    // the whole panel instead of hiding controls.
    const double ratio = aspectRatio;
    const int height = RoundHalfEven(screen.height() * 0.95);
    const int clientHeight = height - 27;
    const double imageHeight = clientHeight * 0.98 - 71;
    FPageImageWidth = RoundHalfEven(ratio > 0 ? imageHeight / ratio : imageHeight * 0.707);
    if (RoundHalfEven(FPageImageWidth * 1.0204) > screen.width())
        FPageImageWidth = RoundHalfEven(screen.width() * 0.98);
    int width = RoundHalfEven(FPageImageWidth * 1.0204);
    int clientWidth = width - 8;
    if (clientWidth < RoundHalfEven(clientWidth * 0.02) + 395) {
        width = RoundHalfEven((clientWidth * 0.02 + 395) * 1.0204);
        clientWidth = width - 8;
    }
    const QRect imageBounds(RoundHalfEven(clientWidth * 0.01), RoundHalfEven(clientHeight * 0.01),
                            RoundHalfEven(clientWidth * 0.98),
                            RoundHalfEven(clientHeight * 0.98) - 71);
    ScrollBox1->setGeometry(imageBounds);
    Image1->setGeometry(0, 0, imageBounds.width(), imageBounds.height());
    Image1->Blank(Image1->size());
    Panel1->setGeometry(imageBounds.left(), imageBounds.bottom() + 1, imageBounds.width(), 71);
    resize(clientWidth, clientHeight);
    move(screen.center() - QPoint(width / 2, height / 2));
}

bool TPreview2::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(event);
}

void TPreview2::FormActivate()
{
    const TPreviewPlacement placement = FPlacement();
    move(placement.Position);
    setFixedSize(placement.Size);
    ScrollBox1->setGeometry(placement.ScrollBounds);
    Image1->resize(placement.ImageSize);
    Panel1->setGeometry(placement.PanelBounds.x(), placement.PanelBounds.y(),
                        placement.PanelBounds.width(), Panel1->height());
}

void TPreview2::keyPressEvent(QKeyEvent *event)
{
    // All keyboard commands act in the preview window.
    FPreview.activateWindow();
    FPreview.setFocus();
    event->accept();
}
