#include "CliCommand.h"

#include <algorithm>

namespace {
// The table is filled during static initialisation and only read afterwards.
std::vector<const CliCommand *> &Registry()
{
    static std::vector<const CliCommand *> commands;
    return commands;
}
} // namespace

CliCommand::CliCommand(std::string name, std::string usage, Run run, std::string help,
                       Needs needsDocumentModel, Needs needsWidgets)
    : FName(std::move(name)), FUsage(std::move(usage)), FRun(std::move(run)),
      FHelp(std::move(help)), FNeeds(std::move(needsDocumentModel)),
      FWidgets(std::move(needsWidgets))
{
    Registry().push_back(this);
}

const CliCommand *CliCommand::Find(const std::string &name)
{
    for (const CliCommand *command : Registry())
        if (command->Name() == name)
            return command;
    return nullptr;
}

std::vector<const CliCommand *> CliCommand::All()
{
    std::vector<const CliCommand *> commands = Registry();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand *a, const CliCommand *b) { return a->Name() < b->Name(); });
    return commands;
}

std::vector<std::string> CliCommand::Operands(const std::vector<std::string> &args)
{
    std::vector<std::string> operands;
    bool onlyNames = false;
    for (const std::string &arg : args) {
        if (!onlyNames && arg == "--")
            onlyNames = true;
        else if (!onlyNames && IsOption(arg))
            throw CliUsageError("unknown option " + arg);
        else
            operands.push_back(arg);
    }
    return operands;
}
