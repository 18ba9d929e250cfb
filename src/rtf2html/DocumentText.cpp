#include "rtf2html/DocumentText.h"

#include "rtf2html/TRtfTextReader.h"
#include "rtf2html/TTextByteDecoder.h"

namespace Rtf2Html {

namespace {

// The length of the UTF-8 sequence at bytes[i] when it is a valid one (no overlong form, no
// surrogate, nothing above U+10FFFF), 0 otherwise; *code gets its code point.
size_t Utf8Sequence(std::string_view bytes, size_t i, char32_t *code)
{
    const auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
    const unsigned char lead = at(0);
    size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        *code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() - i < length)
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((at(k) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (at(k) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    *code = c;
    return length;
}

void AppendUtf16(char32_t c, std::u16string &text)
{
    if (c < 0x10000) {
        text.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        text.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        text.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
}

// Whether the bytes from i on are the start of a sequence that the end cuts short: the model's
// decoder keeps them for more bytes that never come, and so drops them.
bool CutShort(std::string_view bytes, size_t i)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || bytes.size() - i >= length)
        return false;
    for (size_t k = i + 1; k < bytes.size(); ++k) {
        if ((static_cast<unsigned char>(bytes[k]) & 0xC0) != 0x80)
            return false;
    }
    return true;
}

enum class TUtf8 { Valid, Invalid, CutShort };

// The text of bytes that are UTF-8 throughout.
TUtf8 FromUtf8(std::string_view bytes, std::u16string &text)
{
    text.clear();
    for (size_t i = 0; i < bytes.size();) {
        char32_t c = 0;
        const size_t length = Utf8Sequence(bytes, i, &c);
        if (!length)
            return CutShort(bytes, i) ? TUtf8::CutShort : TUtf8::Invalid;
        AppendUtf16(c, text);
        i += length;
    }
    return TUtf8::Valid;
}

// A plain text file as the model decodes it: UTF-8 when its bytes are (after a byte order mark
// if any), else code page 1252. UTF-16 files are left to the model.
bool PlainText(std::string_view bytes, std::u16string &text)
{
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")
        return false;
    const std::string_view bom("\xEF\xBB\xBF");
    const std::string_view body = bytes.substr(0, 3) == bom ? bytes.substr(3) : bytes;
    const TUtf8 utf8 = FromUtf8(body, text);
    if (utf8 == TUtf8::CutShort)
        return false;
    if (utf8 == TUtf8::Invalid) {
        TTextByteDecoder decoder;
        text.clear();
        for (const char byte : bytes)
            text.push_back(
                static_cast<char16_t>(decoder.Decode(1252, static_cast<unsigned char>(byte))));
    }
    // Line ends as the document takes them: CR, LF and CR LF end a paragraph, VT a line.
    std::u16string form;
    form.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n' || c == 0x2029) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            form.push_back(u'\r');
        } else if (c == u'\v') {
            form.push_back(0x2028);
        } else if ((c < 0x20 && c != u'\t' && c != u'\f') || c == 0xFDD0 || c == 0xFDD1 ||
                   c == 0xFFFC) {
            // Characters of the document's structure, and controls it may treat its own way.
            return false;
        } else {
            form.push_back(c);
        }
    }
    text.swap(form);
    return true;
}

// The text as printed: UTF-8, LF for CR and the line breaks; false for a lone half of a
// surrogate pair, which the print would not keep.
bool PrintForm(const std::u16string &text, std::string &utf8)
{
    utf8.clear();
    utf8.reserve(text.size() + text.size() / 8 + 1);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c > 0xDBFF || i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c == u'\r' || c == u'\v' || c == 0x2028) {
            utf8.push_back('\n');
        } else if (c < 0x80) {
            utf8.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            utf8.push_back(static_cast<char>(0xE0 | (c >> 12)));
            utf8.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            utf8.push_back(static_cast<char>(0xF0 | (c >> 18)));
            utf8.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return true;
}

} // namespace

bool DocumentTextOf(std::string_view bytes, std::string &utf8)
{
    std::u16string text;
    const bool read =
        TRtfTextReader::IsRtf(bytes) ? TRtfTextReader(bytes).Read(text) : PlainText(bytes, text);
    if (!read)
        return false;
    if (!text.empty() && text.back() != u'\r')
        text.push_back(u'\r');
    return PrintForm(text, utf8);
}

} // namespace Rtf2Html
