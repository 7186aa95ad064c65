#include "core/listops/replace.h"

#include "platform/codepage.h"

namespace lexanta {

namespace {

constexpr int kProgressEntries = 1 << 15;

// `with` with \N, \NN and \\ taken from the match.
QString expanded(const QString& with, const QRegularExpressionMatch& match) {
    QString out;
    out.reserve(with.size());
    for (qsizetype i = 0; i < with.size(); ++i) {
        const QChar c = with.at(i);
        if (c != QLatin1Char('\\') || i + 1 == with.size()) {
            out += c;
            continue;
        }
        const QChar next = with.at(i + 1);
        if (next == QLatin1Char('\\')) {
            out += next;
            ++i;
        } else if (next.isDigit()) {
            int group = next.digitValue();
            ++i;
            if (i + 1 < with.size() && with.at(i + 1).isDigit() &&
                group * 10 + with.at(i + 1).digitValue() <= match.lastCapturedIndex()) {
                group = group * 10 + with.at(i + 1).digitValue();
                ++i;
            }
            out += match.captured(group);
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

QRegularExpression replacePattern(const ReplaceOptions& options, QString* error) {
    if (options.find.isEmpty()) {
        if (error)
            *error = QStringLiteral("nothing to find");
        return QRegularExpression(QStringLiteral("("));
    }
    QString pattern = options.regex ? options.find : QRegularExpression::escape(options.find);
    if (options.wholeWords)
        pattern = QStringLiteral("(?<![\\p{L}\\p{M}\\p{N}_])(?:%1)(?![\\p{L}\\p{M}\\p{N}_])")
                      .arg(pattern);
    QRegularExpression::PatternOptions flags = QRegularExpression::UseUnicodePropertiesOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    QRegularExpression re(pattern, flags);
    if (!re.isValid() && error)
        *error = QStringLiteral("the regular expression does not compile: %1 (at %2)")
                     .arg(re.errorString())
                     .arg(re.patternErrorOffset());
    return re;
}

int replaceInText(QString& text, const QRegularExpression& pattern, const ReplaceOptions& options) {
    int count = 0;
    QString out;
    qsizetype done = 0;
    for (auto it = pattern.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(done, m.capturedStart() - done);
        out += options.regex ? expanded(options.with, m) : options.with;
        done = m.capturedEnd();
        ++count;
    }
    if (count > 0) {
        out += QStringView(text).mid(done);
        text = std::move(out);
    }
    return count;
}

ReplacePlan planReplace(const EntryTable& table, const ReplaceOptions& options,
                        const std::array<const CodePage*, 3>& pages, int first, int last,
                        const ProgressCallback& progress) {
    ReplacePlan plan;
    const QRegularExpression pattern = replacePattern(options, &plan.error);
    if (!pattern.isValid() || !plan.error.isEmpty())
        return plan;
    if (last < 0 || last >= table.entryCount())
        last = table.entryCount() - 1;
    for (int e = std::max(first, 0); e <= last; ++e) {
        if (progress && (e - first) % kProgressEntries == 0)
            progress(e - first, last - first + 1);
        for (int field = kQuestion; field <= kComment; ++field) {
            if (!options.fields[field])
                continue;
            const std::string_view cell = table.text(e, field);
            if (cell.empty() && !options.regex)
                continue;
            QString text = pages[field]->decode(cell);
            const int count = replaceInText(text, pattern, options);
            if (count == 0)
                continue;
            EncodeResult encoded = pages[field]->encode(text);
            if (!encoded.ok()) {
                plan.refusedEntry = e;
                plan.refusedField = field;
                plan.refusedCharacters = encoded.unencodable;
                plan.changes.clear();
                plan.replacements = 0;
                return plan;
            }
            plan.replacements += count;
            if (encoded.bytes != cell)
                plan.changes.push_back({e, field, std::move(encoded.bytes)});
        }
    }
    return plan;
}

std::optional<std::pair<int, int>> findReplaceable(const EntryTable& table,
                                                   const ReplaceOptions& options,
                                                   const std::array<const CodePage*, 3>& pages,
                                                   int entry, int field) {
    const QRegularExpression pattern = replacePattern(options);
    if (options.find.isEmpty() || !pattern.isValid())
        return std::nullopt;
    const int count = table.entryCount();
    const long long start =
        static_cast<long long>(std::clamp(entry, 0, count - 1)) * 3 + std::clamp(field, 0, 2);
    for (long long k = 0; k < static_cast<long long>(count) * 3; ++k) {
        const long long at = (start + k) % (static_cast<long long>(count) * 3);
        const int e = static_cast<int>(at / 3);
        const int f = static_cast<int>(at % 3);
        if (options.fields[f] && pattern.match(pages[f]->decode(table.text(e, f))).hasMatch())
            return std::make_pair(e, f);
    }
    return std::nullopt;
}

} // namespace lexanta
