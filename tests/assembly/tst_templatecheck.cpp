// Reading information files as the information pane reads them, the visible text of rich
// text, the template check, and the samples merged through the engine.
#include "InformationPaneLines.h"
#include "TestEnvironment.h"

#include "assembly/TInformationReader.h"
#include "assembly/TMergeEngine.h"
#include "assembly/TRtfTextMap.h"
#include "assembly/TTemplateCheck.h"
#include "text/StringUtils.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(std::vector<std::string>)

namespace {
std::string SamplePath(const char *name)
{
    return QDir(QStringLiteral(ZARVEL_SOURCE_DIR "/samples")).filePath(name).toStdString();
}

std::vector<std::string> ReadInformationFile(const std::string &fileName)
{
    return TInformationReader().Read(fileName);
}

std::vector<std::string> SplitCrLf(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// Writes the bytes to a file of that name in the current folder.
void WriteFile(const char *name, const std::string &content)
{
    QFile file(QString::fromLatin1(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content.data(), static_cast<qint64>(content.size())),
             static_cast<qint64>(content.size()));
}

// A text file of random pieces: line ends of every kind, tabs, NULs and other ASCII; in two
// of three files also UTF-8 characters (line and paragraph separators, a byte order mark,
// characters outside code page 1252 and outside the 16-bit range); in one of those, bytes that
// are not UTF-8. Now and then a long line.
std::string RandomTextFile(std::mt19937 &random)
{
    static const std::string Ascii[] = {"\r",   "\n", "\r\n", "\v", "\t",     {"\0", 1},
                                        "Name", " ",  "@1",   "\f", "{\\rtf1"};
    static const std::string Utf8[] = {"\xC3\xA9",     "\xE2\x82\xAC", "\xE2\x80\xA8",
                                       "\xE2\x80\xA9", "\xEF\xBB\xBF", "\xC2\xA0",
                                       "\xEF\xBF\xBC", "\xEF\xB7\x90", "\xF0\x9F\x98\x80"};
    static const std::string NotUtf8[] = {"\xE9", "\x80\x81\x9D", "\xC3", "\xFF\xFE"};
    const unsigned kind = random() % 3; // 0: ASCII, 1: UTF-8, 2: any bytes
    std::string text = kind > 0 && random() % 3 == 0 ? "\xEF\xBB\xBF" : "";
    const int pieces = static_cast<int>(random() % 40);
    for (int i = 0; i < pieces; ++i) {
        const unsigned choice = kind == 0 ? 0 : random() % (kind + 2);
        if (choice == 3)
            text += NotUtf8[random() % std::size(NotUtf8)];
        else if (choice == 2)
            text += Utf8[random() % std::size(Utf8)];
        else
            text += Ascii[random() % std::size(Ascii)];
        if (random() % 50 == 0)
            text += std::string(60000 + random() % 100, 'w');
    }
    return text;
}
// Plain text with zero bytes and no UTF-16 byte order mark is refused, naming it; any other
// file is read. Whether it was refused.
bool RefusedAsZeroBytes(TInformationReader &reader, const std::string &name)
{
    const std::string bytes = LoadFileBytes(name);
    const bool zeroBytes = bytes.find('\0') != std::string::npos &&
                           bytes.compare(0, 5, "{\\rtf") != 0 &&
                           bytes.compare(0, 2, "\xFF\xFE") != 0 &&
                           bytes.compare(0, 2, "\xFE\xFF") != 0;
    try {
        reader.Read(name);
    } catch (const EStreamError &error) {
        if (!zeroBytes || std::string(error.what()).find(name + " holds zero bytes") ==
                              std::string::npos)
            throw;
        return true;
    }
    if (zeroBytes)
        QTest::qFail("a file of zero bytes was read", __FILE__, __LINE__);
    return false;
}
} // namespace

class TestTemplateCheck : public QObject
{
    Q_OBJECT

private slots:
    void informationLines_data();
    void informationLines();
    void fileReadMatchesPane();
    void visibleText_data();
    void visibleText();
    void malformedRichTextEnds();
    void placeholdersInOrder();
    void missingUnusedAndEvaluated();
    void splitPlaceholders();
    void outcomeFollowsTheMerge_data();
    void outcomeFollowsTheMerge();
    void samplesMerge_data();
    void samplesMerge();
    void formNeedsOverwrite();
};

void TestTemplateCheck::informationLines_data()
{
    QTest::addColumn<std::string>("content");
    QTest::addColumn<std::vector<std::string>>("lines");
    using V = std::vector<std::string>;
    QTest::newRow("crlf") << std::string("a\r\nb\r\nc\r\nd\r\n") << V{"a", "b", "c", "d"};
    QTest::newRow("final empty line not counted")
        << std::string("a\r\nb\r\nc\r\nd\r\n\r\n") << V{"a", "b", "c", "d", ""};
    QTest::newRow("five lines") << std::string("1\n2\n3\n4\n5") << V{"1", "2", "3", "4", "5"};
    QTest::newRow("cr alone") << std::string("a\rb\r") << V{"a", "b"};
    QTest::newRow("empty line inside") << std::string("a\n\nb\n") << V{"a", "", "b"};
    QTest::newRow("empty file") << std::string() << V{};
    // Lines come as UTF-8, whatever the file's encoding.
    QTest::newRow("1252 bytes") << std::string("Caf\xE9\r\n") << V{"Caf\xC3\xA9"};
    QTest::newRow("UTF-16 with its mark")
        << std::string("\xFF\xFEN\0a\0\r\0\n\0\x42\x01\x00\x4E\r\0\n\0", 16)
        << V{"Na", "\xC5\x82\xE4\xB8\x80"};
    QTest::newRow("UTF-16, big end first")
        << std::string("\xFE\xFF\0N\0a\0\r\0\n", 10) << V{"Na"};
    QTest::newRow("rich text")
        << std::string("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\r\n"
                       "\\viewkind4\\uc1\\pard\\f0\\fs20 Name\\par\r\nJ\\'f6rg \\b M\\b0 "
                       "\\u8364?5\\par\r\n}\r\n")
        << V{"Name", "J\xC3\xB6rg M\xE2\x82\xAC"
                     "5"};
    QTest::newRow("rich text without final par") << std::string("{\\rtf1 a\\par b}") << V{"a", "b"};
    // A manual line break ends a line, as it ends one in the information pane.
    QTest::newRow("manual line breaks")
        << std::string("{\\rtf1 a\\line b\\par c}") << V{"a", "b", "c"};
    QTest::newRow("vertical tab in plain text") << std::string("a\vb\r\nc\r\n") << V{"a", "b", "c"};
}

void TestTemplateCheck::informationLines()
{
    QFETCH(std::string, content);
    QFETCH(std::vector<std::string>, lines);
    QFile file(QStringLiteral("lines.inf"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content.data(), static_cast<qint64>(content.size()));
    file.close();
    QCOMPARE(ReadInformationFile("lines.inf"), lines);
}

// The reader takes the lines of a plain text file without loading it into its control; they
// must be the control's own, for every file there is.
void TestTemplateCheck::fileReadMatchesPane()
{
    TInformationReader reader;
    int files = 0;
    for (const char *folder : {ZARVEL_SOURCE_DIR "/tests/data", ZARVEL_SOURCE_DIR "/samples"}) {
        QDirIterator data(QString::fromUtf8(folder), {QStringLiteral("*.inf")}, QDir::Files,
                          QDirIterator::Subdirectories);
        while (data.hasNext()) {
            const std::string name = data.next().toStdString();
            if (!RefusedAsZeroBytes(reader, name))
                QCOMPARE(reader.Read(name), InformationPaneLines(name));
            ++files;
        }
    }
    QVERIFY(files > 0);
    std::mt19937 random(1252);
    for (int i = 0; i < 400; ++i) {
        const std::string content = RandomTextFile(random);
        WriteFile("random.inf", content);
        if (RefusedAsZeroBytes(reader, "random.inf"))
            continue;
        const std::vector<std::string> lines = reader.Read("random.inf");
        if (lines != InformationPaneLines("random.inf"))
            QFAIL(QByteArray("lines differ for the bytes ")
                      .append(QByteArray::fromStdString(content).toPercentEncoding())
                      .constData());
    }
}

void TestTemplateCheck::visibleText_data()
{
    QTest::addColumn<std::string>("raw");
    QTest::addColumn<std::string>("visible");
    QTest::newRow("tables skipped")
        << std::string("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red1\\green2\\blue3;}"
                       "{\\*\\generator X;}\\pard Hi\\par}")
        << std::string("Hi\n");
    QTest::newRow("escapes") << std::string("{\\rtf1 \\{a\\}\\\\\\tab b\\~c}")
                             << std::string("{a}\\\tb\xA0"
                                            "c");
    QTest::newRow("unicode skips fallback")
        << std::string("{\\rtf1\\uc2 x\\u8212\\'97\\'97y}") << std::string("x\x97y");
    QTest::newRow("binary data skipped")
        << std::string("{\\rtf1 a\\bin3 @1}b}") << std::string("ab");
    QTest::newRow("raw line ends ignored") << std::string("{\\rtf1 a\r\nb}") << std::string("ab");
}

void TestTemplateCheck::visibleText()
{
    QFETCH(std::string, raw);
    QFETCH(std::string, visible);
    QCOMPARE(TRtfTextMap(raw).Text(), visible);
}

void TestTemplateCheck::malformedRichTextEnds()
{
    for (const std::string raw :
         {std::string("{\\rtf1 }}}} a"), std::string("{\\rtf1 \\"), std::string("{\\rtf1 \\'4"),
          std::string("{\\rtf1 \\u"), std::string("{\\rtf1 \\bin999999 x"),
          std::string(100000, '{') + "x", std::string("{\\rtf1 \\uc99999999 \\u65 abc"),
          "{\\rtf1 " + std::string(100000, '{') + " @1 @", std::string("{\\rtf1 \\u8364@12")}) {
        const TRtfTextMap map(raw);
        for (std::size_t i = 0; i < map.Text().size(); ++i)
            QVERIFY(map.RawOffset(i) < raw.size());
        // The placeholder scanner and the merge get through it too, in both modes.
        for (const bool overwrite : {false, true})
            QVERIFY(TTemplateCheck(raw, std::nullopt, overwrite).MergeRunsToEnd());
    }
}

void TestTemplateCheck::placeholdersInOrder()
{
    const TTemplateCheck check("{\\rtf1 @2 @1 @2\\par jo@example.com @2, @3,5}\r\n", std::nullopt,
                               false);
    std::vector<std::pair<std::string, int>> seen;
    for (const auto &placeholder : check.Placeholders())
        seen.emplace_back(placeholder.Text, placeholder.Count);
    const std::vector<std::pair<std::string, int>> expected{{"@2", 3}, {"@1", 1}, {"@3", 1}};
    QCOMPARE(seen, expected);
    QVERIFY(check.MergeRunsToEnd()); // the e-mail address is ordinary text
}

void TestTemplateCheck::missingUnusedAndEvaluated()
{
    const std::vector<std::string> lines{
        "Name", "Ann", "Total", "2*3",  "Phone",      "01632 960", "Ref",       "see @5", "Inner",
        "x",    "Bad", "1/0",   "Date", "08/12/2026", "Code",      "'555-0142", "Spare"};
    const TTemplateCheck check("@1 @2 @4 @6 @7 @8 @9\r\n", lines, false);

    std::vector<std::string> missing;
    for (const auto &placeholder : check.MissingValues())
        missing.push_back(placeholder.Text);
    QCOMPARE(missing, (std::vector<std::string>{"@9"}));

    // Pair 5 is used through the value of pair 4; pair 3 by nothing.
    QCOMPARE(check.UnusedPairs().size(), std::size_t(1));
    QCOMPARE(check.UnusedPairs()[0].Pair, 3L);
    QCOMPARE(check.UnusedPairs()[0].Heading, std::string("Phone"));

    const auto &evaluated = check.EvaluatedValues();
    QCOMPARE(evaluated.size(), std::size_t(4));
    QCOMPARE(evaluated[0].Pair, 2L);
    QCOMPARE(evaluated[0].Merged, std::string("        6.00"));
    QVERIFY(evaluated[0].Error.empty());
    QVERIFY(!evaluated[0].LooksLikeDateOrCode);
    QCOMPARE(evaluated[1].Pair, 6L);
    QCOMPARE(evaluated[1].Merged, std::string("1/0"));
    QCOMPARE(evaluated[1].Error, std::string("Floating point division by zero"));
    // A date is computed all the same, but the check warns about it.
    QCOMPARE(evaluated[2].Pair, 7L);
    QVERIFY(evaluated[2].Error.empty());
    QVERIFY(evaluated[2].LooksLikeDateOrCode);
    QCOMPARE(evaluated[3].Pair, 8L);
    QVERIFY(evaluated[3].Quoted);
    QCOMPARE(evaluated[3].Merged, std::string("555-0142"));
    QVERIFY(!evaluated[3].LooksLikeDateOrCode);

    QCOMPARE(int(check.Outcome().Stop), int(TMergeStop::MissingValue));
    QCOMPARE(check.Outcome().Placeholder, std::string("@9"));
}

void TestTemplateCheck::splitPlaceholders()
{
    const std::string raw = "{\\rtf1\\ansi\\pard @1{\\b 2} and {\\i @}3 and \\'404 and @5 and "
                            "@6\r\n7\\par}\r\n";
    const TTemplateCheck check(raw, std::nullopt, false);
    const auto &splits = check.SplitPlaceholders();
    QCOMPARE(splits.size(), std::size_t(2));
    QCOMPARE(splits[0].Visible, std::string("@12"));
    QCOMPARE(splits[0].MergeReads, std::string("@1"));
    QCOMPARE(splits[0].Line, std::size_t(1));
    QCOMPARE(splits[1].Visible, std::string("@4"));
    QCOMPARE(splits[1].MergeReads, std::string()); // written as \'40: the merge never sees it
    // Split only by a group's end or a raw line end, which change nothing a reader sees: the
    // merge reads them whole.
    std::vector<std::string> read;
    for (const auto &placeholder : check.Placeholders())
        read.push_back(placeholder.Text);
    QCOMPARE(read, (std::vector<std::string>{"@1", "@3", "@5", "@67"}));
}

void TestTemplateCheck::outcomeFollowsTheMerge_data()
{
    QTest::addColumn<std::string>("templ");
    QTest::addColumn<bool>("withInformation");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<bool>("runsToEnd");
    QTest::newRow("all values") << std::string("@1 @2\r\n") << true << false << true;
    QTest::newRow("missing value") << std::string("@1 @3\r\n") << true << false << false;
    QTest::newRow("template alone") << std::string("@1 @3\r\n") << false << false << true;
    QTest::newRow("template alone, glued to a letter")
        << std::string("A@1 @2\r\n") << false << false << true;
    QTest::newRow("template alone, overwrite") << std::string("A@1 \r\n") << false << true << true;
    QTest::newRow("clash") << std::string("@1 @2\r\n") << true << true << false;
    QTest::newRow("template alone, pair 0") << std::string("@0\r\n") << false << false << false;
}

void TestTemplateCheck::outcomeFollowsTheMerge()
{
    QFETCH(std::string, templ);
    QFETCH(bool, withInformation);
    QFETCH(bool, overwrite);
    QFETCH(bool, runsToEnd);
    std::optional<std::vector<std::string>> lines;
    if (withInformation)
        lines = std::vector<std::string>{"h", "Long value", "h", "v2"};
    const TTemplateCheck check(templ, lines, overwrite);
    QCOMPARE(check.MergeRunsToEnd(), runsToEnd);
    if (withInformation) {
        TMergeEngine engine(*lines);
        engine.SetOverwriteMode(overwrite);
        QCOMPARE(check.Outcome().Text, engine.Merge(templ).Text);
    }
}

void TestTemplateCheck::samplesMerge_data()
{
    QTest::addColumn<QString>("templ");
    QTest::addColumn<QString>("information");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<QString>("mustContain");
    QTest::newRow("letter, Smith") << "letter.tem"
                                   << "letter-smith.inf" << false << "Dear Mrs Smith\\par";
    QTest::newRow("letter, Jones") << "letter.tem"
                                   << "letter-jones.inf" << false << "Priya Raman";
    QTest::newRow("form") << "form.tem"
                          << "form.inf" << true << "Customer: Millbrook Garden";
    QTest::newRow("quote") << "quote.tem"
                           << "quote.inf" << false << "     1615.00\\par";
}

void TestTemplateCheck::samplesMerge()
{
    QFETCH(QString, templ);
    QFETCH(QString, information);
    QFETCH(bool, overwrite);
    QFETCH(QString, mustContain);
    const std::string text = LoadTextFile(SamplePath(qPrintable(templ)));
    const std::vector<std::string> lines = ReadInformationFile(SamplePath(qPrintable(information)));
    QCOMPARE(lines.size() % 2, std::size_t(0));

    const TTemplateCheck check(text, lines, overwrite);
    QVERIFY(check.MissingValues().empty());
    QVERIFY(check.UnusedPairs().empty());
    QVERIFY(check.SplitPlaceholders().empty());
    QVERIFY(check.MergeRunsToEnd());
    QVERIFY(check.Outcome().Text.find('@') == std::string::npos);
    QVERIFY2(check.Outcome().Text.find(mustContain.toStdString()) != std::string::npos,
             qPrintable(mustContain));
}

void TestTemplateCheck::formNeedsOverwrite()
{
    const std::string text = LoadTextFile(SamplePath("form.tem"));
    TMergeEngine engine(ReadInformationFile(SamplePath("form.inf")));
    engine.SetOverwriteMode(true);
    const TMergeResult overwritten = engine.Merge(text);
    QVERIFY(overwritten.Finished());
    // Every line keeps its length, so every column stays where the form puts it.
    const auto before = SplitCrLf(text);
    const auto after = SplitCrLf(overwritten.Text);
    QCOMPARE(after.size(), before.size());
    int lineWithSeveral = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        QCOMPARE(after[i].size(), before[i].size());
        if (std::count(before[i].begin(), before[i].end(), '@') > 1)
            ++lineWithSeveral;
    }
    QVERIFY(lineWithSeveral >= 3);

    engine.SetOverwriteMode(false);
    const TMergeResult inserted = engine.Merge(text);
    QVERIFY(inserted.Finished());
    QVERIFY(SplitCrLf(inserted.Text) != after);
}

ZARVEL_TEST_MAIN(TestTemplateCheck)
#include "tst_templatecheck.moc"
