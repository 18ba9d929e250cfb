// The merge engine without a window: what a placeholder is, the two modes, the stops, the
// hooks.
#include "TestEnvironment.h"

#include "assembly/AssemblyTexts.h"
#include "assembly/HeadingBalloon.h"
#include "assembly/TMergeEngine.h"
#include "assembly/TPlaceholderScanner.h"
#include "text/StringUtils.h"

#include <QFile>
#include <QtTest>

#include <cctype>
#include <string>
#include <vector>

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(TMergeStop)
Q_DECLARE_METATYPE(std::vector<std::string>)

namespace {
// Information lines for the values v1..vn, each with a heading.
std::vector<std::string> Pairs(const std::vector<std::string> &values)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < values.size(); ++i) {
        lines.push_back("Heading " + std::to_string(i + 1));
        lines.push_back(values[i]);
    }
    return lines;
}

QByteArray Bytes(const std::string &text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

class TestMergeEngine : public QObject
{
    Q_OBJECT

private slots:
    void placeholders_data();
    void placeholders();
    void merge_data();
    void merge();
    void stopMessages();
    void overwriteClashMessage();
    void hooksSeeEveryCompletedStep();
    void debugFileHoldsLastCompletedStep();
    void endlessValuesStopQuickly_data();
    void endlessValuesStopQuickly();
    void missingTemplateFileRaises();
    void captions();
    void headingBalloon_data();
    void headingBalloon();
};

void TestMergeEngine::placeholders_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<QStringList>("found");
    const auto rtf = [](const std::string &body) { return "{\\rtf1\\ansi " + body + "\\par}"; };
    const bool insert = false;
    QTest::newRow("ordinary") << rtf("Dear @1, re @12:") << insert << QStringList{"@1", "@12"};
    QTest::newRow("e-mail address")
        << rtf("jo@example.com or jo@1x.com") << insert << QStringList{};
    QTest::newRow("price after an at sign") << rtf("@3,50 each") << insert << QStringList{"@3"};
    QTest::newRow("glued to a placeholder") << rtf("@1@2") << insert << QStringList{"@1"};
    QTest::newRow("leading zero kept") << rtf("@007") << insert << QStringList{"@007"};
    QTest::newRow("digit on the next raw line")
        << rtf("@1\r\n5 units") << insert << QStringList{"@1"};
    QTest::newRow("after a control word") << rtf("\\fs24@1") << insert << QStringList{"@1"};
    QTest::newRow("glued to a letter") << rtf("Ref@1") << insert << QStringList{};
    QTest::newRow("glued to a letter, overwrite") << rtf("Ref@1") << true << QStringList{"@1"};
    QTest::newRow("glued to a digit") << rtf("No.12@1") << insert << QStringList{};
    QTest::newRow("formatting is no visible text") << rtf("Ref{\\b @1}") << insert << QStringList{};
    QTest::newRow("escaped letter") << rtf("caf\\'e9@1") << insert << QStringList{};
    QTest::newRow("escaped pound sign") << rtf("\\'a3@1") << insert << QStringList{"@1"};
    QTest::newRow("escaped backslash and brace")
        << rtf("\\\\@1 \\{@2") << insert << QStringList{"@1", "@2"};
    QTest::newRow("letter outside the code page") << rtf("\\u952?@1") << insert << QStringList{};
    QTest::newRow("bookmark name is no visible text")
        << rtf("see {\\*\\bkmkstart a1}@1") << insert << QStringList{"@1"};
    QTest::newRow("written as an escape") << rtf("\\'401 and @ 2") << insert << QStringList{};
    QTest::newRow("plain text") << std::string("Ref@1 or \\@2\r\n") << insert << QStringList{"@2"};
}

void TestMergeEngine::placeholders()
{
    QFETCH(std::string, text);
    QFETCH(bool, overwrite);
    QFETCH(QStringList, found);
    QStringList seen;
    TPlaceholderScanner scanner(text, TPlaceholderScanner::KindOf(text), overwrite);
    while (const auto match = scanner.Next()) {
        QCOMPARE(text.substr(match->Position, match->Text.size()), match->Text);
        QCOMPARE(match->Number, std::stol(match->Text.substr(1)));
        seen << QString::fromStdString(match->Text);
    }
    QCOMPARE(seen, found);
}

