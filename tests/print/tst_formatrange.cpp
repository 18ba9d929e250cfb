#include "TestEnvironment.h"
#include "richedit/TFormatRange.h"
#include "rtf/TRtfFormatProperties.h"

#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <set>

namespace {
constexpr QChar FF(0x000C);

// Lines "Row 0001" ... each its own paragraph.
QString Rows(int count, int from = 1)
{
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows << QStringLiteral("Row %1").arg(from + i, 4, 10, QLatin1Char('0'));
    return rows.join(QLatin1Char('\n'));
}

// A page area of w x h inches at one inch from the top left corner.
TFormatRangeRequest Area(QPainter *painter, QPaintDevice *target, double w, double h)
{
    TFormatRangeRequest r;
    r.hdc = painter;
    r.hdcTarget = target;
    r.rc.setCoords(1440, 1440, 1440 + int(w * 1440), 1440 + int(h * 1440));
    r.rcPage = r.rc;
    return r;
}

// Every page start of the document for the area, as the printer's loop asks for them.
std::vector<int> PageStarts(TFormatRange &formatter, const QTextDocument &doc,
                            TFormatRangeRequest request)
{
    std::vector<int> starts;
    const int n = TFormatRange::TextLength(doc);
    int next = 0;
    int start = 0;
    do {
        start = next;
        starts.push_back(start);
        request.cpMin = start;
        next = formatter.Format(doc, false, &request);
    } while (next < n && next > start && starts.size() < 10000);
    return starts;
}
} // namespace

class TestFormatRange : public QObject
{
    Q_OBJECT
private:
    QImage FTarget{850, 1100, QImage::Format_RGB32}; // a 100 dpi letter page

private slots:
    void init()
    {
        FTarget.setDotsPerMeterX(3937);
        FTarget.setDotsPerMeterY(3937);
        FTarget.fill(Qt::white);
    }

    void emptyDocumentAnswersZero()
    {
        QTextDocument doc;
        TFormatRange f;
        QPainter p(&FTarget);
        TFormatRangeRequest r = Area(&p, &FTarget, 6, 9);
        QCOMPARE(f.Format(doc, true, &r), 0);
        QCOMPARE(TFormatRange::TextLength(doc), 0);
    }

    void shortDocumentFitsOnOnePage()
    {
        QTextDocument doc;
        doc.setPlainText(Rows(5));
        TFormatRange f;
        QPainter p(&FTarget);
        TFormatRangeRequest r = Area(&p, &FTarget, 6, 9);
        QCOMPARE(f.Format(doc, true, &r), TFormatRange::TextLength(doc));
        p.end();
        // Something was drawn inside the area and nothing above it.
        bool inked = false;
        for (int y = 100; y < 200 && !inked; ++y)
            for (int x = 100; x < 400 && !inked; ++x)
                inked = FTarget.pixelColor(x, y) != Qt::white;
        QVERIFY(inked);
        for (int x = 0; x < FTarget.width(); ++x)
            QCOMPARE(FTarget.pixelColor(x, 50), QColor(Qt::white));
    }

    void longDocumentSplitsAtLineStartsAndCoversAll()
    {
        QTextDocument doc;
        doc.setPlainText(Rows(300));
        TFormatRange f;
        const TFormatRangeRequest r = Area(nullptr, &FTarget, 6, 3);
        const std::vector<int> starts = PageStarts(f, doc, r);
        QVERIFY(starts.size() > 5);
        // Pages start at paragraph starts here (one line each) and grow strictly.
        for (size_t i = 1; i < starts.size(); ++i) {
            QVERIFY(starts[i] > starts[i - 1]);
            QCOMPARE(doc.findBlock(starts[i]).position(), starts[i]);
        }
        // Pages of equal lines hold equal numbers of lines.
        const int perPage = doc.findBlock(starts[1]).blockNumber();
        QVERIFY(perPage > 5);
        QCOMPARE(doc.findBlock(starts[2]).blockNumber(), 2 * perPage);
    }

    void pageHeightGovernsLinesPerPage()
    {
        QTextDocument doc;
        doc.setPlainText(Rows(200));
        TFormatRange f;
        const auto lines = [&](double h) {
            TFormatRangeRequest r = Area(nullptr, &FTarget, 6, h);
            r.cpMin = 0;
            f.Free();
            return doc.findBlock(f.Format(doc, false, &r)).blockNumber();
        };
        const int three = lines(3);
        const int six = lines(6);
        QVERIFY(six >= 2 * three - 1 && six <= 2 * three + 1);
    }

