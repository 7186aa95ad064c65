#pragma once

#include "gui/widgets/dialogs.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace lexanta {

// The modeless find dialog: search text, match case, whole word; always searches down.
class FindDialog : public QDialog {
    Q_OBJECT

public:
    explicit FindDialog(QWidget* parent = nullptr);
    void bind(FindDialogState& state, std::function<void()> onFind);

private:
    void findClicked();
    void storeState();

    FindDialogState* state_ = nullptr;
    bool binding_ = false;
    std::function<void()> onFind_;
    QLineEdit* text_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QPushButton* find_;
};

} // namespace lexanta
