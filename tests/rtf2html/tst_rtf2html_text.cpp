// The text path without the document model: its text is the model's, or it declines.
#include "TestEnvironment.h"

#include "../../bench/rtf2html/RtfBenchDocuments.h"
#include "rtf/RtfReaderState.h"
#include "rtf/TDocumentText.h"
#include "rtf2html/DocumentText.h"
#include "rtf2html/TRtfTextReader.h"
#include "rtf2html/TTextByteDecoder.h"

#include <QDirIterator>
#include <QFile>
#include <QTextCursor>
#include <QTextDocument>

#include <iterator>
#include <map>
#include <random>

#include <string>

// Up to its depth the plain path reads groups as the model does; deeper, the model passes over
// them, so the plain path must decline before.
static_assert(Rtf2Html::TRtfTextReader::KMaxDepth < RtfReading::MaxGroupStates);

namespace {

// What `zarvel-cli text` printed from the model: its text, a paragraph end after the last
// paragraph, LF for paragraph ends and line breaks, UTF-8.
QByteArray ModelText(const QByteArray &bytes)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    TDocumentText::Insert(bytes, cursor);
    QString text = TDocumentText::Range(document, 0, -1);
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\r')))
        text += QLatin1Char('\r');
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\v'), QLatin1Char('\n'));
    return text.toUtf8();
}

