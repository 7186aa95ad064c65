#pragma once

// What a worksheet looks like: the layout and its choices, as the print dialog, the settings
// file and lexanta-tool print name them. Every choice has a text form ("cards", "2x4",
// "q,a,c") shared by the command line and the settings file.

#include "core/ui_language/language_tables.h"

#include <QMap>
#include <QString>

#include <optional>
#include <vector>

namespace lexanta {

enum class SheetLayout { List, Test, FoldOver, Cards };
// Which field is asked and which is to be written: the question shown and the answer asked
// for, or the other way round.
enum class Direction { QuestionToAnswer, AnswerToQuestion };
// The edge a two-sided sheet turns over; the backs of the cards are mirrored across it.
enum class Flip { LongEdge, ShortEdge };
enum class PaperChoice { FromLocale, A4, Letter };

struct PrintOptions {
    SheetLayout layout = SheetLayout::List;
    std::vector<int> fields{0, 1, 2}; // the list's columns, in order (kQuestion ...)
    Direction direction = Direction::QuestionToAnswer;
    bool shuffle = false; // a test in a shuffled order (always so for several variants)
    unsigned seed = 1;
    int variants = 1; // test variants, A to Z
    bool answerKey = true;
    int cardColumns = 2;
    int cardRows = 4;
    Flip flip = Flip::LongEdge;
    PaperChoice paper = PaperChoice::FromLocale;
    double marginMm = 12;
    double fontScale = 1.0;
    InterfaceLanguage language = InterfaceLanguage::English; // of the captions on the page

    bool operator==(const PrintOptions&) const = default;
};

inline constexpr int kMinCardColumns = 2, kMaxCardColumns = 4;
inline constexpr int kMinCardRows = 2, kMaxCardRows = 6;
inline constexpr int kMaxVariants = 26;
inline constexpr double kMinMarginMm = 5, kMaxMarginMm = 40;
inline constexpr double kMinFontScale = 0.5, kMaxFontScale = 3.0;

// Empty when the options can be printed, else what is wrong with them.
QString checkOptions(const PrintOptions& options);

// Text forms. The parsers give nothing for a text they do not know.
QString layoutName(SheetLayout layout); // list, test, foldover, cards
std::optional<SheetLayout> parseLayout(const QString& text);
QString fieldsName(const std::vector<int>& fields); // "q,a,c"
std::optional<std::vector<int>> parseFields(const QString& text);
QString directionName(Direction direction); // q2a, a2q
std::optional<Direction> parseDirection(const QString& text);
QString cardsName(int columns, int rows); // "2x4"
bool parseCards(const QString& text, int& columns, int& rows);
QString flipName(Flip flip); // long, short
std::optional<Flip> parseFlip(const QString& text);
QString paperName(PaperChoice paper); // auto, a4, letter
std::optional<PaperChoice> parsePaper(const QString& text);

// The options as keys and values (Layout=cards, Cards=2x4, ...) for a settings file, and
// back. A key that is missing or does not parse keeps the value of `defaults`.
QMap<QString, QString> optionsToValues(const PrintOptions& options);
PrintOptions optionsFromValues(const QMap<QString, QString>& values,
                               const PrintOptions& defaults = {});

// The paper a locale prints on: Letter in the Americas that use it, A4 elsewhere.
PaperChoice paperForLocale(const QString& localeName);
// The locale of paper sizes for this process: LC_ALL, else LC_PAPER, else LANG.
QString paperLocaleName();

} // namespace lexanta
