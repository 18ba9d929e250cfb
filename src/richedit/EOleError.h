#pragma once

#include <stdexcept>
#include <string>

// A failure of an embedded object or of a verb run on one.
class EOleError : public std::runtime_error
{
public:
    explicit EOleError(const std::string &message) : std::runtime_error(message) {}
};
