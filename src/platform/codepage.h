#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <string_view>

namespace lexanta {

// Windows code page that a font character set stands for (0 -> 1252, 204 -> 1251, ...);
// 1 (default) and unknown sets give the system ANSI code page.
int codePageForCharset(int charset);

// The font character set that selects a code page (1251 -> 204, 1252 -> 0); -1 for a page
// no character set selects.
int charsetForCodePage(int codePage);

// The ANSI code page Windows would pick for a locale name such as "ru_RU.UTF-8";
// empty, "C" and "POSIX" give 1252.
int ansiCodePageForLocale(const QString& localeName);

// The ANSI code page of this process's locale, from LC_ALL / LC_CTYPE / LANG.
int localeAnsiCodePage();

// The code page that stands for the system's everywhere (description, font names, fields
// whose character set is 1, default): the user's choice if any, else the locale's.
int systemAnsiCodePage();
// The user's choice in place of the locale's page; 0 follows the locale again.
void setSystemAnsiCodePageOverride(int codePage);
int systemAnsiCodePageOverride();

struct EncodeResult {
    std::string bytes;   // what the code page could hold
    QString unencodable; // the characters it could not hold, each once
    bool ok() const { return unencodable.isEmpty(); }
};

// Converts between the bytes of one Windows code page and Unicode text.
// Decoding is total: every byte decodes to some character. Encoding never
// substitutes silently: characters the page cannot hold are reported.
//
// Bytes a page leaves undefined still decode, to characters that encode back to
// the same byte: in single-byte pages to the C1 control U+0080 + (b - 0x80) for
// 0x80-0x9F and to the private-use character U+F700 + b otherwise, so every
// byte string of a single-byte page survives decode and encode unchanged. In
// multi-byte pages (932, 936, 949, 950, 1361) each byte of an invalid or
// unassigned sequence becomes U+10FF00 + b. The few double-byte codes that a
// page maps to the same character as another code (e.g. the NEC-selected IBM
// extensions of 932) encode back to the page's preferred code.
class CodePage {
public:
    explicit CodePage(int codePage);
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    int number() const { return number_; }
    // False when no converter for the page exists here; it then converts as 1252.
    bool isAvailable() const { return available_; }
    QString decode(std::string_view bytes) const;
    QString decode(const char* data, std::size_t size) const;
    EncodeResult encode(const QString& text) const;

    // Shared converter for a code page number (cached, not thread-safe).
    static const CodePage& get(int codePage);
    static const CodePage& forCharset(int charset) { return get(codePageForCharset(charset)); }

private:
    struct Impl;
    int number_;
    bool available_ = true;
    std::unique_ptr<Impl> impl_;
};

} // namespace lexanta
