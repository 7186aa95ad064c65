#include "core/interchange/csv_format.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace lexanta {

namespace {

constexpr long long kProgressRows = 1 << 16;

// Line ends in `text`: LF, CR LF (once) and a lone CR.
long long countLineEnds(std::string_view text) {
    long long n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            ++n;
        else if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            ++n;
    }
    return n;
}

ReadError tooManyRows(std::int64_t line) {
    return {QStringLiteral("line %1").arg(line),
            QStringLiteral("more rows than a vocabulary holds (%1)").arg(EntryTable::kMaxEntries)};
}

// Scans delimited text field by field.
class Splitter {
public:
    Splitter(std::string_view text, std::string_view delimiter, bool quotes, char comment)
        : text_(text), delimiter_(delimiter), quotes_(quotes), comment_(comment) {
        special_.fill(false);
        special_['\r'] = special_['\n'] = true;
        if (!delimiter_.empty())
            special_[static_cast<unsigned char>(delimiter_.front())] = true;
    }

    ReadError run(Sheet& sheet, const ProgressCallback& progress, std::int64_t firstLine) {
        const std::size_t n = text_.size();
        std::int64_t line = firstLine;
        std::size_t i = 0;
        if (n == 0)
            return {};
        std::string field;
        long long rows = 0;
        for (;;) {
            const std::int64_t rowLine = line;
            if (comment_ != 0 && text_[i] == comment_) {
                ++commentLines_;
                const std::size_t end = text_.find_first_of("\r\n", i);
                if (end == std::string_view::npos)
                    break;
                i = end + (text_[end] == '\r' && end + 1 < n && text_[end + 1] == '\n' ? 2 : 1);
                ++line;
                if (i >= n)
                    break;
                continue;
            }
            for (;;) {
                if (quotes_ && i < n && text_[i] == '"') {
                    const std::int64_t opened = line;
                    const std::size_t start = i;
                    field.clear();
                    ++i;
                    for (;;) {
                        const void* q = std::memchr(text_.data() + i, '"', n - i);
                        if (!q)
                            return {QStringLiteral("line %1").arg(opened),
                                    QStringLiteral("the quoted field that opens on this line "
                                                   "is not closed")};
                        const auto at =
                            static_cast<std::size_t>(static_cast<const char*>(q) - text_.data());
                        const std::string_view part = text_.substr(i, at - i);
                        line += countLineEnds(part);
                        field.append(part);
                        i = at + 1;
                        if (i < n && text_[i] == '"') {
                            field += '"';
                            ++i;
                            continue;
                        }
                        break;
                    }
                    const std::size_t end = fieldEnd(i);
                    const std::string_view rest = text_.substr(i, end - i);
                    // Text after the closing quote ("Haus" (das)) means the quotes were the
                    // text's own: the field is kept as written, as spreadsheets read it.
                    if (rest.find_first_not_of(' ') == std::string_view::npos)
                        field.append(rest);
                    else
                        field.assign(text_.substr(start, end - start));
                    i = end;
                    sheet.addCell(field);
                } else {
                    const std::size_t end = fieldEnd(i);
                    sheet.addCell(text_.substr(i, end - i));
                    i = end;
                }
                if (i < n && isDelimiterAt(i)) {
                    i += delimiter_.size();
                    continue;
                }
                break;
            }
            sheet.endRow(rowLine);
            if (++rows >= EntryTable::kMaxEntries && i < n)
                return tooManyRows(line);
            if (progress && rows % kProgressRows == 0)
                progress(static_cast<long long>(i), static_cast<long long>(n));
            if (i >= n)
                break;
            if (text_[i] == '\r' && i + 1 < n && text_[i + 1] == '\n')
                i += 2;
            else
                ++i;
            ++line;
            if (i >= n)
                break; // a line end after the last line adds no row
        }
        if (progress)
            progress(static_cast<long long>(n), static_cast<long long>(n));
        return {};
    }

private:
    bool isDelimiterAt(std::size_t i) const {
        return !delimiter_.empty() && text_.substr(i, delimiter_.size()) == delimiter_;
    }
    // The end of an unquoted stretch: the next delimiter or line end.
    std::size_t fieldEnd(std::size_t i) const {
        const std::size_t n = text_.size();
        const char* data = text_.data();
        for (; i < n; ++i) {
            if (!special_[static_cast<unsigned char>(data[i])])
                continue;
            if (data[i] == '\r' || data[i] == '\n' || isDelimiterAt(i))
                return i;
        }
        return n;
    }

public:
    long long commentLines_ = 0;

private:
    std::string_view text_;
    std::string_view delimiter_;
    bool quotes_;
    char comment_;
    std::array<bool, 256> special_;
};

