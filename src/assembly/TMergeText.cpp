#include "assembly/TMergeText.h"

#include <algorithm>

TMergeText::TMergeText(const std::string &text, TPlaceholderScanner::TTextKind kind,
                       bool gluedCounts)
    : FKind(kind), FGluedCounts(gluedCounts), FSize(text.size())
{
    const std::vector<TPiece> pieces = Split(text);
    FPieces.assign(pieces.begin(), pieces.end());
    IndexPieces();
}

TMergeText::TMergeText(const TMergeText &other)
    : FKind(other.FKind), FGluedCounts(other.FGluedCounts), FPieces(other.FPieces),
      FSize(other.FSize)
{
    IndexPieces();
}

void TMergeText::IndexPieces()
{
    FOccurrences.clear();
    FPlaceholderCount = 0;
    for (auto piece = FPieces.begin(); piece != FPieces.end(); ++piece) {
        if (piece->Number >= 0) {
            FOccurrences[piece->Text].push_back(piece);
            ++FPlaceholderCount;
        }
    }
    FFirst = FPieces.begin();
}

std::vector<TMergeText::TPiece> TMergeText::Split(const std::string &text) const
{
    const std::string_view whole(text);
    std::vector<TPiece> pieces;
    std::size_t done = 0;
    TPlaceholderScanner scanner(text, FKind, FGluedCounts);
    while (const auto match = scanner.Next()) {
        if (match->Position > done)
            pieces.push_back({whole.substr(done, match->Position - done)});
        pieces.push_back({whole.substr(match->Position, match->Text.size()), match->Number,
                          match->UnicodeSkip, match->AfterControlWord, match->Origin});
        done = match->Position + match->Text.size();
    }
    if (done < text.size())
        pieces.push_back({whole.substr(done)});
    return pieces;
}

std::vector<TMergeText::TPiece> TMergeText::SplitValue(const std::string &text, int unicodeSkip,
                                                       long pair) const
{
    std::vector<TPiece> pieces = Split(text);
    // The value brings no "\ucN" of its own.
    for (TPiece &piece : pieces) {
        piece.UnicodeSkip = unicodeSkip;
        piece.Origin = pair;
    }
    return pieces;
}

std::optional<TPlaceholderScanner::TMatch> TMergeText::FirstPlaceholder()
{
    while (FFirst != FPieces.end() && FFirst->Number < 0)
        ++FFirst;
    if (FFirst == FPieces.end())
        return std::nullopt;
    TPlaceholderScanner::TMatch match;
    match.Text = std::string(FFirst->Text);
    match.Number = FFirst->Number;
    match.UnicodeSkip = FFirst->UnicodeSkip;
    match.AfterControlWord = FFirst->AfterControlWord;
    match.Origin = FFirst->Origin;
    return match;
}

std::size_t TMergeText::Occurrences(const std::string &placeholder) const
{
    const auto found = FOccurrences.find(placeholder);
    return found == FOccurrences.end() ? 0 : found->second.size();
}

std::size_t TMergeText::ReplaceAll(const std::string &placeholder, const TValueText &value,
                                   long pair)
{
    static const std::string Delimiter = " ";
    const auto found = FOccurrences.find(placeholder);
    if (found == FOccurrences.end())
        return 0;
    const std::vector<TPieces::iterator> occurrences = std::move(found->second);
    FOccurrences.erase(found);
    // By "\ucN": most templates have one.
    std::vector<std::pair<int, std::vector<TPiece>>> valuePieces;
    for (const TPieces::iterator &occurrence : occurrences) {
        const int unicodeSkip = occurrence->UnicodeSkip;
        const std::string &text = value(unicodeSkip);
        auto split =
            std::find_if(valuePieces.begin(), valuePieces.end(),
                         [unicodeSkip](const auto &known) { return known.first == unicodeSkip; });
        if (split == valuePieces.end())
            split = valuePieces.emplace(valuePieces.end(), unicodeSkip,
                                        SplitValue(text, unicodeSkip, pair));
        TPieces::iterator firstInserted = FPieces.end();
        if (occurrence->AfterControlWord) {
            firstInserted = FPieces.insert(occurrence, TPiece{Delimiter});
            ++FSize;
        }
        for (const TPiece &piece : split->second) {
            const TPieces::iterator at = FPieces.insert(occurrence, piece);
            if (firstInserted == FPieces.end())
                firstInserted = at;
            if (piece.Number >= 0) {
                FOccurrences[piece.Text].push_back(at);
                ++FPlaceholderCount;
            }
        }
        const bool wasFirst = FFirst == occurrence;
        const TPieces::iterator after = FPieces.erase(occurrence);
        if (wasFirst)
            FFirst = firstInserted == FPieces.end() ? after : firstInserted;
        FSize = FSize - placeholder.size() + text.size();
        --FPlaceholderCount;
    }
    return occurrences.size();
}

std::string TMergeText::Text() const
{
    std::string text;
    text.reserve(FSize);
    for (const TPiece &piece : FPieces)
        text.append(piece.Text.data(), piece.Text.size());
    return text;
}
