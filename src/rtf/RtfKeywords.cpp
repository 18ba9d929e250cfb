#include "rtf/RtfKeywords.h"

#include <array>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace RtfKeywords {

namespace {

struct Entry
{
    std::string_view Letters;
    Kw Keyword;
};

// In the byte order of the letters, each once.
constexpr Entry Entries[] = {
    {"aftncn", Kw::aftncn},
    {"aftnsep", Kw::aftnsep},
    {"aftnsepc", Kw::aftnsepc},
    {"annotation", Kw::annotation},
    {"ansicpg", Kw::ansicpg},
    {"atnauthor", Kw::atnauthor},
    {"atnid", Kw::atnid},
    {"author", Kw::author},
    {"b", Kw::b},
    {"bin", Kw::bin},
    {"bkmkend", Kw::bkmkend},
    {"bkmkstart", Kw::bkmkstart},
    {"blue", Kw::blue},
    {"box", Kw::box},
    {"brdrb", Kw::brdrb},
    {"brdrbar", Kw::brdrbar},
    {"brdrcf", Kw::brdrcf},
    {"brdrdash", Kw::brdrdash},
    {"brdrdashd", Kw::brdrdashd},
    {"brdrdashdd", Kw::brdrdashdd},
    {"brdrdashsm", Kw::brdrdashsm},
    {"brdrdb", Kw::brdrdb},
    {"brdrdot", Kw::brdrdot},
    {"brdremboss", Kw::brdremboss},
    {"brdrengrave", Kw::brdrengrave},
    {"brdrhair", Kw::brdrhair},
    {"brdrinset", Kw::brdrinset},
    {"brdrl", Kw::brdrl},
    {"brdrnil", Kw::brdrnil},
    {"brdrnone", Kw::brdrnone},
    {"brdroutset", Kw::brdroutset},
    {"brdrr", Kw::brdrr},
    {"brdrs", Kw::brdrs},
    {"brdrsh", Kw::brdrsh},
    {"brdrt", Kw::brdrt},
    {"brdrth", Kw::brdrth},
    {"brdrtriple", Kw::brdrtriple},
    {"brdrw", Kw::brdrw},
    {"brdrwavy", Kw::brdrwavy},
    {"bullet", Kw::bullet},
    {"buptim", Kw::buptim},
    {"category", Kw::category},
    {"cb", Kw::cb},
    {"cell", Kw::cell},
    {"cellx", Kw::cellx},
    {"cf", Kw::cf},
    {"chcbpat", Kw::chcbpat},
    {"chftn", Kw::chftn},
    {"clbrdrb", Kw::clbrdrb},
    {"clbrdrl", Kw::clbrdrl},
    {"clbrdrr", Kw::clbrdrr},
    {"clbrdrt", Kw::clbrdrt},
    {"clcbpat", Kw::clcbpat},
    {"clcfpat", Kw::clcfpat},
    {"clmgf", Kw::clmgf},
    {"clmrg", Kw::clmrg},
    {"clshdng", Kw::clshdng},
    {"clvertalb", Kw::clvertalb},
    {"clvertalc", Kw::clvertalc},
    {"clvertalt", Kw::clvertalt},
    {"clvmgf", Kw::clvmgf},
    {"clvmrg", Kw::clvmrg},
    {"colortbl", Kw::colortbl},
    {"comment", Kw::comment},
    {"company", Kw::company},
    {"creatim", Kw::creatim},
    {"cs", Kw::cs},
    {"datafield", Kw::datafield},
    {"deff", Kw::deff},
    {"dibitmap", Kw::dibitmap},
    {"dn", Kw::dn},
    {"do", Kw::do_},
    {"doccomm", Kw::doccomm},
    {"docvar", Kw::docvar},
    {"dptxbxtext", Kw::dptxbxtext},
    {"emdash", Kw::emdash},
    {"emfblip", Kw::emfblip},
    {"emspace", Kw::emspace},
    {"endash", Kw::endash},
    {"enspace", Kw::enspace},
    {"f", Kw::f},
    {"falt", Kw::falt},
    {"fcharset", Kw::fcharset},
    {"fi", Kw::fi},
    {"field", Kw::field},
    {"filetbl", Kw::filetbl},
    {"fldinst", Kw::fldinst},
    {"fldrslt", Kw::fldrslt},
    {"fname", Kw::fname},
    {"fonttbl", Kw::fonttbl},
    {"footer", Kw::footer},
    {"footerf", Kw::footerf},
    {"footerl", Kw::footerl},
    {"footerr", Kw::footerr},
    {"footnote", Kw::footnote},
    {"fs", Kw::fs},
    {"ftncn", Kw::ftncn},
    {"ftnsep", Kw::ftnsep},
    {"ftnsepc", Kw::ftnsepc},
    {"generator", Kw::generator},
    {"green", Kw::green},
    {"header", Kw::header},
    {"headerf", Kw::headerf},
    {"headerl", Kw::headerl},
    {"headerr", Kw::headerr},
    {"highlight", Kw::highlight},
    {"hlinkbase", Kw::hlinkbase},
    {"i", Kw::i},
    {"ilvl", Kw::ilvl},
    {"info", Kw::info},
    {"intbl", Kw::intbl},
    {"itap", Kw::itap},
    {"jpegblip", Kw::jpegblip},
    {"keywords", Kw::keywords},
    {"latentstyles", Kw::latentstyles},
    {"ldblquote", Kw::ldblquote},
    {"levelnfc", Kw::levelnfc},
    {"levelnfcn", Kw::levelnfcn},
    {"levelnumbers", Kw::levelnumbers},
    {"levelstartat", Kw::levelstartat},
    {"leveltext", Kw::leveltext},
    {"lfolevel", Kw::lfolevel},
    {"li", Kw::li},
    {"lin", Kw::lin},
    {"line", Kw::line},
    {"list", Kw::list},
    {"listid", Kw::listid},
    {"listlevel", Kw::listlevel},
    {"listoverride", Kw::listoverride},
    {"listoverridetable", Kw::listoverridetable},
    {"listpicture", Kw::listpicture},
    {"listtable", Kw::listtable},
    {"listtext", Kw::listtext},
    {"lquote", Kw::lquote},
    {"ls", Kw::ls},
    {"ltrmark", Kw::ltrmark},
    {"mac", Kw::mac},
    {"macpict", Kw::macpict},
    {"manager", Kw::manager},
    {"mmathPr", Kw::mmathPr},
    {"nestcell", Kw::nestcell},
    {"nestrow", Kw::nestrow},
    {"nesttableprops", Kw::nesttableprops},
    {"nonesttables", Kw::nonesttables},
    {"nonshppict", Kw::nonshppict},
    {"nosupersub", Kw::nosupersub},
    {"objclass", Kw::objclass},
    {"objdata", Kw::objdata},
    {"object", Kw::object},
    {"objname", Kw::objname},
    {"operator", Kw::operator_},
    {"page", Kw::page},
    {"panose", Kw::panose},
    {"par", Kw::par},
    {"pard", Kw::pard},
    {"pc", Kw::pc},
    {"pca", Kw::pca},
    {"pgdsctbl", Kw::pgdsctbl},
    {"pich", Kw::pich},
    {"pichgoal", Kw::pichgoal},
    {"picprop", Kw::picprop},
    {"picscalex", Kw::picscalex},
    {"picscaley", Kw::picscaley},
    {"pict", Kw::pict},
    {"picw", Kw::picw},
    {"picwgoal", Kw::picwgoal},
    {"plain", Kw::plain},
    {"pmmetafile", Kw::pmmetafile},
    {"pn", Kw::pn},
    {"pndec", Kw::pndec},
    {"pngblip", Kw::pngblip},
    {"pnlcltr", Kw::pnlcltr},
    {"pnlcrm", Kw::pnlcrm},
    {"pnlvl", Kw::pnlvl},
    {"pnlvlblt", Kw::pnlvlblt},
    {"pnlvlbody", Kw::pnlvlbody},
    {"pnlvlcont", Kw::pnlvlcont},
    {"pnstart", Kw::pnstart},
    {"pntext", Kw::pntext},
    {"pntxta", Kw::pntxta},
    {"pntxtb", Kw::pntxtb},
    {"pnucltr", Kw::pnucltr},
    {"pnucrm", Kw::pnucrm},
    {"printim", Kw::printim},
    {"private", Kw::private_},
    {"protect", Kw::protect},
    {"qc", Kw::qc},
    {"qd", Kw::qd},
    {"qj", Kw::qj},
    {"ql", Kw::ql},
    {"qmspace", Kw::qmspace},
    {"qr", Kw::qr},
    {"rdblquote", Kw::rdblquote},
    {"red", Kw::red},
    {"result", Kw::result},
    {"revtbl", Kw::revtbl},
    {"revtim", Kw::revtim},
    {"ri", Kw::ri},
    {"rin", Kw::rin},
    {"row", Kw::row},
    {"rquote", Kw::rquote},
    {"rsidtbl", Kw::rsidtbl},
    {"rtlmark", Kw::rtlmark},
    {"rxe", Kw::rxe},
    {"s", Kw::s},
    {"sa", Kw::sa},
    {"sb", Kw::sb},
    {"sect", Kw::sect},
    {"shp", Kw::shp},
    {"shpgrp", Kw::shpgrp},
    {"shpinst", Kw::shpinst},
    {"shppict", Kw::shppict},
    {"shprslt", Kw::shprslt},
    {"shptxt", Kw::shptxt},
    {"sl", Kw::sl},
    {"slmult", Kw::slmult},
    {"sn", Kw::sn},
    {"sp", Kw::sp},
    {"strike", Kw::strike},
    {"striked", Kw::striked},
    {"stylesheet", Kw::stylesheet},
    {"sub", Kw::sub},
    {"subject", Kw::subject},
    {"super", Kw::super},
    {"sv", Kw::sv},
    {"tab", Kw::tab},
    {"tb", Kw::tb},
    {"tc", Kw::tc},
    {"tcn", Kw::tcn},
    {"template", Kw::template_},
    {"themedata", Kw::themedata},
    {"title", Kw::title},
    {"tqc", Kw::tqc},
    {"tqdec", Kw::tqdec},
    {"tqr", Kw::tqr},
    {"trgaph", Kw::trgaph},
    {"trhdr", Kw::trhdr},
    {"trleft", Kw::trleft},
    {"trowd", Kw::trowd},
    {"trpaddl", Kw::trpaddl},
    {"trpaddr", Kw::trpaddr},
    {"trqc", Kw::trqc},
    {"trql", Kw::trql},
    {"trqr", Kw::trqr},
    {"trrh", Kw::trrh},
    {"ts", Kw::ts},
    {"tx", Kw::tx},
    {"txe", Kw::txe},
    {"u", Kw::u},
    {"uc", Kw::uc},
    {"ud", Kw::ud},
    {"ul", Kw::ul},
    {"uld", Kw::uld},
    {"uldash", Kw::uldash},
    {"uldashd", Kw::uldashd},
    {"uldashdd", Kw::uldashdd},
    {"uldb", Kw::uldb},
    {"ulnone", Kw::ulnone},
    {"ulth", Kw::ulth},
    {"ulw", Kw::ulw},
    {"ulwave", Kw::ulwave},
    {"up", Kw::up},
    {"upr", Kw::upr},
    {"userprops", Kw::userprops},
    {"v", Kw::v},
    {"wbitmap", Kw::wbitmap},
    {"wbmbitspixel", Kw::wbmbitspixel},
    {"wbmplanes", Kw::wbmplanes},
    {"wbmwidthbytes", Kw::wbmwidthbytes},
    {"wmetafile", Kw::wmetafile},
    {"xe", Kw::xe},
    {"xmlnstbl", Kw::xmlnstbl},
    {"zwj", Kw::zwj},
    {"zwnj", Kw::zwnj},
};

constexpr bool Sorted()
{
    for (std::size_t i = 1; i < std::size(Entries); ++i) {
        if (!(Entries[i - 1].Letters < Entries[i].Letters))
            return false;
    }
    return true;
}
static_assert(Sorted(), "keep the keywords in order and each once");

// Nearly every token of a document is a control word, and a search by halving took a third
// of a load: the letters are found through a hash table built when compiling instead.
constexpr std::uint32_t Hash(std::string_view letters)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : letters)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

