#pragma once

#include <QByteArray>

// A rich text document of the given number of pages: about 38 paragraphs a page (about 5 KB of
// rich text), each with bold, italic, a coloured word and a placeholder, a heading per page.
inline QByteArray GeneratedDocument(int pages)
{
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 "
        "Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    const int paragraphs = pages * 38;
    for (int i = 0; i < paragraphs; ++i) {
        if (i % 38 == 0)
            rtf += "{\\f1\\fs28\\b Page " + QByteArray::number(i / 38 + 1) + "\\b0}\\par\r\n";
        rtf += "Paragraph " + QByteArray::number(i) +
               " of the test document with {\\b bold} and {\\i italic} words, the value "
               "@" +
               QByteArray::number(i % 40 + 1) +
               " and {\\cf1 coloured} text \\'e9t\\'e9 to fill the line.\\par\r\n";
    }
    rtf += "}\r\n";
    return rtf;
}
