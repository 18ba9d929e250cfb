#include "app/TMainMenu.h"

#include "app/CommandRunner.h"
#include "app/Hints.h"
#include "app/TTableCommands.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <stdexcept>

namespace {

struct TMenuItemDef
{
    const char *Name; // nullptr: a separator
    const char *Caption;
    QKeyCombination Shortcut;
    const char *Hint;
};

constexpr QKeyCombination None{};

const TMenuItemDef FileItems[] = {
    {"FileNewItem", "&New", Qt::CTRL | Qt::Key_N, "Create a new file"},
    {"FileOpenItem", "&Open...", Qt::CTRL | Qt::Key_O,
     "Open an existing file. This will bring up the close dialog in respect of any file already "
     "in the window"},
    {"FileSaveItem", "&Save", Qt::CTRL | Qt::Key_S,
     "Save Current File . Take care to NOT overwite a template file and DO keep backup copies of "
     "all template and information files"},
    {"FileSaveAsItem", "Save &As...", None,
     "Save current file under a new name.  If you specify HTM or HTML as extension it will be "
     "saved as such.."},
    {nullptr, nullptr, None, nullptr},
    {"pageDialog1", "page&Dialog", None, "Use this to adjust portrait/landscape, paper size etc."},
    {"PrintPreview1", "PrintPre&view", Qt::CTRL | Qt::ALT | Qt::Key_V, ""},
    {"FilePrintItem", "&Print", Qt::CTRL | Qt::Key_P, "Print current file"},
    {nullptr, nullptr, None, nullptr},
    {"FileExitItem", "E&xit", None, "Exit this application"},
};

const TMenuItemDef EditItems[] = {
    {"EditUndoItem", "&Undo", Qt::CTRL | Qt::Key_Z, "Undo the last action"},
    {"Redo1", "R&edo", Qt::CTRL | Qt::Key_Y, "Undo the last undo"},
    {nullptr, nullptr, None, nullptr},
    {"EditCutItem", "Cu&t", Qt::CTRL | Qt::Key_X, "Delete selected item to the clipboard"},
    {"EditCopyItem", "&Copy", Qt::CTRL | Qt::Key_C, "Copy selected item to clipboard"},
    {"EditPasteItem", "&Paste", Qt::SHIFT | Qt::Key_Insert, "Paste contents of clipboard"},
    {nullptr, nullptr, None, nullptr},
    {"F1", "&Find", Qt::CTRL | Qt::Key_F, ""},
    {"R1", "&Replace", Qt::CTRL | Qt::Key_H, ""},
    {"EditFontItem", "&Font...", None, ""},
    {"Mathcalculate1", "Math calculate", Qt::CTRL | Qt::ALT | Qt::Key_M,
     "calculates a maths expression and replaces"},
    {"Insertpagebreak1", "Insert Blank lines", Qt::CTRL | Qt::ALT | Qt::Key_I,
     "This INSERTS 10 blank lines as an aid to formatting."},
    {"Insertnonvisiblepagebreak1", "Insert page break", Qt::CTRL | Qt::ALT | Qt::Key_P,
     "This inserts an INVISIBLE page break. You can see it in print preview but NOT in the "
     "editing screen."},
    {"InsertTable1", "Insert &Table...", None,
     "Inserts an empty table with thin borders, as wide as the text. Tab and Shift+Tab move "
     "between its cells."},
    {"Selectall1", "&Select all", Qt::CTRL | Qt::Key_A, ""},
    {"T1", "&Toggle Windows", Qt::CTRL | Qt::Key_W, ""},
};

const TMenuItemDef DocumentAssemblyItems[] = {
    {"EditInformationFile1", "Edit/Select Information File", None,
     "Check or edit and save the Information File to be used in a merge. All information files "
     "must end with a .INF extension."},
    {nullptr, nullptr, None, nullptr},
    {"EditTemplateFile1", "Edit/Select Template File", None,
     "Check or Edit the Template File to be used in the merge. Remember that ALL FORMATTING is "
     "done in the Template. These files must end with a .TEM extension"},
    {nullptr, nullptr, None, nullptr},
    {"CheckTemplate1", "Check Template", None,
     "Check the Template File against the Information File before the merge. Lists placeholders "
     "without a value, values that are never used, values that will be CALCULATED and "
     "placeholders split by formatting."},
    {"DoIt1", "Do It", Qt::CTRL | Qt::Key_D,
     "Peform the merge. If EXACT placement of items on the form is required then remember to "
     "check the Insert/Overwrite item"},
    {"ToggleInsOverwrite1", "Toggle Ins/Overwrite", Qt::CTRL | Qt::Key_T,
     "Toggle Insert/overwrite for the merge. This needs to be ON when items must be placed "
     "exactly on a  line, especially if there are several on one line."},
};

const TMenuItemDef WindowItems[] = {
    {"Switch1", "Switch", Qt::CTRL | Qt::Key_W, ""},
    {nullptr, nullptr, None, nullptr},
    {"ZoomIn1", "Zoom &In", Qt::CTRL | Qt::Key_Plus,
     "Show the text larger on the screen. Printing and saving are not affected."},
    {"ZoomOut1", "Zoom &Out", Qt::CTRL | Qt::Key_Minus,
     "Show the text smaller on the screen. Printing and saving are not affected."},
    {"ActualSize1", "&Actual Size", Qt::CTRL | Qt::Key_0,
     "Show the text at the size it is printed."},
};

const TMenuItemDef HelpItems[] = {
    {"G1", "Contents", None, ""},
    {"TipoftheDay2", "Tip of the Day", None, ""},
    {"Credits1", "Credits", None, ""},
    {"About1", "About", None, ""},
};

// An item of the window that runs the window's command of its name.
QAction *NewItem(QWidget &window, const char *name, const QString &caption, const QString &hint,
                 const TMainMenu::TCommands &commands)
{
    const QString objectName = QString::fromLatin1(name);
    const auto command = commands.find(objectName);
    if (command == commands.end())
        throw std::logic_error("No command for menu item " + objectName.toStdString());
    auto *action = new QAction(caption, &window);
    action->setObjectName(objectName);
    SetHint(*action, hint);
    QObject::connect(action, &QAction::triggered, &window,
                     [handler = command->second] { RunCommand(handler); });
    return action;
}

template <std::size_t N>
void AddItems(QWidget &window, QMenu &menu, const TMenuItemDef (&items)[N],
              const TMainMenu::TCommands &commands)
{
    for (const TMenuItemDef &def : items) {
        if (!def.Name) {
            menu.addSeparator();
            continue;
        }
        QAction *action = NewItem(window, def.Name, QString::fromUtf8(def.Caption),
                                  QString::fromUtf8(def.Hint), commands);
        if (def.Shortcut != None)
            action->setShortcut(QKeySequence(def.Shortcut));
        menu.addAction(action);
    }
}

} // namespace

