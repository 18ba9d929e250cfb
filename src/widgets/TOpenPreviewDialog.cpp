#include "widgets/TOpenPreviewDialog.h"

#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "widgets/FileDialogColumns.h"
#include "widgets/JpegDecoder.h"
#include "widgets/PreviewLanguage.h"
#include "widgets/TDialogSeam.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QSoundEffect>
#include <QStackedWidget>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

const QStringList TextExtensions = {"txt", "rtf", "ini", "inf", "tem",
                                    "bat", "log", "pas", "xpr", "xpk"};

// The glyphs of the caption bar's buttons, drawn in code.
QIcon Glyph(const QString &name)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 30, 30), 1.2));
    if (name == QLatin1String("SHOWPREVIEWBUTTON")) {
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(1.5, 4.5, 13, 7));
        p.setBrush(QColor(30, 60, 160));
        p.drawEllipse(QRectF(5.5, 5.5, 5, 5));
    } else if (name == QLatin1String("SCALEBUTTON")) {
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(QColor(60, 140, 60));
        p.drawRect(QRectF(5.5, 5.5, 5, 5));
        p.drawLine(QPointF(2, 2), QPointF(5, 5));
        p.drawLine(QPointF(14, 14), QPointF(11, 11));
    } else { // WORDWRAPBUTTON
        p.drawLine(QPointF(1.5, 3.5), QPointF(14.5, 3.5));
        p.drawLine(QPointF(1.5, 7.5), QPointF(12.5, 7.5));
        p.drawArc(QRectF(9.5, 7.5, 5, 5), -90 * 16, 180 * 16);
        p.drawLine(QPointF(12, 12.5), QPointF(7.5, 12.5));
        p.drawLine(QPointF(7.5, 12.5), QPointF(9.5, 10.5));
        p.drawLine(QPointF(7.5, 12.5), QPointF(9.5, 14.5));
    }
    return QIcon(pixmap);
}

QToolButton *NewToggle(QWidget *parent, const QString &name, const QString &glyph)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setFixedSize(22, 22);
    button->setIcon(Glyph(glyph));
    button->setProperty("glyph", glyph);
    return button;
}

bool HasWildcards(const QString &name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

} // namespace

TOpenPreviewDialog::TOpenPreviewDialog(QWidget *parent)
    : QFileDialog(parent), FTitles{QStringLiteral("Default=")},
      FPreviewCaptions(PreviewLanguage::DefaultPreviewCaptions()),
      FNoPreviewTexts(PreviewLanguage::DefaultNoPreviewTexts()),
      FScaleHints(PreviewLanguage::DefaultScaleHints()),
      FWordWrapHints(PreviewLanguage::DefaultWordWrapHints()),
      FShowPreviewButtonHints(PreviewLanguage::DefaultShowPreviewButtonHints())
{
    setObjectName(QStringLiteral("OpenPreviewDialog"));
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    CreatePreviewArea();
    FitFileDialogColumns(*this);
    SetLanguageId(PreviewLanguage::LanguageId(QLocale::system()));
    connect(this, &QFileDialog::currentChanged, this, &TOpenPreviewDialog::PreviewFile);
}

TOpenPreviewDialog::~TOpenPreviewDialog()
{
    StopSound();
}

