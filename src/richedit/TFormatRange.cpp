#include "richedit/TFormatRange.h"

#include "richedit/THiddenText.h"
#include "rtf/ListLabels.h"
#include "rtf/TRtfFormatProperties.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QTextTable>
#include <QUrl>

#include <algorithm>

namespace {
constexpr QChar FormFeed(0x000C);

// Texts longer than this are laid out a piece at a time; a piece starts with about this many
// characters and grows when a page needs more.
constexpr int PiecesFrom = 1000000;
constexpr int PieceLength = 65536;

// Whether a document can be laid out in pieces: pieces are cut between paragraphs or inside
// one, never through a table, and a list would count again from one in each piece.
bool CanLayOutInPieces(const QTextDocument &document)
{
    if (!document.rootFrame()->childFrames().isEmpty())
        return false;
    const QList<QTextFormat> formats = document.allFormats();
    return std::none_of(formats.begin(), formats.end(),
                        [](const QTextFormat &format) { return format.isListFormat(); });
}

// The part [from, to) of the source as a document of its own, formatted as the source has it.
// A paragraph the part starts inside carries on from one of its line starts: no space above
// and no first-line indent.
std::unique_ptr<QTextDocument> PieceOf(const QTextDocument &source, int from, int to)
{
    auto piece = std::make_unique<QTextDocument>();
    piece->setUndoRedoEnabled(false);
    piece->setDefaultFont(source.defaultFont());
    piece->setDefaultTextOption(source.defaultTextOption());
    piece->setIndentWidth(source.indentWidth());
    QTextCursor selection(const_cast<QTextDocument *>(&source)); // only read through
    selection.setPosition(from);
    selection.setPosition(to, QTextCursor::KeepAnchor);
    QTextCursor cursor(piece.get());
    cursor.insertFragment(QTextDocumentFragment(selection));

    const QTextBlock first = source.findBlock(from);
    QTextBlockFormat format = first.blockFormat();
    if (from > first.position()) {
        format.setTopMargin(0);
        format.setTextIndent(0);
    }
    cursor.setPosition(0);
    cursor.setBlockFormat(format);

    for (QTextBlock block = piece->begin(); block.isValid(); block = block.next()) {
        for (auto run = block.begin(); !run.atEnd(); ++run) {
            const QTextCharFormat charFormat = run.fragment().charFormat();
            if (charFormat.isImageFormat()) {
                const QString name = charFormat.toImageFormat().name();
                piece->addResource(QTextDocument::ImageResource, QUrl(name),
                                   source.resource(QTextDocument::ImageResource, QUrl(name)));
            }
        }
    }
    return piece;
}

// Twips to device pixels, truncated toward zero like the integer arithmetic of the request.
int TwipsToPixels(int twips, int dpi)
{
    return int(qint64(twips) * dpi / 1440);
}

// The control keeps paragraph indents in pixels of 1/96 inch, and the layout takes them as
// pixels of the device it lays out for (spacing, tab stops, fonts and pictures it converts
// itself): on the device they become its own pixels. A list paragraph's first line starts where
// its label fits.
void ScaleIndents(QTextDocument &document, const QPaintDevice &device)
{
    const qreal scale = device.logicalDpiX() / 96.0;
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        const qreal left = format.leftMargin() * scale;
        const qreal right = format.rightMargin() * scale;
        const qreal first =
            block.textList()
                ? ListLabelIndent(block, left,
                                  TRtfFormatProperties::TwipsToPixels(
                                      format.intProperty(TRtfFormatProperties::ListFirstIndent)) *
                                      scale,
                                  &device)
                : format.textIndent() * scale;
        if (left == format.leftMargin() && right == format.rightMargin() &&
            first == format.textIndent())
            continue;
        format.setLeftMargin(left);
        format.setRightMargin(right);
        format.setTextIndent(first);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
    cursor.endEditBlock();
}
} // namespace

