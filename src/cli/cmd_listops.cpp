// sort, shuffle, swap and frequency: File > Load, the list command, File > Save.
#include "cli/tool.h"

#include "platform/collation.h"

#include <QString>

#include <ctime>

namespace lexanta::tool {
namespace {

// Checks the shape shared by the list commands: one input file, -o OUTPUT, and no options
// besides `allowed` (value options).
int checkArgs(const QString& command, const Args& args, const QStringList& allowed = {}) {
    if (args.positional.size() != 1 || args.output.isEmpty())
        return usageError(command,
                          QStringLiteral("%1 takes one input file and -o OUTPUT").arg(command));
    for (int i = 0; i < args.options.size(); ++i) {
        const QString& option = args.options[i];
        const QString name = option.section(QLatin1Char('='), 0, 0);
        if (!allowed.contains(name))
            return usageError(command, QStringLiteral("unknown option %1").arg(name));
        if (name == option)
            ++i; // its value follows
    }
    return kOk;
}

int sortCommand(const Args& args) {
    const QString name = QStringLiteral("sort");
    if (const int status = checkArgs(name, args, {QStringLiteral("--by")}); status != kOk)
        return status;
    const QString by = args.value(QStringLiteral("--by"));
    int column = 0;
    if (by == QLatin1String("question"))
        column = kQuestion;
    else if (by == QLatin1String("answer"))
        column = kAnswer;
    else if (by == QLatin1String("comment"))
        column = kComment;
    else if (by.isEmpty())
        return usageError(name, QStringLiteral("sort needs --by question, answer or comment"));
    else
        return usageError(
            name, QStringLiteral("--by takes question, answer or comment, not '%1'").arg(by));

    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    const KeyCollator collator;
    doc.sortBy(column, collator);
    return saveVocabulary(doc, args);
}

int shuffleCommand(const Args& args) {
    const QString name = QStringLiteral("shuffle");
    if (const int status = checkArgs(name, args, {QStringLiteral("--seed")}); status != kOk)
        return status;
    unsigned seed = static_cast<unsigned>(std::time(nullptr));
    if (args.has(QStringLiteral("--seed"))) {
        bool ok = false;
        seed = args.value(QStringLiteral("--seed")).toUInt(&ok);
        if (!ok)
            return usageError(name, QStringLiteral("--seed takes a whole number from 0 to %1")
                                        .arg(static_cast<unsigned>(-1)));
    }
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    doc.shuffle(seed);
    return saveVocabulary(doc, args);
}

int swapCommand(const Args& args) {
    const QString name = QStringLiteral("swap");
    if (const int status = checkArgs(name, args); status != kOk)
        return status;
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    doc.swapQuestionAnswer();
    return saveVocabulary(doc, args);
}

int frequencyCommand(const Args& args) {
    const QString name = QStringLiteral("frequency");
    if (const int status = checkArgs(name, args); status != kOk)
        return status;
    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    const KeyCollator collator;
    doc.frequencyAnalysis(collator);
    return saveVocabulary(doc, args);
}

const Registrar sortRegistrar(
    {QStringLiteral("sort"),
     QStringLiteral("sort --by question|answer|comment IN.lut -o OUT.lut [--remove-blank-lines]"),
     {QStringLiteral("--by")},
     sortCommand});
const Registrar
    shuffleRegistrar({QStringLiteral("shuffle"),
                      QStringLiteral("shuffle [--seed N] IN.lut -o OUT.lut [--remove-blank-lines]"),
                      {QStringLiteral("--seed")},
                      shuffleCommand});
const Registrar swapRegistrar({QStringLiteral("swap"),
                               QStringLiteral("swap IN.lut -o OUT.lut [--remove-blank-lines]"),
                               {},
                               swapCommand});
const Registrar
    frequencyRegistrar({QStringLiteral("frequency"),
                        QStringLiteral("frequency IN.lut -o OUT.lut [--remove-blank-lines]"),
                        {},
                        frequencyCommand});

} // namespace
} // namespace lexanta::tool
