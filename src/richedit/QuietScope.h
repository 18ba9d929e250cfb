#pragma once

// Runs a change without the control's own change and selection events; the caller raises them.
class QuietScope
{
public:
    explicit QuietScope(int &depth) : FDepth(depth) { ++FDepth; }
    ~QuietScope() { --FDepth; }
    QuietScope(const QuietScope &) = delete;
    QuietScope &operator=(const QuietScope &) = delete;

private:
    int &FDepth;
};
