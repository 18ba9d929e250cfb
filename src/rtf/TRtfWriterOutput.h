#pragma once

#include <QByteArray>
#include <QString>

// The body of a file the writer makes, as it grows: control words, groups and text in code
// page 1252. It remembers whether the last thing written was a control word that a letter or
// digit following it would run into, and then puts the one space that ends the word.
class TRtfWriterOutput
{
public:
    const QByteArray &Bytes() const { return FBytes; }
    void Reserve(qsizetype size) { FBytes.reserve(size); }

    // A control word, with its number.
    void Word(const char *word);
    void Word(const char *word, int value);
    // Bytes after which text may follow at once: a group, a line end, a symbol.
    void Closed(const QByteArray &bytes);
    // Bytes as they are; delimit: whether they end in a control word.
    void Append(const QByteArray &bytes, bool delimit);
    // Bytes as they are, the need of a space left as it was.
    void Append(const QByteArray &bytes) { FBytes += bytes; }

    // The characters [from, from + length) of text: ASCII as it stands, the rest in code page
    // 1252 as \'xx or as \uN?, tabs, line breaks and form feeds as their words; object
    // replacement characters and table frame marks are not text and go.
    void Text(const QString &text, int from, int length);

private:
    void Character(char16_t c);
    void Escape(unsigned char byte);

    QByteArray FBytes;
    bool FDelimit = false;
};
