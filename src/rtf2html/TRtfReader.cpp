#include "rtf2html/TRtfReader.h"

#include "rtf2html/ERtfToHtmlError.h"
#include "rtf2html/StringUtils.h"
#include "rtf2html/THtmlWriter.h"
#include "rtf2html/TRtfLineSource.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace Rtf2Html {

namespace {
constexpr int KMaxFonts = 201;
constexpr int32_t KMaxStyle = 300;
constexpr int KUlLevels = 21; // indents of 0, 285, ... 5700 twips
constexpr int32_t KUlStep = 285;

const char *const KMainSkipped[] = {
    "bkmkstart", "bkmkend", "filetbl",   "footer",   "footerf",
    "footnote",  "header",  "headerf",   "info",     "levelnumbers",
    "leveltext", "list",    "listlevel", "listname", "listoverridetable",
    "listtable", "pict",    "pntext",    "revtbl",   "sp",
    "template"};
const char *const KTableSkipped[] = {"bkmkstart",    "bkmkend",
                                     "filetbl",      "footer",
                                     "footerf",      "footnote",
                                     "header",       "headerf",
                                     "levelnumbers", "leveltext",
                                     "list",         "listlevel",
                                     "listname",     "listoverridetable",
                                     "listtable",    "pict",
                                     "pntxtb",       "pntxta",
                                     "revtbl",       "sp",
                                     "template"};

const char *const KKnownWords[] = {"b",
                                   "b0",
                                   "bkmkend",
                                   "bkmkstart",
                                   "caps",
                                   "caps0",
                                   "cell",
                                   "colortbl",
                                   "emdash",
                                   "emspace",
                                   "endash",
                                   "enspace",
                                   "filetbl",
                                   "fonttbl",
                                   "footer",
                                   "footerf",
                                   "footnote",
                                   "header",
                                   "headerf",
                                   "i",
                                   "i0",
                                   "info",
                                   "intbl",
                                   "ldblquote",
                                   "levelnumbers",
                                   "leveltext",
                                   "line",
                                   "list",
                                   "listlevel",
                                   "listname",
                                   "listoverridetable",
                                   "listtable",
                                   "lquote",
                                   "nosupersub",
                                   "page",
                                   "par",
                                   "pard",
                                   "pict",
                                   "plain",
                                   "pntext",
                                   "pntxta",
                                   "pntxtb",
                                   "qc",
                                   "qr",
                                   "rdblquote",
                                   "revtbl",
                                   "row",
                                   "rquote",
                                   "sect",
                                   "sectd",
                                   "sp",
                                   "strike",
                                   "strike0",
                                   "strikedl",
                                   "strikedl0",
                                   "stylesheet",
                                   "sub",
                                   "super",
                                   "tab",
                                   "template",
                                   "trowd",
                                   "ul",
                                   "ul0",
                                   "uld",
                                   "uldash",
                                   "uldashd",
                                   "uldashdd",
                                   "uldb",
                                   "ulnone",
                                   "ulth",
                                   "ulwave",
                                   "v",
                                   "v0",
                                   "widctlpar"};

// The canonical text of a word the reader knows, or nullptr: words are compared by their
// canonical text only, so unknown words cost one lookup.
const char *KnownWord(std::string_view text)
{
    static const std::unordered_map<std::string_view, const char *> known = [] {
        std::unordered_map<std::string_view, const char *> result;
        for (const char *word : KKnownWords)
            result.emplace(word, word);
        return result;
    }();
    const auto it = known.find(text);
    return it == known.end() ? nullptr : it->second;
}

// The canonical texts of a list of known words.
template <size_t N> std::unordered_set<const char *> KnownSet(const char *const (&words)[N])
{
    std::unordered_set<const char *> result;
    for (const char *word : words)
        result.insert(KnownWord(word));
    return result;
}

// The words whose group the main reader / the table reader skips. The two lists differ,
// so each has a set of its own.
bool IsMainSkipped(const char *known)
{
    static const std::unordered_set<const char *> skipped = KnownSet(KMainSkipped);
    return known && skipped.count(known) > 0;
}

bool IsTableSkipped(const char *known)
{
    static const std::unordered_set<const char *> skipped = KnownSet(KTableSkipped);
    return known && skipped.count(known) > 0;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsLower(char c)
{
    return c >= 'a' && c <= 'z';
}

bool IsWordCharacter(char c)
{
    return IsLower(c) || IsDigit(c) || c == '-';
}

// A whole decimal number with an optional minus sign that fits 32 bits, or fallback.
int32_t ToInt(const std::string &text, int32_t fallback)
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

// Two upper-case hexadecimal digits; above 255 the last digit twice.
std::string ColourComponent(const std::string &entry, const char *name)
{
    static const char KHex[] = "0123456789ABCDEF";
    int32_t value = 0;
    const size_t at = entry.find(name);
    if (at != std::string::npos) {
        size_t end = at + std::strlen(name);
        const size_t digits = end;
        while (end < entry.size() && IsDigit(entry[end]))
            ++end;
        value = ToInt(entry.substr(digits, end - digits), 0);
    }
    if (value > 255)
        return std::string(2, KHex[value & 15]);
    if (value < 0)
        value = 0;
    return std::string{KHex[value >> 4], KHex[value & 15]};
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
    std::string line;
    if (!FSource.ReadLine(line)) {
        FAtEnd = true;
        return false;
    }
    FText.swap(line);
    FPos = 0;
    FLineStart = 0;
    ++FVersion;
    return true;
}

bool TRtfReader::AppendLine()
{
    if (FAtEnd)
        return false;
    std::string line;
    if (!FSource.ReadLine(line)) {
        FAtEnd = true;
        return false;
    }
    if (FPos == FText.size() && !FAppend) {
        // Nothing of the old line is left to read: start afresh rather than grow.
        FText.swap(line);
        FPos = 0;
        FLineStart = 0;
        ++FVersion;
    } else {
        FText += line;
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
    size_t end = FPos + 1;
    while (end < FText.size() && IsWordCharacter(FText[end]))
        ++end;
    word.Text = FText.substr(FPos + 1, end - FPos - 1);
    size_t letters = 0;
    while (letters < word.Text.size() && IsLower(word.Text[letters]))
        ++letters;
    word.Letters = word.Text.substr(0, letters);
    word.Param = word.Text.substr(letters);
    word.Known = KnownWord(word.Text);
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
    std::vector<TRtfFormat> stack;
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
            stack.push_back(FFormat);
            ++FPos;
        } else if (c == '}') {
            ++FPos;
            FLineStart = FPos;
            if (stack.empty())
                return; // the outermost level has ended
            EndGroup(stack);
        } else if (c == '\\') {
            Backslash();
        } else {
            ++FPos;
            TextItem(std::string(1, c), true);
        }
    }
    // The input ended inside groups: they end with it.
    while (!stack.empty())
        EndGroup(stack);
}

void TRtfReader::EndGroup(std::vector<TRtfFormat> &stack)
{
    const TRtfFormat saved = std::move(stack.back());
    stack.pop_back();
    if (FFormat.DiffersFrom(saved)) {
        W.WriteOut(W.CloseAllTags());
        W.FormatChanged = true;
        FFormat = saved;
    } else {
        // Caps has no tag, but it ends with its group all the same.
        FFormat.Caps = saved.Caps;
    }
}

void TRtfReader::TextItem(const std::string &item, bool withRun)
{
    if (W.PendingLi) {
        W.WriteOut("<LI type=disc>");
        W.PendingLi = false;
    }
    if (FNumberedList && W.NewParagraph && !FPendingNumberText.empty()) {
        W.WriteOut(W.EmitItem("&&" + FPendingNumberText, FFormat));
        FPendingNumberText.clear();
    }
    std::string html = W.EmitItem(item, FFormat);
    if (withRun)
        AppendPlainRun(html);
    W.WriteOut(html);
}

// The characters up to the next backslash or brace, when each of them would go out as its
// own item with nothing else, join the output of the item before them: the same as item
// by item, since their rendering holds no "<" or ">" (no cut point, optimiser change or
// early write can fall between them).
void TRtfReader::AppendPlainRun(std::string &html)
{
    if (W.PendingLi || !W.PlainTextReady())
        return;
    size_t end = FPos;
    while (end < FText.size() && FText[end] != '\\' && FText[end] != '{' && FText[end] != '}')
        ++end;
    if (end == FPos)
        return;
    html += THtmlWriter::RenderPlainText(std::string_view(FText).substr(FPos, end - FPos), FFormat);
    FPos = end;
}

// Reads the two characters of a hex escape (the reader stands on its backslash). A file that
// ends inside the escape gives what is there, and false.
bool TRtfReader::HexItem(std::string &item)
{
    const bool complete = Ensure(4);
    item = FText.substr(FPos + 2, 2);
    FPos = std::min(FPos + 4, FText.size());
    return complete;
}

void TRtfReader::Backslash()
{
    if (FPos + 1 >= FText.size()) {
        // A backslash at the end of a line produces nothing.
        FPos = FText.size();
        return;
    }
    const char next = FText[FPos + 1];
    switch (next) {
    case '\\':
    case '{':
    case '}':
        FPos += 2;
        if (!FFormat.Hidden)
            TextItem(std::string(1, next));
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
        std::string item;
        if (!HexItem(item)) {
            if (!FFormat.Hidden)
                throw ERtfToHtmlError("'" + item + "' is not a valid integer value");
            return;
        }
        TextItem(item);
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
    const std::string &text = word.Text;
    if (word.Is("fonttbl")) {
        ReadFontTable();
    } else if (word.Is("colortbl")) {
        ReadColorTable();
    } else if (word.Is("stylesheet")) {
        ReadStyleSheet();
    } else if (word.Letters == "s" && !word.Param.empty() &&
               std::all_of(word.Param.begin(), word.Param.end(), IsDigit)) {
        ApplyStyle(word.Param);
    } else if (word.Is("trowd")) {
        W.WriteOut(W.CloseAllTags());
        W.CloseLists();
        ReadTable();
    } else if (IsMainSkipped(word.Known)) {
        SkipGroup();
        if (word.Is("pict"))
            W.WriteOut(W.EmitItem("&pict;", FFormat));
    } else {
        if (W.LinkOpen)
            W.WriteOut("</A>");
        W.WriteOut(DoControlWord(word, FFormat));
        W.LinkOpen = false;
    }
}

std::string TRtfReader::DoControlWord(const TWord &word, TRtfFormat &format)
{
    const std::string &text = word.Text;
    const std::string &letters = word.Letters;
    const std::string &param = word.Param;
    auto set = [this](bool &field, bool value) {
        if (field != value) {
            field = value;
            W.FormatChanged = true;
        }
    };
    auto item = [&](const char *name) {
        return format.Hidden ? std::string() : W.EmitItem(name, format);
    };

    if (word.Is("plain")) {
        format.Reset(TRtfFormat::TScope::Text);
        W.FormatChanged = true;
        return W.TagsOpen() ? W.CloseAllTags() : std::string();
    }
    if (word.Is("pard") || word.Is("sectd")) {
        format.Reset(TRtfFormat::TScope::Par);
        FPendingNumberText.clear();
        W.TocParagraph = false;
        FIndentTotal = 0;
        FIndentOpen = true;
        W.PendingLi = false;
        FNumberedList = false;
        FNumberFormatSeen = false;
        FListCounter = -1;
        std::string result;
        for (int i = 0; i < W.UlDepth; ++i)
            result += "</UL>";
        W.UlDepth = 0;
        W.InBulletList = false;
        return result;
    }
    if (word.Is("par") || word.Is("sect")) {
        std::string result = W.CloseAllTags();
        if (format.Right)
            result += "</DIV>";
        if (format.Center)
            result += "</CENTER>";
        W.FormatChanged = true;
        W.LinkPending = true;
        W.NewParagraph = true;
        if (W.InBulletList) {
            result += "</LI>";
            W.PendingLi = true;
        } else {
            result += "<BR>";
            if (FListCounter >= 0) {
                ++FListCounter;
                FPendingNumberText =
                    FListTextBefore + std::to_string(FListCounter) + FListTextAfter;
            }
            FBookmarkParagraph = false;
        }
        return result;
    }
    if (word.Is("v") || word.Is("v0")) {
        format.Hidden = word.Is("v");
        return std::string();
    }
    if (word.Is("caps") || word.Is("caps0")) {
        format.Caps = word.Is("caps");
        return std::string();
    }
    if (word.Is("qc")) {
        format.Center = true;
        return std::string();
    }
    if (word.Is("qr")) {
        format.Right = true;
        return std::string();
    }
    if (word.Is("tab"))
        return item("&tab;");
    if (word.Is("line"))
        return "<BR>";
    if (word.Is("page"))
        return "<BR><HR><BR>";
    if (word.Is("emdash") || word.Is("endash") || word.Is("emspace") || word.Is("enspace"))
        return item(("&" + text + ";").c_str());
    if (word.Is("lquote") || word.Is("rquote"))
        return item("&quote;");
    if (word.Is("ldblquote") || word.Is("rdblquote"))
        return item("&dblquote;");
    if (word.Is("b") || word.Is("b0")) {
        set(format.Bold, word.Is("b"));
        return std::string();
    }
    if (word.Is("i") || word.Is("i0")) {
        set(format.Italic, word.Is("i"));
        return std::string();
    }
    if (word.Is("ul") || word.Is("uld") || word.Is("uldash") || word.Is("uldashd") ||
        word.Is("uldashdd") || word.Is("uldb") || word.Is("ulth") || word.Is("ulwave")) {
        set(format.Underline, true);
        return std::string();
    }
    if (word.Is("ulnone") || word.Is("ul0")) {
        set(format.Underline, false);
        return std::string();
    }
    if (word.Is("super") || text.compare(0, 2, "up") == 0) {
        set(format.Superscript, true);
        return std::string();
    }
    if (word.Is("sub") || text.compare(0, 2, "dn") == 0) {
        set(format.Subscript, true);
        return std::string();
    }
    if (word.Is("nosupersub")) {
        set(format.Superscript, false);
        set(format.Subscript, false);
        return std::string();
    }
    if (word.Is("strike") || word.Is("strikedl")) {
        set(format.Strike, true);
        return std::string();
    }
    if (word.Is("strike0") || word.Is("strikedl0")) {
        set(format.Strike, false);
        return std::string();
    }
    if ((letters == "li" && !param.empty() && IsDigit(param[0])) ||
        (letters == "fi" && !param.empty() && (param[0] == '-' || IsDigit(param[0]))))
        return Indent(word);
    if (letters == "f" && !param.empty() && IsDigit(param[0])) {
        if (!W.Options().NoFonts) {
            const int32_t font = ToInt(param, 0);
            if (format.Font != font) {
                format.Font = font;
                W.FormatChanged = true;
            }
        }
        return std::string();
    }
    if (letters == "fs" && text.size() > 2) {
        const int32_t size = ToInt(param, 0) / 2;
        if (format.Size != size) {
            format.Size = size;
            W.FormatChanged = true;
        }
        return std::string();
    }
    if (letters == "cf" && text.size() > 2) {
        const int32_t index = ToInt(param, 0);
        // A negative index names no colour; one beyond the table takes its last colour.
        if (!FColorList.empty() && index >= 0) {
            const std::string &colour =
                FColorList[std::min(static_cast<size_t>(index), FColorList.size() - 1)];
            if (format.Colour != colour) {
                format.Colour = colour;
                W.FormatChanged = true;
            }
        }
        return std::string();
    }
    return std::string();
}

std::string TRtfReader::Indent(const TWord &word)
{
    if (!FIndentOpen)
        return std::string();
    FIndentTotal += ToInt(word.Param, 0);
    if (word.Letters == "fi")
        return std::string();
    FIndentOpen = false;
    std::string result;
    while (W.UlDepth < KUlLevels && static_cast<int64_t>(W.UlDepth) * KUlStep < FIndentTotal) {
        ++W.UlDepth;
        result += "<UL>";
    }
    return result;
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
        const TWord word = ReadWord();
        const std::string &text = word.Text;
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
            (text == "pntxta" ? FListTextAfter : FListTextBefore) =
                FText.substr(start, end - start);
            FPos = end;
        }
    }
    if (FNumberedList && !W.InBulletList) {
        const std::string text = FListTextBefore + startText + FListTextAfter;
        if (!text.empty())
            W.WriteOut(W.EmitItem("&&" + text, FFormat));
    }
}

