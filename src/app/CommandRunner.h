#pragma once

#include <functional>

// Runs a command as a menu item does: EAbort ends it silently, other failures are shown by the
// application's error display. Menu items, buttons and recently used lists run their commands
// through it, so that a failed command never ends the program.
void RunCommand(const std::function<void()> &command);
