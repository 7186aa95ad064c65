#include "document/document_command.h"

#include "core/listops/shuffle_swap.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace lexanta {

namespace {

enum StepKind : int { kSingleCellKind = 1, kHeaderKind = 2 };

// Cell changes that trade places with the table's texts: doing them twice undoes them.
class CellChanges : public DocumentCommand {
public:
    CellChanges(Document& document, const QString& text, std::vector<CellChange> changes)
        : DocumentCommand(document, text), changes_(std::move(changes)) {}
    void redo() override { exchange(false); }
    void undo() override { exchange(true); }

protected:
    void exchange(bool backwards) {
        EntryTable& t = table();
        int first = t.entryCount(), last = 0;
        {
            BatchWrites batch(t);
            const auto one = [&](CellChange& c) {
                std::string held(t.text(c.entry, c.field));
                t.setText(c.entry, c.field, c.text);
                c.text = std::move(held);
                first = std::min(first, c.entry);
                last = std::max(last, c.entry);
            };
            if (backwards)
                std::for_each(changes_.rbegin(), changes_.rend(), one);
            else
                std::for_each(changes_.begin(), changes_.end(), one);
        }
        t.notifyEntriesChanged(first, last);
        entriesChanged();
    }
    std::vector<CellChange> changes_;
};

// One field typed into during one visit: later keystrokes of the same visit join the step.
class SingleCell : public CellChanges {
public:
    SingleCell(Document& document, CellChange change, quint64 editKey)
        : CellChanges(document, QStringLiteral("Typing"), {std::move(change)}), key_(editKey) {}
    int kind() const override { return key_ ? kSingleCellKind : -1; }
    bool absorb(const UndoStep& other) override {
        const auto& next = static_cast<const SingleCell&>(other);
        const CellChange& mine = changes_.front();
        const CellChange& theirs = next.changes_.front();
        if (next.key_ != key_ || theirs.entry != mine.entry || theirs.field != mine.field)
            return false;
        // This step keeps the text from before the first keystroke; the field already holds
        // the newest one.
        return true;
    }

private:
    quint64 key_;
};

class Permutation : public DocumentCommand {
public:
    Permutation(Document& document, const QString& text, int first, std::vector<int> order)
        : DocumentCommand(document, text), first_(first), order_(std::move(order)) {}
    void redo() override {
        table().reorder(first_, order_);
        entriesChanged();
    }
    void undo() override {
        // The inverse is built when needed, so the step keeps one index per entry.
        std::vector<int> inverse(order_.size());
        for (std::size_t i = 0; i < order_.size(); ++i)
            inverse[static_cast<std::size_t>(order_[i] - first_)] = first_ + static_cast<int>(i);
        table().reorder(first_, inverse);
        entriesChanged();
    }

private:
    int first_;
    std::vector<int> order_;
};

// The entry count changes between `shorter` and `longer`; the entries in between are held
// here while they are not in the table.
class EntryCount : public DocumentCommand {
public:
    EntryCount(Document& document, const QString& text, int shorter, int longer, bool grow)
        : DocumentCommand(document, text), shorter_(shorter), longer_(longer), grow_(grow) {}
    EntryCount(Document& document, const QString& text, int shorter, EntryTable held, int first)
        : DocumentCommand(document, text), shorter_(shorter),
          longer_(shorter + held.entryCount() - first), grow_(true), held_(std::move(held)),
          heldFirst_(first), fromTable_(true) {}
    void redo() override { grow_ ? lengthen() : shorten(); }
    void undo() override { grow_ ? shorten() : lengthen(); }

private:
    void shorten() {
        // What leaves the table is held as the store holds it, extra fields included.
        heldRecords_ = table().takeTail(shorter_);
        entriesChanged();
    }
    void lengthen() {
        EntryTable& t = table();
        if (!fromTable_) {
            t.appendHeld(heldRecords_);
            t.setEntryCount(longer_);
            heldRecords_ = HeldEntries();
            entriesChanged();
            return;
        }
        t.setEntryCount(longer_);
        {
            BatchWrites batch(t);
            for (int i = shorter_; i < longer_; ++i)
                t.setEntry(i, held_.entry(i - shorter_ + heldFirst_));
        }
        t.notifyEntriesChanged(shorter_, longer_ - 1);
        held_ = EntryTable();
        fromTable_ = false;
        entriesChanged();
    }

