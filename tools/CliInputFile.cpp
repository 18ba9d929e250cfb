#include "CliInputFile.h"
#include "CliScratch.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {
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
    FScratch = NewScratchFolder();
    const QString path = FScratch->filePath(QStringLiteral("stdin"));
    QFile copy(path);
    QFile input;
    if (!copy.open(QIODevice::WriteOnly) || !input.open(stdin, QIODevice::ReadOnly))
        throw std::runtime_error("cannot copy standard input to " + path.toStdString());
    char buffer[65536];
    std::int64_t total = 0;
    for (;;) {
        const qint64 read = input.read(buffer, sizeof buffer);
        if (read < 0)
            throw std::runtime_error("cannot read standard input");
        if (read == 0)
            break;
        total += read;
        if (total > limit)
            TooLarge("standard input", limit);
        if (copy.write(buffer, read) != read)
            throw std::runtime_error("cannot copy standard input to " + path.toStdString());
    }
    FPath = QFile::encodeName(path).toStdString();
}
