#pragma once

#include <string>

// The file that writing to a name replaces, checked before anything is written: a symbolic link
// is followed to the file it names (in a folder that every user may write to, only a link of
// the caller's own or of the folder's owner); a file that exists must be a regular file with write
// permission (root is refused a file without any write permission too).
struct CliOutputTarget
{
    // Throws "Cannot create file <name>: <reason>" when the target cannot be written.
    static CliOutputTarget Of(const std::string &name);

    std::string Path; // absolute, the end of the chain of links
    int Mode = -1;    // permissions of the file there, -1 when there is none
};

// Throws "Cannot create file <name>: <reason>".
[[noreturn]] void RefuseOutput(const std::string &name, const std::string &reason);
