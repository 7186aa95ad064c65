#include "cli/tool.h"

#include <QTextStream>

#include <cstdio>

namespace lexanta::tool {

QString Args::value(const QString& name) const {
    for (int i = 0; i < options.size(); ++i) {
        const QString& o = options[i];
        if (o.startsWith(name + QLatin1Char('=')))
            return o.mid(name.size() + 1);
        if (o == name && i + 1 < options.size())
            return options[i + 1];
    }
    return {};
}

bool Args::has(const QString& name) const {
    for (const QString& o : options)
        if (o == name || o.startsWith(name + QLatin1Char('=')))
            return true;
    return false;
}

void printError(const QString& message) {
    std::fprintf(stderr, "lexanta-tool: %s\n", message.toLocal8Bit().constData());
}

bool loadVocabulary(const QString& path, Document& doc) {
    return report(doc.load(path)) == kOk;
}

int saveVocabulary(Document& doc, const Args& args) {
    SaveOptions options;
    options.removeBlankLines = args.removeBlankLines;
    options.chooseFormat = [&args] {
        return args.oldFormat ? FormatChoice::Old : FormatChoice::Current;
    };
    return report(doc.saveAs(args.output, options));
}

int report(const FileOutcome& outcome) {
    if (outcome.ok())
        return kOk;
    printError(outcome.message());
    return kIoError;
}

} // namespace lexanta::tool
