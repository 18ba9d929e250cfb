#include "richedit/TURLCollection.h"

#include <stdexcept>

TURLCollection::TURLCollection()
{
    for (const char *name : {"e-mail", "http", "file", "mailto", "ftp", "https", "gopher", "nntp",
                             "prospero", "telnet", "news", "wais"})
        Add(name);
}

const TURLType &TURLCollection::Item(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return FItems[static_cast<size_t>(index)];
}

TURLType &TURLCollection::Item(int index)
{
    return const_cast<TURLType &>(static_cast<const TURLCollection *>(this)->Item(index));
}

int TURLCollection::Add(const std::string &name, TColor color, int cursor, bool underline)
{
    return Add(TURLType(name, color, cursor, underline));
}

int TURLCollection::Add(const TURLType &item)
{
    const int existing = IndexOf(item.Name());
    if (existing >= 0) {
        TURLType &entry = FItems[static_cast<size_t>(existing)];
        entry.SetColor(item.Color());
        entry.SetCursor(item.Cursor());
        entry.SetUnderline(item.Underline());
        return existing;
    }
    FItems.push_back(item);
    return Count() - 1;
}

void TURLCollection::Delete(int index)
{
    Item(index); // range check
    FItems.erase(FItems.begin() + index);
}

void TURLCollection::Assign(const TURLCollection &source)
{
    if (&source == this)
        return;
    Clear();
    for (const TURLType &item : source.FItems)
        Add(item);
}

int TURLCollection::IndexOf(const std::string &name) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<size_t>(i)].Name() == name)
            return i;
    return -1;
}
