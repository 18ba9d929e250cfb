// libFuzzer target of the rich text to HTML converter. The first byte picks the options;
// the rest is the rich text. Any input must convert or fail with the converter's own error,
// and no text of the document may reach the page as markup.
#include "HtmlPageMarkup.h"
#include "rtf2html/RtfToHtml.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {
// The converter reads and writes files: they go into a folder of the run's own, which is
// removed with everything in it when the run ends.
class TScratchFolder
{
public:
    TScratchFolder()
    {
        std::error_code error;
        std::filesystem::path base = std::filesystem::temp_directory_path(error);
        if (error)
            base = "/tmp";
        std::string pattern = (base / "fuzz_rtf2html_XXXXXX").string();
        if (mkdtemp(pattern.data()))
            FPath = pattern;
    }
    ~TScratchFolder()
    {
        std::error_code error;
        if (!FPath.empty())
            std::filesystem::remove_all(FPath, error);
    }
    TScratchFolder(const TScratchFolder &) = delete;
    TScratchFolder &operator=(const TScratchFolder &) = delete;

    // Empty when no folder could be made.
    const std::filesystem::path &Path() const { return FPath; }

private:
    std::filesystem::path FPath;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TScratchFolder folder;
    if (folder.Path().empty()) {
        // Without it no input would reach the converter: better no run than one that tests nothing.
        std::fputs("fuzz_rtf2html: cannot make a temporary folder\n", stderr);
        std::abort();
    }
    const std::string input = (folder.Path() / "in.rtf").string();
    const std::string output = (folder.Path() / "out.htm").string();

    std::vector<std::string> options;
    if (size > 0) {
        if (data[0] & 1)
            options.push_back("noFonts");
        if (data[0] & 2)
            options.push_back("optimize");
        if (data[0] & 4)
            options.push_back("onlyDefiniteOpt");
        ++data;
        --size;
    }
    if (std::FILE *file = std::fopen(input.c_str(), "wb")) {
        if (size > 0)
            std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    std::remove(output.c_str());
    try {
        Rtf2Html::ConvertRtfToHtml(input, output, options);
    } catch (const Rtf2Html::ERtfToHtmlError &) {
        // A bad hex escape is reported, not a crash; and no page is written.
        if (std::filesystem::exists(output)) {
            std::fputs("fuzz_rtf2html: a failed conversion left a page\n", stderr);
            std::abort();
        }
        return 0;
    }
    std::ifstream written(output, std::ios::binary);
    const std::string page((std::istreambuf_iterator<char>(written)),
                           std::istreambuf_iterator<char>());
    const std::string unexpected = Rtf2HtmlTest::UnexpectedMarkup(page);
    if (!unexpected.empty()) {
        std::fprintf(stderr, "fuzz_rtf2html: document text became markup: %s\n",
                     unexpected.c_str());
        std::abort();
    }
    return 0;
}
