#include "platform/charset_coverage.h"

#include "platform/codepage.h"

#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/uset.h>

#include <algorithm>
#include <array>
#include <memory>

namespace lexanta {

namespace {

struct Candidate {
    int charset;
    int codePage;
};

constexpr std::array<Candidate, 14> kCandidates{{
    {0, 1252},
    {238, 1250},
    {204, 1251},
    {161, 1253},
    {162, 1254},
    {186, 1257},
    {177, 1255},
    {178, 1256},
    {222, 874},
    {163, 1258},
    {128, 932},
    {134, 936},
    {129, 949},
    {136, 950},
}};

constexpr std::uint32_t kAllCandidates = (1u << kCandidates.size()) - 1;
// The single-byte pages come first among the candidates.
constexpr std::size_t kSingleByteCandidates = 10;

int candidateIndexOfCodePage(int codePage) {
    for (std::size_t i = 0; i < kCandidates.size(); ++i)
        if (kCandidates[i].codePage == codePage)
            return static_cast<int>(i);
    return -1;
}

// For every BMP character, the candidates whose code page maps it both ways. No candidate
// page holds a character beyond the BMP.
class CoverageTable {
public:
    CoverageTable() : masks_(new std::uint16_t[0x10000]()) {
        for (std::size_t i = 0; i < kCandidates.size(); ++i) {
            const QByteArray name = "windows-" + QByteArray::number(kCandidates[i].codePage);
            UErrorCode error = U_ZERO_ERROR;
            UConverter* converter = ucnv_open(name.constData(), &error);
            if (U_FAILURE(error))
                continue;
            USet* set = uset_openEmpty();
            ucnv_getUnicodeSet(converter, set, UCNV_ROUNDTRIP_SET, &error);
            if (U_SUCCESS(error)) {
                const int32_t ranges = uset_getItemCount(set);
                for (int32_t r = 0; r < ranges; ++r) {
                    UChar32 first = 0, last = 0;
                    UErrorCode itemError = U_ZERO_ERROR;
                    if (uset_getItem(set, r, &first, &last, nullptr, 0, &itemError) != 0)
                        continue; // a string, not a range
                    for (UChar32 c = first; c <= std::min<UChar32>(last, 0xFFFF); ++c)
                        masks_[c] |= static_cast<std::uint16_t>(1u << i);
                }
            }
            uset_close(set);
            ucnv_close(converter);
        }
        for (char32_t c = 0; c < 0x80; ++c)
            masks_[c] = static_cast<std::uint16_t>(kAllCandidates);
    }
    std::uint16_t operator[](char32_t c) const { return c <= 0xFFFF ? masks_[c] : 0; }

private:
    std::unique_ptr<std::uint16_t[]> masks_;
};

const CoverageTable& coverageTable() {
    static const CoverageTable table;
    return table;
}

} // namespace

const std::vector<int>& candidateCharsets() {
    static const std::vector<int> sets = [] {
        std::vector<int> v;
        for (const Candidate& c : kCandidates)
            v.push_back(c.charset);
        return v;
    }();
    return sets;
}

void CharsetCoverage::addCodePoint(char32_t c) {
    if (c < 0x80)
        return;
    ascii_ = false;
    const std::uint32_t held = coverageTable()[c];
    mask_ &= held;
    constexpr std::uint32_t singleByte = (1u << kSingleByteCandidates) - 1;
    if ((held & singleByte) == 0 &&
        std::find(unheldSeen_.begin(), unheldSeen_.end(), c) == unheldSeen_.end()) {
        unheldSeen_.push_back(c);
        if (QChar::requiresSurrogates(c)) {
            unheld_ += QChar(QChar::highSurrogate(c));
            unheld_ += QChar(QChar::lowSurrogate(c));
        } else {
            unheld_ += QChar(static_cast<char16_t>(c));
        }
    }
}

void CharsetCoverage::add(QStringView text) {
    const QChar* p = text.data();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = p[i].unicode();
        if (c < 0x80)
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < n && p[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), p[i + 1].unicode());
            ++i;
        }
        addCodePoint(c);
    }
}

void CharsetCoverage::addUtf8(std::string_view utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        // Runs of ASCII first: most texts are mostly ASCII.
        while (p < end && *p < 0x80)
            ++p;
        if (p == end)
            break;
        const unsigned char b = *p;
        char32_t c;
        int more;
        if (b >= 0xF0) {
            c = b & 0x07;
            more = 3;
        } else if (b >= 0xE0) {
            c = b & 0x0F;
            more = 2;
        } else {
            c = b & 0x1F;
            more = 1;
        }
        ++p;
        for (int i = 0; i < more && p < end; ++i, ++p)
            c = (c << 6) | (*p & 0x3F);
        addCodePoint(c);
    }
}

bool CharsetCoverage::holdsAll(int charset) const {
    const int index = candidateIndexOfCodePage(codePageForCharset(charset));
    if (index < 0)
        return ascii_;
    return (mask_ >> index) & 1u;
}

std::optional<int> CharsetCoverage::choose(int current) const {
    if (holdsAll(current))
        return current;
    const int system = candidateIndexOfCodePage(systemAnsiCodePage());
    if (system >= 0 && static_cast<std::size_t>(system) < kSingleByteCandidates &&
        ((mask_ >> system) & 1u))
        return kCandidates[static_cast<std::size_t>(system)].charset;
    for (std::size_t i = 0; i < kSingleByteCandidates; ++i)
        if ((mask_ >> i) & 1u)
            return kCandidates[i].charset;
    return std::nullopt;
}

QString describeCharacter(char32_t c) {
    char name[256];
    UErrorCode error = U_ZERO_ERROR;
    const int32_t length =
        u_charName(static_cast<UChar32>(c), U_UNICODE_CHAR_NAME, name, sizeof name, &error);
    QString code = QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0'));
    code = code.toUpper();
    if (U_SUCCESS(error) && length > 0)
        code += QLatin1Char(' ') + QString::fromLatin1(name, length);
    // The character itself, unless it shows as nothing (controls, format characters, blanks).
    const int category = u_charType(static_cast<UChar32>(c));
    if (category == U_CONTROL_CHAR || category == U_FORMAT_CHAR || category == U_UNASSIGNED ||
        category == U_SPACE_SEPARATOR || category == U_LINE_SEPARATOR ||
        category == U_PARAGRAPH_SEPARATOR || category == U_SURROGATE ||
        category == U_PRIVATE_USE_CHAR)
        return code;
    QString glyph;
    if (QChar::requiresSurrogates(c)) {
        glyph += QChar(QChar::highSurrogate(c));
        glyph += QChar(QChar::lowSurrogate(c));
    } else {
        glyph += QChar(static_cast<char16_t>(c));
    }
    return QStringLiteral("\"%1\" (%2)").arg(glyph, code);
}

QString describeCharacters(const QString& text) {
    QStringList parts;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        parts << describeCharacter(c);
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace lexanta
