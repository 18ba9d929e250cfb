#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace Rtf2Html {

// The HTML page being written. Lines go to a temporary file in the target's folder, each
// ended by CR LF; Commit() puts it in place of the target in one rename, so a failed
// conversion never leaves a half-written file where an earlier one was. A symbolic link is
// followed: the file it names is replaced, in its own folder, and the link stays.
// Write failures throw ERtfToHtmlError with the run-time library's message.
class THtmlOutputFile
{
public:
    explicit THtmlOutputFile(const std::string &fileName);
    ~THtmlOutputFile();
    THtmlOutputFile(const THtmlOutputFile &) = delete;
    THtmlOutputFile &operator=(const THtmlOutputFile &) = delete;

    void WriteLine(std::string_view line);
    // Writes the start of a line; the line goes on with the next write.
    void Write(std::string_view text);
    void Flush();
    // Closes the file and renames it to the target name.
    void Commit();
    // Whether a write has failed (the file is then discarded, never committed).
    bool Failed() const { return FFailed; }

private:
    [[noreturn]] void Fail(int error);
    void Discard();

    std::string FFileName;
    std::string FTempName;
    std::unique_ptr<char[]> FBuffer; // the file's buffer; outlives FFile
    std::FILE *FFile = nullptr;
    bool FFailed = false;
};

} // namespace Rtf2Html
