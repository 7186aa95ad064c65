#pragma once

// Edit > Replace... (Ctrl+H): find and replace over the chosen fields of every entry, beside
// Find, which stays as it is.

#include "gui/widgets/dialogs.h"

#include <QObject>

#include <functional>

class QAction;
class QProgressBar;
class QWidget;

namespace lexanta {

class Document;
class EntryGrid;
struct ReplaceOptions;

class ReplaceCommands : public QObject {
    Q_OBJECT

public:
    // `isEnglish` tells the language of the interface (the dialog's captions and messages).
    ReplaceCommands(Document& document, Dialogs& dialogs, QWidget* owner, EntryGrid* grid,
                    QProgressBar* progress, std::function<bool()> isEnglish,
                    QObject* parent = nullptr);

    QAction* replaceAction() const { return replace_; } // FindReplace1
    ReplaceDialogState& replaceDialog() { return state_; }

    void showDialog();
    // The dialog's buttons.
    void findNext();
    void replaceOne();
    void replaceAll();

private:
    ReplaceOptions options() const;
    // Selects the next cell with a match after (or at) the current one; false when none.
    bool selectNext(bool includeCurrent);
    void tell(const QString& english, const QString& russian);

    Document& document_;
    Dialogs& dialogs_;
    QWidget* owner_;
    EntryGrid* grid_;
    QProgressBar* progress_;
    std::function<bool()> isEnglish_;
    QAction* replace_;
    ReplaceDialogState state_;
};

} // namespace lexanta
