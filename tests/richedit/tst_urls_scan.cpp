// URL detection in the rich text control: the extended scan, the control's own detection,
// the update lock and the link events.
#include "TestEnvironment.h"

#include "richedit/TRichEditEx.h"
#include "richedit/TTextAttributesEx.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

using namespace TStreamFormat;

namespace {

// One character per position: '1' where the text has the link effect.
QString LinkMask(TCustomRichEditEx &edit)
{
    QString mask(edit.TextLength(), QLatin1Char('0'));
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next())
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor())
                for (int p = it.fragment().position();
                     p < it.fragment().position() + it.fragment().length() && p < mask.size(); ++p)
                    mask[p] = QLatin1Char('1');
    return mask;
}

QTextCharFormat FormatAt(TCustomRichEditEx &edit, int p)
{
    QTextCursor cursor(edit.document());
    cursor.setPosition(p + 1);
    return cursor.charFormat();
}

// "[" and "]" around the parts that should be links; gives the text and its mask.
void SplitMarked(const QString &marked, QByteArray &text, QString &mask)
{
    bool inside = false;
    for (const QChar c : marked) {
        if (c == QLatin1Char('[') || c == QLatin1Char(']')) {
            inside = c == QLatin1Char('[');
            continue;
        }
        text += c.toLatin1();
        mask += inside ? QLatin1Char('1') : QLatin1Char('0');
    }
}

void Load(TCustomRichEditEx &edit, const QByteArray &text)
{
    QCOMPARE(edit.StreamInBytes(text, SF_TEXT), 0);
}

void TypeAtEnd(TCustomRichEditEx &edit, const std::string &text)
{
    edit.SetSelectionStart(edit.TextLength());
    edit.SetSelectedText(text);
}

} // namespace

class TestURLScan : public QObject
{
    Q_OBJECT

private slots:
    void extendedMarks_data();
    void extendedMarks();
    void expandToWord_data();
    void expandToWord();
    void typingMarksAndUnmarks();
    void changeRangeFollowsSelection();
    void noneMarksNothing();
    void emptyCollectionScansNothing();
    void colourAndUnderlineOfEntry();
    void ownColoursKept();
    void selectionScrollAndEventsKept();
    void updateLockNests();
    void defaultDetection();
    void linkEvents_data();
    void linkEvents();
    void mouseOverLink();
};

void TestURLScan::extendedMarks_data()
{
    QTest::addColumn<QString>("marked");
    QTest::newRow("scheme url") << "see [http://x.org] now";
    QTest::newRow("scheme and colon alone") << "scheme http: here";
    QTest::newRow("one character after colon") << "[ftp:a]";
    QTest::newRow("upper case") << "[HTTP://UPPER.CASE]";
    QTest::newRow("e-mail") << "mail [joe@example.org] please";
    QTest::newRow("starts with at") << "mail @example.org please";
    QTest::newRow("dot after at") << "mail joe@.org please";
    QTest::newRow("cut at dash") << "[http://a.b]-c.d";
    QTest::newRow("cut at query") << "[http://a.b/p]?q=1";
    QTest::newRow("underscore ends a word") << "url_[http://x]";
    QTest::newRow("scheme inside a word") << "xhttp://a";
    QTest::newRow("backslashes") << "[file:c:\\dir\\a.txt] b";
    QTest::newRow("two lines") << "[news:x]\r[mailto:a@b.c]\rplain";
    QTest::newRow("short text") << "a:b";
}

void TestURLScan::extendedMarks()
{
    QFETCH(QString, marked);
    QByteArray text;
    QString mask;
    SplitMarked(marked, text, mask);
    TRichEditEx edit;
    edit.SetAutoURLDetect(TAutoURLDetect::adExtended);
    Load(edit, text);
    QCOMPARE(LinkMask(edit), mask);
    QCOMPARE(edit.URLDetector().LastChangeStart(), 0);
    QCOMPARE(edit.URLDetector().LastChangeEnd(), edit.TextLength());
}

