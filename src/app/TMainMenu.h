#pragma once

#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class TMainForm;
class TTableCommands;

// The main window's menu bar: every item with its caption, shortcut, hint and handler. Items are
// QActions owned by the window and named as in the window definition (FileOpenItem, DoIt1, T1,
// ...), so that other commands can reach them, e.g. to hang a recently used list under them.
class TMainMenu
{
public:
    TMainMenu(TMainForm &form, QMenuBar &bar);

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
    static void AddRecentListAnchors(TMainForm &form, QMenu &menu);
    // "Do It for All Rows" after "Do It": every row of a table of cases.
    void AddAllRowsItem(TMainForm &form, QMenu &menu);

    TMainForm &FForm;
};
