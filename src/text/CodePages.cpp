#include "text/CodePages.h"

#include <cerrno>
#include <cstddef>
#include <iconv.h>

int CodePageOfCharset(int charset)
{
    struct TEntry
    {
        int Charset;
        int CodePage;
    };
    static constexpr TEntry Entries[] = {
        {0, 1252},   {77, 10000}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},
        {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
        {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {254, 437},  {255, 850}};
    for (const TEntry &entry : Entries)
        if (entry.Charset == charset)
            return entry.CodePage;
    return 0;
}

const char *IconvNameOfCodePage(int codePage)
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

namespace {

// A converter of one code page to UTF-16, closed with the object.
class TConverter
{
public:
    explicit TConverter(int codePage)
    {
        if (const char *name = IconvNameOfCodePage(codePage))
            FHandle = iconv_open("UTF-16LE", name);
    }
    ~TConverter()
    {
        if (Valid())
            iconv_close(FHandle);
    }
    TConverter(const TConverter &) = delete;
    TConverter &operator=(const TConverter &) = delete;

    // The first UTF-16 unit of the bytes; 0 when they only begin a character, U+FFFD when they
    // make none (or there is no converter).
    char16_t Unit(const unsigned char *bytes, std::size_t length)
    {
        if (!Valid())
            return 0xFFFD;
        iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
        char in[2];
        for (std::size_t i = 0; i < length; ++i)
            in[i] = static_cast<char>(bytes[i]);
        char out[8];
        char *inPointer = in;
        char *outPointer = out;
        std::size_t inLeft = length;
        std::size_t outLeft = sizeof out;
        const std::size_t done = iconv(FHandle, &inPointer, &inLeft, &outPointer, &outLeft);
        const bool incomplete = done == static_cast<std::size_t>(-1) && errno == EINVAL;
        if (sizeof out - outLeft < 2)
            return incomplete ? 0 : 0xFFFD;
        return static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                     (static_cast<unsigned char>(out[1]) << 8));
    }

private:
    bool Valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }

    iconv_t FHandle = reinterpret_cast<iconv_t>(-1);
};

} // namespace

std::array<char16_t, 256> ByteTableOfCodePage(int codePage)
{
    TConverter converter(codePage);
    const bool asciiKept = codePage != 10000 && codePage != 437 && codePage != 850;
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        table[byte] = b < 0x80 && asciiKept ? static_cast<char16_t>(b) : converter.Unit(&byte, 1);
    }
    return table;
}

char16_t CharOfBytePair(int codePage, unsigned char lead, unsigned char trail)
{
    const unsigned char bytes[2] = {lead, trail};
    const char16_t c = TConverter(codePage).Unit(bytes, 2);
    return c == 0 ? 0xFFFD : c;
}
