#pragma once

#include <string>
#include <vector>

// A text of the merge (UTF-8) as the terminal is given it: valid UTF-8, each byte that is not
// part of a character shown as U+FFFD, without a byte order mark at its start.
std::string ForTerminal(const std::string &text);
// The value of the option at i, which moves to it. Throws CliUsageError when there is none.
std::string NeedValue(const std::vector<std::string> &args, std::size_t &i);
