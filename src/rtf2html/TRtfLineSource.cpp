#include "rtf2html/TRtfLineSource.h"

#include "rtf2html/ERtfToHtmlError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace Rtf2Html {

namespace {
constexpr size_t KBufferSize = 1 << 16;

std::string OpenMessage(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        return "File not found";
    case EACCES:
    case EPERM:
    case EISDIR:
        return "File access denied";
    default:
        return "I/O error " + std::to_string(error);
    }
}
// The first CR or LF in [begin, limit), or limit.
const char *LineEnd(const char *begin, const char *limit)
{
    const void *feed = std::memchr(begin, '\n', static_cast<size_t>(limit - begin));
    const char *end = feed ? static_cast<const char *>(feed) : limit;
    const void *carriage = std::memchr(begin, '\r', static_cast<size_t>(end - begin));
    return carriage ? static_cast<const char *>(carriage) : end;
}

[[noreturn]] void Fail(const std::string &fileName, int error)
{
    throw ERtfToHtmlError(OpenMessage(error), fileName, error);
}
} // namespace

TRtfLineSource::TRtfLineSource(const std::string &fileName) : FBuffer(KBufferSize)
{
    if (fileName.empty())
        throw ERtfToHtmlError(OpenMessage(ENOENT), fileName, ENOENT);
    struct stat info
    {
    };
    if (stat(fileName.c_str(), &info) != 0)
        Fail(fileName, errno);
    if (S_ISDIR(info.st_mode))
        throw ERtfToHtmlError(OpenMessage(EISDIR), fileName, EISDIR);
    FFile = std::fopen(fileName.c_str(), "rb");
    if (!FFile)
        Fail(fileName, errno);
    FUnread = info.st_size > 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

TRtfLineSource::~TRtfLineSource()
{
    if (FFile)
        std::fclose(FFile);
}

bool TRtfLineSource::Fill()
{
    if (FAtEnd)
        return false;
    FStart = 0;
    FEnd = std::fread(FBuffer.data(), 1, FBuffer.size(), FFile);
    FUnread -= std::min<uint64_t>(FUnread, FEnd);
    if (FEnd == 0) {
        FAtEnd = true;
        if (std::ferror(FFile))
            throw ERtfToHtmlError("I/O error " + std::to_string(errno ? errno : EIO));
        return false;
    }
    return true;
}

bool TRtfLineSource::ReadLine(std::string &line)
{
    line.clear();
    bool any = false;
    for (;;) {
        if (FStart == FEnd && !Fill())
            return any;
        if (FSkipLineFeed) {
            FSkipLineFeed = false;
            if (FBuffer[FStart] == '\n') {
                ++FStart;
                continue;
            }
        }
        any = true;
        const char *begin = FBuffer.data() + FStart;
        const size_t length = FEnd - FStart;
        const char *const limit = begin + length;
        const char *stop = LineEnd(begin, limit);
        if (stop == limit && line.capacity() < line.size() + length + FUnread) {
            // A line longer than the buffer: room for the rest of the file at once rather
            // than growing again and again.
            line.reserve(line.size() + length + static_cast<size_t>(FUnread));
        }
        line.append(begin, stop);
        FStart += static_cast<size_t>(stop - begin);
        if (stop < limit) {
            FSkipLineFeed = *stop == '\r';
            ++FStart;
            return true;
        }
    }
}

} // namespace Rtf2Html
