#pragma once

// Text interchange: File > Import, Special Import and Export.

#include "core/interchange/list_formats.h"
#include "gui/widgets/dialogs.h"

#include <QObject>

#include <functional>

class QAction;
class QProgressBar;
class QWidget;

namespace lexanta {

class Document;

class InterchangeCommands : public QObject {
    Q_OBJECT

public:
    // Special Import shares `vocabularyDialog` (OpenDialog1) with File > Load.
    InterchangeCommands(Document& document, Dialogs& dialogs, QWidget* owner,
                        FileDialogState& vocabularyDialog, QObject* parent = nullptr);

    QAction* importAction() const { return import_; }               // Import1
    QAction* specialImportAction() const { return specialImport_; } // SpecialImport1
    QAction* exportAction() const { return export_; }               // Export1
    FileDialogState& importDialog() { return importDialog_; }       // OpenDialog2
    FileDialogState& exportDialog() { return exportDialog_; }       // SaveDialog2
    // Where Import and Special Import show their progress.
    void setProgressBar(QProgressBar* bar) { progress_ = bar; }
    // The captions of the list formats and their dialog follow the interface language.
    void setLanguageTest(std::function<bool()> isEnglish) { isEnglish_ = std::move(isEnglish); }

    // File > Import: the three text formats as before, then the list formats (their filters
    // follow the stored ones), whose import goes through the list import dialog.
    void importText();
    void specialImport();
    // File > Export: tab-delimited text and HTML, then tab-delimited UTF-8 and the list formats.
    void exportList();
    // Opens the list import dialog for a file (a dropped .csv, .ods, .xlsx or .kvtml).
    void importListFile(const QString& path, ListFormat format);

private:
    void reportError(const QString& text);
    bool english() const { return !isEnglish_ || isEnglish_(); }

    Document& document_;
    Dialogs& dialogs_;
    QWidget* owner_;
    FileDialogState& vocabularyDialog_;
    FileDialogState importDialog_, exportDialog_;
    QAction *import_, *specialImport_, *export_;
    QProgressBar* progress_ = nullptr;
    std::function<bool()> isEnglish_;
};

} // namespace lexanta