// Stands in for the target device while the clone is laid out: it only reports metrics, so
// the kept layout never points at a printer or recording that has gone away.
class TFormatRange::MetricDevice : public QPaintDevice
{
public:
    void CopyMetricsOf(const QPaintDevice &device)
    {
        FDpiX = device.logicalDpiX();
        FDpiY = device.logicalDpiY();
        FPhysX = device.physicalDpiX();
        FPhysY = device.physicalDpiY();
        FWidth = device.width();
        FHeight = device.height();
    }
    QPaintEngine *paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return FWidth;
        case PdmHeight:
            return FHeight;
        case PdmWidthMM:
            return FDpiX > 0 ? int(FWidth * 25.4 / FDpiX) : 0;
        case PdmHeightMM:
            return FDpiY > 0 ? int(FHeight * 25.4 / FDpiY) : 0;
        case PdmDpiX:
            return FDpiX;
        case PdmDpiY:
            return FDpiY;
        case PdmPhysicalDpiX:
            return FPhysX;
        case PdmPhysicalDpiY:
            return FPhysY;
        case PdmNumColors:
            return 0x7fffffff;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    int FDpiX = 96, FDpiY = 96, FPhysX = 96, FPhysY = 96, FWidth = 0, FHeight = 0;
};

TFormatRange::TFormatRange() : FDevice(std::make_unique<MetricDevice>()) {}

TFormatRange::~TFormatRange() = default;

int TFormatRange::TextLength(const QTextDocument &document)
{
    return std::max(0, document.characterCount() - 1);
}

void TFormatRange::Free()
{
    FLines.clear();
    FClone.reset();
    FSource = nullptr;
    FWidthPx = -1;
    FInPieces = false;
    FOffset = 0;
    FPieceEnd = 0;
}

void TFormatRange::Prepare(const QTextDocument &source, const QPaintDevice &target, int widthPx,
                           int heightPx)
{
    const int dpiX = target.logicalDpiX();
    const int dpiY = target.logicalDpiY();
    if (FSource == &source && FWidthPx == widthPx && FHeightPx == heightPx && FDpiX == dpiX &&
        FDpiY == dpiY && (FClone || FInPieces))
        return;
    Free();
    FSource = &source;
    FWidthPx = widthPx;
    FHeightPx = heightPx;
    FDpiX = dpiX;
    FDpiY = dpiY;
    FLength = TextLength(source);
    FDevice->CopyMetricsOf(target);
    FInPieces = FLength > PiecesFrom && CanLayOutInPieces(source);
    if (FInPieces)
        return; // laid out as the pages ask for it
    FOffset = 0;
    FPieceEnd = FLength;
    LayOut(std::unique_ptr<QTextDocument>(source.clone()));
}

bool TFormatRange::PieceHolds(int position, int after) const
{
    if (!FClone || position < FOffset || FLines.empty())
        return false;
    const int end = FLines.back().end + FOffset;
    return position < end && (FPieceEnd >= FLength || end - position >= after);
}

void TFormatRange::EnsurePiece(int position, int after)
{
    if (!FInPieces || PieceHolds(position, after))
        return;
    // A page starts at a line start; the paragraph's own start is taken when it is near, so
    // that the paragraph lays out from its first line.
    const QTextBlock block = FSource->findBlock(position);
    const int from = position - block.position() <= PieceLength / 2 ? block.position() : position;
    const int to = std::min(FLength, position + std::max(after, PieceLength));
    FOffset = from;
    FPieceEnd = to;
    LayOut(PieceOf(*FSource, from, to));
    // The last line of a piece that stops short of the end may be cut short.
    if (FPieceEnd < FLength && FLines.size() > 1)
        FLines.pop_back();
}

