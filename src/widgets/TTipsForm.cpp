#include "widgets/TTipsForm.h"

#include <QBitmap>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>

namespace {

// A small light bulb on a magenta ground; magenta, the colour of the bottom-left pixel,
// is the picture's transparent colour.
QImage BulbImage()
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 90, 0), 1.5));
    p.setBrush(QColor(255, 230, 60));
    p.drawEllipse(QRectF(9, 3, 22, 22));
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(QRectF(15, 24, 10, 9));
    p.drawLine(QPointF(15, 27), QPointF(25, 27));
    p.drawLine(QPointF(15, 30), QPointF(25, 30));
    p.setPen(QPen(QColor(255, 255, 255), 2));
    p.drawArc(QRectF(13, 7, 10, 10), 90 * 16, 90 * 16);
    return image;
}

} // namespace

TTipsForm::TTipsForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TipsForm"));
    setFixedSize(432, 222);
    QFont formFont(QStringLiteral("MS Sans Serif"));
    formFont.setPixelSize(11);
    setFont(formFont);

    TipPanel = new QFrame(this);
    TipPanel->setObjectName(QStringLiteral("TipPanel"));
    TipPanel->setGeometry(4, 5, 327, 189);
    TipPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    TipPanel->setLineWidth(2);
    TipPanel->setAutoFillBackground(true);

    Image1 = new QLabel(TipPanel);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->move(10, 12);
    TipTitleLbl = new QLabel(TipPanel);
    TipTitleLbl->setObjectName(QStringLiteral("TipTitleLbl"));
    TipTitleLbl->move(62, 24);
    TipLbl = new QLabel(TipPanel);
    TipLbl->setObjectName(QStringLiteral("TipLbl"));
    TipLbl->setGeometry(63, 51, 252, 127);
    TipLbl->setWordWrap(true);
    TipLbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    TipLbl->setTextFormat(Qt::PlainText);

    ShowChk = new QCheckBox(QStringLiteral(" &Show tips at startup"), this);
    ShowChk->setObjectName(QStringLiteral("ShowChk"));
    ShowChk->setGeometry(5, 200, 310, 17);
    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(339, 5, 89, 25);
    OKBtn->setDefault(true);
    NextBtn = new QPushButton(QStringLiteral("&Next Tip"), this);
    NextBtn->setObjectName(QStringLiteral("NextBtn"));
    NextBtn->setGeometry(338, 38, 89, 25);
    PrevBtn = new QPushButton(QStringLiteral("&Previous Tip"), this);
    PrevBtn->setObjectName(QStringLiteral("PrevBtn"));
    PrevBtn->setGeometry(338, 65, 89, 25);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(NextBtn, &QPushButton::clicked, this, &TTipsForm::NextBtnClick);
    connect(PrevBtn, &QPushButton::clicked, this, &TTipsForm::PrevBtnClick);
}

QString TTipsForm::TipText(const QString &tip, const QString &substitute)
{
    if (substitute.isEmpty())
        return tip;
    QString text = tip;
    return text.replace(substitute, QStringLiteral("\n"));
}

QPixmap TTipsForm::TipPicture(const QColor &background)
{
    const QImage bulb = BulbImage();
    const QColor transparent = bulb.pixelColor(0, bulb.height() - 1);
    QImage picture(bulb.size(), QImage::Format_RGB32);
    picture.fill(background);
    QPainter painter(&picture);
    QPixmap glyph = QPixmap::fromImage(bulb);
    glyph.setMask(QBitmap::fromImage(bulb.createMaskFromColor(transparent.rgb(), Qt::MaskInColor)));
    painter.drawPixmap(0, 0, glyph);
    painter.end();
    return QPixmap::fromImage(picture);
}

void TTipsForm::Prepare(const Setup &setup)
{
    QPalette panel = TipPanel->palette();
    panel.setColor(QPalette::Window, setup.PanelColor);
    TipPanel->setPalette(panel);
    Image1->setPixmap(TipPicture(setup.PanelColor));
    Image1->resize(Image1->pixmap().size());

    setWindowTitle(setup.Caption.isEmpty() ? QStringLiteral("Tip of the day") : setup.Caption);
    TipTitleLbl->setText(setup.Title.isEmpty() ? QStringLiteral("Did you know...") : setup.Title);
    TipTitleLbl->setFont(setup.TitleFont);
    QPalette title = TipTitleLbl->palette();
    title.setColor(QPalette::WindowText, setup.TitleColor);
    TipTitleLbl->setPalette(title);
    TipTitleLbl->adjustSize();
    TipLbl->setFont(setup.TipFont);
    QPalette tip = TipLbl->palette();
    tip.setColor(QPalette::WindowText, setup.TipColor);
    TipLbl->setPalette(tip);
    ShowChk->setChecked(setup.ShowAtStartup);

    FSubstitute = setup.CRLFSubstitute;
    FTips = setup.Tips;
    FRandom = setup.RandomTips;
    PrevBtn->setVisible(!FRandom);

    if (FTips.isEmpty()) {
        FIndex = -1;
        TipLbl->clear();
        NextBtn->setEnabled(false);
        PrevBtn->setEnabled(false);
        return;
    }
    NextBtn->setEnabled(true);
    PrevBtn->setEnabled(true);
    FIndex = FRandom && FTips.size() > 1
                 ? int(QRandomGenerator::global()->bounded(qsizetype(FTips.size() - 1)))
                 : -1;
    NextBtnClick();
}

void TTipsForm::NextBtnClick()
{
    const int count = int(FTips.size());
    if (count == 0)
        return;
    if (FRandom) {
        int r = count > 1 ? int(QRandomGenerator::global()->bounded(count - 1)) : 0;
        if (r == FIndex && count >= 2)
            ++r;
        FIndex = r;
    } else {
        FIndex = FIndex + 1 < count ? FIndex + 1 : 0;
    }
    ShowTip();
}

void TTipsForm::PrevBtnClick()
{
    const int count = int(FTips.size());
    if (count == 0)
        return;
    FIndex = FIndex > 0 ? FIndex - 1 : count - 1;
    ShowTip();
}

void TTipsForm::ShowTip()
{
    TipLbl->setText(TipText(FTips.value(FIndex), FSubstitute));
}
