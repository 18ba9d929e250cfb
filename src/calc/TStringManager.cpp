#include "calc/TStringManager.h"

#include "calc/CaseTables.h"

#include <algorithm>
#include <cstring>

TStringManager StringManager;

namespace {
// One left-to-right pass of the replacement over Source (the unchanged text). When Dest is
// given, the result is written there; Dest may be the same storage as Source as long as it
// starts at or before it, since the writing never overtakes the reading.
//
// The text being scanned is always "what has been written so far" followed by the unread
// rest of Source, so the character before a candidate is either the last written character
// or the Source character before it, and the character after it is always from Source.
class TReplacePass
{
public:
    TReplacePass(const std::string &search, const std::string &replacement, bool ignoreCase,
                 bool wholeWord, bool adaptCase)
        : FSearch(search), FReplacement(replacement), FIgnoreCase(ignoreCase),
          FWholeWord(wholeWord), FAdaptCase(adaptCase)
    {
    }

    // Returns the number of replacements and, through resultLength, the length of the result.
    int Run(const char *source, std::size_t length, char *dest, std::size_t &resultLength) const
    {
        const std::size_t f = FSearch.size();
        const std::size_t r = FReplacement.size();
        int count = 0;
        std::size_t read = 0; // next unread Source position
        std::size_t written = 0;
        int previous = -1;    // last character of the text before `read`, -1 at the start
        std::size_t p = read; // candidate position
        while (p + f <= length) {
            p = NextCandidate(source, length, p);
            if (p + f > length)
                break;
            const int before = p > read ? static_cast<unsigned char>(source[p - 1]) : previous;
            if (!Matches(source, length, p, before)) {
                ++p;
                continue;
            }
            // Copy the unchanged run, then the replacement in place of the match.
            const std::size_t run = p - read;
            if (dest && run > 0)
                std::memmove(dest + written, source + read, run);
            written += run;
            if (run > 0)
                previous = static_cast<unsigned char>(source[p - 1]);
            for (std::size_t i = 0; i < r; ++i) {
                const char c = ReplacementChar(i, source + p);
                if (dest)
                    dest[written + i] = c;
                if (i + 1 == r)
                    previous = static_cast<unsigned char>(c);
            }
            written += r;
            ++count;
            read = p + f;
            p = read;
        }
        const std::size_t rest = length - read;
        if (dest && rest > 0)
            std::memmove(dest + written, source + read, rest);
        resultLength = written + rest;
        return count;
    }

private:
    // Skips quickly to the next position whose first character can match.
    std::size_t NextCandidate(const char *source, std::size_t length, std::size_t p) const
    {
        if (FIgnoreCase)
            return p;
        const std::size_t last = length - FSearch.size();
        const void *hit = std::memchr(source + p, FSearch[0], last - p + 1);
        return hit ? static_cast<std::size_t>(static_cast<const char *>(hit) - source) : length;
    }

    bool Matches(const char *source, std::size_t length, std::size_t p, int before) const
    {
        const std::size_t f = FSearch.size();
        if (FIgnoreCase) {
            for (std::size_t i = 0; i < f; ++i)
                if (UpperCaseByte(static_cast<unsigned char>(source[p + i])) !=
                    UpperCaseByte(static_cast<unsigned char>(FSearch[i])))
                    return false;
        } else if (std::memcmp(source + p, FSearch.data(), f) != 0) {
            return false;
        }
        if (!FWholeWord)
            return true;
        const bool leftBound = before < 0 || IsWordDelimiter(static_cast<unsigned char>(before));
        const bool rightBound =
            p + f == length || IsWordDelimiter(static_cast<unsigned char>(source[p + f]));
        return leftBound && rightBound;
    }

    // The i-th character of the replacement for the match at `matched`.
    char ReplacementChar(std::size_t i, const char *matched) const
    {
        const auto c = static_cast<unsigned char>(FReplacement[i]);
        if (!FAdaptCase || i >= FSearch.size())
            return static_cast<char>(c);
        return static_cast<char>(IsUpperCaseByte(static_cast<unsigned char>(matched[i]))
                                     ? UpperCaseByte(c)
                                     : LowerCaseByte(c));
    }

    const std::string &FSearch;
    const std::string &FReplacement;
    bool FIgnoreCase;
    bool FWholeWord;
    bool FAdaptCase;
};
} // namespace

int TStringManager::Replace(const std::string &SearchText, const std::string &ReplaceText,
                            std::string &TargetText, bool IgnoreCase, bool WholeWord,
                            bool AdaptCase) const
{
    const std::size_t length = TargetText.size();
    if (length == 0 || SearchText.empty() || SearchText.size() > length)
        return 0;
    // The target changes under the scan, so a search or replacement text that is the very
    // same string must be copied first.
    if (&SearchText == &TargetText || &ReplaceText == &TargetText) {
        const std::string search = SearchText;
        const std::string replacement = ReplaceText;
        return Replace(search, replacement, TargetText, IgnoreCase, WholeWord, AdaptCase);
    }
    const TReplacePass pass(SearchText, ReplaceText, IgnoreCase, WholeWord, AdaptCase);
    std::size_t resultLength = 0;

    if (ReplaceText.size() <= SearchText.size()) {
        // The text can only shrink: compact it within its own storage, cut back at the end.
        const int count = pass.Run(TargetText.data(), length, TargetText.data(), resultLength);
        TargetText.resize(resultLength);
        return count;
    }

    // The text grows: count first, grow the storage once to the final length, move the
    // text to its end and write the result from the front.
    const int count = pass.Run(TargetText.data(), length, nullptr, resultLength);
    if (count == 0)
        return 0;
    TargetText.resize(resultLength);
    char *data = TargetText.data();
    const std::size_t shift = resultLength - length;
    std::memmove(data + shift, data, length);
    std::size_t written = 0;
    pass.Run(data + shift, length, data, written);
    return count;
}
