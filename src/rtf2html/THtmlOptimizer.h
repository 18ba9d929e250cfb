#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Rtf2Html {

// Deletes redundant tag pairs from HTML text: empty and back-to-back pairs of the formatting
// tags (with "optimize"), "<UL></UL>" and "</UL><UL>" (always), and the fragments of the
// removable list (with "optimize"). Passes run in a fixed order until nothing changes.
//
// The work is kept proportional to the text that is new: a prefix already known to hold no
// fragment is not searched again, and when the fragments cannot interfere with each other
// (every overlap of two fragments leads to the same text whichever is deleted) the result
// does not depend on the order of deletions, so text can be reduced as it is appended.
class THtmlOptimizer
{
public:
    THtmlOptimizer();

    // Starts a conversion: with optimize the formatting pairs take part and the removable
    // list starts with the seven font size fragments.
    void Configure(bool optimize);
    // Puts a fragment in front of the removable list.
    void AddRemovable(const std::string &fragment);

    // The literal optimiser: passes over the whole text until one changes nothing.
    std::string Optimize(std::string text) const;
    // The same result in place, where text[0, cleanLength) is known to hold no fragment.
    // Returns the length of the prefix that was left unchanged.
    size_t Reduce(std::string &text, size_t cleanLength) const;
    // Only when Confluent(): appends addition to the reduced text and reduces the result.
    // Returns the length of the unchanged prefix; lostOld receives the characters of the
    // old text that were deleted (they start at the returned position).
    size_t Append(std::string &text, std::string_view addition, std::string &lostOld) const;
    // Whether a fragment may end at the ">" at text[close]: false only when none can.
    bool MayEndFragment(const std::string &text, size_t close) const
    {
        Rebuild();
        return FAnyEnding || (close >= 2 && FEndings.test(EndingOf(&text[close])));
    }

    // By the character before a ">": whether a fragment may end at that ">" (false only
    // when none can). For the many ">" of a text, a first test cheaper than MayEndFragment.
    const std::array<bool, 256> &MayEndAfter() const
    {
        Rebuild();
        return FMayEndAfter;
    }

    // Whether the result is independent of the order of deletions.
    bool Confluent() const;
    // Length of the longest fragment.
    size_t MaxLength() const
    {
        Rebuild();
        return FMaxLength;
    }
    // Changes whenever the set of fragments changes.
    unsigned Version() const { return FVersion; }

private:
    void Rebuild() const
    {
        if (FDirty)
            DoRebuild();
    }
    void DoRebuild() const;
    bool IsFragment(std::string_view text) const;
    std::string StackReduce(const std::string &text) const;
    bool CheckConfluent() const;
    // The two characters before the ">" at end as one number.
    static size_t EndingOf(const char *end)
    {
        return static_cast<size_t>(static_cast<unsigned char>(end[-2])) << 8 |
               static_cast<unsigned char>(end[-1]);
    }
    // A number from the length and the characters next to the ends, the same for equal
    // texts: texts whose number no fragment has are no fragment, found before any hashing.
    static size_t SignatureOf(std::string_view text)
    {
        const size_t length = text.size();
        if (length == 0)
            return 0;
        const auto at = [&text, length](size_t i) {
            return static_cast<size_t>(static_cast<unsigned char>(text[i < length ? i : 0]));
        };
        const size_t last = length - 1;
        return (length * 0x9E5u ^ at(1) * 0x3B1u ^ at(2) * 0x1Fu ^ at(last - 1) * 0x2C9u ^
                at(last - 2) << 7) &
               0xFFFFu;
    }
    static size_t ReplaceAllFrom(std::string &text, const std::string &fragment, size_t start);
    std::vector<size_t> OccurringFrom(const std::string &text, size_t start, size_t minIndex) const;

    bool FOptimize = false;
    std::vector<std::string> FRemovable; // in the order added: the list's front is the back
    unsigned FVersion = 0;

    // Derived from the above on demand.
    mutable bool FDirty = true;
    mutable std::vector<std::string> FOrdered;                   // pass order, duplicates removed
    mutable std::unordered_map<std::string_view, size_t> FIndex; // fragment -> pass position
    mutable std::vector<size_t> FLengths; // distinct fragment lengths, ascending
    mutable size_t FMaxLength = 0;
    mutable std::bitset<1 << 16> FSignatures; // the SignatureOf of every fragment
    mutable bool FConfluent = true;
    // The two characters before the closing ">" of every fragment, for a quick first test.
    mutable std::bitset<1 << 16> FEndings;
    mutable bool FAnyEnding = false; // some fragment does not end in that way: test them all
    mutable std::array<bool, 256> FMayEndAfter{}; // by the last of those two characters
};

} // namespace Rtf2Html
