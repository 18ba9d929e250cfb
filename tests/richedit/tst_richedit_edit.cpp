// The rich text control: selection, replacement and undo, length limit, protected text,
// events, modified flag, code pages and word breaks.
#include "TestEnvironment.h"

#include "richedit/RichEditTypes.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "rtf/TRtfFormatProperties.h"
#include "richedit/TTextAttributesEx.h"
#include "richedit/TWideRichEditStringsEx.h"

#include <QClipboard>
#include <QMimeData>
#include <QTextCursor>
#include <QTextTable>
#include <QtTest>

namespace {
// Marks [from, to) of the control's text protected, as a loaded \protect group does.
void Protect(TRichEditEx &edit, int from, int to)
{
    QTextCursor cursor(edit.document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setProperty(TRtfFormatProperties::Protected, true);
    cursor.mergeCharFormat(format);
}
} // namespace

class TestRichEditControl : public QObject
{
    Q_OBJECT

private slots:
    void selectionProperties();
    void textWithParagraphs();
    void replacementIsUndoable();
    void eachReplacementUndoesSeparately();
    void undoLimit();
    void undoLimitZeroKeepsNoHistory();
    void hiddenTextTakesNoRoom();
    void maxLength_data();
    void maxLength();
    void protectedWithoutHandlerRefused();
    void protectedTypingRefused();
    void protectedHandlerDecides();
    void protectedFromRichText();
    void changeEvent();
    void selectionChangeEvent();
    void modifiedFlag();
    void selectionBarKeepsText();
    void codePages_data();
    void codePages();
    void wordBreaks();
    void wantReturns();
    void fontIsDefaultFormat();
    void clipboardRoundTrip();
    void saveClipboardEvent();
    void resizeRequestEvent();
    void tablesAreEditedAsTables();
};

void TestRichEditControl::selectionProperties()
{
    TRichEditEx edit;
    edit.SetWholeText("Hello world");
    QCOMPARE(edit.SelectedText(), std::string());
    edit.SetSelectionStart(6);
    QCOMPARE(edit.SelectionStart(), 6);
    QCOMPARE(edit.SelectionLength(), 0);
    edit.SetSelectionLength(5);
    QCOMPARE(edit.SelectionStart(), 6);
    QCOMPARE(edit.SelectedText(), std::string("world"));
    edit.SetSelectionLength(50); // clamped to the text
    QCOMPARE(edit.SelectionLength(), 5);
    edit.SetSelectionStart(-3);
    QCOMPARE(edit.SelectionStart(), 0);
    edit.SetSelectionStart(100);
    QCOMPARE(edit.SelectionStart(), 11);
}

void TestRichEditControl::textWithParagraphs()
{
    TRichEditEx edit;
    edit.SetWholeText("one\r\ntwo\rthree\nfour");
    // A paragraph break is one character, CR in 8-bit texts.
    QCOMPARE(edit.TextLength(), 18);
    QCOMPARE(edit.WholeText(), std::string("one\rtwo\rthree\rfour"));
    QCOMPARE(static_cast<int>(edit.WholeText().size()), edit.TextLength());
    QCOMPARE(edit.TextRange(2, 5), std::string("e\rt"));
    QCOMPARE(edit.TextRange(14, -1), std::string("four"));
    edit.Select(2, 5);
    QCOMPARE(edit.SelectedText(), std::string("e\rt"));
    QCOMPARE(edit.document()->blockCount(), 4);
}

void TestRichEditControl::replacementIsUndoable()
{
    TRichEditEx edit;
    edit.SetWholeText("The cat sat");
    QVERIFY(!edit.CanUndo());
    edit.Select(4, 7);
    edit.SetSelectedText("dog\r\nand bird");
    QCOMPARE(edit.WholeText(), std::string("The dog\rand bird sat"));
    QCOMPARE(edit.SelectionStart(), 16); // caret after the inserted text
    QVERIFY(edit.CanUndo());
    edit.Undo();
    QCOMPARE(edit.WholeText(), std::string("The cat sat"));
    edit.Redo();
    QCOMPARE(edit.WholeText(), std::string("The dog\rand bird sat"));
}

void TestRichEditControl::eachReplacementUndoesSeparately()
{
    TRichEditEx edit;
    edit.SetSelectedText("a");
    edit.SetSelectedText("b");
    edit.SetSelectedText("c");
    QCOMPARE(edit.WholeText(), std::string("abc"));
    edit.Undo();
    QCOMPARE(edit.WholeText(), std::string("ab"));
    edit.Undo();
    QCOMPARE(edit.WholeText(), std::string("a"));
}

void TestRichEditControl::undoLimit()
{
    TRichEditEx edit;
    edit.SetUndoLimit(2);
    for (const char *s : {"a", "b", "c", "d"})
        edit.SetSelectedText(s);
    edit.Undo();
    edit.Undo();
    QCOMPARE(edit.WholeText(), std::string("ab"));
    QVERIFY(!edit.CanUndo());
    edit.Undo(); // past the depth: nothing happens, also through the keyboard
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit.WholeText(), std::string("ab"));

