#pragma once

#include "core/vocab/entry_table.h"
#include "platform/font_description.h"

#include <array>
#include <cstdint>
#include <string>

namespace lexanta {

inline constexpr int kMinFontSize = 6;
inline constexpr int kMaxFontSize = 24;

// Everything a .lut file carries besides the entries. Texts are bytes.
struct VocabularyHeader {
    std::string questionsLanguage;
    std::string answersLanguage;
    std::string title;
    std::string author;
    std::string date;
    std::array<std::string, kShownFields> layoutNames{"00000409", "00000409", "00000409"};
    int fontSize = 10;
    std::array<FieldFont, kShownFields> fonts{FieldFont{}, FieldFont{"Arial", 10, kColorBlack},
                                              FieldFont{}};

    bool operator==(const VocabularyHeader&) const = default;
};

inline const std::string kDefaultCounterLine = "0\n";

// The document: the header, the entries, the counter line (kept with its line end
// as read in text mode, i.e. "\n") and the format flag.
struct Vocabulary {
    VocabularyHeader header;
    EntryTable entries;
    std::string counterLine = kDefaultCounterLine;
    bool currentFormat = true;
};

} // namespace lexanta
