#include "core/check/field_languages.h"

#include "platform/codepage.h"
#include "platform/keyboard_layouts.h"
#include "platform/spelling.h"

#include <QLocale>
#include <QRegularExpression>

namespace lexanta {

namespace {

struct LanguageNames {
    const char* code;
    // Lower-case beginnings of its names in English, Russian and the language itself.
    std::initializer_list<const char*> stems;
};

const LanguageNames kLanguages[] = {
    {"en", {"english", "англ"}},
    {"ru", {"russian", "русск", "рус."}},
    {"de", {"german", "deutsch", "немец", "нем."}},
    {"fr", {"french", "français", "francais", "франц", "фр."}},
    {"es", {"spanish", "español", "espanol", "испан", "исп."}},
    {"it", {"italian", "italiano", "итальян", "ит."}},
    {"pt", {"portuguese", "português", "portugues", "португал"}},
    {"nl", {"dutch", "nederlands", "голланд", "нидерланд"}},
    {"pl", {"polish", "polski", "польск"}},
    {"uk", {"ukrainian", "українськ", "украин"}},
    {"be", {"belarusian", "беларус", "белорус"}},
    {"bg", {"bulgarian", "български", "болгар"}},
    {"cs", {"czech", "čeština", "чешск"}},
    {"sv", {"swedish", "svenska", "шведск"}},
    {"da", {"danish", "dansk", "датск"}},
    {"nb", {"norwegian", "norsk", "норвеж"}},
    {"fi", {"finnish", "suomi", "финск"}},
    {"el", {"greek", "ελληνικά", "греч"}},
    {"tr", {"turkish", "türkçe", "турец"}},
    {"hu", {"hungarian", "magyar", "венгер"}},
    {"la", {"latin", "латин"}},
};

bool isCodeLike(const QString& text) {
    // "en", "pt_BR", "en-GB"
    static const QRegularExpression code(QStringLiteral("^[a-z]{2,3}([_-][A-Za-z]{2})?$"));
    return code.match(text).hasMatch();
}

QString languageFromDescription(const std::string& bytes) {
    if (bytes.empty())
        return {};
    // Written on this system, or on a Russian one: the Russian names are Windows-1251.
    QString code = languageCodeOfName(CodePage::get(systemAnsiCodePage()).decode(bytes));
    if (code.isEmpty())
        code = languageCodeOfName(CodePage::get(1251).decode(bytes));
    return code;
}

QString languageOfLayout(const std::string& layoutName) {
    const std::optional<std::uint32_t> value = parseLayoutName(QString::fromStdString(layoutName));
    if (!value)
        return {};
    return localeForLanguageId(static_cast<std::uint16_t>(*value & 0xFFFF))
        .section(QLatin1Char('_'), 0, 0);
}

// The layout every field has until the user teaches it another: it says nothing of the
// language typed.
constexpr char kDefaultLayout[] = "00000409";

} // namespace

QString languageCodeOfName(const QString& text) {
    const QString t = text.trimmed();
    if (isCodeLike(t))
        return t.left(t.indexOf(QRegularExpression(QStringLiteral("[_-]")))).toLower();
    const QString lower = t.toLower();
    for (const LanguageNames& language : kLanguages)
        for (const char* stem : language.stems)
            if (lower.startsWith(QString::fromUtf8(stem)))
                return QString::fromLatin1(language.code);
    return {};
}

QChar::Script scriptOfLanguage(const QString& code) {
    static const QStringList cyrillic = {
        QStringLiteral("ru"), QStringLiteral("uk"), QStringLiteral("be"), QStringLiteral("bg"),
        QStringLiteral("mk"), QStringLiteral("sr"), QStringLiteral("kk"), QStringLiteral("ky"),
        QStringLiteral("mn"), QStringLiteral("tt")};
    if (cyrillic.contains(code))
        return QChar::Script_Cyrillic;
    if (code == QLatin1String("el"))
        return QChar::Script_Greek;
    if (code == QLatin1String("he"))
        return QChar::Script_Hebrew;
    if (code == QLatin1String("ar") || code == QLatin1String("fa"))
        return QChar::Script_Arabic;
    return QChar::Script_Latin;
}

QString languageName(const QString& code) {
    const QLocale locale(code);
    if (locale.language() == QLocale::C || code.isEmpty())
        return code;
    return QLocale::languageToString(locale.language());
}

CheckSetup checkSetup(const VocabularyHeader& header, const CheckOptions& options) {
    CheckSetup setup;
    setup.kinds = options.kinds;
    const std::string* described[3] = {&header.questionsLanguage, &header.answersLanguage, nullptr};
    for (int field = 0; field < 3; ++field) {
        FieldSetup& f = setup.fields[field];
        f.charset = header.fonts[field].charset;
        f.codePage = codePageForCharset(f.charset);
        bool trusted = false; // the language says what was typed, so what the font should show
        if (described[field]) {
            f.language = languageFromDescription(*described[field]);
            if (!f.language.isEmpty()) {
                f.source = LanguageSource::Description;
                f.languageName = languageName(f.language);
                trusted = true;
            }
        }
        if (f.language.isEmpty()) {
            f.language = languageOfLayout(header.layoutNames[field]);
            if (!f.language.isEmpty()) {
                f.source = LanguageSource::KeyboardLayout;
                f.languageName = languageName(f.language);
                trusted = header.layoutNames[field] != kDefaultLayout;
            }
        }
        if (options.dictionaries[field]) {
            f.source = LanguageSource::Chosen;
            f.dictionary = *options.dictionaries[field];
            if (!f.dictionary.isEmpty()) {
                f.language = f.dictionary.section(QLatin1Char('_'), 0, 0);
                f.languageName = languageName(f.language);
                f.dictionaryMissing = !installedDictionaries().contains(f.dictionary);
                if (f.dictionaryMissing)
                    f.dictionary.clear();
            }
        } else if (!f.language.isEmpty()) {
            f.dictionary = dictionaryForLanguage(f.language);
            f.dictionaryMissing = f.dictionary.isEmpty();
        }
        if (trusted)
            f.languageCodePage = ansiCodePageForLocale(f.language);
    }
    return setup;
}

} // namespace lexanta
