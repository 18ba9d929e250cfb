#pragma once

#include <QString>
#include <QStringList>

class QIODevice;
class TRichEditLinesHost;

// The control's text as a list of UTF-16 lines. Line edits talk to the control directly and
// are not undoable (they clear the undo history); loading and saving are those of the
// control's 8-bit Lines, so bytes and formats are the same.
class TWideRichEditStringsEx
{
public:
    explicit TWideRichEditStringsEx(TRichEditLinesHost &owner);
    TWideRichEditStringsEx(const TWideRichEditStringsEx &) = delete;
    TWideRichEditStringsEx &operator=(const TWideRichEditStringsEx &) = delete;

    int LineCount() const;
    // Line i without a final CR; empty past the last line. A line longer than 4096 UTF-16
    // units is returned whole.
    QString LineAt(int i) const;
    void ReplaceLine(int i, const QString &s);
    // Throws EOutOfResources "RichEdit line insertion error" when the caret is not behind the
    // inserted text afterwards.
    void InsertLine(int i, const QString &s);
    void AppendLine(const QString &s);
    void DeleteLine(int i);
    void ClearLines();
    QString AllText() const;
    void SetAllText(const QString &s);
    void AppendLines(const QStringList &lines);
    void BeginBatch();
    void EndBatch();
    void LoadFile(const QString &fileName);
    void SaveFile(const QString &fileName);
    void LoadStream(QIODevice &stream);
    void SaveStream(QIODevice &stream);

    int Language() const;
    void SetLanguage(int language);

private:
    TRichEditLinesHost &FOwner;
};
