#pragma once

#include <string>
#include <vector>

// The lines of an information file as the information pane shows them: the pane does not
// wrap, so a line is a paragraph. Plain text breaks at CR, LF and CR LF; rich text (a text
// that starts with "{\rtf") gives the lines of its visible text. A final empty line is not
// counted, as the pane's line count leaves it out. Bytes stay code page 1252.

std::vector<std::string> InformationLinesFromText(const std::string &content);

// Reads the file. Throws EFOpenError "Cannot open file <name>" when it cannot be read.
std::vector<std::string> ReadInformationFile(const std::string &fileName);
