#pragma once

#include "assembly/TMergeResult.h"

#include <memory>
#include <string>
#include <vector>

class TMergeText;

// A template's merge text with the placeholders of insert mode found once, for merging one
// template with many information files (zarvel-cli's batch): TMergeEngine::Merge of it gives
// what a merge of its text gives, without reading the whole text again for each file.
class TMergeTemplate
{
public:
    explicit TMergeTemplate(std::string mergeText);
    ~TMergeTemplate();
    // The pieces are views of the text it holds.
    TMergeTemplate(const TMergeTemplate &) = delete;
    TMergeTemplate &operator=(const TMergeTemplate &) = delete;

    // The merge text, with the placeholders that only neutral formatting split joined.
    const std::string &Text() const { return FText; }
    // The placeholders left split by formatting, as insert mode or overwrite mode (which takes
    // glued ones too) reads them.
    const std::vector<TMergeNote> &Unmerged(bool overwriteMode) const
    {
        return overwriteMode ? FUnmergedGlued : FUnmerged;
    }
    // The merge text of insert mode before the first step.
    const TMergeText &InsertPieces() const { return *FInsertPieces; }

private:
    std::vector<TMergeNote> FUnmerged;
    const std::string FText;
    const std::vector<TMergeNote> FUnmergedGlued;
    const std::unique_ptr<const TMergeText> FInsertPieces;
};
