#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

// An output that an engine writes line by line (the HTML converter): the file named, or for "-"
// standard output. Each line is ended by CR LF.
//
// The target is checked as CliOutputTarget says. The lines of a named file go to a new file
// beside the target, whose name carries the process's mark (RemoveLeftoversIn takes what a
// killed command left), and Finish puts that file on the disk with the permissions of the file
// it replaces and renames it over the target: a failed or interrupted command leaves the old file
// as it was. The lines for standard output are kept until Finish, so a failed command writes
// nothing there.
class CliOutputStream
{
public:
    // Throws with the user's message when the target cannot be written.
    explicit CliOutputStream(const std::string &name);
    // Removes the new file when Finish was not reached.
    ~CliOutputStream();
    CliOutputStream(const CliOutputStream &) = delete;
    CliOutputStream &operator=(const CliOutputStream &) = delete;

    // Throws "Cannot write file <target>: <reason>" when the line cannot be written.
    void WriteLine(std::string_view line);
    // Puts what was written in place. Throws when that fails.
    void Finish();

private:
    [[noreturn]] void Fail(int error);
    void Close();

    std::string FTarget;             // absolute, the end of its links; empty for standard output
    std::string FPath;               // the new file beside the target
    int FMode = -1;                  // permissions of the file replaced, -1 when there was none
    std::unique_ptr<char[]> FBuffer; // FFile's buffer, which outlives it
    std::FILE *FFile = nullptr;
    std::string FKept; // the lines for standard output
    bool FFinished = false;
};