// The plain path's text, or a null array when it declines.
QByteArray PlainText(const QByteArray &bytes)
{
    std::string text;
    if (!Rtf2Html::DocumentTextOf(std::string_view(bytes.constData(), bytes.size()), text))
        return QByteArray();
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// Compares the two on bytes; true when the plain path took them.
bool Agrees(const QByteArray &bytes, const QString &name)
{
    const QByteArray plain = PlainText(bytes);
    if (plain.isNull())
        return false;
    const QByteArray model = ModelText(bytes);
    if (plain != model) {
        qsizetype at = 0;
        while (at < plain.size() && at < model.size() && plain[at] == model[at])
            ++at;
        qWarning().noquote()
            << name << "differs at byte" << at
            << "plain:" << plain.mid(std::max<qsizetype>(0, at - 20), 60).toPercentEncoding(" ")
            << "model:" << model.mid(std::max<qsizetype>(0, at - 20), 60).toPercentEncoding(" ");
    }
    [&] { QCOMPARE(plain, model); }();
    return true;
}

QByteArray Bytes(const std::string &text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

const QByteArray KHead = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 "
                         "Arial;}{\\f1\\froman\\fcharset204 Times Cyr;}{\\f2\\fnil\\fcharset161 "
                         "Greek;}{\\f3\\fnil\\fcharset128 MS Mincho;}}"
                         "{\\colortbl;\\red0\\green0\\blue255;}\\uc1\\pard\\f0\\fs20 ";

} // namespace

class TestRtf2HtmlText : public QObject
{
    Q_OBJECT
private slots:
    // Every file of the samples and of the tests' data: the plain path gives the model's text
    // or declines, and it takes most of them.
    void everyFileReadsAsTheModelReadsIt()
    {
        int files = 0;
        int taken = 0;
        QStringList declined;
        std::map<std::string, int> reasons;
        for (const QString &root : {QStringLiteral(ZARVEL_SOURCE_DIR "/samples"),
                                    QStringLiteral(ZARVEL_SOURCE_DIR "/tests/data")}) {
            QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString name = it.next();
                QFile file(name);
                if (file.size() > (16 << 20) || !file.open(QIODevice::ReadOnly))
                    continue;
                const QByteArray bytes = file.readAll();
                if (!bytes.startsWith("{\\rtf")) {
                    // Plain text files: agreeing is enough.
                    Agrees(bytes, name);
                    if (QTest::currentTestFailed())
                        return;
                    continue;
                }
                ++files;
                if (Agrees(bytes, name))
                    ++taken;
                else
                    declined << name.mid(QStringLiteral(ZARVEL_SOURCE_DIR).size() + 1);
                std::u16string text;
                Rtf2Html::TRtfTextReader reader(std::string_view(bytes.constData(), bytes.size()));
                if (!reader.Read(text))
                    ++reasons[reader.Declined()];
                if (QTest::currentTestFailed())
                    return;
            }
        }
        qInfo("%d of %d rich text files read without the model", taken, files);
        for (const auto &[reason, count] : reasons)
            qInfo("declined for %s: %d", reason.c_str(), count);
        for (const QString &name :
             {QStringLiteral("samples/letter.tem"), QStringLiteral("samples/form.tem"),
              QStringLiteral("samples/quote.tem")})
            QVERIFY2(!declined.contains(name), qPrintable(name));
        QVERIFY2(taken * 2 > files, qPrintable(declined.join(QLatin1Char('\n'))));
    }

    void generatedDocumentsReadAsTheModelReadsThem_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<bool>("taken"); // the plain path must take it
        QTest::newRow("paragraphs") << Bytes(RtfBenchDocuments::Paragraphs(60000, "\r\n")) << true;
        QTest::newRow("one line") << Bytes(RtfBenchDocuments::Paragraphs(20000, "")) << true;
        QTest::newRow("formatted paragraph")
            << Bytes(RtfBenchDocuments::FormattedParagraph(40000)) << true;
        QTest::newRow("tagless") << Bytes(RtfBenchDocuments::TaglessParagraph(20000)) << true;
        QTest::newRow("deep groups") << Bytes(RtfBenchDocuments::DeepGroups(20000)) << true;
        QTest::newRow("fonts and colours")
            << Bytes(RtfBenchDocuments::ManyFontsAndColours(40000)) << true;
        QTest::newRow("long table") << Bytes(RtfBenchDocuments::LongTable(20000)) << true;
        QTest::newRow("word processor")
            << Bytes(RtfBenchDocuments::WordProcessorDocument(60000)) << true;
        QTest::newRow("paragraph ends")
            << KHead + "\\par\\par A\\par\\par B\\sect\\sect C\\line\\page D\\par}" << true;
        QTest::newRow("no paragraph mark at the end") << KHead + "A\\par B}" << true;
        QTest::newRow("only marks") << KHead + "\\par\\par\\sect}" << true;
        QTest::newRow("empty") << QByteArray("{\\rtf1}") << true;
        QTest::newRow("symbols and characters")
            << KHead + "a\\~b\\-c\\_d\\{\\}\\\\ \\emdash\\endash\\bullet\\lquote\\rquote"
                       "\\ldblquote\\rdblquote\\zwj\\zwnj\\ltrmark\\rtlmark\\emspace\\enspace"
                       "\\qmspace\\tab e\tf\\\r\ng\\par}"
            << true;
        QTest::newRow("unicode and fallbacks")
            << KHead + "\\u8364?\\uc2\\u20013\\'81\\'82 x\\uc0\\u1488 y{\\uc3\\u955 abcd}"
                       "\\u-3 \\u55357\\u56832 z\\uc1\\u945\\'e1\\u946{}b\\u947\\tab c\\par}"
            << true;
        QTest::newRow("lone surrogate") << KHead + "a\\u55357 b\\par}" << false;
        QTest::newRow("code pages")
            << KHead + "\\f1\\'cf\\'f0\\'e8 {\\f2\\'e1\\'e3} \\'e9\\'80 \\plain\\'e9\\par}" << true;
        QTest::newRow("document code page")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Arial;}}\\f0 \\'cf\\'f0\\'e8"
                          "\\par}")
            << true;
        QTest::newRow("dos and mac pages")
            << QByteArray("{\\rtf1\\pc \\'82\\'e9 {\\mac \\'8e} \\pca \\'82\\par}") << true;
        QTest::newRow("lead bytes")
            << KHead + "\\f3\\'82\\'a0 x\\'82{\\b\\'a2}\\'82abc\\'82\\par\\'a4\\'82\\f0\\'e9"
                       "\\'82\\pict\\'a0 \\ansicpg936\\'b0\\'a1\\par}"
            << true;
        QTest::newRow("hidden text")
            << KHead + "shown {\\v hidden} \\v also\\v0 shown\\par}" << true;
        QTest::newRow("fields")
            << KHead + "{\\field{\\*\\fldinst MERGEFIELD Name}{\\fldrslt \\u171?Name\\'bb}} "
                       "{\\field{\\*\\fldinst PAGE}{\\fldrslt}} {\\field\\fldedit{\\*\\fldinst "
                       "HYPERLINK \"x\"}{\\fldrslt {\\cf1 link}}}\\par}"
            << true;
        QTest::newRow("symbol field")
            << KHead + "a{\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\"}{\\fldrslt }}b\\par}"
            << true;
        QTest::newRow("lists")
            << KHead + "{\\*\\listtable{\\list\\listid1{\\listlevel\\levelnfc23{\\leveltext"
                       "\\'01\\u8226 ?;}{\\levelnumbers;}}}}{\\*\\listoverridetable{\\listoverride"
                       "\\listid1\\ls1}}{\\listtext\\'b7\\tab}\\ls1 one\\par{\\pntext 2.\\tab}"
                       "{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}two\\par\\pard three\\par}"
            << true;
        QTest::newRow("destinations passed over")
            << KHead + "{\\info{\\title T}{\\author A}}{\\header H\\par}{\\*\\bkmkstart b}x"
                       "{\\*\\bkmkend b}{\\*\\unknown u}{\\upr{a}{\\*\\ud{b}}}{\\*\\generator g;}"
                       "{\\object\\objemb{\\*\\objdata 0102}}y\\par}"
            << true;
        QTest::newRow("styles")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Cyr;}}"
                          "{\\stylesheet{\\s0 Normal;}{\\s1\\f1 Cyr;}{\\*\\cs2\\f1 C;}}"
                          "\\s1 \\'cf{\\s0\\'cf}\\f0\\'cf\\par}")
            << false;
        QTest::newRow("styles, one code page")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset0 Times;}}"
                          "{\\stylesheet{\\s0 Normal;}{\\s1\\f1\\b Head;}}"
                          "\\s1 \\'e9{\\s0\\'e9}\\par}")
            << true;
        const QByteArray row = "\\trowd\\trgaph108\\cellx1000\\cellx2000";
        QTest::newRow("table") << KHead + row + "\\intbl a\\cell b\\cell\\row\\pard after\\par}"
                               << true;
        QTest::newRow("table first and last")
            << "{\\rtf1" + row + "\\intbl A\\cell B\\cell\\row}" << true;
        QTest::newRow("tables apart")
            << "{\\rtf1 X\\par" + row + "\\intbl A\\cell B\\cell\\row\\pard\\par" + row +
                   "\\intbl C\\cell D\\cell\\row\\pard Y\\par}"
            << true;
        QTest::newRow("rows of one table")
            << "{\\rtf1 X\\par\\par" + row + "\\intbl A\\par A2\\cell\\cell\\row\\pard " + row +
                   "\\intbl{\\b C}\\par\\cell D\\cell{" + row + "\\row}\\pard Y}"
            << true;
        QTest::newRow("table after a paragraph without a mark")
            << "{\\rtf1 X {\\pard" + row +
                   "\\intbl A\\cell B\\cell\\row}\\pard\\par\\par Y\\par\\par}"
            << false;
        QTest::newRow("table with an empty paragraph before its end")
            << "{\\rtf1 " + row + "\\intbl A\\par\\cell B\\cell\\row\\sect\\pard Z\\sect}" << true;
        QTest::newRow("row without its end")
            << "{\\rtf1 " + row + "\\intbl A\\cell B\\cell\\row\\sect Z\\sect}" << true;
        const QByteArray wordRow = "\\trowd \\irow0\\ts11\\trgaph108\\trleft-108\\clvertalt"
                                   "\\clbrdrt\\brdrs\\brdrw10 \\cellx3000\\clvertalt\\cellx6000";
        QTest::newRow("table as word processors write it")
            << KHead + "{\\s1 Heading}\\par" + wordRow +
                   "\\pard\\plain \\ltrpar\\ql \\intbl {\\insrsid1 One}\\cell {Two \\b x\\b0}"
                   "\\cell \\pard\\plain \\intbl {" +
                   wordRow + "\\row }\r\n" + wordRow +
                   "\\pard\\plain \\intbl {Three}\\cell {}\\cell \\pard\\plain \\intbl {" +
                   wordRow + "\\row }\r\n\\pard\\plain \\ltrpar After\\par}"
            << true;
        QTest::newRow("text before a table without a mark")
            << "{\\rtf1 X " + row + "\\intbl A\\cell B\\cell\\row\\pard Y}" << true;
        QTest::newRow("row of fewer cells")
            << "{\\rtf1 " + row + "\\intbl A\\cell B\\row Y}" << true;
        QTest::newRow("row of more cells")
            << "{\\rtf1 " + row + "\\intbl A\\cell B\\cell C\\cell\\row Y}" << true;
        QTest::newRow("rows unlike")
            << "{\\rtf1 " + row +
                   "\\intbl A\\cell B\\cell\\row\\trowd\\cellx500\\cellx2000\\intbl "
                   "C\\cell D\\cell\\row}"
            << true;
        // The model leaves the table when it flushes the text before the bold run; leaving
        // forgets the row's definition, so the definitions after count.
        QTest::newRow("table left by the text before a definition")
            << QByteArray(
                   "{\\rtf1\\ansi \\trowd \\trowd\\trleft-500\\cellx1500\\cellx1500 \\row "
                   "\\cellx2500 A\\cell \\cell \\cell \\cellx126700 A\\cellx700 {\\b D}"
                   "\\trowd\\cellx3000 \\trowd\\cellx500\\cellx2000 \\trowd\\clmrg"
                   "\\cellx1000\\cellx2500 \\trowd\\trleft-500\\cellx1500\\cellx1500 AA\\par "
                   "\\cellx2500 \\cell \\cellx2500 \\row \\pard }")
            << false;
        QTest::newRow("merged cells")
            << QByteArray("{\\rtf1\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\intbl A\\cell"
                          "\\cell\\row}")
            << true;
        QTest::newRow("nested table")
            << "{\\rtf1 " + row +
                   "\\intbl A\\cell{\\itap2 x\\nestcell{\\*\\nesttableprops"
                   "\\trowd\\cellx500\\nestrow}}\\cell\\row}"
            << true;
        QTest::newRow("pictures")
            << KHead + "a{\\pict\\pngblip\\picw1\\pich1 00}b{\\pict\\wmetafile8 0}c{\\pict 0102}"
                       "{\\field{\\*\\fldinst INCLUDEPICTURE x}{\\fldrslt{\\pict\\jpegblip\\bin2 "
                       "ab}}}\\par}"
            << true;
        QTest::newRow("picture of a shape")
            << KHead +
                   "a{\\*\\shppict{\\pict\\pngblip 00}}{\\nonshppict{\\pict\\wmetafile8 00}}\\par}"
            << true;
        QTest::newRow("shapes")
            << KHead +
                   "a{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv {\\pict\\pngblip 00}}}}}b"
                   "{\\*\\do\\dobxcolumn}c\\par\\trowd\\cellx1000\\intbl{\\shpgrp x}\\cell\\row}"
            << true;
        QTest::newRow("text box") << KHead + "a{\\shp{\\*\\shpinst{\\shptxt t\\par}}}b\\par}"
                                  << true;
        QTest::newRow("footnotes")
            << KHead + "a{\\super\\chftn}{\\footnote\\chftn note\\par two}b{\\chftn}{\\*\\footnote "
                       "{\\chftn} \\f1\\'cf}c\\par d}"
            << true;
        QTest::newRow("footnote in a table")
            << KHead + "\\trowd\\cellx1000\\intbl a{\\footnote n}\\cell\\row}" << true;
        QTest::newRow("footnote without its end") << KHead + "a{\\footnote n\\par" << true;
        QTest::newRow("footnote in a footnote")
            << KHead + "a{\\footnote n{\\footnote m}}}" << false;
        QTest::newRow("binary and nul")
            << KHead + "a{\\*\\bin3 \\}{}b" + QByteArray("\0c", 2) + "\\par}" << true;
        QTest::newRow("text after the document") << KHead + "a\\par}b\\par" << true;
        QTest::newRow("plain text")
            << QByteArray("line one\r\nline two\rthree\nfour\vfive\tsix\fseven") << true;
        QTest::newRow("plain utf-8")
            << QByteArray("\xEF\xBB\xBF\xD0\x9F\xD1\x80\xC3\xA9 \xF0\x9F\x98\x80\n\n") << true;
        QTest::newRow("plain 1252") << QByteArray("caf\xE9 \x80\xC0\r\n") << true;
        QTest::newRow("plain utf-16") << QByteArray("\xFF\xFE"
                                                    "a\0b\0",
                                                    6)
                                      << false;
    }

    void generatedDocumentsReadAsTheModelReadsThem()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(bool, taken);
        const bool took = Agrees(rtf, QString::fromLatin1(QTest::currentDataTag()));
        if (QTest::currentTestFailed())
            return;
        if (taken)
            QVERIFY2(took, "the plain path declined");
    }

    // Documents of random pieces: paragraphs, cells and rows in any order with definitions
    // alike and unlike; characters by escape, by number and their fallbacks in code pages and
    // fonts; fields; groups. The plain path agrees or declines, and takes a fair share.
    void randomDocumentsReadAsTheModelReadsThem_data()
    {
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<QByteArray>("head");
        QTest::newRow("tables") << QByteArrayList{"A",
                                                  "B ",
                                                  "\\par ",
                                                  "\\pard ",
                                                  "\\intbl ",
                                                  "\\cell ",
                                                  "\\row ",
                                                  "\\sect ",
                                                  "\\line ",
                                                  "{",
                                                  "}",
                                                  "{\\b C}",
                                                  "{\\page }",
                                                  "{\\b\\b0 D}",
                                                  "\\itap0 ",
                                                  "\\itap1 ",
                                                  "\\intbl0 ",
                                                  "{\\cell}",
                                                  "{\\row}",
                                                  "\\tab ",
                                                  "\\trowd\\trgaph108\\cellx1000\\cellx2000 ",
                                                  "\\trowd\\cellx1000\\cellx2000 ",
                                                  "\\trowd\\cellx1500 ",
                                                  "\\trowd\\trleft100\\cellx1000\\cellx2000 ",
                                                  "\\pard\\intbl ",
                                                  "\\pard\\intbl A\\cell B\\cell\\row ",
                                                  "{\\pict\\pngblip 00}",
                                                  "{\\*\\shppict{\\pict\\pngblip 00}}",
                                                  "{\\nonshppict{\\pict\\wmetafile8 00}}",
                                                  "{\\shp{\\*\\shpinst{\\shptxt t\\par u}}}",
                                                  "{\\shp{\\*\\shpinst{\\shptxt\\pard "
                                                  "\\intbl x\\cell}}}",
                                                  "{\\shptxt\\trowd\\cellx500 }"}
                                << QByteArray("{\\rtf1\\ansi ");
        // Rows of other cells on one grid, cells past their row, merges across and down.
        QTest::newRow("grids") << QByteArrayList{"A",
                                                 "\\par ",
                                                 "\\pard ",
                                                 "\\intbl ",
                                                 "\\cell ",
                                                 "\\cell ",
                                                 "\\row ",
                                                 "\\intbl B\\cell ",
                                                 "\\pard\\intbl C\\cell\\row ",
                                                 "{\\b D}",
                                                 "\\trowd\\cellx1000\\cellx2000 ",
                                                 "\\trowd\\cellx500\\cellx2000 ",
                                                 "\\trowd\\cellx3000 ",
                                                 "\\trowd\\trleft-500\\cellx1500\\cellx1500 ",
                                                 "\\trowd\\clvmgf\\cellx1000\\cellx2000 ",
                                                 "\\trowd\\clvmrg\\cellx1000\\cellx2000 ",
                                                 "\\trowd\\cellx1000\\clvmrg\\cellx2000 ",
                                                 "\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000 ",
                                                 "\\trowd\\clmrg\\cellx1000\\cellx2500 ",
                                                 "\\clvmrg ",
                                                 "\\clmrg ",
                                                 "\\cellx2500 ",
                                                 "\\cellx700 ",
                                                 "\\cellx126700 ",
                                                 "\\trowd "}
                               << QByteArray("{\\rtf1\\ansi ");
        // Tables in tables, whose rows state their cells after them, and tables in text boxes.
        QTest::newRow("nested tables")
            << QByteArrayList{"A",
                              "\\par ",
                              "\\pard ",
                              "\\intbl ",
                              "\\itap2 ",
                              "\\itap3 ",
                              "\\itap1 ",
                              "\\cell ",
                              "\\row ",
                              "\\nestcell ",
                              "\\nestrow ",
                              "{\\*\\nesttableprops\\trowd\\cellx500\\cellx900\\nestrow}",
                              "{\\*\\nesttableprops\\trowd\\cellx700\\nestrow}",
                              "{\\*\\nesttableprops\\trowd\\clvmrg\\cellx500\\cellx900\\nestrow}",
                              "{\\nonesttables\\par}",
                              "\\pard\\intbl\\itap2 B\\nestcell ",
                              "\\trowd\\cellx1000\\cellx2000 ",
                              "\\trowd\\cellx3000 ",
                              "{",
                              "}",
                              "{\\b C}",
                              "{\\shp{\\*\\shpinst{\\shptxt\\pard\\intbl x\\cell\\row}}}",
                              "{\\shp{\\*\\shpinst{\\shptxt\\trowd\\cellx400 \\intbl "
                              "y\\cell\\row}}}"}
            << QByteArray("{\\rtf1\\ansi ");
        QTest::newRow("characters")
            << QByteArrayList{"a",
                              "b ",
                              "\\'e9",
                              "\\'cf",
                              "\\'80",
                              "\\'0d",
                              "?",
                              "\\u8364 ",
                              "\\u-4064 ",
                              "\\u55357\\u56832 ",
                              "\\uc0 ",
                              "\\uc2 ",
                              "{",
                              "}",
                              "{\\*\\x y}",
                              "\\*",
                              "\\tab ",
                              "\t",
                              "\\~",
                              "\\{",
                              "\\par ",
                              "\\line ",
                              "\\sect ",
                              "\\page ",
                              "\\f1 ",
                              "\\f2 ",
                              "\\plain ",
                              "\\s1 ",
                              "\\v ",
                              "\\v0 ",
                              "\\bin2 ab",
                              "\\emdash ",
                              "\r\n",
                              "{\\field{\\*\\fldinst PAGE}{\\fldrslt ",
                              "}}",
                              "{\\upr{x}{\\*\\ud{y}}}",
                              "\\ansicpg1251 ",
                              "\\deff1 ",
                              "{\\pntext 1.\\tab}",
                              "{\\*\\pn\\pnlvlbody{\\pntxta .}}",
                              "{\\listtext x\\tab}",
                              "{\\header h\\par}",
                              "{\\info{\\title t}}",
                              "{\\field{\\*\\fldinst SYMBOL 65}{\\fldrslt }}",
                              "{\\field{\\*\\fldinst symbol 66}{\\fldrslt B}}",
                              "{\\field{\\*\\fldinst SYMBOL 128 \\\\f \"Times\" \\\\s "
                              "10}{\\fldrslt }}",
                              "{\\field{\\*\\fldinst \"Symbol\" 0x80 \\\\s \\\\u}}",
                              "{\\field{\\*\\fldinst SYMBOL\\~67\\tab 0x4A \\\\u}}",
                              "{\\field{\\*\\fldinst SYMBOL 0x0x41}{\\fldrslt}}",
                              "{\\field{\\*\\fldinst SYMBOL \" 66\" \\\\a}{\\fldrslt}}",
                              "{\\field{\\*\\fldinst SYMBOL 99999 \\'e9}}",
                              "{\\field{\\*\\fldinst SYMBOL +5}}",
                              "{\\object{\\*\\objdata 01}{\\result r}}",
                              "{\\footnote n}",
                              "\\chftn ",
                              "{\\*\\footnote\\chftn x\\par y}",
                              "{\\pict\\pngblip 8950}",
                              "{\\pict\\emfblip{\\*\\blipuid 01}0\\'41 1}",
                              "{\\pict 0102}",
                              "{\\pict\\dibitmap0\\u65 \\bin1 x}",
                              "{\\*\\shppict{\\pict\\pngblip 00}}",
                              "{\\*\\shppict}",
                              "{\\*\\shppict{\\pict\\pngblip 00} x}",
                              "{\\*\\shppict{\\pict\\pngblip 00}{\\pict\\jpegblip 00}}",
                              "{\\*\\shppict{\\pict\\wmetafile8 0}}",
                              "{\\shppict{\\pict\\pngblip 00}",
                              "{\\b\\*\\shppict{\\pict\\pngblip 00}}",
                              "{\\nonshppict{\\pict\\wmetafile8 00}}",
                              "{\\*\\nonshppict x}",
                              "{\\*\\nonshppict{\\*\\shppict{\\pict\\pngblip 00}}}",
                              "{\\shp{\\*\\shpinst{\\sp{\\sn fillColor}{\\sv 255}}}}",
                              "{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv {\\pict\\pngblip 00}}}}}",
                              "{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv {\\pict\\wmetafile8 0}}}}"
                              "{\\shprslt{\\*\\do\\dobxcolumn}}}",
                              "{\\shpgrp{\\shp{\\*\\shpinst}}",
                              "{\\shp{\\*\\shpinst{\\shptxt t\\par}}}",
                              "{\\shp{\\*\\shpinst{\\sp{\\sn f}{\\sv 1}}{\\shptxt t\\par u}}"
                              "{\\shprslt{\\*\\do\\dobxcolumn{\\dptxbxtext t}}}}",
                              "{\\shptxt v}",
                              "{\\*\\do{\\dptxbxtext w\\par}}",
                              "{\\shpgrp{\\shp{\\*\\shpinst{\\shptxt x}}}{\\shp{\\*\\shpinst}}}",
                              "{\\*\\do\\dobxcolumn}",
                              "{\\shprslt{\\*\\do x}y}",
                              "{\\b\\shp x}",
                              "\\f3 ",
                              "\\'82",
                              "\\'a0",
                              "\x82\xa0",
                              "\\ansicpg932 "}
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 A;}{\\f1\\fcharset204 C;}"
                          "{\\f2\\fcharset0 W;}{\\f3\\fcharset128 M;}}{\\stylesheet{\\s1\\f1 S;}}");
        QTest::newRow("plain text") << QByteArrayList{"a",
                                                      " ",
                                                      "\r",
                                                      "\n",
                                                      "\r\n",
                                                      "\v",
                                                      "\t",
                                                      "\f",
                                                      "\xC3\xA9",
                                                      "\xE9",
                                                      "\x80",
                                                      "\xEF\xBB\xBF",
                                                      "\xF0\x9F\x98\x80",
                                                      "\xED\xA0\x80",
                                                      "\xC0\xAF",
                                                      "\xF4\x90\x80\x80",
                                                      "\xE2\x80\xA8",
                                                      "\xE2\x80\xA9",
                                                      "\xEF\xBF\xBE",
                                                      "\xF0\x9F",
                                                      "\xEF\xB7\x90",
                                                      "\x01"}
                                    << QByteArray();
    }

    void randomDocumentsReadAsTheModelReadsThem()
    {
        QFETCH(QByteArrayList, pieces);
        QFETCH(QByteArray, head);
        std::mt19937 random(20261210);
        int taken = 0;
        const int documents = 5000;
        for (int n = 0; n < documents; ++n) {
            QByteArray rtf = head;
            int depth = 0;
            const int count = 1 + static_cast<int>(random() % 24);
            for (int i = 0; i < count; ++i) {
                const QByteArray &piece = pieces[static_cast<qsizetype>(random() % pieces.size())];
                const int change = piece.count('{') - piece.count('}');
                if (depth + change < 0)
                    continue;
                depth += change;
                rtf += piece;
            }
            if (!head.isEmpty())
                rtf += QByteArray(depth, '}') + "}";
            if (Agrees(rtf, QString::fromLatin1(rtf)))
                ++taken;
            if (QTest::currentTestFailed())
                return;
        }
        qInfo("%d of %d documents read without the model", taken, documents);
        QVERIFY(taken > documents / 10);
    }

    // A table of more places than the grid follows is declined at once, whatever its rows
    // hold: it would cost the front program gigabytes before the model took it anyway.
    void hugeTablesAreLeftToTheModel()
    {
        QByteArray rtf = "{\\rtf1\\trowd";
        for (int column = 1; column <= 63; ++column)
            rtf += "\\cellx" + QByteArray::number(column * 100);
        rtf += ' ' + QByteArray("\\intbl\\cell\\row ").repeated(20000) + '}';
        std::u16string text;
        Rtf2Html::TRtfTextReader reader(std::string_view(rtf.constData(), rtf.size()));
        QVERIFY(!reader.Read(text));
        QCOMPARE(reader.Declined(), "table too large");
    }

    // The reader passes printable ASCII through without asking for its code page.
    void asciiIsItselfInEveryCodePage()
    {
        Rtf2Html::TTextByteDecoder decoder;
        for (const int page : {437, 850, 874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254,
                               1255, 1256, 1257, 1258, 10000, 1361}) {
            for (int byte = 0x20; byte < 0x7F; ++byte)
                QCOMPARE(decoder.Decode(page, static_cast<unsigned char>(byte)), byte);
        }
    }
};

ZARVEL_TEST_MAIN(TestRtf2HtmlText)
#include "tst_rtf2html_text.moc"
