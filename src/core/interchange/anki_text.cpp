#include "core/interchange/anki_text.h"

#include "core/interchange/csv_format.h"
#include "core/interchange/text_decoding.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cctype>

namespace lexanta {

namespace {

std::string toUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Anki's names for separators, and the characters themselves.
QString separatorNamed(const QString& value) {
    const QString v = value.trimmed().toLower();
    static const std::pair<const char*, const char*> names[] = {
        {"tab", "\t"},  {"comma", ","}, {"semicolon", ";"},
        {"space", " "}, {"pipe", "|"},  {"colon", ":"},
    };
    for (const auto& [name, character] : names)
        if (v == QLatin1String(name))
            return QString::fromLatin1(character);
    return value.size() == 1 ? value : QString();
}

bool isBlockTag(std::string_view name) {
    static const std::string_view tags[] = {
        "br", "div",        "p",   "li",      "ul",      "ol", "tr", "td",
        "th", "table",      "h1",  "h2",      "h3",      "h4", "h5", "h6",
        "hr", "blockquote", "pre", "section", "article", "dd", "dt",
    };
    return std::find(std::begin(tags), std::end(tags), name) != std::end(tags);
}

void appendCodePoint(std::string& out, char32_t c) {
    out += toUtf8(QString::fromUcs4(&c, 1));
}

// Decodes the entity at `text` (after "&"); returns the length used, 0 when it is not one.
std::size_t decodeEntity(std::string_view text, std::string& out) {
    const std::size_t semicolon = text.find(';');
    if (semicolon == std::string_view::npos || semicolon == 0 || semicolon > 10)
        return 0;
    const std::string_view name = text.substr(0, semicolon);
    if (name.front() == '#') {
        const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
        const std::string digits(name.substr(hex ? 2 : 1));
        bool ok = false;
        const uint value = QString::fromLatin1(digits).toUInt(&ok, hex ? 16 : 10);
        if (!ok || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return 0;
        appendCodePoint(out, value);
        return semicolon + 1;
    }
    // A blank without its no-break rule: in a vocabulary field it only separates words.
    static const std::pair<std::string_view, char32_t> named[] = {
        {"amp", '&'},       {"lt", '<'},       {"gt", '>'},       {"quot", '"'},
        {"apos", '\''},     {"nbsp", ' '},     {"ndash", 0x2013}, {"mdash", 0x2014},
        {"hellip", 0x2026}, {"laquo", 0xAB},   {"raquo", 0xBB},   {"shy", 0xAD},
        {"lsquo", 0x2018},  {"rsquo", 0x2019}, {"ldquo", 0x201C}, {"rdquo", 0x201D},
        {"eacute", 0xE9},   {"egrave", 0xE8},  {"agrave", 0xE0},  {"uuml", 0xFC},
        {"ouml", 0xF6},     {"auml", 0xE4},    {"Uuml", 0xDC},    {"Ouml", 0xD6},
        {"Auml", 0xC4},     {"szlig", 0xDF},   {"ccedil", 0xE7},  {"copy", 0xA9},
    };
    for (const auto& [entity, c] : named)
        if (entity == name) {
            appendCodePoint(out, c);
            return semicolon + 1;
        }
    return 0;
}

void appendBlank(std::string& out) {
    if (!out.empty() && out.back() != ' ')
        out += ' ';
}

} // namespace

bool htmlToText(std::string_view html, std::string& text, long long& media) {
    text.clear();
    bool changed = false;
    constexpr std::string_view kSound = "[sound:";
    for (std::size_t i = 0; i < html.size();) {
        const char c = html[i];
        if (c == '<') {
            const std::size_t close = html.find('>', i);
            if (close == std::string_view::npos) {
                text += c;
                ++i;
                continue;
            }
            std::string name;
            for (std::size_t j = i + 1; j < close; ++j) {
                const char t = html[j];
                if (t == '/' && name.empty())
                    continue;
                if (!std::isalnum(static_cast<unsigned char>(t)))
                    break;
                name += static_cast<char>(std::tolower(static_cast<unsigned char>(t)));
            }
            if (name == "img")
                ++media;
            else if (isBlockTag(name))
                appendBlank(text);
            changed = true;
            i = close + 1;
        } else if (c == '&') {
            const std::size_t used = decodeEntity(html.substr(i + 1), text);
            if (used == 0) {
                text += c;
                ++i;
            } else {
                changed = true;
                i += used + 1;
            }
        } else if (html.substr(i, kSound.size()) == kSound &&
                   html.find(']', i) != std::string_view::npos) {
            ++media;
            changed = true;
            i = html.find(']', i) + 1;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            // HTML shows a run of white space as one blank.
            if (c != ' ' || text.empty() || text.back() == ' ')
                changed = true;
            appendBlank(text);
            ++i;
        } else {
            text += c;
            ++i;
        }
    }
    const std::size_t end = text.find_last_not_of(' ');
    const std::size_t begin = text.find_first_not_of(' ');
    if (end == std::string::npos) {
        changed = changed || !text.empty();
        text.clear();
    } else if (begin > 0 || end + 1 < text.size()) {
        text = text.substr(begin, end + 1 - begin);
        changed = true;
    }
    return changed;
}

ReadError readAnkiText(std::string_view bytes, const QString& delimiter, ReadList& out,
                       const ProgressCallback& progress) {
    DecodedText decoded;
    if (ReadError e = decodeText(bytes, TextEncoding{}, decoded); e.isError())
        return e;
    std::string_view text = decoded.text;
    QString separator = delimiter;
    bool html = false;
    QStringList columnNames;
    std::array<int, 4> metaColumns{-1, -1, -1, -1}; // note type, deck, tags, GUID (from 0)
    std::int64_t line = 1;
    while (text.starts_with('#')) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view headerLine =
            text.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
        const std::size_t colon = headerLine.find(':');
        if (colon == std::string_view::npos)
            break;
        const QString key = fromUtf8(headerLine.substr(0, colon)).trimmed().toLower();
        const QString value = fromUtf8(headerLine.substr(colon + 1));
        if (key == QLatin1String("separator")) {
            separator = separatorNamed(value);
            if (separator.isEmpty())
                return {QStringLiteral("line %1").arg(line),
                        QStringLiteral("unknown separator \"%1\"").arg(value)};
        } else if (key == QLatin1String("html")) {
            html = value.trimmed().toLower() == QLatin1String("true");
        } else if (key == QLatin1String("columns")) {
            columnNames << value;
        } else {
            static const char* const meta[] = {"notetype column", "deck column", "tags column",
                                               "guid column"};
            for (std::size_t m = 0; m < 4; ++m)
                if (key == QLatin1String(meta[m]))
                    metaColumns[m] = value.trimmed().toInt() - 1;
        }
        ++line;
        if (end == std::string_view::npos) {
            text = {};
            break;
        }
        text.remove_prefix(
            end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1));
    }
    if (separator.isEmpty())
        separator = detectDelimiter(text);
    if (!columnNames.isEmpty())
        columnNames = columnNames.front().split(separator);

