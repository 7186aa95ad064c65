#include "core/check/check_text.h"

#include <algorithm>

namespace lexanta {

namespace {

QString tr(bool english, const char* en, const char* ru) {
    return QString::fromUtf8(english ? en : ru);
}

QString quoted(const QString& text, bool english) {
    return english ? QStringLiteral("“%1”").arg(text) : QStringLiteral("«%1»").arg(text);
}

QString blankList(int flags, bool english) {
    QStringList parts;
    if (flags & kLeadingBlank)
        parts << tr(english, "blank at the start", "пробел в начале");
    if (flags & kTrailingBlank)
        parts << tr(english, "blank at the end", "пробел в конце");
    if (flags & kDoubledBlank)
        parts << tr(english, "doubled blanks", "двойные пробелы");
    if (flags & kControlCharacter)
        parts << tr(english, "control characters", "управляющие символы");
    return parts.join(QStringLiteral(", "));
}

} // namespace

QString kindTitle(CheckKind kind, bool english) {
    switch (kind) {
    case CheckKind::Duplicate:
        return tr(english, "Duplicates", "Повторы");
    case CheckKind::DifferentAnswers:
        return tr(english, "Same question, different answers", "Один вопрос, разные ответы");
    case CheckKind::Spelling:
        return tr(english, "Spelling", "Орфография");
    case CheckKind::Gap:
        return tr(english, "Gaps", "Пропуски");
    case CheckKind::Blank:
        return tr(english, "Blanks", "Пробелы");
    case CheckKind::Character:
        return tr(english, "Characters", "Символы");
    }
    return {};
}

QString kindId(CheckKind kind) {
    static const char* ids[] = {"duplicates", "different-answers", "spelling", "gaps",
                                "blanks",     "characters"};
    return QString::fromLatin1(ids[static_cast<int>(kind)]);
}

std::optional<CheckKind> kindOfId(const QString& id) {
    for (int k = 0; k < kCheckKindCount; ++k)
        if (kindId(static_cast<CheckKind>(k)) == id)
            return static_cast<CheckKind>(k);
    return std::nullopt;
}

QString fieldTitle(int field, bool english) {
    switch (field) {
    case 0:
        return tr(english, "question", "вопрос");
    case 1:
        return tr(english, "answer", "ответ");
    default:
        return tr(english, "comment", "комментарий");
    }
}

QString describe(const Finding& f, const CheckSetup& setup, bool english) {
    const QString other = QString::number(f.other + 1);
    const FieldSetup& field = setup.fields[std::clamp(f.field, 0, 2)];
    switch (f.problem) {
    case Problem::Duplicate:
        return tr(english, "repeats entry %1", "повторяет запись %1").arg(other);
    case Problem::DifferentAnswers:
        return tr(english, "the question of entry %1 with another answer",
                  "вопрос записи %1 с другим ответом")
            .arg(other);
    case Problem::Misspelt:
        return tr(english, "%1 is not in the %2 dictionary", "%1 нет в словаре %2")
            .arg(quoted(f.text, english), field.dictionary);
    case Problem::EmptyQuestion:
        return tr(english, "empty question", "пустой вопрос");
    case Problem::EmptyAnswer:
        return tr(english, "empty answer", "пустой ответ");
    case Problem::EmptyEntry:
        return tr(english, "empty entry", "пустая запись");
    case Problem::AnswerIsQuestion:
        return tr(english, "the answer is the question", "ответ совпадает с вопросом");
    case Problem::Blanks:
        return blankList(f.detail, english);
    case Problem::UndefinedByte:
        return tr(english, "byte 0x%1 is no character in code page %2",
                  "байт 0x%1 не является символом кодовой страницы %2")
            .arg(f.detail, 2, 16, QLatin1Char('0'))
            .arg(field.codePage);
    case Problem::OtherScript:
        return tr(english, "the font shows code page %1; typed in %2 (code page %3) it reads %4",
                  "шрифт показывает кодовую страницу %1; на языке %2 (страница %3) это %4")
            .arg(field.codePage)
            .arg(field.languageName)
            .arg(f.detail)
            .arg(quoted(f.text, english));
    case Problem::SystemScript:
        return tr(english,
                  "the font leaves the code page to the system: letters beyond ASCII show as in "
                  "code page %1 only where that is the system's",
                  "шрифт оставляет кодовую страницу системе: буквы вне ASCII выглядят как в "
                  "странице %1 только там, где она системная")
            .arg(f.detail);
    }
    return {};
}

QString fixTitle(const Fix& fix, const Finding& finding, bool english) {
    switch (fix.kind) {
    case FixKind::Suggestion:
        return tr(english, "Replace with %1", "Заменить на %1").arg(quoted(fix.text, english));
    case FixKind::Tidy:
        return tr(english, "Trim the blanks", "Убрать лишние пробелы");
    case FixKind::RemoveEntry:
        return tr(english, "Remove this entry", "Удалить эту запись");
    case FixKind::Join:
        return tr(english, "Join into entry %1 (answers and comments joined with \"; \")",
                  "Объединить с записью %1 (ответы и комментарии через \"; \")")
            .arg(finding.other + 1);
    case FixKind::SetCharset:
        return tr(english, "Give the %1 font the character set %2",
                  "Задать шрифту поля «%1» набор символов %2")
            .arg(fieldTitle(finding.field, english))
            .arg(fix.charset);
    }
    return {};
}

QStringList setupNotes(const CheckSetup& setup, bool english) {
    QStringList notes;
    if (!(setup.kinds & kindBit(CheckKind::Spelling)))
        return notes;
    for (int field = 0; field < 3; ++field) {
        const FieldSetup& f = setup.fields[field];
        if (f.dictionaryMissing)
            notes << tr(english, "%1: no dictionary installed for %2",
                        "%1: не установлен словарь для языка %2")
                         .arg(fieldTitle(field, english), f.languageName);
    }
    return notes;
}

} // namespace lexanta
