#pragma once

#include <functional>
#include <string>
#include <vector>

// One subcommand of zarvel-cli. Each Cli*.cpp file registers its commands with a static
// CliCommand object; main() looks them up by name.
class CliCommand
{
public:
    // Arguments after the subcommand's name. Returns the exit status. Errors are reported
    // by throwing (std::exception): main prints the message on stderr and exits with 1.
    using Run = std::function<int(const std::vector<std::string> &args)>;
    // What a command of the front program returns, having written nothing, when it finds that
    // the command line needs the document model after all: the model program runs it instead.
    static constexpr int KHandOver = -1;
    // Whether the command, with these arguments, needs the document model: the rich text
    // control and with it the window toolkit. zarvel-cli's front program, which has neither,
    // then hands the command line over to the program that has them (CliRuntime).
    using Needs = std::function<bool(const std::vector<std::string> &args)>;
    // What a command that loads documents declares.
    static bool DocumentModel(const std::vector<std::string> &) { return true; }
    // What a command that reads and writes documents without the control and the printer
    // declares as its widget needs.
    static bool NoWidgets(const std::vector<std::string> &) { return false; }

    // Usage is the synopsis after the name; Help says what the command does and what its
    // options mean, for "zarvel-cli help NAME". A command without needs runs on the plain
    // engines alone. A command that needs the document model needs the widgets of the
    // control and the printer too, unless needsWidgets says otherwise: the document model
    // alone starts in less time and memory.
    CliCommand(std::string name, std::string usage, Run run, std::string help = std::string(),
               Needs needsDocumentModel = Needs(), Needs needsWidgets = Needs());

    static const CliCommand *Find(const std::string &name);
    static std::vector<const CliCommand *> All();

    // The arguments that are not options ("-" counts as a file name: standard input or
    // output). Throws CliUsageError for any option; after "--" every argument is a name.
    static std::vector<std::string> Operands(const std::vector<std::string> &args);
    // The argument is an option, not a name ("-" alone is a name).
    static bool IsOption(const std::string &arg) { return arg.size() > 1 && arg[0] == '-'; }

    const std::string &Name() const { return FName; }
    const std::string &Usage() const { return FUsage; }
    const std::string &Help() const { return FHelp; }
    int Execute(const std::vector<std::string> &args) const { return FRun(args); }
    bool NeedsDocumentModel(const std::vector<std::string> &args) const
    {
        return FNeeds && FNeeds(args);
    }
    bool NeedsWidgets(const std::vector<std::string> &args) const
    {
        return FWidgets ? FWidgets(args) : NeedsDocumentModel(args);
    }

private:
    std::string FName;
    std::string FUsage;
    Run FRun;
    std::string FHelp;
    Needs FNeeds;
    Needs FWidgets;
};

// Thrown for wrong arguments: main prints the message and the command's usage.
class CliUsageError : public std::exception
{
public:
    explicit CliUsageError(std::string message) : FMessage(std::move(message)) {}
    const char *what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};
