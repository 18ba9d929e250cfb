#pragma once

#include "rtf2html/RtfTextWords.h"
#include "rtf2html/TTextByteDecoder.h"
#include "rtf2html/TTextTableGrid.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

struct TRtfToken;

namespace Rtf2Html {

// The text that the document model holds after reading rich text, read without the model:
// one UTF-16 unit a document position, CR between paragraphs, U+2028 for a manual line break,
// U+FFFC for a picture, the paragraph mark that ends the data dropped as the model drops it.
// It follows the model's reading of groups, destinations, fonts and code pages, \uN and its
// fallback, fields, hidden text, pictures, footnotes (their text after the document's),
// symbol fields, text boxes and tables, nested ones too, laid out on the model's grid
// (TTextTableGrid); nested rows state their cells after them, so a first reading collects
// their definitions as the model's does. It passes over what the model passes over. Where the
// model builds structure of its own (rows without a definition, tables in text boxes, picture
// wrappers that hold more than their picture, footnotes in footnotes), or reads what the
// reader does not follow (text whose place in a table depends on its formatting), the reader
// declines: Read answers false, and the text must come from the model.
//
//     std::u16string text;
//     if (!TRtfTextReader(bytes).Read(text))
//         ... // read it with the document model
class TRtfTextReader
{
public:
    // data stays alive while the object reads it.
    explicit TRtfTextReader(std::string_view data) : FData(data) {}
    bool Read(std::u16string &text);
    // After Read declined: what the model would make of its own ("table", "picture", ...).
    const char *Declined() const { return FDeclined; }

    // Groups nested deeper than this are declined; the model reads them as any other up to
    // a greater depth.
    static constexpr size_t KMaxDepth = 32768;

    // Whether data is rich text (what the model reads as such).
    static bool IsRtf(std::string_view data) { return data.substr(0, 5) == "{\\rtf"; }

private:
    enum class TDest {
        Body,
        Skip,
        FontTable,
        FontEntry,
        ColorTable,
        StyleSheet,
        StyleEntry,
        ListTable,
        List,
        ListLevel,
        LevelText,
        ListOverrideTable,
        ListOverride,
        Pn,
        PnText,
        FieldInstruction,
        Picture,
        Footnote, // passed over where it stands, read after the text
    };
    struct TGroup
    {
        TDest Dest = TDest::Body;
        int UnicodeSkip = 1;
        int32_t Font = -1;     // -1: the default font
        bool FontKnown = true; // false after a style that may have set the font
        TDest UprParent = TDest::Skip;
        bool InUpr = false;
        size_t Field = 0; // 1-based index of the field the group belongs to, 0: none
        bool FieldOwner = false;
        bool InFieldResult = false;
        bool InShapeResult = false;
        bool InTable = false;        // the paragraph's \intbl
        int Itap = -1;               // its \itap, -1: not given
        int BaseDepth = 0;           // the depth of tables a text box stands in
        bool InTextShape = false;    // in a shape that holds a text box, read in place
        bool ShapeTextOwner = false; // the group of a text box's text
        bool CharChanged = false;    // a word in the group changed the characters' format
    };
    struct TField
    {
        std::u16string Instruction; // its first 1024 characters, as the model keeps them
        bool HasResult = false;
    };
    // A footnote's text: where it stands in the data, and the state it starts in.
    struct TNote
    {
        size_t Start = 0;
        size_t End = std::string_view::npos; // npos: to the end of the data
        int Number = 0;
        int UnicodeSkip = 1;
        int32_t Font = -1;
        bool FontKnown = true;
    };
    // Groups the model keeps as they stand: picture wrappers, their stand-ins, and shapes
    // without a text box, each shown by one object character.
    enum class TKeptKind { Wrapper, Fallback, Shape };
    // A kept group: where it opens, and what had been read then.
    struct TKept
    {
        size_t Depth = 0; // the depth of the stack in it; 0: none is open
        size_t Open = 0;
        TKeptKind Kind = TKeptKind::Wrapper;
        int Pictures = 0;
        long Events = 0;
    };
    struct TStyleEntry
    {
        int32_t Number = 0;
        bool CharStyle = false;
    };
    // An open table, for each level of nesting.
    struct TLevel
    {
        std::optional<TTextTableGrid> Grid; // none on the reading that numbers nested rows
        std::u16string *Text = nullptr;     // the current cell's text
        bool RowOpen = true;
        bool CellEntered = false;
        // The current cell is merged into another, whose text is Text: its first content
        // starts a paragraph there.
        bool Covered = false;
        int Nested = -1;                     // the current row's number among the nested rows begun
        TTextTableGrid::TRowDefinition Last; // the definition the last row was laid out by
    };
    bool ReadNestedRows();
    void Token(const TRtfToken &token);
    TGroup &State() { return FStack.back(); }
    bool Skipping() const
    {
        return FStack.back().Dest == TDest::Skip || FStack.back().Dest == TDest::Footnote;
    }
    bool SkipFallback();
    void PushGroup();
    void PopGroup();
    void ControlWord(TTextWord word, bool hasParameter, int32_t parameter);
    void StarredWord(TTextWord word, int32_t parameter);
    // Words of the header's tables and lists; true when the destination takes no other.
    bool HeaderWord(TTextWord word, int32_t parameter);
    bool Destination(TTextWord word);
    bool FormattingWord(TTextWord word, bool hasParameter, int32_t parameter);
    void BodyWord(TTextWord word, int32_t parameter);
    void ControlSymbol(char symbol);
    void HexByte(unsigned char byte);
    void TextRun(std::string_view run);
    void TextBytes(std::string_view bytes);
    void TextChar(char16_t c);
    void EndFontEntry();
    // The character of a symbol field without a result (TRtfTextReaderSymbol.cpp).
    void InsertSymbol(const std::u16string &instruction);
    bool TableWord(TTextWord word, int32_t parameter);

