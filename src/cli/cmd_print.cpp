// print: worksheets as PDF (File > Export as PDF). The pages are painted by the page painter
// (cli/pages), which loads Qt Gui; this is what lexanta-tool knows of the command.
#include "cli/tool.h"

namespace lexanta::tool {
namespace {

const QString kName = QStringLiteral("print");

CommandOption option(const char* name, const char* valueName, const char* help) {
    return {{QString::fromLatin1(name)},
            QString::fromLatin1(valueName),
            QString::fromUtf8(help),
            false};
}

const Registrar printRegistrar(
    {kName,
     QStringLiteral("Writes a word list, a test, a fold-over sheet or flash cards as PDF (File > "
                    "Export as PDF). Blank entries are left out."),
     {QStringLiteral("IN.lut")},
     {{{QStringLiteral("layout")},
       QStringLiteral("list|test|foldover|cards"),
       QStringLiteral("a table of the entries; a numbered test with ruled answer lines and an "
                      "answer key; questions and answers on the two halves of a sheet folded "
                      "down the middle; two-sided flash cards"),
       true},
      outputOption(QStringLiteral("OUT.pdf")),
      option("fields", "q,a,c", "list: the columns and their order (default q,a,c)"),
      option("direction", "q2a|a2q",
             "test, fold-over and cards: ask the answers for the questions (q2a, default) or "
             "the other way round"),
      option("shuffle-seed", "N", "test: shuffle the questions with this seed"),
      option("variants", "K",
             "test: K variants, A, B, ..., each in its own shuffled order (1 to 26, default 1)"),
      option("no-answer-key", "", "test: leave out the answer key pages"),
      option("cards-per-page", "CxR", "cards: columns x rows, 2x2 to 4x6 (default 2x4)"),
      option("flip", "long|short", "cards: the edge the two-sided sheet turns over (default long)"),
      option("page", "a4|letter|auto", "the paper (default auto: the locale's)"),
      option("margin", "MM", "the margins in millimetres, 5 to 40 (default 12)"),
      option("font-scale", "F",
             "the vocabulary's font size times F, 0.5 to 3 (default 1); cards print larger"),
      option("language", "en|ru", "the language of the captions on the page (default en)")},
     runPrint,
     true});

} // namespace
} // namespace lexanta::tool
