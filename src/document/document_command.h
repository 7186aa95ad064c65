#pragma once

// The undo steps of the Document. Each step changes the document through the few hooks
// below and tells it what changed; steps that hold a whole-list change keep a permutation or
// the changed cells only, never a copy of the list.

#include "core/listops/frequency.h"
#include "document/document.h"
#include "document/undo_stack.h"

#include <memory>
#include <utility>
#include <vector>

namespace lexanta {

class DocumentCommand : public UndoStep {
public:
    DocumentCommand(Document& document, const QString& text)
        : UndoStep(text), document_(document) {}

protected:
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
    bool isEmpty() const { return parts_.empty(); }
    const EntryTable& entries() { return table(); }

    void redo() override;
    void undo() override;

private:
    template <typename Part, typename... Args> void addPart(Args&&... args);
    std::vector<std::unique_ptr<DocumentCommand>> parts_;
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
