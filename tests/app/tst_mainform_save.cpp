#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/EAbort.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"
#include "app/TZarvelApplication.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "widgets/TMRUFileList.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include <memory>
#include <stdexcept>

namespace {
QByteArray ReadFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString &name, const QByteArray &data)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}
} // namespace

// The question before a modified pane is discarded, closing, and the basic saves it runs.
class TestSaveQuestion : public QObject
{
    Q_OBJECT

    std::unique_ptr<TMainForm> form;
    QTemporaryDir dir;

    QString File(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    void Trigger(const char *item) { form->MainMenu().Item(QString::fromLatin1(item)).trigger(); }
    void Type(TRichEditEx &pane, const char *text)
    {
        pane.SetSelectedText(text);
        QVERIFY(pane.ModifiedFlag());
    }
    std::string DocumentText() const { return form->RichEditEx1->WholeText(); }

private slots:
    void init() { form = std::make_unique<TMainForm>(); }
    void cleanup() { form.reset(); }

    void newAsks_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("saveDialogAccepted");
        QTest::addColumn<bool>("cleared");
        QTest::addColumn<bool>("saved");
        QTest::newRow("yes") << "Yes" << true << true << true;
        QTest::newRow("yes, save dialog cancelled") << "Yes" << false << false << false;
        QTest::newRow("no") << "No" << false << true << false;
        QTest::newRow("cancel") << "Cancel" << false << false << false;
    }

