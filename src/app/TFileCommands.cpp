#include "app/TFileCommands.h"

#include "app/ConfirmBox.h"
#include "app/DialogFolders.h"
#include "app/SaveFileKinds.h"
#include "app/ShowMsgBox.h"
#include "app/TBackgroundSave.h"
#include "app/TMainFormHost.h"
#include "richedit/TFileSaver.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "rtf/TCodePage1252.h"
#include "rtf2html/RtfToHtml.h"
#include "widgets/FileDialogColumns.h"
#include "widgets/TDialogSeam.h"
#include "widgets/TMRUFileList.h"
#include "widgets/TOpenPreviewDialog.h"
#include "widgets/WorkingFolder.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace {
QString ChosenFile(QFileDialog &dialog)
{
    if (TDialogSeam::Exec(dialog) != QDialog::Accepted)
        return QString();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}
} // namespace

TFileCommands::TFileCommands(TMainFormHost &form) : FForm(form) {}

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
    OpenDocument(fileName, FForm.OpenDialog().OpenReadOnly());
}

void TFileCommands::OpenDocument(const QString &fileName, bool readOnly)
{
    TRichEditEx &pane = FForm.DocumentPane();
    pane.Lines().LoadFile(fileName);
    FForm.SetDocumentName(fileName);
    FForm.PaneRules().ShowAndFocus(TPane::Document);
    pane.SetModifiedFlag(false);
    pane.SetReadOnly(readOnly);
}

bool TFileCommands::Save(TPane pane, const QString &name)
{
    if (name == QLatin1String("Untitled"))
        return SaveAs(pane, name);
    const QString fileName = RunSaveDialog(name);
    if (fileName.isEmpty())
        return false;
    // An HTML name gets a page, as Save As writes it; any other name gets the pane's text.
    if (SaveKindOf(fileName) == TSaveKind::Html)
        SaveAsHtml(pane, fileName);
    else
        SavePaneToFile(pane, fileName);
    AdoptSavedName(pane, fileName);
    return true;
}

bool TFileCommands::SaveAs(TPane pane, const QString &name)
{
    const QString fileName = RunSaveDialog(name);
    if (fileName.isEmpty())
        return false;
    const TSaveKind kind = SaveKindOf(fileName);
    if (kind == TSaveKind::Unknown) {
        // Nothing is written, but the user must know that.
        ShowMsgBox(QStringLiteral("Zarvel"), QLatin1Char('!'), UnknownExtensionMessage(fileName));
        return false;
    }
    if (QFileInfo::exists(fileName) &&
        AskYesNoCancel(&FForm.Window(), QStringLiteral("OK to overwrite %1").arg(fileName)) !=
            QMessageBox::Yes)
        return false;
    if (kind == TSaveKind::Html)
        SaveAsHtml(pane, fileName);
    else
        SavePaneToFile(pane, fileName);
    AdoptSavedName(pane, fileName);
    return true;
}

void TFileCommands::AdoptSavedName(TPane pane, const QString &fileName)
{
    // The pane is now that file: the caption, the save question and recovery name it.
    if (pane == FForm.PaneByRuleA())
        FForm.SetDocumentName(fileName);
    if (pane == TPane::Information)
        FForm.SetInformationFile(fileName);
    const QString extension = UpperExtension(fileName);
    if (extension == QLatin1String(".INF"))
        FForm.RecentInformationFiles().AddItem(fileName);
    else if (extension == QLatin1String(".TEM"))
        FForm.RecentTemplates().AddItem(fileName);
}

void TFileCommands::SaveAsHtml(TPane pane, const QString &fileName)
{
    // The converter puts its page in place of the file whatever its permissions.
    TFileSaver::RefuseReadOnly(fileName);
    FForm.RefuseWriting(fileName);
    // The converter reads rich text from a file: the pane goes to the working file first.
    // A failed conversion leaves the working file and the pane's modified flag as they are.
    // The page is titled with its own file name, not with the working file's.
    const QString workFile = WorkingFolder::File(QStringLiteral("$$$"));
    TRichEditEx &control = FForm.Pane(pane);
    control.Lines().SaveFile(workFile);
    Rtf2Html::ConvertRtfToHtml(QFile::encodeName(workFile).toStdString(),
                               QFile::encodeName(fileName).toStdString(), {std::string()},
                               TCodePage1252::FromUnicodeStd(QFileInfo(fileName).fileName()));
    QFile::remove(workFile);
    control.SetModifiedFlag(false);
}

QString TFileCommands::RunSaveDialog(const QString &name)
{
    QFileDialog &dialog = FForm.SaveFileDialog();
    FitFileDialogColumns(dialog);
    // Only a real file is offered again; "untitled" or a merged letter's label is no name to
    // save under.
    if (QFileInfo(name).isAbsolute())
        dialog.selectFile(name);
    else
        dialog.selectFile(QString());
    const QString fileName = ChosenFile(dialog);
    DialogFolders::Remember(fileName);
    return fileName;
}

QString TFileCommands::RunOpenDialog()
{
    TOpenPreviewDialog &dialog = FForm.OpenDialog();
    if (!dialog.Execute())
        return QString();
    DialogFolders::Remember(dialog.FileName());
    return dialog.FileName();
}

void TFileCommands::SavePaneToFile(TPane pane, const QString &fileName)
{
    FForm.RefuseWriting(fileName);
    TRichEditEx &control = FForm.Pane(pane);
    // Both refuse a read-only file and leave the old file whole until the new content is
    // complete. A large document's rich text is made and written while the window repaints.
    if (!IsPlainTextName(fileName) && TBackgroundSave::Suits(control, fileName))
        TBackgroundSave::Save(control, fileName, &FForm.Window());
    else
        control.Lines().SaveFile(fileName, IsPlainTextName(fileName) ? TOutputFormat::ofText
                                                                     : control.OutputFormat());
    control.SetModifiedFlag(false);
}
