#include "rtf2html/RtfTextWords.h"

#include <array>
#include <iterator>
#include <utility>

namespace Rtf2Html {

namespace {

using W = TTextWord;

struct TEntry
{
    std::string_view Letters;
    TTextWord Word;
};

// In the byte order of the letters, for a binary search.
constexpr TEntry KEntries[] = {
    {"aftncn", W::Skipped},
    {"aftnsep", W::Skipped},
    {"aftnsepc", W::Skipped},
    {"annotation", W::Skipped},
    {"ansicpg", W::ansicpg},
    {"atnauthor", W::Skipped},
    {"atnid", W::Skipped},
    {"author", W::Skipped},
    {"b", W::CharFormat},
    {"bkmkend", W::Skipped},
    {"bkmkstart", W::Skipped},
    {"bullet", W::bullet},
    {"buptim", W::Skipped},
    {"category", W::Skipped},
    {"cb", W::CharFormat},
    {"cell", W::cell},
    {"cellx", W::cellx},
    {"cf", W::CharFormat},
    {"chcbpat", W::CharFormat},
    {"chftn", W::chftn},
    {"clmgf", W::clmgf},
    {"clmrg", W::clmrg},
    {"clvmgf", W::clvmgf},
    {"clvmrg", W::clvmrg},
    {"colortbl", W::colortbl},
    {"comment", W::Skipped},
    {"company", W::Skipped},
    {"creatim", W::Skipped},
    {"cs", W::cs},
    {"datafield", W::Skipped},
    {"deff", W::deff},
    {"dibitmap", W::PictureKind},
    {"dn", W::CharFormat},
    {"do", W::do_},
    {"doccomm", W::Skipped},
    {"docvar", W::Skipped},
    {"dptxbxtext", W::Shape},
    {"emdash", W::emdash},
    {"emfblip", W::PictureKind},
    {"emspace", W::emspace},
    {"endash", W::endash},
    {"enspace", W::enspace},
    {"f", W::f},
    {"falt", W::Skipped},
    {"fcharset", W::fcharset},
    {"field", W::field},
    {"filetbl", W::Skipped},
    {"fldinst", W::fldinst},
    {"fldrslt", W::fldrslt},
    {"fname", W::Skipped},
    {"fonttbl", W::fonttbl},
    {"footer", W::Skipped},
    {"footerf", W::Skipped},
    {"footerl", W::Skipped},
    {"footerr", W::Skipped},
    {"footnote", W::footnote},
    {"fs", W::CharFormat},
    {"ftncn", W::Skipped},
    {"ftnsep", W::Skipped},
    {"ftnsepc", W::Skipped},
    {"generator", W::Skipped},
    {"header", W::Skipped},
    {"headerf", W::Skipped},
    {"headerl", W::Skipped},
    {"headerr", W::Skipped},
    {"highlight", W::CharFormat},
    {"hlinkbase", W::Skipped},
    {"i", W::CharFormat},
    {"info", W::Skipped},
    {"intbl", W::intbl},
    {"itap", W::itap},
    {"jpegblip", W::PictureKind},
    {"keywords", W::Skipped},
    {"latentstyles", W::Skipped},
    {"ldblquote", W::ldblquote},
    {"levelnumbers", W::levelnumbers},
    {"leveltext", W::leveltext},
    {"lfolevel", W::lfolevel},
    {"line", W::line},
    {"list", W::list},
    {"listlevel", W::listlevel},
    {"listoverride", W::listoverride},
    {"listoverridetable", W::listoverridetable},
    {"listpicture", W::Skipped},
    {"listtable", W::listtable},
    {"listtext", W::Skipped},
    {"lquote", W::lquote},
    {"ltrmark", W::ltrmark},
    {"mac", W::mac},
    {"macpict", W::PictureKind},
    {"manager", W::Skipped},
    {"mmathPr", W::Skipped},
    {"nestcell", W::nestcell},
    {"nestrow", W::nestrow},
    {"nesttableprops", W::nesttableprops},
    {"nonesttables", W::Skipped},
    {"nonshppict", W::nonshppict},
    {"nosupersub", W::CharFormat},
    {"objclass", W::Skipped},
    {"objdata", W::Skipped},
    {"object", W::ReadInPlace},
    {"objname", W::Skipped},
    {"operator", W::Skipped},
    {"page", W::page},
    {"panose", W::Skipped},
    {"par", W::par},
    {"pard", W::pard},
    {"pc", W::pc},
    {"pca", W::pca},
    {"pgdsctbl", W::Skipped},
    {"picprop", W::Skipped},
    {"pict", W::pict},
    {"plain", W::plain},
    {"pmmetafile", W::PictureKind},
    {"pn", W::pn},
    {"pngblip", W::PictureKind},
    {"pntext", W::Skipped},
    {"pntxta", W::pntxta},
    {"pntxtb", W::pntxtb},
    {"printim", W::Skipped},
    {"private", W::Skipped},
    {"protect", W::CharFormat},
    {"qmspace", W::qmspace},
    {"rdblquote", W::rdblquote},
    {"result", W::ReadInPlace},
    {"revtbl", W::Skipped},
    {"revtim", W::Skipped},
    {"row", W::row},
    {"rquote", W::rquote},
    {"rsidtbl", W::Skipped},
    {"rtlmark", W::rtlmark},
    {"rxe", W::Skipped},
    {"s", W::s},
    {"sect", W::sect},
    {"shp", W::ShapeGroup},
    {"shpgrp", W::ShapeGroup},
    {"shpinst", W::shpinst},
    {"shppict", W::shppict},
    {"shprslt", W::shprslt},
    {"shptxt", W::Shape},
    {"sn", W::Skipped},
    {"sp", W::Skipped},
    {"strike", W::CharFormat},
    {"striked", W::CharFormat},
    {"stylesheet", W::stylesheet},
    {"sub", W::CharFormat},
    {"subject", W::Skipped},
    {"super", W::CharFormat},
    {"sv", W::Skipped},
    {"tab", W::tab},
    {"tc", W::Skipped},
    {"tcn", W::Skipped},
    {"template", W::Skipped},
    {"themedata", W::Skipped},
    {"title", W::Skipped},
    {"trleft", W::trleft},
    {"trowd", W::trowd},
    {"ts", W::ts},
    {"txe", W::Skipped},
    {"u", W::u},
    {"uc", W::uc},
    {"ud", W::ud},
    {"ul", W::CharFormat},
    {"uld", W::CharFormat},
    {"uldash", W::CharFormat},
    {"uldashd", W::CharFormat},
    {"uldashdd", W::CharFormat},
    {"uldb", W::CharFormat},
    {"ulnone", W::CharFormat},
    {"ulth", W::CharFormat},
    {"ulw", W::CharFormat},
    {"ulwave", W::CharFormat},
    {"up", W::CharFormat},
    {"upr", W::upr},
    {"userprops", W::Skipped},
    {"v", W::CharFormat},
    {"wbitmap", W::PictureKind},
    {"wmetafile", W::PictureKind},
    {"xe", W::Skipped},
    {"xmlnstbl", W::Skipped},
    {"zwj", W::zwj},
    {"zwnj", W::zwnj},
};

constexpr bool Sorted()
{
    for (std::size_t i = 1; i < std::size(KEntries); ++i) {
        if (!(KEntries[i - 1].Letters < KEntries[i].Letters))
            return false;
    }
    return true;
}
static_assert(Sorted(), "the words must stay in byte order");

} // namespace

TTextWord TextWordOf(std::string_view letters)
{
    // The entries of each first letter: most words of a document are no entry, and fail fast.
    static const std::array<std::pair<uint8_t, uint8_t>, 128> KFirst = [] {
        std::array<std::pair<uint8_t, uint8_t>, 128> first{};
        for (std::size_t i = std::size(KEntries); i-- > 0;) {
            auto &range = first[static_cast<unsigned char>(KEntries[i].Letters[0])];
            range.first = static_cast<uint8_t>(i);
            if (range.second == 0)
                range.second = static_cast<uint8_t>(i + 1);
        }
        return first;
    }();
    if (letters.empty() || static_cast<unsigned char>(letters[0]) >= KFirst.size())
        return W::Other;
    const auto &range = KFirst[static_cast<unsigned char>(letters[0])];
    for (std::size_t i = range.first; i < range.second; ++i) {
        if (KEntries[i].Letters == letters)
            return KEntries[i].Word;
    }
    return W::Other;
}

char16_t CharacterOf(TTextWord word)
{
    switch (word) {
    case W::tab:
        return u'\t';
    case W::line:
        return 0x2028;
    case W::page:
        return 0x000C;
    case W::emdash:
        return 0x2014;
    case W::endash:
        return 0x2013;
    case W::emspace:
        return 0x2003;
    case W::enspace:
        return 0x2002;
    case W::qmspace:
        return 0x2005;
    case W::bullet:
        return 0x2022;
    case W::lquote:
        return 0x2018;
    case W::rquote:
        return 0x2019;
    case W::ldblquote:
        return 0x201C;
    case W::rdblquote:
        return 0x201D;
    case W::zwj:
        return 0x200D;
    case W::zwnj:
        return 0x200C;
    case W::ltrmark:
        return 0x200E;
    case W::rtlmark:
        return 0x200F;
    default:
        return 0;
    }
}

} // namespace Rtf2Html
