#pragma once

// File commands: New, Load, Save, Save as, the recent-file list, Merge and the "Remove blank
// lines" option that Save follows.

#include "gui/widgets/dialogs.h"

#include <QObject>

class QAction;
class QFileSystemWatcher;
class QMenu;
class QProgressBar;
class QWidget;

namespace lexanta {

class Document;
struct FileOutcome;
class RecentFiles;
struct SaveOptions;
enum class ChangedFileChoice;
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
    // `remembered`: the name comes from the settings, not from the user now.
    void loadFile(const QString& path, bool remembered = false);
    void openRecent(const QString& path);
    // True when the file was written.
    bool save();
    bool saveAs();
    // The save offered when the window closes: the document's file without the clean-up
    // passes, or Save as for an unnamed document. True when the file was written.
    bool saveBeforeClosing();
    void merge();

signals:
    // Something the window should say in its status bar until something else replaces it.
    void notice(const QString& text);
    // "No: go to the first one" of the long-text warning.
    void showText(int entry, int field);
    void showDescription();

private:
    // Texts longer than the drill program reads: true to save anyway.
    bool longTextsAccepted();
    // Save as, once the long texts are accepted.
    bool saveUnderName();
    FormatChoice askOldFormat();
    ChangedFileChoice askChangedFile();
    // Save's options; `choice` hears the answer to the question about a changed file.
    SaveOptions saveOptions(bool cleanUp, ChangedFileChoice& choice);
    // The file on disk is watched, and a change by another program is told once.
    void watchFile();
    void fileChangedOnDisk();
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
    QFileSystemWatcher* watcher_;
    bool toldOfChange_ = false;
};

} // namespace lexanta
