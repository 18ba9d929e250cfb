#include "CliOutputStream.h"
#include "CliOutputTarget.h"
#include "CliPath.h"

#include "text/LeftoverFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A page may be a hundred megabytes long: without a buffer of its own the library would call
// the system once per few kilobytes. Left uninitialised, since clearing it costs a short page
// more than writing it.
constexpr std::size_t KBufferSize = 1 << 20;
} // namespace

CliOutputStream::CliOutputStream(const std::string &name)
{
    if (name == "-")
        return;
    const CliOutputTarget target = CliOutputTarget::Of(name);
    FTarget = target.Path;
    FMode = target.Mode;
    const std::string folder = FolderOf(FTarget);
    RemoveLeftoversIn(folder);
    std::string pattern =
        folder + "." + FTarget.substr(folder.size()) + "." + LeftoverMark() + "XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        RefuseOutput(AbsolutePath(name), std::strerror(errno));
    FPath = pattern;
    // The new file gets the permissions of the one it replaces, or the usual ones.
    mode_t mode = static_cast<mode_t>(FMode);
    if (FMode < 0) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    FFile = ::fdopen(fd, "wb");
    if (!FFile || ::fchmod(fd, mode) != 0) {
        const int error = errno;
        if (!FFile)
            ::close(fd);
        Fail(error);
    }
    FBuffer.reset(new char[KBufferSize]);
    std::setvbuf(FFile, FBuffer.get(), _IOFBF, KBufferSize);
}

CliOutputStream::~CliOutputStream()
{
    Close();
    if (!FFinished && !FPath.empty())
        ::unlink(FPath.c_str());
}

void CliOutputStream::Close()
{
    if (FFile)
        std::fclose(FFile);
    FFile = nullptr;
}

void CliOutputStream::Fail(int error)
{
    Close();
    throw std::runtime_error("Cannot write file " + FTarget + ": " +
                             std::strerror(error ? error : EIO));
}

void CliOutputStream::WriteLine(std::string_view line)
{
    if (FTarget.empty()) {
        FKept.append(line).append("\r\n");
        return;
    }
    if (!FFile)
        return;
    if (std::fwrite(line.data(), 1, line.size(), FFile) != line.size() ||
        std::fwrite("\r\n", 1, 2, FFile) != 2)
        Fail(errno);
}

void CliOutputStream::Finish()
{
    if (FFinished)
        return;
    if (FTarget.empty()) {
        if (std::fwrite(FKept.data(), 1, FKept.size(), stdout) != FKept.size() ||
            std::fflush(stdout) != 0)
            throw std::runtime_error("cannot write to standard output");
        FFinished = true;
        return;
    }
    // What was written reaches the disk before it takes the old file's place.
    if (!FFile || std::fflush(FFile) != 0 || ::fsync(::fileno(FFile)) != 0)
        Fail(errno);
    std::FILE *file = FFile;
    FFile = nullptr;
    if (std::fclose(file) != 0)
        Fail(errno);
    if (::rename(FPath.c_str(), FTarget.c_str()) != 0)
        Fail(errno);
    FFinished = true;
}
