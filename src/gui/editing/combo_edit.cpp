#include "gui/editing/combo_edit.h"

#include "gui/editing/focus_entry_hook.h"
#include "gui/widgets/code_page_validator.h"
#include "gui/widgets/deferred_style_icon.h"
#include "gui/widgets/line_edit_limits.h"
#include "platform/codepage.h"

#include <QAction>
#include <QKeyEvent>
#include <QStyle>

namespace lexanta {

ComboEdit::ComboEdit(QWidget* parent) : QLineEdit(parent) {
    liftLengthLimit(this);
    button_ = addAction(deferredStyleIcon(this, QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    connect(button_, &QAction::triggered, this, &ComboEdit::buttonClicked);
    // textEdited comes just before textChanged for the user's own edits only.
    connect(this, &QLineEdit::textEdited, this, [this] { userEdit_ = true; });
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!userEdit_)
            base_ = text;
        userEdit_ = false;
    });
}

void ComboEdit::setButtonHint(const QString& hint) {
    button_->setToolTip(hint);
}

void ComboEdit::setCharsetSource(std::function<int()> charset) {
    validator_ = new CodePageValidator(std::move(charset), this);
    connect(validator_, &CodePageValidator::refused, this, &ComboEdit::encodeRefused);
    setValidator(validator_);
}

void ComboEdit::fill(const QString& text) {
    setText(text);
    // A text longer than the box shows its start.
    setCursorPosition(0);
    base_ = text;
}

void ComboEdit::setShownCharset(int charset) {
    if (charset == shownCharset_)
        return;
    const CodePage& from = CodePage::forCharset(shownCharset_);
    const CodePage& to = CodePage::forCharset(charset);
    const auto convert = [&](const QString& text) {
        const EncodeResult bytes = from.encode(text);
        return bytes.ok() ? to.decode(bytes.bytes) : text;
    };
    shownCharset_ = charset;
    const QString base = convert(base_);
    const int cursor = cursorPosition();
    fill(convert(text()));
    setCursorPosition(cursor);
    base_ = base;
}

void ComboEdit::keyPressEvent(QKeyEvent* event) {
    keys_.pressed(*event);
    // The dialog the button opens takes the release of its key; any later press is a key
    // of the box again.
    buttonKey_ = 0;
    if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)) {
        buttonKey_ = event->key();
        emit buttonClicked();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ComboEdit::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    if (!keys_.released(*event))
        return;
    if (buttonKey_ != 0 && event->key() == buttonKey_) {
        buttonKey_ = 0;
        return;
    }
    emit keyReleased(event->key(), event->modifiers());
}

void ComboEdit::focusOutEvent(QFocusEvent* event) {
    keys_.clear();
    QLineEdit::focusOutEvent(event);
}

void ComboEdit::focusInEvent(QFocusEvent* event) {
    if (isFocusMoveInsideWindow(event->reason()))
        emit focusEntered();
    QLineEdit::focusInEvent(event);
}

} // namespace lexanta
