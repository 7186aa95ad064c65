#include "core/interchange/list_formats.h"

#include "core/interchange/anki_package.h"
#include "core/interchange/anki_text.h"
#include "core/interchange/kvtml_format.h"
#include "core/interchange/spreadsheet_formats.h"

#include <new>

namespace lexanta {

QString listFormatName(ListFormat format) {
    switch (format) {
    case ListFormat::Csv:
        return QStringLiteral("csv");
    case ListFormat::Ods:
        return QStringLiteral("ods");
    case ListFormat::Xlsx:
        return QStringLiteral("xlsx");
    case ListFormat::Kvtml:
        return QStringLiteral("kvtml");
    case ListFormat::Anki:
        return QStringLiteral("anki");
    case ListFormat::Quizlet:
        break;
    }
    return QStringLiteral("quizlet");
}

std::optional<ListFormat> listFormatNamed(const QString& name) {
    for (const ListFormat f : kListFormats)
        if (listFormatName(f) == name.trimmed().toLower())
            return f;
    return std::nullopt;
}

std::optional<ListFormat> listFormatOfFile(const QString& path) {
    const QString name = path.section(QLatin1Char('/'), -1).toLower();
    if (name.endsWith(QLatin1String(".csv")) || name.endsWith(QLatin1String(".tsv")))
        return ListFormat::Csv;
    if (name.endsWith(QLatin1String(".ods")))
        return ListFormat::Ods;
    if (name.endsWith(QLatin1String(".xlsx")))
        return ListFormat::Xlsx;
    if (name.endsWith(QLatin1String(".kvtml")))
        return ListFormat::Kvtml;
    if (isAnkiPackageName(name))
        return ListFormat::Anki;
    return std::nullopt;
}

bool isAnkiPackageName(const QString& path) {
    return path.endsWith(QLatin1String(".apkg"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".colpkg"), Qt::CaseInsensitive);
}

QString listFormatExtension(ListFormat format) {
    switch (format) {
    case ListFormat::Anki:
    case ListFormat::Quizlet:
        return QStringLiteral("txt");
    default:
        return listFormatName(format);
    }
}

ReadError readList(ListFormat format, std::string_view bytes, const ListReadOptions& options,
                   ReadList& out, const ProgressCallback& progress) {
    out = ReadList{};
    try {
        switch (format) {
        case ListFormat::Csv:
            return readCsv(bytes, {options.delimiter, options.encoding, options.header}, out,
                           progress);
        case ListFormat::Ods:
        case ListFormat::Xlsx: {
            ReadError e = readSpreadsheet(format == ListFormat::Ods ? SpreadsheetKind::Ods
                                                                    : SpreadsheetKind::Xlsx,
                                          bytes, options.sheet, out, progress);
            if (!e.isError())
                applyHeaderChoice(options.header, out);
            return e;
        }
        case ListFormat::Kvtml:
            return readKvtml(bytes, options.languages, out, progress);
        case ListFormat::Anki:
            if (options.ankiPackage || isZipArchive(bytes))
                return readAnkiPackage(bytes, out, progress);
            return readAnkiText(bytes, options.delimiter, out, progress);
        case ListFormat::Quizlet: {
            QuizletOptions quizlet;
            if (!options.delimiter.isEmpty())
                quizlet.termSeparator = options.delimiter;
            if (!options.rowSeparator.isEmpty())
                quizlet.rowSeparator = options.rowSeparator;
            quizlet.encoding = options.encoding;
            return readQuizlet(bytes, quizlet, out, progress);
        }
        }
    } catch (const std::bad_alloc&) {
        out = ReadList{};
        return {QString(), QStringLiteral("not enough memory")};
    }
    return {};
}

ExportResult writeList(ListFormat format, const Vocabulary& vocabulary,
                       const ListWriteOptions& options) {
    const ExportRows rows(vocabulary);
    try {
        switch (format) {
        case ListFormat::Csv: {
            CsvWriteOptions csv;
            if (!options.delimiter.isEmpty())
                csv.delimiter = options.delimiter;
            csv.byteOrderMark = options.byteOrderMark;
            return writeCsv(rows, csv);
        }
        case ListFormat::Ods:
            return writeSpreadsheet(SpreadsheetKind::Ods, rows);
        case ListFormat::Xlsx:
            return writeSpreadsheet(SpreadsheetKind::Xlsx, rows);
        case ListFormat::Kvtml:
            return writeKvtml(rows);
        case ListFormat::Anki:
            return writeAnkiText(rows);
        case ListFormat::Quizlet: {
            QuizletOptions quizlet;
            if (!options.delimiter.isEmpty())
                quizlet.termSeparator = options.delimiter;
            if (!options.rowSeparator.isEmpty())
                quizlet.rowSeparator = options.rowSeparator;
            return writeQuizlet(rows, quizlet);
        }
        }
    } catch (const std::bad_alloc&) {
        ExportResult failed;
        failed.error = QStringLiteral("not enough memory");
        return failed;
    }
    return {};
}

} // namespace lexanta
