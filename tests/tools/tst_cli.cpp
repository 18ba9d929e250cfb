// zarvel-cli as the shell expects it: help and version on standard output, usage errors on
// standard error with exit status 2, "-" for standard input and output.
#include "CliProcess.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
TCliRun Run(const QStringList &arguments, const QByteArray &input = QByteArray())
{
    return RunCli(arguments, QString(), input);
}

QString Sample(const char *name)
{
    return QStringLiteral(ZARVEL_SOURCE_DIR "/samples/") + name;
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The page without its title line, which names the input as given.
QByteArray WithoutTitle(QByteArray page)
{
    const int start = page.indexOf("<TITLE>");
    const int end = page.indexOf("</TITLE>");
    return start < 0 || end < start ? page : page.remove(start, end - start);
}
} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void helpAndVersionGoToStandardOutput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("--help") << QStringList{"--help"} << "usage: zarvel-cli COMMAND";
        QTest::newRow("help") << QStringList{"help"} << "  merge TEMPLATE INF...";
        QTest::newRow("help merge")
            << QStringList{"help", "merge"} << "usage: zarvel-cli merge TEMPLATE INF...";
        QTest::newRow("merge --help") << QStringList{"merge", "x.tem", "--help"} << "--out-dir DIR";
        QTest::newRow("--version") << QStringList{"--version"} << "zarvel-cli " ZARVEL_VERSION "\n";
    }

    void helpAndVersionGoToStandardOutput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        const TCliRun run = Run(arguments);
        QCOMPARE(run.ExitCode, 0);
        QVERIFY2(QString::fromUtf8(run.Out).contains(expected), run.Out.constData());
        QVERIFY2(run.Err.isEmpty(), run.Err.constData());
    }

    void wrongArgumentsGiveUsageOnStandardError_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList();
        QTest::newRow("unknown command") << QStringList{"frobnicate"};
        QTest::newRow("unknown option") << QStringList{"--frobnicate"};
        QTest::newRow("help for no command") << QStringList{"help", "frobnicate"};
        QTest::newRow("text option") << QStringList{"text", "--wrap", Sample("letter.tem")};
        QTest::newRow("rtf2html option") << QStringList{"rtf2html", "-q", "in.rtf", "out.html"};
        QTest::newRow("rtf2html one file") << QStringList{"rtf2html", "in.rtf"};
        QTest::newRow("print-pdf option") << QStringList{"print-pdf", "--a4", "in.rtf", "o.pdf"};
        QTest::newRow("merge option") << QStringList{
            "merge", Sample("letter.tem"), Sample("letter-smith.inf"), "-o", "-", "-q"};
    }

    void wrongArgumentsGiveUsageOnStandardError()
    {
        QFETCH(QStringList, arguments);
        const TCliRun run = Run(arguments);
        QCOMPARE(run.ExitCode, 2);
        QVERIFY2(run.Out.isEmpty(), run.Out.constData());
        QVERIFY2(run.Err.contains("usage: zarvel-cli"), run.Err.constData());
    }

    void standardInputAndOutput()
    {
        QTemporaryDir dir;
        const QByteArray letter = ReadAll(Sample("letter.tem"));
        QVERIFY(!letter.isEmpty());

        // rtf2html - - gives the page that named files give, but for the title.
        const QString page = dir.filePath("letter.html");
        QCOMPARE(Run({"rtf2html", Sample("letter.tem"), page}).ExitCode, 0);
        const TCliRun piped = Run({"rtf2html", "-", "-"}, letter);
        QVERIFY2(piped.ExitCode == 0, piped.Err.constData());
        QVERIFY(piped.Out.contains("<TITLE>-</TITLE>"));
        QCOMPARE(WithoutTitle(piped.Out), WithoutTitle(ReadAll(page)));
        const TCliRun toFile = Run({"rtf2html", "-", dir.filePath("piped.html")}, letter);
        QCOMPARE(toFile.ExitCode, 0);
        QCOMPARE(ReadAll(dir.filePath("piped.html")), piped.Out);

        // text - reads what text FILE reads.
        const TCliRun named = Run({"text", Sample("letter.tem")});
        QCOMPARE(named.ExitCode, 0);
        QVERIFY(named.Out.startsWith("Hartley & Cook\n"));
        const TCliRun fromInput = Run({"text", "-"}, letter);
        QCOMPARE(fromInput.ExitCode, 0);
        QCOMPARE(fromInput.Out, named.Out);

        // merge -o - writes the merged text, and only that, to standard output.
        const QString merged = dir.filePath("smith.rtf");
        QCOMPARE(
            Run({"merge", Sample("letter.tem"), Sample("letter-smith.inf"), "-o", merged}).ExitCode,
            0);
        const TCliRun out =
            Run({"merge", Sample("letter.tem"), Sample("letter-smith.inf"), "-o", "-"});
        QCOMPARE(out.ExitCode, 0);
        QCOMPARE(out.Out, ReadAll(merged));
        QVERIFY(out.Err.contains("replacements"));
    }
};

ZARVEL_TEST_MAIN(TestCli)
#include "tst_cli.moc"
