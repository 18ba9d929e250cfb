#include "rtf2html/TRtfReader.h"

#include "rtf2html/ERtfToHtmlError.h"
#include "rtf2html/RtfReaderChars.h"
#include "text/StringUtils.h"

#include <algorithm>

namespace Rtf2Html {

using namespace ReaderChars;

// ---------------------------------------------------------------------------------------
// Characters by hex escape or by number

bool TRtfReader::HexEscape(const TRtfFormat &format)
{
    if (!HexItem(FItem)) {
        if (!format.Hidden)
            throw ERtfToHtmlError("'" + FItem + "' is not a valid integer value");
        return false;
    }
    HexCharacter(format, FItem);
    return !FItem.empty();
}

// Reads the two characters of a hex escape (the reader stands on its backslash). A file that
// ends inside the escape gives what is there, and false.
bool TRtfReader::HexItem(std::string &item)
{
    const bool complete = Ensure(4);
    item.assign(FText, FPos + 2, 2);
    FPos = std::min(FPos + 4, FText.size());
    return complete;
}

// The code page that the hex escapes of text in format are in.
int32_t TRtfReader::CodePageOf(const TRtfFormat &format) const
{
    if (format.CodePage > 0)
        return format.CodePage;
    const auto font = FFontCodePages.find(FDefaultFont);
    if (font != FFontCodePages.end() && font->second > 0)
        return font->second;
    return FAnsiCodePage;
}

// The hex item (two hex digits) as the item of its character, when its font's code page is
// not the page's own; empty while a lead byte waits for its trail byte.
void TRtfReader::HexCharacter(const TRtfFormat &format, std::string &item)
{
    const int32_t codePage = CodePageOf(format);
    if (FDecoder.KeepsBytes(codePage))
        return;
    const int high = HexDigitValue(item[0]);
    const int low = HexDigitValue(item[1]);
    if (high < 0 || low < 0) {
        if (format.Hidden) {
            item.clear();
            return;
        }
        throw ERtfToHtmlError("'" + item + "' is not a valid integer value");
    }
    const int32_t c = FDecoder.Decode(codePage, static_cast<unsigned char>(high * 16 + low));
    item = c == TCodePageDecoder::KNone ? std::string() : TCodePageDecoder::ItemOf(c);
}

// \uN (a character by its number, followed by format.UnicodeSkip characters for readers
// that do not know the word) and \ucN. Gives the character's item, which is empty when
// there is nothing to write yet. False for other words.
bool TRtfReader::UnicodeWord(const TWord &word, TRtfFormat &format, std::string &item)
{
    if (word.Letters() != "u" && word.Letters() != "uc")
        return false;
    // Other numbers are no characters: the word is then one the reader does not know.
    const int32_t value = ToInt(word.Param(), INT32_MIN);
    if (value < -32768 || value > 65535)
        return false;
    item.clear();
    if (word.Letters() == "uc") {
        format.UnicodeSkip = std::clamp(value, 0, 255);
        return true;
    }
    FDecoder.Interrupt();
    FFallbackLeft = format.UnicodeSkip;
    // Numbers above 32767 are written as negative numbers.
    const int32_t unit = value < 0 ? value + 65536 : value;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        FHighSurrogate = unit;
        return true;
    }
    int32_t c = unit;
    if (unit >= 0xDC00 && unit <= 0xDFFF && FHighSurrogate != 0)
        c = 0x10000 + ((FHighSurrogate - 0xD800) << 10) + (unit - 0xDC00);
    FHighSurrogate = 0;
    item = TCodePageDecoder::ItemOf(c);
    return true;
}

// Passes over one character that follows a \uN in place of its character: a hex escape,
// a control symbol or a control word, the token at the reading position. False
// when no character is to be passed over.
bool TRtfReader::SkipFallback(const TRtfToken &token)
{
    if (FFallbackLeft <= 0)
        return false;
    --FFallbackLeft;
    if (token.Kind == TRtfToken::TKind::Hex) {
        // An escape takes its two characters, hex digits or not, on the next line if need be.
        Ensure(4);
        FPos = std::min(FPos + 4, FText.size());
    } else {
        FPos += token.Length;
    }
    return true;
}

} // namespace Rtf2Html
