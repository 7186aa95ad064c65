#pragma once

// The character set of a text list file (CSV, Anki and Quizlet text): Unicode with or without
// a byte-order mark, or a Windows code page the user names. The readers work on UTF-8.

#include "core/interchange/sheet.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace lexanta {

struct TextEncoding {
    enum class Kind {
        Detect,  // a byte-order mark says UTF-8 or UTF-16; else the file must be UTF-8
        Utf8,    // a UTF-8 byte-order mark is skipped
        Utf16LE, // likewise its byte-order mark
        Utf16BE,
        CodePage, // a Windows code page, `codePage`
    };
    Kind kind = Kind::Detect;
    int codePage = 0;
    bool operator==(const TextEncoding&) const = default;
};

// "utf-8", "utf-16", "utf-16le", "utf-16be", "windows-1251", "cp1251", "1251", "auto";
// nothing for a name not known here (or a code page with no converter).
std::optional<TextEncoding> parseTextEncoding(const QString& name);
// The name parseTextEncoding reads back.
QString textEncodingName(const TextEncoding& encoding);

// The file's text as UTF-8, without a byte-order mark. When the bytes are already that, the
// view points into `bytes` and `storage` stays empty.
struct DecodedText {
    std::string storage;
    std::string_view text;
    bool hadByteOrderMark = false;
};

// Decodes `bytes`; UTF-8 that is not valid, UTF-16 with a cut-off or lone surrogate and a NUL
// character in any encoding are refused naming the line.
ReadError decodeText(std::string_view bytes, const TextEncoding& encoding, DecodedText& out);

// Offset of the first byte that is not part of valid UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF), or npos.
std::size_t firstInvalidUtf8(std::string_view text);
// The line (from 1) that holds offset `at`; lines end in LF, CR LF or CR.
long long lineOfOffset(std::string_view text, std::size_t at);

} // namespace lexanta
