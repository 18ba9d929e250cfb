#include "assembly/TMergeEngine.h"

#include "assembly/AssemblyTexts.h"
#include "calc/CaseTables.h"
#include "calc/ExpressionEvaluator.h"
#include "calc/TStringManager.h"
#include "calc/ValueRendering.h"
#include "rtf2html/StringUtils.h"

#include <algorithm>
#include <climits>
#include <unordered_map>

namespace {
bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

// The character at a position, or -1 past the end (neither a digit nor a line end).
int CharAt(const std::string &text, std::size_t i)
{
    return i < text.size() ? static_cast<unsigned char>(text[i]) : -1;
}

// Values may hold placeholders of other pairs; those are replaced in later passes. A pair
// that comes round more often than the template has "@" signs plus the number of pairs can
// only be fed by a value that holds its own placeholder or by values that refer to each other
// in a circle.
std::size_t PassesPerPairLimit(const std::string &mergeText, std::size_t pairCount)
{
    return static_cast<std::size_t>(std::count(mergeText.begin(), mergeText.end(), '@')) +
           pairCount + 1;
}

// Values that double their own placeholders would exhaust memory before the pass limit is
// reached; no real merge grows a template this much.
std::size_t SizeLimit(const std::string &mergeText)
{
    constexpr std::size_t Base = 64u << 20;
    return Base + 16 * mergeText.size();
}
} // namespace

TMergeEngine::TMergeEngine(std::vector<std::string> informationLines)
    : FLines(std::move(informationLines))
{
}

bool TMergeEngine::FindPlaceholder(const std::string &text, std::size_t &position, std::size_t from)
{
    position = text.find('@', from);
    return position != std::string::npos;
}

std::string TMergeEngine::ExtractPlaceholder(const std::string &text, std::size_t position)
{
    std::string placeholder = "@";
    std::size_t i = position + 1;
    if (i < text.size())
        placeholder += text[i];
    while (IsDigit(CharAt(text, i + 1))) {
        placeholder += text[i + 1];
        ++i;
    }
    ++i; // on the first character after the digits
    const int next = CharAt(text, i + 1);
    if (next == '\r' || next == '\n')
        ++i;
    // A digit two places after the digits (three with a line end between) makes the text no
    // number, so the pair is missing.
    if (IsDigit(CharAt(text, i + 1)))
        placeholder += text[i];
    return placeholder;
}

