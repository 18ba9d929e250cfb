#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/TEditingTools.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"
#include "app/TReplaceDialog.h"
#include "richedit/TRichEditEx.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

// Find, Find Next and Replace through the Edit menu's modeless dialogs.
class TestFindReplace : public QObject
{
    Q_OBJECT

    std::unique_ptr<TMainForm> form;

    void Trigger(const char *item) { form->MainMenu().Item(QString::fromLatin1(item)).trigger(); }
    TFindDialog &FindDialog() const { return form->EditingTools().FindDialog1(); }
    TReplaceDialog &ReplaceDialog() const { return form->EditingTools().ReplaceDialog1(); }
    TRichEditEx &Document() const { return *form->RichEditEx1; }
    QPair<int, int> Selection(const TRichEditEx &pane) const
    {
        return {pane.SelectionStart(), pane.SelectionLength()};
    }
    // Opens the find dialog with the text and options and presses Find Next.
    void FindNext(const QString &text, bool matchCase = false, bool wholeWord = false)
    {
        Trigger("F1");
        FindDialog().FindEdit->setText(text);
        FindDialog().MatchCaseBox->setChecked(matchCase);
        FindDialog().WholeWordBox->setChecked(wholeWord);
        FindDialog().FindNextButton->click();
    }
    void PrepareReplace(const QString &find, const QString &with, bool matchCase = false,
                        bool wholeWord = false)
    {
        Trigger("R1");
        ReplaceDialog().FindEdit->setText(find);
        ReplaceDialog().ReplaceEdit->setText(with);
        ReplaceDialog().MatchCaseBox->setChecked(matchCase);
        ReplaceDialog().WholeWordBox->setChecked(wholeWord);
    }

private slots:
    void init()
    {
        form = std::make_unique<TMainForm>();
        form->show();
    }
    void cleanup() { form.reset(); }

    void findStartsAtTheBeginningAndMovesOn()
    {
        Document().SetWholeText("one two one two one");
        Document().SetSelectionStart(Document().TextLength()); // caret at the end
        FindNext(QStringLiteral("one"));
        QVERIFY(FindDialog().isVisible());
        QCOMPARE(Selection(Document()), qMakePair(0, 3));
        FindDialog().FindNextButton->click();
        QCOMPARE(Selection(Document()), qMakePair(8, 3));
        FindDialog().FindNextButton->click();
        QCOMPARE(Selection(Document()), qMakePair(16, 3));
        // No further match, pressed with the key on the shown dialog: the selection stays as
        // it was, and the hint panel says that nothing was found, without a dialog to answer.
        ScriptedDialogs script;
        QVERIFY(QTest::qWaitForWindowExposed(&FindDialog()));
        QTest::keyClick(FindDialog().FindEdit, Qt::Key_Return);
        QCOMPARE(Selection(Document()), qMakePair(16, 3));
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(form->Hintpanel->text(), QStringLiteral("\"one\" not found after the selection"));
        QVERIFY(!form->Hintpanel->isHidden());

        // From nothing selected, a text that is not there at all.
        Document().SetSelectionStart(2);
        FindDialog().FindEdit->setText(QStringLiteral("three"));
        QTest::keyClick(FindDialog().FindEdit, Qt::Key_Return);
        QCOMPARE(Selection(Document()), qMakePair(2, 0));
        QCOMPARE(form->Hintpanel->text(), QStringLiteral("\"three\" not found"));
    }

    void findStartsAfterTheSelection()
    {
        Document().SetWholeText("abc abc abc");
        Document().Select(2, 5);
        FindNext(QStringLiteral("abc"));
        QCOMPARE(Selection(Document()), qMakePair(8, 3));
    }

