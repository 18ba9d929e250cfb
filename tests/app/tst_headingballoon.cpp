#include "TestEnvironment.h"
#include "app/TMainForm.h"
#include "app/TRuler.h"
#include "assembly/AssemblyTexts.h"
#include "richedit/TRichEditEx.h"
#include "widgets/TBalloon.h"

#include <QFontMetrics>
#include <QScrollBar>

#include <cstring>
#include <memory>

// Real mouse and key events on the document pane of the real window, on an X display: what a
// click does to the caret and the text, and when the heading balloon comes and goes.
class TestHeadingBalloon : public QObject
{
    Q_OBJECT

    std::unique_ptr<TMainForm> form;

    TRichEditEx &Document() const { return *form->RichEditEx1; }
    QWidget *Viewport() const { return Document().viewport(); }

    // A point inside the character at position: a quarter into it, halfway down its line.
    QPoint On(int position) const
    {
        const QPoint from = Document().PosFromChar(position);
        const QPoint to = Document().PosFromChar(position + 1);
        const int height = QFontMetrics(Document().font()).height();
        return QPoint(from.x() + std::max(1, (to.x() - from.x()) / 4), from.y() + height / 2);
    }
    int Find(const char *text) const { return int(Document().WholeText().find(text)); }
    TBalloonWindow *Balloon() const { return form->Balloon1->Window(); }
    bool BalloonVisible() const { return Balloon() && Balloon()->isVisible(); }
    // The balloon is laid out as a balloon of this text would be.
    bool BalloonShows(const QString &text) const
    {
        TBalloonWindow::Style style;
        style.Font = form->Balloon1->Font();
        TBalloonWindow reference(style);
        reference.Prepare(text, 0, 100);
        return BalloonVisible() && Balloon()->TextWidth() == reference.TextWidth() &&
               Balloon()->TextHeight() == reference.TextHeight();
    }
    static void Activate(QWidget &window)
    {
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    // A point of the balloon's tail a few pixels above its tip (where the balloon, not the pane,
    // has the mouse), in the pane's viewport coordinates; null when there is none.
    QPoint OnTheTail() const
    {
        const QImage &bitmap = Balloon()->Bitmap();
        for (int y = bitmap.height() - 6; y < bitmap.height() - 3; ++y)
            for (int x = 1; x < 6; ++x)
                if (qAlpha(bitmap.pixel(x, y)) == 255)
                    return Viewport()->mapFromGlobal(Balloon()->mapToGlobal(QPoint(x, y)));
        return QPoint();
    }
    void Click(const QPoint &point) { QTest::mouseClick(Viewport(), Qt::LeftButton, {}, point); }
    // Moves the pointer to a character of a placeholder and clicks there: the placeholder's
    // balloon comes up with its tail at the pointer, and stays.
    bool ShowBalloonBy(const QPoint &point)
    {
        QTest::mouseMove(Viewport(), point);
        if (!QTest::qWaitFor([&] { return Viewport()->mapFromGlobal(QCursor::pos()) == point; }))
            return false;
        Click(point);
        QTest::qWait(100);
        return BalloonVisible() &&
               Balloon()->geometry().left() == Viewport()->mapToGlobal(point).x();
    }

private slots:
    void init()
    {
        form = std::make_unique<TMainForm>();
        form->resize(700, 500);
        form->show();
        Activate(*form);
        Document().setFocus();
    }
    void cleanup() { form.reset(); }

    void clickPlacesTheCaretAndTypingLosesNothing()
    {
        Document().SetWholeText("Dear client\rsecond line");
        // In the middle of a word: the next key goes in there, nothing is replaced.
        const int at = Find("ient");
        Click(On(at));
        QCOMPARE(Document().SelectionStart(), at);
        QCOMPARE(Document().SelectionLength(), 0);
        QTest::keyClicks(&Document(), "XY");
        QCOMPARE(Document().WholeText(), std::string("Dear clXYient\rsecond line"));

        // Right of the first line's end: the caret goes to its end, the paragraph mark stays.
        const int lineY = On(0).y();
        Click(QPoint(Viewport()->width() - 30, lineY));
        QCOMPARE(Document().SelectionStart(), Find("\r"));
        QCOMPARE(Document().SelectionLength(), 0);
        QTest::keyClicks(&Document(), "Z");
        QCOMPARE(Document().WholeText(), std::string("Dear clXYientZ\rsecond line"));
    }

    void balloonFollowsThePlaceholder()
    {
        QStringList information;
        for (int pair = 1; pair <= 12; ++pair)
            information << QStringLiteral("Heading %1").arg(pair) << QStringLiteral("v");
        form->RichEditEx2->SetWholeText(information.join(QLatin1Char('\r')).toStdString());
        // Enough lines after them for the pane to scroll.
        Document().SetWholeText("Pay @12, e-mail jo@3x.com or Ref@3\rnext line @2" +
                                std::string(80, '\r'));
        const int at = Find("@12");

        // On a digit of a placeholder followed by a comma: the heading, the caret left where the
        // click put it and nothing selected.
        const QPoint digit = On(at + 2);
        QVERIFY(ShowBalloonBy(digit));
        QVERIFY(BalloonShows(QStringLiteral("Heading 12")));
        QCOMPARE(form->Balloon1->Color(), QColor(Qt::yellow));
        QCOMPARE(Document().SelectionLength(), 0);
        QCOMPARE(Document().SelectionStart(), Document().CharFromPos(digit));
        // The balloon belongs to the main window.
        QCOMPARE(Balloon()->parentWidget(), static_cast<QWidget *>(form.get()));
        QVERIFY(!(Balloon()->windowFlags() & Qt::WindowStaysOnTopHint));

        // The pointer moves for real (the X server sends the motion). Onto the balloon's tail
        // near its tip and over the placeholder's "@" the balloon stays; on the comma it goes.
        QVERIFY(ShowBalloonBy(On(at + 1)));
        const QPoint tail = OnTheTail();
        QVERIFY(!tail.isNull());
        const int under = Document().CharAtPoint(tail);
        QVERIFY(under >= at && under < at + 3);
        for (const QPoint &still : {tail, On(at)}) {
            QTest::mouseMove(Viewport(), still);
            QTest::qWait(200);
            QVERIFY(BalloonVisible());
        }
        QTest::mouseMove(Viewport(), On(at + 3));
        QTRY_VERIFY(!BalloonVisible());
        // Up into the balloon's box, off the placeholder.
        QVERIFY(ShowBalloonBy(digit));
        QTest::mouseMove(Viewport(), digit + QPoint(25, -25));
        QTRY_VERIFY(!BalloonVisible());

        // A key press, leaving the pane, a scroll and the window losing the focus hide it too.
        QVERIFY(ShowBalloonBy(On(at)));
        QTest::keyClick(&Document(), Qt::Key_Right);
        QVERIFY(!BalloonVisible());
        QVERIFY(ShowBalloonBy(On(at + 1)));
        QTest::mouseMove(form->Ruler, QPoint(5, 5));
        QTRY_VERIFY(!BalloonVisible());
        QVERIFY(ShowBalloonBy(On(at)));
        Document().verticalScrollBar()->setValue(1);
        Document().verticalScrollBar()->setValue(0);
        QVERIFY(!BalloonVisible());
        QVERIFY(ShowBalloonBy(On(at)));
        QWidget other;
        other.resize(200, 100);
        other.show();
        Activate(other);
        QTRY_VERIFY(!BalloonVisible());
        Activate(*form);

        // "@" glued to a letter is ordinary text: no balloon, the click only places the caret.
        for (const char *text : {"jo@3", "Ref@3"}) {
            const int glued = Find(text) + int(std::strlen(text)) - 1;
            Click(On(glued));
            QVERIFY2(!BalloonVisible(), text);
            QCOMPARE(Document().SelectionLength(), 0);
        }
        // At the end of a line, and right of that end.
        const int last = Find("@2");
        QVERIFY(ShowBalloonBy(On(last + 1)));
        QVERIFY(BalloonShows(QStringLiteral("Heading 2")));
        Click(QPoint(Viewport()->width() - 30, On(last).y()));
        QVERIFY(!BalloonVisible());

        // Without information the red message.
        form->RichEditEx2->SetWholeText("");
        QVERIFY(ShowBalloonBy(On(at)));
        QVERIFY(BalloonShows(QString::fromLatin1(NoInformationBalloonText)));
        QCOMPARE(form->Balloon1->Color(), QColor(Qt::red));
    }
};

ZARVEL_TEST_MAIN(TestHeadingBalloon)
#include "tst_headingballoon.moc"
