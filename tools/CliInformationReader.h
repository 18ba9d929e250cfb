#pragma once

#include <memory>
#include <string>
#include <vector>

// The reader of information files of merge and check. The model program reads every file as
// the information pane does (TInformationReader). The front program reads plain text only
// (TPlainInformationFile): a command whose information files are not all such is handed
// to the model program before it starts (InformationNeedsDocumentModel).
class CliInformationReader
{
public:
    CliInformationReader();
    ~CliInformationReader();
    CliInformationReader(const CliInformationReader &) = delete;
    CliInformationReader &operator=(const CliInformationReader &) = delete;

    // The lines of the file, as UTF-8. Throws as TInformationReader::Read does.
    std::vector<std::string> Read(const std::string &fileName);

private:
    struct TState; // each program's own
    std::unique_ptr<TState> FState;
};
