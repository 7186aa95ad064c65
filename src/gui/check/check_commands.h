#pragma once

// Service > Check list... (F7): checks the list before class, shows the findings in a dockable
// panel, selects the cell of a finding, and applies fixes, each one step. After a run the panel
// follows the document: a change checks again only the entries it touched.

#include "core/check/check_fixes.h"
#include "core/check/list_check.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QMainWindow;
class QModelIndex;
class QProgressBar;
class QTimer;

namespace lexanta {

class CheckPanel;
class Dialogs;
class Document;
class EntryGrid;

class CheckCommands : public QObject {
    Q_OBJECT

public:
    CheckCommands(Document& document, Dialogs& dialogs, QMainWindow* window, EntryGrid* grid,
                  QProgressBar* progress, std::function<bool()> isEnglish,
                  QObject* parent = nullptr);
    ~CheckCommands() override;

    QAction* checkAction() const { return check_; } // CheckList1
    // The panel and the check are made on first use: an editor that never checks does not pay
    // for the dock, its dictionary list and the collator.
    CheckPanel* panel();
    const CheckOptions& options() const { return options_; }

    // Shows the panel and checks the whole list.
    void runCheck();
    // Selects the cell of a finding in the grid.
    void activate(const QModelIndex& index);
    // The fixes the current finding offers; the first is the Fix button's.
    std::vector<Fix> currentFixes() const;
    void fix(const Finding& finding, const Fix& fix);
    void fixAll(CheckKind kind);
    // Checks again what changed since the last run or update (the window does it soon after
    // each change by itself).
    void updateNow();
    // Captions follow the interface language.
    void showTexts(bool english);

signals:
    // The panel joined the window (its controls want their place in the Tab order).
    void panelBuilt();

private:
    // The whole list was replaced (a file loaded, a new vocabulary).
    void tableReplaced();

    bool hasRun() const { return list_ && list_->hasRun(); }
    void fillDictionaryBoxes();
    void dictionaryChosen(int field);
    void showFindings();
    void currentChanged();
    void headerChanged();

    Document& document_;
    QPointer<Document> followed_;
    Dialogs& dialogs_;
    QMainWindow* window_;
    EntryGrid* grid_;
    QProgressBar* progress_;
    std::function<bool()> isEnglish_;
    QAction* check_;
    CheckPanel* panel_ = nullptr;
    QTimer* updateTimer_;
    QTimer* setupTimer_;
    std::unique_ptr<ListCheck> list_;
    CheckOptions options_;
    CheckSetup headerSetup_; // what the header gave at the last run
    bool replaced_ = false;  // the whole document changed: run again
    bool filling_ = false;
    bool english_ = true; // the panel's captions
    bool freshRun_ = false;
    bool busy_ = false;          // a run or a fix-all reports progress
    ListCheckFollower follower_; // keeps list_'s findings on their entries
};

} // namespace lexanta
