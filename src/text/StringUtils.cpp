#include "text/StringUtils.h"
#include "text/LeftoverFiles.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string StripLeading(const std::string &text, char c)
{
    const std::size_t first = text.find_first_not_of(c);
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string StripTrailing(const std::string &text, char c)
{
    const std::size_t last = text.find_last_not_of(c);
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::string TrimSpaces(const std::string &text)
{
    return StripTrailing(StripLeading(text, ' '), ' ');
}

std::string RightPart(const std::string &text, int count)
{
    if (count <= 0)
        return std::string();
    const auto wanted = static_cast<std::size_t>(count);
    return wanted < text.size() ? text.substr(text.size() - wanted) : text;
}

int HexDigitValue(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ContainsBytes(std::string_view data, std::string_view what)
{
    return memmem(data.data(), data.size(), what.data(), what.size()) != nullptr;
}

namespace {
// Closes a descriptor when it goes out of scope.
class TFileDescriptor
{
public:
    explicit TFileDescriptor(int fd) : FFd(fd) {}
    ~TFileDescriptor()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFileDescriptor(const TFileDescriptor &) = delete;
    TFileDescriptor &operator=(const TFileDescriptor &) = delete;

    int Get() const { return FFd; }
    bool Valid() const { return FFd >= 0; }
    // Closes now and reports whether everything written reached the file.
    bool Close()
    {
        const int fd = FFd;
        FFd = -1;
        return ::close(fd) == 0;
    }

private:
    int FFd;
};

std::string ReadAll(const std::string &fileName)
{
    const TFileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.Valid())
        throw EFOpenError(fileName);
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) // a folder, or a device that fails
            throw EFOpenError(fileName);
        if (got == 0)
            break;
        content.append(buffer, static_cast<std::size_t>(got));
    }
    return content;
}

bool WriteAll(int fd, const std::string &text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// The file a save really replaces: the target of a symbolic link rather than the link.
std::string ResolvedTarget(const std::string &fileName)
{
    struct stat info
    {
    };
    if (::lstat(fileName.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(fileName.c_str(), resolved))
            return resolved;
    }
    return fileName;
}

std::string FolderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return path.substr(0, slash + 1);
}

// Spreads nearby numbers (successive clock readings) over all the bits (the splitmix64 mix).
std::uint64_t Scrambled(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// Creates a new, empty file beside the target to write into before it takes the target's
// place. Permissions follow the umask, or the target's own when it exists.
int CreateTemporaryBeside(const std::string &target, std::string &temporaryName)
{
    // The names only need to differ between processes and saves, and the exclusive creation
    // below settles a clash: the clock and the process id do, at a fraction of what asking
    // the system for random bytes costs on every save.
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::uint64_t seed =
        static_cast<std::uint64_t>(now) ^ (static_cast<std::uint64_t>(::getpid()) << 40);
    const std::string base = target.substr(FolderOf(target).size());
    // The process id in the name tells a file left by a killed save from one being written;
    // the first save in a folder removes the former.
    RemoveLeftoversIn(FolderOf(target));
    for (std::uint64_t attempt = 0; attempt < 100; ++attempt) {
        temporaryName = FolderOf(target) + "." + base + "." + LeftoverMark() +
                        std::to_string(Scrambled(seed + attempt) % 1000000) + ".tmp";
        const int fd = ::open(temporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            struct stat info
            {
            };
            if (::stat(target.c_str(), &info) == 0)
                ::fchmod(fd, info.st_mode & 07777);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}
} // namespace

std::string LoadFileBytes(const std::string &fileName)
{
    return ReadAll(fileName);
}

std::string LoadTextFile(const std::string &fileName)
{
    std::string content = ReadAll(fileName);
    const std::size_t end = content.find('\0');
    if (end != std::string::npos)
        content.resize(end);

    std::string text;
    text.reserve(content.size() + content.size() / 16 + 2);
    std::size_t i = 0;
    while (i < content.size()) {
        const std::size_t lineEnd = content.find_first_of("\r\n", i);
        if (lineEnd == std::string::npos) {
            text.append(content, i, std::string::npos);
            text += "\r\n";
            break;
        }
        text.append(content, i, lineEnd - i);
        text += "\r\n";
        i = lineEnd + 1;
        if (content[lineEnd] == '\r' && i < content.size() && content[i] == '\n')
            ++i;
    }
    return text;
}

void SaveTextFile(const std::string &fileName, const std::string &text)
{
    if (fileName.empty())
        throw EFCreateError(fileName);
    const std::string target = ResolvedTarget(fileName);
    struct stat info
    {
    };
    if (::stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        throw EFCreateError(fileName);

    std::string temporaryName;
    TFileDescriptor file(CreateTemporaryBeside(target, temporaryName));
    if (!file.Valid())
        throw EFCreateError(fileName);
    const bool written = WriteAll(file.Get(), text);
    if (!file.Close() || !written) {
        ::unlink(temporaryName.c_str());
        throw EWriteError(fileName);
    }
    if (::rename(temporaryName.c_str(), target.c_str()) != 0) {
        ::unlink(temporaryName.c_str());
        throw EFCreateError(fileName);
    }
}
