#pragma once

// Shared by the list readers' fuzz targets: whatever a reader accepts is valid UTF-8 in every
// cell, and maps to entries of every row (none lost, none made up), refused rows counted.
#include "core/interchange/list_formats.h"
#include "core/interchange/list_mapping.h"
#include "core/interchange/text_decoding.h"
#include "fuzz/fuzz_check.h"

namespace lexanta::fuzz {

inline void checkList(ListFormat format, std::string_view bytes, const ListReadOptions& options) {
    ReadList list;
    const ReadError e = readList(format, bytes, options, list);
    if (e.isError()) {
        require(!e.reason.isEmpty(), "a refusal says why");
        return;
    }
    std::vector<std::string_view> cells;
    for (int r = 0; r < list.sheet.rowCount(); ++r) {
        list.sheet.cells(r, cells);
        require(static_cast<int>(cells.size()) == list.sheet.cellCount(r), "cells of a row");
        for (std::string_view c : cells)
            require(firstInvalidUtf8(c) == std::string_view::npos, "cells are UTF-8");
    }
    MappingChoices choices;
    choices.columns = defaultColumns(list);
    choices.skipFirstRow = list.firstRowIsHeader;
    choices.charsets = {0, 204, 0};
    choices.leaveOutUnheldRows = true;
    const MappedList mapped = mapToEntries(list.sheet, choices);
    const int rows = list.sheet.rowCount() - (list.firstRowIsHeader ? 1 : 0);
    require(mapped.entryCount + mapped.notes.rowsLeftOut == rows, "every row an entry or left out");
    require(mapped.entries.entryCount() == std::max(mapped.entryCount, 1), "entries counted");
    for (int i = 0; i < mapped.entryCount; ++i)
        for (int f = 0; f < 3; ++f)
            require(mapped.entries.text(i, f).find_first_of("\r\n") == std::string_view::npos,
                    "no line break in a cell");
}

} // namespace lexanta::fuzz
