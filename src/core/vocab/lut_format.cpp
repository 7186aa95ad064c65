#include "core/vocab/lut_format.h"

#include "core/vocab/entry_blocks.h"
#include "platform/file_io.h"

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
    std::string_view view;
    if (!next(view, hadLineEnd))
        return false;
    line.assign(view);
    return true;
}

bool LineReader::next(std::string_view& line) {
    bool hadLineEnd = false;
    return next(line, hadLineEnd);
}

bool LineReader::next(std::string_view& line, bool& hadLineEnd) {
    if (pos_ >= data_.size())
        return false;
    const std::size_t lf = data_.find('\n', pos_);
    if (lf == std::string_view::npos) {
        line = data_.substr(pos_);
        pos_ = data_.size();
        hadLineEnd = false;
        return true;
    }
    std::size_t end = lf;
    if (end > pos_ && data_[end - 1] == '\r')
        --end;
    line = data_.substr(pos_, end - pos_);
    pos_ = lf + 1;
    hadLineEnd = true;
    return true;
}

void LineReader::skip(int lines) {
    std::string_view ignored;
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
    std::string_view first;
    bool hadLineEnd = false;
    return reader.next(first, hadLineEnd) && hadLineEnd && first == kFormatLine;
}

bool looksLikeVocabulary(std::string_view data) {
    constexpr std::size_t kLooked = 64 * 1024, kLongLine = 4 * 1024;
    if (startsWithFormatLine(data))
        return true;
    data = data.substr(0, std::min(data.size(), kLooked));
    if (data.find('\0') != std::string_view::npos)
        return false;
    LineReader in(data);
    std::string_view line;
    int lines = 0, long_ = 0;
    while (in.next(line)) {
        ++lines;
        long_ += line.size() > kLongLine ? 1 : 0;
    }
    return long_ * 2 <= lines;
}

