// Loading and saving through the control's lines: rich text with the plain-text fallback,
// selection loads, InsertFromFile, progress events, errors and safe saving.
#include "TestEnvironment.h"

#include "richedit/EFileStreamError.h"
#include "richedit/EOutOfResources.h"
#include "richedit/TLongParagraphs.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "rtf/TDocumentText.h"
#include "rtf/TRtfWriter.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFontMetrics>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest>

#include <cerrno>
#include <cstring>

#include <stdexcept>

namespace {
void WriteFile(const QString &name, const QByteArray &data)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray ReadFile(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A stream that cannot go back, as a pipe.
class SequentialDevice : public QIODevice
{
public:
    explicit SequentialDevice(QByteArray data) : FData(std::move(data)) { open(ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min<qint64>(maxSize, FData.size() - FPos);
        std::copy_n(FData.constData() + FPos, n, data);
        FPos += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray FData;
    qint64 FPos = 0;
};

const QByteArray SimpleRtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
                             "\\f0\\fs20 Dear @1,\\par Second {\\b bold} line\\par}";
} // namespace

class TestLinesStreaming : public QObject
{
    Q_OBJECT

private slots:
    void plainTextFallback_data();
    void plainTextFallback();
    void richTextLoads();
    void fallbackFromSequentialStream();
    void textExtensionSavesRichText();
    void saveLoadSaveSameBytes();
    void plainTextOutput();
    void selectedInOutLoad();
    void insertFromFileReplacesSelection();
    void wholeLoadResetsModifiedAndUndo();
    void progressEvents();
    void failingLoadProgress();
    void failedSaveKeepsOldFile();
    void missingFile();
    void hostileInputs_data();
    void hostileInputs();
    void hugeParagraph_data();
    void hugeParagraph();
    void longParagraphLaidOutQuicklyOnScreenOnly();
    void longDocumentShowsItsStartBeforeItsEnd();
    void documentWithoutControlReadsAsThePane();
};

void TestLinesStreaming::plainTextFallback_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::newRow("CR LF") << QByteArray("one\r\ntwo\r\n") << QStringLiteral("one\rtwo\r") << 2;
    QTest::newRow("LF") << QByteArray("one\ntwo") << QStringLiteral("one\rtwo") << 2;
    QTest::newRow("CR") << QByteArray("one\rtwo\r") << QStringLiteral("one\rtwo\r") << 2;
    QTest::newRow("1252 bytes") << QByteArray("caf\xe9 \x80\x93") << QStringLiteral("café €“") << 1;
    QTest::newRow("almost rich text") << QByteArray("{\\rt x}") << QStringLiteral("{\\rt x}") << 1;
    QTest::newRow("empty file") << QByteArray() << QString() << 0;
}

void TestLinesStreaming::plainTextFallback()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, lines);
    TRichEditEx edit;
    edit.SetSelectedText("old content");
    WriteFile("plain.txt", bytes);
    edit.Lines().LoadFile("plain.txt");
    QCOMPARE(edit.WideTextRange(0, -1), text);
    QCOMPARE(edit.Lines().LineCount(), lines);
}

void TestLinesStreaming::richTextLoads()
{
    TRichEditEx edit;
    WriteFile("simple.rtf", SimpleRtf);
    edit.Lines().LoadFile("simple.rtf");
    QCOMPARE(edit.Lines().LineAt(0), std::string("Dear @1,"));
    QCOMPARE(edit.Lines().LineAt(1), std::string("Second bold line"));
    QCOMPARE(edit.Lines().LineCount(), 2);
}

void TestLinesStreaming::fallbackFromSequentialStream()
{
    TRichEditEx edit;
    edit.SetWordWrap(false);
    SequentialDevice device(QByteArray(5000, 'x') + "\r\nend");
    edit.Lines().LoadStream(device);
    QCOMPARE(edit.Lines().LineCount(), 2);
    QCOMPARE(edit.Lines().LineAt(1), std::string("end"));
    QCOMPARE(edit.TextLength(), 5004);
}

