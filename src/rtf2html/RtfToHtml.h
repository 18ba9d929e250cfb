#pragma once

#include "rtf2html/ERtfToHtmlError.h"

#include <string>
#include <vector>

namespace Rtf2Html {

// Converts the rich text file RtfFileName into the HTML page HtmlFileName.
// Options: any of "noFonts", "optimize" and "onlyDefiniteOpt" (compared exactly); other
// texts, such as the single empty text that Save As passes, are ignored.
// Throws ERtfToHtmlError (a std::exception): a missing input raises "File not found" before
// the output exists; a bad hex escape ends the conversion after the page has been closed and
// written; a failure to write the output leaves any earlier file of that name untouched.
// The page is titled with RtfFileName exactly as passed.
void ConvertRtfToHtml(const std::string &RtfFileName, const std::string &HtmlFileName,
                      const std::vector<std::string> &Options);
// The same with the page titled Title (1252 bytes, written as they are).
void ConvertRtfToHtml(const std::string &RtfFileName, const std::string &HtmlFileName,
                      const std::vector<std::string> &Options, const std::string &Title);

} // namespace Rtf2Html
