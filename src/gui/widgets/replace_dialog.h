#pragma once

#include "gui/widgets/dialogs.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lexanta {

// The modeless replace dialog: find what, replace with, the fields, match case, whole words,
// regular expressions; Find Next, Replace, Replace All. Its captions follow the state's
// language each time it is shown.
class ReplaceDialog : public QDialog {
    Q_OBJECT

public:
    explicit ReplaceDialog(QWidget* parent = nullptr);
    void bind(ReplaceDialogState& state, std::function<void(ReplaceAction)> onAction);

private:
    void storeState();
    void press(ReplaceAction action);
    void showTexts(bool english);

    ReplaceDialogState* state_ = nullptr;
    bool binding_ = false;
    std::function<void(ReplaceAction)> onAction_;
    QLabel *findLabel_, *replaceLabel_;
    QLineEdit *find_, *replace_;
    QCheckBox* fields_[3];
    QCheckBox *matchCase_, *wholeWords_, *regex_;
    QPushButton *findNext_, *replaceOne_, *replaceAll_, *close_;
};

} // namespace lexanta
