#pragma once

#include "assembly/TPlaceholderScanner.h"

#include <cstddef>
#include <functional>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The merge text of insert mode as pieces: ordinary text and placeholders. The template's
// placeholders are found once, so that replacing every occurrence of one costs what its
// occurrences cost, not a pass over the whole text. Placeholders in a value become pieces
// where the value goes, to be replaced in turn. The pieces are views of the text and of the
// values: those must outlive this object, and nothing is copied until Text.
class TMergeText
{
public:
    TMergeText(const std::string &text, TPlaceholderScanner::TTextKind kind, bool gluedCounts);
    TMergeText(std::string &&text, TPlaceholderScanner::TTextKind kind, bool gluedCounts) = delete;
    // A merge text in the same state, viewing the same text and values.
    TMergeText(const TMergeText &other);
    TMergeText &operator=(const TMergeText &) = delete;

    // The first placeholder left (none when all are replaced); its Position is not kept.
    // Nothing before it changes again.
    std::optional<TPlaceholderScanner::TMatch> FirstPlaceholder();
    // How many placeholders with this text are left.
    std::size_t Occurrences(const std::string &placeholder) const;
    // The value as it is written where "\ucN" is the given one; the text it returns must
    // outlive this object.
    using TValueText = std::function<const std::string &(int unicodeSkip)>;
    // Replaces every occurrence of the placeholder text by the value of pair (whose
    // placeholders become placeholders brought in by that pair); returns how many. Where a
    // placeholder ends a control word, a space ends the control word before the value.
    std::size_t ReplaceAll(const std::string &placeholder, const TValueText &value, long pair);

    std::size_t Size() const { return FSize; }
    std::size_t PlaceholderCount() const { return FPlaceholderCount; }
    std::string Text() const;

private:
    struct TPiece
    {
        std::string_view Text;
        long Number = -1; // of a placeholder; -1 for ordinary text
        int UnicodeSkip = 1;
        bool AfterControlWord = false;
        long Origin = 0;
    };
    using TPieces = std::list<TPiece>;

    std::vector<TPiece> Split(const std::string &text) const;
    // The pieces of a value put in at a placeholder that had the given context.
    std::vector<TPiece> SplitValue(const std::string &text, int unicodeSkip, long pair) const;
    // Finds the placeholders among the pieces.
    void IndexPieces();

    TPlaceholderScanner::TTextKind FKind;
    bool FGluedCounts;
    TPieces FPieces;
    TPieces::iterator FFirst; // nothing before it is a placeholder
    std::unordered_map<std::string_view, std::vector<TPieces::iterator>> FOccurrences;
    std::size_t FSize = 0;
    std::size_t FPlaceholderCount = 0;
};
