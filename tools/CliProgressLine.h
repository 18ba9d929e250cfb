#pragma once

#include <string>

// A line on standard error that a long run rewrites in place to show how far it has got. It is
// shown only when standard error is a terminal; a log or a pipe gets nothing. Anything else
// written to the terminal must come after Clear, so that it does not land behind the line.
class CliProgressLine
{
public:
    CliProgressLine();
    ~CliProgressLine();
    CliProgressLine(const CliProgressLine &) = delete;
    CliProgressLine &operator=(const CliProgressLine &) = delete;

    // Replaces the line by this text, cut to the terminal's width.
    void Show(const std::string &text);
    // Takes the line away.
    void Clear();

private:
    bool FTerminal = false;
    bool FShown = false;
};
