#include "app/TFileCommands.h"

#include "app/TMainForm.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "widgets/TDialogSeam.h"
#include "widgets/TOpenPreviewDialog.h"

#include <QFileDialog>

namespace {
QString ChosenFile(QFileDialog &dialog)
{
    if (TDialogSeam::Exec(dialog) != QDialog::Accepted)
        return QString();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}
} // namespace

TFileCommands::TFileCommands(TMainForm &form) : FForm(form) {}

void TFileCommands::FileNew()
{
    // The document pane is what New empties, whichever pane is shown.
    FForm.AskSaveChanges(TPane::Document);
    FForm.SetDocumentName(QStringLiteral("Untitled"));
    TRichEditEx &pane = FForm.DocumentPane();
    pane.Lines().ClearLines();
    pane.SetModifiedFlag(false);
}

void TFileCommands::FileOpen()
{
    FForm.AskSaveChanges(TPane::Document);
    const QString fileName = RunOpenDialog();
    if (fileName.isEmpty())
        return;
    TRichEditEx &pane = FForm.DocumentPane();
    pane.Lines().LoadFile(fileName);
    FForm.SetDocumentName(fileName);
    FForm.PaneRules().ShowAndFocus(TPane::Document);
    pane.SetModifiedFlag(false);
    pane.SetReadOnly(FForm.OpenPreviewDialog1->OpenReadOnly());
}

bool TFileCommands::Save(TPane pane, const QString &name)
{
    if (name == QLatin1String("Untitled"))
        return SaveAs(pane);
    const QString fileName = RunSaveDialog();
    if (fileName.isEmpty())
        return false;
    SavePaneToFile(pane, fileName);
    return true;
}

bool TFileCommands::SaveAs(TPane pane)
{
    const QString fileName = RunSaveDialog();
    if (fileName.isEmpty())
        return false;
    SavePaneToFile(pane, fileName);
    FForm.SetDocumentName(fileName);
    return true;
}

QString TFileCommands::RunSaveDialog()
{
    return ChosenFile(*FForm.SaveDialog);
}

QString TFileCommands::RunOpenDialog()
{
    TOpenPreviewDialog &dialog = *FForm.OpenPreviewDialog1;
    return dialog.Execute() ? dialog.FileName() : QString();
}

void TFileCommands::SavePaneToFile(TPane pane, const QString &fileName)
{
    TRichEditEx &control = FForm.Pane(pane);
    // Lines.SaveFile writes a temporary file beside the target and renames it over the target
    // only when everything is written, so a failed save leaves the old file untouched.
    control.Lines().SaveFile(fileName);
    control.SetModifiedFlag(false);
}
