// import, fill and export: File > Import, File > Special Import and File > Export.
#include "cli/tool.h"

#include "interchange/text_export.h"
#include "platform/file_io.h"

namespace lexanta::tool {
namespace {

// Options other than the command's own value options are mistakes.
bool onlyOptions(const Args& args, const QStringList& allowed, QString& unexpected) {
    for (int i = 0; i < args.options.size(); ++i) {
        const QString name = args.options[i].section(QLatin1Char('='), 0, 0);
        if (!allowed.contains(name)) {
            unexpected = name;
            return false;
        }
        if (name == args.options[i])
            ++i; // its value follows
    }
    return true;
}

int importCommand(const Args& args) {
    const QString name = QStringLiteral("import");
    QString unexpected;
    if (!onlyOptions(args, {QStringLiteral("--format")}, unexpected))
        return usageError(name, QStringLiteral("unknown option %1").arg(unexpected));
    if (args.positional.size() != 1 || args.output.isEmpty())
        return usageError(name, QStringLiteral("import takes one input file and -o OUTPUT"));
    const QString formatName = args.value(QStringLiteral("--format"));
    ImportFormat format;
    if (formatName == QLatin1String("text"))
        format = ImportFormat::TextPairs;
    else if (formatName == QLatin1String("tab2"))
        format = ImportFormat::TwoFields;
    else if (formatName == QLatin1String("tab3"))
        format = ImportFormat::ThreeFields;
    else
        return usageError(name, QStringLiteral("--format must be text, tab2 or tab3"));

    Document doc;
    if (const int status = report(doc.importText(args.positional.first(), format)); status != kOk)
        return status;
    return saveVocabulary(doc, args);
}

int fillCommand(const Args& args) {
    const QString name = QStringLiteral("fill");
    QString unexpected;
    if (!onlyOptions(args, {QStringLiteral("--from")}, unexpected))
        return usageError(name, QStringLiteral("unknown option %1").arg(unexpected));
    const QString source = args.value(QStringLiteral("--from"));
    if (args.positional.size() != 1 || args.output.isEmpty() || source.isEmpty())
        return usageError(name,
                          QStringLiteral("fill takes one input file, --from SOURCE and -o OUTPUT"));
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    if (const int status = report(doc.specialImport(source)); status != kOk)
        return status;
    return saveVocabulary(doc, args);
}

int exportCommand(const Args& args) {
    const QString name = QStringLiteral("export");
    QString unexpected;
    if (!onlyOptions(args, {QStringLiteral("--format")}, unexpected))
        return usageError(name, QStringLiteral("unknown option %1").arg(unexpected));
    if (args.positional.size() != 1 || args.output.isEmpty())
        return usageError(name, QStringLiteral("export takes one input file and -o OUTPUT"));
    const QString formatName = args.value(QStringLiteral("--format"));
    if (formatName != QLatin1String("tab") && formatName != QLatin1String("html"))
        return usageError(name, QStringLiteral("--format must be tab or html"));
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    const std::string page = formatName == QLatin1String("tab") ? exportTabDelimited(doc.entries())
                                                                : exportHtml(doc.vocabulary());
    const IoResult written = writeWholeFile(args.output, page);
    if (!written) {
        printError(written.message(QStringLiteral("cannot write")));
        return kIoError;
    }
    return kOk;
}

const Registrar importRegistrar({QStringLiteral("import"),
                                 QStringLiteral("import --format text|tab2|tab3 IN.txt -o OUT.lut "
                                                "[--remove-blank-lines]"),
                                 {QStringLiteral("--format")},
                                 importCommand});
const Registrar fillRegistrar({QStringLiteral("fill"),
                               QStringLiteral("fill IN.lut --from SOURCE.lut -o OUT.lut "
                                              "[--remove-blank-lines] [--old-format]"),
                               {QStringLiteral("--from")},
                               fillCommand});
const Registrar exportRegistrar({QStringLiteral("export"),
                                 QStringLiteral("export --format tab|html IN.lut -o OUT"),
                                 {QStringLiteral("--format")},
                                 exportCommand});

} // namespace
} // namespace lexanta::tool
