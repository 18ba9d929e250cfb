#pragma once

#include <string>
#include <vector>

class QTextDocument;

// The one reader of information files, for the window and zarvel-cli alike. The information
// lines are the lines of the information pane: a document without word wrap, in which a line
// is a paragraph or the part of one that a manual line break ends ("\line" in rich text,
// Shift+Enter in the pane, VT in plain text). The window takes them from its pane's document
// as they stand; a file is read as the pane would take it: rich text into a document through
// the rich text reader, plain text (UTF-16 after its byte order mark, UTF-8 when valid, else
// code page 1252) line by line without one.
class TInformationReader
{
public:
    // The lines of the file, as UTF-8. Throws EFOpenError "Cannot open file <name>" for a file
    // that cannot be read, and EStreamError for a file of zero bytes that is not UTF-16
    // (CheckBytes).
    std::vector<std::string> Read(const std::string &fileName);
    // Refuses, naming the file, plain text with zero bytes that does not start with a UTF-16
    // byte order mark: it is no text of any encoding an information file is read in.
    static void CheckBytes(const std::string &bytes, const std::string &fileName);

    // The lines of a document as UTF-8, numbered from 0; a final empty line is not counted.
    static std::vector<std::string> LinesOf(const QTextDocument &document);
};
