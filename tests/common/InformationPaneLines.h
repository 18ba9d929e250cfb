#pragma once

#include <string>
#include <vector>

// The lines of an information file as the window's information pane shows them: loaded into a
// rich text control set up as that pane is, and read back line by line. The reference that
// the readers of information files, which build no control, must match.
std::vector<std::string> InformationPaneLines(const std::string &fileName);