void TestLinesStreaming::textExtensionSavesRichText()
{
    TRichEditEx edit;
    edit.SetWholeText("plain words");
    edit.Lines().SaveFile("out.txt");
    const QByteArray saved = ReadFile("out.txt");
    QVERIFY2(saved.startsWith("{\\rtf"), saved.constData());
    QVERIFY(saved.contains("plain words"));
}

void TestLinesStreaming::saveLoadSaveSameBytes()
{
    TRichEditEx edit;
    WriteFile("simple.rtf", SimpleRtf);
    edit.Lines().LoadFile("simple.rtf");
    edit.Lines().SaveFile("first.rtf");
    TRichEditEx second;
    second.Lines().LoadFile("first.rtf");
    second.Lines().SaveFile("second.rtf");
    QCOMPARE(ReadFile("second.rtf"), ReadFile("first.rtf"));
    QCOMPARE(second.WholeText(), edit.WholeText());
}

void TestLinesStreaming::plainTextOutput()
{
    TRichEditEx edit;
    edit.SetWholeText("one\rtwo \x80");
    edit.SetOutputFormat(TOutputFormat::ofText);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    edit.Lines().SaveStream(buffer);
    QCOMPARE(buffer.data(), QByteArray("one\r\ntwo \x80"));

    edit.SetOutputFormat(TOutputFormat::ofUnicode);
    QBuffer wide;
    wide.open(QIODevice::WriteOnly);
    edit.Lines().SaveStream(wide);
    QCOMPARE(wide.data().size(), 2 * 10);
    QCOMPARE(wide.data().mid(6, 4), QByteArray("\r\0\n\0", 4));
}

void TestLinesStreaming::selectedInOutLoad()
{
    TRichEditEx edit;
    edit.SetWholeText("[XX]");
    edit.Select(1, 3);
    edit.SetSelectedInOut(true);
    QBuffer buffer;
    buffer.setData("mid");
    buffer.open(QIODevice::ReadOnly);
    edit.Lines().LoadStream(buffer);
    QCOMPARE(edit.WholeText(), std::string("[mid]"));
    // Nothing selected: inserted at the caret.
    edit.SetSelectionStart(0);
    buffer.seek(0);
    edit.Lines().LoadStream(buffer);
    QCOMPARE(edit.WholeText(), std::string("mid[mid]"));
    QVERIFY(edit.ModifiedFlag());
    // Saving writes only the selection.
    edit.Select(0, 3);
    edit.SetOutputFormat(TOutputFormat::ofText);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    edit.Lines().SaveStream(out);
    QCOMPARE(out.data(), QByteArray("mid"));
}

void TestLinesStreaming::insertFromFileReplacesSelection()
{
    TRichEditEx edit;
    edit.SetWholeText("before SELECTED after");
    WriteFile("$$$", QByteArray("\r\n\r\n"));
    edit.Select(7, 15);
    edit.InsertFromFile("$$$");
    QCOMPARE(edit.WholeText(), std::string("before \r\r after"));
    QVERIFY(!edit.InsertMode());
    edit.Undo();
    QCOMPARE(edit.WholeText(), std::string("before SELECTED after"));

    WriteFile("insert.rtf", SimpleRtf);
    edit.SetSelectionStart(7);
    edit.InsertFromFile("insert.rtf");
    QVERIFY(edit.WholeText().find("Dear @1,") == 7);
    QVERIFY(edit.WholeText().find("SELECTED after") != std::string::npos);

    // Outside InsertFromFile a load replaces everything.
    edit.Lines().LoadFile("$$$");
    QCOMPARE(edit.WholeText(), std::string("\r\r"));
}

