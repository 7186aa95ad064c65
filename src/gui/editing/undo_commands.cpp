#include "gui/editing/undo_commands.h"

#include "gui/widgets/named_action.h"

#include <QUndoStack>

namespace lexanta {

UndoCommands::UndoCommands(QUndoStack* stack, QObject* parent) : QObject(parent) {
    undo_ = namedAction(this, "Undo1", QStringLiteral("&Undo"));
    undo_->setShortcut(QKeySequence::Undo);
    redo_ = namedAction(this, "Redo1", QStringLiteral("&Redo"));
    redo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    undo_->setEnabled(stack->canUndo());
    redo_->setEnabled(stack->canRedo());
    connect(stack, &QUndoStack::canUndoChanged, undo_, &QAction::setEnabled);
    connect(stack, &QUndoStack::canRedoChanged, redo_, &QAction::setEnabled);
    connect(undo_, &QAction::triggered, stack, &QUndoStack::undo);
    connect(redo_, &QAction::triggered, stack, &QUndoStack::redo);
}

} // namespace lexanta
