// Where the text reader's text goes: paragraph breaks, made when something follows them, and
// the cells of tables, in the order the model places them.
#include "rtf2html/TRtfTextReader.h"

#include "rtf/TRtfLexer.h"

#include <algorithm>
#include <string>

namespace Rtf2Html {

int TRtfTextReader::Depth()
{
    const TGroup &s = State();
    return std::min(s.BaseDepth + ParagraphDepth(s), KMaxTableDepth);
}

void TRtfTextReader::Pend()
{
    const int depth = Depth();
    if (!FPending.empty() && depth != FPendingDepth) {
        // The model holds the pending text whole: it flushes it now, where the new text
        // goes, or with the new text, which then must go to the same place.
        if (FLooseDepth >= 0 || FPendingSplit)
            Decline("text that changes its table");
        FlushAt(depth);
        FLooseDepth = depth;
    }
    // Text after a change of format: the model may have flushed what it held before it.
    if (!FPending.empty() && !FPendingUniform)
        FPendingSplit = true;
    FPendingDepth = depth;
}

void TRtfTextReader::FlushAt(int depth)
{
    if (FPending.empty())
        return;
    // A change of formatting made the model flush the text before it where it was read.
    if ((FLooseDepth >= 0 && depth != FLooseDepth) || (FPendingSplit && depth != FPendingDepth))
        Decline("text that changes its table");
    Prepare(true, depth);
    FText->append(FPending);
    FPending.clear();
    FPendingUniform = true;
    FPendingSplit = false;
    FParagraphHasContent = true;
    FJustLeftTable = false;
    FLooseDepth = -1;
}

void TRtfTextReader::Prepare(bool forContent, int depth)
{
    LeaveTables(depth);
    if (depth > 0) {
        if (OpensHere(depth)) {
            // A table opens in an empty paragraph of its own; two tables have a paragraph
            // between them.
            if (!FBreakPending && FParagraphHasContent) {
                FJustLeftTable = false;
                FBreakPending = true;
            }
            if (FBreakPending && FJustLeftTable) {
                MaterializeBreak();
                FBreakPending = true;
            }
            MaterializeBreak();
        }
        if (EnterTables(depth)) {
            FBreakPending = false;
            FParagraphHasContent = false;
        }
    }
    if (!forContent && !FBreakPending)
        return;
    UseCoveredCell();
    MaterializeBreak();
}

void TRtfTextReader::MaterializeBreak()
{
    if (!FBreakPending)
        return;
    FBreakPending = false;
    FText->push_back(u'\r');
}

// The first content of a merged cell starts a paragraph after the covering cell's.
void TRtfTextReader::UseCoveredCell()
{
    if (FOpen.empty() || !FOpen.back().Covered)
        return;
    FText->push_back(u'\r');
    FOpen.back().Covered = false;
}

bool TRtfTextReader::LeaveTables(int depth)
{
    bool left = false;
    while (static_cast<int>(FOpen.size()) > std::max(0, depth)) {
        CloseTable();
        // What follows a table is a paragraph of its own after the one the document keeps;
        // a cell that ends right after a nested table ends with an empty paragraph.
        FBreakPending = true;
        FParagraphHasContent = false;
        if (static_cast<int>(FOpen.size()) > depth)
            MaterializeBreak();
        left = true;
        FJustLeftTable = true;
    }
    return left;
}

bool TRtfTextReader::OpensHere(int depth) const
{
    if (std::min(depth, KMaxTableDepth) <= static_cast<int>(FOpen.size()))
        return false;
    return std::all_of(FOpen.begin(), FOpen.end(),
                       [](const TLevel &table) { return table.RowOpen && table.CellEntered; });
}

bool TRtfTextReader::EnterTables(int depth)
{
    depth = std::clamp(depth, 0, KMaxTableDepth);
    bool changed = false;
    for (int level = 1; level <= depth; ++level) {
        if (static_cast<int>(FOpen.size()) < level) {
            UseCoveredCell();
            OpenTable(level);
            changed = true;
            continue;
        }
        TLevel &table = FOpen[static_cast<size_t>(level - 1)];
        if (table.RowOpen && table.CellEntered)
            continue;
        while (static_cast<int>(FOpen.size()) > level)
            CloseTable();
        if (!table.RowOpen)
            BeginRow(table, level);
        EnterCell(table);
        changed = true;
    }
    if (changed)
        CheckTableBudget();
    return changed;
}

// Tables in tables share one budget: nesting does not multiply what a file may cost.
void TRtfTextReader::CheckTableBudget() const
{
    size_t cells = 0;
    for (const TLevel &table : FOpen)
        cells += table.Grid ? table.Grid->CellCount() : 0;
    if (cells > 2 * TTextTableGrid::KMaxPlaces)
        Decline("table too large");
}

TTextTableGrid::TRowDefinition &TRtfTextReader::Definition(int level)
{
    return FDefinitions[static_cast<size_t>(std::clamp(level, 1, KMaxTableDepth) - 1)];
}

TTextTableGrid::TRowDefinition TRtfTextReader::BeginNested(TLevel &table)
{
    table.Nested = FNestedBegun++;
    const size_t nested = static_cast<size_t>(table.Nested);
    if (!FKnowsRows || nested >= FNestedRows.size() || FNestedRows[nested] == KNoRow)
        return TTextTableGrid::TRowDefinition();
    return FRowPool[FNestedRows[nested]];
}

void TRtfTextReader::OpenTable(int level)
{
    // The table opens at the end of the text so far: the document's, or the cell's around it.
    FOpen.emplace_back();
    TLevel &table = FOpen.back();
    const TTextTableGrid::TRowDefinition definition =
        level == 1 ? Definition(level) : BeginNested(table);
    table.Last = definition;
    if (!FCollecting) {
        // The model guesses the cells of a row without a definition, by its end.
        if (definition.Cells.empty())
            Decline("row without a definition");
        table.Grid.emplace(definition);
    }
    EnterCell(table);
}

void TRtfTextReader::BeginRow(TLevel &table, int level)
{
    TTextTableGrid::TRowDefinition definition = level == 1 ? Definition(level) : BeginNested(table);
    if (level > 1 && definition.Cells.empty())
        definition = table.Last;
    table.RowOpen = true;
    table.CellEntered = false;
    table.Last = definition;
    if (table.Grid) {
        if (definition.Cells.empty())
            Decline("row without a definition");
        table.Grid->BeginRow(definition);
    }
}

void TRtfTextReader::EnterCell(TLevel &table)
{
    table.CellEntered = true;
    table.Covered = false;
    if (table.Grid)
        FText = table.Grid->EnterCell(table.Covered);
    table.Text = FText;
}

void TRtfTextReader::CloseTable()
{
    TLevel &table = FOpen.back();
    // The table's text where it opened.
    std::u16string *around = FOpen.size() > 1 ? FOpen[FOpen.size() - 2].Text : FDocument;
    FText = around;
    if (table.Grid)
        table.Grid->AppendText(*around);
    // The next table of this level states its own rows.
    Definition(static_cast<int>(FOpen.size())) = TTextTableGrid::TRowDefinition();
    FPooled[FOpen.size() - 1] = -1;
    FOpen.pop_back();
}

void TRtfTextReader::EndParagraph()
{
    ++FContentEvents;
    const int depth = Depth();
    FlushAt(depth);
    Prepare(true, depth);
    FJustLeftTable = false;
    FBreakPending = true;
    FParagraphHasContent = false;
}

void TRtfTextReader::EndCell(int level)
{
    ++FContentEvents;
    FSkipCount = 0;
    if (level > KMaxTableDepth) {
        // Tables nested deeper than the model goes: their cells are paragraphs.
        EndParagraph();
        return;
    }
    FlushAt(level);
    Prepare(false, level);
    if (level >= 1 && level <= static_cast<int>(FOpen.size())) {
        while (static_cast<int>(FOpen.size()) > level)
            CloseTable();
        TLevel &table = FOpen.back();
        if (table.Grid)
            table.Grid->EndCell();
        table.CellEntered = false;
        table.Covered = false;
    }
    FBreakPending = false;
    FParagraphHasContent = false;
}

void TRtfTextReader::EndRow(int level)
{
    ++FContentEvents;
    FSkipCount = 0;
    if (level > KMaxTableDepth)
        return;
    FlushAt(level);
    if (LeaveTables(level))
        MaterializeBreak();
    if (level < 1 || level > static_cast<int>(FOpen.size()))
        return;
    while (static_cast<int>(FOpen.size()) > level)
        CloseTable();
    TLevel &table = FOpen.back();
    if (!table.RowOpen)
        return;
    if (table.Nested >= 0 && FCollecting)
        KeepNestedRow(table, level);
    table.RowOpen = false;
    table.CellEntered = false;
    table.Covered = false;
}

// The first reading keeps the definition a nested row ends with, for the second.
void TRtfTextReader::KeepNestedRow(const TLevel &table, int level)
{
    const size_t nested = static_cast<size_t>(table.Nested);
    if (FNestedRows.size() <= nested)
        FNestedRows.resize(nested + 1, KNoRow);
    int &pooled = FPooled[static_cast<size_t>(level - 1)];
    if (pooled < 0) {
        TTextTableGrid::TRowDefinition kept = Definition(level);
        // A cell past the grid's last column lays out as any other past it: one is enough.
        const size_t enough = static_cast<size_t>(TTextTableGrid::KMaxColumns) + 1;
        if (kept.Cells.size() > enough)
            kept.Cells.resize(enough);
        FRowPool.push_back(std::move(kept));
        pooled = static_cast<int>(FRowPool.size() - 1);
    }
    FNestedRows[nested] = static_cast<uint32_t>(pooled);
}

void TRtfTextReader::PictureData(std::string_view bytes)
{
    for (const char c : bytes) {
        const bool digit =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!digit)
            continue;
        if (FPictureNibble < 0) {
            FPictureNibble = 1;
        } else {
            FPictureData = true;
            FPictureNibble = -1;
        }
    }
}

