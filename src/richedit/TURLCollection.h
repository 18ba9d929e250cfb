#pragma once

#include "richedit/TURLType.h"

#include <string>
#include <vector>

// The URL schemes of a rich text control. Entry 0 is the e-mail entry, matched by the shape of
// a word rather than by a scheme; the others are matched as "scheme:" prefixes.
class TURLCollection
{
public:
    // The 12 standard entries: "e-mail", "http", "file", "mailto", "ftp", "https", "gopher",
    // "nntp", "prospero", "telnet", "news", "wais", each with colour clWindowText, cursor 0
    // and underline on.
    TURLCollection();

    int Count() const { return static_cast<int>(FItems.size()); }
    bool Empty() const { return FItems.empty(); }
    // Throws std::out_of_range for an index outside 0 .. Count() - 1.
    const TURLType &Item(int index) const;
    TURLType &Item(int index);

    // Adds an entry; an entry of the same name (exact comparison) takes the new colour, cursor
    // and underline instead of a second entry being added. Returns the entry's index.
    int Add(const std::string &name, TColor color = TColors::clWindowText, int cursor = 0,
            bool underline = true);
    int Add(const TURLType &item);
    void Delete(int index);
    void Clear() { FItems.clear(); }
    // Clears and adds the source's entries in order (with the add-by-name rule).
    void Assign(const TURLCollection &source);

    // Index of the entry with exactly this name, or -1.
    int IndexOf(const std::string &name) const;

private:
    std::vector<TURLType> FItems;
};
