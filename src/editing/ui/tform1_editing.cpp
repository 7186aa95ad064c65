// Entry editing handlers of the main window: the grid's selection and keys, the input line
// and its two modes, deletion, field fonts and the font size, per-field keyboard layouts.
//
// Keeping the input boxes in step with the current row: each box remembers the text it
// was filled with or last wrote back (its base text). In Edit Words mode a key in a box
// first checks that the current row still holds those texts. When another command (sort,
// shuffle, swap, clean-up, special import, ...) rewrote the row behind the boxes, the boxes
// are refilled from the row, the key is not applied, and the status bar says why; so a key
// never writes the former entry over the one now in the row, and never edits an entry the
// user did not see. An edit in place of the current row shows in its box at once, and
// commands may call refreshBoxesAfterRewrite() to refill the boxes themselves. The write
// back touches only fields whose text differs from the cell, so unchanged cells keep their
// exact bytes.
#include "app/tform1.h"

#include "editing/ui/combo_edit.h"
#include "editing/ui/entry_grid.h"
#include "editing/ui/entry_grid_model.h"
#include "editing/ui/field_fonts.h"
#include "editing/ui/focus_entry.h"
#include "platform/codepage.h"
#include "platform/keyboard_layouts.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>
#include <QToolTip>

namespace lexanta {

namespace {

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Keys that never change a box's text.
bool leavesTextAlone(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return (event.modifiers() & Qt::AltModifier) != 0;
    }
}

const char* const kFieldNames[] = {"question", "answer", "comment"};

} // namespace

ComboEdit* TForm1::inputBox(int field) const {
    ComboEdit* const boxes[] = {ComboEdit1, ComboEdit2, ComboEdit3};
    return boxes[std::clamp(field, 0, 2)];
}

void TForm1::connectEditing() {
    installFontSubstitutions();

    // The grid's own font until a cell is selected.
    gridFont = FieldFont{"MS Sans Serif", 10,    kColorWindowText, false, false,
                         false,           false, kCharsetDefault};
    applyGridFont();

    connect(StringGrid1, &EntryGrid::selectCell, this,
            [this](int column, int row) { StringGrid1SelectCell(column, row); });
    connect(StringGrid1, &EntryGrid::keyReleased, this,
            [this](int key, Qt::KeyboardModifiers shift) { StringGrid1KeyUp(key, shift); });
    // The counter follows every repaint of the grid, whatever changed the row count.
    connect(StringGrid1, &EntryGrid::cellsPainted, this, [this] {
        const QString count = QString::number(RowCount() - 1);
        if (Label3->text() != count)
            Label3->setText(count);
    });
    connect(StringGrid1, &EntryGrid::cellEdited, this, [this](int column, int row) {
        if (EditMode && row == StringGrid1->Row() && column >= 1 && column <= 3)
            inputBox(column - 1)
                ->fill(CodePage::forCharset(FieldFontOf(column - 1).charset)
                           .decode(cells().cell(column, row)));
    });
    connect(StringGrid1, &EntryGrid::editRefused, this,
            [this](int column, int, const QString& characters) {
                reportUnencodable(StringGrid1->inplaceEditor(), column - 1, characters);
            });

    // The input boxes: design fonts until a vocabulary's fonts are applied.
    QFont boxFont(QStringLiteral("MS Sans Serif"));
    boxFont.setPointSize(10);
    boxFont.setBold(true);
    const QColor navy = toQColor(kColorNavy);
    setWidgetFont(ComboEdit1, boxFont, navy);
    setWidgetFont(ComboEdit2, boxFont, navy);
    boxFont.setFamily(QStringLiteral("PhoneticTM"));
    setWidgetFont(ComboEdit3, boxFont, navy);
    for (int field = 0; field < 3; ++field) {
        ComboEdit* box = inputBox(field);
        box->setShownCharset(FieldFontOf(field).charset);
        box->setCharsetSource([this, field] { return doc.header.fonts[field].charset; });
        connect(box, &ComboEdit::keyReleased, this,
                [this](int key, Qt::KeyboardModifiers shift) { ComboEdit1KeyUp(key, shift); });
        connect(box, &ComboEdit::encodeRefused, this,
                [this, box, field](const QString& chars) { reportUnencodable(box, field, chars); });
        box->setKeyGuard([this](const QKeyEvent& event) {
            return EditMode && !leavesTextAlone(event) && refillStaleBoxes();
        });
    }
    connect(ComboEdit1, &ComboEdit::buttonClicked, this, [this] { ComboEdit1ButtonClick(); });
    connect(ComboEdit2, &ComboEdit::buttonClicked, this, [this] { ComboEdit2ButtonClick(); });
    connect(ComboEdit3, &ComboEdit::buttonClicked, this, [this] { ComboEdit3ButtonClick(); });
    connect(ChangeFont1, &QPushButton::clicked, this, [this] { ComboEdit1ButtonClick(); });
    connect(ChangeFont2, &QPushButton::clicked, this, [this] { ComboEdit2ButtonClick(); });
    connect(ChangeFont3, &QPushButton::clicked, this, [this] { ComboEdit3ButtonClick(); });
    connect(ComboEdit1, &ComboEdit::focusEntered, this, [this] { ComboEdit1Enter(); });
    connect(ComboEdit2, &ComboEdit::focusEntered, this, [this] { ComboEdit2Enter(); });
    connect(ComboEdit3, &ComboEdit::focusEntered, this, [this] { ComboEdit3Enter(); });

    connect(SpeedItem1, &QToolButton::clicked, this, [this] { SpeedItem1Click(); });
    connect(SpeedItem2, &QToolButton::clicked, this, [this] { SpeedItem2Click(); });
    connect(SpeedItem6, &QToolButton::clicked, this, [this] { SpeedItem6Click(); });

    // valueChanged comes only when the shown value really changes.
    connect(RxSpinEdit1, &QSpinBox::valueChanged, this, [this] { RxSpinEdit1Change(); });

    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    new FocusEntryHook(Edit5, [this] { Edit5Enter(); });
    new FocusEntryHook(Edit6, [this] { Edit6Enter(); });
    new FocusEntryHook(Edit7, [this] { Edit7Enter(); });
}

