#include "PrintTestSupport.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "print/TArrowButton.h"
#include "print/TPageImage.h"
#include "print/TPreview2.h"
#include "print/TPreviewPageStore.h"
#include "print/TRichPreviewForm.h"
#include "widgets/WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QSettings>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>

#include <cmath>
#include <memory>

namespace {
QPicture Page(int number)
{
    QPicture picture;
    QPainter painter(&picture);
    painter.drawText(100, 100, QStringLiteral("page %1").arg(number));
    return picture;
}

void SetCompress(bool on)
{
    QSettings s("Zarvel", "Zarvel");
    s.setValue("RichPrint.Settings/Compress/CompressPreview", on ? "1" : "0");
}

// A preview window on a screen of the given size holding count pages, after pagination.
std::unique_ptr<TRichPreviewForm> Preview(int count, QSize screen = QSize(1920, 1080))
{
    TRichPreviewForm::SetAspectRatio(297.0 / 210.0);
    auto form = std::make_unique<TRichPreviewForm>(QRect(QPoint(0, 0), screen));
    form->setAttribute(Qt::WA_DeleteOnClose, false);
    form->SetPageSize(4961, 7016, QPoint(142, 142));
    for (int i = 0; i < count; ++i) {
        form->StorePage(Page(i + 1), i == count - 1);
        form->FormPaint();
    }
    form->FormActivate();
    return form;
}

QStringList PageFiles()
{
    return QDir().entryList({"PreviewMetafile*"}, QDir::Files);
}
} // namespace

