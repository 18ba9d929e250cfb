#include "CliPath.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
bool IsFolder(const std::string &path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string CurrentFolder()
{
    std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
    return folder ? std::string(folder.get()) : std::string();
}

// The steps of an absolute name without "." and empty steps, a ".." taking the step before
// it away ("/.." is "/").
std::string CleanAbsolute(const std::string &path)
{
    std::vector<std::string> steps;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string step = path.substr(start, end - start);
        if (step == "..") {
            if (!steps.empty())
                steps.pop_back();
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        start = end + 1;
    }
    std::string clean;
    for (const std::string &step : steps)
        clean += "/" + step;
    return clean.empty() ? std::string("/") : clean;
}

std::string Canonical(const std::string &path)
{
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}
} // namespace

std::string AbsolutePath(const std::string &path)
{
    std::string absolute = path;
    if (path.empty() || path.front() != '/')
        absolute = CurrentFolder() + (path.empty() || path == "." ? "" : "/" + path);
    const bool folder = absolute.size() > 1 && absolute.back() == '/';
    const std::string clean = CleanAbsolute(absolute);
    return folder && clean != "/" ? clean + "/" : clean;
}

std::string FolderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string CompleteBaseNameOf(const std::string &path)
{
    const std::string name = FileNameOf(path);
    return name.substr(0, name.rfind('.'));
}

std::string SuffixOf(const std::string &path)
{
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string InFolder(const std::string &folder, const std::string &name)
{
    if (!name.empty() && name.front() == '/')
        return name;
    std::string path = folder;
    // One final slash is the folder's own spelling, not a step.
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.empty())
        path = ".";
    if (name.empty())
        return path;
    return path.back() == '/' ? path + name : path + "/" + name;
}

bool MakeFolders(const std::string &folder)
{
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.empty())
        return false;
    if (::mkdir(path.c_str(), 0777) == 0)
        return true;
    if (errno == EEXIST)
        return IsFolder(path);
    const std::size_t slash = path.rfind('/');
    if (errno != ENOENT || slash == std::string::npos || slash == 0)
        return false;
    if (!MakeFolders(path.substr(0, slash)))
        return false;
    return ::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && IsFolder(path));
}

std::string TemporaryFolder()
{
    // A TMPDIR that names no folder is passed over, as the C library passes it over.
    const char *variable = std::getenv("TMPDIR");
    const std::string chosen = variable && *variable ? Canonical(variable) : std::string();
    if (!chosen.empty() && IsFolder(chosen))
        return chosen;
    const std::string standard = Canonical("/tmp");
    return standard.empty() ? std::string("/tmp") : standard;
}

bool SameFile(const std::string &a, const std::string &b)
{
    const std::string first = Canonical(a);
    return !first.empty() && first == Canonical(b);
}
