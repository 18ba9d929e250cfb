#include "app/TSpeedBar.h"

#include "app/BundledIcons.h"
#include "app/Hints.h"

#include <QToolButton>

namespace {
constexpr int BarHeight = 32;
constexpr int ButtonSize = 25;
} // namespace

TSpeedBar::TSpeedBar(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("SpeedBar"));
    setFrameShape(QFrame::NoFrame);
    setFixedHeight(BarHeight);

    // Every button shows its icon; its name is the tool tip. A caption stays the button's text
    // (read by accessibility tools) but is not drawn.
    OpenButton = AddButton("OpenButton", 4, QStringLiteral("Open|"), "open");
    SaveButton = AddButton("SaveButton", 29, QStringLiteral("Save|"), "save");
    PrintButton = AddButton("PrintButton", 54, QStringLiteral("Print|"), "print");
    SpeedButton2 = AddButton("SpeedButton2", 79, QStringLiteral("page Dialog"), "pagesetup");
    PrintPreviewbutton = AddButton("PrintPreviewbutton", 104, tr("Print Preview|"), "preview",
                                   QStringLiteral("Prev"));
    SpeedButton3 = AddButton("SpeedButton3", 129,
                             tr("Insert Object|") +
                                 QStringLiteral("Use this  to insert an object\r\nsuch as portion "
                                                "of a spreadsheet\r\n"),
                             "object", QStringLiteral("OLE"));
    UndoButton = AddButton("UndoButton", 160, QStringLiteral("Undo|"), "undo");
    CutButton = AddButton("CutButton", 185, QStringLiteral("Cut|"), "cut");
    CopyButton = AddButton("CopyButton", 210, QStringLiteral("Copy|"), "copy");
    PasteButton = AddButton("PasteButton", 235, QStringLiteral("Paste|"), "paste");
    CRLFButton = AddButton("CRLFButton", 540,
                           QStringLiteral("Show or hide the line endings. They are shown on "
                                          "the screen only, never saved or printed."),
                           "pilcrow", QStringLiteral("\u00B6 "), 41);
    CRLFButton->setCheckable(true);
}

QToolButton *TSpeedBar::AddButton(const char *name, int left, const QString &hint, const char *icon,
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
    button->setIcon(BundledIcon(QString::fromLatin1(icon)));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return button;
}
