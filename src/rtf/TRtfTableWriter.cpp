#include "rtf/TRtfTableWriter.h"

#include "rtf/TRtfFormatProperties.h"

#include <QColor>

namespace {

using namespace TRtfFormatProperties;

// Width of a column whose width the table does not fix.
constexpr int DefaultColumnWidth = 1440;

bool IsEmpty(const QTextTableCell &cell)
{
    return cell.firstCursorPosition().position() == cell.lastCursorPosition().position();
}

const char *StyleWord(QTextFrameFormat::BorderStyle style)
{
    switch (style) {
    case QTextFrameFormat::BorderStyle_Double:
        return "\\brdrdb";
    case QTextFrameFormat::BorderStyle_Dotted:
        return "\\brdrdot";
    case QTextFrameFormat::BorderStyle_Dashed:
        return "\\brdrdash";
    case QTextFrameFormat::BorderStyle_DotDash:
        return "\\brdrdashd";
    case QTextFrameFormat::BorderStyle_DotDotDash:
        return "\\brdrdashdd";
    case QTextFrameFormat::BorderStyle_Inset:
        return "\\brdrinset";
    case QTextFrameFormat::BorderStyle_Outset:
        return "\\brdroutset";
    case QTextFrameFormat::BorderStyle_Groove:
        return "\\brdrengrave";
    case QTextFrameFormat::BorderStyle_Ridge:
        return "\\brdremboss";
    default:
        return "\\brdrs";
    }
}

QByteArray Border(const char *edge, qreal width, QTextFrameFormat::BorderStyle style,
                  const QBrush &brush, const std::function<int(const QColor &)> &colorIndex)
{
    if (style == QTextFrameFormat::BorderStyle_None || width <= 0)
        return {};
    QByteArray out = edge;
    out += StyleWord(style);
    out += "\\brdrw" + QByteArray::number(std::max(1, PixelsToTwips(width)));
    const QColor color = brush.style() == Qt::NoBrush ? QColor(Qt::black) : brush.color();
    if (color.rgb() != QColor(Qt::black).rgb())
        out += "\\brdrcf" + QByteArray::number(colorIndex(color));
    return out;
}

// Right boundary of each grid column, in twips from the left margin; the first entry is the
// left edge of the table.
std::vector<int> Boundaries(const QTextTable &table)
{
    std::vector<int> bounds{PixelsToTwips(table.format().leftMargin())};
    for (const int width : TRtfTableWriter::ColumnWidths(table))
        bounds.push_back(bounds.back() + width);
    return bounds;
}

} // namespace

std::vector<int> TRtfTableWriter::ColumnWidths(const QTextTable &table)
{
    const QList<QTextLength> widths = table.format().columnWidthConstraints();
    std::vector<int> twips;
    for (int column = 0; column < table.columns(); ++column) {
        int width = DefaultColumnWidth;
        if (column < widths.size() && widths.at(column).type() == QTextLength::FixedLength)
            width = std::max(1, PixelsToTwips(widths.at(column).rawValue()));
        twips.push_back(width);
    }
    return twips;
}

std::vector<TRtfTableWriter::TSlot> TRtfTableWriter::Slots(const QTextTable &table, int row)
{
    std::vector<TSlot> parts;
    for (int column = 0; column < table.columns();) {
        const QTextTableCell cell = table.cellAt(row, column);
        if (!cell.isValid()) {
            ++column;
            continue;
        }
        const int span = std::max(1, cell.column() + cell.columnSpan() - column);
        const bool covered = cell.row() != row;
        const bool filler = !covered && cell.format().boolProperty(TableFiller) && IsEmpty(cell);
        if (!filler)
            parts.push_back({cell, column, span, covered});
        column += span;
    }
    return parts;
}

QByteArray TRtfTableWriter::RowDefinition(const QTextTable &table, int row,
                                          const std::function<int(const QColor &)> &colorIndex)
{
    const std::vector<TSlot> parts = Slots(table, row);
    const std::vector<int> bounds = Boundaries(table);
    // The row's own properties live in the formats of its cells.
    QTextTableCellFormat first;
    for (const TSlot &slot : parts) {
        if (!slot.Covered) {
            first = slot.Cell.format().toTableCellFormat();
            break;
        }
    }
    QByteArray out = "\\trowd\\trgaph" + QByteArray::number(PixelsToTwips(first.leftPadding())) +
                     "\\trleft" + QByteArray::number(bounds.front());
    const Qt::Alignment alignment = table.format().alignment() & Qt::AlignHorizontal_Mask;
    if (alignment == Qt::AlignHCenter)
        out += "\\trqc";
    else if (alignment == Qt::AlignRight)
        out += "\\trqr";
    if (const int height = first.intProperty(TableRowHeight))
        out += "\\trrh" + QByteArray::number(height);
    if (first.boolProperty(TableHeaderRow))
        out += "\\trhdr";
    for (const TSlot &slot : parts) {
        const QTextTableCellFormat format = slot.Cell.format().toTableCellFormat();
        if (slot.Covered)
            out += "\\clvmrg";
        else if (slot.Cell.rowSpan() > 1)
            out += "\\clvmgf";
        if (format.verticalAlignment() == QTextCharFormat::AlignMiddle)
            out += "\\clvertalc";
        else if (format.verticalAlignment() == QTextCharFormat::AlignBottom)
            out += "\\clvertalb";
        out += Border("\\clbrdrt", format.topBorder(), format.topBorderStyle(),
                      format.topBorderBrush(), colorIndex);
        out += Border("\\clbrdrl", format.leftBorder(), format.leftBorderStyle(),
                      format.leftBorderBrush(), colorIndex);
        out += Border("\\clbrdrb", format.bottomBorder(), format.bottomBorderStyle(),
                      format.bottomBorderBrush(), colorIndex);
        out += Border("\\clbrdrr", format.rightBorder(), format.rightBorderStyle(),
                      format.rightBorderBrush(), colorIndex);
        if (format.background().style() != Qt::NoBrush)
            out += "\\clcbpat" + QByteArray::number(colorIndex(format.background().color()));
        const size_t right = std::min(bounds.size() - 1, size_t(slot.First + slot.Span));
        out += "\\cellx" + QByteArray::number(bounds[right]);
    }
    return out;
}
