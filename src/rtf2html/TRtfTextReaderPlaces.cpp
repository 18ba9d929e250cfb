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
    const int depth = std::min(
        s.BaseDepth + std::min(s.InTable ? std::max(1, s.Itap) : std::max(0, s.Itap), 16), 16);
    if (depth > 1)
        Decline("nested table");
    return depth;
}

void TRtfTextReader::Pend()
{
    const int depth = Depth();
    if (!FPending.empty() && depth != FPendingDepth) {
        if (FLooseDepth >= 0 || !FPendingUniform)
            Decline("text that changes its table");
        FlushAt(depth);
        FLooseDepth = depth;
    }
    FPendingDepth = depth;
}

void TRtfTextReader::FlushAt(int depth)
{
    if (FPending.empty())
        return;
    // A change of formatting made the model flush the text before it where it was read.
    if ((FLooseDepth >= 0 && depth != FLooseDepth) || (!FPendingUniform && depth != FPendingDepth))
        Decline("text that changes its table");
    Prepare(true, depth);
    FText->append(FPending);
    FPending.clear();
    FPendingUniform = true;
    FParagraphHasContent = true;
    FJustLeftTable = false;
    FLooseDepth = -1;
}

void TRtfTextReader::Prepare(bool forContent, int depth)
{
    LeaveTables(depth);
    if (depth > 0) {
        if (!FTable) {
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
        if (EnterTable()) {
            FBreakPending = false;
            FParagraphHasContent = false;
        }
    }
    if (!forContent && !FBreakPending)
        return;
    // The first content of a merged cell starts a paragraph after the covering cell's.
    if (FCoveredPending) {
        FText->push_back(u'\r');
        FCoveredPending = false;
    }
    MaterializeBreak();
}

void TRtfTextReader::MaterializeBreak()
{
    if (!FBreakPending)
        return;
    FBreakPending = false;
    FText->push_back(u'\r');
}

bool TRtfTextReader::LeaveTables(int depth)
{
    if (!FTable || depth > 0)
        return false;
    // The table's text, then the empty paragraph a document keeps after a table.
    FText = FDocument;
    FTable->AppendText(*FText);
    FTable.reset();
    FRowOpen = false;
    FCellEntered = false;
    FCoveredPending = false;
    FDefinition = TTextTableGrid::TRowDefinition();
    FBreakPending = true;
    FParagraphHasContent = false;
    FJustLeftTable = true;
    return true;
}

// Opens the table, begins a row or enters the next cell, as content of the table needs; true
// when it did. Content then goes to the cell's text.
bool TRtfTextReader::EnterTable()
{
    if (FTable && FRowOpen && FCellEntered)
        return false;
    if (!FTable || !FRowOpen) {
        // The model guesses the cells of a row without a definition, by its end.
        if (FDefinition.Cells.empty())
            Decline("row without a definition");
        if (FTable)
            FTable->BeginRow(FDefinition);
        else
            FTable.emplace(FDefinition);
        FRowOpen = true;
    }
    FCellEntered = true;
    bool covered = false;
    FText = FTable->EnterCell(covered);
    FCoveredPending = covered;
    return true;
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

void TRtfTextReader::EndCell()
{
    if (State().BaseDepth > 0)
        Decline("table in a text box");
    ++FContentEvents;
    FSkipCount = 0;
    FlushAt(1);
    Prepare(false, 1);
    FJustLeftTable = false;
    if (FTable) {
        FTable->EndCell();
        FCellEntered = false;
        FCoveredPending = false;
    }
    FBreakPending = false;
    FParagraphHasContent = false;
}

void TRtfTextReader::EndRow()
{
    if (State().BaseDepth > 0)
        Decline("table in a text box");
    ++FContentEvents;
    FSkipCount = 0;
    FlushAt(1);
    if (!FTable || !FRowOpen)
        return;
    FRowOpen = false;
    FCellEntered = false;
    FCoveredPending = false;
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