    // Where text goes (TRtfTextReaderPlaces.cpp): paragraphs, and the cells of tables.
    int Depth();
    // The depth of tables that the group's paragraph states (0: outside tables).
    static int ParagraphDepth(const TGroup &s)
    {
        return std::min(s.InTable ? std::max(1, s.Itap) : std::max(0, s.Itap), KMaxTableDepth);
    }
    // Text is about to be read at the current depth: text of another depth read before it is
    // flushed here (the model flushes it here, or with this text at the next flush, which is
    // the same place unless the depth changes again first).
    void Pend();
    // The model flushes the text read since its last flush at depth: makes its place and puts
    // it there.
    void FlushAt(int depth);
    void Prepare(bool forContent, int depth);
    void MaterializeBreak();
    bool LeaveTables(int depth);
    // Opens tables, begins rows and enters cells down to depth; true when it did.
    bool EnterTables(int depth);
    bool OpensHere(int depth) const;
    void OpenTable(int level);
    void BeginRow(TLevel &table, int level);
    void EnterCell(TLevel &table);
    void CloseTable();
    // The definition of a nested row as it begins: the first reading's, if it gave one.
    TTextTableGrid::TRowDefinition BeginNested(TLevel &table);
    TTextTableGrid::TRowDefinition &Definition(int level);
    void UseCoveredCell();
    void EndParagraph();
    void EndCell(int level);
    void EndRow(int level);
    void KeepNestedRow(const TLevel &table, int level);
    void CheckTableBudget() const;
    void EndDocument();
    // Reads data from `from` up to `to` (the lexer's tokens), until the group it is in ends.
    void Parse(size_t from, size_t to);
    // Footnotes (TRtfTextReaderPlaces.cpp): their marks, and their text after the document's.
    void BeginFootnote();
    void FootnoteMark();
    void AppendFootnotes();
    // Pictures (TRtfTextReaderPlaces.cpp): one shown when its group ends.
    void PictureData(std::string_view bytes);
    void EndPicture();
    // An object character where the model shows a picture or a group it keeps.
    void ShowObject();
    // Kept groups (TRtfTextReaderPlaces.cpp). The model keeps a \shppict group with the
    // one picture it shows, and the \nonshppict stand-in right after it with that picture too;
    // a wrapper that shows nothing, or a stand-in on its own, is an object of its own.
    // Whether the group is kept: the model keeps only a group of the body that the word opens,
    // outside other kept groups.
    // A shape is kept unless it holds the text of a text box (textWord), which is read where it
    // stands.
    bool BeginKept(TKeptKind kind, const char *textWord = nullptr);
    void BeginShape(const char *textWord);
    // The text of a text box: paragraphs of their own, in the table cell of the shape.
    void BeginShapeText();
    void EndKept();
    size_t GroupOpenBefore(size_t word) const;
    int32_t CodePage();
    bool FontsAgree();
    char16_t Decode(unsigned char byte);
    [[noreturn]] static void Decline(const char *reason);

