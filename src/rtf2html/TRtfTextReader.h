#pragma once

#include "rtf2html/RtfTextWords.h"
#include "rtf2html/TTextByteDecoder.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct TRtfToken;

namespace Rtf2Html {

// The text that the document model holds after reading rich text, read without the model:
// one UTF-16 unit a document position, CR between paragraphs, U+2028 for a manual line break,
// the paragraph mark that ends the data dropped as the model drops it. It follows the model's
// reading of groups, destinations, fonts and code pages, \uN and its fallback, fields and
// hidden text, and passes over what the model passes over. Where the model builds structure
// of its own (tables, pictures and objects it shows, shapes, footnotes, symbol fields without
// a result, lead bytes of two-byte code pages, lone halves of a surrogate pair), the reader
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
    };
    struct TField
    {
        std::string Instruction; // lower-case ASCII letters, the rest as '?'
        bool HasResult = false;
    };
    struct TStyleEntry
    {
        int32_t Number = 0;
        bool CharStyle = false;
        bool Table = false; // puts its paragraphs in a table
    };
    void Token(const TRtfToken &token);
    TGroup &State() { return FStack.back(); }
    bool Skipping() const { return FStack.back().Dest == TDest::Skip; }
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
    void EndParagraph();
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
    bool FStarPending = false;
    int FSkipCount = 0;

    TTextByteDecoder FDecoder;
    int32_t FDefaultFont = 0;
    int32_t FAnsiCodePage = 1252;
    std::map<int32_t, int32_t> FFontCharsets; // font number: its \fcharset, -1: none
    int32_t FFontEntryNumber = -1;
    bool FFontNameDone = false;
    int32_t FFontCharset = -1;
    int FFontsAgree = -1;            // -1: not known since the font table last changed
    std::map<int32_t, bool> FStyles; // paragraph style number: whether it is a table's
    TStyleEntry FStyleEntry;
    bool FLevelTextEmpty = true;

    bool FBreakPending = false;
    bool FParagraphHasContent = false;
};

} // namespace Rtf2Html
