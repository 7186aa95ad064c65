#include "core/check/list_check.h"

#include "core/check/entry_checks.h"
#include "core/check/field_languages.h"
#include "core/check/field_speller.h"
#include "core/listops/sorting.h"
#include "platform/both_cores.h"
#include "platform/codepage.h"
#include "platform/collation.h"

#include <QString>

#include <algorithm>
#include <functional>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace lexanta {

namespace {

constexpr int kProgressEntries = 1 << 15;
constexpr std::uint8_t kChanged = 1; // checked again when its texts differ
constexpr std::uint8_t kForced = 2;  // checked again in any case

bool findingLess(const Finding& a, const Finding& b) {
    if (a.entry != b.entry)
        return a.entry < b.entry;
    if (a.field != b.field)
        return a.field < b.field;
    if (a.kind != b.kind)
        return a.kind < b.kind;
    return a.position < b.position;
}

bool isGroupKind(CheckKind kind) {
    return kind == CheckKind::Duplicate || kind == CheckKind::DifferentAnswers;
}

std::uint64_t hashOf(std::string_view bytes) {
    return std::hash<std::string_view>{}(bytes);
}

std::uint64_t fingerprintOf(const EntryView& e) {
    return (hashOf(e[kQuestion]) ^ hashOf(e[kAnswer]) * 0x9E3779B97F4A7C15ull ^
            hashOf(e[kComment]) * 0xC2B2AE3D27D4EB4Full) |
           1;
}

// Sorts `more` and merges it into `into`, which is sorted.
void mergeInto(std::vector<Finding>& into, std::vector<Finding>&& more) {
    if (more.empty())
        return;
    std::stable_sort(more.begin(), more.end(), findingLess);
    std::vector<Finding> merged;
    merged.reserve(into.size() + more.size());
    std::merge(std::make_move_iterator(into.begin()), std::make_move_iterator(into.end()),
               std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()),
               std::back_inserter(merged), findingLess);
    into = std::move(merged);
}

// Keys of distinct texts, each computed once.
class KeyCache {
public:
    KeyCache(const KeyCollator& collator, const CodePage& page)
        : collator_(collator), page_(page) {}
    std::uint64_t operator()(std::string_view bytes) {
        if (bytes.empty())
            return 0;
        auto it = keys_.find(bytes);
        if (it == keys_.end())
            it = keys_.emplace(bytes, primaryKeyHash(collator_, page_.decode(bytes))).first;
        return it->second;
    }

private:
    const KeyCollator& collator_;
    const CodePage& page_;
    std::unordered_map<std::string_view, std::uint64_t> keys_;
};

} // namespace

namespace {

// A key whose collation part is empty (blanks and punctuation only) compares nothing.
std::uint64_t keyHash(std::string_view key) {
    if (key.size() < 2 || key[1] == '\0')
        return 0;
    return hashOf(key) | 1;
}

} // namespace

std::uint64_t primaryKeyHash(const KeyCollator& primary, const QString& text) {
    return keyHash(primary.sortKey(text));
}

// The code pages of one thread: multi-byte converters keep state, so each thread has its own.
struct ListCheck::Pages {
    std::array<std::optional<CodePage>, 3> font;
    std::array<std::optional<CodePage>, 3> language;
    EntryCheckContext context;

    Pages(const CheckSetup& setup, const ListCheck& check, int entryCount) {
        context.setup = &setup;
        context.entryCount = entryCount;
        for (int f = 0; f < 3; ++f) {
            font[f].emplace(setup.fields[f].codePage);
            context.pages[f] = &*font[f];
            if (setup.fields[f].languageCodePage != 0) {
                language[f].emplace(setup.fields[f].languageCodePage);
                context.languagePages[f] = &*language[f];
            }
            context.spellers[f] = check.speller(f);
        }
    }
};

ListCheck::ListCheck()
    : collator_(std::make_unique<KeyCollator>(QString(), KeyCollator::Strength::Primary)) {}
ListCheck::~ListCheck() = default;

FieldSpeller* ListCheck::speller(int field) const {
    if (field < 0 || field > 2 || !(setup_.kinds & kindBit(CheckKind::Spelling)))
        return nullptr;
    FieldSpeller* s = spellers_[field].get();
    return s && s->isLoaded() ? s : nullptr;
}

