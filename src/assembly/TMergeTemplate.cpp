#include "assembly/TMergeTemplate.h"

#include "assembly/TMergeText.h"

TMergeTemplate::TMergeTemplate(std::string mergeText)
    : FText(std::move(mergeText)),
      FInsertPieces(std::make_unique<TMergeText>(FText, TPlaceholderScanner::KindOf(FText), false))
{
}

TMergeTemplate::~TMergeTemplate() = default;
