#include "document/undo_stack.h"

#include <algorithm>

namespace lexanta {

UndoStack::~UndoStack() = default;

UndoStep* UndoStack::step(int index) const {
    return index >= 0 && index < count() ? steps_[static_cast<std::size_t>(index)].get() : nullptr;
}

void UndoStack::setClean() {
    const bool was = isClean();
    clean_ = index_;
    if (!was)
        emit cleanChanged(true);
}

void UndoStack::push(std::unique_ptr<UndoStep> step) {
    UndoStep* top = index_ > 0 ? steps_[static_cast<std::size_t>(index_ - 1)].get() : nullptr;
    const bool joins = top && top->kind() != -1 && top->kind() == step->kind() &&
                       index_ != clean_ && top->absorb(*step);
    // The room is made first, so that nothing after it can fail; doubled, so that a long
    // history is not copied at every step.
    const auto needed = static_cast<std::size_t>(index_) + 1;
    if (!joins && steps_.capacity() < needed)
        steps_.reserve(std::max(needed, 2 * steps_.capacity()));
    dropUndone();
    if (joins)
        return;
    steps_.push_back(std::move(step));
    setIndex(index_ + 1);
}

void UndoStack::undo() {
    if (!canUndo())
        return;
    steps_[static_cast<std::size_t>(index_ - 1)]->undo();
    setIndex(index_ - 1);
}

void UndoStack::redo() {
    if (!canRedo())
        return;
    steps_[static_cast<std::size_t>(index_)]->redo();
    setIndex(index_ + 1);
}

void UndoStack::moveTo(int index) {
    if (index >= 0 && index <= count())
        setIndex(index);
}

void UndoStack::dropUndone() {
    if (index_ == count())
        return;
    steps_.erase(steps_.begin() + index_, steps_.end());
    if (clean_ > index_)
        clean_ = -1;
    emit canRedoChanged(false);
}

void UndoStack::setIndex(int index) {
    const bool wasClean = isClean();
    const bool couldUndo = canUndo();
    const bool couldRedo = canRedo();
    index_ = index;
    if (canUndo() != couldUndo)
        emit canUndoChanged(canUndo());
    if (canRedo() != couldRedo)
        emit canRedoChanged(canRedo());
    if (isClean() != wasClean)
        emit cleanChanged(isClean());
}

} // namespace lexanta