QStringList ListCheck::suggestions(int field, const QString& word) const {
    FieldSpeller* s = speller(field);
    return s ? s->suggestions(word) : QStringList();
}

void ListCheck::clear() {
    hasRun_ = pending_ = regroupAll_ = stale_ = false;
    findings_.clear();
    entries_.clear();
    dirty_.clear();
    dirtyKeys_.clear();
}

std::vector<int> ListCheck::groupOf(int entry) const {
    if (entry < 0 || entry >= static_cast<int>(entries_.size()))
        return {};
    const std::uint64_t key = entries_[static_cast<std::size_t>(entry)].questionKey;
    if (key == 0)
        return {entry};
    std::vector<int> members;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].questionKey == key)
            members.push_back(static_cast<int>(i));
    return members;
}

std::vector<std::vector<int>> ListCheck::duplicateGroups() const {
    std::vector<std::pair<std::uint64_t, int>> keyed;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].questionKey != 0)
            keyed.emplace_back(entries_[i].questionKey, static_cast<int>(i));
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::vector<int>> groups;
    for (std::size_t i = 0; i < keyed.size();) {
        std::size_t j = i + 1;
        while (j < keyed.size() && keyed[j].first == keyed[i].first)
            ++j;
        if (j - i > 1) {
            groups.emplace_back();
            for (std::size_t k = i; k < j; ++k)
                groups.back().push_back(keyed[k].second);
        }
        i = j;
    }
    return groups;
}

bool ListCheck::answersAgree(int a, int b) const {
    const auto n = static_cast<int>(entries_.size());
    return a >= 0 && b >= 0 && a < n && b < n &&
           entries_[static_cast<std::size_t>(a)].answerKey ==
               entries_[static_cast<std::size_t>(b)].answerKey;
}

std::array<int, kCheckKindCount> ListCheck::counts() const {
    std::array<int, kCheckKindCount> counts{};
    for (const Finding& f : findings_)
        ++counts[static_cast<int>(f.kind)];
    return counts;
}

bool ListCheck::wantsGroups() const {
    return (setup_.kinds &
            (kindBit(CheckKind::Duplicate) | kindBit(CheckKind::DifferentAnswers))) != 0;
}

void ListCheck::loadSpellers() {
    for (int f = 0; f < 3; ++f) {
        FieldSetup& field = setup_.fields[f];
        if (field.dictionary.isEmpty() || !(setup_.kinds & kindBit(CheckKind::Spelling))) {
            spellers_[f].reset();
            continue;
        }
        // A dictionary already loaded keeps what it learnt of the words.
        // Each field has its own: two threads may spell at once.
        if (!spellers_[f] || spellers_[f]->dictionaryName() != field.dictionary)
            spellers_[f] =
                std::make_unique<FieldSpeller>(field.dictionary, scriptOfLanguage(field.language));
        if (!spellers_[f]->isLoaded()) {
            field.dictionaryMissing = true;
            field.dictionary.clear();
        }
    }
}

void ListCheck::run(const Vocabulary& vocabulary, const CheckOptions& options,
                    const ProgressCallback& progress) {
    options_ = options;
    setup_ = checkSetup(vocabulary.header, options);
    loadSpellers();
    const EntryTable& table = vocabulary.entries;
    const int n = table.entryCount();
    entries_.assign(static_cast<std::size_t>(n), EntryState{});
    dirty_.assign(static_cast<std::size_t>(n), 0);
    dirtyKeys_.clear();
    regroupAll_ = false;
    pending_ = false;
    stale_ = false;

    // The question field and the comments here, the answers on the second core.
    const bool split = n >= kRowsWorthASecondCore;
    const bool groups = wantsGroups();
    if (groups) {
        // The sort's keys, at the primary level.
        for (const auto& [field, member] :
             {std::pair{kQuestion, &EntryState::questionKey}, {kAnswer, &EntryState::answerKey}}) {
            std::vector<std::string> keys;
            const std::vector<std::uint32_t> ranks = keyRanks(
                table, field, CodePage::get(setup_.fields[field].codePage), *collator_, &keys);
            std::vector<std::uint64_t> ids(keys.size());
            for (std::size_t r = 0; r < keys.size(); ++r)
                ids[r] = keyHash(keys[r]);
            for (int i = 0; i < n; ++i)
                entries_[static_cast<std::size_t>(i)].*member = ids[ranks[i]];
        }
    }
    std::vector<Finding> found[2];
    runOnBothCores(split, [&](int part) {
        Pages pages(setup_, *this, n);
        const unsigned mask = part == 0 ? (1u << kQuestion) | (1u << kComment) : 1u << kAnswer;
        found[part].reserve(static_cast<std::size_t>(n) / 4);
        for (int i = 0; i < n; ++i) {
            checkEntry(table, i, pages.context, mask, found[part]);
            if (part == 0) {
                entries_[static_cast<std::size_t>(i)].fingerprint = fingerprintOf(table.entry(i));
                if (progress && (i + 1) % kProgressEntries == 0)
                    progress(i + 1, n);
            }
        }
    });
    findings_ = std::move(found[0]);
    mergeInto(findings_, std::move(found[1]));
    std::vector<Finding> more;
    if (groups)
        regroupAll(more);
    systemScriptFindings(table, more);
    mergeInto(findings_, std::move(more));
    lastEntry_ = n - 1;
    hasRun_ = true;
    if (progress)
        progress(n, n);
}

