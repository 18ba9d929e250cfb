#include "rtf2html/TRtfReader.h"

#include "rtf2html/RtfReaderChars.h"
#include "rtf2html/TRtfLineSource.h"

#include <algorithm>

namespace Rtf2Html {

using namespace ReaderChars;

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

// The control word at the reading position (a backslash and a lower-case letter).
TRtfReader::TWord TRtfReader::ReadWord()
{
    TRtfToken token;
    TokenAtPosition(token);
    return TakeWord(token);
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

// Passes over the rest of the current group, leaving the reader at its "}". Binary data is
// read as data only when its "\bin" is the first "bin" of the line.
void TRtfReader::SkipGroup()
{
    uint64_t depth = 0;
    for (;;) {
        if (FPos >= FText.size()) {
            if (!ReadNextLine())
                return;
            continue;
        }
        TRtfLexer lexer(FText, FPos);
        TRtfToken token;
        if (!lexer.Next<TRtfWordRule::LowerCaseRunWithData>(token)) {
            FPos = FText.size(); // a backslash at the end of the line
            continue;
        }
        switch (token.Kind) {
        case TRtfToken::TKind::GroupStart:
            ++depth;
            ++FPos;
            break;
        case TRtfToken::TKind::GroupEnd:
            if (depth == 0) {
                if (!FAppend)
                    FLineStart = FPos;
                return;
            }
            --depth;
            ++FPos;
            break;
        case TRtfToken::TKind::Binary:
            if (!IsFirstBinOfLine(FPos + 1)) {
                // Not data: what follows the backslash is read as it stands.
                ++FPos;
                break;
            }
            FPos += token.Length;
            SkipCharacters(static_cast<uint64_t>(token.Param) - token.Text.size());
            break;
        default:
            FPos += token.Length;
            break;
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

} // namespace Rtf2Html
