// zarvel-cli merge and check, run as a separate process the way a user's script runs them.
#include "CliProcess.h"
#include "InformationPaneLines.h"
#include "MergeCases.h"
#include "TestEnvironment.h"

#include "assembly/AssemblyTexts.h"
#include "assembly/TInformationReader.h"
#include "assembly/TMergeEngine.h"
#include "assembly/TPlainInformationFile.h"
#include "text/StringUtils.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

namespace {
struct TRun
{
    int ExitCode = -1;
    QString Out;
    QString Err;
};

QString Sample(const char *name)
{
    return QStringLiteral(ZARVEL_SOURCE_DIR "/samples/") + name;
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Bytes of a text file: pieces of ASCII, UTF-8, UTF-16 and bytes that are neither.
QByteArray RandomTextFile(std::mt19937 &random)
{
    static const QByteArray Pieces[] = {"\r",           "\n",
                                        "\r\n",         "\v",
                                        "\t",           QByteArray("\0", 1),
                                        "Name",         " ",
                                        "@1",           "{\\rtf1",
                                        "\xC3\xA9",     "\xE2\x82\xAC",
                                        "\xE2\x80\xA8", "\xE2\x80\xA9",
                                        "\xEF\xBB\xBF", "\xEF\xBF\xBC",
                                        "\xEF\xB7\x90", "\xF0\x9F\x98\x80",
                                        "\xE9",         "\x80\x81",
                                        "\xFF\xFE"};
    static const QByteArray Starts[] = {"",         "",         "",        "\xEF\xBB\xBF",
                                        "\xFF\xFE", "\xFE\xFF", "{\\rtf1 "};
    QByteArray text = Starts[random() % std::size(Starts)];
    // Mostly one kind of text, so that each kind is read as itself often enough.
    const std::size_t kinds = 1 + random() % std::size(Pieces);
    for (int i = int(random() % 40); i > 0; --i)
        text += Pieces[random() % kinds];
    return text;
}

const QByteArray Template = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss "
                            "Arial;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 Dear @1,\\par\r\n"
                            "Your order @2 ships on @3.\\par\r\n}\r\n";
} // namespace

class TestCliMerge : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void mergesTheSharedCases_data();
    void mergesTheSharedCases();
    void missingValueNamesThePlaceholder();
    void checkListsComputedValues();
    void oneCaseWritesTheEnginesText_data();
    void oneCaseWritesTheEnginesText();
    void htmlOutput_data();
    void htmlOutput();
    void batchWithOneFailingCase();
    void batchAsHtml();
    void killedBatchLeavesOnlyWholeLetters();
    void overwriteClashStopsTheCase();
    void workingFilesOnlyWhenAsked();
    void usageErrors_data();
    void usageErrors();
    void unreadableTemplate();
    void checkRunsToTheEnd();
    void checkReportsProblems();
    void checkTemplateAlone_data();
    void checkTemplateAlone();
    void hostileValuesGiveLettersThatOpen_data();
    void hostileValuesGiveLettersThatOpen();
    void reportsWhatTheMergeLeftOrPushed();
    void outputNeverReplacesAnInput();
    void informationFilesThatAreNotPairs();
    void templateIsReadWhole();
    void plainTemplateKeepsItsEncoding();
    void valuesThatAreNoSums();
    void plainInformationReadAsThePaneReadsIt();

private:
    TRun Run(const QStringList &arguments);
    QTemporaryDir *FDir = nullptr;
    std::unique_ptr<QTemporaryDir> FOwner;
};

TRun TestCliMerge::Run(const QStringList &arguments)
{
    const TCliRun run = RunCli(arguments, FDir->path());
    return {run.ExitCode, QString::fromLocal8Bit(run.Out), QString::fromLocal8Bit(run.Err)};
}

void TestCliMerge::init()
{
    // A fresh working folder for each case, so that leftover files show.
    FOwner = std::make_unique<QTemporaryDir>(QDir::current().filePath("case-XXXXXX"));
    FDir = FOwner.get();
    QVERIFY(FDir->isValid());
    WriteAll(FDir->filePath("order.tem"), Template);
    WriteAll(FDir->filePath("ann.inf"),
             "Name\r\nMrs Ann Lee\r\nOrder\r\nA-77\r\nDate\r\nMonday\r\n");
    WriteAll(FDir->filePath("bob.inf"), "Name\nBob\nOrder\n12*2\nDate\nTuesday\n");
    WriteAll(FDir->filePath("short.inf"), "Name\r\nCarl\r\nOrder\r\n99\r\nDate\r\n");
}

