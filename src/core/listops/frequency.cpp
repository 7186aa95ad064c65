#include "core/listops/frequency.h"

#include "platform/both_cores.h"
#include "platform/codepage.h"
#include "platform/collation.h"

#include <QString>

#include <algorithm>
#include <atomic>
#include <optional>

namespace lexanta {

namespace {

constexpr std::size_t kMaxVariants = 16;
constexpr int kProgressEntries = 1 << 16;

using Run = FrequencySpan;

// Letters and digits of ASCII only, and blanks where the order weighs them as letters: the
// byte is the character in every code page.
bool isPlainWord(std::string_view text, bool blanks) {
    return std::all_of(text.begin(), text.end(), [blanks](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               (blanks && c == ' ');
    });
}

// Two plain words are equal in such an order exactly when their letters are equal but for
// case. A blank is 0x20 with or without the case bit.
bool differsBeyondCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return true;
    for (std::size_t k = 0; k < a.size(); ++k)
        if ((a[k] | 0x20) != (b[k] | 0x20))
            return true;
    return false;
}

// The questions of the entries up to `end`, read a stretch at a time (`texts` fetches their
// bytes ahead: after a sort they lie anywhere in the file).
class Questions {
public:
    Questions(const EntryTable& table, int end) : table_(table), end_(end), texts_(kStretch) {}
    std::string_view operator[](int entry) {
        if (entry < from_ || entry >= to_) {
            from_ = entry;
            to_ = std::min(end_, entry + kStretch);
            table_.texts(kQuestion, from_, to_, texts_.data());
        }
        return texts_[static_cast<std::size_t>(entry - from_)];
    }

private:
    static constexpr int kStretch = 1024;
    const EntryTable& table_;
    int end_;
    int from_ = 0;
    int to_ = 0;
    std::vector<std::string_view> texts_;
};

// The runs of the questions of entries begin .. end-1. Equal means equal sort keys, as the sort
// orders, which is the collator comparing them equal. Each spelling met in a run is compared
// once: a byte string already found equal to the run's text (its case variants, as a rule) is
// not compared again, and two plain words are compared by their bytes alone.
std::vector<Run> runsOf(const EntryTable& table, int begin, int end, const CodePage& page,
                        const KeyCollator& collator, std::atomic<long long>* done) {
    std::vector<Run> runs;
    std::vector<std::string_view> variants;
    Questions questions(table, end);
    const bool blanks = collator.blanksAreLetters();
    int i = begin;
    std::string_view nextText;
    std::optional<QString> nextDecoded;
    bool haveNext = false;
    while (i < end) {
        const std::string_view runText = haveNext ? nextText : questions[i];
        std::optional<QString> decoded = haveNext ? std::move(nextDecoded) : std::nullopt;
        const bool runIsPlain =
            collator.comparesPlainWordsCaselessly() && isPlainWord(runText, blanks);
        haveNext = false;
        nextDecoded.reset();
        variants.clear();
        const int first = i;
        while (i + 1 < end) {
            const std::string_view next = questions[i + 1];
            if (next != runText &&
                std::find(variants.begin(), variants.end(), next) == variants.end()) {
                bool equal = false;
                if (runIsPlain && isPlainWord(next, blanks)) {
                    equal = !differsBeyondCase(runText, next);
                } else {
                    if (!decoded)
                        decoded = page.decode(runText);
                    QString nextText16 = page.decode(next);
                    // Equal in the collator's order means equal keys; the comparison stops at
                    // the first difference, where a key is made whole.
                    equal = collator.compare(*decoded, nextText16) == 0;
                    if (!equal)
                        nextDecoded = std::move(nextText16); // the next run's text
                    else if (variants.size() < kMaxVariants)
                        variants.push_back(next);
                }
                if (!equal) {
                    nextText = next;
                    haveNext = true;
                    break;
                }
            }
            ++i;
            if (done && (i & (kProgressEntries - 1)) == 0)
                done->fetch_add(kProgressEntries, std::memory_order_relaxed);
        }
        runs.push_back({first, i - first + 1});
        ++i;
    }
    return runs;
}

// Appends `more`, the runs of the entries right after those of `runs`, joining the run that was
// found in two pieces. Equal keys are an equivalence, so the joined runs are those a single
// pass finds.
void appendRuns(std::vector<Run>& runs, const std::vector<Run>& more, const EntryTable& table,
                const CodePage& page, const KeyCollator& collator) {
    std::size_t skip = 0;
    const auto key = [&](int entry) {
        return collator.sortKey(page.decode(table.text(entry, kQuestion)));
    };
    if (!runs.empty() && !more.empty() && key(runs.back().first) == key(more.front().first)) {
        runs.back().length += more.front().length;
        skip = 1;
    }
    runs.insert(runs.end(), more.begin() + static_cast<std::ptrdiff_t>(skip), more.end());
}

// All runs of the entries, each half of the list on a core of its own. This thread goes
// through its half a slice at a time and reports progress for both between slices.
std::vector<Run> allRuns(const EntryTable& table, const CodePage& codePage,
                         const KeyCollator& collator, const ProgressCallback& progress) {
    const int count = table.entryCount();
    const bool split = count >= kRowsWorthASecondCore;
    const int middle = split ? count / 2 : count;
    std::vector<Run> halves[2];
    std::atomic<long long> secondDone{0};
    runOnBothCores(split, [&](int part) {
        std::optional<CodePage> own;
        if (split && part == 1)
            own.emplace(codePage.number()); // multi-byte converters keep state
        const CodePage& page = own ? *own : codePage;
        if (part == 1) {
            halves[1] = runsOf(table, middle, count, page, collator, &secondDone);
            return;
        }
        for (int from = 0; from < middle;) {
            const int to = std::min(middle, from + kProgressEntries);
            appendRuns(halves[0], runsOf(table, from, to, page, collator, nullptr), table, page,
                       collator);
            from = to;
            if (progress)
                progress(from + secondDone.load(std::memory_order_relaxed), count);
        }
    });
    appendRuns(halves[0], halves[1], table, codePage, collator);
    if (progress)
        progress(count, count);
    return std::move(halves[0]);
}

} // namespace

