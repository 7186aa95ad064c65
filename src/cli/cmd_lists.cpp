// The list formats: import and export of CSV, spreadsheets, KVTML, Anki and Quizlet text (and
// import of Anki's packages), and convert between any two files the tool reads and writes.
#include "cli/list_commands.h"

#include "core/interchange/text_export.h"
#include "platform/file_io.h"

#include <QDir>

#include <new>

namespace lexanta::tool {

namespace {

constexpr QLatin1String kDelimiter("delimiter");
constexpr QLatin1String kRowSeparator("row-separator");
constexpr QLatin1String kEncoding("encoding");
constexpr QLatin1String kHeader("header");
constexpr QLatin1String kSheet("sheet");
constexpr QLatin1String kColumns("columns");
constexpr QLatin1String kLanguages("languages");
constexpr QLatin1String kCharsets("charsets");
constexpr QLatin1String kAppendTo("append-to");
constexpr QLatin1String kBom("bom");
constexpr QLatin1String kUtf8("utf8");

// "tab", "comma", ... or the character itself ("\t" typed as backslash-t too).
std::optional<QString> parseSeparator(const QString& text) {
    static const std::pair<const char*, const char*> names[] = {
        {"tab", "\t"}, {"\\t", "\t"},  {"comma", ","},    {"semicolon", ";"}, {"space", " "},
        {"pipe", "|"}, {"colon", ":"}, {"newline", "\n"}, {"\\n", "\n"},
    };
    for (const auto& [name, value] : names)
        if (text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(value);
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

// "1,2,0" -> the source columns from 0, -1 for none.
bool parseColumns(const QString& text, ColumnChoice& columns) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() < 1 || parts.size() > 3)
        return false;
    columns = {-1, -1, -1};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const int n = parts[i].trimmed().toInt(&ok);
        if (!ok || n < 0 || n > 16384)
            return false;
        columns[static_cast<std::size_t>(i)] = n - 1;
    }
    return true;
}

bool parseLanguages(const QString& text, std::array<int, 2>& languages) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return false;
    for (int i = 0; i < 2; ++i) {
        bool ok = false;
        languages[static_cast<std::size_t>(i)] = parts[i].trimmed().toInt(&ok);
        if (!ok || languages[static_cast<std::size_t>(i)] < 0)
            return false;
    }
    return true;
}

// The read options from the command line; a usage error is printed and false returned.
bool readOptions(const Args& args, const QString& command, ListReadOptions& options) {
    if (args.has(kDelimiter)) {
        const std::optional<QString> d = parseSeparator(args.value(kDelimiter));
        if (!d)
            return usageError(command, QStringLiteral("--delimiter takes a character or tab, "
                                                      "comma, semicolon, space, pipe")),
                   false;
        options.delimiter = *d;
    }
    if (args.has(kRowSeparator)) {
        const std::optional<QString> d = parseSeparator(args.value(kRowSeparator));
        if (!d)
            return usageError(command, QStringLiteral("--row-separator cannot be empty")), false;
        options.rowSeparator = *d;
    }
    if (args.has(kEncoding)) {
        const std::optional<TextEncoding> e = parseTextEncoding(args.value(kEncoding));
        if (!e)
            return usageError(command, QStringLiteral("unknown --encoding '%1' (utf-8, utf-16, "
                                                      "windows-1251, cp1252, ...)")
                                           .arg(args.value(kEncoding))),
                   false;
        options.encoding = *e;
    }
    if (args.has(kHeader)) {
        const QString h = args.value(kHeader).toLower();
        if (h == QLatin1String("yes"))
            options.header = HeaderChoice::Yes;
        else if (h == QLatin1String("no"))
            options.header = HeaderChoice::No;
        else if (h != QLatin1String("auto"))
            return usageError(command, QStringLiteral("--header takes yes, no or auto")), false;
    }
    options.sheet = args.value(kSheet);
    if (args.has(kLanguages)) {
        std::array<int, 2> pair{};
        if (!parseLanguages(args.value(kLanguages), pair))
            return usageError(command, QStringLiteral("--languages takes two identifier numbers "
                                                      "I,J (from 0)")),
                   false;
        options.languages = pair;
    }
    return true;
}