class TestRichPreview : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        for (const QString &f : PageFiles())
            QFile::remove(f);
        SetCompress(true);
    }

    void onePageDocument()
    {
        auto form = Preview(1);
        QVERIFY(form->Edit1->isReadOnly());
        QVERIFY(!form->TwoPage());
        QCOMPARE(form->Label10->text(), QStringLiteral("(1)"));
        QVERIFY(form->Label10->isVisibleTo(form.get()));
        QCOMPARE(form->windowTitle(), QStringLiteral("Print Preview"));
        QCOMPARE(form->Edit1->text().trimmed(), QStringLiteral("1"));
    }

    void firstPageStaysInViewWhileThePagesAreLaidOut()
    {
        TRichPreviewForm::SetAspectRatio(297.0 / 210.0);
        TRichPreviewForm form(QRect(0, 0, 1920, 1080));
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.SetPageSize(4961, 7016, QPoint(142, 142));
        QImage first;
        for (int i = 0; i < 4; ++i) {
            form.StorePage(Page(i + 1), i == 3);
            form.FormPaint();
            QCOMPARE(form.Edit1->text().trimmed(), QStringLiteral("1"));
            if (i == 0)
                first = form.Image1->Picture();
            QCOMPARE(form.Image1->Picture(), first);
        }
        QCOMPARE(form.Label10->text(), QStringLiteral("(4)"));
        // Pages run left to right: previous points left and sits left of next.
        QCOMPARE(form.ArrowButton1->Direction(), arwLEFT);
        QCOMPARE(form.ArrowButton2->Direction(), arwRIGHT);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.ArrowButton1->mapTo(&form, QPoint()).x() <
                form.ArrowButton2->mapTo(&form, QPoint()).x());
    }

    void threePagesSideBySide()
    {
        auto form = Preview(3);
        QVERIFY(form->TwoPage());
        TPreview2 *second = form->Preview2();
        QVERIFY(second);
        // Right of the first window, as large, with its page where the first has its page.
        QCOMPARE(second->pos(), QPoint(form->x() + form->OuterWidth(), form->y()));
        QCOMPARE(second->size(), form->size());
        QCOMPARE(second->ScrollBox1->geometry(), form->ScrollBox1->geometry());
        QCOMPARE(form->Edit1->text().trimmed(), QStringLiteral("1"));
        QCOMPARE(second->Label5->text().trimmed(), QStringLiteral("2"));
        QVERIFY(!form->Edit1->isReadOnly());
        form->ArrowButton2Click();
        QCOMPARE(form->PageIndex(), 2);
        QCOMPARE(form->Edit1->text().trimmed(), QStringLiteral("3"));
        QVERIFY(!second->Label4->isVisibleTo(second));
        QVERIFY(!second->Label5->isVisibleTo(second));
        QVERIFY(!form->ArrowButton2->isEnabled());
        QVERIFY(form->ArrowButton1->isEnabled());
        // The blank second window is white all over.
        const QImage &blank = second->Image1->Picture();
        QCOMPARE(blank.pixelColor(blank.width() / 2, blank.height() / 2), QColor(Qt::white));
        form->ArrowButton1Click();
        QCOMPARE(form->PageIndex(), 0);
        QVERIFY(!form->ArrowButton1->isEnabled());
        QCOMPARE(second->Label5->text().trimmed(), QStringLiteral("2"));
    }

    void narrowScreenKeepsOneWindowCentred()
    {
        auto form = Preview(3, QSize(800, 800));
        QVERIFY(!form->TwoPage());
        QVERIFY(!form->Preview2());
        QCOMPARE(form->x(), int(std::nearbyint((800 - form->OuterWidth()) * 0.5)));
        form->ArrowButton2Click();
        QCOMPARE(form->PageIndex(), 1);
        QCOMPARE(form->Edit1->text().trimmed(), QStringLiteral("2"));
    }

    void zoomSteps()
    {
        auto form = Preview(2, QSize(800, 800));
        QVERIFY(!form->SpeedButton3->isEnabled());
        form->MaskEdit1->setText("0.050");
        QCOMPARE(form->ZoomStep(), 0.05);
        form->SpeedButton2Click();
        QCOMPARE(form->Label7->text(), QStringLiteral("1.050"));
        QVERIFY(form->SpeedButton3->isEnabled());
        QVERIFY(form->Image1->width() > form->ScrollBox1->width());
        form->MaskEdit1->setText("0.100");
        form->SpeedButton3Click();
        QCOMPARE(form->Zoom(), 1.0); // not 0.95
        QVERIFY(!form->SpeedButton3->isEnabled());
        QCOMPARE(form->Image1->size(), form->ScrollBox1->size());
        // Up and down by the same step comes back to 1 exactly.
        form->SpeedButton2Click();
        form->SpeedButton3Click();
        QVERIFY(!form->SpeedButton3->isEnabled());
        // An incomplete step entry is 0.1.
        form->MaskEdit1->setText("2.");
        QCOMPARE(form->ZoomStep(), 0.1);
        form->SpeedButton2Click();
        form->SpeedButton2Click();
        form->Image1MouseDown(Qt::RightButton);
        QCOMPARE(form->Zoom(), 1.0);
        QCOMPARE(form->Label7->text(), QStringLiteral("1.000"));
    }

    void pageFieldEntries_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("index");
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("beyond") << "9" << 0;
        QTest::newRow("letters") << "ab" << 0;
        QTest::newRow("valid") << "3" << 2;
    }
    void pageFieldEntries()
    {
        QFETCH(QString, entry);
        QFETCH(int, index);
        auto form = Preview(4, QSize(800, 800));
        form->Edit1->clear();
        QTest::keyClicks(form->Edit1, entry);
        QCOMPARE(form->PageIndex(), index);
        QCOMPARE(form->ArrowButton1->isEnabled(), index > 0);
        QCOMPARE(form->ArrowButton2->isEnabled(), index < 3);
    }

    void typedEvenPageShowsItsPair()
    {
        auto form = Preview(4);
        QVERIFY(form->TwoPage());
        form->Edit1->clear();
        QTest::keyClicks(form->Edit1, "4");
        QCOMPARE(form->PageIndex(), 2);
        QCOMPARE(form->Preview2()->Label5->text().trimmed(), QStringLiteral("4"));
    }

    void keysNavigate()
    {
        auto form = Preview(4, QSize(800, 800));
        form->FormKeyDown(Qt::Key_End);
        QCOMPARE(form->PageIndex(), 3);
        QVERIFY(!form->Label1->isEnabled());
        form->FormKeyDown(Qt::Key_Home);
        QCOMPARE(form->PageIndex(), 0);
        QVERIFY(!form->Label2->isEnabled());
        form->FormKeyDown(Qt::Key_PageUp);
        QCOMPARE(form->PageIndex(), 1);
        form->FormKeyPress(QChar('l'));
        QVERIFY(form->Zoom() > 1);
        // Activating again returns to the first page and keeps the zoom.
        form->FormActivate();
        QCOMPARE(form->PageIndex(), 0);
        QVERIFY(form->Zoom() > 1);
    }

    void compressedPageFiles()
    {
        SetCompress(true);
        auto form = Preview(2, QSize(800, 800));
        QVERIFY(form->Compressed());
        QCOMPARE(PageFiles(), (QStringList{"PreviewMetafile0.CPR", "PreviewMetafile1.CPR"}));
        QFile f("PreviewMetafile0.CPR");
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray head = f.read(2);
        QCOMPARE(quint8(head[0]), quint8(0x78)); // a zlib stream at the fastest level
        QCOMPARE(quint8(head[1]), quint8(0x01));
        form->close();
        QVERIFY(PageFiles().isEmpty());
    }

    void uncompressedFilesRemovedOnClose()
    {
        SetCompress(false);
        auto form = Preview(3, QSize(800, 800));
        QVERIFY(!form->Compressed());
        QCOMPARE(PageFiles().size(), 3);
        form->BitBtn1Click();
        QVERIFY(PageFiles().isEmpty());
    }

    // The page files on their own: every page reads back as it was stored, reading a
    // compressed page leaves no plain copy behind, a damaged one reads as missing, and removal
    // takes every page however many there are.
    void pageStoreKeepsEveryPage_data()
    {
        QTest::addColumn<bool>("compressed");
        QTest::newRow("compressed") << true;
        QTest::newRow("plain") << false;
    }
    void pageStoreKeepsEveryPage()
    {
        QFETCH(bool, compressed);
        const TPreviewPageStore store(compressed);
        int unwritable = 0;
        for (int i = 0; i < 3; ++i)
            store.Store(i, Page(i + 1), [&unwritable] { ++unwritable; });
        QCOMPARE(unwritable, 0);
        for (int i = 0; i < 3; ++i) {
            QPicture page;
            QVERIFY(store.Load(i, page));
            const QPicture stored = Page(i + 1);
            QCOMPARE(QByteArray(page.data(), page.size()),
                     QByteArray(stored.data(), stored.size()));
        }
        QPicture missing;
        QVERIFY(!store.Exists(3));
        QVERIFY(!store.Load(3, missing));
        QCOMPARE(PageFiles().size(), 3);
        if (compressed) {
            QFile damaged(TPreviewPageStore::FileName(1, true));
            QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
            damaged.write("not a zlib stream");
            damaged.close();
            QPicture page;
            QVERIFY(!store.Load(1, page));
            QCOMPARE(PageFiles().size(), 3);
        }
        // A preview of more than ten thousand pages leaves none of them behind.
        for (int i = 3; i <= 10005; ++i) {
            QFile more(TPreviewPageStore::FileName(i, compressed));
            QVERIFY(more.open(QIODevice::WriteOnly));
        }
        store.DeleteAll();
        QVERIFY(PageFiles().isEmpty());
    }

    void unwritablePageFileIsReported()
    {
        SetCompress(false);
        // A folder in the way in the current folder sends the page to the user's own working
        // folder; one there too leaves nowhere to write.
        const QString userPage = QDir(WorkingFolder::UserFolder()).filePath("PreviewMetafile0");
        QDir().mkdir("PreviewMetafile0");
        QDir().mkdir(userPage);
        ScriptedDialogs dialogs;
        dialogs.ThenAccept();
        TRichPreviewForm form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.StorePage(Page(1), true);
        QVERIFY(dialogs.LastSeen().contains("Can not save the page information (MetaFiles)"));
        QDir().rmdir("PreviewMetafile0");
        QDir().rmdir(userPage);
    }

    void panelLabelsReadWholeAndButtonsShowTheirIcons()
    {
        // A font larger than the window's design assumed.
        const QFont old = QApplication::font();
        QFont large(QStringLiteral("DejaVu Sans"));
        large.setPixelSize(15);
        QApplication::setFont(large);
        auto form = Preview(3);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QApplication::setFont(old);
        QList<QWidget *> shown;
        for (QWidget *w : form->Panel1->findChildren<QWidget *>())
            if (w->isVisible() && !w->objectName().isEmpty())
                shown << w;
        for (QWidget *w : shown) {
            if (auto *label = qobject_cast<QLabel *>(w))
                QVERIFY2(label->width() >= label->sizeHint().width() &&
                             form->Panel1->rect().contains(label->geometry()),
                         qPrintable(label->text()));
            for (QWidget *other : shown)
                QVERIFY2(other == w || !other->geometry().intersects(w->geometry()),
                         qPrintable(w->objectName() + " " + other->objectName()));
        }
        // Printing shows a printer, not a disk.
        const QImage print = form->SpeedButton1->icon().pixmap(16).toImage();
        QVERIFY(!print.isNull());
        QVERIFY(print !=
                form->style()->standardIcon(QStyle::SP_DialogSaveButton).pixmap(16).toImage());
    }

    void previewThroughThePrinterComponent()
    {
        auto printer = NewPdfRichPrinter();
        printer->SetShowProgress(true);
        QTextEdit edit;
        edit.setPlainText(NumberedLines(150));
        printer->PreviewRichEdit(edit);
        TRichPreviewForm *form = printer->PreviewForm();
        QVERIFY(form);
        QVERIFY(form->PageCount() >= 3);
        QVERIFY(!printer->PreviewMode());
        QVERIFY(printer->ProgressDialog() == nullptr);
        QSettings s("Zarvel", "Zarvel");
        QCOMPARE(s.value("RichPrint.Settings/Compress/CompressPreview").toString(), "1");
        QVERIFY(!s.childGroups().isEmpty());
        QVERIFY(!s.contains("RichPrint.Settings/Marges/MarginLeft"));
        form->close();
        QVERIFY(PageFiles().isEmpty());
    }
};

ZARVEL_TEST_MAIN(TestRichPreview)
#include "tst_richpreview.moc"
