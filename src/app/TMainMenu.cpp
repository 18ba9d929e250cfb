#include "app/TMainMenu.h"

#include "app/Hints.h"
#include "app/TAssemblyCommands.h"
#include "app/TMainForm.h"
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
    TMainForm::Command Handler;
};

constexpr QKeyCombination None{};

const TMenuItemDef FileItems[] = {
    {"FileNewItem", "&New", Qt::CTRL | Qt::Key_N, "Create a new file", &TMainForm::FileNew},
    {"FileOpenItem", "&Open...", Qt::CTRL | Qt::Key_O,
     "Open an existing file. This will bring up the close dialog in respect of any file already "
     "in the window",
     &TMainForm::FileOpen},
    {"FileSaveItem", "&Save", Qt::CTRL | Qt::Key_S,
     "Save Current File . Take care to NOT overwite a template file and DO keep backup copies of "
     "all template and information files",
     &TMainForm::FileSave},
    {"FileSaveAsItem", "Save &As...", None,
     "Save current file under a new name.  If you specify HTM or HTML as extension it will be "
     "saved as such..",
     &TMainForm::FileSaveAs},
    {nullptr, nullptr, None, nullptr, nullptr},
    {"pageDialog1", "page&Dialog", None, "Use this to adjust portrait/landscape, paper size etc.",
     &TMainForm::pageDialog1Click},
    {"PrintPreview1", "PrintPre&view", Qt::CTRL | Qt::ALT | Qt::Key_V, "",
     &TMainForm::PrintPreviewbuttonClick},
    {"FilePrintItem", "&Print", Qt::CTRL | Qt::Key_P, "Print current file", &TMainForm::FilePrint},
    {nullptr, nullptr, None, nullptr, nullptr},
    {"FileExitItem", "E&xit", None, "Exit this application", &TMainForm::FileExit},
};

const TMenuItemDef EditItems[] = {
    {"EditUndoItem", "&Undo", Qt::CTRL | Qt::Key_Z, "Undo the last action", &TMainForm::EditUndo},
    {"Redo1", "R&edo", Qt::CTRL | Qt::Key_Y, "Undo the last undo", &TMainForm::Redo1Click},
    {nullptr, nullptr, None, nullptr, nullptr},
    {"EditCutItem", "Cu&t", Qt::CTRL | Qt::Key_X, "Delete selected item to the clipboard",
     &TMainForm::EditCut},
    {"EditCopyItem", "&Copy", Qt::CTRL | Qt::Key_C, "Copy selected item to clipboard",
     &TMainForm::EditCopy},
    {"EditPasteItem", "&Paste", Qt::SHIFT | Qt::Key_Insert, "Paste contents of clipboard",
     &TMainForm::EditPaste},
    {nullptr, nullptr, None, nullptr, nullptr},
    {"F1", "&Find", Qt::CTRL | Qt::Key_F, "", &TMainForm::F1Click},
    {"R1", "&Replace", Qt::CTRL | Qt::Key_H, "", &TMainForm::R1Click},
    {"EditFontItem", "&Font...", None, "", &TMainForm::SelectFont},
    {"Mathcalculate1", "Math calculate", Qt::CTRL | Qt::ALT | Qt::Key_M,
     "calculates a maths expression and replaces", &TMainForm::Mathcalculate1Click},
    {"Insertpagebreak1", "Insert Blank lines", Qt::CTRL | Qt::ALT | Qt::Key_I,
     "This INSERTS 10 blank lines as an aid to formatting.", &TMainForm::Insertpagebreak1Click},
    {"Insertnonvisiblepagebreak1", "Insert page break", Qt::CTRL | Qt::ALT | Qt::Key_P,
     "This inserts an INVISIBLE page break. You can see it in print preview but NOT in the "
     "editing screen.",
     &TMainForm::Insertnonvisiblepagebreak1Click},
    {"InsertTable1", "Insert &Table...", None,
     "Inserts an empty table with thin borders, as wide as the text. Tab and Shift+Tab move "
     "between its cells.",
     &TMainForm::InsertTable1Click},
    {"Selectall1", "&Select all", Qt::CTRL | Qt::Key_A, "", &TMainForm::Selectall1Click},
    {"T1", "&Toggle Windows", Qt::CTRL | Qt::Key_W, "", &TMainForm::T1Click},
};

const TMenuItemDef DocumentAssemblyItems[] = {
    {"EditInformationFile1", "Edit/Select Information File", None,
     "Check or edit and save the Information File to be used in a merge. All information files "
     "must end with a .INF extension.",
     &TMainForm::EditInformationFile1Click},
    {nullptr, nullptr, None, nullptr, nullptr},
    {"EditTemplateFile1", "Edit/Select Template File", None,
     "Check or Edit the Template File to be used in the merge. Remember that ALL FORMATTING is "
     "done in the Template. These files must end with a .TEM extension",
     &TMainForm::EditTemplateFile1Click},
    {nullptr, nullptr, None, nullptr, nullptr},
    {"CheckTemplate1", "Check Template", None,
     "Check the Template File against the Information File before the merge. Lists placeholders "
     "without a value, values that are never used, values that will be CALCULATED and "
     "placeholders split by formatting.",
     &TMainForm::CheckTemplate1Click},
    {"DoIt1", "Do It", Qt::CTRL | Qt::Key_D,
     "Peform the merge. If EXACT placement of items on the form is required then remember to "
     "check the Insert/Overwrite item",
     &TMainForm::DoIt1Click},
    {"ToggleInsOverwrite1", "Toggle Ins/Overwrite", Qt::CTRL | Qt::Key_T,
     "Toggle Insert/overwrite for the merge. This needs to be ON when items must be placed "
     "exactly on a  line, especially if there are several on one line.",
     &TMainForm::ToggleInsOverwrite1Click},
};

