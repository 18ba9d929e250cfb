#include "widgets/TAboutBox.h"

#include "widgets/MemoryStatus.h"
#include "widgets/ProgramPicture.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

QLabel *NewLabel(QWidget *parent, const QString &text, int left, int top,
                 const QColor &color = QColor())
{
    auto *label = new QLabel(text, parent);
    label->move(left, top);
    if (color.isValid()) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, color);
        label->setPalette(p);
    }
    label->adjustSize();
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(357, 243);
    QFont formFont;
    // Liberation Sans keeps the narrow metrics the layout was made for where the named font is
    // missing.
    formFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                          QStringLiteral("Arial")});
    formFont.setPixelSize(11);
    setFont(formFont);
    // The maker's lines are yellow; a dark ground keeps them readable.
    setAutoFillBackground(true);
    QPalette ground = palette();
    ground.setColor(QPalette::Window, QColor(0, 0, 128));
    ground.setColor(QPalette::WindowText, Qt::white);
    setPalette(ground);

    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(8, 12, 64, 64);
    ProgramIcon->setPixmap(ProgramPicture(64));

    ProductName = NewLabel(this, QStringLiteral("Zarvel"), 80, 4, Qt::red);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont nameFont(QStringLiteral("Times New Roman"));
    nameFont.setPixelSize(21);
    ProductName->setFont(nameFont);
    ProductName->adjustSize();

    NewLabel(this, QStringLiteral("Written by the Zarvel developers"), 80, 40, Qt::yellow);
    NewLabel(this, QStringLiteral("Built with Qt, zlib and libjpeg-turbo"), 80, 62, Qt::yellow);
    NewLabel(this, QStringLiteral("Document assembly for letters and forms"), 80, 84, Qt::yellow);
    NewLabel(this,
             QStringLiteral("Version %1, built %2")
                 .arg(QApplication::applicationVersion().isEmpty()
                          ? QStringLiteral("1.0.0")
                          : QApplication::applicationVersion(),
                      QStringLiteral(__DATE__)),
             80, 106, Qt::yellow);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, 156, 341, 2);

    // A value never starts inside its caption, whatever the font's width.
    const QLabel *physCaption =
        NewLabel(this, QStringLiteral("Physical Memory Available to Linux:"), 77, 165);
    PhysMem = NewLabel(this, QString(), std::max(275, physCaption->geometry().right() + 6), 165);
    PhysMem->setObjectName(QStringLiteral("PhysMem"));
    const QLabel *useCaption = NewLabel(this, QStringLiteral("Memory in Use:"), 81, 187);
    FreeRes = NewLabel(this, QString(), std::max(276, useCaption->geometry().right() + 6), 187);
    FreeRes->setObjectName(QStringLiteral("FreeRes"));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(269, 208, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    if (QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

void TAboutBox::FormCreate()
{
    const MemoryStatus::Status status = MemoryStatus::Read();
    PhysMem->setText(MemoryStatus::FormatPhysMem(status.TotalPhys));
    PhysMem->adjustSize();
    FreeRes->setText(MemoryStatus::FormatMemoryLoad(status.MemoryLoad));
    FreeRes->adjustSize();
}
