#include "MergeCases.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/TAssemblyCommands.h"
#include "app/TCheckReportDialog.h"
#include "app/TDialogForm.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"
#include "assembly/AssemblyTexts.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>

#include <memory>

namespace {

bool WriteFile(const QString &name, const QByteArray &data)
{
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray ReadFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Rtf(const QStringList &paragraphs)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 " +
           paragraphs.join(QStringLiteral("\\par\n")).toLatin1() + "\\par\n}";
}

// Information lines: heading i, then the value.
QStringList Pairs(const QStringList &values)
{
    QStringList lines;
    for (int i = 0; i < values.size(); ++i)
        lines << QStringLiteral("Heading %1").arg(i + 1) << values.at(i);
    return lines;
}

struct TBox
{
    int Count = 0;
    QString Caption;
    QString Message;
    int Beep = -1;
    // The window while the box was up.
    bool PanelShown = false;
    bool DocumentShown = false;
    bool InformationShown = false;
    bool WorkFileLeft = false;
    int Width = 0;
};

// A memory stream that claims more bytes than it yields.
class TShortReads : public QBuffer
{
public:
    using QBuffer::QBuffer;
    qint64 bytesAvailable() const override { return QBuffer::bytesAvailable() + 10; }
};

} // namespace

// "Do It" through the main window: the files are chosen with the menu commands and scripted
// dialogs, the merge runs from the menu and its messages are read from the message boxes.
class TestMerge : public QObject
{
    Q_OBJECT

    std::unique_ptr<TMainForm> form;
    std::unique_ptr<QTemporaryDir> dir;

    QString File(const QString &name) const { return dir->filePath(name); }
    void Trigger(const char *item) { form->MainMenu().Item(QString::fromLatin1(item)).trigger(); }
    TRichEditEx &Document() const { return *form->RichEditEx1; }
    TRichEditEx &Information() const { return *form->RichEditEx2; }

