#include "cli/tool.h"

#include "listops/cleanup.h"
#include "platform/file_io.h"
#include "vocab/lut_format.h"

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

bool loadVocabulary(const QString& path, Vocabulary& doc) {
    std::string bytes;
    const IoResult read = readWholeFile(path, bytes);
    if (!read) {
        printError(read.message(QStringLiteral("cannot read")));
        return false;
    }
    // The table keeps the bytes it was read from, so they are handed over, not copied.
    std::string error;
    if (!readVocabulary(std::move(bytes), doc, &error)) {
        printError(QStringLiteral("cannot read %1: %2").arg(path, QString::fromStdString(error)));
        return false;
    }
    return true;
}

int saveVocabulary(Vocabulary& doc, const Args& args) {
    if (args.removeBlankLines)
        removeBlankLines(doc.entries);
    normalizeCells(doc.entries);
    dropTrailingBlankRow(doc.entries);
    const bool withHeader = doc.currentFormat || !args.oldFormat;
    const IoResult written = writeWholeFile(args.output, serializeVocabulary(doc, withHeader));
    if (!written) {
        printError(written.message(QStringLiteral("cannot write")));
        return kIoError;
    }
    return kOk;
}

} // namespace lexanta::tool
