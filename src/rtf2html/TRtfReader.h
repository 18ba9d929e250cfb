#pragma once

#include "rtf2html/TRtfFormat.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
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
    struct TWord
    {
        std::string Text;            // letters, digits and "-"
        std::string Letters;         // the leading letters
        std::string Param;           // the rest
        size_t Start;                // position of the backslash
        const char *Known = nullptr; // canonical text when the reader knows the word

        bool Is(const char *text) const { return Known && std::strcmp(Known, text) == 0; }
    };

    // The current text.
    bool ReadNextLine();
    bool AppendLine();
    bool Ensure(size_t count);
    size_t FindAny(size_t from, const char *characters);
    TWord ReadWord();
    bool IsFirstBinOfLine(size_t position);
    void SkipGroup();
    void SkipCharacters(uint64_t count);
    void SkipNestedGroup();
    void PutInFront(const std::string &text);

    // The main reader.
    void EndGroup(std::vector<TRtfFormat> &stack);
    void Backslash();
    void TextItem(const std::string &item, bool withRun = false);
    void AppendPlainRun(std::string &html);
    bool HexItem(std::string &item);
    void MainWord(const TWord &word);
    std::string DoControlWord(const TWord &word, TRtfFormat &format);
    std::string Indent(const TWord &word);
    void Destination();
    void ReadNumbering();
    void ApplyStyle(const std::string &digits);

    // Tables of the document.
    void ReadFontTable();
    void ReadColorTable();
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
    size_t FPos = 0;       // reading position in FText
    size_t FLineStart = 0; // where the current line starts in FText
    unsigned FVersion = 0; // changes whenever positions in FText stop being valid
    bool FAppend = false;  // further lines are appended rather than replacing the line
    bool FAtEnd = false;
    size_t FBinFrom = 0, FBinFound = 0;
    unsigned FBinVersion = ~0u;

    int FFontCount = 0;
    std::vector<std::string> FColorList;
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
};

} // namespace Rtf2Html
