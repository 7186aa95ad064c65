// The csv reader: see fuzz_list_check.h for what every accepted file must give.
#include "fuzz/fuzz_list_check.h"

using namespace lexanta;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the delimiter (detected or given) and the header choice.
    ListReadOptions options;
    static const char* const delimiters[] = {"", ",", ";", "\t"};
    options.delimiter = QString::fromLatin1(delimiters[data[0] % 4]);
    options.header = static_cast<HeaderChoice>(data[0] / 4 % 3);
    fuzz::checkList(ListFormat::Csv, fuzz::asBytes(data + 1, size - 1), options);
    return 0;
}
