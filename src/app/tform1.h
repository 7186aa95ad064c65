#pragma once

// The main window. Its controls are the document: the entries live in StringGrid1's
// cell store, the description in the Preferences page, the fonts in FontDialog1..3.
// Handlers keep their design names and are defined in the folder of their subsystem.

#include "platform/ui/dialogs.h"
#include "vocab/vocabulary.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QToolButton;
class QWidget;

namespace lexanta {
class EntryGrid;
class KeyboardLayouts;
class SpeedBar;
class ComboEdit;
class FormSettings;
class MruManager;
class TOKRightDlg;
} // namespace lexanta

namespace lexanta {

// Services the window is built with; tests pass scripted ones.
struct FormServices {
    Dialogs* dialogs = nullptr;                 // required
    KeyboardLayouts* keyboardLayouts = nullptr; // null: an in-memory backend
    QString programFolder;                      // empty: the executable's folder
    QString configFolder;                       // empty: the user's configuration folder
    bool restoreSettings = true;                // read the settings files at first show
    QString fileToOpen; // from the command line: opened at first show in place of the last file
};

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(const FormServices& services, QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- document state -------------------------------------------------------------
    Vocabulary doc;        // entries (StringGrid1's store), counter line, format flag;
                           // header.fonts are FontDialog1..3, header.layoutNames are
                           // FieldLayoutNames; the description texts live in the controls
    bool EditMode = false; // false: Add Words, true: Edit Words
    QString ProgramFolder; // with a trailing separator
    FileDialogState OpenDialog1, SaveDialog1, OpenDialog2, SaveDialog2;
    FindDialogState FindDialog1;

    std::string& CounterLine() { return doc.counterLine; }
    bool& CurrentFormat() { return doc.currentFormat; }
    std::array<std::string, 3>& FieldLayoutNames() { return doc.header.layoutNames; }
    FieldFont& FieldFontOf(int field) { return doc.header.fonts[field]; }
    EntryTable& cells() { return doc.entries; }
    int RowCount() const { return doc.entries.rowCount(); }

    bool IsEnglishInterface() const;
    // Tool button hints ("tooltip|long hint"); the tooltip shows the part before "|".
    static void setHint(QToolButton* button, const QString& hint);
    static QString hint(const QToolButton* button);
    Dialogs& dialogs() { return *dialogs_; }
    KeyboardLayouts& keyboardLayouts() { return *keyboardLayouts_; }
    QString windowTitleText() const { return title_; }

    // ---- controls (objectName = design name) ----------------------------------------
    QMenu *N1 = nullptr, *Edit1 = nullptr, *Service1 = nullptr, *N5 = nullptr;
    QMenu *Reload1 = nullptr, *Sort1 = nullptr, *InterfaceLanguage1 = nullptr;
    QMenu* RxPopupMenu1 = nullptr;
    QAction *New1 = nullptr, *N2 = nullptr, *N4 = nullptr, *N3 = nullptr, *Merge1 = nullptr,
            *Import1 = nullptr, *SpecialImport1 = nullptr, *Export1 = nullptr, *N8 = nullptr,
            *Exit1 = nullptr;
    QAction *Find1 = nullptr, *Findnext1 = nullptr, *Replace1 = nullptr;
    QAction *questions1 = nullptr, *answers1 = nullptr, *comments1 = nullptr,
            *RandomizeEntries1 = nullptr, *Swap1 = nullptr, *FrequencyAnalysing1 = nullptr,
            *Removeblanklines1 = nullptr, *English1 = nullptr, *RussianMenuItem = nullptr;
    QAction *Help1 = nullptr, *N6 = nullptr;
    QAction *Question1 = nullptr, *Answer1 = nullptr, *comment1 = nullptr;

    SpeedBar* SpeedBar1 = nullptr;
    QToolButton *SpeedItem1 = nullptr, *SpeedItem2 = nullptr, *SpeedItem3 = nullptr,
                *SpeedItem4 = nullptr, *SpeedItem5 = nullptr, *SpeedItem6 = nullptr,
                *SpeedItem8 = nullptr, *SpeedItem9 = nullptr, *SpeedItem10 = nullptr,
                *SpeedItem11Random = nullptr, *SpeedItem11Swap = nullptr, *SpeedItemHelp = nullptr;

    QWidget* Panel1 = nullptr;
    QLabel* FontSize1 = nullptr;
    QSpinBox* RxSpinEdit1 = nullptr;
    QLabel *TotalWordsLabel = nullptr, *Label3 = nullptr;
    ComboEdit *ComboEdit1 = nullptr, *ComboEdit2 = nullptr, *ComboEdit3 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr, *TabSheet2 = nullptr;
    EntryGrid* StringGrid1 = nullptr;

    QGroupBox *GroupBox1 = nullptr, *GroupBox2 = nullptr, *GroupBox3 = nullptr,
              *GroupBox5 = nullptr, *GroupBox6 = nullptr, *GroupBox7 = nullptr;
    QLabel *LanguagesLabel = nullptr, *TitleLabel = nullptr, *AuthorLabel = nullptr,
           *DateLabel = nullptr;
    QComboBox *ComboBox1 = nullptr, *ComboBox2 = nullptr;
    QLineEdit *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr;
    QPushButton *ChangeFont1 = nullptr, *ChangeFont2 = nullptr, *ChangeFont3 = nullptr;
    QLabel *Label12 = nullptr, *Label13 = nullptr, *Label14 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLabel *TestLabel1 = nullptr, *TestLabel2 = nullptr, *TestLabel3 = nullptr, *Label8 = nullptr;
    QLineEdit *Edit5 = nullptr, *Edit6 = nullptr, *Edit7 = nullptr;
    QPushButton *Button2 = nullptr, *Button3 = nullptr, *Button4 = nullptr;

    TOKRightDlg* OKRightDlg = nullptr;

    // ---- app: shell and document state ----------------------------------------------
    void FormCreate();
    void FormResize();
    void ClearGrid();
    // Asks "Save Before Closing?"; false abandons the close.
    bool AskSaveBeforeClosing();
    void Exit1Click();
    void setWindowTitleText(const QString& title);
    void setSaveEnabled(bool on);
    bool saveEnabled() const;
    // Description texts of the controls as bytes, and back.
    void collectDescription(VocabularyHeader& header) const;
    void applyDescription(const VocabularyHeader& header);

    // ---- vocab: document commands -----------------------------------------------------
    void SpeedItem3Click(); // New
    void N2Click();         // Load
    bool N4Click();         // Save; true when the file was written
    bool N3Click();         // Save as; true when the file was written
    void Merge1Click();
    void MRUManager1Click(const QString& path);
    void LoadDictionary(const QString& path);
    // Writes the document to SaveDialog1.fileName. True when the file was written; false
    // when the old-format question was cancelled or the write failed (reported).
    bool SaveDictionary();
    // Save as's recent-file step; a no-op until the recent-file list exists.
    void addRecentFile(const QString& path);
    void Removeblanklines1Click();
    void RemoveBlankLines();
    void NormalizeCells();

    // ---- editing: grid, input line, fonts, layouts -------------------------------------
    void StringGrid1SelectCell(int column, int row);
    void StringGrid1KeyUp(int key, Qt::KeyboardModifiers shift);
    void InsertBlankRowBelow();
    void SpeedItem1Click();
    void SpeedItem2Click();
    void SpeedItem6Click();
    void ComboEdit1KeyUp(int key, Qt::KeyboardModifiers shift);
    void InsertEntryFromInputLine();
    void DeleteRecord(int row);
    void loadBoxesFromRow(int row);
    // After a command rewrote cells without moving the current cell, brings the input boxes
    // in step with the current row, so that no key release writes stale texts back.
    void refreshBoxesAfterRewrite();
    void ComboEdit1ButtonClick();
    void ComboEdit2ButtonClick();
    void ComboEdit3ButtonClick();
    void RxSpinEdit1Change();
    void ApplyFieldFont(int field);
    void ActivateFieldLayout(int field);
    void CheckBox1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    // Focus entry into the input boxes and the layout test boxes.
    void ComboEdit1Enter();
    void ComboEdit2Enter();
    void ComboEdit3Enter();
    void Edit5Enter();
    void Edit6Enter();
    void Edit7Enter();
    // The grid's own font: the field font of the column last selected, sized by RxSpinEdit1.
    FieldFont gridFont;

    // ---- listops ----------------------------------------------------------------------
    void SpeedItem10Click();
    void Question1Click();
    void Answer1Click();
    void comment1Click();
    void SpeedItem11RandomClick();
    void SpeedItem11SwapClick();
    void RandomizeEntries();
    void SwapQuestionAnswer();
    void FrequencyAnalysing1Click();
    void Find1Click();
    void FindDialog1Find();
    void Findnext1Click();
    void SearchNext();
    int LastFoundRow = 0;
    bool EndReached = false;

    // ---- interchange ------------------------------------------------------------------
    void Import1Click();
    void SpecialImport1Click();
    void Export1Click();

    // ---- ui_language ------------------------------------------------------------------
    void English1Click();
    void RussianMenuItemClick();
    void Help1Click();
    void N6Click();
    void SpeedItemHelpClick();

    // ---- settings ---------------------------------------------------------------------
    MruManager* MRUManager1 = nullptr;
    FormSettings* settings = nullptr; // FormStorage1 and FormPlacement1
    void FormStorage1RestorePlacement();
    void SpeedBar1DblClick();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A .lut file dropped from a file manager loads as File > Load does.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildTopPanel();
    void buildPages();
    void connectHandlers();
    // Each subsystem binds its own controls to its handlers (defined in its folder).
    void connectEditing();
    void connectListops();
    void connectInterchange();
    void connectLanguage();
    void connectSettings();
    // Tells the user which file could not be written and why. With offerSaveAs the user may
    // save under another name at once; returns true when that happened.
    bool reportWriteFailure(const QString& path, const QString& reason, bool offerSaveAs);
    // SaveDictionary, and when its write fails, the offer of Save as.
    bool saveOrOfferSaveAs();
    bool lastWriteFailed_ = false;
    QString lastWriteReason_;
    // Settings files: restored at the first show, saved when a close is allowed.
    void restoreSettingsOnFirstShow();
    void saveSettingsOnClose();

    // ---- editing (private) ---------------------------------------------------------------
    ComboEdit* inputBox(int field) const;
    // The boxes no longer show what the row held when they were filled or last written:
    // another command rewrote the row behind them.
    bool boxesStale(int row) const;
    // Refills stale boxes from the current row and says why; true when they were stale.
    bool refillStaleBoxes();
    void writeBoxesToRow(int row);
    void applyGridFont();
    void chooseFieldFont(int field);
    void reportUnencodable(QWidget* where, int field, const QString& characters);

    Dialogs* dialogs_;
    KeyboardLayouts* keyboardLayouts_;
    std::unique_ptr<KeyboardLayouts> ownedLayouts_;
    QString configFolder_;
    bool restoreSettings_;
    QString fileToOpen_;
    bool firstShowDone_ = false;
    QString title_;
};

} // namespace lexanta