std::vector<FrequencyRun> frequencyRuns(const EntryTable& table, const CodePage& codePage,
                                        const KeyCollator& collator,
                                        const ProgressCallback& progress) {
    std::vector<FrequencyRun> runs;
    for (const Run& run : allRuns(table, codePage, collator, progress))
        runs.push_back({std::string(table.text(run.first, kQuestion)), run.length});
    return runs;
}

std::vector<CellChange> frequencyChanges(const std::vector<FrequencyRun>& runs) {
    std::vector<CellChange> changes;
    changes.reserve(runs.size() * 2);
    for (std::size_t p = 0; p < runs.size(); ++p) {
        const int entry = static_cast<int>(p);
        changes.push_back({entry, kQuestion, runs[p].text});
        changes.push_back({entry, kAnswer, std::to_string(runs[p].length)});
    }
    return changes;
}

std::vector<FrequencySpan> frequencySpans(const EntryTable& table, const CodePage& codePage,
                                          const KeyCollator& collator,
                                          const ProgressCallback& progress) {
    return allRuns(table, codePage, collator, progress);
}

void writeFrequencyResult(EntryTable& table, const std::vector<FrequencySpan>& spans) {
    const int count = static_cast<int>(spans.size());
    {
        // Result entry p takes the question of an entry at or after p, so no question is
        // overwritten before it is read; the table refers to the text where it already is.
        BatchWrites batch(table);
        constexpr int kAhead = 8;
        for (int p = 0; p < count; ++p) {
            // Both the entry written and the one whose question it takes are fetched ahead.
            if (p + kAhead < count) {
                table.prefetchEntry(p + kAhead);
                table.prefetchEntry(spans[static_cast<std::size_t>(p + kAhead)].first);
            }
            const Run& run = spans[static_cast<std::size_t>(p)];
            if (run.first != p)
                table.setText(p, kQuestion, table.text(run.first, kQuestion));
            table.setText(p, kAnswer, std::to_string(run.length));
        }
    }
    table.notifyEntriesChanged(0, count - 1);
}

int frequencyAnalysis(EntryTable& table, const CodePage& codePage, const KeyCollator& collator,
                      const ProgressCallback& progress) {
    const std::vector<Run> runs = allRuns(table, codePage, collator, progress);
    writeFrequencyResult(table, runs);
    const int count = static_cast<int>(runs.size());
    table.setEntryCount(count);
    return count;
}

} // namespace lexanta
