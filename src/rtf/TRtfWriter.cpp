#include "rtf/TRtfWriter.h"

#include "rtf/TRtfFormatWriter.h"
#include "rtf/TRtfObjectIO.h"
#include "rtf/TRtfPageParts.h"
#include "rtf/TRtfPictureWriter.h"
#include "rtf/TRtfTableWriter.h"
#include "rtf/TRtfWriterOutput.h"
#include "rtf/TRtfWriterTables.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <vector>

namespace {

// One run of the writer over a document: walks its frames, tables and paragraphs in the
// range, has the formatting and the pictures written as it meets them, and puts the tables
// that the text filled in front.
class Writer
{
public:
    Writer(const QTextDocument &document, const TRtfWriter::Options &options)
        : FDocument(document), FOptions(options), FDefaultFont(document.defaultFont()),
          FFormats(FTables, FDefaultFont)
    {
    }

    QByteArray Run(int from, int to);

private:
    // The groups kept at an anchor, their fonts and colours in the saved tables.
    void KeptGroups(const QTextFormat &format);
    // Text whose object replacement characters are anchors of kept groups.
    void AnchoredText(const QString &text, int from, int length, const QTextFormat &format);
    // A picture or an embedded object, or the kept groups its anchor stands for.
    void ImageCharacter(const QTextCharFormat &format);
    // The headers and footers of the document, which belong to the whole document only.
    QByteArray PageParts();
    // Content of a frame or a cell; level is the table nesting depth of its paragraphs.
    void Items(QTextFrame::iterator it, int level, bool cell);
    // A document with tables: a range inside one cell as the paragraphs it holds, without the
    // table; any other range through the whole frame tree.
    void CellOrDocument(int from, int to);
    void Table(const QTextTable &table, int level);
    void Row(const QTextTable &table, int row, int level);
    void CoveredCell(int level);
    // A paragraph; cellEnd: it ends its cell, which it then states even outside the range.
    void Block(const QTextBlock &block, int level, bool cellEnd);
    // \pard and the properties when they differ from the last stated (or force is set).
    void ParagraphStart(const QByteArray &properties, const QByteArray &listText, bool force);

