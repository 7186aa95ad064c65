#pragma once

// The list formats beside the .lut file: which there are, how a file name picks one, and one
// entry point each way.

#include "core/interchange/csv_format.h"
#include "core/interchange/list_export.h"
#include "core/interchange/sheet.h"
#include "core/interchange/text_decoding.h"

#include <QString>

#include <array>
#include <optional>
#include <string_view>

namespace lexanta {

enum class ListFormat { Csv, Ods, Xlsx, Kvtml, Anki, Quizlet };

inline constexpr std::array<ListFormat, 6> kListFormats{ListFormat::Csv,  ListFormat::Ods,
                                                        ListFormat::Xlsx, ListFormat::Kvtml,
                                                        ListFormat::Anki, ListFormat::Quizlet};

// "csv", "ods", "xlsx", "kvtml", "anki", "quizlet".
QString listFormatName(ListFormat format);
std::optional<ListFormat> listFormatNamed(const QString& name);
// By the extension: .csv and .tsv, .ods, .xlsx, .kvtml, Anki's .apkg and .colpkg; nothing for
// others.
std::optional<ListFormat> listFormatOfFile(const QString& path);
// An Anki package's extension: read as Anki, never written.
bool isAnkiPackageName(const QString& path);
// The extension a written file of the format takes, without the dot.
QString listFormatExtension(ListFormat format);

struct ListReadOptions {
    QString delimiter;    // CSV and Anki text: empty detects; Quizlet: between term and definition
    QString rowSeparator; // Quizlet: between rows, empty for a line end
    TextEncoding encoding;
    HeaderChoice header = HeaderChoice::Auto;
    QString sheet; // a sheet's name or number from 1; empty: the first
    // KVTML: the identifiers read as questions and answers; none: the first two.
    std::optional<std::array<int, 2>> languages;
    // Anki: a package whatever the bytes (the file's name says so); else one when they are a zip.
    bool ankiPackage = false;
};

ReadError readList(ListFormat format, std::string_view bytes, const ListReadOptions& options,
                   ReadList& out, const ProgressCallback& progress = {});

struct ListWriteOptions {
    QString delimiter;          // CSV (default comma), Quizlet's term separator (default tab)
    QString rowSeparator;       // Quizlet (default a line end)
    bool byteOrderMark = false; // CSV
};

ExportResult writeList(ListFormat format, const Vocabulary& vocabulary,
                       const ListWriteOptions& options = {});

} // namespace lexanta
