#include "app/TDialogForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <qdrawutil.h>

#include <algorithm>

namespace {
// The window frame and title bar that the sizes allow for around the client area.
constexpr int FrameWidth = 3;
constexpr int TitleHeight = 18;
constexpr int Margin = 10;

QRect ScreenRect()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 640, 480);
}

QString WithoutAmpersands(QString caption)
{
    return caption.remove('&');
}
} // namespace

TDialogForm::TDialogForm(const TMsgBoxSettings &settings, const QString &caption, QChar icon,
                         const QString &message, const QString &buttons, TMode mode,
                         const QString &inputText, QWidget *parent)
    : QDialog(parent), FSettings(settings), FInputMode(mode == TMode::Input)
{
    if (FSettings.WorkArea.isEmpty())
        FSettings.WorkArea = ScreenRect();
    FCaption = caption.trimmed().isEmpty() ? FSettings.DefaultCaption : caption.trimmed();
    FMessage = PrepareMessage(message);
    const QString prepared = PrepareButtons(FInputMode ? QStringLiteral("&OK &Cancel") : buttons);
    FButtonCaptions = prepared.split(' ').mid(0, MaxButtons);

    setFont(FSettings.FontOverride ? *FSettings.FontOverride : DialogFont());
    setWindowTitle(FCaption);
    ApplyCaptionStyle();
    ApplyColours();
    ChooseIcon(icon);
    LoadPicture();
    CreateControls(inputText);
    Measure();
    LayOut();
}

QString TDialogForm::PrepareButtons(const QString &buttons)
{
    QString prepared = buttons;
    while (prepared.contains(QLatin1String("  ")))
        prepared.replace(QLatin1String("  "), QLatin1String(" "));
    prepared = prepared.trimmed();
    return prepared.isEmpty() ? QStringLiteral("&OK") : prepared;
}

QString TDialogForm::PrepareMessage(const QString &message)
{
    QString prepared = message;
    const int centre = prepared.indexOf(QLatin1String(" CENTERTEXT"), 0, Qt::CaseInsensitive);
    if (centre >= 0)
        prepared.remove(centre, 11);
    prepared.replace(QLatin1String("\r\n"), QLatin1String(";"));
    prepared.replace(QLatin1String("\n\r"), QLatin1String(";"));
    prepared.replace('\n', ';');
    prepared.replace('\r', ';');
    return prepared;
}

QChar TDialogForm::Accelerator(const QString &caption)
{
    const int ampersand = caption.indexOf('&');
    if (ampersand >= 0 && ampersand + 1 < caption.size())
        return caption.at(ampersand + 1).toUpper();
    return caption.isEmpty() ? QChar() : caption.at(0).toUpper();
}

QFont TDialogForm::DialogFont()
{
    // The system font of the box's design: a bold sans-serif face 11 pixels high.
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    font.setBold(true);
    return font;
}

QString TDialogForm::InputText() const
{
    return FEdit ? FEdit->text() : QString();
}

void TDialogForm::BeepIfWanted() const
{
    // The desktop offers one beep for all the types.
    if (FSettings.BeepOnShow)
        QApplication::beep();
}

QChar TDialogForm::ResultLetter(int result) const
{
    if (result < 1 || result > FButtonCaptions.size())
        return QChar();
    return Accelerator(FButtonCaptions.at(result - 1));
}

void TDialogForm::HandleEnterKey()
{
    if (!FButtons.isEmpty())
        FButtons.first()->click();
}

void TDialogForm::reject() {}

void TDialogForm::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

void TDialogForm::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    if (!FCaption.isEmpty())
        return;
    // Without a title bar the window manager draws nothing around the box: draw its frame.
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), false);
}

void TDialogForm::ApplyCaptionStyle()
{
    if (FCaption.isEmpty())
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    else
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

void TDialogForm::ApplyColours()
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, FSettings.DialogColor);
    colours.setColor(QPalette::WindowText, FSettings.TextColor);
    setPalette(colours);
    setAutoFillBackground(true);
}

