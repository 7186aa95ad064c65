#pragma once

#include <QObject>

class QWidget;

namespace lexanta {

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

} // namespace lexanta
