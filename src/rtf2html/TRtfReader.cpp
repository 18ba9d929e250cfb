#include "rtf2html/TRtfReader.h"

#include "rtf2html/ERtfToHtmlError.h"
#include "rtf2html/RtfWords.h"
#include "rtf2html/THtmlWriter.h"
#include "rtf2html/TRtfLineSource.h"
#include "text/StringUtils.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <string_view>

namespace Rtf2Html {

namespace {
constexpr int KMaxFonts = 201;
constexpr int32_t KMaxStyle = 300;
constexpr int KUlLevels = 21; // indents of 0, 285, ... 5700 twips
constexpr int32_t KUlStep = 285;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsLower(char c)
{
    return c >= 'a' && c <= 'z';
}

// The characters of a control word: lower-case letters, digits and "-".
constexpr std::array<bool, 256> WordCharacters()
{
    std::array<bool, 256> word{};
    for (int c = 'a'; c <= 'z'; ++c)
        word[static_cast<size_t>(c)] = true;
    for (int c = '0'; c <= '9'; ++c)
        word[static_cast<size_t>(c)] = true;
    word['-'] = true;
    return word;
}
constexpr std::array<bool, 256> KWordCharacters = WordCharacters();

bool IsWordCharacter(char c)
{
    return KWordCharacters[static_cast<unsigned char>(c)];
}

// A whole decimal number with an optional minus sign that fits 32 bits, or fallback.
int32_t ToInt(std::string_view text, int32_t fallback)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    if (i == text.size())
        return fallback;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            return fallback;
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<int64_t>(INT32_MAX) + 1)
            return fallback;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return fallback;
    return static_cast<int32_t>(value);
}

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

// Deletes every occurrence of word together with its parameter (up to the next "\" or space).
std::string DeleteWithParameter(const std::string &text, const std::string &word)
{
    std::string result;
    size_t done = 0;
    for (size_t found = text.find(word); found != std::string::npos;
         found = text.find(word, done)) {
        result.append(text, done, found - done);
        size_t end = found + word.size();
        while (end < text.size() && text[end] != '\\' && text[end] != ' ')
            ++end;
        done = end;
    }
    result.append(text, done, std::string::npos);
    return result;
}

// Text of the document that goes out with markup: its "<", ">" and "&" escaped.
std::string EscapedMarkup(std::string_view text)
{
    std::string result;
    for (const char c : text) {
        if (c == '<')
            result += "&lt;";
        else if (c == '>')
            result += "&gt;";
        else if (c == '&')
            result += "&amp;";
        else
            result += c;
    }
    return result;
}

// The last digit 1 to 9 of name from index from on, or 0.
int LastLevelDigit(const std::string &name, size_t from)
{
    int level = 0;
    for (size_t i = from; i < name.size(); ++i) {
        if (name[i] >= '1' && name[i] <= '9')
            level = name[i] - '0';
    }
    return level;
}
} // namespace

TRtfReader::TRtfReader(THtmlWriter &writer, TRtfLineSource &source)
    : W(writer), FSource(source), FStyleTable(KMaxStyle + 1)
{
    FFormat.Reset(TRtfFormat::TScope::All);
    FTocStyles.fill(-1);
    FHeadingStyles.fill(-1);
}

// ---------------------------------------------------------------------------------------
// The current text

bool TRtfReader::ReadNextLine()
{
    if (FAppend)
        return AppendLine();
    if (FAtEnd)
        return false;
    if (!FSource.ReadLine(FSpare)) {
        FAtEnd = true;
        return false;
    }
    FText.swap(FSpare);
    FPos = 0;
    FLineStart = 0;
    ++FVersion;
    return true;
}

bool TRtfReader::AppendLine()
{
    if (FAtEnd)
        return false;
    if (!FSource.ReadLine(FSpare)) {
        FAtEnd = true;
        return false;
    }
    if (FPos == FText.size() && !FAppend) {
        // Nothing of the old line is left to read: start afresh rather than grow.
        FText.swap(FSpare);
        FPos = 0;
        FLineStart = 0;
        ++FVersion;
    } else {
        FText += FSpare;
    }
    return true;
}

bool TRtfReader::Ensure(size_t count)
{
    while (FText.size() - std::min(FPos, FText.size()) < count) {
        if (!AppendLine())
            return false;
    }
    return true;
}

size_t TRtfReader::FindAny(size_t from, const char *characters)
{
    // from is relative to FPos, which AppendLine may move back to 0.
    size_t offset = from - FPos;
    size_t searched = offset;
    for (;;) {
        const size_t found = FText.find_first_of(characters, FPos + searched);
        if (found != std::string::npos)
            return found;
        searched = FText.size() - FPos;
        if (!AppendLine())
            return std::string::npos;
    }
}

