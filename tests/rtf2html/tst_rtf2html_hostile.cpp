// Hostile and broken inputs: deep nesting, tables beyond their sizes, binary counts past the
// end, files that end inside a word or an escape, unbalanced braces, long lines and random
// bytes. None of them may crash, hang or read out of bounds, and no text of them may reach the
// page as markup.
#include "HtmlPageMarkup.h"
#include "Rtf2HtmlTestSupport.h"

#include <QObject>
#include <QRandomGenerator>
#include <QTest>

#include "TestEnvironment.h"

using namespace Rtf2HtmlTest;

namespace {
QString ErrorOf(const QByteArray &rtf, const std::vector<std::string> &options = {})
{
    try {
        ConvertPage(rtf, options);
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return QString();
}
} // namespace

class TestRtf2HtmlHostile : public QObject
{
    Q_OBJECT

private slots:
    void deepNestingInBody();
    void deepNestingInTable();
    void truncatedInputs_data();
    void truncatedInputs();
    void binCountPastEnd();
    void hugeNumbers();
    void manyFontsColoursAndStyles();
    void longSingleLine();
    void randomBytes();
    void documentTextNeverBecomesMarkup_data();
    void documentTextNeverBecomesMarkup();
};

void TestRtf2HtmlHostile::deepNestingInBody()
{
    const int depth = 100000;
    const QByteArray rtf =
        "{\\rtf1 " + QByteArray("{\\b x").repeated(depth) + QByteArray("}").repeated(depth) + "y}";
    const QByteArray body = Flat(rtf);
    QVERIFY(body.startsWith("<B>x"));
    QVERIFY(body.endsWith("</B>y"));
    QCOMPARE(body.count("x"), depth);
    // Unclosed groups end with the input.
    const QByteArray open = Flat("{\\rtf1 " + QByteArray("{\\i a").repeated(depth));
    QVERIFY(open.endsWith("a</I>"));
}

void TestRtf2HtmlHostile::deepNestingInTable()
{
    const int depth = 100000;
    // Every level of the table keeps its own format, deeper than 20 levels as well.
    const QByteArray rtf = "{\\rtf1\\trowd " + QByteArray("{\\b x").repeated(depth) +
                           QByteArray("}").repeated(depth) + "y\\cell\\row\\pard\\pard}";
    const QByteArray body = Flat(rtf);
    QVERIFY(body.startsWith("<BR><TABLE BORDER=2><TR><TD><B>x"));
    QVERIFY2(body.endsWith("</B>y</TD></TR></TABLE><BR>"), body.right(60).constData());
    const QByteArray nested = Flat("{\\rtf1\\trowd " + QByteArray("{").repeated(30) + "\\b a" +
                                   QByteArray("}").repeated(30) + "b\\cell\\row}");
    QCOMPARE(nested, QByteArray("<BR><TABLE BORDER=2><TR><TD><B>a</B>b</TD></TR>"));
}

void TestRtf2HtmlHostile::truncatedInputs_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("error");
    QTest::newRow("inside a control word") << QByteArray("{\\rtf1 a\\pa") << QString();
    QTest::newRow("after a backslash") << QByteArray("{\\rtf1 a\\") << QString();
    QTest::newRow("inside a hex escape")
        << QByteArray("{\\rtf1 a\\'4") << QString("'4' is not a valid integer value");
    QTest::newRow("right after the escape mark")
        << QByteArray("{\\rtf1 a\\'") << QString("'' is not a valid integer value");
    QTest::newRow("inside the font table") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Ari") << QString();
    QTest::newRow("inside a falt group")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 A{\\*\\falt B") << QString();
    QTest::newRow("inside the colour table")
        << QByteArray("{\\rtf1{\\colortbl;\\red255\\gre") << QString();
    QTest::newRow("inside the style sheet")
        << QByteArray("{\\rtf1{\\stylesheet{\\s1\\b heading 1") << QString();
    QTest::newRow("inside a numbering group")
        << QByteArray("{\\rtf1{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .") << QString();
    QTest::newRow("inside a destination") << QByteArray("{\\rtf1{\\*\\bkmkstart ab") << QString();
    QTest::newRow("inside a table look-ahead")
        << QByteArray("{\\rtf1\\trowd a\\cell\\row\\pard b\\par c") << QString();
    QTest::newRow("unbalanced closing braces") << QByteArray("}}}{\\rtf1 a}") << QString();
    QTest::newRow("only opening braces") << QByteArray(1000, '{') << QString();
    QTest::newRow("nothing but backslashes") << QByteArray(1001, '\\') << QString();
}

void TestRtf2HtmlHostile::truncatedInputs()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, error);
    QCOMPARE(ErrorOf(rtf), error);
    QCOMPARE(ErrorOf(rtf, {"optimize"}), error);
}

