#include "vocab/lut_format.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace lexanta {

namespace {

constexpr std::size_t kFaceNameLimit = 31;
constexpr std::size_t kLayoutNameLength = 8;

} // namespace

bool LineReader::next(std::string& line) {
    bool hadLineEnd = false;
    return next(line, hadLineEnd);
}

bool LineReader::next(std::string& line, bool& hadLineEnd) {
    if (pos_ >= data_.size())
        return false;
    const std::size_t lf = data_.find('\n', pos_);
    if (lf == std::string_view::npos) {
        line.assign(data_.substr(pos_));
        pos_ = data_.size();
        hadLineEnd = false;
        return true;
    }
    std::size_t end = lf;
    if (end > pos_ && data_[end - 1] == '\r')
        --end;
    line.assign(data_.substr(pos_, end - pos_));
    pos_ = lf + 1;
    hadLineEnd = true;
    return true;
}

void LineReader::skip(int lines) {
    std::string ignored;
    for (int i = 0; i < lines && next(ignored); ++i) {
    }
}

long long leadingInteger(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '-' || line[i] == '+')) {
        negative = line[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i) {
        value = value * 10 + (line[i] - '0');
        if (value > INT_MAX) // saturate: the callers hold the value in 32 bits
            value = static_cast<long long>(INT_MAX) + 1;
    }
    return negative ? -value : value;
}

bool startsWithFormatLine(std::string_view data) {
    LineReader reader(data);
    std::string first;
    bool hadLineEnd = false;
    return reader.next(first, hadLineEnd) && hadLineEnd && first == kFormatLine;
}

namespace {

void readFont(LineReader& in, FieldFont& font) {
    std::string line;
    if (in.next(line))
        font.face = line.substr(0, std::min(line.size(), kFaceNameLimit));
    if (in.next(line))
        font.color = static_cast<std::int32_t>(static_cast<std::uint32_t>(leadingInteger(line)));
    bool* styles[] = {&font.bold, &font.italic, &font.underline, &font.strikeOut};
    for (bool* style : styles)
        if (in.next(line))
            *style = leadingInteger(line) == 1;
    if (in.next(line))
        font.charset = static_cast<int>(leadingInteger(line) & 0xFF);
}

// Reads entry blocks into rows from `row` on; returns the row after the last one read.
// The rows are added in one step and filled without a notification per cell, so that a
// view on the table follows a million entries at once.
int readEntries(LineReader& in, EntryTable& table, int row) {
    static constexpr int kBlockOrder[] = {kQuestion, kComment, kAnswer, kExtra1, kExtra2};
    const std::string_view rest = in.remaining();
    std::size_t lines = static_cast<std::size_t>(std::count(rest.begin(), rest.end(), '\n'));
    if (!rest.empty() && rest.back() != '\n')
        ++lines;
    const int entries = static_cast<int>((lines + 4) / 5);
    if (entries == 0)
        return row;
    const int first = row;
    if (table.rowCount() < first + entries)
        table.setRowCount(first + entries);
    EntryTableObserver* observer = table.observer();
    table.setObserver(nullptr);
    std::string line;
    while (!in.atEnd()) {
        Entry e;
        for (int column : kBlockOrder) {
            if (!in.next(line))
                break;
            e[column] = line;
        }
        table.setEntry(row, std::move(e));
        ++row;
    }
    table.setObserver(observer);
    table.notifyRowsChanged(first, row - 1);
    return row;
}

void putLine(std::string& out, std::string_view text) {
    // A field never spans lines: each line break inside it is written as one blank.
    std::size_t start = 0;
    for (;;) {
        const std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            out.append(text.substr(start));
            break;
        }
        std::size_t end = lf;
        if (end > start && text[end - 1] == '\r')
            --end;
        out.append(text.substr(start, end - start));
        out.push_back(' ');
        start = lf + 1;
    }
}

