#pragma once

// Which Windows character set can show a text: a .lut field keeps its text in the code page of
// its font's character set, so a text from a Unicode source needs a set whose page holds every
// one of its characters (Cyrillic: 204, Greek: 161, Central European: 238, ...).

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace lexanta {

// The character sets looked at, in the order they are preferred after the system's own: the
// single-byte pages first (Western, Central European, Cyrillic, Greek, Turkish, Baltic, Hebrew,
// Arabic, Thai, Vietnamese), then the East Asian double-byte ones.
const std::vector<int>& candidateCharsets();

// Collects texts and tells which candidate sets' code pages hold every character of them, as
// round-trip mappings (no best fit, no substitute).
class CharsetCoverage {
public:
    void add(QStringView text);
    // `utf8` must be valid UTF-8.
    void addUtf8(std::string_view utf8);

    // The code page of `charset` holds every character added. Sets whose page is not a
    // candidate's (OEM, Mac, Johab) are taken to hold ASCII only.
    bool holdsAll(int charset) const;
    // Characters that no single-byte candidate set holds, each once, in order of appearance.
    const QString& unheld() const { return unheld_; }
    // Only ASCII was added (every set holds it).
    bool isAscii() const { return ascii_; }
    // The set to give the field: `current` when its page holds everything, else the system's,
    // else the first single-byte candidate that does; nothing when none does (a double-byte set
    // is never chosen for a field that is not in one already).
    std::optional<int> choose(int current) const;

private:
    void addCodePoint(char32_t c);

    std::uint32_t mask_ = ~std::uint32_t(0); // bit i: candidateCharsets()[i] holds all so far
    bool ascii_ = true;
    QString unheld_;
    std::vector<char32_t> unheldSeen_;
};

// "\"‐\" (U+2010 HYPHEN)" for a message: the code point and Unicode name beside the character,
// so that look-alikes can be told apart (an invisible one is named without its glyph).
QString describeCharacter(char32_t c);
// Each character of `text` described, separated by ", ".
QString describeCharacters(const QString& text);

} // namespace lexanta