    void findOptions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<int>("expected");
        QTest::newRow("any case") << "Catalog Cat cat"
                                  << "cat" << false << false << 0;
        QTest::newRow("match case") << "Catalog Cat cat"
                                    << "cat" << true << false << 12;
        QTest::newRow("whole word") << "Catalog Cat cat"
                                    << "cat" << false << true << 8;
        QTest::newRow("both") << "Catalog Cat cat"
                              << "Cat" << true << true << 8;
        QTest::newRow("no match") << "Catalog Cat cat"
                                  << "dog" << false << false << -1;
    }

    void findOptions()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QFETCH(int, expected);
        Document().SetWholeText(text.toStdString());
        FindNext(find, matchCase, wholeWord);
        if (expected < 0)
            QCOMPARE(Selection(Document()), qMakePair(0, 0));
        else
            QCOMPARE(Selection(Document()), qMakePair(expected, int(find.size())));
    }

    void findSearchesTheShownPane()
    {
        form->RichEditEx2->SetWholeText("heading\rvalue");
        Document().SetWholeText("value in the document");
        Trigger("T1"); // show the information pane
        FindNext(QStringLiteral("value"));
        QCOMPARE(Selection(*form->RichEditEx2), qMakePair(8, 5));
        QCOMPARE(Selection(Document()), qMakePair(0, 0));
    }

    void emptyFindTextDisablesTheButtons()
    {
        Trigger("F1");
        Trigger("R1");
        FindDialog().FindEdit->clear();
        ReplaceDialog().FindEdit->clear();
        QVERIFY(!FindDialog().FindNextButton->isEnabled());
        QVERIFY(!ReplaceDialog().FindNextButton->isEnabled());
        QVERIFY(!ReplaceDialog().ReplaceButton->isEnabled());
        QVERIFY(!ReplaceDialog().ReplaceAllButton->isEnabled());
        QVERIFY(FindDialog().CancelButton->isEnabled());
        ReplaceDialog().FindEdit->setText(QStringLiteral("x"));
        QVERIFY(ReplaceDialog().ReplaceAllButton->isEnabled());
        QVERIFY(ReplaceDialog().ReplaceButton->isEnabled());
        QVERIFY(ReplaceDialog().FindNextButton->isEnabled());
        QVERIFY(!FindDialog().FindNextButton->isEnabled());
    }

    void emptyFindTextNeverSearches()
    {
        // Even when run directly, an empty find text changes nothing and ends.
        Document().SetWholeText("abc");
        Document().Select(1, 2);
        ReplaceDialog().SetFindText(QString());
        ReplaceDialog().SetReplaceText(QStringLiteral("x"));
        form->EditingTools().ReplaceDialog1Replace(true);
        form->EditingTools().ReplaceDialog1Replace(false);
        form->EditingTools().FindDialog1Find();
        QCOMPARE(Document().WholeText(), std::string("abc"));
        QCOMPARE(Selection(Document()), qMakePair(1, 1));
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("with");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a to aa") << "a a"
                                 << "a"
                                 << "aa" << false << false << "aa aa";
        QTest::newRow("no match") << "a a"
                                  << "b"
                                  << "c" << false << false << "a a";
        QTest::newRow("whole word") << "cat category cat"
                                    << "cat"
                                    << "dog" << false << true << "dog category dog";
        QTest::newRow("match case") << "Ab ab AB"
                                    << "ab"
                                    << "x" << true << false << "Ab x AB";
        QTest::newRow("any case") << "Ab ab AB"
                                  << "ab"
                                  << "x" << false << false << "x x x";
        QTest::newRow("removal") << "a-b-c-"
                                 << "-"
                                 << "" << false << false << "abc";
        QTest::newRow("replacement holds the text") << "xx"
                                                    << "x"
                                                    << "xax" << false << false << "xaxxax";
        QTest::newRow("pilcrow removal") << "one\u00B6\rtwo\u00B6"
                                         << "\u00B6"
                                         << "" << false << false << "one\rtwo";
    }

    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, with);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QFETCH(QString, expected);
        Document().SetWholeText(Document().ToAnsi(text));
        Document().SetSelectionStart(Document().TextLength()); // the caret does not matter
        PrepareReplace(find, with, matchCase, wholeWord);
        ReplaceDialog().ReplaceAllButton->click();
        QCOMPARE(Document().WideTextRange(0, -1), expected);
    }

    void replaceTakesTheMatchFoundByFindNext()
    {
        Document().SetWholeText("x1 x2 x3");
        PrepareReplace(QStringLiteral("x"), QStringLiteral("y"));
        ReplaceDialog().FindNextButton->click();
        QCOMPARE(Selection(Document()), qMakePair(0, 1));
        ReplaceDialog().FindNextButton->click();
        QCOMPARE(Selection(Document()), qMakePair(3, 1));
        ReplaceDialog().ReplaceButton->click();
        QCOMPARE(Document().WholeText(), std::string("x1 y2 x3"));
    }

    void replaceWithoutMatchChangesNothing()
    {
        Document().SetWholeText("abc");
        PrepareReplace(QStringLiteral("z"), QStringLiteral("y"));
        ReplaceDialog().ReplaceButton->click();
        QCOMPARE(Document().WholeText(), std::string("abc"));
        QVERIFY(!Document().ModifiedFlag());
    }

    void replaceAllIsOneUndoStepAndReportsItsCount()
    {
        Document().SetWholeText("a a a");
        PrepareReplace(QStringLiteral("a"), QStringLiteral("b"));
        // The cursor while the text changes.
        int changes = 0;
        Qt::CursorShape during = Qt::ArrowCursor;
        const TNotifyEvent formHandler = Document().OnChange;
        Document().OnChange = [&](TCustomRichEditEx *pane) {
            ++changes;
            if (const QCursor *cursor = QGuiApplication::overrideCursor())
                during = cursor->shape();
            formHandler(pane);
        };
        ReplaceDialog().ReplaceAllButton->click();
        QCOMPARE(Document().WholeText(), std::string("b b b"));
        QCOMPARE(changes, 1);
        QCOMPARE(during, Qt::WaitCursor);
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(form->Hintpanel->text(), QStringLiteral("3 replacements made"));
        Trigger("EditUndoItem");
        QCOMPARE(Document().WholeText(), std::string("a a a"));
        QVERIFY(!Document().CanUndo());
    }
};

ZARVEL_TEST_MAIN(TestFindReplace)
#include "tst_editingtools_search.moc"
