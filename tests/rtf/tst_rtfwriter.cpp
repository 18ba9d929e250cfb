#include "rtf/TRtfFormatProperties.h"
#include "rtf/TRtfReader.h"
#include "rtf/TRtfWriter.h"

#include "TestEnvironment.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QtTest>

#include <cctype>

#include <memory>

namespace {

std::unique_ptr<QTextDocument> NewDocument()
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    return document;
}

std::unique_ptr<QTextDocument> Load(const QByteArray &rtf)
{
    auto document = NewDocument();
    QTextCursor cursor(document.get());
    TRtfReader::Read(rtf, cursor);
    return document;
}

QByteArray Body(const QByteArray &rtf)
{
    const int start = rtf.indexOf("\\viewkind4\\uc1");
    return start < 0 ? QByteArray() : rtf.mid(start + 14);
}

QTextCharFormat Plain()
{
    return QTextCharFormat();
}

// The document's text with paragraph ends as "\n"; line separators and no-break spaces kept.
QString Text(const QTextDocument &document)
{
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

// What a reader of rich text finds in it: rows and cells of tables (nested ones too), and the
// data of the pictures shown (not the stand-ins of \nonshppict). Counted on the raw text, with
// no rich text reader of ours involved.
struct RawStructure
{
    int Rows = 0;
    int Cells = 0;
    QList<QByteArray> Pictures; // hex digits of each picture's data
};

RawStructure Scan(const QByteArray &rtf)
{
    RawStructure found;
    int depth = 0;
    int skipFrom = -1; // depth of a group whose content is not shown
    int pictureAt = -1;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const char c = rtf.at(i);
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (depth == skipFrom)
                skipFrom = -1;
            if (depth == pictureAt)
                pictureAt = -1;
            --depth;
        } else if (c == '\\') {
            qsizetype j = i + 1;
            while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf.at(j))))
                ++j;
            const QByteArray word = rtf.mid(i + 1, j - i - 1);
            const qsizetype number = j;
            if (j < rtf.size() && rtf.at(j) == '-')
                ++j;
            while (j < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf.at(j))))
                ++j;
            if (word == "bin") {
                // Binary data follows the word and its space.
                const qsizetype length = rtf.mid(number, j - number).toLongLong();
                if (pictureAt >= 0)
                    found.Pictures.last() += rtf.mid(j + 1, length).toHex();
                i = j + length;
                continue;
            }
            if (skipFrom < 0 && (word == "nonshppict" || word == "footer" || word == "header"))
                skipFrom = depth;
            if (skipFrom < 0 && (word == "row" || word == "nestrow"))
                ++found.Rows;
            if (skipFrom < 0 && (word == "cell" || word == "nestcell"))
                ++found.Cells;
            if (skipFrom < 0 && word == "pict") {
                pictureAt = depth;
                found.Pictures << QByteArray();
            }
            i = std::max(i, j - 1);
        } else if (pictureAt >= 0 && depth == pictureAt &&
                   std::isxdigit(static_cast<unsigned char>(c))) {
            found.Pictures.last() += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return found;
}

// The label each paragraph shows: its list's number or bullet with prefix and suffix.
QStringList Labels(const QTextDocument &document)
{
    QStringList labels;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextList *list = block.textList();
        if (!list) {
            labels << QString();
            continue;
        }
        const QTextListFormat format = list->format();
        const int start = format.hasProperty(TRtfFormatProperties::ListStart)
                              ? format.intProperty(TRtfFormatProperties::ListStart)
                              : 1;
        const int number = start + list->itemNumber(block);
        static const char *Roman[] = {"", "i", "ii", "iii", "iv", "v", "vi", "vii", "viii", "ix"};
        QString label;
        switch (format.style()) {
        case QTextListFormat::ListDecimal:
            label = QString::number(number);
            break;
        case QTextListFormat::ListLowerRoman:
            label = QString::fromLatin1(Roman[number % 10]);
            break;
        case QTextListFormat::ListUpperAlpha:
            label = QChar(u'A' + number - 1);
            break;
        default:
            labels << QStringLiteral("\u2022");
            continue;
        }
        labels << format.numberPrefix() + label + format.numberSuffix();
    }
    return labels;
}

