#pragma once

#include "rtf/TRtfLexer.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Raw rich text read one token at a time, for the readers of document assembly that need to
// know what a reader of the text sees at a place of the raw text (the visible text map, the
// placeholder scanner). Characters come out as code page 1252 bytes: "\'hh", "\uN" (its
// fallback characters dropped as "\ucN" says), "\\", "\{", "\}", "\~", "\_" and the control
// words that stand for one character (\par, \line, \tab, \emdash, ...). "\binN" data and raw
// line ends are skipped. Malformed rich text never fails: what can be read is read.
//
//     TRtfTokenizer tokens(raw);
//     TRtfTokenizer::TToken token;
//     while (tokens.Next(token))
//         if (token.Kind == TRtfTokenizer::TKind::Char) ...
class TRtfTokenizer
{
public:
    enum class TKind {
        GroupStart,  // "{"
        GroupEnd,    // "}"
        ControlWord, // a control word that stands for no character; Word and Param
        Destination, // "\*": the group is to be ignored by a reader that does not know it
        Char         // a character of the text; Char, Literal and OutsideCodePage
    };

    struct TToken
    {
        TKind Kind = TKind::Char;
        std::size_t Offset = 0; // raw position of its first byte (the backslash of an escape)
        std::string_view Word;  // in the raw text
        bool HasParam = false;
        long Param = 0;
        char Char = 0;
        bool Literal = false;         // the character stands in the raw text as itself
        bool OutsideCodePage = false; // a "\uN" that code page 1252 cannot hold (Char is "?")
        char32_t Code = 0;            // the character (a UTF-16 unit for "\uN" above U+FFFF)
    };

    // The raw text must outlive the tokenizer.
    explicit TRtfTokenizer(const std::string &raw, std::size_t from = 0);

    // Whether a group that starts with this control word holds no text of the document's flow
    // (font and colour tables, document information, pictures, headers, bookmarks, ...).
    static bool IsSkippedDestination(std::string_view word);

    // The next token; false at the end of the text.
    bool Next(TToken &token);
    // Where the next token starts. Setting it keeps the group state: only for a place that
    // the caller knows to be a token boundary within the same group.
    std::size_t Position() const;
    void SetPosition(std::size_t position);
    // The end of the run of characters from Position() on that Next would give one at a time
    // as Char tokens standing in the raw text as themselves: a caller that only needs those
    // bytes may read the run in place and SetPosition to its end.
    std::size_t LiteralRunEnd() const;
    // The "\ucN" in force at Position(): how many fallback characters follow a "\uN" there.
    int UnicodeSkipHere() const
    {
        return FUnicodeSkip.empty() ? FOutermostUnicodeSkip : FUnicodeSkip.back();
    }

private:
    // The meaning of a control word or symbol to this reader; false when it gives no token.
    bool ControlWord(const TRtfToken &read, TToken &token);
    bool ControlSymbol(const TRtfToken &read, TToken &token);
    // Gives the character unless it is a fallback character of "\uN" still to be dropped.
    bool Emit(TToken &token, char c, std::size_t offset, bool literal, bool outside = false,
              char32_t code = 0);

    // "\ucN" of the group: of the text outside every group, or of the innermost open one.
    int &UnicodeSkip()
    {
        return FUnicodeSkip.empty() ? FOutermostUnicodeSkip : FUnicodeSkip.back();
    }

    TRtfLexer FLexer;
    // The rest of a run of text whose characters are being given one at a time.
    std::size_t FRunAt = 0;
    std::size_t FRunEnd = 0;
    // Kept apart from the open groups' so that a tokenizer costs no allocation until a group
    // opens (the merge reads every value with one).
    int FOutermostUnicodeSkip = 1;
    std::vector<int> FUnicodeSkip; // of every open group
    int FPendingSkip = 0;          // fallback characters after a "\uN" still to drop
};