void TFormatRange::LayOut(std::unique_ptr<QTextDocument> clone)
{
    FLines.clear();
    FClone = std::move(clone);
    FClone->setUndoRedoEnabled(false);
    // Marks the screen draws at paragraph ends, tabs and spaces never reach paper.
    QTextOption option = FClone->defaultTextOption();
    option.setFlags(option.flags() &
                    ~(QTextOption::ShowLineAndParagraphSeparators |
                      QTextOption::ShowDocumentTerminator | QTextOption::ShowTabsAndSpaces));
    FClone->setDefaultTextOption(option);
    // The screen may lay out long paragraphs without optional shaping; paper has it all.
    QFont font = FClone->defaultFont();
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() & ~QFont::PreferNoShaping));
    FClone->setDefaultFont(font);

    // A form feed becomes a line separator in the clone: one character as well, so positions
    // stay the same, and the layout then breaks the line right after it.
    QTextCursor cursor(FClone.get());
    for (QTextBlock block = FClone->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        for (int i = text.indexOf(FormFeed); i >= 0; i = text.indexOf(FormFeed, i + 1)) {
            cursor.setPosition(block.position() + i);
            cursor.setPosition(block.position() + i + 1, QTextCursor::KeepAnchor);
            const QTextCharFormat format = cursor.charFormat();
            cursor.insertText(QString(QChar::LineSeparator), format);
        }
    }

    new THiddenText(FClone.get()); // owned by the clone: hidden text stays off the page

    ScaleIndents(*FClone, *FDevice);
    FClone->documentLayout()->setPaintDevice(FDevice.get());
    FClone->setDocumentMargin(0);
    FClone->setTextWidth(std::max(1, FWidthPx));
    BuildLines();
}

void TFormatRange::BuildLines()
{
    FLines.clear();
    for (QTextFrame::iterator it = FClone->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (const auto *table = qobject_cast<const QTextTable *>(it.currentFrame()))
            AddTableRows(*table);
        else if (it.currentBlock().isValid())
            AddBlockLines(it.currentBlock());
    }
    // The empty paragraphs a document keeps around a table lie beside it: they never reach
    // into its rows.
    for (size_t i = 1; i < FLines.size(); ++i) {
        Line &previous = FLines[i - 1];
        Line &line = FLines[i];
        if (line.whole && !previous.whole)
            previous.bottom = std::max(previous.top, std::min(previous.bottom, line.top));
        if (previous.whole && !line.whole) {
            line.top = std::max(line.top, previous.bottom);
            line.bottom = std::max(line.bottom, line.top);
        }
    }
}

void TFormatRange::AddBlockLines(const QTextBlock &block)
{
    const QAbstractTextDocumentLayout *layout = FClone->documentLayout();
    const QTextLayout *lines = block.layout();
    const QRectF rect = layout->blockBoundingRect(block);
    const int blockEnd = block.position() + block.length(); // after the paragraph break
    const int count = lines ? lines->lineCount() : 0;
    if (count == 0) {
        FLines.push_back({block.position(), blockEnd, rect.top(), rect.bottom(), -1});
        return;
    }
    const QString text = block.text();
    for (int i = 0; i < count; ++i) {
        const QTextLine line = lines->lineAt(i);
        const int start = block.position() + line.textStart();
        const int end =
            i + 1 < count ? block.position() + lines->lineAt(i + 1).textStart() : blockEnd;
        const qreal top = rect.top() + line.y();
        Line entry{start, end, top, top + line.height(), -1};
        const int last = line.textStart() + line.textLength() - 1;
        if (last >= 0 && last < text.size() && text.at(last) == QChar::LineSeparator &&
            FSource->characterAt(FOffset + block.position() + last) == FormFeed) {
            // A form feed at the end of its paragraph takes the paragraph break with it,
            // so the next page starts with the next paragraph, not an empty line.
            entry.pageEnd = last == text.size() - 1 ? blockEnd : start + line.textLength();
            if (last == text.size() - 1) {
                entry.end = blockEnd;
                FLines.push_back(entry);
                return;
            }
        }
        FLines.push_back(entry);
    }
}

