// Keeping the input boxes in step with the current row: each box remembers the text it was

// filled with or last wrote back (its base text). Whenever the document's entries change and
// the current row no longer holds those texts (a sort, a swap, an undo, an edit in place), the
// boxes are refilled in Edit Words mode, so a keystroke never writes texts the user did not
// see over another entry. The write-back touches only fields whose text differs from the
// cell, so unchanged cells keep their exact bytes.
#include "gui/editing/entry_editor.h"

#include "document/document.h"
#include "gui/editing/combo_edit.h"
#include "gui/editing/entry_grid.h"
#include "gui/editing/entry_grid_model.h"
#include "gui/widgets/code_page_validator.h"
#include "gui/widgets/field_fonts.h"
#include "platform/codepage.h"

#include "gui/widgets/named_action.h"

#include <QAction>
#include <QActionGroup>
#include <QToolTip>

namespace lexanta {

namespace {

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

const char* const kFieldNames[] = {"question", "answer", "comment"};

} // namespace

EntryEditor::EntryEditor(Document& document, EntryGrid* grid,
                         const std::array<ComboEdit*, kShownFields>& boxes,
                         std::function<void(const QString&)> showStatus, QObject* parent)
    : QObject(parent), document_(document), grid_(grid), boxes_(boxes),
      showStatus_(std::move(showStatus)) {
    modes_ = new QActionGroup(this);
    editWords_ = namedAction(this, "editWordsAction", QStringLiteral("Edit Words"));
    addWords_ = namedAction(this, "addWordsAction", QStringLiteral("Add Words"));
    for (QAction* mode : {editWords_, addWords_}) {
        mode->setCheckable(true);
        modes_->addAction(mode);
    }
    addWords_->setChecked(true);
    connect(editWords_, &QAction::triggered, this, &EntryEditor::editWords);
    connect(addWords_, &QAction::triggered, this, &EntryEditor::addWords);
    delete_ = namedAction(this, "deleteEntryAction", QStringLiteral("Delete words"));
    connect(delete_, &QAction::triggered, this, [this] { deleteEntry(grid_->currentEntry()); });

    grid_->entryModel()->setEditKey([this] { return visit_; });
    connect(grid_, &EntryGrid::selectCell, this, &EntryEditor::selectCell);
    connect(grid_, &EntryGrid::keyReleased, this, &EntryEditor::gridKeyUp);
    connect(
        grid_, &EntryGrid::editRefused, this, [this](int column, int, const QString& characters) {
            reportUnencodable(grid_->inplaceEditor(), EntryGrid::fieldOfColumn(column), characters);
        });
    for (int field = 0; field < kShownFields; ++field) {
        ComboEdit* b = box(field);
        b->setShownCharset(document_.font(field).charset);
        b->setCharsetSource([this, field] { return document_.font(field).charset; });
        connect(b, &ComboEdit::keyReleased, this,
                [this](int key, Qt::KeyboardModifiers) { boxKeyUp(key); });
        connect(b, &ComboEdit::encodeRefused, this,
                [this, b, field](const QString& chars) { reportUnencodable(b, field, chars); });
    }
    connect(&document_, &Document::entriesChanged, this, &EntryEditor::followDocument);
    connect(&document_, &Document::replaced, this, &EntryEditor::resetView);
}

// ---- grid ----------------------------------------------------------------------------------

void EntryEditor::selectCell(int column, int row) {
    editMode_ = true;
    editWords_->setChecked(true);
    newVisit();
    loadBoxesFrom(EntryGrid::entryOfRow(row));
    if (column >= 1 && column <= kShownFields)
        emit fieldSelected(column - 1);
}

void EntryEditor::gridKeyUp(int key, Qt::KeyboardModifiers modifiers) {
    if ((modifiers & Qt::ControlModifier) && key == Qt::Key_Delete)
        deleteEntry(grid_->currentEntry());
    if (isEnter(key))
        insertBlankRowBelow();
}

void EntryEditor::insertBlankRowBelow() {
    const int row = grid_->row();
    // The entries below move down by one, all five fields; the new entry is empty.
    document_.insertEntry(EntryGrid::entryOfRow(row) + 1, Entry{});
    grid_->setColumn(1);
    grid_->setRow(row + 1);
    grid_->viewport()->update();
}

void EntryEditor::resetView() {
    grid_->returnToFirstCell();
    // The reset empties the boxes in either mode.
    for (ComboEdit* b : boxes_)
        b->fill(QString());
}

// ---- input line and modes ------------------------------------------------------------------

void EntryEditor::loadBoxesFrom(int entry) {
    for (int field = 0; field < kShownFields; ++field) {
        ComboEdit* b = box(field);
        b->setShownCharset(document_.font(field).charset);
        b->fill(document_.codePageOf(field).decode(document_.entries().text(entry, field)));
    }
}

bool EntryEditor::boxesStale(int entry) const {
    for (int field = 0; field < kShownFields; ++field) {
        const QString held =
            document_.codePageOf(field).decode(document_.entries().text(entry, field));
        if (box(field)->baseText() != held)
            return true;
    }
    return false;
}

void EntryEditor::followDocument() {
    // In Add Words mode the boxes hold the entry being typed, which belongs to no row.
    if (editMode_ && !writingBack_ && boxesStale(grid_->currentEntry()))
        loadBoxesFrom(grid_->currentEntry());
}

void EntryEditor::writeBoxesTo(int entry) {
    for (int field = 0; field < kShownFields; ++field) {
        ComboEdit* b = box(field);
        const CodePage& page = document_.codePageOf(field);
        const QString text = b->text();
        if (page.decode(document_.entries().text(entry, field)) != text) {
            const EncodeResult encoded = page.encode(text);
            if (!encoded.ok()) {
                reportUnencodable(b, field, encoded.unencodable);
                continue;
            }
            writingBack_ = true;
            document_.setText(entry, field, encoded.bytes, visit_);
            writingBack_ = false;
        }
        b->markWritten();
    }
}

void EntryEditor::editWords() {
    editMode_ = true;
    editWords_->setChecked(true);
    newVisit();
    loadBoxesFrom(grid_->currentEntry());
}

void EntryEditor::addWords() {
    for (ComboEdit* b : boxes_)
        b->fill(QString());
    box(0)->setFocus(Qt::OtherFocusReason);
    editMode_ = false;
    addWords_->setChecked(true);
}

void EntryEditor::boxKeyUp(int key) {
    if (!editMode_) {
        if (isEnter(key))
            insertEntryFromInputLine();
        return;
    }
    const int entry = grid_->currentEntry();
    if (key == Qt::Key_Up && entry > 0)
        grid_->setRow(grid_->row() - 1);
    if (key == Qt::Key_Down && entry < document_.entries().entryCount() - 1)
        grid_->setRow(grid_->row() + 1);
    writeBoxesTo(grid_->currentEntry());
}

void EntryEditor::insertEntryFromInputLine() {
    Entry entry;
    for (int field = 0; field < kShownFields; ++field) {
        ComboEdit* b = box(field);
        EncodeResult encoded = document_.codePageOf(field).encode(b->text());
        if (!encoded.ok()) {
            // Nothing is added rather than an entry with replaced characters.
            reportUnencodable(b, field, encoded.unencodable);
            return;
        }
        entry[field] = std::move(encoded.bytes);
    }
    entry[kExtra1] = "0";
    entry[kExtra2] = "0";
    // The new entry takes the current row; the entries from there on move down by one.
    document_.insertEntry(grid_->currentEntry(), entry);
    for (ComboEdit* b : boxes_)
        b->fill(QString());
    box(0)->setFocus(Qt::OtherFocusReason);
}

void EntryEditor::deleteEntry(int entry) {
    if (!editMode_ || document_.entries().entryCount() <= 1)
        return;
    // When the last row goes while current, the grid moves to the new last row through the
    // selection handler.
    document_.deleteEntry(entry);
    loadBoxesFrom(grid_->currentEntry());
}

void EntryEditor::reportUnencodable(QWidget* where, int field, const QString& characters) {
    field = std::clamp(field, 0, 2);
    const QString message =
        QStringLiteral("The %1 column's script (%2) cannot hold %3; the text was not changed. "
                       "Choose a font script that holds it.")
            .arg(QString::fromLatin1(kFieldNames[field]), scriptName(document_.font(field).charset),
                 shownCharacters(characters));
    showStatus_(message);
    if (where && where->isVisible())
        QToolTip::showText(where->mapToGlobal(QPoint(0, where->height())), message, where);
}

} // namespace lexanta
