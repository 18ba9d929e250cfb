#include "rtf2html/TTextByteDecoder.h"

#include "text/CodePages.h"
#include "text/UnicodeText.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace Rtf2Html {

namespace {

char16_t From1252(unsigned char byte)
{
    return static_cast<char16_t>(CharOf1252(byte));
}

// A converter to UTF-16, closed with the object.
class TConverter
{
public:
    explicit TConverter(const char *name) : FHandle(iconv_open("UTF-16LE", name)) {}
    ~TConverter()
    {
        if (Valid())
            iconv_close(FHandle);
    }
    TConverter(const TConverter &) = delete;
    TConverter &operator=(const TConverter &) = delete;

    bool Valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }
    // The first UTF-16 unit of one byte; 0 when the byte starts a character of more bytes,
    // U+FFFD when it makes none (or the system has no such converter).
    char16_t Unit(unsigned char byte)
    {
        if (!Valid())
            return 0xFFFD;
        iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
        char in = static_cast<char>(byte);
        char out[8];
        char *inPointer = &in;
        char *outPointer = out;
        std::size_t inLeft = 1;
        std::size_t outLeft = sizeof out;
        const std::size_t done = iconv(FHandle, &inPointer, &inLeft, &outPointer, &outLeft);
        const bool incomplete = done == static_cast<std::size_t>(-1) && errno == EINVAL;
        if (sizeof out - outLeft < 2)
            return incomplete ? 0 : 0xFFFD;
        return static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                     (static_cast<unsigned char>(out[1]) << 8));
    }

private:
    iconv_t FHandle;
};

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
    const char *name = IconvNameOfCodePage(codePage);
    if (!name)
        return nullptr;
    TConverter converter(name);
    TTable table;
    // The model keeps the bytes below 0x80 as they are except in the DOS and Macintosh pages.
    const bool asciiKept = codePage != 10000 && codePage != 437 && codePage != 850;
    for (int b = 0; b < 256; ++b)
        table[static_cast<std::size_t>(b)] = b < 0x80 && asciiKept
                                                 ? static_cast<char16_t>(b)
                                                 : converter.Unit(static_cast<unsigned char>(b));
    return &FTables.emplace(codePage, table).first->second;
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
