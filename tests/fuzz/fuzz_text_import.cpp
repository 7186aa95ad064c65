// Text import in its three formats: the first byte picks the format and the columns' code
// pages, the rest is the file. The result is consistent, and a file taken byte for byte
// loses no byte of its fields.
#include "core/interchange/text_import.h"
#include "fuzz/fuzz_check.h"

#include <algorithm>

using namespace lexanta;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0)
        return 0;
    static constexpr int kPages[] = {1252, 1251, 1253, 932, 936, 949, 950, 1361};
    const auto format = static_cast<ImportFormat>(data[0] % 3 + 1);
    const std::array<int, 3> pages{kPages[data[0] / 3 % 8], 1251, kPages[data[0] / 24 % 8]};
    const std::string_view file = fuzz::asBytes(data + 1, size - 1);
    EntryTable table;
    const ImportResult result = importText(file, format, pages, table);
    fuzz::require(result.ok() == (result.problemCount == 0), "ok means no problem");
    fuzz::require(result.problems.size() ==
                      std::min<std::size_t>(result.problemCount, kMaxListedProblems),
                  "problems listed up to the cap");
    fuzz::require(table.entryCount() == std::max(result.entries, 1), "one per entry");
    std::size_t cellBytes = 0;
    for (int i = 0; i < table.entryCount(); ++i)
        for (const int f : {kQuestion, kAnswer, kComment}) {
            fuzz::require(table.text(i, f).find('\n') == std::string::npos, "no LF in a cell");
            cellBytes += table.text(i, f).size();
        }
    if (!result.convertedFromUtf8) {
        // Every byte is a field's, a line end or a TAB between fields (a later TAB of a
        // line belongs to its last field).
        const auto count = [&](char ch) {
            return std::size_t(std::count(file.begin(), file.end(), ch));
        };
        const std::size_t lineEnds = count('\n');
        fuzz::require(cellBytes + lineEnds <= file.size(), "no byte added");
        fuzz::require(cellBytes + lineEnds + count('\t') + count('\r') >= file.size(),
                      "no byte lost");
    }
    return 0;
}