    std::string_view FData;
    std::u16string *FText = nullptr;
    const char *FDeclined = "";
    std::vector<TGroup> FStack;
    std::vector<TField> FFields;
    bool FDone = false;
    size_t FTokenOffset = 0; // of the token being handled
    size_t FAfterToken = 0;  // where the next begins
    std::vector<TNote> FNotes;
    int FNoteNumber = 0;   // automatic footnote marks so far
    int FCurrentNote = -1; // the number of the footnote being read after the text
    bool FStarPending = false;
    int FSkipCount = 0;

    TTextByteDecoder FDecoder;
    int FLeadByte = -1; // a lead byte of a two-byte code page waiting for the byte after it
    int32_t FDefaultFont = 0;
    int32_t FAnsiCodePage = 1252;
    std::map<int32_t, int32_t> FFontCharsets; // font number: its \fcharset, -1: none
    int32_t FFontEntryNumber = -1;
    bool FFontNameDone = false;
    int32_t FFontCharset = -1;
    int FFontsAgree = -1;      // -1: not known since the font table last changed
    std::set<int32_t> FStyles; // the numbers of the paragraph styles
    TStyleEntry FStyleEntry;
    bool FLevelTextEmpty = true;
    bool FPictureKind = false; // the picture being read says what kind it is
    bool FPictureData = false; // and has data
    int FPictureNibble = -1;   // a hex digit waiting for its pair
    int FPicturesShown = 0;
    long FContentEvents = 0; // characters, pictures and breaks of the body read so far
    TKept FKept;
    size_t FWrapperEnd = std::string_view::npos; // after the wrapper that kept its picture

    bool FBreakPending = false;
    bool FParagraphHasContent = false;
    std::u16string FPending; // text read since the model last flushed
    int FPendingDepth = 0;   // the depth it was read at
    int FLooseDepth = -1;    // the depth the pending text must be flushed at, -1: any
    // No formatting changed since the pending text began: text read now joins it in the model.
    bool FPendingUniform = true;
    // Text was read after such a change: the model may have flushed the pending text's start
    // where it was read, and hold only its end.
    bool FPendingSplit = false;
    bool FJustLeftTable = false;

    static constexpr int KMaxTableDepth = RtfTableGeometry::MaxDepth;
    std::vector<TTextTableGrid::TRowDefinition> FDefinitions =
        std::vector<TTextTableGrid::TRowDefinition>(KMaxTableDepth);  // being read, per level
    TTextTableGrid::TMerge FCellMerge = TTextTableGrid::TMerge::None; // of the next cell
    std::vector<TLevel> FOpen;
    // Nested rows state their definition after their cells: a first reading collects them,
    // in the order the rows begin, for the second to lay each row out from its start.
    bool FCollecting = false;
    // Each definition met at a row's end once, however many rows end by it unchanged.
    std::vector<TTextTableGrid::TRowDefinition> FRowPool;
    static constexpr uint32_t KNoRow = UINT32_MAX;
    std::vector<uint32_t> FNestedRows; // per nested row: its definition in FRowPool
    std::vector<int> FPooled = std::vector<int>(KMaxTableDepth, -1); // per level: the pooled
                                                                     // definition, -1: changed
    bool FKnowsRows = false; // the first reading stated rows: FRowPool and FNestedRows are its
    int FNestedBegun = 0;
    std::u16string *FDocument = nullptr; // where text outside tables goes
};

} // namespace Rtf2Html
