// The character of a symbol field without a result: SYMBOL code [\f "font"] [\s points]
// [\u | \a | \h | \j], read from the words of the field's instruction as the model reads them.
#include "rtf2html/TRtfTextReader.h"

#include "text/UnicodeText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Rtf2Html {

namespace {

bool IsSpace(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// The words of an instruction: a text in quotes (without them), else a run of characters other
// than white space.
std::vector<std::u16string> Words(const std::u16string &text)
{
    std::vector<std::u16string> words;
    size_t at = 0;
    while (at < text.size()) {
        if (text[at] == u'"') {
            const size_t close = text.find(u'"', at + 1);
            if (close != std::u16string::npos) {
                words.push_back(text.substr(at + 1, close - at - 1));
                at = close + 1;
                continue;
            }
        }
        if (IsSpace(text[at])) {
            ++at;
            continue;
        }
        size_t end = at;
        while (end < text.size() && !IsSpace(text[end]))
            ++end;
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

bool IsDigit(char16_t c, int base)
{
    if (c >= u'0' && c <= u'9')
        return true;
    return base == 16 && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'));
}

// The code of a field: 0 where the model inserts nothing; false for a form the reader does
// not follow (signs, spaces, a second prefix).
bool CodeOf(const std::u16string &word, uint32_t &code)
{
    const bool hex = word.size() >= 2 && word[0] == u'0' && (word[1] == u'x' || word[1] == u'X');
    const int base = hex ? 16 : 10;
    const std::u16string digits = hex ? word.substr(2) : word;
    code = 0;
    for (const char16_t c : digits) {
        if (!IsDigit(c, base))
            return false;
        const uint32_t value = c <= u'9' ? c - u'0' : (c | 0x20) - u'a' + 10;
        code = code > 0xFFFF ? code : code * static_cast<uint32_t>(base) + value;
    }
    if (code > 0xFFFF)
        code = 0;
    return true;
}

// Whether the first word names the field; false with known set when it cannot tell.
bool IsSymbolWord(const std::u16string &word, bool &known)
{
    static const std::u16string Name = u"symbol";
    known = true;
    if (word.size() != Name.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        const char16_t c = word[i];
        if (c >= 0x80) {
            // Letters whose case folds into ASCII compare as their fold.
            known = false;
            return false;
        }
        const char16_t lower = c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
        if (lower != Name[i])
            return false;
    }
    return true;
}

} // namespace

void TRtfTextReader::InsertSymbol(const std::u16string &instruction)
{
    for (const char16_t c : instruction) {
        if (c >= 0xD800 && c <= 0xDFFF)
            Decline("symbol field");
    }
    const std::vector<std::u16string> words = Words(instruction);
    if (words.size() < 2)
        return;
    bool known = true;
    const bool symbol = IsSymbolWord(words[0], known);
    if (!known)
        Decline("symbol field");
    if (!symbol)
        return;
    uint32_t code = 0;
    if (!CodeOf(words[1], code))
        Decline("symbol field");
    if (code == 0)
        return;
    bool unicode = code > 0xFF;
    for (size_t i = 2; i < words.size(); ++i) {
        if (words[i] == u"\\u")
            unicode = true;
        else if ((words[i] == u"\\s" || words[i] == u"\\f") && i + 1 < words.size())
            ++i; // its points or its font
    }
    const char16_t c = unicode
                           ? static_cast<char16_t>(code)
                           : static_cast<char16_t>(CharOf1252(static_cast<unsigned char>(code)));
    // In a font and size of its own: the model flushes the text around it.
    FPendingUniform = false;
    TextChar(c);
    FPendingUniform = false;
}

} // namespace Rtf2Html