void TestLinesStreaming::wholeLoadResetsModifiedAndUndo()
{
    TRichEditEx edit;
    edit.SetSelectedText("typed");
    WriteFile("simple.rtf", SimpleRtf);
    edit.Lines().LoadFile("simple.rtf");
    QVERIFY(!edit.ModifiedFlag());
    QVERIFY(!edit.CanUndo());
    QCOMPARE(edit.SelectionStart(), 0);
}

void TestLinesStreaming::progressEvents()
{
    const QByteArray data = QByteArray(10000, 'a');
    WriteFile("big.txt", data);
    TRichEditEx edit;
    QList<qint64> loadPositions;
    edit.OnLoadProgress = [&](TCustomRichEditEx *, qint64 pos, qint64 size) {
        QCOMPARE(size, qint64(10000));
        loadPositions.append(pos);
    };
    edit.SetInputFormat(TInputFormat::ifText);
    edit.Lines().LoadFile("big.txt");
    QCOMPARE(edit.TextLength(), 10000);
    // Before each chunk, with the position before it; the last call finds the end.
    QVERIFY(loadPositions.size() >= 2);
    QCOMPARE(loadPositions.first(), qint64(0));
    QCOMPARE(loadPositions.last(), qint64(10000));
    QVERIFY(std::is_sorted(loadPositions.begin(), loadPositions.end()));

    QList<qint64> savePositions;
    edit.OnSaveProgress = [&](TCustomRichEditEx *, qint64 pos, qint64) {
        savePositions.append(pos);
    };
    edit.SetOutputFormat(TOutputFormat::ofText);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    edit.Lines().SaveStream(buffer);
    QVERIFY(savePositions.size() >= 2);
    QVERIFY(savePositions.first() > 0); // after the chunk
    QCOMPARE(savePositions.last(), qint64(10000));
}

void TestLinesStreaming::failingLoadProgress()
{
    WriteFile("any.rtf", SimpleRtf);
    TRichEditEx edit;
    edit.SetWholeText("kept");
    edit.OnLoadProgress = [](TCustomRichEditEx *, qint64, qint64) {
        throw std::runtime_error("stop");
    };
    try {
        edit.Lines().LoadFile("any.rtf");
        QFAIL("no error");
    } catch (const EOutOfResources &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Failed to Load Stream"));
    }
    QCOMPARE(edit.WholeText(), std::string("kept"));
}

void TestLinesStreaming::failedSaveKeepsOldFile()
{
    WriteFile("keep.rtf", "old content");
    TRichEditEx edit;
    edit.SetWholeText(std::string(20000, 'n'));
    int calls = 0;
    edit.OnSaveProgress = [&](TCustomRichEditEx *, qint64, qint64) {
        if (++calls == 2)
            throw std::runtime_error("disk full");
    };
    try {
        edit.Lines().SaveFile("keep.rtf");
        QFAIL("no error");
    } catch (const EOutOfResources &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Failed to Save Stream"));
    }
    QCOMPARE(ReadFile("keep.rtf"), QByteArray("old content"));
    QCOMPARE(QDir().entryList(QDir::Files).filter("keep").size(), 1); // no temporary left

    try {
        edit.Lines().SaveFile("no/such/folder/x.rtf");
        QFAIL("no error");
    } catch (const EFileStreamError &e) {
        // The usual words, the file, and why.
        QVERIFY2(QString::fromUtf8(e.what()).startsWith(
                     QDir::toNativeSeparators("Cannot create file no/such/folder/x.rtf: ")),
                 e.what());
        QVERIFY2(QString::fromUtf8(e.what()).contains("No such file or directory"), e.what());
    }
    // A full disk: a device is written as it is (never replaced by a file) and says why it
    // failed.
    try {
        edit.Lines().SaveFile("/dev/full");
        QFAIL("no error");
    } catch (const EFileStreamError &e) {
        QCOMPARE(QString::fromUtf8(e.what()),
                 QString("Cannot write file /dev/full: %1").arg(strerror(ENOSPC)));
    }
    QVERIFY(QFileInfo::exists("/dev/full") && !QFileInfo("/dev/full").isFile());
}

