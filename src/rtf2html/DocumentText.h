#pragma once

#include <string>
#include <string_view>

namespace Rtf2Html {

// The text of a file's bytes as the document model holds it after loading them as the panes
// do (rich text by its reader, any other bytes as plain text), printed as UTF-8 with LF for
// every paragraph end and manual line break, and an LF after the last paragraph. Reads
// without the model: false when the text cannot be promised equal to the model's (see
// TRtfTextReader), and then the model must read the file.
bool DocumentTextOf(std::string_view bytes, std::string &utf8);

} // namespace Rtf2Html
