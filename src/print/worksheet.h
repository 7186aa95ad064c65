#pragma once

// Worksheets of a vocabulary on paper: a word list, a test with its answer key, a fold-over
// sheet and two-sided flash cards, painted page by page on any paged device (a PDF writer, a
// printer, a print preview). Pages are painted and handed on one at a time, so a list of a
// million entries takes no more memory than one of ten.

#include "core/vocab/entry_table.h"
#include "core/vocab/vocabulary.h"
#include "print/print_options.h"

#include <QPageLayout>

#include <functional>
#include <vector>

class QPagedPaintDevice;

namespace lexanta {

// The entries to print, in order: `chosen` (all entries when empty) without the blank ones.
std::vector<int> printableEntries(const EntryTable& table, const std::vector<int>& chosen = {});

// The page the options ask for: its size (the locale's paper for FromLocale), portrait, and
// no margins of the device's own, since the sheets paint their margins themselves.
QPageLayout worksheetPageLayout(const PrintOptions& options);

struct PaintLimits {
    int maxPages = 0; // stop after this many pages (a preview); 0: all
    // The pages the device gets, from 1 (a printer's page range); lastPage 0: to the end.
    int firstPage = 1, lastPage = 0;
    ProgressCallback progress;    // entries done of all to paint
    std::function<bool()> cancel; // asked between pages; true stops
};

struct PaintResult {
    int pages = 0;
    bool complete = true; // false when a limit or a cancel stopped it
};

// Paints the worksheet on `device`, whose page layout is worksheetPageLayout(options); options
// that fail checkOptions paint nothing. `entries` come from printableEntries; an empty list
// paints one page with the heading.
PaintResult paintWorksheet(QPagedPaintDevice& device, const Vocabulary& vocabulary,
                           const std::vector<int>& entries, const PrintOptions& options,
                           const PaintLimits& limits = {});

// The order of a test variant: the entries as given for an unshuffled single test, else
// shuffled with the seed, each variant with a seed of its own.
std::vector<int> variantOrder(const std::vector<int>& entries, const PrintOptions& options,
                              int variant);

} // namespace lexanta