// A picture of a known kind with data is shown where it stands, as one object character.
void TRtfTextReader::EndPicture()
{
    if (!FPictureData || !FPictureKind || State().Dest != TDest::Body)
        return;
    ++FPicturesShown;
    ShowObject();
}

void TRtfTextReader::ShowObject()
{
    ++FContentEvents;
    const int depth = Depth();
    FlushAt(depth);
    Prepare(true, depth);
    FText->push_back(0xFFFC);
    FParagraphHasContent = true;
    FJustLeftTable = false;
    const TGroup &s = State();
    if (s.InFieldResult && s.Field > 0)
        FFields[s.Field - 1].HasResult = true;
}

// The group of the word: the model keeps only a group that the word opens.
size_t TRtfTextReader::GroupOpenBefore(size_t word) const
{
    const auto lineEnd = [this](size_t at) { return FData[at] == '\r' || FData[at] == '\n'; };
    size_t at = word;
    while (at > 0 && lineEnd(at - 1))
        --at;
    if (at >= 2 && FData[at - 1] == '*' && FData[at - 2] == '\\') {
        at -= 2;
        while (at > 0 && lineEnd(at - 1))
            --at;
    }
    return at > 0 && FData[at - 1] == '{' ? at - 1 : std::string_view::npos;
}

