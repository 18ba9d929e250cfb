// zarvel-cli rtf2html: the rich text to HTML converter of Save As.
#include "CliCommand.h"
#include "CliInputFile.h"
#include "CliOutputTarget.h"
#include "CliPath.h"

#include "rtf2html/RtfToHtml.h"
#include "text/LeftoverFiles.h"

#include <cstdio>
#include <stdexcept>
#include <string_view>

namespace {
int RunRtf2Html(const std::vector<std::string> &args)
{
    std::vector<std::string> files;
    std::vector<std::string> options;
    bool onlyNames = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (onlyNames || !CliCommand::IsOption(arg)) {
            files.push_back(arg);
        } else if (arg == "--") {
            onlyNames = true;
        } else if (arg == "--option") {
            if (i + 1 >= args.size())
                throw CliUsageError("--option needs a word");
            options.push_back(args[++i]);
        } else if (arg.rfind("--option=", 0) == 0) {
            options.push_back(arg.substr(9));
        } else {
            throw CliUsageError("unknown option " + arg);
        }
    }
    if (files.size() != 2)
        throw CliUsageError("expected an input and an output file");
    // The page is written beside OUT (the file a link names, checked as CliOutputTarget says)
    // and takes its place only when the conversion succeeded, so an error leaves an earlier
    // OUT as it was; for "-" it is written out only whole. Only a regular file of a bounded
    // size is read. The page is titled with the input's name as given ("-" for standard input).
    const CliInputFile input(files[0], CliInputFile::KStreamLimit);
    if (files[1] != "-") {
        const CliOutputTarget target = CliOutputTarget::Of(files[1]);
        RemoveLeftoversIn(FolderOf(target.Path));
        Rtf2Html::ConvertRtfToHtml(input.Path(), target.Path, options, files[0]);
        return 0;
    }
    std::string page;
    Rtf2Html::ConvertRtfToHtml(
        input.Path(), [&page](std::string_view line) { page.append(line).append("\r\n"); }, options,
        files[0]);
    if (std::fwrite(page.data(), 1, page.size(), stdout) != page.size() || std::fflush(stdout) != 0)
        throw std::runtime_error("cannot write to standard output");
    return 0;
}

const CliCommand KRtf2Html(
    "rtf2html", "IN OUT [--option noFonts|optimize|onlyDefiniteOpt]...", RunRtf2Html,
    "Converts the rich text file IN into the HTML page OUT, as Save As does with an HTML name.\n"
    "IN - reads standard input, OUT - writes standard output.\n"
    "  --option noFonts          no font faces in the page\n"
    "  --option optimize         removes empty and back-to-back pairs of formatting tags\n"
    "  --option onlyDefiniteOpt  with optimize, leaves the changes of font face alone");
} // namespace