// The same files and expectations as the window's merge tests; the merged file is read back as
// the document pane reads it.
void TestCliMerge::mergesTheSharedCases_data()
{
    MergeCases::AddFinishing();
}

void TestCliMerge::mergesTheSharedCases()
{
    QFETCH(QString, templ);
    QFETCH(QString, information);
    QFETCH(QString, expected);
    QFETCH(int, count);
    const TRun run =
        Run({"merge", MergeCases::File(templ), MergeCases::File(information), "-o", "out.rtf"});
    QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));
    QVERIFY2(run.Out.contains(QStringLiteral(": %1 replacements").arg(count)), qPrintable(run.Out));
    const TRun text = Run({"text", "out.rtf"});
    QCOMPARE(text.ExitCode, 0);
    QCOMPARE(text.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), MergeCases::Lines(expected));
}

void TestCliMerge::missingValueNamesThePlaceholder()
{
    const TRun run = Run({"merge", MergeCases::File(MergeCases::StoppingTemplate),
                          MergeCases::File(MergeCases::StoppingInformation), "-o", "out.rtf"});
    QCOMPARE(run.ExitCode, 1);
    QVERIFY2(run.Err.contains(QString(MissingValueText) + ";;" + MergeCases::StoppingMessageEnd),
             qPrintable(run.Err));
    QVERIFY(!QFile::exists(FDir->filePath("out.rtf")));
}

void TestCliMerge::checkListsComputedValues()
{
    const TRun run = Run({"check", MergeCases::File(MergeCases::StoppingTemplate),
                          MergeCases::File(MergeCases::StoppingInformation)});
    QCOMPARE(run.ExitCode, 1);
    const QStringList report = run.Out.split(QLatin1Char('\n'));
    for (const QString &line : MergeCases::Lines(MergeCases::StoppingCheckLines))
        QVERIFY2(report.contains(line), qPrintable(line + "\n" + run.Out));
}

void TestCliMerge::oneCaseWritesTheEnginesText_data()
{
    QTest::addColumn<QString>("templ");
    QTest::addColumn<QString>("information");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("overwrite");
    QTest::newRow("rtf name") << "order.tem"
                              << "ann.inf"
                              << "ann.rtf" << false;
    QTest::newRow("tem name, expression value") << "order.tem"
                                                << "bob.inf"
                                                << "bob.TEM" << false;
    QTest::newRow("sample letter")
        << Sample("letter.tem") << Sample("letter-smith.inf") << "smith.rtf" << false;
    QTest::newRow("sample form") << Sample("form.tem") << Sample("form.inf") << "form.rtf" << true;
}

void TestCliMerge::oneCaseWritesTheEnginesText()
{
    QFETCH(QString, templ);
    QFETCH(QString, information);
    QFETCH(QString, output);
    QFETCH(bool, overwrite);
    QStringList arguments{"merge", templ, information, "-o", output};
    if (overwrite)
        arguments << "--overwrite";
    const TRun run = Run(arguments);
    QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));

    const QString at = FDir->path() + "/";
    const QString templPath = QFileInfo(templ).isAbsolute() ? templ : at + templ;
    const QString infPath = QFileInfo(information).isAbsolute() ? information : at + information;
    TMergeEngine engine(TInformationReader().Read(infPath.toStdString()));
    engine.SetOverwriteMode(overwrite);
    const TMergeResult expected = engine.MergeFile(templPath.toStdString());
    QVERIFY(expected.Finished());
    QCOMPARE(ReadAll(at + output), QByteArray::fromStdString(expected.Text));
    QVERIFY(run.Out.contains(QString::number(expected.Count) + " replacements"));
}

void TestCliMerge::htmlOutput_data()
{
    QTest::addColumn<QString>("output");
    QTest::newRow("html") << "ann.html";
    QTest::newRow("htm") << "ann.HTM";
}

