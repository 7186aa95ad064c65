#pragma once

// The main window (Form1): builds the controls under their design names, lays them out and
// wires them to the command classes, which change the document. It shows the document's
// title, asks "Save Before Closing?" and keeps the settings files.

#include <QMainWindow>

#include <memory>
#include <vector>

class QCheckBox;
class QProgressBar;
class QTabWidget;

namespace lexanta {

class Dialogs;
class Document;
class TextRoom;
class EntryEditor;
class UndoCommands;
class EntryGrid;
class FileCommands;
class FontCommands;
class FormSettings;
class InterchangeCommands;
class KeyboardLayouts;
class LanguageCommands;
class LayoutCommands;
class LayoutSwitchNotice;
class ListCommands;
class PrintCommands;
class SpeedBar;
class WindowTexts;
class DescriptionEditor;
class ProgramOptions;
class CrashRecovery;
class CheckCommands;
class ReplaceCommands;

// Services the window is built with; tests pass scripted ones.
struct WindowServices {
    Dialogs* dialogs = nullptr;                 // required
    KeyboardLayouts* keyboardLayouts = nullptr; // null: an in-memory backend
    QString programFolder;                      // empty: the executable's folder
    QString configFolder;                       // empty: the user's configuration folder
    bool restoreSettings = true;                // read the settings files at first show
    QString fileToOpen; // from the command line: opened at first show in place of the last file
    QString dataFolder; // recovery copies; empty: the user's data folder
};

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(const WindowServices& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    Document& document() const { return *document_; }
    FileCommands& files() const { return *files_; }
    EntryEditor& editor() const { return *editor_; }
    FontCommands& fonts() const { return *fonts_; }
    LayoutCommands& layouts() const { return *layouts_; }
    ListCommands& lists() const { return *lists_; }
    InterchangeCommands& interchange() const { return *interchange_; }
    LanguageCommands& language() const { return *language_; }
    PrintCommands& printing() const { return *print_; }
    FormSettings& settings() const { return *settings_; }
    CrashRecovery& recovery() const { return *recovery_; }
    CheckCommands& checks() const { return *checks_; }
    ReplaceCommands& replacing() const { return *replacing_; }
    WindowTexts& texts() const { return *texts_; }
    Dialogs& dialogs() const { return *dialogs_; }

    EntryGrid* grid() const { return grid_; }
    SpeedBar* speedBar() const { return speedBar_; }
    QTabWidget* pages() const { return pages_; }
    QProgressBar* progressBar() const { return progress_; }
    QCheckBox* autoSwitch() const { return autoSwitch_; }
    // With its trailing separator: the settings and the help manual are looked up here.
    QString programFolder() const { return programFolder_; }

    // The document's title as the window shows it, without the mark of unsaved changes.
    QString windowTitleText() const { return title_; }
    // The layout rule: grid and page control follow the window's size.
    void applyLayoutRule();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A .lut file dropped from a file manager loads as File > Load does.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildTopPanel();
    void buildPages();
    void makeRoomOnPreferences(QWidget* page);
    void buildCommands(const WindowServices& services);
    void fillMenus();
    void bindToolBar();
    // The Tab order: the input line and the pages, then the tool bar.
    void orderTabStops();
    void showTitle();
    void showStatus(const QString& message);
    // The entries of the grid's selected rows, for printing them alone.
    std::vector<int> selectedEntries() const;
    // "Save Before Closing?"; false abandons the close.
    bool askSaveBeforeClosing();
    void restoreSettingsOnFirstShow();
    void openFileAtStart();
    void saveSettingsOnClose();

    std::unique_ptr<Document> document_;
    Dialogs* dialogs_;
    KeyboardLayouts* keyboardLayouts_;
    std::unique_ptr<KeyboardLayouts> ownedLayouts_;
    std::unique_ptr<LayoutSwitchNotice> layoutNotice_;
    QString programFolder_;
    QString configFolder_;
    bool restoreSettings_;
    QString fileToOpen_;
    bool firstShowDone_ = false;
    bool framePending_ = true;    // the window manager's frame is not known yet
    bool closeConfirmed_ = false; // the save prompt was answered and the save done
    QString title_;

    // controls the window lays out or wires itself
    QWidget* panel_ = nullptr;
    SpeedBar* speedBar_ = nullptr;
    TextRoom* textRoom_ = nullptr;
    QTabWidget* pages_ = nullptr;
    EntryGrid* grid_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QCheckBox* autoSwitch_ = nullptr;

    std::unique_ptr<WindowTexts> texts_;
    FileCommands* files_ = nullptr;
    EntryEditor* editor_ = nullptr;
    UndoCommands* undo_ = nullptr;
    FontCommands* fonts_ = nullptr;
    LayoutCommands* layouts_ = nullptr;
    DescriptionEditor* description_ = nullptr;
    ProgramOptions* options_ = nullptr;
    ListCommands* lists_ = nullptr;
    InterchangeCommands* interchange_ = nullptr;
    LanguageCommands* language_ = nullptr;
    PrintCommands* print_ = nullptr;
    FormSettings* settings_ = nullptr;
    CrashRecovery* recovery_ = nullptr;
    CheckCommands* checks_ = nullptr;
    ReplaceCommands* replacing_ = nullptr;
};

} // namespace lexanta
