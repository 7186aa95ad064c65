#pragma once

// The open vocabulary. Every change goes through here and is a step on the undo stack; the
// window shows the document and the command-line tool drives it, with the same operations.

#include "core/check/check_fixes.h"
#include "core/interchange/list_mapping.h"
#include "core/interchange/special_import.h"
#include "core/interchange/text_import.h"
#include "core/listops/sorting.h"
#include "core/vocab/vocabulary.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QUndoCommand;
class QUndoStack;

namespace lexanta {

class CodePage;
class KeyCollator;

// How the window title names the document: "Lexanta Editor" for a new or imported one,
// "Lexanta Editor: PATH" after a load, PATH alone after Save as.
enum class DocumentOrigin { Untitled, Loaded, SavedAs };

// Where the document stands with respect to a file; kept with the vocabulary, so that undoing
// a load brings back the former document's name too.
struct FileState {
    QString fileName;     // Save writes here, Save as proposes it; kept by New and Import
    bool hasFile = false; // Save is possible (a load or a Save as named the document)
    bool canMerge = false;
    DocumentOrigin origin = DocumentOrigin::Untitled;
    bool operator==(const FileState&) const = default;
};

// The five description texts of the header.
enum class DescriptionField { QuestionsLanguage, AnswersLanguage, Title, Author, Date };

// Outcome of an operation that reads or writes a file.
struct FileOutcome {
    enum class Kind {
        Done,
        Cancelled,   // the old-format question was answered with Cancel
        Unreadable,  // the file could not be read (reason names why)
        OutOfMemory, // the file is too large for the memory left; nothing changed
        Rejected,    // the contents cannot be taken (import problems; reason lists them)
        Unwritable,  // the file could not be written (reason names why); the old one is intact
    };
    Kind kind = Kind::Done;
    QString path;
    QString reason;
    bool ok() const { return kind == Kind::Done; }
    // One line naming the file and the reason, for the tool and for message boxes.
    QString message() const;
};

// What an old-format document is written as; asked only for an old-format document.
enum class FormatChoice { Current, Old, Cancel };

struct SaveOptions {
    bool cleanUp = true;           // run the clean-up passes first (off for the close prompt)
    bool removeBlankLines = false; // the "Remove blank lines" option
    std::function<FormatChoice()> chooseFormat; // unset: an old-format document stays old
};

class Document : public QObject {
    Q_OBJECT

public:
    // A first start shows the design's author; every reset leaves it empty.
    enum class Start { FirstStart, Reset };
    explicit Document(Start start = Start::Reset, QObject* parent = nullptr);
    ~Document() override;

    const Vocabulary& vocabulary() const { return vocabulary_; }
    const EntryTable& entries() const { return vocabulary_.entries; }
    const VocabularyHeader& header() const { return vocabulary_.header; }
    const FieldFont& font(int field) const { return vocabulary_.header.fonts[field]; }
    // The code page a field (question, answer or comment) is shown and typed in.
    const CodePage& codePageOf(int field) const;
    const FileState& fileState() const { return file_; }
    QString fileName() const { return file_.fileName; }
    bool hasFile() const { return file_.hasFile; }
    bool canMerge() const { return file_.canMerge; }
    // The document differs from what was last loaded or saved.
    bool isModified() const;
    // The bytes a save would write, without running the clean-up passes.
    std::string bytes() const;

    QUndoStack* undoStack() const { return undo_.get(); }
    // The grid's model follows the entries through this observer.
    void setEntryObserver(EntryTableObserver* observer);
    // Others that follow the entries (the list check), told after the grid's model.
    void addEntryFollower(EntryTableObserver* follower);
    void removeEntryFollower(EntryTableObserver* follower);

    // ---- whole documents ------------------------------------------------------------------
    // New: an empty vocabulary (one empty entry, today's date); fonts, size, layouts and the
    // file name stay, Save and Merge are off.
    void newVocabulary();
    // Reads the file first; a file that cannot be read leaves the document as it was.
    // `progress` hears of the work done, of all of it (for a progress bar).
    FileOutcome load(const QString& path, const ProgressCallback& progress = {});
    // A recovered copy of an unsaved vocabulary: loaded as a file is, but unnamed and modified.
    FileOutcome openRecovered(const QString& path);
    // The file written by the save sequence: RemoveBlankLines (when asked), NormalizeCells,
    // the writer's drop of a trailing blank entry, then the file in the chosen format. The
    // passes are one undo step; they stay done when the write fails or is cancelled.
    FileOutcome save(const SaveOptions& options);
    // The same to another file; only a written file becomes the document's file name.
    FileOutcome saveAs(const QString& path, const SaveOptions& options);
    // Text import: a new vocabulary from the file (empty description, today's date, fonts,
    // size and layouts kept), its cells normalised, unnamed, Merge on. The file is read and
    // converted first; what the columns cannot hold is refused and nothing changes.
    FileOutcome importText(const QString& path, ImportFormat format,
                           ImportResult* details = nullptr, const ProgressCallback& progress = {});

