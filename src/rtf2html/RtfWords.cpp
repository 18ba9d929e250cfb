#include "rtf2html/RtfWords.h"

#include <array>
#include <cstddef>

namespace Rtf2Html {

namespace {
struct TWordEntry
{
    std::string_view Text;
    TWordId Id;
};

constexpr TWordEntry KWords[] = {
    {"b", TWordId::B},
    {"b0", TWordId::B0},
    {"bkmkend", TWordId::BkmkEnd},
    {"bkmkstart", TWordId::BkmkStart},
    {"caps", TWordId::Caps},
    {"caps0", TWordId::Caps0},
    {"cell", TWordId::Cell},
    {"colortbl", TWordId::ColorTbl},
    {"emdash", TWordId::EmDash},
    {"emspace", TWordId::EmSpace},
    {"endash", TWordId::EnDash},
    {"enspace", TWordId::EnSpace},
    {"filetbl", TWordId::FileTbl},
    {"fonttbl", TWordId::FontTbl},
    {"footer", TWordId::Footer},
    {"footerf", TWordId::FooterF},
    {"footnote", TWordId::Footnote},
    {"header", TWordId::Header},
    {"headerf", TWordId::HeaderF},
    {"i", TWordId::I},
    {"i0", TWordId::I0},
    {"info", TWordId::Info},
    {"intbl", TWordId::InTbl},
    {"ldblquote", TWordId::LdblQuote},
    {"levelnumbers", TWordId::LevelNumbers},
    {"leveltext", TWordId::LevelText},
    {"line", TWordId::Line},
    {"list", TWordId::List},
    {"listlevel", TWordId::ListLevel},
    {"listname", TWordId::ListName},
    {"listoverridetable", TWordId::ListOverrideTable},
    {"listtable", TWordId::ListTable},
    {"lquote", TWordId::LQuote},
    {"nosupersub", TWordId::NoSuperSub},
    {"page", TWordId::Page},
    {"par", TWordId::Par},
    {"pard", TWordId::Pard},
    {"pict", TWordId::Pict},
    {"plain", TWordId::Plain},
    {"pntext", TWordId::PnText},
    {"pntxta", TWordId::PnTxtA},
    {"pntxtb", TWordId::PnTxtB},
    {"qc", TWordId::Qc},
    {"qr", TWordId::Qr},
    {"rdblquote", TWordId::RdblQuote},
    {"revtbl", TWordId::RevTbl},
    {"row", TWordId::Row},
    {"rquote", TWordId::RQuote},
    {"sect", TWordId::Sect},
    {"sectd", TWordId::Sectd},
    {"sp", TWordId::Sp},
    {"strike", TWordId::Strike},
    {"strike0", TWordId::Strike0},
    {"strikedl", TWordId::StrikeDl},
    {"strikedl0", TWordId::StrikeDl0},
    {"stylesheet", TWordId::StyleSheet},
    {"sub", TWordId::Sub},
    {"super", TWordId::Super},
    {"tab", TWordId::Tab},
    {"template", TWordId::Template},
    {"trowd", TWordId::Trowd},
    {"ul", TWordId::Ul},
    {"ul0", TWordId::Ul0},
    {"uld", TWordId::UlD},
    {"uldash", TWordId::UlDash},
    {"uldashd", TWordId::UlDashD},
    {"uldashdd", TWordId::UlDashDd},
    {"uldb", TWordId::UlDb},
    {"ulnone", TWordId::UlNone},
    {"ulth", TWordId::UlTh},
    {"ulwave", TWordId::UlWave},
    {"v", TWordId::V},
    {"v0", TWordId::V0},
    {"widctlpar", TWordId::WidCtlPar},
};

// Every word of a document is looked up, so the table is an open-addressing hash built at
// compile time: a hash of the length and the first and last two characters, and usually one
// comparison per word.
constexpr size_t KSlots = 512;

constexpr uint32_t Hash(std::string_view text)
{
    const size_t size = text.size();
    const auto at = [&text](size_t i) {
        return static_cast<uint32_t>(static_cast<unsigned char>(text[i]));
    };
    return static_cast<uint32_t>(size) * 131u + at(0) * 31u + at(size > 1 ? 1 : 0) * 7u +
           at(size - 1) * 17u + at(size > 2 ? size - 2 : 0) * 3u;
}

// Slot -> index into KWords plus one; 0 is an empty slot.
constexpr std::array<uint8_t, KSlots> BuildSlots()
{
    std::array<uint8_t, KSlots> slots{};
    for (size_t i = 0; i < std::size(KWords); ++i) {
        size_t slot = Hash(KWords[i].Text) % KSlots;
        while (slots[slot] != 0)
            slot = (slot + 1) % KSlots;
        slots[slot] = static_cast<uint8_t>(i + 1);
    }
    return slots;
}

constexpr std::array<uint8_t, KSlots> KSlotTable = BuildSlots();
} // namespace

TWordId FindWord(std::string_view text)
{
    // No known word is longer than "listoverridetable", and the only digit a known word has
    // is a final "0" (most words with a number are unknown: "fs20", "lang1033").
    if (text.empty() || text.size() > 17)
        return TWordId::Unknown;
    const char last = text.back();
    if (last >= '1' && last <= '9')
        return TWordId::Unknown;
    for (size_t slot = Hash(text) % KSlots; KSlotTable[slot] != 0; slot = (slot + 1) % KSlots) {
        const TWordEntry &entry = KWords[KSlotTable[slot] - 1];
        if (entry.Text == text)
            return entry.Id;
    }
    return TWordId::Unknown;
}

namespace {

// The words whose group both the main reader and the table reader skip.
bool IsSkippedByBoth(TWordId word)
{
    switch (word) {
    case TWordId::BkmkStart:
    case TWordId::BkmkEnd:
    case TWordId::FileTbl:
    case TWordId::Footer:
    case TWordId::FooterF:
    case TWordId::Footnote:
    case TWordId::Header:
    case TWordId::HeaderF:
    case TWordId::LevelNumbers:
    case TWordId::LevelText:
    case TWordId::List:
    case TWordId::ListLevel:
    case TWordId::ListName:
    case TWordId::ListOverrideTable:
    case TWordId::ListTable:
    case TWordId::Pict:
    case TWordId::RevTbl:
    case TWordId::Sp:
    case TWordId::Template:
        return true;
    default:
        return false;
    }
}

} // namespace

bool IsMainSkipped(TWordId word)
{
    return IsSkippedByBoth(word) || word == TWordId::Info || word == TWordId::PnText;
}

bool IsTableSkipped(TWordId word)
{
    // Not "info" or "pntext" (a cell shows its list number), but the text before and after
    // a number.
    return IsSkippedByBoth(word) || word == TWordId::PnTxtB || word == TWordId::PnTxtA;
}

} // namespace Rtf2Html
