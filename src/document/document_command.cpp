#include "document/document_command.h"

#include "listops/shuffle_swap.h"

#include <algorithm>
#include <utility>

namespace lexanta {

namespace {

enum StepId : int { kSingleCellId = 1, kHeaderId = 2 };

// Cell changes that trade places with the table's texts: doing them twice undoes them.
class CellChanges : public DocumentCommand {
public:
    CellChanges(Document& document, const QString& text, std::vector<CellChange> changes,
                QUndoCommand* parent = nullptr)
        : DocumentCommand(document, text, parent), changes_(std::move(changes)) {}
    void redo() override { exchange(false); }
    void undo() override { exchange(true); }

protected:
    void exchange(bool backwards) {
        EntryTable& t = table();
        int first = t.rowCount(), last = 0;
        {
            BatchWrites batch(t);
            const auto one = [&](CellChange& c) {
                std::string held(t.cell(c.column, c.row));
                t.setCell(c.column, c.row, c.text);
                c.text = std::move(held);
                first = std::min(first, c.row);
                last = std::max(last, c.row);
            };
            if (backwards)
                std::for_each(changes_.rbegin(), changes_.rend(), one);
            else
                std::for_each(changes_.begin(), changes_.end(), one);
        }
        t.notifyRowsChanged(first, last);
        entriesChanged();
    }
    std::vector<CellChange> changes_;
};

// One cell typed into during one visit: later keystrokes of the same visit join the step.
class SingleCell : public CellChanges {
public:
    SingleCell(Document& document, CellChange change, quint64 editKey)
        : CellChanges(document, QStringLiteral("Typing"), {std::move(change)}), key_(editKey) {}
    int id() const override { return key_ ? kSingleCellId : -1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const SingleCell*>(other);
        const CellChange& mine = changes_.front();
        const CellChange& theirs = next->changes_.front();
        if (next->key_ != key_ || theirs.row != mine.row || theirs.column != mine.column)
            return false;
        // This step keeps the text from before the first keystroke; the cell already holds
        // the newest one.
        return true;
    }

private:
    quint64 key_;
};

class Permutation : public DocumentCommand {
public:
    Permutation(Document& document, const QString& text, int first, std::vector<int> order,
                QUndoCommand* parent = nullptr)
        : DocumentCommand(document, text, parent), first_(first), order_(std::move(order)) {}
    void redo() override {
        table().permute(first_, order_);
        entriesChanged();
    }
    void undo() override {
        // The inverse is built when needed, so the step keeps one index per row.
        std::vector<int> inverse(order_.size());
        for (std::size_t i = 0; i < order_.size(); ++i)
            inverse[static_cast<std::size_t>(order_[i] - first_)] = first_ + static_cast<int>(i);
        table().permute(first_, inverse);
        entriesChanged();
    }

private:
    int first_;
    std::vector<int> order_;
};

// The row count changes between `shorter` and `longer`; the entries of the rows in between
// are held here while they are not in the table.
class RowCount : public DocumentCommand {
public:
    RowCount(Document& document, const QString& text, int shorter, int longer, bool grow,
             QUndoCommand* parent = nullptr)
        : DocumentCommand(document, text, parent), shorter_(shorter), longer_(longer), grow_(grow) {
    }
    RowCount(Document& document, const QString& text, int shorter, EntryTable held, int first)
        : DocumentCommand(document, text), shorter_(shorter),
          longer_(shorter + held.rowCount() - first), grow_(true), held_(std::move(held)),
          heldFirst_(first) {}
    void redo() override { grow_ ? lengthen() : shorten(); }
    void undo() override { grow_ ? shorten() : lengthen(); }

private:
    void shorten() {
        EntryTable& t = table();
        // Keep what leaves the table, with its extra fields.
        EntryTable held;
        held.setRowCount(longer_ - shorter_ + 1);
        for (int r = shorter_; r < longer_; ++r)
            held.setEntry(r - shorter_ + 1, t.entry(r));
        held_ = std::move(held);
        heldFirst_ = 1;
        t.setRowCount(shorter_);
        entriesChanged();
    }
    void lengthen() {
        EntryTable& t = table();
        t.setRowCount(longer_);
        {
            BatchWrites batch(t);
            for (int r = shorter_; r < longer_; ++r)
                t.setEntry(r, held_.entry(r - shorter_ + heldFirst_));
        }
        t.notifyRowsChanged(shorter_, longer_ - 1);
        held_ = EntryTable();
        entriesChanged();
    }

