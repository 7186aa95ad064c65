#include "core/interchange/text_import.h"

#include "core/interchange/text_decoding.h"

#include "core/vocab/lut_format.h"
#include "platform/codepage.h"

#include <QStringDecoder>

#include <algorithm>
#include <climits>

namespace lexanta {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isValidUtf8(std::string_view text) {
    return firstInvalidUtf8(text) == std::string_view::npos;
}

// Lines between progress reports.
constexpr long long kProgressLines = 1 << 16;

std::size_t countLines(std::string_view data) {
    if (data.empty())
        return 0;
    std::size_t lines = static_cast<std::size_t>(std::count(data.begin(), data.end(), '\n'));
    if (data.back() != '\n')
        ++lines;
    return lines;
}

// Turns one field of the file into the bytes the entry stores.
class FieldConverter {
public:
    FieldConverter(bool fromUtf8, const std::array<int, kShownFields>& codePages,
                   ImportResult& result, bool dropByteOrderMarks)
        : fromUtf8_(fromUtf8), codePages_(codePages), result_(result),
          dropByteOrderMarks_(dropByteOrderMarks) {}

    std::string operator()(std::string_view text, int field, int line) {
        const int codePage = codePages_[field];
        if (text.find('\0') != std::string_view::npos)
            report(ImportProblem::Kind::NulByte, field, line, codePage, {});
        // Every Windows ANSI code page keeps ASCII as it is.
        if (!fromUtf8_ || isAscii(text))
            return std::string(text);
        // Only the file's first bytes can be a byte-order mark (removed before): a U+FEFF
        // at the start of a field is a character, which QString::fromUtf8 would drop.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
        if (decoded.contains(kByteOrderMark)) {
            if (result_.byteOrderMarkLine == 0)
                result_.byteOrderMarkLine = line;
            if (dropByteOrderMarks_)
                decoded.remove(kByteOrderMark);
        }
        EncodeResult encoded = CodePage::get(codePage).encode(decoded);
        if (!isValidUtf8(text))
            report(ImportProblem::Kind::InvalidUtf8, field, line, codePage, {});
        else if (!encoded.ok())
            report(ImportProblem::Kind::Unencodable, field, line, codePage, encoded.unencodable);
        return std::move(encoded.bytes);
    }

private:
    void report(ImportProblem::Kind kind, int field, int line, int codePage,
                const QString& characters) {
        ++result_.problemCount;
        if (result_.problems.size() < static_cast<std::size_t>(kMaxListedProblems))
            result_.problems.push_back({kind, line, field, codePage, characters});
    }

    static constexpr QChar kByteOrderMark{0xFEFF};
    bool fromUtf8_;
    const std::array<int, kShownFields>& codePages_;
    ImportResult& result_;
    bool dropByteOrderMarks_;
};

// A character as a message names it: itself, or its code point when it shows nothing.
QString named(QStringView c) {
    const char32_t code = c.size() == 2 ? QChar::surrogateToUcs4(c[0], c[1]) : c[0].unicode();
    const QChar::Category category = QChar::category(code);
    const bool invisible =
        category == QChar::Other_Format || category == QChar::Other_Control ||
        category == QChar::Separator_Line || category == QChar::Separator_Paragraph ||
        category == QChar::Separator_Space || category == QChar::Other_NotAssigned;
    if (!invisible || code == U' ')
        return c.toString();
    return QStringLiteral("U+%1").arg(static_cast<uint>(code), 4, 16, QLatin1Char('0')).toUpper();
}

const char* fieldName(int field) {
    switch (field) {
    case kQuestion:
        return "question";
    case kAnswer:
        return "answer";
    default:
        return "comment";
    }
}

} // namespace

std::optional<ImportFormat> importFormatForFilterIndex(int filterIndex) {
    if (filterIndex >= 1 && filterIndex <= 3)
        return static_cast<ImportFormat>(filterIndex);
    return std::nullopt;
}

bool isUtf8Text(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom))
        return true;
    return !isAscii(bytes) && isValidUtf8(bytes);
}

