#pragma once

// Edit > Undo and Redo: the document's undo stack as two actions.

#include <QObject>

class QAction;

namespace lexanta {

class Document;

class UndoCommands : public QObject {
    Q_OBJECT

public:
    explicit UndoCommands(Document& document, QObject* parent = nullptr);

    QAction* undoAction() const { return undo_; } // Undo1
    QAction* redoAction() const { return redo_; } // Redo1

private:
    QAction* undo_;
    QAction* redo_;
};

} // namespace lexanta
