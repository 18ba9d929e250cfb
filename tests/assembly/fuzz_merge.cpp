// Arbitrary template bytes and information lines through the merge in both modes and through
// the template check: every merge ends, stays within the engine's size bound, a template
// prepared for a batch merges the same, and the check reaches the same outcome as the merge it
// forecasts. Any values, in any script and with any mix of "\\", "{" and "}", merged into
// well-formed rich templates in either mode give a well-formed document whose text holds each
// value's characters.
//
// Input: the first byte holds the options (bit 0 overwrite mode); the rest is the template,
// then a NUL byte, then the information file (lines broken at LF).
#include "assembly/MergedValue.h"
#include "assembly/TMergeEngine.h"
#include "assembly/TMergeTemplate.h"
#include "assembly/TRtfTokenizer.h"
#include "assembly/TTemplateCheck.h"
#include "text/UnicodeText.h"

#include <algorithm>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
std::vector<std::string> SplitAtLineFeeds(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

TMergeResult MergeAndCheck(const std::string &mergeText, const std::vector<std::string> &lines,
                           bool overwrite)
{
    TMergeEngine engine(lines);
    engine.SetOverwriteMode(overwrite);
    TMergeResult result = engine.Merge(mergeText);
    Require(result.Text.size() <= TMergeEngine::SizeBound(mergeText.size()));
    Require(result.Count >= 0);
    Require(result.Finished() == result.MessageText.empty());

    // A template prepared once for a batch merges the same, each time it is merged.
    const TMergeTemplate prepared(mergeText);
    for (int time = 0; time < 2; ++time) {
        const TMergeResult again = engine.Merge(prepared);
        Require(again.Text == result.Text && again.Count == result.Count &&
                again.Stop == result.Stop && again.MessageText == result.MessageText);
    }

    const TTemplateCheck check(mergeText, lines, overwrite);
    Require(check.Outcome().Stop == result.Stop);
    Require(check.Outcome().Count == result.Count);
    Require(check.Outcome().Text == result.Text);
    Require(check.MergeRunsToEnd() == result.Finished());
    return result;
}
// Balanced groups and no raw zero byte.
bool IsWellFormed(const std::string &rich)
{
    if (rich.find('\0') != std::string::npos)
        return false;
    long depth = 0;
    for (std::size_t i = 0; i < rich.size(); ++i) {
        if (rich[i] == '\\')
            ++i;
        else if (rich[i] == '{')
            ++depth;
        else if (rich[i] == '}' && --depth < 0)
            return false;
    }
    return depth == 0;
}

// The characters a reader sees, surrogate pairs joined.
std::u32string VisibleText(const std::string &rich)
{
    std::u32string text;
    TRtfTokenizer tokens(rich);
    TRtfTokenizer::TToken token;
    while (tokens.Next(token)) {
        if (token.Kind != TRtfTokenizer::TKind::Char)
            continue;
        const char32_t c = token.Code;
        if (c >= 0xDC00 && c <= 0xDFFF && !text.empty() && text.back() >= 0xD800 &&
            text.back() <= 0xDBFF)
            text.back() = 0x10000 + ((text.back() - 0xD800) << 10) + (c - 0xDC00);
        else
            text += c;
    }
    return text;
}

std::u32string Characters(const std::string &utf8)
{
    std::u32string text;
    for (std::size_t i = 0; i < utf8.size();)
        if (const char32_t c = DecodeUtf8(utf8, i))
            text += c;
    return text;
}

void ValuesArriveIntact(unsigned variant, const std::vector<std::string> &lines, bool overwrite)
{
    static const char *const Templates[] = {
        "{\\rtf1\\ansi\\uc1 A {\\b @1} B \\fs24@2\\fs20 C\\par {\\uc0 @3} {\\uc2 @4}\\par}",
        "{\\rtf1\\ansi\\ansicpg1251 \\tab@1\\endash@2\\u30000?@3 \\'93@4\\'94\\par}",
        "{\\rtf1 @1\\par @2 @3 @4}",
        "{\\rtf1{\\fonttbl{\\f0 A;}}\\f0 {@}{1} {\\f0 @2}     x @3y @4   \\line}"};
    const std::string templ = Templates[variant % 4];
    TMergeEngine engine(lines);
    engine.SetOverwriteMode(overwrite);
    const TMergeResult result = engine.Merge(templ);
    if (!result.Finished())
        return;
    Require(IsWellFormed(result.Text));
    const std::u32string visible = VisibleText(result.Text);
    for (std::size_t pair = 1; pair <= 4 && pair * 2 <= lines.size(); ++pair) {
        const std::string merged = MergedValue(lines[pair * 2 - 1]);
        if (merged.find('@') != std::string::npos)
            continue; // its placeholders were replaced in turn
        Require(visible.find(Characters(merged)) != std::u32string::npos);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool overwriteFirst = data[0] & 1;
    const std::string rest(reinterpret_cast<const char *>(data + 1), size - 1);
    const std::size_t separator = rest.find('\0');
    const std::string mergeText = rest.substr(0, separator);
    const std::vector<std::string> lines = separator == std::string::npos
                                               ? std::vector<std::string>()
                                               : SplitAtLineFeeds(rest.substr(separator + 1));

    const TMergeResult first = MergeAndCheck(mergeText, lines, overwriteFirst);
    MergeAndCheck(mergeText, lines, !overwriteFirst);
    ValuesArriveIntact(data[0] >> 1, lines, false);
    ValuesArriveIntact(data[0] >> 1, lines, true);

    // Without an "@" insert mode has nothing to do: the template comes back as it was.
    if (mergeText.find('@') == std::string::npos) {
        const TMergeResult insert = overwriteFirst ? TMergeEngine(lines).Merge(mergeText) : first;
        Require(insert.Finished() && insert.Count == 0 && insert.Text == mergeText);
    }

    // The template alone, every pair given a plain value of its placeholder's length.
    const TTemplateCheck alone(mergeText, std::nullopt, overwriteFirst);
    Require(alone.Outcome().Text.size() <= TMergeEngine::SizeBound(mergeText.size()));
    return 0;
}
