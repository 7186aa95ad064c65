// The quizlet reader: see fuzz_list_check.h for what every accepted file must give.
#include "fuzz/fuzz_list_check.h"

using namespace lexanta;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the row separator: a line end or a semicolon.
    ListReadOptions options;
    options.rowSeparator = data[0] % 2 ? QStringLiteral(";") : QString();
    fuzz::checkList(ListFormat::Quizlet, fuzz::asBytes(data + 1, size - 1), options);
    return 0;
}
