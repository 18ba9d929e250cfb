// The buffered output: cut points, the 100-character rule, links, the optimiser, and the
// page end that writes the rest as it stands. The writer's fast buffer is checked against
// the plain algorithm (append, optimise the whole buffer, cut) on random markup.
#include "Rtf2HtmlTestSupport.h"

#include "rtf2html/THtmlWriter.h"

#include <QObject>
#include <QRandomGenerator>
#include <QTest>

#include "TestEnvironment.h"

using namespace Rtf2HtmlTest;
using namespace Rtf2Html;

namespace {
// The output algorithm taken literally: every WriteOut optimises the whole buffer.
class TLiteralOutput
{
public:
    TLiteralOutput(bool optimize, const std::vector<std::string> &removable)
    {
        if (optimize)
            FFragments = {"<B></B>",
                          "<I></I>",
                          "<U></U>",
                          "</B><B>",
                          "</I><I>",
                          "</U><U>",
                          "<SUP></SUP>",
                          "<SUB></SUB>",
                          "<S></S>",
                          "</SUP><SUP>",
                          "</SUB><SUB>",
                          "</S><S>",
                          "<CENTER></CENTER>",
                          "</CENTER><CENTER>",
                          "<DIV ALIGN=right></DIV>",
                          "</DIV><DIV ALIGN=right>"};
        FFragments.push_back("<UL></UL>");
        FFragments.push_back("</UL><UL>");
        if (optimize) {
            std::vector<std::string> list;
            for (const char *size : {"-2", "-1", "+0", "+1", "+2", "+3", "+4"})
                list.insert(list.begin(), std::string("<FONT SIZE=") + size + "></FONT>");
            for (const auto &fragment : removable)
                list.insert(list.begin(), fragment);
            FFragments.insert(FFragments.end(), list.begin(), list.end());
        }
    }

    std::string Optimize(std::string text) const
    {
        for (;;) {
            const std::string before = text;
            for (const auto &fragment : FFragments)
                text = THtmlWriter::ReplaceAll(text, fragment, "");
            if (text == before)
                return text;
        }
    }

    static size_t Cut(const std::string &text)
    {
        const size_t paragraph = text.find("<P>");
        if (paragraph != std::string::npos)
            return paragraph + 3;
        const size_t lineBreak = text.find("<BR>");
        return lineBreak == std::string::npos ? lineBreak : lineBreak + 4;
    }

    void WriteOut(const std::string &text)
    {
        if (text.empty())
            return;
        Buffer += text;
        std::string b = Optimize(Buffer);
        size_t cut = Cut(b);
        if (cut == std::string::npos && b.size() <= 100)
            return;
        while (cut != std::string::npos) {
            Lines.push_back(THtmlWriter::LinkUrls(b.substr(0, cut)));
            b = b.substr(cut);
            cut = Cut(b);
        }
        Buffer = b;
        if (b.size() > 100 && b.back() == '>' && b[b.size() - 2] != 'L' && b[b.size() - 2] != 'A') {
            Lines.push_back(THtmlWriter::LinkUrls(b));
            Buffer.clear();
        }
    }

    std::vector<std::string> Lines;
    std::string Buffer;

private:
    std::vector<std::string> FFragments;
};

const char *const KPieces[] = {
    "<B>",
    "</B>",
    "<I>",
    "</I>",
    "<U>",
    "</U>",
    "<S>",
    "</S>",
    "<UL>",
    "</UL>",
    "<BR>",
    "<P>",
    "<CENTER>",
    "</CENTER>",
    "<DIV ALIGN=right>",
    "</DIV>",
    "<FONT SIZE=+0>",
    "<FONT SIZE=-1>",
    "</FONT>",
    "<FONT FACE=\"Arial\">",
    "<FONT FACE=\"Courier\">",
    "<FONT COLOR=\"#FF0000\">",
    "<A NAME=\"1-1\">",
    "</A>",
    "x",
    "yz",
    "http://a.b/c d",
    "<LI type=disc>",
    "</LI>",
    "a fairly long run of plain text without any markup in it at all, forty more characters"};

// Pieces after which the buffer is not written whole: lines grow long. Addresses and line
// breaks come now and then.
const char *const KLongLinePieces[] = {"x",          "yz",   "<UL>", "</UL>", "<UL><UL>",
                                       "</UL></UL>", "</A>", " ",    "a,b",   "<LI type=disc>"};
} // namespace

