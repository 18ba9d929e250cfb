#pragma once

#include <cstdint>
#include <string>

namespace Rtf2Html {

// The character and paragraph format in force at a point of the rich text. A plain value:
// every open group keeps a copy.
struct TRtfFormat
{
    enum class TScope { Text, Par, All };
    // The colour field when no colour is set; otherwise it holds 0xRRGGBB.
    static constexpr int32_t KNoColour = -1;

    bool Hidden = false;
    bool Caps = false;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Superscript = false;
    bool Subscript = false;
    bool Strike = false;
    int32_t Font = -1;
    int32_t Colour = KNoColour;
    int32_t Size = -1;
    bool Right = false;
    bool Center = false;
    // The code page of the current font's hex escapes, 0 for the document's default; and
    // how many characters stand after a \uN for readers without Unicode. Neither has a
    // tag, and both end with their group.
    int32_t CodePage = 0;
    int32_t UnicodeSkip = 1;

    // Back to the reset values: Text resets hidden to size, Par the alignment, All both.
    void Reset(TScope scope);
    // Every field with a tag, and hidden, takes part: a group that changes only caps, the code
    // page or the skip count is not restored by the comparison.
    bool DiffersFrom(const TRtfFormat &other) const;
    // The colour as written in the page: "#" and six upper-case hexadecimal digits.
    static std::string ColourText(int32_t colour);
};

} // namespace Rtf2Html
