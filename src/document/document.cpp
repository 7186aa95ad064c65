#include "document/document.h"

#include "core/listops/cleanup.h"
#include "core/listops/frequency.h"
#include "core/listops/shuffle_swap.h"
#include "core/vocab/lut_format.h"
#include "document/document_command.h"
#include "platform/charset_coverage.h"
#include "platform/codepage.h"
#include "platform/file_io.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <new>
#include <numeric>
#include <optional>

namespace lexanta {

namespace {

const char kDesignAuthor[] = "Lexanta Team";

// The header of a reset vocabulary: fonts, size and layouts stay, the description is empty
// but for today's date.
VocabularyHeader resetHeader(const VocabularyHeader& from) {
    VocabularyHeader h = from;
    h.questionsLanguage.clear();
    h.answersLanguage.clear();
    h.title.clear();
    h.author.clear();
    h.date = todayText();
    return h;
}

FileOutcome unreadable(const QString& path, const IoResult& read) {
    return {FileOutcome::Kind::Unreadable, path, read.reason};
}

// A file the reader refuses as a whole (more entries than a table holds).
FileOutcome rejected(const QString& path, const std::string& error) {
    return {FileOutcome::Kind::Rejected, path,
            QStringLiteral("cannot read %1: %2")
                .arg(QDir::toNativeSeparators(path), QString::fromStdString(error))};
}

FileOutcome noMemoryFor(const QString& path) {
    return {FileOutcome::Kind::OutOfMemory, path, QStringLiteral("not enough memory")};
}

// Not named (Save asks for a file), keeping the name Save as proposes.
FileState untitled(const FileState& file, bool canMerge) {
    return {file.fileName, false, canMerge, DocumentOrigin::Untitled, {}};
}

// Reads the whole file and hands its bytes (and the file's stamp) to `use`. A file that cannot
// be read, or that needs more memory than is left, is reported, and whatever `use` had not yet
// pushed is dropped.
template <typename Use>
FileOutcome withFileBytes(const QString& path, Use&& use, bool regularOnly = false) {
    try {
        FileBytes data;
        FileStamp stamp;
        const IoResult read = readFileBytes(path, data, {regularOnly, &stamp});
        if (!read)
            return unreadable(path, read);
        return use(data, stamp);
    } catch (const std::bad_alloc&) {
        return noMemoryFor(path);
    }
}

} // namespace

std::string todayText() {
    const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    EncodeResult encoded = CodePage::get(systemAnsiCodePage()).encode(date);
    if (!encoded.ok())
        return QDate::currentDate().toString(Qt::ISODate).toStdString();
    return std::move(encoded.bytes);
}

QString FileOutcome::message() const {
    const QString file = QDir::toNativeSeparators(path);
    switch (kind) {
    case Kind::Done:
    case Kind::Cancelled:
        return {};
    case Kind::Unreadable:
        return QStringLiteral("cannot read %1: %2").arg(file, reason);
    case Kind::OutOfMemory:
        return QStringLiteral("not enough memory to load %1").arg(file);
    case Kind::Rejected:
        return reason;
    case Kind::Unwritable:
        return QStringLiteral("cannot write %1: %2").arg(file, reason);
    }
    return {};
}

// Hands the table's notices to the grid's model first, then to the others.
class Document::EntryFollowers : public EntryTableObserver {
public:
    EntryTableObserver* primary = nullptr;
    std::vector<EntryTableObserver*> others;