void TestRtf2HtmlHostile::binCountPastEnd()
{
    // The picture's data runs to the end: the picture is all that is left.
    QCOMPARE(Flat("{\\rtf1 a{\\pict\\bin99999999999999999999 }}}}b"),
             QByteArray("a<P>[*** picture ***]<P>"));
    QCOMPARE(Flat("{\\rtf1 a{\\pict\\bin5000 xy"), QByteArray("a<P>[*** picture ***]<P>"));
    QCOMPARE(ErrorOf("{\\rtf1\\trowd{\\*\\x\\bin100 }"), QString());
}

void TestRtf2HtmlHostile::hugeNumbers()
{
    const QByteArray rtf = "{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}\\li2147483647\\li2147483647"
                           "\\fi-2147483648\\fs99999999999\\cf99999999999\\f-5 a\\s99999999999 b"
                           "{\\*\\pn\\pnlvlbody\\pndec\\pnstart2147483647}c\\par d\\par}";
    const QString error = ErrorOf(rtf);
    QCOMPARE(error, QString());
    QVERIFY(Body(rtf).contains("2147483648d"));
}

void TestRtf2HtmlHostile::manyFontsColoursAndStyles()
{
    QByteArray fonts = "{\\fonttbl";
    QByteArray colours = "{\\colortbl;";
    QByteArray styles = "{\\stylesheet";
    for (int i = 0; i < 2000; ++i) {
        fonts += "{\\f" + QByteArray::number(i) + " F" + QByteArray::number(i) + ";}";
        colours += "\\red" + QByteArray::number(i % 256) + "\\green0\\blue0;";
        styles += "{\\s" + QByteArray::number(i) + "\\sbasedon" + QByteArray::number(i - 1) +
                  "\\b toc " + QByteArray::number(i % 10) + ";}";
    }
    const QByteArray rtf =
        "{\\rtf1" + fonts + "}" + colours + "}" + styles + "}\\f1999\\cf1999\\s1999\\s300 x\\par}";
    QCOMPARE(ErrorOf(rtf, {"optimize"}), QString());
    QCOMPARE(Flat(rtf),
             QByteArray("<B><FONT COLOR=\"#CE0000\"><FONT FACE=\"\">x</FONT></FONT></B><BR>"));
}

void TestRtf2HtmlHostile::longSingleLine()
{
    QByteArray rtf = "{\\rtf1 ";
    for (int i = 0; i < 20000; ++i)
        rtf += "word \\b bold\\b0  {\\i it} \\'e4 ";
    rtf += "}";
    const QByteArray body = Body(rtf);
    QCOMPARE(body.count("&auml;"), 20000);
    QCOMPARE(body.count("<I>it</I>"), 20000);
}

