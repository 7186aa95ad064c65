// .lut reader: whatever it reads, writing it and reading that back gives the same fields
// (the writer stores an empty extra field as "0").
#include "core/vocab/lut_format.h"
#include "fuzz/fuzz_check.h"

using namespace lexanta;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view file = fuzz::asBytes(data, size);
    Vocabulary first;
    readVocabulary(file, first);
    const std::string written = serializeVocabulary(first, first.currentFormat);
    Vocabulary second;
    readVocabulary(written, second);
    fuzz::require(second.currentFormat == first.currentFormat, "format kept");
    fuzz::require(second.header == first.header, "header kept");
    // An old-format counter line that would read as the format line is written as "0".
    const bool counterMended =
        !first.currentFormat && first.counterLine == std::string(kFormatLine) + '\n';
    fuzz::require(second.counterLine == (counterMended ? "0\n" : first.counterLine),
                  "counter line kept");
    fuzz::require(second.entries.entryCount() == first.entries.entryCount(), "entry count kept");
    for (int i = 0; i < first.entries.entryCount(); ++i) {
        Entry expected = first.entries.entry(i).toEntry();
        for (const int extra : {kExtra1, kExtra2})
            if (expected[extra].empty())
                expected[extra].assign(1, '0');
        fuzz::require(second.entries.entry(i) == expected, "entries kept");
    }
    fuzz::require(serializeVocabulary(second, second.currentFormat) == written, "writing settles");
    return 0;
}
