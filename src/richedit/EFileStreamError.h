#pragma once

#include <stdexcept>
#include <string>

// A file that the rich text control's lines could not open or create: "Cannot open file
// <name>" / "Cannot create file <name>: <reason>" / "Cannot write file <name>: <reason>".
// what() is the user-facing message (UTF-8).
class EFileStreamError : public std::runtime_error
{
public:
    explicit EFileStreamError(const std::string &message) : std::runtime_error(message) {}
};
