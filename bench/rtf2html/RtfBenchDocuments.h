#pragma once

#include <cstddef>
#include <string>

// Generated rich text inputs for the converter's benchmarks, each at least size bytes and
// the same for the same size.
namespace RtfBenchDocuments {

// A document as word processors write it: font and colour tables, a style sheet with
// headings and table-of-contents styles, an information group, a table of contents, headings,
// paragraphs with fonts, sizes, colours, bold and italic runs, special characters and
// escapes, bulleted and numbered lists, tables, bookmarks, footnotes and small pictures,
// in lines of at most about 250 characters.
std::string WordProcessorDocument(size_t size);
// Paragraphs of 40 to 120 words with a bold, italic or coloured word now and then;
// lineBreak goes after every paragraph mark ("" gives one single line).
std::string Paragraphs(size_t size, const char *lineBreak);
// One paragraph, on one line, whose format changes every few words (bold, italic, underline,
// colour, font, size, toggled and in groups).
std::string FormattedParagraph(size_t size);
// One paragraph of plain words without any control word, in lines of about 80 characters.
std::string TaglessParagraph(size_t size);
// Groups nested ever deeper, each with a format change and a word, then all closed.
std::string DeepGroups(size_t size);
// A font table and a colour table with an entry for every few dozen bytes, and a body that
// uses them all.
std::string ManyFontsAndColours(size_t size);
// One table with as many rows of four cells as the size allows.
std::string LongTable(size_t size);

} // namespace RtfBenchDocuments
