#pragma once

#include <string>

// The formats a merged letter is written in.
enum class TLetterFormat { Rtf, Html, Pdf };

// Writes a merged letter (its rich text) as a new file in the given format: the rich text as it
// is, the page of the program's HTML converter, or the pages printed as print-pdf prints them.
// The file is only ever written in the private folder of a CliOutputFile, whose rename puts it
// in place whole. Throws with the user's message.
void WriteLetterFile(const std::string &path, const std::string &richText, TLetterFormat format);
// The pages of the letter printed to a new PDF file as print-pdf prints them.
void WritePdfLetter(const std::string &path, const std::string &richText);
