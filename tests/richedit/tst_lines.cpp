// Lines of the rich text control: counting with the empty-last-line rule, reading, inserting,
// appending, replacing and deleting lines, laid-out lines with word wrap.
#include "TestEnvironment.h"

#include "richedit/EOutOfResources.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "richedit/TWideRichEditStringsEx.h"

#include <QVBoxLayout>
#include <QtTest>

class TestLines : public QObject
{
    Q_OBJECT

private slots:
    void lineCount_data();
    void lineCount();
    void lineAt();
    void appendLine();
    void insertLine_data();
    void insertLine();
    void insertLineCutByMaxLength();
    void replaceLine();
    void deleteLine_data();
    void deleteLine();
    void lineEditsNotUndoable();
    void allText();
    void wordWrapMakesLines();
    void wideLines();
    void layoutOfHiddenWindow();
    void hugeParagraphWithoutWrap();
};

void TestLines::lineCount_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("platformLines");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << QByteArray() << 1 << 0;
    QTest::newRow("one line") << QByteArray("a") << 1 << 1;
    QTest::newRow("one line ended") << QByteArray("a\r\n") << 2 << 1;
    QTest::newRow("empty line between") << QByteArray("a\r\rb") << 3 << 3;
    QTest::newRow("two ended lines") << QByteArray("one\r\ntwo\r\n") << 3 << 2;
    QTest::newRow("two breaks at end") << QByteArray("a\r\r") << 3 << 2;
    QTest::newRow("only a break") << QByteArray("\r") << 2 << 1;
    QTest::newRow("LF ends lines") << QByteArray("a\nb\nc") << 3 << 3;
}

void TestLines::lineCount()
{
    QFETCH(QByteArray, text);
    QFETCH(int, platformLines);
    QFETCH(int, count);
    TRichEditEx edit;
    edit.SetWordWrap(false);
    edit.SetWholeText(text.toStdString());
    QCOMPARE(edit.PlatformLineCount(), platformLines);
    QCOMPARE(edit.Lines().LineCount(), count);
}

void TestLines::lineAt()
{
    TRichEditEx edit;
    edit.SetWholeText("first\r\nsecond\r\n\r\nfourth \xe9");
    QCOMPARE(edit.Lines().LineAt(0), std::string("first"));
    QCOMPARE(edit.Lines().LineAt(1), std::string("second"));
    QCOMPARE(edit.Lines().LineAt(2), std::string());
    QCOMPARE(edit.Lines().LineAt(3), std::string("fourth \xe9"));
    QCOMPARE(edit.Lines().LineAt(4), std::string());
    QCOMPARE(edit.Lines().LineAt(-1), std::string());
    QCOMPARE(edit.LineText(0), QStringLiteral("first\r"));
    QCOMPARE(edit.LineIndex(1), 6);
    QCOMPARE(edit.LineIndex(4), -1);
    QCOMPARE(edit.LineLength(8), 6);
    QCOMPARE(edit.LineFromChar(8), 1);
}

void TestLines::appendLine()
{
    TRichEditEx edit;
    edit.Lines().AppendLine("one");
    QCOMPARE(edit.WholeText(), std::string("one\r"));
    QCOMPARE(edit.Lines().LineCount(), 1);
    edit.Lines().AppendLine("two");
    QCOMPARE(edit.WholeText(), std::string("one\rtwo\r"));
    QCOMPARE(edit.Lines().LineCount(), 2);
    QCOMPARE(edit.Lines().LineAt(1), std::string("two"));
    // On text without a final break the line goes after a new break.
    edit.SetWholeText("x");
    edit.Lines().AppendLine("y");
    QCOMPARE(edit.WholeText(), std::string("x\ry"));
}

void TestLines::insertLine_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("at start") << QByteArray("a\rb") << 0 << QByteArray("new\ra\rb");
    QTest::newRow("in the middle") << QByteArray("a\rb") << 1 << QByteArray("a\rnew\rb");
    QTest::newRow("past last line") << QByteArray("a\rb") << 2 << QByteArray("a\rb\rnew");
    QTest::newRow("far past last line") << QByteArray("a\rb") << 7 << QByteArray("a\rb");
    QTest::newRow("after empty last line") << QByteArray("a\r") << 1 << QByteArray("a\rnew\r");
    QTest::newRow("negative index") << QByteArray("a") << -1 << QByteArray("a");
}

