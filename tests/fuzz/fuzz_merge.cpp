// Merge: the open rows stay as they were and exactly the merged file's entries follow them.
#include "core/vocab/lut_format.h"
#include "fuzz/fuzz_check.h"

using namespace lexanta;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    EntryTable table;
    table.setEntryCount(2);
    Entry kept;
    kept[kQuestion] = "cat";
    kept[kAnswer] = "Katze";
    table.setEntry(0, kept);
    const int before = table.entryCount();
    const int added = mergeEntries(fuzz::asBytes(data, size), table);
    fuzz::require(added >= 0 && table.entryCount() == before + added,
                  "entry count grows by the added");
    fuzz::require(table.entry(0) == kept && table.isBlank(1), "open entries untouched");
    for (int i = before; i < table.entryCount(); ++i)
        for (int f = 0; f < kFieldCount; ++f)
            fuzz::require(table.text(i, f).find('\n') == std::string::npos,
                          "no line end in a cell");
    return 0;
}
