#include "gui/interchange/interchange_commands.h"

#include "core/interchange/text_export.h"
#include "document/document.h"
#include "gui/interchange/import_list_dialog.h"
#include "platform/file_io.h"

#include "gui/widgets/named_action.h"
#include "gui/widgets/progress_feedback.h"

#include <QAction>
#include <QDir>

#include <new>

namespace lexanta {

namespace {

// The list formats' filters after a dialog's own, in English and Russian.
struct ListFilter {
    std::optional<ListFormat> format; // none: tab-delimited UTF-8
    bool byteOrderMark;
    const char* english;
    const char* russian;
    const char* patterns;
};

const ListFilter kImportFilters[] = {
    {ListFormat::Csv, false, "CSV, comma- or semicolon-separated (*.csv *.tsv)",
     "CSV, через запятую или точку с запятой (*.csv *.tsv)", "*.csv;*.tsv"},
    {ListFormat::Ods, false, "OpenDocument spreadsheet (*.ods)", "Таблица OpenDocument (*.ods)",
     "*.ods"},
    {ListFormat::Xlsx, false, "Excel workbook (*.xlsx)", "Книга Excel (*.xlsx)", "*.xlsx"},
    {ListFormat::Kvtml, false, "KVTML: KWordQuiz, Parley (*.kvtml)",
     "KVTML: KWordQuiz, Parley (*.kvtml)", "*.kvtml"},
    {ListFormat::Anki, false, "Anki notes in plain text (*.txt)",
     "Записи Anki в виде текста (*.txt)", "*.txt"},
    {ListFormat::Quizlet, false, "Quizlet text (*.txt)", "Текст Quizlet (*.txt)", "*.txt"},
    // Last, so that a filter chosen before keeps its place.
    {ListFormat::Anki, false, "Anki package (*.apkg *.colpkg)", "Пакет Anki (*.apkg *.colpkg)",
     "*.apkg;*.colpkg"},
};

const ListFilter kExportFilters[] = {
    {std::nullopt, false, "Tab delimited *.txt files, UTF-8",
     "Текстовые файлы с табуляцией *.txt, UTF-8", "*.txt"},
    {ListFormat::Csv, false, "CSV (*.csv)", "CSV (*.csv)", "*.csv"},
    {ListFormat::Csv, true, "CSV with a byte-order mark, for spreadsheets (*.csv)",
     "CSV с меткой порядка байтов, для электронных таблиц (*.csv)", "*.csv"},
    {ListFormat::Ods, false, "OpenDocument spreadsheet (*.ods)", "Таблица OpenDocument (*.ods)",
     "*.ods"},
    {ListFormat::Xlsx, false, "Excel workbook (*.xlsx)", "Книга Excel (*.xlsx)", "*.xlsx"},
    {ListFormat::Kvtml, false, "KVTML: KWordQuiz, Parley (*.kvtml)",
     "KVTML: KWordQuiz, Parley (*.kvtml)", "*.kvtml"},
    {ListFormat::Anki, false, "Anki notes in plain text (*.txt)",
     "Записи Anki в виде текста (*.txt)", "*.txt"},
    {ListFormat::Quizlet, false, "Quizlet text (*.txt)", "Текст Quizlet (*.txt)", "*.txt"},
};

int filterCount(const QString& filter) {
    return static_cast<int>(filter.split(QLatin1Char('|')).size() / 2);
}

// The dialog's stored filters with the list filters after them.
template <std::size_t N>
FileDialogState withListFilters(const FileDialogState& state, const ListFilter (&filters)[N],
                                bool english) {
    FileDialogState shown = state;
    for (const ListFilter& f : filters)
        shown.filter += QLatin1Char('|') + QString::fromUtf8(english ? f.english : f.russian) +
                        QLatin1Char('|') + QLatin1String(f.patterns);
    return shown;
}

} // namespace

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
    FileDialogState shown = withListFilters(importDialog_, kImportFilters, english());
    if (!dialogs_.openFile(owner_, shown))
        return;
    importDialog_.fileName = shown.fileName;
    importDialog_.filterIndex = shown.filterIndex;
    const int listFilter = shown.filterIndex - filterCount(importDialog_.filter) - 1;
    if (listFilter >= 0 && listFilter < static_cast<int>(std::size(kImportFilters))) {
        importListFile(shown.fileName, *kImportFilters[listFilter].format);
        return;
    }
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
    FillResult result;
    const FileOutcome outcome =
        document_.specialImport(vocabularyDialog_.fileName, &result, feedback.callback());
    if (!outcome.ok())
        reportError(openFailure(outcome));
    else if (const QString refusals = fillRefusals(result); !refusals.isEmpty())
        dialogs_.messageBox(owner_, refusals, QStringLiteral("Special Import"), MsgIcon::Warning,
                            MsgButtons::Ok);
}

