#include "core/interchange/text_decoding.h"

#include "platform/codepage.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace lexanta {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEBom = "\xFF\xFE";
constexpr std::string_view kUtf16BEBom = "\xFE\xFF";

ReadError invalidAt(std::string_view text, std::size_t at, const QString& reason) {
    return {QStringLiteral("line %1").arg(lineOfOffset(text, at)), reason};
}

// UTF-16 into UTF-8; a lone or cut-off surrogate is refused (its line named by the line feeds
// before it).
ReadError utf16ToUtf8(std::string_view bytes, bool bigEndian, DecodedText& out) {
    if (bytes.size() % 2 != 0)
        return {QString(), QStringLiteral("UTF-16 text with an odd number of bytes")};
    const std::size_t units = bytes.size() / 2;
    std::string& utf8 = out.storage;
    utf8.reserve(bytes.size() + bytes.size() / 2);
    long long line = 1;
    const auto unitAt = [&](std::size_t i) -> char32_t {
        const auto hi = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]);
        const auto lo = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]);
        return char32_t(hi) << 8 | lo;
    };
    for (std::size_t i = 0; i < units; ++i) {
        char32_t c = unitAt(i);
        if (c == '\n')
            ++line;
        if (c >= 0xD800 && c <= 0xDFFF) {
            const bool pair =
                c < 0xDC00 && i + 1 < units && unitAt(i + 1) >= 0xDC00 && unitAt(i + 1) <= 0xDFFF;
            if (!pair)
                return {QStringLiteral("line %1").arg(line),
                        QStringLiteral("not valid UTF-16 (a lone surrogate)")};
            c = 0x10000 + ((c - 0xD800) << 10) + (unitAt(++i) - 0xDC00);
        }
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += static_cast<char>(0xE0 | (c >> 12));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | (c >> 18));
            utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    out.text = utf8;
    return {};
}

} // namespace

std::optional<TextEncoding> parseTextEncoding(const QString& name) {
    const QString n = name.trimmed().toLower().remove(QLatin1Char('_'));
    if (n.isEmpty() || n == QLatin1String("auto"))
        return TextEncoding{};
    if (n == QLatin1String("utf-8") || n == QLatin1String("utf8"))
        return TextEncoding{TextEncoding::Kind::Utf8, 0};
    if (n == QLatin1String("utf-16le") || n == QLatin1String("utf16le"))
        return TextEncoding{TextEncoding::Kind::Utf16LE, 0};
    if (n == QLatin1String("utf-16be") || n == QLatin1String("utf16be"))
        return TextEncoding{TextEncoding::Kind::Utf16BE, 0};
    if (n == QLatin1String("utf-16") || n == QLatin1String("utf16"))
        return TextEncoding{}; // which one the byte-order mark says
    QString digits = n;
    for (const char* prefix : {"windows-", "windows", "cp"})
        if (digits.startsWith(QLatin1String(prefix))) {
            digits.remove(0, static_cast<qsizetype>(std::char_traits<char>::length(prefix)));
            break;
        }
    bool number = false;
    const int page = digits.toInt(&number);
    if (!number || page <= 0 || !CodePage::get(page).isAvailable())
        return std::nullopt;
    return TextEncoding{TextEncoding::Kind::CodePage, page};
}

QString textEncodingName(const TextEncoding& encoding) {
    switch (encoding.kind) {
    case TextEncoding::Kind::Detect:
        return QStringLiteral("auto");
    case TextEncoding::Kind::Utf8:
        return QStringLiteral("utf-8");
    case TextEncoding::Kind::Utf16LE:
        return QStringLiteral("utf-16le");
    case TextEncoding::Kind::Utf16BE:
        return QStringLiteral("utf-16be");
    case TextEncoding::Kind::CodePage:
        break;
    }
    return QStringLiteral("windows-%1").arg(encoding.codePage);
}