    // A list from another format, its rows already mapped to entries (`mapped.ok()`), taken in
    // one undo step. A new vocabulary gets the description the file carries and the fields'
    // character sets `charsets` (fonts, size and layouts otherwise kept), unnamed, Merge on.
    // Appended, the entries follow the open ones (a blank last entry, the grid's input row, goes)
    // and a field's set changes only while its cells hold nothing but ASCII; the description
    // stays. Description texts the system code page cannot hold are left out and named in
    // `notes`.
    FileOutcome importList(const QString& path, MappedList&& mapped,
                           const ListDescription& description, const std::array<int, 3>& charsets,
                           bool append, QStringList* notes = nullptr);
    // True when every cell of `field` is ASCII, so that its character set may change.
    bool fieldIsAscii(int field) const;

    // ---- entries -------------------------------------------------------------------------
    // Sets one field of one entry. Consecutive sets of the same field with the same non-zero
    // edit key are one undo step (one field's typing during one visit).
    void setText(int entry, int field, std::string_view bytes, quint64 editKey = 0);
    // Inserts `entry` before entry `index` (at entryCount(): after the last); the entries from
    // there on move down by one.
    void insertEntry(int index, const Entry& entry);
    // Deletes entry `index`; the last remaining entry is never deleted.
    void deleteEntry(int index);
    void moveEntry(int from, int to);
    // Moves field `from` to position `to` in every entry (a dragged grid column).
    void moveField(int from, int to);
    FileOutcome merge(const QString& path, const ProgressCallback& progress = {});
    FileOutcome specialImport(const QString& path, FillResult* details = nullptr,
                              const ProgressCallback& progress = {});

    // ---- list operations -----------------------------------------------------------------
    void sortBy(int field, const KeyCollator& collator, const SortProgress& progress = {});
    void shuffle(unsigned seed);
    // Questions and answers change places, with their fonts and keyboard layouts.
    void swapQuestionAnswer();
    void frequencyAnalysis(const KeyCollator& collator, const ProgressCallback& progress = {});
    // A planned change (fixes of the list check, replace all) as one step named `step`.
    void applyListEdit(const QString& step, ListEdit edit);

    // ---- header --------------------------------------------------------------------------
    void setFont(int field, const FieldFont& font);
    // The size rule: the size and the three field fonts' point sizes become `size` (6..24).
    void setFontSize(int size);
    void setLayoutName(int field, const std::string& name);
    void setDescription(DescriptionField field, const std::string& bytes, quint64 editKey = 0);
    const std::string& description(DescriptionField field) const;

    // Records that the document now equals its file (after a write outside save()).
    void markSaved();

signals:
    // The document was replaced (New, Load, Import, or the undo of one of them).
    void replaced();
    void headerChanged();
    void fileStateChanged();
    void modifiedChanged(bool modified);
    // Texts of the current entries were rewritten in a way the view cannot follow entry by entry
    // (emitted after every change to the entries; the window keeps its input boxes in step).
    void entriesChanged();
    // A command rewrote the whole list (sort, shuffle, swap, frequency analysis, merge,
    // special import, import).
    void listRewritten();

private:
    friend class DocumentCommand;
    void push(QUndoCommand* command);
    Vocabulary& mutableVocabulary() { return vocabulary_; }
    void setFileState(const FileState& state);
    void notifyHeader() { emit headerChanged(); }
    void notifyEntries() { emit entriesChanged(); }
    void notifyReplaced();
    FileOutcome writeFile(const QString& path, const SaveOptions& options);
    FileOutcome loadAs(const QString& path, const FileState& file, const QString& step,
                       const ProgressCallback& progress);

    class EntryFollowers;
    std::unique_ptr<EntryFollowers> followers_;
    Vocabulary vocabulary_;
    FileState file_;
    std::unique_ptr<QUndoStack> undo_;
    bool wasModified_ = false;
};

// Today's date as a reset vocabulary carries it: the system's short date format, in the
// system code page.
std::string todayText();

} // namespace lexanta