ImportResult importText(std::string_view bytes, ImportFormat format,
                        const std::array<int, kShownFields>& columnCodePages, EntryTable& out,
                        const ProgressCallback& progress, bool dropByteOrderMarks) {
    ImportResult result;
    // Counted before anything is narrowed to an entry number, and before the bytes are looked at
    // any further.
    const std::size_t lines = countLines(bytes);
    const std::size_t entries = format == ImportFormat::TextPairs ? (lines + 1) / 2 : lines;
    if (entries > static_cast<std::size_t>(EntryTable::kMaxEntries)) {
        result.error =
            QString::fromStdString(tooManyEntriesMessage(entries, EntryTable::kMaxEntries));
        return result;
    }
    result.convertedFromUtf8 = isUtf8Text(bytes);
    if (bytes.starts_with(kUtf8Bom))
        bytes.remove_prefix(kUtf8Bom.size());
    FieldConverter convert(result.convertedFromUtf8, columnCodePages, result, dropByteOrderMarks);
    out.reset();
    out.setEntryCount(static_cast<int>(entries));

    LineReader in(bytes);
    std::string_view text;
    long long lineNumber = 0;
    int index = 0;
    std::string fields[3];
    {
        BatchWrites batch(out);
        while (in.next(text)) {
            ++lineNumber;
            if (progress && lineNumber % kProgressLines == 0)
                progress(lineNumber, static_cast<long long>(lines));
            // Problems name lines by int; past that the last number stands.
            const int line = static_cast<int>(std::min<long long>(lineNumber, INT_MAX));
            for (std::string& f : fields)
                f.clear();
            switch (format) {
            case ImportFormat::TextPairs:
                fields[0] = convert(text, kQuestion, line);
                if (in.next(text)) {
                    ++lineNumber;
                    fields[1] = convert(text, kAnswer,
                                        static_cast<int>(std::min<long long>(lineNumber, INT_MAX)));
                }
                break;
            case ImportFormat::TwoFields: {
                const std::size_t tab = text.find('\t');
                fields[0] = convert(text.substr(0, tab), kQuestion, line);
                if (tab != std::string_view::npos)
                    fields[1] = convert(text.substr(tab + 1), kAnswer, line);
                break;
            }
            case ImportFormat::ThreeFields: {
                const std::size_t tab1 = text.find('\t');
                fields[0] = convert(text.substr(0, tab1), kQuestion, line);
                if (tab1 == std::string_view::npos)
                    break;
                const std::size_t tab2 = text.find('\t', tab1 + 1);
                fields[1] = convert(text.substr(tab1 + 1, tab2 == std::string_view::npos
                                                              ? std::string_view::npos
                                                              : tab2 - tab1 - 1),
                                    kAnswer, line);
                if (tab2 != std::string_view::npos)
                    fields[2] = convert(text.substr(tab2 + 1), kComment, line);
                break;
            }
            }
            // Empty entries are what the table already holds.
            if (!fields[0].empty() || !fields[1].empty() || !fields[2].empty())
                out.setEntry(index, EntryView{{fields[0], fields[1], fields[2], {}, {}}});
            ++index;
        }
    }
    if (progress)
        progress(lineNumber, static_cast<long long>(lines));
    out.setEntryCount(index);
    out.notifyEntriesChanged(0, out.entryCount() - 1);
    result.entries = index;
    return result;
}

QString describeImportProblems(const ImportResult& result, const QString& fileName, int maxListed) {
    if (result.ok())
        return {};
    if (!result.error.isEmpty())
        return QStringLiteral("Cannot import %1: %2").arg(fileName, result.error);
    QString text =
        QStringLiteral("Cannot import %1: some fields cannot be stored in the character set "
                       "of their column, so nothing was imported.")
            .arg(fileName);
    int listed = 0;
    for (const ImportProblem& p : result.problems) {
        if (listed == maxListed)
            break;
        ++listed;
        const QString where = QStringLiteral("Line %1, %2 (code page %3): ")
                                  .arg(p.line)
                                  .arg(QLatin1String(fieldName(p.field)))
                                  .arg(p.codePage);
        if (p.kind == ImportProblem::Kind::InvalidUtf8) {
            text += QLatin1Char('\n') + where + QStringLiteral("not valid UTF-8");
        } else if (p.kind == ImportProblem::Kind::NulByte) {
            text +=
                QLatin1Char('\n') + where +
                QStringLiteral("a NUL byte (a UTF-16 file is imported as CSV, choosing UTF-16)");
        } else {
            QStringList chars;
            for (const QChar* c = p.characters.begin(); c != p.characters.end(); ++c) {
                if (c->isHighSurrogate() && c + 1 != p.characters.end()) {
                    chars << named(QStringView(c, 2));
                    ++c;
                } else {
                    chars << named(QStringView(c, 1));
                }
            }
            text += QLatin1Char('\n') + where + chars.join(QLatin1Char(' '));
        }
    }
    if (result.problemCount > listed)
        text += QStringLiteral("\n... and %1 more.").arg(result.problemCount - listed);
    return text;
}

} // namespace lexanta
