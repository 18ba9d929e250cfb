#include "TestEnvironment.h"
#include "widgets/TBalloon.h"

#include <QFontMetrics>
#include <QMouseEvent>

namespace {

QFont TestFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

} // namespace

class TestBalloon : public QObject
{
    Q_OBJECT
private slots:
    void geometryFollowsTheLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("one") << "Name of client" << QStringList{"Name of client"};
        QTest::newRow("three")
            << "You have not chosen an information file@You need to complete this step@or "
               "there will be nothing to merge"
            << QStringList{"You have not chosen an information file",
                           "You need to complete this step", "or there will be nothing to merge"};
        QTest::newRow("trailing @") << "Heading@" << QStringList{"Heading", ""};
    }
    void geometryFollowsTheLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(TBalloonWindow::SplitLines(text), lines);

        TBalloon balloon;
        balloon.SetFont(TestFont());
        balloon.ShowAt(text, QPoint(300, 400));
        const QFontMetrics metrics(TestFont());
        int m = 0;
        for (const QString &line : lines)
            m = std::max(m, metrics.horizontalAdvance(line));
        const int h = metrics.height() * int(lines.size());
        TBalloonWindow *window = balloon.Window();
        QVERIFY(window);
        QVERIFY(window->Shown());
        QCOMPARE(window->TextWidth(), m);
        QCOMPARE(window->TextHeight(), h);
        QCOMPARE(window->geometry(), QRect(300, 400 - 15 - h - 2, m + 23, h + 20));
        // Bottom 3 pixels below the cursor.
        QCOMPARE(window->geometry().bottom() + 1, 403);
    }

    void sideDecidesWhichEdgeIsAtTheCursor()
    {
        TBalloon balloon;
        balloon.SetFont(TestFont());
        balloon.ShowAt(QStringLiteral("Address"), QPoint(500, 300));
        QCOMPARE(balloon.Window()->geometry().left(), 500);
        // The tail's tip is at the cursor: black outline pixel at the bottom-left corner.
        const int h = balloon.Window()->TextHeight();
        QCOMPARE(QColor(balloon.Window()->Bitmap().pixel(0, h + 17)), QColor(Qt::black));

        balloon.SetAlign(TBalloonAlign::alLeft);
        balloon.ShowAt(QStringLiteral("Address"), QPoint(500, 300));
        const QRect r = balloon.Window()->geometry();
        QCOMPARE(r.left() + r.width(), 500);
        QCOMPARE(QColor(balloon.Window()->Bitmap().pixel(r.width() - 1, h + 17)),
                 QColor(Qt::black));
    }

    void shapeDecidesTheCorners()
    {
        TBalloon balloon;
        balloon.SetFont(TestFont());
        balloon.SetColor(Qt::yellow);
        balloon.ShowAt(QStringLiteral("Heading"), QPoint(100, 100));
        // The rounded box leaves its corner out; the square one draws it.
        QCOMPARE(qAlpha(balloon.Window()->Bitmap().pixel(10, 0)), 0);
        const int m = balloon.Window()->TextWidth();
        QCOMPARE(QColor(balloon.Window()->Bitmap().pixel(15 + m / 2,
                                                         balloon.Window()->TextHeight() + 1)),
                 QColor(Qt::yellow));

        balloon.SetShape(TPShape::sRectangle);
        balloon.ShowAt(QStringLiteral("Heading"), QPoint(100, 100));
        QCOMPARE(QColor(balloon.Window()->Bitmap().pixel(10, 0)), QColor(Qt::black));
        // The shadow's corner too.
        const int h = balloon.Window()->TextHeight();
        QCOMPARE(QColor(balloon.Window()->Bitmap().pixel(m + 22, h + 4)), QColor(Qt::black));
    }

    void emptyTextLeavesTheBalloonAlone()
    {
        TBalloon balloon;
        balloon.ShowAt(QString(), QPoint(10, 10));
        QVERIFY(!balloon.Window());
        balloon.ShowAt(QStringLiteral("First"), QPoint(200, 200));
        TBalloonWindow *first = balloon.Window();
        balloon.ShowAt(QString(), QPoint(10, 10));
        QCOMPARE(balloon.Window(), first);
        QVERIFY(first->Shown());
    }

    void nextShowReplacesTheBalloon()
    {
        TBalloon balloon;
        balloon.ShowAt(QStringLiteral("First"), QPoint(200, 200));
        balloon.ShowAt(QStringLiteral("Second"), QPoint(250, 260));
        QVERIFY(balloon.Window()->Shown());
        QCOMPARE(balloon.Window()->geometry().left(), 250);
        QCOMPARE(balloon.CursorPos(), QPoint(250, 260));
        balloon.Hide();
        QVERIFY(!balloon.Window()->Shown());
        QVERIFY(!balloon.Window()->isVisible());
    }

    void mouseHidesAsTheFlagsSay_data()
    {
        QTest::addColumn<bool>("hideOnMove");
        QTest::addColumn<bool>("hideOnClick");
        QTest::newRow("main window's setting") << true << false;
        QTest::newRow("click only") << false << true;
    }
    void mouseHidesAsTheFlagsSay()
    {
        QFETCH(bool, hideOnMove);
        QFETCH(bool, hideOnClick);
        TBalloon balloon;
        balloon.SetHideIfMouseMove(hideOnMove);
        balloon.SetHideIfMouseClick(hideOnClick);
        balloon.ShowAt(QStringLiteral("Heading"), QPoint(200, 200));
        TBalloonWindow *window = balloon.Window();
        const QPointF inside(15, 5);
        QMouseEvent press(QEvent::MouseButtonPress, inside, window->mapToGlobal(inside),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &press);
        QCOMPARE(window->Shown(), !hideOnClick);
        balloon.ShowAt(QStringLiteral("Heading"), QPoint(200, 200));
        window = balloon.Window();
        QMouseEvent move(QEvent::MouseMove, inside, window->mapToGlobal(inside), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window, &move);
        QCOMPARE(window->Shown(), !hideOnMove);
    }

    void balloonNeverTakesTheFocus()
    {
        TBalloon balloon;
        balloon.ShowAt(QStringLiteral("Heading"), QPoint(200, 200));
        QVERIFY(balloon.Window()->testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(balloon.Window()->focusPolicy(), Qt::NoFocus);
    }
};

ZARVEL_TEST_MAIN(TestBalloon)
#include "tst_balloon.moc"