void putFont(std::string& out, const FieldFont& font) {
    putLine(out, font.face);
    out += "\r\n" + std::to_string(font.color) + "\r\n";
    for (bool style : {font.bold, font.italic, font.underline, font.strikeOut})
        out += style ? "1\r\n" : "0\r\n";
    out += std::to_string(font.charset) + "\r\n";
}

} // namespace

void readVocabulary(std::string_view data, Vocabulary& doc) {
    LineReader in(data);
    std::string line;
    bool hadLineEnd = false;
    if (!in.next(line, hadLineEnd)) {
        // An empty file: an old-format vocabulary without entries.
        doc.currentFormat = false;
        doc.counterLine = kDefaultCounterLine;
        doc.entries.setRowCount(2);
        return;
    }
    if (hadLineEnd && line == kFormatLine) {
        doc.currentFormat = true;
        VocabularyHeader& h = doc.header;
        std::string* texts[] = {&h.questionsLanguage, &h.answersLanguage, &h.title, &h.author,
                                &h.date};
        for (std::string* text : texts)
            if (in.next(line))
                *text = line;
        for (std::string& name : h.layoutNames)
            if (in.next(line))
                name = line.substr(0, std::min(line.size(), kLayoutNameLength));
        if (in.next(line))
            h.fontSize = static_cast<int>(
                std::clamp<long long>(leadingInteger(line), kMinFontSize, kMaxFontSize));
        for (FieldFont& font : h.fonts)
            readFont(in, font);
        if (!in.next(line, hadLineEnd))
            line = "0"; // the file ends inside its header
    } else {
        doc.currentFormat = false;
    }
    // Entries always follow the counter line, so it always keeps a line end.
    doc.counterLine = line + '\n';
    const int rows = readEntries(in, doc.entries, 1);
    doc.entries.setRowCount(rows);
}

int mergeEntries(std::string_view data, EntryTable& table) {
    LineReader in(data);
    in.skip(startsWithFormatLine(data) ? kHeaderLines + 1 : 1);
    const int first = table.rowCount();
    const int end = readEntries(in, table, first);
    table.setRowCount(std::max(end, first));
    return end - first;
}

bool dropTrailingBlankRow(EntryTable& table) {
    const int last = table.rowCount() - 1;
    if (table.rowCount() > 2 && table.cell(kQuestion, last).empty() &&
        table.cell(kAnswer, last).empty()) {
        table.setRowCount(last);
        return true;
    }
    return false;
}

std::string serializeVocabulary(const Vocabulary& doc, bool withHeader) {
    std::string out;
    const EntryTable& t = doc.entries;
    out.reserve(static_cast<std::size_t>(t.rowCount()) * 40 + 512);
    if (withHeader) {
        const VocabularyHeader& h = doc.header;
        out.append(kFormatLine);
        out += "\r\n";
        for (const std::string* text :
             {&h.questionsLanguage, &h.answersLanguage, &h.title, &h.author, &h.date}) {
            putLine(out, *text);
            out += "\r\n";
        }
        for (const std::string& name : h.layoutNames) {
            putLine(out, name);
            out += "\r\n";
        }
        out += std::to_string(h.fontSize) + "\r\n";
        for (const FieldFont& font : h.fonts)
            putFont(out, font);
    }
    // The counter line is held with its line end (LF as read), written as CR LF.
    std::string_view counter = doc.counterLine;
    if (!counter.empty() && counter.back() == '\n')
        counter.remove_suffix(1);
    putLine(out, counter);
    out += "\r\n";
    const int last = t.rowCount() - 1;
    for (int r = 1; r <= last; ++r) {
        const EntryView e = t.entry(r);
        putLine(out, e[kQuestion]);
        out += "\r\n";
        putLine(out, e[kComment]);
        out += "\r\n";
        putLine(out, e[kAnswer]);
        out += "\r\n";
        putLine(out, e[kExtra1].empty() ? std::string_view("0") : e[kExtra1]);
        out += "\r\n";
        putLine(out, e[kExtra2].empty() ? std::string_view("0") : e[kExtra2]);
        if (r < last)
            out += "\r\n";
    }
    return out;
}

} // namespace lexanta
