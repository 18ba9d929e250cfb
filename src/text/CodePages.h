#pragma once

#include <array>

// The Windows code page of a rich text font's character set (\fcharsetN): 1252 for 0, 1251 for
// 204 and so on; 0 where the set names none (the default set 1, the symbol set 2, unknown
// numbers), so that the document's own code page applies.
int CodePageOfCharset(int charset);

// The name iconv knows a code page by, for the code pages that rich text is read in besides
// 1252; null for any other.
const char *IconvNameOfCodePage(int codePage);

// Each byte of a code page that IconvNameOfCodePage names, as the readers of rich text take it:
// ASCII as itself (but in the DOS and Macintosh pages, which the system's converter reads), 0 for
// a lead byte of a two-byte code page, U+FFFD for a byte that makes no character (every byte
// when the system has no such converter). The byte 0 is 0.
std::array<char16_t, 256> ByteTableOfCodePage(int codePage);

// The character of a lead byte and the byte after it in a two-byte code page; U+FFFD when they
// make none.
char16_t CharOfBytePair(int codePage, unsigned char lead, unsigned char trail);
