// zarvel-cli merge and check with a table of cases, run as a separate process the way a
// user's script runs them.
#include "../print/PdfText.h"
#include "CliProcess.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <memory>

namespace {
struct TRun
{
    int ExitCode = -1;
    QString Out;
    QString Err;
};

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

QByteArray Utf16Le(const QString &text)
{
    QByteArray bytes("\xFF\xFE");
    for (const QChar c : text)
        bytes += QByteArray{1, static_cast<char>(c.unicode() & 0xFF)} +
                 static_cast<char>(c.unicode() >> 8);
    return bytes;
}

const QByteArray Template = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss "
                            "Arial;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 Dear @1,\\par\r\n"
                            "Amount: @2          due.\\par\r\nNote: @3                    "
                            "end\\par\r\n}\r\n";

// Three cases as a spreadsheet saves them as CSV: a comma and quotes in quoted cells, a
// computed value, the apostrophe, a value that names another pair, an empty cell, a line break
// in a cell, a character outside ASCII.
const QByteArray Csv = "Name,Amount,Note\r\n"
                       "\"Lee, Ann\",2*3,\"He said \"\"hi\"\"\"\r\n"
                       "Zo\xC3\xAB M\xC3\xBCller,'12-4,\"two\r\nlines\"\r\n"
                       "Bob,,@1\r\n";
// The same cases as information files; the line break became a space.
const QByteArray Information[] = {
    "Name\r\nLee, Ann\r\nAmount\r\n2*3\r\nNote\r\nHe said \"hi\"\r\n",
    "Name\r\nZo\xC3\xAB M\xC3\xBCller\r\nAmount\r\n'12-4\r\nNote\r\ntwo lines\r\n",
    "Name\r\nBob\r\nAmount\r\n\r\nNote\r\n@1\r\n",
};
} // namespace

class TestCliMergeTable : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void rowsMergeAsInformationFiles_data();
    void rowsMergeAsInformationFiles();
    void lettersNamedByAColumn();
    void pdfLettersHoldTheirText();
    void rowThatStopsLeavesTheOthers();
    void refusedTableWritesNothing_data();
    void refusedTableWritesNothing();
    void checkReportsWhatDiffersBetweenRows();
    void spreadsheetsGoThroughLibreOffice_data();
    void spreadsheetsGoThroughLibreOffice();

private:
    TRun Run(const QStringList &arguments);
    QStringList Letters(const QString &folder) const;
    QTemporaryDir *FDir = nullptr;
    std::unique_ptr<QTemporaryDir> FOwner;
};

TRun TestCliMergeTable::Run(const QStringList &arguments)
{
    const TCliRun run = RunCli(arguments, FDir->path());
    return {run.ExitCode, QString::fromLocal8Bit(run.Out), QString::fromLocal8Bit(run.Err)};
}

