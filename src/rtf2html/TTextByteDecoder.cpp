#include "rtf2html/TTextByteDecoder.h"

#include "text/CodePages.h"
#include "text/UnicodeText.h"

namespace Rtf2Html {

namespace {

char16_t From1252(unsigned char byte)
{
    return static_cast<char16_t>(CharOf1252(byte));
}

} // namespace

int32_t TTextByteDecoder::DocumentCodePage(int32_t codePage)
{
    return codePage == 1252 || IconvNameOfCodePage(codePage) ? codePage : 1252;
}

const TTextByteDecoder::TTable *TTextByteDecoder::Table(int32_t codePage)
{
    const auto found = FTables.find(codePage);
    if (found != FTables.end())
        return &found->second;
    if (!IconvNameOfCodePage(codePage))
        return nullptr;
    return &FTables.emplace(codePage, ByteTableOfCodePage(codePage)).first->second;
}

int32_t TTextByteDecoder::Decode(int32_t codePage, unsigned char byte)
{
    if (codePage == 1252)
        return From1252(byte);
    const TTable *table = Table(codePage);
    if (!table)
        return From1252(byte);
    const char16_t c = (*table)[byte];
    return c == 0 && byte != 0 ? KLeadByte : c;
}

} // namespace Rtf2Html
