#include "print/sheet_texts.h"

namespace lexanta {

namespace {

struct Caption {
    SheetText text;
    const char* english;
    const char* russian; // UTF-8
};

const Caption kCaptions[] = {
    {SheetText::Question, "Question", "Вопрос"},
    {SheetText::Answer, "Answer", "Ответ"},
    {SheetText::Comment, "Comment", "Комментарий"},
    {SheetText::Languages, "Languages:", "Языки:"},
    {SheetText::Author, "Author:", "Автор:"},
    {SheetText::Date, "Date:", "Дата:"},
    {SheetText::Test, "Test", "Тест"},
    {SheetText::Variant, "Variant %1", "Вариант %1"},
    {SheetText::AnswerKey, "Answer key", "Ответы"},
    {SheetText::Name, "Name:", "Имя:"},
    {SheetText::Page, "Page %1", "Страница %1"},
    {SheetText::Fronts, "fronts", "лицевая сторона"},
    {SheetText::Backs, "backs", "оборотная сторона"},
};

} // namespace

QString sheetText(SheetText text, InterfaceLanguage language) {
    for (const Caption& c : kCaptions)
        if (c.text == text)
            return QString::fromUtf8(language == InterfaceLanguage::English ? c.english
                                                                            : c.russian);
    return {};
}

} // namespace lexanta