const TMenuItemDef WindowItems[] = {
    {"Switch1", "Switch", Qt::CTRL | Qt::Key_W, "", &TMainForm::T1Click},
    {nullptr, nullptr, None, nullptr, nullptr},
    {"ZoomIn1", "Zoom &In", Qt::CTRL | Qt::Key_Plus,
     "Show the text larger on the screen. Printing and saving are not affected.",
     &TMainForm::ZoomIn1Click},
    {"ZoomOut1", "Zoom &Out", Qt::CTRL | Qt::Key_Minus,
     "Show the text smaller on the screen. Printing and saving are not affected.",
     &TMainForm::ZoomOut1Click},
    {"ActualSize1", "&Actual Size", Qt::CTRL | Qt::Key_0,
     "Show the text at the size it is printed.", &TMainForm::ActualSize1Click},
};

const TMenuItemDef HelpItems[] = {
    {"G1", "Contents", None, "", &TMainForm::G1Click},
    {"TipoftheDay2", "Tip of the Day", None, "", &TMainForm::TipoftheDay2Click},
    {"Credits1", "Credits", None, "", &TMainForm::Credits1Click},
    {"About1", "About", None, "", &TMainForm::About1Click},
};

template <std::size_t N> void AddItems(TMainForm &form, QMenu &menu, const TMenuItemDef (&items)[N])
{
    for (const TMenuItemDef &def : items) {
        if (!def.Name) {
            menu.addSeparator();
            continue;
        }
        auto *action = new QAction(QString::fromUtf8(def.Caption), &form);
        action->setObjectName(QString::fromLatin1(def.Name));
        if (def.Shortcut != None)
            action->setShortcut(QKeySequence(def.Shortcut));
        SetHint(*action, QString::fromUtf8(def.Hint));
        const TMainForm::Command handler = def.Handler;
        QObject::connect(action, &QAction::triggered, &form,
                         [&form, handler] { form.RunCommand(handler); });
        menu.addAction(action);
    }
}

} // namespace

TMainMenu::TMainMenu(TMainForm &form, QMenuBar &bar) : FForm(form)
{
    FileMenu = AddMenu(bar, "FileMenu", QStringLiteral("&File"), 310);
    AddItems(form, *FileMenu, FileItems);
    EditMenu = AddMenu(bar, "EditMenu", QStringLiteral("&Edit"), 320);
    AddItems(form, *EditMenu, EditItems);
    TableMenu = new QMenu(QStringLiteral("Ta&ble"), EditMenu);
    TableMenu->setObjectName(QStringLiteral("TableMenu"));
    EditMenu->insertMenu(&Item(QStringLiteral("Selectall1")), TableMenu);
    TableCommands = new TTableCommands(form, *TableMenu);
    DocumentAssembly1 = AddMenu(bar, "DocumentAssembly1", QStringLiteral("Document Assembly"), 330);
    AddItems(form, *DocumentAssembly1, DocumentAssemblyItems);
    Window1 = AddMenu(bar, "Window1", QStringLiteral("Window"), 0);
    AddItems(form, *Window1, WindowItems);
    HelpMenu = AddMenu(bar, "HelpMenu", QStringLiteral("Help"), 340);
    AddItems(form, *HelpMenu, HelpItems);

    AddAllRowsItem(form, *DocumentAssembly1);
    AddRecentListAnchors(form, *DocumentAssembly1);

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

void TMainMenu::AddAllRowsItem(TMainForm &form, QMenu &menu)
{
    auto *action = new QAction(QStringLiteral("Do It for All Rows"), &form);
    action->setObjectName(QStringLiteral("DoItForAllRows1"));
    SetHint(*action, QStringLiteral("Merge every row of the table of cases chosen as the "
                                    "Information File and write each letter into a folder"));
    QObject::connect(action, &QAction::triggered, &form, [&form] {
        TMainForm::RunCommand([&form] { form.AssemblyCommands().DoItForAllRows1Click(); });
    });
    menu.insertAction(&Item(QStringLiteral("ToggleInsOverwrite1")), action);
}

void TMainMenu::AddRecentListAnchors(TMainForm &form, QMenu &menu)
{
    // The recently used lists go in below the commands, so that the commands keep their places
    // whether or not a list has entries. Each list's submenu goes just above its anchor, which
    // is never shown; the menu collapses the separator while both lists are empty.
    menu.addSeparator();
    for (const char *name : {"RecentInformationFiles", "RecentTemplates"}) {
        auto *anchor = new QAction(&form);
        anchor->setObjectName(QString::fromLatin1(name));
        anchor->setVisible(false);
        menu.addAction(anchor);
    }
}

QAction &TMainMenu::Item(const QString &name) const
{
    auto *action = FForm.findChild<QAction *>(name, Qt::FindDirectChildrenOnly);
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