    template <typename F> void each(F&& f) {
        if (primary)
            f(*primary);
        for (EntryTableObserver* o : std::vector<EntryTableObserver*>(others))
            f(*o);
    }
    void entriesAboutToBeInserted(int first, int count) override {
        each([&](EntryTableObserver& o) { o.entriesAboutToBeInserted(first, count); });
    }
    void entriesInserted() override {
        each([](EntryTableObserver& o) { o.entriesInserted(); });
    }
    void entriesAboutToBeRemoved(int first, int count) override {
        each([&](EntryTableObserver& o) { o.entriesAboutToBeRemoved(first, count); });
    }
    void entriesRemoved() override {
        each([](EntryTableObserver& o) { o.entriesRemoved(); });
    }
    void entryAboutToBeMoved(int from, int to) override {
        each([&](EntryTableObserver& o) { o.entryAboutToBeMoved(from, to); });
    }
    void entryMoved() override {
        each([](EntryTableObserver& o) { o.entryMoved(); });
    }
    void entriesAboutToBeReordered(int first, int count) override {
        each([&](EntryTableObserver& o) { o.entriesAboutToBeReordered(first, count); });
    }
    void entriesReordered(int first, const std::vector<int>& newOrder) override {
        each([&](EntryTableObserver& o) { o.entriesReordered(first, newOrder); });
    }
    void entriesChanged(int first, int last) override {
        each([&](EntryTableObserver& o) { o.entriesChanged(first, last); });
    }
    void tableAboutToBeReplaced() override {
        each([](EntryTableObserver& o) { o.tableAboutToBeReplaced(); });
    }
    void tableReplaced() override {
        each([](EntryTableObserver& o) { o.tableReplaced(); });
    }
};

Document::Document(Start start, QObject* parent)
    : QObject(parent), followers_(std::make_unique<EntryFollowers>()),
      undo_(std::make_unique<UndoStack>()) {
    vocabulary_.entries.setObserver(followers_.get());
    vocabulary_.header.date = todayText();
    if (start == Start::FirstStart)
        vocabulary_.header.author = kDesignAuthor;
    connect(undo_.get(), &UndoStack::cleanChanged, this, [this](bool clean) {
        if (wasModified_ != !clean) {
            wasModified_ = !clean;
            emit modifiedChanged(wasModified_);
        }
    });
}

Document::~Document() {
    vocabulary_.entries.setObserver(nullptr);
    // The steps refer to this document; they go first, quietly.
    undo_->blockSignals(true);
    undo_.reset();
}

const CodePage& Document::codePageOf(int field) const {
    return CodePage::forCharset(font(std::clamp(field, 0, 2)).charset);
}

bool Document::isModified() const {
    return !undo_->isClean();
}

std::string Document::bytes() const {
    return serializeVocabulary(vocabulary_, vocabulary_.currentFormat);
}

DocumentSnapshot Document::snapshot() const {
    DocumentSnapshot s;
    s.vocabulary.header = vocabulary_.header;
    s.vocabulary.counterLine = vocabulary_.counterLine;
    s.vocabulary.currentFormat = vocabulary_.currentFormat;
    s.vocabulary.entries = vocabulary_.entries.snapshot();
    s.file = file_;
    return s;
}

void Document::setEntryObserver(EntryTableObserver* observer) {
    followers_->primary = observer;
}

void Document::addEntryFollower(EntryTableObserver* follower) {
    followers_->others.push_back(follower);
}

void Document::removeEntryFollower(EntryTableObserver* follower) {
    std::erase(followers_->others, follower);
}

// ---- all or nothing -----------------------------------------------------------------------

// What a change may touch, as it was before: the entries share their memory with the
// document's until either side writes.
struct Document::Savepoint {
    VocabularyHeader header;
    std::string counterLine;
    bool currentFormat;
    FileState file;
    EntryTable entries;
    std::uint64_t edits;
    int index;
    int count;
    const UndoStep* next; // the step Redo would do, if any
};

template <typename Change> bool Document::change(Change&& change) {
    std::optional<Savepoint> saved;
    ++changing_;
    try {
        const Vocabulary& v = vocabulary_;
        saved.emplace(Savepoint{v.header, v.counterLine, v.currentFormat, file_,
                                v.entries.snapshot(), v.entries.edits(), undo_->index(),
                                undo_->count(), undo_->step(undo_->index())});
        change();
    } catch (const std::bad_alloc&) {
        --changing_;
        if (saved)
            restore(*saved);
        return false;
    } catch (...) {
        // A cancelled operation leaves the document as it was too, and says so itself.
        --changing_;
        if (saved && (undo_->index() != saved->index || undo_->count() != saved->count ||
                      vocabulary_.entries.edits() != saved->edits))
            restore(*saved);
        throw;
    }
    --changing_;
    return true;
}

template <typename Change> bool Document::changeOrSay(const QString& step, Change&& change) {
    if (this->change(std::forward<Change>(change)))
        return true;
    emit outOfMemory(step);
    return false;
}

void Document::restore(Savepoint& saved) {
    // A step that reached the stack leaves it again, without running: its work is undone below.
    // A step pushed on the way is dropped with whatever follows it.
    undo_->moveTo(saved.index);
    if (undo_->index() < undo_->count() && undo_->step(undo_->index()) != saved.next)
        undo_->dropUndone();
    Vocabulary& v = vocabulary_;
    std::swap(v.header, saved.header);
    std::swap(v.counterLine, saved.counterLine);
    v.currentFormat = saved.currentFormat;
    if (v.entries.edits() != saved.edits)
        v.entries.swapContents(saved.entries);
    setFileState(saved.file);
    emit headerChanged();
    emit entriesChanged();
}

void Document::push(DocumentCommand* command, bool done) {
    std::unique_ptr<DocumentCommand> owned(command);
    if (!done)
        command->redo();
    undo_->push(std::move(owned));
}

bool Document::undo() {
    if (!undo_->canUndo())
        return false;
    return changeOrSay(undo_->undoText(), [&] { undo_->undo(); });
}

bool Document::redo() {
    if (!undo_->canRedo())
        return false;
    return changeOrSay(undo_->redoText(), [&] { undo_->redo(); });
}

void Document::setFileState(const FileState& state) {
    if (file_ == state)
        return;
    file_ = state;
    emit fileStateChanged();
}

void Document::notifyReplaced() {
    emit replaced();
    emit entriesChanged();
}

void Document::markSaved() {
    undo_->setClean();
}

// ---- whole documents ----------------------------------------------------------------------

bool Document::newVocabulary() {
    return changeOrSay(QStringLiteral("New"), [&] {
        Vocabulary fresh;
        fresh.header = resetHeader(vocabulary_.header);
        push(
            replaceCommand(*this, QStringLiteral("New"), std::move(fresh), untitled(file_, false)));
        // An empty vocabulary holds nothing to lose.
        undo_->setClean();
    });
}

FileOutcome Document::load(const QString& path, const ProgressCallback& progress,
                           bool regularOnly) {
    return loadAs(path, FileState{path, true, true, DocumentOrigin::Loaded, {}},
                  QStringLiteral("Load"), progress, regularOnly);
}

bool Document::recover(DocumentSnapshot recovered) {
    return changeOrSay(QStringLiteral("Recover"), [&] {
        push(replaceCommand(*this, QStringLiteral("Recover"), std::move(recovered.vocabulary),
                            recovered.file));
    });
}

FileOutcome Document::loadAs(const QString& path, const FileState& file, const QString& step,
                             const ProgressCallback& progress, bool regularOnly) {
    return withFileBytes(
        path,
        [&](FileBytes& data, const FileStamp& stamp) -> FileOutcome {
            Vocabulary loaded;
            loaded.header = resetHeader(vocabulary_.header);
            // The table keeps the bytes it was read from, so they are handed over, not copied.
            std::string error;
            if (!readVocabulary(std::move(data), loaded, &error, progress))
                return rejected(path, error);
            // The size rule runs only when the stored size differs from the shown one.
            if (loaded.header.fontSize != vocabulary_.header.fontSize)
                for (FieldFont& f : loaded.header.fonts)
                    f.pointSize = loaded.header.fontSize;
            FileState named = file;
            named.stamp = stamp;
            if (!change([&] {
                    push(replaceCommand(*this, step, std::move(loaded), named));
                    if (named.hasFile)
                        undo_->setClean();
                }))
                return noMemoryFor(path);
            return {FileOutcome::Kind::Done, path, {}};
        },
        regularOnly);
}

FileOutcome Document::importText(const QString& path, ImportFormat format, ImportResult* details,
                                 const ProgressCallback& progress, bool dropByteOrderMarks) {
    return withFileBytes(path, [&](FileBytes& data, const FileStamp&) -> FileOutcome {
        std::array<int, kShownFields> codePages{};
        for (int field = 0; field < kShownFields; ++field)
            codePages[field] = codePageForCharset(font(field).charset);
        Vocabulary imported;
        imported.header = resetHeader(vocabulary_.header);
        const ImportResult result = lexanta::importText(
            data.view(), format, codePages, imported.entries, progress, dropByteOrderMarks);
        if (details)
            *details = result;
        if (!result.ok())
            return {FileOutcome::Kind::Rejected, path, describeImportProblems(result, path)};
        normalizeCells(imported.entries);
        if (!change([&] {
                push(replaceCommand(*this, QStringLiteral("Import"), std::move(imported),
                                    untitled(file_, true)));
            }))
            return noMemoryFor(path);
        emit listRewritten();
        return {FileOutcome::Kind::Done, path, {}};
    });
}

bool Document::fieldIsAscii(int field) const {
    const EntryTable& t = entries();
    for (int i = 0; i < t.entryCount(); ++i)
        for (const char c : t.text(i, field))
            if (static_cast<unsigned char>(c) >= 0x80)
                return false;
    return true;
}

FileOutcome Document::importList(const QString& path, MappedList&& mapped,
                                 const ListDescription& description,
                                 const std::array<int, 3>& charsets, bool append,
                                 QStringList* notes) {
    if (!mapped.ok())
        return {FileOutcome::Kind::Rejected, path, mapped.error};
    VocabularyHeader header = append ? vocabulary_.header : resetHeader(vocabulary_.header);
    for (int f = 0; f < 3; ++f) {
        const int set = charsets[static_cast<std::size_t>(f)];
        if (header.fonts[f].charset == set)
            continue;
        // Bytes already there would read as other characters under another set.
        if (append && !fieldIsAscii(f))
            return {FileOutcome::Kind::Rejected, path,
                    QStringLiteral("cannot import %1: the open vocabulary's %2 hold text in code "
                                   "page %3, so their character set cannot change")
                        .arg(QDir::toNativeSeparators(path), QLatin1String(f == 0   ? "questions"
                                                                           : f == 1 ? "answers"
                                                                                    : "comments"))
                        .arg(codePageForCharset(header.fonts[f].charset))};
        header.fonts[f].charset = set;
    }
    if (!append) {
        const CodePage& system = CodePage::get(systemAnsiCodePage());
        const std::pair<const QString*, std::string VocabularyHeader::*> texts[] = {
            {&description.questionsLanguage, &VocabularyHeader::questionsLanguage},
            {&description.answersLanguage, &VocabularyHeader::answersLanguage},
            {&description.title, &VocabularyHeader::title},
            {&description.author, &VocabularyHeader::author},
            {&description.date, &VocabularyHeader::date}};
        const char* names[] = {"questions' language", "answers' language", "title", "author",
                               "date"};
        for (std::size_t i = 0; i < std::size(texts); ++i) {
            if (texts[i].first->isEmpty())
                continue;
            // A description box holds one line.
            QString text = *texts[i].first;
            text.replace(QLatin1String("\r\n"), QLatin1String(" "));
            text.replace(QLatin1Char('\n'), QLatin1Char(' '))
                .replace(QLatin1Char('\r'), QLatin1Char(' '));
            EncodeResult e = system.encode(text);
            if (!e.ok()) {
                if (notes)
                    *notes << QStringLiteral("the %1 was left out: code page %2 lacks %3")
                                  .arg(QLatin1String(names[i]))
                                  .arg(system.number())
                                  .arg(describeCharacters(e.unencodable));
                continue;
            }
            header.*texts[i].second = std::move(e.bytes);
        }
    }
    if (!append) {
        Vocabulary imported;
        imported.header = std::move(header);
        imported.entries = std::move(mapped.entries);
        if (!change([&] {
                push(replaceCommand(*this, QStringLiteral("Import"), std::move(imported),
                                    untitled(file_, true)));
            }))
            return noMemoryFor(path);
        emit listRewritten();
        return {FileOutcome::Kind::Done, path, {}};
    }
    if (mapped.entryCount == 0 && header == vocabulary_.header)
        return {FileOutcome::Kind::Done, path, {}};
    if (mapped.entryCount > EntryTable::kMaxEntries - entries().entryCount())
        return rejected(
            path, tooManyEntriesMessage(static_cast<unsigned long long>(mapped.entryCount) +
                                            static_cast<unsigned long long>(entries().entryCount()),
                                        EntryTable::kMaxEntries));
    const int oldCount = entries().entryCount();
    const bool dropBlankLast = mapped.entryCount > 0 && entries().isBlank(oldCount - 1);
    if (!change([&] {
            auto step = std::make_unique<PlannedStep>(*this, QStringLiteral("Import"));
            step->addHeader(std::move(header));
            if (mapped.entryCount > 0)
                step->addEntries(std::move(mapped.entries), 0);
            if (dropBlankLast)
                step->addRemovals({oldCount - 1});
            if (!step->isEmpty())
                push(step.release(), true);
        }))
        return noMemoryFor(path);
    emit listRewritten();
    return {FileOutcome::Kind::Done, path, {}};
}

FileOutcome Document::save(const SaveOptions& options) {
    return writeFile(file_.fileName, options, false);
}

FileOutcome Document::saveAs(const QString& path, const SaveOptions& options) {
    return writeFile(path, options, true);
}

FileOutcome Document::writeFile(const QString& path, const SaveOptions& options, bool rename) {
    // Another program's changes are not written over unasked.
    if (options.confirmChangedFile && path == file_.fileName && file_.stamp.known()) {
        const FileStamp now = fileStamp(path);
        // Something else in its place (a folder, a pipe) is for the write to refuse.
        if (now.known() && now != file_.stamp && QFileInfo(path).isFile() &&
            options.confirmChangedFile() != ChangedFileChoice::Overwrite)
            return {FileOutcome::Kind::Cancelled, path, {}};
    }
    // Out of memory anywhere on the way, the document is as it was before the save; a write
    // that fails otherwise, or a Cancel, leaves the clean-up passes done (one undo step).
    FileOutcome outcome{FileOutcome::Kind::Done, path, {}};
    const bool enoughMemory = change([&] {
        auto step = std::make_unique<PlannedStep>(*this, QStringLiteral("Clean up"));
        if (options.cleanUp) {
            if (options.removeBlankLines) {
                int kept = 0;
                std::vector<int> order = blankLinesLastOrder(entries(), kept);
                if (!order.empty()) {
                    step->addPermutation(0, std::move(order));
                    step->addEntryCount(kept);
                }
            }
            step->addCellChanges(normalizedCells(entries()));
        }
        if (hasTrailingBlankEntry(entries()))
            step->addEntryCount(entries().entryCount() - 1);
        if (!step->isEmpty())
            push(step.release(), true);

        bool withHeader = vocabulary_.currentFormat;
        if (!withHeader && options.chooseFormat) {
            const FormatChoice choice = options.chooseFormat();
            if (choice == FormatChoice::Cancel) {
                outcome.kind = FileOutcome::Kind::Cancelled;
                return;
            }
            withHeader = choice == FormatChoice::Current;
        }
        // Written a few megabytes at a time from the entries; the old file is replaced only
        // once the new one is whole, and a writer left uncommitted takes its temp file along.
        FileStamp stamp;
        FileWriter writer;
        IoResult written = writer.open(path, {false, &stamp});
        if (written) {
            writeVocabulary(vocabulary_, withHeader, [&](std::string_view bytes) {
                writer.write(bytes.data(), bytes.size());
            });
            written = writer.commit();
        }
        if (!written) {
            outcome = {FileOutcome::Kind::Unwritable, path, written.reason};
            return;
        }
        if (withHeader && !vocabulary_.currentFormat)
            push(formatCommand(*this, true));
        // Only a written file becomes the document's file.
        FileState named = file_;
        if (rename)
            named = FileState{path, true, file_.canMerge, DocumentOrigin::SavedAs, {}};
        named.stamp = stamp;
        setFileState(named);
        undo_->setClean();
    });
    if (!enoughMemory)
        return {FileOutcome::Kind::Unwritable, path, QStringLiteral("not enough memory")};
    return outcome;
}

// ---- entries ------------------------------------------------------------------------------

bool Document::setText(int entry, int field, std::string_view bytes, quint64 editKey) {
    if (entry < 0 || entry >= entries().entryCount() || field < 0 || field >= kFieldCount ||
        entries().text(entry, field) == bytes)
        return true;
    return changeOrSay(QStringLiteral("Typing"), [&] {
        push(singleTextCommand(*this, entry, field, std::string(bytes), editKey));
    });
}

bool Document::insertEntry(int index, const Entry& entry) {
    index = std::clamp(index, 0, entries().entryCount());
    return changeOrSay(QStringLiteral("Insert entry"), [&] {
        push(insertEntriesCommand(*this, QStringLiteral("Insert entry"), index, {entry}));
    });
}

bool Document::deleteEntry(int index) {
    if (entries().entryCount() <= 1 || index < 0 || index >= entries().entryCount())
        return true;
    return changeOrSay(QStringLiteral("Delete entry"),
                       [&] { push(deleteEntryCommand(*this, index)); });
}

bool Document::moveEntry(int from, int to) {
    const int count = entries().entryCount();
    if (from == to || from < 0 || to < 0 || from >= count || to >= count)
        return true;
    return changeOrSay(QStringLiteral("Move entry"),
                       [&] { push(moveEntryCommand(*this, from, to)); });
}

bool Document::moveField(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= kFieldCount || to >= kFieldCount)
        return true;
    return changeOrSay(QStringLiteral("Move column"),
                       [&] { push(moveFieldCommand(*this, from, to)); });
}

