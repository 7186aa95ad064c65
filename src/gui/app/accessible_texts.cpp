#include "gui/app/accessible_texts.h"

#include "gui/editing/entry_grid.h"
#include "gui/editing/entry_grid_model.h"

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

namespace lexanta {

namespace {

struct AccessibleText {
    const char* control;
    const char* englishName;
    const char* russianName; // UTF-8, as the descriptions
    const char* englishDescription;
    const char* russianDescription;
};

const AccessibleText kAccessibleTexts[] = {
    {"ComboEdit1", "Question", "Вопрос", "The question of the entry being added or edited",
     "Вопрос добавляемой или изменяемой записи"},
    {"ComboEdit2", "Answer", "Ответ", "The answer of the entry being added or edited",
     "Ответ добавляемой или изменяемой записи"},
    {"ComboEdit3", "Comment", "Комментарий", "The comment of the entry being added or edited",
     "Комментарий добавляемой или изменяемой записи"},
    {"RxSpinEdit1", "Font size", "Размер шрифта", "The font size of all three fields",
     "Размер шрифта всех трёх полей"},
    {"StringGrid1", "Entries", "Записи",
     "Questions, answers and comments. Tab moves between cells, Ctrl+Tab leaves the list",
     "Вопросы, ответы и комментарии. Tab переходит между ячейками, Ctrl+Tab выходит из списка"},
    {"ProgressBar1", "Progress", "Ход работы", "How far the running command has come",
     "Сколько выполнено из текущей команды"},
    {"ComboBox1", "Language of the questions", "Язык вопросов",
     "The language the vocabulary's questions are in", "Язык, на котором написаны вопросы"},
    {"ComboBox2", "Language of the answers", "Язык ответов",
     "The language the vocabulary's answers are in", "Язык, на котором написаны ответы"},
    {"Edit2", "Title", "Название", "The vocabulary's title", "Название словаря"},
    {"Edit3", "Author", "Автор", "Who made the vocabulary", "Автор словаря"},
    {"Edit4", "Date", "Дата", "When the vocabulary was made", "Дата создания словаря"},
    {"ChangeFont1", "Font for questions", "Шрифт вопросов", "Chooses the questions' font",
     "Выбор шрифта вопросов"},
    {"ChangeFont2", "Font for answers", "Шрифт ответов", "Chooses the answers' font",
     "Выбор шрифта ответов"},
    {"ChangeFont3", "Font for comments", "Шрифт комментариев", "Chooses the comments' font",
     "Выбор шрифта комментариев"},
    {"Edit5", "Test the questions' layout", "Проверка раскладки вопросов",
     "Type here to see the keyboard layout in use",
     "Наберите здесь текст, чтобы проверить раскладку клавиатуры"},
    {"Edit6", "Test the answers' layout", "Проверка раскладки ответов",
     "Type here to see the keyboard layout in use",
     "Наберите здесь текст, чтобы проверить раскладку клавиатуры"},
    {"Edit7", "Test the comments' layout", "Проверка раскладки комментариев",
     "Type here to see the keyboard layout in use",
     "Наберите здесь текст, чтобы проверить раскладку клавиатуры"},
    {"Button2", "Update the questions' layout", "Обновить раскладку вопросов",
     "Takes the keyboard layout in use for the questions",
     "Запоминает текущую раскладку клавиатуры для вопросов"},
    {"Button3", "Update the answers' layout", "Обновить раскладку ответов",
     "Takes the keyboard layout in use for the answers",
     "Запоминает текущую раскладку клавиатуры для ответов"},
    {"Button4", "Update the comments' layout", "Обновить раскладку комментариев",
     "Takes the keyboard layout in use for the comments",
     "Запоминает текущую раскладку клавиатуры для комментариев"},
    {"CodePageBox", "Code page", "Кодовая страница",
     "The code page of the description and of fonts with the default character set",
     "Кодовая страница описания и шрифтов с набором символов по умолчанию"},
};

// The font button inside each input box, as its hint says; the description is the font
// button's on the Preferences page.
const AccessibleText kBoxButtons[] = {
    {"ComboEdit1", "Change font for questions", "Изменить шрифт вопросов", "ChangeFont1", ""},
    {"ComboEdit2", "Change font for answers", "Изменить шрифт ответов", "ChangeFont2", ""},
    {"ComboEdit3", "Change font for comments", "Изменить шрифт комментариев", "ChangeFont3", ""},
};

QString pick(bool english, const char* en, const char* ru) {
    return QString::fromUtf8(english ? en : ru);
}

} // namespace

void applyAccessibleTexts(QWidget& window, bool english) {
    for (const AccessibleText& t : kAccessibleTexts) {
        auto* widget = window.findChild<QWidget*>(QString::fromLatin1(t.control));
        if (!widget)
            continue;
        widget->setAccessibleName(pick(english, t.englishName, t.russianName));
        widget->setAccessibleDescription(pick(english, t.englishDescription, t.russianDescription));
        // An editable combo box's text field is a control of its own.
        if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit())
            combo->lineEdit()->setAccessibleName(widget->accessibleName());
    }
    for (const AccessibleText& t : kBoxButtons) {
        auto* box = window.findChild<QLineEdit*>(QString::fromLatin1(t.control));
        auto* fontButton = window.findChild<QWidget*>(QString::fromLatin1(t.englishDescription));
        if (!box || !fontButton)
            continue;
        const auto buttons = box->findChildren<QToolButton*>();
        for (QToolButton* button : buttons) {
            button->setAccessibleName(pick(english, t.englishName, t.russianName));
            button->setAccessibleDescription(fontButton->accessibleDescription());
        }
    }
    auto* grid = window.findChild<EntryGrid*>(QStringLiteral("StringGrid1"));
    if (EntryGridModel* model = grid ? grid->entryModel() : nullptr) {
        const char* const english3[] = {"Question", "Answer", "Comment"};
        const char* const russian3[] = {"Вопрос", "Ответ", "Комментарий"};
        std::array<QString, kShownFields> names;
        for (int f = 0; f < kShownFields; ++f)
            names[static_cast<std::size_t>(f)] = pick(english, english3[f], russian3[f]);
        model->setFieldNames(names);
    }
}

} // namespace lexanta
