// Paragraph structure: bulleted and numbered lists, indentation levels, tables with their
// end-of-table look-ahead, pictures and the destinations the reader skips.
#include "Rtf2HtmlTestSupport.h"

#include <QObject>
#include <QTest>

#include "TestEnvironment.h"

using namespace Rtf2HtmlTest;

namespace {
const QByteArray KBullet = "{\\pntext\\f1\\'b7\\tab}";
const QByteArray KBulletList = "{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}";
} // namespace

class TestRtf2HtmlStructure : public QObject
{
    Q_OBJECT

private slots:
    void lists_data();
    void lists();
    void tables_data();
    void tables();
    void pictures_data();
    void pictures();
    void skippedDestinations_data();
    void skippedDestinations();
};

void TestRtf2HtmlStructure::lists_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("bulleted paragraphs")
        << QByteArray("\\pard" + KBullet + KBulletList + "\\fi-720\\li720 one\\par" + KBullet +
                      "two\\par\\pard after\\par")
        << QByteArray("<UL><LI type=disc>one</LI><LI type=disc>two</LI></UL>after<BR>");
    QTest::newRow("item starting with an escape")
        << QByteArray("\\pard" + KBulletList + "\\fi-720\\li720 one\\par\\'e4two\\par\\pard")
        << QByteArray("<UL><LI type=disc>one</LI><LI type=disc>&auml;two</LI></UL>");
    QTest::newRow("list open at the page end") << QByteArray("\\pard" + KBulletList + "one")
                                               << QByteArray("<UL><LI type=disc>one</LI></UL>");
    QTest::newRow("list item ended at the page end")
        << QByteArray("\\pard" + KBulletList + "one\\par")
        << QByteArray("<UL><LI type=disc>one</LI></UL>");
    QTest::newRow("indent of 720 twips") << QByteArray("\\pard\\li720 x\\par\\pard y\\par")
                                         << QByteArray("<UL><UL><UL>x<BR></UL></UL></UL>y<BR>");
    QTest::newRow("hanging indent opens none")
        << QByteArray("\\pard\\fi-720\\li720 x\\par") << QByteArray("x<BR>");
    QTest::newRow("first-line indent counts before the left indent")
        << QByteArray("\\pard\\fi300\\li0 x\\par") << QByteArray("<UL><UL>x<BR></UL></UL>");
    QTest::newRow("only the first left indent counts")
        << QByteArray("\\pard\\li300\\li5000\\fi5000 x\\par")
        << QByteArray("<UL><UL>x<BR></UL></UL>");
    QTest::newRow("exactly on a level")
        << QByteArray("\\pard\\li285 x\\par") << QByteArray("<UL>x<BR></UL>");
    QTest::newRow("at most 21 levels")
        << QByteArray("\\pard\\li99999 x\\par\\pard")
        << QByteArray(QByteArray("<UL>").repeated(21) + "x<BR>" + QByteArray("</UL>").repeated(21));
    QTest::newRow("numbered list")
        << QByteArray(
               "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart3\\pnindent360{\\pntxtb (}{\\pntxta "
               ")}}\\fi-360\\li360 one\\par{\\pntext 4)\\tab}two\\par three\\par\\pard x\\par")
        << QByteArray("(3)one<BR>(4)two<BR>(5)three<BR>x<BR>");
    QTest::newRow("number format after the start counts nothing")
        << QByteArray("\\pard{\\*\\pn\\pnlvlbody\\pnstart1\\pndec{\\pntxta.}}one\\par two\\par")
        << QByteArray("one<BR>two<BR>");
    QTest::newRow("start that does not convert")
        << QByteArray("\\pard{\\*\\pn\\pnlvlbody\\pnucrm\\pnstartx{\\pntxta .}}a\\par b\\par")
        << QByteArray("x.a<BR>2.b<BR>");
    QTest::newRow("continuation level is not numbered")
        << QByteArray("\\pard{\\*\\pn\\pnlvlcont\\pndec\\pnstart1{\\pntxta .}}a\\par b\\par")
        << QByteArray("a<BR>b<BR>");
    QTest::newRow("table closes lists")
        << QByteArray("\\pard" + KBulletList + "one\\trowd A\\cell\\row")
        << QByteArray("<UL><LI type=disc>one</LI></UL><BR><TABLE BORDER=2><TR><TD>A</TD></TR>");
}