void TestLinesStreaming::missingFile()
{
    TRichEditEx edit;
    edit.SetWholeText("kept");
    try {
        edit.Lines().LoadFile("missing.rtf");
        QFAIL("no error");
    } catch (const EFileStreamError &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Cannot open file missing.rtf"));
    }
    QCOMPARE(edit.WholeText(), std::string("kept"));
}

void TestLinesStreaming::hostileInputs_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("truncated group") << QByteArray("{\\rtf1\\ansi {\\b bold text");
    QTest::newRow("deep nesting") << QByteArray("{\\rtf1 ") + QByteArray(100000, '{') + "x";
    QTest::newRow("deep nesting closed")
        << QByteArray("{\\rtf1 ") + QByteArray(100000, '{') + "x" + QByteArray(100000, '}') + "}";
    QTest::newRow("bin past end") << QByteArray("{\\rtf1 a\\bin999999 xyz}");
    QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zz\\'4 b\\'}");
    QByteArray random;
    quint32 seed = 12345;
    for (int i = 0; i < 100000; ++i) {
        seed = seed * 1103515245 + 12345;
        random += static_cast<char>(seed >> 16);
    }
    QTest::newRow("random after header") << QByteArray("{\\rtf1 ") + random;
    QTest::newRow("random bytes") << random;
    QByteArray words(1024 * 1024, 'w');
    for (int i = 5; i < words.size(); i += 7)
        words[i] = ' ';
    QTest::newRow("long paragraph") << QByteArray("{\\rtf1\\ansi ") + words + "}";
    // One word of a million letters: lines are then broken anywhere, in linear time.
    QTest::newRow("long word") << QByteArray("{\\rtf1\\ansi ") + QByteArray(1024 * 1024, 'w') + "}";
}

void TestLinesStreaming::hostileInputs()
{
    QFETCH(QByteArray, data);
    TRichEditEx edit;
    edit.resize(600, 400);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    edit.Lines().LoadStream(buffer);
    // Laid out and readable afterwards.
    QVERIFY(edit.Lines().LineCount() >= 0);
    QVERIFY(edit.WholeText().size() <= static_cast<size_t>(data.size()));
    edit.Lines().SaveFile("hostile.rtf");
    QVERIFY(ReadFile("hostile.rtf").startsWith("{\\rtf"));
}

void TestLinesStreaming::hugeParagraph_data()
{
    QTest::addColumn<bool>("wordWrap");
    QTest::addColumn<int>("megabytes");
    QTest::newRow("document pane") << true << 20;
    QTest::newRow("information pane") << false << 5;
}

// A paragraph of many megabytes loads whole, is laid out, takes an edit and saves.
void TestLinesStreaming::hugeParagraph()
{
    QFETCH(bool, wordWrap);
    QFETCH(int, megabytes);
    QByteArray data = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 ";
    const QByteArray words = "lorem ipsum @12 dolor sit amet ";
    const int repeats = megabytes * 1000 * 1000 / words.size();
    data.reserve(data.size() + repeats * words.size() + 16);
    for (int i = 0; i < repeats; ++i)
        data += words;
    data += "end\\par}";

    TRichEditEx edit;
    edit.resize(600, 400);
    edit.SetWordWrap(wordWrap);
    edit.SetPlainRTF(!wordWrap);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    edit.Lines().LoadStream(buffer);
    const int length = repeats * int(words.size()) + 3;
    QCOMPARE(edit.TextLength(), length);
    QVERIFY(edit.Lines().LineCount() == 1 || wordWrap);
    QVERIFY(edit.Lines().LineCount() > megabytes * 5000 || !wordWrap);
    QCOMPARE(edit.TextRange(length - 7, length), std::string("met end"));
    QCOMPARE(edit.PosFromChar(0).y(), edit.PosFromChar(1).y()); // laid out
    // Kept laid out, so that the caret does not have the whole paragraph worked out again.
    QVERIFY(edit.document()->firstBlock().layout()->cacheEnabled());

    edit.SetSelectionStart(0);
    edit.SetSelectedText("X");
    QCOMPARE(edit.TextRange(0, 7), std::string("Xlorem "));
    edit.Lines().SaveFile("huge.rtf");
    const QByteArray saved = ReadFile("huge.rtf");
    QVERIFY(saved.size() > megabytes * 1000 * 1000);
    QVERIFY(saved.contains("Xlorem ipsum @12 dolor"));
}

