#include "app/TInsertTable.h"

#include "richedit/RichEditTypes.h"
#include "rtf/TCodePage1252.h"
#include "richedit/TRichEditEx.h"
#include "widgets/TDialogSeam.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>

namespace {
constexpr int TwipsPerInch = 1440;
// A thin single line on every side of every cell: half a point.
const QByteArray CellBorders = "\\clbrdrt\\brdrs\\brdrw10 \\clbrdrl\\brdrs\\brdrw10 "
                               "\\clbrdrb\\brdrs\\brdrw10 \\clbrdrr\\brdrs\\brdrw10 ";

QSpinBox *AddCount(QFormLayout &form, const char *name, const QString &label, int maximum,
                   int value)
{
    auto *box = new QSpinBox(form.parentWidget());
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(1, maximum);
    box->setValue(value);
    form.addRow(label, box);
    return box;
}
} // namespace

QByteArray TInsertTable::TableRtf(int rows, int columns, int widthTwips, const QFont &font)
{
    QByteArray row = "\\trowd\\trgaph108\\trleft0 ";
    for (int column = 1; column <= columns; ++column)
        row += CellBorders + "\\cellx" + QByteArray::number(widthTwips * column / columns) + ' ';
    // The cells take the font at the caret.
    const int halfPoints = font.pointSizeF() > 0 ? qRound(font.pointSizeF() * 2) : 20;
    row += "\\pard\\intbl\\f0\\fs" + QByteArray::number(halfPoints) + ' ';
    for (int column = 0; column < columns; ++column)
        row += "\\cell ";
    row += "\\row ";
    QByteArray rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 " + TCodePage1252::FromUnicode(font.family()) + ";}}";
    for (int i = 0; i < rows; ++i)
        rtf += row;
    return rtf + "\\pard }";
}

bool TInsertTable::Run(QWidget *parent, TRichEditEx &pane, int pageTextTwips)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("InsertTableDialog"));
    dialog.setWindowTitle(QStringLiteral("Insert Table"));
    auto *form = new QFormLayout(&dialog);
    QSpinBox *rows = AddCount(*form, "Rows", QStringLiteral("&Rows:"), MaxRows, 2);
    QSpinBox *columns = AddCount(*form, "Columns", QStringLiteral("&Columns:"), MaxColumns, 3);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (TDialogSeam::Exec(dialog) != QDialog::Accepted)
        return false;
    // As wide as the text area, on the screen and on the page, whichever is narrower.
    const int dpi = std::max(1, pane.logicalDpiX());
    const int screenTwips = pane.TextRect().width() * TwipsPerInch / dpi;
    const int width =
        std::max(columns->value() * 360,
                 pageTextTwips > 0 ? std::min(screenTwips, pageTextTwips) : screenTwips);
    pane.setFocus();
    const int at = pane.SelectionStart();
    pane.StreamInBytes(
        TableRtf(rows->value(), columns->value(), width, pane.textCursor().charFormat().font()),
        TStreamFormat::SF_RTF | TStreamFormat::SFF_SELECTION);
    // The caret goes into the first cell, ready for typing and Tab.
    QTextTable *inserted = nullptr;
    for (QTextFrame *frame : pane.document()->rootFrame()->childFrames()) {
        auto *table = qobject_cast<QTextTable *>(frame);
        if (table && table->firstPosition() >= at &&
            (!inserted || table->firstPosition() < inserted->firstPosition()))
            inserted = table;
    }
    if (inserted)
        pane.setTextCursor(inserted->cellAt(0, 0).firstCursorPosition());
    return true;
}
