#pragma once

// The check of a whole list, kept up to date as the list changes: after a first run, the
// entries that changed are checked again, and the duplicate groups they join or leave.

#include "core/check/check_types.h"
#include "core/vocab/entry_table.h"
#include "core/vocab/vocabulary.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace lexanta {

class FieldSpeller;
class KeyCollator;

class ListCheck {
public:
    ListCheck();
    ~ListCheck();
    ListCheck(const ListCheck&) = delete;
    ListCheck& operator=(const ListCheck&) = delete;

    // Checks every entry. Long lists are gone through on both cores; `progress` hears of the
    // entries done, of all entries.
    void run(const Vocabulary& vocabulary, const CheckOptions& options,
             const ProgressCallback& progress = {});
    bool hasRun() const { return hasRun_; }
    // Forgets the run (the document was replaced).
    void clear();
    const CheckOptions& options() const { return options_; }
    const CheckSetup& setup() const { return setup_; }

    // Ordered by entry, then field, then kind.
    const std::vector<Finding>& findings() const { return findings_; }
    std::array<int, kCheckKindCount> counts() const;

    // The list changed after a run; update() then checks what these left to check. Entry
    // numbers are those of the table at the time of the change.
    void entriesInserted(int first, int count);
    void entriesRemoved(int first, int count);
    void entryMoved(int from, int to);
    // Place first+i now holds the entry that was at newOrder[i].
    void entriesReordered(int first, const std::vector<int>& newOrder);
    // The texts of these entries may have changed.
    void entriesChanged(int first, int last);
    // Checks again the entries that changed (those whose texts are really different), the
    // duplicate groups they left and joined, and what depends on the list's end.
    void update(const Vocabulary& vocabulary);
    // Whether anything is left for update().
    bool isPending() const { return pending_; }

    // The entries whose questions equal that of `entry` (at the primary level), in entry
    // order; just `entry` when no other has its question. Known when duplicates are checked.
    std::vector<int> groupOf(int entry) const;
    // Every such group of two or more entries.
    std::vector<std::vector<int>> duplicateGroups() const;
    bool answersAgree(int a, int b) const;

    // The speller of a field (for suggestions); null when that field's spelling is not checked.
    FieldSpeller* speller(int field) const;
    QStringList suggestions(int field, const QString& word) const;

private:
    struct EntryState {
        std::uint64_t fingerprint = 0; // of the question, answer and comment; 0: not known
        std::uint64_t questionKey = 0; // of the question's primary collation key; 0: none
        std::uint64_t answerKey = 0;
    };
    struct Pages;
    void loadSpellers();
    bool wantsGroups() const;
    void regroupAll(std::vector<Finding>& out) const;
    void groupFindings(const std::vector<int>& members, std::vector<Finding>& out) const;
    void systemScriptFindings(const EntryTable& table, std::vector<Finding>& out) const;
    void forceCheck(int entry);

    bool hasRun_ = false;
    bool pending_ = false;
    bool regroupAll_ = false;
    bool stale_ = false; // told of a change that does not fit: update() runs afresh
    int lastEntry_ = -1; // the entry that was last at the last run or update, where it is now
    CheckOptions options_;
    CheckSetup setup_;
    std::vector<Finding> findings_;
    std::vector<EntryState> entries_;
    std::vector<std::uint8_t> dirty_;
    std::vector<std::uint64_t> dirtyKeys_;
    std::array<std::unique_ptr<FieldSpeller>, 3> spellers_;
    std::unique_ptr<KeyCollator> collator_;
};

// Passes what a list's table tells its observer on to a check, so that its findings stay on
// their entries while the list changes. Without a check it does nothing.
class ListCheckFollower : public EntryTableObserver {
public:
    void follow(ListCheck* check) { check_ = check; }
    // The whole table was replaced: what a check knew is of the old list.
    std::function<void()> onTableReplaced;

    void entriesAboutToBeInserted(int first, int count) override { pending_ = {first, count}; }
    void entriesInserted() override;
    void entriesAboutToBeRemoved(int first, int count) override;
    void entriesRemoved() override {}
    void entryAboutToBeMoved(int from, int to) override { pending_ = {from, to}; }
    void entryMoved() override;
    void entriesAboutToBeReordered(int, int) override {}
    void entriesReordered(int first, const std::vector<int>& newOrder) override;
    void entriesChanged(int first, int last) override;
    void tableAboutToBeReplaced() override {}
    void tableReplaced() override;

private:
    ListCheck* check_ = nullptr;
    std::pair<int, int> pending_{0, 0};
};

// Hash of a text's primary key: texts equal but for case, accents, punctuation and spacing
// hash alike. 0 for a text without letters or digits (nothing to compare).
std::uint64_t primaryKeyHash(const KeyCollator& primary, const QString& text);

} // namespace lexanta
