// The page frame of the converter and how it fails: head and end of the page, the title,
// options, line breaks of the input, errors and what exists after them.
#include "HtmlPageMarkup.h"
#include "Rtf2HtmlTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QProcess>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "TestEnvironment.h"

using namespace Rtf2HtmlTest;
using namespace Rtf2Html;

namespace {
const QByteArray KHead = "<HTML>\r\n<HEAD>\r\n<META HTTP-EQUIV=\"Content-Type\" "
                         "CONTENT=\"text/html; charset=windows-1252\">\r\n"
                         "<TITLE>%1</TITLE>\r\n</HEAD>\r\n"
                         "<BODY TEXT=\"#000000\" BGCOLOR=\"#FFFFFF\" LINK=\"#3333FF\" "
                         "VLINK=\"#999999\" ALINK=\"#FF0000\">\r\n";

QString ErrorOf(const std::string &input, const std::string &output)
{
    try {
        ConvertRtfToHtml(input, output, {""});
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return QString();
}
} // namespace

class TestRtf2HtmlFrame : public QObject
{
    Q_OBJECT

private slots:
    void emptyDocumentGivesFrameOnly_data();
    void emptyDocumentGivesFrameOnly();
    void titleIsInputNameAsPassed();
    void optionsAreExactWords();
    void lineBreaksCarryNoMeaning_data();
    void lineBreaksCarryNoMeaning();
    void controlWordsEndWhereTheReaderEndsThem_data();
    void controlWordsEndWhereTheReaderEndsThem();
    void readingStopsAtOutermostGroupEnd();
    void inputEndingInsideGroupsClosesTags();
    void missingInputFailsBeforeOutputExists();
    void badHexEscapeFailsAndKeepsOldPage();
    void unwritableOutputKeepsOldFile();
    void linkedPageIsWrittenThrough();
    void secondConversionStartsAfresh();
    void corpusPagesAreUnchanged_data();
    void corpusPagesAreUnchanged();
    void commandLine();
};

void TestRtf2HtmlFrame::emptyDocumentGivesFrameOnly_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("empty group") << QByteArray("{\\rtf1}");
    QTest::newRow("only tables") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}"
                                               "{\\colortbl ;\\red1\\green2\\blue3;}}");
}

void TestRtf2HtmlFrame::emptyDocumentGivesFrameOnly()
{
    QFETCH(QByteArray, rtf);
    const QString input = QDir::current().filePath("in.rtf");
    const QByteArray expected =
        QString::fromLatin1(KHead).arg(input).toLatin1() + "\r\n</BODY>\r\n</HTML>\r\n";
    QCOMPARE(ConvertPage(rtf), expected);
}

void TestRtf2HtmlFrame::titleIsInputNameAsPassed()
{
    WriteFile("$$$", "{\\rtf1 x}");
    ConvertRtfToHtml("$$$", "page.html", {""});
    const QList<QByteArray> lines = PageLines(ReadFile("page.html"));
    QVERIFY(lines.size() > 3);
    QCOMPARE(lines.at(3), QByteArray("<TITLE>$$$</TITLE>"));
    // A name is text of the title, whatever it holds; one in UTF-8 keeps its characters.
    ConvertRtfToHtml("$$$", "page.html", {""}, "<script>&\xc3\xa9\xe9.rtf");
    QCOMPARE(PageLines(ReadFile("page.html")).value(3),
             QByteArray("<TITLE>&lt;script&gt;&amp;&#233;\xe9.rtf</TITLE>"));
}

void TestRtf2HtmlFrame::optionsAreExactWords()
{
    const QByteArray rtf = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 a\\par}";
    const QByteArray plain = Flat(rtf);
    QCOMPARE(plain, QByteArray("<FONT FACE=\"Arial\">a</FONT><BR>"));
    QCOMPARE(Flat(rtf, {"NOFONTS", "nofonts", "noFonts "}), plain);
    QCOMPARE(Flat(rtf, {"noFonts"}), QByteArray("a<BR>"));
}