QStringList TestCliMergeTable::Letters(const QString &folder) const
{
    return QDir(FDir->filePath(folder)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void TestCliMergeTable::init()
{
    FOwner = std::make_unique<QTemporaryDir>(QDir::current().filePath("case-XXXXXX"));
    FDir = FOwner.get();
    QVERIFY(FDir->isValid());
    WriteAll(FDir->filePath("letter.tem"), Template);
    WriteAll(FDir->filePath("cases.csv"), Csv);
}

void TestCliMergeTable::rowsMergeAsInformationFiles_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("options");

    QTest::newRow("CSV, insert mode") << "cases.csv" << Csv << QStringList();
    QTest::newRow("CSV, overwrite mode") << "cases.csv" << Csv << QStringList{"--overwrite"};
    // What a spreadsheet saves as "Unicode text": UTF-16 with tabs.
    QTest::newRow("UTF-16 TSV")
        << "cases.tsv"
        << Utf16Le(
               QString::fromUtf8("Name\tAmount\tNote\r\nLee, Ann\t2*3\t\"He said \"\"hi\"\"\"\r\n"
                                 "Zo\xC3\xAB M\xC3\xBCller\t'12-4\t\"two\r\nlines\"\r\n"
                                 "Bob\t\t@1\r\n"))
        << QStringList();
}

void TestCliMergeTable::rowsMergeAsInformationFiles()
{
    QFETCH(QString, table);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, options);
    WriteAll(FDir->filePath(table), bytes);
    QStringList informationFiles;
    for (int i = 0; i < 3; ++i) {
        informationFiles << QStringLiteral("%1.inf").arg(i + 1);
        WriteAll(FDir->filePath(informationFiles.last()), Information[i]);
    }
    const TRun fromTable =
        Run(QStringList{"merge", "letter.tem", table, "--out-dir", "table"} + options);
    QVERIFY2(fromTable.ExitCode == 0, qPrintable(fromTable.Err));
    QVERIFY2(fromTable.Out.contains(table + " row 3: "), qPrintable(fromTable.Out));
    const TRun fromFiles = Run(QStringList{"merge", "letter.tem"} + informationFiles +
                               QStringList{"--out-dir", "files"} + options);
    QVERIFY2(fromFiles.ExitCode == 0, qPrintable(fromFiles.Err));

    QCOMPARE(Letters("table"), (QStringList{"1.rtf", "2.rtf", "3.rtf"}));
    for (const QString &letter : Letters("table"))
        QCOMPARE(ReadAll(FDir->filePath("table/" + letter)),
                 ReadAll(FDir->filePath("files/" + letter)));
    // The rules of the merge held: computed, kept by the apostrophe, layered.
    QVERIFY(ReadAll(FDir->filePath("table/1.rtf")).contains("6.00"));
    QVERIFY(ReadAll(FDir->filePath("table/2.rtf")).contains("12-4"));
    QVERIFY(ReadAll(FDir->filePath("table/3.rtf")).contains("Note: Bob"));
}

void TestCliMergeTable::lettersNamedByAColumn()
{
    WriteAll(FDir->filePath("names.csv"),
             "Client,Amount,No\nAnn,1,1\na/b,1,2\n../up,1,3\nANN,1,4\n,1,5\n .hidden,1,6\n"
             "Ann,1,7\n\"x:*?\"\"<>|y\",1,8\n3,1,9\nAnn (2),1,10\n");
    const TRun run = Run({"merge", "letter.tem", "names.csv", "--out-dir", "out", "--name",
                          "Client", "--rows", "1-4,5,6-"});
    QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));
    // An empty value gives the row's number, zero-padded; names that differ only in case are
    // duplicates.
    QCOMPARE(Letters("out"),
             (QStringList{"05.rtf", "3.rtf", "ANN (2).rtf", "Ann (2) (2).rtf", "Ann (3).rtf",
                          "Ann.rtf", "_up.rtf", "a_b.rtf", "hidden.rtf", "x_______y.rtf"}));
    QVERIFY(ReadAll(FDir->filePath("out/ANN (2).rtf")).contains("Dear ANN,"));
    QVERIFY(ReadAll(FDir->filePath("out/Ann (3).rtf")).contains("Dear Ann,"));
    QVERIFY(QDir(FDir->path()).entryList({"*.rtf"}, QDir::Files).isEmpty());

    // A column's number names it too; without --name the letters have their row's number.
    QCOMPARE(
        Run({"merge", "letter.tem", "names.csv", "--out-dir", "no", "--name", "3", "--rows", "9-"})
            .ExitCode,
        0);
    QCOMPARE(Letters("no"), (QStringList{"10.rtf", "9.rtf"}));
    QCOMPARE(
        Run({"merge", "letter.tem", "names.csv", "--out-dir", "rows", "--rows", "2,10,2"}).ExitCode,
        0);
    QCOMPARE(Letters("rows"), (QStringList{"02.rtf", "10.rtf"}));
}