void ListCheck::groupFindings(const std::vector<int>& members, std::vector<Finding>& out) const {
    // Members are in entry order: the first is the one the others repeat.
    const int first = members.front();
    const std::uint64_t answer = entries_[static_cast<std::size_t>(first)].answerKey;
    for (std::size_t i = 1; i < members.size(); ++i) {
        Finding f;
        f.entry = members[i];
        f.field = kQuestion;
        f.other = first;
        const bool agree = entries_[static_cast<std::size_t>(members[i])].answerKey == answer;
        f.kind = agree ? CheckKind::Duplicate : CheckKind::DifferentAnswers;
        f.problem = agree ? Problem::Duplicate : Problem::DifferentAnswers;
        if (setup_.kinds & kindBit(f.kind))
            out.push_back(std::move(f));
    }
}

void ListCheck::regroupAll(std::vector<Finding>& out) const {
    for (const std::vector<int>& group : duplicateGroups())
        groupFindings(group, out);
}

void ListCheck::systemScriptFindings(const EntryTable& table, std::vector<Finding>& out) const {
    if (!(setup_.kinds & kindBit(CheckKind::Character)))
        return;
    const int here = systemAnsiCodePage();
    for (int field = kQuestion; field <= kComment; ++field) {
        const FieldSetup& f = setup_.fields[field];
        // A symbol font has glyphs of its own; a page a character set selects is the same
        // everywhere. The others show the page of the system the drill program runs on.
        if (f.charset == kCharsetAnsi + 2 || charsetForCodePage(f.codePage) == f.charset)
            continue;
        // Letters typed in another language's page are told per cell (OtherScript).
        if (f.languageCodePage != 0 && f.languageCodePage != f.codePage)
            continue;
        for (int i = 0; i < table.entryCount(); ++i) {
            const std::string_view cell = table.text(i, field);
            if (std::any_of(cell.begin(), cell.end(), [](char c) { return (c & 0x80) != 0; })) {
                Finding finding;
                finding.kind = CheckKind::Character;
                finding.problem = Problem::SystemScript;
                finding.entry = i;
                finding.field = field;
                finding.detail = here;
                out.push_back(std::move(finding));
                break;
            }
        }
    }
}

// ---- following the list ------------------------------------------------------------------

void ListCheck::forceCheck(int entry) {
    if (entry >= 0 && entry < static_cast<int>(dirty_.size()))
        dirty_[static_cast<std::size_t>(entry)] = kForced;
}

void ListCheck::entriesInserted(int first, int count) {
    if (!hasRun_ || count <= 0 || stale_)
        return;
    if (first < 0 || first > static_cast<int>(entries_.size())) {
        stale_ = pending_ = true;
        return;
    }
    entries_.insert(entries_.begin() + first, static_cast<std::size_t>(count), EntryState{});
    dirty_.insert(dirty_.begin() + first, static_cast<std::size_t>(count), kForced);
    for (Finding& f : findings_) {
        if (f.entry >= first)
            f.entry += count;
        if (f.other >= first)
            f.other += count;
    }
    if (lastEntry_ >= first)
        lastEntry_ += count;
    pending_ = true;
}

