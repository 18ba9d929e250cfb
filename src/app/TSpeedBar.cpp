#include "app/TSpeedBar.h"

#include "app/Hints.h"

#include <QIcon>
#include <QStyle>
#include <QToolButton>

namespace {
constexpr int BarHeight = 32;
constexpr int ButtonSize = 25;

// Themed glyphs where the desktop has them; the short hint as text otherwise.
void SetGlyph(QToolButton &button, const char *themeName, QStyle::StandardPixmap fallback)
{
    QIcon icon = QIcon::fromTheme(QString::fromLatin1(themeName));
    if (icon.isNull() && fallback != QStyle::SP_CustomBase)
        icon = button.style()->standardIcon(fallback);
    if (!icon.isNull())
        button.setIcon(icon);
    else
        button.setText(button.toolTip());
}
} // namespace

TSpeedBar::TSpeedBar(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("SpeedBar"));
    setFrameShape(QFrame::NoFrame);
    setFixedHeight(BarHeight);

    OpenButton = AddButton("OpenButton", 4, QStringLiteral("Open|"));
    SetGlyph(*OpenButton, "document-open", QStyle::SP_DialogOpenButton);
    SaveButton = AddButton("SaveButton", 29, QStringLiteral("Save|"));
    SetGlyph(*SaveButton, "document-save", QStyle::SP_DialogSaveButton);
    PrintButton = AddButton("PrintButton", 54, QStringLiteral("Print|"));
    SetGlyph(*PrintButton, "document-print", QStyle::SP_CustomBase);
    SpeedButton2 = AddButton("SpeedButton2", 79, QStringLiteral("page Dialog"));
    SetGlyph(*SpeedButton2, "document-page-setup", QStyle::SP_FileDialogDetailedView);
    PrintPreviewbutton = AddButton("PrintPreviewbutton", 104, QString(), QStringLiteral("Prev"));
    SpeedButton3 = AddButton("SpeedButton3", 129,
                             QStringLiteral("Use this  to insert an object\r\nsuch as portion of a "
                                            "spreadsheet\r\n"),
                             QStringLiteral("OLE"));
    UndoButton = AddButton("UndoButton", 160, QStringLiteral("Undo|"));
    SetGlyph(*UndoButton, "edit-undo", QStyle::SP_ArrowBack);
    CutButton = AddButton("CutButton", 185, QStringLiteral("Cut|"));
    SetGlyph(*CutButton, "edit-cut", QStyle::SP_CustomBase);
    CopyButton = AddButton("CopyButton", 210, QStringLiteral("Copy|"));
    SetGlyph(*CopyButton, "edit-copy", QStyle::SP_CustomBase);
    PasteButton = AddButton("PasteButton", 235, QStringLiteral("Paste|"));
    SetGlyph(*PasteButton, "edit-paste", QStyle::SP_CustomBase);
    CRLFButton = AddButton("CRLFButton", 540,
                           QStringLiteral("Show Line endings. To remove these use the Edit menu "
                                          "replace function. The code to enter is alt key 0182"),
                           QStringLiteral("\u00B6 "), 41);
}

QToolButton *TSpeedBar::AddButton(const char *name, int left, const QString &hint,
                                  const QString &caption, int width)
{
    auto *button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(left, (BarHeight - ButtonSize) / 2, width, ButtonSize);
    if (!hint.isEmpty())
        SetHint(*button, hint);
    if (!caption.isEmpty())
        button->setText(caption);
    return button;
}