void TestRtf2HtmlFrame::lineBreaksCarryNoMeaning_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("LF") << QByteArray("{\\rtf1 Hel\nlo\\b\n x\\par\n}");
    QTest::newRow("CR LF") << QByteArray("{\\rtf1 Hel\r\nlo\\b\r\n x\\par\r\n}");
    QTest::newRow("CR") << QByteArray("{\\rtf1 Hel\rlo\\b\r x\\par\r}");
    QTest::newRow("no break") << QByteArray("{\\rtf1 Hello\\b  x\\par}");
}

void TestRtf2HtmlFrame::lineBreaksCarryNoMeaning()
{
    QFETCH(QByteArray, rtf);
    // A control word ends at the end of its line; the space on the next line is text.
    QCOMPARE(Flat(rtf), QByteArray("Hello<B> x</B><BR>"));
}

void TestRtf2HtmlFrame::controlWordsEndWhereTheReaderEndsThem_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("body");
    // A word is lower-case letters, then any lower-case letters, digits and "-"; what follows
    // the last of them is read again, but for one space.
    QTest::newRow("letters after the number") << QByteArray("\\b0a x\\par") << QByteArray("x<BR>");
    QTest::newRow("hyphen without digits") << QByteArray("\\b- x\\par") << QByteArray("x<BR>");
    QTest::newRow("upper-case letter ends it")
        << QByteArray("\\bX y\\par") << QByteArray("<B>X y</B><BR>");
    QTest::newRow("upper-case letter after the backslash")
        << QByteArray("\\Bold x\\par") << QByteArray("old x<BR>");
    QTest::newRow("character number with letters after it")
        << QByteArray("\\u233a x\\par") << QByteArray("x<BR>");
    QTest::newRow("word at a line end")
        << QByteArray("\\b\ni x\\par") << QByteArray("<B>i x</B><BR>");
    // Only a skipped group reads binary data as data; its count has any number of digits.
    QTest::newRow("binary data in the body is read")
        << QByteArray("\\bin3 {x}\\par") << QByteArray("x<BR>");
    QTest::newRow("binary count of fourteen digits")
        << QByteArray("a{\\*\\x\\bin00000000000003 }}}}b") << QByteArray("ab");
    // ... and only where its "bin" is the first of the line.
    QTest::newRow("binary data after another bin of the line is not data")
        << QByteArray("a{\\*\\x bin\\bin1 {}b}c") << QByteArray("ac");
    QTest::newRow("binary data first on its line")
        << QByteArray("a{\\*\\x\\bin1 {}b}c") << QByteArray("ab");
    // A character's fallback passes over whole words and symbols, upper-case letters included.
    QTest::newRow("fallback of a word with its number and a symbol")
        << QByteArray("\\uc2\\u233\\b1-a \\~x\\par") << QByteArray("\xe9x<BR>");
    QTest::newRow("fallback of an upper-case symbol")
        << QByteArray("\\uc1\\u233\\Bx\\par") << QByteArray("\xe9x<BR>");
    // In the font table a backslash at the end of a line goes with the next line.
    QTest::newRow("font table word across lines")
        << QByteArray("{\\fonttbl{\\f1\\\nfcharset0 Arial;}}\\f1 x\\par")
        << QByteArray("<FONT FACE=\"Arial\">x</FONT><BR>");
}

void TestRtf2HtmlFrame::controlWordsEndWhereTheReaderEndsThem()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, body);
    QCOMPARE(Flat(rtf), body);
}

void TestRtf2HtmlFrame::readingStopsAtOutermostGroupEnd()
{
    QCOMPARE(Flat("{\\rtf1 a}}b c"), QByteArray("a"));
    QCOMPARE(Flat("{\\rtf1 a}b"), QByteArray("ab"));
}

void TestRtf2HtmlFrame::inputEndingInsideGroupsClosesTags()
{
    QCOMPARE(Body("{\\rtf1 {\\b bold{\\i both"), QByteArray("<B>bold</B><B><I>both</I></B>"));
    // The page end closes the alignment of the top level, which the groups' end restored.
    QCOMPARE(Body("{\\rtf1 \\qc\\b centred"), QByteArray("<CENTER><B>centred</B>"));
    QCOMPARE(Body("\\qc\\b centred"), QByteArray("<CENTER><B>centred</B></CENTER>"));
}