class TestRtf2HtmlOutput : public QObject
{
    Q_OBJECT

private slots:
    void bufferMatchesLiteralAlgorithm_data();
    void bufferMatchesLiteralAlgorithm();
    void cutPoints_data();
    void cutPoints();
    void links_data();
    void links();
    void optimiser_data();
    void optimiser();
    void pageEndWritesRestUnchanged();
};

void TestRtf2HtmlOutput::bufferMatchesLiteralAlgorithm_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<bool>("fonts");
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<bool>("longLines");
    for (quint32 seed : {1u, 2u, 3u}) {
        QTest::addRow("plain %u", seed) << "" << true << seed << false;
        QTest::addRow("optimize %u", seed) << "optimize" << false << seed << false;
        QTest::addRow("optimize with fonts %u", seed) << "optimize" << true << seed << false;
        QTest::addRow("definite with fonts %u", seed)
            << "optimize onlyDefiniteOpt" << true << seed << false;
        QTest::addRow("long lines %u", seed) << "" << false << seed << true;
    }
}

void TestRtf2HtmlOutput::bufferMatchesLiteralAlgorithm()
{
    QFETCH(QString, options);
    QFETCH(bool, fonts);
    QFETCH(quint32, seed);
    QFETCH(bool, longLines);
    THtmlWriter::TOptions writerOptions;
    writerOptions.Optimize = options.contains("optimize");
    writerOptions.OnlyDefiniteOpt = options.contains("onlyDefiniteOpt");
    std::vector<std::string> removable;
    if (fonts && writerOptions.Optimize) {
        removable.push_back("<FONT COLOR=\"#FF0000\"></FONT>");
        for (const char *face : {"Arial", "Courier"}) {
            removable.push_back(std::string("<FONT FACE=\"") + face + "\"></FONT>");
            if (!writerOptions.OnlyDefiniteOpt)
                removable.push_back(std::string("</FONT><FONT FACE=\"") + face + "\">");
        }
    }
    THtmlWriter writer(writerOptions);
    for (const auto &fragment : removable)
        writer.AddRemovable(fragment);
    TLiteralOutput literal(writerOptions.Optimize, removable);
    std::vector<std::string> lines;
    writer.BeginPage([&lines](std::string_view line) { lines.emplace_back(line); }, "t");
    lines.clear();

    // Lines of a few hundred kilobytes: the start of a long buffer goes out before its line
    // ends.
    const std::string longRun(3000, 'w');
    QRandomGenerator random(seed);
    for (int i = 0; i < (longLines ? 600 : 4000); ++i) {
        std::string text;
        const int count = random.bounded(1, 5);
        for (int j = 0; j < count; ++j) {
            const int dice = longLines ? random.bounded(80) : 0;
            if (dice == 1)
                text += "http://a.b/c d";
            else if (dice == 2)
                text += "<BR>";
            else if (dice >= 70)
                text += longRun;
            else if (longLines)
                text += KLongLinePieces[random.bounded(int(std::size(KLongLinePieces)))];
            else
                text += KPieces[random.bounded(int(std::size(KPieces)))];
        }
        writer.WriteOut(text);
        literal.WriteOut(text);
        if (lines.size() != literal.Lines.size() || (i % 97 == 0 && lines != literal.Lines)) {
            QCOMPARE(QByteArray::fromStdString(text), QByteArray("(step where the lines differ)"));
        }
    }
    QCOMPARE(lines, literal.Lines);
    TRtfFormat format;
    writer.EndPage(format);
    QCOMPARE(lines.size(), literal.Lines.size() + 3);
    QCOMPARE(lines.at(lines.size() - 3), literal.Buffer);
}

