#pragma once

#include "richedit/RichEditTypes.h"

#include <QString>

#include <string>
#include <vector>

class QIODevice;
class TRichEditLinesHost;

// The control's text as a list of 8-bit lines (bytes of the control's code page, 1252 in the
// program) and its file and stream transfer. A line is a laid-out line of the control (see
// TCustomRichEditEx::PlatformLineCount); lines are numbered from 0. Line edits go through the
// control's WideLines and are not undoable.
class TRichEditStringsEx
{
public:
    explicit TRichEditStringsEx(TRichEditLinesHost &owner);
    TRichEditStringsEx(const TRichEditStringsEx &) = delete;
    TRichEditStringsEx &operator=(const TRichEditStringsEx &) = delete;

    // Laid-out lines, not counting an empty last line: 0 for an empty control.
    int LineCount() const;
    // Line i without its paragraph break; empty past the last line.
    std::string LineAt(int i) const;
    // Replaces the text of line i; its line break stays.
    void ReplaceLine(int i, const std::string &s);
    // Inserts s as line i (i = LineCount appends). Throws EOutOfResources "RichEdit line
    // insertion error" when the text did not go in whole (for example cut by MaxLength).
    void InsertLine(int i, const std::string &s);
    void AppendLine(const std::string &s);
    // Deletes line i with its break; deleting the last line leaves an empty last line.
    void DeleteLine(int i);
    // Empties the control (its ClearDocument).
    void ClearLines();
    // Every line followed by CR LF.
    std::string AllText() const;
    // Replaces the content with the lines of s (CR, LF or CR LF end a line) without raising
    // OnChange.
    void SetAllText(const std::string &s);
    // Appends the lines with OnSelectionChange switched off meanwhile.
    void AppendLines(const std::vector<std::string> &lines);
    // Nested batch of changes: no repaint until the outermost EndBatch, which repaints and
    // raises the control's change notification.
    void BeginBatch();
    void EndBatch();

    // Loads the file: rich text, else plain text (InputFormat ifRTF), into the whole control
    // (or the selection, with SelectedInOut or inside InsertFromFile). File errors throw
    // EFileStreamError ("Cannot open file <name>"); see LoadStream for the rest.
    void LoadFile(const QString &fileName);
    // Saves in OutputFormat (rich text in the program, whatever the extension), or in the
    // format given, as TFileSaver writes files: a read-only file is refused, and the old file
    // stays whole until the new content is complete. Throws EFileStreamError (see TFileSaver)
    // or EOutOfResources ("Failed to Save Stream"); the old file then stays as it was.
    void SaveFile(const QString &fileName);
    void SaveFile(const QString &fileName, TOutputFormat format);
    // Loads from the stream's current position. Rich text that the control rejects is read
    // again as plain text from the same position; only a failure of that pass throws
    // EOutOfResources "Failed to Load Stream". Plain text is read as TTextFileCodec decodes it:
    // UTF-8 when it is valid UTF-8, else code page 1252.
    void LoadStream(QIODevice &stream);
    // Throws EOutOfResources "Failed to Save Stream" when the transfer fails. Plain text
    // (ofText) is written as TTextFileCodec encodes it, paragraphs ended by CR LF.
    void SaveStream(QIODevice &stream);
    void SaveStream(QIODevice &stream, TOutputFormat format);

private:
    TRichEditLinesHost &FOwner;
};
