#include "gui/widgets/keyboard_guard.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenuBar>
#include <QProxyStyle>

namespace lexanta {

ModifierTypingFilter::ModifierTypingFilter(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
}

namespace {

// Editable combo and spin boxes hand their keys straight to their line edit.
bool takesText(QObject* object) {
    if (qobject_cast<QLineEdit*>(object) || qobject_cast<QAbstractSpinBox*>(object))
        return true;
    const auto* combo = qobject_cast<QComboBox*>(object);
    return combo && combo->isEditable();
}

} // namespace

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

UndoKeysToWindow::UndoKeysToWindow(QWidget* window) : QObject(window), window_(window) {
    qApp->installEventFilter(this);
}

bool UndoKeysToWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride || !takesText(watched))
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != window_)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeyCombination pressed = key->keyCombination();
    const bool undoKey = key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
                         pressed == QKeyCombination(Qt::CTRL, Qt::Key_Y);
    // Not taken here: the shortcut goes to the window's action.
    return undoKey;
}

namespace {

// Styles that leave it off (Fusion among them) still enter the menu bar on Alt.
class AltNavigationStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

class F10Filter : public QObject {
public:
    explicit F10Filter(QMenuBar* bar) : QObject(bar), bar_(bar) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::NoModifier || !widget ||
            widget->window() != bar_->window() || !bar_->isVisible())
            return false;
        const QList<QAction*> actions = bar_->actions();
        for (QAction* action : actions) {
            if (action->isVisible() && action->isEnabled() && action->menu()) {
                bar_->setActiveAction(action);
                return true;
            }
        }
        return false;
    }

private:
    QMenuBar* bar_;
};

} // namespace

void enableKeyboardMenuAccess(QMenuBar* bar) {
    auto* style = new AltNavigationStyle;
    style->setParent(bar);
    bar->setStyle(style);
    qApp->installEventFilter(new F10Filter(bar));
}

} // namespace lexanta