// Removes every group that starts with the text, with the groups inside it.
void RemoveGroups(QByteArray &rtf, const QByteArray &start)
{
    for (qsizetype at = rtf.indexOf(start); at >= 0; at = rtf.indexOf(start, at)) {
        int depth = 0;
        qsizetype end = at;
        for (; end < rtf.size(); ++end) {
            if (rtf.at(end) == '\\') {
                ++end;
            } else if (rtf.at(end) == '{') {
                ++depth;
            } else if (rtf.at(end) == '}' && --depth == 0) {
                break;
            }
        }
        rtf.remove(at, end + 1 - at);
    }
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    // The shape of the output: what a version-2 rich edit control writes.
    void simpleDocumentIsExact()
    {
        auto document = NewDocument();
        document->setPlainText(QStringLiteral("Hello"));
        const QByteArray rtf = TRtfWriter::Write(*document);
        QCOMPARE(rtf, QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033"
                                 "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n"
                                 "\\viewkind4\\uc1\\pard\\f0\\fs20 Hello\\par\r\n}\r\n"));
    }

    void emptyDocumentHasOneParagraph()
    {
        auto document = NewDocument();
        const QByteArray rtf = TRtfWriter::Write(*document);
        QCOMPARE(Body(rtf), QByteArray("\\pard\\f0\\fs20\\par\r\n}\r\n"));
        auto loaded = Load(rtf);
        QCOMPARE(loaded->blockCount(), 1);
        QCOMPARE(Text(*loaded), QString());
    }

    void plainRtfHasNoLanguageWords()
    {
        auto document = NewDocument();
        document->setPlainText(QStringLiteral("a\nb"));
        TRtfWriter::Options options;
        options.PlainRTF = true;
        const QByteArray plain = TRtfWriter::Write(*document, 0, -1, options);
        QVERIFY(!plain.contains("\\deflang"));
        QVERIFY(!plain.contains("\\lang"));
        options.PlainRTF = false;
        options.Language = 1031;
        QVERIFY(TRtfWriter::Write(*document, 0, -1, options).contains("\\deflang1031{"));
    }

    void everyParagraphEndsWithParAndCrLf()
    {
        auto document = NewDocument();
        document->setPlainText(QStringLiteral("one\ntwo\n\nfour"));
        const QByteArray rtf = TRtfWriter::Write(*document);
        QCOMPARE(rtf.count("\\par\r\n"), 4);
        QCOMPARE(rtf.count("\\pard"), 1);
        QVERIFY(rtf.contains("one\\par\r\ntwo\\par\r\n\\par\r\nfour\\par\r\n}"));
    }

    void characters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("e acute") << QStringLiteral("caf\u00e9") << QByteArray(" caf\\'e9");
        QTest::newRow("euro") << QStringLiteral("\u20ac5") << QByteArray("\\'805");
        QTest::newRow("pilcrow") << QStringLiteral("x\u00b6") << QByteArray(" x\\'b6");
        QTest::newRow("alpha") << QStringLiteral("\u03b1b") << QByteArray("\\u945?b");
        QTest::newRow("high BMP") << QStringLiteral("\uff21") << QByteArray("\\u-223?");
        QTest::newRow("tab") << QStringLiteral("a\tb") << QByteArray(" a\\tab b");
        QTest::newRow("line break") << QStringLiteral("a\u2028b") << QByteArray(" a\\line b");
        QTest::newRow("form feed") << QStringLiteral("a\fb") << QByteArray(" a\\page b");
        QTest::newRow("braces") << QStringLiteral("{x}\\") << QByteArray("\\{x\\}\\\\");
        QTest::newRow("control word then digit") << QStringLiteral("\t1") << QByteArray("\\tab 1");
        QTest::newRow("control word then space")
            << QStringLiteral("\t x") << QByteArray("\\tab  x");
    }

    void characters()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        auto document = NewDocument();
        QTextCursor(document.get()).insertText(text);
        const QByteArray rtf = TRtfWriter::Write(*document);
        QCOMPARE(Body(rtf), "\\pard\\f0\\fs20" + expected + "\\par\r\n}\r\n");
        QCOMPARE(Text(*Load(rtf)), text);
    }

    void placeholdersStayWhole_data()
    {
        QTest::addColumn<int>("boldFrom");
        QTest::addColumn<int>("boldTo");
        QTest::addColumn<bool>("whole");
        // "Dear @12, @3 owes" : @12 at 5..8, @3 at 10..12
        QTest::newRow("no formatting") << 0 << 0 << true;
        QTest::newRow("bold placeholder") << 5 << 8 << true;
        QTest::newRow("bold around") << 3 << 12 << true;
        QTest::newRow("bold inside") << 6 << 8 << false;
    }

    void placeholdersStayWhole()
    {
        QFETCH(int, boldFrom);
        QFETCH(int, boldTo);
        QFETCH(bool, whole);
        auto document = NewDocument();
        QTextCursor cursor(document.get());
        cursor.insertText(QStringLiteral("Dear @12, @3 owes"));
        if (boldTo > boldFrom) {
            cursor.setPosition(boldFrom);
            cursor.setPosition(boldTo, QTextCursor::KeepAnchor);
            QTextCharFormat bold;
            bold.setFontWeight(QFont::Bold);
            cursor.mergeCharFormat(bold);
        }
        const QByteArray rtf = TRtfWriter::Write(*document);
        QCOMPARE(rtf.contains("@12"), whole);
        QVERIFY(rtf.contains("@3 ") || rtf.contains("@3\\"));
        QCOMPARE(Text(*Load(rtf)), QStringLiteral("Dear @12, @3 owes"));
    }

    void rawTextEditsOfTheLineEndingDisplay()
    {
        // The line-ending display puts a pilcrow byte before every "\\par" of the raw rich
        // text, "\\pard" included, and loads the result.
        auto document = NewDocument();
        document->setPlainText(QStringLiteral("one\ntwo"));
        QByteArray rtf = TRtfWriter::Write(*document);
        QCOMPARE(rtf.count("\\par"), 3);
        rtf.replace("\\par", "\xb6\\par");
        QCOMPARE(Text(*Load(rtf)), QStringLiteral("\u00b6one\u00b6\ntwo\u00b6"));
        // The merge replaces placeholders in the raw text.
        document->setPlainText(QStringLiteral("To @1 from @12"));
        rtf = TRtfWriter::Write(*document);
        rtf.replace("@12", "Jos\xe9 {x}");
        rtf.replace("@1", "Ann");
        QCOMPARE(Text(*Load(rtf)), QStringLiteral("To Ann from Jos\u00e9 x"));
    }

    void rangeWithoutParagraphMark()
    {
        auto document = NewDocument();
        document->setPlainText(QStringLiteral("first\nsecond"));
        const QByteArray part = TRtfWriter::Write(*document, 1, 4);
        QCOMPARE(Body(part), QByteArray("\\pard\\f0\\fs20 irs}\r\n"));
        const QByteArray across = TRtfWriter::Write(*document, 3, 9);
        QCOMPARE(Body(across), QByteArray("\\pard\\f0\\fs20 st\\par\r\nsec}\r\n"));
    }

    // Character and paragraph formats and their keywords.
    void characterFormats_data()
    {
        QTest::addColumn<QTextCharFormat>("format");
        QTest::addColumn<QByteArray>("on");
        QTest::addColumn<QByteArray>("off");
        QTextCharFormat f;
        f.setFontWeight(QFont::Bold);
        QTest::newRow("bold") << f << QByteArray("\\b") << QByteArray("\\b0");
        f = Plain();
        f.setFontItalic(true);
        QTest::newRow("italic") << f << QByteArray("\\i") << QByteArray("\\i0");
        f = Plain();
        f.setFontUnderline(true);
        QTest::newRow("underline") << f << QByteArray("\\ul") << QByteArray("\\ulnone");
        f = Plain();
        f.setFontStrikeOut(true);
        QTest::newRow("strike") << f << QByteArray("\\strike") << QByteArray("\\strike0");
        f = Plain();
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        QTest::newRow("super") << f << QByteArray("\\super") << QByteArray("\\nosupersub");
        f = Plain();
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        QTest::newRow("sub") << f << QByteArray("\\sub") << QByteArray("\\nosupersub");
        f = Plain();
        f.setProperty(TRtfFormatProperties::Hidden, true);
        QTest::newRow("hidden") << f << QByteArray("\\v") << QByteArray("\\v0");
        f = Plain();
        f.setProperty(TRtfFormatProperties::Protected, true);
        QTest::newRow("protected") << f << QByteArray("\\protect") << QByteArray("\\protect0");
        f = Plain();
        f.setFontPointSize(14);
        QTest::newRow("size") << f << QByteArray("\\fs28") << QByteArray("\\fs20");
        f = Plain();
        f.setFontFamilies({QStringLiteral("Courier New")});
        QTest::newRow("face") << f << QByteArray("\\f1") << QByteArray("\\f0");
        f = Plain();
        f.setForeground(QColor(255, 0, 0));
        QTest::newRow("colour") << f << QByteArray("\\cf1") << QByteArray("\\cf0");
    }

    void characterFormats()
    {
        QFETCH(QTextCharFormat, format);
        QFETCH(QByteArray, on);
        QFETCH(QByteArray, off);
        auto document = NewDocument();
        QTextCursor cursor(document.get());
        cursor.insertText(QStringLiteral("a "));
        cursor.insertText(QStringLiteral("b"), format);
        cursor.insertText(QStringLiteral(" c"), QTextCharFormat());
        const QByteArray rtf = TRtfWriter::Write(*document);
        QCOMPARE(Body(rtf), "\\pard\\f0\\fs20 a " + on + " b" + off + "  c\\par\r\n}\r\n");
        // and back: the format is there after loading
        auto loaded = Load(rtf);
        QTextCursor probe(loaded.get());
        probe.setPosition(3);
        const QTextCharFormat read = probe.charFormat();
        QCOMPARE(read.fontWeight() >= QFont::DemiBold, format.fontWeight() >= QFont::DemiBold);
        QCOMPARE(read.fontItalic(), format.fontItalic());
        QCOMPARE(read.fontUnderline(), format.fontUnderline());
        QCOMPARE(read.fontStrikeOut(), format.fontStrikeOut());
        QCOMPARE(read.verticalAlignment(), format.verticalAlignment());
        QCOMPARE(read.boolProperty(TRtfFormatProperties::Hidden),
                 format.boolProperty(TRtfFormatProperties::Hidden));
        QCOMPARE(read.boolProperty(TRtfFormatProperties::Protected),
                 format.boolProperty(TRtfFormatProperties::Protected));
        QCOMPARE(TRtfWriter::Write(*loaded), rtf);
    }

    void fontAndColourTables()
    {
        auto document = NewDocument();
        QTextCursor cursor(document.get());
        QTextCharFormat times;
        times.setFontFamilies({QStringLiteral("Times New Roman")});
        times.setForeground(QColor(0, 0, 255));
        cursor.insertText(QStringLiteral("x"), times);
        QTextCharFormat symbol;
        symbol.setFontFamilies({QStringLiteral("Symbol")});
        symbol.setForeground(QColor(0, 128, 0));
        cursor.insertText(QStringLiteral("y"), symbol);
        const QByteArray rtf = TRtfWriter::Write(*document);
        QVERIFY(rtf.contains("{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}"
                             "{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"));
        QVERIFY(rtf.contains("{\\colortbl ;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}\r\n"));
    }

    void paragraphFormats_data()
    {
        QTest::addColumn<QTextBlockFormat>("format");
        QTest::addColumn<QByteArray>("words");
        QTextBlockFormat f;
        f.setAlignment(Qt::AlignHCenter);
        QTest::newRow("centre") << f << QByteArray("\\qc");
        f = QTextBlockFormat();
        f.setAlignment(Qt::AlignRight);
        QTest::newRow("right") << f << QByteArray("\\qr");
        f = QTextBlockFormat();
        f.setAlignment(Qt::AlignJustify);
        QTest::newRow("justify") << f << QByteArray("\\qj");
        f = QTextBlockFormat();
        f.setTextIndent(TRtfFormatProperties::TwipsToPixels(-360));
        f.setLeftMargin(TRtfFormatProperties::TwipsToPixels(720));
        f.setRightMargin(TRtfFormatProperties::TwipsToPixels(100));
        QTest::newRow("indents") << f << QByteArray("\\fi-360\\li720\\ri100");
        f = QTextBlockFormat();
        QTextOption::Tab right(TRtfFormatProperties::TwipsToPixels(2880), QTextOption::RightTab);
        QTextOption::Tab left(TRtfFormatProperties::TwipsToPixels(720), QTextOption::LeftTab);
        f.setTabPositions({left, right});
        QTest::newRow("tabs") << f << QByteArray("\\tx720\\tqr\\tx2880");
    }

    void paragraphFormats()
    {
        QFETCH(QTextBlockFormat, format);
        QFETCH(QByteArray, words);
        auto document = NewDocument();
        QTextCursor cursor(document.get());
        cursor.insertText(QStringLiteral("plain"));
        cursor.insertBlock(format);
        cursor.insertText(QStringLiteral("formatted"));
        cursor.insertBlock(QTextBlockFormat());
        cursor.insertText(QStringLiteral("plain"));
        const QByteArray rtf = TRtfWriter::Write(*document);
        QCOMPARE(Body(rtf), "\\pard\\f0\\fs20 plain\\par\r\n\\pard" + words +
                                " formatted\\par\r\n\\pard plain\\par\r\n}\r\n");
        auto loaded = Load(rtf);
        const QTextBlockFormat read = loaded->findBlockByNumber(1).blockFormat();
        QCOMPARE(read.alignment() & Qt::AlignHorizontal_Mask,
                 format.alignment() & Qt::AlignHorizontal_Mask);
        QCOMPARE(read.textIndent(), format.textIndent());
        QCOMPARE(read.leftMargin(), format.leftMargin());
        QCOMPARE(read.tabPositions().size(), format.tabPositions().size());
        QCOMPARE(TRtfWriter::Write(*loaded), rtf);
    }

    void bullets()
    {
        auto document = NewDocument();
        QTextCursor cursor(document.get());
        cursor.insertText(QStringLiteral("intro"));
        QTextBlockFormat item;
        item.setLeftMargin(TRtfFormatProperties::TwipsToPixels(720));
        item.setProperty(TRtfFormatProperties::ListFirstIndent, -360);
        cursor.insertBlock(item);
        QTextListFormat disc;
        disc.setStyle(QTextListFormat::ListDisc);
        cursor.createList(disc);
        cursor.insertText(QStringLiteral("one"));
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("two"));
        const QByteArray rtf = TRtfWriter::Write(*document);
        QVERIFY2(rtf.contains("\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0"
                              "{\\pntxtb\\'b7}}\\ls1\\ilvl0\\fi-360\\li720 one\\par\r\n"
                              "{\\pntext\\f1\\'b7\\tab}two\\par\r\n"),
                 rtf.constData());
        QVERIFY(rtf.contains("{\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0\\leveljcn0"
                             "\\levelfollow0\\levelstartat1{\\leveltext\\'01\\'b7;}"
                             "{\\levelnumbers;}\\f1}\\listid1}"));
        QVERIFY(rtf.contains("{\\f1\\fnil\\fcharset2 Symbol;}"));
        auto loaded = Load(rtf);
        QCOMPARE(Text(*loaded), QStringLiteral("intro\none\ntwo"));
        QTextList *list = loaded->findBlockByNumber(1).textList();
        QVERIFY(list);
        QCOMPARE(list->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(loaded->findBlockByNumber(2).textList(), list);
        QVERIFY(!loaded->findBlockByNumber(0).textList());
        QCOMPARE(TRtfWriter::Write(*loaded), rtf);
    }

    void numbering_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<QByteArray>("second");
        QTest::newRow("decimal") << int(QTextListFormat::ListDecimal) << QByteArray("\\pndec")
                                 << QByteArray("2.");
        QTest::newRow("lower alpha")
            << int(QTextListFormat::ListLowerAlpha) << QByteArray("\\pnlcltr") << QByteArray("b.");
        QTest::newRow("upper roman")
            << int(QTextListFormat::ListUpperRoman) << QByteArray("\\pnucrm") << QByteArray("II.");
    }

    void numbering()
    {
        QFETCH(int, style);
        QFETCH(QByteArray, kind);
        QFETCH(QByteArray, second);
        auto document = NewDocument();
        QTextCursor cursor(document.get());
        QTextListFormat format;
        format.setStyle(QTextListFormat::Style(style));
        format.setNumberSuffix(QStringLiteral("."));
        cursor.createList(format);
        cursor.insertText(QStringLiteral("one"));
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("two"));
        const QByteArray rtf = TRtfWriter::Write(*document);
        QVERIFY2(
            rtf.contains("{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1" + kind + "{\\pntxta .}}"),
            rtf.constData());
        QVERIFY(rtf.contains("{\\pntext\\f0 " + second + "\\tab}two"));
        auto loaded = Load(rtf);
        QTextList *list = loaded->begin().textList();
        QVERIFY(list);
        QCOMPARE(int(list->format().style()), style);
        QCOMPARE(list->count(), 2);
        QCOMPARE(TRtfWriter::Write(*loaded), rtf);
    }

    // Other word processors number from the list table, older readers from the paragraphs'
    // numbering: either form alone gives every item the label it had.
    void listsKeepTheirLabelsInEitherForm()
    {
        auto document = NewDocument();
        QTextCursor cursor(document.get());
        const auto list = [&cursor](QTextListFormat::Style style, const QString &prefix,
                                    const QString &suffix, int start, const QStringList &items) {
            QTextListFormat format;
            format.setStyle(style);
            format.setNumberPrefix(prefix);
            format.setNumberSuffix(suffix);
            format.setProperty(TRtfFormatProperties::ListStart, start);
            cursor.insertBlock();
            cursor.createList(format);
            for (int i = 0; i < items.size(); ++i) {
                if (i > 0)
                    cursor.insertBlock();
                cursor.insertText(items.at(i));
            }
            cursor.insertBlock();
            cursor.setBlockFormat(QTextBlockFormat());
            cursor.insertText(QStringLiteral("text"));
        };
        cursor.insertText(QStringLiteral("intro"));
        list(QTextListFormat::ListLowerRoman, QStringLiteral("("), QStringLiteral(")"), 4,
             {QStringLiteral("four"), QStringLiteral("five")});
        list(QTextListFormat::ListDisc, QString(), QString(), 1, {QStringLiteral("dot")});
        list(QTextListFormat::ListDecimal, QStringLiteral("\u20ac"), QStringLiteral("."), 7,
             {QStringLiteral("seven"), QStringLiteral("eight")});
        list(QTextListFormat::ListUpperAlpha, QString(), QStringLiteral(":"), 2,
             {QStringLiteral("bee")});
        const QStringList labels = {QString(),
                                    QStringLiteral("(iv)"),
                                    QStringLiteral("(v)"),
                                    QString(),
                                    QStringLiteral("\u2022"),
                                    QString(),
                                    QStringLiteral("\u20ac7."),
                                    QStringLiteral("\u20ac8."),
                                    QString(),
                                    QStringLiteral("B:"),
                                    QString()};
        QCOMPARE(Labels(*document), labels);

        const QByteArray rtf = TRtfWriter::Write(*document);
        QVERIFY2(rtf.contains("{\\*\\listtable") && rtf.contains("{\\*\\listoverridetable"),
                 rtf.constData());
        QVERIFY(rtf.contains("\\levelnfc2\\levelnfcn2\\leveljc0\\leveljcn0\\levelfollow0"
                             "\\levelstartat4{\\leveltext\\'03(\\'00);}{\\levelnumbers\\'02;}"));
        QVERIFY(rtf.contains("{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart4\\pnlcrm"));
        QByteArray tableOnly = rtf;
        RemoveGroups(tableOnly, "{\\*\\pn\\");
        RemoveGroups(tableOnly, "{\\pntext");
        QByteArray oldOnly = rtf;
        RemoveGroups(oldOnly, "{\\*\\listtable");
        RemoveGroups(oldOnly, "{\\*\\listoverridetable");
        for (int n = 1; n <= 4; ++n)
            oldOnly.replace("\\ls" + QByteArray::number(n) + "\\ilvl0", "");
        QVERIFY(!tableOnly.contains("\\pn") && !oldOnly.contains("\\ls"));
        for (const QByteArray &form : {rtf, tableOnly, oldOnly})
            QCOMPARE(Labels(*Load(form)), labels);
        QCOMPARE(TRtfWriter::Write(*Load(rtf)), rtf);
    }

    // A letterhead's header and footer, which the document does not show, go out with a save
    // of the whole document, their fonts and colours renumbered for the saved tables.
    void headersAndFootersSurviveASave()
    {
        QFile file(TestEnvironment::dataPath(QStringLiteral("rtf/letterhead_template.rtf")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        auto document = Load(file.readAll());
        QCOMPARE(Text(*document), QStringLiteral("Dear @1,\nYour order @2 has been sent."));
        const QByteArray first = TRtfWriter::Write(*document);
        QVERIFY2(first.contains("{\\footer\\pard\\plain \\s15\\qc"), first.constData());
        const QRegularExpressionMatch acme =
            QRegularExpression(QStringLiteral("\\{\\\\header\\\\pard.*\\\\f(\\d+)\\\\fs28\\\\b"
                                              "\\\\cf(\\d+) Acme Supplies Ltd\\\\par"))
                .match(QString::fromLatin1(first));
        QVERIFY(acme.hasMatch());
        QVERIFY(first.contains("{\\f" + acme.captured(1).toLatin1() +
                               "\\fswiss\\fcharset0 Liberation Sans;}"));
        const QList<QByteArray> colors = first.mid(first.indexOf("{\\colortbl ;") + 12).split(';');
        QCOMPARE(colors.value(acme.captured(2).toInt() - 1),
                 QByteArray("\\red0\\green51\\blue102"));
        QVERIFY(first.contains("Port Town \\'b7 PT1 2AB\\par"));
        auto again = Load(first);
        QCOMPARE(Text(*again), Text(*document));
        QCOMPARE(TRtfWriter::Write(*again), first);

        // Only the whole document has them: not a part of it, not a file read into other text,
        // not what replaces or clears the document.
        QVERIFY(!TRtfWriter::Write(*document, 0, 5).contains("\\header"));
        auto other = Load("{\\rtf1 other\\par}");
        QTextCursor end(other.get());
        end.movePosition(QTextCursor::End);
        TRtfReader::Read(first, end);
        QVERIFY(Text(*other).contains(QStringLiteral("Your order")));
        QVERIFY(!TRtfWriter::Write(*other).contains("\\header"));
        QTextCursor all(document.get());
        all.select(QTextCursor::Document);
        TRtfReader::Read("{\\rtf1 replaced\\par}", all);
        QVERIFY(!TRtfWriter::Write(*document).contains("\\header"));
        again->clear();
        QVERIFY(!TRtfWriter::Write(*again).contains("\\footer"));

        // Numbers of fonts, colours and lists of the source that the saved tables lack, and a
        // backslash that is text, are no references.
        const QByteArray numbers = TRtfWriter::Write(*Load(
            "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\header\\ls3\\ilvl0\\f7\\cf9 \\\\f0 x\\par}y\\par}"));
        QVERIFY2(numbers.contains("{\\header\\ls0\\ilvl0\\f0\\cf0 \\\\f0 x\\par}"),
                 numbers.constData());
    }

    // A letterhead from another word processor: a logo in a floating shape, a drawing object
    // and a picture in its wrapper with a stand-in for old readers. The document shows the
    // pictures where they stood and keeps the groups there; a save writes them back as read.
    void shapesAndDrawingObjectsSurviveASave()
    {
        QFile file(TestEnvironment::dataPath(QStringLiteral("rtf/letterhead_shapes.rtf")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray original = file.readAll();
        auto group = [&original](const QByteArray &start) {
            const qsizetype at = original.indexOf(start);
            qsizetype end = at;
            for (int depth = 0; end < original.size(); ++end) {
                if (original.at(end) == '{')
                    ++depth;
                else if (original.at(end) == '}' && --depth == 0)
                    break;
            }
            return original.mid(at, end + 1 - at);
        };
        const QByteArray shape = group("{\\shp{");
        const QByteArray line = group("{\\*\\do\\dobxmargin\\dobymargin\\dodhgt8193");
        const QByteArray wrapped = group("{\\*\\shppict") + group("{\\nonshppict");
        const QString anchor(QChar::ObjectReplacementCharacter);
        const QString text = anchor + "Dear @1,\nYour order @2 has been sent." + anchor +
                             "\nYours faithfully,\n" + anchor;

        auto document = Load(original);
        QCOMPARE(Text(*document), text);
        // The shape's picture is shown, its result (a rectangle for old readers) is not; the
        // drawing object shows nothing.
        const QTextBlock first = document->begin();
        const QTextCharFormat logo = first.begin().fragment().charFormat();
        QVERIFY(logo.isImageFormat());
        QCOMPARE(logo.toImageFormat().width(), 96.0);
        QVERIFY(!document->findBlockByNumber(1).begin().fragment().charFormat().isImageFormat());
        QVERIFY(document->findBlockByNumber(3).begin().fragment().charFormat().isImageFormat());

        const QByteArray saved = TRtfWriter::Write(*document);
        QVERIFY2(saved.contains(shape + "Dear @1,\\par"), saved.constData());
        QVERIFY(saved.contains("has been sent." + line + "\\par"));
        QVERIFY(saved.contains(wrapped + "\\par"));
        QVERIFY(saved.contains("{\\header\\pard\\plain\\qr"));
        auto again = Load(saved);
        QCOMPARE(Text(*again), text);
        QCOMPARE(TRtfWriter::Write(*again), saved);

        // A copy of the paragraph takes its drawing object along, into other text too.
        const QTextBlock second = again->findBlockByNumber(1);
        const QByteArray copied =
            TRtfWriter::Write(*again, second.position(), second.position() + second.length());
        auto pasted = Load("{\\rtf1 Before\\par}");
        QTextCursor end(pasted.get());
        end.movePosition(QTextCursor::End);
        TRtfReader::Read(copied, end);
        QVERIFY(TRtfWriter::Write(*pasted).contains(line));

        // Deleting the paragraph that holds the shape drops the shape, and only it.
        QTextCursor cursor(again.get());
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        const QByteArray without = TRtfWriter::Write(*again);
        QVERIFY(!without.contains("{\\shp{"));
        QVERIFY(without.contains(line) && without.contains(wrapped));
        QVERIFY(without.contains("{\\header"));

        // Text typed next to an anchor is text: it writes no second copy of the group.
        QTextCursor typing(again.get());
        typing.setPosition(again->begin().length() - 1);
        typing.insertText(QStringLiteral(" Thanks."));
        QCOMPARE(TRtfWriter::Write(*again).count("\\dpline\\dpptx"), 1);

        // Shapes where other content is, or cut short: the second save repeats the first.
        const char *odd[] = {
            "{\\rtf1 a{\\*   \\shppict{\\pict\\pngblip 0011}}  {\\nonshppict{\\pict 0011}}\\par}",
            "{\\rtf1\\trowd\\cellx1000\\pard\\intbl{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv "
            "{\\pict\\pngblip 0011}}}}}x\\cell\\row\\pard y\\par}",
            "{\\rtf1 a\\chftn{\\footnote\\pard\\chftn{\\shp{\\*\\shpinst}} note}\\par}",
            "{\\rtf1 a{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv {\\pict\\pngblip\\bin4 "
            "}}{x}}}}}b\\par}",
            "{\\rtf1 a{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv {\\pict\\pngblip 0011"};
        for (const char *rtf : odd) {
            const QByteArray once = TRtfWriter::Write(*Load(rtf));
            QVERIFY2(TRtfWriter::Write(*Load(once)) == once, rtf);
        }
    }

    // Save, load, save: the same bytes.
    void mixedDocument()
    {
        auto document = NewDocument();
        QTextCursor cursor(document.get());
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        QTextCharFormat big;
        big.setFontPointSize(18);
        big.setFontFamilies({QStringLiteral("Courier New")});
        big.setForeground(QColor(10, 20, 30));
        cursor.insertText(QStringLiteral("Dear @1,\t"), bold);
        cursor.insertText(QStringLiteral("caf\u00e9 \u03b1\u2028next\f"), big);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        cursor.insertBlock(centred);
        cursor.insertBlock(QTextBlockFormat());
        cursor.insertText(QStringLiteral("{\\}"));
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(Qt::red);
        document->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("img")), image);
        QTextImageFormat picture;
        picture.setName(QStringLiteral("img"));
        cursor.insertImage(picture);

        const QByteArray first = TRtfWriter::Write(*document);
        auto loaded = Load(first);
        QCOMPARE(Text(*loaded), Text(*document));
        const QByteArray second = TRtfWriter::Write(*loaded);
        QCOMPARE(second, first);
        QCOMPARE(TRtfWriter::Write(*Load(second)), second);
    }

    void sampleFiles_data()
    {
        QTest::addColumn<QString>("path");
        const QDir dir(TestEnvironment::dataPath(QStringLiteral("rtf")));
        const QStringList files = dir.entryList({QStringLiteral("*.rtf")}, QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString &name : files)
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }

    void sampleFiles()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray original = file.readAll();
        auto document = Load(original);
        const QByteArray first = TRtfWriter::Write(*document);
        auto again = Load(first);
        QCOMPARE(Text(*again), Text(*document));
        QCOMPARE(TRtfWriter::Write(*again), first);
        if (QFileInfo(path).fileName().startsWith(QLatin1String("hostile")))
            return;
        // Tables and pictures of other writers survive a save, pictures with their bytes.
        const RawStructure before = Scan(original);
        const RawStructure after = Scan(first);
        QCOMPARE(after.Rows, before.Rows);
        QCOMPARE(after.Cells, before.Cells);
        QCOMPARE(after.Pictures, before.Pictures);
    }
};

ZARVEL_TEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