namespace {

void readFont(LineReader& in, FieldFont& font) {
    std::string_view line;
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

void putFont(std::string& out, const FieldFont& font) {
    appendFieldLine(out, font.face);
    out += "\r\n" + std::to_string(font.color) + "\r\n";
    for (bool style : {font.bold, font.italic, font.underline, font.strikeOut})
        out += style ? "1\r\n" : "0\r\n";
    out += std::to_string(font.charset) + "\r\n";
}

} // namespace

std::string tooManyEntriesMessage(unsigned long long entries, long long room) {
    return "too many entries: " + std::to_string(entries) + ", at most " + std::to_string(room);
}

namespace {

// The header and counter line of `data`, read into `doc` only once the entries are known to
// fit; returns where the entries begin (`blocks` of them), or npos (with `error` set) when
// they do not fit.
std::size_t readHeader(std::string_view data, Vocabulary& doc, std::string* error,
                       std::size_t& blocks) {
    LineReader in(data);
    std::string_view line;
    bool hadLineEnd = false;
    Vocabulary read;
    read.header = doc.header;
    if (!in.next(line, hadLineEnd)) {
        // An empty file: an old-format vocabulary without entries.
        read.currentFormat = false;
        read.counterLine = kDefaultCounterLine;
    } else if (hadLineEnd && line == kFormatLine) {
        read.currentFormat = true;
        VocabularyHeader& h = read.header;
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
        // Entries always follow the counter line, so it always keeps a line end.
        read.counterLine = in.next(line) ? std::string(line) + '\n' : "0\n";
    } else {
        read.currentFormat = false;
        read.counterLine = std::string(line) + '\n';
    }
    const std::size_t entries = countEntryBlocks(in.remaining());
    if (entries > static_cast<unsigned long long>(EntryTable::kMaxEntries)) {
        if (error)
            *error = tooManyEntriesMessage(entries, EntryTable::kMaxEntries);
        return std::string_view::npos;
    }
    blocks = entries;
    doc.header = std::move(read.header);
    doc.counterLine = std::move(read.counterLine);
    doc.currentFormat = read.currentFormat;
    return in.position();
}

} // namespace

bool readVocabulary(std::string&& data, Vocabulary& doc, std::string* error,
                    const ProgressCallback& progress) {
    return readVocabulary(FileBytes(std::move(data)), doc, error, progress);
}

bool readVocabulary(FileBytes&& data, Vocabulary& doc, std::string* error,
                    const ProgressCallback& progress) {
    std::size_t blocks = 0;
    const std::size_t entriesBegin = readHeader(data.view(), doc, error, blocks);
    if (entriesBegin == std::string_view::npos)
        return false;
    doc.entries.adoptEntryBlocks(std::move(data), entriesBegin, blocks, progress);
    return true;
}

bool readVocabulary(std::string_view data, Vocabulary& doc, std::string* error,
                    const ProgressCallback& progress) {
    std::size_t blocks = 0;
    const std::size_t entriesBegin = readHeader(data, doc, error, blocks);
    if (entriesBegin == std::string_view::npos)
        return false;
    // Only the entries are kept.
    doc.entries.adoptEntryBlocks(std::string(data.substr(entriesBegin)), 0, blocks, progress);
    return true;
}

int mergeEntries(std::string_view data, EntryTable& table, std::string* error,
                 const ProgressCallback& progress) {
    LineReader in(data);
    in.skip(startsWithFormatLine(data) ? kHeaderLines + 1 : 1);
    const std::string_view blocks = in.remaining();
    const std::size_t entries = countEntryBlocks(blocks);
    const long long room = EntryTable::kMaxEntries - static_cast<long long>(table.entryCount());
    if (entries > static_cast<unsigned long long>(room)) {
        if (error)
            *error = tooManyEntriesMessage(entries, room);
        return 0;
    }
    return static_cast<int>(table.appendEntryBlocks(blocks, progress));
}

bool hasTrailingBlankEntry(const EntryTable& table) {
    const int last = table.entryCount() - 1;
    return table.entryCount() > 1 && table.text(last, kQuestion).empty() &&
           table.text(last, kAnswer).empty();
}

bool dropTrailingBlankEntry(EntryTable& table) {
    if (!hasTrailingBlankEntry(table))
        return false;
    table.setEntryCount(table.entryCount() - 1);
    return true;
}

namespace {

// The header lines (when withHeader) and the counter line, each with its line end.
void appendLinesBeforeEntries(std::string& out, const Vocabulary& doc, bool withHeader) {
    if (withHeader) {
        const VocabularyHeader& h = doc.header;
        out.append(kFormatLine);
        out += "\r\n";
        for (const std::string* text :
             {&h.questionsLanguage, &h.answersLanguage, &h.title, &h.author, &h.date}) {
            appendFieldLine(out, *text);
            out += "\r\n";
        }
        for (const std::string& name : h.layoutNames) {
            appendFieldLine(out, name);
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
    if (!withHeader && counter == kFormatLine)
        counter = "0";
    appendFieldLine(out, counter);
    out += "\r\n";
}

} // namespace

std::string serializeVocabulary(const Vocabulary& doc, bool withHeader, std::string_view before) {
    std::string out;
    const EntryTable& t = doc.entries;
    out.reserve(before.size() + t.byteSizeHint() + 1024);
    preferLargePages(out.data(), out.capacity());
    out.append(before);
    appendLinesBeforeEntries(out, doc, withHeader);
    appendEntryBlocks(out, t);
    out.resize(out.size() - 2); // no line end after the last line
    return out;
}

void writeVocabulary(const Vocabulary& doc, bool withHeader,
                     const std::function<void(std::string_view)>& write) {
    // The last two bytes handed on are held back: the line end after the last line is not
    // written.
    std::string held;
    const auto writeHoldingBack = [&](std::string_view bytes) {
        if (bytes.size() < 2) {
            held.append(bytes);
            if (held.size() > 2) {
                write(std::string_view(held).substr(0, held.size() - 2));
                held.erase(0, held.size() - 2);
            }
            return;
        }
        if (!held.empty())
            write(held);
        write(bytes.substr(0, bytes.size() - 2));
        held.assign(bytes.substr(bytes.size() - 2));
    };
    std::string out;
    out.reserve(4 << 20);
    appendLinesBeforeEntries(out, doc, withHeader);
    writeEntryBlocks(out, doc.entries, writeHoldingBack);
    if (!out.empty())
        writeHoldingBack(out);
}

} // namespace lexanta