TRtfReader::TWord TRtfReader::ReadWord()
{
    TWord word;
    word.Start = FPos;
    const size_t size = FText.size();
    size_t end = FPos + 1;
    while (end < size && IsLower(FText[end]))
        ++end;
    const size_t letters = end - FPos - 1;
    while (end < size && IsWordCharacter(FText[end]))
        ++end;
    word.Text = std::string_view(FText).substr(FPos + 1, end - FPos - 1);
    word.Letters = word.Text.substr(0, letters);
    word.Param = word.Text.substr(letters);
    word.Id = FindWord(word.Text);
    FPos = end < FText.size() && FText[end] == ' ' ? end + 1 : end;
    return word;
}

bool TRtfReader::IsFirstBinOfLine(size_t position)
{
    const bool cached = FBinVersion == FVersion && FBinFound != std::string::npos &&
                        FBinFrom <= FLineStart && FLineStart <= FBinFound;
    if (!cached) {
        FBinVersion = FVersion;
        FBinFrom = FLineStart;
        FBinFound = FText.find("bin", FLineStart);
    }
    return FBinFound == position;
}

void TRtfReader::SkipCharacters(uint64_t count)
{
    while (count > 0) {
        const size_t available = FText.size() - FPos;
        if (available >= count) {
            FPos += count;
            return;
        }
        count -= available;
        FPos = FText.size();
        if (!ReadNextLine())
            return;
    }
}

// Passes over the rest of the current group, leaving the reader at its "}".
void TRtfReader::SkipGroup()
{
    uint64_t depth = 0;
    for (;;) {
        if (FPos >= FText.size()) {
            if (!ReadNextLine())
                return;
            continue;
        }
        const char c = FText[FPos];
        if (c == '{') {
            ++depth;
            ++FPos;
        } else if (c == '}') {
            if (depth == 0) {
                if (!FAppend)
                    FLineStart = FPos;
                return;
            }
            --depth;
            ++FPos;
        } else if (c == '\\' && FPos + 1 < FText.size()) {
            const char next = FText[FPos + 1];
            if (next == '\\' || next == '{' || next == '}') {
                FPos += 2;
            } else if (FPos + 4 < FText.size() && FText.compare(FPos + 1, 3, "bin") == 0 &&
                       IsDigit(FText[FPos + 4]) && IsFirstBinOfLine(FPos + 1)) {
                size_t end = FPos + 4;
                uint64_t count = 0;
                while (end < FText.size() && IsDigit(FText[end])) {
                    if (count < (uint64_t(1) << 40))
                        count = count * 10 + uint64_t(FText[end] - '0');
                    ++end;
                }
                FPos = end < FText.size() && FText[end] == ' ' ? end + 1 : end;
                SkipCharacters(count);
            } else {
                ++FPos;
            }
        } else {
            ++FPos;
        }
    }
}

// Passes over a group from its "{" to just after its "}".
void TRtfReader::SkipNestedGroup()
{
    ++FPos;
    SkipGroup();
    if (FPos < FText.size())
        ++FPos;
}

// The text goes in front of the rest of the line, to be read next.
void TRtfReader::PutInFront(const std::string &text)
{
    if (text.empty())
        return;
    if (FPos >= text.size()) {
        FPos -= text.size();
        FText.replace(FPos, text.size(), text);
    } else {
        FText = text + FText.substr(FPos);
        FPos = 0;
    }
    FLineStart = FPos;
    ++FVersion;
}

// ---------------------------------------------------------------------------------------
// The main reader

void TRtfReader::Run()
{
    std::vector<TRtfFormat> stack; // the format saved by each open group
    if (!ReadNextLine())
        return;
    for (;;) {
        if (FPos >= FText.size()) {
            if (!ReadNextLine())
                break;
            continue;
        }
        const char c = FText[FPos];
        if (c == '{') {
            FFallbackLeft = 0;
            stack.push_back(FFormat);
            ++FPos;
        } else if (c == '}') {
            FFallbackLeft = 0;
            ++FPos;
            FLineStart = FPos;
            if (stack.empty())
                return; // the outermost level has ended
            EndGroup(stack);
        } else if (c == '\\') {
            Backslash();
        } else if (FFallbackLeft > 0) {
            --FFallbackLeft;
            ++FPos;
        } else {
            ++FPos;
            TextItem(std::string_view(&FText[FPos - 1], 1), true);
        }
    }
    // The input ended inside groups: they end with it.
    while (!stack.empty())
        EndGroup(stack);
}

void TRtfReader::EndGroup(std::vector<TRtfFormat> &stack)
{
    const TRtfFormat saved = stack.back();
    stack.pop_back();
    if (FFormat.DiffersFrom(saved)) {
        FOut.clear();
        W.CloseAllTags(FOut);
        W.WriteOut(FOut);
        W.FormatChanged = true;
        FFormat = saved;
    } else {
        // These have no tag, but end with their group all the same.
        FFormat.Caps = saved.Caps;
        FFormat.CodePage = saved.CodePage;
        FFormat.UnicodeSkip = saved.UnicodeSkip;
    }
}

