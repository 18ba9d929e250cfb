#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What the heading balloon of the document pane shows for the placeholder under the mouse. The
// window reads the text under the mouse and shows the balloon; these functions decide.

// A placeholder in visible text (code page 1252 bytes), as the merge reads one in insert mode
// (TPlaceholderScanner): "@" followed by one or more digits, not glued to a letter or digit
// before it. Its number ends at the first non-digit.
struct TPlaceholderSpan
{
    std::size_t Start = 0; // the "@"
    std::size_t End = 0;   // just after the last digit
    long Number = -1;      // -1 when the digits do not fit an int
};

// The placeholder that the character at index belongs to (its "@" or one of its digits).
std::optional<TPlaceholderSpan> PlaceholderAt(const std::string &text, std::size_t index);

struct THeadingBalloon
{
    std::string Text;
    bool NoInformation = false; // red, font size 11; otherwise yellow, size unchanged
};

// The balloon for the placeholder of this pair number, or none. With fewer than 2 information
// lines the three-line red message; otherwise the heading of the pair (line 2n-1, from 1). No
// balloon for a number that does not fit, pair 0 or a pair whose heading line does not exist or
// is empty.
std::optional<THeadingBalloon> HeadingBalloonFor(long pairNumber,
                                                 const std::vector<std::string> &informationLines);