TMainMenu::TMainMenu(QWidget &window, QMenuBar &bar, TRichEditEx &documentPane,
                     const TCommands &commands)
    : FWindow(window)
{
    FileMenu = AddMenu(bar, "FileMenu", QStringLiteral("&File"), 310);
    AddItems(window, *FileMenu, FileItems, commands);
    EditMenu = AddMenu(bar, "EditMenu", QStringLiteral("&Edit"), 320);
    AddItems(window, *EditMenu, EditItems, commands);
    TableMenu = new QMenu(QStringLiteral("Ta&ble"), EditMenu);
    TableMenu->setObjectName(QStringLiteral("TableMenu"));
    EditMenu->insertMenu(&Item(QStringLiteral("Selectall1")), TableMenu);
    TableCommands = new TTableCommands(window, documentPane, *TableMenu);
    DocumentAssembly1 = AddMenu(bar, "DocumentAssembly1", QStringLiteral("Document Assembly"), 330);
    AddItems(window, *DocumentAssembly1, DocumentAssemblyItems, commands);
    Window1 = AddMenu(bar, "Window1", QStringLiteral("Window"), 0);
    AddItems(window, *Window1, WindowItems, commands);
    HelpMenu = AddMenu(bar, "HelpMenu", QStringLiteral("Help"), 340);
    AddItems(window, *HelpMenu, HelpItems, commands);

    AddAllRowsItem(*DocumentAssembly1, commands);
    AddRecentListAnchors(*DocumentAssembly1);

    Item(QStringLiteral("ToggleInsOverwrite1")).setCheckable(true);
    // Ctrl and the key of "+" work with or without Shift.
    Item(QStringLiteral("ZoomIn1"))
        .setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus),
                       QKeySequence(Qt::CTRL | Qt::Key_Equal),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus)});
    // Both pane-switch items show Ctrl+W; only "Switch" owns it window-wide, because two items
    // with one key would cancel each other out. "&Toggle Windows" answers it while its menu is
    // open.
    Item(QStringLiteral("T1")).setShortcutContext(Qt::WidgetShortcut);
}

void TMainMenu::AddAllRowsItem(QMenu &menu, const TCommands &commands)
{
    QAction *action =
        NewItem(FWindow, "DoItForAllRows1", QStringLiteral("Do It for All Rows"),
                QStringLiteral("Merge every row of the table of cases chosen as the Information "
                               "File and write each letter into a folder"),
                commands);
    menu.insertAction(&Item(QStringLiteral("ToggleInsOverwrite1")), action);
}

void TMainMenu::AddRecentListAnchors(QMenu &menu)
{
    // The recently used lists go in below the commands, so that the commands keep their places
    // whether or not a list has entries. Each list's submenu goes just above its anchor, which
    // is never shown; the menu collapses the separator while both lists are empty.
    menu.addSeparator();
    for (const char *name : {"RecentInformationFiles", "RecentTemplates"}) {
        auto *anchor = new QAction(&FWindow);
        anchor->setObjectName(QString::fromLatin1(name));
        anchor->setVisible(false);
        menu.addAction(anchor);
    }
}

QAction &TMainMenu::Item(const QString &name) const
{
    auto *action = FWindow.findChild<QAction *>(name, Qt::FindDirectChildrenOnly);
    if (!action)
        throw std::logic_error("No menu item " + name.toStdString());
    return *action;
}

QMenu *TMainMenu::AddMenu(QMenuBar &bar, const char *name, const QString &caption, int helpContext)
{
    QMenu *menu = bar.addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    if (helpContext != 0)
        menu->setProperty("HelpContext", helpContext);
    return menu;
}