// ---- grid --------------------------------------------------------------------------------

void TForm1::StringGrid1SelectCell(int column, int row) {
    EditMode = true;
    SpeedItem1->setChecked(true);
    loadBoxesFromRow(row);
    if (column >= 1 && column <= 3) {
        gridFont = FieldFontOf(column - 1);
        applyGridFont();
        ActivateFieldLayout(column - 1);
    }
}

void TForm1::applyGridFont() {
    const QFont font = toQFont(gridFont);
    const QColor color = toQColor(gridFont.color);
    if (StringGrid1->font() == font && widgetTextColor(StringGrid1->inplaceEditor()) == color)
        return;
    StringGrid1->setGridFont(font, color);
}

void TForm1::StringGrid1KeyUp(int key, Qt::KeyboardModifiers shift) {
    if ((shift & Qt::ControlModifier) && key == Qt::Key_Delete)
        DeleteRecord(StringGrid1->Row());
    if (isEnter(key))
        InsertBlankRowBelow();
}

void TForm1::InsertBlankRowBelow() {
    const int row = StringGrid1->Row();
    // The rows below move down by one, all five fields; the new row is empty.
    cells().insertRows(row + 1, 1);
    StringGrid1->setCol(1);
    StringGrid1->setRow(row + 1);
    StringGrid1->viewport()->update();
}

// ---- input line and modes ----------------------------------------------------------------

void TForm1::loadBoxesFromRow(int row) {
    for (int field = 0; field < 3; ++field) {
        ComboEdit* box = inputBox(field);
        const int charset = FieldFontOf(field).charset;
        box->setShownCharset(charset);
        box->fill(CodePage::forCharset(charset).decode(cells().cell(field + 1, row)));
    }
}

void TForm1::refreshBoxesAfterRewrite() {
    if (EditMode)
        loadBoxesFromRow(StringGrid1->Row());
}

