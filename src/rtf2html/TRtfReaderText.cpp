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

} // namespace Rtf2Html
