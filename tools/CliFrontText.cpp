// zarvel-cli text in the front program: the text read without the document model, when the
// plain reader promises the model's text; any other file goes to the model program's command.
#include "CliCommand.h"
#include "CliInputFile.h"
#include "CliTextCommand.h"

#include "rtf2html/DocumentText.h"

#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// An open file descriptor, closed with the object.
class TDescriptor
{
public:
    explicit TDescriptor(int handle) : FHandle(handle) {}
    ~TDescriptor()
    {
        if (FHandle >= 0)
            ::close(FHandle);
    }
    TDescriptor(const TDescriptor &) = delete;
    TDescriptor &operator=(const TDescriptor &) = delete;
    int Handle() const { return FHandle; }

private:
    int FHandle;
};

// The bytes of a regular file of at most the model's limit; false for anything else, which
// the model program refuses or reports in its own words.
bool ReadRegularFile(const std::string &name, std::string &bytes)
{
    const TDescriptor file(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status;
    if (file.Handle() < 0 || ::fstat(file.Handle(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_size > CliInputFile::KDefaultLimit)
        return false;
    bytes.resize(static_cast<size_t>(status.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::read(file.Handle(), bytes.data() + done, bytes.size() - done);
        if (count < 0)
            return false;
        if (count == 0)
            break;
        done += static_cast<size_t>(count);
    }
    // A file that grew while it was read is read by the model as it is then.
    char extra;
    if (done != bytes.size() || ::read(file.Handle(), &extra, 1) != 0)
        return false;
    return true;
}

// The text of the one file named, when it reads without the model; any other command line
// goes to the model program, which reads standard input once and says what is wrong with
// wrong arguments.
int RunText(const std::vector<std::string> &args)
{
    std::string text;
    try {
        const std::vector<std::string> files = CliCommand::Operands(args);
        std::string bytes;
        if (files.size() != 1 || files[0] == "-" || !ReadRegularFile(files[0], bytes) ||
            !Rtf2Html::DocumentTextOf(bytes, text))
            return CliCommand::KHandOver;
    } catch (const std::exception &) {
        return CliCommand::KHandOver;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

const CliCommand KText("text", CliTextCommand::KUsage, RunText, CliTextCommand::KHelp);
} // namespace
