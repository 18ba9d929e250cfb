#pragma once

#include "assembly/TMergeResult.h"
#include "assembly/TMergeValueEncoder.h"
#include "assembly/TPlaceholderScanner.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class TMergeTemplate;
class TMergeText;

// The merge of "Do It": the template's raw rich text as one string, its placeholders "@n" (see
// TPlaceholderScanner) replaced one after another by the values of the information file's
// pairs (line 2n of the information lines, see MergedValue), in insert or overwrite mode.
// Plain text in, plain text out: the main window and zarvel-cli both drive it, each with its
// own hooks for the running count and the text of every step.
//
// Insert mode replaces every occurrence of one placeholder a step; overwrite mode one
// occurrence a step, its value covering the characters after it so that the text keeps its
// length. Placeholders in values are replaced in later steps. Every merge ends: a missing
// value, an overwrite clash, values that lead back to their own placeholder and values that
// would grow the text without bound each stop it with a message.
class TMergeEngine
{
public:
    // After each step, with the count so far (the main window shows MergeProgressCaption and
    // lets pending events run).
    using TProgressHook = std::function<void(int count)>;
    // After each step, after the progress hook, with the merge text (the main window writes
    // it to "debug.rtf").
    using TStepHook = std::function<void(const std::string &mergeText)>;

    // The information lines (UTF-8): the lines of the information pane, numbered from 0.
    explicit TMergeEngine(std::vector<std::string> informationLines);

    void SetOverwriteMode(bool overwrite) { FOverwriteMode = overwrite; }
    bool OverwriteMode() const { return FOverwriteMode; }
    void SetProgressHook(TProgressHook hook) { FProgressHook = std::move(hook); }
    void SetStepHook(TStepHook hook) { FStepHook = std::move(hook); }

    const std::vector<std::string> &InformationLines() const { return FLines; }

    // Merges the merge text (the template as LoadTextFile reads it). Exceptions of the hooks
    // pass through.
    TMergeResult Merge(std::string mergeText) const;
    // The same for a template prepared once to be merged with many information files.
    TMergeResult Merge(const TMergeTemplate &mergeTemplate) const;
    // Reads the template with LoadMergeText (its errors pass through) and merges it.
    TMergeResult MergeFile(const std::string &templateFileName) const;

    enum class TOverwrite { Covered, Pushed, Clash };
    // Overwrite mode: the value (UTF-8) covers the placeholder and as many visible characters
    // after it as it is longer; a shorter value is padded with spaces. It covers only
    // characters of the text (spaces and letters, escaped ones included) of its own line: a
    // control word, a group brace or a paragraph end is never covered, and where the value
    // meets one the rest of it pushes the text along (Pushed). Clash, and the text unchanged,
    // when another placeholder starts within the larger of the two lengths after the
    // placeholder. valueEnd is where the written value ends.
    static TOverwrite OverwriteValue(std::string &text, const TMergeValueEncoder &encoder,
                                     const TPlaceholderScanner::TMatch &placeholder,
                                     const std::string &value, std::size_t &valueEnd);

    // The largest merge text a merge of a template of templateSize bytes may build: a step
    // that would pass it stops the merge (TooLong).
    static std::size_t SizeBound(std::size_t templateSize);

    // Writes the merge text to "debug.rtf" in the current folder (a step hook).
    static void WriteDebugFile(const std::string &mergeText);

private:
    // The merge text and its pieces (views of it).
    TMergeResult InsertMerge(const std::string &mergeText, TMergeText text) const;
    TMergeResult OverwriteMerge(std::string mergeText) const;
    TMergeResult MergeJoined(std::string mergeText, std::vector<TMergeNote> unmerged) const;
    void AfterStep(int count, const std::string &mergeText) const;
    static TMergeResult Stop(std::string text, int count, TMergeStop reason,
                             const TPlaceholderScanner::TMatch &placeholder, std::string message);

    std::vector<std::string> FLines;
    bool FOverwriteMode = false;
    TProgressHook FProgressHook;
    TStepHook FStepHook;
};
