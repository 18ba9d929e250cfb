#include "rtf2html/THtmlOutputFile.h"

#include "rtf2html/ERtfToHtmlError.h"
#include "text/LeftoverFiles.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace Rtf2Html {

namespace {
// The messages of the run-time library's input/output errors.
std::string IoMessage(int error)
{
    switch (error) {
    case ENOENT:
        return "File not found";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(error);
    }
}

std::string FolderOf(const std::string &fileName)
{
    const size_t slash = fileName.rfind('/');
    return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

// The file that writing fileName replaces: the end of its chain of symbolic links, so that
// the page takes the place of the file a link names and the link stays.
std::string FollowLinks(const std::string &fileName)
{
    std::string path = fileName;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info
        {
        };
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        char target[4096];
        const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        if (length <= 0)
            return path;
        const std::string next(target, static_cast<size_t>(length));
        path = next.front() == '/' ? next : FolderOf(path) + next;
    }
    throw ERtfToHtmlError(IoMessage(ELOOP), fileName, ELOOP);
}

constexpr size_t KBufferSize = 1 << 20;
} // namespace

THtmlOutputFile::THtmlOutputFile(const std::string &fileName) : FFileName(FollowLinks(fileName))
{
    struct stat target
    {
    };
    if (stat(FFileName.c_str(), &target) == 0 && S_ISDIR(target.st_mode))
        throw ERtfToHtmlError(IoMessage(EISDIR), FFileName, EISDIR);
    // Named with the process's mark: what a killed conversion left is removed later
    // (RemoveLeftoversIn).
    const std::string folder = FolderOf(FFileName);
    std::string pattern =
        folder + "." + FFileName.substr(folder.size()) + "." + LeftoverMark() + "XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        // A missing folder is a missing path, not a missing file.
        const int error = errno;
        throw ERtfToHtmlError(error == ENOENT ? "I/O error 3" : IoMessage(error), FFileName, error);
    }
    FTempName = pattern;
    // The new page gets the permissions of the one it replaces, or the usual ones.
    mode_t mode;
    if (stat(FFileName.c_str(), &target) == 0) {
        mode = target.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(fd, mode);
    FFile = fdopen(fd, "wb");
    if (!FFile) {
        const int error = errno;
        close(fd);
        unlink(FTempName.c_str());
        throw ERtfToHtmlError(IoMessage(error), FFileName, error);
    }
    // Without a buffer of its own the library would take one of a disk block and call the
    // system once per few kilobytes of a page that may be a hundred megabytes long. Left
    // uninitialised: the library writes before it reads, and clearing a megabyte for each page
    // cost a batch of short letters more than converting them.
    FBuffer = std::unique_ptr<char[]>(new char[KBufferSize]);
    setvbuf(FFile, FBuffer.get(), _IOFBF, KBufferSize);
}

THtmlOutputFile::~THtmlOutputFile()
{
    Discard();
}

void THtmlOutputFile::Fail(int error)
{
    FFailed = true;
    Discard();
    throw ERtfToHtmlError(IoMessage(error), FFileName, error);
}

void THtmlOutputFile::Discard()
{
    if (FFile) {
        std::fclose(FFile);
        FFile = nullptr;
    }
    if (!FTempName.empty()) {
        unlink(FTempName.c_str());
        FTempName.clear();
    }
}

void THtmlOutputFile::WriteLine(std::string_view line)
{
    if (!FFile)
        return;
    if ((!line.empty() && std::fwrite(line.data(), 1, line.size(), FFile) != line.size()) ||
        std::fwrite("\r\n", 1, 2, FFile) != 2)
        Fail(errno ? errno : EIO);
}

void THtmlOutputFile::Write(std::string_view text)
{
    if (FFile && !text.empty() && std::fwrite(text.data(), 1, text.size(), FFile) != text.size())
        Fail(errno ? errno : EIO);
}

void THtmlOutputFile::Flush()
{
    if (FFile && std::fflush(FFile) != 0)
        Fail(errno ? errno : EIO);
}

void THtmlOutputFile::Commit()
{
    if (!FFile)
        return;
    Flush();
    if (fsync(fileno(FFile)) != 0 && errno != EINVAL)
        Fail(errno);
    std::FILE *file = FFile;
    FFile = nullptr;
    if (std::fclose(file) != 0)
        Fail(errno ? errno : EIO);
    if (std::rename(FTempName.c_str(), FFileName.c_str()) != 0)
        Fail(errno);
    FTempName.clear();
}

} // namespace Rtf2Html
