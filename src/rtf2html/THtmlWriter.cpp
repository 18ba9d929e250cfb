#include "rtf2html/THtmlWriter.h"

#include "rtf2html/ERtfToHtmlError.h"
#include "rtf2html/StringUtils.h"
#include "rtf2html/THtmlOutputFile.h"

#include <cstring>
#include <utility>

namespace Rtf2Html {

namespace {
constexpr size_t KLineLimit = 100;
// Past this much unwritten markup that the optimiser removes again, the buffer is replaced
// by its optimised form so that the work stays in proportion to the input.
constexpr size_t KRawLimit = 1 << 12;

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
    const char *const data = text.data();
    const size_t size = text.size();
    for (size_t at = from; at < size;) {
        const void *found = std::memchr(data + at, '<', size - at);
        if (!found)
            return;
        at = static_cast<size_t>(static_cast<const char *>(found) - data);
        if (at + 2 < size && data[at + 1] == 'P' && data[at + 2] == '>') {
            paragraph = at;
            return;
        }
        if (lineBreak == std::string::npos && at + 3 < size && data[at + 1] == 'B' &&
            data[at + 2] == 'R' && data[at + 3] == '>')
            lineBreak = at;
        ++at;
    }
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
    THtmlOutputFile *file = FFile.get();
    BeginPage([file](std::string_view line) { file->WriteLine(line); }, title);
}

void THtmlWriter::BeginPage(TLineSink sink, const std::string &title)
{
    FSink = std::move(sink);
    WriteLine("<HTML>");
    WriteLine("<HEAD>");
    WriteLine("<TITLE>" + title + "</TITLE>");
    WriteLine("</HEAD>");
    WriteLine("<BODY TEXT=\"#000000\" BGCOLOR=\"#FFFFFF\" LINK=\"#3333FF\" VLINK=\"#999999\" "
              "ALINK=\"#FF0000\">");
    if (FFile)
        FFile->Flush();
}

void THtmlWriter::EndPage(const TRtfFormat &topFormat)
{
    std::string text = CloseAllTags();
    if (topFormat.Right)
        text += "</DIV>";
    if (topFormat.Center)
        text += "</CENTER>";
    WriteOut(text);
    CloseLists();
    // The rest goes out as it stands, without a further optimiser pass or links.
    WriteLine(RawBuffer());
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
    if (FSink)
        FSink(line);
}

// Writes a line of the body with its addresses turned into links.
void THtmlWriter::WriteLinked(std::string_view line)
{
    if (line.find("://") == std::string_view::npos)
        WriteLine(line);
    else
        WriteLine(LinkUrls(std::string(line)));
}

void THtmlWriter::AddFontName(int32_t number, const std::string &name)
{
    FFaceNames.emplace(number, name);
}

const char *THtmlWriter::FontSizeTag(int32_t points)
{
    if (points == 12)
        return "<FONT SIZE=+0>";
    if (points <= 8)
        return "<FONT SIZE=-2>";
    if (points <= 11)
        return "<FONT SIZE=-1>";
    if (points <= 15)
        return "<FONT SIZE=+1>";
    if (points <= 20)
        return "<FONT SIZE=+2>";
    if (points <= 28)
        return "<FONT SIZE=+3>";
    return "<FONT SIZE=+4>";
}

std::string THtmlWriter::OpenTags(const TRtfFormat &format)
{
    std::string result;
    auto open = [&](const char *tag, const char *close) {
        result += tag;
        FTagStack.push_back(close);
    };
    if (format.Bold)
        open("<B>", "</B>");
    if (format.Italic)
        open("<I>", "</I>");
    if (format.Underline)
        open("<U>", "</U>");
    if (format.Subscript)
        open("<SUB>", "</SUB>");
    if (format.Superscript)
        open("<SUP>", "</SUP>");
    if (format.Strike)
        open("<S>", "</S>");
    if (format.Colour != "none") {
        result += "<FONT COLOR=\"";
        result += format.Colour;
        open("\">", "</FONT>");
    }
    if (format.Font >= 0) {
        result += "<FONT FACE=\"";
        const auto it = FFaceNames.find(format.Font);
        if (it != FFaceNames.end())
            result += it->second;
        open("\">", "</FONT>");
    }
    if (format.Size >= 0)
        open(FontSizeTag(format.Size), "</FONT>");
    return result;
}

std::string THtmlWriter::CloseAllTags()
{
    std::string result;
    while (!FTagStack.empty()) {
        result += FTagStack.back();
        FTagStack.pop_back();
    }
    return result;
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

std::string THtmlWriter::Render(const std::string &item, bool caps) const
{
    if (item.size() == 1) {
        const char c = item[0];
        switch (c) {
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '&':
            return "&amp;";
        default:
            if (caps && c >= 'a' && c <= 'z')
                return std::string(1, static_cast<char>(c - 'a' + 'A'));
            return item;
        }
    }
    if (item.size() == 2) {
        if (item == "c4")
            return "&Auml;";
        if (item == "d6")
            return "&Ouml;";
        if (item == "dc")
            return "&Uuml;";
        if (item == "e4")
            return caps ? "&Auml;" : "&auml;";
        if (item == "f6")
            return caps ? "&Ouml;" : "&ouml;";
        if (item == "fc")
            return caps ? "&Uuml;" : "&uuml;";
        if (item == "df")
            return "&szlig;";
        if (item == "b7")
            return "&middot;";
        const int high = HexDigitValue(item[0]);
        const int low = HexDigitValue(item[1]);
        if (high < 0 || low < 0)
            throw ERtfToHtmlError("'" + item + "' is not a valid integer value");
        return std::string(1, static_cast<char>(high * 16 + low));
    }
    if (item == "&pict;")
        return "<P>[*** picture ***]<P>";
    if (item.compare(0, 2, "&&") == 0)
        return item.substr(2);
    if (item == "&tab;")
        return "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
    if (item == "&quote;")
        return "'";
    if (item == "&dblquote;")
        return "\"";
    if (item == "&emspace;")
        return "&nbsp;&nbsp;";
    if (item == "&enspace;" || item == "&nbsp;")
        return "&nbsp;";
    if (item == "&emdash;")
        return "--";
    if (item == "&endash;")
        return "-";
    return std::string();
}

std::string THtmlWriter::RenderPlainText(std::string_view text, const TRtfFormat &format)
{
    std::string result;
    if (format.Hidden)
        return result;
    result.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '&':
            result += "&amp;";
            break;
        default:
            result += format.Caps && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
    }
    return result;
}

std::string THtmlWriter::EmitItem(const std::string &item, const TRtfFormat &format)
{
    std::string result;
    if (FormatChanged)
        result += CloseAllTags();
    if (NewParagraph) {
        if (format.Center)
            result += "<CENTER>";
        else if (format.Right)
            result += "<DIV ALIGN=right>";
    }
    if (FormatChanged || NewParagraph)
        result += OpenTags(format);
    FormatChanged = false;
    NewParagraph = false;
    if (TocParagraph && LinkPending) {
        LinkOpen = true;
        LinkPending = false;
        const int level = TocLevel >= 1 && TocLevel <= 9 ? TocLevel : 0;
        result += "<A HREF=\"#" + std::to_string(TocLevel) + "-" +
                  std::to_string(++FTocCounters[level]) + "\">";
    }
    if (AnchorPending) {
        const int level = HeadingLevel >= 1 && HeadingLevel <= 9 ? HeadingLevel : 0;
        result += "<A NAME=\"" + std::to_string(HeadingLevel) + "-" +
                  std::to_string(++FHeadingCounters[level]) + "\">";
    }
    if (!format.Hidden)
        result += Render(item, format.Caps);
    if (AnchorPending) {
        result += "</A>";
        AnchorPending = false;
    }
    return result;
}

namespace {
// The first "http://" at or after from. Searching for the rare "://" keeps the frequent
// letter "h" from costing a comparison each time.
size_t FindScheme(const std::string &line, size_t from)
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

std::string THtmlWriter::LinkUrls(const std::string &line)
{
    static const std::string KScheme = "http://";
    size_t start = FindScheme(line, 0);
    if (start == std::string::npos)
        return line;
    std::string result;
    size_t done = 0;
    while (start != std::string::npos) {
        size_t end = line.find_first_of(" ,<", start + KScheme.size());
        if (end == std::string::npos)
            end = line.size();
        const std::string address = line.substr(start, end - start);
        result.append(line, done, start - done);
        result += "<A HREF=\"" + address + "\">" + address + "</A>";
        done = end;
        start = FindScheme(line, done);
    }
    result.append(line, done, std::string::npos);
    return result;
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

void THtmlWriter::WriteOut(const std::string &text)
{
    if (text.empty())
        return;
    if (FOptimizerVersion != FOptimizer.Version()) {
        const std::string raw = RawBuffer();
        FOptimizerVersion = FOptimizer.Version();
        FOptimized = FOptimizer.Optimize(raw);
        if (FOptimized != raw) {
            FRaw = raw;
            FRawSame = false;
            FRawClean = 0;
        }
    }

    // Append to the buffer and bring its optimised form up to date. unchanged is the length
    // of the optimised form's prefix that the text did not touch; keptRaw is the buffer as
    // it stands when the step below keeps it unwritten and it differs from the optimised form.
    const size_t oldLength = FOptimized.size();
    size_t unchanged = oldLength;
    size_t cutFrom = oldLength;
    bool changed = false;
    std::string keptRaw;
    const bool plain = text.find('>') == std::string::npos;
    if (plain) {
        // Every fragment ends with ">": the text cannot take part in a deletion.
        FOptimized += text;
        if (!FRawSame)
            FRaw += text;
    } else if (FOptimizer.Confluent()) {
        std::string lost;
        unchanged = FOptimizer.Append(FOptimized, text, lost);
        changed = FOptimized.size() != oldLength + text.size() || unchanged < oldLength;
        if (!FRawSame)
            FRaw += text;
        else if (changed && FOptimized.size() <= KLineLimit)
            keptRaw = FOptimized.substr(0, unchanged) + lost + text;
        cutFrom = unchanged;
    } else {
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
            changed = true;
        } else {
            changed = start + work.size() != oldLength + text.size() || unchanged < oldLength;
            if (changed && start + work.size() <= KLineLimit)
                keptRaw = FOptimized + text;
        }
        cutFrom = std::min(unchanged, clean);
        if (FRawSame) {
            FOptimized.resize(start);
            FOptimized += work;
        } else {
            FOptimized = FRaw.substr(0, start) + work;
            FRaw += text;
        }
    }

    // Text without ">" cannot complete a "<P>" or "<BR>": the buffer had none before.
    size_t nextParagraph = std::string::npos;
    size_t firstLineBreak = std::string::npos;
    if (!plain)
        FindMarks(FOptimized, cutFrom > 3 ? cutFrom - 3 : 0, nextParagraph, firstLineBreak);
    size_t cut = nextParagraph != std::string::npos    ? nextParagraph + 3
                 : firstLineBreak != std::string::npos ? firstLineBreak + 4
                                                       : std::string::npos;
    if (cut == std::string::npos && FOptimized.size() <= KLineLimit) {
        // Nothing to write yet: the buffer keeps the appended text as it is.
        if (FRawSame && changed) {
            FRaw = std::move(keptRaw);
            FRawSame = false;
            FRawClean = oldLength;
        }
        return;
    }
    size_t start = 0;
    while (cut != std::string::npos) {
        WriteLinked(std::string_view(FOptimized).substr(start, cut - start));
        start = cut;
        cut = FindCut(FOptimized, start, nextParagraph);
    }
    if (start > 0)
        FOptimized.erase(0, start);
    FRaw.clear();
    FRawSame = true;
    const size_t length = FOptimized.size();
    if (length > KLineLimit && FOptimized[length - 1] == '>' && FOptimized[length - 2] != 'L' &&
        FOptimized[length - 2] != 'A') {
        WriteLinked(FOptimized);
        FOptimized.clear();
    }
}

} // namespace Rtf2Html
