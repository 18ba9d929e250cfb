#include "../print/PdfText.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/TEditingTools.h"
#include "app/TMainForm.h"
#include "app/TMainMenu.h"
#include "app/TSpeedBar.h"
#include "print/TRichPrinter.h"
#include "richedit/RichEditTypes.h"
#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QTextDocument>
#include <QTextTable>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {
int CountOf(const QByteArray &text, const QByteArray &what)
{
    return text.count(what);
}

QByteArray ReadBytes(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString &name, const QByteArray &data)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

// The cells of a table, row by row, each as row,column:rows x columns, and its column widths.
QString Shape(const QTextTable &table)
{
    QStringList cells;
    for (int row = 0; row < table.rows(); ++row)
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (cell.row() == row && cell.column() == column)
                cells << QStringLiteral("%1,%2:%3x%4")
                             .arg(row)
                             .arg(column)
                             .arg(cell.rowSpan())
                             .arg(cell.columnSpan());
        }
    return cells.join(' ');
}

// The table's width in twips, as its columns state it.
int TableWidth(const QTextTable &table)
{
    qreal pixels = 0;
    for (const QTextLength &width : table.format().columnWidthConstraints())
        pixels += width.rawValue();
    return qRound(pixels * 15);
}
} // namespace

// Undo, clipboard, "Math calculate", the two insert commands and the line-ending display,
// run through the main window's menu and tool bar.
class TestEditingTools : public QObject
{
    Q_OBJECT

    std::unique_ptr<TMainForm> form;

    void Trigger(const char *item) { form->MainMenu().Item(QString::fromLatin1(item)).trigger(); }
    TRichEditEx &Document() const { return *form->RichEditEx1; }
    TRichEditEx &Information() const { return *form->RichEditEx2; }

    QTextTable *OnlyTable() const
    {
        const QList<QTextFrame *> frames = Document().document()->rootFrame()->childFrames();
        return frames.size() == 1 ? qobject_cast<QTextTable *>(frames.first()) : nullptr;
    }

    // "Insert Table" with the dialog's answer.
    QTextTable *InsertTable(int rows, int columns)
    {
        ScriptedDialogs script;
        script.Then([rows, columns](QDialog &dialog) {
            dialog.findChild<QSpinBox *>(QStringLiteral("Rows"))->setValue(rows);
            dialog.findChild<QSpinBox *>(QStringLiteral("Columns"))->setValue(columns);
            return int(QDialog::Accepted);
        });
        Trigger("InsertTable1");
        return OnlyTable();
    }

    // A click into a cell's first line, with Shift to select from the caret to there.
    void ClickCell(const QTextTable &table, int row, int column,
                   Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        const QRect at = Document().cursorRect(table.cellAt(row, column).firstCursorPosition());
        QTest::mouseClick(Document().viewport(), Qt::LeftButton, keys, at.center());
    }

    // An item of the Table submenu chosen as a user does from the keyboard: Alt+E opens the
    // Edit menu, B its Table submenu, then the item's letter. False when the submenu could not
    // be opened (it is disabled outside a table).
    bool ChooseTableItem(Qt::Key letter)
    {
        QMenu *edit = form->MainMenu().EditMenu;
        QMenu *table = form->MainMenu().TableMenu;
        QTest::keyClick(form->menuBar(), Qt::Key_E, Qt::AltModifier);
        if (!QTest::qWaitFor([edit] { return edit->isVisible(); }, 60000))
            return false;
        QTest::keyClick(edit, Qt::Key_B);
        if (!QTest::qWaitFor([table] { return table->isVisible(); }, 2000)) {
            QTest::keyClick(edit, Qt::Key_Escape);
            QTest::qWaitFor([edit] { return !edit->isVisible(); }, 60000);
            return false;
        }
        QTest::keyClick(table, letter);
        return QTest::qWaitFor([edit] { return !edit->isVisible(); }, 60000);
    }

    // What a save, a print to PDF and a merge give, and what "Math calculate" makes of the
    // selection, run through the window's commands.
    struct TOutputs
    {
        QByteArray Saved;
        QStringList Printed;
        QByteArray Merged;
        std::string Calculated;
    };

