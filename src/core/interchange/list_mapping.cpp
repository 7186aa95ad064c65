#include "core/interchange/list_mapping.h"

#include "core/vocab/lut_format.h"
#include "platform/codepage.h"

#include <QStringDecoder>

#include <algorithm>

namespace lexanta {

namespace {

constexpr long long kProgressRows = 1 << 16;

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// `text` with each line break (CR LF, LF, CR) as one blank; false when it held none.
bool joinLines(std::string_view text, std::string& out) {
    if (text.find_first_of("\r\n") == std::string_view::npos)
        return false;
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += ' ';
        } else if (text[i] == '\n') {
            out += ' ';
        } else {
            out += text[i];
        }
    }
    return true;
}

QString decodeUtf8(std::string_view text) {
    // A U+FEFF at the start of a cell is a character, which a plain decode would drop.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

const char* fieldName(int field) {
    static const char* const names[] = {"question", "answer", "comment"};
    return names[field];
}

int firstRow(const Sheet& sheet, bool skipFirstRow) {
    return skipFirstRow && sheet.rowCount() > 0 ? 1 : 0;
}

} // namespace

ColumnChoice defaultColumns(const ReadList& list) {
    ColumnChoice columns = list.suggestedColumns;
    for (int& c : columns)
        if (c >= list.sheet.columnCount())
            c = -1;
    return columns;
}

MappedList mapToEntries(const Sheet& sheet, const MappingChoices& choices,
                        const ProgressCallback& progress) {
    MappedList result;
    const int first = firstRow(sheet, choices.skipFirstRow);
    const int rows = sheet.rowCount() - first;
    if (static_cast<long long>(rows) > EntryTable::kMaxEntries) {
        result.error = QString::fromStdString(
            tooManyEntriesMessage(static_cast<unsigned long long>(rows), EntryTable::kMaxEntries));
        return result;
    }
    const CodePage* pages[3];
    for (int f = 0; f < 3; ++f)
        pages[f] = &CodePage::forCharset(choices.charsets[static_cast<std::size_t>(f)]);

    // The entries are written as the blocks of a vocabulary file (question, comment, answer and
    // the two extra fields, a line each) and adopted whole: no copy per cell, one buffer.
    std::string blocks;
    blocks.reserve(sheet.textBytes() + static_cast<std::size_t>(std::max(rows, 0)) * 10);
    std::vector<std::string_view> cells;
    std::string joined[3];
    std::string encoded[3];
    std::string_view fields[3];
    int index = 0;
    for (int r = first; r < sheet.rowCount(); ++r) {
        if (progress && (r - first) % kProgressRows == 0)
            progress(r - first, rows);
        sheet.cells(r, cells);
        bool unheld = false;
        for (int f = 0; f < 3; ++f) {
            const int column = choices.columns[static_cast<std::size_t>(f)];
            std::string_view text = column >= 0 && static_cast<std::size_t>(column) < cells.size()
                                        ? cells[static_cast<std::size_t>(column)]
                                        : std::string_view();
            if (joinLines(text, joined[f])) {
                ++result.notes.lineBreaks;
                text = joined[f];
            }
            if (isAscii(text)) {
                fields[f] = text;
                continue;
            }
            EncodeResult e = pages[f]->encode(decodeUtf8(text));
            if (!e.ok()) {
                unheld = true;
                ++result.unheldCount;
                if (result.unheld.size() < static_cast<std::size_t>(kMaxListedUnheld))
                    result.unheld.push_back({r, f, column, pages[f]->number(), e.unencodable});
            }
            // A byte that reads as a line end in the page would split the block: as text it
            // was a line break, so it becomes a blank as the others did.
            for (char& c : e.bytes)
                if (c == '\r' || c == '\n')
                    c = ' ';
            encoded[f] = std::move(e.bytes);
            fields[f] = encoded[f];
        }
        if (unheld && choices.leaveOutUnheldRows) {
            ++result.notes.rowsLeftOut;
            continue;
        }
        for (const std::string_view line : {fields[0], fields[2], fields[1]}) {
            blocks.append(line);
            blocks += "\r\n";
        }
        blocks += "\r\n\r\n";
        ++index;
    }
    result.entries.adoptEntryBlocks(std::move(blocks), 0);
    if (progress)
        progress(rows, rows);
    result.entryCount = index;
    return result;
}

