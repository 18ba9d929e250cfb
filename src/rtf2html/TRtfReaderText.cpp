#include "rtf2html/TRtfReader.h"

#include "rtf2html/RtfReaderChars.h"
#include "rtf2html/RtfWords.h"
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

// The next token at the reading position, as this reader cuts the text: the lexer's tokens,
// but for words. A word starts with a lower-case letter and runs on over lower-case letters,
// digits and "-" (the lexer's stops after its number, and takes upper-case letters too);
// "\" and an upper-case letter is a symbol. False at the end of the line.
bool TRtfReader::NextToken(TRtfToken &token, TWord &word)
{
    FLexer.Reset(FText, FPos);
    if (!FLexer.Next(token)) {
        FPos = FText.size();
        return false;
    }
    FPos = FLexer.Position();
    switch (token.Kind) {
    case TRtfToken::TKind::ControlWord:
    case TRtfToken::TKind::Unicode:
    case TRtfToken::TKind::Binary:
        ToWord(token, word);
        break;
    default:
        break;
    }
    return true;
}

void TRtfReader::ToWord(TRtfToken &token, TWord &word)
{
    const char *const text = FText.data();
    const size_t size = FText.size();
    const size_t start = token.Offset;
    if (!IsLower(text[start + 1])) {
        token.Kind = TRtfToken::TKind::ControlSymbol;
        token.Symbol = text[start + 1];
        token.Length = 2;
        FPos = start + 2;
        return;
    }
    // The lexer's word, without the data of "\binN".
    size_t end = start + token.Length;
    size_t letters = 1;
    if (token.Kind == TRtfToken::TKind::Binary) {
        end -= token.Text.size();
        letters = 3;
    } else if (token.Kind == TRtfToken::TKind::ControlWord) {
        letters = token.Text.size();
        for (size_t i = 1; i < letters; ++i) {
            if (!IsLower(token.Text[i]))
                letters = 0; // read again below
        }
        if (letters == TRtfLexer::MaxWordLetters)
            letters = 0;
    }
    const bool spaced = text[end - 1] == ' ';
    end -= spaced;
    if (letters == 0 || (!spaced && end < size && IsWordCharacter(text[end]))) {
        end = start + 1;
        while (end < size && IsLower(text[end]))
            ++end;
        letters = end - start - 1;
        while (end < size && IsWordCharacter(text[end]))
            ++end;
    }
    token.Kind = TRtfToken::TKind::ControlWord;
    word.Start = start;
    word.Text = std::string_view(text + start + 1, end - start - 1);
    word.Letters = std::string_view(text + start + 1, letters);
    word.Param = std::string_view(text + start + 1 + letters, end - start - 1 - letters);
    word.Id = FindWord(word.Text);
    FPos = end < size && text[end] == ' ' ? end + 1 : end;
    token.Length = FPos - start;
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

// Passes over the rest of the current group, leaving the reader at its "}". Of "\binN" only
// the first in its line counts, and it passes over N characters on as many lines as they take.
void TRtfReader::SkipGroup()
{
    uint64_t depth = 0;
    TRtfToken token;
    for (;;) {
        // Words need not be cut as this reader cuts them here: none holds a brace.
        FLexer.Reset(FText, FPos);
        if (!FLexer.Next(token)) {
            FPos = FText.size();
            if (!ReadNextLine())
                return;
            continue;
        }
        FPos = FLexer.Position();
        if (token.Kind == TRtfToken::TKind::GroupStart) {
            ++depth;
        } else if (token.Kind == TRtfToken::TKind::GroupEnd) {
            if (depth == 0) {
                FPos = token.Offset;
                if (!FAppend)
                    FLineStart = FPos;
                return;
            }
            --depth;
        } else if (token.Kind == TRtfToken::TKind::Binary) {
            SkipBinary(token);
        }
    }
}

// "\binN" in a skipped group: when it is the first "bin" of its line and digits follow "bin",
// the data starts after all the digits and a space that ends them, and N counts them all.
// Otherwise the data is read as text.
void TRtfReader::SkipBinary(const TRtfToken &token)
{
    const size_t digits = token.Offset + 4;
    if (digits >= FText.size() || !IsDigit(FText[digits]) || !IsFirstBinOfLine(token.Offset + 1)) {
        FPos = token.Offset + token.Length - token.Text.size();
        return;
    }
    uint64_t count = 0;
    size_t end = digits;
    for (; end < FText.size() && IsDigit(FText[end]); ++end) {
        if (count < (uint64_t(1) << 40))
            count = count * 10 + uint64_t(FText[end] - '0');
    }
    FPos = end < FText.size() && FText[end] == ' ' ? end + 1 : end;
    SkipCharacters(count);
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
