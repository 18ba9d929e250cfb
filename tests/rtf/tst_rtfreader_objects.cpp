#include "rtf/TRtfFormatProperties.h"
#include "rtf/TRtfReader.h"
#include "rtf/TRtfWriter.h"

#include "RtfReaderTestSupport.h"
#include "TestEnvironment.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QtTest>

using namespace RtfReaderTest;

namespace {

// A cell's paragraphs joined by "\n", a nested table as its shape in brackets.
QString CellText(const QTextTableCell &cell);

// The cells of a table: "|" between the cells of a row, "/" between rows; a cell that spans
// several columns or rows carries its size, as in "text(2x1)".
QString Shape(const QTextTable &table)
{
    QStringList rows;
    for (int row = 0; row < table.rows(); ++row) {
        QStringList cells;
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (cell.row() != row || cell.column() != column)
                continue;
            QString text = CellText(cell);
            if (cell.rowSpan() > 1 || cell.columnSpan() > 1)
                text += QStringLiteral("(%1x%2)").arg(cell.columnSpan()).arg(cell.rowSpan());
            cells << text;
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows.join(QLatin1Char('/'));
}

QString CellText(const QTextTableCell &cell)
{
    QStringList parts;
    bool afterTable = false;
    for (auto it = cell.begin(); !it.atEnd(); ++it) {
        if (const auto *table = qobject_cast<QTextTable *>(it.currentFrame())) {
            // The empty paragraph the document keeps before a table is none of the text.
            if (!parts.isEmpty() && parts.last().isEmpty())
                parts.removeLast();
            parts << QLatin1Char('[') + Shape(*table) + QLatin1Char(']');
            afterTable = true;
            continue;
        }
        // ... nor is the one after it.
        if (!(afterTable && it.currentBlock().text().isEmpty()))
            parts << it.currentBlock().text();
        afterTable = false;
    }
    return parts.join(QLatin1Char('\n'));
}

QList<QTextTable *> Tables(const QTextDocument &document)
{
    QList<QTextTable *> tables;
    for (QTextFrame *frame : document.rootFrame()->childFrames())
        if (auto *table = qobject_cast<QTextTable *>(frame))
            tables << table;
    return tables;
}

QByteArray Encoded(const QImage &image, const char *format)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return data;
}

} // namespace

