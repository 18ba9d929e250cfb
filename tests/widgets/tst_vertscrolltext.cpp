#include "TestEnvironment.h"
#include "widgets/TForm2.h"
#include "widgets/TVertScrollText.h"

#include <QPushButton>

class TestVertScrollText : public QObject
{
    Q_OBJECT
private slots:
    void startsAtTheBottomAndMovesOnePixelAStep()
    {
        QWidget parent;
        TVertScrollText text(&parent);
        text.resize(300, 120);
        text.SetLines({"one", "two"});
        text.SetEnabled(true);
        QCOMPARE(text.Position(), 120);
        text.ScrollStep();
        QCOMPARE(text.Position(), 119);
        for (int i = 0; i < 10; ++i)
            text.ScrollStep();
        QCOMPARE(text.Position(), 109);
    }

    void restartsOnceTheTextHasLeftTheTop_data()
    {
        QTest::addColumn<bool>("repeat");
        QTest::newRow("repeat") << true;
        QTest::newRow("once") << false;
    }
    void restartsOnceTheTextHasLeftTheTop()
    {
        QFETCH(bool, repeat);
        QWidget parent;
        TVertScrollText text(&parent);
        text.resize(200, 50);
        text.SetLines({"a", "b", "c"});
        text.SetRepeatScroll(repeat);
        text.SetEnabled(true);
        parent.show();
        QVERIFY(text.TimerActive());
        const int h = text.TextHeight();
        QVERIFY(h > 0);
        // From the bottom edge until the last line has gone past the top.
        const int steps = 50 + h + 1;
        for (int i = 0; i < steps; ++i)
            text.ScrollStep();
        QCOMPARE(text.Position(), -h - 1);
        text.ScrollStep();
        if (repeat) {
            QCOMPARE(text.Position(), 49);
            QVERIFY(text.TimerActive());
        } else {
            QCOMPARE(text.Position(), -h - 1);
            QVERIFY(!text.TimerActive());
        }
    }

    void timerStepsEveryInterval()
    {
        QWidget parent;
        TVertScrollText text(&parent);
        text.SetInterval(20);
        parent.show();
        const int start = text.Position();
        QTRY_VERIFY_WITH_TIMEOUT(text.Position() <= start - 3, 60000);
        text.SetEnabled(false);
        QVERIFY(!text.TimerActive());
    }

    void transparentColourAvoidsTheFontColour_data()
    {
        QTest::addColumn<QColor>("font");
        QTest::addColumn<QColor>("transparent");
        QTest::newRow("black") << QColor(Qt::black) << QColor(0, 0, 255);
        QTest::newRow("pure blue") << QColor(0, 0, 255) << QColor(0, 128, 0);
        QTest::newRow("dark blue") << QColor(0, 0, 128) << QColor(0, 0, 255);
    }
    void transparentColourAvoidsTheFontColour()
    {
        QFETCH(QColor, font);
        QFETCH(QColor, transparent);
        QWidget parent;
        TVertScrollText text(&parent);
        text.resize(200, 60);
        text.SetLines({"WWWWWWWW"});
        text.SetFontColor(font);
        QCOMPARE(text.TransparentColor(), transparent);
        QCOMPARE(text.TextBitmap().pixelColor(0, 0), transparent);

        // In a frame the letters show in their colour, the rest is the white background.
        text.SetEnabled(true);
        for (int i = 0; i < 30; ++i)
            text.ScrollStep();
        const QImage frame = text.WorkBitmap();
        bool letters = false;
        bool key = false;
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x) {
                const QRgb p = frame.pixel(x, y) & 0xFFFFFF;
                letters |= p == (font.rgb() & 0xFFFFFF);
                key |= p == (transparent.rgb() & 0xFFFFFF);
            }
        QVERIFY(letters);
        QVERIFY(!key);
    }

    void alignmentPlacesLines()
    {
        QWidget parent;
        TVertScrollText text(&parent);
        text.resize(300, 60);
        text.SetLines({"ii"});
        const auto firstInk = [&] {
            const QImage &bitmap = text.TextBitmap();
            for (int x = 0; x < bitmap.width(); ++x)
                for (int y = 0; y < bitmap.height(); ++y)
                    if (bitmap.pixelColor(x, y) != text.TransparentColor())
                        return x;
            return -1;
        };
        text.SetAlignment(TAlign::alLeft);
        const int left = firstInk();
        text.SetAlignment(TAlign::alCenter);
        const int centre = firstInk();
        text.SetAlignment(TAlign::alRight);
        const int right = firstInk();
        QVERIFY(left >= 0 && left < 10);
        QVERIFY(centre > 130 && centre < 160);
        QVERIFY(right > 270);
    }

    void backgroundPictureIsStretched()
    {
        QWidget parent;
        TVertScrollText text(&parent);
        text.resize(100, 40);
        text.SetLines({});
        QPixmap picture(10, 10);
        picture.fill(Qt::red);
        text.SetBkgrndBitmap(picture);
        text.Paint();
        QCOMPARE(text.WorkBitmap().pixelColor(90, 35), QColor(Qt::red));
        text.SetStretch(false);
        text.Paint();
        QCOMPARE(text.WorkBitmap().pixelColor(90, 35), QColor(Qt::white));
        QCOMPARE(text.WorkBitmap().pixelColor(5, 5), QColor(Qt::red));
    }

    void creditsWindow()
    {
        TForm2 form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Zarvel Credits"));
        const QStringList lines = TForm2::CreditLines();
        QCOMPARE(lines.size(), 31);
        QCOMPARE(lines.first(), QStringLiteral("   "));
        for (int i = 1; i < 31; i += 3) {
            QVERIFY(!lines.at(i).isEmpty());
            QVERIFY(!lines.at(i + 1).isEmpty());
            QVERIFY(lines.at(i + 2).isEmpty());
        }
        QCOMPARE(form.VertScrollText1->geometry(), QRect(16, 8, 425, 265));
        QCOMPARE(form.VertScrollText1->Lines(), lines);
        QCOMPARE(form.VertScrollText1->Alignment(), TAlign::alCenter);
        QCOMPARE(form.VertScrollText1->Interval(), 50);
        form.show();
        QCOMPARE(form.VertScrollText1->Position(), 265);
        QVERIFY(form.VertScrollText1->TimerActive());
        form.Button1->click();
        QVERIFY(!form.isVisible());
        QVERIFY(!form.VertScrollText1->TimerActive());
    }
};

ZARVEL_TEST_MAIN(TestVertScrollText)
#include "tst_vertscrolltext.moc"