// A table goes on the pages row by row; rows joined by a cell that spans them go together.
void TFormatRange::AddTableRows(const QTextTable &table)
{
    const QAbstractTextDocumentLayout *layout = FClone->documentLayout();
    const QRectF frame = layout->frameBoundingRect(const_cast<QTextTable *>(&table));
    const int rows = table.rows();
    std::vector<qreal> tops(static_cast<size_t>(rows) + 1, frame.bottom());
    std::vector<int> starts(static_cast<size_t>(rows) + 1, table.lastPosition() + 1);
    std::vector<int> reach(static_cast<size_t>(rows), 0);
    for (int row = rows - 1; row >= 0; --row) {
        reach[static_cast<size_t>(row)] = row;
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (cell.row() != row || cell.column() != column)
                continue;
            const QTextTableCellFormat format = cell.format().toTableCellFormat();
            const qreal top = layout->blockBoundingRect(cell.firstCursorPosition().block()).top() -
                              format.topPadding() - format.topBorder();
            auto &rowTop = tops[static_cast<size_t>(row)];
            auto &rowStart = starts[static_cast<size_t>(row)];
            rowTop = std::min(rowTop, top);
            rowStart = std::min(rowStart, cell.firstPosition());
            reach[static_cast<size_t>(row)] =
                std::max(reach[static_cast<size_t>(row)], row + cell.rowSpan() - 1);
        }
        // A row whose cells all belong to rows above starts where the next one does.
        if (starts[static_cast<size_t>(row)] > starts[static_cast<size_t>(row) + 1]) {
            starts[static_cast<size_t>(row)] = starts[static_cast<size_t>(row) + 1];
            tops[static_cast<size_t>(row)] = tops[static_cast<size_t>(row) + 1];
        }
    }
    tops[0] = std::min(tops[0], frame.top());
    starts[0] = std::min(starts[0], table.firstPosition());
    for (int row = 0; row < rows;) {
        int last = reach[static_cast<size_t>(row)];
        for (int inner = row + 1; inner <= last && inner < rows; ++inner)
            last = std::max(last, reach[static_cast<size_t>(inner)]);
        last = std::min(last, rows - 1);
        const size_t next = static_cast<size_t>(last) + 1;
        Line entry{starts[static_cast<size_t>(row)], starts[next], tops[static_cast<size_t>(row)],
                   tops[next], -1};
        entry.whole = true;
        if (entry.bottom - entry.top > FHeightPx && FHeightPx > 0)
            AddTallRows(table, row, last, entry);
        else if (entry.end > entry.start)
            FLines.push_back(entry);
        row = last + 1;
    }
}

void TFormatRange::AddTallRows(const QTextTable &table, int firstRow, int lastRow, const Line &rows)
{
    const QAbstractTextDocumentLayout *layout = FClone->documentLayout();
    // The tallest cell of the rows.
    QTextTableCell tallest;
    qreal height = -1;
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (cell.row() != row || cell.column() != column)
                continue;
            const qreal top = layout->blockBoundingRect(cell.firstCursorPosition().block()).top();
            const qreal bottom =
                layout->blockBoundingRect(cell.lastCursorPosition().block()).bottom();
            if (bottom - top > height) {
                height = bottom - top;
                tallest = cell;
            }
        }
    Line piece = rows;
    for (QTextBlock block = FClone->findBlock(tallest.firstPosition());
         block.isValid() && block.position() <= tallest.lastPosition(); block = block.next()) {
        const QTextLayout *lines = block.layout();
        const QRectF rect = layout->blockBoundingRect(block);
        for (int i = 0; lines && i < lines->lineCount(); ++i) {
            const int start = block.position() + lines->lineAt(i).textStart();
            const qreal top = rect.top() + lines->lineAt(i).y();
            if (start <= piece.start || top <= piece.top + 0.5)
                continue;
            piece.end = start;
            piece.bottom = top;
            FLines.push_back(piece);
            piece.start = start;
            piece.top = top;
        }
    }
    piece.end = rows.end;
    piece.bottom = rows.bottom;
    FLines.push_back(piece);
}

int TFormatRange::FirstLineAt(int position) const
{
    const auto after = std::upper_bound(FLines.begin(), FLines.end(), position,
                                        [](int pos, const Line &line) { return pos < line.start; });
    return after == FLines.begin() ? 0 : int(after - FLines.begin()) - 1;
}

