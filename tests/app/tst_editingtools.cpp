#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/TEditingTools.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"
#include "app/TSpeedBar.h"
#include "richedit/RichEditTypes.h"
#include "richedit/TRichEditEx.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QTextDocument>
#include <QTextTable>
#include <QToolButton>

#include <memory>

namespace {
int CountOf(const QByteArray &text, const QByteArray &what)
{
    return text.count(what);
}
} // namespace

// Undo, clipboard, "Math calculate", the two insert commands and the line-ending display,
// run through the main window's menu and tool bar.
class TestEditingTools : public QObject
{
    Q_OBJECT

    std::unique_ptr<TMainForm> form;

    void Trigger(const char *item) { form->MainMenu().Item(QString::fromLatin1(item)).trigger(); }
    TRichEditEx &Document() const { return *form->RichEditEx1; }
    TRichEditEx &Information() const { return *form->RichEditEx2; }

private slots:
    void init()
    {
        form = std::make_unique<TMainForm>();
        form->show();
        QFile::remove(QStringLiteral("$$$"));
    }
    void cleanup() { form.reset(); }

    void undoAndRedo()
    {
        Document().SetSelectedText("abc");
        Trigger("EditUndoItem");
        QCOMPARE(Document().WholeText(), std::string());
        Trigger("Redo1");
        QCOMPARE(Document().WholeText(), std::string("abc"));
    }