void TestRtf2HtmlFrame::missingInputFailsBeforeOutputExists()
{
    QFile::remove("new.htm");
    // The message keeps its usual words first, then names the file and the reason.
    QCOMPARE(ErrorOf("no such file.rtf", "new.htm"),
             QString("File not found: \"no such file.rtf\" (%1)").arg(strerror(ENOENT)));
    QVERIFY(!QFile::exists("new.htm"));

    WriteFile("old.htm", "old page");
    QVERIFY(ErrorOf("no such file.rtf", "old.htm").startsWith("File not found: "));
    QCOMPARE(ReadFile("old.htm"), QByteArray("old page"));
}

void TestRtf2HtmlFrame::badHexEscapeFailsAndKeepsOldPage()
{
    WriteFile("bad.rtf", "{\\rtf1 \\qr\\b ab\\'zzcd\\par}");
    WriteFile("bad.htm", "old page");
    QCOMPARE(ErrorOf("bad.rtf", "bad.htm"), QString("'zz' is not a valid integer value"));
    // A page cut short never takes the place of the old one, and leaves nothing behind.
    QCOMPARE(ReadFile("bad.htm"), QByteArray("old page"));
    QFile::remove("new.htm");
    QCOMPARE(ErrorOf("bad.rtf", "new.htm"), QString("'zz' is not a valid integer value"));
    QVERIFY(!QFile::exists("new.htm"));
    const QStringList leftovers =
        QDir::current().entryList({".rtf2html*"}, QDir::Hidden | QDir::Files);
    QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(' ')));

    // Upper-case digits are digits too; only other characters fail.
    WriteFile("bad.rtf", "{\\rtf1 \\'E4\\'4f}");
    QCOMPARE(ErrorOf("bad.rtf", "bad.htm"), QString());
    WriteFile("bad.rtf", "{\\rtf1 \\'4G}");
    QCOMPARE(ErrorOf("bad.rtf", "bad.htm"), QString("'4G' is not a valid integer value"));
    // Hidden text renders nothing, so its escapes are not converted.
    WriteFile("bad.rtf", "{\\rtf1 {\\v \\'zz}ok}");
    QCOMPARE(ErrorOf("bad.rtf", "bad.htm"), QString());
}

void TestRtf2HtmlFrame::unwritableOutputKeepsOldFile()
{
    WriteFile("in.rtf", "{\\rtf1 text}");
    const QString error = ErrorOf("in.rtf", "no such folder/out.htm");
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists("no such folder"));
    QDir().mkdir("folder.htm");
    QCOMPARE(ErrorOf("in.rtf", "folder.htm"),
             QString("File access denied: \"folder.htm\" (%1)").arg(strerror(EISDIR)));
    QVERIFY(QFileInfo("folder.htm").isDir());
    // A folder that cannot take a new file (the superuser's folders always can).
    if (geteuid() != 0) {
        QDir().mkdir("locked");
        QFile::setPermissions("locked", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QCOMPARE(ErrorOf("in.rtf", "locked/out.htm"),
                 QString("File access denied: \"locked/out.htm\" (%1)").arg(strerror(EACCES)));
        QFile::setPermissions("locked", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner);
    }
    // Nothing is left behind in the folder of the page.
    const QStringList leftovers =
        QDir::current().entryList({".rtf2html*"}, QDir::Hidden | QDir::Files);
    QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(' ')));
}

void TestRtf2HtmlFrame::linkedPageIsWrittenThrough()
{
    // Save As onto a link replaces the file the link names, in its folder; the link stays.
    WriteFile("in.rtf", "{\\rtf1 text\\par}");
    QVERIFY(QDir().mkpath("pages"));
    WriteFile("pages/real.htm", "old page");
    QFile::remove("link.htm");
    QVERIFY(QFile::link("pages/real.htm", "link.htm"));
    QCOMPARE(ErrorOf("in.rtf", "link.htm"), QString());
    QVERIFY(QFileInfo("link.htm").isSymLink());
    QCOMPARE(BodyOf(ReadFile("pages/real.htm")), QByteArray("text<BR>\n"));
    const QStringList leftovers = QDir("pages").entryList(QDir::Hidden | QDir::Files);
    QCOMPARE(leftovers, QStringList({"real.htm"}));
}

