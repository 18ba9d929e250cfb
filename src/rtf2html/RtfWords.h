#pragma once

#include <cstdint>
#include <string_view>

namespace Rtf2Html {

// The control words the converter acts on, each named after its text ("b0" is B0).
enum class TWordId : uint8_t {
    Unknown,
    B,
    B0,
    BkmkEnd,
    BkmkStart,
    Caps,
    Caps0,
    Cell,
    ColorTbl,
    EmDash,
    EmSpace,
    EnDash,
    EnSpace,
    FileTbl,
    FontTbl,
    Footer,
    FooterF,
    Footnote,
    Header,
    HeaderF,
    I,
    I0,
    Info,
    InTbl,
    LdblQuote,
    LevelNumbers,
    LevelText,
    Line,
    List,
    ListLevel,
    ListName,
    ListOverrideTable,
    ListTable,
    LQuote,
    NoSuperSub,
    Page,
    Par,
    Pard,
    Pict,
    Plain,
    PnText,
    PnTxtA,
    PnTxtB,
    Qc,
    Qr,
    RdblQuote,
    RevTbl,
    Row,
    RQuote,
    Sect,
    Sectd,
    Sp,
    Strike,
    Strike0,
    StrikeDl,
    StrikeDl0,
    StyleSheet,
    Sub,
    Super,
    Tab,
    Template,
    Trowd,
    Ul,
    Ul0,
    UlD,
    UlDash,
    UlDashD,
    UlDashDd,
    UlDb,
    UlNone,
    UlTh,
    UlWave,
    V,
    V0,
    WidCtlPar,
};

// The word whose whole text (letters and any digits) is text, or Unknown.
TWordId FindWord(std::string_view text);

// Words whose group the main reader skips.
bool IsMainSkipped(TWordId word);
// Words whose group the table reader skips (a slightly different list).
bool IsTableSkipped(TWordId word);

} // namespace Rtf2Html
