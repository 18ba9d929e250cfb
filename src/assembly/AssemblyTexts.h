#pragma once

#include "assembly/TMergeResult.h"

#include <cstddef>
#include <string>
#include <vector>

// The fixed texts of document assembly: the commands' hints, the message box texts (a ";"
// is a line break there) and the balloon text (an "@" is a line break there). The main
// window and zarvel-cli both take them from here so that they show the same words.

// Hints of the "Document Assembly" commands.
inline constexpr const char *DoItHint =
    "Peform the merge. If EXACT placement of items on the form is required then remember to "
    "check the Insert/Overwrite item";
inline constexpr const char *ToggleInsOverwriteHint =
    "Toggle Insert/overwrite for the merge. This needs to be ON when items must be placed "
    "exactly on a  line, especially if there are several on one line.";
inline constexpr const char *EditInformationFileHint =
    "Check or edit and save the Information File to be used in a merge. All information files "
    "must end with a .INF extension.";
inline constexpr const char *EditTemplateFileHint =
    "Check or Edit the Template File to be used in the merge. Remember that ALL FORMATTING is "
    "done in the Template. These files must end with a .TEM extension";

// File name boxes of the open dialog for the two select commands.
inline constexpr const char *InformationFileMask = "*.inf";
inline constexpr const char *TemplateFileMask = "*.tem";

// Working files of the merge, in the current folder.
inline constexpr const char *MergeDebugFileName = "debug.rtf";
inline constexpr const char *MergeResultFileName = "$$$";

// Caption of the merge's message boxes.
inline constexpr const char *MergeCaption = "Zarvel";

// "Do It" with no template in the document pane: caption MergeCaption, icon '!'.
inline constexpr const char *NoTemplateText = "You have not chosen a Template file;Please do so";

// A placeholder whose pair is not in the information file: caption MergeCaption, icon 'H'.
// MissingValueText, then which placeholder and which line of the information file it needs.
// A placeholder that a value brought in (origin, the value's pair; 0 for the template) is
// blamed on that value and its line instead.
inline constexpr const char *MissingValueText =
    "Your TEMPLATE file contains a value;that is not in the INFORMATION file ;Please correct "
    "the error before proceeding";
std::string MissingValueMessage(const std::string &placeholder, long pair,
                                std::size_t informationLineCount, long origin = 0);

// An overwrite that would cover another placeholder: no caption, icon 'H'.
std::string OverwriteClashText(const std::string &value, const std::string &placeholder);

// Values that lead back to their own placeholder, the pairs of the way round given from and to
// the same pair (1, 2, 1): caption MergeCaption, icon 'H'.
std::string CircleText(const std::vector<long> &circle);

// Values that hold so many placeholders of other values that the merged text would grow
// without bound at the placeholder: caption MergeCaption, icon 'H'.
std::string TooLongText(const std::string &placeholder);

// The caption of msgpanel1 while the merge runs.
std::string MergeProgressCaption(int count);

// The closing message: caption MergeFinishCaption(count), icon 'I', text MergeFinishText.
std::string MergeFinishCaption(int count);
inline constexpr const char *MergeFinishText = "The merged letter is now in the window. You can:;;"
                                               "1.  Print it: File, Print (Ctrl+P);"
                                               "     or look at it first: File, PrintPreview.;;"
                                               "2.  Save it: File, Save As.;;"
                                               "3.  Use it in your word processor:;"
                                               "     select all of it (Ctrl+A), copy it (Ctrl+C);"
                                               "     and paste it there.";

// What a finished merge has to add to its closing message: the placeholder-like texts it left
// in the document and, in overwrite mode, the values that pushed the text along, each with its
// line; empty when there are none. Starts with a line break (";;").
std::string MergeNotesText(const TMergeResult &result);
// The same for a terminal: one line each, ending in a line feed.
std::string MergeNotesLines(const TMergeResult &result);

// An information file with an odd number of lines: no caption, icon '!'.
inline constexpr const char *OddLinesText =
    " There is a problem with this file;There must be an even number of lines with;information "
    "appearing only on the even lines;edit and save it before proceeding.";

// The heading balloon when the information pane has fewer than 2 lines (red, font size 11).
inline constexpr const char *NoInformationBalloonText =
    "You have not chosen an information file@You need to complete this step@or there will be "
    "nothing to merge";

// The caption of msgpanel1 when a merge starts, before its first replacement.
inline constexpr const char *MergePanelCaption = "Please wait";
