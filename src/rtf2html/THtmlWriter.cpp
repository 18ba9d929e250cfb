#include "rtf2html/THtmlWriter.h"

#include "rtf2html/ERtfToHtmlError.h"
#include "rtf2html/THtmlOutputFile.h"
#include "text/StringUtils.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Rtf2Html {

namespace {
constexpr size_t KLineLimit = 100;

// Every byte value, for rendering one of them as a one-character item.
constexpr std::array<char, 256> AllBytes()
{
    std::array<char, 256> bytes{};
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i);
    return bytes;
}
constexpr std::array<char, 256> KBytes = AllBytes();

// Text of the document or of a file name as the text of an element: markup characters
// escaped; a name in UTF-8 (as file systems give it) gives its characters as references.
std::string EscapedText(std::string_view text)
{
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '<') {
            result += "&lt;";
        } else if (c == '>') {
            result += "&gt;";
        } else if (c == '&') {
            result += "&amp;";
        } else if (c < 0x80) {
            result += static_cast<char>(c);
        } else {
            // A UTF-8 sequence of two to four bytes, or a byte of code page 1252.
            const int length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 1;
            uint32_t code = length == 4 ? c & 7u : length == 3 ? c & 15u : c & 31u;
            bool sequence = length > 1 && i + length <= text.size();
            for (int k = 1; sequence && k < length; ++k) {
                const auto next = static_cast<unsigned char>(text[i + k]);
                sequence = (next & 0xC0) == 0x80;
                code = code << 6 | (next & 0x3Fu);
            }
            if (sequence && code >= 0x80 && code <= 0x10FFFF) {
                result += "&#" + std::to_string(code) + ";";
                i += length - 1;
            } else {
                result += static_cast<char>(c);
            }
        }
    }
    return result;
}

// The characters of a run of text: those rendered as themselves, those rendered otherwise,
// and those that end the run. Without and with caps.
enum TRunCharacter : uint8_t { KAsItself, KRendered, KEndsRun };
constexpr std::array<uint8_t, 256> RunCharacters(bool caps)
{
    std::array<uint8_t, 256> kinds{};
    kinds['<'] = kinds['>'] = kinds['&'] = KRendered;
    for (int c = 'a'; caps && c <= 'z'; ++c)
        kinds[static_cast<size_t>(c)] = KRendered;
    kinds['\\'] = kinds['{'] = kinds['}'] = KEndsRun;
    return kinds;
}
constexpr std::array<uint8_t, 256> KRunCharacters = RunCharacters(false);
constexpr std::array<uint8_t, 256> KRunCharactersWithCaps = RunCharacters(true);

// The first position at or after from in text[0, size) of a character that is not rendered
// as itself.
size_t SkipAsItself(const char *text, size_t from, size_t size,
                    const std::array<uint8_t, 256> &kinds)
{
    while (from < size && kinds[static_cast<unsigned char>(text[from])] == KAsItself)
        ++from;
    return from;
}

// The same without caps, sixteen characters at a time where SSE2 is there.
size_t SkipAsItself(const char *text, size_t from, size_t size)
{
#if defined(__SSE2__)
    for (; from + 16 <= size; from += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + from));
        __m128i others = _mm_setzero_si128();
        for (const char c : {'<', '>', '&', '\\', '{', '}'})
            others = _mm_or_si128(others, _mm_cmpeq_epi8(chunk, _mm_set1_epi8(c)));
        const auto bits = static_cast<uint32_t>(_mm_movemask_epi8(others));
        if (bits != 0)
            return from + static_cast<size_t>(__builtin_ctz(bits));
    }
#endif
    return SkipAsItself(text, from, size, KRunCharacters);
}

// Past this much unwritten markup that the optimiser removes again, the buffer is replaced
// by its optimised form so that the work stays in proportion to the input.
constexpr size_t KRawLimit = 1 << 12;

