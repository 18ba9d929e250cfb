// Text helpers and the whole-file read and write of the string utilities.
#include "text/StringUtils.h"

#include "TestEnvironment.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
std::string Bytes(const QByteArray &bytes)
{
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

QByteArray ReadFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void WriteFile(const QString &name, const QByteArray &content)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), qint64(content.size()));
}
} // namespace

class TestStringUtils : public QObject
{
    Q_OBJECT

private slots:
    void trimming_data();
    void trimming();
    void rightPart_data();
    void rightPart();
    void loadTextFile_data();
    void loadTextFile();
    void loadMissingFileFails_data();
    void loadMissingFileFails();
    void saveWritesBytesUnchanged_data();
    void saveWritesBytesUnchanged();
    void saveReplacesLongerFile();
    void saveAfterLoadWritesConvertedLineEnds();
    void saveIntoMissingFolderFails();
    void saveOverFolderFails();
    void saveKeepsPermissionsAndLinks();
    void failedSaveLeavesNoTemporaryFile();
    void saveRemovesWhatAKilledSaveLeft();
};

void TestStringUtils::trimming_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("trimmed");
    QTest::addColumn<QByteArray>("leadingXGone");
    QTest::addColumn<QByteArray>("trailingXGone");

    QTest::newRow("spaces both sides") << QByteArray("  word  ") << QByteArray("word")
                                       << QByteArray("  word  ") << QByteArray("  word  ");
    QTest::newRow("only spaces") << QByteArray("    ") << QByteArray() << QByteArray("    ")
                                 << QByteArray("    ");
    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("inner spaces stay") << QByteArray(" a  b ") << QByteArray("a  b")
                                       << QByteArray(" a  b ") << QByteArray(" a  b ");
    QTest::newRow("tabs and line ends stay") << QByteArray("\t a \r\n") << QByteArray("\t a \r\n")
                                             << QByteArray("\t a \r\n") << QByteArray("\t a \r\n");
    QTest::newRow("runs of x") << QByteArray("xxaxbxx") << QByteArray("xxaxbxx")
                               << QByteArray("axbxx") << QByteArray("xxaxb");
    QTest::newRow("only x") << QByteArray("xxx") << QByteArray("xxx") << QByteArray()
                            << QByteArray();
}

void TestStringUtils::trimming()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, trimmed);
    QFETCH(QByteArray, leadingXGone);
    QFETCH(QByteArray, trailingXGone);
    QCOMPARE(TrimSpaces(Bytes(text)), Bytes(trimmed));
    QCOMPARE(StripLeading(Bytes(text), 'x'), Bytes(leadingXGone));
    QCOMPARE(StripTrailing(Bytes(text), 'x'), Bytes(trailingXGone));
}

void TestStringUtils::rightPart_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("part");

    QTest::newRow("one") << QByteArray("abc") << 1 << QByteArray("c");
    QTest::newRow("two") << QByteArray("abc") << 2 << QByteArray("bc");
    QTest::newRow("all") << QByteArray("abc") << 3 << QByteArray("abc");
    QTest::newRow("more than all") << QByteArray("abc") << 5 << QByteArray("abc");
    QTest::newRow("zero") << QByteArray("abc") << 0 << QByteArray();
    QTest::newRow("negative") << QByteArray("abc") << -2 << QByteArray();
    QTest::newRow("empty text") << QByteArray() << 2 << QByteArray();
}

void TestStringUtils::rightPart()
{
    QFETCH(QByteArray, text);
    QFETCH(int, count);
    QFETCH(QByteArray, part);
    QCOMPARE(RightPart(Bytes(text), count), Bytes(part));
}

void TestStringUtils::loadTextFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("empty file") << QByteArray() << QByteArray();
    QTest::newRow("line feeds") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("carriage returns") << QByteArray("a\rb\r") << QByteArray("a\r\nb\r\n");
    QTest::newRow("already CR LF") << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("last line unended") << QByteArray("a\nlast") << QByteArray("a\r\nlast\r\n");
    QTest::newRow("one line") << QByteArray("abc") << QByteArray("abc\r\n");
    QTest::newRow("empty lines") << QByteArray("\n\n") << QByteArray("\r\n\r\n");
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QByteArray("a\r\n\r\nb\r\n");
    QTest::newRow("mixed") << QByteArray("a\r\r\nb\nc") << QByteArray("a\r\n\r\nb\r\nc\r\n");
    QTest::newRow("ends at byte 0") << QByteArray("ab\0cd\n", 6) << QByteArray("ab\r\n");
    QTest::newRow("byte 0 first") << QByteArray("\0abc", 4) << QByteArray();
    QTest::newRow("high bytes kept")
        << QByteArray("\xe9\xff\x80\n") << QByteArray("\xe9\xff\x80\r\n");
    QTest::newRow("rich text") << QByteArray("{\\rtf1 @1\\par\n}")
                               << QByteArray("{\\rtf1 @1\\par\r\n}\r\n");
}

void TestStringUtils::loadTextFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, text);
    const QString name = QDir::current().filePath("load.txt");
    WriteFile(name, content);
    QCOMPARE(LoadTextFile(name.toStdString()), Bytes(text));
}

void TestStringUtils::loadMissingFileFails_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing") << QDir::current().filePath("no such file.rtf");
    QTest::newRow("folder") << QDir::currentPath();
    QTest::newRow("empty name") << QString();
}