std::array<CharsetCoverage, 3> fieldCoverage(const Sheet& sheet, const ColumnChoice& columns,
                                             bool skipFirstRow) {
    std::array<CharsetCoverage, 3> coverage;
    std::vector<std::string_view> cells;
    for (int r = firstRow(sheet, skipFirstRow); r < sheet.rowCount(); ++r) {
        sheet.cells(r, cells);
        for (int f = 0; f < 3; ++f) {
            const int column = columns[static_cast<std::size_t>(f)];
            if (column >= 0 && static_cast<std::size_t>(column) < cells.size())
                coverage[static_cast<std::size_t>(f)].addUtf8(
                    cells[static_cast<std::size_t>(column)]);
        }
    }
    return coverage;
}

bool chooseCharsets(const Sheet& sheet, const MappingChoices& choices, std::array<int, 3>& charsets,
                    QString& unheld) {
    const std::array<CharsetCoverage, 3> coverage =
        fieldCoverage(sheet, choices.columns, choices.skipFirstRow);
    for (int f = 0; f < 3; ++f) {
        const auto i = static_cast<std::size_t>(f);
        if (const std::optional<int> set = coverage[i].choose(choices.charsets[i])) {
            charsets[i] = *set;
            continue;
        }
        // Name the first cell after which no set holds the column: one with a character no set
        // has, or one whose script no set shares with the cells above it.
        const int current = choices.charsets[i];
        const int column = choices.columns[i];
        CharsetCoverage above;
        std::vector<std::string_view> cells;
        for (int r = firstRow(sheet, choices.skipFirstRow); r < sheet.rowCount(); ++r) {
            sheet.cells(r, cells);
            if (column < 0 || static_cast<std::size_t>(column) >= cells.size())
                continue;
            const std::string_view cell = cells[static_cast<std::size_t>(column)];
            CharsetCoverage one;
            one.addUtf8(cell);
            const QString where =
                QStringLiteral("%1, %2").arg(sheet.where(r, column), QLatin1String(fieldName(f)));
            if (!one.unheld().isEmpty()) {
                unheld = QStringLiteral("%1: no single-byte Windows character set holds %2")
                             .arg(where, describeCharacters(one.unheld()));
                return false;
            }
            CharsetCoverage with = above;
            const QString cellText = text(cell);
            for (qsizetype k = 0; k < cellText.size(); ++k) {
                const qsizetype n = cellText[k].isHighSurrogate() ? 2 : 1;
                with.add(QStringView(cellText).mid(k, n));
                if (!with.choose(current)) {
                    unheld = QStringLiteral("%1: no single-byte Windows character set holds %2 "
                                            "together with the text above it in the column")
                                 .arg(where, describeCharacters(cellText.mid(k, n)));
                    return false;
                }
                k += n - 1;
            }
            above = std::move(with);
        }
        unheld = QStringLiteral("%1: no single-byte Windows character set holds %2")
                     .arg(QLatin1String(fieldName(f)), describeCharacters(coverage[i].unheld()));
        return false;
    }
    return true;
}

QString describeUnheld(const MappedList& mapped, const Sheet& sheet, int maxListed) {
    QStringList lines;
    int listed = 0;
    for (const UnheldCharacters& u : mapped.unheld) {
        if (listed == maxListed)
            break;
        ++listed;
        QString where = sheet.where(u.row, u.column);
        where[0] = where[0].toUpper();
        lines << QStringLiteral("%1, %2 (code page %3): %4")
                     .arg(where, QLatin1String(fieldName(u.field)))
                     .arg(u.codePage)
                     .arg(describeCharacters(u.characters));
    }
    if (mapped.unheldCount > listed)
        lines << QStringLiteral("... and %1 more.").arg(mapped.unheldCount - listed);
    return lines.join(QLatin1Char('\n'));
}

QString describeImport(int entries, const ImportNotes& notes) {
    QStringList parts;
    parts << (entries == 1 ? QStringLiteral("1 entry imported")
                           : QStringLiteral("%1 entries imported").arg(entries));
    if (notes.lineBreaks > 0)
        parts << QStringLiteral("line breaks in %1 cells became blanks").arg(notes.lineBreaks);
    if (notes.htmlCells > 0)
        parts << QStringLiteral("HTML removed from %1 cells").arg(notes.htmlCells);
    if (notes.mediaDropped > 0)
        parts << QStringLiteral("%1 images or sounds left out").arg(notes.mediaDropped);
    if (notes.rowsLeftOut > 0)
        parts << QStringLiteral("%1 rows left out: characters their field cannot hold")
                     .arg(notes.rowsLeftOut);
    parts << notes.other;
    return parts.join(QStringLiteral("; ")) + QLatin1Char('.');
}

} // namespace lexanta
