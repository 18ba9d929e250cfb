#pragma once

#include <exception>

// Ends the current command without any message: the user cancelled a question. The application's
// top-level handler and the command runner swallow it.
class EAbort : public std::exception
{
public:
    const char *what() const noexcept override { return "Operation aborted"; }
};
