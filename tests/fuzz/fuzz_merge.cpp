// Merge: the open rows stay as they were and exactly the merged file's entries follow them.
#include "fuzz/fuzz_check.h"
#include "vocab/lut_format.h"

using namespace lexanta;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    EntryTable table;
    table.setRowCount(3);
    Entry kept;
    kept[kQuestion] = "cat";
    kept[kAnswer] = "Katze";
    table.setEntry(1, kept);
    const int before = table.rowCount();
    const int added = mergeEntries(fuzz::asBytes(data, size), table);
    fuzz::require(added >= 0 && table.rowCount() == before + added, "row count grows by the added");
    fuzz::require(table.entry(1) == kept && table.isBlank(2), "open rows untouched");
    for (int r = before; r < table.rowCount(); ++r)
        for (int c = kQuestion; c <= kStoredColumns; ++c)
            fuzz::require(table.cell(c, r).find('\n') == std::string::npos,
                          "no line end in a cell");
    return 0;
}