void TestURLScan::expandToWord_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("expectedStart");
    QTest::addColumn<int>("expectedEnd");
    // "ab http://x.y/z-cd" : the URL word is [3, 15).
    QTest::newRow("inside") << 6 << 8 << 3 << 15;
    QTest::newRow("at word start") << 3 << 3 << 3 << 15;
    QTest::newRow("on the space") << 2 << 2 << 3 << 2;
    QTest::newRow("first word") << 1 << 1 << 0 << 2;
    QTest::newRow("start past the end") << 40 << 40 << 16 << 40;
    QTest::newRow("end at the dash") << 5 << 15 << 3 << 15;
}

void TestURLScan::expandToWord()
{
    QFETCH(int, start);
    QFETCH(int, end);
    TRichEditEx edit;
    Load(edit, "ab http://x.y/z-cd");
    edit.URLDetector().ExpandToWord(start, end);
    QTEST(start, "expectedStart");
    QTEST(end, "expectedEnd");
}

void TestURLScan::typingMarksAndUnmarks()
{
    TRichEditEx edit;
    edit.SetAutoURLDetect(TAutoURLDetect::adExtended);
    Load(edit, "go to");
    TypeAtEnd(edit, " http://a.b");
    QCOMPARE(LinkMask(edit), QString("0000001111111111"));
    QCOMPARE(FormatAt(edit, 9).foreground().color(), QColor(Qt::blue));
    // Deleting the host leaves the scheme and colon alone: no longer a link, and its colour
    // and underline go with it.
    edit.Select(11, 16);
    edit.SetSelectedText("");
    QCOMPARE(edit.WholeText(), std::string("go to http:"));
    QCOMPARE(LinkMask(edit), QString("00000000000"));
    QVERIFY(!FormatAt(edit, 7).hasProperty(QTextFormat::ForegroundBrush));
    QCOMPARE(FormatAt(edit, 7).underlineStyle(), QTextCharFormat::NoUnderline);
}

void TestURLScan::changeRangeFollowsSelection()
{
    TRichEditEx edit;
    edit.SetAutoURLDetect(TAutoURLDetect::adExtended);
    Load(edit, "first line here\rsecond");
    // The first edit rescans from the start of the loaded range to the caret.
    edit.Select(0, 0);
    edit.SetSelectedText("ftp:z ");
    QCOMPARE(LinkMask(edit).left(6), QString("111110"));
    QCOMPARE(edit.URLDetector().LastChangeStart(), 6);
    QCOMPARE(edit.URLDetector().LastChangeEnd(), 6);
    // The next one rescans everything between the previous caret and the new one.
    TypeAtEnd(edit, " mailto:q");
    QVERIFY(LinkMask(edit).endsWith(QString("011111111")));
    QCOMPARE(edit.URLDetector().LastChangeStart(), edit.TextLength());
}

void TestURLScan::noneMarksNothing()
{
    TRichEditEx edit;
    QCOMPARE(edit.AutoURLDetect(), TAutoURLDetect::adNone);
    Load(edit, "http://a.b joe@example.org");
    TypeAtEnd(edit, " ftp:x");
    QVERIFY(!LinkMask(edit).contains(QLatin1Char('1')));
    QCOMPARE(edit.URLDetector().LastChangeStart(), 0);
    QCOMPARE(edit.URLDetector().LastChangeEnd(), 0);
}

void TestURLScan::emptyCollectionScansNothing()
{
    TRichEditEx edit;
    edit.SetAutoURLDetect(TAutoURLDetect::adExtended);
    edit.CustomURLs().Clear();
    Load(edit, "x");
    TypeAtEnd(edit, " http://a.b");
    QVERIFY(!LinkMask(edit).contains(QLatin1Char('1')));
    // Only the load set the change range; the edit did not scan.
    QCOMPARE(edit.URLDetector().LastChangeEnd(), 1);
}

void TestURLScan::colourAndUnderlineOfEntry()
{
    TRichEditEx edit;
    edit.SetAutoURLDetect(TAutoURLDetect::adExtended);
    edit.SetURLColor(0x0000FF00);                       // green
    edit.CustomURLs().Add("ftp", 0x000000FF, 0, false); // red, no underline
    Load(edit, "http://a.b ftp://c.d");
    QCOMPARE(FormatAt(edit, 2).foreground().color(), QColor(0, 255, 0));
    QVERIFY(FormatAt(edit, 2).underlineStyle() != QTextCharFormat::NoUnderline);
    QCOMPARE(FormatAt(edit, 13).foreground().color(), QColor(255, 0, 0));
    QCOMPARE(FormatAt(edit, 13).underlineStyle(), QTextCharFormat::NoUnderline);
    QVERIFY(FormatAt(edit, 13).isAnchor());
}

