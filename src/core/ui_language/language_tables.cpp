#include "core/ui_language/language_tables.h"

namespace lexanta {

namespace {
constexpr TextKind C = TextKind::Caption;
constexpr TextKind H = TextKind::Hint;
constexpr TextKind F = TextKind::Filter;
} // namespace

const std::vector<InterfaceText>& interfaceTexts() {
    static const std::vector<InterfaceText> texts = {
        {"New1", C, "&New", "&Новый"},
        {"N1", C, "&File", "&Файл"},
        {"N2", C, "&Load...", "Загрузить сл&оварь..."},
        {"N3", C, "Save &as...", "Сохранить &как..."},
        {"N4", C, "&Save", "&Сохранить"},
        {"N5", C, "&?", "&?"},
        {"N6", C, "&About...", "О программе..."},
        {"Import1", C, "&Import...", "&Импорт..."},
        {"Export1", C, "&Export...", "&Экспорт..."},
        {"Exit1", C, "E&xit", "В&ыход"},
        {"Merge1", C, "&Merge...", "О&бъединить..."},
        {"Edit1", C, "&Edit", "&Правка"},
        {"Find1", C, "&Find...", "&Найти..."},
        {"Findnext1", C, "Find &next", "Найти &далее"},
        {"Replace1", C, "&Replace", "&Заменить..."},
        {"Service1", C, "&Service", "&Сервис"},
        {"Sort1", C, "S&ort", "&Сортировать"},
        {"questions1", C, "&questions", "&вопросы"},
        {"answers1", C, "&answers", "&ответы"},
        {"comments1", C, "&comments", "&комментарии"},
        {"RandomizeEntries1", C, "S&huffle entries", "&Перемешать"},
        {"Swap1", C, "&Question <-> Answer", "&Вопрос <-> Ответ"},
        {"Removeblanklines1", C, "&Remove blank lines", "Удалять &пустые строки"},
        {"InterfaceLanguage1", C, "&Interface Language", "&Язык интерфейса"},
        {"Reload1", C, "&Reload", "&Недавно загружались:"},
        {"SpeedbarSection1", C, "Editing", "Правка"},
        {"SpeedbarSection2", C, "File", "Файл"},
        {"SpeedbarSection3", C, "Other", "Другие"},
        {"SpeedbarSection4", C, "Utilities", "Сервис"},
        {"FontSize1", C, "Font Size", "Размер шрифта"},
        {"TotalWordsLabel", C, "Total words:", "Всего слов:"},
        {"TabSheet1", C, "Main", "Главная"},
        {"TabSheet2", C, "Preferences", "Информация и настройки"},
        {"GroupBox1", C, " About vocabulary ", " О словаре "},
        {"GroupBox2", C, " Fonts ", " Шрифты "},
        {"GroupBox3", C, " Keyboard layouts ", " Раскладки клавиатуры "},
        {"LanguagesLabel", C, "Languages:", "Языки:"},
        {"TitleLabel", C, "Title:", "Название:"},
        {"AuthorLabel", C, "Author:", "Автор:"},
        {"DateLabel", C, "Date:", "Дата:"},
        {"CheckBox1", C, "automatically switch layouts", "автоматически переключать раскладки"},
        {"GroupBox5", C, " Questions ", " Вопросы "},
        {"GroupBox6", C, " Answers ", " Ответы "},
        {"GroupBox7", C, " Comments ", " Комментарии "},
        {"TestLabel1", C, "Test", "Тест"},
        {"TestLabel2", C, "Test", "Тест"},
        {"TestLabel3", C, "Test", "Тест"},
        {"Button2", C, "update layout", "обновить расклад"},
        {"Button3", C, "update layout", "обновить расклад"},
        {"Button4", C, "update layout", "обновить расклад"},
        {"ChangeFont1", C, "questions", "вопросы"},
        {"ChangeFont2", C, "answers", "ответы"},
        {"ChangeFont3", C, "comments", "комментарии"},

        {"SpeedItem1", H, "Edit words|", "Редактировать словарь|"},
        {"SpeedItem10", H, "Sort (a-z)|", "Сортировать (a-z)|"},
        {"SpeedItem11Random", H, "Shuffle entries|", "Перемешать словарные статьи|"},
        {"SpeedItem11Swap", H, "Swap questions & answers|", "Поменять местами вопросы и ответы|"},
        {"SpeedItem2", H, "Add words|", "Добавить слова|"},
        {"SpeedItem3", H, "New dictionary (Ctrl+N)|", "Новый словарь (Ctrl+N)|"},
        {"SpeedItem4", H, "Load dictionary (Ctrl+O)|", "Загрузить словарь... (Ctrl+O)|"},
        {"SpeedItem5", H, "Save as...|", "Сохранить как...|"},
        {"SpeedItem6", H, "Delete words (Ctrl+Del)|", "Удалить словарную статью (Ctrl+Del)|"},
        {"SpeedItem8", H, "Exit (Alt+X)|", "Выход (Alt+X)|"},
        {"SpeedItem9", H, "Save dictionary (Ctrl+S)|", "Сохранить словарь (Ctrl+S)|"},
        {"SpeedItemHelp", H, "Help (F1)|", "Помощь (F1)|"},

        {"OpenDialog1", F, "Lexanta vocabularies (*.lut)|*.lut", "Словари Lexanta (*.lut)|*.lut"},
        {"SaveDialog1", F, "Lexanta vocabularies (*.lut)|*.lut", "Словари Lexanta (*.lut)|*.lut"},
        {"OpenDialog2", F,
         "Text Files (*.txt)|*.txt|Tab delimited *.txt files (2 fields)|*.txt|Tab delimited "
         "*.txt files (3 fields)|*.txt",
         "Текстовые (*.txt)|*.txt|Разделитель - TAB (2 поля)(*.txt)|*.txt|Разделитель - TAB (3 "
         "поля)(*.txt)|*.txt"},
        {"SaveDialog2", F, "Tab delimited *.txt files|*.txt|HTML files (*.html)|*.html; *htm",
         "Текстовый файлы (раздел. - табуляция)(*.txt)|*.txt|HTML файлы (*.html)|*.html; *htm"},
    };
    return texts;
}

const std::vector<DesignText>& firstStartDifferences() {
    static const std::vector<DesignText> texts = {
        {"N2", C, "&Load.."},
        {"Reload1", C, "Reload"},
        {"TestLabel1", C, "Test:"},
        {"TestLabel2", C, "Test:"},
        {"TestLabel3", C, "Test:"},
        {"SpeedItem3", H, "New dictionary|"},
        {"SpeedItem4", H, "Load dictionary (Ctrl+L)|"},
        {"SpeedItem6", H, "Delete words|"},
        {"SpeedItem8", H, "Exit|"},
        {"SpeedItem9", H, "Save dictionary|"},
        {"SpeedItemHelp", H, "Help|"},
        {"SaveDialog2", F, "Tab delimited *.txt files|*.txt|HTML files (*html)|*.html; *htm"},
    };
    return texts;
}

QString shortHint(const QString& hint) {
    return hint.section(QLatin1Char('|'), 0, 0);
}

} // namespace lexanta
