#include "assembly/TMergeValueEncoder.h"

#include "text/UnicodeText.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
// The code page a rich text declares in its header ("\ansicpgN"); 1252 when it names none.
long DeclaredCodePage(const std::string &text)
{
    const std::size_t header = std::min<std::size_t>(text.size(), 4096);
    const std::size_t at = text.find("\\ansicpg");
    if (at == std::string::npos || at >= header)
        return 1252;
    return std::strtol(text.c_str() + at + 8, nullptr, 10);
}

void AppendHexByte(std::string &out, int byte)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\'%02x", byte & 0xFF);
    out += buffer;
}
} // namespace

TMergeValueEncoder::TMergeValueEncoder(const std::string &mergeText)
    : FKind(TPlaceholderScanner::KindOf(mergeText)),
      FAnsi1252(FKind == TPlaceholderScanner::TTextKind::Rich &&
                DeclaredCodePage(mergeText) == 1252)
{
}

void TMergeValueEncoder::AppendRich(std::string &out, char32_t c, int unicodeSkip) const
{
    const auto appendUnit = [&](char32_t unit, bool firstUnit) {
        const long signedUnit = unit > 32767 ? static_cast<long>(unit) - 65536 : long(unit);
        out += "\\u" + std::to_string(signedUnit);
        if (unicodeSkip == 0) {
            out += ' '; // ends the control word: the value's next character may be a digit
            return;
        }
        const int byte = firstUnit && FAnsi1252 ? ByteOf1252(c) : -1;
        if (byte >= 0x80)
            AppendHexByte(out, byte);
        else
            out += '?';
        out.append(static_cast<std::size_t>(unicodeSkip - 1), '?');
    };
    if (c >= 0x10000) {
        appendUnit(0xD800 + ((c - 0x10000) >> 10), false);
        appendUnit(0xDC00 + ((c - 0x10000) & 0x3FF), false);
    } else {
        appendUnit(c, true);
    }
}

std::string TMergeValueEncoder::Encode(const std::string &value, int unicodeSkip) const
{
    if (FKind == TPlaceholderScanner::TTextKind::PlainUtf8)
        return value;
    // Most values are plain ASCII text, which every kind of template takes as it is.
    const bool asIs = std::all_of(value.begin(), value.end(), [](char c) {
        return c >= 0x20 && c < 0x7F && c != '\\' && c != '{' && c != '}';
    });
    if (asIs)
        return value;
    std::string out;
    out.reserve(value.size() + value.size() / 4);
    for (std::size_t i = 0; i < value.size();) {
        const char32_t c = DecodeUtf8(value, i);
        if (FKind == TPlaceholderScanner::TTextKind::Plain) {
            const int byte = ByteOf1252(c);
            out += byte >= 0 ? static_cast<char>(byte) : '?';
        } else if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == 0) {
            // No reader keeps a zero character in the text.
        } else if (c < 0x20 || c == 0x7F) {
            AppendHexByte(out, static_cast<int>(c));
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            AppendRich(out, c, unicodeSkip);
        }
    }
    return out;
}