void printNotes(const QString& file, const QStringList& notes) {
    for (const QString& note : notes)
        printError(QStringLiteral("%1: note: %2").arg(file, note));
}

// Reads `input` in `format` into `doc` (a new vocabulary, or appended to what it holds).
int readListInto(const Args& args, const QString& command, ListFormat format, const QString& input,
                 Document& doc, bool append) {
    ListReadOptions options;
    if (!readOptions(args, command, options))
        return kUsageError;
    options.ankiPackage = format == ListFormat::Anki && isAnkiPackageName(input);
    ColumnChoice columns{};
    if (args.has(kColumns) && !parseColumns(args.value(kColumns), columns))
        return usageError(command, QStringLiteral("--columns takes up to three source columns "
                                                  "Q,A,C, counted from 1, 0 for none"));
    const QString charsetText = args.value(kCharsets).trimmed().toLower();
    std::array<int, 3> charsets{};
    const bool autoCharsets = charsetText.isEmpty() || charsetText == QLatin1String("auto");
    if (!autoCharsets && !parseCharsets(charsetText, charsets))
        return usageError(command, QStringLiteral("--charsets takes auto or three character "
                                                  "sets Q,A,C (0,204,0 or ansi,russian,ansi)"));
    const QString file = QDir::toNativeSeparators(input);
    try {
        std::string bytes;
        const IoResult read = readWholeFile(input, bytes);
        if (!read) {
            printError(QStringLiteral("cannot read %1: %2").arg(file, read.reason));
            return kIoError;
        }
        ReadList list;
        if (const ReadError e = readList(format, bytes, options, list); e.isError()) {
            printError(e.message(file));
            return kIoError;
        }
        // The rows hold all that is needed: the file's bytes go before the entries are made.
        std::string().swap(bytes);
        // A blank cover sheet would give an empty vocabulary and no word of the sheets after it.
        if (list.sheet.rowCount() == 0 && list.sheetNames.size() > 1 && options.sheet.isEmpty()) {
            printError(QStringLiteral("cannot import %1: its first sheet, \"%2\", is empty; "
                                      "choose one with --sheet (it has %3)")
                           .arg(file, list.sheetNames.first(),
                                list.sheetNames.join(QStringLiteral(", "))));
            return kIoError;
        }
        if (format == ListFormat::Kvtml && !options.languages && list.languages.size() > 2) {
            QStringList named;
            for (qsizetype i = 0; i < list.languages.size(); ++i)
                named << QStringLiteral("%1 %2").arg(i).arg(list.languages[i]);
            printError(QStringLiteral("cannot import %1: it has %2 languages (%3); choose two "
                                      "with --languages I,J")
                           .arg(file)
                           .arg(list.languages.size())
                           .arg(named.join(QStringLiteral(", "))));
            return kIoError;
        }
        MappingChoices choices;
        choices.columns = args.has(kColumns) ? columns : defaultColumns(list);
        choices.skipFirstRow = list.firstRowIsHeader;
        for (int f = 0; f < 3; ++f)
            choices.charsets[static_cast<std::size_t>(f)] = doc.font(f).charset;
        if (!autoCharsets) {
            choices.charsets = charsets;
        } else {
            // Appending keeps the sets of fields that hold other than ASCII: their texts are
            // checked against those sets below, line by line.
            MappingChoices free = choices;
            for (int f = 0; f < 3; ++f)
                if (append && !doc.fieldIsAscii(f))
                    free.columns[static_cast<std::size_t>(f)] = -1;
            QString unheld;
            if (!chooseCharsets(list.sheet, free, choices.charsets, unheld)) {
                printError(QStringLiteral("cannot import %1: %2").arg(file, unheld));
                return kIoError;
            }
        }
        MappedList mapped = mapToEntries(list.sheet, choices);
        if (!mapped.error.isEmpty()) {
            printError(QStringLiteral("cannot import %1: %2").arg(file, mapped.error));
            return kIoError;
        }
        if (!mapped.ok()) {
            QString first = describeUnheld(mapped, list.sheet, 1);
            first.replace(QLatin1Char('\n'), QLatin1Char(' '));
            printError(QStringLiteral("cannot import %1: %2").arg(file, first));
            return kIoError;
        }
        const int entries = mapped.entryCount;
        QStringList notes;
        if (const int status = report(doc.importList(input, std::move(mapped), list.description,
                                                     choices.charsets, append, &notes));
            status != kOk)
            return status;
        if (list.notes != ImportNotes{})
            notes.prepend(describeImport(entries, list.notes));
        printNotes(file, notes);
    } catch (const std::bad_alloc&) {
        printError(QStringLiteral("not enough memory to import %1").arg(file));
        return kIoError;
    }
    return kOk;
}