int TFormatRange::Format(const QTextDocument &source, bool render,
                         const TFormatRangeRequest *request)
{
    if (!request) {
        Free();
        return 0;
    }
    const QPaintDevice *target = request->hdcTarget;
    if (!target && request->hdc)
        target = request->hdc->device();
    if (!target)
        return -1;

    const int dpiX = target->logicalDpiX() > 0 ? target->logicalDpiX() : 600;
    const int dpiY = target->logicalDpiY() > 0 ? target->logicalDpiY() : 600;
    const int left = TwipsToPixels(request->rc.left(), dpiX);
    const int top = TwipsToPixels(request->rc.top(), dpiY);
    const int width = TwipsToPixels(request->rc.right(), dpiX) - left;
    const int height = TwipsToPixels(request->rc.bottom(), dpiY) - top;

    Prepare(source, *target, width, height);
    const int length = FLength;
    const int cpMin = std::clamp(request->cpMin, 0, length);
    const int cpMax = request->cpMax < 0 ? length : std::min(request->cpMax, length);
    if (cpMin >= cpMax)
        return cpMin;

    int first = 0;
    int last = 0;
    int next = -1;
    for (int after = 0;; after = std::max(PieceLength, after * 2)) {
        EnsurePiece(cpMin, after);
        if (FLines.empty())
            return cpMin;
        first = FirstLineAt(cpMin - FOffset);
        const qreal y0 = FLines[first].top;
        last = first;
        next = -1;
        bool full = false;
        for (int i = first; i < int(FLines.size()); ++i) {
            const Line &line = FLines[i];
            // The first line always goes on the page, so that every page makes progress.
            if (i > first && (line.bottom - y0 > height || line.start + FOffset >= cpMax)) {
                full = true;
                break;
            }
            last = i;
            if (line.pageEnd >= 0) {
                next = line.pageEnd + FOffset;
                full = true;
                break;
            }
        }
        // A piece that ran out before the page was full is laid out again with more text.
        if (full || FPieceEnd >= FLength)
            break;
    }
    if (next < 0)
        next = FLines[last].end + FOffset;
    next = std::min(next, cpMax);

    if (render && request->hdc)
        Draw(*request->hdc, first, last, left, top, width);
    return next;
}

void TFormatRange::Draw(QPainter &painter, int first, int last, int left, int top, int width) const
{
    const qreal y0 = FLines[first].top;
    const qreal yEnd = FLines[last].bottom;
    painter.save();
    painter.translate(left, top - y0);
    const QRectF page(-left - width, y0, 3.0 * width + 2 * left, yEnd - y0);
    painter.setClipRect(page, Qt::IntersectClip);

    // Paragraphs cut by the page edge are drawn line by line, so that none of their lines on
    // the neighbouring page is drawn here (a clipped line would still put its text into a PDF).
    QAbstractTextDocumentLayout *layout = FClone->documentLayout();
    const QTextBlock firstBlock = FClone->findBlock(FLines[first].start);
    const QTextBlock lastBlock = FClone->findBlock(FLines[last].start);
    const bool cutAtTop = !FLines[first].whole && FLines[first].start != firstBlock.position();
    const bool cutAtBottom =
        !FLines[last].whole && FLines[last].end != lastBlock.position() + lastBlock.length();
    const auto drawLines = [&](const QTextBlock &block) {
        const QTextLayout *lines = block.layout();
        const QPointF origin = layout->blockBoundingRect(block).topLeft();
        // Lines go down the page in order: start at the first one on this page, so that a
        // paragraph of thousands of pages is not walked through again for each of them.
        int low = 0;
        int high = lines->lineCount();
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (origin.y() + lines->lineAt(middle).y() < y0 - 0.5)
                low = middle + 1;
            else
                high = middle;
        }
        for (int i = low; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            const qreal lineTop = origin.y() + line.y();
            if (lineTop > yEnd + 0.5)
                break;
            if (lineTop + line.height() <= yEnd + 0.5)
                line.draw(&painter, origin);
        }
    };
    qreal wholeTop = y0;
    qreal wholeBottom = yEnd;
    if (cutAtTop) {
        drawLines(firstBlock);
        wholeTop = layout->blockBoundingRect(firstBlock).bottom();
    }
    if (cutAtBottom && !(cutAtTop && firstBlock == lastBlock)) {
        drawLines(lastBlock);
        wholeBottom = layout->blockBoundingRect(lastBlock).top();
    }
    if (wholeBottom - wholeTop > 2) {
        // Whole paragraphs: the layout draws them with lists, tables and backgrounds, and
        // skips what lies outside this rectangle.
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(page.left(), wholeTop + 1, page.width(), wholeBottom - wholeTop - 2);
        context.palette.setColor(QPalette::Text, Qt::black);
        painter.save();
        painter.setClipRect(QRectF(page.left(), wholeTop, page.width(), wholeBottom - wholeTop),
                            Qt::IntersectClip);
        layout->draw(&painter, context);
        painter.restore();
    }
    painter.restore();
}
