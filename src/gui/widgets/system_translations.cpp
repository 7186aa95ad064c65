#include "gui/widgets/system_translations.h"

#include <QCoreApplication>
#include <QHash>
#include <QLibraryInfo>
#include <QTranslator>

namespace lexanta {

namespace {

struct StandInText {
    const char* context;
    const char* source;
    const char* russian;
};

// The texts of the platform's find and font dialogs on a Russian system.
constexpr StandInText kRussianStandIns[] = {
    {"lexanta::FindDialog", "Find", "Найти"},
    {"lexanta::FindDialog", "Fi&nd what:", "&Что:"},
    {"lexanta::FindDialog", "Match &whole word only", "Только слово &целиком"},
    {"lexanta::FindDialog", "Match &case", "С учетом &регистра"},
    {"lexanta::FindDialog", "&Find Next", "Найти &далее"},
    {"lexanta::FindDialog", "Cancel", "Отмена"},
    {"lexanta::FieldFontDialog", "Font", "Шрифт"},
    {"lexanta::FieldFontDialog", "&Font:", "&Шрифт:"},
    {"lexanta::FieldFontDialog", "Font st&yle:", "&Начертание:"},
    {"lexanta::FieldFontDialog", "&Size:", "&Размер:"},
    {"lexanta::FieldFontDialog", "Regular", "Обычный"},
    {"lexanta::FieldFontDialog", "Italic", "Курсив"},
    {"lexanta::FieldFontDialog", "Bold", "Полужирный"},
    {"lexanta::FieldFontDialog", "Bold Italic", "Полужирный курсив"},
    {"lexanta::FieldFontDialog", "Effects", "Видоизменение"},
    {"lexanta::FieldFontDialog", "Stri&keout", "&Зачеркнутый"},
    {"lexanta::FieldFontDialog", "&Underline", "&Подчеркнутый"},
    {"lexanta::FieldFontDialog", "&Color:", "&Цвет:"},
    {"lexanta::FieldFontDialog", "Custom...", "Другой..."},
    {"lexanta::FieldFontDialog", "Color", "Цвет"},
    {"lexanta::FieldFontDialog", "Sample", "Образец"},
    {"lexanta::FieldFontDialog", "Sc&ript:", "&Набор символов:"},
    {"lexanta::FieldFontDialog",
     "This face name cannot be stored in a vocabulary file; choose another face.",
     "Это имя шрифта нельзя сохранить в файле словаря; выберите другой шрифт."},
    {"lexanta::FieldFontDialog", "The size must be a whole number of points.",
     "Размер должен быть целым числом пунктов."},
};

class StandInTranslator : public QTranslator {
public:
    StandInTranslator() {
        for (const StandInText& t : kRussianStandIns)
            texts_.insert(key(t.context, t.source), QString::fromUtf8(t.russian));
    }

    QString translate(const char* context, const char* source, const char* = nullptr,
                      int = -1) const override {
        return texts_.value(key(context, source));
    }
    bool isEmpty() const override { return texts_.isEmpty(); }

private:
    static QByteArray key(const char* context, const char* source) {
        return QByteArray(context) + '\x04' + QByteArray(source);
    }
    QHash<QByteArray, QString> texts_;
};

} // namespace

QList<QTranslator*> installSystemTranslations(const QLocale& locale) {
    QList<QTranslator*> installed;
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
        return installed;
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(qt))
        installed << qt;
    else
        delete qt;
    if (locale.language() == QLocale::Russian) {
        auto* own = new StandInTranslator;
        own->setParent(QCoreApplication::instance());
        QCoreApplication::installTranslator(own);
        installed << own;
    }
    return installed;
}

} // namespace lexanta