void TestCliMerge::htmlOutput()
{
    QFETCH(QString, output);
    const TRun run = Run({"merge", "order.tem", "ann.inf", "-o", output});
    QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));
    const QByteArray html = ReadAll(FDir->filePath(output));
    QVERIFY(html.toUpper().startsWith("<HTML>"));
    QVERIFY(html.contains("Dear Mrs Ann Lee,"));
    QVERIFY(!html.contains("\\par"));
    QVERIFY(!html.contains("@1"));
}

void TestCliMerge::batchWithOneFailingCase()
{
    WriteAll(FDir->filePath("stale.txt"), "x");
    const TRun run =
        Run({"merge", "order.tem", "ann.inf", "short.inf", "bob.inf", "--out-dir", "letters"});
    QVERIFY(run.ExitCode != 0);
    QVERIFY2(run.Err.contains("short.inf: " + QString(MissingValueText)), qPrintable(run.Err));
    QVERIFY(!run.Err.contains("ann.inf"));
    QVERIFY(!run.Err.contains("bob.inf"));

    const QDir letters(FDir->filePath("letters"));
    QCOMPARE(letters.entryList(QDir::Files | QDir::Hidden), (QStringList{"ann.rtf", "bob.rtf"}));
    QVERIFY(ReadAll(letters.filePath("ann.rtf")).contains("Dear Mrs Ann Lee,"));
    // Bob's order number is an expression: evaluated and rendered in 12 characters.
    QVERIFY(
        ReadAll(letters.filePath("bob.rtf")).contains("Your order        24.00 ships on Tuesday."));

    // The same batch without the failing case succeeds.
    QCOMPARE(Run({"merge", "order.tem", "ann.inf", "bob.inf", "--out-dir", "letters"}).ExitCode, 0);

    // Names are bytes: an information file whose name is no UTF-8 names its letter byte for
    // byte. Only a shell passes such a name.
    QProcess shell;
    shell.setWorkingDirectory(FDir->path());
    shell.start("sh", {"-c",
                       "name=$(printf 'a\\377n') && cp ann.inf \"$name.inf\" && "
                       "\"$0\" merge order.tem \"$name.inf\" --out-dir bytes && "
                       "test -f \"bytes/$name.rtf\" && test \"$(ls bytes)\" = \"$name.rtf\"",
                       qEnvironmentVariable("ZARVEL_BIN_DIR") + "/zarvel-cli"});
    QVERIFY(shell.waitForFinished(120000));
    QVERIFY2(shell.exitCode() == 0, shell.readAllStandardError().constData());
}

void TestCliMerge::batchAsHtml()
{
    const TRun run =
        Run({"merge", "order.tem", "ann.inf", "bob.inf", "--out-dir", "pages", "--format", "html"});
    QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));
    const QDir pages(FDir->filePath("pages"));
    QCOMPARE(pages.entryList(QDir::Files | QDir::Hidden), (QStringList{"ann.html", "bob.html"}));
    QVERIFY(ReadAll(pages.filePath("bob.html")).contains("Dear Bob,"));
}

