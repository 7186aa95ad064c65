#pragma once

#include <QLineEdit>

class QAction;

namespace lexanta {

// An edit box with a button at its right end (ComboEdit1..3). The button also fires
// on Alt+Down. Key releases are reported for the window's key-up handler.
class ComboEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit ComboEdit(QWidget* parent = nullptr);
    QAction* button() const { return button_; }
    void setButtonHint(const QString& hint);

signals:
    void buttonClicked();
    void keyReleased(int key, Qt::KeyboardModifiers modifiers);
    void focusEntered();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QAction* button_;
};

} // namespace lexanta