    int shorter_;
    int longer_;
    bool grow_;
    EntryTable held_; // entries from another table (a merged file's), until first undone
    int heldFirst_ = 0;
    bool fromTable_ = false;
    HeldEntries heldRecords_; // this table's own entries while they are not in it
};

// Keeps the list before the analysis as references: the questions and answers the result
// overwrote, and the entries it cut off as the store holds them.
class Frequency : public DocumentCommand {
public:
    Frequency(Document& document, std::vector<FrequencySpan> spans)
        : DocumentCommand(document, QStringLiteral("Frequency analysis")),
          spans_(std::move(spans)) {}
    void redo() override {
        EntryTable& t = table();
        const auto runs = static_cast<int>(spans_.size());
        oldQuestions_.resize(spans_.size());
        oldAnswers_.resize(spans_.size());
        for (int p = 0; p < runs; ++p) {
            oldQuestions_[static_cast<std::size_t>(p)] = t.textRef(p, kQuestion);
            oldAnswers_[static_cast<std::size_t>(p)] = t.textRef(p, kAnswer);
        }
        writeFrequencyResult(t, spans_);
        held_ = t.takeTail(runs);
        entriesChanged();
    }
    void undo() override {
        EntryTable& t = table();
        t.appendHeld(held_);
        held_ = HeldEntries();
        const auto runs = static_cast<int>(spans_.size());
        for (int p = 0; p < runs; ++p) {
            t.setTextRef(p, kQuestion, oldQuestions_[static_cast<std::size_t>(p)]);
            t.setTextRef(p, kAnswer, oldAnswers_[static_cast<std::size_t>(p)]);
        }
        std::vector<TextRef>().swap(oldQuestions_);
        std::vector<TextRef>().swap(oldAnswers_);
        t.notifyEntriesChanged(0, runs - 1);
        entriesChanged();
    }

private:
    std::vector<FrequencySpan> spans_;
    std::vector<TextRef> oldQuestions_;
    std::vector<TextRef> oldAnswers_;
    HeldEntries held_;
};

class InsertEntries : public DocumentCommand {
public:
    InsertEntries(Document& document, const QString& text, int at, std::vector<Entry> entries,
                  bool remove)
        : DocumentCommand(document, text), at_(at), entries_(std::move(entries)), remove_(remove) {}
    void redo() override { remove_ ? take() : put(); }
    void undo() override { remove_ ? put() : take(); }

private:
    void put() {
        EntryTable& t = table();
        const int count = static_cast<int>(entries_.size());
        t.insertEntries(at_, count);
        {
            BatchWrites batch(t);
            for (int i = 0; i < count; ++i)
                t.setEntry(at_ + i, entries_[static_cast<std::size_t>(i)]);
        }
        t.notifyEntriesChanged(at_, at_ + count - 1);
        entriesChanged();
    }
    void take() {
        EntryTable& t = table();
        for (std::size_t i = 0; i < entries_.size(); ++i)
            entries_[i] = t.entry(at_ + static_cast<int>(i)).toEntry();
        t.removeEntries(at_, static_cast<int>(entries_.size()));
        entriesChanged();
    }

