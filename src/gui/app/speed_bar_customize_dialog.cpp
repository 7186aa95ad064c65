#include "gui/app/speed_bar_customize_dialog.h"

#include "gui/app/speed_bar.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace lexanta {

SpeedBarCustomizeDialog::SpeedBarCustomizeDialog(SpeedBar* bar, QWidget* parent)
    : QDialog(parent), bar_(bar) {
    setObjectName(QStringLiteral("SpeedbarSetupWindow"));
    setWindowTitle(QStringLiteral("Customize tool bar"));
    categories_ = new QListWidget(this);
    categories_->setObjectName(QStringLiteral("SectionList"));
    buttons_ = new QListWidget(this);
    buttons_->setObjectName(QStringLiteral("ButtonsList"));
    buttons_->setIconSize(QSize(24, 24));

    auto* hint = new QLabel(QStringLiteral("Check a button to show it on the tool bar, uncheck "
                                           "it to take it off."),
                            this);
    hint->setWordWrap(true);
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Categories:"), this));
    left->addWidget(categories_);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Buttons:"), this));
    right->addWidget(buttons_);
    columns->addLayout(left, 2);
    columns->addLayout(right, 3);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* main = new QVBoxLayout(this);
    main->addWidget(hint);
    main->addLayout(columns);
    main->addWidget(close);
    resize(420, 300);

    connect(close, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(categories_, &QListWidget::currentRowChanged, this,
            [this](int row) { showSection(row); });
    connect(buttons_, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { itemChanged(item); });
    connect(bar_, &SpeedBar::layoutChanged, this, [this] { refreshChecks(); });
    showSection(0);
}

void SpeedBarCustomizeDialog::showSection(int section) {
    const auto& sections = bar_->sections();
    filling_ = true;
    const QSignalBlocker block(categories_);
    categories_->clear();
    for (const SpeedBar::Section& s : sections)
        categories_->addItem(s.caption);
    buttons_->clear();
    if (section >= 0 && section < static_cast<int>(sections.size())) {
        categories_->setCurrentRow(section);
        for (QToolButton* b : sections[static_cast<std::size_t>(section)].buttons) {
            const QString label = b->toolTip().isEmpty() ? b->text() : b->toolTip();
            auto* item = new QListWidgetItem(b->icon(), label, buttons_);
            item->setData(Qt::UserRole, b->objectName());
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(SpeedBar::isButtonShown(b) ? Qt::Checked : Qt::Unchecked);
        }
    }
    filling_ = false;
}

void SpeedBarCustomizeDialog::setButtonOnBar(const QString& name, bool on) {
    bar_->setButtonShown(bar_->button(name), on);
}

void SpeedBarCustomizeDialog::itemChanged(QListWidgetItem* item) {
    if (filling_)
        return;
    setButtonOnBar(item->data(Qt::UserRole).toString(), item->checkState() == Qt::Checked);
}

void SpeedBarCustomizeDialog::refreshChecks() {
    filling_ = true;
    for (int i = 0; i < buttons_->count(); ++i) {
        QListWidgetItem* item = buttons_->item(i);
        const QToolButton* b = bar_->button(item->data(Qt::UserRole).toString());
        item->setCheckState(b && SpeedBar::isButtonShown(b) ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
}

} // namespace lexanta
