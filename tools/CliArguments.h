#pragma once

#include <QString>

#include <string>
#include <vector>

// File names and texts between the command line (local 8-bit names, UTF-8 texts) and Qt.
QString ToQString(const std::string &path);
std::string FromQString(const QString &path);
// A text of the merge (UTF-8) in the terminal's encoding.
std::string ForTerminal(const std::string &text);
// Both name one existing file, through links or other spellings of its path.
bool SameFile(const QString &a, const QString &b);
// The value of the option at i, which moves to it. Throws CliUsageError when there is none.
std::string NeedValue(const std::vector<std::string> &args, std::size_t &i);