// Fields per record of the first records with `delimiter`; -1 where a record's quote is open.
std::vector<int> fieldsPerRecord(std::string_view text, char delimiter, int records) {
    std::vector<int> counts;
    int fields = 1;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size() && static_cast<int>(counts.size()) < records; ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == delimiter) {
            ++fields;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            counts.push_back(fields);
            fields = 1;
        }
    }
    if (static_cast<int>(counts.size()) < records && !quoted && !text.empty() &&
        text.back() != '\n' && text.back() != '\r')
        counts.push_back(fields);
    return counts;
}

QString normalizedWord(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))
        .trimmed()
        .toCaseFolded();
}

bool isColumnWord(const QString& word) {
    static const QStringList words = {
        QStringLiteral("question"),      QStringLiteral("questions"),
        QStringLiteral("answer"),        QStringLiteral("answers"),
        QStringLiteral("comment"),       QStringLiteral("comments"),
        QStringLiteral("front"),         QStringLiteral("back"),
        QStringLiteral("term"),          QStringLiteral("terms"),
        QStringLiteral("definition"),    QStringLiteral("definitions"),
        QStringLiteral("word"),          QStringLiteral("words"),
        QStringLiteral("translation"),   QStringLiteral("translations"),
        QStringLiteral("meaning"),       QStringLiteral("transcription"),
        QStringLiteral("pronunciation"), QStringLiteral("note"),
        QStringLiteral("notes"),         QStringLiteral("вопрос"),
        QStringLiteral("вопросы"),       QStringLiteral("ответ"),
        QStringLiteral("ответы"),        QStringLiteral("комментарий"),
        QStringLiteral("комментарии"),   QStringLiteral("слово"),
        QStringLiteral("слова"),         QStringLiteral("перевод"),
        QStringLiteral("транскрипция"),
    };
    return words.contains(word);
}

std::string toUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace

ReadError splitDelimited(std::string_view text, std::string_view delimiter, bool quotes,
                         Sheet& sheet, const ProgressCallback& progress, std::int64_t firstLine,
                         char comment, long long* commentLines) {
    // A row per line at most (quoted line ends make fewer): the row tables never regrow.
    sheet.reserve(text.size(), countLineEnds(text) + 1);
    Splitter splitter(text, delimiter, quotes, comment);
    ReadError e = splitter.run(sheet, progress, firstLine);
    if (commentLines)
        *commentLines = splitter.commentLines_;
    return e;
}

QString detectDelimiter(std::string_view text) {
    constexpr int kRecords = 20;
    for (const char candidate : {'\t', ';', ',', '|'}) {
        const std::vector<int> counts = fieldsPerRecord(text, candidate, kRecords);
        if (!counts.empty() && counts.front() > 1 &&
            std::all_of(counts.begin(), counts.end(),
                        [&counts](int n) { return n == counts.front(); }))
            return QString(QLatin1Char(candidate));
    }
    // None splits every record alike: the one that splits most records.
    char best = ',';
    long long bestRecords = 0;
    for (const char candidate : {'\t', ';', ',', '|'}) {
        const std::vector<int> counts = fieldsPerRecord(text, candidate, kRecords);
        const auto split = std::count_if(counts.begin(), counts.end(), [](int n) { return n > 1; });
        if (split > bestRecords) {
            bestRecords = split;
            best = candidate;
        }
    }
    return QString(QLatin1Char(best));
}

bool looksLikeHeader(const Sheet& sheet, int row) {
    if (row >= sheet.rowCount())
        return false;
    std::vector<std::string_view> cells;
    sheet.cells(row, cells);
    bool named = false;
    for (std::string_view c : cells) {
        const QString word = normalizedWord(c);
        if (word.isEmpty())
            continue;
        if (!isColumnWord(word))
            return false;
        named = true;
    }
    return named;
}

void applyHeaderChoice(HeaderChoice choice, ReadList& out) {
    const bool header = choice == HeaderChoice::Yes ||
                        (choice == HeaderChoice::Auto && looksLikeHeader(out.sheet, 0));
    out.firstRowIsHeader = header && out.sheet.rowCount() > 0;
    out.columnNames.clear();
    if (out.firstRowIsHeader) {
        std::vector<std::string_view> cells;
        out.sheet.cells(0, cells);
        for (std::string_view c : cells)
            out.columnNames << QString::fromUtf8(c.data(), static_cast<qsizetype>(c.size()));
    }
}

ReadError readCsv(std::string_view bytes, const CsvOptions& options, ReadList& out,
                  const ProgressCallback& progress) {
    DecodedText decoded;
    if (ReadError e = decodeText(bytes, options.encoding, decoded); e.isError())
        return e;
    const QString delimiter =
        options.delimiter.isEmpty() ? detectDelimiter(decoded.text) : options.delimiter;
    out.sheet = Sheet(Sheet::Places::Lines);
    if (ReadError e = splitDelimited(decoded.text, toUtf8(delimiter), true, out.sheet, progress);
        e.isError())
        return e;
    applyHeaderChoice(options.header, out);
    return {};
}