void TRtfReader::ApplyStyle(const std::string &digits)
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

void TRtfReader::ReadFontTable()
{
    bool grouped = false;
    for (;;) {
        Ensure(5);
        // The next entry, unless the table ends first with "}}" (entries in groups) or
        // with a "}" (entries without groups, which is then the table's own).
        size_t backslash = std::string::npos;
        for (size_t at = FindAny(FPos, "}\\"); at != std::string::npos;
             at = FindAny(at + 1, "}\\")) {
            if (FText[at] == '\\') {
                backslash = at;
                break;
            }
            if (!grouped) {
                FPos = at;
                return;
            }
            if (at + 1 >= FText.size()) {
                FPos = at;
                Ensure(2);
            }
            if (at + 1 < FText.size() && FText[at + 1] == '}') {
                FPos = at + 2;
                return;
            }
        }
        if (backslash == std::string::npos) {
            FPos = FText.size();
            return;
        }
        FPos = backslash;
        Ensure(2);
        if (FPos + 1 >= FText.size() || FText[FPos + 1] != 'f')
            return; // the font table ends here
        grouped = FPos > 0 && FText[FPos - 1] == '{';
        size_t digitsEnd = FPos + 2;
        while (digitsEnd < FText.size() && IsDigit(FText[digitsEnd]))
            ++digitsEnd;
        const int32_t number = ToInt(FText.substr(FPos + 2, digitsEnd - FPos - 2), 0);
        size_t mark = FindAny(digitsEnd, "}{ ");
        if (mark != std::string::npos && FText[mark] == '{')
            mark = FindAny(mark, "}");
        if (mark == std::string::npos) {
            FPos = FText.size();
            return;
        }
        const size_t nameStart = mark + 1;
        size_t nameEnd = FindAny(nameStart, ";{\\");
        if (nameEnd == std::string::npos)
            nameEnd = FText.size();
        std::string name = FText.substr(nameStart, nameEnd - nameStart);
        size_t after = nameEnd;
        if (nameEnd < FText.size() && FText[nameEnd] == '{') {
            FPos = nameEnd;
            Ensure(8);
            if (FText.compare(nameEnd + 1, 7, "\\*\\falt") == 0) {
                const size_t close = FindAny(nameEnd, "}");
                const size_t end = close == std::string::npos ? FText.size() : close;
                const size_t start = std::min(nameEnd + 9, end);
                name = FText.substr(start, end - start);
                after = close == std::string::npos ? end : close + 1;
            }
        }
        if (!W.Options().NoFonts && FFontCount < KMaxFonts) {
            W.AddFontName(number, name);
            if (W.Options().Optimize && FFontCount < 3) {
                W.AddRemovable("<FONT FACE=\"" + name + "\"></FONT>");
                if (!W.Options().OnlyDefiniteOpt)
                    W.AddRemovable("</FONT><FONT FACE=\"" + name + "\">");
            }
            ++FFontCount;
        }
        FPos = std::min(after, FText.size());
    }
}

