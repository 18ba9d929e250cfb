// The model program's reader of information files: the information pane's.
#include "CliInformationReader.h"

#include "assembly/TInformationReader.h"

struct CliInformationReader::TState
{
    TInformationReader Reader;
};

CliInformationReader::CliInformationReader() : FState(std::make_unique<TState>()) {}

CliInformationReader::~CliInformationReader() = default;

std::vector<std::string> CliInformationReader::Read(const std::string &fileName)
{
    return FState->Reader.Read(fileName);
}
