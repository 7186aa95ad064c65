#pragma once

#include "editing/entry_table.h"

#include <array>
#include <cstdint>
#include <string>

namespace lexanta {

// Colour values as the file stores them: 0x00BBGGRR, or negative for a system colour.
inline constexpr std::int32_t kColorWindowText = static_cast<std::int32_t>(0x80000008u);
inline constexpr std::int32_t kColorBlack = 0;
inline constexpr std::int32_t kColorNavy = 0x800000;

inline constexpr int kCharsetAnsi = 0;
inline constexpr int kCharsetDefault = 1;
inline constexpr int kCharsetCyrillic = 204;

// A field font with every attribute the file and the window use.
struct FieldFont {
    std::string face = "Arial"; // bytes, as stored
    int pointSize = 10;
    std::int32_t color = kColorWindowText;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = kCharsetDefault; // 0..255

    bool operator==(const FieldFont&) const = default;
};

enum FieldIndex : int { kQuestionField = 0, kAnswerField = 1, kCommentField = 2 };

inline constexpr int kMinFontSize = 6;
inline constexpr int kMaxFontSize = 24;

// Everything a .lut file carries besides the entries. Texts are bytes.
struct VocabularyHeader {
    std::string questionsLanguage;
    std::string answersLanguage;
    std::string title;
    std::string author;
    std::string date;
    std::array<std::string, 3> layoutNames{"00000409", "00000409", "00000409"};
    int fontSize = 10;
    std::array<FieldFont, 3> fonts{FieldFont{}, FieldFont{"Arial", 10, kColorBlack}, FieldFont{}};

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
