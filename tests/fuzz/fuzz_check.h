#pragma once

// Shared by the fuzz targets: a property that does not hold stops the run as a crash, so
// libFuzzer keeps the input and the corpus replay fails.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace lexanta::fuzz {

inline void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz property broken: %s\n", what);
        std::abort();
    }
}

inline std::string_view asBytes(const unsigned char* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace lexanta::fuzz
