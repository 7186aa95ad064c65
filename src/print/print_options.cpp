#include "print/print_options.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cstdlib>

namespace lexanta {

namespace {

template <typename T> struct Named {
    T value;
    const char* name;
};

const Named<SheetLayout> kLayouts[] = {{SheetLayout::List, "list"},
                                       {SheetLayout::Test, "test"},
                                       {SheetLayout::FoldOver, "foldover"},
                                       {SheetLayout::Cards, "cards"}};
const Named<Direction> kDirections[] = {{Direction::QuestionToAnswer, "q2a"},
                                        {Direction::AnswerToQuestion, "a2q"}};
const Named<Flip> kFlips[] = {{Flip::LongEdge, "long"}, {Flip::ShortEdge, "short"}};
const Named<PaperChoice> kPapers[] = {
    {PaperChoice::FromLocale, "auto"}, {PaperChoice::A4, "a4"}, {PaperChoice::Letter, "letter"}};
const char kFieldLetters[] = {'q', 'a', 'c'};

template <typename T, std::size_t N> QString nameOf(const Named<T> (&table)[N], T value) {
    for (const Named<T>& n : table)
        if (n.value == value)
            return QString::fromLatin1(n.name);
    return {};
}

template <typename T, std::size_t N>
std::optional<T> valueOf(const Named<T> (&table)[N], const QString& text) {
    const QString key = text.trimmed().toLower();
    for (const Named<T>& n : table)
        if (key == QLatin1String(n.name))
            return n.value;
    return std::nullopt;
}

// A decimal number with '.' or ',' as its point.
std::optional<double> parseNumber(const QString& text) {
    bool ok = false;
    const double value = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

} // namespace

QString checkOptions(const PrintOptions& o) {
    if (o.fields.empty() || o.fields.size() > 3)
        return QStringLiteral("the list needs one to three of the fields q, a and c");
    for (std::size_t i = 0; i < o.fields.size(); ++i) {
        if (o.fields[i] < 0 || o.fields[i] > 2)
            return QStringLiteral("the list prints only the fields q, a and c");
        if (std::count(o.fields.begin(), o.fields.end(), o.fields[i]) > 1)
            return QStringLiteral("each field may appear once in the list");
    }
    if (o.cardColumns < kMinCardColumns || o.cardColumns > kMaxCardColumns ||
        o.cardRows < kMinCardRows || o.cardRows > kMaxCardRows)
        return QStringLiteral("cards per page go from %1 to %2 (columns x rows)")
            .arg(cardsName(kMinCardColumns, kMinCardRows),
                 cardsName(kMaxCardColumns, kMaxCardRows));
    if (o.variants < 1 || o.variants > kMaxVariants)
        return QStringLiteral("a test has 1 to %1 variants").arg(kMaxVariants);
    if (!(o.marginMm >= kMinMarginMm && o.marginMm <= kMaxMarginMm))
        return QStringLiteral("margins go from %1 to %2 mm").arg(kMinMarginMm).arg(kMaxMarginMm);
    if (!(o.fontScale >= kMinFontScale && o.fontScale <= kMaxFontScale))
        return QStringLiteral("the font size factor goes from %1 to %2")
            .arg(kMinFontScale)
            .arg(kMaxFontScale);
    return {};
}

QString layoutName(SheetLayout layout) {
    return nameOf(kLayouts, layout);
}

std::optional<SheetLayout> parseLayout(const QString& text) {
    return valueOf(kLayouts, text);
}

QString fieldsName(const std::vector<int>& fields) {
    QStringList names;
    for (int field : fields)
        if (field >= 0 && field < 3)
            names << QString(QLatin1Char(kFieldLetters[field]));
    return names.join(QLatin1Char(','));
}

std::optional<std::vector<int>> parseFields(const QString& text) {
    std::vector<int> fields;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QString letter = part.trimmed().toLower();
        const char* found = letter.size() == 1
                                ? std::find(std::begin(kFieldLetters), std::end(kFieldLetters),
                                            letter.at(0).toLatin1())
                                : std::end(kFieldLetters);
        if (found == std::end(kFieldLetters))
            return std::nullopt;
        fields.push_back(static_cast<int>(found - std::begin(kFieldLetters)));
    }
    return fields;
}

QString directionName(Direction direction) {
    return nameOf(kDirections, direction);
}

std::optional<Direction> parseDirection(const QString& text) {
    return valueOf(kDirections, text);
}

QString cardsName(int columns, int rows) {
    return QStringLiteral("%1x%2").arg(columns).arg(rows);
}

bool parseCards(const QString& text, int& columns, int& rows) {
    const QStringList parts = text.trimmed().toLower().split(QLatin1Char('x'));
    if (parts.size() != 2)
        return false;
    bool okColumns = false, okRows = false;
    const int c = parts[0].toInt(&okColumns);
    const int r = parts[1].toInt(&okRows);
    if (!okColumns || !okRows)
        return false;
    columns = c;
    rows = r;
    return true;
}

QString flipName(Flip flip) {
    return nameOf(kFlips, flip);
}

std::optional<Flip> parseFlip(const QString& text) {
    return valueOf(kFlips, text);
}

QString paperName(PaperChoice paper) {
    return nameOf(kPapers, paper);
}

std::optional<PaperChoice> parsePaper(const QString& text) {
    return valueOf(kPapers, text);
}

QMap<QString, QString> optionsToValues(const PrintOptions& o) {
    QMap<QString, QString> v;
    v[QStringLiteral("Layout")] = layoutName(o.layout);
    v[QStringLiteral("Fields")] = fieldsName(o.fields);
    v[QStringLiteral("Direction")] = directionName(o.direction);
    v[QStringLiteral("Shuffle")] = o.shuffle ? QStringLiteral("1") : QStringLiteral("0");
    v[QStringLiteral("Seed")] = QString::number(o.seed);
    v[QStringLiteral("Variants")] = QString::number(o.variants);
    v[QStringLiteral("AnswerKey")] = o.answerKey ? QStringLiteral("1") : QStringLiteral("0");
    v[QStringLiteral("Cards")] = cardsName(o.cardColumns, o.cardRows);
    v[QStringLiteral("Flip")] = flipName(o.flip);
    v[QStringLiteral("Paper")] = paperName(o.paper);
    v[QStringLiteral("Margin")] = QString::number(o.marginMm);
    v[QStringLiteral("FontScale")] = QString::number(o.fontScale);
    return v;
}

PrintOptions optionsFromValues(const QMap<QString, QString>& v, const PrintOptions& defaults) {
    PrintOptions o = defaults;
    const auto text = [&v](const char* key) { return v.value(QString::fromLatin1(key)); };
    if (const auto layout = parseLayout(text("Layout")))
        o.layout = *layout;
    if (const auto fields = parseFields(text("Fields"))) {
        PrintOptions candidate = o;
        candidate.fields = *fields;
        if (checkOptions(candidate).isEmpty())
            o.fields = *fields;
    }
    if (const auto direction = parseDirection(text("Direction")))
        o.direction = *direction;
    if (const QString shuffle = text("Shuffle");
        shuffle == QLatin1String("0") || shuffle == QLatin1String("1"))
        o.shuffle = shuffle == QLatin1String("1");
    bool ok = false;
    if (const uint seed = text("Seed").toUInt(&ok); ok)
        o.seed = seed;
    if (const int variants = text("Variants").toInt(&ok);
        ok && variants >= 1 && variants <= kMaxVariants)
        o.variants = variants;
    if (const QString key = text("AnswerKey");
        key == QLatin1String("0") || key == QLatin1String("1"))
        o.answerKey = key == QLatin1String("1");
    int columns = 0, rows = 0;
    if (parseCards(text("Cards"), columns, rows) && columns >= kMinCardColumns &&
        columns <= kMaxCardColumns && rows >= kMinCardRows && rows <= kMaxCardRows) {
        o.cardColumns = columns;
        o.cardRows = rows;
    }
    if (const auto flip = parseFlip(text("Flip")))
        o.flip = *flip;
    if (const auto paper = parsePaper(text("Paper")))
        o.paper = *paper;
    if (const auto margin = parseNumber(text("Margin"));
        margin && *margin >= kMinMarginMm && *margin <= kMaxMarginMm)
        o.marginMm = *margin;
    if (const auto scale = parseNumber(text("FontScale"));
        scale && *scale >= kMinFontScale && *scale <= kMaxFontScale)
        o.fontScale = *scale;
    return o;
}

PaperChoice paperForLocale(const QString& localeName) {
    QString name = localeName.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    if (name.isEmpty() || name == QLatin1String("C") || name == QLatin1String("POSIX"))
        return PaperChoice::A4;
    const QLocale locale(name);
    // Letter is the paper of the United States, Canada, Mexico and much of Latin America and
    // of the Philippines; QLocale knows the measurement system of only the first.
    static const QLocale::Territory letter[] = {
        QLocale::UnitedStates, QLocale::Canada,     QLocale::Mexico,           QLocale::Chile,
        QLocale::Colombia,     QLocale::CostaRica,  QLocale::Guatemala,        QLocale::Panama,
        QLocale::Philippines,  QLocale::PuertoRico, QLocale::Venezuela,        QLocale::ElSalvador,
        QLocale::Nicaragua,    QLocale::Honduras,   QLocale::DominicanRepublic};
    if (locale.language() == QLocale::C)
        return PaperChoice::A4;
    return std::find(std::begin(letter), std::end(letter), locale.territory()) != std::end(letter)
               ? PaperChoice::Letter
               : PaperChoice::A4;
}

QString paperLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_PAPER", "LANG"})
        if (const char* value = std::getenv(variable); value && *value)
            return QString::fromLocal8Bit(value);
    return {};
}

} // namespace lexanta
