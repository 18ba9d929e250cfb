#pragma once

#include <stdexcept>
#include <string>

// Failure of the rich text control's platform side: a stream transfer that failed ("Failed to
// Load Stream", "Failed to Save Stream") or a line that could not be inserted ("RichEdit line
// insertion error"). what() is the user-facing message.
class EOutOfResources : public std::runtime_error
{
public:
    explicit EOutOfResources(const std::string &message) : std::runtime_error(message) {}
};