// A batch flushes its new letters once at its end, yet a batch killed midway leaves under a final
// name only whole letters, among them every letter it reported as written; its leftovers go with
// the next command that writes in their folder.
void TestCliMerge::killedBatchLeavesOnlyWholeLetters()
{
    QStringList arguments{"merge", "order.tem"};
    for (int i = 0; i < 300; ++i) {
        const QString name = QStringLiteral("l%1.inf").arg(i, 3, 10, QLatin1Char('0'));
        // Large letters, so that the kill is likely to fall into the writing of one.
        WriteAll(FDir->filePath(name), "Name\r\n" + QByteArray(100000, char('a' + i % 26)) +
                                           "\r\nOrder\r\n" + QByteArray::number(i) +
                                           "\r\nDate\r\nMonday\r\n");
        arguments << name;
    }
    const TRun whole = Run(arguments + QStringList{"--out-dir", "whole"});
    QVERIFY2(whole.ExitCode == 0, qPrintable(whole.Err));
    const QDir wholeLetters(FDir->filePath("whole"));
    QCOMPARE(wholeLetters.entryList(QDir::Files | QDir::Hidden).size(), 300);

    QProcess batch;
    batch.setWorkingDirectory(FDir->path());
    batch.start(qEnvironmentVariable("ZARVEL_BIN_DIR") + "/zarvel-cli",
                arguments + QStringList{"--out-dir", "killed"});
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += batch.readAllStandardOutput()).count("->") >= 20, 300000);
    const QString batchPid = QString::number(batch.processId());
    batch.kill();
    QVERIFY(batch.waitForFinished(300000));
    said += batch.readAllStandardOutput();
    QCOMPARE(batch.exitStatus(), QProcess::CrashExit);

    const QDir killed(FDir->filePath("killed"));
    const QStringList left = killed.entryList(QDir::Files);
    for (const QByteArray &line : said.split('\n')) {
        const int arrow = line.indexOf("-> killed/");
        if (arrow >= 0)
            QVERIFY2(left.contains(QString::fromLocal8Bit(line.mid(arrow + 10))), line.constData());
    }
    QVERIFY(left.size() >= 20 && left.size() < 300);
    for (const QString &name : left)
        QVERIFY2(ReadAll(killed.filePath(name)) == ReadAll(wholeLetters.filePath(name)),
                 qPrintable(name));

    // What killed commands left, beside the letters and in the scratch location, goes with the
    // next command; what a running process writes stays. Should the kill have fallen between
    // two letters, a private folder of the batch's stands in for the one it would have left.
    QDir scratch(FDir->filePath("tmp"));
    QVERIFY(scratch.mkpath("."));
    // Qt makes folders of its own there as well.
    scratch.setNameFilters({"zarvel-*"});
    qputenv("TMPDIR", QFile::encodeName(scratch.path()));
    QProcess reading;
    reading.start(qEnvironmentVariable("ZARVEL_BIN_DIR") + "/zarvel-cli", {"text", "-"});
    reading.write("{\\rtf1 copied to a scratch folder");
    QTRY_VERIFY_WITH_TIMEOUT(!scratch.entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty(),
                             300000);
    const QString readingPid = QString::number(reading.processId());
    reading.kill();
    QVERIFY(reading.waitForFinished(300000));
    QVERIFY(scratch.entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                .first()
                .startsWith("zarvel-" + readingPid + "-"));
    const QString pid = QString::number(QCoreApplication::applicationPid());
    QVERIFY(scratch.mkpath("zarvel-" + pid + "-running"));
    if (killed.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty())
        QVERIFY(killed.mkpath(".l299.rtf.zarvel-" + batchPid + "-XyZ123"));
    QVERIFY(killed.mkpath(".l299.rtf.zarvel-" + pid + "-running"));

    // A command that names its files clears its output's folder; one that makes a scratch
    // folder (here for standard output) clears the scratch location.
    const TRun next = Run({"merge", "order.tem", "ann.inf", "-o", "killed/ann.rtf"});
    QVERIFY2(next.ExitCode == 0, qPrintable(next.Err));
    QCOMPARE(killed.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{".l299.rtf.zarvel-" + pid + "-running"});
    const TRun piped = Run({"merge", "order.tem", "ann.inf", "-o", "-"});
    qunsetenv("TMPDIR");
    QVERIFY2(piped.ExitCode == 0, qPrintable(piped.Err));
    QCOMPARE(scratch.entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{"zarvel-" + pid + "-running"});
}

void TestCliMerge::overwriteClashStopsTheCase()
{
    WriteAll(FDir->filePath("form.tem"), "{\\rtf1 @1 @2\\par}\r\n");
    WriteAll(FDir->filePath("form.inf"), "A\r\nlong value\r\nB\r\nx\r\n");
    const TRun run = Run({"merge", "form.tem", "form.inf", "--overwrite", "-o", "form.rtf"});
    QCOMPARE(run.ExitCode, 1);
    QVERIFY2(run.Err.contains(QString::fromStdString(OverwriteClashText("long value", "@1"))),
             qPrintable(run.Err));
    QVERIFY(!QFile::exists(FDir->filePath("form.rtf")));
    // Insert mode merges the same files.
    QCOMPARE(Run({"merge", "form.tem", "form.inf", "-o", "form.rtf"}).ExitCode, 0);
    QCOMPARE(ReadAll(FDir->filePath("form.rtf")), QByteArray("{\\rtf1 long value x\\par}\r\n"));
}

