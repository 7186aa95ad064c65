// print: worksheets as PDF (File > Export as PDF).
#include "cli/tool.h"

#include "print/pdf_output.h"

namespace lexanta::tool {
namespace {

const QString kName = QStringLiteral("print");

// The options as given on the command line, or the usage message for the first one that
// is wrong.
QString readOptions(const Args& args, PrintOptions& o) {
    const auto given = [&args](const char* name) { return args.has(QString::fromLatin1(name)); };
    const auto value = [&args](const char* name) { return args.value(QString::fromLatin1(name)); };
    if (const auto layout = parseLayout(value("layout")))
        o.layout = *layout;
    else
        return QStringLiteral("--layout must be list, test, foldover or cards");
    if (given("fields")) {
        const auto fields = parseFields(value("fields"));
        if (!fields)
            return QStringLiteral("--fields takes q, a and c separated by commas, e.g. q,a,c");
        o.fields = *fields;
    }
    if (given("direction")) {
        const auto direction = parseDirection(value("direction"));
        if (!direction)
            return QStringLiteral("--direction must be q2a or a2q");
        o.direction = *direction;
    }
    bool ok = false;
    if (given("shuffle-seed")) {
        o.seed = value("shuffle-seed").toUInt(&ok);
        if (!ok)
            return QStringLiteral("--shuffle-seed takes a whole number from 0 to 4294967295");
        o.shuffle = true;
    }
    if (given("variants")) {
        o.variants = value("variants").toInt(&ok);
        if (!ok)
            return QStringLiteral("--variants takes a whole number");
    }
    o.answerKey = !given("no-answer-key");
    if (given("cards-per-page") && !parseCards(value("cards-per-page"), o.cardColumns, o.cardRows))
        return QStringLiteral("--cards-per-page takes columns x rows, e.g. 2x4");
    if (given("flip")) {
        const auto flip = parseFlip(value("flip"));
        if (!flip)
            return QStringLiteral("--flip must be long or short");
        o.flip = *flip;
    }
    if (given("page")) {
        const auto paper = parsePaper(value("page"));
        if (!paper)
            return QStringLiteral("--page must be a4, letter or auto");
        o.paper = *paper;
    }
    if (given("margin")) {
        o.marginMm = value("margin").toDouble(&ok);
        if (!ok)
            return QStringLiteral("--margin takes millimetres, e.g. 12 or 7.5");
    }
    if (given("font-scale")) {
        o.fontScale = value("font-scale").toDouble(&ok);
        if (!ok)
            return QStringLiteral("--font-scale takes a factor, e.g. 1.5");
    }
    if (given("language")) {
        const QString language = value("language");
        if (language == QLatin1String("en"))
            o.language = InterfaceLanguage::English;
        else if (language == QLatin1String("ru"))
            o.language = InterfaceLanguage::Russian;
        else
            return QStringLiteral("--language must be en or ru");
    }
    if (const QString wrong = checkOptions(o); !wrong.isEmpty())
        return wrong;
    return {};
}

int printCommand(const Args& args) {
    PrintOptions options;
    if (const QString wrong = readOptions(args, options); !wrong.isEmpty())
        return usageError(kName, wrong);
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    const PdfOutcome outcome =
        writeWorksheetPdf(args.output, doc.vocabulary(), printableEntries(doc.entries()), options);
    if (!outcome.io)
        return writeFailure(args.output, outcome.io.reason);
    if (!outcome.paint.complete)
        return writeFailure(args.output, QStringLiteral("the pages could not be painted"));
    return kOk;
}

CommandOption option(const char* name, const char* valueName, const char* help) {
    return {{QString::fromLatin1(name)},
            QString::fromLatin1(valueName),
            QString::fromUtf8(help),
            false};
}

const Registrar printRegistrar(
    {kName,
     QStringLiteral("Writes a word list, a test, a fold-over sheet or flash cards as PDF (File > "
                    "Export as PDF). Blank entries are left out."),
     {QStringLiteral("IN.lut")},
     {{{QStringLiteral("layout")},
       QStringLiteral("list|test|foldover|cards"),
       QStringLiteral("a table of the entries; a numbered test with ruled answer lines and an "
                      "answer key; questions and answers on the two halves of a sheet folded "
                      "down the middle; two-sided flash cards"),
       true},
      outputOption(QStringLiteral("OUT.pdf")),
      option("fields", "q,a,c", "list: the columns and their order (default q,a,c)"),
      option("direction", "q2a|a2q",
             "test, fold-over and cards: ask the answers for the questions (q2a, default) or "
             "the other way round"),
      option("shuffle-seed", "N", "test: shuffle the questions with this seed"),
      option("variants", "K",
             "test: K variants, A, B, ..., each in its own shuffled order (1 to 26, default 1)"),
      option("no-answer-key", "", "test: leave out the answer key pages"),
      option("cards-per-page", "CxR", "cards: columns x rows, 2x2 to 4x6 (default 2x4)"),
      option("flip", "long|short", "cards: the edge the two-sided sheet turns over (default long)"),
      option("page", "a4|letter|auto", "the paper (default auto: the locale's)"),
      option("margin", "MM", "the margins in millimetres, 5 to 40 (default 12)"),
      option("font-scale", "F",
             "the vocabulary's font size times F, 0.5 to 3 (default 1); cards print larger"),
      option("language", "en|ru", "the language of the captions on the page (default en)")},
     printCommand,
     true});

} // namespace
} // namespace lexanta::tool
