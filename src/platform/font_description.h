#pragma once

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

// A font with every attribute a vocabulary file stores and the window uses: the Windows
// description of a font (face name bytes in the system code page, colour, styles and the
// character set that decides the code page of the text shown in it).
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

} // namespace lexanta
