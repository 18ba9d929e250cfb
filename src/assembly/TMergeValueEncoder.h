#pragma once

#include "assembly/TPlaceholderScanner.h"

#include <string>

// How a value (Unicode text, UTF-8) is written into the merge text so that a reader of the
// merged document sees exactly the characters of the information line.
//
// In rich text a value is text, never rich text: "\", "{" and "}" are escaped, a tab becomes
// "\tab", and every character outside ASCII is written as "\uN" (characters outside the Basic
// Multilingual Plane as their UTF-16 pair) followed by the fallback characters that the "\ucN"
// in force at the placeholder expects: the character's code page 1252 byte where the template
// is written in that code page and has one, else "?". A plain-text template keeps its own
// encoding: UTF-8 stays UTF-8; in code page 1252 a character the code page lacks becomes "?".
class TMergeValueEncoder
{
public:
    explicit TMergeValueEncoder(const std::string &mergeText);

    TPlaceholderScanner::TTextKind Kind() const { return FKind; }
    // The value as it stands in the merge text at a place where "\ucN" is unicodeSkip.
    std::string Encode(const std::string &value, int unicodeSkip) const;

private:
    void AppendRich(std::string &out, char32_t c, int unicodeSkip) const;

    TPlaceholderScanner::TTextKind FKind;
    bool FAnsi1252 = true; // the rich text's own code page is 1252
};