void TestCliMerge::workingFilesOnlyWhenAsked()
{
    QCOMPARE(Run({"merge", "order.tem", "ann.inf", "-o", "ann.rtf"}).ExitCode, 0);
    QVERIFY(!QFile::exists(FDir->filePath(MergeDebugFileName)));
    QVERIFY(!QFile::exists(FDir->filePath(MergeResultFileName)));

    QCOMPARE(Run({"merge", "order.tem", "ann.inf", "-o", "ann.rtf", "--debug-file", "steps.rtf"})
                 .ExitCode,
             0);
    QCOMPARE(ReadAll(FDir->filePath("steps.rtf")), ReadAll(FDir->filePath("ann.rtf")));

    // A stopped case leaves the text of its last completed step.
    QCOMPARE(Run({"merge", "order.tem", "short.inf", "-o", "c.rtf", "--debug-file", "steps.rtf"})
                 .ExitCode,
             1);
    const QByteArray steps = ReadAll(FDir->filePath("steps.rtf"));
    QVERIFY(steps.contains("Dear Carl,"));
    QVERIFY(steps.contains("Your order 99 ships on @3."));
}

void TestCliMerge::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no information file") << QStringList{"merge", "order.tem", "-o", "x.rtf"};
    QTest::newRow("no output") << QStringList{"merge", "order.tem", "ann.inf"};
    QTest::newRow("both outputs") << QStringList{"merge", "order.tem", "ann.inf", "-o",
                                                 "x.rtf", "--out-dir", "d"};
    QTest::newRow("-o with a batch")
        << QStringList{"merge", "order.tem", "ann.inf", "bob.inf", "-o", "x.rtf"};
    QTest::newRow("unknown format")
        << QStringList{"merge", "order.tem", "ann.inf", "--out-dir", "d", "--format", "pdf"};
    QTest::newRow("unknown output name")
        << QStringList{"merge", "order.tem", "ann.inf", "-o", "x.txt"};
    QTest::newRow("unknown option")
        << QStringList{"merge", "order.tem", "ann.inf", "-o", "x.rtf", "-q"};
    QTest::newRow("check without template") << QStringList{"check"};
    QTest::newRow("check with three files")
        << QStringList{"check", "order.tem", "ann.inf", "bob.inf"};
}

void TestCliMerge::usageErrors()
{
    QFETCH(QStringList, arguments);
    const TRun run = Run(arguments);
    QCOMPARE(run.ExitCode, 2);
    QVERIFY(run.Err.contains("usage:"));
    QVERIFY(!QFile::exists(FDir->filePath("x.rtf")));
    QVERIFY(!QFile::exists(FDir->filePath("x.txt")));
    QVERIFY(!QFile::exists(FDir->filePath("d")));
}

void TestCliMerge::unreadableTemplate()
{
    const TRun run = Run({"merge", "none.tem", "ann.inf", "-o", "x.rtf"});
    QCOMPARE(run.ExitCode, 1);
    QVERIFY(run.Err.contains("Cannot open file none.tem"));
    QVERIFY(!QFile::exists(FDir->filePath("x.rtf")));
}

void TestCliMerge::checkRunsToTheEnd()
{
    const TRun run = Run({"check", Sample("quote.tem"), Sample("quote.inf")});
    QVERIFY2(run.ExitCode == 0, qPrintable(run.Out + run.Err));
    QVERIFY(run.Out.contains("\"38*42.50\" -> \"     1615.00\""));
    QVERIFY(run.Out.contains("runs to the end with 10 replacements"));

    const TRun form = Run({"check", Sample("form.tem"), Sample("form.inf"), "--overwrite"});
    QCOMPARE(form.ExitCode, 0);
}

