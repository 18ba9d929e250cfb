#include "widgets/TForm2.h"

#include "widgets/TVertScrollText.h"

#include <QPushButton>

TForm2::TForm2(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Zarvel Credits"));
    setGeometry(238, 107, 457, 335);
    QFont formFont(QStringLiteral("MS Sans Serif"));
    formFont.setPixelSize(11);
    setFont(formFont);

    VertScrollText1 = new TVertScrollText(this);
    VertScrollText1->setObjectName(QStringLiteral("VertScrollText1"));
    VertScrollText1->setGeometry(16, 8, 425, 265);
    VertScrollText1->SetInterval(50);
    VertScrollText1->SetRepeatScroll(true);
    VertScrollText1->SetAlignment(TAlign::alCenter);
    VertScrollText1->SetStretch(true);
    VertScrollText1->SetLines(CreditLines());
    VertScrollText1->SetEnabled(true);

    Button1 = new QPushButton(QStringLiteral("Ok"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(192, 280, 89, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

QStringList TForm2::CreditLines()
{
    const QStringList acknowledgements[] = {
        {QStringLiteral("The Qt Project and The Qt Company"),
         QStringLiteral("Qt 6: the windows, the text engine and printing")},
        {QStringLiteral("The Qt Project"),
         QStringLiteral("QTextBrowser, the HTML viewer of the help file")},
        {QStringLiteral("Jean-loup Gailly and Mark Adler"),
         QStringLiteral("zlib, which compresses the print preview pages")},
        {QStringLiteral("The Independent JPEG Group"),
         QStringLiteral("libjpeg, which decodes the JPEG picture previews")},
        {QStringLiteral("The libjpeg-turbo project"),
         QStringLiteral("the fast JPEG decoder the program links with")},
        {QStringLiteral("The Qt Multimedia module"),
         QStringLiteral("playing wave files in the open dialog")},
        {QStringLiteral("Red Hat and the Liberation Fonts project"),
         QStringLiteral("the Liberation fonts that stand in for the Windows fonts")},
        {QStringLiteral("The DejaVu Fonts project"),
         QStringLiteral("the DejaVu fonts used where no other font fits")},
        {QStringLiteral("www.freedesktop.org"),
         QStringLiteral("the desktop entry and shared MIME info standards")},
        {QStringLiteral("The GCC, LLVM and CMake developers"),
         QStringLiteral("the compilers, sanitizers and build tools")},
    };
    QStringList lines{QStringLiteral("   ")};
    for (const QStringList &entry : acknowledgements)
        lines << entry << QString();
    return lines;
}