std::size_t firstInvalidUtf8(std::string_view text) {
    const auto* begin = reinterpret_cast<const unsigned char*>(text.data());
    const auto* p = begin;
    const auto* end = p + text.size();
    while (p < end) {
        // Eight ASCII bytes at a time where they line up.
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ull)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            if (c == 0xE0)
                lo = 0xA0;
            else if (c == 0xED)
                hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F;
        } else {
            return static_cast<std::size_t>(p - begin);
        }
        if (end - p <= more || p[1] < lo || p[1] > hi)
            return static_cast<std::size_t>(p - begin);
        for (int i = 2; i <= more; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return static_cast<std::size_t>(p - begin);
        p += more + 1;
    }
    return std::string_view::npos;
}

long long lineOfOffset(std::string_view text, std::size_t at) {
    at = std::min(at, text.size());
    long long line = 1;
    for (std::size_t i = 0; i < at; ++i) {
        if (text[i] == '\n')
            ++line;
        else if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))
            ++line;
    }
    return line;
}

namespace {

ReadError decodeTextAs(std::string_view bytes, const TextEncoding& encoding, DecodedText& out) {
    TextEncoding::Kind kind = encoding.kind;
    if (kind == TextEncoding::Kind::Detect) {
        if (bytes.starts_with(kUtf16LEBom))
            kind = TextEncoding::Kind::Utf16LE;
        else if (bytes.starts_with(kUtf16BEBom))
            kind = TextEncoding::Kind::Utf16BE;
        else
            kind = TextEncoding::Kind::Utf8;
    }
    switch (kind) {
    case TextEncoding::Kind::Detect:
    case TextEncoding::Kind::Utf8: {
        if (bytes.starts_with(kUtf8Bom)) {
            bytes.remove_prefix(kUtf8Bom.size());
            out.hadByteOrderMark = true;
        }
        const std::size_t bad = firstInvalidUtf8(bytes);
        if (bad != std::string_view::npos)
            return invalidAt(bytes, bad,
                             encoding.kind == TextEncoding::Kind::Detect
                                 ? QStringLiteral("not valid UTF-8 (name the file's character "
                                                  "set, such as windows-1251)")
                                 : QStringLiteral("not valid UTF-8"));
        out.text = bytes;
        return {};
    }
    case TextEncoding::Kind::Utf16LE:
    case TextEncoding::Kind::Utf16BE: {
        const bool big = kind == TextEncoding::Kind::Utf16BE;
        if (bytes.starts_with(big ? kUtf16BEBom : kUtf16LEBom)) {
            bytes.remove_prefix(2);
            out.hadByteOrderMark = true;
        }
        return utf16ToUtf8(bytes, big, out);
    }
    case TextEncoding::Kind::CodePage:
        break;
    }
    // Every byte of a code page decodes to some character; undefined bytes to characters of
    // their own, which a field of the same page gives back as the same byte.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        out.text = bytes;
        return {};
    }
    const QByteArray utf8 = CodePage::get(encoding.codePage).decode(bytes).toUtf8();
    out.storage.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    out.text = out.storage;
    return {};
}

} // namespace

ReadError decodeText(std::string_view bytes, const TextEncoding& encoding, DecodedText& out) {
    out = DecodedText{};
    // A spreadsheet or an Anki package given as text would only be reported as bad UTF-8.
    if (bytes.starts_with("PK\x03\x04"))
        return {QString(), QStringLiteral("a zip archive, not text: a spreadsheet is imported as "
                                          "ODS or XLSX, and an Anki package (.apkg, .colpkg) as "
                                          "Anki")};
    if (const ReadError e = decodeTextAs(bytes, encoding, out); e.isError())
        return e;
    // A NUL would end the field early wherever the vocabulary is read; in a "UTF-8" file it most
    // often means UTF-16 without a byte-order mark.
    if (const std::size_t nul = out.text.find('\0'); nul != std::string_view::npos)
        return invalidAt(out.text, nul,
                         encoding.kind == TextEncoding::Kind::Detect && !out.hadByteOrderMark
                             ? QStringLiteral("a NUL character (U+0000): is the file UTF-16 "
                                              "without a byte-order mark? Name its character set")
                             : QStringLiteral("a NUL character (U+0000), which no field can hold"));
    return {};
}

} // namespace lexanta
