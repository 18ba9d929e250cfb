#include "rtf2html/TCodePageDecoder.h"

#include "text/CodePages.h"

#include <array>
#include <cerrno>
#include <iconv.h>

namespace Rtf2Html {

namespace {
// The characters of bytes 128 to 159 of code page 1252 (0 where it has none); bytes from
// 160 on are the characters of the same number.
constexpr std::array<int32_t, 32> KPageControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The byte of code page 1252 that holds character c (128 or above), or -1.
int PageByteOf(int32_t c)
{
    if (c >= 0xA0 && c <= 0xFF)
        return c;
    for (size_t i = 0; i < KPageControls.size(); ++i) {
        if (KPageControls[i] == c)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

const iconv_t KNoConverter = reinterpret_cast<iconv_t>(-1);

std::string SystemName(int32_t codePage)
{
    switch (codePage) {
    case 10000:
        return "MACINTOSH";
    case 1361:
        return "JOHAB";
    default:
        return "CP" + std::to_string(codePage);
    }
}
} // namespace

TCodePageDecoder::~TCodePageDecoder()
{
    for (const auto &entry : FConverters) {
        if (entry.second)
            iconv_close(static_cast<iconv_t>(entry.second));
    }
}

int32_t TCodePageDecoder::OfCharset(int32_t charset)
{
    return CodePageOfCharset(charset);
}

void *TCodePageDecoder::Converter(int32_t codePage)
{
    const auto found = FConverters.find(codePage);
    if (found != FConverters.end())
        return found->second;
    void *converter = nullptr;
    // A document may name any number: only real code pages other than the page's own are
    // worth asking the system for.
    if (codePage > 0 && codePage != KPageCodePage && codePage < 100000) {
        const iconv_t opened = iconv_open("UTF-32LE", SystemName(codePage).c_str());
        if (opened != KNoConverter)
            converter = opened;
    }
    FConverters.emplace(codePage, converter);
    return converter;
}

bool TCodePageDecoder::KeepsBytes(int32_t codePage)
{
    return Converter(codePage) == nullptr;
}

int32_t TCodePageDecoder::Decode(int32_t codePage, unsigned char byte)
{
    const auto converter = static_cast<iconv_t>(Converter(codePage));
    if (!converter)
        return byte;
    char bytes[2];
    size_t count = 0;
    if (FLead >= 0 && FLeadPage == codePage)
        bytes[count++] = static_cast<char>(FLead);
    bytes[count++] = static_cast<char>(byte);
    FLead = -1;

    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char *in = bytes;
    size_t inLeft = count;
    unsigned char result[8] = {};
    char *out = reinterpret_cast<char *>(result);
    size_t outLeft = sizeof result;
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
        if (errno == EINVAL && count == 1) {
            // A lead byte: the character ends with the next byte.
            FLead = byte;
            FLeadPage = codePage;
            return KNone;
        }
        if (sizeof result - outLeft < 4)
            return 0xFFFD;
    }
    return static_cast<int32_t>(result[0] | result[1] << 8 | result[2] << 16 |
                                static_cast<uint32_t>(result[3]) << 24);
}

std::string TCodePageDecoder::ItemOf(int32_t c)
{
    if (c <= 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return std::string();
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
        return std::string();
    if (c < 0x80)
        return std::string(1, static_cast<char>(c));
    // A character of code page 1252 goes out as the hex escape of its byte would.
    const int byte = PageByteOf(c);
    if (byte >= 0) {
        static const char KHex[] = "0123456789abcdef";
        return {KHex[byte >> 4], KHex[byte & 15]};
    }
    return "&#" + std::to_string(c) + ";";
}

std::string TCodePageDecoder::AttributeText(const std::string &bytes, int32_t codePage)
{
    std::string text;
    const bool keep = KeepsBytes(codePage);
    for (const char byte : bytes) {
        switch (byte) {
        case '&':
            text += "&amp;";
            continue;
        case '<':
            text += "&lt;";
            continue;
        case '>':
            text += "&gt;";
            continue;
        case '"':
            text += "&quot;";
            continue;
        default:
            break;
        }
        const auto value = static_cast<unsigned char>(byte);
        if (keep || value < 0x80) {
            text += byte;
            continue;
        }
        const int32_t c = Decode(codePage, value);
        const int pageByte = PageByteOf(c);
        if (pageByte >= 0)
            text += static_cast<char>(pageByte);
        else if (c >= 0x80 && !ItemOf(c).empty())
            text += ItemOf(c);
    }
    Interrupt();
    return text;
}

} // namespace Rtf2Html
