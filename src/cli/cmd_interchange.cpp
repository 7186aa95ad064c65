// import, fill and export: File > Import, File > Special Import and File > Export.
#include "cli/list_commands.h"
#include "cli/tool.h"

#include "core/interchange/text_export.h"
#include "platform/codepage.h"
#include "platform/file_io.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

namespace lexanta::tool {

namespace {

// Windows font character sets by the names of their constants (ANSI_CHARSET, ...).
const std::pair<const char*, int> kCharsetNames[] = {
    {"ansi", 0},         {"default", 1},       {"symbol", 2},       {"mac", 77},
    {"shiftjis", 128},   {"hangul", 129},      {"hangeul", 129},    {"johab", 130},
    {"gb2312", 134},     {"chinesebig5", 136}, {"greek", 161},      {"turkish", 162},
    {"vietnamese", 163}, {"hebrew", 177},      {"arabic", 178},     {"baltic", 186},
    {"russian", 204},    {"thai", 222},        {"easteurope", 238}, {"oem", 255},
};

} // namespace

// "0,204,0" or "ansi,russian,ansi" -> the three character sets; false when malformed.
bool parseCharsets(const QString& text, std::array<int, kShownFields>& charsets) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != kShownFields)
        return false;
    for (int i = 0; i < kShownFields; ++i) {
        const QString part = parts[i].trimmed().toLower();
        bool number = false;
        const int value = part.toInt(&number);
        if (number) {
            if (value < 0 || value > 255)
                return false;
            charsets[i] = value;
            continue;
        }
        const auto* found =
            std::find_if(std::begin(kCharsetNames), std::end(kCharsetNames),
                         [&part](const auto& n) { return part == QLatin1String(n.first); });
        if (found == std::end(kCharsetNames))
            return false;
        charsets[i] = found->second;
    }
    return true;
}