int writeListFrom(const Args& args, ListFormat format, const Document& doc, const QString& output) {
    ListWriteOptions options;
    if (args.has(kDelimiter))
        options.delimiter = parseSeparator(args.value(kDelimiter)).value_or(QString());
    if (args.has(kRowSeparator))
        options.rowSeparator = parseSeparator(args.value(kRowSeparator)).value_or(QString());
    options.byteOrderMark = args.has(kBom);
    const ExportResult result = writeList(format, doc.vocabulary(), options);
    const QString file = QDir::toNativeSeparators(output);
    if (!result.ok()) {
        printError(QStringLiteral("cannot write %1: %2").arg(file, result.error));
        return kIoError;
    }
    const IoResult written = writeWholeFile(output, result.bytes);
    if (!written)
        return writeFailure(output, written.reason);
    printNotes(file, result.notes);
    return kOk;
}

// What a file name's extension says it is.
enum class FileKind { Vocabulary, TabText, List, Unknown };

FileKind kindOf(const QString& path, ListFormat& format) {
    const QString name = path.toLower();
    if (name.endsWith(QLatin1String(".lut")))
        return FileKind::Vocabulary;
    if (name.endsWith(QLatin1String(".txt")))
        return FileKind::TabText;
    if (const std::optional<ListFormat> f = listFormatOfFile(path)) {
        format = *f;
        return FileKind::List;
    }
    return FileKind::Unknown;
}

int convertCommand(const Args& args) {
    const QString name = QStringLiteral("convert");
    const QString input = args.positional[0], output = args.positional[1];
    ListFormat inFormat = ListFormat::Csv, outFormat = ListFormat::Csv;
    const FileKind in = kindOf(input, inFormat), out = kindOf(output, outFormat);
    if (in == FileKind::Unknown || out == FileKind::Unknown)
        return usageError(name, QStringLiteral("convert takes .lut, .csv, .tsv, .txt, .ods, "
                                               ".xlsx and .kvtml files, and reads Anki's .apkg "
                                               "and .colpkg"));
    if (isAnkiPackageName(output))
        return usageError(name, QStringLiteral("Anki packages are read, not written: write Anki's "
                                               "notes as text with export --format anki"));
    Document doc;
    if (in == FileKind::Vocabulary) {
        if (!loadVocabulary(input, doc))
            return kIoError;
    } else if (in == FileKind::TabText) {
        if (const int s = report(doc.importText(input, ImportFormat::ThreeFields)); s != kOk)
            return s;
    } else {
        // A .tsv is tab-separated unless told otherwise.
        Args readArgs = args;
        if (input.endsWith(QLatin1String(".tsv"), Qt::CaseInsensitive) && !args.has(kDelimiter))
            readArgs.values.insert(kDelimiter, QStringLiteral("tab"));
        if (const int s = readListInto(readArgs, name, inFormat, input, doc, false); s != kOk)
            return s;
    }
    if (out == FileKind::Vocabulary) {
        Args saveArgs = args;
        saveArgs.output = output;
        return saveVocabulary(doc, saveArgs);
    }
    if (out == FileKind::TabText) {
        const std::string bytes = args.has(kUtf8)
                                      ? exportTabDelimitedUtf8(doc.entries(), doc.header().fonts)
                                      : exportTabDelimited(doc.entries());
        const IoResult written = writeWholeFile(output, bytes);
        return written ? kOk : writeFailure(output, written.reason);
    }
    Args writeArgs = args;
    if (output.endsWith(QLatin1String(".tsv"), Qt::CaseInsensitive) && !args.has(kDelimiter))
        writeArgs.values.insert(kDelimiter, QStringLiteral("tab"));
    else if (in != FileKind::List)
        writeArgs.values.remove(kDelimiter);
    return writeListFrom(writeArgs, outFormat, doc, output);
}

} // namespace

