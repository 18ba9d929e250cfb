#include "CliInputFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Closes the descriptor when it goes.
struct TDescriptor
{
    int Fd;
    ~TDescriptor() { ::close(Fd); }
};

bool WriteAll(int fd, const char *bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::string Megabytes(std::int64_t bytes)
{
    return std::to_string(bytes >> 20) + " MiB";
}

[[noreturn]] void TooLarge(const std::string &name, std::int64_t limit)
{
    throw std::runtime_error(name + ": larger than " + Megabytes(limit) +
                             ", the most zarvel-cli reads");
}

// Refuses anything but a regular file of at most limit bytes. The file is looked at
// through a descriptor opened without waiting, so that a pipe without a writer cannot
// block the command.
void CheckNamedFile(const std::string &name, std::int64_t limit)
{
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return; // missing or unreadable: the engine reports it
    struct stat info
    {
    };
    const bool known = ::fstat(fd, &info) == 0;
    ::close(fd);
    if (!known)
        return;
    if (S_ISDIR(info.st_mode))
        throw std::runtime_error(name + ": is a folder, not a file");
    if (!S_ISREG(info.st_mode))
        throw std::runtime_error(name + ": not a regular file; only files are read");
    if (info.st_size > limit)
        TooLarge(name, limit);
}
} // namespace

CliInputFile::CliInputFile(const std::string &name, std::int64_t limit)
{
    if (name != "-") {
        CheckNamedFile(name, limit);
        FPath = name;
        return;
    }
    CopyStandardInput(limit);
}

void CliInputFile::CopyStandardInput(std::int64_t limit)
{
    FScratch = std::make_unique<CliScratchFolder>();
    const std::string path = FScratch->FilePath("stdin");
    const int copy = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (copy < 0)
        throw std::runtime_error("cannot copy standard input to " + path);
    const TDescriptor closeCopy{copy};
    char buffer[65536];
    std::int64_t total = 0;
    for (;;) {
        const ssize_t read = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            throw std::runtime_error("cannot read standard input");
        if (read == 0)
            break;
        total += read;
        if (total > limit)
            TooLarge("standard input", limit);
        if (!WriteAll(copy, buffer, static_cast<std::size_t>(read)))
            throw std::runtime_error("cannot copy standard input to " + path);
    }
    FPath = path;
}
