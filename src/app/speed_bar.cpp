#include "app/speed_bar.h"

#include <QMouseEvent>
#include <QToolButton>

namespace lexanta {

SpeedBar::SpeedBar(QWidget* parent) : QWidget(parent) {
    setFixedHeight(kButtonSize + 2 * kTop);
}

int SpeedBar::addSection(const QString& objectName, const QString& caption) {
    sections_.push_back({objectName, caption, {}});
    return static_cast<int>(sections_.size()) - 1;
}

void SpeedBar::setSectionCaption(int section, const QString& caption) {
    sections_.at(section).caption = caption;
}

QToolButton* SpeedBar::addButton(int section, const QString& objectName, const QString& caption,
                                 int left) {
    auto* b = new QToolButton(this);
    b->setObjectName(objectName);
    b->setText(caption);
    b->setAutoRaise(true);
    b->setGeometry(left, kTop, kButtonSize, kButtonSize);
    b->setIconSize(QSize(28, 28));
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    sections_.at(section).buttons.push_back(b);
    return b;
}

QToolButton* SpeedBar::button(const QString& objectName) const {
    for (const Section& s : sections_)
        for (QToolButton* b : s.buttons)
            if (b->objectName() == objectName)
                return b;
    return nullptr;
}

std::vector<QToolButton*> SpeedBar::allButtons() const {
    std::vector<QToolButton*> all;
    for (const Section& s : sections_)
        all.insert(all.end(), s.buttons.begin(), s.buttons.end());
    return all;
}

void SpeedBar::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!childAt(event->position().toPoint()))
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace lexanta
