#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;
class TCaseTable;

// The bar below the information pane while a table of cases is the information file: it
// chooses the row the pane shows and "Do It" merges (first, previous, next, last, a row's
// number, or the next row whose values hold a text), and says that the pane only shows the
// row: the table file stays the one source, edited in a spreadsheet.
class TCaseRowChooser : public QWidget
{
    Q_OBJECT

public:
    explicit TCaseRowChooser(QWidget *parent);

    // Offers the rows of the table and chooses the first.
    void SetTable(std::shared_ptr<const TCaseTable> table, const QString &fileName);
    // The row chosen, from 0.
    int Row() const { return FRow; }
    // Chooses a row (kept within the table); RowChanged tells when it changed.
    void SetRow(int row);
    // Chooses the next row after the one chosen (going round from the last to the first)
    // whose values hold the text, in any case. False, and the row kept, when no row does.
    bool FindNext(const QString &text);

signals:
    void RowChanged(int row);

private:
    QToolButton *AddButton(const char *name, const QString &caption, const QString &tip);
    bool RowHolds(int row, const QString &text) const;
    void Search();

    std::shared_ptr<const TCaseTable> FTable;
    int FRow = 0;
    QToolButton *FFirst = nullptr;
    QToolButton *FPrevious = nullptr;
    QToolButton *FNext = nullptr;
    QToolButton *FLast = nullptr;
    QSpinBox *FRowBox = nullptr;
    QLabel *FCount = nullptr;
    QLineEdit *FSearch = nullptr;
    QLabel *FNote = nullptr;
};
