#pragma once

#include "CliScratchFolder.h"

#include <cstdint>
#include <memory>
#include <string>

// A file argument to read: the file named, or for "-" standard input, which is first copied
// into a scratch folder, since the engines read files by name.
//
// Only regular files are read: a pipe, a device or a folder is refused at once (a pipe
// without a writer would block for ever, /dev/zero never ends). So is input larger than
// the command's limit, before any of it is read, so that memory stays bounded.
class CliInputFile
{
public:
    // Input that a command loading it whole into a rich text control takes. The control's
    // memory grows with the number of paragraphs far more than with the bytes: a file of
    // 16 MiB of short paragraphs comes near a gibibyte, while a letter with pictures of many
    // megabytes or a 20 MB paragraph takes a few hundred megabytes.
    static constexpr std::int64_t KDefaultLimit = std::int64_t(16) << 20;
    // Input of a command that reads it line by line (the HTML converter): what it holds at
    // once is bounded by the longest line, a few times over.
    static constexpr std::int64_t KStreamLimit = std::int64_t(64) << 20;

    // For "-", reads standard input now into a scratch file (at most limit bytes). Throws
    // with the user's message when the input is refused or the copy cannot be made. A named
    // file that does not exist is left to the engine, which reports it in its own words.
    explicit CliInputFile(const std::string &name, std::int64_t limit = KDefaultLimit);

    bool IsStdin() const { return FScratch != nullptr; }
    // The name to open.
    const std::string &Path() const { return FPath; }

private:
    void CopyStandardInput(std::int64_t limit);

    std::unique_ptr<CliScratchFolder> FScratch;
    std::string FPath;
};