void TOpenPreviewDialog::CreatePreviewArea()
{
    FPreviewArea = new QWidget(this);
    FPreviewArea->setObjectName(QStringLiteral("PreviewArea"));
    FPreviewArea->setMinimumWidth(220);
    auto *column = new QVBoxLayout(FPreviewArea);
    column->setContentsMargins(8, 0, 0, 0);
    column->setSpacing(1);

    FCaptionPanel = new QLabel(FPreviewArea);
    FCaptionPanel->setObjectName(QStringLiteral("CaptionPanel"));
    FCaptionPanel->setAlignment(Qt::AlignCenter);
    FCaptionPanel->setFixedHeight(32);
    auto *bar = new QHBoxLayout(FCaptionPanel);
    bar->setContentsMargins(0, 0, 0, 0);
    FShowPreviewButton =
        NewToggle(FCaptionPanel, QStringLiteral("FShowPreviewButton"), "SHOWPREVIEWBUTTON");
    FWordWrapButton = NewToggle(FCaptionPanel, QStringLiteral("FWordWrapButton"), "SCALEBUTTON");
    bar->addWidget(FShowPreviewButton, 0, Qt::AlignVCenter);
    bar->addStretch();
    bar->addWidget(FWordWrapButton, 0, Qt::AlignVCenter);
    column->addWidget(FCaptionPanel);

    FPreviewBox = new QScrollArea(FPreviewArea);
    FPreviewBox->setObjectName(QStringLiteral("PreviewBox"));
    FPreviewBox->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    FPreviewBox->setWidgetResizable(true);
    FPreviewBox->setBackgroundRole(QPalette::Button);
    FStack = new QStackedWidget;
    FPreviewText = new TRichEditEx(FStack);
    FPreviewText->setObjectName(QStringLiteral("FPreviewText"));
    FStack->addWidget(FPreviewText);
    FPreviewBox->setWidget(FStack);
    FPreviewBox->viewport()->installEventFilter(this);
    column->addWidget(FPreviewBox, 1);
    NewPictureControl();
    ResetTextControl();

    FReadOnlyCheck = new QCheckBox(QStringLiteral("Open as &read-only"), this);
    FReadOnlyCheck->setObjectName(QStringLiteral("ReadOnlyCheck"));

    if (auto *grid = qobject_cast<QGridLayout *>(layout())) {
        const int rows = grid->rowCount();
        const int columns = grid->columnCount();
        grid->addWidget(FPreviewArea, 0, columns, rows, 1);
        grid->addWidget(FReadOnlyCheck, rows, 0, 1, columns);
        grid->setColumnStretch(columns, 1);
    } else {
        // Not the usual layout: the preview goes below the dialog's own controls.
        auto *box = qobject_cast<QBoxLayout *>(layout());
        if (box) {
            box->addWidget(FPreviewArea);
            box->addWidget(FReadOnlyCheck);
        }
    }

    connect(FShowPreviewButton, &QToolButton::clicked, this, [this](bool down) {
        FShowPreview = down;
        PreviewFile(FCurrentPath);
    });
    connect(FWordWrapButton, &QToolButton::clicked, this, [this](bool down) {
        FWordWrapAndScale = down;
        ApplyWordWrapAndScale();
    });
    FShowPreviewButton->setChecked(FShowPreview);
    FWordWrapButton->setChecked(FWordWrapAndScale);
    resize(std::max(width(), 820), std::max(height(), 420));
}

bool TOpenPreviewDialog::Execute()
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    const QString title = Localized(FTitles);
    if (!title.isEmpty())
        setWindowTitle(title);
    if (!FFileName.isEmpty() && !HasWildcards(FFileName))
        selectFile(FFileName);
    if (TDialogSeam::Exec(*this) != QDialog::Accepted || selectedFiles().isEmpty())
        return false;
    FFileName = selectedFiles().first();
    return true;
}

