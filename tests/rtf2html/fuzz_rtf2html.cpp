// libFuzzer target of the rich text to HTML converter. The first byte picks the options;
// the rest is the rich text. Any input must convert or fail with the converter's own error.
#include "rtf2html/RtfToHtml.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/fuzz_rtf2html_XXXXXX";
        const char *made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    const std::string input = folder + "/in.rtf";
    const std::string output = folder + "/out.htm";

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
    try {
        Rtf2Html::ConvertRtfToHtml(input, output, options);
    } catch (const Rtf2Html::ERtfToHtmlError &) {
        // A bad hex escape is reported, not a crash.
    }
    return 0;
}
