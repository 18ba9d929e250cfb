#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// One token of rich text as it stands in the raw text: where it starts, how many bytes it takes
// and what it holds. What a token means (a character, a format, a destination) is the reader's
// business; the lexer only cuts the bytes.
struct TRtfToken
{
    enum class TKind {
        GroupStart,    // "{"
        GroupEnd,      // "}"
        ControlWord,   // "\name" or "\nameN", with the space that ends it
        ControlSymbol, // "\" and one other character: "\\", "\{", "\~", "\*", "\" + CR or LF, ...
        Hex,           // "\'hh"; Valid is false for a "\'" without two hex digits after it
        Unicode,       // "\uN"; Param is N as written, Code the UTF-16 unit it stands for
        Binary,        // "\binN" and the N bytes of data after it (fewer when the text ends)
        Text           // a run of bytes that are none of "{", "}", "\", CR and LF
    };

    TKind Kind = TKind::Text;
    std::size_t Offset = 0; // first byte in the raw text
    std::size_t Length = 0; // bytes in the raw text, from Offset
    // ControlWord: its letters (at most MaxWordLetters; further letters are taken and
    // ignored). Text: the run. Binary: the data.
    std::string_view Text;
    // ControlWord, Unicode, Binary: the number after the letters, clamped to
    // +-2147483647 and read from its first ten digits.
    bool HasParam = false;
    std::int32_t Param = 0;
    char Symbol = 0;        // ControlSymbol: the character after the backslash
    unsigned char Byte = 0; // Hex: the byte
    bool Valid = true;      // Hex: false for a broken escape, which stands for nothing
    char16_t Code = 0;      // Unicode: N, negative values taken modulo 65536

    bool IsWord(std::string_view name) const { return Kind == TKind::ControlWord && Text == name; }
};

// Cuts rich text into tokens, one at a time, over a text that the caller keeps alive. The same
// cutting serves the document reader, the converter's reader and the merge's scanner, so that
// "\'hh", "\uN", "\binN" and malformed escapes are read alike everywhere. The lexer keeps no
// group state: "\ucN" and the fallback characters of "\uN" are the reader's to count
// (FallbackEnd helps). Malformed input never fails: a backslash at the very end gives no token.
//
//     TRtfLexer lexer(raw);
//     TRtfToken token;
//     while (lexer.Next(token))
//         switch (token.Kind) { ... }
class TRtfLexer
{
public:
    static constexpr std::size_t MaxWordLetters = 32;

    explicit TRtfLexer(std::string_view raw, std::size_t from = 0) : FRaw(raw), FPosition(from) {}

    // The next token; false at the end of the text. Raw CR and LF between tokens are skipped.
    bool Next(TRtfToken &token);

    // Where the next token starts. Any position may be set; a position inside a token reads
    // the rest of the text from there.
    std::size_t Position() const { return FPosition; }
    void SetPosition(std::size_t position) { FPosition = position; }
    // The same lexer over a text that grew or moved (a reader that reads line by line).
    void Reset(std::string_view raw, std::size_t position)
    {
        FRaw = raw;
        FPosition = position;
    }
    std::string_view Raw() const { return FRaw; }

    // The position after `count` fallback characters of a "\uN" from `position` on: a byte of
    // text, a hex escape, a control symbol and a control word each count as one; a group's
    // brace or the end of the text ends the fallback early. Raw CR and LF do not count.
    std::size_t FallbackEnd(std::size_t position, int count) const;

private:
    void ReadControl(TRtfToken &token);
    void ReadControlWord(TRtfToken &token);

    std::string_view FRaw;
    std::size_t FPosition;
};
