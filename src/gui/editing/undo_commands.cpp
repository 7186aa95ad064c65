#include "gui/editing/undo_commands.h"

#include "document/document.h"
#include "gui/widgets/named_action.h"

namespace lexanta {

UndoCommands::UndoCommands(Document& document, QObject* parent) : QObject(parent) {
    UndoStack* stack = document.undoStack();
    undo_ = namedAction(this, "Undo1", QStringLiteral("&Undo"));
    undo_->setShortcut(QKeySequence::Undo);
    redo_ = namedAction(this, "Redo1", QStringLiteral("&Redo"));
    redo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    undo_->setEnabled(stack->canUndo());
    redo_->setEnabled(stack->canRedo());
    connect(stack, &UndoStack::canUndoChanged, undo_, &QAction::setEnabled);
    connect(stack, &UndoStack::canRedoChanged, redo_, &QAction::setEnabled);
    // Through the document: a step that runs out of memory is neither done nor taken back.
    connect(undo_, &QAction::triggered, &document, &Document::undo);
    connect(redo_, &QAction::triggered, &document, &Document::redo);
}

} // namespace lexanta
