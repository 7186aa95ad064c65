#include "gui/widgets/find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lexanta {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(tr("Find"));
    setModal(false);
    auto* grid = new QGridLayout(this);
    text_ = new QLineEdit(this);
    wholeWord_ = new QCheckBox(tr("Match &whole word only"), this);
    matchCase_ = new QCheckBox(tr("Match &case"), this);
    find_ = new QPushButton(tr("&Find Next"), this);
    find_->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    auto* label = new QLabel(tr("Fi&nd what:"), this);
    label->setBuddy(text_);
    grid->addWidget(label, 0, 0);
    grid->addWidget(text_, 0, 1);
    grid->addWidget(find_, 0, 2);
    grid->addWidget(wholeWord_, 1, 0, 1, 2);
    grid->addWidget(cancel, 1, 2);
    grid->addWidget(matchCase_, 2, 0, 1, 2);
    connect(find_, &QPushButton::clicked, this, &FindDialog::findClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
    connect(text_, &QLineEdit::textChanged, this,
            [this](const QString& t) { find_->setEnabled(!t.isEmpty()); });
    find_->setEnabled(false);
    // The dialog keeps whatever the user set, also when it is closed without a search.
    connect(text_, &QLineEdit::textChanged, this, &FindDialog::storeState);
    connect(wholeWord_, &QCheckBox::toggled, this, &FindDialog::storeState);
    connect(matchCase_, &QCheckBox::toggled, this, &FindDialog::storeState);
}

void FindDialog::storeState() {
    if (binding_ || !state_)
        return;
    state_->findText = text_->text();
    state_->wholeWord = wholeWord_->isChecked();
    state_->matchCase = matchCase_->isChecked();
}

void FindDialog::bind(FindDialogState& state, std::function<void()> onFind) {
    state_ = &state;
    onFind_ = std::move(onFind);
    binding_ = true;
    text_->setText(state.findText);
    wholeWord_->setChecked(state.wholeWord);
    matchCase_->setChecked(state.matchCase);
    binding_ = false;
    text_->selectAll();
    text_->setFocus();
}

void FindDialog::findClicked() {
    if (!state_)
        return;
    storeState();
    if (onFind_)
        onFind_();
    // The search left the focus on the owner's grid: the owner becomes the active window,
    // so that F3 and typing work at once.
    if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr) {
        owner->raise();
        owner->activateWindow();
    }
}

} // namespace lexanta
