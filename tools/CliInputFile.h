#pragma once

#include <QTemporaryDir>

#include <memory>
#include <string>

// A file argument to read: the file named, or for "-" standard input, which is first copied
// whole into a scratch folder, since the engines read files by name.
class CliInputFile
{
public:
    // For "-", reads all of standard input now into a scratch file. Throws when the copy cannot
    // be made.
    explicit CliInputFile(const std::string &name);

    bool IsStdin() const { return FScratch != nullptr; }
    // The name to open.
    const std::string &Path() const { return FPath; }

private:
    std::unique_ptr<QTemporaryDir> FScratch;
    std::string FPath;
};
