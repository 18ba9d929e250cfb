#include "rtf2html/TRtfReader.h"

#include "rtf2html/RtfReaderChars.h"
#include "rtf2html/THtmlWriter.h"
#include "text/StringUtils.h"

namespace Rtf2Html {

using namespace ReaderChars;

namespace {
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

// ---------------------------------------------------------------------------------------
// The style sheet

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

} // namespace Rtf2Html
