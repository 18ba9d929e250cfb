#pragma once

#include "assembly/TMergeResult.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The merge of "Do It": the template's raw rich text as one string, its placeholders "@n"
// replaced one after another by the values of the information file's pairs (line 2n of the
// information lines), in insert or overwrite mode. Plain text in, plain text out: the main
// window and zarvel-cli both drive it, each with its own hooks for the running count and the
// text of every step.
//
// Every merge ends: besides the missing value, an overwrite clash, a placeholder that insert
// mode cannot replace and values that keep bringing placeholders back all stop it with a
// message.
class TMergeEngine
{
public:
    // After each step, with the count so far (the main window shows MergeProgressCaption and
    // lets pending events run).
    using TProgressHook = std::function<void(int count)>;
    // After each step, after the progress hook, with the merge text (the main window writes
    // it to "debug.rtf").
    using TStepHook = std::function<void(const std::string &mergeText)>;

    // The information lines: the lines of the information pane, numbered from 0.
    explicit TMergeEngine(std::vector<std::string> informationLines);

    void SetOverwriteMode(bool overwrite) { FOverwriteMode = overwrite; }
    bool OverwriteMode() const { return FOverwriteMode; }
    void SetProgressHook(TProgressHook hook) { FProgressHook = std::move(hook); }
    void SetStepHook(TStepHook hook) { FStepHook = std::move(hook); }

    const std::vector<std::string> &InformationLines() const { return FLines; }

    // Merges the merge text (the template as LoadTextFile reads it). Exceptions of the hooks
    // pass through.
    TMergeResult Merge(std::string mergeText) const;
    // Reads the template with LoadTextFile (its errors pass through) and merges it.
    TMergeResult MergeFile(const std::string &templateFileName) const;

    // The inner steps. Positions count from 0.

    // The position of the first "@" at or after from; false when there is none.
    static bool FindPlaceholder(const std::string &text, std::size_t &position,
                                std::size_t from = 0);
    // The placeholder text at the "@" at position.
    static std::string ExtractPlaceholder(const std::string &text, std::size_t position);
    // The pair number of a placeholder text, or 0 when the text after "@" is no integer of
    // at least 1 (leading blanks, an optional sign, digits and nothing else).
    static long PairNumber(const std::string &placeholder);
    // The index of the value line of the placeholder's pair in the information lines; false
    // when the pair does not exist.
    bool ValueLineIndex(const std::string &placeholder, std::size_t &index) const;
    // The value as it is merged: a value with an operator character that the evaluator
    // accepts becomes its number, two decimals in 12 characters; any other stays as it is.
    static std::string PrepareValue(const std::string &value);
    // Whether the placeholder at position is a whole word (what insert mode replaces).
    static bool IsWholeWordAt(const std::string &text, std::size_t position,
                              const std::string &placeholder);
    // Overwrite mode: the value covers the first occurrence of the placeholder so that the
    // text keeps its length. False, and the text unchanged, when an "@" stands within the
    // larger of the two lengths after the placeholder.
    static bool OverwriteValue(std::string &text, const std::string &placeholder,
                               const std::string &value);

    // Writes the merge text to "debug.rtf" in the current folder: the main window's step hook.
    static void WriteDebugFile(const std::string &mergeText);

private:
    TMergeResult Stop(TMergeResult result, TMergeStop reason, const std::string &placeholder,
                      const std::string &value) const;

    std::vector<std::string> FLines;
    bool FOverwriteMode = false;
    TProgressHook FProgressHook;
    TStepHook FStepHook;
};