void TestMergeEngine::merge_data()
{
    QTest::addColumn<std::string>("templ");
    QTest::addColumn<std::vector<std::string>>("lines");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<std::string>("expected");
    QTest::addColumn<int>("count");
    QTest::addColumn<TMergeStop>("stop");

    using V = std::vector<std::string>;
    const auto none = TMergeStop::None;
    QTest::newRow("three @1 and one @2")
        << std::string("@1 and @1\\par @2 @1\\par\r\n") << Pairs({"Ann", "Bob"}) << false
        << std::string("Ann and Ann\\par Bob Ann\\par\r\n") << 4 << none;
    QTest::newRow("@1 leaves @12 alone")
        << std::string("@1 @12\r\n")
        << Pairs({"one", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "twelve"}) << false
        << std::string("one twelve\r\n") << 2 << none;
    QTest::newRow("expression value") << std::string("=@1=\r\n") << Pairs({"2*3"}) << false
                                      << std::string("=        6.00=\r\n") << 1 << none;
    QTest::newRow("plain value unchanged")
        << std::string("=@1=\r\n") << Pairs({"12 Main Street"}) << false
        << std::string("=12 Main Street=\r\n") << 1 << none;
    QTest::newRow("rejected expression kept") << std::string("@1\r\n") << Pairs({"D-408"}) << false
                                              << std::string("D-408\r\n") << 1 << none;
    QTest::newRow("overwrite two letters") << std::string("@1   |\r\n") << Pairs({"AB"}) << true
                                           << std::string("AB   |\r\n") << 1 << none;
    QTest::newRow("overwrite four letters") << std::string("@1   |\r\n") << Pairs({"ABCD"}) << true
                                            << std::string("ABCD |\r\n") << 1 << none;
    QTest::newRow("overwrite one letter") << std::string("@1   |\r\n") << Pairs({"A"}) << true
                                          << std::string("A    |\r\n") << 1 << none;
    QTest::newRow("overwrite every occurrence one by one")
        << std::string("@1  @1  @2  \r\n") << Pairs({"ab", "cd"}) << true
        << std::string("ab  ab  cd  \r\n") << 3 << none;
    QTest::newRow("overwrite clash") << std::string("@1 @2\r\n") << Pairs({"ABCD", "x"}) << true
                                     << std::string("@1 @2\r\n") << 0 << TMergeStop::OverwriteClash;
    QTest::newRow("ordinary at signs merged unchanged")
        << std::string("jo@example.com @1@2 @3,50 @1Z\r\n") << Pairs({"Ann", "Bob", "7"}) << false
        << std::string("jo@example.com Ann@2 7,50 AnnZ\r\n") << 3 << none;
    // Bytes that are no UTF-8 (a lead beyond U+10FFFF, an overlong form, a surrogate) are each
    // a replacement character, never a code point that rich text cannot hold.
    QTest::newRow("broken UTF-8 in a value")
        << std::string("{\\rtf1\\ansi\\uc1 @1\\par}")
        << Pairs({"a\xF5\x88\x88\x88" "b\xC0\xAF\xED\xA0\x80" "c"}) << false
        << std::string("{\\rtf1\\ansi\\uc1 a\\u-3?\\u-3?\\u-3?\\u-3?b\\u-3?\\u-3?\\u-3?\\u-3?"
                       "\\u-3?c\\par}")
        << 1 << none;
    QTest::newRow("apostrophe keeps a value from the evaluator")
        << std::string("@1 @2\r\n") << Pairs({"'01632-960418", "'Twas"}) << false
        << std::string("01632-960418 'Twas\r\n") << 2 << none;
    QTest::newRow("value with a placeholder") << std::string("@1 end\r\n") << Pairs({"see @2", "Y"})
                                              << false << std::string("see Y end\r\n") << 2 << none;
    QTest::newRow("chain of values") << std::string("@3 @1\r\n") << Pairs({"[@2]", "(@3)", "z"})
                                     << false << std::string("z [(z)]\r\n") << 4 << none;
    QTest::newRow("three lines, pair 2")
        << std::string("@1 @2\r\n") << V{"h1", "v1", "h2"} << false << std::string("v1 @2\r\n") << 1
        << TMergeStop::MissingValue;
    QTest::newRow("empty information")
        << std::string("Dear @1\r\n") << V{} << false << std::string("Dear @1\r\n") << 0
        << TMergeStop::MissingValue;
    QTest::newRow("no placeholder") << std::string("{\\rtf1 plain\\par}\r\n") << V{} << false
                                    << std::string("{\\rtf1 plain\\par}\r\n") << 0 << none;
    QTest::newRow("glued to a capital, insert")
        << std::string("AB@1 and @1\r\n") << Pairs({"x"}) << false << std::string("AB@1 and x\r\n")
        << 1 << none;
    QTest::newRow("glued to a capital, overwrite") << std::string("AB@1 \r\n") << Pairs({"x"})
                                                   << true << std::string("ABx  \r\n") << 1 << none;
    QTest::newRow("self reference") << std::string("@1\r\n") << Pairs({"again @1"}) << false
                                    << std::string("@1\r\n") << 0 << TMergeStop::Circle;
    QTest::newRow("circle met after a step")
        << std::string("@3 @1 @2\r\n") << Pairs({"@2", "@1", "c"}) << false
        << std::string("c @1 @2\r\n") << 1 << TMergeStop::Circle;
    QTest::newRow("overwrite self reference") << std::string("@1 \r\n") << Pairs({"x@1"}) << true
                                              << std::string("@1 \r\n") << 0 << TMergeStop::Circle;
}

