// info and save: File > Load, then a report or File > Save.
#include "cli/tool.h"

#include <QString>

#include <cstdio>

namespace lexanta::tool {
namespace {

int info(const Args& args) {
    if (args.positional.size() != 1 || !args.output.isEmpty())
        return usageError(QStringLiteral("info"), QStringLiteral("info takes one input file"));
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    const VocabularyHeader& h = doc.header();
    std::string out;
    out += std::string("format: ") + (doc.vocabulary().currentFormat ? "current" : "old") + "\n";
    out += "entries: " + std::to_string(doc.entries().entryCount()) + "\n";
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
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    return saveVocabulary(doc, args);
}

int merge(const Args& args) {
    if (args.positional.size() != 2 || args.output.isEmpty())
        return usageError(QStringLiteral("merge"),
                          QStringLiteral("merge takes two input files and -o OUTPUT"));
    Document doc;
    if (!loadVocabulary(args.positional[0], doc))
        return kIoError;
    if (const int status = report(doc.merge(args.positional[1])); status != kOk)
        return status;
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