void TestLines::insertLine()
{
    QFETCH(QByteArray, text);
    QFETCH(int, index);
    QFETCH(QByteArray, expected);
    TRichEditEx edit;
    edit.SetWordWrap(false);
    edit.SetWholeText(text.toStdString());
    edit.Lines().InsertLine(index, "new");
    QCOMPARE(QByteArray::fromStdString(edit.WholeText()), expected);
}

void TestLines::insertLineCutByMaxLength()
{
    TRichEditEx edit;
    edit.SetWholeText("abc\r");
    edit.SetMaxLength(6);
    try {
        edit.Lines().AppendLine("defgh");
        QFAIL("no error");
    } catch (const EOutOfResources &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("RichEdit line insertion error"));
    }
    QVERIFY(!edit.WideCall());
}

void TestLines::replaceLine()
{
    TRichEditEx edit;
    edit.SetWholeText("one\rtwo\rthree");
    edit.Lines().ReplaceLine(1, "2");
    QCOMPARE(edit.WholeText(), std::string("one\r2\rthree"));
    edit.Lines().ReplaceLine(2, "3");
    QCOMPARE(edit.WholeText(), std::string("one\r2\r3"));
    edit.Lines().ReplaceLine(9, "x");
    edit.Lines().ReplaceLine(-1, "x");
    QCOMPARE(edit.WholeText(), std::string("one\r2\r3"));
}

void TestLines::deleteLine_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("count");
    QTest::newRow("first") << QByteArray("a\rb\rc") << 0 << QByteArray("b\rc") << 2;
    QTest::newRow("middle") << QByteArray("a\rb\rc") << 1 << QByteArray("a\rc") << 2;
    // The break before the last line stays: an empty last line, not counted.
    QTest::newRow("last") << QByteArray("a\rb\rc") << 2 << QByteArray("a\rb\r") << 2;
    QTest::newRow("missing") << QByteArray("a\rb") << 5 << QByteArray("a\rb") << 2;
    QTest::newRow("negative") << QByteArray("a\rb") << -1 << QByteArray("a\rb") << 2;
}

void TestLines::deleteLine()
{
    QFETCH(QByteArray, text);
    QFETCH(int, index);
    QFETCH(QByteArray, expected);
    QFETCH(int, count);
    TRichEditEx edit;
    edit.SetWordWrap(false);
    edit.SetWholeText(text.toStdString());
    edit.Lines().DeleteLine(index);
    QCOMPARE(QByteArray::fromStdString(edit.WholeText()), expected);
    QCOMPARE(edit.Lines().LineCount(), count);
}

void TestLines::lineEditsNotUndoable()
{
    TRichEditEx edit;
    edit.SetSelectedText("typed");
    QVERIFY(edit.CanUndo());
    edit.Lines().AppendLine("line");
    QVERIFY(!edit.CanUndo());
    edit.Lines().ReplaceLine(0, "x");
    edit.Lines().DeleteLine(0);
    QVERIFY(!edit.CanUndo());
    edit.Undo();
    QCOMPARE(edit.WholeText(), std::string("line"));
}

void TestLines::allText()
{
    TRichEditEx edit;
    edit.Lines().SetAllText("one\r\ntwo\nthree\r\n");
    QCOMPARE(edit.Lines().LineCount(), 3);
    QCOMPARE(edit.Lines().AllText(), std::string("one\r\ntwo\r\nthree\r\n"));
    edit.Lines().SetAllText("");
    QCOMPARE(edit.Lines().LineCount(), 0);
    QCOMPARE(edit.Lines().AllText(), std::string());
}