    Sheet raw(Sheet::Places::Lines);
    long long comments = 0;
    if (ReadError e =
            splitDelimited(text, toUtf8(separator), true, raw, progress, line, '#', &comments);
        e.isError())
        return e;
    if (comments > 0)
        out.notes.other << QStringLiteral("%1 comment lines skipped").arg(comments);
    if (html) {
        out.sheet = Sheet(Sheet::Places::Lines);
        out.sheet.reserve(raw.textBytes(), static_cast<std::size_t>(raw.rowCount()));
        std::vector<std::string_view> cells;
        std::string plain;
        for (int r = 0; r < raw.rowCount(); ++r) {
            raw.cells(r, cells);
            for (std::string_view cell : cells) {
                if (htmlToText(cell, plain, out.notes.mediaDropped)) {
                    ++out.notes.htmlCells;
                    out.sheet.addCell(plain);
                } else {
                    out.sheet.addCell(cell);
                }
            }
            out.sheet.endRow(raw.place(r));
        }
    } else {
        out.sheet = std::move(raw);
    }
    out.columnNames = columnNames;
    out.firstRowIsHeader = false;
    int next = 0;
    for (int& column : out.suggestedColumns) {
        while (std::find(metaColumns.begin(), metaColumns.end(), next) != metaColumns.end())
            ++next;
        column = next++;
    }
    return {};
}

ExportResult writeAnkiText(const ExportRows& rows) {
    ExportResult result;
    std::string& out = result.bytes;
    out = "#separator:tab\n#html:false\n#columns:";
    for (int f = 0; f < 3; ++f) {
        if (f > 0)
            out += '\t';
        out += toUtf8(fieldColumnNames()[static_cast<std::size_t>(f)]);
    }
    out += '\n';
    for (int r = 0; r < rows.rowCount(); ++r) {
        for (int f = 0; f < 3; ++f) {
            const std::string cell = rows.cell(r, f);
            if (f > 0) {
                out += '\t';
                appendCsvField(out, cell, "\t");
            } else if (cell.starts_with('#')) {
                // A line that begins with # is a comment to Anki; quoted, it is a field.
                appendCsvField(out, cell, "\t", true);
            } else {
                appendCsvField(out, cell, "\t");
            }
        }
        out += '\n';
    }
    return result;
}

} // namespace lexanta