    TOutputs Outputs(const QString &tag)
    {
        TOutputs out;
        const QString saved = QDir::current().filePath(tag + QStringLiteral(".rtf"));
        const QString pdf = QDir::current().filePath(tag + QStringLiteral(".pdf"));
        ScriptedDialogs script;
        script.ThenChooseFile(saved);
        Trigger("FileSaveAsItem");
        out.Saved = ReadBytes(saved);
        form->RichPrinter1->SetShowProgress(false);
        script.Then([&pdf](QDialog &dialog) {
            auto &print = static_cast<QPrintDialog &>(dialog);
            print.printer()->setOutputFormat(QPrinter::PdfFormat);
            print.printer()->setOutputFileName(pdf);
            return int(QDialog::Accepted);
        });
        Trigger("FilePrintItem");
        out.Printed = PdfPageTexts(ReadBytes(pdf));
        script.ThenAccept(); // the closing message of the merge
        Trigger("DoIt1");
        out.Merged = Document().StreamOutBytes(TStreamFormat::SF_RTF);
        // The first line holds the sum.
        Document().SetSelectionStart(0);
        Document().SetSelectionLength(6);
        Trigger("Mathcalculate1");
        out.Calculated = Document().WholeText();
        Trigger("EditUndoItem");
        Trigger("EditUndoItem");
        // Back to the template for the next run.
        Document().Lines().LoadFile(form->TemplateFileName);
        Document().SetModifiedFlag(false);
        return out;
    }

private slots:
    void init()
    {
        form = std::make_unique<TMainForm>();
        form->show();
        QFile::remove(QStringLiteral("$$$"));
    }
    void cleanup() { form.reset(); }

    void undoAndRedo()
    {
        Document().SetSelectedText("abc");
        Trigger("EditUndoItem");
        QCOMPARE(Document().WholeText(), std::string());
        Trigger("Redo1");
        QCOMPARE(Document().WholeText(), std::string("abc"));
    }