bool TRtfTextReader::BeginKept(TKeptKind kind, const char *textWord)
{
    TGroup &s = State();
    if (FKept.Depth != 0 || s.Dest != TDest::Body)
        return false;
    const size_t open = GroupOpenBefore(FTokenOffset);
    if (open == std::string_view::npos)
        return false;
    if (textWord) {
        // A text box's text is shown in the text; its shape kept as well would show it twice.
        if (s.InTextShape)
            return false;
        s.InTextShape = true;
        const size_t close = TRtfLexer::GroupClose(FData, open);
        if (close == std::string_view::npos ||
            FData.substr(open, close - open).find(textWord) != std::string_view::npos)
            return false;
        s.InTextShape = false;
    }
    FKept = TKept{FStack.size(), open, kind, FPicturesShown, FContentEvents};
    return true;
}

// A shape is kept, and passed over here, unless it holds the text of a text box: then it is
// read where it stands.
void TRtfTextReader::BeginShape(const char *textWord)
{
    if (BeginKept(TKeptKind::Shape, textWord))
        State().Dest = TDest::Skip;
}

void TRtfTextReader::BeginShapeText()
{
    if (!FPending.empty() || FParagraphHasContent)
        EndParagraph();
    TGroup &s = State();
    s.BaseDepth = Depth();
    s.InTable = false;
    s.Itap = -1;
    s.ShapeTextOwner = true;
}

