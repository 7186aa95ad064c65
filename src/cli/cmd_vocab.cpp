// info and save: File > Load, then a report or File > Save.
#include "cli/tool.h"

#include "platform/file_io.h"
#include "vocab/lut_format.h"

#include <QString>

#include <cstdio>

namespace lexanta::tool {
namespace {

int info(const Args& args) {
    if (args.positional.size() != 1 || !args.output.isEmpty())
        return usageError(QStringLiteral("info"), QStringLiteral("info takes one input file"));
    Vocabulary doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    const VocabularyHeader& h = doc.header;
    std::string out;
    out += std::string("format: ") + (doc.currentFormat ? "current" : "old") + "\n";
    out += "entries: " + std::to_string(doc.entries.entryCount()) + "\n";
    out += "questions-language: " + h.questionsLanguage + "\n";
    out += "answers-language: " + h.answersLanguage + "\n";
    out += "title: " + h.title + "\n";
    out += "author: " + h.author + "\n";
    out += "date: " + h.date + "\n";
    out += "layouts: " + h.layoutNames[0] + " " + h.layoutNames[1] + " " + h.layoutNames[2] + "\n";
    out += "font-size: " + std::to_string(h.fontSize) + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kOk;
}

int save(const Args& args) {
    if (args.positional.size() != 1 || args.output.isEmpty())
        return usageError(QStringLiteral("save"),
                          QStringLiteral("save takes one input file and -o OUTPUT"));
    Vocabulary doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    return saveVocabulary(doc, args);
}

int merge(const Args& args) {
    if (args.positional.size() != 2 || args.output.isEmpty())
        return usageError(QStringLiteral("merge"),
                          QStringLiteral("merge takes two input files and -o OUTPUT"));
    Vocabulary doc;
    if (!loadVocabulary(args.positional[0], doc))
        return kIoError;
    std::string other;
    const IoResult read = readWholeFile(args.positional[1], other);
    if (!read) {
        printError(read.message(QStringLiteral("cannot read")));
        return kIoError;
    }
    std::string error;
    mergeEntries(other, doc.entries, &error);
    if (!error.empty()) {
        printError(QStringLiteral("cannot merge %1: %2")
                       .arg(args.positional[1], QString::fromStdString(error)));
        return kIoError;
    }
    return saveVocabulary(doc, args);
}

const Registrar mergeCommand({QStringLiteral("merge"),
                              QStringLiteral("merge IN.lut OTHER.lut -o OUT.lut "
                                             "[--remove-blank-lines] [--old-format]"),
                              {},
                              merge});
const Registrar infoCommand({QStringLiteral("info"), QStringLiteral("info FILE.lut"), {}, info});
const Registrar saveCommand({QStringLiteral("save"),
                             QStringLiteral("save IN.lut -o OUT.lut [--remove-blank-lines] "
                                            "[--old-format]"),
                             {},
                             save});

} // namespace
} // namespace lexanta::tool
