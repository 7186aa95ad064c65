#pragma once

// The document's undo history: the steps in the order they were done and where the document
// stands among them. Qt Core only, so that the command-line tool needs no Qt Gui.

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace lexanta {

class UndoStep {
public:
    explicit UndoStep(QString text) : text_(std::move(text)) {}
    virtual ~UndoStep() = default;
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

    virtual void redo() = 0;
    virtual void undo() = 0;
    // Steps of the same kind other than -1 may join the one before them (typing).
    virtual int kind() const { return -1; }
    // Takes `next` into this step, which it was done after; false leaves both as they are.
    virtual bool absorb(const UndoStep& /*next*/) { return false; }
    const QString& text() const { return text_; }

private:
    QString text_;
};

class UndoStack : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~UndoStack() override;

    int count() const { return static_cast<int>(steps_.size()); }
    // Steps before the index are done, the others undone.
    int index() const { return index_; }
    UndoStep* step(int index) const;
    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < count(); }
    QString undoText() const { return canUndo() ? steps_[index_ - 1]->text() : QString(); }
    QString redoText() const { return canRedo() ? steps_[index_]->text() : QString(); }
    bool isClean() const { return index_ == clean_; }
    void setClean();

    // Takes a step whose work is done, in place of the undone ones; it joins the step before
    // it when both allow and that one is not where the document was saved. Either all of
    // that happens or, when memory runs out, nothing.
    void push(std::unique_ptr<UndoStep> step);
    // Takes back or does again the step at the index and moves past it.
    void undo();
    void redo();
    // Where the stack stands after the document put its contents back by other means: no
    // step runs.
    void moveTo(int index);
    // The undone steps are dropped.
    void dropUndone();

signals:
    void cleanChanged(bool clean);
    void canUndoChanged(bool canUndo);
    void canRedoChanged(bool canRedo);

private:
    void setIndex(int index);

    std::vector<std::unique_ptr<UndoStep>> steps_;
    int index_ = 0;
    int clean_ = 0; // -1 when the saved state's step was dropped
};

} // namespace lexanta
