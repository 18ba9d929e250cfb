#pragma once

#include "rtf2html/ERtfToHtmlError.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Rtf2Html {

// Converts the rich text file RtfFileName into the HTML page HtmlFileName.
// Options: any of "noFonts", "optimize" and "onlyDefiniteOpt" (compared exactly); other
// texts, such as the single empty text that Save As passes, are ignored.
// Throws ERtfToHtmlError (a std::exception): a missing input raises "File not found" before
// the output exists; a bad hex escape ends the conversion; a failed conversion or a failure
// to write the output leaves any earlier file of that name untouched and no page of its own.
// The page declares code page 1252; characters of other code pages are character references.
// The page is titled with RtfFileName exactly as passed (escaped as text).
void ConvertRtfToHtml(const std::string &RtfFileName, const std::string &HtmlFileName,
                      const std::vector<std::string> &Options);
// The same with the page titled Title (1252 bytes, or UTF-8 as file names come; escaped).
void ConvertRtfToHtml(const std::string &RtfFileName, const std::string &HtmlFileName,
                      const std::vector<std::string> &Options, const std::string &Title);
// The same with each line of the page (without its line end) handed to WriteLine instead of
// a file: one that must not be used unless the conversion succeeds keeps the lines until then.
void ConvertRtfToHtml(const std::string &RtfFileName,
                      const std::function<void(std::string_view)> &WriteLine,
                      const std::vector<std::string> &Options, const std::string &Title);

} // namespace Rtf2Html
