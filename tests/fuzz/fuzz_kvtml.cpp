// The kvtml reader: see fuzz_list_check.h for what every accepted file must give.
#include "fuzz/fuzz_list_check.h"

using namespace lexanta;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the two identifiers read.
    ListReadOptions options;
    options.languages = std::array<int, 2>{data[0] % 3, data[0] / 3 % 3};
    fuzz::checkList(ListFormat::Kvtml, fuzz::asBytes(data + 1, size - 1), options);
    return 0;
}
