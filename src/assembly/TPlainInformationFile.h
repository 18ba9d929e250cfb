#pragma once

#include <optional>
#include <string>
#include <vector>

// The lines of an information file held as plain text, as most are (ASCII, code page 1252,
// UTF-8, UTF-16 after its byte order mark), found without building a document for them. They
// are the lines the information pane gives: each CR, LF, CR LF, U+2029 (paragraph ends), VT or
// U+2028 (manual line breaks) ends one, and the empty line after a final break is not counted.
// Plain C++, so that the command-line tool reads such files without Qt and the document model.
class TPlainInformationFile
{
public:
    // True for rich text: it starts with "{\rtf".
    static bool IsRich(const std::string &bytes);
    // Refuses, naming the file, plain text with zero bytes that does not start with a UTF-16
    // byte order mark: it is no text of any encoding an information file is read in.
    // Throws EStreamError.
    static void CheckBytes(const std::string &bytes, const std::string &fileName);
    // The lines of plain text bytes, as UTF-8. Nothing for rich text, for bytes CheckBytes
    // refuses, and for a text holding a character that a document treats as more than text
    // (frame marks, the object character): a document must be built for those.
    static std::optional<std::vector<std::string>> Lines(const std::string &bytes);
    // The same for a file; nothing also when it cannot be read or names one of the program's
    // resources.
    static std::optional<std::vector<std::string>> LinesOfFile(const std::string &fileName);
};