long TMergeEngine::PairNumber(const std::string &placeholder)
{
    if (placeholder.empty() || placeholder[0] != '@')
        return 0;
    const std::string number = placeholder.substr(1, 99);
    std::size_t i = 0;
    while (i < number.size() && number[i] == ' ')
        ++i;
    bool negative = false;
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) {
        negative = number[i] == '-';
        ++i;
    }
    if (i == number.size())
        return 0;
    long long value = 0;
    for (; i < number.size(); ++i) {
        if (!IsDigit(static_cast<unsigned char>(number[i])))
            return 0;
        value = value * 10 + (number[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return 0; // not an integer of the run-time library's range
    }
    if (negative || value > INT_MAX || value < 1)
        return 0;
    return static_cast<long>(value);
}

bool TMergeEngine::ValueLineIndex(const std::string &placeholder, std::size_t &index) const
{
    const long n = PairNumber(placeholder);
    if (n < 1)
        return false;
    const auto valueLine = static_cast<unsigned long long>(n) * 2;
    if (FLines.size() < valueLine)
        return false;
    index = static_cast<std::size_t>(valueLine - 1);
    return true;
}

std::string TMergeEngine::PrepareValue(const std::string &value)
{
    if (value.find_first_of("*+-/^") == std::string::npos)
        return value;
    const long double number = EvaluateExpression(value);
    if (!GetExpressionError().empty())
        return value;
    return RenderValue(number);
}

bool TMergeEngine::IsWholeWordAt(const std::string &text, std::size_t position,
                                 const std::string &placeholder)
{
    if (text.compare(position, placeholder.size(), placeholder) != 0)
        return false;
    const bool startOk =
        position == 0 || IsWordDelimiter(static_cast<unsigned char>(text[position - 1]));
    const std::size_t end = position + placeholder.size();
    const bool endOk = end >= text.size() || IsWordDelimiter(static_cast<unsigned char>(text[end]));
    return startOk && endOk;
}

bool TMergeEngine::OverwriteValue(std::string &text, const std::string &placeholder,
                                  const std::string &value)
{
    const std::size_t q = text.find(placeholder);
    if (q == std::string::npos)
        return false;
    const std::size_t t = placeholder.size();
    const std::size_t l = std::max(value.size(), t);
    const std::size_t after = q + t;
    if (after < text.size() && text.find('@', after) < after + l)
        return false;
    std::string covering = value;
    if (covering.size() < t)
        covering.append(t - covering.size(), ' ');
    text.replace(q, std::min(l, text.size() - q), covering);
    return true;
}

void TMergeEngine::WriteDebugFile(const std::string &mergeText)
{
    SaveTextFile(MergeDebugFileName, mergeText);
}

TMergeResult TMergeEngine::MergeFile(const std::string &templateFileName) const
{
    return Merge(LoadTextFile(templateFileName));
}

TMergeResult TMergeEngine::Stop(TMergeResult result, TMergeStop reason,
                                const std::string &placeholder, const std::string &value) const
{
    result.Stop = reason;
    result.Placeholder = placeholder;
    result.MessageIcon = 'H';
    result.MessageCaption = MergeCaption;
    switch (reason) {
    case TMergeStop::MissingValue:
        result.MessageText = MissingValueText;
        break;
    case TMergeStop::OverwriteClash:
        result.MessageCaption.clear();
        result.MessageText = OverwriteClashText(value, placeholder);
        break;
    case TMergeStop::NotWholeWord:
        result.MessageText = NotWholeWordText(placeholder);
        break;
    case TMergeStop::Runaway:
        result.MessageText = RunawayText(placeholder);
        break;
    case TMergeStop::None:
        result.MessageIcon = 0;
        result.MessageCaption.clear();
        break;
    }
    return result;
}

TMergeResult TMergeEngine::Merge(std::string mergeText) const
{
    const std::size_t passLimit = PassesPerPairLimit(mergeText, FLines.size() / 2);
    const std::size_t sizeLimit = SizeLimit(mergeText);
    std::unordered_map<long, std::size_t> passesOfPair;

    TMergeResult result;
    result.Text = std::move(mergeText);
    std::size_t p = 0;
    // Nothing before the first "@" ever changes again, so each search starts from there.
    while (FindPlaceholder(result.Text, p, p)) {
        const std::string placeholder = ExtractPlaceholder(result.Text, p);
        std::size_t index = 0;
        if (!ValueLineIndex(placeholder, index))
            return Stop(std::move(result), TMergeStop::MissingValue, placeholder, {});
        if (++passesOfPair[PairNumber(placeholder)] > passLimit || result.Text.size() > sizeLimit)
            return Stop(std::move(result), TMergeStop::Runaway, placeholder, {});

        const std::string value = PrepareValue(FLines[index]);
        if (FOverwriteMode) {
            if (!OverwriteValue(result.Text, placeholder, value))
                return Stop(std::move(result), TMergeStop::OverwriteClash, placeholder, value);
            ++result.Count;
        } else {
            // Replace skips an occurrence that is no whole word; meeting it again at the first
            // "@" would never end.
            if (!IsWholeWordAt(result.Text, p, placeholder))
                return Stop(std::move(result), TMergeStop::NotWholeWord, placeholder, value);
            result.Count +=
                StringManager.Replace(placeholder, value, result.Text, false, true, false);
        }
        if (FProgressHook)
            FProgressHook(result.Count);
        if (FStepHook)
            FStepHook(result.Text);
    }
    return result;
}
