#pragma once

// The text command's synopsis and help: the front program reads the files it can without the
// document model, the model program the rest, and both describe the command alike.
namespace CliTextCommand {

inline constexpr const char *KUsage = "FILE";
inline constexpr const char *KHelp =
    "Prints the plain text of a rich or plain text file (UTF-8, one line a "
    "paragraph),\nas the document pane shows it. FILE - reads standard "
    "input.";

} // namespace CliTextCommand
