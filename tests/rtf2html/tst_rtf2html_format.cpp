// Text items and their tags: format changes, tag order, groups, hidden text and caps,
// alignment, font sizes, hex escapes and the special characters.
#include "Rtf2HtmlTestSupport.h"

#include <QObject>
#include <QRegularExpression>
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
    void charactersOfEveryCodePage_data();
    void charactersOfEveryCodePage();
    void currentWritersDocumentKeepsEveryCharacter();
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
    QTest::newRow("other bytes unchanged, markup escaped")
        << QByteArray("\\'e9\\'22\\'3c\\'3e\\'26") << QByteArray("\xe9\"&lt;&gt;&amp;");
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

void TestRtf2HtmlFormat::charactersOfEveryCodePage_data()
{
    // Fonts of other code pages; without font faces (noFonts) only the characters show.
    const QByteArray fonts =
        "{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset204 Cyr;}"
        "{\\f2\\fnil\\fcharset128 Gothic;}{\\f3\\fnil\\fcharset238 CE;}"
        "{\\f4\\fnil\\cpg1253 Greek;}{\\f5\\fnil\\fcharset2 Symbol;}}";
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("expected");
    auto row = [&](const char *name, const QByteArray &body, const QByteArray &expected) {
        QTest::newRow(name) << "{\\rtf1\\ansi\\ansicpg1252" + fonts + body + "}" << expected;
    };
    row("unicode with its fallback", "\\u945?\\u1078\\'3f!", "&#945;&#1078;!");
    row("unicode of code page 1252 as its byte", "\\u233\\'e9\\u228?\\u8364?", "\xe9&auml;\x80");
    row("unicode markup characters", "\\u60?\\u38?", "&lt;&amp;");
    row("two fallback characters", "\\uc2\\u1078\\'3f\\'3fx", "&#1078;x");
    row("no fallback", "\\uc0\\u1078 x", "&#1078;x");
    row("skip count ends with its group", "{\\uc2\\u1078??}\\u1078?x", "&#1078;&#1078;x");
    row("a character beyond 16 bits", "\\u-10179?\\u-8704?", "&#128512;");
    row("negative numbers above 32767", "\\u-1?", "&#65535;");
    row("halves apart are no character", "\\u-10179?x\\u-8704?y", "xy");
    row("cyrillic font", "\\f1 \\'c1\\'ee\\'f0\\'f9", "&#1041;&#1086;&#1088;&#1097;");
    row("font of a group only", "{\\f1 \\'c1}\\'c1", "&#1041;\xc1");
    row("two-byte code page", "\\f2 \\'93\\'fa\\'96\\'7b", "&#26085;&#26412;");
    row("central european letters of both pages", "\\f3 \\'bf\\'e9", "&#380;\xe9");
    row("code page named by cpg", "\\f4 \\'e1", "&#945;");
    row("symbol font keeps its bytes", "\\f5 \\'b7\\'e4", "&middot;&auml;");
    row("document code page", "\\ansicpg1251 \\'c1", "&#1041;");
    row("in a table", "\\trowd \\f1 \\'c1\\u1078?\\cell\\row",
        "<BR><TABLE BORDER=2><TR><TD>&#1041;&#1078;</TD></TR>");
}

void TestRtf2HtmlFormat::charactersOfEveryCodePage()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, expected);
    QCOMPARE(Flat(rtf, {"noFonts"}), expected);
}

void TestRtf2HtmlFormat::currentWritersDocumentKeepsEveryCharacter()
{
    // A document as current word processors write it: its font table runs over lines, with
    // theme fonts and alternative names; its text is in several code pages and in \\uN.
    const QByteArray rtf = ReadFile(TestEnvironment::dataPath("rtf2html/word2016_codepages.rtf"));
    QVERIFY(!rtf.isEmpty());
    const QByteArray page = ConvertPage(rtf);
    QVERIFY(page.contains(
        "\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">\r\n"));
    const QByteArray body = Body(rtf);
    // Code page 1252 text keeps its bytes, the rest are references.
    QVERIFY(body.contains("Caf\xe9 cr\xe8me \x80 5, \x93quoted\x94"));
    QVERIFY(body.contains("&#1041;&#1086;&#1088;&#1097; &#1080; &#1093;&#1083;&#1077;&#1073;"));
    QVERIFY(body.contains("Za&#380;\xf3&#322;&#263; g&#281;&#347;l&#261; ja&#378;&#324;"));
    QVERIFY(body.contains("&#915;&#949;&#953;&#940;"));
    QVERIFY(body.contains("&#26085;&#26412;&#35486;"));
    QVERIFY(body.contains("&#128512; smile"));
    QVERIFY2(!body.contains('?'), body.constData());
    // Nothing of the font table reaches the text: names appear only as faces.
    const QByteArray text =
        QString::fromLatin1(body).remove(QRegularExpression("<[^>]*>")).toLatin1();
    for (const char *name : {"Times", "Calibri", "Arial", "Gothic", "SimSun", "panose", "Normal"})
        QVERIFY2(!text.contains(name), text.constData());
    QVERIFY(body.contains("<FONT FACE=\"Times New Roman Cyr\">"));
    QVERIFY(body.contains("<FONT FACE=\"MS Gothic\">"));
}

ZARVEL_TEST_MAIN(TestRtf2HtmlFormat)
#include "tst_rtf2html_format.moc"
