#include "core/interchange/text_export.h"

#include "platform/codepage.h"

#include <algorithm>

namespace lexanta {

namespace {

void appendEscaped(std::string& out, std::string_view utf8) {
    for (char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
}

// `bytes` of code page `page` as UTF-8.
std::string toUtf8(std::string_view bytes, const CodePage& page) {
    // ASCII is the same in every Windows ANSI code page and in UTF-8.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii)
        return std::string(bytes);
    return page.decode(bytes).toUtf8().toStdString();
}

// Appends `bytes` of code page `page` as escaped UTF-8.
void appendText(std::string& out, std::string_view bytes, const CodePage& page) {
    appendEscaped(out, toUtf8(bytes, page));
}

// A quoted CSS string: nothing in it can end the string, the rule or the style element
// (markup is not decoded inside <style>, so CSS escapes stand for every special character).
void appendCssString(std::string& out, std::string_view bytes, const CodePage& page) {
    out += '"';
    for (const char c : toUtf8(bytes, page)) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '"' || c == '\\' || c == '<' || c == '>' || c == '&') {
            static constexpr char hex[] = "0123456789abcdef";
            out += '\\';
            if (u >= 0x10)
                out += hex[u >> 4];
            out += hex[u & 0xF];
            out += ' ';
        } else {
            out += c;
        }
    }
    out += '"';
}

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A face name CSS reads unquoted as that very name: words of ASCII letters, digits, hyphens and
// underscores, each beginning with a letter or an underscore, one blank between them, and no
// keyword or generic family (which would mean something else unquoted). Nothing in such a name
// can end the rule.
bool isPlainFaceName(std::string_view name) {
    static constexpr std::string_view kReserved[] = {
        "inherit",      "initial",       "unset",        "default",   "revert",
        "revert-layer", "serif",         "sans-serif",   "monospace", "cursive",
        "fantasy",      "system-ui",     "math",         "emoji",     "fangsong",
        "ui-serif",     "ui-sans-serif", "ui-monospace", "ui-rounded"};
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find(' ', start), name.size());
        const std::string_view word = name.substr(start, end - start);
        if (word.empty() || !(isAsciiLetter(word[0]) || word[0] == '_'))
            return false;
        for (const char c : word)
            if (!isAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '-' && c != '_')
                return false;
        std::string lower(word);
        for (char& c : lower)
            c = static_cast<char>(c | (isAsciiLetter(c) ? 0x20 : 0));
        if (name.size() == word.size() &&
            std::find(std::begin(kReserved), std::end(kReserved), lower) != std::end(kReserved))
            return false;
        start = end + 1;
    }
    return true;
}

// A face name as a CSS font family: as it stands when plain, else a CSS string.
void appendFontFamily(std::string& out, std::string_view bytes, const CodePage& page) {
    if (isPlainFaceName(bytes))
        out += bytes;
    else
        appendCssString(out, bytes, page);
}

// The tab-delimited lines, each cell as `appendCell(out, bytes, field)` writes it.
template <typename AppendCell>
std::string tabDelimitedLines(const EntryTable& table, AppendCell appendCell) {
    std::string out;
    const int last = table.entryCount() - 1;
    out.reserve(static_cast<std::size_t>(last + 1) * 32);
    for (int i = 0; i <= last; ++i) {
        const EntryView e = table.entry(i);
        for (int field : {kQuestion, kAnswer, kComment}) {
            if (field != kQuestion)
                out += '\t';
            appendCell(out, e[field], field);
        }
        if (i < last)
            out += "\r\n";
    }
    return out;
}

} // namespace

std::string exportTabDelimited(const EntryTable& table) {
    return tabDelimitedLines(table,
                             [](std::string& out, std::string_view cell, int) { out += cell; });
}

std::string exportTabDelimitedUtf8(const EntryTable& table,
                                   const std::array<FieldFont, kShownFields>& fonts) {
    const CodePage* pages[] = {&CodePage::forCharset(fonts[kQuestion].charset),
                               &CodePage::forCharset(fonts[kAnswer].charset),
                               &CodePage::forCharset(fonts[kComment].charset)};
    return tabDelimitedLines(table, [&pages](std::string& out, std::string_view cell, int field) {
        out += pages[field]->decode(cell.data(), cell.size()).toUtf8().toStdString();
    });
}

std::string exportHtml(const EntryTable& table, std::string_view title,
                       const std::array<FieldFont, kShownFields>& fonts) {
    const CodePage& ansi = CodePage::get(systemAnsiCodePage());
    const CodePage* columnPages[] = {&CodePage::forCharset(fonts[kQuestion].charset),
                                     &CodePage::forCharset(fonts[kAnswer].charset),
                                     &CodePage::forCharset(fonts[kComment].charset)};
    int last = table.entryCount() - 1;
    if (table.isBlank(last))
        --last;

    std::string out;
    out.reserve(static_cast<std::size_t>(last + 1) * 96 + 512);
    out += "<html>\r\n<head>\r\n<title>";
    appendText(out, title, ansi);
    out += "</title>\r\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"
           "<style type=\"text/css\">\r\n"
           "<!--\r\n";
    for (int f = 0; f < 3; ++f) {
        out += ".f" + std::to_string(f + 1) + " {  font-family: ";
        appendFontFamily(out, fonts[f].face, ansi);
        out += "}\r\n";
    }
    out += "-->\r\n"
           "</style>\r\n"
           "</head>\r\n"
           "<body bgcolor=\"#FFFFFF\" text=\"#000000\">\r\n"
           "<table border=\"0\" cellspacing=\"0\" cellpadding=\"2\">\r\n";
    for (int i = 0; i <= last; ++i) {
        const EntryView e = table.entry(i);
        out += "<tr>\r\n";
        for (int field : {kQuestion, kAnswer, kComment}) {
            out += "<td class=\"f" + std::to_string(field + 1) + "\">";
            appendText(out, e[field], *columnPages[field]);
            out += "</td>\r\n";
        }
        out += "</tr>\r\n";
    }
    out += "</table>\r\n"
           "</body>\r\n"
           "</html>\r\n";
    return out;
}

std::string exportHtml(const Vocabulary& doc) {
    return exportHtml(doc.entries, doc.header.title, doc.header.fonts);
}

} // namespace lexanta
