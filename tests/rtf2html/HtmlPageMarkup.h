#pragma once

// What markup a converted page may hold: only the tags the converter makes itself, with
// attribute values that cannot end early. Anything else (an element or attribute spelled by
// the document, a stray ">", an unknown entity) means text of the document reached the page
// as markup. Plain C++, shared by the tests and the fuzz target.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace Rtf2HtmlTest {

namespace PageMarkupDetail {
inline bool IsFixedTag(std::string_view tag)
{
    static constexpr std::array<std::string_view, 45> KTags = {
        "<HTML>",
        "</HTML>",
        "<HEAD>",
        "</HEAD>",
        "<TITLE>",
        "</TITLE>",
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">",
        "<BODY TEXT=\"#000000\" BGCOLOR=\"#FFFFFF\" LINK=\"#3333FF\" VLINK=\"#999999\" "
        "ALINK=\"#FF0000\">",
        "</BODY>",
        "<B>",
        "</B>",
        "<I>",
        "</I>",
        "<U>",
        "</U>",
        "<SUB>",
        "</SUB>",
        "<SUP>",
        "</SUP>",
        "<S>",
        "</S>",
        "</FONT>",
        "<CENTER>",
        "</CENTER>",
        "<DIV ALIGN=right>",
        "</DIV>",
        "<BR>",
        "<P>",
        "<HR>",
        "<TABLE BORDER=2>",
        "</TABLE>",
        "<TR>",
        "</TR>",
        "<TD>",
        "</TD>",
        "<UL>",
        "</UL>",
        "<LI type=disc>",
        "</LI>",
        "</A>",
        "<FONT SIZE=-2>",
        "<FONT SIZE=-1>",
        "<FONT SIZE=+0>",
        "<FONT SIZE=+1>",
        "<FONT SIZE=+2>"};
    for (const std::string_view fixed : KTags) {
        if (tag == fixed)
            return true;
    }
    return tag == "<FONT SIZE=+3>" || tag == "<FONT SIZE=+4>";
}

// A tag of the form prefix, a quoted value without quotation marks or angle brackets, "\">".
inline bool IsValueTag(std::string_view tag, std::string_view prefix, std::string_view start)
{
    if (tag.size() < prefix.size() + 2 || tag.substr(0, prefix.size()) != prefix ||
        tag.substr(tag.size() - 2) != "\">")
        return false;
    const std::string_view value = tag.substr(prefix.size(), tag.size() - prefix.size() - 2);
    return value.find_first_of("\"<>") == std::string_view::npos &&
           value.substr(0, start.size()) == start;
}

inline bool IsEntity(std::string_view text)
{
    // "&name;" or "&#digits;"
    size_t i = 1;
    const bool numeric = i < text.size() && text[i] == '#';
    if (numeric)
        ++i;
    const size_t first = i;
    while (i < text.size() &&
           (numeric ? (text[i] >= '0' && text[i] <= '9')
                    : ((text[i] >= 'a' && text[i] <= 'z') || (text[i] >= 'A' && text[i] <= 'Z'))))
        ++i;
    return i > first && i < text.size() && text[i] == ';';
}
} // namespace PageMarkupDetail

// The first piece of the page that the converter does not make itself, with some context;
// empty when there is none.
inline std::string UnexpectedMarkup(std::string_view page)
{
    using namespace PageMarkupDetail;
    auto context = [&page](size_t at) {
        const size_t from = at > 40 ? at - 40 : 0;
        return std::string(page.substr(from, 100));
    };
    for (size_t i = 0; i < page.size(); ++i) {
        const char c = page[i];
        if (c == '>')
            return "stray '>': " + context(i);
        if (c == '&' && !IsEntity(page.substr(i, 12)))
            return "bare '&': " + context(i);
        if (c != '<')
            continue;
        const size_t end = page.find_first_of("<>", i + 1);
        if (end == std::string_view::npos || page[end] != '>')
            return "unclosed tag: " + context(i);
        const std::string_view tag = page.substr(i, end - i + 1);
        const bool known = IsFixedTag(tag) || IsValueTag(tag, "<FONT COLOR=\"#", "") ||
                           IsValueTag(tag, "<FONT FACE=\"", "") ||
                           IsValueTag(tag, "<A HREF=\"", "http://") ||
                           IsValueTag(tag, "<A HREF=\"#", "") || IsValueTag(tag, "<A NAME=\"", "");
        if (!known)
            return "unknown tag " + std::string(tag) + ": " + context(i);
        i = end;
    }
    return std::string();
}

} // namespace Rtf2HtmlTest
