#include "platform/keyboard_layouts.h"

#include <QSet>

#include <unicode/uloc.h>

namespace lexanta {

namespace {

struct LanguageLayout {
    std::uint16_t language;
    const char* layout;
    const char* variant;
};

// Windows language ids and the XKB layouts that type them. Where several
// languages share a layout, the first row is the one a layout maps back to.
constexpr LanguageLayout kLanguageLayouts[] = {
    {0x0409, "us", ""},      // English (United States)
    {0x0809, "gb", ""},      // English (United Kingdom)
    {0x1809, "ie", ""},      // English (Ireland)
    {0x0C09, "au", ""},      // English (Australia)
    {0x1009, "ca", "eng"},   // English (Canada)
    {0x4009, "in", "eng"},   // English (India)
    {0x0419, "ru", ""},      // Russian
    {0x0444, "ru", "tt"},    // Tatar
    {0x046D, "ru", "bak"},   // Bashkir
    {0x0485, "ru", "sah"},   // Yakut
    {0x0422, "ua", ""},      // Ukrainian
    {0x0423, "by", ""},      // Belarusian
    {0x0402, "bg", ""},      // Bulgarian
    {0x0C1A, "rs", ""},      // Serbian (Cyrillic)
    {0x081A, "rs", "latin"}, // Serbian (Latin)
    {0x042F, "mk", ""},      // Macedonian
    {0x043F, "kz", ""},      // Kazakh
    {0x0440, "kg", ""},      // Kyrgyz
    {0x0428, "tj", ""},      // Tajik
    {0x0450, "mn", ""},      // Mongolian
    {0x0443, "uz", ""},      // Uzbek
    {0x0442, "tm", ""},      // Turkmen
    {0x042C, "az", ""},      // Azerbaijani
    {0x0407, "de", ""},      // German
    {0x0C07, "at", ""},      // German (Austria)
    {0x0807, "ch", ""},      // German (Switzerland)
    {0x100C, "ch", "fr"},    // French (Switzerland)
    {0x040C, "fr", ""},      // French
    {0x080C, "be", ""},      // French (Belgium)
    {0x0813, "be", ""},      // Dutch (Belgium)
    {0x0C0C, "ca", ""},      // French (Canada)
    {0x0410, "it", ""},      // Italian
    {0x040A, "es", ""},      // Spanish (traditional sort)
    {0x0C0A, "es", ""},      // Spanish
    {0x0403, "es", "cat"},   // Catalan
    {0x080A, "latam", ""},   // Spanish (Mexico)
    {0x0416, "br", ""},      // Portuguese (Brazil)
    {0x0816, "pt", ""},      // Portuguese (Portugal)
    {0x0413, "nl", ""},      // Dutch
    {0x0415, "pl", ""},      // Polish
    {0x0405, "cz", ""},      // Czech
    {0x041B, "sk", ""},      // Slovak
    {0x040E, "hu", ""},      // Hungarian
    {0x0418, "ro", ""},      // Romanian
    {0x041A, "hr", ""},      // Croatian
    {0x0424, "si", ""},      // Slovenian
    {0x141A, "ba", ""},      // Bosnian
    {0x041C, "al", ""},      // Albanian
    {0x0408, "gr", ""},      // Greek
    {0x041F, "tr", ""},      // Turkish
    {0x040D, "il", ""},      // Hebrew
    {0x0401, "ara", ""},     // Arabic
    {0x0429, "ir", ""},      // Persian
    {0x0420, "pk", ""},      // Urdu
    {0x0463, "af", "ps"},    // Pashto
    {0x048C, "af", ""},      // Dari
    {0x0411, "jp", ""},      // Japanese
    {0x0412, "kr", ""},      // Korean
    {0x0404, "tw", ""},      // Chinese (Taiwan)
    {0x0804, "cn", ""},      // Chinese (PRC)
    {0x041E, "th", ""},      // Thai
    {0x042A, "vn", ""},      // Vietnamese
    {0x0453, "kh", ""},      // Khmer
    {0x0454, "la", ""},      // Lao
    {0x0455, "mm", ""},      // Burmese
    {0x045B, "lk", ""},      // Sinhala
    {0x0439, "in", ""},      // Hindi
    {0x0445, "in", "ben"},   // Bengali (India)
    {0x0446, "in", "guru"},  // Punjabi
    {0x0447, "in", "guj"},   // Gujarati
    {0x0449, "in", "tam"},   // Tamil
    {0x044A, "in", "tel"},   // Telugu
    {0x044B, "in", "kan"},   // Kannada
    {0x044C, "in", "mal"},   // Malayalam
    {0x0461, "np", ""},      // Nepali
    {0x0845, "bd", ""},      // Bengali (Bangladesh)
    {0x0465, "mv", ""},      // Divehi
    {0x0421, "id", ""},      // Indonesian
    {0x041D, "se", ""},      // Swedish
    {0x0414, "no", ""},      // Norwegian (Bokmål)
    {0x0814, "no", ""},      // Norwegian (Nynorsk)
    {0x0406, "dk", ""},      // Danish
    {0x040B, "fi", ""},      // Finnish
    {0x040F, "is", ""},      // Icelandic
    {0x0438, "fo", ""},      // Faroese
    {0x0425, "ee", ""},      // Estonian
    {0x0426, "lv", ""},      // Latvian
    {0x0427, "lt", ""},      // Lithuanian
    {0x0437, "ge", ""},      // Georgian
    {0x042B, "am", ""},      // Armenian
    {0x043A, "mt", ""},      // Maltese
    {0x045E, "et", ""},      // Amharic
    {0x0481, "mao", ""},     // Maori
    {0x0418, "md", ""},      // Romanian (Moldova keyboard)
};

// Symbols files that carry options or models rather than layouts.
bool isOptionSymbols(const QString& name) {
    static const QSet<QString> options = {
        QStringLiteral("pc"),       QStringLiteral("altwin"),    QStringLiteral("capslock"),
        QStringLiteral("compose"),  QStringLiteral("ctrl"),      QStringLiteral("empty"),
        QStringLiteral("eurosign"), QStringLiteral("group"),     QStringLiteral("inet"),
        QStringLiteral("keypad"),   QStringLiteral("kpdl"),      QStringLiteral("level2"),
        QStringLiteral("level3"),   QStringLiteral("level5"),    QStringLiteral("nbsp"),
        QStringLiteral("olpc"),     QStringLiteral("parens"),    QStringLiteral("rupeesign"),
        QStringLiteral("shift"),    QStringLiteral("srvr_ctrl"), QStringLiteral("terminate"),
        QStringLiteral("typo"),     QStringLiteral("latin"),     QStringLiteral("trans"),
        QStringLiteral("japan"),    QStringLiteral("korean"),    QStringLiteral("mod_led"),
        QStringLiteral("caps"),     QStringLiteral("misc"),      QStringLiteral("numpad"),
    };
    return options.contains(name) || name.endsWith(QLatin1String("_vndr"));
}

QStringList splitCommaList(const QString& list) {
    return list.isEmpty() ? QStringList() : list.split(QLatin1Char(','));
}

} // namespace

std::optional<std::uint32_t> parseLayoutName(const QString& name) {
    if (name.size() != 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        std::uint32_t hex;
        if (u >= '0' && u <= '9')
            hex = u - '0';
        else if (u >= 'a' && u <= 'f')
            hex = u - 'a' + 10;
        else if (u >= 'A' && u <= 'F')
            hex = u - 'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + hex;
    }
    return value;
}

QString layoutNameForLanguage(std::uint16_t languageId) {
    return QStringLiteral("0000%1").arg(languageId, 4, 16, QLatin1Char('0')).toUpper();
}

QString localeForLanguageId(std::uint16_t languageId) {
    char name[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode error = U_ZERO_ERROR;
    const int32_t length = uloc_getLocaleForLCID(languageId, name, sizeof name, &error);
    if (U_FAILURE(error) || length <= 0)
        return {};
    return QString::fromLatin1(name, length);
}

std::optional<XkbLayout> xkbLayoutForLanguage(std::uint16_t languageId) {
    for (const LanguageLayout& row : kLanguageLayouts)
        if (row.language == languageId)
            return XkbLayout{QString::fromLatin1(row.layout), QString::fromLatin1(row.variant)};
    return std::nullopt;
}

std::optional<std::uint16_t> languageForXkbLayout(const XkbLayout& layout) {
    for (const LanguageLayout& row : kLanguageLayouts)
        if (layout.layout == QLatin1String(row.layout) && !layout.variant.isEmpty() &&
            layout.variant == QLatin1String(row.variant))
            return row.language;
    for (const LanguageLayout& row : kLanguageLayouts)
        if (layout.layout == QLatin1String(row.layout) && !*row.variant)
            return row.language;
    return std::nullopt;
}

std::vector<XkbLayout> groupsFromXkbSymbols(const QString& symbols) {
    std::vector<XkbLayout> groups;
    QString plusOnly = symbols;
    plusOnly.replace(QLatin1Char('|'), QLatin1Char('+'));
    for (QString token : plusOnly.split(QLatin1Char('+'), Qt::SkipEmptyParts)) {
        int group = 0; // 0: no explicit group
        const qsizetype colon = token.lastIndexOf(QLatin1Char(':'));
        if (colon >= 0) {
            bool ok = false;
            group = token.mid(colon + 1).toInt(&ok);
            if (!ok || group < 1 || group > 4)
                continue;
            token.truncate(colon);
        }
        XkbLayout layout;
        const qsizetype open = token.indexOf(QLatin1Char('('));
        layout.layout = token.left(open).section(QLatin1Char('/'), -1).trimmed();
        if (open >= 0)
            layout.variant = token.mid(open + 1).chopped(token.endsWith(QLatin1Char(')')) ? 1 : 0);
        // Files of a vendor's folder count only when they are a layout we know
        // ("macintosh_vndr/us", not "macintosh_vndr/apple").
        const bool vendorFile = token.left(open).contains(QLatin1Char('/'));
        if (layout.layout.isEmpty() || isOptionSymbols(layout.layout) ||
            (vendorFile && !languageForXkbLayout({layout.layout, {}})))
            continue;
        // The first layout without a group number is group 1; later ones are
        // options of files we do not know.
        if (group == 0) {
            if (!groups.empty() && !groups[0].layout.isEmpty())
                continue;
            group = 1;
        }
        if (groups.size() < static_cast<std::size_t>(group))
            groups.resize(static_cast<std::size_t>(group));
        // Layouts come before options: an option file numbered for a group
        // must not replace the group's layout.
        if (groups[static_cast<std::size_t>(group - 1)].layout.isEmpty())
            groups[static_cast<std::size_t>(group - 1)] = layout;
    }
    return groups;
}

std::vector<XkbLayout> groupsFromRulesNames(const QString& layouts, const QString& variants) {
    std::vector<XkbLayout> groups;
    const QStringList layoutList = splitCommaList(layouts);
    const QStringList variantList = splitCommaList(variants);
    for (qsizetype i = 0; i < layoutList.size() && i < 4; ++i)
        groups.push_back({layoutList[i].trimmed(),
                          i < variantList.size() ? variantList[i].trimmed() : QString()});
    return groups;
}

int groupForLayoutName(const QString& name, const std::vector<XkbLayout>& groups, int activeGroup) {
    const auto value = parseLayoutName(name);
    if (!value)
        return -1;
    const auto language = static_cast<std::uint16_t>(*value & 0xFFFF);
    const auto hasLanguage = [&](std::size_t group) {
        return languageForXkbLayout(groups[group]) == language;
    };
    if (activeGroup >= 0 && static_cast<std::size_t>(activeGroup) < groups.size() &&
        hasLanguage(static_cast<std::size_t>(activeGroup)))
        return activeGroup;
    for (std::size_t group = 0; group < groups.size(); ++group)
        if (hasLanguage(group))
            return static_cast<int>(group);
    return -1;
}

MemoryKeyboardLayouts::MemoryKeyboardLayouts(const QStringList& available, const QString& current)
    : current_(current) {
    for (const QString& name : available)
        available_ << name.toUpper();
}

LayoutHandle MemoryKeyboardLayouts::loadLayout(const QString& name) {
    ++loadCount_;
    const QString normalised = name.toUpper();
    if (!parseLayoutName(normalised) || (!available_.isEmpty() && !available_.contains(normalised)))
        return {normalised, -1};
    qsizetype slot = loaded_.indexOf(normalised);
    if (slot < 0) {
        slot = loaded_.size();
        loaded_ << normalised;
    }
    return {normalised, static_cast<int>(slot)};
}

void MemoryKeyboardLayouts::activate(const LayoutHandle& handle) {
    if (!handle.isValid() || handle.index >= loaded_.size() || loaded_[handle.index] != handle.name)
        return;
    current_ = handle.name;
    history_ << handle.name;
}

} // namespace lexanta
