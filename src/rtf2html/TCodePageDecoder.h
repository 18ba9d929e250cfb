#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace Rtf2Html {

// Turns the bytes of hex escapes into characters, in the code page of the font they are
// written in. The page itself is in code page 1252, so bytes of that code page (and of fonts
// whose code page is not known) are written as they are; those of other code pages become
// numeric character references. Two-byte code pages take a lead byte and its trail byte
// from two escapes in a row.
class TCodePageDecoder
{
public:
    // The page's own code page.
    static constexpr int32_t KPageCodePage = 1252;

    TCodePageDecoder() = default;
    ~TCodePageDecoder();
    TCodePageDecoder(const TCodePageDecoder &) = delete;
    TCodePageDecoder &operator=(const TCodePageDecoder &) = delete;

    // The code page of a font's character set (\fcharset), 0 for one that names none
    // (the default set, the symbol set and unknown ones).
    static int32_t OfCharset(int32_t charset);
    // Whether the bytes of the code page go to the page as they are.
    bool KeepsBytes(int32_t codePage);

    // The character of byte in codePage: a code point, kNone while a lead byte waits for
    // its trail byte, U+FFFD for a byte the code page does not define.
    static constexpr int32_t KNone = -1;
    int32_t Decode(int32_t codePage, unsigned char byte);
    // A lead byte that got no trail byte is dropped.
    void Interrupt() { FLead = -1; }

    // The text of an item that renders code point c: the character itself below 128, the
    // hex item of its byte for the other characters of code page 1252, a numeric character
    // reference for the rest. Empty for characters a page cannot hold (NUL and the control
    // characters other than tab and line breaks, lone surrogates).
    static std::string ItemOf(int32_t c);
    // Bytes in codePage as text of an attribute value: '&', '<', '>' and '"' escaped,
    // other bytes as KeepsBytes says.
    std::string AttributeText(const std::string &bytes, int32_t codePage);

private:
    // The conversion of codePage to UTF-32, nullptr when the system has none.
    void *Converter(int32_t codePage);

    std::map<int32_t, void *> FConverters;
    int FLead = -1;
    int32_t FLeadPage = 0;
};

} // namespace Rtf2Html
