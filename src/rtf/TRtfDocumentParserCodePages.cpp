// Code pages of the document reader: the bytes of text and of \'hh escapes decoded in the
// code page of their font or of the document, lead bytes of double-byte code pages included.

#include "rtf/TRtfDocumentParser.h"

#include "rtf/TCodePage1252.h"
#include "text/CodePages.h"

namespace RtfReading {

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
    if (!IconvNameOfCodePage(codePage))
        return nullptr;
    return &FTables.emplace(codePage, ByteTableOfCodePage(codePage)).first->second;
}

char16_t TRtfDocumentParser::Decode(unsigned char byte, int codePage)
{
    if (FLeadByte >= 0) {
        const auto lead = static_cast<unsigned char>(FLeadByte);
        FLeadByte = -1;
        return CharOfBytePair(codePage, lead, byte);
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
