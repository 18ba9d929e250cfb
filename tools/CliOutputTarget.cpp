#include "CliOutputTarget.h"
#include "CliPath.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {
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
            RefuseOutput(name, "it is a link of another user in a shared folder");
        char target[4096];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
        if (length < 0)
            RefuseOutput(name, std::strerror(errno));
        const std::string next(target, static_cast<std::size_t>(length));
        path = next.front() == '/' ? next : FolderOf(path) + next;
    }
    RefuseOutput(name, "too many levels of symbolic links");
}
} // namespace

void RefuseOutput(const std::string &name, const std::string &reason)
{
    throw std::runtime_error("Cannot create file " + name + ": " + reason);
}

CliOutputTarget CliOutputTarget::Of(const std::string &name)
{
    const std::string absolute = AbsolutePath(name);
    CliOutputTarget target;
    target.Path = FollowLinks(absolute);
    struct stat info
    {
    };
    if (::stat(target.Path.c_str(), &info) != 0)
        return target;
    if (S_ISDIR(info.st_mode))
        RefuseOutput(absolute, "it is a folder");
    if (!S_ISREG(info.st_mode))
        RefuseOutput(absolute, "it is not a regular file");
    // Root may write anything: a file without any write permission is still the owner's
    // statement that it is not to be changed.
    if ((info.st_mode & 0222) == 0 || ::access(target.Path.c_str(), W_OK) != 0)
        RefuseOutput(absolute, "it is read-only");
    target.Mode = static_cast<int>(info.st_mode & 07777);
    return target;
}