void TestMergeEngine::merge()
{
    QFETCH(std::string, templ);
    QFETCH(std::vector<std::string>, lines);
    QFETCH(bool, overwrite);
    QFETCH(std::string, expected);
    QFETCH(int, count);
    QFETCH(TMergeStop, stop);

    TMergeEngine engine(lines);
    engine.SetOverwriteMode(overwrite);
    const TMergeResult result = engine.Merge(templ);
    QCOMPARE(int(result.Stop), int(stop));
    QCOMPARE(result.Finished(), stop == TMergeStop::None);
    if (count >= 0) {
        QCOMPARE(Bytes(result.Text), Bytes(expected));
        QCOMPARE(result.Count, count);
    }
    if (overwrite && stop == TMergeStop::None)
        QCOMPARE(result.Text.size(), templ.size());
    QCOMPARE(result.MessageText.empty(), stop == TMergeStop::None);
}

void TestMergeEngine::stopMessages()
{
    const TMergeEngine engine(Pairs({"x"}));
    const TMergeResult missing = engine.Merge("@1 @2\r\n");
    QCOMPARE(missing.Placeholder, std::string("@2"));
    QCOMPARE(missing.MessageCaption, std::string("Zarvel"));
    QCOMPARE(missing.MessageIcon, 'H');
    // The known text first, then the placeholder and the line it needs.
    QCOMPARE(missing.MessageText,
             std::string("Your TEMPLATE file contains a value;that is not in the INFORMATION "
                         "file ;Please correct the error before proceeding;;@2 needs line 4 of "
                         "the INFORMATION file, which has 2 lines."));
    QVERIFY(engine.Merge("@0\r\n").MessageText.find("@0 names pair 0") != std::string::npos);

    const TMergeResult circle =
        TMergeEngine(Pairs({"@2", "b @3", "c @2"})).Merge("Start @1 end\r\n");
    QCOMPARE(int(circle.Stop), int(TMergeStop::Circle));
    QCOMPARE(circle.Placeholder, std::string("@2"));
    QCOMPARE(circle.Count, 1);
    QCOMPARE(circle.MessageCaption, std::string("Zarvel"));
    QCOMPARE(circle.MessageText,
             std::string("Values in the INFORMATION file refer to each other in a circle:;@2 "
                         "holds @3, @3 holds @2;so the merge would never end. Please correct the "
                         "error before proceeding"));
}