void TRtfReader::TextItem(std::string_view item, bool withRun)
{
    // The first half of a character that something else follows stays alone.
    FHighSurrogate = 0;
    if (W.PendingLi) {
        W.WriteOut("<LI type=disc>");
        W.PendingLi = false;
    }
    if (FNumberedList && W.NewParagraph && !FPendingNumberText.empty()) {
        FOut.clear();
        W.EmitItem("&&" + FPendingNumberText, FFormat, FOut);
        W.WriteOut(FOut);
        FPendingNumberText.clear();
    }
    // The item may lie in the line; the line stays as it is until the item is rendered.
    FOut.clear();
    W.EmitItem(item, FFormat, FOut);
    if (withRun)
        AppendPlainRun(FOut);
    W.WriteOut(FOut);
}

// The characters up to the next backslash or brace, when each of them would go out as its
// own item with nothing else, join the output of the item before them: the same as item
// by item, since their rendering holds no "<" or ">" (no cut point, optimiser change or
// early write can fall between them).
void TRtfReader::AppendPlainRun(std::string &html)
{
    if (W.PendingLi || !W.PlainTextReady())
        return;
    FPos += THtmlWriter::AppendTextRun(std::string_view(FText).substr(FPos), FFormat, html);
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
    if (word.Letters != "u" && word.Letters != "uc")
        return false;
    // Other numbers are no characters: the word is then one the reader does not know.
    const int32_t value = ToInt(word.Param, INT32_MIN);
    if (value < -32768 || value > 65535)
        return false;
    item.clear();
    if (word.Letters == "uc") {
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
// a control symbol or a control word. The reader stands on the backslash. False when no
// character is to be passed over.
bool TRtfReader::SkipFallback()
{
    if (FFallbackLeft <= 0)
        return false;
    --FFallbackLeft;
    if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
        Ensure(4);
        FPos = std::min(FPos + 4, FText.size());
    } else if (FPos + 1 < FText.size() && IsLower(FText[FPos + 1])) {
        ReadWord();
    } else {
        FPos = std::min(FPos + 2, FText.size());
    }
    return true;
}

void TRtfReader::Backslash()
{
    if (FPos + 1 >= FText.size()) {
        // A backslash at the end of a line produces nothing.
        FPos = FText.size();
        return;
    }
    if (SkipFallback())
        return;
    const char next = FText[FPos + 1];
    if (next != '\'')
        FDecoder.Interrupt();
    switch (next) {
    case '\\':
    case '{':
    case '}':
        FPos += 2;
        if (!FFormat.Hidden)
            TextItem(std::string_view(&FText[FPos - 1], 1));
        return;
    case '~':
        FPos += 2;
        if (!FFormat.Hidden)
            TextItem("&nbsp;");
        return;
    case '_':
        FPos += 2;
        if (!FFormat.Hidden)
            TextItem("-");
        return;
    case '\'': {
        if (!HexItem(FItem)) {
            if (!FFormat.Hidden)
                throw ERtfToHtmlError("'" + FItem + "' is not a valid integer value");
            return;
        }
        HexCharacter(FFormat, FItem);
        if (!FItem.empty())
            TextItem(FItem);
        return;
    }
    case '*':
        Destination();
        return;
    default:
        if (IsLower(next)) {
            MainWord(ReadWord());
            return;
        }
        FPos += 2;
        return;
    }
}

void TRtfReader::MainWord(const TWord &word)
{
    switch (word.Id) {
    case TWordId::FontTbl:
        ReadFontTable();
        return;
    case TWordId::ColorTbl:
        ReadColorTable();
        return;
    case TWordId::StyleSheet:
        ReadStyleSheet();
        return;
    case TWordId::Trowd:
        FOut.clear();
        W.CloseAllTags(FOut);
        W.WriteOut(FOut);
        W.CloseLists();
        ReadTable();
        return;
    default:
        break;
    }
    if (word.Letters == "s" && !word.Param.empty() &&
        std::all_of(word.Param.begin(), word.Param.end(), IsDigit)) {
        ApplyStyle(word.Param);
    } else if (IsMainSkipped(word.Id)) {
        SkipGroup();
        if (word.Is(TWordId::Pict)) {
            FOut.clear();
            W.EmitItem("&pict;", FFormat, FOut);
            W.WriteOut(FOut);
        }
    } else {
        if (W.LinkOpen)
            W.WriteOut("</A>");
        if (UnicodeWord(word, FFormat, FItem)) {
            W.LinkOpen = false;
            if (!FItem.empty())
                TextItem(FItem);
            return;
        }
        FWordOut.clear();
        DoControlWord(word, FFormat, FWordOut);
        W.WriteOut(FWordOut);
        W.LinkOpen = false;
    }
}

// The table of control words. Whatever a word produces is appended to out.
void TRtfReader::DoControlWord(const TWord &word, TRtfFormat &format, std::string &out)
{
    auto set = [this](bool &field, bool value) {
        if (field != value) {
            field = value;
            W.FormatChanged = true;
        }
    };
    auto item = [&](std::string_view name) {
        if (!format.Hidden)
            W.EmitItem(name, format, out);
    };

    switch (word.Id) {
    case TWordId::Plain:
        format.Reset(TRtfFormat::TScope::Text);
        W.FormatChanged = true;
        W.CloseAllTags(out);
        return;
    case TWordId::Pard:
    case TWordId::Sectd:
        format.Reset(TRtfFormat::TScope::Par);
        FPendingNumberText.clear();
        W.TocParagraph = false;
        FIndentTotal = 0;
        FIndentOpen = true;
        W.PendingLi = false;
        FNumberedList = false;
        FNumberFormatSeen = false;
        FListCounter = -1;
        for (int i = 0; i < W.UlDepth; ++i)
            out += "</UL>";
        W.UlDepth = 0;
        W.InBulletList = false;
        return;
    case TWordId::Par:
    case TWordId::Sect:
        W.CloseAllTags(out);
        if (format.Right)
            out += "</DIV>";
        if (format.Center)
            out += "</CENTER>";
        W.FormatChanged = true;
        W.LinkPending = true;
        W.NewParagraph = true;
        if (W.InBulletList) {
            out += "</LI>";
            W.PendingLi = true;
        } else {
            out += "<BR>";
            if (FListCounter >= 0) {
                ++FListCounter;
                FPendingNumberText =
                    FListTextBefore + std::to_string(FListCounter) + FListTextAfter;
            }
            FBookmarkParagraph = false;
        }
        return;
    case TWordId::V:
    case TWordId::V0:
        format.Hidden = word.Is(TWordId::V);
        return;
    case TWordId::Caps:
    case TWordId::Caps0:
        format.Caps = word.Is(TWordId::Caps);
        return;
    case TWordId::Qc:
        format.Center = true;
        return;
    case TWordId::Qr:
        format.Right = true;
        return;
    case TWordId::Tab:
        item("&tab;");
        return;
    case TWordId::Line:
        out += "<BR>";
        return;
    case TWordId::Page:
        out += "<BR><HR><BR>";
        return;
    case TWordId::EmDash:
        item("&emdash;");
        return;
    case TWordId::EnDash:
        item("&endash;");
        return;
    case TWordId::EmSpace:
        item("&emspace;");
        return;
    case TWordId::EnSpace:
        item("&enspace;");
        return;
    case TWordId::LQuote:
    case TWordId::RQuote:
        item("&quote;");
        return;
    case TWordId::LdblQuote:
    case TWordId::RdblQuote:
        item("&dblquote;");
        return;
    case TWordId::B:
    case TWordId::B0:
        set(format.Bold, word.Is(TWordId::B));
        return;
    case TWordId::I:
    case TWordId::I0:
        set(format.Italic, word.Is(TWordId::I));
        return;
    case TWordId::Ul:
    case TWordId::UlD:
    case TWordId::UlDash:
    case TWordId::UlDashD:
    case TWordId::UlDashDd:
    case TWordId::UlDb:
    case TWordId::UlTh:
    case TWordId::UlWave:
        set(format.Underline, true);
        return;
    case TWordId::UlNone:
    case TWordId::Ul0:
        set(format.Underline, false);
        return;
    case TWordId::Super:
        set(format.Superscript, true);
        return;
    case TWordId::Sub:
        set(format.Subscript, true);
        return;
    case TWordId::NoSuperSub:
        set(format.Superscript, false);
        set(format.Subscript, false);
        return;
    case TWordId::Strike:
    case TWordId::StrikeDl:
        set(format.Strike, true);
        return;
    case TWordId::Strike0:
    case TWordId::StrikeDl0:
        set(format.Strike, false);
        return;
    default:
        break;
    }

    // Words known by their letters, with a number after them.
    const std::string_view text = word.Text;
    const std::string_view letters = word.Letters;
    const std::string_view param = word.Param;
    if (text.substr(0, 2) == "up") {
        set(format.Superscript, true);
    } else if (text.substr(0, 2) == "dn") {
        set(format.Subscript, true);
    } else if ((letters == "li" && !param.empty() && IsDigit(param[0])) ||
               (letters == "fi" && !param.empty() && (param[0] == '-' || IsDigit(param[0])))) {
        Indent(word, out);
    } else if (letters == "f" && !param.empty() && IsDigit(param[0])) {
        const int32_t font = ToInt(param, 0);
        // Without font faces the font still says how its hex escapes read.
        const auto codePage = FFontCodePages.find(font);
        format.CodePage = codePage == FFontCodePages.end() ? 0 : codePage->second;
        if (!W.Options().NoFonts && format.Font != font) {
            format.Font = font;
            W.FormatChanged = true;
        }
    } else if (letters == "ansicpg" && !param.empty()) {
        const int32_t codePage = ToInt(param, 0);
        if (codePage > 0)
            FAnsiCodePage = codePage;
    } else if (letters == "deff" && !param.empty()) {
        FDefaultFont = ToInt(param, -1);
    } else if (letters == "fs" && text.size() > 2) {
        const int32_t size = ToInt(param, 0) / 2;
        if (format.Size != size) {
            format.Size = size;
            W.FormatChanged = true;
        }
    } else if (letters == "cf" && text.size() > 2) {
        const int32_t index = ToInt(param, 0);
        // A negative index names no colour; one beyond the table takes its last colour.
        if (!FColorList.empty() && index >= 0) {
            const int32_t colour =
                FColorList[std::min(static_cast<size_t>(index), FColorList.size() - 1)];
            if (format.Colour != colour) {
                format.Colour = colour;
                W.FormatChanged = true;
            }
        }
    }
}

void TRtfReader::Indent(const TWord &word, std::string &out)
{
    if (!FIndentOpen)
        return;
    FIndentTotal += ToInt(word.Param, 0);
    if (word.Letters == "fi")
        return;
    FIndentOpen = false;
    while (W.UlDepth < KUlLevels && static_cast<int64_t>(W.UlDepth) * KUlStep < FIndentTotal) {
        ++W.UlDepth;
        out += "<UL>";
    }
}

void TRtfReader::Destination()
{
    // The reader stands on the backslash of "\*".
    Ensure(7);
    const bool numbering = FText.compare(FPos + 2, 3, "\\pn") == 0 && FPos + 5 < FText.size() &&
                           (FText[FPos + 5] == ' ' || FText[FPos + 5] == '\\');
    const bool bookmark = FText.compare(FPos + 2, 5, "\\bkmk") == 0;
    FPos += 2;
    if (numbering) {
        ReadNumbering();
        return;
    }
    if (bookmark && !FBookmarkParagraph) {
        W.WriteOut("<P>");
        FBookmarkParagraph = true;
    }
    SkipGroup();
}

void TRtfReader::ReadNumbering()
{
    FListTextBefore.clear();
    FListTextAfter.clear();
    std::string startText;
    uint64_t depth = 0;
    for (;;) {
        if (FPos >= FText.size()) {
            if (!ReadNextLine())
                break;
            continue;
        }
        const char c = FText[FPos];
        if (c == '{') {
            ++depth;
            ++FPos;
            continue;
        }
        if (c == '}') {
            if (depth == 0)
                break; // the group's own "}" is left for the group to end
            --depth;
            ++FPos;
            continue;
        }
        if (c != '\\') {
            ++FPos;
            continue;
        }
        if (FPos + 1 >= FText.size() || !IsLower(FText[FPos + 1])) {
            const bool hex = FPos + 1 < FText.size() && FText[FPos + 1] == '\'';
            FPos = std::min(FPos + (hex ? 4 : 2), FText.size());
            continue;
        }
        const bool spaceEnded = [&] {
            size_t end = FPos + 1;
            while (end < FText.size() && IsWordCharacter(FText[end]))
                ++end;
            return end < FText.size() && FText[end] == ' ';
        }();
        // The word's text is kept: reading the text after "pntxta" may change the line.
        const std::string text(ReadWord().Text);
        const char level = text.size() > 5 && text.compare(0, 5, "pnlvl") == 0 ? text[5] : 0;
        if (text == "pnlvlblt" || (level >= '5' && level <= '9')) {
            FNumberedList = false;
            W.InBulletList = true;
            ++W.UlDepth;
            W.WriteOut("<UL><LI type=disc>");
        } else if (text == "pnlvlbody") {
            FNumberedList = true;
            W.InBulletList = false;
        } else if (text == "pnlvlcont" || (level >= '1' && level <= '4')) {
            FNumberedList = false;
            W.InBulletList = false;
        } else if (text == "pndec" || text == "pncard" || text == "pnucltr" || text == "pnucrm" ||
                   text == "pnlcltr" || text == "pnlcrm" || text == "pnord" || text == "pnordt") {
            FNumberFormatSeen = true;
        } else if (text.find("pnstart") != std::string::npos) {
            if (FNumberFormatSeen && FNumberedList) {
                startText = text.size() > 7 ? text.substr(7) : std::string();
                FListCounter = ToInt(startText, 1);
            }
        } else if ((text == "pntxta" || text == "pntxtb") && FNumberedList) {
            // The text starts after the character that ended the word.
            size_t start = FPos;
            if (!spaceEnded && FPos < FText.size() && FText[FPos] != '}')
                ++start;
            const size_t close = FindAny(start, "}");
            const size_t end = close == std::string::npos ? FText.size() : close;
            start = std::min(start, end);
            // The text goes out as markup with the number: its own markup characters are
            // escaped.
            (text == "pntxta" ? FListTextAfter : FListTextBefore) =
                EscapedMarkup(std::string_view(FText).substr(start, end - start));
            FPos = end;
        }
    }
    if (FNumberedList && !W.InBulletList) {
        const std::string text = FListTextBefore + startText + FListTextAfter;
        if (!text.empty()) {
            FOut.clear();
            W.EmitItem("&&" + text, FFormat, FOut);
            W.WriteOut(FOut);
        }
    }
}

void TRtfReader::ApplyStyle(std::string_view digits)
{
    const int32_t number = ToInt(digits, -2);
    for (int level = 1; level <= 9; ++level) {
        if (FTocStyles[level] == number) {
            if (FHeadingStyles[level] != -1) {
                W.TocParagraph = true;
                W.LinkPending = true;
                W.TocLevel = level;
            }
            break;
        }
        if (FHeadingStyles[level] == number) {
            W.AnchorPending = true;
            W.HeadingLevel = level;
        }
    }
    // The style's last word gets its own delimiter: the space that ended "s"N belonged to
    // that word, and without one the last word would run into the text that follows.
    if (number >= 0 && number <= KMaxStyle && !FStyleTable[number].empty())
        PutInFront(FStyleTable[number] + " ");
}

// ---------------------------------------------------------------------------------------
// Tables of the document

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
    if (FPos + 1 >= FText.size()) {
        FPos = FText.size();
        return;
    }
    const char next = FText[FPos + 1];
    if (next == '\'') {
        HexItem(FItem);
        const int high = FItem.size() == 2 ? HexDigitValue(FItem[0]) : -1;
        const int low = FItem.size() == 2 ? HexDigitValue(FItem[1]) : -1;
        if (high >= 0 && low >= 0 && !entry.Named && entry.Number >= 0)
            entry.Name += static_cast<char>(high * 16 + low);
        return;
    }
    if (!IsLower(next)) {
        if ((next == '\\' || next == '{' || next == '}') && !entry.Named && entry.Number >= 0)
            entry.Name += next;
        FPos += 2;
        return;
    }
    const TWord word = ReadWord();
    if (word.Letters == "f" && !word.Param.empty() && IsDigit(word.Param[0])) {
        // A second number starts the next entry of a table without groups.
        if (entry.Number >= 0)
            StoreFont(entry);
        entry.Number = ToInt(word.Param, 0);
    } else if (word.Letters == "fcharset" && entry.CodePage == 0) {
        entry.CodePage = TCodePageDecoder::OfCharset(ToInt(word.Param, -1));
    } else if (word.Letters == "cpg") {
        entry.CodePage = std::max(ToInt(word.Param, 0), 0);
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

void TRtfReader::ReadStyleSheet()
{
    for (;;) {
        const size_t at = FindAny(FPos, "{}");
        if (at == std::string::npos) {
            FPos = FText.size();
            return;
        }
        FPos = at;
        if (FText[at] == '}')
            return; // the style sheet's own "}" ends its group
        Ensure(4);
        if (FText.compare(FPos + 1, 3, "\\ds") == 0 || FText.compare(FPos + 1, 3, "\\*\\") == 0) {
            SkipNestedGroup();
            continue;
        }
        ++FPos;
        int32_t number = 0;
        bool numbered = false;
        if (FText.compare(FPos, 2, "\\s") == 0 && FPos + 2 < FText.size() &&
            IsDigit(FText[FPos + 2])) {
            size_t end = FPos + 2;
            while (end < FText.size() && IsDigit(FText[end]))
                ++end;
            number = ToInt(FText.substr(FPos + 2, end - FPos - 2), KMaxStyle);
            FPos = end;
            numbered = true;
        }
        ReadStyle(number, numbered);
    }
}

void TRtfReader::ReadStyle(int32_t number, bool afterNumber)
{
    std::string own;
    std::string name;
    // The style's number is a control word: a space after it ends it.
    bool inWord = afterNumber;
    for (;;) {
        if (!Ensure(1))
            break;
        const char c = FText[FPos];
        if (c == '}') {
            ++FPos;
            break;
        }
        if (c == '{') {
            SkipNestedGroup();
            continue;
        }
        if (c == '\\') {
            Ensure(2);
            if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
                Ensure(4);
                if (FPos + 3 < FText.size()) {
                    const int high = HexDigitValue(FText[FPos + 2]);
                    const int low = HexDigitValue(FText[FPos + 3]);
                    if (high >= 0 && low >= 0)
                        name += static_cast<char>(high * 16 + low);
                }
                FPos = std::min(FPos + 4, FText.size());
                inWord = false;
                continue;
            }
            inWord = true;
            name.clear();
            own += '\\';
            ++FPos;
            continue;
        }
        ++FPos;
        if (c == ';') {
            StoreStyleName(name, number);
            name.clear();
        } else if (c == ' ' && inWord) {
            inWord = false;
            name.clear();
        } else if (inWord) {
            own += c;
        } else {
            name += c;
        }
    }

    std::string base;
    const size_t basedOn = own.find("\\sbasedon");
    if (basedOn != std::string::npos) {
        size_t end = basedOn + 9;
        while (end < own.size() && IsDigit(own[end]))
            ++end;
        const int32_t baseNumber = ToInt(own.substr(basedOn + 9, end - basedOn - 9), -1);
        if (baseNumber >= 0 && baseNumber < number && baseNumber <= KMaxStyle)
            base = FStyleTable[baseNumber];
    }
    if (number >= 0 && number <= KMaxStyle)
        FStyleTable[number] = CleanStyleControls(base, own);
}

void TRtfReader::StoreStyleName(const std::string &name, int32_t number)
{
    if (name.find("toc") != std::string::npos) {
        const int level = LastLevelDigit(name, 3);
        if (level > 0)
            FTocStyles[level] = number;
    }
    if (name.find("heading") != std::string::npos) {
        const int level = LastLevelDigit(name, 7);
        if (level > 0)
            FHeadingStyles[level] = number;
    }
}

std::string TRtfReader::CleanStyleControls(const std::string &base, const std::string &own)
{
    std::string result = own;
    for (const char *word :
         {"\\widctlpar", "\\adjustright", "\\nowidctlpar", "\\keepn", "\\cgrid", "\\widctl"})
        result = THtmlWriter::ReplaceAll(result, word, "");
    for (const char *word : {"\\sbasedon", "\\snext", "\\sa", "\\sb", "\\lang", "\\slmult", "\\sl",
                             "\\outlinelevel", "\\kerning", "\\expndtw", "\\expnd", "\\tx"})
        result = DeleteWithParameter(result, word);
    // A style never applies a style: reading its words must not start it again.
    std::string cleaned;
    for (size_t i = 0; i < result.size(); ++i) {
        if (result[i] == '\\' && i + 1 < result.size() && result[i + 1] == 's' &&
            (i + 2 == result.size() || !IsLower(result[i + 2]))) {
            size_t end = i + 2;
            while (end < result.size() && result[end] != '\\' && result[end] != ' ')
                ++end;
            i = end - 1;
            continue;
        }
        cleaned += result[i];
    }
    result.swap(cleaned);

    std::string kept = base;
    if (result.find(kept) != std::string::npos)
        kept.clear();
    const bool ownIndents =
        result.find("\\fi") != std::string::npos || result.find("\\li") != std::string::npos;
    const bool baseIndents =
        kept.find("\\fi") != std::string::npos || kept.find("\\li") != std::string::npos;
    if (ownIndents && baseIndents)
        kept = DeleteWithParameter(DeleteWithParameter(kept, "\\fi"), "\\li");
    return kept + result;
}

// ---------------------------------------------------------------------------------------
// Tables of text

void TRtfReader::ReadTable()
{
    TRtfFormat format;
    format.Reset(TRtfFormat::TScope::All);
    std::vector<TTableGroup> stack; // the format saved by each open group, and where it opened
    std::vector<std::pair<size_t, size_t>> cuts;
    std::string pending;
    bool lookAhead = false;
    TTableState state = TTableState::InCell;
    auto setLookAhead = [&](bool on) {
        lookAhead = on;
        FAppend = on;
        cuts.clear();
    };
    // In a cell the output goes straight out; after a cell or a row it waits in pending.
    auto out = [&](std::string_view text) {
        if (text.empty())
            return;
        if (state == TTableState::InCell)
            W.WriteOut(text);
        else
            pending += text;
    };
    auto emit = [&](std::string_view item) {
        FHighSurrogate = 0;
        FOut.clear();
        W.EmitItem(item, format, FOut);
        out(FOut);
    };
    // Writes text, the closing tags and then tail.
    auto writeClosed = [&](std::string_view text, std::string_view tail) {
        FOut.assign(text.data(), text.size());
        W.CloseAllTags(FOut);
        FOut += tail;
        W.WriteOut(FOut);
    };

    W.WriteOut("<BR><TABLE BORDER=2><TR><TD>");
    for (;;) {
        if (FPos >= FText.size()) {
            if (!ReadNextLine())
                break;
            continue;
        }
        const char c = FText[FPos];
        if (c == '{') {
            FFallbackLeft = 0;
            stack.push_back({format, FPos, FVersion});
            ++FPos;
            continue;
        }
        if (c == '}') {
            FFallbackLeft = 0;
            ++FPos;
            if (!lookAhead)
                FLineStart = FPos;
            if (!stack.empty()) {
                const TRtfFormat saved = stack.back().Saved;
                stack.pop_back();
                if (format.DiffersFrom(saved)) {
                    W.FormatChanged = true;
                    format = saved;
                } else {
                    format.Caps = saved.Caps;
                    format.CodePage = saved.CodePage;
                    format.UnicodeSkip = saved.UnicodeSkip;
                }
            }
            continue;
        }
        if (c != '\\') {
            ++FPos;
            if (FFallbackLeft > 0)
                --FFallbackLeft;
            else
                emit(std::string_view(&FText[FPos - 1], 1));
            continue;
        }
        if (FPos + 1 >= FText.size()) {
            FPos = FText.size();
            continue;
        }
        if (SkipFallback())
            continue;
        const char next = FText[FPos + 1];
        if (next != '\'')
            FDecoder.Interrupt();
        if (next == '\\' || next == '{' || next == '}' || next == '~' || next == '_') {
            FPos += 2;
            if (!format.Hidden)
                emit(next == '~'   ? std::string_view("&nbsp;")
                     : next == '_' ? std::string_view("-")
                                   : std::string_view(&FText[FPos - 1], 1));
            continue;
        }
        if (next == '\'') {
            if (!HexItem(FItem)) {
                if (!format.Hidden)
                    throw ERtfToHtmlError("'" + FItem + "' is not a valid integer value");
                continue;
            }
            HexCharacter(format, FItem);
            if (!FItem.empty())
                emit(FItem);
            continue;
        }
        if (next == '*') {
            FPos += 2;
            SkipGroup();
            if (lookAhead)
                CutGroup(stack, cuts);
            continue;
        }
        if (!IsLower(next)) {
            FPos += 2;
            continue;
        }

        const TWord word = ReadWord();
        switch (word.Id) {
        case TWordId::Cell:
            setLookAhead(false);
            if (state == TTableState::AfterCell)
                writeClosed("<TD>" + pending, "</TD>");
            else if (state == TTableState::AfterRow)
                writeClosed("<TR><TD>" + pending, "</TD>");
            else
                writeClosed("", "</TD>");
            format.Reset(TRtfFormat::TScope::All);
            pending.clear();
            state = TTableState::AfterCell;
            continue;
        case TWordId::Row:
            format.Reset(TRtfFormat::TScope::All);
            pending.clear();
            setLookAhead(false);
            W.WriteOut("</TR>");
            state = TTableState::AfterRow;
            continue;
        case TWordId::Trowd:
            setLookAhead(false);
            if (state == TTableState::AfterRow) {
                pending.clear();
                W.WriteOut("<TR><TD>");
                format.Reset(TRtfFormat::TScope::All);
                state = TTableState::InCell;
            }
            continue;
        case TWordId::InTbl:
            setLookAhead(false);
            continue;
        case TWordId::Par:
        case TWordId::Sect:
            FOut.clear();
            W.CloseAllTags(FOut);
            if (format.Right)
                FOut += "</DIV>";
            if (format.Center)
                FOut += "</CENTER>";
            FOut += "<BR>";
            if (state == TTableState::AfterCell)
                pending += FOut;
            else if (state == TTableState::InCell)
                W.WriteOut(FOut);
            continue;
        case TWordId::WidCtlPar:
            if (Ensure(6) && FText.compare(FPos, 6, "\\intbl") == 0)
                continue;
            [[fallthrough]];
        case TWordId::Pard:
            if (state == TTableState::AfterRow) {
                if (lookAhead) {
                    // A second paragraph start after the row: the table has ended, and what
                    // followed the first is read again as body text.
                    W.WriteOut("</TABLE><BR>");
                    RereadAfterTable(cuts);
                    return;
                }
                FLineStart = word.Start;
                setLookAhead(true);
            }
            if (word.Is(TWordId::Pard)) {
                FWordOut.clear();
                DoControlWord(word, format, FWordOut);
                out(FWordOut);
            }
            continue;
        default:
            break;
        }
        if (IsTableSkipped(word.Id)) {
            SkipGroup();
            if (lookAhead)
                CutGroup(stack, cuts);
            if (word.Is(TWordId::Pict))
                emit("&pict;");
        } else if (UnicodeWord(word, format, FItem)) {
            if (!FItem.empty())
                emit(FItem);
        } else {
            FWordOut.clear();
            DoControlWord(word, format, FWordOut);
            out(FWordOut);
        }
    }
    // The input ended inside the table.
    FAppend = false;
}

// Marks the group that was just skipped (the reader stands on its "}") for removal from the
// text that is read again when the table ends.
void TRtfReader::CutGroup(const std::vector<TTableGroup> &stack,
                          std::vector<std::pair<size_t, size_t>> &cuts)
{
    size_t open = FLineStart;
    if (!stack.empty() && stack.back().Version == FVersion && stack.back().Open > FLineStart)
        open = stack.back().Open;
    const size_t close = std::min(FPos, FText.size() - (FText.empty() ? 0 : 1));
    if (FText.empty() || close < open)
        return;
    while (!cuts.empty() && cuts.back().first >= open)
        cuts.pop_back();
    if (!cuts.empty() && cuts.back().second >= open)
        open = cuts.back().second + 1;
    if (open <= close)
        cuts.emplace_back(open, close);
}

void TRtfReader::RereadAfterTable(const std::vector<std::pair<size_t, size_t>> &cuts)
{
    std::string text;
    size_t from = FLineStart;
    for (const auto &[open, close] : cuts) {
        if (open < from)
            continue;
        text.append(FText, from, open - from);
        from = close + 1;
    }
    if (from < FText.size())
        text.append(FText, from, std::string::npos);
    FText.swap(text);
    FPos = 0;
    FLineStart = 0;
    FAppend = false;
    ++FVersion;
}

} // namespace Rtf2Html
