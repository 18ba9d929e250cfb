#pragma once

#include <QObject>

#include <functional>
#include <utility>
#include <vector>

class QAction;
class QMenu;
class QTextCursor;
class QWidget;
class TRichEditEx;

// The "Table" submenu: rows, columns and cells of the table at the document pane's caret.
// Its items are actions of the window (InsertRowAbove1, ..., SplitCell1), enabled only
// where they apply: in a table of an editable pane, merging for a selection of several cells,
// splitting in a merged cell.
class TTableCommands : public QObject
{
    Q_OBJECT

public:
    // The items become children of the window; they edit the pane.
    TTableCommands(QWidget &window, TRichEditEx &pane, QMenu &menu);

    // Enables the items for the caret and selection of the document pane.
    void UpdateItems();

private:
    using TEdit = std::function<bool(QTextCursor &)>;
    using TTest = std::function<bool(const QTextCursor &)>;

    void AddItem(QMenu &menu, const char *name, const QString &caption, const QString &hint,
                 const TEdit &edit, const TTest &applies);
    void Run(const TEdit &edit);

    QWidget &FWindow;
    TRichEditEx &FPane;
    QMenu &FMenu;
    std::vector<std::pair<QAction *, TTest>> FItems;
};