void ListCheck::entriesRemoved(int first, int count) {
    if (!hasRun_ || count <= 0 || stale_)
        return;
    if (first < 0 || first + count > static_cast<int>(entries_.size())) {
        stale_ = pending_ = true;
        return;
    }
    const int last = first + count - 1;
    for (int i = first; i <= last; ++i)
        if (const std::uint64_t key = entries_[static_cast<std::size_t>(i)].questionKey)
            dirtyKeys_.push_back(key);
    entries_.erase(entries_.begin() + first, entries_.begin() + last + 1);
    dirty_.erase(dirty_.begin() + first, dirty_.begin() + last + 1);
    std::erase_if(findings_, [&](const Finding& f) { return f.entry >= first && f.entry <= last; });
    for (Finding& f : findings_) {
        if (f.entry > last)
            f.entry -= count;
        if (f.other > last)
            f.other -= count;
    }
    lastEntry_ = lastEntry_ > last ? lastEntry_ - count : lastEntry_ >= first ? -1 : lastEntry_;
    pending_ = true;
}

void ListCheck::entryMoved(int from, int to) {
    if (!hasRun_ || from == to || stale_)
        return;
    const int n = static_cast<int>(entries_.size());
    if (from < 0 || to < 0 || from >= n || to >= n) {
        stale_ = pending_ = true;
        return;
    }
    const auto at = [](auto& v, int i) { return v.begin() + i; };
    if (from < to) {
        std::rotate(at(entries_, from), at(entries_, from + 1), at(entries_, to + 1));
        std::rotate(at(dirty_, from), at(dirty_, from + 1), at(dirty_, to + 1));
    } else {
        std::rotate(at(entries_, to), at(entries_, from), at(entries_, from + 1));
        std::rotate(at(dirty_, to), at(dirty_, from), at(dirty_, from + 1));
    }
    const int low = std::min(from, to), high = std::max(from, to);
    const auto moved = [&](int e) {
        if (e == from)
            return to;
        if (e < low || e > high)
            return e;
        return from < to ? e - 1 : e + 1;
    };
    // Only the findings of the entries in between change places.
    const auto begin = std::lower_bound(findings_.begin(), findings_.end(), low,
                                        [](const Finding& f, int e) { return f.entry < e; });
    const auto end = std::upper_bound(begin, findings_.end(), high,
                                      [](int e, const Finding& f) { return e < f.entry; });
    for (Finding& f : findings_) {
        f.entry = moved(f.entry);
        if (f.other >= 0)
            f.other = moved(f.other);
    }
    std::stable_sort(begin, end, findingLess);
    lastEntry_ = moved(lastEntry_);
    // The moved entry may now come before or after the others of its group.
    if (const std::uint64_t key = entries_[static_cast<std::size_t>(to)].questionKey)
        dirtyKeys_.push_back(key);
    pending_ = true;
}

void ListCheck::entriesReordered(int first, const std::vector<int>& newOrder) {
    if (!hasRun_ || newOrder.empty() || stale_)
        return;
    if (first < 0 ||
        first + static_cast<long long>(newOrder.size()) > static_cast<long long>(entries_.size())) {
        stale_ = pending_ = true;
        return;
    }
    const int count = static_cast<int>(newOrder.size());
    std::vector<int> newOfOld(newOrder.size());
    std::vector<EntryState> states(newOrder.size());
    std::vector<std::uint8_t> dirty(newOrder.size());
    for (int i = 0; i < count; ++i) {
        const int old = newOrder[static_cast<std::size_t>(i)];
        newOfOld[static_cast<std::size_t>(old - first)] = first + i;
        states[static_cast<std::size_t>(i)] = entries_[static_cast<std::size_t>(old)];
        dirty[static_cast<std::size_t>(i)] = dirty_[static_cast<std::size_t>(old)];
    }
    std::copy(states.begin(), states.end(), entries_.begin() + first);
    std::copy(dirty.begin(), dirty.end(), dirty_.begin() + first);
    const auto renumbered = [&](int e) {
        return e >= first && e < first + count ? newOfOld[static_cast<std::size_t>(e - first)] : e;
    };
    for (Finding& f : findings_) {
        f.entry = renumbered(f.entry);
        if (f.other >= 0)
            f.other = renumbered(f.other);
    }
    std::stable_sort(findings_.begin(), findings_.end(), findingLess);
    lastEntry_ = renumbered(lastEntry_);
    regroupAll_ = true; // which entry of a group comes first may have changed
    pending_ = true;
}

