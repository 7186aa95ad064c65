#pragma once

// Text interchange: File > Import, Special Import and Export.

#include "gui/widgets/dialogs.h"

#include <QObject>

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

    void importText();
    void specialImport();
    void exportList();

private:
    void reportError(const QString& text);

    Document& document_;
    Dialogs& dialogs_;
    QWidget* owner_;
    FileDialogState& vocabularyDialog_;
    FileDialogState importDialog_, exportDialog_;
    QAction *import_, *specialImport_, *export_;
    QProgressBar* progress_ = nullptr;
};

} // namespace lexanta
