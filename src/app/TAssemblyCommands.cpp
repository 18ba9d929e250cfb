#include "app/TAssemblyCommands.h"

#include "app/AssemblyFileKind.h"
#include "app/ConfirmBox.h"
#include "app/EAbort.h"
#include "app/ShowMsgBox.h"
#include "app/TAllRowsDialog.h"
#include "app/TAllRowsMerge.h"
#include "app/TCaseRowChooser.h"
#include "app/TCheckReportDialog.h"
#include "app/TFileCommands.h"
#include "app/THeadingBalloonWatch.h"
#include "app/TMainFormHost.h"
#include "assembly/AssemblyTexts.h"
#include "assembly/HeadingBalloon.h"
#include "assembly/MergeTextFile.h"
#include "assembly/TCaseTable.h"
#include "assembly/TInformationReader.h"
#include "assembly/TMergeEngine.h"
#include "assembly/TSpreadsheetTable.h"
#include "assembly/TTemplateCheck.h"
#include "assembly/TemplateCheckReport.h"
#include "richedit/EOutOfResources.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "richedit/TWideRichEditStringsEx.h"
#include "rtf/TRtfReader.h"
#include "rtf/TTextFileCodec.h"
#include "text/StringUtils.h"
#include "widgets/TBalloon.h"
#include "widgets/TDialogSeam.h"
#include "widgets/TMRUFileList.h"
#include "widgets/TOpenPreviewDialog.h"
#include "widgets/WorkingFolder.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScopedValueRollback>

#include <algorithm>
#include <chrono>
#include <future>
#include <optional>