    void formFeedEndsThePage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("nextPageStartsWith");
        QTest::newRow("own paragraph")
            << QStringLiteral("a\nb\n") + FF + QStringLiteral("\nc\nd") << QStringLiteral("c");
        QTest::newRow("end of paragraph")
            << QStringLiteral("a\nb") + FF + QStringLiteral("\nc\nd") << QStringLiteral("c");
        QTest::newRow("inside paragraph")
            << QStringLiteral("a\nb") + FF + QStringLiteral("c\nd") << QStringLiteral("c");
    }

    void formFeedEndsThePage()
    {
        QFETCH(QString, text);
        QFETCH(QString, nextPageStartsWith);
        QTextDocument doc;
        doc.setPlainText(text);
        TFormatRange f;
        TFormatRangeRequest r = Area(nullptr, &FTarget, 6, 9);
        r.cpMin = 0;
        const int next = f.Format(doc, false, &r);
        QVERIFY(next < TFormatRange::TextLength(doc));
        QCOMPARE(QString(doc.characterAt(next)), nextPageStartsWith);
        r.cpMin = next;
        QCOMPARE(f.Format(doc, false, &r), TFormatRange::TextLength(doc));
        // The source keeps its form feed: the layout works on a copy.
        QVERIFY(doc.toPlainText().contains(FF));
    }

    void trailingFormFeedMakesNoEmptyPage()
    {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("a\nb") + FF);
        TFormatRange f;
        TFormatRangeRequest r = Area(nullptr, &FTarget, 6, 9);
        QCOMPARE(f.Format(doc, false, &r), TFormatRange::TextLength(doc));
    }

    void lineTallerThanThePageStillAdvances()
    {
        QTextDocument doc;
        doc.setPlainText(Rows(3));
        TFormatRange f;
        TFormatRangeRequest r = Area(nullptr, &FTarget, 6, 0.01);
        const int first = f.Format(doc, false, &r);
        QCOMPARE(first, doc.findBlockByNumber(1).position());
    }

    void cpMaxLimitsThePage()
    {
        QTextDocument doc;
        doc.setPlainText(Rows(20));
        TFormatRange f;
        TFormatRangeRequest r = Area(nullptr, &FTarget, 6, 9);
        r.cpMax = doc.findBlockByNumber(4).position();
        QCOMPARE(f.Format(doc, false, &r), r.cpMax);
    }

    void layoutIsKeptUntilFreed()
    {
        QTextDocument doc;
        doc.setPlainText(Rows(200));
        TFormatRange f;
        TFormatRangeRequest r = Area(nullptr, &FTarget, 6, 3);
        const int before = f.Format(doc, false, &r);
        // Edits are not seen while the layout is kept: the control's cache works that way.
        QTextCursor(&doc).insertText(QStringLiteral("x\nx\nx\nx\nx\nx\n"));
        QCOMPARE(f.Format(doc, false, &r), before);
        QCOMPARE(f.Format(doc, false, nullptr), 0);
        QVERIFY(f.Format(doc, false, &r) < before + 12);
        QVERIFY(f.Format(doc, false, &r) != before);
    }

    void hiddenTextTakesNoPageSpace()
    {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("Before\n") +
                         QString(QStringLiteral("word ")).repeated(600) +
                         QStringLiteral("\nAfter"));
        TFormatRange f;
        TFormatRangeRequest r = Area(nullptr, &FTarget, 6, 1.5);
        r.cpMin = 0;
        const int all = TFormatRange::TextLength(doc);
        QVERIFY(f.Format(doc, false, &r) < all); // shown, the long paragraph needs more pages

        QTextCursor cursor(doc.findBlockByNumber(1));
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat hidden;
        hidden.setProperty(TRtfFormatProperties::Hidden, true);
        cursor.mergeCharFormat(hidden);
        f.Free();
        QCOMPARE(f.Format(doc, false, &r), all);
        QCOMPARE(doc.toPlainText().size(), all); // the source keeps its text
    }

    void widerAreaHoldsMoreTextPerLine()
    {
        QTextDocument doc;
        doc.setPlainText(QString(QStringLiteral("word ")).repeated(2000));
        TFormatRange f;
        TFormatRangeRequest narrow = Area(nullptr, &FTarget, 2, 3);
        TFormatRangeRequest wide = Area(nullptr, &FTarget, 6, 3);
        const int n1 = f.Format(doc, false, &narrow);
        const int n2 = f.Format(doc, false, &wide);
        QVERIFY(n2 > 2 * n1);
    }
};

ZARVEL_TEST_MAIN(TestFormatRange)
#include "tst_formatrange.moc"
