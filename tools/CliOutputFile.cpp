#include "CliOutputFile.h"
#include "CliOutputTarget.h"
#include "CliPath.h"

#include "text/LeftoverFiles.h"
#include "text/StringUtils.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A new private folder beside target to write in: the engines write a file of the target's
// own name there (they name pages and titles after it), which then moves over the target
// within one file system. Its name carries the process id, so that the first command writing
// in the folder after a kill removes what the killed one left.
std::string CreateFolderBeside(const std::string &name, const std::string &target)
{
    RemoveLeftoversIn(FolderOf(target));
    std::string pattern = FolderOf(target) + "." + target.substr(FolderOf(target).size()) + "." +
                          LeftoverMark() + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        RefuseOutput(name, std::strerror(errno));
    return pattern;
}

// Gives the file the permissions mode (none when negative) and waits until it is on the disk.
void FlushToDisk(const std::string &path, int mode, const std::string &target)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0 && mode >= 0)
        ::fchmod(fd, static_cast<mode_t>(mode));
    if (fd < 0 || ::fsync(fd) != 0) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        RefuseOutput(target, std::strerror(error));
    }
    ::close(fd);
}
} // namespace

CliOutputFile::CliOutputFile(const std::string &name, const std::string &scratchName,
                             CliOutputBatch *batch)
    : FBatch(batch)
{
    if (name != "-") {
        PrepareTarget(AbsolutePath(name));
        return;
    }
    FScratch = std::make_unique<CliScratchFolder>();
    FPath = FScratch->FilePath(scratchName);
}

void CliOutputFile::PrepareTarget(const std::string &name)
{
    const CliOutputTarget target = CliOutputTarget::Of(name);
    FTarget = target.Path;
    FMode = target.Mode;
    if (FBatch)
        FFolder = FBatch->PrivateFolder(FolderOf(FTarget));
    if (FFolder.empty())
        FFolder = CreateFolderBeside(name, FTarget);
    if (FBatch)
        FBatch->SetPrivateFolder(FolderOf(FTarget), FFolder);
    FPath = FFolder + "/" + FTarget.substr(FolderOf(FTarget).size());
}

CliOutputFile::~CliOutputFile()
{
    if (FFolder.empty())
        return;
    if (!FFinished)
        ::unlink(FPath.c_str());
    if (!FBatch)
        ::rmdir(FFolder.c_str());
}

void CliOutputFile::Finish() const
{
    if (!FScratch) {
        if (FFinished)
            return;
        // What the engines wrote reaches the disk, with the permissions of the file it
        // replaces, before it takes that file's place. A new name of a batch is flushed with
        // the whole batch at its end; the rename alone already shows it only whole.
        const bool flushNow = !FBatch || FMode >= 0;
        if (flushNow)
            FlushToDisk(FPath, FMode, FTarget);
        if (::rename(FPath.c_str(), FTarget.c_str()) != 0)
            RefuseOutput(FTarget, std::strerror(errno));
        FFinished = true;
        if (!flushNow)
            FBatch->NoteUnflushed(FolderOf(FTarget));
        return;
    }
    std::string bytes;
    try {
        bytes = LoadFileBytes(FPath);
    } catch (const std::exception &) {
        throw std::runtime_error("cannot read " + FPath);
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0)
        throw std::runtime_error("cannot write to standard output");
}
