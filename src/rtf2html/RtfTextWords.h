#pragma once

#include <cstdint>
#include <string_view>

namespace Rtf2Html {

// The control words that change what the document model's text holds or where text goes, as
// the text reader (TRtfTextReader) knows them; every other word only formats, or the model
// passes it over.
enum class TTextWord : uint8_t {
    Other,
    // Destinations.
    fonttbl,
    colortbl,
    stylesheet,
    listtable,
    list,
    listlevel,
    leveltext,
    listoverridetable,
    listoverride,
    pn,
    pntxtb,
    pntxta,
    pict,
    PictureKind, // \pngblip, \jpegblip, \emfblip, \wmetafile, \dibitmap, \wbitmap, ...
    upr,
    ud,
    field,
    fldinst,
    fldrslt,
    footnote,
    shppict,
    nonshppict,
    do_,
    shpinst,
    nesttableprops,
    shprslt,
    ReadInPlace, // \result, \object: their content is read where it stands
    Skipped,     // destinations whose content the model does not show
    ShapeGroup,  // \shp, \shpgrp: shapes
    Shape,       // \shptxt, \dptxbxtext: the text of text boxes
    // Entries of the header's tables.
    f,
    fcharset,
    levelnumbers,
    lfolevel,
    // Formatting of characters; and that which decides the code page or the table of text.
    CharFormat, // \b, \i, \ul..., \strike, \fs, \cf, \highlight, \super, \v, ...
    plain,
    s,
    cs,
    ts,
    pard,
    intbl,
    itap,
    // Rows of tables.
    trowd,
    cellx,
    trleft,
    // Cells that begin a merge, and cells merged into the one left of them or above them.
    clmgf,
    clvmgf,
    clmrg,
    clvmrg,
    // The body.
    deff,
    ansicpg,
    mac,
    pc,
    pca,
    uc,
    u,
    par,
    sect,
    cell,
    row,
    nestcell, // the cells and rows of tables in tables
    nestrow,
    chftn,
    tab,
    line,
    page,
    emdash,
    endash,
    emspace,
    enspace,
    qmspace,
    bullet,
    lquote,
    rquote,
    ldblquote,
    rdblquote,
    zwj,
    zwnj,
    ltrmark,
    rtlmark,
};

// The word of a control word's letters (the model's words are case-sensitive).
TTextWord TextWordOf(std::string_view letters);
// The character of a word that stands for one, 0 for the others.
char16_t CharacterOf(TTextWord word);

} // namespace Rtf2Html
