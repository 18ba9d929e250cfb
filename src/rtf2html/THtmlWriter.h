#pragma once

#include "rtf2html/THtmlOptimizer.h"
#include "rtf2html/THtmlTagSets.h"
#include "rtf2html/TRtfFormat.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Rtf2Html {

class THtmlOutputFile;

// The output side of the converter: the page frame, the rendering of text items with the
// tag changes their format needs, the stack of open inline tags, and the buffered output
// that is optimised, cut into lines after paragraph and line breaks, and given links.
class THtmlWriter
{
public:
    struct TOptions
    {
        bool NoFonts = false;
        bool Optimize = false;
        bool OnlyDefiniteOpt = false;
    };
    using TLineSink = std::function<void(std::string_view line)>;

    explicit THtmlWriter(const TOptions &options);
    ~THtmlWriter();
    THtmlWriter(const THtmlWriter &) = delete;
    THtmlWriter &operator=(const THtmlWriter &) = delete;

    const TOptions &Options() const { return FOptions; }

    // Creates the output (a temporary file until Commit) and writes the page head.
    void BeginPage(const std::string &fileName, const std::string &title);
    // The same, with the lines going to sink instead of a file.
    void BeginPage(TLineSink sink, const std::string &title);
    // Closes tags, alignment and lists, writes what is buffered and the page end.
    void EndPage(const TRtfFormat &topFormat);
    // Puts the written file in place of the target; nothing when the output was a sink.
    void Commit();

    void WriteOut(std::string_view text);
    // Appends to out what a text item gives: the tag changes its format needs, the link and
    // anchor marks, and its rendering.
    void EmitItem(std::string_view item, const TRtfFormat &format, std::string &out);
    // Whether EmitItem of a single character gives nothing but its rendering.
    bool PlainTextReady() const
    {
        return !FormatChanged && !NewParagraph && !AnchorPending && !(TocParagraph && LinkPending);
    }
    // Appends what EmitItem gives for each character of text in turn while PlainTextReady(),
    // up to the first backslash or brace (where the rich text's next token starts). Returns
    // the number of characters taken.
    static size_t AppendTextRun(std::string_view text, const TRtfFormat &format, std::string &out);
    void OpenTags(const TRtfFormat &format, std::string &out);
    void CloseAllTags(std::string &out);
    bool TagsOpen() const { return !FCloseTags.empty(); }
    void CloseLists();

    static std::string LinkUrls(const std::string &line);
    // Appends the line to out with its "http://" addresses turned into links.
    static void AppendLinked(std::string_view line, std::string &out);
    static std::string ReplaceAll(const std::string &text, const std::string &fragment,
                                  const std::string &replacement);
    std::string OptimizeHtml(const std::string &text) const { return FOptimizer.Optimize(text); }

    void AddRemovable(const std::string &fragment) { FOptimizer.AddRemovable(fragment); }
    // A font table entry; the first entry of a number gives its face name.
    void AddFontName(int32_t number, const std::string &name)
    {
        FTagSets.AddFontName(number, name);
    }

    // Converter flags shared with the reader.
    bool FormatChanged = false;
    bool NewParagraph = true;
    bool TocParagraph = false;
    bool LinkPending = false;
    int TocLevel = 0;
    bool LinkOpen = false;
    bool AnchorPending = false;
    int HeadingLevel = 0;
    int UlDepth = 0;
    bool InBulletList = false;
    bool PendingLi = false;

private:
    static void Render(std::string_view item, bool caps, std::string &out);
    // What appending a text with ">" did to the buffer.
    struct TAppended
    {
        bool Changed = false;                 // the optimiser deleted something
        std::string KeptRaw;                  // the buffer as appended, when it is kept unwritten
        size_t Paragraph = std::string::npos; // the first "<P>" that may be new
        size_t LineBreak = std::string::npos; // the first "<BR>" that may be new
    };

    void AppendPlain(std::string_view text);
    void FollowOptimizer();
    void AppendConfluent(std::string_view text, size_t firstClose, TAppended &appended);
    void AppendReducing(std::string_view text, TAppended &appended);
    void AppendReduced(std::string_view text, TAppended &appended);
    void WriteHead(const std::string &title);
    void WriteLine(std::string_view line);
    void WriteLineStart(std::string_view text);
    void WriteLinked(std::string_view line);
    void WriteSettledText();
    // The length of the buffer, what has gone out of it already included.
    size_t BufferLength() const { return FStreamed + FOptimized.size(); }
    const std::string &RawBuffer() const { return FRawSame ? FOptimized : FRaw; }

    TOptions FOptions;
    TLineSink FSink;
    std::unique_ptr<THtmlOutputFile> FFile;
    THtmlOptimizer FOptimizer;
    THtmlTagSets FTagSets;
    std::string FCloseTags; // the close tags of the open tags, the last opened first
    std::array<int, 10> FTocCounters{};
    std::array<int, 10> FHeadingCounters{};

    // The unwritten output. FOptimized is the optimiser's result for the buffer; the buffer
    // itself differs from it only while appended text has not yet been written (FRaw).
    std::string FOptimized;
    std::string FRaw;
    bool FRawSame = true;
    size_t FRawClean = 0;    // FRaw[0, FRawClean) holds no fragment
    size_t FStreamed = 0;    // characters of the buffer written, their line not ended
    std::string FPartLine;   // those characters, when the lines go to a sink
    size_t FSettleTried = 0; // buffer length at the last search for text that may go out
    std::string FLinked;     // a line with links, being written
    unsigned FOptimizerVersion = 0;
};

} // namespace Rtf2Html
