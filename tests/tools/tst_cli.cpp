// zarvel-cli as the shell expects it: help and version on standard output, usage errors on
// standard error with exit status 2, "-" for standard input and output.
#include "CliProcess.h"
#include "TestEnvironment.h"

#include "../rtf2html/HtmlPageMarkup.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <elf.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

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

// Whether the program asks for a dynamic loader (a static one loads no library at all).
bool IsDynamicProgram(const QString &path)
{
    const QByteArray bytes = ReadAll(path);
    Elf64_Ehdr header;
    if (bytes.size() < static_cast<qsizetype>(sizeof header))
        return true;
    memcpy(&header, bytes.constData(), sizeof header);
    for (int i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment;
        const qsizetype at = static_cast<qsizetype>(header.e_phoff + i * sizeof segment);
        if (at + static_cast<qsizetype>(sizeof segment) > bytes.size())
            break;
        memcpy(&segment, bytes.constData() + at, sizeof segment);
        if (segment.p_type == PT_INTERP)
            return true;
    }
    return false;
}

void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

mode_t ModeOf(const QString &path)
{
    struct stat info
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

void SetMode(const QString &path, mode_t mode)
{
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode) == 0);
}

// The arguments of a command that writes out, by the command's name.
QStringList Writing(const QString &command, const QString &out)
{
    if (command == "merge")
        return {"merge", Sample("letter.tem"), Sample("letter-smith.inf"), "-o", out};
    return {command, Sample("letter.tem"), out};
}

// The names of the files in folder, hidden ones included (a temporary file left behind).
QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Sets an environment variable (unsets it for an empty value) for the object's life.
class TEnvironmentScope
{
public:
    TEnvironmentScope(const char *name, const QByteArray &value)
        : FName(name), FHad(qEnvironmentVariableIsSet(name)), FOld(qgetenv(name))
    {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~TEnvironmentScope()
    {
        if (FHad)
            qputenv(FName, FOld);
        else
            qunsetenv(FName);
    }
    TEnvironmentScope(const TEnvironmentScope &) = delete;
    TEnvironmentScope &operator=(const TEnvironmentScope &) = delete;

private:
    const char *FName;
    bool FHad;
    QByteArray FOld;
};

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

