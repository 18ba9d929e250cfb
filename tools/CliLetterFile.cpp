#include "CliLetterFile.h"

#include "CliPath.h"
#include "CliScratchFolder.h"

#include "text/StringUtils.h"

#if __has_include("rtf2html/RtfToHtml.h")
#include "rtf2html/RtfToHtml.h"
#define ZARVEL_HAS_HTML_CONVERTER 1
#endif

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {
// Writes a new file.
void WriteNewFile(const std::string &path, const std::string &bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        throw EFCreateError(path);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break;
        done += static_cast<std::size_t>(written);
    }
    if (::close(fd) != 0 || done != bytes.size())
        throw EWriteError(path);
}

// The merged rich text converted by the program's converter. The rich text goes to a scratch
// folder under the output's name (the page's title is that file's name); the page is written
// beside its final name and renamed only once the conversion has succeeded, so a failed case
// leaves no page behind.
void WriteHtml(const std::string &path, const std::string &richText)
{
#ifdef ZARVEL_HAS_HTML_CONVERTER
    const CliScratchFolder scratch;
    const std::string rtf = scratch.FilePath(CompleteBaseNameOf(path) + ".rtf");
    SaveTextFile(rtf, richText);
    const std::string partial = FolderOf(AbsolutePath(path)) + "." + FileNameOf(path) + "." +
                                FileNameOf(scratch.Path()) + ".part";
    try {
        Rtf2Html::ConvertRtfToHtml(rtf, partial, {std::string()}, FileNameOf(path));
    } catch (...) {
        ::unlink(partial.c_str());
        throw;
    }
    if (std::rename(partial.c_str(), path.c_str()) != 0) {
        ::unlink(partial.c_str());
        throw EFCreateError(path);
    }
#else
    (void)path;
    (void)richText;
    throw std::runtime_error("HTML output needs the rich text to HTML converter, which this "
                             "build does not have");
#endif
}

} // namespace

void WriteLetterFile(const std::string &path, const std::string &richText, TLetterFormat format)
{
    switch (format) {
    case TLetterFormat::Rtf:
        WriteNewFile(path, richText);
        break;
    case TLetterFormat::Html:
        WriteHtml(path, richText);
        break;
    case TLetterFormat::Pdf:
        WritePdfLetter(path, richText);
        break;
    }
}
