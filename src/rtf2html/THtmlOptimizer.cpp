#include "rtf2html/THtmlOptimizer.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace Rtf2Html {

namespace {
const char *const KFormattingPairs[] = {"<B></B>",
                                        "<I></I>",
                                        "<U></U>",
                                        "</B><B>",
                                        "</I><I>",
                                        "</U><U>",
                                        "<SUP></SUP>",
                                        "<SUB></SUB>",
                                        "<S></S>",
                                        "</SUP><SUP>",
                                        "</SUB><SUB>",
                                        "</S><S>",
                                        "<CENTER></CENTER>",
                                        "</CENTER><CENTER>",
                                        "<DIV ALIGN=right></DIV>",
                                        "</DIV><DIV ALIGN=right>"};
const char *const KListPairs[] = {"<UL></UL>", "</UL><UL>"};
const char *const KSizeFragments[] = {"<FONT SIZE=-2></FONT>", "<FONT SIZE=-1></FONT>",
                                      "<FONT SIZE=+0></FONT>", "<FONT SIZE=+1></FONT>",
                                      "<FONT SIZE=+2></FONT>", "<FONT SIZE=+3></FONT>",
                                      "<FONT SIZE=+4></FONT>"};
} // namespace

THtmlOptimizer::THtmlOptimizer()
{
    Configure(false);
}

void THtmlOptimizer::Configure(bool optimize)
{
    FOptimize = optimize;
    FRemovable.clear();
    if (optimize) {
        for (const char *fragment : KSizeFragments)
            AddRemovable(fragment);
    }
    ++FVersion;
    FDirty = true;
}

void THtmlOptimizer::AddRemovable(const std::string &fragment)
{
    FRemovable.push_back(fragment);
    ++FVersion;
    FDirty = true;
}

void THtmlOptimizer::DoRebuild() const
{
    FDirty = false;
    FOrdered.clear();
    FIndex.clear();
    std::vector<std::string> all;
    if (FOptimize)
        all.insert(all.end(), std::begin(KFormattingPairs), std::end(KFormattingPairs));
    all.insert(all.end(), std::begin(KListPairs), std::end(KListPairs));
    if (FOptimize)
        all.insert(all.end(), FRemovable.rbegin(), FRemovable.rend());
    // A fragment met again later in a pass only finds what the earlier run left behind;
    // the next pass finds that too, so a single run is kept.
    std::set<std::string> seen;
    for (auto &fragment : all) {
        if (fragment.empty() || !seen.insert(fragment).second)
            continue;
        FOrdered.push_back(std::move(fragment));
    }
    std::set<size_t> lengths;
    FMaxLength = 0;
    for (size_t i = 0; i < FOrdered.size(); ++i) {
        FIndex.emplace(std::string_view(FOrdered[i]), i);
        lengths.insert(FOrdered[i].size());
        FMaxLength = std::max(FMaxLength, FOrdered[i].size());
    }
    FLengths.assign(lengths.begin(), lengths.end());
    FSignatures.reset();
    for (const auto &fragment : FOrdered)
        FSignatures.set(SignatureOf(fragment));
    FEndings.reset();
    FAnyEnding = false;
    FMayEndAfter.fill(false);
    for (const auto &fragment : FOrdered) {
        if (fragment.size() < 3 || fragment.back() != '>') {
            FAnyEnding = true;
        } else {
            FEndings.set(EndingOf(fragment.data() + fragment.size() - 1));
            FMayEndAfter[static_cast<unsigned char>(fragment[fragment.size() - 2])] = true;
        }
    }
    if (FAnyEnding)
        FMayEndAfter.fill(true);
    FConfluent = CheckConfluent();
}

bool THtmlOptimizer::IsFragment(std::string_view text) const
{
    return FSignatures.test(SignatureOf(text)) && FIndex.find(text) != FIndex.end();
}

bool THtmlOptimizer::Confluent() const
{
    Rebuild();
    return FConfluent;
}

// Reduces by deleting every fragment that appears at the end while characters are added.
std::string THtmlOptimizer::StackReduce(const std::string &text) const
{
    std::string result;
    for (char c : text) {
        result.push_back(c);
        for (size_t length : FLengths) {
            if (length > result.size())
                break;
            if (IsFragment(std::string_view(result).substr(result.size() - length))) {
                result.resize(result.size() - length);
                break;
            }
        }
    }
    return result;
}

// Every way two fragments can share text (one inside the other, or the end of one being the
// start of the other) must give the same text whichever of them is deleted first.
bool THtmlOptimizer::CheckConfluent() const
{
    std::vector<std::string> sorted(FOrdered);
    std::sort(sorted.begin(), sorted.end());
    for (const auto &outer : FOrdered) {
        if (outer.back() != '>')
            return false;
        for (size_t i = 0; i < outer.size(); ++i) {
            // Fragments inside this one.
            for (size_t length : FLengths) {
                if (i + length > outer.size())
                    break;
                if ((i == 0 && length == outer.size()) ||
                    !IsFragment(std::string_view(outer).substr(i, length)))
                    continue;
                std::string rest = outer.substr(0, i) + outer.substr(i + length);
                if (!StackReduce(rest).empty())
                    return false;
            }
            if (i == 0)
                continue;
            // Fragments that start with the end of this one.
            const std::string tail = outer.substr(i);
            for (auto it = std::lower_bound(sorted.begin(), sorted.end(), tail);
                 it != sorted.end() && it->compare(0, tail.size(), tail) == 0; ++it) {
                if (it->size() == tail.size())
                    continue;
                if (StackReduce(outer.substr(0, i)) != StackReduce(it->substr(tail.size())))
                    return false;
            }
        }
    }
    return true;
}

