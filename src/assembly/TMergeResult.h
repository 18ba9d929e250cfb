#pragma once

#include <string>

// Why a merge ended.
enum class TMergeStop {
    None,           // every placeholder was replaced: the merge ran to the end
    MissingValue,   // a placeholder whose pair the information file does not have
    OverwriteClash, // overwrite mode: the value would cover another placeholder
    Circle,         // values lead back to their own placeholders: the merge would never end
    TooLong         // values hold so many placeholders that the text would grow without bound
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
    std::string MessageText;    // ";" breaks lines

    bool Finished() const { return Stop == TMergeStop::None; }
};
