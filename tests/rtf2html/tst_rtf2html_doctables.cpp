// The document's tables: fonts (with nested groups and alternative names), colours, and the
// style sheet with its cleaned control words, table-of-contents links and heading anchors.
#include "Rtf2HtmlTestSupport.h"

#include "rtf2html/TRtfReader.h"

#include <QObject>
#include <QTest>

#include "TestEnvironment.h"

using namespace Rtf2HtmlTest;

class TestRtf2HtmlDocTables : public QObject
{
    Q_OBJECT

private slots:
    void fontTable_data();
    void fontTable();
    void fontTableBeyondItsSize();
    void colourTable_data();
    void colourTable();
    void styles_data();
    void styles();
    void cleanStyleControls_data();
    void cleanStyleControls();
};

void TestRtf2HtmlDocTables::fontTable_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("text after the table on its line")
        << QByteArray("{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}")
        << QByteArray("Text \\f1 x") << QByteArray("Text <FONT FACE=\"Times New Roman\">x</FONT>");
    QTest::newRow("one entry a line")
        << QByteArray("{\\fonttbl\r\n{\\f0\\fnil\\fcharset0 Courier New;}\r\n{\\f2\\fnil "
                      "Symbol;}\r\n}")
        << QByteArray("\\f2 x\\f0 y")
        << QByteArray("<FONT FACE=\"Symbol\">x</FONT><FONT FACE=\"Courier New\">y</FONT>");
    QTest::newRow("nested group before the name")
        << QByteArray("{\\fonttbl{\\f0\\froman\\fprq2{\\*\\panose 02020603050405020304}Times New "
                      "Roman;}}")
        << QByteArray("\\f0 x") << QByteArray("<FONT FACE=\"Times New Roman\">x</FONT>");
    QTest::newRow("alternative name")
        << QByteArray("{\\fonttbl{\\f3\\froman Tms Rmn{\\*\\falt Times};}}") << QByteArray("\\f3 x")
        << QByteArray("<FONT FACE=\"Times\">x</FONT>");
    QTest::newRow("first entry of a number wins")
        << QByteArray("{\\fonttbl{\\f1 First;}{\\f1 Second;}}") << QByteArray("\\f1 x")
        << QByteArray("<FONT FACE=\"First\">x</FONT>");
    QTest::newRow("current writer's table over lines")
        << QByteArray(
               "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose "
               "02020603050405020304}Times New Roman;}\r\n{\\flomajor\\f31500\\fbidi "
               "\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New "
               "Roman;}\r\n{\\fhimajor\\f31502\\fbidi \\fswiss\\fcharset0\\fprq2{\\*\\panose "
               "020f0302020204030204}Calibri Light;}{\\f39\\fbidi \\froman\\fcharset238\\fprq2 "
               "Times New Roman CE;}\r\n{\\f40\\fbidi \\froman\\fcharset204\\fprq2 Times "
               "New\r\n Roman Cyr;}}")
        << QByteArray("a\\f31502 b\\f40 c")
        << QByteArray("a<FONT FACE=\"Calibri Light\">b</FONT><FONT FACE=\"Times New Roman "
                      "Cyr\">c</FONT>");
    QTest::newRow("alternative names of current writers")
        << QByteArray("{\\fonttbl{\\f13\\fbidi \\fnil\\fcharset134\\fprq2{\\*\\panose "
                      "02010600030101010101}SimSun{\\*\\falt \\'cb\\'ce\\'cc\\'e5};}{\\f38\\fbidi "
                      "\\fnil\\fcharset128\\fprq2 MS Gothic{\\*\\falt MS Gothic};}}")
        << QByteArray("x\\f13 y\\f38 z")
        << QByteArray("x<FONT FACE=\"&#23435;&#20307;\">y</FONT><FONT FACE=\"MS Gothic\">z</FONT>");
    QTest::newRow("name in its code page")
        << QByteArray("{\\fonttbl{\\f1\\fnil\\fcharset204 \\'c0\\'f0\\'e8\\'e0\\'eb;}}")
        << QByteArray("\\f1 x")
        << QByteArray("<FONT FACE=\"&#1040;&#1088;&#1080;&#1072;&#1083;\">x</FONT>");
    QTest::newRow("table without entry groups")
        << QByteArray("{\\fonttbl\\f0\\fswiss Helvetica;\\f1 Courier;}") << QByteArray("\\f1 x")
        << QByteArray("<FONT FACE=\"Courier\">x</FONT>");
}

