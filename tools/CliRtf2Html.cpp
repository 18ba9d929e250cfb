// zarvel-cli rtf2html: the rich text to HTML converter of Save As.
#include "CliCommand.h"

#include "rtf2html/RtfToHtml.h"

namespace {
int RunRtf2Html(const std::vector<std::string> &args)
{
    std::vector<std::string> files;
    std::vector<std::string> options;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--option") {
            if (i + 1 >= args.size())
                throw CliUsageError("--option needs a word");
            options.push_back(args[++i]);
        } else if (args[i].rfind("--option=", 0) == 0) {
            options.push_back(args[i].substr(9));
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2)
        throw CliUsageError("expected an input and an output file");
    // The converter writes the page to a temporary file and renames it only when it is
    // complete, so an error never leaves a half-written OUT behind.
    Rtf2Html::ConvertRtfToHtml(files[0], files[1], options);
    return 0;
}

const CliCommand KRtf2Html("rtf2html", "IN OUT [--option noFonts|optimize|onlyDefiniteOpt]...",
                           RunRtf2Html);
} // namespace
