#include "gui/app/speed_bar.h"

#include "platform/ini_profile.h"

#include <QAction>
#include <QListWidget>
#include <QMouseEvent>
#include <QTextDocument>
#include <QToolButton>

namespace lexanta {

namespace {
constexpr int kMaxButtons = 64; // a stored Count beyond this is not a layout of ours
} // namespace

SpeedBar::SpeedBar(QWidget* parent) : QWidget(parent) {
    setFixedHeight(kButtonSize + 2 * kTop);
}

int SpeedBar::addSection(const QString& objectName, const QString& caption) {
    sections_.push_back({objectName, caption, {}});
    return static_cast<int>(sections_.size()) - 1;
}

void SpeedBar::setSectionCaption(int section, const QString& caption) {
    sections_.at(section).caption = caption;
    if (customizeDialog_)
        customizeDialog_->showSection(customizeDialog_->categories()->currentRow());
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
    designLeft_[b] = left;
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

void SpeedBar::bind(QToolButton* button, QAction* action) {
    const auto follow = [button, action] {
        button->setEnabled(action->isEnabled());
        if (action->isCheckable()) {
            button->setCheckable(true);
            button->setChecked(action->isChecked());
        }
    };
    // A press on a checked button of a group leaves it checked, as its action stays.
    connect(button, &QToolButton::clicked, action, [action, follow] {
        action->trigger();
        follow();
    });
    connect(action, &QAction::changed, button, follow);
    follow();
}

void SpeedBar::setHint(QToolButton* button, const QString& hint) {
    hints_[button] = hint;
    // A hint is plain text, even one from a hand-edited settings file that looks like markup.
    const QString tip = hint.section(QLatin1Char('|'), 0, 0);
    button->setToolTip(
        Qt::mightBeRichText(tip) ? QStringLiteral("<qt>%1</qt>").arg(tip.toHtmlEscaped()) : tip);
}

QString SpeedBar::hint(const QToolButton* button) const {
    return hints_.value(button);
}

std::vector<QToolButton*> SpeedBar::allButtons() const {
    std::vector<QToolButton*> all;
    for (const Section& s : sections_)
        all.insert(all.end(), s.buttons.begin(), s.buttons.end());
    return all;
}

void SpeedBar::setButtonShown(QToolButton* button, bool shown) {
    if (!button || isButtonShown(button) == shown)
        return;
    if (shown) {
        button->move(designLeft_.value(button), kTop);
        button->show();
    } else {
        button->hide();
    }
    emit layoutChanged();
}

bool SpeedBar::isButtonShown(const QToolButton* button) {
    return button->isVisibleTo(button->parentWidget());
}

std::vector<SpeedBar::ButtonPlace> SpeedBar::layout() const {
    std::vector<ButtonPlace> places;
    for (QToolButton* b : allButtons())
        if (isButtonShown(b))
            places.push_back({b->objectName(), b->x(), b->y()});
    return places;
}

void SpeedBar::applyLayout(const std::vector<ButtonPlace>& places) {
    for (QToolButton* b : allButtons())
        b->hide();
    for (const ButtonPlace& place : places) {
        if (QToolButton* b = button(place.name)) {
            b->move(place.left, place.top);
            b->show();
        }
    }
    emit layoutChanged();
}

void SpeedBar::saveLayout(IniFile& ini, const QString& section, int pixelsPerInch) const {
    ini.eraseSection(section);
    ini.setIntValue(section, QStringLiteral("Position"), kAlignTop);
    ini.setIntValue(section, QStringLiteral("Width"), height());
    ini.setIntValue(section, QStringLiteral("Version"), kLayoutVersion);
    ini.setIntValue(section, QStringLiteral("PixelsPerInch"), pixelsPerInch);
    ini.setIntValue(section, QStringLiteral("BtnWidth"), kButtonSize);
    ini.setIntValue(section, QStringLiteral("BtnHeight"), kButtonSize);
    const std::vector<ButtonPlace> places = layout();
    int n = 0;
    for (const ButtonPlace& place : places)
        ini.setValue(section, QStringLiteral("Button%1").arg(++n),
                     QStringLiteral("%1,%2,%3").arg(place.name).arg(place.left).arg(place.top));
    ini.setIntValue(section, QStringLiteral("Count"), n);
}

bool SpeedBar::restoreLayout(const IniFile& ini, const QString& section, int pixelsPerInch) {
    if (!ini.contains(section, QStringLiteral("Count")))
        return false;
    if (ini.intValue(section, QStringLiteral("Version"), kLayoutVersion) != kLayoutVersion ||
        ini.intValue(section, QStringLiteral("PixelsPerInch"), pixelsPerInch) != pixelsPerInch)
        return false;
    const int count = ini.intValue(section, QStringLiteral("Count"), 0);
    if (count < 0 || count > kMaxButtons)
        return false;
    std::vector<ButtonPlace> places;
    for (int i = 1; i <= count; ++i) {
        const QStringList parts =
            ini.value(section, QStringLiteral("Button%1").arg(i)).split(QLatin1Char(','));
        if (parts.size() != 3)
            continue;
        bool leftOk = false, topOk = false;
        ButtonPlace place{parts[0].trimmed(), parts[1].trimmed().toInt(&leftOk),
                          parts[2].trimmed().toInt(&topOk)};
        // A place off the bar would lose the button from sight: it goes to its design place.
        QToolButton* b = button(place.name);
        if (!b)
            continue;
        if (!leftOk || !topOk || place.left < 0 || place.top < 0 || place.top > kTop * 2 ||
            place.left > 4096) {
            place.left = designLeft_.value(b);
            place.top = kTop;
        }
        places.push_back(place);
    }
    applyLayout(places);
    return true;
}

SpeedBarCustomizeDialog* SpeedBar::customize() {
    if (!customizeDialog_) {
        customizeDialog_ = new SpeedBarCustomizeDialog(this, window());
        customizeDialog_->setAttribute(Qt::WA_DeleteOnClose);
    }
    customizeDialog_->show();
    customizeDialog_->raise();
    customizeDialog_->activateWindow();
    return customizeDialog_;
}

void SpeedBar::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!childAt(event->position().toPoint()))
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace lexanta
