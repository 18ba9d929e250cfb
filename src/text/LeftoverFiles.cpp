#include "text/LeftoverFiles.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <ftw.h>
#include <memory>
#include <mutex>
#include <set>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr char Mark[] = "zarvel-";
constexpr std::size_t MarkLength = sizeof Mark - 1;

// The id of the process that made the entry of this name, 0 when it is no temporary of ours.
pid_t MakerOf(const std::string &name)
{
    std::size_t at = 0;
    if (name.compare(0, MarkLength, Mark) != 0) {
        if (name.empty() || name[0] != '.')
            return 0;
        at = name.find(std::string(".") + Mark);
        if (at == std::string::npos)
            return 0;
        ++at;
    }
    std::size_t digit = at + MarkLength;
    pid_t id = 0;
    while (digit < name.size() && name[digit] >= '0' && name[digit] <= '9' && id < 100000000)
        id = id * 10 + (name[digit++] - '0');
    return digit < name.size() && name[digit] == '-' && digit > at + MarkLength ? id : 0;
}

bool IsRunning(pid_t id)
{
    // A process of another user answers EPERM: it runs as well.
    return id == ::getpid() || ::kill(id, 0) == 0 || errno != ESRCH;
}

int RemoveEntry(const char *path, const struct stat *, int, struct FTW *)
{
    std::remove(path);
    return 0;
}

void RemoveLeftover(const std::string &path)
{
    struct stat info
    {
    };
    if (::lstat(path.c_str(), &info) != 0 || info.st_uid != ::geteuid())
        return;
    if (S_ISDIR(info.st_mode))
        ::nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    else
        ::unlink(path.c_str());
}

bool FirstVisit(const std::string &folder)
{
    static std::mutex lock;
    static std::set<std::string> visited;
    const std::lock_guard<std::mutex> guard(lock);
    return visited.insert(folder).second;
}
} // namespace

std::string LeftoverMark()
{
    return Mark + std::to_string(::getpid()) + "-";
}

void RemoveLeftoversIn(const std::string &folder)
{
    const std::string where = folder.empty() ? std::string(".") : folder;
    if (!FirstVisit(where))
        return;
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(where.c_str()), ::closedir);
    if (!dir)
        return;
    const std::string prefix = where.back() == '/' ? where : where + "/";
    while (const dirent *entry = ::readdir(dir.get())) {
        const pid_t maker = MakerOf(entry->d_name);
        if (maker > 0 && !IsRunning(maker))
            RemoveLeftover(prefix + entry->d_name);
    }
}