void TestRtf2HtmlOutput::cutPoints_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray longText(150, 'x');
    const QByteArray text120(120, 'y');

    QTest::newRow("each paragraph a line")
        << QByteArray("{\\rtf1 a\\par b\\line c\\par}") << QByteArray("a<BR>\nb<BR>\nc<BR>\n");
    QTest::newRow("page break cut at its first line break")
        << QByteArray("{\\rtf1 a\\page b}") << QByteArray("a<BR>\n<HR><BR>\nb");
    QTest::newRow("paragraph mark preferred to an earlier line break")
        << QByteArray("{\\rtf1\\trowd A\\cell B\\par C{\\pict 00}\\cell\\row}")
        << QByteArray("<BR>\n<TABLE BORDER=2><TR><TD>A</TD><TD>B<BR>C<P>\n[*** picture "
                      "***]<P>\n</TD></TR>");
    QTest::newRow("long text without tags waits for the paragraph end")
        << QByteArray("{\\rtf1 " + longText + "\\par}") << longText + "<BR>\n";
    QTest::newRow("long text without tags waits for the page end")
        << QByteArray("{\\rtf1 " + longText + "}") << longText;
    QTest::newRow("long buffer ending in a tag is written")
        << QByteArray("{\\rtf1 {\\b " + text120 + "}tail\\par}")
        << "<B>" + text120 + "</B>\ntail<BR>\n";
    QTest::newRow("long buffer ending in a list tag stays")
        << QByteArray("{\\rtf1\\li300 " + text120 + "\\pard tail\\par}")
        << "<UL><UL>" + text120 + "</UL></UL>tail<BR>\n";
    QTest::newRow("long buffer ending in a link end stays")
        << QByteArray("{\\rtf1{\\stylesheet{\\s1 heading 1;}{\\s2 toc 1;}}\\s2 " + text120 +
                      "\\b tail\\par}")
        << "<A HREF=\"#1-1\">" + text120 + "</A><B>tail</B><BR>\n";
}

void TestRtf2HtmlOutput::cutPoints()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, expected);
    QCOMPARE(Body(rtf), expected);
}

void TestRtf2HtmlOutput::links_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ends before a comma")
        << QByteArray("see http://x.org/a, then")
        << QByteArray("see <A HREF=\"http://x.org/a\">http://x.org/a</A>, then");
    QTest::newRow("ends before a space")
        << QByteArray("http://x.org b")
        << QByteArray("<A HREF=\"http://x.org\">http://x.org</A> b");
    QTest::newRow("ends before a tag")
        << QByteArray("go http://x.org")
        << QByteArray("go <A HREF=\"http://x.org\">http://x.org</A>");
    QTest::newRow("two addresses")
        << QByteArray("http://a.b and http://c.d")
        << QByteArray(
               "<A HREF=\"http://a.b\">http://a.b</A> and <A HREF=\"http://c.d\">http://c.d</A>");
    QTest::newRow("case-sensitive")
        << QByteArray("HTTP://x.org Http://y") << QByteArray("HTTP://x.org Http://y");
    QTest::newRow("only the scheme")
        << QByteArray("http://") << QByteArray("<A HREF=\"http://\">http://</A>");
}

void TestRtf2HtmlOutput::links()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(Body("{\\rtf1 " + text + "\\par}"), expected + "<BR>\n");
}

