#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The visible text of rich text, each character with the place in the raw text it comes
// from. It answers what a reader sees ("@12") next to what the merge sees in the raw text
// ("@1{\b 2}"): the template check finds the placeholders that formatting splits with it.
//
// Groups of the font, colour and style tables, document information, pictures, objects,
// headers, bullet texts and every "\*" destination are skipped
// (TRtfTokenizer::IsSkippedDestination). Paragraph and line breaks become LF, tabs and cells
// TAB; characters come as TRtfTokenizer gives them. Malformed rich text never fails.
class TRtfTextMap
{
public:
    explicit TRtfTextMap(const std::string &rawText);

    const std::string &Text() const { return FText; }
    // The position in the raw text of the character's source: the character itself, or the
    // backslash of the control word or symbol that produced it.
    std::size_t RawOffset(std::size_t index) const { return FOffsets[index]; }
    // Whether the character stands in the raw text as itself (not escaped, not produced by a
    // control word).
    bool IsLiteral(std::size_t index) const { return FLiteral[index]; }

private:
    void Parse(const std::string &raw);
    void Append(char c, std::size_t offset, bool literal);

    std::string FText;
    std::vector<std::size_t> FOffsets;
    std::vector<bool> FLiteral;
};