    void cutCopyPasteAndSelectAll()
    {
        Document().SetWholeText("hello world");
        Document().Select(0, 5);
        Trigger("EditCopyItem");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("hello"));
        QCOMPARE(Document().WholeText(), std::string("hello world"));
        Document().Select(5, 11);
        Trigger("EditCutItem");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" world"));
        QCOMPARE(Document().WholeText(), std::string("hello"));
        Document().SetSelectionStart(0);
        Trigger("EditPasteItem");
        QCOMPARE(Document().WholeText(), std::string(" worldhello"));
        Trigger("Selectall1");
        QCOMPARE(Document().SelectionStart(), 0);
        QCOMPARE(Document().SelectionLength(), Document().TextLength());
    }

    void mathCalculate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("expected");
        QTest::newRow("12*3+4") << "12*3+4" << 0 << 6 << "       40.00";
        QTest::newRow("inside a line") << "a 2^3 b" << 2 << 5 << "a         8.00 b";
        QTest::newRow("negative") << "1-1.5" << 0 << 5 << "       -0.50";
        QTest::newRow("no operator") << "hello" << 0 << 5 << "hello";
        QTest::newRow("division by zero") << "2/0" << 0 << 3 << "2/0";
        QTest::newRow("malformed") << "3+*" << 0 << 3 << "3+*";
    }

    void mathCalculate()
    {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, expected);
        Document().SetWholeText(text.toStdString());
        Document().Select(from, to);
        ScriptedDialogs script; // no message, even when the evaluation fails
        Trigger("Mathcalculate1");
        QCOMPARE(QString::fromStdString(Document().WholeText()), expected);
        QCOMPARE(script.Unexpected(), 0);
        // The selection was replaced in every case, so the command can be undone.
        QVERIFY(Document().CanUndo());
    }

    void mathCalculateWithoutSelection()
    {
        Document().SetWholeText("12*3+4");
        Document().SetSelectionStart(3);
        Trigger("Mathcalculate1");
        QCOMPARE(Document().WholeText(), std::string("12*3+4"));
        QVERIFY(!Document().ModifiedFlag());
    }

    void blankLinesReplaceTheSelection()
    {
        Document().SetWholeText("abcXYZdef");
        Document().Select(3, 6);
        Trigger("Insertpagebreak1");
        QCOMPARE(Document().WholeText(), "abc" + std::string(10, '\r') + "def");
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));
    }

    void blankLinesGoToTheDocumentPane()
    {
        Information().SetWholeText("info");
        Document().SetWholeText("doc");
        Trigger("T1"); // the information pane is shown
        Trigger("Insertpagebreak1");
        QCOMPARE(Information().WholeText(), std::string("info"));
        QCOMPARE(CountOf(QByteArray::fromStdString(Document().WholeText()), "\r"), 10);
    }

    void pageBreakIsAFormFeed()
    {
        Document().SetWholeText("ab");
        Document().SetSelectionStart(1);
        Trigger("Insertnonvisiblepagebreak1");
        QCOMPARE(Document().WholeText(), std::string("a\fb"));
        QVERIFY(!QFile::exists(QStringLiteral("$$$")));
    }

    void lineEndingMarksAreDisplayOnly()
    {
        // A template with a pilcrow the user typed, a table and a placeholder in a cell.
        const QString templ = QDir::current().filePath(QStringLiteral("marks.tem"));
        const QString info = QDir::current().filePath(QStringLiteral("marks.inf"));
        WriteBytes(templ, "{\\rtf1\\ansi 12*3+4\\par {\\b Dear} @1 \\'b6 typed\\par\\pard "
                          "\\trowd\\cellx2000\\cellx4000 a\\cell @2\\cell\\row\\pard End\\par}");
        WriteBytes(info, "Name\r\nJones\r\nItem\r\nrent\r\n");
        form->TemplateFileName = templ;
        form->InformationFileName = info;
        Information().Lines().LoadFile(info);
        Document().Lines().LoadFile(templ);
        Document().SetModifiedFlag(false);
        const QString text = Document().WideTextRange(0, -1);
        const QByteArray rich = Document().StreamOutBytes(TStreamFormat::SF_RTF);
        const int undoSteps = Document().document()->availableUndoSteps();
        QVERIFY(text.contains(QChar(0xB6)));

        const TOutputs hidden = Outputs(QStringLiteral("hidden"));
        const QImage plain = Document().grab().toImage();

        // Clicked on the shown window.
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTest::mouseClick(form->SpeedBar->CRLFButton, Qt::LeftButton);
        QVERIFY(form->SpeedBar->CRLFButton->isChecked());
        QTRY_VERIFY(Document().grab().toImage() != plain); // the marks are drawn
        QCOMPARE(Document().WideTextRange(0, -1), text);
        QCOMPARE(Document().StreamOutBytes(TStreamFormat::SF_RTF), rich);
        QCOMPARE(Document().document()->availableUndoSteps(), undoSteps);
        QVERIFY(!Document().ModifiedFlag());
        QVERIFY(form->Hintpanel->text().contains(QStringLiteral("not part of the text")));

        const TOutputs shown = Outputs(QStringLiteral("shown"));
        QVERIFY(form->SpeedBar->CRLFButton->isChecked());
        QVERIFY(!hidden.Saved.isEmpty());
        QCOMPARE(shown.Saved, hidden.Saved);
        QVERIFY(!hidden.Printed.isEmpty());
        QVERIFY(hidden.Printed.join(QString()).contains(QStringLiteral("Dear")));
        QCOMPARE(shown.Printed, hidden.Printed);
        QVERIFY(hidden.Merged.contains("Jones"));
        QVERIFY(hidden.Merged.contains("rent"));
        QCOMPARE(shown.Merged, hidden.Merged);
        QVERIFY(hidden.Calculated.rfind("       40.00\r", 0) == 0);
        QCOMPARE(shown.Calculated, hidden.Calculated);

        // A second click hides them; the user's own pilcrow is still text.
        QTest::mouseClick(form->SpeedBar->CRLFButton, Qt::LeftButton);
        QVERIFY(!form->SpeedBar->CRLFButton->isChecked());
        QCOMPARE(Document().WideTextRange(0, -1), text);
    }

    void insertedTableRoundTripsAndMerges()
    {
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        Document().setFocus();
        QTest::keyClicks(&Document(), QStringLiteral("Dear @1,"));
        ScriptedDialogs script;
        script.Then([](QDialog &dialog) {
            dialog.findChild<QSpinBox *>(QStringLiteral("Rows"))->setValue(2);
            dialog.findChild<QSpinBox *>(QStringLiteral("Columns"))->setValue(3);
            return int(QDialog::Accepted);
        });
        Trigger("InsertTable1");
        QCOMPARE(script.Pending(), 0);
        const QList<QTextFrame *> frames = Document().document()->rootFrame()->childFrames();
        QCOMPARE(frames.size(), 1);
        auto *table = qobject_cast<QTextTable *>(frames.first());
        QVERIFY(table);
        QCOMPARE(table->rows(), 2);
        QCOMPARE(table->columns(), 3);
        // As wide as the text area, with thin borders.
        const QByteArray rich = Document().StreamOutBytes(TStreamFormat::SF_RTF);
        QCOMPARE(rich.count("\\cellx"), 6);
        QVERIFY(rich.contains("\\brdrs"));
        const QTextCursor cell = table->cellAt(0, 2).firstCursorPosition();
        QVERIFY(Document().cursorRect(cell).right() > Document().viewport()->width() / 2);
        // No wider than the page's text: A4 less the margins.
        int widest = 0;
        for (qsizetype at = rich.indexOf("\\cellx"); at >= 0; at = rich.indexOf("\\cellx", at + 1))
            widest =
                std::max(widest, rich.mid(at + 6, rich.indexOf('\\', at + 1) - at - 6).toInt());
        QVERIFY2(widest > 0 && widest <= int((210 - 25 - 15) * 1440 / 25.4), rich.constData());

        // Typed into the cells with Tab, as a user does: the caret starts in the first cell.
        QCOMPARE(Document().textCursor().position(), table->cellAt(0, 0).firstPosition());
        QTest::keyClicks(&Document(), QStringLiteral("Item"));
        // In the letter's font, not the rich text reader's default.
        QCOMPARE(Document().textCursor().charFormat().font().family(),
                 Document().document()->begin().charFormat().font().family());
        QTest::keyClick(&Document(), Qt::Key_Tab);
        QTest::keyClicks(&Document(), QStringLiteral("@2"));

        // Saved, loaded and saved again: the second save is the first, byte for byte.
        const QString first = QDir::current().filePath(QStringLiteral("table1.tem"));
        const QString second = QDir::current().filePath(QStringLiteral("table2.tem"));
        script.ThenChooseFile(first);
        Trigger("FileSaveAsItem");
        Document().Lines().LoadFile(first);
        script.ThenChooseFile(second);
        Trigger("FileSaveAsItem");
        Document().Lines().LoadFile(second);
        const QString third = QDir::current().filePath(QStringLiteral("table3.tem"));
        script.ThenChooseFile(third);
        Trigger("FileSaveAsItem");
        QCOMPARE(script.Pending(), 0);
        QVERIFY(ReadBytes(second).contains("Item"));
        QCOMPARE(ReadBytes(third), ReadBytes(second));

        // Merged, the placeholder in the cell takes its value and the table stays a table.
        const QString info = QDir::current().filePath(QStringLiteral("table.inf"));
        WriteBytes(info, "Name\r\nJones\r\nWhat\r\nrent\r\n");
        form->TemplateFileName = second;
        Information().Lines().LoadFile(info);
        script.ThenAccept();
        Trigger("DoIt1");
        const QList<QTextFrame *> merged = Document().document()->rootFrame()->childFrames();
        QCOMPARE(merged.size(), 1);
        auto *mergedTable = qobject_cast<QTextTable *>(merged.first());
        QVERIFY(mergedTable);
        const QTextTableCell valueCell = mergedTable->cellAt(0, 1);
        QCOMPARE(Document().WideTextRange(valueCell.firstPosition(), valueCell.lastPosition()),
                 QStringLiteral("rent"));
        QVERIFY(Document().WideTextRange(0, -1).startsWith(QStringLiteral("Dear Jones,")));
    }

    // A table made with the table commands as a user makes it, with the mouse and the Table
    // menu: rows and columns added and deleted, cells merged across and down and split again,
    // text and a placeholder typed in. It saves, reloads and saves again byte for byte, with
    // the same merged cells, and merges like a loaded table.
    void tableMadeWithTheTableCommandsRoundTripsAndMerges()
    {
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        Document().setFocus();
        QTest::keyClicks(&Document(), QStringLiteral("Dear @1,"));
        QAction &rowBelow = form->MainMenu().Item(QStringLiteral("InsertRowBelow1"));
        QVERIFY(!rowBelow.isEnabled());
        QVERIFY(!ChooseTableItem(Qt::Key_B)); // outside a table the submenu does not open
        QTextTable *table = InsertTable(2, 2);
        QVERIFY(table);
        const int width = TableWidth(*table);
        QVERIFY(width > 0);
        QVERIFY(rowBelow.isEnabled());

        QVERIFY(ChooseTableItem(Qt::Key_B)); // a row below the first
        QVERIFY(ChooseTableItem(Qt::Key_R)); // a column right of the first
        QCOMPARE(table->rows(), 3);
        QCOMPARE(table->columns(), 3);
        QCOMPARE(TableWidth(*table), width);
        // The new cells have the borders of the others.
        QCOMPARE(table->cellAt(2, 1).format().toTableCellFormat().leftBorderStyle(),
                 QTextFrameFormat::BorderStyle_Solid);
        QCOMPARE(table->cellAt(2, 1).format().toTableCellFormat().leftBorder(),
                 table->cellAt(0, 0).format().toTableCellFormat().leftBorder());
        // A column added and deleted again: the table is as wide as before.
        QVERIFY(ChooseTableItem(Qt::Key_L));
        QCOMPARE(table->columns(), 4);
        QCOMPARE(TableWidth(*table), width);
        QVERIFY(ChooseTableItem(Qt::Key_C));
        QCOMPARE(table->columns(), 3);
        QCOMPARE(TableWidth(*table), width);

        // Across: the first two cells of the first row.
        ClickCell(*table, 0, 0);
        ClickCell(*table, 0, 1, Qt::ShiftModifier);
        QVERIFY(ChooseTableItem(Qt::Key_M));
        QCOMPARE(Shape(*table), QStringLiteral("0,0:1x2 0,2:1x1 1,0:1x1 1,1:1x1 1,2:1x1 "
                                               "2,0:1x1 2,1:1x1 2,2:1x1"));
        QTest::keyClicks(&Document(), QStringLiteral("Item"));
        // Down: the last column's lower two cells.
        ClickCell(*table, 1, 2);
        ClickCell(*table, 2, 2, Qt::ShiftModifier);
        QVERIFY(ChooseTableItem(Qt::Key_M));
        QCOMPARE(table->cellAt(1, 2).rowSpan(), 2);
        QTest::keyClicks(&Document(), QStringLiteral("@1"));
        // A merge split again: the cells are single and the text stays in the first.
        ClickCell(*table, 1, 0);
        ClickCell(*table, 1, 1, Qt::ShiftModifier);
        QVERIFY(ChooseTableItem(Qt::Key_M));
        QCOMPARE(table->cellAt(1, 0).columnSpan(), 2);
        QTest::keyClicks(&Document(), QStringLiteral("Rent"));
        QVERIFY(ChooseTableItem(Qt::Key_S));
        QCOMPARE(table->cellAt(1, 0).columnSpan(), 1);
        QCOMPARE(table->cellAt(1, 0).firstCursorPosition().block().text(), QStringLiteral("Rent"));
        // A row added above the last and deleted again.
        ClickCell(*table, 2, 0);
        QVERIFY(ChooseTableItem(Qt::Key_A));
        QCOMPARE(table->rows(), 4);
        QVERIFY(ChooseTableItem(Qt::Key_D));
        QCOMPARE(table->rows(), 3);
        const QString shape = Shape(*table);
        QCOMPARE(shape, QStringLiteral("0,0:1x2 0,2:1x1 1,0:1x1 1,1:1x1 1,2:2x1 2,0:1x1 2,1:1x1"));

        // Saved, loaded and saved again: the second save is the first, byte for byte, and
        // the table comes back with its merged cells.
        ScriptedDialogs script;
        const QString first = QDir::current().filePath(QStringLiteral("made1.tem"));
        const QString second = QDir::current().filePath(QStringLiteral("made2.tem"));
        script.ThenChooseFile(first);
        Trigger("FileSaveAsItem");
        Document().Lines().LoadFile(first);
        QTextTable *loaded = OnlyTable();
        QVERIFY(loaded);
        QCOMPARE(Shape(*loaded), shape);
        QCOMPARE(TableWidth(*loaded), width);
        script.ThenChooseFile(second);
        Trigger("FileSaveAsItem");
        QCOMPARE(script.Pending(), 0);
        const QByteArray saved = ReadBytes(first);
        QVERIFY(saved.contains("\\clvmgf") && saved.contains("\\clvmrg"));
        QCOMPARE(ReadBytes(second), saved);

        // Merged, the placeholder in the merged cell takes its value.
        const QString info = QDir::current().filePath(QStringLiteral("made.inf"));
        WriteBytes(info, "Name\r\nJones\r\n");
        form->TemplateFileName = second;
        Information().Lines().LoadFile(info);
        script.ThenAccept();
        Trigger("DoIt1");
        QTextTable *merged = OnlyTable();
        QVERIFY(merged);
        QCOMPARE(Shape(*merged), shape);
        const QTextTableCell value = merged->cellAt(1, 2);
        QCOMPARE(Document().WideTextRange(value.firstPosition(), value.lastPosition()),
                 QStringLiteral("Jones"));
        QCOMPARE(merged->cellAt(0, 0).firstCursorPosition().block().text(), QStringLiteral("Item"));
        QVERIFY(Document().WideTextRange(0, -1).startsWith(QStringLiteral("Dear Jones,")));
    }

    // Deleting every row, or every column, deletes the table and leaves the text around it;
    // undo brings the table back.
    void deletingEveryRowOrColumnDeletesTheTable_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("rows") << "DeleteRows1";
        QTest::newRow("columns") << "DeleteColumns1";
    }
    void deletingEveryRowOrColumnDeletesTheTable()
    {
        QFETCH(QString, item);
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        Document().setFocus();
        QTest::keyClicks(&Document(), QStringLiteral("Dear @1,"));
        const QString before = Document().WideTextRange(0, -1);
        QTextTable *table = InsertTable(2, 3);
        QVERIFY(table);
        QTest::keyClicks(&Document(), QStringLiteral("kept"));
        const QByteArray made = Document().StreamOutBytes(TStreamFormat::SF_RTF);
        ClickCell(*table, 0, 0);
        ClickCell(*table, 1, 2, Qt::ShiftModifier);
        form->MainMenu().Item(item).trigger();
        QVERIFY(!OnlyTable());
        QVERIFY(Document().WideTextRange(0, -1).startsWith(before));
        QVERIFY(!Document().WideTextRange(0, -1).contains(QStringLiteral("kept")));
        // Outside a table now: the items are off.
        QVERIFY(!form->MainMenu().Item(item).isEnabled());
        Trigger("EditUndoItem");
        QVERIFY(OnlyTable());
        QCOMPARE(Document().StreamOutBytes(TStreamFormat::SF_RTF), made);
    }

    // Cells whose selection cuts a merged cell merge with all of it; a merged cell made of
    // rows and columns saves and reads back as the same cell.
    void mergeAcrossASpanTakesItInWhole()
    {
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        Document().setFocus();
        QTextTable *table = InsertTable(3, 3);
        QVERIFY(table);
        ClickCell(*table, 0, 0);
        ClickCell(*table, 0, 1, Qt::ShiftModifier);
        Trigger("MergeCells1");
        QTest::keyClicks(&Document(), QStringLiteral("one"));
        ClickCell(*table, 1, 2);
        QTest::keyClicks(&Document(), QStringLiteral("two"));
        // From the middle of the second row up to the last cell of the first: the rectangle
        // cuts the merged cell, so the whole of it comes in.
        ClickCell(*table, 1, 1);
        QVERIFY(!form->MainMenu().Item(QStringLiteral("MergeCells1")).isEnabled());
        ClickCell(*table, 0, 2, Qt::ShiftModifier);
        QVERIFY(form->MainMenu().Item(QStringLiteral("MergeCells1")).isEnabled());
        Trigger("MergeCells1");
        const QString shape = QStringLiteral("0,0:2x3 2,0:1x1 2,1:1x1 2,2:1x1");
        QCOMPARE(Shape(*table), shape);
        const QTextTableCell merged = table->cellAt(0, 0);
        const QString text =
            Document().WideTextRange(merged.firstPosition(), merged.lastPosition());
        QVERIFY2(text.contains(QStringLiteral("one")) && text.contains(QStringLiteral("two")),
                 qPrintable(text));
        QCOMPARE(Document().textCursor().position(), merged.firstPosition());

        const QByteArray saved = Document().StreamOutBytes(TStreamFormat::SF_RTF);
        Document().StreamInBytes(saved, TStreamFormat::SF_RTF);
        QTextTable *loaded = OnlyTable();
        QVERIFY(loaded);
        QCOMPARE(Shape(*loaded), shape);
        QCOMPARE(Document().StreamOutBytes(TStreamFormat::SF_RTF), saved);
    }

    // Split where there is nothing to split is off and changes nothing; each table command is
    // one step of undo, and redo does it again.
    void tableCommandsAreOneUndoStepEach_data()
    {
        QTest::addColumn<QString>("item");
        for (const char *item :
             {"InsertRowAbove1", "InsertRowBelow1", "InsertColumnLeft1", "InsertColumnRight1",
              "DeleteRows1", "DeleteColumns1", "MergeCells1", "SplitCell1"})
            QTest::newRow(item) << QString::fromLatin1(item);
    }
    void tableCommandsAreOneUndoStepEach()
    {
        QFETCH(QString, item);
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        Document().setFocus();
        QTextTable *table = InsertTable(3, 3);
        QVERIFY(table);
        ClickCell(*table, 1, 0);
        ClickCell(*table, 2, 0, Qt::ShiftModifier);
        Trigger("MergeCells1");
        QTest::keyClicks(&Document(), QStringLiteral("merged"));
        ClickCell(*table, 1, 1);
        QTest::keyClicks(&Document(), QStringLiteral("single"));
        // The single cell: no split.
        QAction &split = form->MainMenu().Item(QStringLiteral("SplitCell1"));
        QVERIFY(!split.isEnabled());
        const QByteArray unsplit = Document().StreamOutBytes(TStreamFormat::SF_RTF);
        const int steps = Document().document()->availableUndoSteps();
        Document().SetModifiedFlag(false);
        split.trigger();
        QCOMPARE(Document().StreamOutBytes(TStreamFormat::SF_RTF), unsplit);
        QCOMPARE(Document().document()->availableUndoSteps(), steps);
        QVERIFY(!Document().ModifiedFlag());

        // Each command from the merged cell, with the cell beside it for a merge.
        ClickCell(*table, 1, 0);
        if (item == QLatin1String("MergeCells1"))
            ClickCell(*table, 1, 1, Qt::ShiftModifier);
        const QByteArray before = Document().StreamOutBytes(TStreamFormat::SF_RTF);
        QAction &action = form->MainMenu().Item(item);
        QVERIFY(action.isEnabled());
        action.trigger();
        const QByteArray after = Document().StreamOutBytes(TStreamFormat::SF_RTF);
        QVERIFY(after != before);
        Trigger("EditUndoItem");
        QCOMPARE(Document().StreamOutBytes(TStreamFormat::SF_RTF), before);
        Trigger("Redo1");
        QCOMPARE(Document().StreamOutBytes(TStreamFormat::SF_RTF), after);
    }

    // Tab in the last cell adds a row shaped like the last one, also when text was typed into
    // a merged cell of it: the new row's cells keep their own spans.
    void tabAfterAMergedCellWithTextAddsARowOfItsShape()
    {
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        Document().setFocus();
        QTextTable *table = InsertTable(2, 3);
        QVERIFY(table);
        ClickCell(*table, 0, 2);
        ClickCell(*table, 1, 2, Qt::ShiftModifier);
        Trigger("MergeCells1");
        QTest::keyClicks(&Document(), QStringLiteral("down"));
        ClickCell(*table, 1, 0);
        ClickCell(*table, 1, 1, Qt::ShiftModifier);
        Trigger("MergeCells1");
        QTest::keyClicks(&Document(), QStringLiteral("across"));
        QTest::keyClick(&Document(), Qt::Key_Tab);
        QCOMPARE(Shape(*table), QStringLiteral("0,0:1x1 0,1:1x1 0,2:2x1 1,0:1x2 2,0:1x2 2,2:1x1"));
        QCOMPARE(Document().textCursor().position(), table->cellAt(2, 0).firstPosition());
    }

    void lineEndingMarksShowInBothPanes()
    {
        Information().SetWholeText("heading\rvalue");
        Trigger("T1");
        form->SpeedBar->CRLFButton->click();
        for (TRichEditEx *pane : {&Document(), &Information()})
            QVERIFY(pane->document()->defaultTextOption().flags() &
                    QTextOption::ShowLineAndParagraphSeparators);
        QCOMPARE(Information().WholeText(), std::string("heading\rvalue"));
        // A file loaded while they are shown shows them too.
        const QString file = QDir::current().filePath(QStringLiteral("loaded.txt"));
        WriteBytes(file, "one\r\ntwo\r\n");
        Document().Lines().LoadFile(file);
        QVERIFY(Document().document()->defaultTextOption().flags() &
                QTextOption::ShowLineAndParagraphSeparators);
    }
};

ZARVEL_TEST_MAIN(TestEditingTools)
#include "tst_editingtools.moc"
