#include "core/interchange/special_import.h"

#include "core/vocab/field_recoding.h"
#include "core/vocab/lut_format.h"
#include "platform/charset_coverage.h"
#include "platform/codepage.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

namespace lexanta {

namespace {

constexpr unsigned char foldByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + ('a' - 'A')) : b;
}

// Hash and equality on the folded key, so questions are indexed without copies.
struct FoldedHash {
    std::size_t operator()(std::string_view s) const noexcept {
        std::uint64_t h = 1469598103934665603ull; // FNV-1a
        for (char c : s) {
            h ^= foldByte(c);
            h *= 1099511628211ull;
        }
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

struct FoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const noexcept {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (foldByte(a[i]) != foldByte(b[i]))
                return false;
        return true;
    }
};

// One source entry: views into the source bytes.
struct SourceEntry {
    std::string_view answer;
    std::string_view comment;
};

// Reads the next line as a view into the reader's data.
bool nextLine(LineReader& in, std::string_view data, std::string& scratch, std::string_view& line) {
    const std::size_t start = in.position();
    if (!in.next(scratch))
        return false;
    line = data.substr(start, scratch.size());
    return true;
}

// Reads the header of a current-format source up to its counter line; the fonts' character
// sets are the last of each 7-line font block.
FieldCharsets readSourceCharsets(LineReader& in) {
    constexpr int kFirstFontLine = 10;
    constexpr int kFontLines = 7;
    FieldCharsets charsets{};
    std::string_view line;
    for (int n = 0; n <= kHeaderLines && in.next(line); ++n) {
        const int font = (n - kFirstFontLine) / kFontLines;
        if (n >= kFirstFontLine && font < kShownFields &&
            (n - kFirstFontLine) % kFontLines == kFontLines - 1)
            charsets[static_cast<std::size_t>(font)] =
                static_cast<int>(leadingInteger(line) & 0xFF);
    }
    return charsets;
}

bool fieldIsEmpty(const EntryTable& table, int field) {
    for (int i = 0; i < table.entryCount(); ++i)
        if (!table.text(i, field).empty())
            return false;
    return true;
}

} // namespace

QString fillRefusals(const FillResult& result) {
    if (result.refused.empty())
        return {};
    const auto count = static_cast<int>(result.refused.size());
    return QStringLiteral("%1 %2 not filled: the field's character set lacks %3 of the source's "
                          "text. Entries: %4.")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("entry was") : QStringLiteral("entries were"))
        .arg(describeCharacters(result.unheld))
        .arg(entryNumbers(result.refused));
}

std::string foldLatin(std::string_view question) {
    std::string key(question);
    for (char& c : key)
        c = static_cast<char>(foldByte(c));
    return key;
}

FillResult fillFromVocabulary(EntryTable& table, std::string_view sourceBytes,
                              const ProgressCallback& progress) {
    std::vector<CellChange> changes;
    const FillResult result = planFill(table, sourceBytes, changes, progress);
    table.applyChanges(changes);
    return result;
}

FillResult planFill(const EntryTable& table, std::string_view sourceBytes,
                    std::vector<CellChange>& changes, const ProgressCallback& progress,
                    const FieldCharsets* charsets) {
    FillResult result;
    constexpr std::size_t kProgressSteps = 1 << 16;
    const auto total = static_cast<long long>(sourceBytes.size()) + table.entryCount();
    LineReader in(sourceBytes);
    FieldCharsets sourceCharsets{};
    if (startsWithFormatLine(sourceBytes)) {
        sourceCharsets = readSourceCharsets(in);
    } else {
        result.sourceOldFormat = true;
        in.skip(1);
    }

    std::vector<SourceEntry> entries;
    std::unordered_map<std::string_view, std::uint32_t, FoldedHash, FoldedEqual> firstByQuestion;
    // Roughly 5 lines of at least 2 bytes per entry.
    const std::size_t expected = sourceBytes.size() / 16;
    entries.reserve(expected);
    firstByQuestion.reserve(expected);

    std::string scratch;
    std::string_view question, comment, answer;
    while (nextLine(in, sourceBytes, scratch, question)) {
        comment = answer = {};
        if (nextLine(in, sourceBytes, scratch, comment))
            nextLine(in, sourceBytes, scratch, answer);
        in.skip(2);
        if (entries.size() == std::numeric_limits<std::uint32_t>::max())
            break;
        // try_emplace keeps the first entry of each question, as a scan in file order finds.
        firstByQuestion.try_emplace(question, static_cast<std::uint32_t>(entries.size()));
        entries.push_back({answer, comment});
        if (progress && entries.size() % kProgressSteps == 0)
            progress(static_cast<long long>(in.position()), total);
    }
    result.sourceEntries = static_cast<int>(entries.size());

    // The code pages a filled field's text goes from and to; none when the bytes are kept.
    std::array<const CodePage*, kShownFields> from{}, to{};
    if (charsets) {
        result.charsets = *charsets;
        for (const int f : {kAnswer, kComment}) {
            const auto i = static_cast<std::size_t>(f);
            if (result.sourceOldFormat)
                continue;
            if (fieldIsEmpty(table, f))
                result.charsets[i] = sourceCharsets[i];
            from[i] = &CodePage::forCharset(sourceCharsets[i]);
            to[i] = &CodePage::forCharset(result.charsets[i]);
        }
    }
    // Fills one field; false when its page cannot hold the source's text.
    auto fill = [&](int entry, int field, std::string_view text) {
        const auto i = static_cast<std::size_t>(field);
        if (!from[i]) {
            changes.push_back({entry, field, std::string(text)});
            return true;
        }
        std::optional<std::string> recoded = recodeText(text, *from[i], *to[i], &result.unheld);
        if (recoded)
            changes.push_back({entry, field, std::move(*recoded)});
        else if (result.refused.empty() || result.refused.back() != entry)
            result.refused.push_back(entry);
        return recoded.has_value();
    };

    for (int i = 0; i < table.entryCount(); ++i) {
        if (progress && (i + 1) % kProgressSteps == 0)
            progress(static_cast<long long>(sourceBytes.size()) + i + 1, total);
        const EntryView e = table.entry(i);
        if (e[kQuestion].empty() || (!e[kAnswer].empty() && !e[kComment].empty()))
            continue;
        const auto found = firstByQuestion.find(e[kQuestion]);
        if (found == firstByQuestion.end())
            continue;
        const SourceEntry& source = entries[found->second];
        if (e[kAnswer].empty() && !source.answer.empty() && fill(i, kAnswer, source.answer))
            ++result.answersFilled;
        if (e[kComment].empty() && !source.comment.empty() && fill(i, kComment, source.comment))
            ++result.commentsFilled;
    }
    if (progress)
        progress(total, total);
    return result;
}

} // namespace lexanta