// The position of the first ">" in text[from, size), or size. Markup has a ">" every few
// characters, too often for memchr to pay: eight characters are looked at together, a byte
// that equals ">" becoming zero (the lowest flagged byte of the zero-byte test is exact).
size_t NextClose(const char *text, size_t from, size_t size)
{
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the first byte is the lowest");
    constexpr uint64_t KOnes = 0x0101010101010101ull;
    constexpr uint64_t KHighs = 0x8080808080808080ull;
    constexpr uint64_t KCloses = KOnes * '>';
    size_t at = from;
    for (; at + 8 <= size; at += 8) {
        uint64_t chunk;
        std::memcpy(&chunk, text + at, 8);
        chunk ^= KCloses;
        const uint64_t zeros = (chunk - KOnes) & ~chunk & KHighs;
        if (zeros != 0)
            return at + static_cast<size_t>(__builtin_ctzll(zeros)) / 8;
    }
    for (; at < size; ++at) {
        if (text[at] == '>')
            return at;
    }
    return size;
}

// The positions of the ">" in text[from, size), in order: 64 characters are compared at a
// time into a mask of bits (16 at a time with SSE2), whose set bits are then taken one by one.
class TCloseFinder
{
public:
    TCloseFinder(const char *text, size_t from, size_t size) : FText(text), FSize(size), FBase(from)
    {
        Load();
    }

    // The next position, or the size when there is none.
    size_t Next()
    {
        while (FMask == 0) {
            FBase += 64;
            if (FBase >= FSize)
                return FSize;
            Load();
        }
        const size_t at = FBase + static_cast<size_t>(__builtin_ctzll(FMask));
        FMask &= FMask - 1;
        return at;
    }

private:
    void Load()
    {
        FMask = 0;
        if (FBase >= FSize)
            return;
        const char *const block = FText + FBase;
        const size_t count = std::min<size_t>(64, FSize - FBase);
        size_t i = 0;
#if defined(__SSE2__)
        for (; i + 16 <= count; i += 16)
            FMask |= static_cast<uint64_t>(ClosesAt(block + i)) << i;
        // A last piece shorter than sixteen: the sixteen characters that end with it, when
        // the text has them, without the bits of those before it.
        if (i < count && FBase + count >= 16) {
            const size_t rest = count - i;
            FMask |= static_cast<uint64_t>(ClosesAt(block + count - 16) >> (16 - rest)) << i;
            return;
        }
#endif
        for (; i < count; ++i)
            FMask |= static_cast<uint64_t>(block[i] == '>') << i;
    }

#if defined(__SSE2__)
    // A bit for each ">" among the sixteen characters at text.
    static uint32_t ClosesAt(const char *text)
    {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text));
        return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('>'))));
    }
#endif

    const char *FText;
    size_t FSize;
    size_t FBase;
    uint64_t FMask = 0;
};

// End of the first cut point at or after from: a "<P>" anywhere wins over a "<BR>".
// nextParagraph caches the position of the next "<P>" (npos: there is none after it).
size_t FindCut(const std::string &text, size_t from, size_t &nextParagraph)
{
    if (nextParagraph != std::string::npos && nextParagraph < from)
        nextParagraph = text.find("<P>", from);
    if (nextParagraph != std::string::npos)
        return nextParagraph + 3;
    const size_t lineBreak = text.find("<BR>", from);
    return lineBreak == std::string::npos ? std::string::npos : lineBreak + 4;
}

// The first "<P>" and the first "<BR>" at or after from, in one pass.
void FindMarks(const std::string &text, size_t from, size_t &paragraph, size_t &lineBreak)
{
    paragraph = std::string::npos;
    lineBreak = std::string::npos;
    // The stretch searched is short (what was just appended): a plain loop beats memchr.
    const char *const data = text.data();
    const size_t size = text.size();
    for (size_t at = from; at < size; ++at) {
        if (data[at] != '<')
            continue;
        if (at + 2 < size && data[at + 1] == 'P' && data[at + 2] == '>') {
            paragraph = at;
            return;
        }
        if (lineBreak == std::string::npos && at + 3 < size && data[at + 1] == 'B' &&
            data[at + 2] == 'R' && data[at + 3] == '>')
            lineBreak = at;
    }
}

