// check and replace: the list check and find-and-replace over a vocabulary.
#include "cli/tool.h"

#include "core/check/check_text.h"
#include "core/check/list_check.h"
#include "core/listops/replace.h"
#include "platform/codepage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace lexanta::tool {
namespace {

// check exits 1 for findings, so trouble (usage, unreadable or unwritable files) is 2.
constexpr int kFindings = 1;
constexpr int kTrouble = 2;

const QString kCheck = QStringLiteral("check");

std::optional<int> fieldOfName(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("q") || n == QLatin1String("question"))
        return kQuestion;
    if (n == QLatin1String("a") || n == QLatin1String("answer"))
        return kAnswer;
    if (n == QLatin1String("c") || n == QLatin1String("comment"))
        return kComment;
    return std::nullopt;
}

bool parseKinds(const QString& list, CheckKinds& kinds, QString& error) {
    kinds = 0;
    for (const QString& id : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::optional<CheckKind> kind = kindOfId(id.trimmed());
        if (!kind) {
            error = QStringLiteral("--kinds: unknown kind '%1'").arg(id);
            return false;
        }
        kinds |= kindBit(*kind);
    }
    if (kinds == 0)
        error = QStringLiteral("--kinds names no kind");
    return kinds != 0;
}

bool parseDictionaries(const QString& list, CheckOptions& options, QString& error) {
    for (const QString& item : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::optional<int> field = fieldOfName(item.section(QLatin1Char('='), 0, 0));
        if (!field || !item.contains(QLatin1Char('='))) {
            error =
                QStringLiteral("--dictionary takes FIELD=NAME items (Q=en_US), not '%1'").arg(item);
            return false;
        }
        const QString name = item.section(QLatin1Char('='), 1).trimmed();
        options.dictionaries[*field] = name == QLatin1String("none") ? QString() : name;
    }
    return true;
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

int printFindings(const ListCheck& check, const QString& path, bool json, bool suggest) {
    const bool english = true;
    const CheckSetup& setup = check.setup();
    for (const QString& note : setupNotes(setup, english))
        printError(note);
    QJsonArray items;
    std::string lines;
    for (const Finding& f : check.findings()) {
        const QStringList suggestions = suggest && f.problem == Problem::Misspelt
                                            ? check.suggestions(f.field, f.text)
                                            : QStringList();
        const QString text = describe(f, setup, english);
        if (json) {
            QJsonObject item{{QStringLiteral("entry"), f.entry + 1},
                             {QStringLiteral("field"), fieldTitle(f.field, true)},
                             {QStringLiteral("kind"), kindId(f.kind)},
                             {QStringLiteral("text"), text}};
            if (f.other >= 0)
                item.insert(QStringLiteral("other"), f.other + 1);
            if (f.problem == Problem::Misspelt) {
                item.insert(QStringLiteral("word"), f.text);
                item.insert(QStringLiteral("suggestions"), QJsonArray::fromStringList(suggestions));
            }
            items.append(item);
        } else {
            lines += utf8(
                QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                    .arg(f.entry + 1)
                    .arg(fieldTitle(f.field, true), kindId(f.kind), text, suggestions.value(0)));
        }
    }
    if (json) {
        QJsonArray notes;
        for (const QString& note : setupNotes(setup, english))
            notes.append(note);
        const QJsonObject root{{QStringLiteral("file"), path},
                               {QStringLiteral("findings"), items},
                               {QStringLiteral("notes"), notes}};
        printOut(QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString());
    } else {
        printOut(lines);
    }
    // Findings that did not get out are trouble, not findings.
    if (finishStandardOutput(kOk) != kOk)
        return kTrouble;
    return check.findings().empty() ? kOk : kFindings;
}

int checkCommand(const Args& args) {
    CheckOptions options;
    QString error;
    if (args.has(QStringLiteral("kinds")) &&
        !parseKinds(args.value(QStringLiteral("kinds")), options.kinds, error))
        return usageError(kCheck, error);
    if (args.has(QStringLiteral("dictionary")) &&
        !parseDictionaries(args.value(QStringLiteral("dictionary")), options, error))
        return usageError(kCheck, error);
    std::vector<CheckKind> fixes;
    if (args.has(QStringLiteral("fix"))) {
        for (const QString& name :
             args.value(QStringLiteral("fix")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString n = name.trimmed();
            if (n == QLatin1String("trim"))
                fixes.push_back(CheckKind::Blank);
            else if (n == QLatin1String("duplicates"))
                fixes.push_back(CheckKind::Duplicate);
            else if (n == QLatin1String("different-answers"))
                fixes.push_back(CheckKind::DifferentAnswers);
            else
                return usageError(kCheck, QStringLiteral("--fix takes trim, duplicates and "
                                                         "different-answers, not '%1'")
                                              .arg(n));
        }
        if (args.output.isEmpty())
            return usageError(kCheck, QStringLiteral("--fix needs -o OUT.lut"));
    } else if (!args.output.isEmpty()) {
        return usageError(kCheck, QStringLiteral("-o is for --fix"));
    }

    const QString path = args.positional.first();
    Document doc;
    if (!loadVocabulary(path, doc))
        return kTrouble;
    ListCheck check;
    for (CheckKind kind : fixes) {
        CheckOptions only = options;
        only.kinds = kindBit(kind);
        check.run(doc.vocabulary(), only);
        doc.applyListEdit(QStringLiteral("Fix"), planFixAll(doc.vocabulary(), check, kind));
    }
    if (!fixes.empty() && saveVocabulary(doc, args) != kOk)
        return kTrouble;
    check.run(doc.vocabulary(), options);
    const bool toStandardOutput = args.output == QLatin1String("-");
    if (toStandardOutput) // the file went there; the findings would spoil it
        return check.findings().empty() ? kOk : kFindings;
    return printFindings(check, path, args.has(QStringLiteral("json")),
                         !args.has(QStringLiteral("no-suggestions")));
}

int replaceCommand(const Args& args) {
    const QString name = QStringLiteral("replace");
    ReplaceOptions options;
    options.find = args.value(QStringLiteral("find"));
    options.with = args.value(QStringLiteral("with"));
    options.regex = args.has(QStringLiteral("regex"));
    options.matchCase = args.has(QStringLiteral("case"));
    options.wholeWords = args.has(QStringLiteral("whole-words"));
    if (args.has(QStringLiteral("fields"))) {
        options.fields = {false, false, false};
        for (const QString& f :
             args.value(QStringLiteral("fields")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const std::optional<int> field = fieldOfName(f);
            if (!field)
                return usageError(name,
                                  QStringLiteral("--fields takes q, a and c, not '%1'").arg(f));
            options.fields[*field] = true;
        }
    }
    QString error;
    if (!replacePattern(options, &error).isValid() || !error.isEmpty())
        return usageError(name, QStringLiteral("--find: %1").arg(error));

    Document doc;
    if (!loadVocabulary(args.positional.first(), doc))
        return kIoError;
    const std::array<const CodePage*, 3> pages{&doc.codePageOf(kQuestion), &doc.codePageOf(kAnswer),
                                               &doc.codePageOf(kComment)};
    ReplacePlan plan = planReplace(doc.entries(), options, pages);
    if (plan.refusedEntry >= 0) {
        printError(QStringLiteral("entry %1, %2: code page %3 cannot hold %4; nothing replaced")
                       .arg(plan.refusedEntry + 1)
                       .arg(fieldTitle(plan.refusedField, true))
                       .arg(pages[plan.refusedField]->number())
                       .arg(plan.refusedCharacters));
        return kIoError;
    }
    const int cells = static_cast<int>(plan.changes.size());
    doc.applyListEdit(QStringLiteral("Replace all"), {std::move(plan.changes), {}, {}});
    const int status = saveVocabulary(doc, args);
    if (status == kOk)
        printError(QStringLiteral("%1 replaced in %2 cells").arg(plan.replacements).arg(cells));
    return status;
}

const Registrar checkRegistrar(
    {kCheck,
     QStringLiteral("Checks a list before class: duplicate questions (case, accents, punctuation "
                    "and spacing ignored), the same question with different answers, spelling, "
                    "gaps, stray blanks and characters the drill program will not show as "
                    "typed. Prints one finding a line: entry, field, kind, text, suggestion. "
                    "Exit status: 0 nothing found, 1 findings, 2 usage error or a file that "
                    "could not be read or written."),
     {QStringLiteral("IN.lut")},
     {{{QStringLiteral("json")}, {}, QStringLiteral("print the findings as JSON"), false},
      {{QStringLiteral("kinds")},
       QStringLiteral("LIST"),
       QStringLiteral("check only these kinds: duplicates, different-answers, spelling, gaps, "
                      "blanks, characters"),
       false},
      {{QStringLiteral("dictionary")},
       QStringLiteral("Q=NAME,A=NAME,C=NAME"),
       QStringLiteral("the Hunspell dictionary of a field (en_US, ru_RU, ...; none for no "
                      "spelling) in place of the one its language gives"),
       false},
      {{QStringLiteral("no-suggestions")},
       {},
       QStringLiteral("do not ask the dictionaries for suggestions (much faster on long lists)"),
       false},
      {{QStringLiteral("fix")},
       QStringLiteral("LIST"),
       QStringLiteral("apply the clear fixes, then check again: trim (blanks), duplicates (join "
                      "repeats), different-answers (join answers with \"; \"); needs -o"),
       false},
      {{QStringLiteral("o"), QStringLiteral("output")},
       QStringLiteral("OUT.lut"),
       QStringLiteral("where --fix writes the fixed list; - writes standard output"),
       false}},
     checkCommand});

QList<CommandOption> replaceOptions() {
    return {
        {{QStringLiteral("find")}, QStringLiteral("TEXT"), QStringLiteral("what to find"), true},
        {{QStringLiteral("with")},
         QStringLiteral("TEXT"),
         QStringLiteral("what to put in its place; with --regex \\1 .. \\99 are the captures"),
         true},
        outputOption(QStringLiteral("OUT.lut")),
        {{QStringLiteral("fields")},
         QStringLiteral("q,a,c"),
         QStringLiteral("the fields to replace in (all three when not given)"),
         false},
        {{QStringLiteral("regex")},
         {},
         QStringLiteral("TEXT is a regular expression (Perl syntax)"),
         false},
        {{QStringLiteral("case")}, {}, QStringLiteral("match the letter case"), false},
        {{QStringLiteral("whole-words")}, {}, QStringLiteral("match whole words only"), false},
        removeBlankLinesOption(),
        oldFormatOption()};
}

const Registrar replaceRegistrar(
    {QStringLiteral("replace"),
     QStringLiteral("Replaces text in the chosen fields of every entry, as Edit > Replace... "
                    "does with Replace all. A replacement a field's code page cannot hold is "
                    "refused, naming the entry and the character, and nothing is written."),
     {QStringLiteral("IN.lut")},
     replaceOptions(),
     replaceCommand});

} // namespace
} // namespace lexanta::tool
