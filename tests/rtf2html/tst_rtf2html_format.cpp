// Text items and their tags: format changes, tag order, groups, hidden text and caps,
// alignment, font sizes, hex escapes and the special characters.
#include "Rtf2HtmlTestSupport.h"

#include <QObject>
#include <QTest>

#include "TestEnvironment.h"

using namespace Rtf2HtmlTest;

namespace {
const QByteArray KTables = "{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
                           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";

QByteArray Document(const QByteArray &body)
{
    return "{\\rtf1\\ansi" + KTables + "\\pard " + body + "}";
}
} // namespace

class TestRtf2HtmlFormat : public QObject
{
    Q_OBJECT

private slots:
    void formatChanges_data();
    void formatChanges();
    void fontSizes_data();
    void fontSizes();
    void hexItems_data();
    void hexItems();
    void specialItems_data();
    void specialItems();
};

void TestRtf2HtmlFormat::formatChanges_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("change closes and reopens every tag")
        << QByteArray("\\b ab\\i cd\\par") << "" << QByteArray("<B>ab</B><B><I>cd</I></B><BR>");
    QTest::newRow("optimised change")
        << QByteArray("\\b ab\\i cd\\par") << "optimize" << QByteArray("<B>ab<I>cd</I></B><BR>");
    QTest::newRow("group restores bold")
        << QByteArray("{\\b ab}cd\\par") << "" << QByteArray("<B>ab</B>cd<BR>");
    QTest::newRow("switching off")
        << QByteArray("\\b a\\b0 b\\i c\\i0 d\\par") << "" << QByteArray("<B>a</B>b<I>c</I>d<BR>");
    QTest::newRow("same value again changes nothing")
        << QByteArray("\\b a\\b b\\ul c\\uldb d\\par") << ""
        << QByteArray("<B>ab</B><B><U>cd</U></B><BR>");
    QTest::newRow("plain") << QByteArray("\\b\\f0 a\\plain b\\par") << ""
                           << QByteArray("<B><FONT FACE=\"Arial\">a</FONT></B>b<BR>");
    QTest::newRow("underline words")
        << QByteArray("\\ulwave a\\ulnone b\\ulth c\\ul0 d\\uldashdd e\\ulnone\\par") << ""
        << QByteArray("<U>a</U>b<U>c</U>d<U>e</U><BR>");
    QTest::newRow("super and sub")
        << QByteArray("\\up6 a\\nosupersub b\\super c\\nosupersub\\dn4 d\\nosupersub\\sub e\\par")
        << "" << QByteArray("<SUP>a</SUP>b<SUP>c</SUP><SUB>d</SUB><SUB>e</SUB><BR>");
    QTest::newRow("strike") << QByteArray("\\strike a\\strike0 b\\strikedl c\\strikedl0 d\\par")
                            << "" << QByteArray("<S>a</S>b<S>c</S>d<BR>");
    QTest::newRow("tag order")
        << QByteArray("\\fs24\\f1\\cf2\\strike\\super\\sub\\ul\\i\\b x\\par") << ""
        << QByteArray("<B><I><U><SUB><SUP><S><FONT COLOR=\"#0000FF\"><FONT FACE=\"Times New "
                      "Roman\"><FONT SIZE=+0>x</FONT></FONT></FONT></S></SUP></SUB></U></I></B>"
                      "<BR>");
    QTest::newRow("no fonts") << QByteArray("\\f1 a\\par") << "noFonts" << QByteArray("a<BR>");
    QTest::newRow("unknown font number")
        << QByteArray("\\f7 a\\par") << "" << QByteArray("<FONT FACE=\"\">a</FONT><BR>");
    QTest::newRow("colours") << QByteArray("\\cf1 a\\cf0 b\\cf9 c\\par") << ""
                             << QByteArray("<FONT COLOR=\"#FF0000\">a</FONT><FONT "
                                           "COLOR=\"#000000\">b</FONT><FONT COLOR=\"#0000FF\">c</"
                                           "FONT><BR>");
    QTest::newRow("caps") << QByteArray("\\caps ab1\\caps0 cd\\par") << ""
                          << QByteArray("AB1cd<BR>");
    QTest::newRow("caps ends with its group")
        << QByteArray("{\\caps ab}cd\\par") << "" << QByteArray("ABcd<BR>");
    QTest::newRow("hidden") << QByteArray("a\\v hidden\\v0 b\\par") << "" << QByteArray("ab<BR>");
    QTest::newRow("hidden text still writes tags")
        << QByteArray("{\\b\\v x}y\\par") << "" << QByteArray("<B></B>y<BR>");
    QTest::newRow("hidden escapes write nothing")
        << QByteArray("{\\b\\v \\{\\}\\\\\\~\\_\\tab\\emdash}y\\par") << "" << QByteArray("y<BR>");
    QTest::newRow("centred") << QByteArray("\\qc mid\\par") << ""
                             << QByteArray("<CENTER>mid</CENTER><BR>");
    QTest::newRow("right") << QByteArray("\\qr r\\par") << ""
                           << QByteArray("<DIV ALIGN=right>r</DIV><BR>");
    QTest::newRow("centred wins") << QByteArray("\\qr\\qc\\b m\\par") << ""
                                  << QByteArray("<CENTER><B>m</B></DIV></CENTER><BR>");
    QTest::newRow("alignment waits for the next paragraph")
        << QByteArray("a\\qc b\\par c\\par\\pard d\\par") << ""
        << QByteArray("ab</CENTER><BR><CENTER>c</CENTER><BR>d<BR>");
    QTest::newRow("each paragraph reopens its tags")
        << QByteArray("\\b a\\par b\\par") << "" << QByteArray("<B>a</B><BR><B>b</B><BR>");
    QTest::newRow("numbers that do not convert")
        << QByteArray("\\fs2-4 a\\f9999999999 b\\par") << ""
        << QByteArray("<FONT SIZE=-2>a</FONT><FONT "
                      "FACE=\"Arial\"><FONT "
                      "SIZE=-2>b</FONT></FONT><BR>");
}

