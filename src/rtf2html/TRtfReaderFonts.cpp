#include "rtf2html/TRtfReader.h"

#include "rtf2html/RtfReaderChars.h"
#include "rtf2html/THtmlWriter.h"
#include "text/StringUtils.h"

#include <algorithm>
#include <cstring>

namespace Rtf2Html {

using namespace ReaderChars;

namespace {
constexpr int KMaxFonts = 201;

// A colour component, 0 to 255; above 255 it is written as its last hexadecimal digit twice.
int32_t ColourComponent(const std::string &entry, const char *name)
{
    int32_t value = 0;
    const size_t at = entry.find(name);
    if (at != std::string::npos) {
        size_t end = at + std::strlen(name);
        const size_t digits = end;
        while (end < entry.size() && IsDigit(entry[end]))
            ++end;
        value = ToInt(std::string_view(entry).substr(digits, end - digits), 0);
    }
    if (value > 255)
        return (value & 15) * 0x11;
    return std::max(value, 0);
}
} // namespace

// ---------------------------------------------------------------------------------------
// The font and colour tables

// One entry of the font table as it is read.
struct TRtfReader::TFontEntry
{
    int32_t Number = -1; // -1 until the entry's \fN
    int32_t CodePage = 0;
    std::string Name;   // bytes in the font's code page
    bool Named = false; // the name has ended (";" or an alternative name)
};

// The font table: entries in groups, as most writers write them, or one after another
// straight in the table, each ended by ";". Anything in an entry but its number, character
// set, code page and name (family words, panose numbers, embedded fonts, the groups of
// current writers) is passed over, on as many lines as the table takes. An alternative name
// ({\*\falt}) takes the place of the name. The "}" that ends a table of groups is taken with
// it.
void TRtfReader::ReadFontTable()
{
    TFontEntry entry;
    bool grouped = false;
    bool inEntry = false; // inside an entry's group
    for (;;) {
        if (FPos >= FText.size()) {
            if (!ReadNextLine())
                break;
            continue;
        }
        const char c = FText[FPos];
        if (c == '{') {
            Ensure(8);
            if (!inEntry) {
                StoreFont(entry);
                grouped = inEntry = true;
                ++FPos;
            } else if (FText.compare(FPos + 1, 7, "\\*\\falt") == 0) {
                ReadAltName(entry);
            } else {
                SkipNestedGroup();
            }
            continue;
        }
        if (c == '}') {
            StoreFont(entry);
            if (!inEntry) {
                if (grouped)
                    ++FPos;
                return;
            }
            inEntry = false;
            ++FPos;
            continue;
        }
        if (c == '\\') {
            ReadFontWord(entry);
            continue;
        }
        ++FPos;
        if (c == ';') {
            entry.Named = true;
            if (!inEntry)
                StoreFont(entry);
        } else if (!entry.Named && entry.Number >= 0) {
            entry.Name += c;
        }
    }
    StoreFont(entry);
}

// A control word or symbol of a font table entry; the reader stands on its backslash.
void TRtfReader::ReadFontWord(TFontEntry &entry)
{
    Ensure(2);
    TRtfToken token;
    if (!TokenAtPosition(token)) {
        FPos = FText.size();
        return;
    }
    if (token.Kind == TRtfToken::TKind::Hex) {
        HexItem(FItem);
        const int high = FItem.size() == 2 ? HexDigitValue(FItem[0]) : -1;
        const int low = FItem.size() == 2 ? HexDigitValue(FItem[1]) : -1;
        if (high >= 0 && low >= 0 && !entry.Named && entry.Number >= 0)
            entry.Name += static_cast<char>(high * 16 + low);
        return;
    }
    if (token.Kind == TRtfToken::TKind::ControlSymbol) {
        const char next = token.Symbol;
        if ((next == '\\' || next == '{' || next == '}') && !entry.Named && entry.Number >= 0)
            entry.Name += next;
        FPos += 2;
        return;
    }
    const TWord word = TakeWord(token);
    if (word.Letters() == "f" && !word.Param().empty() && IsDigit(word.Param()[0])) {
        // A second number starts the next entry of a table without groups.
        if (entry.Number >= 0)
            StoreFont(entry);
        entry.Number = ToInt(word.Param(), 0);
    } else if (word.Letters() == "fcharset" && entry.CodePage == 0) {
        entry.CodePage = TCodePageDecoder::OfCharset(ToInt(word.Param(), -1));
    } else if (word.Letters() == "cpg") {
        entry.CodePage = std::max(ToInt(word.Param(), 0), 0);
    }
}

// {\*\falt name}: the reader stands on its "{" and goes on after its "}".
void TRtfReader::ReadAltName(TFontEntry &entry)
{
    FPos += 8;
    if (FPos < FText.size() && FText[FPos] == ' ')
        ++FPos;
    std::string name;
    for (;;) {
        if (FPos >= FText.size()) {
            if (!ReadNextLine())
                break;
            continue;
        }
        const char c = FText[FPos];
        if (c == '}') {
            ++FPos;
            break;
        }
        if (c == '{') {
            SkipNestedGroup();
        } else if (c == '\\' && FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
            HexItem(FItem);
            const int high = FItem.size() == 2 ? HexDigitValue(FItem[0]) : -1;
            const int low = FItem.size() == 2 ? HexDigitValue(FItem[1]) : -1;
            if (high >= 0 && low >= 0)
                name += static_cast<char>(high * 16 + low);
        } else if (c == '\\' && FPos + 1 < FText.size() && IsLower(FText[FPos + 1])) {
            ReadWord();
        } else if (c == '\\') {
            FPos = std::min(FPos + 2, FText.size());
        } else {
            name += c;
            ++FPos;
        }
    }
    entry.Name = name;
    entry.Named = true;
}

// Keeps an entry that has a number (the first entry of a number counts) and starts afresh.
void TRtfReader::StoreFont(TFontEntry &entry)
{
    if (entry.Number >= 0) {
        FFontCodePages.emplace(entry.Number, entry.CodePage);
        if (!W.Options().NoFonts && FFontCount < KMaxFonts) {
            // The name goes into attribute values: it is escaped for them, and characters of
            // other code pages become references.
            const int32_t codePage = entry.CodePage > 0 ? entry.CodePage : FAnsiCodePage;
            const std::string name = FDecoder.AttributeText(entry.Name, codePage);
            W.AddFontName(entry.Number, name);
            if (W.Options().Optimize && FFontCount < 3) {
                W.AddRemovable("<FONT FACE=\"" + name + "\"></FONT>");
                if (!W.Options().OnlyDefiniteOpt)
                    W.AddRemovable("</FONT><FONT FACE=\"" + name + "\">");
            }
            ++FFontCount;
        }
    }
    entry = TFontEntry();
}

void TRtfReader::ReadColorTable()
{
    Ensure(2);
    if (FPos < FText.size() && FText[FPos] == ';') {
        FColorList.push_back(0);
        if (W.Options().Optimize)
            W.AddRemovable("<FONT COLOR=\"#000000\"></FONT>");
        if (FPos + 1 < FText.size() && FText[FPos + 1] == '}') {
            ++FPos;
            return;
        }
        ++FPos;
    }
    for (;;) {
        Ensure(5);
        const size_t start = FindAny(FPos, "\\}");
        if (start == std::string::npos) {
            FPos = FText.size();
            return;
        }
        if (FText[start] == '}') {
            FPos = start;
            return;
        }
        const size_t end = FindAny(start, ";}");
        if (end == std::string::npos || FText[end] == '}') {
            FPos = end == std::string::npos ? FText.size() : end;
            return;
        }
        const std::string entry = FText.substr(start, end - start);
        const int32_t colour = ColourComponent(entry, "red") << 16 |
                               ColourComponent(entry, "green") << 8 |
                               ColourComponent(entry, "blue");
        FColorList.push_back(colour);
        if (W.Options().Optimize)
            W.AddRemovable("<FONT COLOR=\"" + TRtfFormat::ColourText(colour) + "\"></FONT>");
        FPos = end;
        Ensure(2);
        if (FPos + 1 < FText.size() && FText[FPos + 1] == '}') {
            ++FPos;
            return;
        }
        ++FPos;
    }
}

} // namespace Rtf2Html
