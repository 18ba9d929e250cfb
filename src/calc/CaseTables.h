#pragma once

// Character classes of the 256 bytes of code page 1252, as the text replacement uses them.

// The upper-case and lower-case forms of a byte (bytes without a 1252 counterpart stay).
unsigned char UpperCaseByte(unsigned char c);
unsigned char LowerCaseByte(unsigned char c);
// Whether the byte is an upper-case letter.
bool IsUpperCaseByte(unsigned char c);
// The bytes that bound a whole word: 1-47, 58-64, 91-95 and 97-126 (the lower-case letters
// included, the upper-case letters, digits, "`", byte 0 and bytes 127-255 not).
bool IsWordDelimiter(unsigned char c);
