#pragma once

#include <string>

// Replacement of every occurrence of a text in a string, anywhere or as a whole word only.
// Use the one shared instance StringManager.
class TStringManager
{
public:
    // Replaces the occurrences of SearchText in TargetText (changed in place) by ReplaceText
    // and returns how many were replaced. The scan resumes after each inserted text, so
    // inserted text is never searched again and matches never overlap.
    // IgnoreCase: compare the code page 1252 upper-case forms.
    // WholeWord: the match must be bounded by the string's ends or by word delimiters.
    // AdaptCase: the replacement takes over the case of the matched characters.
    int Replace(const std::string &SearchText, const std::string &ReplaceText,
                std::string &TargetText, bool IgnoreCase, bool WholeWord, bool AdaptCase) const;
};

extern TStringManager StringManager;
