#include "CliOutputBatch.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

CliOutputBatch::~CliOutputBatch()
{
    for (const auto &folder : FPrivateFolders)
        ::rmdir(folder.second.c_str());
}

std::string CliOutputBatch::PrivateFolder(const std::string &targetFolder) const
{
    const auto found = FPrivateFolders.find(targetFolder);
    return found == FPrivateFolders.end() ? std::string() : found->second;
}

void CliOutputBatch::SetPrivateFolder(const std::string &targetFolder,
                                      const std::string &privateFolder)
{
    FPrivateFolders[targetFolder] = privateFolder;
}

void CliOutputBatch::Flush()
{
    while (!FUnflushed.empty()) {
        const std::string folder = *FUnflushed.begin();
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        // syncfs writes the whole file system: the files and the folder entries naming them.
        if (fd < 0 || ::syncfs(fd) != 0) {
            const int error = errno;
            if (fd >= 0)
                ::close(fd);
            throw std::runtime_error("Cannot write file " + folder + ": " + std::strerror(error));
        }
        ::close(fd);
        FUnflushed.erase(FUnflushed.begin());
    }
}

int FinishMergeBatch(CliOutputBatch &batch, int failures, std::size_t total, const char *unit)
{
    try {
        batch.Flush();
    } catch (const std::exception &e) {
        std::fprintf(stderr,
                     "zarvel-cli merge: %s; the letters written may not all be on the disk\n",
                     e.what());
        return 1;
    }
    if (failures > 0)
        std::fprintf(stderr, "zarvel-cli merge: %d of %zu %s stopped\n", failures, total, unit);
    return failures > 0 ? 1 : 0;
}
