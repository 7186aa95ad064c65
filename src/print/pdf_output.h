#pragma once

// A worksheet written as a PDF file. The pages go to the file as they are painted, and the
// file replaces its target only once it is whole (as writeWholeFile writes files).

#include "platform/file_io.h"
#include "print/worksheet.h"

namespace lexanta {

struct PdfOutcome {
    IoResult io;
    PaintResult paint;
    bool ok() const { return io.ok && paint.complete; }
};

// Writes the worksheet to `path` ("-": standard output). A QGuiApplication must exist. A
// cancel leaves the target as it was.
PdfOutcome writeWorksheetPdf(const QString& path, const Vocabulary& vocabulary,
                             const std::vector<int>& entries, const PrintOptions& options,
                             const PaintLimits& limits = {});

} // namespace lexanta
