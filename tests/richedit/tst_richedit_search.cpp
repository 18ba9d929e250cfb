// LocateText: the range rules, direction, whole word and match case.
#include "TestEnvironment.h"

#include "richedit/TRichEditEx.h"

#include <QtTest>

using namespace TLocateOption;

class TestLocateText : public QObject
{
    Q_OBJECT

private slots:
    void ranges_data();
    void ranges();
    void selectionUntouched();
    void codePageSearchText();
    void mainWindowFindLoopEnds();
};

void TestLocateText::ranges_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("search");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<unsigned>("options");
    QTest::addColumn<int>("expected");

    // alpha at 0 and 11, beta at 6, gamma at 17.
    const QByteArray t = "alpha beta alpha gamma";
    QTest::newRow("from start to end") << t << QByteArray("alpha") << 0 << 0 << 0u << 0;
    QTest::newRow("after first") << t << QByteArray("alpha") << 1 << 0 << 0u << 11;
    QTest::newRow("negative length is to end") << t << QByteArray("alpha") << 1 << -5 << 0u << 11;
    QTest::newRow("match must end inside range") << t << QByteArray("alpha") << 1 << 14 << 0u << -1;
    QTest::newRow("match ending at range end") << t << QByteArray("alpha") << 1 << 15 << 0u << 11;
    QTest::newRow("past the text") << t << QByteArray("gamma") << 30 << 0 << 0u << -1;
    QTest::newRow("not in text") << t << QByteArray("delta") << 0 << 0 << 0u << -1;
    QTest::newRow("empty search text") << t << QByteArray() << 0 << 0 << 0u << -1;
    QTest::newRow("backward to the start")
        << t << QByteArray("alpha") << 22 << 0 << loBackward << 11;
    QTest::newRow("backward match must end before start")
        << t << QByteArray("alpha") << 15 << 0 << loBackward << 0;
    QTest::newRow("backward range holds match")
        << t << QByteArray("alpha") << 16 << 5 << loBackward << 11;
    QTest::newRow("backward range too short")
        << t << QByteArray("alpha") << 16 << 4 << loBackward << -1;
    QTest::newRow("case ignored") << t << QByteArray("BETA") << 0 << 0 << 0u << 6;
    QTest::newRow("match case") << t << QByteArray("BETA") << 0 << 0 << loMatchCase << -1;
    QTest::newRow("match case found") << t << QByteArray("beta") << 0 << 0 << loMatchCase << 6;

    const QByteArray w = "cart art smart";
    QTest::newRow("part of word") << w << QByteArray("art") << 0 << 0 << 0u << 1;
    QTest::newRow("whole word") << w << QByteArray("art") << 0 << 0 << loWholeWord << 5;
    QTest::newRow("whole word backward")
        << w << QByteArray("art") << 14 << 0 << (loWholeWord | loBackward) << 5;
    QTest::newRow("placeholder not inside longer one")
        << QByteArray("@12 @1, x") << QByteArray("@1") << 0 << 0 << loWholeWord << 4;
    QTest::newRow("across a paragraph break")
        << QByteArray("ab\r\ncd") << QByteArray("b\r\nc") << 0 << 0 << 0u << 1;
}

void TestLocateText::ranges()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, search);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(unsigned, options);
    QFETCH(int, expected);

    TRichEditEx edit;
    edit.SetWholeText(text.toStdString());
    QCOMPARE(edit.LocateText(search.toStdString(), start, length, options), expected);
}

void TestLocateText::selectionUntouched()
{
    TRichEditEx edit;
    edit.SetWholeText("one two three two");
    edit.Select(4, 7);
    QCOMPARE(edit.LocateText("four", 0, 0, 0), -1);
    QCOMPARE(edit.SelectionStart(), 4);
    QCOMPARE(edit.SelectionLength(), 3);
    QCOMPARE(edit.LocateText("two", 7, 0, 0), 14);
    QCOMPARE(edit.SelectionStart(), 4);
    QCOMPARE(edit.SelectionLength(), 3);
}

void TestLocateText::codePageSearchText()
{
    TRichEditEx edit;
    edit.SetLanguage(1033);
    edit.SetWholeText("caf\xe9 \x80 5");
    QCOMPARE(edit.LocateText("\xe9", 0, 0, loMatchCase), 3);
    QCOMPARE(edit.LocateText("\x80", 0, 0, 0), 5);
}

// The find and replace-all loop of the main window: start after each match, length to the end.
void TestLocateText::mainWindowFindLoopEnds()
{
    TRichEditEx edit;
    edit.SetWholeText("a@1b @1 @1\r\n@1");
    std::vector<int> found;
    int start = 0;
    for (int guard = 0; guard < 20; ++guard) {
        const int length = static_cast<int>(edit.WholeText().size()) - start;
        const int at = edit.LocateText("@1", start, length, loWholeWord | loMatchCase);
        if (at < 0)
            break;
        found.push_back(at);
        start = at + 2;
    }
    QCOMPARE(found, (std::vector<int>{5, 8, 11}));
}

ZARVEL_TEST_MAIN(TestLocateText)
#include "tst_richedit_search.moc"