    // Commands of the plain engines run without the window toolkit (its libraries are never
    // loaded); those that need the document model get it, with the same output as ever.
    void toolkitOnlyForCommandsThatNeedIt_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("toolkit");
        QTest::addColumn<QByteArray>("output");
        const QString plainInformation = Sample("letter-smith.inf"); // code page 1252
        // In the scratch folder that is the current one.
        const QString richInformation = QDir::current().filePath("rich.inf");
        Write(richInformation, "{\\rtf1\\ansi Name\\par Jo \\b Smith\\b0\\par}");
        const QString dear = QDir::current().filePath("dear.tem");
        Write(dear, "{\\rtf1\\ansi Dear @1.\\par}");
        QTest::newRow("eval") << QStringList{"eval", "2*(3+4)"} << false << QByteArray("14.00\n");
        QTest::newRow("rtf2html") << QStringList{"rtf2html", Sample("letter.tem"), "-"} << false
                                  << QByteArray("<HTML>");
        QTest::newRow("merge, plain information")
            << QStringList{"merge", Sample("letter.tem"), plainInformation, "-o", "-"} << false
            << QByteArray("Eleanor Smith");
        QTest::newRow("check, plain information")
            << QStringList{"check", Sample("letter.tem"), plainInformation} << false
            << QByteArray("@1");
        QTest::newRow("merge, batch of plain information")
            << QStringList{"merge", Sample("letter.tem"), plainInformation, "--out-dir", "front"}
            << false << QByteArray("replacements -> front/letter-smith.rtf");
        QTest::newRow("merge, rich information")
            << QStringList{"merge", dear, richInformation, "-o", "-"} << true
            << QByteArray("Dear Jo Smith.");
        QTest::newRow("merge, missing information")
            << QStringList{"merge", Sample("letter.tem"), "missing.inf", "-o", "-"} << true
            << QByteArray();
        // The text of a letter, a table, a shape, a text box or a nested table is read without
        // the model; a table whose rows state no cells is the model's.
        QTest::newRow("text") << QStringList{"text", Sample("letter.tem")} << false
                              << QByteArray("Hartley & Cook\n");
        const QString table = QDir::current().filePath("table.rtf");
        Write(table, "{\\rtf1\\ansi\\trowd\\cellx1000\\cellx2000\\intbl One\\cell Two\\cell"
                     "\\row\\pard After\\par}");
        QTest::newRow("text of a table")
            << QStringList{"text", table} << false << QByteArray("\nOne\nTwo\n\nAfter\n");
        const QString shape = QDir::current().filePath("shape.rtf");
        Write(shape, "{\\rtf1\\ansi A{\\shp{\\*\\shpinst{\\sp{\\sn fillColor}{\\sv 255}}}}B\\par}");
        QTest::newRow("text of a shape") << QStringList{"text", shape} << false
                                         << QByteArray("A\xEF\xBF\xBC"
                                                       "B\n");
        const QString box = QDir::current().filePath("box.rtf");
        Write(box, "{\\rtf1\\ansi A{\\shp{\\*\\shpinst{\\shptxt In the box\\par}}}B\\par}");
        QTest::newRow("text of a text box")
            << QStringList{"text", box} << false << QByteArray("A\nIn the box\nB\n");
        const QString nested = QDir::current().filePath("nested.rtf");
        Write(nested, "{\\rtf1\\ansi A\\par\\trowd\\cellx2000\\intbl One{\\itap2 Inner\\nestcell"
                      "{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}}\\cell\\row\\pard B\\par}");
        QTest::newRow("text of a nested table")
            << QStringList{"text", nested} << false << QByteArray("A\n\n\nOneInner\n\n\n\nB\n");
        const QString guessed = QDir::current().filePath("guessed.rtf");
        Write(guessed, "{\\rtf1\\ansi\\intbl One\\cell Two\\cell\\row\\pard After\\par}");
        QTest::newRow("text of rows without cells")
            << QStringList{"text", guessed} << true << QByteArray("\nOne\nTwo\n\nAfter\n");
        QTest::newRow("list of commands") << QStringList{"help"} << true << QByteArray("print-pdf");
    }

    void toolkitOnlyForCommandsThatNeedIt()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, toolkit);
        QFETCH(QByteArray, output);
        // The dynamic loader names every library it loads on standard error.
        qputenv("LD_DEBUG", "files");
        const TCliRun run = Run(arguments);
        qunsetenv("LD_DEBUG");
        QVERIFY2(run.ExitCode >= 0, run.Err.right(2000).constData());
        // A front program linked static has no loader to report; the model program has one.
        if (toolkit || IsDynamicProgram(qEnvironmentVariable("ZARVEL_BIN_DIR") + "/zarvel-cli"))
            QVERIFY2(run.Err.contains("file=libc.so"), "the loader's report is missing");
        // The front program maps no Qt library at all.
        QCOMPARE(run.Err.contains("file=libQt6"), toolkit);
        QCOMPARE(run.Err.contains("file=libQt6Gui.so"), toolkit);
        QCOMPARE(run.Err.contains("file=libQt6Widgets.so"), toolkit);
        QVERIFY2(run.Out.contains(output), run.Out.left(2000).constData());
    }

    // eval reads numbers with the decimal separator of the numeric locale the environment
    // names, as the C library finds it; the value is written as the merge writes it.
    void evalTakesTheLocalesDecimalSeparator()
    {
        // A German locale of the test's own where the system has none.
        QTemporaryDir locales;
        QProcess localedef;
        localedef.start("localedef",
                        {"-i", "de_DE", "-f", "UTF-8", locales.filePath("de_DE.UTF-8")});
        const bool german = localedef.waitForFinished(120000) &&
                            localedef.exitStatus() == QProcess::NormalExit &&
                            QFileInfo(locales.filePath("de_DE.UTF-8")).isDir();
        const TEnvironmentScope path("LOCPATH", QFile::encodeName(locales.path()));
        const auto eval = [](const char *locale, const QString &expression) {
            const TEnvironmentScope all("LC_ALL", locale);
            return Run({"eval", expression});
        };
        const TCliRun point = eval("C.UTF-8", "1.5+1");
        QCOMPARE(point.ExitCode, 0);
        QCOMPARE(point.Out.trimmed(), QByteArray("2.50"));
        QCOMPARE(eval("C.UTF-8", "1,5+1").ExitCode, 1);
        // A locale the system lacks is the "C" one.
        QCOMPARE(eval("xx_YY.UTF-8", "1.5+1").ExitCode, 0);
        if (!german)
            QSKIP("localedef cannot build a German locale here: only the point was tried");
        const TCliRun comma = eval("de_DE.UTF-8", "1,5+1");
        QCOMPARE(comma.ExitCode, 0);
        QCOMPARE(comma.Out.trimmed(), QByteArray("2.50"));
        QCOMPARE(eval("de_DE.UTF-8", "1.5+1").ExitCode, 1);
        // LANG alone names it too.
        const TEnvironmentScope noAll("LC_ALL", QByteArray());
        const TEnvironmentScope lang("LANG", "de_DE.UTF-8");
        QCOMPARE(Run({"eval", "1,5*2"}).Out.trimmed(), QByteArray("3.00"));
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
        {
            // The scratch folder of a killed call goes when the next call makes one; a call
            // that names its files leaves the folder of temporary files unread.
            QTemporaryDir temp;
            const TEnvironmentScope scope("TMPDIR", QFile::encodeName(temp.path()));
            const QString killed = temp.filePath("zarvel-999999999-Ab3dEf");
            QVERIFY(QDir().mkpath(killed + "/inner"));
            QCOMPARE(Run({"rtf2html", Sample("letter.tem"), page}).ExitCode, 0);
            QVERIFY(QFileInfo::exists(killed));
            const TCliRun fromInput = Run({"rtf2html", "-", "-"}, letter);
            QVERIFY2(fromInput.ExitCode == 0, fromInput.Err.constData());
            QVERIFY(!QFileInfo::exists(killed));
            QCOMPARE(QDir(temp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                     QStringList());
        }
        {
            // A TMPDIR that names no folder is passed over for /tmp.
            const TEnvironmentScope missing("TMPDIR", QFile::encodeName(dir.filePath("none")));
            const TCliRun scratchInTmp = Run({"rtf2html", "-", "-"}, letter);
            QVERIFY2(scratchInTmp.ExitCode == 0, scratchInTmp.Err.constData());
            QCOMPARE(scratchInTmp.Out, piped.Out);
        }

        // text - reads what text FILE reads.
        const TCliRun named = Run({"text", Sample("letter.tem")});
        QCOMPARE(named.ExitCode, 0);
        QVERIFY(named.Out.startsWith("Hartley & Cook\n"));
        const TCliRun fromInput = Run({"text", "-"}, letter);
        QCOMPARE(fromInput.ExitCode, 0);
        QCOMPARE(fromInput.Out, named.Out);

        // text and lines keep names outside code page 1252, a path's backslashes and braces;
        // lines splits at manual line breaks as the merge does.
        const QByteArray rich("{\\rtf1\\ansi\\uc1 \\u321?\\'f3d\\u378?\\line "
                              "\\u26446?\\u23567?\\u40845?\\par C:\\\\Docs\\{x\\}\\par}");
        const TCliRun richText = Run({"text", "-"}, rich);
        QCOMPARE(richText.ExitCode, 0);
        QCOMPARE(QString::fromUtf8(richText.Out), QString::fromUtf8("Łódź\n李小龍\nC:\\Docs{x}\n"));
        const TCliRun richLines = Run({"lines", "-"}, rich);
        QCOMPARE(richLines.ExitCode, 0);
        QCOMPARE(QString::fromUtf8(richLines.Out),
                 QString::fromUtf8("3\nŁódź\n李小龍\nC:\\Docs{x}\n"));

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

    void failedConversionKeepsOldPage()
    {
        QTemporaryDir dir;
        Write(dir.filePath("bad.rtf"), "{\\rtf1 \\b text\\'zz more\\par}");
        Write(dir.filePath("page.html"), "old page");
        const TCliRun run = Run({"rtf2html", dir.filePath("bad.rtf"), dir.filePath("page.html")});
        QCOMPARE(run.ExitCode, 1);
        QVERIFY2(run.Err.contains("'zz' is not a valid integer value"), run.Err.constData());
        QCOMPARE(ReadAll(dir.filePath("page.html")), QByteArray("old page"));
        QCOMPARE(Entries(dir.path()), QStringList({"bad.rtf", "page.html"}));
    }

    void writtenFilesAreReplacedSafely_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("name");
        QTest::newRow("rtf2html") << "rtf2html"
                                  << "page.html";
        QTest::newRow("merge to HTML") << "merge"
                                       << "page.html";
        QTest::newRow("print-pdf") << "print-pdf"
                                   << "page.pdf";
    }

    void writtenFilesAreReplacedSafely()
    {
        QFETCH(QString, command);
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString target = dir.filePath(name);

        // A file without write permission is refused, also for root, and stays as it was.
        Write(target, "old");
        SetMode(target, 0444);
        TCliRun run = Run(Writing(command, target));
        QVERIFY(run.ExitCode != 0);
        QVERIFY2(run.Err.contains("read-only"), run.Err.constData());
        QCOMPARE(ReadAll(target), QByteArray("old"));
        QCOMPARE(ModeOf(target), mode_t(0444));

        // A replaced file keeps its permissions, and what killed commands left beside it (a
        // new file, a private folder) goes.
        SetMode(target, 0640);
        Write(dir.filePath("." + name + ".zarvel-999999999-Ab3dEf"), "cut sh");
        QVERIFY(QDir().mkpath(dir.filePath("." + name + ".zarvel-999999998-Gh4iJk")));
        run = Run(Writing(command, target));
        QVERIFY2(run.ExitCode == 0, run.Err.constData());
        QVERIFY(ReadAll(target).size() > 100);
        QCOMPARE(ModeOf(target), mode_t(0640));
        QCOMPARE(Entries(dir.path()), QStringList({name}));

        // A link is written through: the file it names gets the new content in its own
        // folder, and the link stays a link.
        QVERIFY(QDir(dir.path()).mkdir("real"));
        const QString real = dir.filePath("real/" + name);
        Write(real, "old");
        SetMode(real, 0600);
        const QString link = dir.filePath("link-" + name);
        QVERIFY(QFile::link("real/" + name, link));
        run = Run(Writing(command, link));
        QVERIFY2(run.ExitCode == 0, run.Err.constData());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(ReadAll(link), ReadAll(real));
        QVERIFY(ReadAll(real).size() > 100);
        QCOMPARE(ModeOf(real), mode_t(0600));
        QCOMPARE(Entries(dir.filePath("real")), QStringList({name}));
        QCOMPARE(Entries(dir.path()), QStringList({"link-" + name, name, "real"}));

        // A link that another user planted in a folder every user may write to is not
        // followed: the file it names stays as it was.
        const QString shared = dir.filePath("shared");
        QVERIFY(QDir(dir.path()).mkdir("shared"));
        SetMode(shared, 01777);
        const QString planted = shared + "/" + name;
        QVERIFY(QFile::link(real, planted));
        const QByteArray before = ReadAll(real);
        if (::geteuid() == 0) {
            QVERIFY(::lchown(QFile::encodeName(planted).constData(), 65534, 65534) == 0);
            run = Run(Writing(command, planted));
            QVERIFY(run.ExitCode != 0);
            QVERIFY2(run.Err.contains("link of another user"), run.Err.constData());
            QCOMPARE(ReadAll(real), before);
            QVERIFY(QFileInfo(planted).isSymLink());
        }
        // The caller's own link there is followed.
        QVERIFY(::lchown(QFile::encodeName(planted).constData(), ::geteuid(), ::getegid()) == 0);
        Write(real, "old");
        run = Run(Writing(command, planted));
        QVERIFY2(run.ExitCode == 0, run.Err.constData());
        QVERIFY(ReadAll(real).size() > 100);
    }

    void documentTextInMergedPagesIsText()
    {
        QTemporaryDir dir;
        // Values of a merge reach the page as text, whatever they spell.
        QByteArray values = ReadAll(Sample("letter-smith.inf"));
        QVERIFY(!values.isEmpty());
        const int firstValue = values.indexOf('\n') + 1;
        values.insert(firstValue,
                      "<script>alert(1)</script>\" onmouseover=\"x http://a.example/\"x ");
        Write(dir.filePath("hostile.inf"), values);
        const QString page = dir.filePath("page.html");
        const TCliRun run =
            Run({"merge", Sample("letter.tem"), dir.filePath("hostile.inf"), "-o", page});
        QVERIFY2(run.ExitCode == 0, run.Err.constData());
        const QByteArray html = ReadAll(page);
        QVERIFY2(html.contains("&lt;script&gt;alert(1)&lt;/script&gt;"), html.constData());
        const std::string unexpected = Rtf2HtmlTest::UnexpectedMarkup(html.toStdString());
        QVERIFY2(unexpected.empty(), unexpected.c_str());
    }

    void inputsThatAreNoFilesAreRefused_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("pipe without a writer") << "rtf2html"
                                               << "fifo" << QByteArray("not a regular file");
        QTest::newRow("pipe to print") << "print-pdf"
                                       << "fifo" << QByteArray("not a regular file");
        QTest::newRow("endless device") << "rtf2html"
                                        << "/dev/zero" << QByteArray("not a regular file");
        QTest::newRow("folder") << "rtf2html"
                                << "." << QByteArray("is a folder");
        QTest::newRow("too large to convert") << "rtf2html"
                                              << "large.rtf" << QByteArray("larger than 64 MiB");
        QTest::newRow("too large to print") << "print-pdf"
                                            << "large.rtf" << QByteArray("larger than 16 MiB");
        QTest::newRow("too large to load") << "text"
                                           << "large.rtf" << QByteArray("larger than 16 MiB");
    }

    void inputsThatAreNoFilesAreRefused()
    {
        QFETCH(QString, command);
        QFETCH(QString, input);
        QFETCH(QByteArray, message);
        QTemporaryDir dir;
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600) == 0);
        // Sparse: the size is there without the bytes.
        QFile large(dir.filePath("large.rtf"));
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize(qint64(65) << 20));
        large.close();
        Write(dir.filePath("out"), "old");

        const QString out = dir.filePath("out");
        const QStringList arguments =
            command == "text" ? QStringList{command, input} : QStringList{command, input, out};
        const TCliRun run = RunCli(arguments, dir.path());
        QCOMPARE(run.ExitCode, 1);
        QVERIFY2(run.Err.contains(message), run.Err.constData());
        QCOMPARE(ReadAll(out), QByteArray("old"));
    }
};

ZARVEL_TEST_MAIN(TestCli)
#include "tst_cli.moc"
