#pragma once

// The open vocabulary. Every change goes through here and is a step on the undo stack; the
// window shows the document and the command-line tool drives it, with the same operations.

#include "core/check/check_fixes.h"
#include "core/interchange/list_mapping.h"
#include "core/interchange/special_import.h"
#include "core/interchange/text_import.h"
#include "core/listops/sorting.h"
#include "core/vocab/field_recoding.h"
#include "core/vocab/vocabulary.h"
#include "document/undo_stack.h"
#include "platform/file_io.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

namespace lexanta {

class CodePage;
class DocumentCommand;
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
    // The file as it was when it was last loaded or saved here: Save asks before it writes
    // over a file that another program has changed since.
    FileStamp stamp;
    bool operator==(const FileState&) const = default;
};

// What a change of a field's character set does with the texts already in it.
enum class FieldTexts { KeepBytes, Convert };

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

// What becomes of a save to a file that another program changed since it was loaded or saved.
enum class ChangedFileChoice { Overwrite, SaveAs, Cancel };

struct SaveOptions {
    bool cleanUp = true;           // run the clean-up passes first (off for the close prompt)
    bool removeBlankLines = false; // the "Remove blank lines" option
    std::function<FormatChoice()> chooseFormat; // unset: an old-format document stays old
    // Asked before anything else when the file changed on disk; unset: it is overwritten.
    // SaveAs and Cancel write nothing (the outcome is Cancelled).
    std::function<ChangedFileChoice()> confirmChangedFile;
};

// The document as it stood, for another thread to read while this one goes on changing it:
// the entries share the document's memory.
struct DocumentSnapshot {
    Vocabulary vocabulary;
    FileState file;
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
    DocumentSnapshot snapshot() const;
    // A change is under way (a long one lets the window repaint in the middle of it).
    bool isChanging() const { return changing_ > 0; }

    UndoStack* undoStack() const { return undo_.get(); }
    // Undo and Redo. A step that runs out of memory on the way is not taken back or done
    // again: the document and the stack stay as they were, and false is returned.
    bool undo();
    bool redo();
    // The grid's model follows the entries through this observer.
    void setEntryObserver(EntryTableObserver* observer);
    // Others that follow the entries (the list check), told after the grid's model.
    void addEntryFollower(EntryTableObserver* follower);
    void removeEntryFollower(EntryTableObserver* follower);

    // ---- whole documents ------------------------------------------------------------------
    // New: an empty vocabulary (one empty entry, today's date); fonts, size, layouts and the
    // file name stay, Save and Merge are off.
    bool newVocabulary();
    // Reads the file first; a file that cannot be read leaves the document as it was.
    // `progress` hears of the work done, of all of it (for a progress bar). `regularOnly`
    // refuses what is not a regular file (a name remembered from earlier).
    FileOutcome load(const QString& path, const ProgressCallback& progress = {},
                     bool regularOnly = false);
    // Work that was not saved, as a recovery copy kept it: the vocabulary with its file
    // state, marked modified. It is one undo step, as a load is.
    bool recover(DocumentSnapshot recovered);
    // The file written by the save sequence: RemoveBlankLines (when asked), NormalizeCells,
    // the writer's drop of a trailing blank entry, then the file in the chosen format. The
    // passes are one undo step; they stay done when the write fails or is cancelled, and are
    // taken back when memory runs out on the way.
    FileOutcome save(const SaveOptions& options);
    // The same to another file; only a written file becomes the document's file name.
    FileOutcome saveAs(const QString& path, const SaveOptions& options);
    // Text import: a new vocabulary from the file (empty description, today's date, fonts,
    // size and layouts kept), its cells normalised, unnamed, Merge on. The file is read and
    // converted first; what the columns cannot hold is refused and nothing changes.
    FileOutcome importText(const QString& path, ImportFormat format,
                           ImportResult* details = nullptr, const ProgressCallback& progress = {},
                           bool dropByteOrderMarks = false);

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
    // Every change below is all or nothing: one that runs out of memory leaves the document
    // and the undo stack as they were, returns false and emits outOfMemory.
    //
    // Sets one field of one entry. Consecutive sets of the same field with the same non-zero
    // edit key are one undo step (one field's typing during one visit).
    bool setText(int entry, int field, std::string_view bytes, quint64 editKey = 0);
    // Inserts `entry` before entry `index` (at entryCount(): after the last); the entries from
    // there on move down by one.
    bool insertEntry(int index, const Entry& entry);
    // Deletes entry `index`; the last remaining entry is never deleted.
    bool deleteEntry(int index);
    bool moveEntry(int from, int to);
    // Moves field `from` to position `to` in every entry (a dragged grid column).
    bool moveField(int from, int to);
    FileOutcome merge(const QString& path, const ProgressCallback& progress = {});
    FileOutcome specialImport(const QString& path, FillResult* details = nullptr,
                              const ProgressCallback& progress = {});