    void cutCopyPasteAndSelectAll()
    {
        Document().SetWholeText("hello world");
        Document().Select(0, 5);
        Trigger("EditCopyItem");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("hello"));
        QCOMPARE(Document().WholeText(), std::string("hello world"));
        Document().Select(5, 11);
        Trigger("EditCutItem");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" world"));
        QCOMPARE(Document().WholeText(), std::string("hello"));
        Document().SetSelectionStart(0);
        Trigger("EditPasteItem");
        QCOMPARE(Document().WholeText(), std::string(" worldhello"));
        Trigger("Selectall1");
        QCOMPARE(Document().SelectionStart(), 0);
        QCOMPARE(Document().SelectionLength(), Document().TextLength());
    }

    void mathCalculate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("expected");
        QTest::newRow("12*3+4") << "12*3+4" << 0 << 6 << "       40.00";
        QTest::newRow("inside a line") << "a 2^3 b" << 2 << 5 << "a         8.00 b";
        QTest::newRow("negative") << "1-1.5" << 0 << 5 << "       -0.50";
        QTest::newRow("no operator") << "hello" << 0 << 5 << "hello";
        QTest::newRow("division by zero") << "2/0" << 0 << 3 << "2/0";
        QTest::newRow("malformed") << "3+*" << 0 << 3 << "3+*";
    }

    void mathCalculate()
    {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, expected);
        Document().SetWholeText(text.toStdString());
        Document().Select(from, to);
        ScriptedDialogs script; // no message, even when the evaluation fails
        Trigger("Mathcalculate1");
        QCOMPARE(QString::fromStdString(Document().WholeText()), expected);
        QCOMPARE(script.Unexpected(), 0);
        // The selection was replaced in every case, so the command can be undone.
        QVERIFY(Document().CanUndo());
    }

    void mathCalculateWithoutSelection()
    {
        Document().SetWholeText("12*3+4");
        Document().SetSelectionStart(3);
        Trigger("Mathcalculate1");
        QCOMPARE(Document().WholeText(), std::string("12*3+4"));
        QVERIFY(!Document().ModifiedFlag());
    }

    void blankLinesReplaceTheSelection()
    {
        Document().SetWholeText("abcXYZdef");
        Document().Select(3, 6);
        Trigger("Insertpagebreak1");
        QCOMPARE(Document().WholeText(), "abc" + std::string(10, '\r') + "def");
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));
    }

    void blankLinesGoToTheDocumentPane()
    {
        Information().SetWholeText("info");
        Document().SetWholeText("doc");
        Trigger("T1"); // the information pane is shown
        Trigger("Insertpagebreak1");
        QCOMPARE(Information().WholeText(), std::string("info"));
        QCOMPARE(CountOf(QByteArray::fromStdString(Document().WholeText()), "\r"), 10);
    }

    void pageBreakIsAFormFeed()
    {
        Document().SetWholeText("ab");
        Document().SetSelectionStart(1);
        Trigger("Insertnonvisiblepagebreak1");
        QCOMPARE(Document().WholeText(), std::string("a\fb"));
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));
    }

    void pilcrowButtonTwiceGivesBackTheText()
    {
        // A pilcrow of the user's own stays; formatting and a table's cells count as well.
        QVERIFY(Document().StreamInBytes("{\\rtf1\\ansi {\\b one}\\par two \\'b6 \\par\\pard "
                                         "\\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row "
                                         "three}",
                                         TStreamFormat::SF_RTF) == 0);
        const QString before = Document().WideTextRange(0, -1);
        const QByteArray richBefore = Document().StreamOutBytes(TStreamFormat::SF_RTF);
        const int paragraphs = int(before.count(QLatin1Char('\r'))) + 1;
        QVERIFY(paragraphs >= 5);

        QStringList messages;
        ScriptedDialogs script;
        const auto note = [&messages](QDialog &dialog) {
            messages << ScriptedDialogs::TextOf(dialog);
            return int(QDialog::Accepted);
        };
        script.Then(note);
        script.Then(note);
        // Right after start-up the document pane is the one on screen.
        form->SpeedBar->CRLFButton->click();
        const QString shown = Document().WideTextRange(0, -1);
        QCOMPARE(shown.count(QChar(0xB6)), before.count(QChar(0xB6)) + paragraphs);
        // Only ever at a paragraph's end.
        QCOMPARE(shown.count(QStringLiteral("\u00B6\r")), paragraphs - 1);
        QVERIFY(shown.endsWith(QChar(0xB6)));
        QVERIFY(shown.startsWith(QStringLiteral("one\u00B6\rtwo \u00B6 \u00B6\r")));
        QCOMPARE(Information().WholeText(), std::string());
        QVERIFY2(messages.value(0).contains(QString::number(paragraphs) +
                                            QStringLiteral(" replacements were made")),
                 qPrintable(messages.value(0)));
        QCOMPARE(form->msgpanel1->text(),
                 QString::number(paragraphs) + QStringLiteral("  replacements  "));

        form->SpeedBar->CRLFButton->click();
        QCOMPARE(Document().WideTextRange(0, -1), before);
        QCOMPARE(Document().StreamOutBytes(TStreamFormat::SF_RTF), richBefore);

        // Typing between two presses does not confuse the second.
        script.Then(note);
        script.Then(note);
        form->SpeedBar->CRLFButton->click();
        Document().SetSelectionStart(Document().TextLength());
        Document().SetSelectedText("\rfour");
        form->SpeedBar->CRLFButton->click();
        QCOMPARE(Document().WideTextRange(0, -1), before + QStringLiteral("\rfour"));
        QCOMPARE(script.Pending(), 0);
    }

    // The display of paragraph ends works on the saved rich text: a table stays a table,
    // its cells keep their text.
    void lineEndingsKeepTables()
    {
        QCOMPARE(
            Document().StreamInBytes(
                "{\\rtf1 Top\\par\\trowd\\cellx2000\\cellx4000\\pard\\intbl a\\cell b\\par c\\cell"
                "\\row\\pard End\\par}",
                TStreamFormat::SF_RTF),
            0);
        Trigger("T1");
        Trigger("T1");
        ScriptedDialogs script;
        script.ThenAccept();
        form->SpeedBar->CRLFButton->click();
        const QList<QTextFrame *> frames = Document().document()->rootFrame()->childFrames();
        QCOMPARE(frames.size(), 1);
        const auto *table = qobject_cast<QTextTable *>(frames.first());
        QVERIFY(table);
        QCOMPARE(table->rows(), 1);
        QCOMPARE(table->columns(), 2);
        const QString second = Document().WideTextRange(table->cellAt(0, 1).firstPosition(),
                                                        table->cellAt(0, 1).lastPosition());
        QVERIFY2(second.startsWith(QStringLiteral("b") + QChar(0xB6) + QLatin1Char('\r') +
                                   QLatin1Char('c')),
                 qPrintable(second));
        QVERIFY(Document().WideTextRange(0, -1).contains(QStringLiteral("Top") + QChar(0xB6)));
    }

    void lineEndingsUseTheShownInformationPane()
    {
        Information().SetWholeText("heading\rvalue");
        Document().SetWholeText("doc");
        Trigger("T1");
        ScriptedDialogs script;
        script.ThenAccept();
        form->SpeedBar->CRLFButton->click();
        QVERIFY(
            Information().WideTextRange(0, -1).contains(QStringLiteral("heading") + QChar(0xB6)));
        QCOMPARE(Document().WholeText(), std::string("doc"));
    }
};

ZARVEL_TEST_MAIN(TestEditingTools)
#include "tst_editingtools.moc"
