#pragma once

#include <QObject>

class QMenuBar;
class QWidget;

namespace lexanta {

// Keys held with Alt or Ctrl are commands, never text: in a line edit (input boxes, the
// grid's in-place editor, description and test boxes, dialogs) they keep their editing
// meaning (Ctrl+C, Ctrl+Left, Alt+Down, ...) but insert no character. Without this an
// unbound Alt+letter, or a Russian menu accelerator typed on a Latin layout, lands in the
// entry. Installed on the application; lives as long as its parent.
class ModifierTypingFilter : public QObject {
    Q_OBJECT

public:
    explicit ModifierTypingFilter(QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Undo and Redo keys in the line edits of `window` reach the window's Undo and Redo (the
// document's), not the line edit's own undo of its text. Installed on the application.
class UndoKeysToWindow : public QObject {
    Q_OBJECT

public:
    explicit UndoKeysToWindow(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
};

// The menu bar is reached from the keyboard in every interface language: Alt alone enters
// it, F10 opens its first menu.
void enableKeyboardMenuAccess(QMenuBar* bar);

} // namespace lexanta