void TestCliMergeTable::pdfLettersHoldTheirText()
{
    const TRun run = Run({"merge", "letter.tem", "cases.csv", "--out-dir", "pdf", "--format", "pdf",
                          "--rows", "2-3"});
    QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));
    QCOMPARE(Letters("pdf"), (QStringList{"2.pdf", "3.pdf"}));
    // The extractor marks the gaps between words with tabs.
    const QStringList zoe =
        PdfPageTexts(ReadAll(FDir->filePath("pdf/2.pdf"))).replaceInStrings("\t", " ");
    QCOMPARE(zoe.size(), 1);
    QVERIFY2(zoe[0].contains(QString::fromUtf8("Dear Zo\xC3\xAB M\xC3\xBCller,")),
             qPrintable(zoe[0]));
    QVERIFY2(zoe[0].contains("Note: two lines"), qPrintable(zoe[0]));
    const QStringList bob =
        PdfPageTexts(ReadAll(FDir->filePath("pdf/3.pdf"))).replaceInStrings("\t", " ");
    QCOMPARE(bob.size(), 1);
    QVERIFY2(bob[0].contains("Dear Bob,") && bob[0].contains("Note: Bob"), qPrintable(bob[0]));
}

void TestCliMergeTable::rowThatStopsLeavesTheOthers()
{
    WriteAll(FDir->filePath("stops.csv"), "Name,Amount,Note\nA,1,x\nB,2,@9\nC,3,\n");
    const TRun run = Run({"merge", "letter.tem", "stops.csv", "--out-dir", "out"});
    QCOMPARE(run.ExitCode, 1);
    QVERIFY2(
        run.Err.contains("stops.csv row 2: A value in the INFORMATION file contains a placeholder"),
        qPrintable(run.Err));
    QVERIFY2(run.Err.contains("1 of 3 rows stopped"), qPrintable(run.Err));
    QCOMPARE(Letters("out"), (QStringList{"1.rtf", "3.rtf"}));
}

void TestCliMergeTable::refusedTableWritesNothing_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    QTest::newRow("long row") << QByteArray("a,b,c\n1,2,3\n4,5,6,7\n") << QStringList() << 1
                              << "row 2 (line 3 of the file) has 4 cells, more than the 3";
    QTest::newRow("not a table") << QByteArray("{\\rtf1 a,b\\par}") << QStringList() << 1
                                 << "is not a table that Zarvel can read: it is rich text";
    QTest::newRow("no such row") << QByteArray("a,b,c\n1,2,3\n") << QStringList{"--rows", "2"} << 2
                                 << "the table has no row 2";
    QTest::newRow("row 0") << QByteArray("a,b,c\n1,2,3\n") << QStringList{"--rows", "0-1"} << 2
                           << "the table has no row 0";
    QTest::newRow("no such column") << QByteArray("a,b,c\n1,2,3\n") << QStringList{"--name", "d"}
                                    << 2 << "its headings are a, b, c";
    QTest::newRow("one output") << QByteArray("a,b,c\n1,2,3\n") << QStringList{"-o", "x.rtf"} << 2
                                << "use --out-dir";
    QTest::newRow("format") << QByteArray("a,b,c\n1,2,3\n") << QStringList{"--format", "doc"} << 2
                            << "rtf, html or pdf";
}

void TestCliMergeTable::refusedTableWritesNothing()
{
    QFETCH(QByteArray, table);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    WriteAll(FDir->filePath("bad.csv"), table);
    QStringList arguments{"merge", "letter.tem", "bad.csv"};
    if (!options.contains("-o"))
        arguments << "--out-dir"
                  << "out";
    const TRun run = Run(arguments + options);
    QCOMPARE(run.ExitCode, exitCode);
    QVERIFY2(run.Err.contains(message), qPrintable(run.Err));
    QVERIFY(!QFileInfo::exists(FDir->filePath("out")));
    QVERIFY(!QFileInfo::exists(FDir->filePath("x.rtf")));
}

