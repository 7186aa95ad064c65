// The ods reader: see fuzz_list_check.h for what every accepted file must give.
#include "fuzz/fuzz_list_check.h"

using namespace lexanta;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0)
        return 0;
    fuzz::checkList(ListFormat::Ods, fuzz::asBytes(data, size), {});
    return 0;
}
