#pragma once

#include <optional>
#include <string>
#include <vector>

// The lines of an information file that needs no rich text control to be read: plain text,
// as most information files are (ASCII, code page 1252, UTF-8, UTF-16 after its byte order
// mark), without a character that the control's document treats as more than text. They are
// the lines the information pane gives: each CR, LF, CR LF, U+2029 (paragraph ends), VT or
// U+2028 (manual line breaks) ends one, and the empty line after a final break is not counted.
// Rich text, plain text with zero bytes (refused, in the reader's words), and a file that
// cannot be read give nothing: the reader of the document model (TInformationReader) reads
// them or says why it cannot.
std::optional<std::vector<std::string>> PlainInformationLines(const std::string &fileName);
// Whether reading one of the information files takes the rich text control.
bool InformationNeedsDocumentModel(const std::vector<std::string> &fileNames);
