#include "gui/widgets/replace_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lexanta {

ReplaceDialog::ReplaceDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReplaceDialog1"));
    setModal(false);
    auto* grid = new QGridLayout(this);
    findLabel_ = new QLabel(this);
    replaceLabel_ = new QLabel(this);
    find_ = new QLineEdit(this);
    replace_ = new QLineEdit(this);
    findLabel_->setBuddy(find_);
    replaceLabel_->setBuddy(replace_);
    grid->addWidget(findLabel_, 0, 0);
    grid->addWidget(find_, 0, 1);
    grid->addWidget(replaceLabel_, 1, 0);
    grid->addWidget(replace_, 1, 1);
    auto* fields = new QHBoxLayout;
    for (QCheckBox*& box : fields_) {
        box = new QCheckBox(this);
        fields->addWidget(box);
    }
    fields->addStretch();
    grid->addLayout(fields, 2, 0, 1, 2);
    matchCase_ = new QCheckBox(this);
    wholeWords_ = new QCheckBox(this);
    regex_ = new QCheckBox(this);
    grid->addWidget(matchCase_, 3, 0, 1, 2);
    grid->addWidget(wholeWords_, 4, 0, 1, 2);
    grid->addWidget(regex_, 5, 0, 1, 2);
    findNext_ = new QPushButton(this);
    replaceOne_ = new QPushButton(this);
    replaceAll_ = new QPushButton(this);
    close_ = new QPushButton(this);
    findNext_->setDefault(true);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {findNext_, replaceOne_, replaceAll_, close_})
        buttons->addWidget(b);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 6, 1);
    connect(findNext_, &QPushButton::clicked, this, [this] { press(ReplaceAction::FindNext); });
    connect(replaceOne_, &QPushButton::clicked, this, [this] { press(ReplaceAction::Replace); });
    connect(replaceAll_, &QPushButton::clicked, this, [this] { press(ReplaceAction::ReplaceAll); });
    connect(close_, &QPushButton::clicked, this, &QDialog::hide);
    // The dialog keeps whatever the user set, also when it is closed without a press.
    for (QLineEdit* edit : {find_, replace_})
        connect(edit, &QLineEdit::textChanged, this, &ReplaceDialog::storeState);
    for (QCheckBox* box : {fields_[0], fields_[1], fields_[2], matchCase_, wholeWords_, regex_})
        connect(box, &QCheckBox::toggled, this, &ReplaceDialog::storeState);
    connect(find_, &QLineEdit::textChanged, this, [this](const QString& t) {
        for (QPushButton* b : {findNext_, replaceOne_, replaceAll_})
            b->setEnabled(!t.isEmpty());
    });
    showTexts(true);
}

void ReplaceDialog::showTexts(bool english) {
    const auto t = [english](const char* en, const char* ru) {
        return QString::fromUtf8(english ? en : ru);
    };
    setWindowTitle(t("Replace", "Замена"));
    findLabel_->setText(t("Fi&nd what:", "&Найти:"));
    replaceLabel_->setText(t("Re&place with:", "&Заменить на:"));
    fields_[0]->setText(t("&Questions", "&Вопросы"));
    fields_[1]->setText(t("&Answers", "&Ответы"));
    fields_[2]->setText(t("C&omments", "&Комментарии"));
    matchCase_->setText(t("Match &case", "&Учитывать регистр"));
    wholeWords_->setText(t("&Whole words only", "&Только слова целиком"));
    regex_->setText(t("Regular e&xpression (\\1 in the replacement is the first capture)",
                      "&Регулярное выражение (\\1 в замене: первая группа)"));
    findNext_->setText(t("&Find Next", "Найти &далее"));
    replaceOne_->setText(t("&Replace", "За&менить"));
    replaceAll_->setText(t("Replace A&ll", "Заменить вс&е"));
    close_->setText(t("Close", "Закрыть"));
}

void ReplaceDialog::storeState() {
    if (binding_ || !state_)
        return;
    state_->findText = find_->text();
    state_->replaceText = replace_->text();
    for (int f = 0; f < 3; ++f)
        state_->fields[static_cast<std::size_t>(f)] = fields_[f]->isChecked();
    state_->matchCase = matchCase_->isChecked();
    state_->wholeWords = wholeWords_->isChecked();
    state_->regex = regex_->isChecked();
}

void ReplaceDialog::bind(ReplaceDialogState& state, std::function<void(ReplaceAction)> onAction) {
    state_ = &state;
    onAction_ = std::move(onAction);
    binding_ = true;
    showTexts(state.english);
    find_->setText(state.findText);
    replace_->setText(state.replaceText);
    for (int f = 0; f < 3; ++f)
        fields_[f]->setChecked(state.fields[static_cast<std::size_t>(f)]);
    matchCase_->setChecked(state.matchCase);
    wholeWords_->setChecked(state.wholeWords);
    regex_->setChecked(state.regex);
    binding_ = false;
    for (QPushButton* b : {findNext_, replaceOne_, replaceAll_})
        b->setEnabled(!state.findText.isEmpty());
    find_->selectAll();
    find_->setFocus();
}

void ReplaceDialog::press(ReplaceAction action) {
    if (!state_)
        return;
    storeState();
    if (onAction_)
        onAction_(action);
}

} // namespace lexanta
