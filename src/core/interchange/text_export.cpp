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
        appendCssString(out, fonts[f].face, ansi);
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