    // Redo gives back what was undone, and makes it undoable again.
    QVERIFY(edit.CanRedo());
    QTest::keyClick(&edit, Qt::Key_Y, Qt::ControlModifier);
    edit.Redo();
    QCOMPARE(edit.WholeText(), std::string("abcd"));
    QVERIFY(!edit.CanRedo());
    edit.Undo();
    QCOMPARE(edit.WholeText(), std::string("abc"));

    // A new edit after undo drops the redo steps; the count restarts after a load.
    edit.SetSelectedText("x");
    QVERIFY(!edit.CanRedo());
    edit.SetWholeText("fresh");
    QVERIFY(!edit.CanUndo());
    edit.SetSelectionStart(5);
    QTest::keyClicks(&edit, "!");
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit.WholeText(), std::string("fresh"));

    // Steps dropped by a limit stay dropped when it is raised; new ones count to the new limit.
    edit.SetWholeText("");
    for (const char *s : {"1", "2", "3", "4"})
        edit.SetSelectedText(s);
    edit.SetUndoLimit(3);
    edit.SetSelectedText("5");
    for (int i = 0; i < 5; ++i)
        edit.Undo();
    QCOMPARE(edit.WholeText(), std::string("12"));
}

void TestRichEditControl::undoLimitZeroKeepsNoHistory()
{
    TRichEditEx edit;
    QCOMPARE(edit.UndoLimit(), 0); // stored value; the depth itself starts without a limit
    edit.SetSelectedText("a");
    edit.SetSelectedText("b");
    QVERIFY(edit.CanUndo());
    edit.SetUndoLimit(0);
    QVERIFY(!edit.CanUndo());
    edit.SetSelectedText("c");
    edit.Select(0, 1);
    edit.SetSelectedText("A"); // its own edit block: still no history
    QVERIFY(!edit.CanUndo());
    edit.Undo();
    QCOMPARE(edit.WholeText(), std::string("Abc"));
    edit.SetWholeText("reloaded");
    edit.SetSelectedText("x");
    QVERIFY(!edit.CanUndo());
    edit.SetUndoLimit(-1); // no limit
    edit.SetSelectedText("y");
    QVERIFY(edit.CanUndo());
}

