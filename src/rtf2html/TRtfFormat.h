#pragma once

#include <cstdint>
#include <string>

namespace Rtf2Html {

// The character and paragraph format in force at a point of the rich text.
struct TRtfFormat
{
    enum class TScope { Text, Par, All };

    bool Hidden = false;
    bool Caps = false;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Superscript = false;
    bool Subscript = false;
    bool Strike = false;
    int32_t Font = -1;
    std::string Colour = "none";
    int32_t Size = -1;
    bool Right = false;
    bool Center = false;

    // Back to the reset values: Text resets hidden to size, Par the alignment, All both.
    void Reset(TScope scope);
    // Every field but caps takes part: a group that changes only caps is not restored.
    bool DiffersFrom(const TRtfFormat &other) const;
};

} // namespace Rtf2Html
