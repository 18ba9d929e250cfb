#pragma once

#include "assembly/TMergeResult.h"

#include <string>
#include <vector>

// Placeholders that a reader sees whole but that the rich text splits with groups or control
// words ("{@}{10}", as writers put "@10" in a right-to-left paragraph). Where nothing between
// the characters changes how the text reads (groups, fonts, languages, direction, revision
// marks), the digits are moved next to their "@" so that the merge finds the placeholder;
// where formatting that shows lies between them ("@1{\b 0}"), the placeholder stays as it is
// and is reported.
class TSplitPlaceholders
{
public:
    // Joins what can be joined in the merge text, the same in either mode; returns the
    // placeholders left split that the mode takes (glued ones too when gluedCounts), with
    // their lines. Plain text has none.
    static std::vector<TMergeNote> Join(std::string &mergeText, bool gluedCounts);
};