namespace {
bool Unshaped(const QTextDocument &document)
{
    return document.defaultFont().styleStrategy() & QFont::PreferNoShaping;
}
} // namespace

// A document with a paragraph of pasted data is laid out on screen without optional shaping
// while it holds one and none of its text needs shaping to be read; the text and what is saved
// do not change with it.
void TestLinesStreaming::longParagraphLaidOutQuicklyOnScreenOnly()
{
    for (const QString &plain :
         {QStringLiteral("Łódź Иван 李小龍 Ελένη ½ € “x” \t"), QStringLiteral("한국어 カタカナ")})
        QVERIFY2(!TLongParagraphs::NeedsShaping(plain), qPrintable(plain));
    for (const QString &shaped :
         {QStringLiteral("مرحبا"), QStringLiteral("שָׁלוֹם"), QStringLiteral("नमस्ते"),
          QStringLiteral("e\u0301"), QStringLiteral("ไทย"), QStringLiteral("a\u200Db"),
          QStringLiteral("\U0001F44D")})
        QVERIFY2(TLongParagraphs::NeedsShaping(shaped), qPrintable(shaped));

    QByteArray data =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 Dear office,\\par ";
    for (int i = 0; data.size() < 250000; ++i)
        data += "entry " + QByteArray::number(i) +
                " \\u321?\\'f3d\\u378? \\u1048?\\u1074?\\u1072?"
                "\\u1085? \\u26446?\\u23567?\\u40845? ";
    data += "\\par Yours\\par}";
    TRichEditEx edit;
    edit.resize(600, 400);
    edit.show();
    QTextDocument &document = *edit.document();
    QVERIFY(!Unshaped(document));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    edit.Lines().LoadStream(buffer);
    QVERIFY(Unshaped(document));
    QVERIFY(!edit.ModifiedFlag());
    const QTextBlock first = document.firstBlock();
    const int longStart = first.next().position();
    QVERIFY(first.next().length() > TLongParagraphs::LongParagraph);
    QVERIFY(first.next().layout()->cacheEnabled());
    QVERIFY(!first.layout()->cacheEnabled());

    // A new pane font keeps the quick layout.
    QFont font = edit.font();
    font.setPointSizeF(9);
    edit.setFont(font);
    QVERIFY(Unshaped(document));

    // Typing in it: the text takes the key, and stays laid out quickly.
    edit.setFocus();
    edit.SetSelectionStart(longStart + 6);
    QTest::keyClick(&edit, Qt::Key_Z);
    QCOMPARE(document.findBlock(longStart).text().left(8), QStringLiteral("entry z0"));
    QVERIFY(edit.ModifiedFlag());
    QVERIFY(document.findBlock(longStart).layout()->cacheEnabled());

    // The quick layout is the screen's only: it is not saved.
    std::unique_ptr<QTextDocument> shaped(document.clone());
    QFont plain = shaped->defaultFont();
    plain.setStyleStrategy(QFont::PreferDefault);
    shaped->setDefaultFont(plain);
    QCOMPARE(TRtfWriter::Write(document), TRtfWriter::Write(*shaped));
    edit.Lines().SaveFile("quick.rtf");
    const QByteArray saved = ReadFile("quick.rtf");

    // Arabic is joined only by shaping: with it the screen shapes again, without it not.
    edit.SetSelectionStart(longStart + 10);
    for (const QChar letter : QStringLiteral("مرحبا"))
        QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_unknown, QString(letter), Qt::NoModifier);
    QTRY_VERIFY(!Unshaped(document));
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(&edit, Qt::Key_Backspace);
    QTRY_VERIFY(Unshaped(document));

    // So with the long paragraph gone, and back.
    QTextCursor cursor(&document);
    cursor.setPosition(longStart);
    cursor.setPosition(document.findBlock(longStart).next().position(), QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
    edit.SetSelectedText("");
    QTRY_VERIFY(!Unshaped(document));
    QVERIFY(document.toPlainText().startsWith(QStringLiteral("Dear office,\nYours")));
    edit.Undo();
    QTRY_VERIFY(Unshaped(document));
    edit.Lines().SaveFile("quick2.rtf");
    QCOMPARE(ReadFile("quick2.rtf"), saved);
}

