#include "assembly/TMergeTemplate.h"

#include "assembly/TMergeText.h"
#include "assembly/TSplitPlaceholders.h"

namespace {
std::string Joined(std::string text, std::vector<TMergeNote> &unmerged)
{
    unmerged = TSplitPlaceholders::Join(text, false);
    return text;
}
} // namespace

TMergeTemplate::TMergeTemplate(std::string mergeText)
    : FText(Joined(std::move(mergeText), FUnmerged)),
      FInsertPieces(std::make_unique<TMergeText>(FText, TPlaceholderScanner::KindOf(FText), false))
{
}

TMergeTemplate::~TMergeTemplate() = default;