void TestURLScan::ownColoursKept()
{
    TRichEditEx edit;
    Load(edit, "red words");
    edit.Select(0, 3);
    edit.SelectionAttributes().SetColor(0x000000FF);
    edit.SetAutoURLDetect(TAutoURLDetect::adExtended);
    TypeAtEnd(edit, " more");
    edit.URLDetector().ScanURLs(0, edit.TextLength());
    QCOMPARE(FormatAt(edit, 1).foreground().color(), QColor(255, 0, 0));
}

void TestURLScan::selectionScrollAndEventsKept()
{
    TRichEditEx edit;
    edit.resize(200, 80);
    edit.show();
    QByteArray text;
    for (int i = 0; i < 60; ++i)
        text += "line " + QByteArray::number(i) + " http://host" + QByteArray::number(i) + ".org\r";
    Load(edit, text);
    edit.SetAutoURLDetect(TAutoURLDetect::adExtended);
    edit.verticalScrollBar()->setValue(edit.verticalScrollBar()->maximum() / 2);
    const int scroll = edit.verticalScrollBar()->value();
    QVERIFY(scroll > 0);
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(40);
    cursor.setPosition(30, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
    edit.verticalScrollBar()->setValue(scroll);
    int selectionEvents = 0;
    int changeEvents = 0;
    edit.OnSelectionChange = [&](TCustomRichEditEx *) { ++selectionEvents; };
    edit.OnChange = [&](TCustomRichEditEx *) { ++changeEvents; };
    edit.URLDetector().ScanURLs(0, edit.TextLength());
    QCOMPARE(edit.textCursor().anchor(), 40);
    QCOMPARE(edit.textCursor().position(), 30);
    QCOMPARE(edit.verticalScrollBar()->value(), scroll);
    QCOMPARE(selectionEvents, 0);
    QCOMPARE(changeEvents, 0);
    QCOMPARE(edit.URLDetector().UpdateCount(), 0);
    QVERIFY(edit.updatesEnabled());
    QVERIFY(LinkMask(edit).count(QLatin1Char('1')) > 60 * 15);
    // The handlers are back in place after the scan.
    TypeAtEnd(edit, "x");
    QCOMPARE(changeEvents, 1);
}

void TestURLScan::updateLockNests()
{
    TRichEditEx edit;
    edit.show();
    edit.URLDetector().BeginUpdateLock();
    edit.URLDetector().BeginUpdateLock();
    QVERIFY(!edit.updatesEnabled());
    edit.URLDetector().EndUpdateLock();
    QCOMPARE(edit.URLDetector().UpdateCount(), 1);
    QVERIFY(!edit.updatesEnabled());
    edit.SetAutoURLDetect(TAutoURLDetect::adExtended);
    TypeAtEnd(edit, "http://a.b");
    // No scan while the lock is held.
    QVERIFY(!LinkMask(edit).contains(QLatin1Char('1')));
    edit.URLDetector().EndUpdateLock();
    edit.URLDetector().EndUpdateLock(); // below zero it stays at zero
    QCOMPARE(edit.URLDetector().UpdateCount(), 0);
    QVERIFY(edit.updatesEnabled());
}

void TestURLScan::defaultDetection()
{
    TRichEditEx edit;
    Load(edit, "see www.example.com, and http://a.b/c-d?e. Or joe@x.org! http:");
    QVERIFY(!LinkMask(edit).contains(QLatin1Char('1')));
    edit.SetAutoURLDetect(TAutoURLDetect::adDefault);
    QByteArray text;
    QString mask;
    SplitMarked("see [www.example.com], and [http://a.b/c-d?e]. Or [joe@x.org]! http:", text, mask);
    QCOMPARE(LinkMask(edit), mask);
    TypeAtEnd(edit, " ftp://q");
    QVERIFY(LinkMask(edit).endsWith(QString("01111111")));
}

void TestURLScan::linkEvents_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("message");
    QTest::addColumn<int>("urlCursor");
    QTest::addColumn<int>("expectedCursor");
    QTest::addColumn<QByteArray>("moved");
    QTest::addColumn<QByteArray>("clicked");
    const int move = int(TURLDetector::TLinkMessage::MouseMove);
    const int up = int(TURLDetector::TLinkMessage::LeftButtonUp);
    const int other = int(TURLDetector::TLinkMessage::Other);
    QTest::newRow("no colon no at")
        << QByteArray("abc") << move << -21 << -21 << QByteArray("abc") << QByteArray();
    QTest::newRow("own cursor id")
        << QByteArray("abc") << move << -3 << -3 << QByteArray("abc") << QByteArray();
    QTest::newRow("zero URLCursor")
        << QByteArray("abc") << move << 0 << -21 << QByteArray("abc") << QByteArray();
    QTest::newRow("entry cursor") << QByteArray("ftp:x") << move << -3 << -11 << QByteArray("ftp:x")
                                  << QByteArray();
    QTest::newRow("e-mail entry") << QByteArray("a@b") << move << -3 << -18 << QByteArray("a@b")
                                  << QByteArray();
    QTest::newRow("one character")
        << QByteArray("a") << move << -3 << -3 << QByteArray() << QByteArray();
    QTest::newRow("click") << QByteArray("http://a") << up << -21 << 0 << QByteArray()
                           << QByteArray("http://a");
    QTest::newRow("click one character")
        << QByteArray("h") << up << -21 << 0 << QByteArray() << QByteArray();
    QTest::newRow("other mouse message")
        << QByteArray("http://a") << other << -21 << 0 << QByteArray() << QByteArray();
}

