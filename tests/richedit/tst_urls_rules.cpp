// URL scheme collection and the word, e-mail and entry rules of URL detection.
#include "TestEnvironment.h"

#include "richedit/TURLCollection.h"
#include "richedit/URLDetection.h"

#include <QtTest>

using namespace URLDetection;

class TestURLRules : public QObject
{
    Q_OBJECT

private slots:
    void defaultEntries();
    void addByNameReplaces();
    void assignCopiesInOrder();
    void itemOutOfRangeThrows();
    void wordChars_data();
    void wordChars();
    void emailShape_data();
    void emailShape();
    void matchEntry_data();
    void matchEntry();
    void matchEntryWithoutEntries();
    void linkEntry_data();
    void linkEntry();
    void defaultLinks_data();
    void defaultLinks();
};

void TestURLRules::defaultEntries()
{
    const TURLCollection urls;
    const QStringList expected = {"e-mail", "http", "file",     "mailto", "ftp",  "https",
                                  "gopher", "nntp", "prospero", "telnet", "news", "wais"};
    QCOMPARE(urls.Count(), 12);
    for (int i = 0; i < urls.Count(); ++i) {
        QCOMPARE(QString::fromStdString(urls.Item(i).Name()), expected.at(i));
        QCOMPARE(urls.Item(i).Color(), TColors::clWindowText);
        QCOMPARE(urls.Item(i).Cursor(), 0);
        QVERIFY(urls.Item(i).Underline());
    }
}

void TestURLRules::addByNameReplaces()
{
    TURLCollection urls;
    QCOMPARE(urls.Add("ftp", 0x0000FF, -3, false), 4);
    QCOMPARE(urls.Count(), 12);
    QCOMPARE(urls.Item(4).Color(), TColor(0x0000FF));
    QCOMPARE(urls.Item(4).Cursor(), -3);
    QVERIFY(!urls.Item(4).Underline());
    // Names are compared exactly: another case is another entry.
    QCOMPARE(urls.Add("FTP"), 12);
    QCOMPARE(urls.Count(), 13);
}

void TestURLRules::assignCopiesInOrder()
{
    TURLCollection source;
    source.Clear();
    source.Add("zz", 1, 2, false);
    source.Add("aa");
    TURLCollection target;
    target.Assign(source);
    QCOMPARE(target.Count(), 2);
    QCOMPARE(target.Item(0), source.Item(0));
    QCOMPARE(target.Item(1).Name(), std::string("aa"));
    target.Assign(target);
    QCOMPARE(target.Count(), 2);
}

void TestURLRules::itemOutOfRangeThrows()
{
    TURLCollection urls;
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, urls.Item(12));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, urls.Delete(-1));
    urls.Delete(0);
    QCOMPARE(urls.Item(0).Name(), std::string("http"));
}

void TestURLRules::wordChars_data()
{
    QTest::addColumn<QString>("characters");
    QTest::addColumn<bool>("word");
    QTest::newRow("digits and dots") << QString("./0123456789:") << true;
    QTest::newRow("letters") << QString("AZaz@Mm") << true;
    QTest::newRow("backslash") << QString("\\") << true;
    QTest::newRow("dash underscore query") << QString("-_?=&%#~") << false;
    QTest::newRow("brackets") << QString("[]^`{}|") << false;
    QTest::newRow("space and breaks") << QString(" \r\n\t\v\f") << false;
    QTest::newRow("accented") << QString::fromUtf8("éÄ") << false;
}

void TestURLRules::wordChars()
{
    QFETCH(QString, characters);
    QFETCH(bool, word);
    for (const QChar c : characters)
        QVERIFY2(URLWordChar(c) == word, qPrintable(QString(c)));
}

void TestURLRules::emailShape_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("email");
    QTest::newRow("plain") << "a@b.c" << true;
    QTest::newRow("long") << "JOE@EXAMPLE.ORG" << true;
    QTest::newRow("starts with at") << "@b.c" << false;
    QTest::newRow("dot right after at") << "a@.bc" << false;
    QTest::newRow("no dot after at") << "a.b@cd" << false;
    QTest::newRow("at at end") << "ab@" << false;
    QTest::newRow("dot at end after at") << "a@b." << true;
    QTest::newRow("no at") << "a.b.c" << false;
}

void TestURLRules::emailShape()
{
    QFETCH(QString, word);
    QFETCH(bool, email);
    QCOMPARE(EmailShape(word), email);
}

void TestURLRules::matchEntry_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("entry");
    QTest::newRow("http with host") << "HTTP://X" << 1;
    QTest::newRow("scheme colon and one char") << "FTP:A" << 4;
    QTest::newRow("scheme and colon alone") << "HTTP:" << -1;
    QTest::newRow("https not taken for http") << "HTTPS://A.B" << 5;
    QTest::newRow("last entry") << "WAIS:Q" << 11;
    QTest::newRow("unknown scheme") << "ABC:DEF" << -1;
    QTest::newRow("email") << "A@B.C" << 0;
    QTest::newRow("scheme wins over email") << "MAILTO:A@B.C" << 3;
    QTest::newRow("e-mail entry name is no scheme") << "E-MAIL:X" << -1;
    QTest::newRow("plain word") << "HELLO" << -1;
}

void TestURLRules::matchEntry()
{
    QFETCH(QString, word);
    QFETCH(int, entry);
    const TURLCollection urls;
    QCOMPARE(URLDetection::MatchEntry(word, urls), entry);
}

void TestURLRules::matchEntryWithoutEntries()
{
    TURLCollection urls;
    urls.Clear();
    QCOMPARE(URLDetection::MatchEntry("A@B.C", urls), -1);
    urls.Add("e-mail");
    urls.Add("x-y");
    QCOMPARE(URLDetection::MatchEntry("X-Y:Z", urls), 1);
    QCOMPARE(URLDetection::MatchEntry("A@B.C", urls), 0);
}

void TestURLRules::linkEntry_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<int>("entry");
    QTest::newRow("lower-cased scheme") << QByteArray("HTTP://x") << 1;
    QTest::newRow("news") << QByteArray("news:comp") << 10;
    QTest::newRow("unknown scheme takes the last entry") << QByteArray("abc:x") << 11;
    QTest::newRow("colon first is no scheme") << QByteArray(":abc") << -1;
    QTest::newRow("at first is no address") << QByteArray("@abc") << -1;
    QTest::newRow("address") << QByteArray("a@b") << 0;
    QTest::newRow("neither") << QByteArray("www.example.com") << -1;
}

void TestURLRules::linkEntry()
{
    QFETCH(QByteArray, url);
    QFETCH(int, entry);
    const TURLCollection urls;
    QCOMPARE(URLDetection::LinkEntry(url.toStdString(), urls), entry);
}

void TestURLRules::defaultLinks_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("length");
    QTest::newRow("http") << "http://example.com/a-b?c=d" << 26;
    QTest::newRow("sentence end") << "http://example.com." << 18;
    QTest::newRow("bracket") << "www.example.com)," << 15;
    QTest::newRow("www alone") << "www." << 0;
    QTest::newRow("scheme alone") << "https:" << 0;
    QTest::newRow("address") << "joe@example.org" << 15;
    QTest::newRow("word") << "hello" << 0;
}

void TestURLRules::defaultLinks()
{
    QFETCH(QString, word);
    QFETCH(int, length);
    QCOMPARE(URLDetection::DefaultLinkLength(word), length);
}

ZARVEL_TEST_MAIN(TestURLRules)
#include "tst_urls_rules.moc"
