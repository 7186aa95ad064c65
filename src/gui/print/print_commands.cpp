#include "gui/print/print_commands.h"

#include "document/document.h"
#include "gui/print/worksheet_dialog.h"
#include "gui/widgets/named_action.h"
#include "gui/widgets/progress_feedback.h"
#include "platform/ini_profile.h"
#include "print/pdf_output.h"
#include "print/worksheet.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <memory>

namespace lexanta {

namespace {

const QString kSection = QStringLiteral("Print");

} // namespace

void preparePrinter(QPrinter& printer, const PrintOptions& options,
                    const std::optional<QPageSize>& paper) {
    QPageLayout layout = worksheetPageLayout(options);
    if (paper)
        layout.setPageSize(*paper);
    printer.setFullPage(true);
    printer.setPageLayout(layout);
}

PrintCommands::PrintCommands(Document& document, Dialogs& dialogs, QWidget* owner,
                             QString settingsPath, std::function<bool()> isEnglish,
                             SelectedEntries selected, QObject* parent)
    : QObject(parent), document_(document), dialogs_(dialogs), owner_(owner),
      settingsPath_(std::move(settingsPath)), isEnglish_(std::move(isEnglish)),
      selected_(std::move(selected)) {
    pdfDialog_.defaultExt = QStringLiteral("pdf");
    pdfDialog_.overwritePrompt = true;
    print_ = namedAction(this, "Print1", QStringLiteral("&Print..."),
                         QKeySequence(Qt::CTRL | Qt::Key_P));
    preview_ = namedAction(this, "PrintPreview1", QStringLiteral("Print Pre&view..."));
    exportPdf_ = namedAction(this, "ExportPdf1", QStringLiteral("Export as P&DF..."));
    connect(print_, &QAction::triggered, this, &PrintCommands::print);
    connect(preview_, &QAction::triggered, this, &PrintCommands::printPreview);
    connect(exportPdf_, &QAction::triggered, this, &PrintCommands::exportPdf);
}

void PrintCommands::print() {
    run(Start::Print);
}

void PrintCommands::printPreview() {
    run(Start::Preview);
}

void PrintCommands::exportPdf() {
    run(Start::Pdf);
}

PrintOptions PrintCommands::storedOptions() const {
    IniFile ini;
    ini.load(settingsPath_); // a missing or unreadable file leaves the defaults
    QMap<QString, QString> values;
    for (const QString& key : ini.keys(kSection))
        values.insert(key, ini.value(kSection, key));
    return optionsFromValues(values);
}

void PrintCommands::storeOptions(const PrintOptions& options) {
    IniFile ini;
    ini.load(settingsPath_);
    ini.setPath(settingsPath_);
    const QMap<QString, QString> values = optionsToValues(options);
    for (auto it = values.begin(); it != values.end(); ++it)
        ini.setValue(kSection, it.key(), it.value());
    QDir().mkpath(QFileInfo(settingsPath_).absolutePath());
    if (const IoResult saved = ini.save(); !saved)
        dialogs_.messageBox(owner_,
                            QStringLiteral("The print settings could not be saved.\n\n%1")
                                .arg(saved.message(QStringLiteral("Cannot write"))),
                            QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
}

void PrintCommands::run(Start start) {
    const bool english = !isEnglish_ || isEnglish_();
    pdfDialog_.filter = english ? QStringLiteral("PDF files (*.pdf)|*.pdf")
                                : QStringLiteral("Файлы PDF (*.pdf)|*.pdf");
    PrintOptions options = storedOptions();
    options.language = english ? InterfaceLanguage::English : InterfaceLanguage::Russian;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    const auto confirm = [this, &printer](WorksheetDialog::Action action,
                                          const PrintOptions& chosen, QWidget* dialog) {
        if (action == WorksheetDialog::Action::SavePdf)
            return dialogs_.saveFile(dialog, pdfDialog_);
        preparePrinter(*printer, chosen);
        QPrintDialog choose(printer.get(), dialog);
        return choose.exec() == QDialog::Accepted;
    };
    WorksheetDialog dialog(
        document_.vocabulary(), selected_ ? selected_() : std::vector<int>{}, options,
        start == Start::Pdf ? WorksheetDialog::Action::SavePdf : WorksheetDialog::Action::Print,
        english, confirm, owner_);
    const char* titles[][2] = {{"Print", "Печать"},
                               {"Print Preview", "Предварительный просмотр"},
                               {"Export as PDF", "Экспорт в PDF"}};
    dialog.setWindowTitle(QString::fromUtf8(titles[static_cast<int>(start)][english ? 0 : 1]));
    if (start == Start::Preview)
        dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    if (dialog.exec() != QDialog::Accepted)
        return;
    options = dialog.options();
    storeOptions(options);
    const std::vector<int> entries = dialog.entries();
    if (dialog.action() == WorksheetDialog::Action::SavePdf) {
        writePdf(options, entries);
        return;
    }
    // The printer dialog may have chosen another paper.
    preparePrinter(*printer, options, printer->pageLayout().pageSize());
    ProgressFeedback feedback(progress_);
    PaintLimits limits;
    limits.progress = feedback.callback();
    if (printer->printRange() == QPrinter::PageRange) {
        limits.firstPage = std::max(1, printer->fromPage());
        limits.lastPage = std::max(limits.firstPage, printer->toPage());
    }
    if (!paintWorksheet(*printer, document_.vocabulary(), entries, options, limits).complete)
        dialogs_.messageBox(owner_, QStringLiteral("The printer could not be used."),
                            QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
}

void PrintCommands::writePdf(const PrintOptions& options, const std::vector<int>& entries) {
    ProgressFeedback feedback(progress_);
    PaintLimits limits;
    limits.progress = feedback.callback();
    const PdfOutcome outcome =
        writeWorksheetPdf(pdfDialog_.fileName, document_.vocabulary(), entries, options, limits);
    if (!outcome.io)
        dialogs_.messageBox(owner_,
                            QStringLiteral("Cannot write %1:\n%2")
                                .arg(QDir::toNativeSeparators(outcome.io.path), outcome.io.reason),
                            QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
    else if (!outcome.paint.complete)
        dialogs_.messageBox(owner_,
                            QStringLiteral("Cannot write %1:\nthe pages could not be painted")
                                .arg(QDir::toNativeSeparators(pdfDialog_.fileName)),
                            QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
}

} // namespace lexanta