FileOutcome Document::merge(const QString& path, const ProgressCallback& progress) {
    return withFileBytes(path, [&](FileBytes& data, const FileStamp&) -> FileOutcome {
        EntryTable merged;
        const int first = merged.entryCount(); // the merged entries follow its empty one
        std::string error;
        const int added = mergeEntries(data.view(), merged, &error, progress);
        if (error.empty() && added > EntryTable::kMaxEntries - entries().entryCount())
            error =
                tooManyEntriesMessage(static_cast<unsigned long long>(added) +
                                          static_cast<unsigned long long>(entries().entryCount()),
                                      EntryTable::kMaxEntries);
        if (!error.empty())
            return rejected(path, error);
        if (added == 0)
            return {FileOutcome::Kind::Done, path, {}};
        if (!change([&] {
                push(
                    appendEntriesCommand(*this, QStringLiteral("Merge"), std::move(merged), first));
            }))
            return noMemoryFor(path);
        emit listRewritten();
        return {FileOutcome::Kind::Done, path, {}};
    });
}

FileOutcome Document::specialImport(const QString& path, FillResult* details,
                                    const ProgressCallback& progress) {
    return withFileBytes(path, [&](FileBytes& data, const FileStamp&) -> FileOutcome {
        std::vector<CellChange> changes;
        FieldCharsets charsets{};
        for (int f = 0; f < kShownFields; ++f)
            charsets[static_cast<std::size_t>(f)] = font(f).charset;
        const FillResult result = planFill(entries(), data.view(), changes, progress, &charsets);
        if (details)
            *details = result;
        if (changes.empty())
            return {FileOutcome::Kind::Done, path, {}};
        if (!change([&] {
                // An empty field takes the source's character set in the same step as its texts.
                auto step = std::make_unique<PlannedStep>(*this, QStringLiteral("Special Import"));
                if (result.charsets != charsets) {
                    VocabularyHeader h = header();
                    for (int f = 0; f < kShownFields; ++f)
                        h.fonts[f].charset = result.charsets[static_cast<std::size_t>(f)];
                    step->addHeader(std::move(h));
                }
                step->addCellChanges(std::move(changes));
                push(step.release(), true);
            }))
            return noMemoryFor(path);
        emit listRewritten();
        return {FileOutcome::Kind::Done, path, {}};
    });
}

