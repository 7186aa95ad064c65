// The print command's painting, in the page painter.
#include "cli/tool.h"

#include "print/pdf_output.h"

#include <QGuiApplication>

#include <memory>

namespace lexanta::tool {
namespace {

// The options as given on the command line, or the usage message for the first one that
// is wrong.
QString readOptions(const Args& args, PrintOptions& o) {
    const auto given = [&args](const char* name) { return args.has(QString::fromLatin1(name)); };
    const auto value = [&args](const char* name) { return args.value(QString::fromLatin1(name)); };
    if (const auto layout = parseLayout(value("layout")))
        o.layout = *layout;
    else
        return QStringLiteral("--layout must be list, test, foldover or cards");
    // An option that a parser takes or refuses: false when given and refused.
    const auto parsed = [&](const char* name, auto parse, auto& target) {
        if (!given(name))
            return true;
        const auto parsedValue = parse(value(name));
        if (parsedValue)
            target = *parsedValue;
        return parsedValue.has_value();
    };
    if (!parsed("fields", parseFields, o.fields))
        return QStringLiteral("--fields takes q, a and c separated by commas, e.g. q,a,c");
    if (!parsed("direction", parseDirection, o.direction))
        return QStringLiteral("--direction must be q2a or a2q");
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
    if (!parsed("flip", parseFlip, o.flip))
        return QStringLiteral("--flip must be long or short");
    if (!parsed("page", parsePaper, o.paper))
        return QStringLiteral("--page must be a4, letter or auto");
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

QtMessageHandler qtMessages = nullptr;

// The offscreen platform asks for a runtime folder that a batch job need not have; that is
// no concern of printing, and the tool's error output is for its own messages.
void withoutRuntimeFolderNotice(QtMsgType type, const QMessageLogContext& context,
                                const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    qtMessages(type, context, message);
}

} // namespace

int runPrint(const Args& args) {
    PrintOptions options;
    if (const QString wrong = readOptions(args, options); !wrong.isEmpty())
        return usageError(QStringLiteral("print"), wrong);
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

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv) {
    if (argc < 2 || !paintsPages(argv[1]))
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qtMessages = qInstallMessageHandler(withoutRuntimeFolderNotice);
    // Qt sees no arguments: it would take some of the command's for its own.
    static int noArguments = 1;
    return std::make_unique<QGuiApplication>(noArguments, argv);
}

} // namespace lexanta::tool