    int at_;
    std::vector<Entry> entries_;
    bool remove_;
};

class Move : public DocumentCommand {
public:
    Move(Document& document, int from, int to, bool field)
        : DocumentCommand(document,
                          field ? QStringLiteral("Move column") : QStringLiteral("Move entry")),
          from_(from), to_(to), field_(field) {}
    void redo() override { move(from_, to_); }
    void undo() override { move(to_, from_); }

private:
    void move(int from, int to) {
        if (field_)
            table().moveField(from, to);
        else
            table().moveEntry(from, to);
        entriesChanged();
    }
    int from_, to_;
    bool field_;
};

class SwapQuestionAnswer : public DocumentCommand {
public:
    explicit SwapQuestionAnswer(Document& document)
        : DocumentCommand(document, QStringLiteral("Swap questions and answers")) {}
    void redo() override { swap(); }
    void undo() override { swap(); }

private:
    void swap() {
        swapQuestionAnswerCells(table());
        VocabularyHeader& h = vocabulary().header;
        std::swap(h.layoutNames[kQuestion], h.layoutNames[kAnswer]);
        std::swap(h.fonts[kQuestion], h.fonts[kAnswer]);
        headerChanged();
        entriesChanged();
    }
};

class Header : public DocumentCommand {
public:
    Header(Document& document, const QString& text, VocabularyHeader header, quint64 editKey)
        : DocumentCommand(document, text), header_(std::move(header)), key_(editKey) {}
    void redo() override { exchange(); }
    void undo() override { exchange(); }
    int kind() const override { return key_ ? kHeaderKind : -1; }
    bool absorb(const UndoStep& other) override {
        // Typing into one description box during one visit: this step keeps the header from
        // before the first keystroke.
        return static_cast<const Header&>(other).key_ == key_;
    }

private:
    void exchange() {
        std::swap(vocabulary().header, header_);
        headerChanged();
    }
    VocabularyHeader header_;
    quint64 key_;
};

class Format : public DocumentCommand {
public:
    Format(Document& document, bool currentFormat)
        : DocumentCommand(document, QStringLiteral("Save in the current format")),
          format_(currentFormat) {}
    void redo() override { exchange(); }
    void undo() override { exchange(); }

private:
    void exchange() { std::swap(vocabulary().currentFormat, format_); }
    bool format_;
};

class Replace : public DocumentCommand {
public:
    Replace(Document& document, const QString& text, Vocabulary vocabulary, FileState file)
        : DocumentCommand(document, text), vocabulary_(std::move(vocabulary)),
          file_(std::move(file)) {}
    void redo() override { exchange(); }
    void undo() override { exchange(); }

private:
    void exchange() {
        aboutToBeReplaced();
        Vocabulary& v = vocabulary();
        std::swap(v.header, vocabulary_.header);
        std::swap(v.counterLine, vocabulary_.counterLine);
        std::swap(v.currentFormat, vocabulary_.currentFormat);
        v.entries.swapContents(vocabulary_.entries);
        const FileState file = document().fileState();
        setFileState(file_);
        file_ = file;
        headerChanged();
        replaced();
    }
    Vocabulary vocabulary_;
    FileState file_;
};

} // namespace

// Parts of a PlannedStep are carried out once as they are planned.
template <typename Part, typename... Args> void PlannedStep::addPart(Args&&... args) {
    parts_.push_back(std::make_unique<Part>(std::forward<Args>(args)...));
    parts_.back()->redo();
}

void PlannedStep::redo() {
    for (const auto& part : parts_)
        part->redo();
}

void PlannedStep::undo() {
    for (auto part = parts_.rbegin(); part != parts_.rend(); ++part)
        (*part)->undo();
}

void PlannedStep::addCellChanges(std::vector<CellChange> changes) {
    if (!changes.empty())
        addPart<CellChanges>(document(), text(), std::move(changes));
}

void PlannedStep::addPermutation(int first, std::vector<int> order) {
    if (!order.empty())
        addPart<Permutation>(document(), text(), first, std::move(order));
}

void PlannedStep::addEntryCount(int count) {
    const int now = table().entryCount();
    count = std::max(count, 1);
    if (count != now)
        addPart<EntryCount>(document(), text(), std::min(count, now), std::max(count, now),
                            count > now);
}

