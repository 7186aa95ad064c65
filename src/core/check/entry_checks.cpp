#include "core/check/entry_checks.h"

#include "core/check/cell_checks.h"
#include "core/check/field_languages.h"
#include "core/check/field_speller.h"
#include "platform/codepage.h"

#include <algorithm>

namespace lexanta {

namespace {

bool hasHighByte(std::string_view cell) {
    return std::any_of(cell.begin(), cell.end(), [](char c) { return (c & 0x80) != 0; });
}

bool isMultiBytePage(int number) {
    return number == 932 || number == 936 || number == 949 || number == 950 || number == 1361;
}

bool wants(const EntryCheckContext& context, CheckKind kind) {
    return (context.setup->kinds & kindBit(kind)) != 0;
}

void add(std::vector<Finding>& out, CheckKind kind, Problem problem, int entry, int field,
         int detail = 0, QString text = {}, int position = -1) {
    Finding f;
    f.kind = kind;
    f.problem = problem;
    f.entry = entry;
    f.field = field;
    f.detail = detail;
    f.text = std::move(text);
    f.position = position;
    out.push_back(std::move(f));
}

void checkGaps(const EntryView& e, int entry, const EntryCheckContext& context,
               std::vector<Finding>& out) {
    const bool question = !e[kQuestion].empty();
    const bool answer = !e[kAnswer].empty();
    if (!question && !answer && e[kComment].empty()) {
        // The writer drops a blank last entry, and a new list is one blank entry.
        if (entry != context.entryCount - 1)
            add(out, CheckKind::Gap, Problem::EmptyEntry, entry, kQuestion);
        return;
    }
    if (!question)
        add(out, CheckKind::Gap, Problem::EmptyQuestion, entry, kQuestion);
    if (!answer)
        add(out, CheckKind::Gap, Problem::EmptyAnswer, entry, kAnswer);
    // Compared without the blanks at their ends; texts of single-byte pages of different
    // lengths differ, which spares decoding them.
    const auto core = [](std::string_view t) {
        while (!t.empty() && static_cast<unsigned char>(t.front()) <= ' ')
            t.remove_prefix(1);
        while (!t.empty() && static_cast<unsigned char>(t.back()) <= ' ')
            t.remove_suffix(1);
        return t;
    };
    const std::string_view q = core(e[kQuestion]), a = core(e[kAnswer]);
    const bool multiByte = isMultiBytePage(context.pages[kQuestion]->number()) ||
                           isMultiBytePage(context.pages[kAnswer]->number());
    if (!q.empty() && !a.empty() && (q.size() == a.size() || multiByte)) {
        const QString qt = context.pages[kQuestion]->decode(q);
        if (qt.compare(context.pages[kAnswer]->decode(a), Qt::CaseInsensitive) == 0)
            add(out, CheckKind::Gap, Problem::AnswerIsQuestion, entry, kAnswer);
    }
}

void checkCell(std::string_view cell, int entry, int field, const EntryCheckContext& context,
               std::vector<Finding>& out) {
    if (cell.empty())
        return;
    const FieldSetup& setup = context.setup->fields[field];
    const CodePage& page = *context.pages[field];
    if (FieldSpeller* speller = context.spellers[field]) {
        std::vector<FieldSpeller::Misspelt> words;
        speller->misspelt(page.decode(cell), words);
        for (FieldSpeller::Misspelt& w : words)
            add(out, CheckKind::Spelling, Problem::Misspelt, entry, field, 0, std::move(w.word),
                static_cast<int>(w.position));
    }
    if (wants(context, CheckKind::Blank))
        if (const int flags = blankFlags(cell))
            add(out, CheckKind::Blank, Problem::Blanks, entry, field, flags);
    if (wants(context, CheckKind::Character) && hasHighByte(cell)) {
        const int undefined = firstUndefinedByte(cell, page);
        QString right;
        if (undefined >= 0)
            add(out, CheckKind::Character, Problem::UndefinedByte, entry, field, undefined);
        else if (context.languagePages[field] &&
                 showsOtherScript(cell, setup, page, *context.languagePages[field], &right))
            add(out, CheckKind::Character, Problem::OtherScript, entry, field,
                setup.languageCodePage, std::move(right));
    }
}

} // namespace

bool showsOtherScript(std::string_view cell, const FieldSetup& field, const CodePage& fontPage,
                      const CodePage& right, QString* rightText) {
    if (field.languageCodePage == 0 || field.languageCodePage == fontPage.number() ||
        charsetForCodePage(field.languageCodePage) < 0 || !hasHighByte(cell))
        return false;
    const QChar::Script script = scriptOfLanguage(field.language);
    const QString asTyped = right.decode(cell);
    if (highLettersOfScript(asTyped, script) <= highLettersOfScript(fontPage.decode(cell), script))
        return false;
    if (rightText)
        *rightText = asTyped;
    return true;
}

void checkEntry(const EntryTable& table, int entry, const EntryCheckContext& context,
                unsigned fieldMask, std::vector<Finding>& out) {
    const EntryView e = table.entry(entry);
    const std::size_t begin = out.size();
    if ((fieldMask & 1u) && wants(context, CheckKind::Gap))
        checkGaps(e, entry, context, out);
    for (int field = kQuestion; field <= kComment; ++field)
        if (fieldMask & (1u << field))
            checkCell(e[field], entry, field, context, out);
    std::stable_sort(out.begin() + static_cast<std::ptrdiff_t>(begin), out.end(),
                     [](const Finding& a, const Finding& b) {
                         return a.field != b.field ? a.field < b.field : a.kind < b.kind;
                     });
}

} // namespace lexanta
