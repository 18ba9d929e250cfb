// Tables of cases as spreadsheets write them: each file's bytes are what a spreadsheet program
// saves for the cells, and the cells expected are written out by hand.
#include "TestEnvironment.h"

#include "assembly/TCaseTable.h"
#include "text/StringUtils.h"

#include <QtTest>

#include <string>

namespace {
using TRows = QList<QStringList>; // the header row, then the rows

QByteArray Utf16(const QString &text, bool littleEndian)
{
    QByteArray bytes = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (const QChar c : text) {
        const char high = static_cast<char>(c.unicode() >> 8);
        const char low = static_cast<char>(c.unicode() & 0xFF);
        bytes += littleEndian ? QByteArray{1, low} + high : QByteArray{1, high} + low;
    }
    return bytes;
}

TRows RowsOf(const TCaseTable &table)
{
    TRows rows;
    QStringList headings;
    for (const std::string &heading : table.Headings())
        headings << QString::fromStdString(heading);
    rows << headings;
    for (std::size_t row = 0; row < table.RowCount(); ++row) {
        QStringList cells;
        for (std::size_t column = 0; column < table.ColumnCount(); ++column)
            cells << QString::fromStdString(table.Cell(row, column));
        rows << cells;
    }
    return rows;
}
} // namespace

class TestCaseTable : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void refuses_data();
    void refuses();
    void rowsGiveInformationLines();
};

void TestCaseTable::reads_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<TRows>("expected");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<QList<int>>("rowLines");

    QTest::newRow("quoted separators and line breaks, LF")
        << QByteArray("Name,Address,Amount\n\"Smith, John\",\"1 High St\nLondon\",12.50\n"
                      "Jones,2 Low Rd,3\n")
        << "cases.csv"
        << TRows{{"Name", "Address", "Amount"},
                 {"Smith, John", "1 High St London", "12.50"},
                 {"Jones", "2 Low Rd", "3"}}
        << QStringList() << QList<int>{2, 4};
    QTest::newRow("doubled quotes, CR LF, a break of CR LF in a cell")
        << QByteArray("Title,Quote\r\nMr,\"He said \"\"hi\"\"\"\r\nMs,\"\"\"\"\r\n"
                      "Dr,\"a\r\n\r\nb\"\r\nSir,x\r\n")
        << "cases.CSV"
        << TRows{{"Title", "Quote"},
                 {"Mr", "He said \"hi\""},
                 {"Ms", "\""},
                 {"Dr", "a  b"},
                 {"Sir", "x"}}
        << QStringList() << QList<int>{2, 3, 4, 7};
    QTest::newRow("semicolons and code page 1252")
        << QByteArray("Name;Betrag;Notiz\r\nM\xFCller;3,50;\"a;b\"\r\n") << "kunden.csv"
        << TRows{{"Name", "Betrag", "Notiz"}, {QString::fromUtf8("M\xC3\xBCller"), "3,50", "a;b"}}
        << QStringList() << QList<int>{2};
    QTest::newRow("commas and semicolons in the header: commas")
        << QByteArray("a;b,c\n1;2,3\n") << "x.csv" << TRows{{"a;b", "c"}, {"1;2", "3"}}
        << QStringList() << QList<int>{2};
    QTest::newRow("a quoted semicolon keeps commas")
        << QByteArray("\"a;b\"\n1;2\n") << "x.csv" << TRows{{"a;b"}, {"1;2"}} << QStringList()
        << QList<int>{2};
    QTest::newRow("tabs") << QByteArray("Name\tCity\n\"Doe, J\"\t\"x\ty\"\nA,B\tC;D\n")
                          << "cases.tsv"
                          << TRows{{"Name", "City"}, {"Doe, J", "x\ty"}, {"A,B", "C;D"}}
                          << QStringList() << QList<int>{2, 3};
    QTest::newRow("UTF-8 with a byte order mark")
        << QByteArray("\xEF\xBB\xBFName,Sum\nZo\xC3\xAB,1+2\n") << "x.csv"
        << TRows{{"Name", "Sum"}, {QString::fromUtf8("Zo\xC3\xAB"), "1+2"}} << QStringList()
        << QList<int>{2};
    QTest::newRow("UTF-16 little-endian, as spreadsheets save Unicode text")
        << Utf16(QString::fromUtf8("Name\tCity\r\n\xE6\x9D\x8E\tK\xC3\xB6ln\r\n"), true) << "x.tsv"
        << TRows{{"Name", "City"},
                 {QString::fromUtf8("\xE6\x9D\x8E"), QString::fromUtf8("K\xC3\xB6ln")}}
        << QStringList() << QList<int>{2};
    QTest::newRow("UTF-16 big-endian")
        << Utf16(QStringLiteral("a,b\n\"1,5\",2\n"), false) << "x.csv"
        << TRows{{"a", "b"}, {"1,5", "2"}} << QStringList() << QList<int>{2};
    QTest::newRow("CR line ends, blank lines at the end")
        << QByteArray("a,b\r1,2\r3,4\r\r\n\n\r") << "x.csv"
        << TRows{{"a", "b"}, {"1", "2"}, {"3", "4"}} << QStringList() << QList<int>{2, 3};
    QTest::newRow("no line end after the last row; empty cells")
        << QByteArray("a,b,c\n,,\n1,,\"\"") << "x.csv"
        << TRows{{"a", "b", "c"}, {"", "", ""}, {"1", "", ""}} << QStringList() << QList<int>{2, 3};
    QTest::newRow("short rows and a blank line between rows")
        << QByteArray("a,b,c\n1,2\n\n4,5,6\n") << "x.csv"
        << TRows{{"a", "b", "c"}, {"1", "2", ""}, {"", "", ""}, {"4", "5", "6"}}
        << QStringList{"x.csv: row 1 (line 2 of the file) has 2 of the 3 cells",
                       "x.csv: row 2 (line 3 of the file) has 1 of the 3 cells"}
        << QList<int>{2, 3, 4};
    QTest::newRow("manual line breaks in cells")
        << QByteArray("a,b\n\"x\xE2\x80\xA8y\",p\vq\n") << "x.csv"
        << TRows{{"a", "b"}, {"x y", "p q"}} << QStringList() << QList<int>{2};
}

