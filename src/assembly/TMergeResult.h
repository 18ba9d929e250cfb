#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Why a merge ended.
enum class TMergeStop {
    None,           // every placeholder was replaced: the merge ran to the end
    MissingValue,   // a placeholder whose pair the information file does not have
    OverwriteClash, // overwrite mode: the value would cover another placeholder
    Circle,         // values lead back to their own placeholders: the merge would never end
    TooLong         // values hold so many placeholders that the text would grow without bound
};

// A place of the template that the merge reports: the placeholder text as a reader sees it
// and the line of the template file it stands on (from 1).
struct TMergeNote
{
    std::string Placeholder;
    std::size_t Line = 0;
};

// The outcome of one merge. On a stop, Text is the merge text of the last completed step
// (what "debug.rtf" holds) and the message fields hold the message box to show.
struct TMergeResult
{
    std::string Text;
    int Count = 0;
    TMergeStop Stop = TMergeStop::None;
    std::string Placeholder;    // the placeholder text the merge stopped at
    std::string MessageCaption; // caption of the message box ("" for none)
    char MessageIcon = 0;       // icon letter of the message box
    std::string MessageText;    // ";" breaks lines; texts are UTF-8
    // Placeholder-like text that the merge left in the document because formatting splits it.
    std::vector<TMergeNote> Unmerged;
    // Overwrite mode: values that met formatting or a paragraph end before they had covered
    // their length; the rest of each pushed the text after it along.
    std::vector<TMergeNote> Pushed;

    bool Finished() const { return Stop == TMergeStop::None; }
};
