#include "CliOutputFile.h"
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
[[noreturn]] void Refuse(const std::string &name, const std::string &reason)
{
    throw std::runtime_error("Cannot create file " + name + ": " + reason);
}

// A link that another user planted in a folder everyone may write to (such as /tmp) would
// make the command overwrite whatever file the link names: such links are not followed,
// as the kernel's protected links do.
bool IsForeignLinkInSharedFolder(const std::string &link, const struct stat &linkInfo)
{
    struct stat folder
    {
    };
    if (::stat(FolderOf(link).c_str(), &folder) != 0)
        return false;
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return shared && linkInfo.st_uid != ::geteuid() && linkInfo.st_uid != folder.st_uid;
}

// The file that writing to name replaces: name itself, or the end of its chain of links.
std::string FollowLinks(const std::string &name)
{
    std::string path = name;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info
        {
        };
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        if (IsForeignLinkInSharedFolder(path, info))
            Refuse(name, "it is a link of another user in a shared folder");
        char target[4096];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
        if (length < 0)
            Refuse(name, std::strerror(errno));
        const std::string next(target, static_cast<std::size_t>(length));
        path = next.front() == '/' ? next : FolderOf(path) + next;
    }
    Refuse(name, "too many levels of symbolic links");
}

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
        Refuse(name, std::strerror(errno));
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
        Refuse(target, std::strerror(error));
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
    FTarget = FollowLinks(name);
    struct stat info
    {
    };
    const bool exists = ::stat(FTarget.c_str(), &info) == 0;
    if (exists) {
        if (S_ISDIR(info.st_mode))
            Refuse(name, "it is a folder");
        if (!S_ISREG(info.st_mode))
            Refuse(name, "it is not a regular file");
        // Root may write anything: a file without any write permission is still the
        // owner's statement that it is not to be changed.
        if ((info.st_mode & 0222) == 0 || ::access(FTarget.c_str(), W_OK) != 0)
            Refuse(name, "it is read-only");
    }
    if (exists)
        FMode = static_cast<int>(info.st_mode & 07777);
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
            Refuse(FTarget, std::strerror(errno));
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