void TRtfTextReader::EndKept()
{
    const TKept kept = FKept;
    FKept = TKept();
    const size_t wrapperEnd = FWrapperEnd;
    FWrapperEnd = std::string_view::npos;
    switch (kept.Kind) {
    case TKeptKind::Shape:
        // Its picture, or an object character that stands for it.
        ShowObject();
        return;
    case TKeptKind::Fallback: {
        // The stand-in right after a wrapper that kept its picture goes with that picture.
        size_t at = wrapperEnd;
        while (at < kept.Open && (FData[at] == '\r' || FData[at] == '\n'))
            ++at;
        if (at != kept.Open)
            ShowObject();
        return;
    }
    case TKeptKind::Wrapper:
        break;
    }
    const int pictures = FPicturesShown - kept.Pictures;
    const long events = FContentEvents - kept.Events;
    if (pictures == 1 && events == 1)
        FWrapperEnd = FAfterToken;
    else if (events == 0)
        ShowObject();
    else
        Decline("picture wrapper holding more than its picture");
}

void TRtfTextReader::EndDocument()
{
    FlushAt(Depth());
    LeaveTables(0);
    AppendFootnotes();
    // The paragraph mark that ends the data is the one the document has already.
}

void TRtfTextReader::BeginFootnote()
{
    if (FCurrentNote >= 0)
        Decline("footnote in a footnote");
    TGroup &s = State();
    TNote note;
    note.Start = FAfterToken;
    note.Number = FNoteNumber;
    note.UnicodeSkip = s.UnicodeSkip;
    note.Font = s.Font;
    note.FontKnown = s.FontKnown;
    FNotes.push_back(note);
    s.Dest = TDest::Footnote;
}

// The automatic mark of a footnote: its number, in the text and in the footnote.
void TRtfTextReader::FootnoteMark()
{
    const int number = FCurrentNote >= 0 ? FCurrentNote : ++FNoteNumber;
    for (const char digit : std::to_string(number))
        TextChar(static_cast<char16_t>(digit));
}

// Footnotes are read again after the text, each as paragraphs of its own.
void TRtfTextReader::AppendFootnotes()
{
    for (const TNote &note : FNotes) {
        if (!FPending.empty() || FParagraphHasContent)
            EndParagraph();
        std::vector<TGroup> outer;
        outer.swap(FStack);
        TGroup base;
        base.UnicodeSkip = note.UnicodeSkip;
        base.Font = note.Font;
        base.FontKnown = note.FontKnown;
        FStack.push_back(base);
        FCurrentNote = note.Number;
        FDone = false;
        FStarPending = false;
        FSkipCount = 0;
        Parse(note.Start, std::min(note.End, FData.size()));
        FlushAt(Depth());
        LeaveTables(0);
        if (FParagraphHasContent)
            EndParagraph();
        FStack.swap(outer);
        FCurrentNote = -1;
    }
}

} // namespace Rtf2Html