QList<CommandOption> listImportOptions() {
    return {
        {{kDelimiter},
         QStringLiteral("C"),
         QStringLiteral("csv, anki text: the field delimiter (a character, or tab, comma, "
                        "semicolon); default: detected. quizlet: between term and definition "
                        "(default tab)"),
         false},
        {{kRowSeparator},
         QStringLiteral("S"),
         QStringLiteral("quizlet: between rows (default a line end; semicolon or any text)"),
         false},
        {{kEncoding},
         QStringLiteral("NAME"),
         QStringLiteral("csv, quizlet: utf-8, utf-16 or a Windows code page such as windows-1251; "
                        "default: UTF-8, or what a byte-order mark says"),
         false},
        {{kHeader},
         QStringLiteral("yes|no|auto"),
         QStringLiteral("csv, ods, xlsx: whether the first row names the columns (default auto)"),
         false},
        {{kSheet},
         QStringLiteral("N|NAME"),
         QStringLiteral("ods, xlsx: the sheet to read, by name or number from 1 (default the "
                        "first)"),
         false},
        {{kColumns},
         QStringLiteral("Q,A,C"),
         QStringLiteral("the source columns of questions, answers and comments, from 1, 0 for "
                        "none (default 1,2,3, or the file's own)"),
         false},
        {{kLanguages},
         QStringLiteral("I,J"),
         QStringLiteral("kvtml: the identifiers read as questions and answers, from 0 (default "
                        "0,1)"),
         false},
        {{kCharsets},
         QStringLiteral("auto|Q,A,C"),
         QStringLiteral("the character sets of the fields: auto (default) gives each field the "
                        "Windows set whose code page holds its text, the current or system's "
                        "first (appending, a field that holds other than ASCII keeps its "
                        "set); or numbers (0,204,0) or names (ansi,russian,ansi)"),
         false},
        {{kAppendTo},
         QStringLiteral("EXISTING.lut"),
         QStringLiteral("csv|ods|xlsx|kvtml|anki|quizlet: add the entries to this vocabulary "
                        "instead of starting a new one"),
         false},
    };
}

QList<CommandOption> listExportOptions() {
    return {{{kBom},
             {},
             QStringLiteral("csv: begin with a UTF-8 byte-order mark (for spreadsheets)"),
             false}};
}

int importListCommand(const Args& args, ListFormat format) {
    Document doc;
    const bool append = args.has(kAppendTo);
    if (append && !loadVocabulary(args.value(kAppendTo), doc))
        return kIoError;
    if (const int status = readListInto(args, QStringLiteral("import"), format,
                                        args.positional.first(), doc, append);
        status != kOk)
        return status;
    return saveVocabulary(doc, args);
}

int exportListCommand(const Args& args, ListFormat format) {
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    return writeListFrom(args, format, doc, args.output);
}

namespace {

QList<CommandOption> convertOptions() {
    QList<CommandOption> options = listImportOptions();
    options.removeIf([](const CommandOption& o) { return o.names.first() == kAppendTo; });
    options << listExportOptions();
    options << CommandOption{{kUtf8},
                             {},
                             QStringLiteral("a .txt output: each column decoded with its font's "
                                            "code page, written in UTF-8"),
                             false};
    options << removeBlankLinesOption();
    return options;
}

const Registrar convertRegistrar(
    {QStringLiteral("convert"),
     QStringLiteral("Converts a word list between .lut, .csv, .tsv, .txt, .ods, .xlsx and .kvtml, "
                    "or from Anki's .apkg and .colpkg, by the files' extensions, through a "
                    "vocabulary."),
     {QStringLiteral("IN"), QStringLiteral("OUT")},
     convertOptions(),
     convertCommand});

} // namespace

} // namespace lexanta::tool