// A long document opens at its start with the rest of it laid out while the window is idle,
// as the pane shows it: no layout of the whole document before the load returns (the view's
// cursor had gone to the end with the text, and showing where it had been laid out all).
void TestLinesStreaming::longDocumentShowsItsStartBeforeItsEnd()
{
    QByteArray data = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    for (int i = 0; i < 4000; ++i)
        data += "\\pard Paragraph " + QByteArray::number(i) +
                " of a long letter, {\\b bold} and "
                "plain words enough to wrap on the screen of the pane.\\par\r\n";
    data += "\\pard The end.\\par}";
    TRichEditEx edit;
    edit.SetWordWrap(true);
    edit.resize(600, 400);
    edit.show();
    edit.verticalScrollBar()->setValue(0);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    edit.Lines().LoadStream(buffer);
    QTextDocument &document = *edit.document();
    QCOMPARE(document.lastBlock().text(), QStringLiteral("The end."));
    QCOMPARE(edit.textCursor().position(), 0);
    QCOMPARE(edit.verticalScrollBar()->value(), 0);
    QCOMPARE(document.lastBlock().layout()->lineCount(), 0);
    // The first screen is there when painted, and the rest follows.
    edit.viewport()->grab();
    QVERIFY(document.firstBlock().layout()->lineCount() > 0);
    QTRY_VERIFY_WITH_TIMEOUT(document.lastBlock().layout()->lineCount() > 0, 300000);
    QVERIFY(edit.verticalScrollBar()->maximum() > 4000 * QFontMetrics(edit.font()).height());
    QCOMPARE(edit.textCursor().position(), 0);
}

// zarvel-cli text and the merge read files into a bare document, without a control: the text
// must be the document pane's own, for every sample there is.
void TestLinesStreaming::documentWithoutControlReadsAsThePane()
{
    TRichEditEx pane;
    pane.SetLanguage(1033);
    pane.SetWordWrap(true);
    int files = 0;
    for (const char *folder : {ZARVEL_SOURCE_DIR "/tests/data", ZARVEL_SOURCE_DIR "/samples"}) {
        QDirIterator data(QString::fromUtf8(folder),
                          {QStringLiteral("*.rtf"), QStringLiteral("*.tem"),
                           QStringLiteral("*.inf"), QStringLiteral("*.txt")},
                          QDir::Files, QDirIterator::Subdirectories);
        while (data.hasNext()) {
            const QString name = data.next();
            const QByteArray bytes = ReadFile(name);
            if (bytes.size() > (4 << 20))
                continue; // the huge samples are the hostile tests' business
            pane.Lines().LoadFile(name);
            QTextDocument document;
            QTextCursor cursor(&document);
            TDocumentText::Insert(bytes, cursor);
            QVERIFY2(TDocumentText::Range(document, 0, -1) == pane.WideTextRange(0, -1),
                     qPrintable(name));
            ++files;
        }
    }
    QVERIFY(files > 20);
}

ZARVEL_TEST_MAIN(TestLinesStreaming)
#include "tst_lines_stream.moc"
