#include "gui/check/check_panel.h"

#include "gui/check/findings_model.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace lexanta {

CheckPanel::CheckPanel(QWidget* parent) : QDockWidget(parent) {
    setObjectName(QStringLiteral("CheckPanel"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* top = new QHBoxLayout;
    checkAgain_ = new QPushButton(body);
    dictionaryLabel_ = new QLabel(body);
    top->addWidget(checkAgain_);
    top->addWidget(dictionaryLabel_);
    for (QComboBox*& box : dictionaries_) {
        box = new QComboBox(body);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        top->addWidget(box);
    }
    top->addStretch();
    layout->addLayout(top);

    notes_ = new QLabel(body);
    notes_->setWordWrap(true);
    notes_->setTextFormat(Qt::PlainText);
    notes_->hide();
    layout->addWidget(notes_);

    model_ = new FindingsModel(this);
    view_ = new QTreeView(body);
    view_->setObjectName(QStringLiteral("CheckFindings"));
    view_->setModel(model_);
    view_->setUniformRowHeights(true);
    view_->setAlternatingRowColors(true);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->header()->setStretchLastSection(true);
    view_->setColumnWidth(0, 150);
    view_->setColumnWidth(1, 80);
    layout->addWidget(view_, 1);

    auto* bottom = new QHBoxLayout;
    fix_ = new QToolButton(body);
    fix_->setPopupMode(QToolButton::MenuButtonPopup);
    fix_->setMenu(new QMenu(fix_));
    fix_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    fixAll_ = new QPushButton(body);
    bottom->addWidget(fix_);
    bottom->addWidget(fixAll_);
    bottom->addStretch();
    layout->addLayout(bottom);
    setWidget(body);
    showTexts(true);
}

void CheckPanel::showTexts(bool english) {
    const auto t = [english](const char* en, const char* ru) {
        return QString::fromUtf8(english ? en : ru);
    };
    setWindowTitle(t("Check list", "Проверка списка"));
    checkAgain_->setText(t("Check &again", "Проверить &снова"));
    dictionaryLabel_->setText(t("Dictionaries:", "Словари:"));
    const char* tips[][2] = {{"Dictionary of the questions", "Словарь вопросов"},
                             {"Dictionary of the answers", "Словарь ответов"},
                             {"Dictionary of the comments", "Словарь комментариев"}};
    for (int f = 0; f < 3; ++f) {
        dictionaries_[f]->setToolTip(t(tips[f][0], tips[f][1]));
        dictionaries_[f]->setAccessibleName(dictionaries_[f]->toolTip());
    }
    fix_->setText(t("&Fix", "&Исправить"));
    fixAll_->setText(t("Fix all of this &kind", "Исправить все этого &вида"));
}

} // namespace lexanta
