#pragma once

#include <array>
#include <cstdint>
#include <map>

namespace Rtf2Html {

// Bytes of rich text as the characters the document model reads them as: code page 1252 by
// its own table, the other code pages it knows by a table of the system's converter, one a
// code page; any other code page reads as 1252. Lead bytes of two-byte code pages are not
// decoded alone: Decode says so, and the reader pairs them with the byte after them.
class TTextByteDecoder
{
public:
    // Decode's answer for a lead byte.
    static constexpr int32_t KLeadByte = -1;

    // The code page the model takes for a document's \ansicpgN: N when it knows it, else 1252.
    static int32_t DocumentCodePage(int32_t codePage);
    // The UTF-16 unit of byte in codePage, 0 for none (NUL), KLeadByte for a lead byte.
    int32_t Decode(int32_t codePage, unsigned char byte);

private:
    using TTable = std::array<char16_t, 256>;
    // The table of a code page, nullptr for one the model reads as 1252.
    const TTable *Table(int32_t codePage);

    std::map<int32_t, TTable> FTables;
};

} // namespace Rtf2Html