void TestRichEditControl::hiddenTextTakesNoRoom()
{
    auto load = [](TRichEditEx &edit, const char *middle) {
        edit.resize(600, 200);
        const QByteArray rtf =
            QByteArray("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 ab") + middle +
            "cd\\par}";
        QCOMPARE(edit.StreamInBytes(rtf, TStreamFormat::SF_RTF), 0);
    };
    // "c" is character 13 in both: after "ab" and the eleven characters of the middle run.
    TRichEditEx shown;
    load(shown, "{HIDDENWORDS}");
    QVERIFY(shown.PosFromChar(13).x() - shown.PosFromChar(2).x() > 40);

    TRichEditEx edit;
    int changes = 0;
    edit.OnChange = [&](TCustomRichEditEx *) { ++changes; };
    load(edit, "{\\v HIDDENWORDS}");
    QVERIFY(qAbs(edit.PosFromChar(13).x() - edit.PosFromChar(2).x()) <= 1);
    // Only the look changes: the text, the flag and what is saved keep the hidden run.
    QCOMPARE(edit.WholeText(), std::string("abHIDDENWORDScd"));
    QVERIFY(!edit.ModifiedFlag());
    QVERIFY(edit.StreamOutBytes(TStreamFormat::SF_RTF).contains("\\v HIDDENWORDS\\v0"));

    // Typing in the paragraph keeps the run hidden, and is one change.
    changes = 0;
    edit.SetSelectionStart(15);
    QTest::keyClicks(&edit, "e");
    QCOMPARE(changes, 1);
    QCOMPARE(edit.WholeText(), std::string("abHIDDENWORDScde"));
    QVERIFY(qAbs(edit.PosFromChar(13).x() - edit.PosFromChar(2).x()) <= 1);

    // Made visible through the attributes, the run takes its room again.
    edit.Select(2, 13);
    edit.SelectionAttributes().SetHidden(false);
    QVERIFY(edit.PosFromChar(13).x() - edit.PosFromChar(2).x() > 40);
    edit.Select(2, 13);
    edit.SelectionAttributes().SetHidden(true);
    QVERIFY(qAbs(edit.PosFromChar(13).x() - edit.PosFromChar(2).x()) <= 1);
}

void TestRichEditControl::maxLength_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<QByteArray>("initial");
    QTest::addColumn<int>("selectFrom");
    QTest::addColumn<int>("selectTo");
    QTest::addColumn<QByteArray>("insert");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("cut at limit") << 5 << QByteArray() << 0 << 0 << QByteArray("abcdefgh")
                                  << QByteArray("abcde");
    QTest::newRow("replaced part makes room")
        << 6 << QByteArray("abcdef") << 1 << 4 << QByteArray("XYZW") << QByteArray("aXYZef");
    QTest::newRow("full") << 3 << QByteArray("abc") << 3 << 3 << QByteArray("d")
                          << QByteArray("abc");
    QTest::newRow("zero is unlimited")
        << 0 << QByteArray() << 0 << 0 << QByteArray(70000, 'x') << QByteArray(70000, 'x');
}

void TestRichEditControl::maxLength()
{
    QFETCH(int, limit);
    QFETCH(QByteArray, initial);
    QFETCH(int, selectFrom);
    QFETCH(int, selectTo);
    QFETCH(QByteArray, insert);
    QFETCH(QByteArray, expected);

    TRichEditEx edit;
    edit.SetWholeText(initial.toStdString());
    edit.SetMaxLength(limit);
    edit.Select(selectFrom, selectTo);
    edit.SetSelectedText(insert.toStdString());
    QCOMPARE(QByteArray::fromStdString(edit.WholeText()), expected);
}

void TestRichEditControl::protectedWithoutHandlerRefused()
{
    TRichEditEx edit;
    edit.SetWholeText("free LOCKED free");
    Protect(edit, 5, 11);
    edit.Select(7, 9);
    edit.SetSelectedText("xx");
    QCOMPARE(edit.WholeText(), std::string("free LOCKED free"));
    edit.Select(3, 6); // overlaps the protected text
    edit.SetSelectedText("");
    QCOMPARE(edit.WholeText(), std::string("free LOCKED free"));
    edit.Select(0, 4); // outside
    edit.SetSelectedText("FREE");
    QCOMPARE(edit.WholeText(), std::string("FREE LOCKED free"));
}

void TestRichEditControl::protectedTypingRefused()
{
    TRichEditEx edit;
    edit.SetWholeText("free LOCKED free");
    Protect(edit, 5, 11);
    edit.SetSelectionStart(8);
    QTest::keyClicks(&edit, "zz");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QCOMPARE(edit.WholeText(), std::string("free LOCKED free"));
    edit.SetSelectionStart(14);
    QTest::keyClicks(&edit, "zz");
    QCOMPARE(edit.WholeText(), std::string("free LOCKED frzzee"));
}