void TestRtf2HtmlDocTables::fontTable()
{
    QFETCH(QByteArray, table);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, expected);
    QCOMPARE(Flat("{\\rtf1\\ansi" + table + body + "}"), expected);
}

void TestRtf2HtmlDocTables::fontTableBeyondItsSize()
{
    QByteArray table = "{\\fonttbl";
    for (int i = 0; i < 300; ++i)
        table += "{\\f" + QByteArray::number(i) + " Face" + QByteArray::number(i) + ";}";
    table += "}";
    const QByteArray body = "\\f200 a\\f201 b\\f299 c";
    QCOMPARE(Flat("{\\rtf1" + table + body + "}"),
             QByteArray("<FONT FACE=\"Face200\">a</FONT><FONT FACE=\"\">b</FONT><FONT "
                        "FACE=\"\">c</FONT>"));
}

void TestRtf2HtmlDocTables::colourTable_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("starting with a semicolon")
        << QByteArray("{\\colortbl;\\red255\\green128\\blue0;}") << QByteArray("\\cf0 a\\cf1 b")
        << QByteArray("<FONT COLOR=\"#000000\">a</FONT><FONT COLOR=\"#FF8000\">b</FONT>");
    QTest::newRow("semicolon after the word's space")
        << QByteArray("{\\colortbl ;\\red0\\green0\\blue255;\\red0\\green255\\blue0;}")
        << QByteArray("\\cf2 a") << QByteArray("<FONT COLOR=\"#00FF00\">a</FONT>");
    QTest::newRow("without a default entry")
        << QByteArray("{\\colortbl\\red17\\green34\\blue51;}") << QByteArray("\\cf0 a")
        << QByteArray("<FONT COLOR=\"#112233\">a</FONT>");
    QTest::newRow("beyond the table the last colour")
        << QByteArray("{\\colortbl;\\red1\\green2\\blue3;\\red4\\green5\\blue6;}")
        << QByteArray("\\cf99 a") << QByteArray("<FONT COLOR=\"#040506\">a</FONT>");
    QTest::newRow("values above 255")
        << QByteArray("{\\colortbl;\\red256\\green300\\blue4095;}") << QByteArray("\\cf1 a")
        << QByteArray("<FONT COLOR=\"#00CCFF\">a</FONT>");
    QTest::newRow("missing and bad numbers")
        << QByteArray("{\\colortbl;\\green16\\blue99999999999;}") << QByteArray("\\cf1 a")
        << QByteArray("<FONT COLOR=\"#001000\">a</FONT>");
    QTest::newRow("entries across lines")
        << QByteArray("{\\colortbl;\r\n\\red255\\green0\\blue0;\r\n\\red0\r\n\\green0\\blue128;}")
        << QByteArray("\\cf2 a") << QByteArray("<FONT COLOR=\"#000080\">a</FONT>");
    QTest::newRow("no table: colour stays")
        << QByteArray() << QByteArray("\\cf1 a") << QByteArray("a");
    QTest::newRow("negative index names no colour")
        << QByteArray("{\\colortbl;\\red255\\green0\\blue0;}") << QByteArray("\\cf-1 a")
        << QByteArray("a");
}

void TestRtf2HtmlDocTables::colourTable()
{
    QFETCH(QByteArray, table);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, expected);
    QCOMPARE(Flat("{\\rtf1\\ansi" + table + body + "}"), expected);
}