void TestCliMerge::checkReportsProblems()
{
    WriteAll(FDir->filePath("split.tem"),
             "{\\rtf1\\ansi\\pard Dear @1, your code is @2{\\b 1} and @2 again.\\par}\r\n");
    WriteAll(FDir->filePath("split.inf"), "Name\r\nAnn\r\nCode\r\n7/0\r\nPhone\r\n555\r\n");
    const TRun run = Run({"check", "split.tem", "split.inf"});
    // The merge itself runs, but reads @21 as @2 followed by 1.
    QCOMPARE(run.ExitCode, 0);
    QVERIFY2(run.Out.contains("\"@21\" is read by the merge as \"@2\""), qPrintable(run.Out));
    QVERIFY(run.Out.contains("@2           2 times"));
    QVERIFY(run.Out.contains("pair 3 (@3): \"Phone\" = \"555\""));
    QVERIFY(run.Out.contains("\"7/0\" -> kept as written (Floating point division by zero)"));

    WriteAll(FDir->filePath("more.tem"), "{\\rtf1 @1 @2 @4\\par}\r\n");
    const TRun missing = Run({"check", "more.tem", "split.inf"});
    QCOMPARE(missing.ExitCode, 1);
    QVERIFY(missing.Out.contains("@4 (needs line 8; the file has 6 lines)"));
    QVERIFY(missing.Out.contains("stops at @4 after 2 replacements"));
}

void TestCliMerge::checkTemplateAlone_data()
{
    QTest::addColumn<QByteArray>("templ");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("placeholders only") << QByteArray("{\\rtf1 @1 @2 @12\\par}") << 0;
    QTest::newRow("e-mail address") << QByteArray("{\\rtf1 mail jo@example.com\\par}") << 0;
    QTest::newRow("pair 0") << QByteArray("{\\rtf1 No. @0\\par}") << 1;
}

void TestCliMerge::checkTemplateAlone()
{
    QFETCH(QByteArray, templ);
    QFETCH(int, exitCode);
    WriteAll(FDir->filePath("alone.tem"), templ);
    const TRun run = Run({"check", "alone.tem"});
    QCOMPARE(run.ExitCode, exitCode);
    QVERIFY(run.Out.contains("No information file given"));
}

// Values with the characters of rich text and of many scripts, in insert and overwrite mode,
// placed in groups, after control words and before a paragraph end: the letter opens and
// shows each value exactly.
void TestCliMerge::hostileValuesGiveLettersThatOpen_data()
{
    QTest::addColumn<bool>("overwrite");
    QTest::newRow("insert") << false;
    QTest::newRow("overwrite") << true;
}

void TestCliMerge::hostileValuesGiveLettersThatOpen()
{
    QFETCH(bool, overwrite);
    const QStringList values = {"C:\\Users\\Anna\\", "Smith {Jr", "}", "\\par {\\b x}",
                                "Łukasz Żółć", "李小龍 😀", "-5", "", "a\tb"};
    WriteAll(FDir->filePath("hostile.tem"),
             "{\\rtf1\\ansi\\uc1 {\\b @1} normal\\par\r\n\\fs24@2\\fs20 x @3\\par\r\n"
             "\\tab@4\\line @5\\endash@6\\par\r\n{\\uc0 @7} {\\uc2 @8} @9\\par\r\n}\r\n");
    QByteArray information;
    for (const QString &value : values)
        information += "Heading\n" + value.toUtf8() + "\n";
    WriteAll(FDir->filePath("hostile.inf"), information);
    QStringList arguments{"merge", "hostile.tem", "hostile.inf", "-o", "hostile.rtf"};
    if (overwrite)
        arguments << "--overwrite";
    const TRun run = Run(arguments);
    QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));
    const QByteArray merged = ReadAll(FDir->filePath("hostile.rtf"));
    QVERIFY(!merged.contains('\0'));
    int depth = 0;
    for (int i = 0; i < merged.size(); ++i) {
        if (merged[i] == '\\')
            ++i;
        else if (merged[i] == '{')
            ++depth;
        else if (merged[i] == '}')
            QVERIFY2(--depth >= 0 || i == merged.size() - 1, merged.constData());
    }
    QCOMPARE(depth, 0);
    const TRun text = Run({"text", "hostile.rtf"});
    QCOMPARE(text.ExitCode, 0);
    for (const QString &value : values)
        QVERIFY2(text.Out.contains(value == "-5" ? "-5.00" : value),
                 qPrintable(value + " not in " + text.Out));
    QVERIFY2(text.Out.contains("normal"), qPrintable(text.Out));
}

