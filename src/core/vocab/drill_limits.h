#pragma once

// The drill program reads a .lut line into a fixed buffer: an entry line of more than 998
// characters, or a description line of more than 198, puts its reading out of step. The editor
// reads any length; it only warns before writing such a file.

#include "core/vocab/vocabulary.h"

#include <cstddef>

namespace lexanta {

inline constexpr std::size_t kDrillEntryLineLimit = 998;
inline constexpr std::size_t kDrillDescriptionLineLimit = 198;

struct OverlongTexts {
    int count = 0;              // texts longer than the drill program reads
    bool inDescription = false; // the first is a description text
    int firstEntry = -1;        // else the first entry and field holding one
    int firstField = -1;
};

OverlongTexts findOverlongTexts(const Vocabulary& doc);

} // namespace lexanta
