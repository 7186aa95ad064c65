#include "gui/interchange/interchange_commands.h"

#include "core/interchange/text_export.h"
#include "document/document.h"
#include "platform/file_io.h"

#include "gui/widgets/named_action.h"
#include "gui/widgets/progress_feedback.h"

#include <QAction>
#include <QDir>

#include <new>

namespace lexanta {

namespace {} // namespace

InterchangeCommands::InterchangeCommands(Document& document, Dialogs& dialogs, QWidget* owner,
                                         FileDialogState& vocabularyDialog, QObject* parent)
    : QObject(parent), document_(document), dialogs_(dialogs), owner_(owner),
      vocabularyDialog_(vocabularyDialog) {
    importDialog_ = {QString(),
                     QStringLiteral("Text Files (*.txt)|*.txt|Tab delimited *.txt files (2 "
                                    "fields)|*.txt|Tab delimited *.txt files (3 fields)|*.txt"),
                     1,
                     QString(),
                     false,
                     false};
    exportDialog_ = {QString(),
                     QStringLiteral("Tab delimited *.txt files|*.txt|HTML files "
                                    "(*html)|*.html; *htm"),
                     1,
                     QStringLiteral("txt"),
                     false,
                     true};
    import_ = namedAction(this, "Import1", QStringLiteral("&Import..."));
    specialImport_ = namedAction(this, "SpecialImport1", QStringLiteral("S&pecial Import..."));
    export_ = namedAction(this, "Export1", QStringLiteral("&Export..."));
    connect(import_, &QAction::triggered, this, &InterchangeCommands::importText);
    connect(specialImport_, &QAction::triggered, this, &InterchangeCommands::specialImport);
    connect(export_, &QAction::triggered, this, &InterchangeCommands::exportList);
}

void InterchangeCommands::reportError(const QString& text) {
    dialogs_.messageBox(owner_, text, QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
}

namespace {

// "Cannot open PATH:\nREASON" for a file that cannot be read, the outcome's own message else.
QString openFailure(const FileOutcome& outcome) {
    if (outcome.kind == FileOutcome::Kind::Unreadable)
        return QStringLiteral("Cannot open %1:\n%2")
            .arg(QDir::toNativeSeparators(outcome.path), outcome.reason);
    return outcome.message();
}

} // namespace

void InterchangeCommands::importText() {
    if (!dialogs_.openFile(owner_, importDialog_))
        return;
    const std::optional<ImportFormat> format =
        importFormatForFilterIndex(importDialog_.filterIndex);
    if (!format)
        return;
    // The file is read and converted first: a file that cannot be read, or whose characters
    // the columns cannot hold, leaves the open vocabulary as it was.
    ProgressFeedback feedback(progress_);
    ImportResult details;
    FileOutcome outcome =
        document_.importText(importDialog_.fileName, *format, &details, feedback.callback());
    // Two files joined into one each bring their byte-order mark: the one inside is dropped,
    // or kept as the character it is.
    if (outcome.kind == FileOutcome::Kind::Rejected && details.byteOrderMarkLine > 0 &&
        dialogs_.ask(owner_,
                     QStringLiteral("%1 holds U+FEFF, a byte-order mark, inside the text (first "
                                    "at line %2), as where two files were joined. No column "
                                    "can hold it as a character. Drop it?")
                         .arg(QDir::toNativeSeparators(importDialog_.fileName))
                         .arg(details.byteOrderMarkLine),
                     QStringLiteral("Import"), MsgIcon::Question,
                     {QStringLiteral("Drop"), QStringLiteral("Keep")}) == 0)
        outcome = document_.importText(importDialog_.fileName, *format, nullptr,
                                       feedback.callback(), true);
    if (!outcome.ok())
        reportError(openFailure(outcome));
}

void InterchangeCommands::specialImport() {
    if (!dialogs_.openFile(owner_, vocabularyDialog_))
        return;
    ProgressFeedback feedback(progress_);
    const FileOutcome outcome =
        document_.specialImport(vocabularyDialog_.fileName, nullptr, feedback.callback());
    if (!outcome.ok())
        reportError(openFailure(outcome));
}

void InterchangeCommands::exportList() {
    if (!dialogs_.saveFile(owner_, exportDialog_))
        return;
    IoResult written = IoResult::success(exportDialog_.fileName);
    try {
        std::string bytes;
        if (exportDialog_.filterIndex == static_cast<int>(ExportFormat::TabDelimited))
            bytes = exportTabDelimited(document_.entries());
        else if (exportDialog_.filterIndex == static_cast<int>(ExportFormat::Html))
            bytes = exportHtml(document_.vocabulary());
        else
            return;
        written = writeWholeFile(exportDialog_.fileName, bytes);
    } catch (const std::bad_alloc&) {
        written = IoResult::failure(exportDialog_.fileName, QStringLiteral("not enough memory"));
    }
    if (!written)
        reportError(QStringLiteral("Cannot write %1:\n%2")
                        .arg(QDir::toNativeSeparators(written.path), written.reason));
}

} // namespace lexanta