constexpr std::size_t KSlots = 1024; // a power of two, four times the keywords
static_assert(std::size(Entries) * 3 < KSlots, "the hash table must stay sparse");

struct Table
{
    // Index into Entries plus one; 0 is a free slot.
    std::array<std::uint16_t, KSlots> Slots{};
};

constexpr Table BuildTable()
{
    Table table;
    for (std::size_t i = 0; i < std::size(Entries); ++i) {
        std::size_t slot = Hash(Entries[i].Letters) & (KSlots - 1);
        while (table.Slots[slot] != 0)
            slot = (slot + 1) & (KSlots - 1);
        table.Slots[slot] = static_cast<std::uint16_t>(i + 1);
    }
    return table;
}

constexpr Table Lookup = BuildTable();

constexpr Kw Find(std::string_view letters)
{
    for (std::size_t slot = Hash(letters) & (KSlots - 1); Lookup.Slots[slot] != 0;
         slot = (slot + 1) & (KSlots - 1)) {
        const Entry &entry = Entries[Lookup.Slots[slot] - 1];
        if (entry.Letters == letters)
            return entry.Keyword;
    }
    return Kw::Unknown;
}

constexpr bool EveryKeywordFound()
{
    for (const Entry &entry : Entries) {
        if (Find(entry.Letters) != entry.Keyword)
            return false;
    }
    return true;
}
static_assert(EveryKeywordFound(), "the hash table must find every keyword");

} // namespace

Kw KeywordOf(QByteArrayView letters)
{
    const std::string_view text(letters.data(), static_cast<std::size_t>(letters.size()));
    const Kw keyword = Find(text);
    if (keyword != Kw::Unknown)
        return keyword;
    // Borders of rows (\trbrdrt, \trbrdrl, ...) are all passed over alike.
    if (text.substr(0, 6) == "trbrdr")
        return Kw::trbrdr;
    return Kw::Unknown;
}

} // namespace RtfKeywords
