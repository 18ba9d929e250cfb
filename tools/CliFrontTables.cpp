// The front program's side of what only the model program does: tables of cases and PDF
// letters. The front program hands every command that names a table to the model program
// before it starts (MergeNeedsDocumentModel), so none of these is reached there.
#include "CliLetterFile.h"
#include "CliMergeTable.h"

#include <stdexcept>

namespace {
[[noreturn]] void NeedsModelProgram()
{
    throw std::logic_error("this command runs in zarvel-cli-model");
}
} // namespace

int RunTableMerge(const std::vector<std::string> &)
{
    NeedsModelProgram();
}

int RunTableCheck(const std::vector<std::string> &)
{
    NeedsModelProgram();
}

void WritePdfLetter(const std::string &, const std::string &)
{
    NeedsModelProgram();
}
