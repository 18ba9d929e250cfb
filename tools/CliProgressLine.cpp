#include "CliProgressLine.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

namespace {
std::size_t TerminalWidth()
{
    winsize size = {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1)
        return size.ws_col;
    return 80;
}
} // namespace

CliProgressLine::CliProgressLine() : FTerminal(::isatty(STDERR_FILENO) == 1) {}

CliProgressLine::~CliProgressLine()
{
    Clear();
}

void CliProgressLine::Show(const std::string &text)
{
    if (!FTerminal)
        return;
    // One column short of the width, so that the cursor never wraps to a new line.
    const std::string shown = text.substr(0, TerminalWidth() - 1);
    std::fflush(stdout);
    std::fprintf(stderr, "\r%s\033[K", shown.c_str());
    std::fflush(stderr);
    FShown = true;
}

void CliProgressLine::Clear()
{
    if (!FShown)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    FShown = false;
}