void TestCaseTable::reads()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(TRows, expected);
    QFETCH(QStringList, warnings);
    QFETCH(QList<int>, rowLines);

    const TCaseTable table = TCaseTable::Parse(bytes.toStdString(), name.toStdString());
    QCOMPARE(RowsOf(table), expected);
    QCOMPARE(table.Warnings().size(), static_cast<std::size_t>(warnings.size()));
    for (qsizetype i = 0; i < warnings.size(); ++i)
        QVERIFY2(QString::fromStdString(table.Warnings()[i]).startsWith(warnings[i]),
                 table.Warnings()[i].c_str());
    QList<int> lines;
    for (std::size_t row = 0; row < table.RowCount(); ++row)
        lines << static_cast<int>(table.FileLineOf(row));
    QCOMPARE(lines, rowLines);
}

void TestCaseTable::refuses_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty") << QByteArray()
                           << "x.csv is not a table that Zarvel can read: it is empty";
    QTest::newRow("blank lines only") << QByteArray("\r\n\n") << "it is empty";
    QTest::newRow("blank first line") << QByteArray("\na,b\n1,2\n") << "its first line is empty";
    QTest::newRow("header only") << QByteArray("a,b\r\n") << "no rows of cases";
    QTest::newRow("long row")
        << QByteArray("a,b\n1,2\n\"x\ny\",2,3\n")
        << "x.csv: row 2 (line 3 of the file) has 3 cells, more than the 2 of the header row";
    QTest::newRow("unclosed quote") << QByteArray("a,b\n1,2\n3,\"4\n")
                                    << "row 2 (line 3 of the file) a quoted cell is not closed";
    QTest::newRow("text after a closing quote")
        << QByteArray("a,b\n\"1\"x,2\n")
        << "row 1 (line 2 of the file) text follows the closing quote";
    QTest::newRow("zero bytes") << QByteArray("PK\x03\x04\0\0a,b\n", 10) << "zero bytes";
    QTest::newRow("rich text") << QByteArray("{\\rtf1\\ansi a,b\\par 1,2}") << "it is rich text";
}

void TestCaseTable::refuses()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    try {
        TCaseTable::Parse(bytes.toStdString(), "x.csv");
        QFAIL("the table was read");
    } catch (const ECaseTableError &e) {
        QVERIFY2(QString::fromStdString(e.what()).contains(message), e.what());
    }
}

void TestCaseTable::rowsGiveInformationLines()
{
    const QString path = QDir::current().filePath("cases.csv");
    SaveTextFile(path.toStdString(), "Name,Amount\nA,1\nB,2*3\n");
    const TCaseTable table = TCaseTable::ReadFile(path.toStdString());
    QCOMPARE(table.InformationLines(1), (std::vector<std::string>{"Name", "B", "Amount", "2*3"}));
    // A spreadsheet's sheet comes as CSV with commas, whatever its header holds.
    const TCaseTable sheet = TCaseTable::Parse("a;b\n1;2\n", "x.ods", ',');
    QCOMPARE(sheet.ColumnCount(), std::size_t(1));
    QCOMPARE(sheet.Cell(0, 0), std::string("1;2"));
    QVERIFY(TCaseTable::IsTableName("a/B.TSV") && TCaseTable::IsTableName("x.csv"));
    QVERIFY(!TCaseTable::IsTableName("x.inf") && !TCaseTable::IsTableName("csv"));
    QVERIFY_THROWS_EXCEPTION(EFOpenError, TCaseTable::ReadFile(path.toStdString() + ".gone"));
}

ZARVEL_TEST_MAIN(TestCaseTable)
#include "tst_casetable.moc"