void TestRtf2HtmlOutput::optimiser_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray tables =
        "{\\fonttbl{\\f0 Arial;}{\\f1 Courier;}{\\f2 Symbol;}{\\f3 Wingdings;}}"
        "{\\colortbl;\\red255\\green0\\blue0;}";

    QTest::newRow("list pairs always go")
        << QByteArray("\\pard\\li300 a\\par\\pard\\li300 b\\par\\pard c\\par") << ""
        << QByteArray("<UL><UL>a<BR>b<BR></UL></UL>c<BR>");
    QTest::newRow("formatting pairs stay without optimize")
        << QByteArray("{\\b\\v x}{\\i\\v y}z\\par") << "" << QByteArray("<B></B><I></I>z<BR>");
    QTest::newRow("formatting pairs go with optimize")
        << QByteArray("{\\b\\v x}{\\i\\v y}{\\strike\\v y}{\\super\\v y}z\\par") << "optimize"
        << QByteArray("z<BR>");
    QTest::newRow("joins deleted pass after pass")
        << QByteArray("\\b a{\\i\\v x}\\b0\\i b\\par") << "optimize"
        << QByteArray("<B>a</B><I>b</I><BR>");
    QTest::newRow("alignment pairs") << QByteArray("\\qc{\\v x}\\par y\\par") << "optimize"
                                     << QByteArray("<BR><CENTER>y</CENTER><BR>");
    QTest::newRow("colour and size fragments")
        << QByteArray("{\\cf1\\v x}{\\fs24\\v y}z\\par") << "optimize" << QByteArray("z<BR>");
    QTest::newRow("face change joined")
        << QByteArray("\\f0 a\\fs24 b\\par") << "optimize"
        << QByteArray("<FONT FACE=\"Arial\">a<FONT SIZE=+0>b</FONT></FONT><BR>");
    QTest::newRow("face change kept with only definite")
        << QByteArray("\\f0 a\\fs24 b\\par") << "optimize onlyDefiniteOpt"
        << QByteArray("<FONT FACE=\"Arial\">a</FONT><FONT FACE=\"Arial\"><FONT "
                      "SIZE=+0>b</FONT></FONT><BR>");
    QTest::newRow("only the first three faces")
        << QByteArray("\\f3 a\\fs24 b\\par") << "optimize"
        << QByteArray("<FONT FACE=\"Wingdings\">a</FONT><FONT FACE=\"Wingdings\"><FONT "
                      "SIZE=+0>b</FONT></FONT><BR>");
    QTest::newRow("face fragment comes before size fragment")
        << QByteArray("{\\fs24\\v x}\\f0 y\\par") << "optimize"
        << QByteArray("<FONT SIZE=+0>y</FONT><BR>");
    QTest::newRow("size fragment when faces are not registered")
        << QByteArray("{\\fs24\\v x}\\f0 y\\par") << "optimize onlyDefiniteOpt"
        << QByteArray("<FONT FACE=\"Arial\">y</FONT><BR>");
    QTest::newRow("only definite alone does nothing")
        << QByteArray("{\\b\\v x}y\\par") << "onlyDefiniteOpt" << QByteArray("<B></B>y<BR>");
}

void TestRtf2HtmlOutput::optimiser()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, options);
    QFETCH(QByteArray, expected);
    const QByteArray tables =
        "{\\fonttbl{\\f0 Arial;}{\\f1 Courier;}{\\f2 Symbol;}{\\f3 Wingdings;}}"
        "{\\colortbl;\\red255\\green0\\blue0;}";
    QCOMPARE(Flat("{\\rtf1" + tables + body + "}", Options(options)), expected);
}

void TestRtf2HtmlOutput::pageEndWritesRestUnchanged()
{
    // No link and no optimiser pass for what is left at the end.
    QCOMPARE(Body("{\\rtf1 see http://x.org}"), QByteArray("see http://x.org"));
    QCOMPARE(Body("{\\rtf1 {\\b\\v x}}", {"optimize"}), QByteArray("<B></B>"));
    QCOMPARE(Body("{\\rtf1 a{\\b\\v x}}", {"optimize"}), QByteArray("a<B></B>"));
    // A long buffer that ends in a tag is written before the tag pair can be joined.
    const QByteArray text120(120, 'y');
    QCOMPARE(Body("{\\rtf1 " + text120 + "{\\b\\v x}}", {"optimize"}), text120 + "<B>\n</B>");
}

ZARVEL_TEST_MAIN(TestRtf2HtmlOutput)
#include "tst_rtf2html_output.moc"