    // The document pane's paragraphs.
    QStringList DocumentLines() const
    {
        QStringList lines = Document().WideTextRange(0, -1).split(QLatin1Char('\r'));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    ScriptedDialogs::Answer Record(TBox &box)
    {
        return [this, &box](QDialog &dialog) {
            ++box.Count;
            if (auto *msg = qobject_cast<TDialogForm *>(&dialog)) {
                box.Caption = msg->Caption();
                box.Message = msg->Message();
                box.Beep = msg->Beep();
                box.Width = msg->frameGeometry().width();
            } else {
                box.Message = ScriptedDialogs::TextOf(dialog);
            }
            box.PanelShown = !form->msgpanel1->isHidden();
            box.DocumentShown = !Document().isHidden();
            box.InformationShown = !Information().isHidden();
            box.WorkFileLeft = QFile::exists(QStringLiteral("$$$"));
            return 1;
        };
    }

    // Chooses both files through the menu; an odd information file's message is answered.
    void Choose(const QStringList &templateParagraphs, const QStringList &informationLines,
                const QByteArray &templateBytes = QByteArray())
    {
        const QString templ = File(QStringLiteral("case.tem"));
        const QString info = File(QStringLiteral("case.inf"));
        QVERIFY(
            WriteFile(templ, templateBytes.isEmpty() ? Rtf(templateParagraphs) : templateBytes));
        QVERIFY(WriteFile(info, informationLines.join(QStringLiteral("\r\n")).toLatin1()));
        ScriptedDialogs script;
        script.ThenChooseFile(info);
        if (informationLines.size() % 2 != 0)
            script.ThenAccept();
        script.ThenChooseFile(templ);
        Trigger("EditInformationFile1");
        Trigger("EditTemplateFile1");
        QCOMPARE(script.Pending(), 0);
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(form->TemplateFileName, templ);
    }

    // Chooses a template and an information file of the shared cases through the menu.
    void ChooseCase(const QString &templ, const QString &information)
    {
        ScriptedDialogs script;
        script.ThenChooseFile(MergeCases::File(information));
        script.ThenChooseFile(MergeCases::File(templ));
        Trigger("EditInformationFile1");
        Trigger("EditTemplateFile1");
        QCOMPARE(script.Pending(), 0);
        QCOMPARE(script.Unexpected(), 0);
    }

    // Runs "Do It"; the one message box it shows is recorded.
    TBox Merge()
    {
        TBox box;
        ScriptedDialogs script;
        script.Then(Record(box));
        Trigger("DoIt1");
        if (script.Unexpected() != 0)
            box.Count += script.Unexpected();
        return box;
    }

    static QString Prepared(const std::string &text)
    {
        return TDialogForm::PrepareMessage(QString::fromLatin1(text));
    }

    void VerifyFinished(const TBox &box, int count)
    {
        QCOMPARE(box.Count, 1);
        QCOMPARE(box.Caption, QStringLiteral("%1 replacements were made").arg(count));
        QCOMPARE(box.Beep, int(TDialogForm::AsteriskBeep));
        QCOMPARE(box.Message, Prepared(MergeFinishText));
        // This program's words, spelled right, in a box no wider than the window.
        for (const char *word : {"Windows", "Procesing", "programme"})
            QVERIFY2(!box.Message.contains(QLatin1String(word)), word);
        QVERIFY(box.Message.contains(QStringLiteral("Zarvel")) ||
                box.Message.contains(QStringLiteral("File, Print")));
        QVERIFY2(box.Width > 0 && box.Width <= form->width(),
                 qPrintable(QStringLiteral("%1 > %2").arg(box.Width).arg(form->width())));
        QCOMPARE(form->msgpanel1->text(), QStringLiteral("%1  replacements  ").arg(count));
        QVERIFY(form->msgpanel1->isHidden());
        QVERIFY(form->ProgressBar1->isHidden());
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));
    }

    // A merge that stopped: one message, the template still in the document pane and the
    // panel left up.
    void VerifyStopped(const TBox &box, const QString &caption, int beep, const QString &message)
    {
        QCOMPARE(box.Count, 1);
        QCOMPARE(box.Caption, caption);
        QCOMPARE(box.Beep, beep);
        QVERIFY2(box.Message.startsWith(message), qPrintable(box.Message));
        QVERIFY(!form->msgpanel1->isHidden());
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));
    }