void TestMergeEngine::overwriteClashMessage()
{
    TMergeEngine engine(Pairs({"ABCD", "x"}));
    engine.SetOverwriteMode(true);
    const TMergeResult result = engine.Merge("@1 @2\r\n");
    QCOMPARE(result.MessageCaption, std::string());
    QCOMPARE(result.MessageIcon, 'H');
    QCOMPARE(result.MessageText,
             std::string(" There is a problem here; The programme wants to insert ABCD; into the "
                         "space of @1;Suggest you re-edit either template or INF file; OR rerun "
                         "this merge with overwrite set to false."));
    // An "@" within the value's length after the placeholder stops it, even though the
    // overwritten area (the two characters after @1) would not reach it.
    engine = TMergeEngine(Pairs({"ABC", "x"}));
    engine.SetOverwriteMode(true);
    QCOMPARE(int(engine.Merge("@1  @2\r\n").Stop), int(TMergeStop::OverwriteClash));
    QVERIFY(engine.Merge("@1   @2\r\n").Finished());
}

void TestMergeEngine::hooksSeeEveryCompletedStep()
{
    TMergeEngine engine(Pairs({"a", "b"}));
    std::vector<int> counts;
    std::vector<std::string> texts;
    std::vector<char> order;
    engine.SetProgressHook([&](int count) {
        counts.push_back(count);
        order.push_back('p');
    });
    engine.SetStepHook([&](const std::string &text) {
        texts.push_back(text);
        order.push_back('s');
    });
    const TMergeResult result = engine.Merge("@1 @1 @2 @9\r\n");
    QCOMPARE(int(result.Stop), int(TMergeStop::MissingValue));
    QCOMPARE(counts, (std::vector<int>{2, 3}));
    QCOMPARE(order, (std::vector<char>{'p', 's', 'p', 's'}));
    QCOMPARE(texts.size(), std::size_t(2));
    QCOMPARE(texts[0], std::string("a a @2 @9\r\n"));
    QCOMPARE(texts.back(), result.Text);
}

void TestMergeEngine::debugFileHoldsLastCompletedStep()
{
    QFile::remove(MergeDebugFileName);
    TMergeEngine engine(Pairs({"first", "second"}));
    engine.SetStepHook(&TMergeEngine::WriteDebugFile);
    engine.Merge("@1 @2 @3\r\n");
    QFile debug(MergeDebugFileName);
    QVERIFY(debug.open(QIODevice::ReadOnly));
    QCOMPARE(debug.readAll(), QByteArray("first second @3\r\n"));
}

void TestMergeEngine::endlessValuesStopQuickly_data()
{
    QTest::addColumn<std::vector<std::string>>("values");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<TMergeStop>("stop");
    QTest::newRow("doubling") << Pairs({"@1 @1"}) << false << TMergeStop::Circle;
    QTest::newRow("growing") << Pairs({"more @1"}) << false << TMergeStop::Circle;
    QTest::newRow("marching overwrite") << Pairs({"x@1"}) << true << TMergeStop::Circle;
    // Each layer names the next one twice: no circle, but the text doubles with every layer.
    std::vector<std::string> layers;
    for (int n = 1; n <= 60; ++n)
        layers.push_back("(@" + std::to_string(n + 1) + " @" + std::to_string(n + 1) + ")");
    layers.push_back("end");
    QTest::newRow("sixty doubling layers") << Pairs(layers) << false << TMergeStop::TooLong;
}

void TestMergeEngine::endlessValuesStopQuickly()
{
    QFETCH(std::vector<std::string>, values);
    QFETCH(bool, overwrite);
    QFETCH(TMergeStop, stop);
    // A long template so that a guard counting characters instead of steps would show.
    std::string templ = "@1" + std::string(100000, ' ') + "\r\n";
    TMergeEngine engine(values);
    engine.SetOverwriteMode(overwrite);
    int steps = 0;
    engine.SetProgressHook([&](int) { ++steps; });
    const TMergeResult result = engine.Merge(templ);
    QCOMPARE(int(result.Stop), int(stop));
    QVERIFY2(steps < 30, qPrintable(QString::number(steps)));
}

void TestMergeEngine::missingTemplateFileRaises()
{
    const TMergeEngine engine(Pairs({"a"}));
    try {
        engine.MergeFile("no-such-template.tem");
        QFAIL("no exception");
    } catch (const std::exception &e) {
        QCOMPARE(std::string(e.what()), std::string("Cannot open file no-such-template.tem"));
    }
}

