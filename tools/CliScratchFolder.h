#pragma once

#include <string>

// A scratch folder of the command's own in the folder of temporary files, removed with what it
// holds when the object goes; those left by killed commands are removed when the next one is
// made (RemoveLeftoversIn).
class CliScratchFolder
{
public:
    // Throws with the user's message when none can be made.
    CliScratchFolder();
    ~CliScratchFolder();
    CliScratchFolder(const CliScratchFolder &) = delete;
    CliScratchFolder &operator=(const CliScratchFolder &) = delete;

    // Absolute, without a final slash.
    const std::string &Path() const { return FPath; }
    std::string FilePath(const std::string &name) const { return FPath + "/" + name; }

private:
    std::string FPath;
};
