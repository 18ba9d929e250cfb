#include "assembly/TMergeTemplate.h"

#include "assembly/TMergeText.h"
#include "assembly/TSplitPlaceholders.h"

namespace {
std::string Joined(std::string text, std::vector<TMergeNote> &unmerged)
{
    unmerged = TSplitPlaceholders::Join(text, false);
    return text;
}

// Joining what is already joined changes nothing: only the report of overwrite mode is new.
std::vector<TMergeNote> UnmergedGlued(std::string joined)
{
    return TSplitPlaceholders::Join(joined, true);
}
} // namespace

TMergeTemplate::TMergeTemplate(std::string mergeText)
    : FText(Joined(std::move(mergeText), FUnmerged)), FUnmergedGlued(UnmergedGlued(FText)),
      FInsertPieces(std::make_unique<TMergeText>(FText, TPlaceholderScanner::KindOf(FText), false))
{
}

TMergeTemplate::~TMergeTemplate() = default;
