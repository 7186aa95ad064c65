#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace lexanta {

class CodePage;

// Find's comparison of a single-byte code page, done on the bytes: each byte stands for one
// UTF-16 unit of the decoded (and, without match case, locale-lower-cased) text, so a cell's
// bytes mapped through `unitClass` contain the mapped needle exactly where the text compared by
// find contains the needle. Bytes whose lower case depends on their neighbours (the Greek
// capital sigma, the Turkish dotted I before a combining dot) are marked: a cell holding one is
// compared as text.
class ByteFold {
public:
    // The fold of `page` for the user's locale as it is now, or nullptr for pages where a byte
    // is not one unit (the multi-byte pages). Built once per page, locale and case mode.
    static std::shared_ptr<const ByteFold> forPage(const CodePage& page, bool matchCase);

    // The smallest byte whose unit equals that of `byte`.
    std::uint8_t unitClass(std::uint8_t byte) const { return class_[byte]; }
    bool contextual(std::uint8_t byte) const { return contextual_[byte]; }
    bool anyContextual() const { return anyContextual_; }
    // `needle` (already folded as find folds it) as classes; false when some unit of it is no
    // byte's unit, so that no cell without a contextual byte contains it.
    bool classesOf(const QString& needle, std::string& out) const;

private:
    std::array<char16_t, 256> unit_{};
    std::array<std::uint8_t, 256> class_{};
    std::array<bool, 256> contextual_{};
    bool anyContextual_ = false;

    friend std::shared_ptr<const ByteFold> buildByteFold(const CodePage&, bool);
};

} // namespace lexanta