void ListCheck::entriesChanged(int first, int last) {
    if (!hasRun_)
        return;
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(dirty_.size()) - 1);
    for (int i = first; i <= last; ++i)
        dirty_[static_cast<std::size_t>(i)] |= kChanged;
    pending_ = first <= last || pending_;
}

void ListCheck::update(const Vocabulary& vocabulary) {
    if (!hasRun_ || !pending_)
        return;
    const EntryTable& table = vocabulary.entries;
    const int n = table.entryCount();
    if (stale_ || n != static_cast<int>(entries_.size())) { // start afresh
        run(vocabulary, options_);
        return;
    }
    // Whether an empty entry is a gap depends on whether it is the last.
    forceCheck(lastEntry_);
    forceCheck(n - 1);

    Pages pages(setup_, *this, n);
    KeyCache questionKeys(*collator_, *pages.context.pages[kQuestion]);
    KeyCache answerKeys(*collator_, *pages.context.pages[kAnswer]);
    const bool groups = wantsGroups();
    std::vector<std::uint8_t> rechecked(static_cast<std::size_t>(n), 0);
    std::vector<Finding> added;
    for (int i = 0; i < n; ++i) {
        const std::uint8_t mark = dirty_[static_cast<std::size_t>(i)];
        if (!mark)
            continue;
        dirty_[static_cast<std::size_t>(i)] = 0;
        EntryState& state = entries_[static_cast<std::size_t>(i)];
        const std::uint64_t fingerprint = fingerprintOf(table.entry(i));
        if (mark == kChanged && fingerprint == state.fingerprint)
            continue;
        state.fingerprint = fingerprint;
        rechecked[static_cast<std::size_t>(i)] = 1;
        checkEntry(table, i, pages.context, 7u, added);
        if (!groups)
            continue;
        if (state.questionKey)
            dirtyKeys_.push_back(state.questionKey);
        state.questionKey = questionKeys(table.text(i, kQuestion));
        state.answerKey = answerKeys(table.text(i, kAnswer));
        if (state.questionKey)
            dirtyKeys_.push_back(state.questionKey);
    }

    const std::unordered_set<std::uint64_t> keys(dirtyKeys_.begin(), dirtyKeys_.end());
    std::erase_if(findings_, [&](const Finding& f) {
        if (f.problem == Problem::SystemScript)
            return true;
        if (rechecked[static_cast<std::size_t>(f.entry)] && !isGroupKind(f.kind))
            return true;
        return isGroupKind(f.kind) &&
               (regroupAll_ || rechecked[static_cast<std::size_t>(f.entry)] ||
                keys.count(entries_[static_cast<std::size_t>(f.entry)].questionKey));
    });
    if (groups && regroupAll_) {
        regroupAll(added);
    } else if (groups && !keys.empty()) {
        std::unordered_map<std::uint64_t, std::vector<int>> members;
        for (int i = 0; i < n; ++i)
            if (keys.count(entries_[static_cast<std::size_t>(i)].questionKey))
                members[entries_[static_cast<std::size_t>(i)].questionKey].push_back(i);
        for (const auto& [key, group] : members)
            if (group.size() > 1)
                groupFindings(group, added);
    }
    systemScriptFindings(table, added);
    mergeInto(findings_, std::move(added));
    dirtyKeys_.clear();
    regroupAll_ = false;
    pending_ = false;
    lastEntry_ = n - 1;
}

// ---- following the list -------------------------------------------------------------------

void ListCheckFollower::entriesInserted() {
    if (check_)
        check_->entriesInserted(pending_.first, pending_.second);
}

void ListCheckFollower::entriesAboutToBeRemoved(int first, int count) {
    if (check_)
        check_->entriesRemoved(first, count);
}

void ListCheckFollower::entryMoved() {
    if (check_)
        check_->entryMoved(pending_.first, pending_.second);
}

void ListCheckFollower::entriesReordered(int first, const std::vector<int>& newOrder) {
    if (check_)
        check_->entriesReordered(first, newOrder);
}

void ListCheckFollower::entriesChanged(int first, int last) {
    if (check_)
        check_->entriesChanged(first, last);
}

void ListCheckFollower::tableReplaced() {
    if (onTableReplaced)
        onTableReplaced();
}

} // namespace lexanta