void TestRichEditControl::protectedHandlerDecides()
{
    TRichEditEx edit;
    edit.SetWholeText("free LOCKED free");
    Protect(edit, 5, 11);
    int calls = 0;
    int from = -1;
    int to = -1;
    bool allow = false;
    edit.OnProtectChange = [&](TCustomRichEditEx *, int start, int end, bool &allowChange) {
        ++calls;
        from = start;
        to = end;
        QVERIFY(!allowChange); // starts refused
        allowChange = allow;
    };
    edit.Select(6, 9);
    edit.SetSelectedText("x");
    QCOMPARE(calls, 1);
    QCOMPARE(from, 6);
    QCOMPARE(to, 9);
    QCOMPARE(edit.WholeText(), std::string("free LOCKED free"));
    allow = true;
    edit.Select(6, 9);
    edit.SetSelectedText("x");
    QCOMPARE(edit.WholeText(), std::string("free LxED free"));
    // Unprotected edits do not ask.
    edit.Select(0, 1);
    edit.SetSelectedText("F");
    QCOMPARE(calls, 2);
}

void TestRichEditControl::protectedFromRichText()
{
    TRichEditEx edit;
    const QByteArray rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 open {\\protect shut} open\\par}";
    QCOMPARE(edit.StreamInBytes(rtf, TStreamFormat::SF_RTF), 0);
    const std::string before = edit.WholeText();
    const int at = edit.LocateText("shut", 0, 0, 0);
    QVERIFY(at > 0);
    edit.Select(at + 1, at + 2);
    edit.SetSelectedText("X");
    QCOMPARE(edit.WholeText(), before);
}

void TestRichEditControl::changeEvent()
{
    int changes = 0;
    TRichEditEx edit;
    edit.OnChange = [&](TCustomRichEditEx *sender) {
        QCOMPARE(sender, &edit);
        ++changes;
    };
    QCOMPARE(changes, 0);
    edit.SetSelectedText("abc");
    QCOMPARE(changes, 1);
    edit.SetSelectionStart(1); // selection only
    QCOMPARE(changes, 1);
    edit.SetEventMask(edit.EventMask() & ~TEventMask::ENM_CHANGE);
    edit.SetSelectedText("x");
    QCOMPARE(changes, 1);
    edit.SetEventMask(TEventMask::Default);
    edit.Lines().SetAllText("one\r\ntwo\r\n");
    QCOMPARE(changes, 1);
    QCOMPARE(edit.Lines().LineCount(), 2);
    QCOMPARE(edit.EventMask(), TEventMask::Default);
    edit.SetWholeText("new");
    QCOMPARE(changes, 2);
}

void TestRichEditControl::selectionChangeEvent()
{
    int changes = 0;
    TRichEditEx edit;
    edit.SetWholeText("some text");
    edit.OnSelectionChange = [&](TCustomRichEditEx *) { ++changes; };
    edit.Select(1, 3);
    QCOMPARE(changes, 1);
    edit.Select(1, 3);
    QCOMPARE(changes, 1);
    edit.SetSelectionStart(5);
    QCOMPARE(changes, 2);
    edit.Lines().AppendLines({"x", "y"});
    QCOMPARE(changes, 2);
    QVERIFY(edit.OnSelectionChange);
}

void TestRichEditControl::modifiedFlag()
{
    TRichEditEx edit;
    QVERIFY(!edit.ModifiedFlag());
    edit.SetSelectedText("abc");
    QVERIFY(edit.ModifiedFlag());
    edit.SetModifiedFlag(false);
    QVERIFY(!edit.ModifiedFlag());
    edit.Select(0, 1);
    edit.SetSelectedText("z");
    QVERIFY(edit.ModifiedFlag());
    edit.ClearDocument();
    QVERIFY(!edit.ModifiedFlag());
    QCOMPARE(edit.TextLength(), 0);
    QVERIFY(!edit.CanUndo());
}

void TestRichEditControl::selectionBarKeepsText()
{
    TRichEditEx edit;
    edit.resize(300, 200);
    edit.SetSelectedText("kept");
    const int left = edit.viewport()->x();
    edit.SetShowSelectionBar(true);
    QVERIFY(edit.viewport()->x() > left);
    QCOMPARE(edit.WholeText(), std::string("kept"));
    QVERIFY(edit.ModifiedFlag());
    edit.SetShowSelectionBar(false);
    QCOMPARE(edit.viewport()->x(), left);
    QVERIFY(edit.ModifiedFlag());
    edit.SetModifiedFlag(false);
    edit.SetShowSelectionBar(true);
    QVERIFY(!edit.ModifiedFlag());

    edit.SetTextRect(QRect(6, 0, edit.ClientSize().width() - 12, edit.ClientSize().height()));
    QCOMPARE(edit.ClientSize().width() - edit.viewport()->width(), 12 + 8);
    QCOMPARE(edit.TextRect().left(), 6);
}