// ---- list operations ----------------------------------------------------------------------

bool Document::sortBy(int field, const KeyCollator& collator, const SortProgress& progress) {
    if (!changeOrSay(QStringLiteral("Sort"), [&] {
            // While the keys are made the progress hears of 0 calls, so the sort can be stopped.
            std::vector<int> order =
                sortOrder(entries(), field, codePageOf(field), collator, progress, nullptr, [&] {
                    if (progress)
                        progress(0);
                });
            push(permutationCommand(*this, QStringLiteral("Sort"), 0, std::move(order)));
        }))
        return false;
    emit listRewritten();
    return true;
}

bool Document::shuffle(unsigned seed) {
    if (!changeOrSay(QStringLiteral("Shuffle"), [&] {
            push(permutationCommand(*this, QStringLiteral("Shuffle"), 0,
                                    shuffleOrder(entries().entryCount(), seed)));
        }))
        return false;
    emit listRewritten();
    return true;
}

bool Document::swapQuestionAnswer() {
    if (!changeOrSay(QStringLiteral("Swap questions and answers"),
                     [&] { push(swapCommand(*this)); }))
        return false;
    emit listRewritten();
    return true;
}

bool Document::frequencyAnalysis(const KeyCollator& collator, const ProgressCallback& progress) {
    if (!changeOrSay(QStringLiteral("Frequency analysis"), [&] {
            std::vector<FrequencySpan> spans =
                frequencySpans(entries(), codePageOf(kQuestion), collator, progress);
            // A list of distinct questions whose answers are all "1" is its own result: no step.
            const auto unchanged = [&] {
                if (static_cast<int>(spans.size()) != entries().entryCount())
                    return false;
                for (int p = 0; p < entries().entryCount(); ++p)
                    if (entries().text(p, kAnswer) != "1")
                        return false;
                return true;
            };
            if (!unchanged())
                push(frequencyCommand(*this, std::move(spans)));
        }))
        return false;
    emit listRewritten();
    return true;
}