void TestRtf2HtmlHostile::randomBytes()
{
    QRandomGenerator random(42);
    const QByteArray alphabet = "{}\\'*;abcdefghijklmnopqrstuvwxyz0123456789- \r\n<>&\"\x80\xff";
    for (int round = 0; round < 300; ++round) {
        QByteArray rtf = "{\\rtf1";
        const int length = random.bounded(1, 400);
        for (int i = 0; i < length; ++i) {
            if (random.bounded(8) == 0) {
                static const char *const words[] = {
                    "\\trowd", "\\cell",    "\\row",      "\\pard",         "\\par",   "\\pict",
                    "\\bin3 ", "\\fonttbl", "\\colortbl", "\\stylesheet",   "\\s1",    "\\*\\pn",
                    "\\b",     "\\li720",   "\\'3c",      "\\'22",          "\\u60?",  "\\u34?",
                    "\\uc2",   "http://",   "\\f0",       "\\fcharset204 ", "\\pntxta"};
                rtf += words[random.bounded(int(std::size(words)))];
            } else {
                rtf += alphabet.at(random.bounded(alphabet.size()));
            }
        }
        QString error;
        QByteArray page;
        try {
            page = ConvertPage(rtf, round % 2 ? std::vector<std::string>{"optimize"}
                                              : std::vector<std::string>{});
        } catch (const std::exception &e) {
            error = QString::fromUtf8(e.what());
        }
        QVERIFY2(error.isEmpty() || error.endsWith("is not a valid integer value"),
                 qPrintable(error));
        QVERIFY2(!error.isEmpty() || !page.isEmpty(), rtf.constData());
        const std::string unexpected = UnexpectedMarkup(page.toStdString());
        QVERIFY2(unexpected.empty(), (unexpected + "\nin " + rtf.toStdString()).c_str());
    }
}

void TestRtf2HtmlHostile::documentTextNeverBecomesMarkup_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("hex escapes") << QByteArray("{\\rtf1 \\'3cscript\\'3ealert(1)\\'3c/script\\'3e}")
                                 << QByteArray("&lt;script&gt;alert(1)&lt;/script&gt;");
    QTest::newRow("unicode characters")
        << QByteArray("{\\rtf1 \\u60?script\\u62?\\u38?}") << QByteArray("&lt;script&gt;&amp;");
    QTest::newRow("font name")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Evil\" onmouseover=\"alert(1)\" x=\"<b>&;}}\\f0 a}")
        << QByteArray("<FONT FACE=\"Evil&quot; onmouseover=&quot;alert(1)&quot; "
                      "x=&quot;&lt;b&gt;&amp;\">a</FONT>");
    QTest::newRow("font name from escapes")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Evil\\'22 onmouseover=\\'22x;}}\\f0 a}")
        << QByteArray("<FONT FACE=\"Evil&quot; onmouseover=&quot;x\">a</FONT>");
    QTest::newRow("address in a font name")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 http://x.example/a;}}\\f0 a http://y.example/\\par}")
        << QByteArray("<FONT FACE=\"http://x.example/a\">a <A "
                      "HREF=\"http://y.example/\">http://y.example/</A></FONT>");
    QTest::newRow("address with quotation marks")
        << QByteArray("{\\rtf1 see http://example.com/\"onmouseover=\"alert(1) now\\par}")
        << QByteArray("<A HREF=\"http://example.com/&quot;onmouseover=&quot;alert(1)\">"
                      "http://example.com/\"onmouseover=\"alert(1)</A> now");
    QTest::newRow("address with escaped markup")
        << QByteArray("{\\rtf1 http://e.example/\\'3cb\\'3e x\\par}")
        << QByteArray("<A HREF=\"http://e.example/&lt;b&gt;\">http://e.example/&lt;b&gt;</A> x");
    QTest::newRow("list number text")
        << QByteArray("{\\rtf1{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta <img src=x "
                      "onerror=alert(1)>}}a\\par b}")
        << QByteArray("1&lt;img src=x onerror=alert(1)&gt;a");
}

void TestRtf2HtmlHostile::documentTextNeverBecomesMarkup()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, expected);
    for (const auto &options : {std::vector<std::string>{}, std::vector<std::string>{"optimize"}}) {
        const QByteArray page = ConvertPage(rtf, options);
        const std::string unexpected = UnexpectedMarkup(page.toStdString());
        QVERIFY2(unexpected.empty(), unexpected.c_str());
        QVERIFY2(BodyOf(page).replace('\n', QByteArray()).contains(expected),
                 BodyOf(page).constData());
    }
}

ZARVEL_TEST_MAIN(TestRtf2HtmlHostile)
#include "tst_rtf2html_hostile.moc"