void TestCliMerge::reportsWhatTheMergeLeftOrPushed()
{
    // Bold splits @1 so that no reader of the raw text sees it: left in the letter and said.
    WriteAll(FDir->filePath("split.tem"), "{\\rtf1 Ref\\par\r\nNo. {\\b @}{\\b 1} @2\\par}\r\n");
    WriteAll(FDir->filePath("split.inf"), "A\nx\nB\nlong value\n");
    const TRun run = Run({"merge", "split.tem", "split.inf", "-o", "split.rtf"});
    QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));
    QVERIFY2(run.Err.contains("@1 on line 2 of the template was not merged"), qPrintable(run.Err));

    // Overwrite mode stops covering at the group's end: the rest of the value pushes along.
    WriteAll(FDir->filePath("form.tem"), "{\\rtf1 {\\b @2} normal text\\par}\r\n");
    const TRun pushed = Run({"merge", "form.tem", "split.inf", "--overwrite", "-o", "form.rtf"});
    QVERIFY2(pushed.ExitCode == 0, qPrintable(pushed.Err));
    QVERIFY2(pushed.Err.contains("@2 on line 1 of the template did not fit"),
             qPrintable(pushed.Err));
    QCOMPARE(ReadAll(FDir->filePath("form.rtf")),
             QByteArray("{\\rtf1 {\\b long value} normal text\\par}\r\n"));
    const TRun check = Run({"check", "form.tem", "split.inf", "--overwrite"});
    QVERIFY2(check.Out.contains("line 1: the value of @2 meets formatting"), qPrintable(check.Out));
}

void TestCliMerge::outputNeverReplacesAnInput()
{
    const QByteArray templ = ReadAll(FDir->filePath("order.tem"));
    const QByteArray information = ReadAll(FDir->filePath("ann.inf"));
    for (const char *target : {"order.tem", "ann.inf", "./order.tem"}) {
        const TRun run = Run({"merge", "order.tem", "ann.inf", "-o", target});
        QCOMPARE(run.ExitCode, 2);
        QVERIFY2(run.Err.contains("never writes over its own input"), qPrintable(run.Err));
    }
    QCOMPARE(ReadAll(FDir->filePath("order.tem")), templ);
    QCOMPARE(ReadAll(FDir->filePath("ann.inf")), information);
}

void TestCliMerge::informationFilesThatAreNotPairs()
{
    WriteAll(FDir->filePath("odd.inf"), "Name\nAnn\nOrder\n7\nDate\n");
    for (const char *command : {"merge", "check"}) {
        QStringList arguments{command, "order.tem", "odd.inf"};
        if (QByteArray(command) == "merge")
            arguments << "-o" << "odd.rtf";
        const TRun run = Run(arguments);
        QVERIFY2(run.Err.contains("odd.inf: the information file has an odd number of lines (5)"),
                 qPrintable(run.Err));
    }
    // Zero bytes without a UTF-16 byte order mark are no text: refused, nothing written.
    WriteAll(FDir->filePath("binary.inf"), QByteArray("N\0a\0m\0e\0\n\0A\0n\0n\0", 16));
    const TRun binary = Run({"merge", "order.tem", "binary.inf", "-o", "binary.rtf"});
    QCOMPARE(binary.ExitCode, 1);
    QVERIFY2(binary.Err.contains("binary.inf holds zero bytes"), qPrintable(binary.Err));
    QVERIFY(!QFile::exists(FDir->filePath("binary.rtf")));
}

void TestCliMerge::templateIsReadWhole()
{
    // Picture data with zero bytes and a line end in it passes through unchanged.
    const QByteArray data("\x00\x01\r\n\x00\xff", 6);
    WriteAll(FDir->filePath("bin.tem"),
             "{\\rtf1 Dear @1,{\\*\\blob\\bin6 " + data + "}\r\nafter the picture @1\\par}\r\n");
    const TRun run = Run({"merge", "bin.tem", "ann.inf", "-o", "bin.rtf"});
    QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));
    QVERIFY2(run.Out.contains(": 2 replacements"), qPrintable(run.Out));
    QCOMPARE(ReadAll(FDir->filePath("bin.rtf")),
             "{\\rtf1 Dear Mrs Ann Lee,{\\*\\blob\\bin6 " + data +
                 "}\r\nafter the picture Mrs Ann Lee\\par}\r\n");
}

