#include "text/TextFileDecoding.h"

#include "text/UnicodeText.h"

namespace {
constexpr std::string_view Utf8Bom("\xEF\xBB\xBF");
constexpr std::string_view Utf16LeBom("\xFF\xFE");
constexpr std::string_view Utf16BeBom("\xFE\xFF");

bool StartsWith(std::string_view bytes, std::string_view start)
{
    return bytes.substr(0, start.size()) == start;
}

// The units after the byte order mark. A byte order mark right after it is skipped as well,
// and an odd last byte, half a unit, is no character.
std::u16string FromUtf16(std::string_view bytes, bool littleEndian)
{
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<char16_t>(littleEndian ? first | (second << 8) : (first << 8) | second);
    }
    if (!text.empty() && text.front() == 0xFEFF)
        text.erase(0, 1);
    return text;
}

std::u16string From1252(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        text += static_cast<char16_t>(CharOf1252(static_cast<unsigned char>(byte)));
    return text;
}
} // namespace

std::u16string DecodeTextFile(std::string_view bytes)
{
    // What many editors save as "Unicode": UTF-16 with its byte order mark.
    if (StartsWith(bytes, Utf16LeBom) || StartsWith(bytes, Utf16BeBom))
        return FromUtf16(bytes.substr(2), StartsWith(bytes, Utf16LeBom));
    // A second byte order mark is a character of the text.
    const std::string_view utf8 = StartsWith(bytes, Utf8Bom) ? bytes.substr(Utf8Bom.size()) : bytes;
    return IsValidUtf8(utf8) ? Utf16FromUtf8(utf8) : From1252(bytes);
}