// Tables and pictures as the reader builds them: rows with their own cells, merged and nested
// cells, pictures of every kind with their bytes and sizes, through a save and a second load.
class TestRtfReaderObjects : public QObject
{
    Q_OBJECT

private slots:
    // Rows given before or after their cells, a nested table stated after its cells.
    void wordTableIsATable()
    {
        auto document = Load(Sample(QStringLiteral("word_table.rtf")));
        const QList<QTextTable *> tables = Tables(*document);
        QCOMPARE(tables.size(), 1);
        QCOMPARE(Shape(*tables.first()), QStringLiteral("Name|Qty|/Apple|3\nmore|[inner]\n"));
        QCOMPARE(document->begin().text(), QStringLiteral("Before"));
        QCOMPARE(document->lastBlock().text(), QStringLiteral("After"));
        const QTextTableFormat format = tables.first()->format();
        QCOMPARE(format.leftMargin(), -108 / 15.0);
        const QList<QTextLength> widths = format.columnWidthConstraints();
        QCOMPARE(widths.size(), 3);
        QCOMPARE(widths.at(0).rawValue(), 2108 / 15.0);
        QCOMPARE(widths.at(1).rawValue(), 2000 / 15.0);
        QTextCursor inner(document.get());
        inner.setPosition(Text(*document).indexOf(QStringLiteral("inner")));
        QCOMPARE(inner.currentTable()->format().columnWidthConstraints().at(0).rawValue(),
                 1000 / 15.0);
        // The first row's borders: the top edges only.
        const QTextTableCellFormat name = tables.first()->cellAt(0, 0).format().toTableCellFormat();
        QCOMPARE(name.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
        QCOMPARE(name.topBorder(), 10 / 15.0);
        QCOMPARE(name.leftBorderStyle(), QTextFrameFormat::BorderStyle_None);
    }

    void pictures()
    {
        auto document = Load(Sample(QStringLiteral("pictures.rtf")));
        const QString text = Text(*document);
        QCOMPARE(text,
                 QStringLiteral("png:\ufffc jpeg:\ufffc\nwmf:\ufffc\nword:\ufffc\nbin:\ufffc end"));
        QList<QTextImageFormat> images;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                if (it.fragment().charFormat().isImageFormat())
                    images.append(it.fragment().charFormat().toImageFormat());
            }
        }
        QCOMPARE(images.size(), 5);
        // The metafile is not drawn: it keeps its bytes and shows as a box.
        const QTextImageFormat metafile = images.takeAt(2);
        QCOMPARE(metafile.property(TRtfFormatProperties::PictureKind).toString(),
                 QStringLiteral("wmetafile"));
        QCOMPARE(metafile.property(TRtfFormatProperties::PictureData).toByteArray(),
                 QByteArray::fromHex("0100090000035000000000002700000000000400"));
        for (const QTextImageFormat &image : images) {
            const QVariant resource =
                document->resource(QTextDocument::ImageResource, QUrl(image.name()));
            QCOMPARE(resource.userType(), int(QMetaType::QImage));
            QCOMPARE(resource.value<QImage>().size(), QSize(8, 6));
        }
        QCOMPARE(images.at(0).width(), 8.0); // 120 twips
        QCOMPARE(images.at(1).width(), 8.0); // 240 twips at 50 %
        QCOMPARE(images.at(0).property(TRtfFormatProperties::PictureKind).toString(),
                 QStringLiteral("pngblip"));
        QCOMPARE(images.at(1).property(TRtfFormatProperties::PictureKind).toString(),
                 QStringLiteral("jpegblip"));
        // Pictures go out as they came in.
        const QByteArray written = TRtfWriter::Write(*document);
        const QByteArray jpeg =
            images.at(1).property(TRtfFormatProperties::PictureData).toByteArray();
        QVERIFY(written.contains("\\jpegblip"));
        QVERIFY(written.contains(jpeg.left(60).toHex()));
    }

    void generatedPicture()
    {
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(Qt::green);
        const QByteArray rtf = "{\\rtf1 a{\\pict\\pngblip " + Encoded(image, "PNG").toHex() +
                               "}b{\\pict\\pngblip 0011zz}c}";
        auto document = Load(rtf);
        // Data that does not decode is kept all the same.
        QCOMPARE(Text(*document), QStringLiteral("a\ufffcb\ufffcc"));
        QVERIFY(TRtfWriter::Write(*document).contains("{\\pict\\pngblip\\picwgoal"));
    }

    // Rows whose cells do not match their definitions, and cells of any width: each row keeps
    // its own cells, after a load and after a save and a second load.
    void tableRowsKeepTheirCells_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("widths"); // twips of the grid's columns
        QTest::newRow("more cells than stated")
            << QByteArray("{\\rtf1\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b\\cell c\\cell "
                          "d\\cell\\row\\trowd\\cellx1000\\cellx2000\\intbl e\\cell f\\cell\\row"
                          "\\pard after\\par}")
            << QStringLiteral("a|b|c|d/e|f|(2x1)") << QStringLiteral("1000,1000,1440,1440");
        QTest::newRow("one twip cell")
            << QByteArray("{\\rtf1\\trowd\\cellx1000\\cellx1001\\cellx3000\\intbl a\\cell b\\cell "
                          "c\\cell\\row\\pard after\\par}")
            << QStringLiteral("a|b|c") << QStringLiteral("1000,1,1999");
        QTest::newRow("boundary left of the one before")
            << QByteArray("{\\rtf1\\trowd\\cellx2000\\cellx1000\\cellx3000\\intbl a\\cell b\\cell "
                          "c\\cell\\row\\pard after\\par}")
            << QStringLiteral("a|b|c") << QStringLiteral("2000,75,925");
        QTest::newRow("nested row with more cells than stated")
            << QByteArray("{\\rtf1\\trowd\\cellx4000\\intbl\\itap2 i1\\nestcell i2\\nestcell "
                          "i3\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx1001\\nestrow}"
                          "\\intbl\\itap1 \\cell\\row\\pard after\\par}")
            << QStringLiteral("[i1|i2|i3]\n") << QStringLiteral("4000");
    }

    void tableRowsKeepTheirCells()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, shape);
        QFETCH(QString, widths);
        for (const auto &document : Readings(rtf)) {
            const QList<QTextTable *> tables = Tables(*document);
            QCOMPARE(tables.size(), 1);
            QCOMPARE(Shape(*tables.first()), shape);
            QStringList twips;
            for (const QTextLength &width : tables.first()->format().columnWidthConstraints())
                twips << QString::number(TRtfFormatProperties::PixelsToTwips(width.rawValue()));
            QCOMPARE(twips.join(QLatin1Char(',')), widths);
            QCOMPARE(document->lastBlock().text(), QStringLiteral("after"));
        }
        auto document = Load(rtf);
        const QByteArray first = TRtfWriter::Write(*document);
        QCOMPARE(TRtfWriter::Write(*Load(first)), first);
    }

    // A report that states its row definition once, for a heading row of one cell.
    void rowsWithoutDefinitionsOfTheirOwn()
    {
        for (const auto &document :
             Readings(Sample(QStringLiteral("report_rows_without_definitions.rtf")))) {
            const QList<QTextTable *> tables = Tables(*document);
            QCOMPARE(tables.size(), 1);
            const QTextTable &table = *tables.first();
            QCOMPARE(table.rows(), 41);
            QCOMPARE(table.columns(), 3);
            QCOMPARE(CellText(table.cellAt(0, 0)), QStringLiteral("Item, count and place"));
            QCOMPARE(table.cellAt(0, 0).columnSpan(), 1);
            for (int row = 1; row <= 40; ++row) {
                QCOMPARE(CellText(table.cellAt(row, 0)), QStringLiteral("item%1").arg(row));
                QCOMPARE(CellText(table.cellAt(row, 1)), QString::number(((row - 1) * 7) % 23));
                QCOMPARE(CellText(table.cellAt(row, 2)),
                         QStringLiteral("shelf ") + QChar(u'A' + (row - 1) % 6));
            }
            QCOMPARE(document->lastBlock().text(), QStringLiteral("End of report"));
        }
    }

    // Forms as Word and LibreOffice write them: unequal rows, merged cells, borders, shading.
    void formsWithMergedCells()
    {
        auto form = Load(Sample(QStringLiteral("word2003_form.rtf")));
        QList<QTextTable *> tables = Tables(*form);
        QCOMPARE(tables.size(), 1);
        QTextTable &word = *tables.first();
        QCOMPARE(Shape(word), QStringLiteral("Name|@2(2x1)/Address(1x2)|Street: @3|Town: @4/"
                                             "Post code: @5\nPage 1(2x1)"));
        const QList<QTextLength> widths = word.format().columnWidthConstraints();
        QCOMPARE(widths.size(), 3);
        QCOMPARE(widths.at(0).rawValue(), (2195 + 108) / 15.0);
        QCOMPARE(widths.at(1).rawValue(), (5649 - 2195) / 15.0);
        QCOMPARE(widths.at(2).rawValue(), (9104 - 5649) / 15.0);
        const QTextTableCellFormat name = word.cellAt(0, 0).format().toTableCellFormat();
        QCOMPARE(name.background().color(), QColor(217, 217, 217));
        QCOMPARE(name.verticalAlignment(), QTextCharFormat::AlignMiddle);
        QCOMPARE(name.leftPadding(), 108 / 15.0);
        QCOMPARE(name.intProperty(TRtfFormatProperties::TableRowHeight), 400);
        for (const QTextFrameFormat::BorderStyle style :
             {name.topBorderStyle(), name.leftBorderStyle(), name.bottomBorderStyle(),
              name.rightBorderStyle()})
            QCOMPARE(style, QTextFrameFormat::BorderStyle_Solid);
        QVERIFY(word.cellAt(0, 0).firstCursorPosition().charFormat().fontWeight() > QFont::Normal);

        auto office = Load(Sample(QStringLiteral("libreoffice_table.rtf")));
        tables = Tables(*office);
        QCOMPARE(tables.size(), 1);
        QCOMPARE(Shape(*tables.first()),
                 QStringLiteral("Item|Qty|Remarks/Screws(1x2)|@2|Brass, not steel/"
                                "Delivered in boxes of @3, each box sealed and labelled with "
                                "the order number.(2x1)"));
        const QTextTableCellFormat heading =
            tables.first()->cellAt(0, 1).format().toTableCellFormat();
        QCOMPARE(heading.background().color(), QColor(255, 255, 153));
        QCOMPARE(heading.leftPadding(), 55 / 15.0);
        QCOMPARE(heading.rightBorderStyle(), QTextFrameFormat::BorderStyle_None);
        QCOMPARE(tables.first()->cellAt(1, 1).firstCursorPosition().blockFormat().alignment() &
                     Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);

        auto nested = Load(Sample(QStringLiteral("word2002_nested.rtf")));
        tables = Tables(*nested);
        QCOMPARE(tables.size(), 1);
        QCOMPARE(Shape(*tables.first()),
                 QStringLiteral("Customer: @2|Items:\n[Apple|@3/Pear|@4]\n"));
    }

    // Rows of a nested table with fewer or other cells than its first row keep their own
    // cells, widths and shading through a save, though their definitions follow their cells.
    void nestedRowsKeepTheirCells()
    {
        auto document = Load(Sample(QStringLiteral("word2003_nested_rows.rtf")));
        const QByteArray first = TRtfWriter::Write(*document);
        auto again = Load(first);
        for (const QTextDocument *loaded : {document.get(), again.get()}) {
            const QList<QTextTable *> tables = Tables(*loaded);
            QCOMPARE(tables.size(), 1);
            QCOMPARE(
                Shape(*tables.first()),
                QStringLiteral("Shipped: @4|Contents:\n[Item|Qty(2x1)|Price/Apple|@2 boxes(3x1)/"
                               "Total: @3(2x1)|(2x1)]\n"));
            QTextCursor cursor(const_cast<QTextDocument *>(loaded));
            cursor.setPosition(Text(*loaded).indexOf(QStringLiteral("Apple")));
            const QTextTable *nested = cursor.currentTable();
            QVERIFY(nested && nested != tables.first());
            QList<qreal> widths;
            for (const QTextLength &width : nested->format().columnWidthConstraints())
                widths << width.rawValue();
            QCOMPARE(widths, (QList<qreal>{2000 / 15.0, 500 / 15.0, 500 / 15.0, 1000 / 15.0}));
            const auto background = [nested](int row, int column) {
                return nested->cellAt(row, column).format().background().color();
            };
            QCOMPARE(background(1, 1), QColor(255, 255, 204));
            QCOMPARE(background(2, 0), QColor(204, 255, 204));
            QCOMPARE(nested->cellAt(0, 1).format().background().style(), Qt::NoBrush);
            QCOMPARE(nested->cellAt(1, 0).format().toTableCellFormat().leftBorderStyle(),
                     QTextFrameFormat::BorderStyle_Solid);
        }
        QCOMPARE(TRtfWriter::Write(*again), first);
    }

    // Every kind of picture keeps its bytes and size; bitmaps are drawn, the rest are boxes.
    void picturesOfEveryKind()
    {
        auto document = Load(Sample(QStringLiteral("word_pictures.rtf")));
        struct Expected
        {
            const char *kind;
            QSizeF shown; // pixels
            QSize drawn;  // size of the decoded data; empty: a framed box
        };
        const Expected expected[] = {
            {"pngblip", {16, 12}, {16, 12}}, {"jpegblip", {32, 24}, {16, 12}},
            {"emfblip", {96, 48}, {}},       {"wmetafile", {100, 50}, {}},
            {"dibitmap", {40, 30}, {4, 3}},  {"dibitmap", {20, 10}, {4, 2}},
            {"wbitmap", {16, 2}, {16, 2}},   {"macpict", {64, 48}, {}}};
        QList<QTextImageFormat> images;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat())
                    images << it.fragment().charFormat().toImageFormat();
        QCOMPARE(images.size(), int(std::size(expected)));
        QByteArray source = Sample(QStringLiteral("word_pictures.rtf"));
        source.replace("\r\n", "");
        for (int i = 0; i < images.size(); ++i) {
            const QTextImageFormat &image = images.at(i);
            const Expected &want = expected[i];
            QCOMPARE(image.stringProperty(TRtfFormatProperties::PictureKind),
                     QString::fromLatin1(want.kind));
            QCOMPARE(QSizeF(image.width(), image.height()), want.shown);
            const QByteArray data = image.property(TRtfFormatProperties::PictureData).toByteArray();
            QVERIFY(!data.isEmpty());
            QVERIFY2(source.contains(data.toHex()), want.kind);
            const QImage shown =
                document->resource(QTextDocument::ImageResource, QUrl(image.name()))
                    .value<QImage>();
            if (want.drawn.isEmpty()) {
                QCOMPARE(shown.size(), want.shown.toSize());
                QCOMPARE(QColor(shown.pixel(0, 0)), QColor(Qt::gray));
            } else {
                QCOMPARE(shown.size(), want.drawn);
            }
        }
        const QImage dib =
            document->resource(QTextDocument::ImageResource, QUrl(images.at(4).name()))
                .value<QImage>();
        QCOMPARE(dib.size(), QSize(4, 3));
        QCOMPARE(QColor(dib.pixel(0, 2)), QColor(0, 200, 0)); // rows go up from the bottom
        QCOMPARE(QColor(dib.pixel(1, 2)), QColor(0, 0, 255));
        const QImage palette =
            document->resource(QTextDocument::ImageResource, QUrl(images.at(5).name()))
                .value<QImage>();
        QCOMPARE(QColor(palette.pixel(0, 1)), QColor(255, 0, 0));
        QCOMPARE(QColor(palette.pixel(1, 1)), QColor(0, 255, 255));
    }
};

ZARVEL_TEST_MAIN(TestRtfReaderObjects)
#include "tst_rtfreader_objects.moc"
