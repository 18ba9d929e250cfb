#pragma once

#include <optional>
#include <string>
#include <vector>

// What the heading balloon of the document pane shows for the text selected under the mouse
// (the "@", its digits and the character after them). The window does the selecting and the
// showing; these functions decide.

// Whether the selection grows by another character: its last character is a digit.
bool ExtendsPlaceholderSelection(const std::string &selectedText);

// The number of the selected text: without its leading "@" and surrounding spaces, a whole
// decimal number; -1 when it is none (a comma or a line end after the digits).
long BalloonPairNumber(const std::string &selectedText);

struct THeadingBalloon
{
    std::string Text;
    bool NoInformation = false; // red, font size 11; otherwise yellow, size unchanged
};

// The balloon for the selected text, or none. With fewer than 2 information lines the
// three-line red message; otherwise the heading of the pair (line 2n-1, from 1). No balloon
// for pair 0 or a pair whose heading line does not exist or is empty.
std::optional<THeadingBalloon> HeadingBalloonFor(const std::string &selectedText,
                                                 const std::vector<std::string> &informationLines);