bool Document::applyListEdit(const QString& step, ListEdit edit) {
    if (edit.isEmpty())
        return true;
    return changeOrSay(step, [&] {
        auto planned = std::make_unique<PlannedStep>(*this, step);
        planned->addCellChanges(std::move(edit.cells));
        planned->addRemovals(edit.removals);
        if (edit.header)
            planned->addHeader(std::move(*edit.header));
        if (!planned->isEmpty())
            push(planned.release(), true);
    });
}

// ---- header -------------------------------------------------------------------------------

bool Document::setFont(int field, const FieldFont& font, FieldTexts texts) {
    if (field < 0 || field >= kShownFields || header().fonts[field] == font)
        return true;
    return changeOrSay(QStringLiteral("Font"), [&] {
        VocabularyHeader h = header();
        h.fonts[field] = font;
        if (texts == FieldTexts::KeepBytes || font.charset == header().fonts[field].charset) {
            push(headerCommand(*this, QStringLiteral("Font"), std::move(h)));
            return;
        }
        FieldRecoding plan = planCharsetChange(field, font.charset);
        auto step = std::make_unique<PlannedStep>(*this, QStringLiteral("Font"));
        step->addHeader(std::move(h));
        step->addCellChanges(std::move(plan.changes));
        push(step.release(), true);
    });
}

