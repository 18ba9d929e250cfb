#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Unicode text kept as UTF-8 in std::string, and the code page 1252 bytes of older files.
// Plain C++: the merge and the command line use it without Qt.

// Whether the bytes are valid UTF-8 (ASCII included; no surrogates, no overlong forms).
bool IsValidUtf8(std::string_view bytes);
// The character whose UTF-8 form starts at position, which moves past it. An invalid byte
// gives U+FFFD and moves one byte.
char32_t DecodeUtf8(std::string_view text, std::size_t &position);
// The character that ends just before position in valid UTF-8 text (0 at the start).
char32_t Utf8CharBefore(std::string_view text, std::size_t position);
void AppendUtf8(std::string &text, char32_t c);
// The number of characters of valid UTF-8 text.
std::size_t Utf8Length(std::string_view text);

// The character a code page 1252 byte stands for (bytes 1252 leaves undefined stand for the
// control character of the same number).
char32_t CharOf1252(unsigned char byte);
// The code page 1252 byte of a character; -1 when the code page has none.
int ByteOf1252(char32_t c);
std::string Utf8From1252(std::string_view bytes);

// UTF-16 code units of valid UTF-8 text.
std::u16string Utf16FromUtf8(std::string_view text);
// UTF-8 of UTF-16 code units; a surrogate without its other half becomes "?", as the window
// system's conversion makes it.
std::string Utf8FromUtf16(std::u16string_view text);

// Whether the character is a letter, digit or mark of a script that separates its words by
// spaces (Latin, Greek, Cyrillic, Hebrew, Arabic, the Indic scripts, ...): such a character
// right before an "@" glues it to a word ("Ref@1", "jo@1x.com"). Symbols, punctuation, spaces
// and the characters of scripts written without spaces (Chinese, Japanese, Korean, Thai, Lao,
// Khmer, Myanmar, Tibetan) never glue.
bool IsWordCharacterOfSpacedScript(char32_t c);