void TOpenPreviewDialog::SetFileName(const QString &value)
{
    FFileName = value;
    if (HasWildcards(value)) {
        setNameFilter(value);
        // The name box shows the mask, not a file of another kind chosen before, so that
        // Enter cannot open that file.
        if (auto *nameBox = findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            nameBox->setText(value);
    } else {
        setNameFilter(QStringLiteral("*"));
        if (!value.isEmpty())
            selectFile(value);
    }
}

bool TOpenPreviewDialog::OpenReadOnly() const
{
    return FReadOnlyCheck->isChecked();
}

void TOpenPreviewDialog::SetOpenReadOnly(bool value)
{
    FReadOnlyCheck->setChecked(value);
}

void TOpenPreviewDialog::SetPreviewCaptions(const QStringList &value)
{
    FPreviewCaptions = value;
    FCaptionPanel->setText(Localized(FPreviewCaptions));
}

void TOpenPreviewDialog::SetShowPreviewButtonHints(const QStringList &value)
{
    FShowPreviewButtonHints = value;
    FShowPreviewButton->setToolTip(Localized(FShowPreviewButtonHints));
}

void TOpenPreviewDialog::SetShowPreview(bool value)
{
    if (value == FShowPreview)
        return;
    FShowPreview = value;
    FShowPreviewButton->setChecked(value);
}

void TOpenPreviewDialog::SetWordWrapAndScale(bool value)
{
    if (value == FWordWrapAndScale)
        return;
    FWordWrapAndScale = value;
    FWordWrapButton->setChecked(value);
}

void TOpenPreviewDialog::SetLanguageId(quint16 value)
{
    FLanguageId = value;
    FKey1 = PreviewLanguage::FullKey(value);
    FKey2 = PreviewLanguage::PrimaryKey(value);
    UpdateTexts();
}

QString TOpenPreviewDialog::Localized(const QStringList &list) const
{
    return PreviewLanguage::Lookup(list, FKey1, FKey2);
}

void TOpenPreviewDialog::UpdateTexts()
{
    FCaptionPanel->setText(Localized(FPreviewCaptions));
    FShowPreviewButton->setToolTip(Localized(FShowPreviewButtonHints));
    FWordWrapButton->setToolTip(Localized(PictureShown() ? FScaleHints : FWordWrapHints));
}

QStringList TOpenPreviewDialog::PictureExtensions()
{
    QStringList extensions = {"bmp", "ico", "emf", "wmf", "jpg", "jpeg"};
    for (const QByteArray &format : QImageReader::supportedImageFormats()) {
        const QString ext = QString::fromLatin1(format).toLower();
        if (!extensions.contains(ext))
            extensions << ext;
    }
    return extensions;
}

QStringList TOpenPreviewDialog::PreviewableExtensions()
{
    return PictureExtensions() + TextExtensions + QStringList{QStringLiteral("wav")};
}

QSize TOpenPreviewDialog::ShownSize(const QSize &box, const QSize &picture, bool scale)
{
    const int w = picture.width();
    const int h = picture.height();
    const int W = box.width();
    const int H = box.height();
    if (!scale || w <= 0 || h <= 0 || W <= 0 || H <= 0 || (W >= w && H >= h))
        return picture;
    const double r = double(h) / double(w);
    if (r >= double(H) / double(W))
        return QSize(int(H / r), H);
    return QSize(W, int(r * W));
}

bool TOpenPreviewDialog::PictureShown() const
{
    return FStack->currentWidget() == FPreviewImage;
}

void TOpenPreviewDialog::NewPictureControl()
{
    if (FPreviewImage) {
        FStack->removeWidget(FPreviewImage);
        delete FPreviewImage;
    }
    FPicture = QImage();
    FShownPictureSize = QSize();
    FPreviewImage = new QLabel(FStack);
    FPreviewImage->setObjectName(QStringLiteral("FPreviewImage"));
    FPreviewImage->setAlignment(Qt::AlignCenter);
    FPreviewImage->setAutoFillBackground(true);
    FPreviewImage->setBackgroundRole(QPalette::Base);
    FStack->addWidget(FPreviewImage);
}

void TOpenPreviewDialog::ResetTextControl()
{
    FPreviewText->SetReadOnly(true);
    FPreviewText->SetWantReturns(false);
    FPreviewText->SetScrollBars(TScrollStyle::ssBoth);
    FPreviewText->setFrameStyle(QFrame::NoFrame);
    FPreviewText->setAlignment(Qt::AlignLeft);
    FPreviewText->Lines().ClearLines();
}

void TOpenPreviewDialog::SetPreviewPicture(const QImage &picture)
{
    FPicture = picture;
}

bool TOpenPreviewDialog::LoadPreview(const QString &path, const QString &ext)
{
    if (FCustomPreviewExtensions.contains(ext) && OnPreview) {
        OnPreview(*this, ext);
        return true;
    }
    if (!PreviewableExtensions().contains(ext)) {
        const QString type = QMimeDatabase().mimeTypeForFile(path).comment().trimmed();
        if (!type.isEmpty())
            FPreviewText->setPlainText(type);
        return true;
    }
    if (PictureExtensions().contains(ext)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray data = file.readAll();
        const QImage picture = ext == QLatin1String("jpg") || ext == QLatin1String("jpeg")
                                   ? DecodeJpeg(data)
                                   : QImage::fromData(data);
        if (picture.isNull())
            return false;
        FPicture = picture;
        return true;
    }
    if (TextExtensions.contains(ext)) {
        FPreviewText->Lines().LoadFile(path);
        return true;
    }
    // Wave files.
    FPreviewText->setPlainText(QMimeDatabase().mimeTypeForFile(path).comment().trimmed());
    PlaySound(path);
    return true;
}

void TOpenPreviewDialog::PreviewFile(const QString &path)
{
    FCurrentPath = path;
    StopSound();
    NewPictureControl();
    ResetTextControl();
    const QFileInfo info(path);
    const QString ext = info.suffix().toLower();
    bool previewed = false;
    if (info.isFile() && FShowPreviewButton->isChecked()) {
        try {
            previewed = LoadPreview(path, ext);
        } catch (...) {
            // A file that cannot be previewed shows the no-preview text.
            previewed = false;
        }
    }
    if (!previewed) {
        FPicture = QImage();
        FPreviewText->Lines().ClearLines();
        FPreviewText->setPlainText(Localized(FNoPreviewTexts));
    }
    if (FPreviewText->Lines().LineCount() == 0) {
        FStack->setCurrentWidget(FPreviewImage);
        FWordWrapButton->setToolTip(Localized(FScaleHints));
        FWordWrapButton->setIcon(Glyph(QStringLiteral("SCALEBUTTON")));
        FWordWrapButton->setProperty("glyph", QStringLiteral("SCALEBUTTON"));
    } else {
        FStack->setCurrentWidget(FPreviewText);
        FWordWrapButton->setToolTip(Localized(FWordWrapHints));
        FWordWrapButton->setIcon(Glyph(QStringLiteral("WORDWRAPBUTTON")));
        FWordWrapButton->setProperty("glyph", QStringLiteral("WORDWRAPBUTTON"));
    }
    ApplyWordWrapAndScale();
    FCaptionPanel->setText(Localized(FPreviewCaptions));
}

void TOpenPreviewDialog::ApplyWordWrapAndScale()
{
    const bool down = FWordWrapButton->isChecked();
    if (!PictureShown()) {
        FStack->setMinimumSize(0, 0);
        FPreviewText->SetWordWrap(down);
        return;
    }
    const QSize box = FPreviewBox->maximumViewportSize();
    FShownPictureSize = ShownSize(box, FPicture.size(), down);
    if (FPicture.isNull()) {
        FPreviewImage->clear();
        FStack->setMinimumSize(0, 0);
        return;
    }
    QPixmap pixmap = QPixmap::fromImage(FPicture);
    if (FShownPictureSize != FPicture.size())
        pixmap = pixmap.scaled(FShownPictureSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    FPreviewImage->setPixmap(pixmap);
    // A picture larger than the box keeps its size and the box scrolls over it.
    const bool larger =
        FShownPictureSize.width() > box.width() || FShownPictureSize.height() > box.height();
    FStack->setMinimumSize(larger ? FShownPictureSize : QSize(0, 0));
}

void TOpenPreviewDialog::PlaySound(const QString &path)
{
    if (!FSound)
        FSound = std::make_unique<QSoundEffect>();
    FSound->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    FSound->play();
    FPlayingSound = path;
}

void TOpenPreviewDialog::StopSound()
{
    if (FSound) {
        FSound->stop();
        FSound->setSource(QUrl());
    }
    FPlayingSound.clear();
}

void TOpenPreviewDialog::done(int result)
{
    QToolTip::hideText();
    StopSound();
    QFileDialog::done(result);
}

void TOpenPreviewDialog::showEvent(QShowEvent *event)
{
    QFileDialog::showEvent(event);
    const QStringList selected = selectedFiles();
    PreviewFile(selected.isEmpty() ? QString() : selected.first());
}

bool TOpenPreviewDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FPreviewBox->viewport() && event->type() == QEvent::Resize && PictureShown() &&
        !FPicture.isNull()) {
        const QSize box = FPreviewBox->maximumViewportSize();
        if (ShownSize(box, FPicture.size(), FWordWrapButton->isChecked()) != FShownPictureSize)
            ApplyWordWrapAndScale();
    }
    return QFileDialog::eventFilter(watched, event);
}