void TestCliMerge::plainTemplateKeepsItsEncoding()
{
    WriteAll(FDir->filePath("plain.tem"), "Grüße an @1\n");
    WriteAll(FDir->filePath("plain.inf"), "Name\nŻółć 李\n");
    QCOMPARE(Run({"merge", "plain.tem", "plain.inf", "-o", "plain.rtf"}).ExitCode, 0);
    QCOMPARE(ReadAll(FDir->filePath("plain.rtf")), QString("Grüße an Żółć 李\r\n").toUtf8());
}

void TestCliMerge::valuesThatAreNoSums()
{
    WriteAll(FDir->filePath("sums.tem"), "{\\rtf1 @1|@2|@3|@4|@5\\par}\r\n");
    WriteAll(FDir->filePath("sums.inf"), "Phone\n+1 555 123 4567\nBerlin\n+49 30 1234567\n"
                                         "Size\n1 1/2\nBig\n2^64\nPhone\n+4930123456\n");
    QCOMPARE(Run({"merge", "sums.tem", "sums.inf", "-o", "sums.rtf"}).ExitCode, 0);
    QVERIFY2(ReadAll(FDir->filePath("sums.rtf"))
                 .startsWith("{\\rtf1 +1 555 123 4567|+49 30 1234567|1 1/2|18446744073709551616.00|"),
             ReadAll(FDir->filePath("sums.rtf")).constData());
    const TRun check = Run({"check", "sums.tem", "sums.inf"});
    QVERIFY2(check.Out.contains("\"+1 555 123 4567\" -> kept as written"), qPrintable(check.Out));
    // A "+" and ten digits is computed, but check warns that it looks like a phone number.
    QVERIFY2(check.Out.contains("write it as '+4930123456 to merge it as written"),
             qPrintable(check.Out));
}

// zarvel-cli reads plain information files without the rich text control; the lines must be
// those the control gives, for every file it takes, and it takes the common ones.
void TestCliMerge::plainInformationReadAsThePaneReadsIt()
{
    int plain = 0;
    const auto compare = [&](const QString &name) {
        const std::string file = QFile::encodeName(name).toStdString();
        const std::optional<std::vector<std::string>> lines = TPlainInformationFile::LinesOfFile(file);
        if (!lines)
            return true;
        ++plain;
        return *lines == InformationPaneLines(file);
    };
    for (const char *folder : {ZARVEL_SOURCE_DIR "/tests/data", ZARVEL_SOURCE_DIR "/samples"}) {
        QDirIterator data(QString::fromUtf8(folder), {QStringLiteral("*.inf")}, QDir::Files,
                          QDirIterator::Subdirectories);
        while (data.hasNext()) {
            const QString name = data.next();
            QVERIFY2(compare(name), qPrintable(name));
        }
    }
    QVERIFY(TPlainInformationFile::LinesOfFile(Sample("letter-smith.inf").toStdString()));   // code page 1252
    QVERIFY(!TPlainInformationFile::LinesOfFile(FDir->filePath("order.tem").toStdString())); // rich text
    QVERIFY(!TPlainInformationFile::LinesOfFile(FDir->filePath("missing.inf").toStdString()));
    // A code page 1252 file whose last byte could start a UTF-8 character keeps that character.
    const QString accented = FDir->filePath("accented.inf");
    WriteAll(accented, "Name\r\nJos\xE9");
    const std::vector<std::string> jose{"Name", "Jos\xC3\xA9"};
    QCOMPARE(TPlainInformationFile::LinesOfFile(QFile::encodeName(accented).toStdString()), jose);
    QVERIFY(compare(accented));

    std::mt19937 random(20);
    const QString name = FDir->filePath("random.inf");
    int taken = 0;
    for (int i = 0; i < 400; ++i) {
        const QByteArray content = RandomTextFile(random);
        WriteAll(name, content);
        const int before = plain;
        QVERIFY2(compare(name), content.toPercentEncoding().constData());
        taken += plain - before;
    }
    QVERIFY2(taken > 100, "too few random files were plain text");
}

ZARVEL_TEST_MAIN(TestCliMerge)
#include "tst_climerge.moc"