    // ---- list operations -----------------------------------------------------------------
    // `progress` hears of 0 calls now and then while the keys are made, then of each call.
    bool sortBy(int field, const KeyCollator& collator, const SortProgress& progress = {});
    bool shuffle(unsigned seed);
    // Questions and answers change places, with their fonts and keyboard layouts.
    bool swapQuestionAnswer();
    bool frequencyAnalysis(const KeyCollator& collator, const ProgressCallback& progress = {});
    // A planned change (fixes of the list check, replace all) as one step named `step`.
    bool applyListEdit(const QString& step, ListEdit edit);

    // ---- header --------------------------------------------------------------------------
    // With Convert, a new character set takes the field's texts into its code page in the same
    // step; texts it cannot hold keep their bytes (see planCharsetChange).
    bool setFont(int field, const FieldFont& font, FieldTexts texts = FieldTexts::KeepBytes);
    // What converting the texts of `field` to the code page of `charset` would change.
    FieldRecoding planCharsetChange(int field, int charset) const;
    // The size rule: the size and the three field fonts' point sizes become `size` (6..24).
    bool setFontSize(int size);
    bool setLayoutName(int field, const std::string& name);
    bool setDescription(DescriptionField field, const std::string& bytes, quint64 editKey = 0);
    const std::string& description(DescriptionField field) const;

    // Records that the document now equals its file (after a write outside save()).
    void markSaved();

signals:
    // The document is about to be replaced, and then was (New, Load, Import, a recovery, or
    // the undo of one of them).
    void aboutToBeReplaced();
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
    // A change was not made for want of memory; the document is as it was. `step` names it.
    void outOfMemory(const QString& step);

private:
    friend class DocumentCommand;
    struct Savepoint;
    // Runs `change` (which pushes at most one step) all or nothing: when it runs out of memory
    // the document, its file state and the undo stack are put back as they were and false is
    // returned. `said` also emits outOfMemory then.
    template <typename Change> bool change(Change&& change);
    template <typename Change> bool changeOrSay(const QString& step, Change&& change);
    void restore(Savepoint& saved);
    // Takes the step; `done`: its work is done already (else it is done here, first).
    void push(DocumentCommand* command, bool done = false);
    Vocabulary& mutableVocabulary() { return vocabulary_; }
    void setFileState(const FileState& state);
    void notifyHeader() { emit headerChanged(); }
    void notifyEntries() { emit entriesChanged(); }
    void notifyReplaced();
    void notifyAboutToBeReplaced() { emit aboutToBeReplaced(); }
    FileOutcome writeFile(const QString& path, const SaveOptions& options, bool rename);
    FileOutcome loadAs(const QString& path, const FileState& file, const QString& step,
                       const ProgressCallback& progress, bool regularOnly);

    class EntryFollowers;
    std::unique_ptr<EntryFollowers> followers_;
    Vocabulary vocabulary_;
    FileState file_;
    std::unique_ptr<UndoStack> undo_;
    bool wasModified_ = false;
    int changing_ = 0;
};

// Today's date as a reset vocabulary carries it: the system's short date format, in the
// system code page.
std::string todayText();

} // namespace lexanta
