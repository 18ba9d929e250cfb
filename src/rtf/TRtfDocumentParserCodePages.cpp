// Code pages of the document reader: the bytes of text and of \'hh escapes decoded in the
// code page of their font or of the document, lead bytes of double-byte code pages included.

#include "rtf/TRtfDocumentParser.h"

#include "rtf/TCodePage1252.h"
#include "text/CodePages.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace RtfReading {

namespace {

// Converts bytes of a code page to one UTF-16 character; false when they make none.
bool IconvDecode(const char *name, const char *bytes, std::size_t length, char16_t *result,
                 bool *incomplete)
{
    iconv_t converter = iconv_open("UTF-16LE", name);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    char in[4];
    std::memcpy(in, bytes, length);
    char out[8];
    char *inPointer = in;
    char *outPointer = out;
    std::size_t inLeft = length;
    std::size_t outLeft = sizeof out;
    const std::size_t done = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
    const int error = done == static_cast<std::size_t>(-1) ? errno : 0;
    iconv_close(converter);
    *incomplete = error == EINVAL;
    if (sizeof out - outLeft < 2)
        return false;
    *result = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                    (static_cast<unsigned char>(out[1]) << 8));
    return true;
}

} // namespace

int TRtfDocumentParser::CodePage() const
{
    const GroupState &s = FStack.back();
    int charset = -1;
    if (s.Dest == Destination::FontEntry || s.Dest == Destination::FontTable) {
        charset = FFontCharset;
    } else {
        const auto entry = FFonts.constFind(s.Char.Font < 0 ? FDefaultFont : s.Char.Font);
        if (entry != FFonts.constEnd())
            charset = entry->Charset;
    }
    const int codePage = CodePageOfCharset(charset);
    return codePage ? codePage : FAnsiCodePage;
}

const std::array<char16_t, 256> *TRtfDocumentParser::Table(int codePage)
{
    const auto found = FTables.find(codePage);
    if (found != FTables.end())
        return &found->second;
    const char *name = IconvNameOfCodePage(codePage);
    if (!name)
        return nullptr;
    std::array<char16_t, 256> table;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        char16_t c = 0xFFFD;
        bool incomplete = false;
        if (b < 0x80 && codePage != 10000 && codePage != 437 && codePage != 850)
            c = static_cast<char16_t>(b);
        else if (!IconvDecode(name, &byte, 1, &c, &incomplete))
            c = incomplete ? 0 : 0xFFFD; // 0 marks a lead byte
        table[b] = c;
    }
    return &FTables.emplace(codePage, table).first->second;
}

char16_t TRtfDocumentParser::Decode(unsigned char byte, int codePage)
{
    if (FLeadByte >= 0) {
        const char bytes[2] = {static_cast<char>(FLeadByte), static_cast<char>(byte)};
        FLeadByte = -1;
        char16_t c = 0xFFFD;
        bool incomplete = false;
        if (const char *name = IconvNameOfCodePage(codePage))
            IconvDecode(name, bytes, 2, &c, &incomplete);
        return c;
    }
    if (codePage == 1252)
        return TCodePage1252::ToUnicode(byte);
    const std::array<char16_t, 256> *table = Table(codePage);
    if (!table)
        return TCodePage1252::ToUnicode(byte);
    const char16_t c = (*table)[byte];
    if (c == 0 && byte != 0)
        FLeadByte = byte;
    return c;
}

void TRtfDocumentParser::SetAnsiCodePage(int codePage)
{
    FAnsiCodePage = codePage == 1252 || IconvNameOfCodePage(codePage) ? codePage : 1252;
}

} // namespace RtfReading