void TestRtf2HtmlFormat::formatChanges()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, options);
    QFETCH(QByteArray, expected);
    QCOMPARE(Flat(Document(body), Options(options)), expected);
}

void TestRtf2HtmlFormat::fontSizes_data()
{
    QTest::addColumn<int>("halfPoints");
    QTest::addColumn<QByteArray>("tag");
    const QList<QPair<int, QByteArray>> rows = {
        {0, "-2"},  {16, "-2"}, {17, "-2"}, {18, "-1"}, {22, "-1"}, {23, "-1"},
        {24, "+0"}, {25, "+0"}, {26, "+1"}, {30, "+1"}, {31, "+1"}, {32, "+2"},
        {40, "+2"}, {42, "+3"}, {56, "+3"}, {57, "+3"}, {58, "+4"}, {400, "+4"}};
    for (const auto &row : rows)
        QTest::addRow("fs%d", row.first) << row.first << row.second;
}

void TestRtf2HtmlFormat::fontSizes()
{
    QFETCH(int, halfPoints);
    QFETCH(QByteArray, tag);
    const QByteArray body = "\\fs" + QByteArray::number(halfPoints) + " x\\par";
    QCOMPARE(Flat(Document(body)), "<FONT SIZE=" + tag + ">x</FONT><BR>");
}

void TestRtf2HtmlFormat::hexItems_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("a umlaut") << QByteArray("\\'e4") << QByteArray("&auml;");
    QTest::newRow("a umlaut with caps") << QByteArray("\\caps\\'e4") << QByteArray("&Auml;");
    QTest::newRow("upper-case digits are a byte") << QByteArray("\\'E4") << QByteArray("\xe4");
    QTest::newRow("capitals") << QByteArray("\\'c4\\'d6\\'dc") << QByteArray("&Auml;&Ouml;&Uuml;");
    QTest::newRow("capitals stay")
        << QByteArray("\\caps\\'c4\\'d6\\'dc") << QByteArray("&Auml;&Ouml;&Uuml;");
    QTest::newRow("small o and u")
        << QByteArray("\\'f6\\'fc\\caps\\'f6\\'fc") << QByteArray("&ouml;&uuml;&Ouml;&Uuml;");
    QTest::newRow("sharp s and dot")
        << QByteArray("\\'df\\caps\\'df\\'b7") << QByteArray("&szlig;&szlig;&middot;");
    QTest::newRow("C4 is a byte") << QByteArray("\\'C4\\'Df") << QByteArray("\xc4\xdf");
    QTest::newRow("other bytes unchanged")
        << QByteArray("\\'e9\\'22\\'3c") << QByteArray("\xe9\"<");
    QTest::newRow("escape across lines") << QByteArray("\\'e\n4") << QByteArray("&auml;");
}

void TestRtf2HtmlFormat::hexItems()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, expected);
    QCOMPARE(Flat(Document(body + "\\par")), expected + "<BR>");
}

void TestRtf2HtmlFormat::specialItems_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("tab") << QByteArray("a\\tab b")
                         << QByteArray("a&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;b");
    QTest::newRow("dashes") << QByteArray("a\\emdash b\\endash c") << QByteArray("a--b-c");
    QTest::newRow("spaces") << QByteArray("a\\emspace b\\enspace c")
                            << QByteArray("a&nbsp;&nbsp;b&nbsp;c");
    QTest::newRow("quotes") << QByteArray("\\lquote a\\rquote \\ldblquote b\\rdblquote ")
                            << QByteArray("'a'\"b\"");
    QTest::newRow("escaped characters")
        << QByteArray("\\\\\\{\\}\\~\\_") << QByteArray("\\{}&nbsp;-");
    QTest::newRow("markup characters") << QByteArray("<a & b>") << QByteArray("&lt;a &amp; b&gt;");
    QTest::newRow("quotation marks and high bytes unchanged")
        << QByteArray("\"q\" \xe9") << QByteArray("\"q\" \xe9");
    QTest::newRow("line and page")
        << QByteArray("a\\line b\\page c") << QByteArray("a<BR>b<BR><HR><BR>c");
    QTest::newRow("optional hyphen and unknown escapes")
        << QByteArray("a\\-b\\:c\\|d") << QByteArray("abcd");
    QTest::newRow("upper-case word is text")
        << QByteArray("\\Upper case") << QByteArray("pper case");
    QTest::newRow("unknown words")
        << QByteArray("a\\lang1033\\deff0 b\\xyz-12 c") << QByteArray("abc");
    QTest::newRow("word ended by other character")
        << QByteArray("\\b1 x\\b;y") << QByteArray("x<B>;y</B>");
}

void TestRtf2HtmlFormat::specialItems()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, expected);
    QCOMPARE(Flat(Document(body + "\\par")), expected + "<BR>");
}

ZARVEL_TEST_MAIN(TestRtf2HtmlFormat)
#include "tst_rtf2html_format.moc"
