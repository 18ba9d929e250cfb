#include "app/TTableCommands.h"

#include "app/CommandRunner.h"
#include "app/Hints.h"
#include "app/TTableEditor.h"
#include "richedit/TRichEditEx.h"

#include <QAction>
#include <QMenu>
#include <QTextCursor>
#include <QWidget>

namespace {
using TSide = TTableEditor::TSide;

bool Always(const QTextCursor &)
{
    return true;
}
} // namespace

TTableCommands::TTableCommands(QWidget &window, TRichEditEx &pane, QMenu &menu)
    : QObject(&window), FWindow(window), FPane(pane), FMenu(menu)
{
    AddItem(
        menu, "InsertRowAbove1", QStringLiteral("Insert Row &Above"),
        QStringLiteral("Inserts a row above the row of the caret, shaped like it."),
        [](QTextCursor &c) { return TTableEditor::InsertRow(c, TSide::Before); }, Always);
    AddItem(
        menu, "InsertRowBelow1", QStringLiteral("Insert Row &Below"),
        QStringLiteral("Inserts a row below the row of the caret, shaped like it."),
        [](QTextCursor &c) { return TTableEditor::InsertRow(c, TSide::After); }, Always);
    AddItem(
        menu, "InsertColumnLeft1", QStringLiteral("Insert Column &Left"),
        QStringLiteral("Inserts a column left of the caret. The table keeps its width."),
        [](QTextCursor &c) { return TTableEditor::InsertColumn(c, TSide::Before); },
        TTableEditor::CanInsertColumn);
    AddItem(
        menu, "InsertColumnRight1", QStringLiteral("Insert Column &Right"),
        QStringLiteral("Inserts a column right of the caret. The table keeps its width."),
        [](QTextCursor &c) { return TTableEditor::InsertColumn(c, TSide::After); },
        TTableEditor::CanInsertColumn);
    menu.addSeparator();
    AddItem(menu, "DeleteRows1", QStringLiteral("&Delete Rows"),
            QStringLiteral("Deletes the rows of the selected cells. Deleting every row deletes "
                           "the table."),
            TTableEditor::DeleteRows, Always);
    AddItem(menu, "DeleteColumns1", QStringLiteral("Delete &Columns"),
            QStringLiteral("Deletes the columns of the selected cells. Deleting every column "
                           "deletes the table."),
            TTableEditor::DeleteColumns, Always);
    menu.addSeparator();
    AddItem(menu, "MergeCells1", QStringLiteral("&Merge Cells"),
            QStringLiteral("Makes the selected cells one cell, with the text of them all."),
            TTableEditor::MergeCells, TTableEditor::CanMerge);
    AddItem(menu, "SplitCell1", QStringLiteral("&Split Cell"),
            QStringLiteral("Makes a merged cell single cells again."), TTableEditor::SplitCell,
            TTableEditor::CanSplit);

    // The items follow the caret; a menu about to open looks again, for what moved the caret
    // without a signal.
    connect(&FPane, &QTextEdit::cursorPositionChanged, this, &TTableCommands::UpdateItems);
    connect(&FPane, &QTextEdit::selectionChanged, this, &TTableCommands::UpdateItems);
    connect(&FPane, &QTextEdit::textChanged, this, &TTableCommands::UpdateItems);
    connect(&menu, &QMenu::aboutToShow, this, &TTableCommands::UpdateItems);
    if (QMenu *parent = qobject_cast<QMenu *>(menu.parent()))
        connect(parent, &QMenu::aboutToShow, this, &TTableCommands::UpdateItems);
    UpdateItems();
}

void TTableCommands::UpdateItems()
{
    const QTextCursor cursor = FPane.textCursor();
    const bool editable = !FPane.isReadOnly() && TTableEditor::InTable(cursor);
    FMenu.menuAction()->setEnabled(editable);
    for (const auto &[action, applies] : FItems)
        action->setEnabled(editable && applies(cursor));
}

void TTableCommands::AddItem(QMenu &menu, const char *name, const QString &caption,
                             const QString &hint, const TEdit &edit, const TTest &applies)
{
    auto *action = new QAction(caption, &FWindow);
    action->setObjectName(QString::fromLatin1(name));
    SetHint(*action, hint);
    connect(action, &QAction::triggered, this, [this, edit] { Run(edit); });
    menu.addAction(action);
    FItems.emplace_back(action, applies);
}

void TTableCommands::Run(const TEdit &edit)
{
    RunCommand([this, &edit] {
        if (FPane.isReadOnly())
            return;
        QTextCursor cursor = FPane.textCursor();
        if (edit(cursor))
            FPane.setTextCursor(cursor);
        FPane.setFocus();
    });
    UpdateItems();
}