    void newAsks()
    {
        QFETCH(QString, answer);
        QFETCH(bool, saveDialogAccepted);
        QFETCH(bool, cleared);
        QFETCH(bool, saved);
        Type(*form->RichEditEx1, "Dear Sir");
        const QString target = File("letter.rtf");
        QFile::remove(target);
        ScriptedDialogs script;
        script.ThenClick(answer);
        if (answer == "Yes") {
            if (saveDialogAccepted)
                script.ThenChooseFile(target);
            else
                script.ThenReject();
        }
        Trigger("FileNewItem");
        QCOMPARE(script.Pending(), 0);
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(script.Seen().value(0), QStringLiteral("Confirm\nSave changes to untitled?"));
        QCOMPARE(DocumentText().empty(), cleared);
        QCOMPARE(form->windowTitle(), cleared ? QStringLiteral("Untitled - Zarvel")
                                              : QStringLiteral("untitled - Zarvel"));
        QCOMPARE(form->RichEditEx1->ModifiedFlag(), !cleared);
        QCOMPARE(QFile::exists(target), saved);
        if (saved) {
            const QByteArray data = ReadFile(target);
            QVERIFY(data.startsWith("{\\rtf"));
            QVERIFY(data.contains("Dear Sir"));
            // Nothing but the saved file is left in the folder.
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"letter.rtf"});
        }
    }

    void noQuestionWithoutChangesOrText()
    {
        ScriptedDialogs script;
        form->RichEditEx1->SetModifiedFlag(true); // modified, but no lines
        Trigger("FileNewItem");
        Type(*form->RichEditEx1, "kept on disk");
        form->RichEditEx1->SetModifiedFlag(false);
        Trigger("FileNewItem");
        QCOMPARE(script.Seen().size(), 0);
        QVERIFY(DocumentText().empty());
    }

    void newAsksAboutTheDocumentWhicheverPaneIsShown()
    {
        Type(*form->RichEditEx1, "template text");
        form->T1Click();
        QVERIFY(form->RichEditEx1->isHidden());
        {
            ScriptedDialogs script;
            script.ThenClick("Cancel");
            Trigger("FileNewItem");
            QCOMPARE(script.Seen().size(), 1);
            QCOMPARE(DocumentText(), std::string("template text"));
        }
        // A modified information pane is not what New discards: no question.
        form->RichEditEx1->SetModifiedFlag(false);
        Type(*form->RichEditEx2, "Name\rSmith");
        ScriptedDialogs script;
        Trigger("FileNewItem");
        QCOMPARE(script.Seen().size(), 0);
        QVERIFY(DocumentText().empty());
        QCOMPARE(form->RichEditEx2->WholeText(), std::string("Name\rSmith"));
    }

    void openAsksThenLoadsIntoTheShownDocumentPane()
    {
        const QString source = File("source.txt");
        WriteFile(source, "line one\r\nline two\r\n");
        Type(*form->RichEditEx1, "unsaved");
        form->T1Click();
        ScriptedDialogs script;
        script.ThenClick("No");
        script.ThenChooseFile(source);
        Trigger("FileOpenItem");
        QCOMPARE(script.Pending(), 0);
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(form->RichEditEx1->Lines().LineAt(1), std::string("line two"));
        QVERIFY(!form->RichEditEx1->isHidden());
        QVERIFY(form->RichEditEx2->isHidden());
        QVERIFY(!form->RichEditEx1->ModifiedFlag());
        QCOMPARE(form->windowTitle(), QStringLiteral("source.txt - Zarvel"));
        QCOMPARE(form->DocumentName(), source);
    }

    void openCancelledAtTheQuestionShowsNoDialog()
    {
        Type(*form->RichEditEx1, "unsaved");
        ScriptedDialogs script;
        script.ThenClick("Cancel");
        Trigger("FileOpenItem");
        QCOMPARE(script.Seen().size(), 1);
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(DocumentText(), std::string("unsaved"));
    }

    void saveAdoptsTheNameItWroteTo()
    {
        // Typed and saved with the keys, on the shown window.
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->RichEditEx1->setFocus();
        QTest::keyClicks(form->RichEditEx1, "first");
        QStringList offered;
        const auto chooseAndRecord = [&offered](const QString &target) {
            return [&offered, target](QDialog &dialog) {
                auto &files = static_cast<QFileDialog &>(dialog);
                offered << files.selectedFiles().value(0);
                files.selectFile(target);
                return int(QDialog::Accepted);
            };
        };
        {
            ScriptedDialogs script;
            script.Then(chooseAndRecord(File("letter1.rtf")));
            QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(script.Pending(), 0);
        }
        QVERIFY(ReadFile(File("letter1.rtf")).contains("first"));
        QCOMPARE(form->windowTitle(), QStringLiteral("letter1.rtf - Zarvel"));
        QCOMPARE(form->PaneName(TPane::Document), File("letter1.rtf"));
        // "untitled" was not offered as a file name.
        QVERIFY(!offered.value(0).endsWith("untitled"));

        // The next Save offers the file just written; plain text and HTML names are adopted
        // as well.
        for (const char *name : {"letter2.txt", "letter3.html"}) {
            QTest::keyClicks(form->RichEditEx1, " more");
            ScriptedDialogs script;
            script.Then(chooseAndRecord(File(name)));
            QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(script.Pending(), 0);
            QCOMPARE(form->windowTitle(), QString::fromLatin1(name) + " - Zarvel");
        }
        QCOMPARE(offered,
                 (QStringList{offered.value(0), File("letter1.rtf"), File("letter2.txt")}));
        QVERIFY(ReadFile(File("letter2.txt")).startsWith("first more"));
        QVERIFY(ReadFile(File("letter3.html")).toLower().contains("<html"));

        // The save question names the last file written.
        QTest::keyClicks(form->RichEditEx1, " end");
        ScriptedDialogs script;
        script.ThenClick("Cancel");
        QVERIFY(!form->close());
        QCOMPARE(script.Seen().value(0),
                 QStringLiteral("Confirm\nSave changes to %1?").arg(File("letter3.html")));
    }

    void savedInformationAndTemplateFilesJoinTheirRecentLists()
    {
        Type(*form->RichEditEx2, "Name\rSmith");
        form->T1Click();
        {
            ScriptedDialogs script;
            script.ThenChooseFile(File("case.inf"));
            Trigger("FileSaveItem");
        }
        QCOMPARE(form->InformationFileName, File("case.inf"));
        QCOMPARE(form->MRUFiles1->Items().value(0), File("case.inf"));
        form->T1Click();
        Type(*form->RichEditEx1, "Dear @1");
        ScriptedDialogs script;
        script.ThenChooseFile(File("letter.tem"));
        Trigger("FileSaveAsItem");
        QCOMPARE(form->MRUFiles2->Items().value(0), File("letter.tem"));
        QCOMPARE(form->MRUFiles1->Items().count(File("letter.tem")), 0);
        QCOMPARE(form->windowTitle(), QStringLiteral("letter.tem - Zarvel"));
    }

    void saveWritesThePaneOfRuleA()
    {
        Type(*form->RichEditEx1, "document words");
        Type(*form->RichEditEx2, "information words");
        form->T1Click();
        ScriptedDialogs script;
        script.ThenChooseFile(File("info.inf"));
        Trigger("FileSaveAsItem");
        const QByteArray data = ReadFile(File("info.inf"));
        QVERIFY(data.contains("information words"));
        QVERIFY(!data.contains("document words"));
        QVERIFY(!form->RichEditEx2->ModifiedFlag());
        QVERIFY(form->RichEditEx1->ModifiedFlag());
    }

    void closingWithCancelKeepsTheWindow()
    {
        form->show();
        Type(*form->RichEditEx1, "draft");
        ScriptedDialogs script;
        script.ThenClick("Cancel");
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QCOMPARE(DocumentText(), std::string("draft"));
        QVERIFY(form->RichEditEx1->ModifiedFlag());
    }

    void closingAfterYesAndACancelledSaveKeepsTheWindow()
    {
        form->show();
        Type(*form->RichEditEx1, "draft");
        ScriptedDialogs script;
        script.ThenClick("Yes");
        script.ThenReject();
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QVERIFY(form->RichEditEx1->ModifiedFlag());
    }

    void closingAsksAboutEachModifiedPane()
    {
        // Right after start-up both panes count as shown, so the information pane is the
        // current one and is asked about first; then the document pane is shown and asked about.
        form->show();
        Type(*form->RichEditEx1, "alpha");
        Type(*form->RichEditEx2, "beta");
        ScriptedDialogs script;
        script.ThenClick("Yes");
        script.ThenChooseFile(File("a.rtf"));
        script.ThenClick("Yes");
        script.ThenChooseFile(File("b.inf"));
        QVERIFY(form->close());
        QCOMPARE(script.Pending(), 0);
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(script.Seen().size(), 4);
        QVERIFY(script.Seen()[0].endsWith("Save changes to untitled?"));
        QVERIFY(script.Seen()[2].endsWith("Save changes to untitled?"));
        QVERIFY(ReadFile(File("a.rtf")).contains("beta"));
        QVERIFY(!ReadFile(File("a.rtf")).contains("alpha"));
        QVERIFY(ReadFile(File("b.inf")).contains("alpha"));
        QVERIFY(form->RichEditEx2->isHidden());
    }

    void closingAsksAboutTheInformationPaneByItsName()
    {
        form->show();
        form->InformationFileName = File("case.inf");
        form->SetDocumentName(form->InformationFileName);
        form->PaneRules().Show(TPane::Information);
        Type(*form->RichEditEx1, "alpha");
        Type(*form->RichEditEx2, "beta");
        ScriptedDialogs script;
        script.ThenClick("No");
        script.ThenClick("Cancel");
        QVERIFY(!form->close());
        QCOMPARE(script.Seen().size(), 2);
        // The shown information pane first, under the document name; then the document pane,
        // which is shown for its question.
        QVERIFY(script.Seen()[0].endsWith("Save changes to " + File("case.inf") + "?"));
        QVERIFY(script.Seen()[1].endsWith("Save changes to untitled?"));
        QVERIFY(!form->RichEditEx1->isHidden());
    }

    void closingWithAFailedSaveShowsTheErrorAndStaysOpen()
    {
        form->show();
        Type(*form->RichEditEx1, "precious");
        ScriptedDialogs script;
        script.ThenClick("Yes");
        script.ThenChooseFile(File("missing-folder/x.rtf"));
        script.ThenAccept();
        QVERIFY(!form->close());
        QCOMPARE(script.Pending(), 0);
        QVERIFY(script.LastSeen().startsWith("Zarvel\n"));
        QVERIFY(script.LastSeen().contains("x.rtf"));
        QVERIFY(form->isVisible());
        QVERIFY(form->RichEditEx1->ModifiedFlag());
    }

    void exitRunsTheSameQuestion()
    {
        form->show();
        Type(*form->RichEditEx1, "draft");
        {
            ScriptedDialogs script;
            script.ThenClick("Cancel");
            Trigger("FileExitItem");
            QCOMPARE(script.Seen().size(), 1);
            QVERIFY(form->isVisible());
        }
        ScriptedDialogs script;
        script.ThenClick("No");
        Trigger("FileExitItem");
        QVERIFY(!form->isVisible());
    }

    void askSaveChangesPicksThePaneOfRuleB()
    {
        Type(*form->RichEditEx1, "draft");
        ScriptedDialogs script;
        // Both panes count as shown: the unmodified information pane is the one asked about.
        form->AskSaveChanges();
        QCOMPARE(script.Seen().size(), 0);
        form->T1Click();
        form->T1Click();
        script.ThenClick("Cancel");
        QVERIFY_THROWS_EXCEPTION(EAbort, form->AskSaveChanges());
        QCOMPARE(script.Seen().size(), 1);
        QCOMPARE(DocumentText(), std::string("draft"));
    }

    void commandFailuresReachTheErrorDisplay()
    {
        ScriptedDialogs script;
        script.Then([](QDialog &dialog) {
            auto *box = qobject_cast<QMessageBox *>(&dialog);
            return box && box->icon() == QMessageBox::Critical ? 1 : 0;
        });
        TMainForm::RunCommand([] { throw std::runtime_error("Cannot open file x.rtf"); });
        TMainForm::RunCommand([] { throw EAbort(); });
        QCOMPARE(script.Seen(), QStringList{"Zarvel\nCannot open file x.rtf"});
        QCOMPARE(script.Unexpected(), 0);
    }

public:
    TestSaveQuestion() { QVERIFY(dir.isValid()); }
};

ZARVEL_TEST_MAIN(TestSaveQuestion)
#include "tst_mainform_save.moc"
