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
#include <QLocale>
#include <QUndoStack>

#include <new>
#include <numeric>

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

FileOutcome outOfMemory(const QString& path) {
    return {FileOutcome::Kind::OutOfMemory, path, QStringLiteral("not enough memory")};
}

// Not named (Save asks for a file), keeping the name Save as proposes.
FileState untitled(const FileState& file, bool canMerge) {
    return {file.fileName, false, canMerge, DocumentOrigin::Untitled};
}

// Reads the whole file and hands its bytes to `use`. A file that cannot be read, or that needs
// more memory than is left, is reported, and whatever `use` had not yet pushed is dropped.
template <typename Use> FileOutcome withFileBytes(const QString& path, Use&& use) {
    try {
        std::string data;
        const IoResult read = readWholeFile(path, data);
        if (!read)
            return unreadable(path, read);
        return use(data);
    } catch (const std::bad_alloc&) {
        return outOfMemory(path);
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
      undo_(std::make_unique<QUndoStack>()) {
    vocabulary_.entries.setObserver(followers_.get());
    vocabulary_.header.date = todayText();
    if (start == Start::FirstStart)
        vocabulary_.header.author = kDesignAuthor;
    connect(undo_.get(), &QUndoStack::cleanChanged, this, [this](bool clean) {
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

void Document::setEntryObserver(EntryTableObserver* observer) {
    followers_->primary = observer;
}

void Document::addEntryFollower(EntryTableObserver* follower) {
    followers_->others.push_back(follower);
}

void Document::removeEntryFollower(EntryTableObserver* follower) {
    std::erase(followers_->others, follower);
}

void Document::push(QUndoCommand* command) {
    undo_->push(command);
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

void Document::newVocabulary() {
    Vocabulary fresh;
    fresh.header = resetHeader(vocabulary_.header);
    const FileState file = untitled(file_, false);
    push(replaceCommand(*this, QStringLiteral("New"), std::move(fresh), file));
    // An empty vocabulary holds nothing to lose.
    undo_->setClean();
}

FileOutcome Document::load(const QString& path, const ProgressCallback& progress) {
    return loadAs(path, FileState{path, true, true, DocumentOrigin::Loaded}, QStringLiteral("Load"),
                  progress);
}

FileOutcome Document::openRecovered(const QString& path) {
    // Unnamed, so Save asks where to keep it; it is what was being edited, not a saved file.
    const FileState file = untitled(file_, true);
    return loadAs(path, file, QStringLiteral("Open recovered vocabulary"), {});
}

FileOutcome Document::loadAs(const QString& path, const FileState& file, const QString& step,
                             const ProgressCallback& progress) {
    return withFileBytes(path, [&](std::string& data) -> FileOutcome {
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
        push(replaceCommand(*this, step, std::move(loaded), file));
        if (file.hasFile)
            undo_->setClean();
        return {FileOutcome::Kind::Done, path, {}};
    });
}

FileOutcome Document::importText(const QString& path, ImportFormat format, ImportResult* details,
                                 const ProgressCallback& progress) {
    return withFileBytes(path, [&](std::string& data) -> FileOutcome {
        std::array<int, kShownFields> codePages{};
        for (int field = 0; field < kShownFields; ++field)
            codePages[field] = codePageForCharset(font(field).charset);
        Vocabulary imported;
        imported.header = resetHeader(vocabulary_.header);
        const ImportResult result =
            lexanta::importText(data, format, codePages, imported.entries, progress);
        if (details)
            *details = result;
        if (!result.ok())
            return {FileOutcome::Kind::Rejected, path, describeImportProblems(result, path)};
        normalizeCells(imported.entries);
        const FileState file = untitled(file_, true);
        push(replaceCommand(*this, QStringLiteral("Import"), std::move(imported), file));
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
        const FileState file = untitled(file_, true);
        push(replaceCommand(*this, QStringLiteral("Import"), std::move(imported), file));
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
    undo_->beginMacro(QStringLiteral("Import"));
    if (header != vocabulary_.header)
        push(headerCommand(*this, QStringLiteral("Import"), std::move(header)));
    if (mapped.entryCount > 0)
        push(appendEntriesCommand(*this, QStringLiteral("Import"), std::move(mapped.entries), 0));
    if (dropBlankLast)
        push(deleteEntryCommand(*this, oldCount - 1));
    undo_->endMacro();
    emit listRewritten();
    return {FileOutcome::Kind::Done, path, {}};
}

FileOutcome Document::save(const SaveOptions& options) {
    return writeFile(file_.fileName, options);
}

FileOutcome Document::saveAs(const QString& path, const SaveOptions& options) {
    FileOutcome outcome = writeFile(path, options);
    if (outcome.ok())
        setFileState(FileState{path, true, file_.canMerge, DocumentOrigin::SavedAs});
    return outcome;
}

FileOutcome Document::writeFile(const QString& path, const SaveOptions& options) {
    auto* step = new PlannedStep(*this, QStringLiteral("Clean up"));
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
    if (step->isEmpty())
        delete step;
    else
        push(step);

    bool withHeader = vocabulary_.currentFormat;
    if (!withHeader && options.chooseFormat) {
        const FormatChoice choice = options.chooseFormat();
        if (choice == FormatChoice::Cancel)
            return {FileOutcome::Kind::Cancelled, path, {}};
        withHeader = choice == FormatChoice::Current;
    }
    IoResult written = IoResult::success(path);
    try {
        written = writeWholeFile(path, serializeVocabulary(vocabulary_, withHeader));
    } catch (const std::bad_alloc&) {
        // The file's bytes are gathered before anything is written: the old file is intact.
        return {FileOutcome::Kind::Unwritable, path, QStringLiteral("not enough memory")};
    }
    if (!written)
        return {FileOutcome::Kind::Unwritable, path, written.reason};
    if (withHeader && !vocabulary_.currentFormat)
        push(formatCommand(*this, true));
    undo_->setClean();
    return {FileOutcome::Kind::Done, path, {}};
}

// ---- entries ------------------------------------------------------------------------------

void Document::setText(int entry, int field, std::string_view bytes, quint64 editKey) {
    if (entry < 0 || entry >= entries().entryCount() || field < 0 || field >= kFieldCount ||
        entries().text(entry, field) == bytes)
        return;
    push(singleTextCommand(*this, entry, field, std::string(bytes), editKey));
}

void Document::insertEntry(int index, const Entry& entry) {
    index = std::clamp(index, 0, entries().entryCount());
    push(insertEntriesCommand(*this, QStringLiteral("Insert entry"), index, {entry}));
}

void Document::deleteEntry(int index) {
    if (entries().entryCount() <= 1 || index < 0 || index >= entries().entryCount())
        return;
    push(deleteEntryCommand(*this, index));
}

void Document::moveEntry(int from, int to) {
    const int count = entries().entryCount();
    if (from == to || from < 0 || to < 0 || from >= count || to >= count)
        return;
    push(moveEntryCommand(*this, from, to));
}

void Document::moveField(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= kFieldCount || to >= kFieldCount)
        return;
    push(moveFieldCommand(*this, from, to));
}

FileOutcome Document::merge(const QString& path, const ProgressCallback& progress) {
    return withFileBytes(path, [&](std::string& data) -> FileOutcome {
        EntryTable merged;
        const int first = merged.entryCount(); // the merged entries follow its empty one
        std::string error;
        const int added = mergeEntries(data, merged, &error, progress);
        if (error.empty() && added > EntryTable::kMaxEntries - entries().entryCount())
            error =
                tooManyEntriesMessage(static_cast<unsigned long long>(added) +
                                          static_cast<unsigned long long>(entries().entryCount()),
                                      EntryTable::kMaxEntries);
        if (!error.empty())
            return rejected(path, error);
        if (added > 0) {
            push(appendEntriesCommand(*this, QStringLiteral("Merge"), std::move(merged), first));
            emit listRewritten();
        }
        return {FileOutcome::Kind::Done, path, {}};
    });
}

FileOutcome Document::specialImport(const QString& path, FillResult* details,
                                    const ProgressCallback& progress) {
    return withFileBytes(path, [&](std::string& data) -> FileOutcome {
        std::vector<CellChange> changes;
        const FillResult result = planFill(entries(), data, changes, progress);
        if (details)
            *details = result;
        if (!changes.empty()) {
            push(cellChangesCommand(*this, QStringLiteral("Special Import"), std::move(changes)));
            emit listRewritten();
        }
        return {FileOutcome::Kind::Done, path, {}};
    });
}

// ---- list operations ----------------------------------------------------------------------

void Document::sortBy(int field, const KeyCollator& collator, const SortProgress& progress) {
    std::vector<int> order = sortOrder(entries(), field, codePageOf(field), collator, progress);
    push(permutationCommand(*this, QStringLiteral("Sort"), 0, std::move(order)));
    emit listRewritten();
}

void Document::shuffle(unsigned seed) {
    push(permutationCommand(*this, QStringLiteral("Shuffle"), 0,
                            shuffleOrder(entries().entryCount(), seed)));
    emit listRewritten();
}

void Document::swapQuestionAnswer() {
    push(swapCommand(*this));
    emit listRewritten();
}

void Document::frequencyAnalysis(const KeyCollator& collator, const ProgressCallback& progress) {
    const std::vector<FrequencyRun> runs =
        frequencyRuns(entries(), codePageOf(kQuestion), collator, progress);
    // Only the cells that change are kept for the undo.
    std::vector<CellChange> changes = frequencyChanges(runs);
    std::erase_if(changes, [this](const CellChange& c) {
        return entries().text(c.entry, c.field) == c.text;
    });
    auto* step = new PlannedStep(*this, QStringLiteral("Frequency analysis"));
    step->addCellChanges(std::move(changes));
    step->addEntryCount(static_cast<int>(runs.size()));
    if (step->isEmpty())
        delete step;
    else
        push(step);
    emit listRewritten();
}

void Document::applyListEdit(const QString& step, ListEdit edit) {
    if (edit.isEmpty())
        return;
    auto* planned = new PlannedStep(*this, step);
    planned->addCellChanges(std::move(edit.cells));
    planned->addRemovals(edit.removals);
    if (edit.header)
        planned->addHeader(std::move(*edit.header));
    if (planned->isEmpty())
        delete planned;
    else
        push(planned);
}

// ---- header -------------------------------------------------------------------------------

void Document::setFont(int field, const FieldFont& font) {
    if (field < 0 || field >= kShownFields || header().fonts[field] == font)
        return;
    VocabularyHeader h = header();
    h.fonts[field] = font;
    push(headerCommand(*this, QStringLiteral("Font"), std::move(h)));
}

void Document::setFontSize(int size) {
    size = std::clamp(size, kMinFontSize, kMaxFontSize);
    if (size == header().fontSize)
        return;
    VocabularyHeader h = header();
    h.fontSize = size;
    for (FieldFont& f : h.fonts)
        f.pointSize = size;
    push(headerCommand(*this, QStringLiteral("Font size"), std::move(h)));
}

void Document::setLayoutName(int field, const std::string& name) {
    if (field < 0 || field >= kShownFields || header().layoutNames[field] == name)
        return;
    VocabularyHeader h = header();
    h.layoutNames[field] = name;
    push(headerCommand(*this, QStringLiteral("Keyboard layout"), std::move(h)));
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

void Document::setDescription(DescriptionField field, const std::string& bytes, quint64 editKey) {
    if (description(field) == bytes)
        return;
    VocabularyHeader h = header();
    h.*descriptionMember(field) = bytes;
    push(headerCommand(*this, QStringLiteral("Description"), std::move(h), editKey));
}

} // namespace lexanta