void TestRtf2HtmlStructure::lists()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, expected);
    QCOMPARE(Flat("{\\rtf1{\\fonttbl{\\f1\\fnil Symbol;}}" + body + "}"), expected);
}

void TestRtf2HtmlStructure::tables_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray row =
        "\\trowd\\trgaph108\\cellx4000\\cellx8000\\pard\\intbl A\\cell B\\cell\\row";

    QTest::newRow("two cells, one row")
        << QByteArray(row + "\\pard\\par\\pard Hello\\par")
        << QByteArray("<BR><TABLE BORDER=2><TR><TD>A</TD><TD>B</TD></TR></TABLE><BR><BR>Hello<BR>");
    QTest::newRow("text after the row is read again")
        << QByteArray(row + "\\pard\\b After\\par\\pard x")
        << QByteArray("<BR><TABLE BORDER=2><TR><TD>A</TD><TD>B</TD></TR></TABLE><BR><B>After</B>"
                      "<BR><B>x</B>");
    QTest::newRow("paragraph words without intbl end it")
        << QByteArray(row + "\\pard\\widctlpar After\\par")
        << QByteArray("<BR><TABLE BORDER=2><TR><TD>A</TD><TD>B</TD></TR></TABLE><BR>After<BR>");
    QTest::newRow("second row")
        << QByteArray(row + "\\trowd\\cellx4000\\pard\\intbl C\\cell\\row\\pard\\par\\pard")
        << QByteArray("<BR><TABLE BORDER=2><TR><TD>A</TD><TD>B</TD></TR><TR><TD>C</TD></TR>"
                      "</TABLE><BR><BR>");
    QTest::newRow("row without a row definition")
        << QByteArray(row + "\\pard\\intbl C\\cell D\\cell\\row\\pard\\pard")
        << QByteArray("<BR><TABLE BORDER=2><TR><TD>A</TD><TD>B</TD></TR><TR><TD>C</TD><TD>D</TD>"
                      "</TR></TABLE><BR>");
    QTest::newRow("cell formats are closed")
        << QByteArray("\\trowd\\cellx1\\pard\\intbl\\b A\\cell\\i B\\par C\\cell\\row\\pard\\pard")
        << QByteArray("<BR><TABLE BORDER=2><TR><TD><B>A</B></TD><TD><I>B</I><BR>C</TD></TR>"
                      "</TABLE><BR>");
    QTest::newRow("groups in cells")
        << QByteArray("\\trowd A{\\b B}C\\cell\\row\\pard\\pard")
        << QByteArray("<BR><TABLE BORDER=2><TR><TD>A<B>B</B>C</TD></TR>"
                      "</TABLE><BR>");
    QTest::newRow("input ends inside the table")
        << QByteArray(row) << QByteArray("<BR><TABLE BORDER=2><TR><TD>A</TD><TD>B</TD></TR>");
    QTest::newRow("look-ahead across lines")
        << QByteArray(row + "\\pard\r\nNext\r\n\\par\r\n\\pard end")
        << QByteArray("<BR><TABLE BORDER=2><TR><TD>A</TD><TD>B</TD></TR></TABLE><BR>Next<BR>end");
    QTest::newRow("destination in the look-ahead is dropped")
        << QByteArray(row + "\\pard a{\\*\\bkmkstart x}b{\\pict 00}c\\par\\pard")
        << QByteArray("<BR><TABLE BORDER=2><TR><TD>A</TD><TD>B</TD></TR></TABLE><BR>abc<BR>");
    // The table reader skips its own list of groups: numbering text shows in a cell, the
    // text before a number does not, and the body after the table skips as before.
    QTest::newRow("list numbers in cells")
        << QByteArray("\\trowd\\cellx4000\\pard\\intbl{\\pntext 1.}A{\\pntxtb (}\\cell\\row"
                      "\\pard\\pard{\\pntext 2.}B{\\pntxtb (}\\par")
        << QByteArray("<BR><TABLE BORDER=2><TR><TD>1.A</TD></TR></TABLE><BR>B(<BR>");
    QTest::newRow("look-ahead that finds another row")
        << QByteArray(row + "\\pard\\intbl\\trowd C\\cell\\row\\pard\\pard")
        << QByteArray("<BR><TABLE BORDER=2><TR><TD>A</TD><TD>B</TD></TR><TR><TD>C</TD></TR>"
                      "</TABLE><BR>");
}

