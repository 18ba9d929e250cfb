#pragma once

#include <memory>
#include <string>
#include <vector>

class TRichEditEx;

// The one reader of information files, for the window and zarvel-cli alike. The information
// lines are the lines of the information pane: a rich text control without word wrap, in which
// a line is a paragraph or the part of one that a manual line break ends ("\line" in rich
// text, Shift+Enter in the pane, VT in plain text). The window takes them from its pane as
// they stand; zarvel-cli reads each file as a hidden control set up for loading as the pane is
// would take it (rich text, else plain text: UTF-16 after its byte order mark, UTF-8 when
// valid, else code page 1252): a plain
// text file's lines are found without loading it, the same lines the control gives, and any
// other file is loaded into that control.
class TInformationReader
{
public:
    TInformationReader();
    ~TInformationReader();
    TInformationReader(const TInformationReader &) = delete;
    TInformationReader &operator=(const TInformationReader &) = delete;

    // The lines of the file, as UTF-8. Throws the control's load errors (EFileStreamError
    // "Cannot open file <name>" for a file that cannot be read), and EStreamError for a file
    // of zero bytes that is not UTF-16 (CheckBytes).
    std::vector<std::string> Read(const std::string &fileName);
    // Refuses, naming the file, plain text with zero bytes that does not start with a UTF-16
    // byte order mark: it is no text of any encoding an information file is read in.
    static void CheckBytes(const std::string &bytes, const std::string &fileName);
    // The same lines, always taken from the loaded control. Read takes those of a plain text
    // file without one; this is what it must match.
    std::vector<std::string> ReadInControl(const std::string &fileName);

    // The lines of a pane as UTF-8, numbered from 0; a final empty line is not counted.
    static std::vector<std::string> LinesOf(TRichEditEx &pane);

private:
    TRichEditEx &Pane();

    std::unique_ptr<TRichEditEx> FPane;
};