void TestRtf2HtmlFrame::secondConversionStartsAfresh()
{
    const QByteArray first = "{\\rtf1{\\fonttbl{\\f1 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                             "{\\stylesheet{\\s1 heading 1;}{\\s2 toc 1;}}\\s2 a\\par\\li720 b}";
    Body(first);
    // No font, colour, style, counter or list of the first document survives.
    QCOMPARE(Flat("{\\rtf1\\f1\\cf1\\s2 a\\par\\s1 b\\par}"),
             QByteArray("<FONT FACE=\"\">a</FONT><BR><FONT FACE=\"\">b</FONT><BR>"));
}

void TestRtf2HtmlFrame::corpusPagesAreUnchanged_data()
{
    // Every rich text the tests read (hostile ones included) and the sample templates; each
    // page is stored in rtf2html/corpus, without options and with "optimize".
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("options");
    QFileInfoList inputs;
    for (const QString &folder :
         {TestEnvironment::dataPath("rtf"), TestEnvironment::dataPath("rtf2html"),
          QStringLiteral(ZARVEL_SOURCE_DIR "/samples")})
        inputs += QDir(folder).entryInfoList({"*.rtf", "*.tem"}, QDir::Files, QDir::Name);
    QVERIFY(inputs.size() > 20);
    for (const QFileInfo &input : inputs) {
        for (const QString &options : {QString(), QStringLiteral("optimize")})
            QTest::addRow("%s %s", qPrintable(input.fileName()), qPrintable(options))
                << input.filePath() << options;
    }
}

void TestRtf2HtmlFrame::corpusPagesAreUnchanged()
{
    QFETCH(QString, input);
    QFETCH(QString, options);
    // Converted under its own name, which titles the page.
    const QFileInfo source(input);
    QFile::remove(source.fileName());
    QVERIFY(QFile::copy(input, source.fileName()));
    const QString stored =
        TestEnvironment::dataPath("rtf2html/corpus/" + source.completeBaseName() +
                                  (options.isEmpty() ? QString() : "." + options) + ".htm");
    // Only the hex escape that is no number fails, and then no page is written.
    const bool fails = source.baseName() == "hostile_badhex";
    const QByteArray expected = ReadFile(stored);
    QVERIFY2(fails || !expected.isEmpty(), qPrintable(stored));

    QFile::remove("page.htm");
    QString error;
    try {
        ConvertRtfToHtml(source.fileName().toStdString(), "page.htm", Options(options));
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
    }
    QCOMPARE(ReadFile("page.htm"), expected);
    QCOMPARE(QFile::exists("page.htm"), !fails);
    const std::string unexpected = UnexpectedMarkup(expected.toStdString());
    QVERIFY2(unexpected.empty(), unexpected.c_str());
    QCOMPARE(error, fails ? QStringLiteral("'zz' is not a valid integer value") : QString());
}

void TestRtf2HtmlFrame::commandLine()
{
    const QString cli = qEnvironmentVariable("ZARVEL_BIN_DIR") + "/zarvel-cli";
    if (!QFileInfo::exists(cli))
        QSKIP("zarvel-cli is not built");
    WriteFile("cli.rtf", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\b a\\b0\\b b\\par}");
    QProcess process;
    process.start(
        cli, {"rtf2html", "cli.rtf", "cli.htm", "--option", "noFonts", "--option", "optimize"});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(BodyOf(ReadFile("cli.htm")), QByteArray("<B>ab</B><BR>\n"));
    // The command line titles the page with the input name as given.
    QCOMPARE(PageLines(ReadFile("cli.htm")).value(3), QByteArray("<TITLE>cli.rtf</TITLE>"));

    QFile::remove("none.htm");
    process.start(cli, {"rtf2html", "no such.rtf", "none.htm"});
    QVERIFY(process.waitForFinished(60000));
    QVERIFY(process.exitCode() != 0);
    QVERIFY(process.readAllStandardError().contains("File not found"));
    QVERIFY(!QFile::exists("none.htm"));

    process.start(cli, {"rtf2html", "cli.rtf"});
    QVERIFY(process.waitForFinished(60000));
    QVERIFY(process.exitCode() != 0);
}

ZARVEL_TEST_MAIN(TestRtf2HtmlFrame)
#include "tst_rtf2html_frame.moc"
