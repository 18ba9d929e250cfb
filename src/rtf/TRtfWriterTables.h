#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QStringList>

#include <vector>

// The tables at the head of a file the writer makes: the fonts and colours the text uses, in
// the order it first uses them, and the list table with one list for each run of list
// paragraphs. The text is written first and the tables last, then put before it.
class TRtfWriterTables
{
public:
    // A list as the list table states it: one level, numbered or bulleted.
    struct TListDefinition
    {
        int Nfc = 0; // \levelnfc: 0 decimal, 1 upper roman, 2 lower roman, 3 upper and 4 lower
                     // letters, 23 bullet
        int Start = 1;
        QByteArray Prefix; // code page 1252
        QByteArray Suffix;
        int BulletFont = -1;
    };

    // The number of a font in the font table, added when new.
    int FontIndex(const QString &family);
    // The number of a colour in the colour table (from 1; 0 is the automatic colour).
    int ColorIndex(const QColor &color);
    bool HasFonts() const { return !FFonts.isEmpty(); }
    // Adds a list; its number (\lsN) is ListCount() afterwards.
    void AddList(const TListDefinition &list) { FLists.push_back(list); }
    int ListCount() const { return static_cast<int>(FLists.size()); }

    // The start of the file up to and with \viewkind4\uc1: \rtf1 and its code page, the
    // default language unless the text is to be plain rich text, and the tables.
    QByteArray Header(bool plainRtf, int language) const;

    // Label bytes (code page 1252) as rich text: bytes from 0x80 as \'xx, the special
    // characters escaped.
    static QByteArray Escaped(const QByteArray &bytes);

private:
    QByteArray FontTable() const;
    QByteArray ColorTable() const;
    // The list table and the list override table: list n is override n.
    QByteArray ListTables() const;

    QStringList FFonts;
    QList<QColor> FColors;
    std::vector<TListDefinition> FLists;
};