FieldRecoding Document::planCharsetChange(int field, int charset) const {
    return planFieldRecoding(entries(), field, codePageOf(field), CodePage::forCharset(charset));
}

bool Document::setFontSize(int size) {
    size = std::clamp(size, kMinFontSize, kMaxFontSize);
    if (size == header().fontSize)
        return true;
    return changeOrSay(QStringLiteral("Font size"), [&] {
        VocabularyHeader h = header();
        h.fontSize = size;
        for (FieldFont& f : h.fonts)
            f.pointSize = size;
        push(headerCommand(*this, QStringLiteral("Font size"), std::move(h)));
    });
}

bool Document::setLayoutName(int field, const std::string& name) {
    if (field < 0 || field >= kShownFields || header().layoutNames[field] == name)
        return true;
    return changeOrSay(QStringLiteral("Keyboard layout"), [&] {
        VocabularyHeader h = header();
        h.layoutNames[field] = name;
        push(headerCommand(*this, QStringLiteral("Keyboard layout"), std::move(h)));
    });
}

namespace {

std::string VocabularyHeader::*descriptionMember(DescriptionField field) {
    switch (field) {
    case DescriptionField::QuestionsLanguage:
        return &VocabularyHeader::questionsLanguage;
    case DescriptionField::AnswersLanguage:
        return &VocabularyHeader::answersLanguage;
    case DescriptionField::Title:
        return &VocabularyHeader::title;
    case DescriptionField::Author:
        return &VocabularyHeader::author;
    case DescriptionField::Date:
        break;
    }
    return &VocabularyHeader::date;
}

} // namespace

const std::string& Document::description(DescriptionField field) const {
    return header().*descriptionMember(field);
}

bool Document::setDescription(DescriptionField field, const std::string& bytes, quint64 editKey) {
    if (description(field) == bytes)
        return true;
    return changeOrSay(QStringLiteral("Description"), [&] {
        VocabularyHeader h = header();
        h.*descriptionMember(field) = bytes;
        push(headerCommand(*this, QStringLiteral("Description"), std::move(h), editKey));
    });
}

} // namespace lexanta