namespace {

// Message and balloon texts are UTF-8: values and headings of the information file go into
// some of them.
QString FromUtf8(const std::string &text)
{
    return QString::fromStdString(text);
}

// The pane's text in [from, to) as code page bytes, one byte a position.
std::string PositionBytes(const TRichEditEx &pane, int from, int to)
{
    QString text = pane.WideTextRange(from, to);
    // Each half of a character outside the basic plane keeps its own position.
    for (QChar &c : text)
        if (c.isSurrogate())
            c = QLatin1Char('?');
    return pane.ToAnsi(text);
}

std::string FileNameBytes(const QString &fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

// Deletes the working file however the block is left.
class TRemoveFileOnExit
{
public:
    explicit TRemoveFileOnExit(QString fileName) : FFileName(std::move(fileName)) {}
    ~TRemoveFileOnExit() { QFile::remove(FFileName); }
    TRemoveFileOnExit(const TRemoveFileOnExit &) = delete;
    TRemoveFileOnExit &operator=(const TRemoveFileOnExit &) = delete;

private:
    QString FFileName;
};

constexpr int StreamReadError = 1;

// What the merged letter is called until it is saved: after the files it came from, never
// after a file it was not written to.
QString MergedLetterName(const QString &templateFile, const QString &informationFile)
{
    const QString from = informationFile.isEmpty()
                             ? QFileInfo(templateFile).fileName()
                             : QStringLiteral("%1 + %2").arg(QFileInfo(templateFile).fileName(),
                                                             QFileInfo(informationFile).fileName());
    return QStringLiteral("Merged letter of %1 (not saved)").arg(from);
}

// The wait cursor while a table is read.
class TWaitCursor
{
public:
    TWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor &) = delete;
    TWaitCursor &operator=(const TWaitCursor &) = delete;
};

// Reads a table on a thread of its own, so that the window keeps painting while a large one
// is read; what the user does meanwhile waits until it is read.
TCaseTable ReadTable(const QString &fileName)
{
    const TWaitCursor waiting;
    std::future<TCaseTable> reading =
        std::async(std::launch::async,
                   [name = FileNameBytes(fileName)] { return TSpreadsheetTable::Read(name); });
    while (reading.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return reading.get();
}

// The rows completed with empty values, in one message.
QString WarningsText(const std::vector<std::string> &warnings)
{
    constexpr std::size_t shown = 10;
    QString text;
    for (std::size_t i = 0; i < warnings.size() && i < shown; ++i)
        text += (text.isEmpty() ? QString() : QStringLiteral(";")) + FromUtf8(warnings[i]);
    if (warnings.size() > shown)
        text += QStringLiteral(";and %1 more rows like these.").arg(warnings.size() - shown);
    return text;
}

} // namespace

TAssemblyCommands::TAssemblyCommands(TMainFormHost &form, TFileCommands &fileCommands)
    : FForm(form), FFileCommands(fileCommands),
      FBalloonWatch(
          std::make_unique<THeadingBalloonWatch>(form.HeadingBalloon(), form.DocumentPane()))
{
    // Any change of either pane's text (typing, New, Open, another file) means the user has
    // moved on from the last merge. The watch, owned here, ends these connections with us.
    for (TRichEditEx *pane : {&form.DocumentPane(), &form.InformationPane()})
        QObject::connect(pane, &QTextEdit::textChanged, FBalloonWatch.get(),
                         [this] { DismissMergePanel(); });
}

TAssemblyCommands::~TAssemblyCommands() = default;

// --- Choosing the files ------------------------------------------------------------------

QString TAssemblyCommands::ChooseFile(const char *mask, const QString &previous)
{
    TOpenPreviewDialog &dialog = FForm.OpenDialog();
    dialog.SetFileName(QString::fromLatin1(mask));
    // Tables of cases are listed beside information files; the name box keeps the mask.
    if (mask == InformationFileMask) {
        dialog.setNameFilter(
            QStringLiteral("%1 *.csv *.tsv *.ods *.xlsx").arg(QString::fromLatin1(mask)));
        if (auto *nameBox = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            nameBox->setText(QString::fromLatin1(mask));
    }
    // Only a file of the same kind is offered again.
    if (!previous.isEmpty() && QFileInfo::exists(previous))
        dialog.selectFile(previous);
    const QString fileName = FFileCommands.RunOpenDialog();
    if (fileName.isEmpty())
        return QString();
    // The chosen file, not the mask, is what the dialog starts with next time, so that the
    // next Open lists every file again.
    dialog.SetFileName(fileName);
    return fileName;
}

void TAssemblyCommands::AskSaveChangesForEntry(TPane pane, TMRUFileList &list)
{
    try {
        FForm.AskSaveChanges(pane);
    } catch (const EAbort &) {
        list.KeepClickedItem();
        throw;
    }
}

void TAssemblyCommands::EditInformationFile1Click()
{
    FForm.AskSaveChanges(TPane::Information);
    const QString fileName = ChooseFile(InformationFileMask, FForm.InformationFile());
    if (!fileName.isEmpty() && ConfirmKind(fileName, TPane::Information))
        SelectInformationFile(fileName);
}

void TAssemblyCommands::SelectInformationFile(const QString &fileName)
{
    const bool table = TCaseTable::IsCaseSourceName(FileNameBytes(fileName));
    if (!table) {
        // A file of zero bytes that is not UTF-16 would merge zero bytes and empty values.
        QFile file(fileName);
        if (file.open(QIODevice::ReadOnly))
            TInformationReader::CheckBytes(file.readAll().toStdString(), fileName.toStdString());
    }
    // A table that is refused changes nothing.
    if (table)
        LoadTable(fileName);
    FForm.SetInformationFile(fileName);
    FForm.RecentInformationFiles().AddItem(fileName);
    FForm.SetDocumentName(fileName);
    if (!table)
        LoadInformation(fileName);
    FForm.PaneRules().Show(TPane::Information);
    // Reported now and otherwise accepted: the merge stops later at the value that is missing.
    if (!table && FForm.InformationPane().Lines().LineCount() % 2 != 0)
        ShowMsgBox(QString(), QLatin1Char('!'), QString::fromLatin1(OddLinesText));
    if (FTable && !FTable->Warnings().empty())
        ShowMsgBox(QString(), QLatin1Char('!'), WarningsText(FTable->Warnings()));
}

void TAssemblyCommands::LoadInformation(const QString &fileName)
{
    TRichEditEx &pane = FForm.InformationPane();
    if (FTable) {
        FTable.reset();
        FRowChooser->hide();
        pane.SetReadOnly(false);
    }
    pane.Lines().LoadFile(fileName);
}

void TAssemblyCommands::LoadTable(const QString &fileName)
{
    auto table = std::make_shared<const TCaseTable>(ReadTable(fileName));
    if (!FRowChooser) {
        QWidget &area = *FForm.InformationPane().parentWidget();
        FRowChooser = new TCaseRowChooser(&area);
        if (auto *grid = qobject_cast<QGridLayout *>(area.layout()))
            grid->addWidget(FRowChooser, 2, 0);
        QObject::connect(FRowChooser, &TCaseRowChooser::RowChanged, FRowChooser,
                         [this](int row) { ShowRow(row); });
    }
    FTable = std::move(table);
    FRowChooser->SetTable(FTable, fileName);
    FRowChooser->show();
}

void TAssemblyCommands::ShowRow(int row)
{
    QStringList lines;
    for (const std::string &line : FTable->InformationLines(static_cast<std::size_t>(row)))
        lines << FromUtf8(line);
    TRichEditEx &pane = FForm.InformationPane();
    // The table is the one source of its rows: the pane shows the row and takes no edits.
    pane.SetReadOnly(true);
    pane.Lines().ClearLines();
    pane.WideLines().AppendLines(lines);
    pane.SetModifiedFlag(false);
}

void TAssemblyCommands::RefuseWritingTable(const QString &fileName) const
{
    if (!FTable)
        return;
    const QFileInfo target(fileName);
    const QFileInfo table(FForm.InformationFile());
    if (target.exists() && table.exists() &&
        target.canonicalFilePath() == table.canonicalFilePath())
        throw EStreamError(
            QStringLiteral("%1 is the table of cases that the information pane shows a row of. "
                           "Zarvel does not write over it: save the row under another name, or "
                           "edit the table in a spreadsheet.")
                .arg(fileName)
                .toStdString());
}

QString TAssemblyCommands::InformationSource() const
{
    if (!FTable)
        return FForm.InformationFile();
    return QStringLiteral("%1 row %2").arg(FForm.InformationFile()).arg(FRowChooser->Row() + 1);
}

void TAssemblyCommands::EditTemplateFile1Click()
{
    FForm.AskSaveChanges(TPane::Document);
    const QString fileName = ChooseFile(TemplateFileMask, FForm.TemplateFile());
    if (!fileName.isEmpty() && ConfirmKind(fileName, TPane::Document))
        SelectTemplateFile(fileName);
}

bool TAssemblyCommands::ConfirmKind(const QString &fileName, TPane pane)
{
    const TAssemblyFileKind kind = AssemblyFileKindOf(fileName);
    QString question;
    if (pane == TPane::Information && kind == TAssemblyFileKind::Template)
        question = QStringLiteral("%1 looks like a template: rich text with placeholders such as "
                                  "@1.\nLoad it as the information file all the same?");
    else if (pane == TPane::Document && kind == TAssemblyFileKind::Information)
        question = QStringLiteral("%1 looks like an information file: plain text without "
                                  "placeholders.\nLoad it as the template all the same?");
    if (question.isEmpty())
        return true;
    return AskYesNoCancel(&FForm.Window(), question.arg(QFileInfo(fileName).fileName())) ==
           QMessageBox::Yes;
}

void TAssemblyCommands::SelectTemplateFile(const QString &fileName)
{
    FForm.SetTemplateFile(fileName);
    FForm.RecentTemplates().AddItem(fileName);
    // Not the template's name: a Save of the document then asks for a new file, so that a
    // merged document does not overwrite its template.
    FForm.SetDocumentName(QStringLiteral("untitled"));
    FForm.DocumentPane().Lines().LoadFile(fileName);
    FForm.PaneRules().Show(TPane::Document);
}

void TAssemblyCommands::MRUFiles1MRUItemClick(const QString &fileName)
{
    AskSaveChangesForEntry(TPane::Information, FForm.RecentInformationFiles());
    if (TCaseTable::IsCaseSourceName(FileNameBytes(fileName))) {
        LoadTable(fileName);
        if (!FTable->Warnings().empty())
            ShowMsgBox(QString(), QLatin1Char('!'), WarningsText(FTable->Warnings()));
    } else {
        FForm.InformationPane().Lines().ClearLines();
        LoadInformation(fileName);
    }
    FForm.Window().setWindowTitle(fileName);
    FForm.SetInformationFile(fileName);
    FForm.PaneRules().Show(TPane::Information);
}

void TAssemblyCommands::MRUFiles2MRUItemClick(const QString &fileName)
{
    AskSaveChangesForEntry(TPane::Document, FForm.RecentTemplates());
    TRichEditEx &pane = FForm.DocumentPane();
    pane.Lines().ClearLines();
    pane.Lines().LoadFile(fileName);
    FForm.SetTemplateFile(fileName);
    FForm.Window().setWindowTitle(fileName);
    FForm.PaneRules().Show(TPane::Document);
}

std::vector<std::string> TAssemblyCommands::InformationLines() const
{
    if (FTable)
        return FTable->InformationLines(static_cast<std::size_t>(FRowChooser->Row()));
    return TInformationReader::LinesOf(*FForm.InformationPane().document());
}

// --- Heading balloon ---------------------------------------------------------------------

void TAssemblyCommands::RichEditEx1MouseDown(Qt::MouseButton button, const QPoint &point)
{
    if (button != Qt::LeftButton)
        return;
    TRichEditEx &pane = FForm.DocumentPane();
    const int at = pane.CharAtPoint(point);
    if (at < 0)
        return;
    // The text around the character is enough: a placeholder whose digits run past it has a
    // number no information file reaches.
    constexpr int Reach = 32;
    const int from = std::max(0, at - Reach);
    const auto span = PlaceholderAt(PositionBytes(pane, from, at + Reach + 1),
                                    static_cast<std::size_t>(at - from));
    if (span)
        ShowHeadingBalloon(from + static_cast<int>(span->Start), from + static_cast<int>(span->End),
                           span->Number, point);
}

void TAssemblyCommands::ShowHeadingBalloon(int start, int end, long pairNumber, const QPoint &point)
{
    const auto balloon = HeadingBalloonFor(pairNumber, InformationLines());
    if (!balloon)
        return;
    TBalloon &hint = FForm.HeadingBalloon();
    if (balloon->NoInformation) {
        hint.SetColor(Qt::red);
        QFont font = hint.Font();
        font.setPointSize(11);
        hint.SetFont(font);
    } else {
        hint.SetColor(Qt::yellow);
    }
    hint.ShowAt(FromUtf8(balloon->Text), FForm.DocumentPane().viewport()->mapToGlobal(point));
    FBalloonWatch->Watch(start, end);
}

// --- Check Template ----------------------------------------------------------------------

void TAssemblyCommands::CheckTemplate1Click()
{
    // A template on screen that was opened, not selected, is checked as it stands.
    const bool onScreen =
        FForm.TemplateFile().isEmpty() && FForm.DocumentPane().Lines().LineCount() > 0;
    if (FForm.TemplateFile().isEmpty() && !onScreen) {
        ShowMsgBox(QString::fromLatin1(MergeCaption), QLatin1Char('!'),
                   QString::fromLatin1(NoTemplateText));
        return;
    }
    const std::string mergeText =
        onScreen ? FForm.DocumentPane().StreamOutBytes(TStreamFormat::SF_RTF).toStdString()
                 : LoadMergeText(FileNameBytes(FForm.TemplateFile()));
    std::optional<std::vector<std::string>> lines = InformationLines();
    if (lines->empty())
        lines.reset();
    const QString informationName = FForm.InformationFile().isEmpty()
                                        ? QStringLiteral("the information pane")
                                        : FForm.InformationFile();
    const TTemplateCheck check(mergeText, std::move(lines), FForm.MergeOverwrites());
    const std::string report =
        TemplateCheckReport(check, informationName.toStdString(), FForm.MergeOverwrites());
    TCheckReportDialog dialog(&FForm.Window(),
                              onScreen ? FForm.PaneName(TPane::Document) : FForm.TemplateFile(),
                              FromUtf8(report));
    TDialogSeam::Exec(dialog);
}

// --- The merge ---------------------------------------------------------------------------

void TAssemblyCommands::DoIt1Click()
{
    // A selected template is loaded into the document pane; that is what is looked at.
    if (FForm.DocumentPane().Lines().LineCount() < 2) {
        ShowMsgBox(QString::fromLatin1(MergeCaption), QLatin1Char('!'),
                   QString::fromLatin1(NoTemplateText));
        return;
    }
    // The merge replaces the document pane.
    FForm.AskSaveChanges(TPane::Document);
    QLabel &panel = FForm.MergePanel();
    // Only this merge's count: nothing is left from an earlier one.
    panel.setText(QString::fromLatin1(MergePanelCaption));
    panel.show();
    const QScopedValueRollback<bool> merging(FMerging, true);
    QCoreApplication::processEvents();

    TMergeEngine engine(InformationLines());
    engine.SetOverwriteMode(FForm.MergeOverwrites());
    engine.SetProgressHook([&panel](int count) {
        panel.setText(QString::fromStdString(MergeProgressCaption(count)));
        QCoreApplication::processEvents();
    });
    engine.SetStepHook([debugFile = WorkingFolder::FileBytes(MergeDebugFileName)](
                           const std::string &text) { SaveTextFile(debugFile, text); });
    const TMergeResult result = engine.MergeFile(FileNameBytes(FForm.TemplateFile()));
    if (!result.Finished()) {
        // The panel keeps its last caption and the document pane what it held; "debug.rtf"
        // has the text of the last completed step.
        ShowMergeStop(result);
        return;
    }

    InsertMergedText(result.Text);
    panel.hide();
    QCoreApplication::processEvents();
    TRichEditEx &document = FForm.DocumentPane();
    document.show();
    FForm.SetDocumentName(MergedLetterName(FForm.TemplateFile(), InformationSource()));
    ShowMsgBox(QString::fromStdString(MergeFinishCaption(result.Count)), QLatin1Char('I'),
               QString::fromLatin1(MergeFinishText) + FromUtf8(MergeNotesText(result)));
    document.setFocus(Qt::OtherFocusReason);
}

void TAssemblyCommands::DoItForAllRows1Click()
{
    if (!FTable) {
        ShowMsgBox(QString::fromLatin1(MergeCaption), QLatin1Char('!'),
                   QStringLiteral("Do It for All Rows merges every row of a table of cases;"
                                  "Select a .csv or .tsv file as the Information File first"));
        return;
    }
    if (FForm.TemplateFile().isEmpty()) {
        ShowMsgBox(QString::fromLatin1(MergeCaption), QLatin1Char('!'),
                   QString::fromLatin1(NoTemplateText));
        return;
    }
    TAllRowsDialog dialog(&FForm.Window(), FAllRowsFolder,
                          TMergedLetterWriter::TFormat(FAllRowsFormat));
    if (TDialogSeam::Exec(dialog) != QDialog::Accepted)
        return;
    FAllRowsFolder = dialog.Folder();
    FAllRowsFormat = int(dialog.Format());
    const std::string mergeText = LoadMergeText(FileNameBytes(FForm.TemplateFile()));
    const TAllRowsMerge merge(*FTable, FForm.InformationFile(), FForm.MergeOverwrites());
    const TAllRowsMerge::TOutcome outcome =
        merge.Run(FForm.Window(), mergeText, FAllRowsFolder, dialog.Format());
    const bool whole =
        !outcome.Cancelled && outcome.Stopped.isEmpty() && outcome.WriteError.isEmpty();
    ShowMsgBox(
        QString::fromLatin1(MergeCaption), whole ? QLatin1Char('I') : QLatin1Char('!'),
        TAllRowsMerge::Summary(outcome, static_cast<int>(FTable->RowCount()), FAllRowsFolder));
}

void TAssemblyCommands::DismissMergePanel()
{
    if (!FMerging)
        FForm.MergePanel().hide();
}

void TAssemblyCommands::ShowMergeStop(const TMergeResult &result)
{
    ShowMsgBox(FromUtf8(result.MessageCaption),
               result.MessageIcon ? QChar(QLatin1Char(result.MessageIcon)) : QChar(),
               FromUtf8(result.MessageText));
}

void TAssemblyCommands::InsertMergedText(const std::string &mergeText)
{
    FForm.MergeProgress().hide();
    FForm.InformationPane().hide();
    const QString workFile = WorkingFolder::File(QString::fromLatin1(MergeResultFileName));
    SaveTextFile(FileNameBytes(workFile), mergeText);
    const TRemoveFileOnExit removeWorkFile(workFile);
    FForm.DocumentPane().Lines().ClearLines();
    LoadMergedFile(workFile);
}

void TAssemblyCommands::LoadMergedFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EOutOfResources("Failed to Load Stream");
    QByteArray content = file.readAll();
    file.close();
    QBuffer memory(&content);
    memory.open(QIODevice::ReadOnly);
    TRichEditEx &pane = FForm.DocumentPane();
    if (StreamIntoSelection(pane, memory, TStreamFormat::SF_RTF | TStreamFormat::SFF_SELECTION) ==
        0)
        return;
    // A template written as plain text merges into plain text, which the control takes as
    // such, as it does when it loads a file.
    if (TRtfReader::IsRtf(content))
        throw EOutOfResources("Failed to Load Stream");
    // Its text in the template's own encoding (UTF-8 or code page 1252), as a load reads it.
    const QString text = TTextFileCodec::Decode(content);
    QByteArray wide(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    QBuffer wideMemory(&wide);
    wideMemory.open(QIODevice::ReadOnly);
    if (StreamIntoSelection(pane, wideMemory,
                            TStreamFormat::SF_TEXT | TStreamFormat::SF_UNICODE |
                                TStreamFormat::SFF_SELECTION) != 0)
        throw EOutOfResources("Failed to Load Stream");
}

int TAssemblyCommands::StreamIntoSelection(TRichEditEx &pane, QIODevice &source, unsigned format)
{
    TEditStream stream;
    stream.Callback = [&source](char *buffer, qint64 count, qint64 &done) {
        const qint64 wanted = std::min(count, source.bytesAvailable());
        const qint64 read = wanted > 0 ? source.read(buffer, wanted) : 0;
        done = std::max<qint64>(read, 0);
        return read < wanted ? StreamReadError : 0;
    };
    pane.StreamIn(format, stream);
    return stream.Error;
}