void TRtfReader::ReadColorTable()
{
    Ensure(2);
    if (FPos < FText.size() && FText[FPos] == ';') {
        FColorList.push_back("#000000");
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
        const std::string colour = "#" + ColourComponent(entry, "red") +
                                   ColourComponent(entry, "green") + ColourComponent(entry, "blue");
        FColorList.push_back(colour);
        if (W.Options().Optimize)
            W.AddRemovable("<FONT COLOR=\"" + colour + "\"></FONT>");
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
    std::vector<TTableGroup> stack;
    std::vector<std::pair<size_t, size_t>> cuts;
    std::string pending;
    bool lookAhead = false;
    TTableState state = TTableState::InCell;
    auto setLookAhead = [&](bool on) {
        lookAhead = on;
        FAppend = on;
        cuts.clear();
    };
    auto out = [&](const std::string &text) {
        if (text.empty())
            return;
        if (state == TTableState::InCell)
            W.WriteOut(text);
        else
            pending += text;
    };
    auto emit = [&](const std::string &item) { out(W.EmitItem(item, format)); };

    W.WriteOut("<BR><TABLE BORDER=2><TR><TD>");
    for (;;) {
        if (FPos >= FText.size()) {
            if (!ReadNextLine())
                break;
            continue;
        }
        const char c = FText[FPos];
        if (c == '{') {
            stack.push_back({format, FPos, FVersion});
            ++FPos;
            continue;
        }
        if (c == '}') {
            ++FPos;
            if (!lookAhead)
                FLineStart = FPos;
            if (!stack.empty()) {
                const TRtfFormat saved = std::move(stack.back().Saved);
                stack.pop_back();
                if (format.DiffersFrom(saved)) {
                    W.FormatChanged = true;
                    format = saved;
                } else {
                    format.Caps = saved.Caps;
                }
            }
            continue;
        }
        if (c != '\\') {
            ++FPos;
            emit(std::string(1, c));
            continue;
        }
        if (FPos + 1 >= FText.size()) {
            FPos = FText.size();
            continue;
        }
        const char next = FText[FPos + 1];
        if (next == '\\' || next == '{' || next == '}' || next == '~' || next == '_') {
            FPos += 2;
            if (!format.Hidden)
                emit(next == '~'   ? std::string("&nbsp;")
                     : next == '_' ? std::string("-")
                                   : std::string(1, next));
            continue;
        }
        if (next == '\'') {
            std::string item;
            if (!HexItem(item)) {
                if (!format.Hidden)
                    throw ERtfToHtmlError("'" + item + "' is not a valid integer value");
                continue;
            }
            emit(item);
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
        const std::string &text = word.Text;
        if (word.Is("cell")) {
            setLookAhead(false);
            if (state == TTableState::AfterCell)
                W.WriteOut("<TD>" + pending + W.CloseAllTags() + "</TD>");
            else if (state == TTableState::AfterRow)
                W.WriteOut("<TR><TD>" + pending + W.CloseAllTags() + "</TD>");
            else
                W.WriteOut(W.CloseAllTags() + "</TD>");
            format.Reset(TRtfFormat::TScope::All);
            pending.clear();
            state = TTableState::AfterCell;
        } else if (word.Is("row")) {
            format.Reset(TRtfFormat::TScope::All);
            pending.clear();
            setLookAhead(false);
            W.WriteOut("</TR>");
            state = TTableState::AfterRow;
        } else if (word.Is("trowd")) {
            setLookAhead(false);
            if (state == TTableState::AfterRow) {
                pending.clear();
                W.WriteOut("<TR><TD>");
                format.Reset(TRtfFormat::TScope::All);
                state = TTableState::InCell;
            }
        } else if (word.Is("intbl")) {
            setLookAhead(false);
        } else if (word.Is("par") || word.Is("sect")) {
            std::string result = W.CloseAllTags();
            if (format.Right)
                result += "</DIV>";
            if (format.Center)
                result += "</CENTER>";
            result += "<BR>";
            if (state == TTableState::AfterCell)
                pending += result;
            else if (state == TTableState::InCell)
                W.WriteOut(result);
        } else if (word.Is("pard") || (word.Is("widctlpar") &&
                                       !(Ensure(6) && FText.compare(FPos, 6, "\\intbl") == 0))) {
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
            if (word.Is("pard"))
                out(DoControlWord(word, format));
        } else if (IsTableSkipped(word.Known)) {
            SkipGroup();
            if (lookAhead)
                CutGroup(stack, cuts);
            if (word.Is("pict"))
                emit("&pict;");
        } else {
            out(DoControlWord(word, format));
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
