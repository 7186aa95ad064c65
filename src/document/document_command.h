#pragma once

// The undo steps of the Document. Each step changes the document through the few hooks
// below and tells it what changed; steps that hold a whole-list change keep a permutation or
// the changed cells only, never a copy of the list.

#include "core/listops/frequency.h"
#include "document/document.h"

#include <QUndoCommand>

#include <utility>
#include <vector>

namespace lexanta {

class DocumentCommand : public QUndoCommand {
public:
    DocumentCommand(Document& document, const QString& text, DocumentCommand* parent = nullptr)
        : QUndoCommand(text, parent), document_(document) {}
    void redo() final {
        if (!std::exchange(skip_, false))
            forward();
    }
    void undo() final {
        if (!std::exchange(skip_, false))
            backward();
    }
    // The next redo() or undo() does nothing: the document has done that work already, and
    // the stack only records it.
    void skipNext() { skip_ = true; }

protected:
    virtual void forward() = 0;
    virtual void backward() = 0;
    Document& document() { return document_; }
    EntryTable& table() { return document_.mutableVocabulary().entries; }
    Vocabulary& vocabulary() { return document_.mutableVocabulary(); }
    void setFileState(const FileState& state) { document_.setFileState(state); }
    void headerChanged() { document_.notifyHeader(); }
    void entriesChanged() { document_.notifyEntries(); }
    void replaced() { document_.notifyReplaced(); }
    void aboutToBeReplaced() { document_.notifyAboutToBeReplaced(); }

private:
    Document& document_;
    bool skip_ = false;
};

// A step built from parts that were each carried out as they were planned, because every
// part is planned on what the one before it left; it is pushed as done. Redo does the parts
// again in order, undo takes them back in the reverse order.
class PlannedStep : public DocumentCommand {
public:
    PlannedStep(Document& document, const QString& text) : DocumentCommand(document, text) {}

    // Each part is carried out at once, so that the next one is planned on its result.
    void addCellChanges(std::vector<CellChange> changes);
    void addPermutation(int first, std::vector<int> order);
    void addEntryCount(int count);
    // Appends the entries of `source` from `first` on.
    void addEntries(EntryTable source, int first);
    // Removes the entries (ascending entry numbers); the last remaining entry stays.
    void addRemovals(const std::vector<int>& entries);
    void addHeader(VocabularyHeader header);
    bool isEmpty() const { return childCount() == 0; }
    const EntryTable& entries() { return table(); }

private:
    void forward() override { QUndoCommand::redo(); }
    void backward() override { QUndoCommand::undo(); }
};

// Steps of their own.
DocumentCommand* cellChangesCommand(Document& document, const QString& text,
                                    std::vector<CellChange> changes);
DocumentCommand* permutationCommand(Document& document, const QString& text, int first,
                                    std::vector<int> order);
DocumentCommand* singleTextCommand(Document& document, int entry, int field, std::string bytes,
                                   quint64 editKey);
DocumentCommand* insertEntriesCommand(Document& document, const QString& text, int at,
                                      std::vector<Entry> entries);
DocumentCommand* deleteEntryCommand(Document& document, int index);
DocumentCommand* moveEntryCommand(Document& document, int from, int to);
DocumentCommand* moveFieldCommand(Document& document, int from, int to);
// Appends the entries of `source` from `first` on (a merged file's entries).
DocumentCommand* appendEntriesCommand(Document& document, const QString& text, EntryTable source,
                                      int first);
DocumentCommand* swapCommand(Document& document);
// The frequency analysis of the runs `spans` found on the entries as they are.
DocumentCommand* frequencyCommand(Document& document, std::vector<FrequencySpan> spans);
// The header becomes `header`; description edits with the same non-zero key are one step.
DocumentCommand* headerCommand(Document& document, const QString& text, VocabularyHeader header,
                               quint64 editKey = 0);
DocumentCommand* formatCommand(Document& document, bool currentFormat);
// The whole document becomes `vocabulary` with `file`.
DocumentCommand* replaceCommand(Document& document, const QString& text, Vocabulary vocabulary,
                                FileState file);

} // namespace lexanta