void TestRichEditControl::codePages_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("codePage");
    QTest::newRow("English US") << 1033 << 1252;
    QTest::newRow("German") << 1031 << 1252;
    QTest::newRow("Russian") << 1049 << 1251;
    QTest::newRow("Greek") << 1032 << 1253;
    QTest::newRow("Polish") << 1045 << 1250;
    QTest::newRow("Turkish") << 1055 << 1254;
    QTest::newRow("Japanese") << 1041 << 932;
}

void TestRichEditControl::codePages()
{
    QFETCH(int, language);
    QFETCH(int, codePage);
    TRichEditEx edit;
    edit.SetLanguage(language);
    QCOMPARE(edit.CodePage(), codePage);
    QCOMPARE(edit.WideLines().Language(), language);
}

void TestRichEditControl::wordBreaks()
{
    using namespace TWordBreak;
    TRichEditEx edit;
    edit.SetWholeText("ab, cd\r\nef");
    // a b , _ c d CR e f
    QCOMPARE(edit.FindWordBreak(WB_CLASSIFY, 0) & 0x0F, ClassWord);
    QCOMPARE(edit.FindWordBreak(WB_CLASSIFY, 2) & 0x0F, ClassPunctuation);
    QVERIFY(edit.FindWordBreak(WB_CLASSIFY, 3) & WBF_ISWHITE);
    QVERIFY(edit.FindWordBreak(WB_CLASSIFY, 6) & WBF_BREAKLINE);
    QCOMPARE(edit.FindWordBreak(WB_ISDELIMITER, 3), 1);
    QCOMPARE(edit.FindWordBreak(WB_ISDELIMITER, 1), 0);
    QCOMPARE(edit.FindWordBreak(WB_MOVEWORDRIGHT, 0), 2);
    QCOMPARE(edit.FindWordBreak(WB_MOVEWORDRIGHT, 2), 4);
    QCOMPARE(edit.FindWordBreak(WB_MOVEWORDRIGHT, 4), 6);
    QCOMPARE(edit.FindWordBreak(WB_MOVEWORDRIGHT, 6), 7);
    QCOMPARE(edit.FindWordBreak(WB_MOVEWORDLEFT, 6), 4);
    QCOMPARE(edit.FindWordBreak(WB_MOVEWORDLEFT, 4), 2);
    QCOMPARE(edit.FindWordBreak(WB_MOVEWORDLEFT, 9), 7);
    QCOMPARE(edit.FindWordBreak(WB_LEFTBREAK, 5), 4);
    QCOMPARE(edit.FindWordBreak(WB_RIGHTBREAK, 4), 6);
}

void TestRichEditControl::wantReturns()
{
    TRichEditEx edit;
    edit.SetWholeText("ab");
    edit.SetSelectionStart(1);
    edit.SetWantReturns(false);
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(edit.WholeText(), std::string("ab"));
    edit.SetWantReturns(true);
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(edit.WholeText(), std::string("a\rb"));
}

void TestRichEditControl::fontIsDefaultFormat()
{
    TRichEditEx edit;
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSize(17);
    edit.setFont(font);
    QCOMPARE(edit.document()->defaultFont().pointSize(), 17);
}

void TestRichEditControl::clipboardRoundTrip()
{
    TRichEditEx source;
    source.SetWholeText("copy me");
    source.Select(0, 4);
    source.CopyToClipboard();
    TRichEditEx target;
    target.SetWholeText("[]");
    target.SetSelectionStart(1);
    target.PasteFromClipboard();
    QCOMPARE(target.WholeText(), std::string("[copy]"));
    target.Undo();
    QCOMPARE(target.WholeText(), std::string("[]"));
    source.Select(5, 7);
    source.CutToClipboard();
    QCOMPARE(source.WholeText(), std::string("copy "));
}

