#include "rtf/TRtfFormatProperties.h"
#include "rtf/TRtfReader.h"
#include "rtf/TRtfWriter.h"

#include "RtfReaderTestSupport.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QtTest>

using namespace RtfReaderTest;

namespace {

// The character format at a position (of the character after it).
QTextCharFormat FormatAt(const QTextDocument &document, const QString &text)
{
    const int at = Text(document).indexOf(text);
    if (at < 0)
        return QTextCharFormat();
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(at + 1);
    return cursor.charFormat();
}

QString Family(const QTextCharFormat &format)
{
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.constFirst();
}

} // namespace

// Text, characters, paragraphs, lists and styles as the reader takes them, from this
// program's own output and from other word processors, and input meant to break it.
class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    // What counts as rich text, and what Read does with the rest.
    void isRtf_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("rtf");
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("plain") << QByteArray("Hello {\\rtf1}") << false;
        QTest::newRow("leading space") << QByteArray(" {\\rtf1 x}") << false;
        QTest::newRow("upper case") << QByteArray("{\\RTF1 x}") << false;
        QTest::newRow("prefix only") << QByteArray("{\\rtf") << true;
        QTest::newRow("document") << QByteArray("{\\rtf1\\ansi x}") << true;
    }

    void isRtf()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, rtf);
        QCOMPARE(TRtfReader::IsRtf(data), rtf);
        QTextDocument document;
        document.setPlainText(QStringLiteral("keep"));
        QTextCursor cursor(&document);
        cursor.select(QTextCursor::Document);
        QCOMPARE(TRtfReader::Read(data, cursor), rtf);
        if (!rtf) {
            QCOMPARE(Text(document), QStringLiteral("keep"));
            QCOMPARE(document.isUndoAvailable(), false);
        }
    }

    void replacesSelectionAsOneUndoStep()
    {
        QTextDocument document;
        document.setPlainText(QStringLiteral("one two three"));
        QTextCursor cursor(&document);
        cursor.setPosition(4);
        cursor.setPosition(7, QTextCursor::KeepAnchor);
        QVERIFY(TRtfReader::Read("{\\rtf1 {\\b 2}\\par and\\par more}", cursor));
        QCOMPARE(Text(document), QStringLiteral("one 2\nand\nmore three"));
        QCOMPARE(cursor.position(), 14);
        document.undo();
        QCOMPARE(Text(document), QStringLiteral("one two three"));
    }

    void paragraphMarks_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("blocks");
        QTest::newRow("no par") << QByteArray("{\\rtf1 abc}") << QStringLiteral("abc") << 1;
        QTest::newRow("final par merges")
            << QByteArray("{\\rtf1 abc\\par}") << QStringLiteral("abc") << 1;
        QTest::newRow("empty last paragraph")
            << QByteArray("{\\rtf1 abc\\par\\par}") << QStringLiteral("abc\n") << 2;
        QTest::newRow("text after last par")
            << QByteArray("{\\rtf1 a\\par b}") << QStringLiteral("a\nb") << 2;
        QTest::newRow("escaped line end")
            << QByteArray("{\\rtf1 a\\\r\nb}") << QStringLiteral("a\nb") << 2;
        QTest::newRow("line breaks ignored")
            << QByteArray("{\\rtf1 a\r\nb\nc\rd}") << QStringLiteral("abcd") << 1;
        QTest::newRow("line and page") << QByteArray("{\\rtf1 a\\line b\\page c\\tab d}")
                                       << QStringLiteral("a\u2028b\fc\td") << 1;
        QTest::newRow("pilcrow before par") << QByteArray("{\\rtf1 a\xb6\\par b\xb6\\par}")
                                            << QStringLiteral("a\u00b6\nb\u00b6") << 2;
    }

    void paragraphMarks()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QFETCH(int, blocks);
        auto document = Load(rtf);
        QCOMPARE(Text(*document), text);
        QCOMPARE(document->blockCount(), blocks);
    }

    void insertedBeforeTextKeepsLastBreak()
    {
        QTextDocument document;
        document.setPlainText(QStringLiteral("tail"));
        QTextCursor cursor(&document);
        TRtfReader::Read("{\\rtf1 head\\par}", cursor);
        QCOMPARE(Text(document), QStringLiteral("head\ntail"));
    }

    // Characters: code page, Unicode with fallback skipping, the special words.
    void characters_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("hex 1252") << QByteArray("{\\rtf1 caf\\'e9 \\'80\\'93x\\'94}")
                                  << QStringLiteral("caf\u00e9 \u20ac\u201cx\u201d");
        QTest::newRow("undefined 1252 bytes") << QByteArray("{\\rtf1 \\'81\\'8d\\'8f\\'90\\'9d}")
                                              << QStringLiteral("\u0081\u008d\u008f\u0090\u009d");
        QTest::newRow("raw high bytes")
            << QByteArray("{\\rtf1 \xe9\x80}") << QStringLiteral("\u00e9\u20ac");
        QTest::newRow("unicode uc1")
            << QByteArray("{\\rtf1 \\u945?\\u946\\'3fb}") << QStringLiteral("\u03b1\u03b2b");
        QTest::newRow("unicode negative")
            << QByteArray("{\\rtf1 \\u-223?}") << QStringLiteral("\uff21");
        QTest::newRow("unicode uc0")
            << QByteArray("{\\rtf1\\uc0 \\u8364 x}") << QStringLiteral("\u20acx");
        QTest::newRow("unicode uc2")
            << QByteArray("{\\rtf1\\uc2 \\u8364\\'80\\'80x}") << QStringLiteral("\u20acx");
        QTest::newRow("uc is group state")
            << QByteArray("{\\rtf1 {\\uc2 \\u945??}\\u946?x}") << QStringLiteral("\u03b1\u03b2x");
        QTest::newRow("surrogate pair")
            << QByteArray("{\\rtf1 \\u-10179?\\u-8694?}") << QStringLiteral("\U0001F60A");
        QTest::newRow("specials")
            << QByteArray("{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote"
                          "\\rdblquote\\~\\-\\_\\{\\}\\\\}")
            << QStringLiteral("\u2014\u2013\u2022\u2018\u2019\u201c\u201d\u00a0\u00ad\u2011{}\\");
        QTest::newRow("delimiter space eaten")
            << QByteArray("{\\rtf1 \\b  x}") << QStringLiteral(" x");
        QTest::newRow("font charset 1251")
            << QByteArray(
                   "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial "
                   "Cyr;}}\\f1 \\'cf\\'f0\\'e8\\f0 \\'e9}")
            << QStringLiteral("\u041f\u0440\u0438\u00e9");
        QTest::newRow("ansicpg 1253") << QByteArray("{\\rtf1\\ansi\\ansicpg1253 \\'e1\\'e2}")
                                      << QStringLiteral("\u03b1\u03b2");
        QTest::newRow("double byte")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}"
                          "\\f0 \\'82\\'a0x}")
            << QStringLiteral("\u3042x");
        QTest::newRow("control chars dropped")
            << QByteArray("{\\rtf1 a\x01\x02\\u0 \\u65532?b}") << QStringLiteral("ab");
        // How the bytes are cut into words, escapes and text.
        QTest::newRow("broken escapes dropped")
            << QByteArray("{\\rtf1 a\\'g1b\\'4}") << QStringLiteral("ag1b4");
        QTest::newRow("leading zeros are no digits of a parameter")
            << QByteArray("{\\rtf1 \\u00000000065?x}") << QStringLiteral("Ax");
        QTest::newRow("parameter clamped")
            << QByteArray("{\\rtf1 \\u4294967361?}") << QStringLiteral("\uffff");
        QTest::newRow("long word is one word")
            << QByteArray("{\\rtf1 a\\" + QByteArray(40, 'x') + "12 b}") << QStringLiteral("ab");
        QTest::newRow("line ends and nul no text")
            << QByteArray("{\\rtf1 a\r\nb" + QByteArray(1, '\0') + "c\\u945\r\n?d}")
            << QStringLiteral("abc\u03b1d");
        QTest::newRow("escaped line end a paragraph")
            << QByteArray("{\\rtf1 a\\\r\nb}") << QStringLiteral("a\nb");
        QTest::newRow("star across line ends and nul")
            << QByteArray("{\\rtf1 a{\\*\r\n" + QByteArray(1, '\0') + "\\unknownword hidden}b}")
            << QStringLiteral("ab");
        QTest::newRow("fallback over escapes and words")
            << QByteArray("{\\rtf1\\uc3 \\u945\\'3f\\tab{}x\\u946\\bin0 yz}")
            << QStringLiteral("\u03b1x\u03b2yz");
    }

    void characters()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(Text(*Load(rtf)), text);
    }

    // Character formats, from the font and colour tables and the words.
    void characterFormats()
    {
        const QByteArray rtf =
            "{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss "
            "Arial;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
            "\\pard plain {\\b bold} {\\i italic} {\\ul under} {\\strike struck} "
            "{\\f0 times} {\\fs40 big} {\\cf1 red} {\\super sup} {\\sub sub} {\\v hidden} "
            "{\\protect locked} {\\highlight2 marked} {\\b\\i\\ul\\b0 mixed} {\\plain reset}}";
        auto document = Load(rtf);
        const QTextCharFormat plain = FormatAt(*document, QStringLiteral("plain"));
        QCOMPARE(Family(plain), QStringLiteral("Arial"));
        QCOMPARE(plain.fontPointSize(), 12.0);
        QCOMPARE(plain.fontWeight(), int(QFont::Normal));
        QCOMPARE(FormatAt(*document, QStringLiteral("bold")).fontWeight(), int(QFont::Bold));
        QVERIFY(FormatAt(*document, QStringLiteral("italic")).fontItalic());
        QVERIFY(FormatAt(*document, QStringLiteral("under")).fontUnderline());
        QVERIFY(FormatAt(*document, QStringLiteral("struck")).fontStrikeOut());
        QCOMPARE(Family(FormatAt(*document, QStringLiteral("times"))),
                 QStringLiteral("Times New Roman"));
        QCOMPARE(FormatAt(*document, QStringLiteral("big")).fontPointSize(), 20.0);
        QCOMPARE(FormatAt(*document, QStringLiteral("red")).foreground().color(), QColor(Qt::red));
        QCOMPARE(FormatAt(*document, QStringLiteral("plain")).foreground().style(), Qt::NoBrush);
        QCOMPARE(FormatAt(*document, QStringLiteral("sup")).verticalAlignment(),
                 QTextCharFormat::AlignSuperScript);
        QCOMPARE(FormatAt(*document, QStringLiteral("sub ")).verticalAlignment(),
                 QTextCharFormat::AlignSubScript);
        QVERIFY(FormatAt(*document, QStringLiteral("hidden"))
                    .boolProperty(TRtfFormatProperties::Hidden));
        QVERIFY(FormatAt(*document, QStringLiteral("locked"))
                    .boolProperty(TRtfFormatProperties::Protected));
        QVERIFY(!plain.boolProperty(TRtfFormatProperties::Protected));
        QCOMPARE(FormatAt(*document, QStringLiteral("marked")).background().color(),
                 QColor(Qt::blue));
        const QTextCharFormat mixed = FormatAt(*document, QStringLiteral("mixed"));
        QCOMPARE(mixed.fontWeight(), int(QFont::Normal));
        QVERIFY(mixed.fontItalic() && mixed.fontUnderline());
        QVERIFY(!FormatAt(*document, QStringLiteral("reset")).fontItalic());
    }

    void runsAreInsertedWhole()
    {
        // Formatting that changes and changes back leaves one fragment per run of equal format.
        auto document = Load("{\\rtf1 aaa{\\b}bbb\\b\\b0 ccc}");
        int fragments = 0;
        for (auto it = document->begin().begin(); !it.atEnd(); ++it)
            ++fragments;
        QCOMPARE(fragments, 1);
    }

    void paragraphFormats()
    {
        auto document = Load("{\\rtf1 \\pard\\qc centre\\par \\qr\\fi-200\\li400\\ri300 right\\par "
                             "\\pard\\qj\\tx720\\tqr\\tx5000\\sb120\\sa240 just\\par \\pard left}");
        const QTextBlockFormat centre = document->findBlockByNumber(0).blockFormat();
        QCOMPARE(centre.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        const QTextBlockFormat right = document->findBlockByNumber(1).blockFormat();
        QCOMPARE(right.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(TRtfFormatProperties::PixelsToTwips(right.textIndent()), -200);
        QCOMPARE(TRtfFormatProperties::PixelsToTwips(right.leftMargin()), 400);
        QCOMPARE(TRtfFormatProperties::PixelsToTwips(right.rightMargin()), 300);
        const QTextBlockFormat just = document->findBlockByNumber(2).blockFormat();
        QCOMPARE(just.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
        QCOMPARE(just.leftMargin(), 0.0);
        const QList<QTextOption::Tab> tabs = just.tabPositions();
        QCOMPARE(tabs.size(), 2);
        QCOMPARE(TRtfFormatProperties::PixelsToTwips(tabs.at(1).position), 5000);
        QCOMPARE(tabs.at(1).type, QTextOption::RightTab);
        QCOMPARE(TRtfFormatProperties::PixelsToTwips(just.topMargin()), 120);
        QCOMPARE(TRtfFormatProperties::PixelsToTwips(just.bottomMargin()), 240);
        QCOMPARE(document->findBlockByNumber(3).blockFormat().alignment() &
                     Qt::AlignHorizontal_Mask,
                 Qt::AlignLeft);
    }

    // Each paragraph differs from the one before in one property only, a list included: each
    // gets the block format that it gets when it is read alone.
    void paragraphFormatsFollowEveryChange()
    {
        const QList<QByteArray> words = {
            "\\qc\\fi100\\li200\\ri300\\sb40\\sa60\\sl300\\slmult1\\tx720",
            "\\qr\\fi100\\li200\\ri300\\sb40\\sa60\\sl300\\slmult1\\tx720",
            "\\qr\\fi150\\li200\\ri300\\sb40\\sa60\\sl300\\slmult1\\tx720",
            "\\qr\\fi150\\li250\\ri300\\sb40\\sa60\\sl300\\slmult1\\tx720",
            "\\qr\\fi150\\li250\\ri350\\sb40\\sa60\\sl300\\slmult1\\tx720",
            "\\qr\\fi150\\li250\\ri350\\sb50\\sa60\\sl300\\slmult1\\tx720",
            "\\qr\\fi150\\li250\\ri350\\sb50\\sa70\\sl300\\slmult1\\tx720",
            "\\qr\\fi150\\li250\\ri350\\sb50\\sa70\\sl320\\slmult1\\tx720",
            "\\qr\\fi150\\li250\\ri350\\sb50\\sa70\\sl320\\slmult0\\tx720",
            "\\qr\\fi150\\li250\\ri350\\sb50\\sa70\\sl320\\slmult0\\tx900",
            "\\qr\\fi150\\li250\\ri350\\sb50\\sa70\\sl320\\slmult0\\tqr\\tx900",
            "\\qr\\fi150\\li250\\ri350\\sb50\\sa70\\sl320\\slmult0\\tqr\\tx900{\\*\\pn\\pnlvlblt}",
            "\\qr\\fi150\\li250\\ri350\\sb50\\sa70\\sl320\\slmult0\\tqr\\tx900",
            "\\qr\\fi150\\li250\\ri350\\sb50\\sa70\\sl320\\slmult0\\tqr\\tx900\\tx1800"};
        // The list a paragraph belongs to is no formatting of its own.
        const auto own = [](const QTextBlock &block) {
            QTextBlockFormat format = block.blockFormat();
            format.clearProperty(QTextFormat::ObjectIndex);
            return format;
        };
        QByteArray rtf = "{\\rtf1\\ansi \\pard plain\\par ";
        for (int i = 0; i < words.size(); ++i)
            rtf += "\\pard" + words.at(i) + " paragraph " + QByteArray::number(i) + "\\par ";
        auto document = Load(rtf + "}");
        QCOMPARE(document->blockCount(), int(words.size()) + 1);
        for (int i = 0; i < words.size(); ++i) {
            // After a plain paragraph: the first one keeps the character format that the
            // document starts with, which list labels are measured in.
            auto alone =
                Load("{\\rtf1\\ansi \\pard plain\\par \\pard" + words.at(i) + " paragraph\\par}");
            const QTextBlock block = document->findBlockByNumber(i + 1);
            QVERIFY2(own(block) == own(alone->findBlockByNumber(1)),
                     qPrintable(QStringLiteral("paragraph %1").arg(i)));
            QCOMPARE(bool(block.textList()), bool(alone->findBlockByNumber(1).textList()));
        }
    }

    // Sample files in the shapes other word processors write.
    void wordpadLists()
    {
        auto document = Load(Sample(QStringLiteral("wordpad_lists.rtf")));
        QCOMPARE(Text(*document),
                 QStringLiteral("Dear @1,\nInvoice @12\nCaf\u00e9 cr\u00e8me\nNa\u00efve italic\n"
                                "first\nsecond\nTotal\t@3\nunderlined struck x2 H2O"));
        QTextList *bullets = document->findBlockByNumber(2).textList();
        QVERIFY(bullets);
        QCOMPARE(bullets->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(bullets->count(), 2);
        QTextList *numbers = document->findBlockByNumber(4).textList();
        QVERIFY(numbers && numbers != bullets);
        QCOMPARE(numbers->format().style(), QTextListFormat::ListDecimal);
        QCOMPARE(numbers->count(), 2);
        QVERIFY(!document->findBlockByNumber(6).textList());
        QCOMPARE(FormatAt(*document, QStringLiteral("@12")).foreground().color(), QColor(Qt::red));
        QCOMPARE(Family(FormatAt(*document, QStringLiteral("@3"))),
                 QStringLiteral("Times New Roman"));
    }

    void wordStylesAndUnicode()
    {
        auto document = Load(Sample(QStringLiteral("word_styles_unicode.rtf")));
        const QString text = Text(*document);
        QVERIFY2(!text.contains(QStringLiteral("HEADER")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("Test document")));
        QVERIFY(!text.contains(QStringLiteral("HYPERLINK")));
        QVERIFY(!text.contains(QStringLiteral("504b03")));
        QVERIFY(!text.contains(QStringLiteral("Normal")));
        QCOMPARE(text,
                 QStringLiteral("Heading\nGreek \u03b1\u03b2 and \u20ac\u2122 then \u201cquoted"
                                "\u201d \u2018x\u2019 a\u2014b\u2013c\u2022d\u00a0e\u00adf\u2011g "
                                "styled\nexample link"));
        const QTextCharFormat heading = FormatAt(*document, QStringLiteral("Heading"));
        QCOMPARE(Family(heading), QStringLiteral("Arial"));
        QCOMPARE(heading.fontPointSize(), 16.0);
        QCOMPARE(heading.fontWeight(), int(QFont::Bold));
        QCOMPARE(document->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        const QTextCharFormat styled = FormatAt(*document, QStringLiteral("styled"));
        QVERIFY(styled.fontItalic());
        QCOMPARE(styled.foreground().color(), QColor(Qt::blue));
    }

    void stylesApplyTheirFormats()
    {
        auto document = Load("{\\rtf1{\\stylesheet{\\s0 Normal;}{\\s2\\qr\\li720\\b\\fs36 "
                             "Big;}}\\pard\\plain\\s2 styled\\par\\pard\\plain plain\\par}");
        const QTextCharFormat styled = FormatAt(*document, QStringLiteral("styled"));
        QCOMPARE(styled.fontWeight(), int(QFont::Bold));
        QCOMPARE(styled.fontPointSize(), 18.0);
        QCOMPARE(document->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
        QCOMPARE(FormatAt(*document, QStringLiteral("plain")).fontWeight(), int(QFont::Normal));
    }

    void wordListTable()
    {
        auto document = Load(Sample(QStringLiteral("word_listtable.rtf")));
        QCOMPARE(Text(*document),
                 QStringLiteral("Steps:\nOpen the file\nMerge it\nsub item\nInterlude\nPrint\n"
                                "Bullet\ncode"));
        QTextList *steps = document->findBlockByNumber(1).textList();
        QVERIFY(steps);
        QCOMPARE(steps->format().style(), QTextListFormat::ListDecimal);
        QCOMPARE(steps->format().numberSuffix(), QStringLiteral(")"));
        QCOMPARE(steps->format().intProperty(TRtfFormatProperties::ListStart), 3);
        // Word numbers a list across the paragraphs between its items.
        QCOMPARE(document->findBlockByNumber(5).textList(), steps);
        QCOMPARE(steps->count(), 3);
        QTextList *sub = document->findBlockByNumber(3).textList();
        QVERIFY(sub && sub != steps);
        QCOMPARE(sub->format().style(), QTextListFormat::ListLowerAlpha);
        QTextList *bullet = document->findBlockByNumber(6).textList();
        QVERIFY(bullet);
        QCOMPARE(bullet->format().style(), QTextListFormat::ListDisc);
        QVERIFY(!document->findBlockByNumber(7).textList());
        QVERIFY(!document->findBlockByNumber(4).textList());
    }

    void libreOffice()
    {
        auto document = Load(Sample(QStringLiteral("libreoffice.rtf")));
        QCOMPARE(Text(*document),
                 QStringLiteral("Title here\nBody with bold and \u201csmart\u201d quotes \u20ac "
                                "and colour.\n\fSecond page right"));
        QCOMPARE(Family(FormatAt(*document, QStringLiteral("Title"))),
                 QStringLiteral("Liberation Sans"));
        QCOMPARE(Family(FormatAt(*document, QStringLiteral("Body"))),
                 QStringLiteral("Liberation Serif"));
        QCOMPARE(FormatAt(*document, QStringLiteral("bold")).fontWeight(), int(QFont::Bold));
        QCOMPARE(FormatAt(*document, QStringLiteral("colour")).foreground().color(),
                 QColor(128, 0, 0));
        QCOMPARE(document->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
    }

    // AbiWord states a paragraph's own formatting and list before its style marker, and marks
    // a hyperlink's result with \*.
    void abiWordTemplate()
    {
        for (const auto &document : Readings(Sample(QStringLiteral("abiword_template.rtf")))) {
            QCOMPARE(Text(*document),
                     QStringLiteral("Notice\nBring with you:\nthe letter\nyour card\nfourth\n"
                                    "fifth\nMail office@example.org today."));
            const QTextBlock heading = document->begin();
            QCOMPARE(heading.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
            QCOMPARE(TRtfFormatProperties::PixelsToTwips(heading.blockFormat().topMargin()), 240);
            QCOMPARE(FormatAt(*document, QStringLiteral("Notice")).fontPointSize(), 16.0);
            const QTextBlock letter = document->findBlockByNumber(2);
            QTextList *bullets = letter.textList();
            QVERIFY(bullets);
            QCOMPARE(bullets->format().style(), QTextListFormat::ListDisc);
            QCOMPARE(bullets->count(), 2);
            QCOMPARE(TRtfFormatProperties::PixelsToTwips(letter.blockFormat().leftMargin()), 720);
            QCOMPARE(letter.blockFormat().intProperty(TRtfFormatProperties::ListFirstIndent), -431);
            const QTextBlock fourth = document->findBlockByNumber(4);
            QTextList *numbers = fourth.textList();
            QVERIFY(numbers && numbers != bullets);
            QCOMPARE(numbers->format().style(), QTextListFormat::ListLowerRoman);
            QCOMPARE(numbers->format().intProperty(TRtfFormatProperties::ListStart), 4);
            QCOMPARE(numbers->format().numberSuffix(), QStringLiteral(")"));
            QCOMPARE(TRtfFormatProperties::PixelsToTwips(fourth.blockFormat().leftMargin()), 1440);
            QCOMPARE(document->findBlockByNumber(5).textList(), numbers);
            QVERIFY(FormatAt(*document, QStringLiteral("office@")).fontUnderline());
            QVERIFY(!FormatAt(*document, QStringLiteral(" today")).fontUnderline());
        }
        // The paragraph's own formatting wins over its style's, whatever the order.
        for (const QByteArray order :
             {QByteArray("\\s1\\qr\\li400\\b0"), QByteArray("\\qr\\li400\\b0\\s1")}) {
            auto document = Load("{\\rtf1{\\stylesheet{\\s1\\qc\\li900\\sb60\\b\\fs36 Head;}}"
                                 "\\pard\\plain" +
                                 order + " x\\par}");
            const QTextBlockFormat format = document->begin().blockFormat();
            QCOMPARE(format.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
            QCOMPARE(TRtfFormatProperties::PixelsToTwips(format.leftMargin()), 400);
            QCOMPARE(TRtfFormatProperties::PixelsToTwips(format.topMargin()), 60);
            const QTextCharFormat text = FormatAt(*document, QStringLiteral("x"));
            QCOMPARE(text.fontWeight(), int(QFont::Normal));
            QCOMPARE(text.fontPointSize(), 18.0);
        }
    }

    // A character style marker names the formatting written after it and changes nothing.
    void characterStyleMarkers()
    {
        for (const auto &document : Readings(Sample(QStringLiteral("word_character_styles.rtf")))) {
            QCOMPARE(Text(*document), QStringLiteral("Bold linkedafter"));
            const QTextCharFormat linked = FormatAt(*document, QStringLiteral("linked"));
            QCOMPARE(linked.fontWeight(), int(QFont::Bold));
            QCOMPARE(linked.fontPointSize(), 11.0);
            QVERIFY(linked.fontUnderline());
            QCOMPARE(linked.foreground().style(), Qt::NoBrush);
            const QTextCharFormat after = FormatAt(*document, QStringLiteral("after"));
            QCOMPARE(after.fontWeight(), int(QFont::Normal));
            QVERIFY(!after.fontItalic());
            QCOMPARE(after.fontPointSize(), 12.0);
            QCOMPARE(Family(after), QStringLiteral("Times New Roman"));
        }
    }

    // A font's character set decides how its bytes read; the document's code page serves the
    // fonts that state none.
    void fontCharsetDecidesItsBytes()
    {
        for (const auto &document : Readings(Sample(QStringLiteral("codepage_font_charset.rtf")))) {
            QCOMPARE(Text(*document), QStringLiteral("caf\u00e9 cr\u00e8me "
                                                     "\u0441\u043b\u043e\u0432\u043e "
                                                     "\u0439\u0430"));
        }
    }

    // An e-mail client's quote nested a thousand groups deep, with destinations inside.
    void textAfterVeryDeepGroups()
    {
        for (const auto &document : Readings(Sample(QStringLiteral("mail_deep_groups.rtf"))))
            QCOMPARE(Text(*document),
                     QStringLiteral("Hello,\nQuoted deeper text\nReply after the quote."));
    }

    // Text boxes, footnotes, section breaks and fields: no word is lost.
    void textOutsideTheBody()
    {
        auto word = Load(Sample(QStringLiteral("word2003_notes_boxes.rtf")));
        QCOMPARE(Text(*word), QStringLiteral("Dear @1, the rent is due1 on @2.\nOffice hours: @3\n"
                                             "Please note2 the opening times.\n"
                                             "Second section: \u00b7 checked, A marked, page 1.\n"
                                             "1 Payable on the first working day of each month.\n"
                                             "2 Closed on public holidays."));
        QCOMPARE(FormatAt(*word, QStringLiteral("1 on")).verticalAlignment(),
                 QTextCharFormat::AlignSuperScript);
        QCOMPARE(Family(FormatAt(*word, QStringLiteral("\u00b7"))), QStringLiteral("Symbol"));
        QCOMPARE(FormatAt(*word, QStringLiteral("\u00b7")).fontPointSize(), 12.0);
        QCOMPARE(Family(FormatAt(*word, QStringLiteral("A marked"))), QStringLiteral("Arial"));

        auto office = Load(Sample(QStringLiteral("libreoffice_notes_frame.rtf")));
        QCOMPARE(Text(*office), QStringLiteral("Reference: @1\nMinutes of the meeting1 of @2.\n"
                                               "Present: all members2.\n"
                                               "1\tHeld in the small hall.\n"
                                               "2\tExcept the treasurer."));
        QCOMPARE(Text(*Load("{\\rtf1 a\\sect b}")), QStringLiteral("a\nb"));
        QCOMPARE(Text(*Load("{\\rtf1 a\\par\\sect b}")), QStringLiteral("a\nb"));
    }

    void skippedDestinations()
    {
        auto document = Load("{\\rtf1{\\*\\unknown secret {nested} more}{\\info{\\title t}}"
                             "{\\header head}{\\footer foot}{\\*\\fldinst x}{\\fldrslt shown}"
                             "{\\pntext 1.\\tab}{\\listtext 2.\\tab}{\\*\\bkmkstart b}"
                             "{\\object{\\*\\objdata 0102}{\\result result}}"
                             "{\\upr{ansi}{\\*\\ud unicode}} visible}");
        QCOMPARE(Text(*document), QStringLiteral("shownresultunicode visible"));
    }

    void binSkipsItsBytes()
    {
        QByteArray rtf = "{\\rtf1 a{\\*\\blob\\bin8 ";
        rtf += QByteArray("}{\\par\\", 8);
        rtf += "}b{\\pict\\wmetafile8\\bin3 {{{}c}";
        auto document = Load(rtf);
        QCOMPARE(Text(*document), QStringLiteral("ab\ufffcc"));
        QVERIFY(TRtfWriter::Write(*document).contains("\\wmetafile8\\picwgoal"));
    }

    // Hostile input: no crash, no hang, what can be read is read.
    void hostileSamples_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("truncated table") << "hostile_truncated.rtf" << QString();
        QTest::newRow("truncated body")
            << "hostile_truncated_body.rtf" << QStringLiteral("bold open deeper text");
        QTest::newRow("bad hex") << "hostile_badhex.rtf" << QStringLiteral("ok");
        QTest::newRow("bin past end") << "hostile_bin_past_end.rtf" << QStringLiteral("before");
        QTest::newRow("bin braces") << "hostile_bin_braces.rtf" << QStringLiteral("a\ufffcb");
        QTest::newRow("unbalanced") << "hostile_unbalanced.rtf" << QString();
        QTest::newRow("parameters") << "hostile_params.rtf" << QStringLiteral("text");
        QTest::newRow("random") << "hostile_random.rtf" << QString();
        QTest::newRow("random tokens") << "hostile_random_tokens.rtf" << QString();
        QTest::newRow("deep") << "hostile_deep.rtf" << QStringLiteral("deep");
        QTest::newRow("tables") << "hostile_tables.rtf" << QString();
    }

    void hostileSamples()
    {
        QFETCH(QString, name);
        QFETCH(QString, prefix);
        const QByteArray data = Sample(name);
        QVERIFY(!data.isEmpty());
        auto document = Load(data);
        QVERIFY(Text(*document).startsWith(prefix));
        // What was read can be written and read again.
        const QByteArray written = TRtfWriter::Write(*document);
        QCOMPARE(Text(*Load(written)), Text(*document));
    }

    // The end of a row takes the only paragraph of a list out of it, and the document deletes
    // the list: a later paragraph of the same list starts a new one.
    void listGoneWithItsParagraph()
    {
        auto document =
            Load("{\\rtf1\\intbl \\tab \\ls1 \\up6 x\\cellx2000\\cellx4000 \\sect \\row \\cell }");
        QVERIFY(Text(*document).contains(QStringLiteral("\tx")));
        QList<QTextList *> lists;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            if (QTextList *list = block.textList())
                lists.append(list);
        }
        QCOMPARE(lists.size(), 1);
        QCOMPARE(lists.constFirst()->count(), 1);
    }

    void deepNesting()
    {
        const int depth = 100000;
        QByteArray rtf = "{\\rtf1 start";
        rtf += QByteArray("{\\i ").repeated(depth);
        rtf += "x";
        rtf += QByteArray("}").repeated(depth);
        rtf += " end\\b\\par}";
        auto document = Load(rtf);
        QCOMPARE(Text(*document), QStringLiteral("startx end"));
        QVERIFY(!FormatAt(*document, QStringLiteral(" end")).fontItalic());
        QVERIFY(FormatAt(*document, QStringLiteral("x")).fontItalic());
        // Destinations that deep do not stop the text of the groups around them.
        QByteArray destinations = "{\\rtf1 start" + QByteArray("{\\i ").repeated(depth);
        destinations += "a{\\*\\htmltag <br>}{\\fonttbl{\\f0 X;}}b{{\\field{\\*\\fldinst x}"
                        "{\\fldrslt c}}}d";
        destinations += QByteArray("}").repeated(depth) + " end\\par}";
        QCOMPARE(Text(*Load(destinations)), QStringLiteral("startabcd end"));
        // and unbalanced the other way
        QByteArray open = "{\\rtf1 a" + QByteArray("{").repeated(depth) + "b";
        QCOMPARE(Text(*Load(open)), QStringLiteral("ab"));
    }

    void randomBytesNeverCrash()
    {
        QRandomGenerator random(20261208);
        for (int round = 0; round < 200; ++round) {
            QByteArray data = "{\\rtf1";
            const int size = random.bounded(2000);
            for (int i = 0; i < size; ++i) {
                static const char Alphabet[] = "{}\\\\\\'*abcdefghijklmnopqrstuvwxyz0123456789- ;";
                data += random.bounded(4) == 0 ? char(random.bounded(256))
                                               : Alphabet[random.bounded(int(sizeof Alphabet) - 1)];
            }
            auto document = Load(data);
            Q_UNUSED(TRtfWriter::Write(*document));
        }
    }

    void hugeParagraph()
    {
        const qsizetype size = 20 * 1024 * 1024;
        QByteArray rtf;
        rtf.reserve(size + 64);
        rtf += "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 ";
        const QByteArray words = "lorem ipsum @12 dolor ";
        while (rtf.size() < size)
            rtf += words;
        rtf += "\\par}";
        auto document = Load(rtf);
        QCOMPARE(document->blockCount(), 1);
        QVERIFY(document->characterCount() > 20 * 1000 * 1000);
        QVERIFY(Text(*document).startsWith(QStringLiteral("lorem ipsum @12 dolor lorem")));
    }
};

ZARVEL_TEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