    const QTextDocument &FDocument;
    const TRtfWriter::Options FOptions;
    const QFont FDefaultFont;
    TRtfWriterTables FTables;
    TRtfFormatWriter FFormats;
    TRtfWriterOutput FOut;
    // The range being written.
    int FFrom = 0;
    int FTo = 0;
    // Table depth of the cell that holds the whole range, written as plain paragraphs.
    int FBaseLevel = 0;
    // Paragraph properties last stated with \pard, and whether one was stated at all.
    QByteArray FParagraph;
    bool FParagraphStated = false;
    // The next paragraph states its properties: the first of a table row.
    bool FRowStart = false;
    // Paragraphs written since the last table ended, -1 when none ended. A reader that looks
    // for the end of a table wants \pard twice after it.
    int FAfterTable = -1;
};

QByteArray TableWords(int level)
{
    if (level <= 0)
        return {};
    return level == 1 ? QByteArray("\\intbl") : "\\intbl\\itap" + QByteArray::number(level);
}

// ---- Objects and kept groups ----------------------------------------------------------------

void Writer::KeptGroups(const QTextFormat &format)
{
    FOut.Closed(TRtfPageParts::OfAnchor(format).Write(
        [this](const QString &family) { return FTables.FontIndex(family); },
        [this](const QColor &color) { return FTables.ColorIndex(color); }));
}

void Writer::AnchoredText(const QString &text, int from, int length, const QTextFormat &format)
{
    // Text typed next to an anchor may share its format; only the anchor writes the groups.
    const int end = from + length;
    while (from < end) {
        int next = from;
        while (next < end && text.at(next) != QChar::ObjectReplacementCharacter)
            ++next;
        FOut.Text(text, from, next - from);
        if (next < end)
            KeptGroups(format);
        from = next + 1;
    }
}

void Writer::ImageCharacter(const QTextCharFormat &format)
{
    const QByteArray object = TRtfObjectIO::ObjectStart(format);
    if (object.isEmpty() && TRtfPictureWriter::ShowsKeptGroups(format.toImageFormat())) {
        KeptGroups(format);
        return;
    }
    FOut.Append(object);
    const QByteArray picture = TRtfPictureWriter::Picture(FDocument, format.toImageFormat());
    if (!picture.isEmpty())
        FOut.Closed(picture);
    if (!object.isEmpty())
        FOut.Closed(TRtfObjectIO::ObjectEnd());
}

QByteArray Writer::PageParts()
{
    return TRtfPageParts::Of(FDocument).Write(
        [this](const QString &family) { return FTables.FontIndex(family); },
        [this](const QColor &color) { return FTables.ColorIndex(color); });
}

// ---- Paragraphs -----------------------------------------------------------------------------

void Writer::ParagraphStart(const QByteArray &properties, const QByteArray &listText, bool force)
{
    if (force || !FParagraphStated || properties != FParagraph || FRowStart) {
        FOut.Append("\\pard" + listText + properties,
                    !properties.endsWith('}') && !(properties.isEmpty() && !listText.isEmpty()));
        FParagraph = properties;
        FParagraphStated = true;
        FRowStart = false;
    } else if (!listText.isEmpty()) {
        FOut.Closed(listText);
    }
}

void Writer::Block(const QTextBlock &block, int level, bool cellEnd)
{
    const int breakPosition = block.position() + block.length() - 1;
    const bool inRange = block.position() < FTo && breakPosition >= FFrom;
    if (!inRange && !cellEnd)
        return;
    QByteArray listText;
    const QByteArray properties =
        TableWords(level - FBaseLevel) + FFormats.ParagraphProperties(block, listText);
    const bool afterTable = level == FBaseLevel && FAfterTable >= 0 && FAfterTable < 2;
    ParagraphStart(properties, listText, afterTable);
    bool wroteText = false;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int start = qMax(fragment.position(), FFrom);
        const int end = qMin(fragment.position() + fragment.length(), FTo);
        if (start >= end)
            continue;
        const QTextCharFormat format = fragment.charFormat();
        FFormats.ChangeFormat(FOut, FFormats.Resolve(fragment.charFormatIndex(), format));
        wroteText = true;
        if (format.isImageFormat())
            ImageCharacter(format);
        else if (TRtfPageParts::IsAnchor(format))
            AnchoredText(fragment.text(), start - fragment.position(), end - start, format);
        else
            FOut.Text(fragment.text(), start - fragment.position(), end - start);
    }
    const bool breakInRange = breakPosition >= FFrom && breakPosition < FTo;
    if (!breakInRange && !cellEnd)
        return;
    if (!wroteText && inRange) {
        // An empty paragraph still states its font, as the paragraph mark has one. The mark
        // of a cell's first paragraph also holds the cell's shading, which is no character's.
        QTextCharFormat format = block.charFormat();
        if (format.isTableCellFormat()) {
            format.clearBackground();
            format.clearProperty(QTextFormat::TextVerticalAlignment);
        }
        FFormats.ChangeFormat(FOut, FFormats.Resolve(-1 - block.blockNumber(), format));
        FFormats.Forget(-1 - block.blockNumber());
    }
    if (FAfterTable >= 0 && level == FBaseLevel)
        ++FAfterTable;
    if (cellEnd) {
        FOut.Word(level - FBaseLevel == 1 ? "\\cell" : "\\nestcell");
        return;
    }
    FOut.Closed("\\par\r\n");
}

// ---- Frames and tables ----------------------------------------------------------------------

void Writer::Items(QTextFrame::iterator it, int level, bool cell)
{
    bool afterTable = false;
    while (!it.atEnd()) {
        QTextFrame::iterator next = it;
        ++next;
        if (QTextFrame *frame = it.currentFrame()) {
            if (const auto *table = qobject_cast<QTextTable *>(frame))
                Table(*table, level + 1);
            else
                Items(frame->begin(), level, false);
            afterTable = true;
        } else {
            const QTextBlock block = it.currentBlock();
            const bool cellEnd = cell && next.atEnd();
            // The document keeps an empty paragraph before and after every table that rich
            // text has not: a table ends the paragraph before it and the one after begins anew.
            const bool beforeTable = !next.atEnd() && next.currentFrame();
            const bool kept = block.length() == 1 && (beforeTable || (afterTable && !cellEnd));
            if (!kept)
                Block(block, level, cellEnd);
            afterTable = false;
        }
        it = next;
    }
}