void TestCliMergeTable::checkReportsWhatDiffersBetweenRows()
{
    // Every row leaves Note empty; rows 2 and 3 differ in their own ways.
    WriteAll(FDir->filePath("check.csv"), "Name,Amount,Note\nA,2*3,\nB,1/0,\n,4,\nD,5\n");
    const TRun run = Run({"check", "letter.tem", "check.csv"});
    QCOMPARE(run.ExitCode, 0);
    QVERIFY2(run.Err.contains("row 4 (line 5 of the file) has 2 of the 3 cells"),
             qPrintable(run.Err));
    const QString differs = run.Out.mid(run.Out.indexOf("The 4 rows of check.csv"));
    QCOMPARE(differs,
             QStringLiteral("The 4 rows of check.csv\n"
                            "In every row:\n"
                            "  @3 (Note) is empty\n"
                            "Only in some rows:\n"
                            "  row 2 (line 3): @2 (Amount) \"1/0\" cannot be computed and is "
                            "merged as written: Floating point division by zero\n"
                            "  row 3 (line 4): @1 (Name) is empty\n"));

    // A row that stops makes the check fail, as the merge does.
    WriteAll(FDir->filePath("stop.csv"), "Name,Amount,Note\nA,1,x\nB,2,@9\n");
    const TRun stop = Run({"check", "letter.tem", "stop.csv"});
    QCOMPARE(stop.ExitCode, 1);
    QVERIFY2(
        stop.Out.contains("  row 2 (line 3): the merge stops: A value in the INFORMATION file"),
        qPrintable(stop.Out));
}

void TestCliMergeTable::spreadsheetsGoThroughLibreOffice_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("ods") << "ods";
    QTest::newRow("xlsx") << "xlsx";
}

void TestCliMergeTable::spreadsheetsGoThroughLibreOffice()
{
    QFETCH(QString, format);
    QString office = QStandardPaths::findExecutable("soffice");
    if (office.isEmpty())
        office = QStandardPaths::findExecutable("libreoffice");
    if (office.isEmpty()) {
        // Without it, the message says what to do, and nothing is written.
        WriteAll(FDir->filePath("cases." + format), "PK\x03\x04 not read");
        const TRun run = Run({"merge", "letter.tem", "cases." + format, "--out-dir", "out"});
        QCOMPARE(run.ExitCode, 1);
        QVERIFY2(run.Err.contains("LibreOffice is not installed. Save the sheet as CSV"),
                 qPrintable(run.Err));
        QVERIFY(!QFileInfo::exists(FDir->filePath("out")));
        QSKIP("LibreOffice is not installed: spreadsheets are read only where it is");
    }
    // The spreadsheet is made from the CSV file by LibreOffice itself, in a profile of the
    // test's own.
    QProcess convert;
    convert.setWorkingDirectory(FDir->path());
    convert.start(office, {"-env:UserInstallation=" +
                               QUrl::fromLocalFile(FDir->filePath("profile")).toString(),
                           "--headless", "--convert-to", format, "--outdir", "sheet", "cases.csv"});
    QVERIFY(convert.waitForFinished(300000));
    // An installation with the word processor only has no spreadsheet filters.
    if (!QFileInfo::exists(FDir->filePath("sheet/cases." + format)))
        QSKIP("LibreOffice here cannot write spreadsheets (no spreadsheet component)");
    const TRun fromSheet =
        Run({"merge", "letter.tem", "sheet/cases." + format, "--out-dir", "sheet-letters"});
    QVERIFY2(fromSheet.ExitCode == 0, qPrintable(fromSheet.Err));
    QVERIFY(Run({"merge", "letter.tem", "cases.csv", "--out-dir", "csv-letters"}).ExitCode == 0);
    QCOMPARE(Letters("sheet-letters"), Letters("csv-letters"));
    for (const QString &letter : Letters("csv-letters"))
        QCOMPARE(ReadAll(FDir->filePath("sheet-letters/" + letter)),
                 ReadAll(FDir->filePath("csv-letters/" + letter)));
}

ZARVEL_TEST_MAIN(TestCliMergeTable)
#include "tst_climergetable.moc"
