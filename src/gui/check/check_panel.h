#pragma once

#include <QDockWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;
class QTreeView;

namespace lexanta {

class FindingsModel;

// The dockable panel of the list check: the dictionaries of the three fields, what the check
// could not do, the findings grouped by kind, and the fix buttons. CheckCommands fills it.
class CheckPanel : public QDockWidget {
    Q_OBJECT

public:
    explicit CheckPanel(QWidget* parent = nullptr);

    FindingsModel* model() const { return model_; }
    QTreeView* view() const { return view_; }
    QPushButton* checkAgainButton() const { return checkAgain_; }
    QComboBox* dictionaryBox(int field) const { return dictionaries_[field]; }
    QLabel* notes() const { return notes_; }
    QToolButton* fixButton() const { return fix_; }
    QPushButton* fixAllButton() const { return fixAll_; }

    // Captions in English or Russian.
    void showTexts(bool english);

private:
    FindingsModel* model_;
    QTreeView* view_;
    QPushButton* checkAgain_;
    QLabel* dictionaryLabel_;
    QComboBox* dictionaries_[3];
    QLabel* notes_;
    QToolButton* fix_;
    QPushButton* fixAll_;
};

} // namespace lexanta