void TestRichEditControl::saveClipboardEvent()
{
    int chars = -1;
    {
        TRichEditEx edit;
        edit.SetWholeText("clip this");
        edit.Select(0, 4);
        edit.CopyToClipboard();
        edit.OnSaveClipboard = [&](TCustomRichEditEx *, int, int numChars, bool &save) {
            QVERIFY(save);
            chars = numChars;
            save = false;
        };
    }
    QCOMPARE(chars, 4);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(!data || data->text().isEmpty());
}

void TestRichEditControl::resizeRequestEvent()
{
    TRichEditEx edit;
    edit.resize(300, 200);
    QRect requested;
    edit.OnResizeRequest = [&](TCustomRichEditEx *, const QRect &rect) { requested = rect; };
    edit.SetWholeText(std::string(40, '\r'));
    QCOMPARE(edit.Lines().LineCount(), 40);
    QVERIFY(requested.height() > 200);
}

// Tab and Shift+Tab go from cell to cell, Tab in the last cell adds a row; the lines of a
// table are its cells' paragraphs in reading order; the table saves as one.
void TestRichEditControl::tablesAreEditedAsTables()
{
    TRichEditEx edit;
    edit.resize(500, 300);
    QCOMPARE(
        edit.StreamInBytes("{\\rtf1 Before\\par\\trowd\\cellx1500\\cellx3000\\pard\\intbl a\\cell "
                           "b\\cell\\row\\trowd\\cellx1500\\cellx3000\\pard\\intbl c\\cell "
                           "d\\cell\\row\\pard After\\par}",
                           TStreamFormat::SF_RTF),
        0);
    const int a = QString::fromStdString(edit.WholeText()).indexOf(QLatin1Char('a'));
    edit.SetSelectionStart(a);
    QTextTable *table = edit.textCursor().currentTable();
    QVERIFY(table);
    auto cell = [&edit, table] {
        const QTextTableCell current = table->cellAt(edit.textCursor());
        return QPoint(current.column(), current.row());
    };
    QTest::keyClick(&edit, Qt::Key_Tab);
    QCOMPARE(cell(), QPoint(1, 0));
    QTest::keyClick(&edit, Qt::Key_Tab);
    QCOMPARE(cell(), QPoint(0, 1));
    QTest::keyClick(&edit, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(cell(), QPoint(1, 0));
    QTest::keyClick(&edit, Qt::Key_Tab);
    QTest::keyClick(&edit, Qt::Key_Tab);
    QCOMPARE(table->rows(), 2);
    QTest::keyClick(&edit, Qt::Key_Tab); // in the last cell: a new row
    QCOMPARE(table->rows(), 3);
    QCOMPARE(cell(), QPoint(0, 2));
    QTest::keyClicks(&edit, "x");
    QCOMPARE(table->cellAt(2, 0).firstCursorPosition().block().text(), QStringLiteral("x"));
    QVERIFY(edit.WholeText().find('\t') == std::string::npos);

    // Lines: the cells' paragraphs in reading order.
    QStringList lines;
    for (int i = 0; i < edit.Lines().LineCount(); ++i)
        lines << QString::fromStdString(edit.Lines().LineAt(i));
    const int first = lines.indexOf(QStringLiteral("a"));
    QVERIFY(first > 0);
    QCOMPARE(lines.mid(first, 5), QStringList({"a", "b", "c", "d", "x"}));
    QCOMPARE(edit.LineFromChar(QString::fromStdString(edit.WholeText()).indexOf('c')), first + 2);
    QCOMPARE(lines.first(), QStringLiteral("Before"));
    QCOMPARE(lines.last(), QStringLiteral("After"));

    const QByteArray saved = edit.StreamOutBytes(TStreamFormat::SF_RTF);
    QCOMPARE(saved.count("\\row"), 3);
    QCOMPARE(saved.count("\\cell") - saved.count("\\cellx"), 6);
    QVERIFY(saved.contains("\\intbl x\\cell"));

    edit.Undo();
    edit.Undo();
    QCOMPARE(table->rows(), 2);
}

ZARVEL_TEST_MAIN(TestRichEditControl)
#include "tst_richedit_edit.moc"
