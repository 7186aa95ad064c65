// info and save: File > Load, then a report or File > Save.
#include "cli/tool.h"

#include "core/vocab/drill_limits.h"
#include "platform/codepage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace lexanta::tool {
namespace {

// The facts as JSON: texts decoded as the window shows the description (system code page).
std::string infoJson(const Document& doc) {
    const VocabularyHeader& h = doc.header();
    const CodePage& page = CodePage::get(systemAnsiCodePage());
    QJsonArray layouts;
    for (const std::string& name : h.layoutNames)
        layouts.append(page.decode(name));
    const QJsonObject facts{
        {QStringLiteral("format"),
         doc.vocabulary().currentFormat ? QStringLiteral("current") : QStringLiteral("old")},
        {QStringLiteral("entries"), static_cast<qint64>(doc.entries().entryCount())},
        {QStringLiteral("questions-language"), page.decode(h.questionsLanguage)},
        {QStringLiteral("answers-language"), page.decode(h.answersLanguage)},
        {QStringLiteral("title"), page.decode(h.title)},
        {QStringLiteral("author"), page.decode(h.author)},
        {QStringLiteral("date"), page.decode(h.date)},
        {QStringLiteral("layouts"), layouts},
        {QStringLiteral("font-size"), h.fontSize},
        {QStringLiteral("over-long-texts"), findOverlongTexts(doc.vocabulary()).count},
    };
    return QJsonDocument(facts).toJson(QJsonDocument::Compact).toStdString() + "\n";
}

int info(const Args& args) {
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    if (args.has(QStringLiteral("json"))) {
        printOut(infoJson(doc));
        return kOk;
    }
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
    // Texts the drill program would read out of step; said only when there are any.
    if (const OverlongTexts found = findOverlongTexts(doc.vocabulary()); found.count > 0) {
        static const char* const kFields[] = {"question", "answer", "comment", "value 1",
                                              "value 2"};
        out += "over-long texts: " + std::to_string(found.count) + " (first: " +
               (found.inDescription ? std::string("the description")
                                    : "entry " + std::to_string(found.firstEntry + 1) + ", " +
                                          kFields[found.firstField]) +
               "; the drill program reads " + std::to_string(kDrillEntryLineLimit) +
               " characters of an entry line, " + std::to_string(kDrillDescriptionLineLimit) +
               " of a description line)\n";
    }
    printOut(out);
    return kOk;
}

int save(const Args& args) {
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    return saveVocabulary(doc, args);
}

int merge(const Args& args) {
    Document doc;
    if (!loadVocabulary(args.positional[0], doc))
        return kIoError;
    if (const int status = report(doc.merge(args.positional[1])); status != kOk)
        return status;
    return saveVocabulary(doc, args);
}

const Registrar infoCommand({QStringLiteral("info"),
                             QStringLiteral("Prints the description, the entry count and the "
                                            "format of a vocabulary."),
                             {QStringLiteral("FILE.lut")},
                             {{{QStringLiteral("json")},
                               {},
                               QStringLiteral("print the same facts as one JSON object (UTF-8)"),
                               false}},
                             info});
const Registrar saveCommand({QStringLiteral("save"),
                             QStringLiteral("Loads and saves a vocabulary as File > Load and "
                                            "File > Save do."),
                             {QStringLiteral("IN.lut")},
                             {outputOption(QStringLiteral("OUT.lut")), removeBlankLinesOption(),
                              oldFormatOption()},
                             save});
const Registrar mergeCommand({QStringLiteral("merge"),
                              QStringLiteral("Appends the entries of OTHER.lut to IN.lut (File "
                                             "> Merge)."),
                              {QStringLiteral("IN.lut"), QStringLiteral("OTHER.lut")},
                              {outputOption(QStringLiteral("OUT.lut")), removeBlankLinesOption(),
                               oldFormatOption()},
                              merge});

} // namespace
} // namespace lexanta::tool