void TestStringUtils::loadMissingFileFails()
{
    QFETCH(QString, name);
    try {
        LoadTextFile(name.toStdString());
        QFAIL("no error");
    } catch (const EFOpenError &e) {
        QCOMPARE(QString::fromUtf8(e.what()), "Cannot open file " + name);
    }
}

void TestStringUtils::saveWritesBytesUnchanged_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("no line end added") << QByteArray("abc");
    QTest::newRow("line ends kept") << QByteArray("a\nb\rc\r\n");
    QTest::newRow("byte 0 and high bytes") << QByteArray("a\0\xff\x81z", 5);
    QTest::newRow("large") << QByteArray(3 * 1024 * 1024 + 17, 'q');
}

void TestStringUtils::saveWritesBytesUnchanged()
{
    QFETCH(QByteArray, text);
    const QString name = QDir::current().filePath("save.txt");
    SaveTextFile(name.toStdString(), Bytes(text));
    QCOMPARE(ReadFile(name), text);
}

void TestStringUtils::saveReplacesLongerFile()
{
    const QString name = QDir::current().filePath("$$$");
    WriteFile(name, QByteArray(1000, 'x'));
    SaveTextFile("$$$", "short");
    QCOMPARE(ReadFile(name), QByteArray("short"));
}

void TestStringUtils::saveAfterLoadWritesConvertedLineEnds()
{
    const QString name = QDir::current().filePath("unix.txt");
    WriteFile(name, "one\ntwo\n");
    SaveTextFile(name.toStdString(), LoadTextFile(name.toStdString()));
    QCOMPARE(ReadFile(name), QByteArray("one\r\ntwo\r\n"));
}

void TestStringUtils::saveIntoMissingFolderFails()
{
    const std::string name = QDir::current().filePath("missing/out.txt").toStdString();
    try {
        SaveTextFile(name, "x");
        QFAIL("no error");
    } catch (const EFCreateError &e) {
        QCOMPARE(std::string(e.what()), "Cannot create file " + name);
    }
}

void TestStringUtils::saveOverFolderFails()
{
    QDir().mkpath("afolder");
    QVERIFY_THROWS_EXCEPTION(EFCreateError, SaveTextFile("afolder", "x"));
    QVERIFY(QFileInfo("afolder").isDir());
}

void TestStringUtils::saveKeepsPermissionsAndLinks()
{
    const QString target = QDir::current().filePath("target.txt");
    WriteFile(target, "old");
    QVERIFY(::chmod(target.toLocal8Bit().constData(), 0640) == 0);
    QFile::remove("link.txt");
    QVERIFY(QFile::link(target, "link.txt"));

    SaveTextFile("link.txt", "new");
    QVERIFY(QFileInfo("link.txt").isSymLink());
    QCOMPARE(ReadFile(target), QByteArray("new"));
    struct stat info
    {
    };
    QVERIFY(::stat(target.toLocal8Bit().constData(), &info) == 0);
    QCOMPARE(int(info.st_mode & 0777), 0640);
}

void TestStringUtils::failedSaveLeavesNoTemporaryFile()
{
    QDir().mkpath("clean");
    QDir().mkpath("clean/sub");
    QVERIFY_THROWS_EXCEPTION(EFCreateError, SaveTextFile("clean/sub", "x"));
    SaveTextFile("clean/ok.txt", "x");
    QCOMPARE(QDir("clean").entryList(QDir::Files | QDir::Hidden), QStringList{"ok.txt"});
}

// A save killed while it writes leaves its temporary file; the next save in that folder removes
// it, but not the temporary file of a process that still runs.
void TestStringUtils::saveRemovesWhatAKilledSaveLeft()
{
    QDir().mkpath("left");
    const std::string text(20 << 20, 'x');
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            for (;;)
                SaveTextFile("left/big.txt", text);
        } catch (...) {
        }
        ::_exit(1);
    }
    QVERIFY(child > 0);
    const auto temporaries = [] {
        return QDir("left").entryList({".big.txt.*"}, QDir::Files | QDir::Hidden);
    };
    // Counted sleeps, not a wait by the clock, which once ended at once on a busy test machine
    // with the child's file a moment away. The bound only catches a hang.
    for (int wait = 0; wait < 60000 && temporaries().isEmpty(); ++wait)
        ::usleep(5000);
    QVERIFY(!temporaries().isEmpty());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    // It may have been killed between two saves; then a file it would have left stands in.
    const QString left = QStringLiteral("left/.big.txt.zarvel-%1-1.tmp").arg(child);
    if (temporaries().isEmpty())
        WriteFile(left, "part");
    QVERIFY(temporaries().first().startsWith(QStringLiteral(".big.txt.zarvel-%1-").arg(child)));
    const QString running =
        QStringLiteral("left/.other.txt.zarvel-%1-2.tmp").arg(QCoreApplication::applicationPid());
    WriteFile(running, "being written");

    SaveTextFile("left/small.txt", "x");
    QVERIFY2(temporaries().isEmpty(), qPrintable(temporaries().join(' ')));
    QVERIFY(QFile::exists(running));
    QCOMPARE(ReadFile("left/small.txt"), QByteArray("x"));
}

ZARVEL_TEST_MAIN(TestStringUtils)
#include "tst_stringutils.moc"
