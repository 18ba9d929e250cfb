#include "TestEnvironment.h"
#include "print/TArrowButton.h"

#include <QPolygon>

class TestArrowButton : public QObject
{
    Q_OBJECT
private slots:
    void triangles_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QPolygon>("outer");
        QTest::addColumn<QPolygon>("inner");
        QTest::newRow("up") << int(arwUP) << QPolygon({{16, 3}, {30, 30}, {3, 30}})
                            << QPolygon({{16, 6}, {26, 28}, {6, 28}});
        QTest::newRow("down") << int(arwDOWN) << QPolygon({{30, 3}, {16, 30}, {3, 3}})
                              << QPolygon({{27, 5}, {16, 27}, {5, 5}});
        QTest::newRow("right") << int(arwRIGHT) << QPolygon({{3, 3}, {30, 16}, {3, 30}})
                               << QPolygon({{5, 6}, {27, 16}, {5, 27}});
        QTest::newRow("left") << int(arwLEFT) << QPolygon({{30, 3}, {30, 30}, {3, 16}})
                              << QPolygon({{28, 6}, {28, 28}, {6, 16}});
    }
    void triangles()
    {
        QFETCH(int, direction);
        QFETCH(QPolygon, outer);
        QFETCH(QPolygon, inner);
        TArrowButton b;
        b.SetDirection(TButtonDirection(direction));
        QCOMPARE(b.size(), QSize(33, 33));
        QCOMPARE(b.OuterTriangle(), outer);
        QCOMPARE(b.InnerTriangle(), inner);
    }

    void onlyPressesInsideTheTriangleClick()
    {
        TArrowButton b;
        int clicks = 0;
        QObject::connect(&b, &TArrowButton::clicked, [&] { ++clicks; });
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(2, 2)); // a corner outside
        QCOMPARE(clicks, 0);
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(16, 20));
        QVERIFY(b.Pressed());
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(16, 20));
        QVERIFY(!b.Pressed());
        QCOMPARE(clicks, 1);
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(16, 20));
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(60, 60)); // released elsewhere
        QCOMPARE(clicks, 1);
        QCOMPARE(b.ButtonColor(), QColor(0, 128, 128));
    }
};

ZARVEL_TEST_MAIN(TestArrowButton)
#include "tst_arrowbutton.moc"