void InterchangeCommands::exportList() {
    FileDialogState shown = withListFilters(exportDialog_, kExportFilters, english());
    if (!dialogs_.saveFile(owner_, shown))
        return;
    exportDialog_.fileName = shown.fileName;
    exportDialog_.filterIndex = shown.filterIndex;
    IoResult written = IoResult::success(exportDialog_.fileName);
    try {
        std::string bytes;
        const int listFilter = shown.filterIndex - filterCount(exportDialog_.filter) - 1;
        if (listFilter >= 0 && listFilter < static_cast<int>(std::size(kExportFilters))) {
            const ListFilter& f = kExportFilters[listFilter];
            if (!f.format) {
                bytes = exportTabDelimitedUtf8(document_.entries(), document_.header().fonts);
            } else {
                ListWriteOptions options;
                options.byteOrderMark = f.byteOrderMark;
                const ExportResult result = writeList(*f.format, document_.vocabulary(), options);
                if (!result.ok()) {
                    reportError(QStringLiteral("Cannot write %1:\n%2")
                                    .arg(QDir::toNativeSeparators(shown.fileName), result.error));
                    return;
                }
                bytes = std::move(result.bytes);
            }
        } else if (exportDialog_.filterIndex == static_cast<int>(ExportFormat::TabDelimited))
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

void InterchangeCommands::importListFile(const QString& path, ListFormat format) {
    ImportListSetup setup;
    setup.fileName = path;
    setup.format = format;
    setup.english = english();
    for (int f = 0; f < 3; ++f) {
        setup.charsets[f] = document_.font(f).charset;
        setup.fieldIsAscii[f] = document_.fieldIsAscii(f);
    }
    const QString file = QDir::toNativeSeparators(path);
    try {
        std::string bytes;
        const IoResult read = readWholeFile(path, bytes);
        if (!read) {
            reportError(QStringLiteral("Cannot open %1:\n%2").arg(file, read.reason));
            return;
        }
        ImportListDialog dialog(std::move(bytes), setup, owner_);
        if (!dialogs_.runDialog(dialog))
            return;
        const MappingChoices choices = dialog.choices();
        MappedList mapped;
        {
            ProgressFeedback feedback(progress_);
            mapped = mapToEntries(dialog.list().sheet, choices, feedback.callback());
        }
        if (!mapped.ok()) {
            const QString why =
                mapped.error.isEmpty() ? describeUnheld(mapped, dialog.list().sheet) : mapped.error;
            reportError(QStringLiteral("Cannot import %1:\n%2").arg(file, why));
            return;
        }
        const int entries = mapped.entryCount;
        ImportNotes notes = dialog.list().notes;
        notes.rowsLeftOut = mapped.notes.rowsLeftOut;
        notes.lineBreaks = mapped.notes.lineBreaks;
        const FileOutcome outcome =
            document_.importList(path, std::move(mapped), dialog.list().description,
                                 choices.charsets, dialog.append(), &notes.other);
        if (!outcome.ok()) {
            reportError(openFailure(outcome));
            return;
        }
        dialogs_.messageBox(owner_, describeImport(entries, notes),
                            english() ? QStringLiteral("Import") : QStringLiteral("Импорт"),
                            MsgIcon::Information, MsgButtons::Ok);
    } catch (const std::bad_alloc&) {
        reportError(QStringLiteral("Not enough memory to import %1.").arg(file));
    }
}

} // namespace lexanta
