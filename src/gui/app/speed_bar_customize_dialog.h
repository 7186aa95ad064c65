#pragma once

#include <QDialog>

class QListWidget;
class QListWidgetItem;

namespace lexanta {

class SpeedBar;

// The customisation window: the sections as categories, and the buttons of the chosen
// section, each checked while it is on the bar. Unchecking takes a button off the bar,
// checking puts it back at its design place.
class SpeedBarCustomizeDialog : public QDialog {
    Q_OBJECT

public:
    explicit SpeedBarCustomizeDialog(SpeedBar* bar, QWidget* parent = nullptr);

    QListWidget* categories() const { return categories_; }
    QListWidget* buttons() const { return buttons_; }
    // Selects a section and lists its buttons.
    void showSection(int section);
    // Puts a button on the bar or takes it off, as the check box in the list does.
    void setButtonOnBar(const QString& name, bool on);

private:
    void itemChanged(QListWidgetItem* item);
    void refreshChecks();

    SpeedBar* bar_;
    QListWidget* categories_;
    QListWidget* buttons_;
    bool filling_ = false;
};

} // namespace lexanta
