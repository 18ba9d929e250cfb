#include "rtf2html/TTextByteDecoder.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace Rtf2Html {

namespace {

// The 1252 characters of bytes 0x80 to 0x9F; the other bytes are their own code point.
constexpr std::array<char16_t, 32> K1252HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t From1252(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? K1252HighControls[byte - 0x80] : byte;
}

// The converter names of the code pages the model reads besides 1252.
const char *ConverterName(int32_t codePage)
{
    switch (codePage) {
    case 437:
        return "CP437";
    case 850:
        return "CP850";
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "GBK";
    case 949:
        return "CP949";
    case 950:
        return "BIG5";
    case 1250:
        return "CP1250";
    case 1251:
        return "CP1251";
    case 1253:
        return "CP1253";
    case 1254:
        return "CP1254";
    case 1255:
        return "CP1255";
    case 1256:
        return "CP1256";
    case 1257:
        return "CP1257";
    case 1258:
        return "CP1258";
    case 10000:
        return "MACINTOSH";
    default:
        return nullptr;
    }
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
    return codePage == 1252 || ConverterName(codePage) ? codePage : 1252;
}

const TTextByteDecoder::TTable *TTextByteDecoder::Table(int32_t codePage)
{
    const auto found = FTables.find(codePage);
    if (found != FTables.end())
        return &found->second;
    const char *name = ConverterName(codePage);
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