void TestLines::wordWrapMakesLines()
{
    TRichEditEx edit;
    edit.resize(200, 300);
    QByteArray paragraph;
    for (int i = 0; i < 40; ++i)
        paragraph += "word" + QByteArray::number(i) + " ";
    edit.SetWholeText(paragraph.toStdString() + "\rshort");
    const int wrapped = edit.Lines().LineCount();
    QVERIFY2(wrapped > 4, qPrintable(QString::number(wrapped)));
    // The laid-out lines of the paragraph hold its text in order, without breaks.
    std::string joined;
    for (int i = 0; i + 1 < wrapped; ++i)
        joined += edit.Lines().LineAt(i);
    QCOMPARE(QByteArray::fromStdString(joined), paragraph);
    QCOMPARE(edit.Lines().LineAt(wrapped - 1), std::string("short"));
    QCOMPARE(edit.LineIndex(wrapped - 1), paragraph.size() + 1);

    edit.SetWordWrap(false);
    QCOMPARE(edit.Lines().LineCount(), 2);
    edit.SetWordWrap(true);
    edit.resize(1200, 300);
    QVERIFY(edit.Lines().LineCount() < wrapped);
}

void TestLines::wideLines()
{
    TRichEditEx edit;
    edit.WideLines().AppendLine(QStringLiteral("Ωmega"));
    edit.WideLines().AppendLine(QStringLiteral("€uro"));
    QCOMPARE(edit.WideLines().LineCount(), 2);
    QCOMPARE(edit.WideLines().LineAt(0), QStringLiteral("Ωmega"));
    // Not in code page 1252: "?" in the 8-bit lines.
    QCOMPARE(edit.Lines().LineAt(0), std::string("?mega"));
    QCOMPARE(edit.Lines().LineAt(1), std::string("\x80uro"));
    QCOMPARE(edit.WideLines().AllText(), QStringLiteral("Ωmega\r\n€uro\r\n"));
}

// A pane inside a window that was never shown is laid out at the width the window gives it.
void TestLines::layoutOfHiddenWindow()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *edit = new TRichEditEx(&window);
    layout->addWidget(edit);
    window.resize(700, 400);
    edit->SetWholeText(std::string(30, 'a') + " " + std::string(30, 'b'));
    QCOMPARE(edit->Lines().LineCount(), 1);
    QVERIFY(edit->viewport()->width() > 600);
    window.resize(200, 400);
    QVERIFY(edit->Lines().LineCount() >= 2);
}

// Without word wrap a paragraph is one line however long; a huge one is only shown wrapped.
void TestLines::hugeParagraphWithoutWrap()
{
    TRichEditEx edit;
    edit.resize(400, 300);
    edit.SetWordWrap(false);
    std::string huge;
    while (huge.size() < 60000)
        huge += "lorem ipsum dolor ";
    edit.SetWholeText(huge + "\rsecond");
    QVERIFY(!edit.WordWrap());
    QCOMPARE(edit.lineWrapMode(), QTextEdit::WidgetWidth);
    QCOMPARE(edit.Lines().LineCount(), 2);
    QCOMPARE(edit.Lines().LineAt(1), std::string("second"));
    QCOMPARE(edit.Lines().LineAt(0).size(), huge.size());

    // The next load starts unwrapped again.
    edit.SetWholeText("short\rlines");
    QCOMPARE(edit.lineWrapMode(), QTextEdit::NoWrap);

    // A paragraph that grows huge by an edit is wrapped once the edit is over.
    edit.Select(0, 0);
    edit.SetSelectedText(huge);
    QCoreApplication::processEvents();
    QCOMPARE(edit.lineWrapMode(), QTextEdit::WidgetWidth);
    QCOMPARE(edit.Lines().LineCount(), 2);
    QCOMPARE(edit.LineIndex(1), int(huge.size()) + 6);

    // Asked to wrap and back, the control keeps the rule.
    edit.SetWordWrap(true);
    QVERIFY(edit.Lines().LineCount() > 2);
    edit.SetWordWrap(false);
    QCOMPARE(edit.lineWrapMode(), QTextEdit::WidgetWidth);
    QCOMPARE(edit.Lines().LineCount(), 2);
}

ZARVEL_TEST_MAIN(TestLines)
#include "tst_lines.moc"
