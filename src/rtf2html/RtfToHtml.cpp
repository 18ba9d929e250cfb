#include "rtf2html/RtfToHtml.h"

#include "rtf2html/THtmlWriter.h"
#include "rtf2html/TRtfLineSource.h"
#include "rtf2html/TRtfReader.h"

#include <exception>

namespace Rtf2Html {

namespace {
THtmlWriter::TOptions OptionsOf(const std::vector<std::string> &Options)
{
    THtmlWriter::TOptions options;
    for (const auto &option : Options) {
        if (option == "noFonts")
            options.NoFonts = true;
        else if (option == "optimize")
            options.Optimize = true;
        else if (option == "onlyDefiniteOpt")
            options.OnlyDefiniteOpt = true;
    }
    return options;
}

void Convert(const std::string &RtfFileName, const std::vector<std::string> &Options,
             const std::function<void(THtmlWriter &)> &beginPage)
{
    // The input is opened first: a missing file fails before the output exists.
    TRtfLineSource source(RtfFileName);
    THtmlWriter writer(OptionsOf(Options));
    beginPage(writer);
    TRtfReader reader(writer, source);

    std::exception_ptr failure;
    try {
        reader.Run();
    } catch (...) {
        failure = std::current_exception();
    }
    // The page is closed however reading ended, but it takes the place of the target only
    // when the conversion succeeded: a page cut short must not replace a complete one.
    try {
        writer.EndPage(reader.Format());
        if (!failure)
            writer.Commit();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
}
} // namespace

void ConvertRtfToHtml(const std::string &RtfFileName, const std::string &HtmlFileName,
                      const std::vector<std::string> &Options)
{
    ConvertRtfToHtml(RtfFileName, HtmlFileName, Options, RtfFileName);
}

void ConvertRtfToHtml(const std::string &RtfFileName, const std::string &HtmlFileName,
                      const std::vector<std::string> &Options, const std::string &Title)
{
    Convert(RtfFileName, Options,
            [&](THtmlWriter &writer) { writer.BeginPage(HtmlFileName, Title); });
}

void ConvertRtfToHtml(const std::string &RtfFileName,
                      const std::function<void(std::string_view)> &WriteLine,
                      const std::vector<std::string> &Options, const std::string &Title)
{
    Convert(RtfFileName, Options, [&](THtmlWriter &writer) { writer.BeginPage(WriteLine, Title); });
}

} // namespace Rtf2Html
