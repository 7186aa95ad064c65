#pragma once

// The undo steps of the Document. Each step changes the document through the few hooks
// below and tells it what changed; steps that hold a whole-list change keep a permutation or
// the changed cells only, never a copy of the list.

#include "document/document.h"

#include <QUndoCommand>

#include <vector>

namespace lexanta {

class DocumentCommand : public QUndoCommand {
public:
    DocumentCommand(Document& document, const QString& text, QUndoCommand* parent = nullptr)
        : QUndoCommand(text, parent), document_(document) {}

protected:
    Document& document() { return document_; }
    EntryTable& table() { return document_.mutableVocabulary().entries; }
    Vocabulary& vocabulary() { return document_.mutableVocabulary(); }
    void setFileState(const FileState& state) { document_.setFileState(state); }
    void headerChanged() { document_.notifyHeader(); }
    void entriesChanged() { document_.notifyEntries(); }
    void replaced() { document_.notifyReplaced(); }

private:
    Document& document_;
};

// A step built from parts that were each carried out as they were planned, because every
// part is planned on what the one before it left. The first redo, when the stack takes the
// step, does nothing; later ones redo the parts in order.
class PlannedStep : public DocumentCommand {
public:
    PlannedStep(Document& document, const QString& text) : DocumentCommand(document, text) {}
    void redo() override;
    void undo() override;

    // Each part is carried out at once, so that the next one is planned on its result.
    void addCellChanges(std::vector<CellChange> changes);
    void addPermutation(int first, std::vector<int> order);
    void addEntryCount(int count);
    // Removes the entries (ascending entry numbers); the last remaining entry stays.
    void addRemovals(const std::vector<int>& entries);
    void addHeader(VocabularyHeader header);
    bool isEmpty() const { return childCount() == 0; }
    const EntryTable& entries() { return table(); }

private:
    bool done_ = true;
};

// Steps of their own.
QUndoCommand* cellChangesCommand(Document& document, const QString& text,
                                 std::vector<CellChange> changes);
QUndoCommand* permutationCommand(Document& document, const QString& text, int first,
                                 std::vector<int> order);
QUndoCommand* singleTextCommand(Document& document, int entry, int field, std::string bytes,
                                quint64 editKey);
QUndoCommand* insertEntriesCommand(Document& document, const QString& text, int at,
                                   std::vector<Entry> entries);
QUndoCommand* deleteEntryCommand(Document& document, int index);
QUndoCommand* moveEntryCommand(Document& document, int from, int to);
QUndoCommand* moveFieldCommand(Document& document, int from, int to);
// Appends the entries of `source` from `first` on (a merged file's entries).
QUndoCommand* appendEntriesCommand(Document& document, const QString& text, EntryTable source,
                                   int first);
QUndoCommand* swapCommand(Document& document);
// The header becomes `header`; description edits with the same non-zero key are one step.
QUndoCommand* headerCommand(Document& document, const QString& text, VocabularyHeader header,
                            quint64 editKey = 0);
QUndoCommand* formatCommand(Document& document, bool currentFormat);
// The whole document becomes `vocabulary` with `file`.
QUndoCommand* replaceCommand(Document& document, const QString& text, Vocabulary vocabulary,
                             FileState file);

} // namespace lexanta
