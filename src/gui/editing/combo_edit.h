#pragma once

#include "gui/editing/key_pairing.h"

#include <QLineEdit>

#include <functional>

class QAction;

namespace lexanta {

class CodePageValidator;

// An input box with a button at its right end (ComboEdit1..3). The button also fires on
// Alt+Down. Key releases are reported for the window's key-up handler.
//
// The box remembers its base text: the text the program last put into it (or marked as
// written back). The window compares it with the row the box belongs to, to notice when
// another command rewrote that row behind the box.
class ComboEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit ComboEdit(QWidget* parent = nullptr);
    QAction* button() const { return button_; }
    void setButtonHint(const QString& hint);

    // Text refused unless the code page of `charset()` holds it.
    void setCharsetSource(std::function<int()> charset);

    // The program fills the box: the text becomes the base text.
    void fill(const QString& text);
    QString baseText() const { return base_; }
    // The current text was written where it belongs: it is the new base text.
    void markWritten() { base_ = text(); }

    // The character set whose code page the texts are shown in. Changing it shows the same
    // bytes in the new code page: text and base text are converted through their bytes.
    void setShownCharset(int charset);

signals:
    void buttonClicked();
    void keyReleased(int key, Qt::KeyboardModifiers modifiers);
    // The focus moved into the box from inside the window (not the window coming back).
    void focusEntered();
    void encodeRefused(const QString& characters);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QAction* button_;
    CodePageValidator* validator_ = nullptr;
    KeyPairing keys_;
    QString base_;
    int shownCharset_ = 1;
    bool userEdit_ = false;
    // The key whose press fired the button; its release is not a key of the box.
    int buttonKey_ = 0;
};

} // namespace lexanta
