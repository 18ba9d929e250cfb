#pragma once

#include "print/TPrinterGeometry.h"

#include <QPageLayout>

#include <optional>

// What the printer keeps in the user's settings store under "RichPrint.Settings": below
// "Marges" the margins (8-byte little-endian doubles in the unit in force when they were
// saved), that unit and the orientation; below "Compress" whether preview pages are
// compressed. Needs no printer.
class TPrintSettings
{
public:
    struct TSavedMargins
    {
        TPageMargins Margins;
        TMeasureUnit Unit = muMillimeters;
        QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    };

    // The saved margins, none when nothing is saved under "Marges". A margin that is missing
    // or not 8 bytes throws ELinePrinter "Invalid data type for '<name>'".
    static std::optional<TSavedMargins> LoadMargins();
    static void StoreMargins(const TSavedMargins &saved);

    // Whether preview pages are compressed; so when nothing is saved.
    static bool CompressPreview();
    static void StoreCompressPreview(bool compress);
};
