#pragma once

#include <climits>

class QPrinter;

// Which pages of a print run go to the printer and how often, as the print dialog chose them.
// Pages count from 1, the first page of the run.
struct TPageSelection
{
    int From = 1;
    int To = INT_MAX;
    // Copies this program makes itself: the ones the printer does not make on its own.
    int Copies = 1;
    bool Collate = true;

    // The page range and copies chosen for a printer.
    static TPageSelection Of(const QPrinter &printer);

    bool Wants(int page) const { return page >= From && page <= To; }
    // Whether no page after this one is wanted.
    bool EndsAt(int page) const { return page >= To; }
    // Runs through the pages (collated copies), and prints of each page in a run.
    int Runs() const { return Collate ? Copies : 1; }
    int PageCopies() const { return Collate ? 1 : Copies; }
};
