#pragma once

// File > Print, Print Preview and Export as PDF: worksheets of the vocabulary (a word list, a
// test, a fold-over sheet, flash cards) on a printer or in a PDF file.

#include "gui/widgets/dialogs.h"
#include "print/print_options.h"

#include <QObject>
#include <QPageSize>

#include <functional>
#include <optional>
#include <vector>

class QAction;
class QPrinter;
class QProgressBar;
class QWidget;

namespace lexanta {

class Document;

// Readies a printer for paintWorksheet: the paper of the options (or `paper`, one a printer
// dialog chose), portrait, and the page's corner as the origin, since the sheets paint their
// own margins.
void preparePrinter(QPrinter& printer, const PrintOptions& options,
                    const std::optional<QPageSize>& paper = std::nullopt);

// The entries of the rows the grid has selected; none when no more than a cell is.
using SelectedEntries = std::function<std::vector<int>()>;

class PrintCommands : public QObject {
    Q_OBJECT

public:
    // The choices are kept in `settingsPath` (print.ini in the user's configuration folder),
    // apart from the settings files the window keeps.
    PrintCommands(Document& document, Dialogs& dialogs, QWidget* owner, QString settingsPath,
                  std::function<bool()> isEnglish, SelectedEntries selected,
                  QObject* parent = nullptr);

    QAction* printAction() const { return print_; }         // Print1, Ctrl+P
    QAction* previewAction() const { return preview_; }     // PrintPreview1
    QAction* exportPdfAction() const { return exportPdf_; } // ExportPdf1
    FileDialogState& pdfDialog() { return pdfDialog_; }
    void setProgressBar(QProgressBar* bar) { progress_ = bar; }
    QString settingsPath() const { return settingsPath_; }

    void print();
    void printPreview();
    void exportPdf();

    // The choices as last used (the defaults when none were kept).
    PrintOptions storedOptions() const;

private:
    enum class Start { Print, Preview, Pdf };
    void run(Start start);
    void storeOptions(const PrintOptions& options);
    void writePdf(const PrintOptions& options, const std::vector<int>& entries);

    Document& document_;
    Dialogs& dialogs_;
    QWidget* owner_;
    QString settingsPath_;
    std::function<bool()> isEnglish_;
    SelectedEntries selected_;
    FileDialogState pdfDialog_;
    QAction *print_, *preview_, *exportPdf_;
    QProgressBar* progress_ = nullptr;
};

} // namespace lexanta