void TestRtf2HtmlDocTables::styles_data()
{
    QTest::addColumn<QByteArray>("sheet");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray tocSheet = "{\\stylesheet{\\s0 Normal;}{\\s2\\sbasedon0\\snext0 heading 1;}"
                                "{\\s9\\sbasedon0 toc 1;}}";
    QTest::newRow("table of contents and headings")
        << tocSheet
        << QByteArray("\\pard\\s9 Intro\\tab 3\\par\\pard\\s9 Next\\par\\pard\\s2 Heading\\par"
                      "\\pard\\s2 Second\\par")
        << QByteArray("<A HREF=\"#1-1\">Intro</A>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                      "3<BR><A HREF=\"#1-2\">Next</A><BR><A NAME=\"1-1\">H</A>eading<BR><A "
                      "NAME=\"1-2\">S</A>econd<BR>");
    QTest::newRow("link opens at each paragraph of the style")
        << tocSheet << QByteArray("\\pard\\s9 a\\par b\\par\\pard c\\par")
        << QByteArray("<A HREF=\"#1-1\">a</A><BR><A HREF=\"#1-2\">b</A><BR>c<BR>");
    QTest::newRow("levels count apart")
        << QByteArray("{\\stylesheet{\\s1 heading 1;}{\\s3 heading 2;}{\\s11 toc 1;}{\\s12 toc "
                      "2;}}")
        << QByteArray("\\pard\\s12 a\\par\\pard\\s11 b\\par\\pard\\s3 c\\par")
        << QByteArray("<A HREF=\"#2-1\">a</A><BR><A HREF=\"#1-1\">b</A><BR><A "
                      "NAME=\"2-1\">c</A><BR>");
    QTest::newRow("toc without heading gives no link")
        << QByteArray("{\\stylesheet{\\s9 toc 1;}}") << QByteArray("\\pard\\s9 Intro\\par")
        << QByteArray("Intro<BR>");
    QTest::newRow("style applies its words")
        << QByteArray("{\\stylesheet{\\s1\\sb240\\sa60\\keepn\\widctlpar\\b\\fs28\\kerning28 "
                      "Title;}}")
        << QByteArray("\\pard\\s1 T\\par") << QByteArray("<B><FONT SIZE=+1>T</FONT></B><BR>");
    QTest::newRow("base style's words come first")
        << QByteArray("{\\stylesheet{\\s0\\i Normal;}{\\s4\\sbasedon0\\b Strong;}}")
        << QByteArray("\\s4 x") << QByteArray("<B><I>x</I></B>");
    QTest::newRow("character and section styles skipped")
        << QByteArray("{\\stylesheet{\\*\\cs10\\b Char;}{\\ds5\\i Sect;}{\\s5\\ul U;}}")
        << QByteArray("\\s5 x") << QByteArray("<U>x</U>");
    QTest::newRow("style numbers beyond 300 are not stored")
        << QByteArray("{\\stylesheet{\\s301\\b Big;}{\\s300\\i Last;}}")
        << QByteArray("\\s301 a\\s300 b") << QByteArray("a<I>b</I>");
    QTest::newRow("a style that names itself is read once")
        << QByteArray("{\\stylesheet{\\s1\\b\\s1 Loop;}}") << QByteArray("\\s1 x")
        << QByteArray("<B>x</B>");
    QTest::newRow("escaped name") << QByteArray("{\\stylesheet{\\s2 \\'68eading 1;}{\\s3 toc 1;}}")
                                  << QByteArray("\\pard\\s3 a\\par\\pard\\s2 b\\par")
                                  << QByteArray(
                                         "<A HREF=\"#1-1\">a</A><BR><A NAME=\"1-1\">b</A><BR>");
}

void TestRtf2HtmlDocTables::styles()
{
    QFETCH(QByteArray, sheet);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, expected);
    QCOMPARE(Flat("{\\rtf1\\ansi" + sheet + body + "}"), expected);
}

void TestRtf2HtmlDocTables::cleanStyleControls_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("expected");
    QTest::newRow("layout words go")
        << ""
        << "\\widctlpar\\adjustright\\b\\nowidctlpar\\keepn\\cgrid\\widctl"
        << "\\b";
    QTest::newRow("words with parameters go")
        << ""
        << "\\sbasedon0\\snext1\\sa120\\sb240\\lang1031\\slmult1\\sl360\\outlinelevel0"
           "\\kerning28\\expndtw10\\expnd2\\tx720\\f1"
        << "\\f1";
    QTest::newRow("longer words that start alike go too") << ""
                                                          << "\\sautoupd\\langfe1031\\i"
                                                          << "\\i";
    QTest::newRow("base joins in front") << "\\f1\\fs20"
                                         << "\\b"
                                         << "\\f1\\fs20\\b";
    QTest::newRow("base inside own is dropped") << "\\b"
                                                << "\\f1\\b\\i"
                                                << "\\f1\\b\\i";
    QTest::newRow("own indents replace the base's") << "\\fi-360\\li720\\b"
                                                    << "\\li1440"
                                                    << "\\b\\li1440";
    QTest::newRow("base indents stay without own") << "\\li720"
                                                   << "\\b"
                                                   << "\\li720\\b";
}

void TestRtf2HtmlDocTables::cleanStyleControls()
{
    QFETCH(QString, base);
    QFETCH(QString, own);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(
                 Rtf2Html::TRtfReader::CleanStyleControls(base.toStdString(), own.toStdString())),
             expected);
}

ZARVEL_TEST_MAIN(TestRtf2HtmlDocTables)
#include "tst_rtf2html_doctables.moc"
