#include "core/interchange/special_import.h"

#include "core/vocab/lut_format.h"

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

} // namespace

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
                    std::vector<CellChange>& changes, const ProgressCallback& progress) {
    FillResult result;
    constexpr std::size_t kProgressSteps = 1 << 16;
    const auto total = static_cast<long long>(sourceBytes.size()) + table.entryCount();
    LineReader in(sourceBytes);
    if (startsWithFormatLine(sourceBytes)) {
        in.skip(kHeaderLines + 1);
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
        if (e[kAnswer].empty() && !source.answer.empty()) {
            changes.push_back({i, kAnswer, std::string(source.answer)});
            ++result.answersFilled;
        }
        if (e[kComment].empty() && !source.comment.empty()) {
            changes.push_back({i, kComment, std::string(source.comment)});
            ++result.commentsFilled;
        }
    }
    if (progress)
        progress(total, total);
    return result;
}

} // namespace lexanta