void TestURLScan::linkEvents()
{
    QFETCH(QByteArray, text);
    QFETCH(int, message);
    QFETCH(int, urlCursor);
    TRichEditEx edit;
    edit.CustomURLs().Add("ftp", TColors::clWindowText, -11);
    edit.CustomURLs().Add("e-mail", TColors::clWindowText, -18);
    edit.SetURLCursor(urlCursor);
    Load(edit, "<" + text + ">");
    QByteArray moved;
    QByteArray clicked;
    edit.OnURLMove = [&](TCustomRichEditEx *sender, const std::string &url) {
        QCOMPARE(sender, &edit);
        moved = QByteArray::fromStdString(url);
    };
    edit.OnURLClick = [&](TCustomRichEditEx *, const std::string &url) {
        clicked = QByteArray::fromStdString(url);
    };
    edit.URLDetector().LinkNotification(TURLDetector::TLinkMessage(message), 1,
                                        1 + int(text.size()));
    QTEST(edit.URLDetector().LinkCursor(), "expectedCursor");
    QTEST(moved, "moved");
    QTEST(clicked, "clicked");
}

void TestURLScan::mouseOverLink()
{
    TRichEditEx edit;
    edit.resize(400, 100);
    edit.SetAutoURLDetect(TAutoURLDetect::adExtended);
    Load(edit, "see http://example.org/x please");
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QStringList moved;
    QStringList clicked;
    edit.OnURLMove = [&](TCustomRichEditEx *, const std::string &url) {
        moved << QString::fromStdString(url);
    };
    edit.OnURLClick = [&](TCustomRichEditEx *, const std::string &url) {
        clicked << QString::fromStdString(url);
    };
    QTextCursor cursor(edit.document());
    cursor.setPosition(10);
    const QPoint onLink = edit.cursorRect(cursor).center() + QPoint(2, 0);
    cursor.setPosition(1);
    const QPoint onPlain = edit.cursorRect(cursor).center() + QPoint(2, 0);
    QTest::mouseMove(edit.viewport(), onPlain);
    QVERIFY(moved.isEmpty());
    QTest::mouseMove(edit.viewport(), onLink);
    QCOMPARE(moved, QStringList{"http://example.org/x"});
    QCOMPARE(edit.viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, onLink);
    QCOMPARE(clicked, QStringList{"http://example.org/x"});
    QTest::mouseMove(edit.viewport(), onPlain);
    QCOMPARE(edit.viewport()->cursor().shape(), Qt::IBeamCursor);
}

ZARVEL_TEST_MAIN(TestURLScan)
#include "tst_urls_scan.moc"