namespace {

int importCommand(const Args& args) {
    const QString name = QStringLiteral("import");
    const QString formatName = args.value(QStringLiteral("format"));
    ImportFormat format;
    if (formatName == QLatin1String("text"))
        format = ImportFormat::TextPairs;
    else if (formatName == QLatin1String("tab2"))
        format = ImportFormat::TwoFields;
    else if (formatName == QLatin1String("tab3"))
        format = ImportFormat::ThreeFields;
    else if (const std::optional<ListFormat> list = listFormatNamed(formatName))
        return importListCommand(args, *list);
    else
        return usageError(name, QStringLiteral("--format must be text, tab2, tab3, csv, ods, "
                                               "xlsx, kvtml, anki or quizlet"));
    if (args.has(QStringLiteral("append-to")))
        return usageError(name, QStringLiteral("--append-to goes with the list formats"));
    // A new vocabulary as a reset leaves it; the fonts decide the columns' code pages.
    Document doc;
    if (args.has(QStringLiteral("charsets"))) {
        std::array<int, kShownFields> charsets{};
        if (!parseCharsets(args.value(QStringLiteral("charsets")), charsets))
            return usageError(name, QStringLiteral("--charsets takes three character sets Q,A,C, "
                                                   "each a number from 0 to 255 or a name such "
                                                   "as ansi or russian"));
        for (int field = 0; field < kShownFields; ++field) {
            FieldFont font = doc.font(field);
            font.charset = charsets[static_cast<std::size_t>(field)];
            doc.setFont(field, font);
        }
    }
    const bool drop = args.has(QStringLiteral("drop-byte-order-marks"));
    if (const int status =
            report(doc.importText(args.positional.first(), format, nullptr, {}, drop));
        status != kOk)
        return status;
    return saveVocabulary(doc, args);
}

int fillCommand(const Args& args) {
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    FillResult result;
    if (const int status = report(doc.specialImport(args.value(QStringLiteral("from")), &result));
        status != kOk)
        return status;
    if (const QString refusals = fillRefusals(result); !refusals.isEmpty())
        printError(refusals);
    return saveVocabulary(doc, args);
}

int exportCommand(const Args& args) {
    const QString name = QStringLiteral("export");
    const QString formatName = args.value(QStringLiteral("format"));
    if (const std::optional<ListFormat> list = listFormatNamed(formatName))
        return exportListCommand(args, *list);
    if (formatName != QLatin1String("tab") && formatName != QLatin1String("html"))
        return usageError(name, QStringLiteral("--format must be tab, html, csv, ods, xlsx, "
                                               "kvtml, anki or quizlet"));
    const bool utf8 = args.has(QStringLiteral("utf8"));
    if (utf8 && formatName != QLatin1String("tab"))
        return usageError(name, QStringLiteral("--utf8 goes with --format tab (the HTML page is "
                                               "always UTF-8)"));
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    std::string page;
    if (formatName == QLatin1String("html"))
        page = exportHtml(doc.vocabulary());
    else if (utf8)
        page = exportTabDelimitedUtf8(doc.entries(), doc.header().fonts);
    else
        page = exportTabDelimited(doc.entries());
    const IoResult written = writeWholeFile(args.output, page);
    if (!written)
        return writeFailure(args.output, written.reason);
    return kOk;
}

QList<CommandOption> importOptions() {
    QList<CommandOption> options{
        {{QStringLiteral("format")},
         QStringLiteral("FORMAT"),
         QStringLiteral("text|tab2|tab3: question and answer lines, or two or three tab-separated "
                        "fields a line; csv|ods|xlsx|kvtml|anki|quizlet: a list of another "
                        "program (anki: notes as text, or a package, .apkg or .colpkg)"),
         true},
        {{QStringLiteral("drop-byte-order-marks")},
         {},
         QStringLiteral("drop U+FEFF inside a UTF-8 file (the byte-order marks of files joined "
                        "into one); without it they are characters no column can hold"),
         false},
        outputOption(QStringLiteral("OUT.lut")),
        removeBlankLinesOption()};
    options << listImportOptions();
    return options;
}

const Registrar importRegistrar(
    {QStringLiteral("import"),
     QStringLiteral("Makes a new vocabulary from a word list, or adds one to a vocabulary "
                    "(File > Import)."),
     {QStringLiteral("IN")},
     importOptions(),
     importCommand});
const Registrar fillRegistrar(
    {QStringLiteral("fill"),
     QStringLiteral("Fills empty answers and comments from another vocabulary (File > Special "
                    "Import)."),
     {QStringLiteral("IN.lut")},
     {{{QStringLiteral("from")},
       QStringLiteral("SOURCE.lut"),
       QStringLiteral("the vocabulary to take answers and comments from"),
       true},
      outputOption(QStringLiteral("OUT.lut")),
      removeBlankLinesOption(),
      oldFormatOption()},
     fillCommand});
const Registrar exportRegistrar(
    {QStringLiteral("export"),
     QStringLiteral("Writes the entries as tab-delimited text, an HTML page or a list for another "
                    "program (File > Export)."),
     {QStringLiteral("IN.lut")},
     {{{QStringLiteral("format")},
       QStringLiteral("FORMAT"),
       QStringLiteral("tab: tab-delimited text (the cells' bytes); html: an HTML page (UTF-8); "
                      "csv|ods|xlsx|kvtml|anki|quizlet: a list for another program (Unicode)"),
       true},
      {{QStringLiteral("utf8")},
       {},
       QStringLiteral("with --format tab: each column decoded with its font's code page, "
                      "written in UTF-8"),
       false},
      outputOption(QStringLiteral("OUT")),
      {{QStringLiteral("delimiter")},
       QStringLiteral("C"),
       QStringLiteral("csv: the delimiter (default comma); quizlet: between term and definition "
                      "(default tab)"),
       false},
      {{QStringLiteral("row-separator")},
       QStringLiteral("S"),
       QStringLiteral("quizlet: between rows (default a line end)"),
       false},
      listExportOptions().first()},
     exportCommand});

} // namespace
} // namespace lexanta::tool