bool TForm1::boxesStale(int row) const {
    for (int field = 0; field < 3; ++field) {
        const ComboEdit* box = inputBox(field);
        const QString held = CodePage::forCharset(doc.header.fonts[field].charset)
                                 .decode(doc.entries.cell(field + 1, row));
        if (box->baseText() != held)
            return true;
    }
    return false;
}

bool TForm1::refillStaleBoxes() {
    const int row = StringGrid1->Row();
    if (!EditMode || !boxesStale(row))
        return false;
    loadBoxesFromRow(row);
    statusBar()->showMessage(QStringLiteral("The entry in this row was changed by another "
                                            "command; the input boxes now show it."),
                             10000);
    return true;
}

void TForm1::writeBoxesToRow(int row) {
    if (refillStaleBoxes())
        return;
    for (int field = 0; field < 3; ++field) {
        ComboEdit* box = inputBox(field);
        const CodePage& page = CodePage::forCharset(FieldFontOf(field).charset);
        const QString text = box->text();
        if (page.decode(cells().cell(field + 1, row)) != text) {
            EncodeResult encoded = page.encode(text);
            if (!encoded.ok()) {
                reportUnencodable(box, field, encoded.unencodable);
                continue;
            }
            cells().setCell(field + 1, row, std::move(encoded.bytes));
        }
        box->markWritten();
    }
}

void TForm1::SpeedItem1Click() {
    EditMode = true;
    SpeedItem1->setChecked(true);
    loadBoxesFromRow(StringGrid1->Row());
}

void TForm1::SpeedItem2Click() {
    for (int field = 0; field < 3; ++field)
        inputBox(field)->fill(QString());
    ComboEdit1->setFocus(Qt::OtherFocusReason);
    EditMode = false;
    SpeedItem2->setChecked(true);
}

void TForm1::SpeedItem6Click() {
    DeleteRecord(StringGrid1->Row());
}

void TForm1::ComboEdit1KeyUp(int key, Qt::KeyboardModifiers shift) {
    (void)shift;
    if (!EditMode) {
        if (isEnter(key))
            InsertEntryFromInputLine();
        return;
    }
    const int row = StringGrid1->Row();
    if (key == Qt::Key_Up && row > 1)
        StringGrid1->setRow(row - 1);
    if (key == Qt::Key_Down && row < RowCount() - 1)
        StringGrid1->setRow(row + 1);
    writeBoxesToRow(StringGrid1->Row());
}

void TForm1::InsertEntryFromInputLine() {
    Entry entry;
    for (int field = 0; field < 3; ++field) {
        ComboEdit* box = inputBox(field);
        EncodeResult encoded = CodePage::forCharset(FieldFontOf(field).charset).encode(box->text());
        if (!encoded.ok()) {
            // Nothing is added rather than an entry with replaced characters.
            reportUnencodable(box, field, encoded.unencodable);
            return;
        }
        entry[field + 1] = std::move(encoded.bytes);
    }
    entry[kExtra1] = "0";
    entry[kExtra2] = "0";
    // The new entry takes the current row; the entries from there on move down by one.
    const int row = StringGrid1->Row();
    cells().insertRows(row, 1);
    cells().setEntry(row, std::move(entry));
    for (int field = 0; field < 3; ++field)
        inputBox(field)->fill(QString());
    ComboEdit1->setFocus(Qt::OtherFocusReason);
}

void TForm1::DeleteRecord(int row) {
    if (!EditMode || RowCount() <= 2)
        return;
    // When the last row goes while current, the grid moves to the new last row through
    // the selection handler.
    cells().removeRows(row, 1);
    loadBoxesFromRow(StringGrid1->Row());
}

void TForm1::reportUnencodable(QWidget* where, int field, const QString& characters) {
    QStringList shown;
    for (const char32_t c : characters.toUcs4())
        shown << QString::fromUcs4(&c, 1);
    const int charset = FieldFontOf(std::clamp(field, 0, 2)).charset;
    const QString message =
        QStringLiteral("The %1 column's script (%2) cannot hold %3; the text was not changed. "
                       "Choose a font script that holds it.")
            .arg(QString::fromLatin1(kFieldNames[std::clamp(field, 0, 2)]), scriptName(charset),
                 shown.join(QLatin1Char(' ')));
    statusBar()->showMessage(message, 10000);
    if (where && where->isVisible())
        QToolTip::showText(where->mapToGlobal(QPoint(0, where->height())), message, where);
}

