#pragma once

// Word-list commands: sort by a field (with the progress bar), shuffle, the question/answer
// swap, frequency analysis, and find / find next in the current column.

#include "core/listops/search.h"
#include "gui/widgets/dialogs.h"

#include <QObject>

#include <functional>

class QAction;
class QProgressBar;
class QWidget;

namespace lexanta {

class Document;
class EntryGrid;

class ListCommands : public QObject {
    Q_OBJECT

public:
    // `isEnglish` tells the language of the interface (for the end-of-search message).
    ListCommands(Document& document, Dialogs& dialogs, QWidget* owner, EntryGrid* grid,
                 QProgressBar* progress, std::function<bool()> isEnglish,
                 QObject* parent = nullptr);

    // Service > Sort: questions1, answers1, comments1; the sort button's menu: Question1,
    // Answer1, comment1.
    QAction* sortMenuAction(int column) const { return sortMenu_[column - 1]; }
    QAction* sortButtonAction(int column) const { return sortButton_[column - 1]; }
    QAction* shuffleAction() const { return shuffle_; }     // RandomizeEntries1
    QAction* swapAction() const { return swap_; }           // Swap1
    QAction* frequencyAction() const { return frequency_; } // FrequencyAnalysing1
    QAction* findAction() const { return find_; }           // Find1
    QAction* findNextAction() const { return findNext_; }   // Findnext1
    QAction* replaceAction() const { return replace_; }     // Replace1 (hidden)

    // FindDialog1's text and options, kept while the window lives.
    FindDialogState& findDialog() { return findDialog_; }
    const SearchState& searchState() const { return search_; }
    // The field the sort button sorts by: the one last chosen, -1 before any.
    int sortField() const { return sortField_; }

    // Sorts by a field (question, answer or comment) and remembers it for the sort button.
    void sortBy(int field);
    // The sort button's own command: sorts by the field last chosen.
    void sortByLastField();
    void shuffle();
    void swapQuestionAnswer();
    void frequencyAnalysis();
    void find();
    void findNext();
    void searchNext();

private:
    Document& document_;
    Dialogs& dialogs_;
    QWidget* owner_;
    EntryGrid* grid_;
    QProgressBar* progress_;
    std::function<bool()> isEnglish_;
    QAction* sortMenu_[kShownFields];
    QAction* sortButton_[kShownFields];
    QAction *shuffle_, *swap_, *frequency_, *find_, *findNext_, *replace_;
    int sortField_ = -1; // none chosen yet
    FindDialogState findDialog_;
    SearchState search_;
};

} // namespace lexanta
