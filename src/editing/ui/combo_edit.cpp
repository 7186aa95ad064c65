#include "editing/ui/combo_edit.h"

#include <QAction>
#include <QKeyEvent>
#include <QStyle>

namespace lexanta {

ComboEdit::ComboEdit(QWidget* parent) : QLineEdit(parent) {
    button_ = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    connect(button_, &QAction::triggered, this, &ComboEdit::buttonClicked);
}

void ComboEdit::setButtonHint(const QString& hint) { button_->setToolTip(hint); }

void ComboEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)) {
        emit buttonClicked();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ComboEdit::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit keyReleased(event->key(), event->modifiers());
}

void ComboEdit::focusInEvent(QFocusEvent* event) {
    emit focusEntered();
    QLineEdit::focusInEvent(event);
}

} // namespace lexanta
