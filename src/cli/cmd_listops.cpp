// sort, shuffle, swap and frequency: File > Load, the list command, File > Save.
#include "cli/tool.h"

#include "platform/collation.h"

#include <QString>

#include <ctime>

namespace lexanta::tool {
namespace {

int sortCommand(const Args& args) {
    const QString name = QStringLiteral("sort");
    const QString by = args.value(QStringLiteral("by"));
    int field = kQuestion;
    if (by == QLatin1String("question"))
        field = kQuestion;
    else if (by == QLatin1String("answer"))
        field = kAnswer;
    else if (by == QLatin1String("comment"))
        field = kComment;
    else
        return usageError(
            name, QStringLiteral("--by takes question, answer or comment, not '%1'").arg(by));

    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    const KeyCollator collator;
    if (!doc.sortBy(field, collator))
        return notEnoughMemory(QStringLiteral("sort"), args.positional.first());
    return saveVocabulary(doc, args);
}

int shuffleCommand(const Args& args) {
    const QString name = QStringLiteral("shuffle");
    unsigned seed = static_cast<unsigned>(std::time(nullptr));
    if (args.has(QStringLiteral("seed"))) {
        bool ok = false;
        seed = args.value(QStringLiteral("seed")).toUInt(&ok);
        if (!ok)
            return usageError(name, QStringLiteral("--seed takes a whole number from 0 to %1")
                                        .arg(static_cast<unsigned>(-1)));
    }
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    if (!doc.shuffle(seed))
        return notEnoughMemory(QStringLiteral("shuffle"), args.positional.first());
    return saveVocabulary(doc, args);
}

int swapCommand(const Args& args) {
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    if (!doc.swapQuestionAnswer())
        return notEnoughMemory(QStringLiteral("swap"), args.positional.first());
    return saveVocabulary(doc, args);
}

int frequencyCommand(const Args& args) {
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    const KeyCollator collator;
    if (!doc.frequencyAnalysis(collator))
        return notEnoughMemory(QStringLiteral("analyse"), args.positional.first());
    return saveVocabulary(doc, args);
}

// Every list command writes a vocabulary.
QList<CommandOption> writing(QList<CommandOption> own) {
    own << outputOption(QStringLiteral("OUT.lut")) << removeBlankLinesOption() << oldFormatOption();
    return own;
}

const Registrar
    sortRegistrar({QStringLiteral("sort"),
                   QStringLiteral("Sorts the entries by one field, as Service > Sort does."),
                   {QStringLiteral("IN.lut")},
                   writing({{{QStringLiteral("by")},
                             QStringLiteral("question|answer|comment"),
                             QStringLiteral("the field to sort by"),
                             true}}),
                   sortCommand});
const Registrar shuffleRegistrar(
    {QStringLiteral("shuffle"),
     QStringLiteral("Puts the entries in random order."),
     {QStringLiteral("IN.lut")},
     writing({{{QStringLiteral("seed")},
               QStringLiteral("N"),
               QStringLiteral("start the generator at N (0 to 4294967295) for a repeatable order"),
               false}}),
     shuffleCommand});
const Registrar swapRegistrar({QStringLiteral("swap"),
                               QStringLiteral("Swaps questions and answers with their fonts and "
                                              "keyboard layouts."),
                               {QStringLiteral("IN.lut")},
                               writing({}),
                               swapCommand});
const Registrar frequencyRegistrar({QStringLiteral("frequency"),
                                    QStringLiteral("Replaces the list by its distinct questions "
                                                   "and their counts."),
                                    {QStringLiteral("IN.lut")},
                                    writing({}),
                                    frequencyCommand});

} // namespace
} // namespace lexanta::tool
