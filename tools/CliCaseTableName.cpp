// Whether merge or check is given a table of cases: decided by the front program too, which
// hands such commands to the model program.
#include "CliCommand.h"
#include "CliMergeTable.h"

#include "assembly/TCaseTable.h"

namespace {
// The options of merge and check that take the next argument as their value.
bool TakesValue(const std::string &option)
{
    return option == "-o" || option == "--output" || option == "--out-dir" ||
           option == "--format" || option == "--debug-file" || option == "--name" ||
           option == "--rows";
}
} // namespace

bool NamesCaseTable(const std::vector<std::string> &args)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (TakesValue(args[i]))
            ++i;
        else if (!CliCommand::IsOption(args[i]) && TCaseTable::IsCaseSourceName(args[i]))
            return true;
    }
    return false;
}
