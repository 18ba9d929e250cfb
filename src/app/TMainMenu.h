#pragma once

#include <QString>

#include <functional>
#include <map>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class TRichEditEx;
class TTableCommands;

// The main window's menu bar: every item with its caption, shortcut and hint. Items are QActions
// owned by the window and named as in the window definition (FileOpenItem, DoIt1, T1, ...), so
// that other commands can reach them, e.g. to hang a recently used list under them. What an item
// does is the window's: it hands the menu a command for every item's name, which the item runs
// through RunCommand. The "Table" submenu's items edit the document pane themselves.
class TMainMenu
{
public:
    using TCommands = std::map<QString, std::function<void()>>;

    // Throws std::logic_error when an item has no command.
    TMainMenu(QWidget &window, QMenuBar &bar, TRichEditEx &documentPane, const TCommands &commands);

    QAction &Item(const QString &name) const;

    QMenu *FileMenu = nullptr;
    QMenu *EditMenu = nullptr;
    // "Ta&ble" in the Edit menu, below "Insert &Table...".
    QMenu *TableMenu = nullptr;
    TTableCommands *TableCommands = nullptr; // owned by the window
    QMenu *DocumentAssembly1 = nullptr;
    QMenu *Window1 = nullptr;
    QMenu *HelpMenu = nullptr;

private:
    QMenu *AddMenu(QMenuBar &bar, const char *name, const QString &caption, int helpContext);
    // Hidden items "RecentInformationFiles" and "RecentTemplates" at the end of the menu, under
    // which the recently used lists hang their submenus.
    void AddRecentListAnchors(QMenu &menu);
    // "Do It for All Rows" after "Do It": every row of a table of cases.
    void AddAllRowsItem(QMenu &menu, const TCommands &commands);

    QWidget &FWindow;
};
