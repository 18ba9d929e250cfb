#pragma once

#include <QTemporaryDir>

#include <memory>
#include <string>

// A file argument to write: the file named, or for "-" standard output, which the engines
// (they write files by name) reach through a scratch file that Finish copies out.
class CliOutputFile
{
public:
    // The scratch file of "-" gets the given name (the HTML writer names its page after it).
    explicit CliOutputFile(const std::string &name,
                           const QString &scratchName = QStringLiteral("stdout"));

    bool IsStdout() const { return FScratch != nullptr; }
    // The name to write to, absolute.
    const std::string &Path() const { return FPath; }
    // Copies what was written to standard output; nothing for a named file. Throws when the
    // scratch file cannot be read or the copy fails.
    void Finish() const;

private:
    std::unique_ptr<QTemporaryDir> FScratch;
    std::string FPath;
};
