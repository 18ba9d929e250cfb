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

    CliCommand(std::string name, std::string usage, Run run);

    static const CliCommand *Find(const std::string &name);
    static std::vector<const CliCommand *> All();

    const std::string &Name() const { return FName; }
    const std::string &Usage() const { return FUsage; }
    int Execute(const std::vector<std::string> &args) const { return FRun(args); }

private:
    std::string FName;
    std::string FUsage;
    Run FRun;
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
