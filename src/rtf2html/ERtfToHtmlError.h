#pragma once

#include <cstring>
#include <stdexcept>
#include <string>

namespace Rtf2Html {

// A failure of the rich text to HTML converter: a file that cannot be read or written
// ("File not found", "File access denied", "Disk full", "I/O error %d") or input that
// cannot be converted ("'%s' is not a valid integer value"). what() is the user's message.
class ERtfToHtmlError : public std::runtime_error
{
public:
    explicit ERtfToHtmlError(const std::string &message) : std::runtime_error(message) {}
    // A file's failure: the usual words first, then which file and the system's reason, as
    // in: File not found: "letter.rtf" (No such file or directory).
    ERtfToHtmlError(const std::string &words, const std::string &fileName, int error)
        : std::runtime_error(words + ": \"" + fileName + "\" (" + std::strerror(error) + ')')
    {
    }
};

} // namespace Rtf2Html