void PlannedStep::addEntries(EntryTable source, int first) {
    if (first < source.entryCount())
        addPart<EntryCount>(document(), text(), table().entryCount(), std::move(source), first);
}

void PlannedStep::addRemovals(const std::vector<int>& entries) {
    const int count = table().entryCount();
    std::vector<int> gone;
    for (int e : entries)
        if (e >= 0 && e < count && (gone.empty() || gone.back() < e))
            gone.push_back(e);
    if (static_cast<int>(gone.size()) >= count)
        gone.pop_back();
    if (gone.empty())
        return;
    // A few entries go one by one; many go together: the entries from the first of them on
    // are rearranged so that those that stay come first, and the rest is cut off.
    constexpr std::size_t kOneByOne = 16;
    if (gone.size() <= kOneByOne) {
        for (auto it = gone.rbegin(); it != gone.rend(); ++it)
            addPart<InsertEntries>(document(), text(), *it, std::vector<Entry>(1), true);
        return;
    }
    const int first = gone.front();
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(count - first));
    std::size_t next = 0;
    for (int e = first; e < count; ++e) {
        if (next < gone.size() && gone[next] == e)
            ++next;
        else
            order.push_back(e);
    }
    const int kept = first + static_cast<int>(order.size());
    order.insert(order.end(), gone.begin(), gone.end());
    addPermutation(first, std::move(order));
    addEntryCount(kept);
}

void PlannedStep::addHeader(VocabularyHeader header) {
    if (header == vocabulary().header)
        return;
    addPart<Header>(document(), text(), std::move(header), quint64{0});
}

DocumentCommand* frequencyCommand(Document& document, std::vector<FrequencySpan> spans) {
    return new Frequency(document, std::move(spans));
}

DocumentCommand* cellChangesCommand(Document& document, const QString& text,
                                    std::vector<CellChange> changes) {
    return new CellChanges(document, text, std::move(changes));
}

DocumentCommand* permutationCommand(Document& document, const QString& text, int first,
                                    std::vector<int> order) {
    return new Permutation(document, text, first, std::move(order));
}

DocumentCommand* singleTextCommand(Document& document, int entry, int field, std::string bytes,
                                   quint64 editKey) {
    return new SingleCell(document, CellChange{entry, field, std::move(bytes)}, editKey);
}

DocumentCommand* insertEntriesCommand(Document& document, const QString& text, int at,
                                      std::vector<Entry> entries) {
    return new InsertEntries(document, text, at, std::move(entries), false);
}

DocumentCommand* deleteEntryCommand(Document& document, int index) {
    return new InsertEntries(document, QStringLiteral("Delete entry"), index, std::vector<Entry>(1),
                             true);
}

DocumentCommand* moveEntryCommand(Document& document, int from, int to) {
    return new Move(document, from, to, false);
}

DocumentCommand* moveFieldCommand(Document& document, int from, int to) {
    return new Move(document, from, to, true);
}

DocumentCommand* appendEntriesCommand(Document& document, const QString& text, EntryTable source,
                                      int first) {
    const int shorter = document.entries().entryCount();
    return new EntryCount(document, text, shorter, std::move(source), first);
}

DocumentCommand* swapCommand(Document& document) {
    return new SwapQuestionAnswer(document);
}

DocumentCommand* headerCommand(Document& document, const QString& text, VocabularyHeader header,
                               quint64 editKey) {
    return new Header(document, text, std::move(header), editKey);
}

DocumentCommand* formatCommand(Document& document, bool currentFormat) {
    return new Format(document, currentFormat);
}

DocumentCommand* replaceCommand(Document& document, const QString& text, Vocabulary vocabulary,
                                FileState file) {
    return new Replace(document, text, std::move(vocabulary), std::move(file));
}

} // namespace lexanta