void appendCsvField(std::string& out, std::string_view utf8, std::string_view delimiter,
                    bool alwaysQuote) {
    const bool quote = alwaysQuote || utf8.find_first_of("\"\r\n") != std::string_view::npos ||
                       (!delimiter.empty() && utf8.find(delimiter) != std::string_view::npos) ||
                       (!utf8.empty() && (utf8.front() == ' ' || utf8.back() == ' '));
    if (!quote) {
        out += utf8;
        return;
    }
    out += '"';
    for (const char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

ExportResult writeCsv(const ExportRows& rows, const CsvWriteOptions& options) {
    ExportResult result;
    std::string& out = result.bytes;
    const std::string delimiter = toUtf8(options.delimiter);
    if (delimiter.empty() || delimiter.find_first_of("\"\r\n") != std::string::npos) {
        result.error = QStringLiteral("the delimiter cannot be empty, a quote or a line end");
        return result;
    }
    if (options.byteOrderMark)
        out += "\xEF\xBB\xBF";
    if (options.headerRow) {
        for (int f = 0; f < 3; ++f) {
            if (f > 0)
                out += delimiter;
            appendCsvField(out, toUtf8(fieldColumnNames()[static_cast<std::size_t>(f)]), delimiter);
        }
        out += "\r\n";
    }
    for (int r = 0; r < rows.rowCount(); ++r) {
        for (int f = 0; f < 3; ++f) {
            if (f > 0)
                out += delimiter;
            appendCsvField(out, rows.cell(r, f), delimiter);
        }
        out += "\r\n";
    }
    return result;
}

// ---- Quizlet ----------------------------------------------------------------------------

ReadError readQuizlet(std::string_view bytes, const QuizletOptions& options, ReadList& out,
                      const ProgressCallback& progress) {
    if (options.termSeparator.isEmpty() || options.rowSeparator.isEmpty())
        return {QString(), QStringLiteral("the separators cannot be empty")};
    DecodedText decoded;
    if (ReadError e = decodeText(bytes, options.encoding, decoded); e.isError())
        return e;
    const std::string term = toUtf8(options.termSeparator);
    const bool lines = options.rowSeparator == QLatin1String("\n");
    const std::string rowSeparator = toUtf8(options.rowSeparator);
    std::string_view text = decoded.text;
    out.sheet = Sheet(Sheet::Places::Lines);
    out.sheet.reserve(text.size(), static_cast<std::size_t>(countLineEnds(text)) + 1);
    std::int64_t line = 1;
    long long rows = 0;
    while (!text.empty()) {
        std::size_t end, next;
        if (lines) {
            end = text.find_first_of("\r\n");
            next = end == std::string_view::npos
                       ? text.size()
                       : end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n'
                                    ? 2
                                    : 1);
        } else {
            end = text.find(rowSeparator);
            next = end == std::string_view::npos ? text.size() : end + rowSeparator.size();
        }
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view row = text.substr(0, end);
        const std::size_t split = row.find(term);
        out.sheet.addCell(row.substr(0, split));
        if (split != std::string_view::npos)
            out.sheet.addCell(row.substr(split + term.size()));
        out.sheet.endRow(line);
        if (++rows >= EntryTable::kMaxEntries && next < text.size())
            return tooManyRows(line);
        if (progress && rows % kProgressRows == 0)
            progress(static_cast<long long>(decoded.text.size() - text.size()),
                     static_cast<long long>(decoded.text.size()));
        line += countLineEnds(text.substr(0, next));
        text.remove_prefix(next);
    }
    out.firstRowIsHeader = false;
    return {};
}

ExportResult writeQuizlet(const ExportRows& rows, const QuizletOptions& options) {
    ExportResult result;
    const std::string term = toUtf8(options.termSeparator);
    const std::string rowSeparator = toUtf8(options.rowSeparator);
    if (term.empty() || rowSeparator.empty()) {
        result.error = QStringLiteral("the separators cannot be empty");
        return result;
    }
    std::string& out = result.bytes;
    for (int r = 0; r < rows.rowCount(); ++r) {
        for (int f = 0; f < 2; ++f) {
            const std::string cell = rows.cell(r, f);
            // The definition may hold the term separator: a row splits at its first one.
            const bool bad = cell.find(rowSeparator) != std::string::npos ||
                             (f == kQuestion && cell.find(term) != std::string::npos);
            if (bad) {
                result.bytes.clear();
                result.error = QStringLiteral("%1: the text holds a separator, and Quizlet text "
                                              "has no quoting; choose other separators")
                                   .arg(entryPlace(r, f));
                return result;
            }
            if (f > 0)
                out += term;
            out += cell;
        }
        out += rowSeparator;
    }
    if (rows.hasComments())
        result.notes << QStringLiteral("comments are not written: Quizlet text holds a term and "
                                       "a definition");
    return result;
}

} // namespace lexanta