void TDialogForm::ChooseIcon(QChar letter)
{
    QIcon icon;
    switch (letter.toUpper().unicode()) {
    case '!':
        icon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
        FBeep = ExclamationBeep;
        break;
    case '?':
        icon = style()->standardIcon(QStyle::SP_MessageBoxQuestion);
        FBeep = QuestionBeep;
        break;
    case 'A':
        icon = QApplication::windowIcon();
        if (icon.isNull())
            icon = style()->standardIcon(QStyle::SP_DesktopIcon);
        FBeep = SimpleBeep;
        break;
    case 'H':
        icon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
        FBeep = HandBeep;
        break;
    case 'I':
        icon = style()->standardIcon(QStyle::SP_MessageBoxInformation);
        FBeep = AsteriskBeep;
        break;
    default:
        FBeep = SimpleBeep;
        return;
    }
    FHasIcon = true;
    FIconLabel = new QLabel(this);
    FIconLabel->setObjectName(QStringLiteral("Icon"));
    FIconLabel->setPixmap(icon.pixmap(IconWidth, IconWidth));
}

void TDialogForm::LoadPicture()
{
    if (FSettings.PictureFileName.isEmpty() || !FPicture.load(FSettings.PictureFileName)) {
        FPicture = QPixmap();
        return;
    }
    FPictureLabel = new QLabel(this);
    FPictureLabel->setObjectName(QStringLiteral("Picture"));
    FPictureLabel->setPixmap(FPicture);
}

void TDialogForm::CreateControls(const QString &inputText)
{
    FMessageLabel = new QLabel(this);
    FMessageLabel->setObjectName(QStringLiteral("Message"));
    FMessageLabel->setTextFormat(Qt::PlainText);
    FMessageLabel->setWordWrap(true);
    FMessageLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FMessageLabel->setText(QString(FMessage).replace(';', '\n'));

    if (FInputMode) {
        FEdit = new QLineEdit(this);
        FEdit->setObjectName(QStringLiteral("Edit"));
        FEdit->setText(inputText);
        connect(FEdit, &QLineEdit::returnPressed, this, &TDialogForm::HandleEnterKey);
    }

    QPalette buttonColours = palette();
    buttonColours.setColor(QPalette::ButtonText, FSettings.ButtonTextColor);
    for (int i = 0; i < FButtonCaptions.size(); ++i) {
        auto *button = new QPushButton(FButtonCaptions.at(i), this);
        button->setObjectName(QStringLiteral("button%1").arg(i + 1));
        button->setPalette(buttonColours);
        // In input mode Enter belongs to the edit line, which presses the first button.
        button->setAutoDefault(!FInputMode);
        const int result = i + 1;
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        FButtons.append(button);
    }
    if (FEdit)
        FEdit->setFocus();
    else if (!FButtons.isEmpty())
        FButtons.first()->setFocus();
}

