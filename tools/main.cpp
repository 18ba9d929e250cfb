// zarvel-cli: runs Zarvel's engines without a window.
#include "CliCommand.h"
#include "CliPath.h"
#include "CliRuntime.h"
#include "text/LeftoverFiles.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {
void PrintUsage(std::FILE *out)
{
    std::fprintf(out, "usage: zarvel-cli COMMAND [ARGS...]\n"
                      "       zarvel-cli help COMMAND | --help | --version\n"
                      "commands:\n");
    for (const CliCommand *command : CliCommand::All())
        std::fprintf(out, "  %s %s\n", command->Name().c_str(), command->Usage().c_str());
    std::fprintf(out, "A FILE named - is standard input (or output where the command writes).\n");
}

void PrintCommandHelp(const CliCommand &command)
{
    std::printf("usage: zarvel-cli %s %s\n", command.Name().c_str(), command.Usage().c_str());
    if (!command.Help().empty())
        std::printf("%s\n", command.Help().c_str());
}

// The command asks for its own help: --help or -h among its options.
bool WantsHelp(const std::vector<std::string> &args)
{
    for (const std::string &arg : args) {
        if (arg == "--")
            return false;
        if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

int Help(const std::vector<std::string> &args)
{
    if (args.empty()) {
        PrintUsage(stdout);
        return 0;
    }
    const CliCommand *command = args.size() == 1 ? CliCommand::Find(args[0]) : nullptr;
    if (!command) {
        std::fprintf(stderr, "zarvel-cli help: no command '%s'\n", args[0].c_str());
        PrintUsage(stderr);
        return 2;
    }
    PrintCommandHelp(*command);
    return 0;
}

int Unknown(const std::string &name)
{
    std::fprintf(stderr, "zarvel-cli: unknown %s '%s'\n",
                 CliCommand::IsOption(name) ? "option" : "command", name.c_str());
    PrintUsage(stderr);
    return 2;
}
} // namespace

int main(int argc, char *argv[])
{
    const std::vector<std::string> words(argv + 1, argv + argc);
    const std::string name = words.empty() ? std::string() : words.front();
    const std::vector<std::string> args(words.begin() + (words.empty() ? 0 : 1), words.end());
    if (name == "--version") {
        std::printf("zarvel-cli %s\n", ZARVEL_VERSION);
        return 0;
    }
    const CliCommand *command = CliCommand::Find(name);
    // The front program knows its own commands only: any other command, help and the list of
    // all commands come from the model program, as does a command that needs the document model.
    if (!CliRuntime::HasDocumentModel() &&
        (!command || (!WantsHelp(args) && command->NeedsDocumentModel(args))))
        return CliRuntime::HandOver(argv);
    if (words.empty()) {
        PrintUsage(stderr);
        return 2;
    }
    if (name == "--help" || name == "-h") {
        PrintUsage(stdout);
        return 0;
    }
    if (name == "help")
        return Help(args);
    if (!command)
        return Unknown(name);
    if (WantsHelp(args)) {
        PrintCommandHelp(*command);
        return 0;
    }

    const CliRuntime runtime(argv, command->NeedsWidgets(args));
    // Scratch folders of commands that were killed. The front program looks for them when it
    // makes one of its own (CliScratchFolder): most of its calls name their files and need
    // none, and the folder of temporary files can be long to read.
    if (CliRuntime::HasDocumentModel())
        RemoveLeftoversIn(TemporaryFolder() + "/");
    try {
        const int status = command->Execute(args);
        if (status == CliCommand::KHandOver && !CliRuntime::HasDocumentModel())
            return CliRuntime::HandOver(argv);
        return status;
    } catch (const CliUsageError &e) {
        std::fprintf(stderr, "zarvel-cli %s: %s\nusage: zarvel-cli %s %s\n",
                     command->Name().c_str(), e.what(), command->Name().c_str(),
                     command->Usage().c_str());
        return 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zarvel-cli %s: %s\n", command->Name().c_str(), e.what());
        return 1;
    }
}
