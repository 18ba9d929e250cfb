// Hostile and broken inputs: deep nesting, tables beyond their sizes, binary counts past the
// end, files that end inside a word or an escape, unbalanced braces, long lines and random
// bytes. None of them may crash, hang or read out of bounds.
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
    const QByteArray alphabet = "{}\\'*;abcdefghijklmnopqrstuvwxyz0123456789- \r\n<>&\x80\xff";
    for (int round = 0; round < 300; ++round) {
        QByteArray rtf = "{\\rtf1";
        const int length = random.bounded(1, 400);
        for (int i = 0; i < length; ++i) {
            if (random.bounded(8) == 0) {
                static const char *const words[] = {
                    "\\trowd", "\\cell",  "\\row",     "\\pard",     "\\par",
                    "\\pict",  "\\bin3 ", "\\fonttbl", "\\colortbl", "\\stylesheet",
                    "\\s1",    "\\*\\pn", "\\b",       "\\li720"};
                rtf += words[random.bounded(int(std::size(words)))];
            } else {
                rtf += alphabet.at(random.bounded(alphabet.size()));
            }
        }
        const QString error = ErrorOf(rtf, round % 2 ? std::vector<std::string>{"optimize"}
                                                     : std::vector<std::string>{});
        QVERIFY2(error.isEmpty() || error.endsWith("is not a valid integer value"),
                 qPrintable(error));
    }
}

ZARVEL_TEST_MAIN(TestRtf2HtmlHostile)
#include "tst_rtf2html_hostile.moc"
