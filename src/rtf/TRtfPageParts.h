#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>

class QTextCharFormat;
class QTextDocument;
class QTextFormat;

// Headers and footers of a rich text file (\header, \footerf, ...): the document does not show
// them, but keeps their groups as read so that a save writes them back and other word
// processors show them as before. Their font and colour numbers refer to the tables of the
// file they came from, which are kept beside them; a save renumbers them for its own tables.
// Shapes, drawing objects and picture wrappers are kept the same way, at the character where
// they stood (an anchor), so that deleting that character drops them.
class TRtfPageParts
{
public:
    // The groups, each as it stood in the data, followed by CR LF.
    QByteArray Groups;
    // The font names and colours of the source file by their numbers there (colour 0: auto).
    QMap<int, QString> Fonts;
    QList<QColor> Colors;

    bool IsEmpty() const { return Groups.isEmpty(); }

    // The parts the document keeps (in its root frame's format, so that clearing the document
    // drops them); Store replaces them, empty parts remove them.
    static TRtfPageParts Of(const QTextDocument &document);
    void Store(QTextDocument &document) const;

    // The groups anchored at a character, and whether a character is such an anchor; StoreIn
    // puts them in a character format, replacing any there.
    static TRtfPageParts OfAnchor(const QTextFormat &format);
    static bool IsAnchor(const QTextFormat &format);
    void StoreIn(QTextCharFormat &format) const;

    // The groups with their font and colour numbers given by the writer's tables.
    QByteArray Write(const std::function<int(const QString &)> &fontIndex,
                     const std::function<int(const QColor &)> &colorIndex) const;
};