    int shorter_;
    int longer_;
    bool grow_;
    EntryTable held_;
    int heldFirst_ = 1;
};

class InsertRows : public DocumentCommand {
public:
    InsertRows(Document& document, const QString& text, int at, std::vector<Entry> entries,
               bool remove)
        : DocumentCommand(document, text), at_(at), entries_(std::move(entries)), remove_(remove) {}
    void redo() override { remove_ ? take() : put(); }
    void undo() override { remove_ ? put() : take(); }

private:
    void put() {
        EntryTable& t = table();
        const int count = static_cast<int>(entries_.size());
        t.insertRows(at_, count);
        {
            BatchWrites batch(t);
            for (int i = 0; i < count; ++i)
                t.setEntry(at_ + i, entries_[static_cast<std::size_t>(i)]);
        }
        t.notifyRowsChanged(at_, at_ + count - 1);
        entriesChanged();
    }
    void take() {
        EntryTable& t = table();
        for (std::size_t i = 0; i < entries_.size(); ++i)
            entries_[i] = t.entry(at_ + static_cast<int>(i)).toEntry();
        t.removeRows(at_, static_cast<int>(entries_.size()));
        entriesChanged();
    }

    int at_;
    std::vector<Entry> entries_;
    bool remove_;
};

class MoveRow : public DocumentCommand {
public:
    MoveRow(Document& document, int from, int to, bool field)
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
            table().moveRow(from, to);
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
        std::swap(h.layoutNames[kQuestionField], h.layoutNames[kAnswerField]);
        std::swap(h.fonts[kQuestionField], h.fonts[kAnswerField]);
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
    int id() const override { return key_ ? kHeaderId : -1; }
    bool mergeWith(const QUndoCommand* other) override {
        // Typing into one description box during one visit: this step keeps the header from
        // before the first keystroke.
        return static_cast<const Header*>(other)->key_ == key_;
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

// Parts of a PlannedStep are carried out once as they are planned.
template <typename Part, typename... Args> void addPart(PlannedStep& step, Args&&... args) {
    auto* part = new Part(std::forward<Args>(args)..., &step);
    part->redo();
}

} // namespace

void PlannedStep::redo() {
    if (done_) {
        done_ = false;
        return;
    }
    QUndoCommand::redo();
}

void PlannedStep::undo() {
    QUndoCommand::undo();
}

void PlannedStep::addCellChanges(std::vector<CellChange> changes) {
    if (!changes.empty())
        addPart<CellChanges>(*this, document(), text(), std::move(changes));
}

void PlannedStep::addPermutation(int first, std::vector<int> order) {
    if (!order.empty())
        addPart<Permutation>(*this, document(), text(), first, std::move(order));
}

void PlannedStep::addRowCount(int rows) {
    const int now = table().rowCount();
    rows = std::max(rows, 2);
    if (rows != now)
        addPart<RowCount>(*this, document(), text(), std::min(rows, now), std::max(rows, now),
                          rows > now);
}

QUndoCommand* cellChangesCommand(Document& document, const QString& text,
                                 std::vector<CellChange> changes) {
    return new CellChanges(document, text, std::move(changes));
}

QUndoCommand* permutationCommand(Document& document, const QString& text, int first,
                                 std::vector<int> order) {
    return new Permutation(document, text, first, std::move(order));
}

QUndoCommand* singleCellCommand(Document& document, int column, int row, std::string bytes,
                                quint64 editKey) {
    return new SingleCell(document, CellChange{row, column, std::move(bytes)}, editKey);
}

QUndoCommand* insertRowsCommand(Document& document, const QString& text, int at,
                                std::vector<Entry> entries) {
    return new InsertRows(document, text, at, std::move(entries), false);
}

QUndoCommand* deleteRowCommand(Document& document, int row) {
    return new InsertRows(document, QStringLiteral("Delete entry"), row, std::vector<Entry>(1),
                          true);
}

QUndoCommand* moveRowCommand(Document& document, int from, int to) {
    return new MoveRow(document, from, to, false);
}

QUndoCommand* moveFieldCommand(Document& document, int from, int to) {
    return new MoveRow(document, from, to, true);
}

QUndoCommand* appendRowsCommand(Document& document, const QString& text, EntryTable rows,
                                int first) {
    const int shorter = document.entries().rowCount();
    return new RowCount(document, text, shorter, std::move(rows), first);
}

QUndoCommand* swapCommand(Document& document) {
    return new SwapQuestionAnswer(document);
}

QUndoCommand* headerCommand(Document& document, const QString& text, VocabularyHeader header,
                            quint64 editKey) {
    return new Header(document, text, std::move(header), editKey);
}

QUndoCommand* formatCommand(Document& document, bool currentFormat) {
    return new Format(document, currentFormat);
}

QUndoCommand* replaceCommand(Document& document, const QString& text, Vocabulary vocabulary,
                             FileState file) {
    return new Replace(document, text, std::move(vocabulary), std::move(file));
}

} // namespace lexanta
