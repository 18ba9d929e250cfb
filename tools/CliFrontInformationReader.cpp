// The front program's reader of information files: plain text only.
#include "CliInformationReader.h"

#include "assembly/TPlainInformationFile.h"
#include "text/StringUtils.h"

struct CliInformationReader::TState
{
};

CliInformationReader::CliInformationReader() = default;

CliInformationReader::~CliInformationReader() = default;

std::vector<std::string> CliInformationReader::Read(const std::string &fileName)
{
    if (std::optional<std::vector<std::string>> lines = TPlainInformationFile::LinesOfFile(fileName))
        return std::move(*lines);
    // It was plain text when the command started; the model program's reader would have
    // been needed had it been what it is now.
    throw EStreamError("The information file " + fileName +
                       " changed while zarvel-cli read it; run the command again.");
}