// ---- field fonts and size ----------------------------------------------------------------

void TForm1::ComboEdit1ButtonClick() {
    chooseFieldFont(kQuestionField);
}
void TForm1::ComboEdit2ButtonClick() {
    chooseFieldFont(kAnswerField);
}
void TForm1::ComboEdit3ButtonClick() {
    chooseFieldFont(kCommentField);
}

void TForm1::chooseFieldFont(int field) {
    FieldFont chosen = FieldFontOf(field);
    if (!dialogs().chooseFont(this, chosen))
        return;
    FieldFontOf(field) = chosen;
    ApplyFieldFont(field);
    // A new character set shows the column's bytes in its code page.
    StringGrid1->entryModel()->refreshAll();
    StringGrid1->viewport()->update();
}

void TForm1::ApplyFieldFont(int field) {
    const FieldFont& font = FieldFontOf(field);
    ComboEdit* box = inputBox(field);
    QLineEdit* const testBoxes[] = {Edit5, Edit6, Edit7};
    QLabel* const samples[] = {Label12, Label13, Label14};
    const QFont qfont = toQFont(font);
    const QColor color = toQColor(font.color);
    box->setShownCharset(font.charset);
    setWidgetFont(box, qfont, color);
    setWidgetFont(testBoxes[field], box->font(), color);
    setWidgetFont(samples[field], qfont, color);
    QFont boxFont = box->font();
    boxFont.setPointSize(10);
    box->setFont(boxFont);
    QFont sampleFont = samples[field]->font();
    sampleFont.setPointSize(12);
    samples[field]->setFont(sampleFont);
}

void TForm1::RxSpinEdit1Change() {
    const int size = RxSpinEdit1->value();
    StringGrid1->setDefaultRowHeight(2 * size);
    FieldFontOf(kQuestionField).pointSize = size;
    FieldFontOf(kAnswerField).pointSize = size;
    gridFont.pointSize = size;
    applyGridFont();
    FieldFontOf(kCommentField).pointSize = gridFont.pointSize;
    StringGrid1->viewport()->update();
}

// ---- keyboard layouts --------------------------------------------------------------------

void TForm1::ActivateFieldLayout(int field) {
    if (!CheckBox1->isChecked())
        return;
    KeyboardLayouts& layouts = keyboardLayouts();
    layouts.activate(layouts.loadLayout(QString::fromStdString(FieldLayoutNames()[field])));
}

void TForm1::CheckBox1Click() {
    const bool on = CheckBox1->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{Button2, Button3, Button4, Edit5, Edit6,
                                                      Edit7, TestLabel1, TestLabel2, TestLabel3})
        w->setEnabled(on);
}

namespace {

std::string capturedName(const KeyboardLayouts& layouts) {
    return layouts.currentLayoutName().left(8).toStdString();
}

} // namespace

void TForm1::Button2Click() {
    FieldLayoutNames()[kQuestionField] = capturedName(keyboardLayouts());
}
void TForm1::Button3Click() {
    FieldLayoutNames()[kAnswerField] = capturedName(keyboardLayouts());
}
void TForm1::Button4Click() {
    FieldLayoutNames()[kCommentField] = capturedName(keyboardLayouts());
}

void TForm1::ComboEdit1Enter() {
    ActivateFieldLayout(kQuestionField);
}
void TForm1::ComboEdit2Enter() {
    ActivateFieldLayout(kAnswerField);
}
void TForm1::ComboEdit3Enter() {
    ActivateFieldLayout(kCommentField);
}
void TForm1::Edit5Enter() {
    ActivateFieldLayout(kQuestionField);
}
void TForm1::Edit6Enter() {
    ActivateFieldLayout(kAnswerField);
}
void TForm1::Edit7Enter() {
    ActivateFieldLayout(kCommentField);
}

} // namespace lexanta