void Writer::Table(const QTextTable &table, int level)
{
    if (table.firstPosition() > FTo || table.lastPosition() < FFrom)
        return;
    for (int row = 0; row < table.rows(); ++row) {
        // Rows outside the range are left out; rows of merged cells only go with their cells.
        bool inRange = false;
        bool ownCells = false;
        for (const TRtfTableWriter::TSlot &slot : TRtfTableWriter::Slots(table, row)) {
            if (slot.Covered)
                continue;
            ownCells = true;
            inRange =
                inRange || (slot.Cell.firstPosition() <= FTo && slot.Cell.lastPosition() >= FFrom);
        }
        if (inRange || (!ownCells && row > 0))
            Row(table, row, level);
    }
    if (level - FBaseLevel == 1)
        FAfterTable = 0;
}

void Writer::Row(const QTextTable &table, int row, int level)
{
    const int depth = level - FBaseLevel;
    const auto colorIndex = [this](const QColor &color) { return FTables.ColorIndex(color); };
    if (depth == 1) {
        FOut.Append(TRtfTableWriter::RowDefinition(table, row, colorIndex), true);
        FRowStart = true;
    }
    for (const TRtfTableWriter::TSlot &slot : TRtfTableWriter::Slots(table, row)) {
        if (slot.Covered)
            CoveredCell(level);
        else
            Items(slot.Cell.begin(), level, true);
    }
    if (depth == 1) {
        FOut.Closed("\\row\r\n");
    } else {
        FOut.Closed("{\\*\\nesttableprops" +
                    TRtfTableWriter::RowDefinition(table, row, colorIndex) +
                    "\\nestrow}{\\nonesttables\\par}\r\n");
    }
}

void Writer::CoveredCell(int level)
{
    // The place of a cell merged into the one above: an empty paragraph ended as a cell.
    FFormats.EndListRun();
    ParagraphStart(TableWords(level - FBaseLevel), QByteArray(), false);
    FOut.Word(level - FBaseLevel == 1 ? "\\cell" : "\\nestcell");
}

void Writer::CellOrDocument(int from, int to)
{
    QTextCursor cursor(const_cast<QTextDocument *>(&FDocument));
    cursor.setPosition(from);
    const int last = qMax(from, to - 1);
    std::vector<QTextTableCell> cells;
    for (QTextTable *table = cursor.currentTable(); table;) {
        cells.insert(cells.begin(), table->cellAt(from));
        QTextFrame *parent = table->parentFrame();
        table = qobject_cast<QTextTable *>(parent);
    }
    QTextTableCell container;
    for (const QTextTableCell &cell : cells) {
        if (cell.firstPosition() > last || cell.lastPosition() < last)
            break;
        container = cell;
        ++FBaseLevel;
    }
    if (container.isValid())
        Items(container.begin(), FBaseLevel, false);
    else
        Items(FDocument.rootFrame()->begin(), 0, false);
}

// ---- The whole run --------------------------------------------------------------------------

QByteArray Writer::Run(int from, int to)
{
    const int count = FDocument.characterCount();
    if (to < 0 || to > count)
        to = count;
    from = qBound(0, from, to);
    FFrom = from;
    FTo = to;
    FOut.Reserve((to - from) + (to - from) / 4 + 256);

    if (FDocument.rootFrame()->childFrames().isEmpty()) {
        for (QTextBlock block = FDocument.findBlock(from); block.isValid() && block.position() < to;
             block = block.next())
            Block(block, 0, false);
    } else {
        CellOrDocument(from, to);
    }
    if (!FTables.HasFonts())
        FTables.FontIndex(FDefaultFont.family());
    // Headers and footers belong to the whole document only.
    const QByteArray pageParts = from == 0 && to == count ? PageParts() : QByteArray();
    if (!FFormats.FormatKnown())
        FOut.Append("\\pard\\f0\\fs" + QByteArray::number(FFormats.CurrentHalfPoints()), true);
    else if (FAfterTable >= 0 && FAfterTable < 2)
        FOut.Append("\\pard");
    FOut.Append("}\r\n");
    return FTables.Header(FOptions.PlainRTF, FOptions.Language) + pageParts + FOut.Bytes();
}

} // namespace

QByteArray TRtfWriter::Write(const QTextDocument &document, int from, int to,
                             const Options &options)
{
    Writer writer(document, options);
    return writer.Run(from, to);
}

QByteArray TRtfWriter::Write(const QTextDocument &document, int from, int to)
{
    return Write(document, from, to, Options());
}
