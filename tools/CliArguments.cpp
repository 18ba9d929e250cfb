#include "CliArguments.h"

#include "CliCommand.h"

#include "text/UnicodeText.h"

#include <string_view>

std::string ForTerminal(const std::string &text)
{
    std::string_view rest(text);
    if (rest.substr(0, 3) == "\xEF\xBB\xBF")
        rest.remove_prefix(3);
    if (IsValidUtf8(rest))
        return std::string(rest);
    std::string shown;
    shown.reserve(rest.size());
    for (std::size_t i = 0; i < rest.size();)
        AppendUtf8(shown, DecodeUtf8(rest, i));
    return shown;
}

std::string NeedValue(const std::vector<std::string> &args, std::size_t &i)
{
    if (i + 1 >= args.size())
        throw CliUsageError(args[i] + " needs a value");
    return args[++i];
}