void TDialogForm::Measure()
{
    const QFontMetrics metrics(font());
    const QRect work = FSettings.WorkArea;
    const int iconWidth = FHasIcon ? IconWidth : 0;
    const int pictureWidth = FPicture.isNull() ? 0 : FPicture.width();
    const int pictureHeight = FPicture.isNull() ? 0 : FPicture.height();

    FMessageWidth = 0;
    for (const QString &line : FMessage.left(MeasuredLength).split(';'))
        FMessageWidth =
            std::max(FMessageWidth,
                     metrics.horizontalAdvance(QLatin1String("  ") + line + QLatin1String("  ")));
    const int cap = work.width() - ((FHasIcon ? iconWidth + 20 : 10) +
                                    (pictureWidth > 0 ? pictureWidth + 10 : 0) + 10);
    FMessageWidth = std::max(0, std::min(FMessageWidth, cap));

    FButtonWidth = 0;
    for (const QString &caption : FButtonCaptions)
        FButtonWidth = std::max(FButtonWidth, metrics.horizontalAdvance(QLatin1Char('W') +
                                                                        WithoutAmpersands(caption) +
                                                                        QLatin1String(" W")));
    FButtonHeight = metrics.height() + 10;
    const int rowWidth = int((FButtonWidth + Margin) * FButtonCaptions.size()) - Margin;
    FEditHeight = FInputMode ? metrics.height() + 8 : 0;

    const int contentWidth = FMessageWidth + (FHasIcon ? iconWidth + Margin : 0) +
                             (pictureWidth > 0 ? pictureWidth + Margin : 0);
    FClientWidth = std::max(metrics.horizontalAdvance(FCaption), contentWidth);
    FClientWidth = std::max(FClientWidth + 2 * FrameWidth, rowWidth) + 20;
    if (FClientWidth + 2 * FrameWidth > work.width())
        FClientWidth = work.width() - 2 * FrameWidth;

    // The label stays left of the picture and inside the box, which a message as wide as the
    // screen allows would leave.
    FLabelLeft = std::max(iconWidth + 20, (FClientWidth - FMessageWidth) / 2);
    const int rightEdge = FClientWidth - Margin - (pictureWidth > 0 ? pictureWidth + Margin : 0);
    FLabelWidth = std::max(1, std::min(FMessageWidth, rightEdge - FLabelLeft));
    FMessageHeight =
        metrics.height() * (FMessage.count(';') + FMessage.count(QLatin1String("\r\n")) + 1);
    // Lines wider than the label wrap: those past the measured characters, and all of them on a
    // narrow screen. The box makes room for what the label needs at the width it gets.
    FMessageHeight = std::max(FMessageHeight, LabelHeight(FLabelWidth));

    FClientHeight = std::max({FMessageHeight, iconWidth, pictureHeight}) + FButtonHeight + 30;
    if (FInputMode)
        FClientHeight += FEditHeight + Margin;
    const int frameHeight = 2 * FrameWidth + (FCaption.isEmpty() ? 0 : TitleHeight);
    if (FClientHeight + frameHeight > work.height() && work.height() == ScreenRect().height())
        FClientHeight = work.height() - frameHeight;
}

int TDialogForm::LabelHeight(int width) const
{
    // The label's own measure, in the font it draws with, of the text it shows.
    return std::max(0, FMessageLabel->heightForWidth(std::max(1, width)));
}

void TDialogForm::LayOut()
{
    const QFontMetrics metrics(font());
    const QRect fitted = metrics.boundingRect(
        QRect(FLabelLeft, Margin, FLabelWidth, FMessageHeight),
        Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, FMessageLabel->text());
    const int width = std::min(fitted.width() + 1, FLabelWidth);
    FMessageLabel->setGeometry(FLabelLeft, Margin, width,
                               std::max(fitted.height(), LabelHeight(width)));

    if (FIconLabel)
        FIconLabel->setGeometry(Margin, Margin, IconWidth, IconWidth);
    if (FPictureLabel)
        FPictureLabel->setGeometry(FClientWidth - FPicture.width() - Margin, Margin,
                                   FPicture.width(), FPicture.height());

    const int rowWidth = int((FButtonWidth + Margin) * FButtons.size()) - Margin;
    const int top = FClientHeight - FButtonHeight - Margin;
    int x = (FClientWidth - rowWidth) / 2;
    for (QPushButton *button : FButtons) {
        button->setGeometry(x, top, FButtonWidth, FButtonHeight);
        x += FButtonWidth + Margin;
    }
    if (FEdit)
        FEdit->setGeometry(Margin, top - Margin - FEditHeight, FClientWidth - 2 * Margin,
                           FEditHeight);

    setFixedSize(FClientWidth, FClientHeight);
    const QRect work = FSettings.WorkArea;
    const int outerWidth = FClientWidth + 2 * FrameWidth;
    const int outerHeight = FClientHeight + 2 * FrameWidth + (FCaption.isEmpty() ? 0 : TitleHeight);
    move(work.left() + (work.width() - outerWidth) / 2,
         work.top() + (work.height() - outerHeight) / 2);
}