// The first "http://" at or after from. Searching for the rare "://" keeps the frequent
// letter "h" from costing a comparison each time.
size_t FindScheme(std::string_view line, size_t from)
{
    if (from + 4 > line.size())
        return std::string::npos;
    for (size_t colon = line.find("://", from + 4); colon != std::string::npos;
         colon = line.find("://", colon + 1)) {
        if (line.compare(colon - 4, 4, "http") == 0)
            return colon - 4;
    }
    return std::string::npos;
}
} // namespace

THtmlWriter::THtmlWriter(const TOptions &options) : FOptions(options)
{
    FOptimizer.Configure(options.Optimize);
    FOptimizerVersion = FOptimizer.Version();
}

THtmlWriter::~THtmlWriter() = default;

void THtmlWriter::BeginPage(const std::string &fileName, const std::string &title)
{
    FFile = std::make_unique<THtmlOutputFile>(fileName);
    WriteHead(title);
}

void THtmlWriter::BeginPage(TLineSink sink, const std::string &title)
{
    FSink = std::move(sink);
    WriteHead(title);
}

void THtmlWriter::WriteHead(const std::string &title)
{
    WriteLine("<HTML>");
    WriteLine("<HEAD>");
    // Bytes of the text are those of code page 1252; other characters are references.
    WriteLine("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">");
    WriteLine("<TITLE>" + EscapedText(title) + "</TITLE>");
    WriteLine("</HEAD>");
    WriteLine("<BODY TEXT=\"#000000\" BGCOLOR=\"#FFFFFF\" LINK=\"#3333FF\" VLINK=\"#999999\" "
              "ALINK=\"#FF0000\">");
    if (FFile)
        FFile->Flush();
}

void THtmlWriter::EndPage(const TRtfFormat &topFormat)
{
    std::string text;
    CloseAllTags(text);
    if (topFormat.Right)
        text += "</DIV>";
    if (topFormat.Center)
        text += "</CENTER>";
    WriteOut(text);
    CloseLists();
    // The rest goes out as it stands, without a further optimiser pass or links.
    WriteLine(RawBuffer());
    FStreamed = 0;
    FSettleTried = 0;
    FOptimized.clear();
    FRaw.clear();
    FRawSame = true;
    WriteLine("</BODY>");
    WriteLine("</HTML>");
    if (FFile)
        FFile->Flush();
}

void THtmlWriter::Commit()
{
    if (FFile)
        FFile->Commit();
}

void THtmlWriter::WriteLine(std::string_view line)
{
    if (FFile) {
        FFile->WriteLine(line);
    } else if (FSink) {
        if (FPartLine.empty()) {
            FSink(line);
        } else {
            FPartLine += line;
            FSink(FPartLine);
            FPartLine.clear();
        }
    }
}

void THtmlWriter::WriteLineStart(std::string_view text)
{
    if (FFile)
        FFile->Write(text);
    else
        FPartLine += text;
}

// Writes a line of the body with its addresses turned into links.
void THtmlWriter::WriteLinked(std::string_view line)
{
    if (line.find("://") == std::string_view::npos) {
        WriteLine(line);
    } else {
        FLinked.clear();
        AppendLinked(line, FLinked);
        WriteLine(FLinked);
    }
}

// A paragraph without tags can grow without end: the start of a long buffer goes out (its
// line not yet ended) once nothing can change it any more. Without "optimize" only
// "<UL></UL>" and "</UL><UL>" are deleted, and no deletion, cut point or tag reaches back
// over a space that stands outside any tag: the buffer goes out up to the last such space
// before its first address (whether its line gets links depends on how it ends). The
// buffer starts outside any tag (after a cut point, a written buffer or such a space).
void THtmlWriter::WriteSettledText()
{
    constexpr size_t KSettleAbove = 1 << 12;
    // After a search that found no such space, the next waits until the buffer has doubled,
    // so that searching stays in proportion to the text.
    if (FOptions.Optimize || !FRawSame ||
        FOptimized.size() <= std::max(KSettleAbove, 2 * FSettleTried))
        return;
    const char *const buffer = FOptimized.data();
    const size_t size = FOptimized.size();
    const size_t address = FindScheme(FOptimized, 0);
    const size_t limit = address == std::string::npos ? size : address;
    bool inTag = false;
    size_t end = 0;
    for (size_t i = 0; i < limit; ++i) {
        const char c = buffer[i];
        if (c == '<')
            inTag = true;
        else if (c == '>')
            inTag = false;
        else if (c == ' ' && !inTag)
            end = i + 1;
    }
    if (end == 0) {
        FSettleTried = size;
        return;
    }
    WriteLineStart(std::string_view(FOptimized).substr(0, end));
    FStreamed += end;
    FOptimized.erase(0, end);
    FSettleTried = 0;
}

void THtmlWriter::OpenTags(const TRtfFormat &format, std::string &out)
{
    const THtmlTagSets::TTagSet &tags = FTagSets.Of(format);
    out += tags.Open;
    // Tags are normally opened only when none are open.
    if (FCloseTags.empty())
        FCloseTags = tags.Close;
    else
        FCloseTags.insert(0, tags.Close);
}

void THtmlWriter::CloseAllTags(std::string &out)
{
    out += FCloseTags;
    FCloseTags.clear();
}

void THtmlWriter::CloseLists()
{
    std::string text;
    if (InBulletList && !PendingLi)
        text = "</LI>";
    for (int i = 0; i < UlDepth; ++i)
        text += "</UL>";
    UlDepth = 0;
    // The list is closed now: a later close must not end its item again.
    InBulletList = false;
    WriteOut(text);
}

void THtmlWriter::Render(std::string_view item, bool caps, std::string &out)
{
    if (item.size() == 1) {
        const char c = item[0];
        switch (c) {
        case '<':
            out += "&lt;";
            return;
        case '>':
            out += "&gt;";
            return;
        case '&':
            out += "&amp;";
            return;
        default:
            out += caps && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            return;
        }
    }
    if (item.size() == 2) {
        if (item == "c4")
            out += "&Auml;";
        else if (item == "d6")
            out += "&Ouml;";
        else if (item == "dc")
            out += "&Uuml;";
        else if (item == "e4")
            out += caps ? "&Auml;" : "&auml;";
        else if (item == "f6")
            out += caps ? "&Ouml;" : "&ouml;";
        else if (item == "fc")
            out += caps ? "&Uuml;" : "&uuml;";
        else if (item == "df")
            out += "&szlig;";
        else if (item == "b7")
            out += "&middot;";
        else {
            const int high = HexDigitValue(item[0]);
            const int low = HexDigitValue(item[1]);
            if (high < 0 || low < 0)
                throw ERtfToHtmlError("'" + std::string(item) + "' is not a valid integer value");
            // An escaped "<" is text like any other, never markup.
            Render(std::string_view(&KBytes[high * 16 + low], 1), false, out);
        }
        return;
    }
    if (item.substr(0, 2) == "&#")
        out += item; // a character reference made by the reader
    else if (item == "&pict;")
        out += "<P>[*** picture ***]<P>";
    else if (item.substr(0, 2) == "&&")
        out += item.substr(2);
    else if (item == "&tab;")
        out += "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
    else if (item == "&quote;")
        out += "'";
    else if (item == "&dblquote;")
        out += "\"";
    else if (item == "&emspace;")
        out += "&nbsp;&nbsp;";
    else if (item == "&enspace;" || item == "&nbsp;")
        out += "&nbsp;";
    else if (item == "&emdash;")
        out += "--";
    else if (item == "&endash;")
        out += "-";
}

size_t THtmlWriter::AppendTextRun(std::string_view text, const TRtfFormat &format, std::string &out)
{
    const std::array<uint8_t, 256> &kinds = format.Caps ? KRunCharactersWithCaps : KRunCharacters;
    const char *const data = text.data();
    const size_t size = text.size();
    size_t done = 0; // what is rendered
    size_t i = 0;
    for (;; ++i) {
        i = format.Caps ? SkipAsItself(data, i, size, kinds) : SkipAsItself(data, i, size);
        if (i == size)
            break;
        const uint8_t kind = kinds[static_cast<unsigned char>(data[i])];
        if (kind == KEndsRun)
            break;
        if (!format.Hidden) {
            out.append(data + done, i - done);
            Render(text.substr(i, 1), format.Caps, out);
        }
        done = i + 1;
    }
    if (!format.Hidden)
        out.append(data + done, i - done);
    return i;
}

void THtmlWriter::EmitItem(std::string_view item, const TRtfFormat &format, std::string &out)
{
    if (FormatChanged)
        CloseAllTags(out);
    if (NewParagraph) {
        if (format.Center)
            out += "<CENTER>";
        else if (format.Right)
            out += "<DIV ALIGN=right>";
    }
    if (FormatChanged || NewParagraph)
        OpenTags(format, out);
    FormatChanged = false;
    NewParagraph = false;
    if (TocParagraph && LinkPending) {
        LinkOpen = true;
        LinkPending = false;
        const int level = TocLevel >= 1 && TocLevel <= 9 ? TocLevel : 0;
        out += "<A HREF=\"#" + std::to_string(TocLevel) + "-" +
               std::to_string(++FTocCounters[level]) + "\">";
    }
    if (AnchorPending) {
        const int level = HeadingLevel >= 1 && HeadingLevel <= 9 ? HeadingLevel : 0;
        out += "<A NAME=\"" + std::to_string(HeadingLevel) + "-" +
               std::to_string(++FHeadingCounters[level]) + "\">";
    }
    if (!format.Hidden)
        Render(item, format.Caps, out);
    if (AnchorPending) {
        out += "</A>";
        AnchorPending = false;
    }
}

std::string THtmlWriter::LinkUrls(const std::string &line)
{
    std::string result;
    AppendLinked(line, result);
    return result;
}

void THtmlWriter::AppendLinked(std::string_view line, std::string &out)
{
    constexpr size_t KSchemeLength = 7; // "http://"
    size_t done = 0;
    size_t searchFrom = 0;
    for (size_t start = FindScheme(line, 0); start != std::string_view::npos;
         start = FindScheme(line, searchFrom)) {
        // An address inside a tag (a font name) stays as it is: a link there would put
        // markup into an attribute value.
        const size_t tagOpen = line.rfind('<', start);
        const size_t tagClose = line.rfind('>', start);
        if (tagOpen != std::string_view::npos &&
            (tagClose == std::string_view::npos || tagClose < tagOpen)) {
            const size_t after = line.find('>', start);
            if (after == std::string_view::npos)
                break;
            searchFrom = after + 1;
            continue;
        }
        size_t end = line.find_first_of(" ,<", start + KSchemeLength);
        if (end == std::string_view::npos)
            end = line.size();
        const std::string_view address = line.substr(start, end - start);
        out.append(line.data() + done, start - done);
        out += "<A HREF=\"";
        // The text has its "<", ">" and "&" escaped already; a quotation mark would end the
        // attribute value.
        for (const char c : address) {
            if (c == '"')
                out += "&quot;";
            else
                out += c;
        }
        out += "\">";
        out += address;
        out += "</A>";
        done = searchFrom = end;
    }
    out.append(line.data() + done, line.size() - done);
}

std::string THtmlWriter::ReplaceAll(const std::string &text, const std::string &fragment,
                                    const std::string &replacement)
{
    if (fragment.empty())
        return text;
    std::string result;
    size_t done = 0;
    for (size_t found = text.find(fragment); found != std::string::npos;
         found = text.find(fragment, done)) {
        result.append(text, done, found - done);
        result += replacement;
        done = found + fragment.size();
    }
    result.append(text, done, std::string::npos);
    return result;
}

// Text without ">" joins the buffer.
void THtmlWriter::AppendPlain(std::string_view text)
{
    FOptimized += text;
    if (FRawSame) {
        WriteSettledText();
        return;
    }
    // A short buffer keeps its text as it was appended; a long one is the optimised text.
    if (BufferLength() <= KLineLimit) {
        FRaw += text;
    } else {
        FRaw.clear();
        FRawSame = true;
    }
}

// The optimiser's fragments changed (a font or colour table was read): the buffer is
// optimised again with them.
void THtmlWriter::FollowOptimizer()
{
    if (FOptimizerVersion == FOptimizer.Version())
        return;
    const std::string raw = RawBuffer();
    FOptimizerVersion = FOptimizer.Version();
    FOptimized = FOptimizer.Optimize(raw);
    if (FOptimized != raw) {
        FRaw = raw;
        FRawSame = false;
        FRawClean = 0;
    }
}

// Appends text with ">" to the buffer when the order of deletions does not matter: the
// optimised buffer is reduced as it grows. Notes where it may hold a new cut point.
void THtmlWriter::AppendConfluent(std::string_view text, size_t firstClose, TAppended &appended)
{
    const size_t oldLength = FOptimized.size();
    FOptimized += text;
    // Most texts complete no fragment: one look at each ">" of the text tells, and finds the
    // cut points that end there. The old text can only end in the first three characters of
    // one.
    const char *const buffer = FOptimized.data();
    const size_t size = FOptimized.size();
    if (oldLength >= 3 && std::memcmp(buffer + oldLength - 3, "<P>", 3) == 0)
        appended.Paragraph = oldLength - 3;
    const std::array<bool, 256> &mayEndAfter = FOptimizer.MayEndAfter();
    TCloseFinder closes(buffer, oldLength + firstClose, size);
    for (size_t at = closes.Next(); at < size; at = closes.Next()) {
        // Most ">" end neither a fragment nor a cut point: the character before tells.
        const char before = at >= 1 ? buffer[at - 1] : '\0';
        if (before != 'P' && before != 'R' && !mayEndAfter[static_cast<unsigned char>(before)] &&
            at >= 2)
            continue;
        if (FOptimizer.MayEndFragment(FOptimized, at)) {
            FOptimized.resize(oldLength);
            appended.Paragraph = appended.LineBreak = std::string::npos;
            AppendReducing(text, appended);
            return;
        }
        // Cut points: "<P>" and "<BR>".
        if (at < 2)
            continue;
        if ((before != 'P' && before != 'R') || appended.Paragraph != std::string::npos)
            continue;
        if (before == 'P' && buffer[at - 2] == '<')
            appended.Paragraph = at - 2;
        else if (before == 'R' && appended.LineBreak == std::string::npos && at >= 3 &&
                 buffer[at - 2] == 'B' && buffer[at - 3] == '<')
            appended.LineBreak = at - 3;
    }
    if (!FRawSame)
        FRaw += text;
}

// The same when a fragment may end in the text: the optimiser deletes while appending.
void THtmlWriter::AppendReducing(std::string_view text, TAppended &appended)
{
    const size_t oldLength = FOptimized.size();
    std::string lost;
    const size_t unchanged = FOptimizer.Append(FOptimized, text, lost);
    appended.Changed = FOptimized.size() != oldLength + text.size() || unchanged < oldLength;
    if (!FRawSame)
        FRaw += text;
    else if (appended.Changed && BufferLength() <= KLineLimit)
        appended.KeptRaw.append(FOptimized, 0, unchanged).append(lost).append(text);
    FindMarks(FOptimized, unchanged > 3 ? unchanged - 3 : 0, appended.Paragraph,
              appended.LineBreak);
}

// Appends text with ">" to the buffer when the order of deletions matters: the end of the
// buffer is reduced again with the text, taking in more of it while deletions reach back.
void THtmlWriter::AppendReduced(std::string_view text, TAppended &appended)
{
    const size_t oldLength = FOptimized.size();
    if (!FRawSame && FRaw.size() - FRawClean > KRawLimit) {
        FRaw.clear();
        FRawSame = true;
    }
    const std::string &source = FRawSame ? FOptimized : FRaw;
    const size_t clean = FRawSame ? oldLength : FRawClean;
    // Only the end of the clean part can take part in a deletion, unless deletions eat
    // their way further back; then the piece is taken larger.
    size_t context = 2 * FOptimizer.MaxLength() + 64;
    size_t start;
    size_t unchanged;
    std::string work;
    for (;;) {
        start = clean > context ? clean - context : 0;
        work.assign(source, start, std::string::npos);
        work += text;
        const size_t kept = FOptimizer.Reduce(work, clean - start);
        unchanged = start + kept;
        if (start == 0 || kept + 1 >= FOptimizer.MaxLength())
            break;
        context *= 4;
    }
    if (!FRawSame) {
        appended.Changed = true;
    } else {
        appended.Changed = start + work.size() != oldLength + text.size() || unchanged < oldLength;
        if (appended.Changed && FStreamed + start + work.size() <= KLineLimit)
            appended.KeptRaw.append(FOptimized).append(text);
    }
    if (FRawSame) {
        FOptimized.resize(start);
        FOptimized += work;
    } else {
        FOptimized = FRaw.substr(0, start) + work;
        FRaw += text;
    }
    const size_t cutFrom = std::min(unchanged, clean);
    FindMarks(FOptimized, cutFrom > 3 ? cutFrom - 3 : 0, appended.Paragraph, appended.LineBreak);
}

// The buffered output, rule by rule:
//  1. an empty text does nothing;
//  2. the text is appended to the buffer; B is the optimised buffer (kept in FOptimized);
//  3. the cut point is the end of the first "<P>" of B, else of its first "<BR>";
//  4. without a cut point, a B of 100 characters or fewer is not written: the buffer keeps
//     the text as appended;
//  5. each piece of B up to a cut point is written as a line, with its links;
//  6. the rest of B is the buffer;
//  7. a rest longer than 100 characters that ends in ">", but not in "L>" or "A>", is
//     written as a line too.
void THtmlWriter::WriteOut(std::string_view text)
{
    if (text.empty())
        return; // 1.
    FollowOptimizer();

    // 2.
    const size_t firstClose = NextClose(text.data(), 0, text.size());
    if (firstClose == text.size()) {
        // Every fragment and every cut point ends with ">": text without one cannot change
        // the buffer's text before it, nor complete a cut point, nor make the buffer end in
        // ">".
        AppendPlain(text);
        return;
    }
    const size_t oldLength = FOptimized.size();
    TAppended appended;
    if (FOptimizer.Confluent())
        AppendConfluent(text, firstClose, appended);
    else
        AppendReduced(text, appended);

    // 3.
    size_t nextParagraph = appended.Paragraph;
    size_t cut = appended.Paragraph != std::string::npos   ? appended.Paragraph + 3
                 : appended.LineBreak != std::string::npos ? appended.LineBreak + 4
                                                           : std::string::npos;
    // 4.
    if (cut == std::string::npos && BufferLength() <= KLineLimit) {
        if (FRawSame && appended.Changed) {
            FRaw = std::move(appended.KeptRaw);
            FRawSame = false;
            FRawClean = oldLength;
        }
        return;
    }
    // 5.
    size_t start = 0;
    while (cut != std::string::npos) {
        WriteLinked(std::string_view(FOptimized).substr(start, cut - start));
        FStreamed = 0;
        start = cut;
        cut = FindCut(FOptimized, start, nextParagraph);
    }
    // 6.
    if (start > 0) {
        FOptimized.erase(0, start);
        FSettleTried = 0;
    }
    FRaw.clear();
    FRawSame = true;
    // 7.
    // (What has gone out of the buffer ends with a space.)
    const size_t length = FOptimized.size();
    const char last = length >= 1 ? FOptimized[length - 1] : ' ';
    const char beforeLast = length >= 2 ? FOptimized[length - 2] : ' ';
    if (BufferLength() > KLineLimit && last == '>' && beforeLast != 'L' && beforeLast != 'A') {
        WriteLinked(FOptimized);
        FOptimized.clear();
        FStreamed = 0;
        FSettleTried = 0;
    }
    WriteSettledText();
}

} // namespace Rtf2Html
