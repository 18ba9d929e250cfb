#pragma once

#include "assembly/TRtfTokenizer.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What a placeholder is, for the merge, the template check and the split finder alike: an
// "@" followed by one or more digits, its number ending at the first character that is not a
// digit, and not glued to a letter or digit of the visible text before it ("jo@1x.com" and
// "No.1@2" hold none, "@1@2" only @1). Only letters and digits of scripts that separate words
// by spaces glue: after a symbol, punctuation, any space or a Chinese, Japanese, Korean or Thai
// character ("→@1", "田@1", "「@1」") a placeholder stands. Any other "@" is ordinary text.
//
// In rich text (a text that starts with "{\rtf") the visible text is what a reader of it sees:
// control words that stand for no character ("\fs24"), group braces and raw line ends are no
// part of it; "\'e9" and "\u233" are the letter they stand for; "\\", "\{" and "\}" are
// visible characters that are no letters. The "@" and its digits must stand in the raw text as
// themselves. In plain text every character is visible: it is UTF-8 when its bytes are valid
// UTF-8, else code page 1252.
//
// Overwrite mode also takes the placeholders glued to the text before them ("Ref@1"): forms
// written for it rely on that.
class TPlaceholderScanner
{
public:
    struct TMatch
    {
        std::size_t Position = 0; // of the "@" in the scanned text
        std::string Text;         // "@" and the digits, as written ("@07")
        long Number = 0;          // the digits' value; LONG_MAX when it is larger
        int UnicodeSkip = 1;      // rich text: the "\ucN" in force at the placeholder
        // Rich text: the placeholder ends a control word that stands right before it ("\fs24@3"),
        // so that what takes its place must start with the control word's delimiter.
        bool AfterControlWord = false;
        long Origin = 0; // the pair whose value brought the placeholder in; 0 for the template
    };

    // Plain is code page 1252 text, PlainUtf8 UTF-8 text (ASCII included).
    enum class TTextKind { Rich, Plain, PlainUtf8 };
    static TTextKind KindOf(const std::string &text);

    // Scans text (which must outlive the scanner) from the position from, a place where no
    // control word, escape or placeholder is cut; the visible text before it counts as not
    // glued.
    TPlaceholderScanner(const std::string &text, TTextKind kind, bool gluedCounts,
                        std::size_t from = 0);

    // The next placeholder; none at the end of the text.
    std::optional<TMatch> Next();

private:
    enum class TBefore { Loose, Glued };
    // Text of a group that is no part of the flow (a bookmark's name, a field's instruction)
    // has a context of its own: after the group, the text before it counts again.
    struct TGroup
    {
        bool Skipped = false;
        TBefore BeforeGroup = TBefore::Loose;
    };

    std::optional<TMatch> NextInPlain();
    std::optional<TMatch> NextInRich();
    // The rich text's characters that stand as themselves from the tokenizer's position on,
    // read in place: the bulk of most templates.
    std::optional<TMatch> NextInLiteralRun();
    // How a character of the visible text leaves the text before the next one.
    static TBefore BeforeOf(char32_t c);
    // The character of plain text that ends right before position.
    char32_t PlainCharBefore(std::size_t position) const;
    // The placeholder whose "@" stands at position, if the digits follow and the text before
    // lets it be one. Moves past its digits when it is one.
    std::optional<TMatch> TakeAt(std::size_t position, std::size_t &next);
    // The group the scanner is in: the text outside every group, or the innermost open one.
    TGroup &Group() { return FGroups.empty() ? FOutermost : FGroups.back(); }

    const std::string &FText;
    TTextKind FKind;
    bool FGluedCounts;
    std::size_t FPosition;
    TBefore FBefore = TBefore::Loose;
    std::optional<TRtfTokenizer> FTokens;
    // Kept apart from the open groups so that a scanner costs no allocation until a group
    // opens (the merge scans every value with one).
    TGroup FOutermost;
    std::vector<TGroup> FGroups; // the open groups
};
