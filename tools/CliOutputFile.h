#pragma once

#include "CliOutputBatch.h"
#include "CliScratchFolder.h"

#include <memory>
#include <string>

// A file argument to write: the file named, or for "-" standard output, which the engines
// (they write files by name) reach through a scratch file that Finish copies out.
//
// A named file is never written in place. The engines write a new file of the target's
// name in a private folder beside the target, and Finish renames it over the target, so a failed or
// interrupted command leaves the old file as it was. The target is checked as CliOutputTarget
// says; the new file is made in its folder and keeps its permissions.
//
// Finish puts the new file on the disk before it takes the target's place. In a batch, a new
// file shares the batch's private folder and is flushed with the batch (CliOutputBatch::Flush):
// its name still appears only with its whole content, and a file that existed keeps its own
// flush.
class CliOutputFile
{
public:
    // The scratch file of "-" gets the given name (the HTML writer names its page after it).
    // Throws with the user's message when the target cannot be written.
    explicit CliOutputFile(const std::string &name, const std::string &scratchName = "stdout",
                           CliOutputBatch *batch = nullptr);
    // Removes the new file when Finish was not reached.
    ~CliOutputFile();
    CliOutputFile(const CliOutputFile &) = delete;
    CliOutputFile &operator=(const CliOutputFile &) = delete;

    bool IsStdout() const { return FScratch != nullptr; }
    // The name to write to, absolute: the new file (of the target's name) in its folder
    // beside the target, or the scratch file.
    const std::string &Path() const { return FPath; }
    // The file that Finish replaces (the target of a link), absolute; empty for "-".
    const std::string &Target() const { return FTarget; }
    // Puts what was written in place: renames the new file over the target, or copies the
    // scratch file to standard output. Throws when that fails.
    void Finish() const;

private:
    void PrepareTarget(const std::string &name);

    std::unique_ptr<CliScratchFolder> FScratch;
    std::string FPath;
    std::string FTarget;
    std::string FFolder;              // the private folder beside the target that FPath is in
    int FMode = -1;                   // permissions of the file replaced, -1 when there was none
    CliOutputBatch *FBatch = nullptr; // owns FFolder when set
    mutable bool FFinished = false;
};
