#include "gui/widgets/modifier_typing_filter.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace lexanta {

ModifierTypingFilter::ModifierTypingFilter(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
}

bool takesText(QObject* object) {
    if (qobject_cast<QLineEdit*>(object) || qobject_cast<QAbstractSpinBox*>(object))
        return true;
    const auto* combo = qobject_cast<QComboBox*>(object);
    return combo && combo->isEditable();
}

bool ModifierTypingFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !takesText(watched))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->text().isEmpty() || !(key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)))
        return false;
    // The same key without its text: the edit still sees its editing keys.
    QKeyEvent command(key->type(), key->key(), key->modifiers(), key->nativeScanCode(),
                      key->nativeVirtualKey(), key->nativeModifiers(), QString(),
                      key->isAutoRepeat(), key->count(), key->device());
    QCoreApplication::sendEvent(watched, &command);
    key->setAccepted(command.isAccepted());
    return true;
}

} // namespace lexanta
