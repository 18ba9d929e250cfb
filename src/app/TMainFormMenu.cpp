// The main window's menu: which of the window's slots each item runs.
#include "app/TAssemblyCommands.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"

#include <utility>

namespace {
// The slot each menu item runs, by the item's name; the menu has the captions, shortcuts and
// hints.
const std::pair<const char *, TMainForm::Command> MenuCommands[] = {
    {"FileNewItem", &TMainForm::FileNew},
    {"FileOpenItem", &TMainForm::FileOpen},
    {"FileSaveItem", &TMainForm::FileSave},
    {"FileSaveAsItem", &TMainForm::FileSaveAs},
    {"pageDialog1", &TMainForm::pageDialog1Click},
    {"PrintPreview1", &TMainForm::PrintPreviewbuttonClick},
    {"FilePrintItem", &TMainForm::FilePrint},
    {"FileExitItem", &TMainForm::FileExit},
    {"EditUndoItem", &TMainForm::EditUndo},
    {"Redo1", &TMainForm::Redo1Click},
    {"EditCutItem", &TMainForm::EditCut},
    {"EditCopyItem", &TMainForm::EditCopy},
    {"EditPasteItem", &TMainForm::EditPaste},
    {"F1", &TMainForm::F1Click},
    {"R1", &TMainForm::R1Click},
    {"EditFontItem", &TMainForm::SelectFont},
    {"Mathcalculate1", &TMainForm::Mathcalculate1Click},
    {"Insertpagebreak1", &TMainForm::Insertpagebreak1Click},
    {"Insertnonvisiblepagebreak1", &TMainForm::Insertnonvisiblepagebreak1Click},
    {"InsertTable1", &TMainForm::InsertTable1Click},
    {"Selectall1", &TMainForm::Selectall1Click},
    {"T1", &TMainForm::T1Click},
    {"EditInformationFile1", &TMainForm::EditInformationFile1Click},
    {"EditTemplateFile1", &TMainForm::EditTemplateFile1Click},
    {"CheckTemplate1", &TMainForm::CheckTemplate1Click},
    {"DoIt1", &TMainForm::DoIt1Click},
    {"ToggleInsOverwrite1", &TMainForm::ToggleInsOverwrite1Click},
    {"Switch1", &TMainForm::T1Click},
    {"ZoomIn1", &TMainForm::ZoomIn1Click},
    {"ZoomOut1", &TMainForm::ZoomOut1Click},
    {"ActualSize1", &TMainForm::ActualSize1Click},
    {"G1", &TMainForm::G1Click},
    {"TipoftheDay2", &TMainForm::TipoftheDay2Click},
    {"Credits1", &TMainForm::Credits1Click},
    {"About1", &TMainForm::About1Click},
};

} // namespace

void TMainForm::CreateMainMenu()
{
    TMainMenu::TCommands commands;
    for (const auto &[name, slot] : MenuCommands)
        commands.emplace(QString::fromLatin1(name), [this, command = slot] { (this->*command)(); });
    // "Do It for All Rows" has no slot of the window: the assembly commands run it.
    commands.emplace(QStringLiteral("DoItForAllRows1"),
                     [this] { FAssemblyCommands->DoItForAllRows1Click(); });
    FMainMenu = std::make_unique<TMainMenu>(*this, *menuBar(), *RichEditEx1, commands);
}