size_t THtmlOptimizer::ReplaceAllFrom(std::string &text, const std::string &fragment, size_t start)
{
    size_t found = text.find(fragment, start);
    if (found == std::string::npos)
        return std::string::npos;
    const size_t first = found;
    size_t write = found;
    size_t read = found;
    while (found != std::string::npos) {
        if (found > read) {
            std::memmove(&text[write], &text[read], found - read);
            write += found - read;
        }
        read = found + fragment.size();
        // Scanning goes on after the deleted text: what the deletion joins waits for the next pass.
        found = text.find(fragment, read);
    }
    const size_t tail = text.size() - read;
    if (tail > 0)
        std::memmove(&text[write], &text[read], tail);
    text.resize(write + tail);
    return first;
}

// Pass positions (at least minIndex) of the fragments that occur in text from start on.
std::vector<size_t> THtmlOptimizer::OccurringFrom(const std::string &text, size_t start,
                                                  size_t minIndex) const
{
    std::vector<size_t> result;
    const std::string_view view(text);
    for (size_t pos = text.find('<', start); pos != std::string::npos;
         pos = text.find('<', pos + 1)) {
        for (size_t length : FLengths) {
            if (pos + length > text.size())
                break;
            // A fragment ends with ">" after two characters some fragment has there: most
            // candidates end here, before any hashing.
            const size_t close = pos + length - 1;
            if (!FAnyEnding && (text[close] != '>' || !FEndings.test(EndingOf(&text[close]))))
                continue;
            const std::string_view candidate = view.substr(pos, length);
            if (!FSignatures.test(SignatureOf(candidate)))
                continue;
            const auto it = FIndex.find(candidate);
            if (it != FIndex.end() && it->second >= minIndex)
                result.push_back(it->second);
        }
    }
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

size_t THtmlOptimizer::Reduce(std::string &text, size_t cleanLength) const
{
    Rebuild();
    size_t unchanged = std::min(cleanLength, text.size());
    for (;;) {
        bool changed = false;
        const size_t scanStart = unchanged + 1 > FMaxLength ? unchanged + 1 - FMaxLength : 0;
        std::vector<size_t> pending = OccurringFrom(text, scanStart, 0);
        size_t next = 0;
        while (next < pending.size()) {
            const size_t index = pending[next++];
            const std::string &fragment = FOrdered[index];
            const size_t from =
                unchanged + 1 > fragment.size() ? unchanged + 1 - fragment.size() : 0;
            const size_t first = ReplaceAllFrom(text, fragment, from);
            if (first == std::string::npos)
                continue;
            changed = true;
            unchanged = std::min(unchanged, first);
            // Deleting may join text into fragments that come later in this pass.
            const size_t rescan = unchanged + 1 > FMaxLength ? unchanged + 1 - FMaxLength : 0;
            pending = OccurringFrom(text, rescan, index + 1);
            next = 0;
        }
        if (!changed)
            break;
    }
    return unchanged;
}

std::string THtmlOptimizer::Optimize(std::string text) const
{
    Reduce(text, 0);
    return text;
}

size_t THtmlOptimizer::Append(std::string &text, std::string_view addition,
                              std::string &lostOld) const
{
    Rebuild();
    const size_t oldLength = text.size();
    lostOld.clear();
    size_t unchanged = oldLength;
    std::vector<std::string> lost; // deleted pieces of the old text, last piece first
    // The addition is reduced in place: read runs ahead of write once something is deleted.
    text.append(addition.data(), addition.size());
    size_t write = oldLength;
    size_t read = oldLength;
    while (read < text.size()) {
        // Every fragment ends with ">": text up to the next one is taken in one piece.
        const void *found = std::memchr(text.data() + read, '>', text.size() - read);
        const size_t end =
            found ? static_cast<size_t>(static_cast<const char *>(found) - text.data()) + 1
                  : text.size();
        if (write != read)
            std::memmove(&text[write], &text[read], end - read);
        write += end - read;
        read = end;
        if (!found || (!FAnyEnding && write >= 3 && !FEndings.test(EndingOf(&text[write - 1]))))
            continue;
        for (size_t length : FLengths) {
            if (length > write)
                break;
            const size_t start = write - length;
            // Every fragment starts with "<": most candidates end here, before any hashing.
            if (text[start] != '<' || !IsFragment(std::string_view(text).substr(start, length)))
                continue;
            if (start < unchanged) {
                // What lies before unchanged has not been written over: it is the old text.
                if (start < oldLength)
                    lost.push_back(text.substr(start, std::min(unchanged, oldLength) - start));
                unchanged = start;
            }
            write = start;
            break;
        }
    }
    text.resize(write);
    for (auto it = lost.rbegin(); it != lost.rend(); ++it)
        lostOld += *it;
    return unchanged;
}

} // namespace Rtf2Html
