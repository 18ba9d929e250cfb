#pragma once

#include "rtf/TRtfLexer.h"
#include "rtf2html/RtfWords.h"
#include "rtf2html/TCodePageDecoder.h"
#include "rtf2html/TRtfFormat.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Rtf2Html {

class THtmlWriter;
class TRtfLineSource;

// The input side of the converter: reads the rich text line by line in one pass, keeps the
// format of every open group, reads the font and colour tables and the style sheet, skips
// destinations without body text, follows paragraph numbering and tables, and hands every
// piece of text and markup to the writer. Groups are kept on explicit stacks, so any depth
// of nesting is read without recursion.
class TRtfReader
{
public:
    TRtfReader(THtmlWriter &writer, TRtfLineSource &source);

    // Reads to the end of the input or to the "}" that closes the outermost level.
    void Run();
    // The top-level format (after an error: the format in force when reading stopped).
    const TRtfFormat &Format() const { return FFormat; }

    // Drops the layout-only words of a style and joins it to its base.
    static std::string CleanStyleControls(const std::string &base, const std::string &own);

private:
    enum class TTableState { InCell, AfterCell, AfterRow, Ended };
    struct TTableGroup
    {
        TRtfFormat Saved;
        size_t Open;      // position of the "{"
        unsigned Version; // text version the position belongs to
    };
    // A control word; its texts lie in the line and stay valid until the line changes.
    struct TWord
    {
        TWordId Id = TWordId::Unknown;
        std::string_view Text;  // letters, digits and "-"
        size_t LetterCount = 0; // the leading letters of Text
        size_t Start = 0;       // position of the backslash

        bool Is(TWordId id) const { return Id == id; }
        std::string_view Letters() const { return {Text.data(), LetterCount}; }
        // The rest: digits and "-".
        std::string_view Param() const
        {
            return {Text.data() + LetterCount, Text.size() - LetterCount};
        }
    };

    // The current text.
    bool ReadNextLine();
    bool AppendLine();
    bool Ensure(size_t count);
    size_t FindAny(size_t from, const char *characters);
    // Cuts the token at the reading position without moving on; false when none starts there
    // (the line's end, or a backslash that ends it).
    bool TokenAtPosition(TRtfToken &token) const
    {
        TRtfLexer lexer(FText, FPos);
        return lexer.Next<TRtfWordRule::LowerCaseRun>(token);
    }
    // The control word in token, which starts at the reading position; the reader goes on
    // after it and the space that ended it.
    TWord TakeWord(const TRtfToken &token)
    {
        TWord word;
        word.Start = FPos;
        word.Text = token.Text;
        word.LetterCount = token.LetterCount;
        word.Id = FindWord(word.Text);
        FPos += token.Length;
        return word;
    }
    TWord ReadWord();
    bool IsFirstBinOfLine(size_t position);
    void SkipGroup();
    void SkipCharacters(uint64_t count);
    void SkipNestedGroup();
    void PutInFront(const std::string &text);

    // The main reader.
    void EndGroup(std::vector<TRtfFormat> &stack);
    void Backslash();
    void TextItem(std::string_view item, bool withRun = false);
    void AppendPlainRun(std::string &html);
    void MainWord(const TWord &word);
    void Destination();

    // Characters by hex escape or by number.
    bool HexItem(std::string &item);
    void HexCharacter(const TRtfFormat &format, std::string &item);
    // A hex escape read into FItem: false when it gives no character. A broken escape in
    // visible text fails the conversion.
    bool HexEscape(const TRtfFormat &format);
    bool UnicodeWord(const TWord &word, TRtfFormat &format, std::string &item);
    bool SkipFallback(const TRtfToken &token);
    int32_t CodePageOf(const TRtfFormat &format) const;

    // Control words of the body text.
    void DoControlWord(const TWord &word, TRtfFormat &format, std::string &out);
    void Indent(const TWord &word, std::string &out);

    // Paragraph numbering.
    void ReadNumbering();

    // The font and colour tables.
    void ReadFontTable();
    struct TFontEntry;
    void ReadFontWord(TFontEntry &entry);
    void ReadAltName(TFontEntry &entry);
    void StoreFont(TFontEntry &entry);
    void ReadColorTable();

    // The style sheet.
    void ApplyStyle(std::string_view digits);
    void ReadStyleSheet();
    void ReadStyle(int32_t number, bool afterNumber);
    void StoreStyleName(const std::string &name, int32_t number);

    // Tables of text.
    void ReadTable();
    void CutGroup(const std::vector<TTableGroup> &stack,
                  std::vector<std::pair<size_t, size_t>> &cuts);
    void RereadAfterTable(const std::vector<std::pair<size_t, size_t>> &cuts);

    THtmlWriter &W;
    TRtfLineSource &FSource;
    TRtfFormat FFormat;

    std::string FText;     // the line being read, with any lines appended to it
    std::string FSpare;    // the next line, read here and swapped in
    size_t FPos = 0;       // reading position in FText
    size_t FLineStart = 0; // where the current line starts in FText
    unsigned FVersion = 0; // changes whenever positions in FText stop being valid
    bool FAppend = false;  // further lines are appended rather than replacing the line
    bool FAtEnd = false;
    size_t FBinFrom = 0, FBinFound = 0;
    unsigned FBinVersion = ~0u;

    int FFontCount = 0;
    std::map<int32_t, int32_t> FFontCodePages; // font number: code page of its hex escapes
    int32_t FAnsiCodePage = TCodePageDecoder::KPageCodePage;
    int32_t FDefaultFont = -1;
    TCodePageDecoder FDecoder;
    int32_t FFallbackLeft = 0;       // characters after a \uN still to pass over
    int32_t FHighSurrogate = 0;      // the first half of a character beyond 16 bits
    std::vector<int32_t> FColorList; // 0xRRGGBB
    std::vector<std::string> FStyleTable;
    std::array<int32_t, 10> FTocStyles;
    std::array<int32_t, 10> FHeadingStyles;
    int64_t FIndentTotal = 0;
    bool FIndentOpen = true;
    bool FNumberedList = false;
    bool FNumberFormatSeen = false;
    int64_t FListCounter = -1;
    std::string FListTextBefore;
    std::string FListTextAfter;
    std::string FPendingNumberText;
    bool FBookmarkParagraph = false;

    // Buffers used over and over, so that reading allocates nothing per item or word.
    std::string FItem;    // a hex item
    std::string FOut;     // output of a text item or a tag change
    std::string FWordOut; // output of a control word
};

} // namespace Rtf2Html