void TestRtf2HtmlStructure::tables()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, expected);
    QCOMPARE(Flat("{\\rtf1 " + body + "}"), expected);
}

void TestRtf2HtmlStructure::pictures_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("picture") << QByteArray("a{\\pict\\wmetafile8\\picw100 0102ff}b")
                             << QByteArray("a<P>[*** picture ***]<P>b");
    QTest::newRow("picture inside an object")
        << QByteArray("{\\object{\\*\\objdata 0102}{\\result{\\pict\\emfblip 00}}}b")
        << QByteArray("<P>[*** picture ***]<P>b");
    QTest::newRow("binary data with braces")
        << QByteArray("{\\pict\\bin6 }}{{\\}x}b") << QByteArray("<P>[*** picture ***]<P>b");
    QTest::newRow("binary data across lines")
        << QByteArray("{\\pict\\bin6 }}\r\n}}}}x}b") << QByteArray("<P>[*** picture ***]<P>b");
    QTest::newRow("bin only first on its line")
        << QByteArray("{\\pict cabinet\\bin2 }}b") << QByteArray("<P>[*** picture ***]<P>b");
    QTest::newRow("hidden picture") << QByteArray("{\\v{\\pict 00}}b") << QByteArray("b");
    QTest::newRow("picture in a table")
        << QByteArray("\\trowd{\\pict 00}\\cell\\row")
        << QByteArray("<BR><TABLE BORDER=2><TR><TD><P>[*** picture ***]<P></TD></TR>");
}

void TestRtf2HtmlStructure::pictures()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, expected);
    QCOMPARE(Flat("{\\rtf1 " + body + "}"), expected);
}

void TestRtf2HtmlStructure::skippedDestinations_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("header, footer, footnote, info")
        << QByteArray("{\\header H}{\\footer F}a{\\footnote N}{\\info{\\title T}}b")
        << QByteArray("ab");
    QTest::newRow("list tables") << QByteArray(
                                        "{\\*\\listtable{\\list{\\listlevel x}}}{\\listtable "
                                        "y}{\\listoverridetable z}a")
                                 << QByteArray("a");
    QTest::newRow("unknown destination")
        << QByteArray("a{\\*\\generator Riched20 5.50}b") << QByteArray("ab");
    QTest::newRow("escaped braces inside")
        << QByteArray("a{\\footnote x\\}y}b") << QByteArray("ab");
    QTest::newRow("bookmark marks the paragraph once")
        << QByteArray("a{\\*\\bkmkstart one}b{\\*\\bkmkend one}c\\par d{\\*\\bkmkstart two}e")
        << QByteArray("a<P>bc<BR>d<P>e");
    QTest::newRow("numbering text skipped") << QByteArray("{\\pntext 1.\\tab}a") << QByteArray("a");
    QTest::newRow("skipped group restores the format")
        << QByteArray("{\\b a{\\*\\x \\i}b}c") << QByteArray("<B>ab</B>c");
}

void TestRtf2HtmlStructure::skippedDestinations()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, expected);
    QCOMPARE(Flat("{\\rtf1 " + body + "}"), expected);
}

ZARVEL_TEST_MAIN(TestRtf2HtmlStructure)
#include "tst_rtf2html_structure.moc"
