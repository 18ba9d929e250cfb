#include "rtf2html/DocumentText.h"

#include "rtf2html/TRtfTextReader.h"
#include "text/TextFileDecoding.h"
#include "text/UnicodeText.h"

namespace Rtf2Html {

namespace {

// A plain text file as the model decodes it (DecodeTextFile, which the model's codec uses):
// UTF-8 when its bytes are, after a byte order mark if any, else code page 1252. UTF-16 files
// are left to the model.
bool PlainText(std::string_view bytes, std::u16string &text)
{
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")
        return false;
    text = DecodeTextFile(bytes);
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
        if (c == u'\r' || c == u'\v' || c == 0x2028)
            utf8.push_back('\n');
        else
            AppendUtf8(utf8, c);
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
