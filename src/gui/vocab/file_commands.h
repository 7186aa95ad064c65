#pragma once

// File commands: New, Load, Save, Save as, the recent-file list, Merge and the "Remove blank
// lines" option that Save follows.

#include "gui/widgets/dialogs.h"

#include <QObject>

class QAction;
class QMenu;
class QProgressBar;
class QWidget;

namespace lexanta {

class Document;
struct FileOutcome;
class RecentFiles;
enum class FormatChoice;

class FileCommands : public QObject {
    Q_OBJECT

public:
    FileCommands(Document& document, Dialogs& dialogs, QWidget* owner, QObject* parent = nullptr);

    QAction* newAction() const { return new_; }                           // New1
    QAction* openAction() const { return open_; }                         // N2
    QAction* saveAction() const { return save_; }                         // N4
    QAction* saveAsAction() const { return saveAs_; }                     // N3
    QAction* mergeAction() const { return merge_; }                       // Merge1
    QAction* removeBlankLinesAction() const { return removeBlankLines_; } // Removeblanklines1
    QMenu* recentMenu() const { return recentMenu_; }                     // Reload1
    RecentFiles& recentFiles() const { return *recent_; }
    // Where Load and Merge show their progress.
    void setProgressBar(QProgressBar* bar) { progress_ = bar; }

    // OpenDialog1: Load, Merge and Special Import; its file is the one reopened at start.
    FileDialogState& openDialog() { return openDialog_; }
    // SaveDialog1: Save as; it opens on the document's file name.
    FileDialogState& saveDialog() { return saveDialog_; }

    void newVocabulary();
    void openFile();
    // Loads by path; a file that cannot be read says "File Not Found" and offers Load again.
    void loadFile(const QString& path);
    void openRecent(const QString& path);
    // True when the file was written.
    bool save();
    bool saveAs();
    // The save offered when the window closes: the document's file without the clean-up
    // passes, or Save as for an unnamed document. True when the file was written.
    bool saveBeforeClosing();
    void merge();

signals:
    // "No: go to the first one" of the long-text warning.
    void showText(int entry, int field);
    void showDescription();

private:
    // Texts longer than the drill program reads: true to save anyway.
    bool longTextsAccepted();
    FormatChoice askOldFormat();
    // Says which file could not be written and why; with offerSaveAs the user may save under
    // another name at once. True when that happened.
    bool reportWriteFailure(const FileOutcome& outcome, bool offerSaveAs);
    // Names the file, offers Load again and forgets the file for the next start.
    void fileNotFound(const QString& path);
    void followFileState();

    Document& document_;
    Dialogs& dialogs_;
    QWidget* owner_;
    FileDialogState openDialog_, saveDialog_;
    QAction *new_, *open_, *save_, *saveAs_, *merge_, *removeBlankLines_;
    QAction* saveUnnamed_ = nullptr; // Ctrl+S while Save is off
    QMenu* recentMenu_;
    RecentFiles* recent_;
    QProgressBar* progress_ = nullptr;
};

} // namespace lexanta
