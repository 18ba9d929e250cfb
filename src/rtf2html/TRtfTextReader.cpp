// The text reader's main loop: groups, destinations, control words and symbols, and text.
#include "rtf2html/TRtfTextReader.h"

#include "rtf/TRtfLexer.h"
#include "text/CodePages.h"

#include <algorithm>

namespace Rtf2Html {

namespace {
using W = TTextWord;

// Why the reader stops: the model would build a text of its own here.
struct TDeclined
{
    const char *Reason;
};

} // namespace

void TRtfTextReader::Decline(const char *reason)
{
    throw TDeclined{reason};
}

bool TRtfTextReader::Read(std::u16string &text)
{
    if (!IsRtf(FData)) {
        FDeclined = "not rich text";
        return false;
    }
    text.clear();
    if (!FCollecting && !ReadNestedRows())
        return false;
    // At most about one character a byte: no growing copies of a long text.
    text.reserve(FData.size());
    FText = &text;
    FDocument = &text;
    // Cells' texts are referred to while deeper tables open: the levels never move.
    FOpen.reserve(KMaxTableDepth);
    FStack.assign(1, TGroup());
    try {
        // The first brace opens the document group, whose end ends the reading.
        Parse(1, FData.size());
        EndDocument();
    } catch (const TDeclined &declined) {
        FDeclined = declined.Reason;
        return false;
    } catch (const TTextTableGrid::EUnfollowed &unfollowed) {
        FDeclined = unfollowed.Reason;
        return false;
    }
    return true;
}

// A first reading collects the definitions of nested rows, which rich text states at their
// ends, as the model's first reading does; false when it declined.
bool TRtfTextReader::ReadNestedRows()
{
    // Only a nested row's end records a definition (rows in text boxes are declined).
    if (FData.find("\\nestrow") == std::string_view::npos)
        return true;
    TRtfTextReader first(FData);
    first.FCollecting = true;
    std::u16string scratch;
    if (!first.Read(scratch)) {
        FDeclined = first.FDeclined;
        return false;
    }
    FKnowsRows =
        std::any_of(first.FNestedRows.begin(), first.FNestedRows.end(), [&first](uint32_t row) {
            return row != KNoRow && !first.FRowPool[row].Cells.empty();
        });
    if (FKnowsRows) {
        FRowPool = std::move(first.FRowPool);
        FNestedRows = std::move(first.FNestedRows);
    }
    return true;
}

void TRtfTextReader::Parse(size_t from, size_t to)
{
    TRtfLexer lexer(FData.substr(0, to), from);
    TRtfToken token;
    while (!FDone && lexer.Next(token))
        Token(token);
}

void TRtfTextReader::Token(const TRtfToken &token)
{
    FTokenOffset = token.Offset;
    FAfterToken = token.Offset + token.Length;
    switch (token.Kind) {
    case TRtfToken::TKind::GroupStart:
        PushGroup();
        break;
    case TRtfToken::TKind::GroupEnd:
        PopGroup();
        break;
    case TRtfToken::TKind::ControlWord:
        ControlWord(TextWordOf(token.Text), token.HasParam, token.Param);
        break;
    case TRtfToken::TKind::Unicode:
        ControlWord(W::u, token.HasParam, token.Param);
        break;
    case TRtfToken::TKind::Binary:
        // Data of a picture, or passed over.
        if (State().Dest == TDest::Picture && !token.Text.empty())
            FPictureData = true;
        FStarPending = false;
        FSkipCount = 0;
        break;
    case TRtfToken::TKind::Hex:
        // A broken escape stands for nothing.
        if (token.Valid)
            HexByte(token.Byte);
        break;
    case TRtfToken::TKind::ControlSymbol:
        ControlSymbol(token.Symbol);
        break;
    case TRtfToken::TKind::Text:
        TextRun(token.Text);
        break;
    }
}

bool TRtfTextReader::SkipFallback()
{
    if (FSkipCount <= 0)
        return false;
    --FSkipCount;
    return true;
}

void TRtfTextReader::PushGroup()
{
    FStarPending = false;
    FSkipCount = 0;
    if (FStack.size() >= KMaxDepth)
        Decline("deep groups");
    TGroup group = State();
    group.FieldOwner = false;
    group.ShapeTextOwner = false;
    group.CharChanged = false;
    switch (group.Dest) {
    case TDest::FontTable:
        group.Dest = TDest::FontEntry;
        FFontEntryNumber = -1;
        FFontNameDone = false;
        FFontCharset = -1;
        break;
    case TDest::StyleSheet:
        group.Dest = TDest::StyleEntry;
        group.Font = -1;
        group.FontKnown = true;
        group.InTable = false;
        group.Itap = -1;
        FStyleEntry = TStyleEntry();
        break;
    case TDest::FontEntry:
    case TDest::StyleEntry:
    case TDest::ColorTable:
    case TDest::LevelText:
        // Groups nested in the entries of tables hold nothing the model reads.
        group.Dest = TDest::Skip;
        break;
    default:
        break;
    }
    FStack.push_back(group);
}

void TRtfTextReader::PopGroup()
{
    FStarPending = false;
    FSkipCount = 0;
    if (FStack.size() <= 1) {
        FDone = true;
        return;
    }
    const bool keptEnds = FKept.Depth != 0 && FStack.size() == FKept.Depth;
    // The text of a text box ends its last paragraph.
    if (State().ShapeTextOwner && (!FPending.empty() || FParagraphHasContent))
        EndParagraph();
    const TGroup ended = FStack.back();
    FStack.pop_back();
    const TGroup &parent = State();
    // The model flushes its text when the format of the next text differs. A group that
    // changed neither the format nor where text goes (a "{\page }" of its own) leaves the
    // format as it was.
    const bool changedNothing =
        !ended.CharChanged && !ended.FieldOwner && !ended.ShapeTextOwner && !keptEnds &&
        ended.Dest == parent.Dest && ended.InFieldResult == parent.InFieldResult &&
        ended.InShapeResult == parent.InShapeResult && ended.InTextShape == parent.InTextShape &&
        ended.BaseDepth == parent.BaseDepth;
    if (!changedNothing)
        FPendingUniform = FPending.empty();
    // A symbol field without a result shows its character, in a font of its own.
    if (ended.FieldOwner && ended.Field > 0 && !FFields[ended.Field - 1].HasResult)
        InsertSymbol(FFields[ended.Field - 1].Instruction);
    if (ended.Dest == TDest::Picture && parent.Dest != TDest::Picture)
        EndPicture();
    if (ended.Dest == TDest::Footnote && parent.Dest != TDest::Footnote && !FNotes.empty() &&
        FNotes.back().End == std::string_view::npos)
        FNotes.back().End = FTokenOffset;
    if (ended.Dest == TDest::FontEntry && parent.Dest == TDest::FontTable)
        EndFontEntry();
    if (ended.Dest == TDest::StyleEntry && parent.Dest == TDest::StyleSheet &&
        !FStyleEntry.CharStyle)
        FStyles.insert(FStyleEntry.Number);
    if (keptEnds)
        EndKept();
}

void TRtfTextReader::ControlWord(TTextWord word, bool hasParameter, int32_t parameter)
{
    const bool star = FStarPending;
    FStarPending = false;
    TGroup &s = State();
    if (Skipping()) {
        if (word == W::ud && s.InUpr)
            s.Dest = s.UprParent;
        return;
    }
    if (star) {
        StarredWord(word, parameter);
        return;
    }
    if (HeaderWord(word, parameter))
        return;
    if (Destination(word) || FormattingWord(word, hasParameter, parameter) ||
        TableWord(word, parameter))
        return;
    BodyWord(word, parameter);
}

// A word after "\*": destinations that the model reads, or a group it passes over.
void TRtfTextReader::StarredWord(TTextWord word, int32_t parameter)
{
    TGroup &s = State();
    if (word == W::pn || word == W::listtable || word == W::listoverridetable ||
        word == W::shppict || word == W::ud) {
        Destination(word);
    } else if ((word == W::cs || word == W::ts) && s.Dest == TDest::StyleEntry) {
        if (word == W::ts)
            s.Dest = TDest::Skip;
        else
            FormattingWord(word, true, parameter);
    } else if (s.Dest == TDest::Body &&
               (word == W::footnote || word == W::fldinst || word == W::fldrslt ||
                word == W::shpinst || word == W::nesttableprops || word == W::do_ ||
                word == W::nonshppict)) {
        Destination(word);
    } else {
        s.Dest = TDest::Skip;
    }
}

bool TRtfTextReader::HeaderWord(TTextWord word, int32_t parameter)
{
    TGroup &s = State();
    switch (s.Dest) {
    case TDest::FontTable:
    case TDest::FontEntry:
        if (word == W::f) {
            if (s.Dest == TDest::FontTable)
                EndFontEntry();
            FFontEntryNumber = parameter;
            FFontNameDone = false;
            FFontCharset = -1;
        } else if (word == W::fcharset) {
            FFontCharset = parameter;
        } else if (word == W::u) {
            TextChar(static_cast<char16_t>(parameter & 0xFFFF));
            FSkipCount = s.UnicodeSkip;
        }
        return true;
    case TDest::ColorTable:
        return true;
    case TDest::Picture:
        if (word == W::PictureKind)
            FPictureKind = true;
        return true;
    case TDest::ListLevel:
        if (word == W::levelnumbers)
            s.Dest = TDest::Skip;
        else
            Destination(word);
        return true;
    case TDest::ListOverride:
        if (word == W::lfolevel)
            s.Dest = TDest::Skip;
        return true;
    case TDest::List:
    case TDest::ListTable:
    case TDest::ListOverrideTable:
    case TDest::LevelText:
    case TDest::PnText:
        Destination(word);
        return true;
    default:
        return false;
    }
}

bool TRtfTextReader::Destination(TTextWord word)
{
    TGroup &s = State();
    switch (word) {
    case W::fonttbl:
        s.Dest = TDest::FontTable;
        FFontEntryNumber = -1;
        FFontNameDone = true;
        return true;
    case W::colortbl:
        s.Dest = TDest::ColorTable;
        return true;
    case W::stylesheet:
        s.Dest = TDest::StyleSheet;
        return true;
    case W::listtable:
        s.Dest = TDest::ListTable;
        return true;
    case W::list:
        if (s.Dest != TDest::ListTable)
            return false;
        s.Dest = TDest::List;
        return true;
    case W::listlevel:
        if (s.Dest != TDest::List)
            return false;
        s.Dest = TDest::ListLevel;
        return true;
    case W::leveltext:
        if (s.Dest != TDest::ListLevel)
            return false;
        s.Dest = TDest::LevelText;
        FLevelTextEmpty = true;
        return true;
    case W::listoverridetable:
        s.Dest = TDest::ListOverrideTable;
        return true;
    case W::listoverride:
        if (s.Dest != TDest::ListOverrideTable)
            return false;
        s.Dest = TDest::ListOverride;
        return true;
    case W::pn:
        if (s.Dest != TDest::Body && s.Dest != TDest::StyleEntry)
            return false;
        s.Dest = TDest::Pn;
        return true;
    case W::pntxtb:
    case W::pntxta:
        if (s.Dest != TDest::Pn)
            return false;
        s.Dest = TDest::PnText;
        return true;
    case W::pict:
        // A picture of the body is shown; elsewhere it is passed over, and leaves what a
        // picture around it has read as it was.
        if (s.Dest != TDest::Body) {
            s.Dest = TDest::Skip;
            return true;
        }
        s.Dest = TDest::Picture;
        FPictureKind = false;
        FPictureData = false;
        FPictureNibble = -1;
        return true;
    case W::upr:
        s.UprParent = s.Dest;
        s.InUpr = true;
        s.Dest = TDest::Skip;
        return true;
    case W::ud:
        if (s.InUpr)
            s.Dest = s.UprParent;
        return true;
    case W::field:
        FFields.emplace_back();
        s.Field = FFields.size();
        s.FieldOwner = true;
        return true;
    case W::fldinst:
        s.Dest = s.Dest == TDest::Body ? TDest::FieldInstruction : TDest::Skip;
        return true;
    case W::fldrslt:
        s.InFieldResult = true;
        return true;
    case W::footnote:
        BeginFootnote();
        return true;
    case W::shppict:
        BeginKept(TKeptKind::Wrapper);
        return true;
    case W::nonshppict:
        BeginKept(TKeptKind::Fallback);
        s.Dest = TDest::Skip;
        return true;
    case W::ShapeGroup:
        BeginShape("\\shptxt");
        return true;
    case W::do_:
        // A drawing object repeats the text of the shape whose result it is.
        if (s.InShapeResult)
            s.Dest = TDest::Skip;
        else
            BeginShape("\\dptxbxtext");
        return true;
    case W::shprslt:
        s.InShapeResult = true;
        return true;
    case W::Shape:
        BeginShapeText();
        return true;
    case W::shpinst:
    case W::nesttableprops:
    case W::ReadInPlace:
        return true;
    case W::Skipped:
        s.Dest = TDest::Skip;
        return true;
    default:
        return false;
    }
}

bool TRtfTextReader::FormattingWord(TTextWord word, bool hasParameter, int32_t parameter)
{
    TGroup &s = State();
    if (word == W::CharFormat || word == W::f || word == W::plain || word == W::s) {
        FPendingUniform = FPending.empty();
        s.CharChanged = true;
    }
    switch (word) {
    case W::CharFormat:
        return true;
    case W::f:
        s.Font = hasParameter ? parameter : -1;
        s.FontKnown = true;
        return true;
    case W::plain:
        s.Font = -1;
        s.FontKnown = true;
        return true;
    case W::s:
        if (s.Dest == TDest::StyleEntry) {
            FStyleEntry.Number = parameter;
            FStyleEntry.CharStyle = false;
        } else if (FStyles.count(parameter)) {
            // A style gives the font unless the text set its own.
            s.FontKnown = false;
        }
        return true;
    case W::cs:
        if (s.Dest == TDest::StyleEntry) {
            FStyleEntry.Number = parameter;
            FStyleEntry.CharStyle = true;
        }
        return true;
    case W::pard:
        s.InTable = false;
        s.Itap = -1;
        return true;
    case W::intbl:
        s.InTable = !hasParameter || parameter != 0;
        return true;
    case W::itap:
        s.Itap = std::clamp(parameter, 0, 16);
        return true;
    default:
        return false;
    }
}

void TRtfTextReader::BodyWord(TTextWord word, int32_t parameter)
{
    TGroup &s = State();
    switch (word) {
    case W::deff:
        FDefaultFont = parameter;
        return;
    case W::ansicpg:
        FAnsiCodePage = TTextByteDecoder::DocumentCodePage(parameter);
        FFontsAgree = -1;
        return;
    case W::mac:
        FAnsiCodePage = 10000;
        FFontsAgree = -1;
        return;
    case W::pc:
        FAnsiCodePage = 437;
        FFontsAgree = -1;
        return;
    case W::pca:
        FAnsiCodePage = 850;
        FFontsAgree = -1;
        return;
    case W::uc:
        s.UnicodeSkip = std::clamp(parameter, 0, 16);
        return;
    case W::u:
        TextChar(static_cast<char16_t>(parameter & 0xFFFF));
        FSkipCount = s.UnicodeSkip;
        return;
    default:
        break;
    }
    if (const char16_t c = CharacterOf(word)) {
        if (!SkipFallback() && (s.Dest == TDest::Body || c == u'\t'))
            TextChar(c);
        return;
    }
    if (s.Dest != TDest::Body)
        return;
    switch (word) {
    case W::par:
    case W::sect:
        FSkipCount = 0;
        // A section break ends the paragraph it stands in.
        if (word == W::par || FParagraphHasContent || !FPending.empty())
            EndParagraph();
        return;
    case W::cell:
    case W::nestcell:
    case W::row:
    case W::nestrow: {
        // The model's tables in text boxes are not followed here.
        if (s.BaseDepth > 0)
            Decline("table in a text box");
        const bool nested = word == W::nestcell || word == W::nestrow;
        const int level = nested ? std::max(2, ParagraphDepth(s)) : 1;
        if (word == W::cell || word == W::nestcell)
            EndCell(level);
        else
            EndRow(level);
        return;
    }
    case W::chftn:
        FootnoteMark();
        return;
    default:
        return;
    }
}

void TRtfTextReader::ControlSymbol(char symbol)
{
    if (symbol == '*') {
        FStarPending = true;
        return;
    }
    FStarPending = false;
    if (Skipping() || State().Dest == TDest::Picture || SkipFallback())
        return;
    if (symbol == '\r' || symbol == '\n') {
        if (State().Dest == TDest::Body)
            EndParagraph();
    } else if (const char16_t c = TRtfLexer::SymbolCharacter(symbol)) {
        TextChar(c);
    }
}

void TRtfTextReader::HexByte(unsigned char byte)
{
    FStarPending = false;
    if (Skipping() || State().Dest == TDest::Picture || SkipFallback())
        return;
    if (State().Dest == TDest::LevelText && (FLevelTextEmpty || byte < 9)) {
        // The length of a level's text and the codes of its numbers.
        TextChar(byte);
    } else if (const char16_t c = Decode(byte)) {
        TextChar(c);
    }
}

void TRtfTextReader::TextRun(std::string_view run)
{
    // NUL bytes are no text at all: a run of nothing else leaves a pending \* alone.
    if (std::all_of(run.begin(), run.end(), [](char c) { return c == 0; }))
        return;
    FStarPending = false;
    size_t from = 0;
    while (from < run.size()) {
        // Tab characters count as tabs; other control bytes are dropped.
        size_t to = from;
        while (to < run.size() && static_cast<unsigned char>(run[to]) >= 0x20)
            ++to;
        if (to > from)
            TextBytes(run.substr(from, to - from));
        if (to < run.size()) {
            if (run[to] == '\t' && State().Dest == TDest::Body && !SkipFallback())
                TextChar(u'\t');
            ++to;
        }
        from = to;
    }
}

void TRtfTextReader::TextBytes(std::string_view bytes)
{
    if (State().Dest == TDest::Picture) {
        PictureData(bytes);
        return;
    }
    if (Skipping())
        return;
    size_t i = 0;
    while (i < bytes.size() && SkipFallback())
        ++i;
    if (State().Dest == TDest::Body && FLeadByte < 0) {
        // Printable ASCII is itself in every code page the model reads.
        size_t plain = i;
        while (plain < bytes.size() && static_cast<unsigned char>(bytes[plain]) < 0x7F)
            ++plain;
        if (plain > i) {
            TextChar(static_cast<char16_t>(bytes[i]));
            FPending.append(bytes.begin() + static_cast<std::ptrdiff_t>(i + 1),
                            bytes.begin() + static_cast<std::ptrdiff_t>(plain));
            i = plain;
        }
    }
    for (; i < bytes.size(); ++i) {
        if (const char16_t c = Decode(static_cast<unsigned char>(bytes[i])))
            TextChar(c);
    }
}

void TRtfTextReader::TextChar(char16_t c)
{
    TGroup &s = State();
    switch (s.Dest) {
    case TDest::Body:
        // Characters the document keeps for its own structure, and control characters
        // other than tab and page break, have no place in the text.
        if ((c < 0x20 && c != u'\t' && c != 0x000C) || c == 0xFFFC || c == 0x2029 || c == 0xFDD0 ||
            c == 0xFDD1)
            return;
        Pend();
        FPending.push_back(c);
        ++FContentEvents;
        if (s.InFieldResult && s.Field > 0)
            FFields[s.Field - 1].HasResult = true;
        return;
    case TDest::FieldInstruction:
        if (s.Field > 0 && FFields[s.Field - 1].Instruction.size() < 1024)
            FFields[s.Field - 1].Instruction.push_back(c);
        return;
    case TDest::FontTable:
    case TDest::FontEntry:
        if (c == u';')
            EndFontEntry();
        return;
    case TDest::LevelText:
        FLevelTextEmpty = false;
        return;
    default:
        return;
    }
}

void TRtfTextReader::EndFontEntry()
{
    if (FFontEntryNumber >= 0 && !FFontNameDone) {
        FFontCharsets[FFontEntryNumber] = FFontCharset;
        FFontsAgree = -1;
    }
    FFontNameDone = true;
}

// Words of the row definitions, for the tables of the paragraph's depth.
bool TRtfTextReader::TableWord(TTextWord word, int32_t parameter)
{
    // The model opens and closes tables and rows when it flushes text, and leaving a table
    // forgets the definition of its depth: the definition must not depend on the moment it
    // flushes text of two depths. Text of the body that the model flushed in part, with no
    // table open (a page break before a table, as word processors write it), neither opens
    // nor leaves a table, whenever the rest of it is flushed.
    const bool definition = word == W::trowd || word == W::trleft || word == W::cellx;
    const bool flushedApart =
        FLooseDepth >= 0 || (FPendingSplit && (FPendingDepth > 0 || !FOpen.empty()));
    if (definition && !FPending.empty() && flushedApart)
        Decline("row defined amid its text");
    // The model's tables in text boxes are not followed here.
    const TGroup &s = State();
    if (definition && s.BaseDepth > 0)
        Decline("table in a text box");
    // Row definitions belong to the tables of the depth of the paragraph they stand in.
    const int level = std::max(1, ParagraphDepth(s));
    if (definition)
        FPooled[static_cast<size_t>(level - 1)] = -1;
    switch (word) {
    case W::trowd:
        Definition(level) = TTextTableGrid::TRowDefinition();
        FCellMerge = TTextTableGrid::TMerge::None;
        return true;
    case W::trleft:
        Definition(level).Left = std::clamp(parameter, -31680, 31680);
        return true;
    case W::cellx: {
        TTextTableGrid::TRowDefinition &row = Definition(level);
        if (row.Cells.size() < 256)
            row.Cells.push_back({std::clamp(parameter, -RtfTableGeometry::MaxCellBoundary,
                                            RtfTableGeometry::MaxCellBoundary),
                                 FCellMerge});
        FCellMerge = TTextTableGrid::TMerge::None;
        return true;
    }
    case W::clmgf:
    case W::clvmgf:
        FCellMerge = TTextTableGrid::TMerge::None;
        return true;
    case W::clmrg:
        FCellMerge = TTextTableGrid::TMerge::ContinueHorizontal;
        return true;
    case W::clvmrg:
        FCellMerge = TTextTableGrid::TMerge::ContinueVertical;
        return true;
    default:
        return false;
    }
}

// Whether every font of the table reads in the document's code page, so that the font of the
// text does not matter.
bool TRtfTextReader::FontsAgree()
{
    if (FFontsAgree < 0) {
        FFontsAgree = std::all_of(FFontCharsets.begin(), FFontCharsets.end(), [this](auto entry) {
            const int codePage = CodePageOfCharset(entry.second);
            return codePage == 0 || codePage == FAnsiCodePage;
        });
    }
    return FFontsAgree > 0;
}

int32_t TRtfTextReader::CodePage()
{
    const TGroup &s = State();
    int32_t charset = -1;
    if (s.Dest == TDest::FontEntry || s.Dest == TDest::FontTable) {
        charset = FFontCharset;
    } else {
        if (!s.FontKnown && !FontsAgree())
            Decline("font of a style");
        const auto entry = FFontCharsets.find(s.Font < 0 ? FDefaultFont : s.Font);
        if (entry != FFontCharsets.end())
            charset = entry->second;
    }
    const int codePage = CodePageOfCharset(charset);
    return codePage ? codePage : FAnsiCodePage;
}

char16_t TRtfTextReader::Decode(unsigned char byte)
{
    const int32_t codePage = CodePage();
    // A lead byte waits for the next byte decoded, wherever it stands, and pairs with it in the
    // code page of that byte, as the model pairs them.
    if (FLeadByte >= 0) {
        const auto lead = static_cast<unsigned char>(FLeadByte);
        FLeadByte = -1;
        return CharOfBytePair(codePage, lead, byte);
    }
    const int32_t c = FDecoder.Decode(codePage, byte);
    if (c == TTextByteDecoder::KLeadByte) {
        FLeadByte = byte;
        return 0;
    }
    return static_cast<char16_t>(c);
}

} // namespace Rtf2Html
