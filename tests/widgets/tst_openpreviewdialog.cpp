#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "richedit/TRichEditEx.h"
#include "widgets/JpegDecoder.h"
#include "widgets/PreviewLanguage.h"
#include "widgets/TOpenPreviewDialog.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>

#include <stdexcept>

namespace {

QString WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(name));
    file.write(bytes);
    return QFileInfo(file).absoluteFilePath();
}

// A short, silent 8-bit mono wave file.
QByteArray WaveBytes()
{
    const QByteArray samples(800, char(0x80));
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(8000) << quint16(1)
        << quint16(8);
    out.writeRawData("data", 4);
    out << quint32(samples.size());
    out.writeRawData(samples.constData(), int(samples.size()));
    return data;
}

QString PreviewedText(const TOpenPreviewDialog &dialog)
{
    return dialog.PreviewText()->toPlainText();
}

} // namespace

class TestOpenPreviewDialog : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void detailColumnsShowTheirWholeText()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const char *name : {"letter.rtf", "notes.txt", "page.html"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(300000, 'x'));
        }
        QDir(dir.path()).mkdir(QStringLiteral("folder"));
        TOpenPreviewDialog dialog;
        dialog.setViewMode(QFileDialog::Detail);
        dialog.setDirectory(dir.path());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
        QVERIFY(view);
        const QModelIndex root = view->rootIndex();
        QTRY_COMPARE(view->model()->rowCount(root), 4);
        const QFontMetrics metrics(view->font());
        for (int row = 0; row < 4; ++row)
            for (int column = 1; column <= 3; ++column) {
                const QString text = view->model()->index(row, column, root).data().toString();
                QTRY_VERIFY(!view->model()->index(row, column, root).data().toString().isEmpty() ||
                            column == 1);
                QVERIFY2(view->header()->sectionSize(column) >
                             metrics.horizontalAdvance(
                                 view->model()->index(row, column, root).data().toString()),
                         qPrintable(text));
            }
        dialog.hide();
    }

    void defaults()
    {
        TOpenPreviewDialog dialog;
        dialog.SetLanguageId(0x0409);
        QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(dialog.Titles(), QStringList{"Default="});
        QVERIFY(dialog.ShowPreview());
        QVERIFY(dialog.WordWrapAndScale());
        QVERIFY(dialog.ShowPreviewButton()->isChecked());
        QVERIFY(dialog.WordWrapButton()->isChecked());
        QCOMPARE(dialog.Version(), QStringLiteral("1.00.00.00"));
        dialog.SetVersion("9");
        QCOMPARE(dialog.Version(), QStringLiteral("1.00.00.00"));
        QCOMPARE(dialog.NoPreviewTexts().size(), 11);
        QCOMPARE(dialog.CaptionPanel()->text(), QStringLiteral("Preview:"));
        QCOMPARE(dialog.ShowPreviewButton()->toolTip(), QStringLiteral("Show Preview"));

        dialog.SetWordWrapAndScale(false);
        QVERIFY(!dialog.WordWrapButton()->isChecked());
        dialog.SetShowPreview(false);
        QVERIFY(!dialog.ShowPreviewButton()->isChecked());
        dialog.SetPreviewCaptions({"Default=Look:"});
        QCOMPARE(dialog.CaptionPanel()->text(), QStringLiteral("Look:"));
        dialog.SetShowPreviewButtonHints({"Default=Eye"});
        QCOMPARE(dialog.ShowPreviewButton()->toolTip(), QStringLiteral("Eye"));
    }

    void languageKeys_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("noPreview");
        QTest::newRow("German") << 0x0407 << "Vorschau:"
                                << "Keine Vorschau";
        QTest::newRow("Swiss German by its primary language") << 0x0807 << "Vorschau:"
                                                              << "Keine Vorschau";
        QTest::newRow("Danish") << 0x0406 << QString::fromUtf8("Prøvevisning:") << "Ingen visning";
        QTest::newRow("Canadian French")
            << 0x0C0C << QString::fromUtf8("Épreuve:") << "Rien de montrer";
        QTest::newRow("Dutch") << 0x0413 << "Voorbeeld:"
                               << "Geen voorbeeld";
        QTest::newRow("Japanese falls back to Default") << 0x0411 << "Preview:"
                                                        << "No preview";
        QTest::newRow("neutral") << 0x0000 << "Preview:"
                                 << "No preview";
    }
    void languageKeys()
    {
        QFETCH(int, language);
        QFETCH(QString, caption);
        QFETCH(QString, noPreview);
        TOpenPreviewDialog dialog;
        dialog.SetLanguageId(quint16(language));
        QCOMPARE(dialog.CaptionPanel()->text(), caption);
        dialog.PreviewFile(QStringLiteral("/no/such/file.txt"));
        QCOMPARE(PreviewedText(dialog), noPreview);
        QCOMPARE(dialog.CaptionPanel()->text(), caption);
    }

    void languageIdentifiersOfLocales()
    {
        using PreviewLanguage::LanguageId;
        QCOMPARE(LanguageId(QLocale(QLocale::German, QLocale::Germany)), quint16(0x0407));
        QCOMPARE(LanguageId(QLocale(QLocale::German, QLocale::Switzerland)), quint16(0x0807));
        QCOMPARE(LanguageId(QLocale(QLocale::English, QLocale::UnitedStates)), quint16(0x0409));
        QCOMPARE(LanguageId(QLocale(QLocale::French, QLocale::Canada)), quint16(0x0C0C));
        QCOMPARE(PreviewLanguage::FullKey(0x0807), QStringLiteral("0807"));
        QCOMPARE(PreviewLanguage::PrimaryKey(0x0807), QStringLiteral("0007"));
        QCOMPARE(PreviewLanguage::PrimaryKey(0x0C0C), QStringLiteral("000C"));
    }

    void lookupRules()
    {
        using PreviewLanguage::Lookup;
        QCOMPARE(Lookup({}, "0407", "0007"), QString());
        QCOMPARE(Lookup({"0009=first", "0407=Deutsch"}, "0411", "0011"), QStringLiteral("first"));
        QCOMPARE(Lookup({"0009=first", "Default=fallback"}, "0411", "0011"),
                 QStringLiteral("fallback"));
        QCOMPARE(Lookup({"Default=x", "0007=primary"}, "0807", "0007"), QStringLiteral("primary"));
        QCOMPARE(Lookup({"Default=x", "0007=primary", "0807=full"}, "0807", "0007"),
                 QStringLiteral("full"));
        QCOMPARE(Lookup({"Default="}, "0409", "0009"), QString());
    }

    void noPreviewWithoutAFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("showPreview");
        QTest::newRow("preview off") << "present.txt" << false;
        QTest::newRow("missing file") << "missing.txt" << true;
        QTest::newRow("folder") << "." << true;
        QTest::newRow("nothing selected") << "" << true;
    }
    void noPreviewWithoutAFile()
    {
        QFETCH(QString, path);
        QFETCH(bool, showPreview);
        WriteFile("present.txt", "some text\n");
        TOpenPreviewDialog dialog;
        dialog.SetLanguageId(0x0409);
        dialog.SetShowPreview(showPreview);
        dialog.PreviewFile(path.isEmpty() ? path : QFileInfo(path).absoluteFilePath());
        QCOMPARE(PreviewedText(dialog), QStringLiteral("No preview"));
        QVERIFY(!dialog.PictureShown());
    }

    void showPreviewButtonRefreshesThePreview()
    {
        const QString path = WriteFile("note.txt", "Dear Sir\n");
        TOpenPreviewDialog dialog;
        dialog.SetLanguageId(0x0409);
        dialog.PreviewFile(path);
        QVERIFY(PreviewedText(dialog).contains("Dear Sir"));
        dialog.ShowPreviewButton()->click();
        QVERIFY(!dialog.ShowPreview());
        QCOMPARE(PreviewedText(dialog), QStringLiteral("No preview"));
        dialog.ShowPreviewButton()->click();
        QVERIFY(PreviewedText(dialog).contains("Dear Sir"));
    }

    void textFilesShowTheTextSide_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("information file") << "case.inf" << QByteArray("Name\nSmith\n") << "Smith";
        QTest::newRow("template") << "letter.tem"
                                  << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Dear "
                                                "@1,\\par}")
                                  << "Dear @1,";
        QTest::newRow("log") << "run.LOG" << QByteArray("started\n") << "started";
    }
    void textFilesShowTheTextSide()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        TOpenPreviewDialog dialog;
        dialog.SetLanguageId(0x0409);
        dialog.SetWordWrapAndScale(false);
        dialog.PreviewFile(WriteFile(name, content));
        QVERIFY(!dialog.PictureShown());
        QVERIFY2(PreviewedText(dialog).contains(expected), qPrintable(PreviewedText(dialog)));
        QVERIFY(dialog.PreviewText()->isReadOnly());
        QCOMPARE(dialog.WordWrapButton()->toolTip(), QStringLiteral("Word-wrap"));
        QCOMPARE(dialog.WordWrapButton()->property("glyph").toString(),
                 QStringLiteral("WORDWRAPBUTTON"));
        QVERIFY(!dialog.PreviewText()->WordWrap());
        dialog.WordWrapButton()->click();
        QVERIFY(dialog.WordWrapAndScale());
        QVERIFY(dialog.PreviewText()->WordWrap());
    }

    void emptyTextFileShowsThePictureSide()
    {
        TOpenPreviewDialog dialog;
        dialog.SetLanguageId(0x0409);
        dialog.PreviewFile(WriteFile("empty.txt", QByteArray()));
        QVERIFY(dialog.PictureShown());
        QCOMPARE(dialog.WordWrapButton()->toolTip(), QStringLiteral("Scale to fit"));
        QCOMPARE(dialog.WordWrapButton()->property("glyph").toString(),
                 QStringLiteral("SCALEBUTTON"));
    }

    void otherFilesShowTheirType()
    {
        TOpenPreviewDialog dialog;
        dialog.SetLanguageId(0x0409);
        dialog.PreviewFile(WriteFile("page.html", "<html><body>x</body></html>"));
        QVERIFY(!PreviewedText(dialog).isEmpty());
        QVERIFY(PreviewedText(dialog) != QStringLiteral("No preview"));
        QVERIFY(!PreviewedText(dialog).contains("<html>"));
    }

    void brokenPicturesAreSilent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("bmp") << "broken.bmp";
        QTest::newRow("jpeg") << "broken.jpg";
        QTest::newRow("metafile") << "drawing.emf";
    }
    void brokenPicturesAreSilent()
    {
        QFETCH(QString, name);
        TOpenPreviewDialog dialog;
        dialog.SetLanguageId(0x0409);
        dialog.PreviewFile(WriteFile(name, "BM this is not a picture \xff\xd8\xff"));
        QCOMPARE(PreviewedText(dialog), QStringLiteral("No preview"));
    }

    void shownSizes_data()
    {
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<bool>("scale");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("fits") << QSize(200, 100) << QSize(50, 40) << true << QSize(50, 40);
        QTest::newRow("twice as wide")
            << QSize(200, 100) << QSize(400, 100) << true << QSize(200, 50);
        QTest::newRow("tall") << QSize(200, 100) << QSize(100, 400) << true << QSize(25, 100);
        QTest::newRow("same proportions")
            << QSize(200, 100) << QSize(400, 200) << true << QSize(200, 100);
        QTest::newRow("truncated") << QSize(300, 100) << QSize(700, 300) << true << QSize(233, 100);
        QTest::newRow("no scaling")
            << QSize(200, 100) << QSize(400, 100) << false << QSize(400, 100);
        QTest::newRow("empty picture") << QSize(200, 100) << QSize(0, 0) << true << QSize(0, 0);
    }
    void shownSizes()
    {
        QFETCH(QSize, box);
        QFETCH(QSize, picture);
        QFETCH(bool, scale);
        QFETCH(QSize, shown);
        QCOMPARE(TOpenPreviewDialog::ShownSize(box, picture, scale), shown);
    }

    void pictureScaledInTheBox_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("bitmap") << "wide.bmp" << QByteArray("BMP");
        QTest::newRow("jpeg") << "wide.jpg" << QByteArray("JPEG");
    }
    void pictureScaledInTheBox()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        TOpenPreviewDialog dialog;
        dialog.SetLanguageId(0x0409);
        dialog.resize(900, 500);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QSize box = dialog.PreviewBox()->maximumViewportSize();
        QVERIFY(box.width() > 50 && box.height() > 50);
        QImage picture(box.width() * 2, box.height(), QImage::Format_RGB32);
        picture.fill(Qt::darkRed);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.save(&buffer, format.constData()))
            QSKIP("no writer for this picture format");
        const QString path = WriteFile(name, bytes);

        dialog.SetWordWrapAndScale(true);
        dialog.PreviewFile(path);
        QVERIFY(dialog.PictureShown());
        QCOMPARE(dialog.WordWrapButton()->toolTip(), QStringLiteral("Scale to fit"));
        QCOMPARE(dialog.ShownPictureSize(), QSize(box.width(), box.height() / 2));
        QCOMPARE(dialog.PreviewImage()->pixmap().size(), dialog.ShownPictureSize());

        dialog.WordWrapButton()->click();
        QCOMPARE(dialog.ShownPictureSize(), picture.size());
        QTRY_VERIFY(dialog.PreviewBox()->horizontalScrollBar()->maximum() > 0);
        dialog.done(QDialog::Rejected);
    }

    void jpegDecoding()
    {
        QImage picture(37, 21, QImage::Format_RGB32);
        picture.fill(QColor(20, 120, 220));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.save(&buffer, "JPEG", 95))
            QSKIP("no JPEG writer");
        const QImage decoded = DecodeJpeg(bytes);
        QCOMPARE(decoded.size(), QSize(37, 21));
        const QColor centre = decoded.pixelColor(18, 10);
        QVERIFY(qAbs(centre.red() - 20) < 8 && qAbs(centre.blue() - 220) < 8);
        // Damaged data never brings the program down.
        QVERIFY(DecodeJpeg(QByteArray()).isNull());
        QVERIFY(DecodeJpeg("not a jpeg").isNull());
        for (int cut = 2; cut < bytes.size(); cut += 37)
            (void)DecodeJpeg(bytes.left(cut));
        QByteArray flipped = bytes;
        for (int i = 20; i < flipped.size(); i += 11)
            flipped[i] = char(flipped[i] ^ 0x5A);
        (void)DecodeJpeg(flipped);
    }

    void jpegSamples_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("colour") << "small.jpg" << QSize(17, 9);
        QTest::newRow("grey") << "gray.jpg" << QSize(17, 9);
        QTest::newRow("picture") << "picture.jpg" << QSize(64, 40);
        QTest::newRow("not a jpeg") << "text.jpg" << QSize();
        // 491 bytes that claim 3648 x 10497 pixels: decoded at a quarter, quickly.
        QTest::newRow("forged size") << "forged-size.jpg" << QSize(912, 2625);
    }
    void jpegSamples()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFile file(TestEnvironment::dataPath("widgets/jpeg/" + name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QImage image = DecodeJpeg(file.readAll());
        QCOMPARE(image.isNull() ? QSize() : image.size(), size);
    }

    void customPreviewHandler()
    {
        TOpenPreviewDialog dialog;
        dialog.SetLanguageId(0x0409);
        dialog.SetCustomPreviewExtensions({"zz", "bad"});
        QStringList calls;
        dialog.OnPreview = [&](TOpenPreviewDialog &sender, const QString &ext) {
            calls << ext;
            QCOMPARE(&sender, &dialog);
            if (ext == QLatin1String("bad"))
                throw std::runtime_error("cannot preview");
            sender.PreviewText()->setPlainText(QStringLiteral("custom view"));
        };
        dialog.PreviewFile(WriteFile("data.ZZ", "x"));
        QCOMPARE(PreviewedText(dialog), QStringLiteral("custom view"));
        dialog.PreviewFile(WriteFile("data.bad", "x"));
        QCOMPARE(PreviewedText(dialog), QStringLiteral("No preview"));
        QCOMPARE(calls, QStringList({"zz", "bad"}));
    }

    void waveFilesPlayUntilTheNextSelection()
    {
        const QString wave = WriteFile("ding.wav", WaveBytes());
        const QString text = WriteFile("other.txt", "x\n");
        TOpenPreviewDialog dialog;
        dialog.SetLanguageId(0x0409);
        dialog.PreviewFile(wave);
        QVERIFY(!PreviewedText(dialog).isEmpty());
        QVERIFY(PreviewedText(dialog) != QStringLiteral("No preview"));
        QCOMPARE(dialog.PlayingSound(), wave);
        dialog.PreviewFile(text);
        QVERIFY(dialog.PlayingSound().isEmpty());
        dialog.PreviewFile(wave);
        dialog.done(QDialog::Rejected);
        QVERIFY(dialog.PlayingSound().isEmpty());
    }

    void executeReturnsTheChosenFile()
    {
        const QString chosen = WriteFile("case.inf", "a\nb\n");
        TOpenPreviewDialog dialog;
        dialog.setDirectory(QDir::currentPath());
        dialog.SetFileName(QStringLiteral("*.inf"));
        QCOMPARE(dialog.nameFilters(), QStringList{"*.inf"});
        dialog.SetTitles({"Default=Choose a file"});
        ScriptedDialogs script;
        QString title;
        script.Then([&](QDialog &d) -> int {
            title = d.windowTitle();
            static_cast<QFileDialog &>(d).selectFile(chosen);
            return QDialog::Accepted;
        });
        script.ThenReject();
        QVERIFY(dialog.Execute());
        QCOMPARE(title, QStringLiteral("Choose a file"));
        QCOMPARE(QFileInfo(dialog.FileName()), QFileInfo(chosen));
        QVERIFY(!dialog.Execute());
        QCOMPARE(QFileInfo(dialog.FileName()), QFileInfo(chosen));
        QCOMPARE(script.Unexpected(), 0);
    }

    void currentChangedDrivesThePreview()
    {
        const QString path = WriteFile("picked.txt", "picked text\n");
        TOpenPreviewDialog dialog;
        emit dialog.currentChanged(path);
        QVERIFY(PreviewedText(dialog).contains("picked text"));
    }
};

ZARVEL_TEST_MAIN(TestOpenPreviewDialog)
#include "tst_openpreviewdialog.moc"
