#include "app/TCaseRowChooser.h"

#include "assembly/TCaseTable.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>
#include <climits>

TCaseRowChooser::TCaseRowChooser(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CaseRowChooser"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    FFirst = AddButton("FirstRow", QStringLiteral("|<"), tr("First row"));
    FPrevious = AddButton("PreviousRow", QStringLiteral("<"), tr("Previous row"));
    layout->addWidget(new QLabel(tr("Row"), this));
    FRowBox = new QSpinBox(this);
    FRowBox->setObjectName(QStringLiteral("RowNumber"));
    FRowBox->setKeyboardTracking(false);
    layout->addWidget(FRowBox);
    FCount = new QLabel(this);
    FCount->setObjectName(QStringLiteral("RowCount"));
    layout->addWidget(FCount);
    FNext = AddButton("NextRow", QStringLiteral(">"), tr("Next row"));
    FLast = AddButton("LastRow", QStringLiteral(">|"), tr("Last row"));
    FSearch = new QLineEdit(this);
    FSearch->setObjectName(QStringLiteral("RowSearch"));
    FSearch->setPlaceholderText(tr("Find a row"));
    FSearch->setToolTip(tr("Enter goes to the next row whose values hold this text"));
    FSearch->setClearButtonEnabled(true);
    layout->addWidget(FSearch);
    FNote = new QLabel(this);
    FNote->setObjectName(QStringLiteral("RowNote"));
    FNote->setTextFormat(Qt::PlainText);
    FNote->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // A narrow window wraps the note rather than cutting it off.
    FNote->setWordWrap(true);
    layout->addWidget(FNote, 1);
    for (QWidget *child : findChildren<QWidget *>())
        child->setFocusPolicy(child == FSearch || child == FRowBox ? Qt::StrongFocus
                                                                   : Qt::TabFocus);

    connect(FFirst, &QToolButton::clicked, this, [this] { SetRow(0); });
    connect(FPrevious, &QToolButton::clicked, this, [this] { SetRow(FRow - 1); });
    connect(FNext, &QToolButton::clicked, this, [this] { SetRow(FRow + 1); });
    connect(FLast, &QToolButton::clicked, this, [this] { SetRow(INT_MAX); });
    connect(FRowBox, &QSpinBox::valueChanged, this, [this](int value) { SetRow(value - 1); });
    connect(FSearch, &QLineEdit::returnPressed, this, [this] { Search(); });
}

QToolButton *TCaseRowChooser::AddButton(const char *name, const QString &caption,
                                        const QString &tip)
{
    auto *button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setToolTip(tip);
    layout()->addWidget(button);
    return button;
}

void TCaseRowChooser::SetTable(std::shared_ptr<const TCaseTable> table, const QString &fileName)
{
    FTable = std::move(table);
    const int rows = static_cast<int>(FTable->RowCount());
    {
        const QSignalBlocker quiet(FRowBox);
        FRowBox->setRange(1, rows);
    }
    FCount->setText(tr("of %1").arg(rows));
    FNote->setText(tr("Read-only: the row of %1 as headings and values. Edit the table in a "
                      "spreadsheet and choose it again.")
                       .arg(QFileInfo(fileName).fileName()));
    FRow = -1;
    SetRow(0);
}

void TCaseRowChooser::SetRow(int row)
{
    if (!FTable)
        return;
    const int last = static_cast<int>(FTable->RowCount()) - 1;
    row = std::clamp(row, 0, last);
    FFirst->setEnabled(row > 0);
    FPrevious->setEnabled(row > 0);
    FNext->setEnabled(row < last);
    FLast->setEnabled(row < last);
    {
        const QSignalBlocker quiet(FRowBox);
        FRowBox->setValue(row + 1);
    }
    if (row == FRow)
        return;
    FRow = row;
    emit RowChanged(row);
}

bool TCaseRowChooser::RowHolds(int row, const QString &text) const
{
    for (std::size_t column = 0; column < FTable->ColumnCount(); ++column)
        if (QString::fromStdString(FTable->Cell(static_cast<std::size_t>(row), column))
                .contains(text, Qt::CaseInsensitive))
            return true;
    return false;
}

bool TCaseRowChooser::FindNext(const QString &text)
{
    if (!FTable || text.isEmpty())
        return false;
    const int rows = static_cast<int>(FTable->RowCount());
    for (int step = 1; step <= rows; ++step) {
        const int row = (FRow + step) % rows;
        if (RowHolds(row, text)) {
            SetRow(row);
            return true;
        }
    }
    return false;
}

void TCaseRowChooser::Search()
{
    if (!FindNext(FSearch->text()))
        QApplication::beep();
}