void TestMergeEngine::captions()
{
    QCOMPARE(MergeProgressCaption(4), std::string("4  replacements  "));
    QCOMPARE(MergeFinishCaption(4), std::string("4 replacements were made"));
    QCOMPARE(std::string(NoTemplateText),
             std::string("You have not chosen a Template file;Please do so"));
}

void TestMergeEngine::headingBalloon_data()
{
    // The text under the mouse, with "|" before the character the mouse is on.
    QTest::addColumn<std::string>("text");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<QString>("expected"); // "" for none, "red" for the red message
    QTest::newRow("on the @, 6 lines") << std::string("Pay |@3 now") << 6 << "head 5";
    QTest::newRow("on the digit") << std::string("Pay @|3 now") << 6 << "head 5";
    QTest::newRow("on the space after") << std::string("Pay @3| now") << 6 << "";
    QTest::newRow("on the letter before") << std::string("Pa|y @3 now") << 6 << "";
    QTest::newRow("empty pane") << std::string("Pay |@3 now") << 0 << "red";
    QTest::newRow("one line") << std::string("Pay |@3 now") << 1 << "red";
    QTest::newRow("comma after") << std::string("Pay @|3, now") << 6 << "head 5";
    QTest::newRow("full stop after") << std::string("|@3.") << 6 << "head 5";
    QTest::newRow("line end after") << std::string("Pay @|3\rnext") << 6 << "head 5";
    QTest::newRow("end of the text") << std::string("Pay @|2") << 6 << "head 3";
    QTest::newRow("digits end at a non-digit") << std::string("@|3,50") << 6 << "head 5";
    QTest::newRow("second digit of two") << std::string("@1|2 x") << 30 << "head 23";
    QTest::newRow("after a tab") << std::string("x\t@|1") << 6 << "head 1";
    QTest::newRow("e-mail address") << std::string("jo|@3x.com") << 6 << "";
    QTest::newRow("glued to a letter") << std::string("Ref|@3") << 6 << "";
    QTest::newRow("glued to an accented letter") << std::string("caf\xe9|@3") << 6 << "";
    QTest::newRow("glued to a placeholder") << std::string("@1|@2") << 6 << "";
    QTest::newRow("@ without digits") << std::string("a |@ b") << 6 << "";
    QTest::newRow("no such heading") << std::string("|@4 ") << 6 << "";
    QTest::newRow("heading line only") << std::string("|@4 ") << 7 << "head 7";
    QTest::newRow("pair 0") << std::string("|@0 ") << 6 << "";
    QTest::newRow("pair 0, empty pane") << std::string("|@0 ") << 0 << "red";
    QTest::newRow("huge number") << std::string("|@99999999999 ") << 6 << "";
    QTest::newRow("empty heading") << std::string("|@2 ") << 6 << "";
}

void TestMergeEngine::headingBalloon()
{
    QFETCH(std::string, text);
    QFETCH(int, lineCount);
    QFETCH(QString, expected);
    const std::size_t index = text.find('|');
    text.erase(index, 1);
    std::vector<std::string> lines;
    for (int i = 1; i <= lineCount; ++i)
        lines.push_back(QTest::currentDataTag() == QByteArray("empty heading") && i == 3
                            ? std::string()
                            : "head " + std::to_string(i));
    const auto span = PlaceholderAt(text, index);
    const auto balloon = span ? HeadingBalloonFor(span->Number, lines) : std::nullopt;
    QCOMPARE(balloon.has_value(), !expected.isEmpty());
    if (!balloon)
        return;
    // The span is the "@" and its digits.
    QCOMPARE(text[span->Start], '@');
    QVERIFY(span->End > span->Start + 1);
    QVERIFY(span->End == text.size() || !std::isdigit(static_cast<unsigned char>(text[span->End])));
    if (expected == "red") {
        QVERIFY(balloon->NoInformation);
        QCOMPARE(balloon->Text,
                 std::string("You have not chosen an information file@You need to "
                             "complete this step@or there will be nothing to merge"));
    } else {
        QVERIFY(!balloon->NoInformation);
        QCOMPARE(QString::fromStdString(balloon->Text), expected);
    }
}

ZARVEL_TEST_MAIN(TestMergeEngine)
#include "tst_mergeengine.moc"