private slots:
    void init()
    {
        QFile::remove(QStringLiteral("debug.rtf"));
        QFile::remove(QStringLiteral("$$$"));
        dir = std::make_unique<QTemporaryDir>();
        form = std::make_unique<TMainForm>();
        form->show();
    }
    void cleanup()
    {
        form.reset();
        dir.reset();
    }

    // --- Before the merge ---------------------------------------------------------------

    void noTemplateInTheDocumentPane()
    {
        // A chosen template does not count once the document pane no longer holds it.
        form->TemplateFileName = File(QStringLiteral("letter.tem"));
        Document().SetWholeText("one line only");
        const TBox box = Merge();
        QCOMPARE(box.Count, 1);
        QCOMPARE(box.Caption, QStringLiteral("Zarvel"));
        QCOMPARE(box.Beep, int(TDialogForm::ExclamationBeep));
        QCOMPARE(box.Message, Prepared(NoTemplateText));
        QVERIFY(form->msgpanel1->isHidden());
        QVERIFY(!QFile::exists(QStringLiteral("debug.rtf")));
        QCOMPARE(Document().WholeText(), std::string("one line only"));
    }

    void unreadableTemplateFileStopsWithTheErrorDisplay()
    {
        Document().SetWholeText("typed\rnot chosen");
        TBox box = Merge();
        QCOMPARE(box.Count, 1);
        QVERIFY(box.Message.contains(QStringLiteral("Cannot open file")));
        QVERIFY(!form->msgpanel1->isHidden());
        QCOMPARE(form->msgpanel1->text(), QStringLiteral("Please wait"));
        QCOMPARE(Document().WholeText(), std::string("typed\rnot chosen"));
    }

    // --- Insert mode --------------------------------------------------------------------

    void insertModeCountsEveryOccurrence()
    {
        Choose({"Dear @1,", "We write to @1 about @2.", "Regards to @1"}, Pairs({"Jones", "rent"}));
        Information().show();
        Information().setFocus();
        const TBox box = Merge();
        VerifyFinished(box, 4);
        QVERIFY(!box.PanelShown);
        QVERIFY(box.DocumentShown);
        QVERIFY(!box.InformationShown);
        QVERIFY(!box.WorkFileLeft);
        QCOMPARE(DocumentLines(),
                 QStringList({"Dear Jones,", "We write to Jones about rent.", "Regards to Jones"}));
        QCOMPARE(form->focusWidget(), static_cast<QWidget *>(&Document()));
        QVERIFY(Information().isHidden());
        // The last step's text is left in the working file; it is rich text again.
        const QByteArray debug = ReadFile(QStringLiteral("debug.rtf"));
        QVERIFY(debug.startsWith("{\\rtf1"));
        QVERIFY(debug.contains("We write to Jones about rent."));
        QVERIFY(!debug.contains('@'));
        // The caption and the save question call it a merged letter of the two files, not
        // after a file it was never written to, and Save offers no file name.
        const QString merged = QStringLiteral("Merged letter of case.tem + case.inf (not saved)");
        QCOMPARE(form->windowTitle(), merged + " - Zarvel");
        QCOMPARE(form->PaneName(TPane::Document), merged);
    }

    // A form whose placeholders stand in table cells: they merge like any other and the
    // assembled document keeps the table, merged cells and all.
    void placeholdersInTableCells()
    {
        QFile sample(TestEnvironment::dataPath(QStringLiteral("rtf/word2003_form.rtf")));
        QVERIFY(sample.open(QIODevice::ReadOnly));
        Choose({}, Pairs({"Smith", "Jane Smith", "High Street 1", "Leeds", "LS1 4AB", "J. Smith"}),
               sample.readAll());
        VerifyFinished(Merge(), 6);
        const QList<QTextFrame *> frames = Document().document()->rootFrame()->childFrames();
        QCOMPARE(frames.size(), 1);
        const auto *table = qobject_cast<QTextTable *>(frames.first());
        QVERIFY(table);
        QCOMPARE(table->rows(), 3);
        auto text = [table](int row, int column) {
            return table->cellAt(row, column).firstCursorPosition().block().text();
        };
        QCOMPARE(text(0, 1), QStringLiteral("Jane Smith"));
        QCOMPARE(text(1, 1), QStringLiteral("Street: High Street 1"));
        QCOMPARE(text(1, 2), QStringLiteral("Town: Leeds"));
        QCOMPARE(text(2, 1), QStringLiteral("Post code: LS1 4AB"));
        QCOMPARE(table->cellAt(1, 0).rowSpan(), 2);
        QVERIFY(DocumentLines().contains(QStringLiteral("Claim form for Smith")));
        QVERIFY(DocumentLines().contains(QStringLiteral("Signed: J. Smith")));
    }

    void shorterPlaceholderLeavesTheLongerOne()
    {
        QStringList values;
        for (int i = 1; i <= 12; ++i)
            values << QStringLiteral("v%1").arg(i);
        Choose({"First @1 and twelfth @12", "end"}, Pairs(values));
        VerifyFinished(Merge(), 2);
        QCOMPARE(DocumentLines().value(0), QStringLiteral("First v1 and twelfth v12"));
    }

    void valuesWithOperatorsAreEvaluated_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("merged");
        QTest::newRow("product") << "2*3"
                                 << "        6.00";
        QTest::newRow("power and sum") << "2^3+1.5"
                                       << "        9.50";
        QTest::newRow("division") << "3/4"
                                  << "        0.75";
        QTest::newRow("no operator") << "Smith & Co"
                                     << "Smith & Co";
        QTest::newRow("rejected expression keeps its text") << "Jones-Smith"
                                                            << "Jones-Smith";
    }

    void valuesWithOperatorsAreEvaluated()
    {
        QFETCH(QString, value);
        QFETCH(QString, merged);
        Choose({"Total: @1 due", "end"}, Pairs({value}));
        VerifyFinished(Merge(), 1);
        QCOMPARE(DocumentLines().value(0), QStringLiteral("Total: %1 due").arg(merged));
    }

    void valueHoldingAPlaceholderIsReplacedLater()
    {
        Choose({"Note: @1 here", "end"}, Pairs({"see @2", "B"}));
        VerifyFinished(Merge(), 2);
        QCOMPARE(DocumentLines().value(0), QStringLiteral("Note: see B here"));
    }

    void valuesComeFromThePaneAsItStands()
    {
        Choose({"Name: @1", "end"}, Pairs({"Jones"}));
        Information().Lines().ReplaceLine(1, "Edited");
        // The edited pane and, the second time, the unsaved result are not saved.
        const auto mergeAfterNo = [this] {
            TBox box;
            ScriptedDialogs script;
            script.ThenClick(QStringLiteral("No"));
            script.Then(Record(box));
            Trigger("DoIt1");
            box.Count += script.Unexpected();
            return box;
        };
        // The template is read from disk: typing into the pane does not reach the merge.
        Document().SetSelectionStart(0);
        Document().SetSelectedText("typed ");
        VerifyFinished(mergeAfterNo(), 1);
        QCOMPARE(DocumentLines(), QStringList({"Name: Edited", "end"}));
        // Running it again reads the template afresh and replaces the pane again.
        VerifyFinished(mergeAfterNo(), 1);
        QCOMPARE(DocumentLines(), QStringList({"Name: Edited", "end"}));
    }

    void plainTextTemplateMergesToo()
    {
        Choose({}, Pairs({"Jones"}), QByteArray("Dear @1\r\nYours\r\n"));
        VerifyFinished(Merge(), 1);
        QCOMPARE(DocumentLines(), QStringList({"Dear Jones", "Yours"}));
    }

    void mergesTheSharedCases_data() { MergeCases::AddFinishing(); }

    void mergesTheSharedCases()
    {
        QFETCH(QString, templ);
        QFETCH(QString, information);
        QFETCH(QString, expected);
        QFETCH(int, count);
        ChooseCase(templ, information);
        VerifyFinished(Merge(), count);
        QCOMPARE(DocumentLines(), MergeCases::Lines(expected));
    }

    void missingValueNamesThePlaceholder()
    {
        ChooseCase(MergeCases::StoppingTemplate, MergeCases::StoppingInformation);
        const TBox box = Merge();
        VerifyStopped(box, QStringLiteral("Zarvel"), TDialogForm::HandBeep,
                      Prepared(MissingValueText));
        QVERIFY2(box.Message.endsWith(MergeCases::StoppingMessageEnd), qPrintable(box.Message));
        QCOMPARE(form->msgpanel1->text(), QStringLiteral("6  replacements  "));
    }

    void checkTemplateShowsTheReport()
    {
        ScriptedDialogs noTemplate;
        noTemplate.ThenAccept();
        Trigger("CheckTemplate1");
        QCOMPARE(noTemplate.Pending(), 0);
        QVERIFY(noTemplate.LastSeen().contains(QStringLiteral("You have not chosen a Template")));

        ChooseCase(MergeCases::StoppingTemplate, MergeCases::StoppingInformation);
        QString report;
        int result = -1;
        ScriptedDialogs script;
        script.Then([&report, &result](QDialog &dialog) {
            auto *check = qobject_cast<TCheckReportDialog *>(&dialog);
            report = check ? check->Report() : QString();
            dialog.show();
            QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("OK")),
                              Qt::LeftButton);
            result = dialog.result();
            return result;
        });
        Trigger("CheckTemplate1");
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(!report.isEmpty());
        QVERIFY(script.LastSeen().contains(form->TemplateFileName));
        for (const QString &line : MergeCases::Lines(MergeCases::StoppingCheckLines))
            QVERIFY2(report.split(QLatin1Char('\n')).contains(line),
                     qPrintable(line + "\n" + report));
        // Checking merges nothing.
        QVERIFY(!QFile::exists(QStringLiteral("debug.rtf")));
        QVERIFY(form->msgpanel1->isHidden());
    }

    // --- Overwrite mode -----------------------------------------------------------------

    void overwriteModeKeepsTheLineLength_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("line");
        QTest::newRow("two letters") << "AB"
                                     << "Name: AB      end";
        QTest::newRow("four letters") << "ABCD"
                                      << "Name: ABCD    end";
        QTest::newRow("one letter") << "A"
                                    << "Name: A       end";
    }

    void overwriteModeKeepsTheLineLength()
    {
        QFETCH(QString, value);
        QFETCH(QString, line);
        Choose({"Name: @1      end", "Next: @1      end"}, Pairs({value}));
        Trigger("ToggleInsOverwrite1");
        QVERIFY(form->OverwriteMode);
        QVERIFY(form->MainMenu().Item(QStringLiteral("ToggleInsOverwrite1")).isChecked());
        // Overwrite mode replaces one occurrence a step.
        VerifyFinished(Merge(), 2);
        QCOMPARE(DocumentLines(), QStringList({line, QString(line).replace("Name", "Next")}));
    }

    // What the merge left in the letter, and what pushed the text along in overwrite mode,
    // is named with its line in the closing message.
    void closingMessageNamesWhatNeedsALook()
    {
        Choose({"No. {\\b @}{\\b 1}, {\\f0 @}{\\f0 1} and {\\b @2} next", "end"},
               Pairs({"A", "longer value"}));
        TBox box = Merge();
        QCOMPARE(box.Count, 1);
        QVERIFY2(box.Message.contains(QStringLiteral("@1 on line 1 of the template was not merged")),
                 qPrintable(box.Message));
        // Only a font repeated between "@" and its digits: merged.
        QCOMPARE(DocumentLines(), QStringList({"No. @1, A and longer value next", "end"}));

        Trigger("ToggleInsOverwrite1");
        Document().SetModifiedFlag(false); // the merged letter needs no saving here
        box = Merge();
        QVERIFY2(box.Message.contains(QStringLiteral("@2 on line 1 of the template did not fit")),
                 qPrintable(box.Message));
        // A shorter value is padded to its placeholder's length.
        QCOMPARE(DocumentLines(), QStringList({"No. @1, A  and longer value next", "end"}));
    }

    // A file of zero bytes that is no UTF-16 is refused when it is selected, naming it.
    void informationFileOfZeroBytesIsRefused()
    {
        const QString info = File(QStringLiteral("binary.inf"));
        QVERIFY(WriteFile(info, QByteArray("N\0a\0m\0e\0\r\0\n\0", 12)));
        TBox box;
        ScriptedDialogs script;
        script.ThenChooseFile(info);
        script.Then(Record(box));
        Trigger("EditInformationFile1");
        QCOMPARE(box.Count, 1);
        QVERIFY2(box.Message.contains(QStringLiteral("binary.inf holds zero bytes")),
                 qPrintable(box.Message));
        QVERIFY(form->InformationFileName != info);
        QCOMPARE(Information().TextLength(), 0);
    }

    // --- Stops ---------------------------------------------------------------------------

    void missingValues_data()
    {
        QTest::addColumn<QStringList>("paragraphs");
        QTest::addColumn<QStringList>("information");
        QTest::addColumn<QString>("merged"); // first line of the last completed step
        QTest::newRow("3-line information file")
            << QStringList{"@1 and @2", "end"} << QStringList{"Heading 1", "A", "Heading 2"}
            << "A and @2";
        QTest::newRow("empty information pane")
            << QStringList{"Dear @1", "end"} << QStringList{} << "";
    }

    void missingValues()
    {
        QFETCH(QStringList, paragraphs);
        QFETCH(QStringList, information);
        QFETCH(QString, merged);
        Choose(paragraphs, information);
        const std::string before = Document().WholeText();
        const TBox box = Merge();
        VerifyStopped(box, QStringLiteral("Zarvel"), TDialogForm::HandBeep,
                      Prepared(MissingValueText));
        QCOMPARE(Document().WholeText(), before);
        if (merged.isEmpty()) {
            QVERIFY(!QFile::exists(QStringLiteral("debug.rtf")));
        } else {
            QVERIFY(ReadFile(QStringLiteral("debug.rtf")).contains(merged.toLatin1()));
            QCOMPARE(form->msgpanel1->text(), QStringLiteral("1  replacements  "));
        }
    }

    // After a stop the panel keeps that merge's count until the user moves on; a merge shows
    // only its own count.
    void mergePanelGoesWhenTheUserMovesOn()
    {
        const auto stopsWithPanel = [this](const QString &caption) {
            QCOMPARE(Merge().Count, 1);
            QVERIFY(!form->msgpanel1->isHidden());
            QCOMPARE(form->msgpanel1->text(), caption);
        };
        const QString oneStep = QStringLiteral("1  replacements  ");
        Choose({"@1 and @2", "end"}, Pairs({"A"}));
        stopsWithPanel(oneStep);
        ScriptedDialogs open;
        open.ThenChooseFile(form->TemplateFileName);
        Trigger("FileOpenItem");
        QCOMPARE(open.Pending(), 0);
        QVERIFY(form->msgpanel1->isHidden());

        // Nothing of the earlier count in the next merge, which stops before its first step.
        Information().SetWholeText("");
        stopsWithPanel(QString::fromLatin1(MergePanelCaption));
        Trigger("FileNewItem");
        QVERIFY(form->msgpanel1->isHidden());

        Choose({"@1 and @2", "end"}, Pairs({"A"}));
        stopsWithPanel(oneStep);
        Document().setFocus();
        QTest::keyClick(&Document(), Qt::Key_X);
        QVERIFY(form->msgpanel1->isHidden());
    }

    void overwriteClashStopsTheMerge()
    {
        Choose({"@1 @2 end", "second"}, Pairs({"ABCD", "X"}));
        Trigger("ToggleInsOverwrite1");
        const std::string before = Document().WholeText();
        const TBox box = Merge();
        VerifyStopped(box, QString(), TDialogForm::HandBeep,
                      Prepared(OverwriteClashText("ABCD", "@1")));
        QVERIFY(box.Message.contains(QStringLiteral("ABCD")));
        QCOMPARE(Document().WholeText(), before);
        QCOMPARE(form->msgpanel1->text(), QStringLiteral("Please wait"));
    }

    // --- Streaming the result -----------------------------------------------------------

    void streamingStopsAtAShortRead()
    {
        const QByteArray rich = Rtf({"streamed text", "second"});
        Document().SetWholeText("before");
        Document().SelectAll();
        TShortReads shortReads;
        shortReads.setData(rich);
        shortReads.open(QIODevice::ReadOnly);
        QVERIFY(TAssemblyCommands::StreamIntoSelection(Document(), shortReads,
                                                       TStreamFormat::SF_RTF |
                                                           TStreamFormat::SFF_SELECTION) != 0);
        QCOMPARE(Document().WholeText(), std::string("before"));

        QBuffer whole;
        whole.setData(rich);
        whole.open(QIODevice::ReadOnly);
        QCOMPARE(TAssemblyCommands::StreamIntoSelection(
                     Document(), whole, TStreamFormat::SF_RTF | TStreamFormat::SFF_SELECTION),
                 0);
        QCOMPARE(DocumentLines(), QStringList({"streamed text", "second"}));
    }
};

ZARVEL_TEST_MAIN(TestMerge)
#include "tst_assembly_merge.moc"
